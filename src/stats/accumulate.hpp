// Accumulation into 32f images and absolute differences: the kernels behind the exports, open
// to the tests so that every vector target can be compared with the scalar one.
#pragma once

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::stats {

enum class AccOp { Add, Square, Product, Weighted };

// acc = acc (+) term over the ROI. `src2` is read by Product only and `mask` by the masked
// forms; an unused image is an empty view.
template <AccOp op, class T>
void accumulate(Target t, View<const T> src1, View<const T> src2, View<const std::uint8_t> mask,
                View<float> acc, float alpha);

// dst = (s1 - s2) * alpha + s2.
void weighted_blend(Target t, View<const float> src1, View<const float> src2, View<float> dst,
                    float alpha);

// dst = |s1 - s2|, every channel.
template <class T>
void abs_diff(Target t, View<const T> src1, View<const T> src2, View<T> dst);

// dst = |s - value|; integer values are already clamped to T's range.
template <class T, class V>
void abs_diff_c(Target t, View<const T> src, View<T> dst, V value);

// The kernels of one target.
template <class T>
using AccFn = void (*)(View<const T>, View<const T>, View<const std::uint8_t>, View<float>, float);
template <class T>
using AbsDiffFn = void (*)(View<const T>, View<const T>, View<T>);
template <class T, class V>
using AbsDiffCFn = void (*)(View<const T>, View<T>, V);

struct AccumulateKernels {
    // Indexed by AccOp, then unmasked (0) or masked (1).
    AccFn<std::uint8_t> acc8[4][2];
    AccFn<std::uint16_t> acc16[4][2];
    AccFn<float> acc32[4][2];
    void (*blend)(View<const float>, View<const float>, View<float>, float);
    AbsDiffFn<std::uint8_t> abs8;
    AbsDiffFn<std::uint16_t> abs16;
    AbsDiffFn<float> abs32;
    AbsDiffCFn<std::uint8_t, int> absc8;
    AbsDiffCFn<std::uint16_t, int> absc16;
    AbsDiffCFn<float, float> absc32;
};
QPX_TARGET_TABLE(AccumulateKernels, accumulate_kernels)

}  // namespace qpx::stats
