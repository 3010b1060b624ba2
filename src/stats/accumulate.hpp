// Accumulation into 32f images and absolute differences: the kernels behind the exports, open
// to the tests so that the scalar and vector paths can be compared.
#pragma once

#include "frame/base.hpp"

namespace qpx::stats {

enum class AccOp { Add, Square, Product, Weighted };

// acc = acc (+) term over the ROI. `src2` is read by Product only; `mask` may be null (unmasked).
template <AccOp op, class T>
void accumulate(Path path, const T* src1, int src1Step, const T* src2, int src2Step,
                const std::uint8_t* mask, int maskStep, float* acc, int accStep, qpxSize roi,
                float alpha);

// dst = (s1 - s2) * alpha + s2.
void weighted_blend(Path path, const float* src1, int src1Step, const float* src2, int src2Step,
                    float* dst, int dstStep, qpxSize roi, float alpha);

// dst = |s1 - s2| over `elems` elements per row.
template <class T>
void abs_diff(Path path, const T* src1, int src1Step, const T* src2, int src2Step, T* dst,
              int dstStep, int elems, int height);

// dst = |s - value|; integer values are already clamped to T's range.
template <class T, class V>
void abs_diff_c(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, V value);

}  // namespace qpx::stats
