// Integral images (upright and tilted, with their squared twins) and the window standard
// deviation read from them: the kernels behind the exports, open to the tests so that every
// vector target can be compared with the scalar one.
#pragma once

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::stats {

using u8 = std::uint8_t;
using s32 = std::int32_t;

// Integral outputs are views of the whole integral image: (W + 1) x (H + 1) upright,
// (W + 2) x (H + 2) tilted, for a W x H source.
struct IntegralKernels {
    void (*int_8u32s)(View<const u8>, View<s32>, s32);
    void (*int_8u32f)(View<const u8>, View<float>, float);
    void (*int_32f)(View<const float>, View<float>);
    void (*sqr_8u32s)(View<const u8>, View<s32>, View<s32>, s32, s32);
    void (*sqr_8u32s64f)(View<const u8>, View<s32>, View<double>, s32, double);
    void (*sqr_8u32f64f)(View<const u8>, View<float>, View<double>, float, double);
    void (*tilt_8u32s)(View<const u8>, View<s32>, s32);
    void (*tilt_8u32f)(View<const u8>, View<float>, float);
    void (*tsqr_8u32s)(View<const u8>, View<s32>, View<s32>, s32, s32);
    void (*tsqr_8u32s64f)(View<const u8>, View<s32>, View<double>, s32, double);
    void (*tsqr_8u32f64f)(View<const u8>, View<float>, View<double>, float, double);

    // Window standard deviation: `src` and `sqr` point where the window of output (0, 0) is
    // taken from (the caller's pointers); `dst` is the output ROI. The last argument is the
    // scale factor of the 32s results, ignored by the float ones.
    void (*sd_32s_sfs)(View<const s32>, View<const s32>, View<s32>, qpxRect, int);
    void (*sd_32s32f)(View<const s32>, View<const double>, View<float>, qpxRect, int);
    void (*sd_32f)(View<const float>, View<const double>, View<float>, qpxRect, int);
    void (*tsd_32s_sfs)(View<const s32>, View<const s32>, View<s32>, qpxRect, int);
    void (*tsd_32s32f)(View<const s32>, View<const double>, View<float>, qpxRect, int);
    void (*tsd_32f)(View<const float>, View<const double>, View<float>, qpxRect, int);
};
QPX_TARGET_TABLE(IntegralKernels, integral_kernels)

}  // namespace qpx::stats
