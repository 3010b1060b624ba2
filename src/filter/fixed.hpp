// Fixed-mask filters (mixed second derivative, Laplacian, box low-pass), the Sobel-type kernel
// generator and the colour-gradient reduction. Exports are thin wrappers over these.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/layout.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::filter {

enum class FixedOp { SobelCross, Laplacian, Lowpass };

// The engine's buffer. Float sources extend one source row and keep a ring of `rows` filtered
// rows (mask size times the kernel's row outputs); 8-bit sources keep `rows` column-pass rows.
// No kernel has more than two row outputs or column passes.
constexpr Layout<2> fixed_ring_slots(std::int64_t width, int ks, int rows) {
    return layout(Slot{4 * (width + ks - 1)}, Slot{4 * rows * width, 4});
}
constexpr Layout<1> fixed_int_slots(std::int64_t width, int ks, int rows) {
    return layout(Slot{2 * rows * (width + ks - 1)});
}
constexpr int kFixedMaxRows = 2;

// Whole-image filters on a checked call: mask is 33 or 55, the border code passes the filter
// rule, and the buffer holds at least the size the matching query reports. 8u sources give exact
// 16s results (SobelCross, Laplacian) or the rounded window mean (Lowpass, 8u).
template <FixedOp op>
void fixed_filter(Target t, View<const std::uint8_t> src,
                  View<std::conditional_t<op == FixedOp::Lowpass, std::uint8_t, std::int16_t>> dst,
                  qpxMaskSize mask, std::uint32_t borderType, std::uint8_t borderValue,
                  std::uint8_t* buffer);
template <FixedOp op>
void fixed_filter(Target t, View<const float> src, View<float> dst, qpxMaskSize mask,
                  std::uint32_t borderType, float borderValue, std::uint8_t* buffer);

// Buffer size of a fixed filter for 8u (isFloat false) or 32f sources; mask is 33 or 55.
template <FixedOp op>
int fixed_buffer_size(qpxSize roi, qpxMaskSize mask, bool isFloat);

// Coefficients of (1 + z)^(n-1-d) (z - 1)^d, negated for sign < 0, in T's own arithmetic.
template <class T>
void gen_sobel_kernel(T* dst, int kernelSize, int derivOrder, int sign);

// Per-pixel reduction of three channels by a norm: 0 Inf, 1 L1, 2 L2 (T is u8, u16 or float).
template <class T>
void gradient_color_to_gray(Target t, View<const T> src, View<T> dst, int norm);

// ---- the kernels of one target ----

using Fixed8s = void (*)(View<const std::uint8_t>, View<std::int16_t>, std::uint32_t, std::uint8_t,
                         std::uint8_t*, bool);
using Fixed8u = void (*)(View<const std::uint8_t>, View<std::uint8_t>, std::uint32_t, std::uint8_t,
                         std::uint8_t*, bool);
using Fixed32f = void (*)(View<const float>, View<float>, std::uint32_t, float, std::uint8_t*,
                          bool);
template <class T>
using GrayFn = void (*)(View<const T>, View<T>, int);

// Filters take (src, dst, border, value, buffer, prefetch) over dst's ROI; `prefetch` only adds
// memory hints. Indexed [0] for 3x3 and [1] for 5x5.
struct FixedKernels {
    Fixed8s cross8[2], lap8[2];
    Fixed8u low8[2];
    Fixed32f f32[3][2];  // by FixedOp
    // First-derivative filters by DerivKind (derivative.hpp); Scharr has no 5x5 entry.
    Fixed8s deriv8[5][2];
    Fixed32f deriv32[5][2];
    // Colour-gradient reduction: integer Inf and L1 norms, every float norm.
    GrayFn<std::uint8_t> gray8;
    GrayFn<std::uint16_t> gray16;
    GrayFn<float> gray32;
    // Integer L2 in two steps: root mean squares of n pixels under the caller's rounding mode,
    // then their conversion in the control register's mode, saturated.
    void (*roots8)(const std::uint8_t*, float*, int);
    void (*roots16)(const std::uint16_t*, float*, int);
    void (*round8)(const float*, std::uint8_t*, int);
    void (*round16)(const float*, std::uint16_t*, int);
};
QPX_TARGET_TABLE(FixedKernels, fixed_kernels)

}  // namespace qpx::filter
