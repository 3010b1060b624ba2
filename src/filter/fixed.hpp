// Fixed-mask filters (mixed second derivative, Laplacian, box low-pass), the Sobel-type kernel
// generator and the colour-gradient reduction. Exports are thin wrappers over these.
#pragma once

#include <cstdint>

#include "frame/base.hpp"

namespace qpx::filter {

enum class FixedOp { SobelCross, Laplacian, Lowpass };

// Whole-image filters on a checked call: mask is 33 or 55, the border code passes the filter
// rule, and the buffer holds at least the size the matching query reports. 8u sources give exact
// 16s results (SobelCross, Laplacian) or the rounded window mean (Lowpass, 8u).
template <FixedOp op>
void fixed_filter(Path path, const std::uint8_t* src, int srcStep,
                  std::conditional_t<op == FixedOp::Lowpass, std::uint8_t, std::int16_t>* dst,
                  int dstStep, qpxSize roi, qpxMaskSize mask, std::uint32_t borderType,
                  std::uint8_t borderValue, std::uint8_t* buffer);
template <FixedOp op>
void fixed_filter(Path path, const float* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                  qpxMaskSize mask, std::uint32_t borderType, float borderValue,
                  std::uint8_t* buffer);

// Buffer size of a fixed filter for 8u (isFloat false) or 32f sources; mask is 33 or 55.
template <FixedOp op>
int fixed_buffer_size(qpxSize roi, qpxMaskSize mask, bool isFloat);

// Coefficients of (1 + z)^(n-1-d) (z - 1)^d, negated for sign < 0, in T's own arithmetic.
template <class T>
void gen_sobel_kernel(T* dst, int kernelSize, int derivOrder, int sign);

// Per-pixel reduction of three channels by a norm: 0 Inf, 1 L1, 2 L2 (T is u8, u16 or float).
template <class T>
void gradient_color_to_gray(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                            int norm);

}  // namespace qpx::filter
