// Accumulation into 32f images and absolute differences: the kernels behind the exports, open
// to the tests so that every vector target can be compared with the scalar one.
#pragma once

#include "frame/base.hpp"
#include "frame/target.hpp"

namespace qpx::stats {

enum class AccOp { Add, Square, Product, Weighted };

// acc = acc (+) term over the ROI. `src2` is read by Product only; `mask` may be null (unmasked).
template <AccOp op, class T>
void accumulate(Target t, const T* src1, int src1Step, const T* src2, int src2Step,
                const std::uint8_t* mask, int maskStep, float* acc, int accStep, qpxSize roi,
                float alpha);

// dst = (s1 - s2) * alpha + s2.
void weighted_blend(Target t, const float* src1, int src1Step, const float* src2, int src2Step,
                    float* dst, int dstStep, qpxSize roi, float alpha);

// dst = |s1 - s2| over `elems` elements per row.
template <class T>
void abs_diff(Target t, const T* src1, int src1Step, const T* src2, int src2Step, T* dst,
              int dstStep, int elems, int height);

// dst = |s - value|; integer values are already clamped to T's range.
template <class T, class V>
void abs_diff_c(Target t, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, V value);

// The kernels of one target.
template <class T>
using AccFn = void (*)(const T*, int, const T*, int, const std::uint8_t*, int, float*, int, qpxSize,
                       float);
template <class T>
using AbsDiffFn = void (*)(const T*, int, const T*, int, T*, int, int, int);
template <class T, class V>
using AbsDiffCFn = void (*)(const T*, int, T*, int, qpxSize, V);

struct AccumulateKernels {
    // Indexed by AccOp, then unmasked (0) or masked (1).
    AccFn<std::uint8_t> acc8[4][2];
    AccFn<std::uint16_t> acc16[4][2];
    AccFn<float> acc32[4][2];
    void (*blend)(const float*, int, const float*, int, float*, int, qpxSize, float);
    AbsDiffFn<std::uint8_t> abs8;
    AbsDiffFn<std::uint16_t> abs16;
    AbsDiffFn<float> abs32;
    AbsDiffCFn<std::uint8_t, int> absc8;
    AbsDiffCFn<std::uint16_t, int> absc16;
    AbsDiffCFn<float, float> absc32;
};
QPX_TARGET_TABLE(AccumulateKernels, accumulate_kernels)

}  // namespace qpx::stats
