// Exports of the Canny edge detector: argument checks in the family's order, threshold
// conversion into the magnitude's type, then one shared detector.
#include <immintrin.h>

#include <algorithm>
#include <climits>

#include "feature/canny.hpp"
#include "frame/border.hpp"
#include "frame/decl.hpp"

namespace qpx::feature {
namespace {

using u8 = std::uint8_t;
using i16 = std::int16_t;
using i32 = std::int32_t;
using i64 = std::int64_t;

// Conversion toward zero to a 32-bit integer, saturated: the processor's out-of-range result is
// the smallest integer, which would turn a huge threshold into one that everything passes.
// Thresholds here are never negative or NaN.
inline i32 trunc32(float v) {
    return v >= 2147483648.0f ? INT32_MAX : _mm_cvttss_si32(_mm_set_ss(v));
}

// Thresholds: low >= 0 and high >= low; NaN fails both comparisons and so is refused as well.
// The low threshold is at k, the high one at k + 1.
constexpr Rule low_ok = [](const Val* a, int k) { return float(a[k].f) >= 0.0f; };
constexpr Rule high_ok = [](const Val* a, int k) { return float(a[k].f) >= float(a[k - 1].f); };
// The 16-bit long form with the L2 norm (at k + 2 from the low threshold) tests the squared
// thresholds it works with.
constexpr bool squared(const Val* a, int normAt) {
    return a[normAt].i == qpxEdgeNormL2;
}
constexpr float sq(double v) {
    return float(v) * float(v);
}
constexpr Rule low_ok_sq = [](const Val* a, int k) {
    return squared(a, k + 2) ? sq(a[k].f) >= 0.0f : low_ok(a, k);
};
constexpr Rule high_ok_sq = [](const Val* a, int k) {
    return squared(a, k + 1) ? sq(a[k].f) >= sq(a[k - 1].f) : high_ok(a, k);
};
constexpr Rule norm_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpxEdgeNormL1, qpxEdgeNormL2);
};

// (dx, dxStep, dy, dyStep, dst, dstStep, roi, low, high[, norm], buffer)
#define QPX_CANNY_STEPS(D) step<D>(1, 6), step<D>(3, 6), step<u8>(5, 6)
template <class D>
constexpr const Decl& kCanny = decl<ptr(0), ptr(2), ptr(4), ptr(9), size(6), QPX_CANNY_STEPS(D),
                                    code(7, low_ok, qpxStatusBadArgument, 1, -1, 0, 0, 1),
                                    code(8, high_ok, qpxStatusBadArgument, 2, 0.5, 0, 0, 1)>;
template <class D>
constexpr const Decl& kCannyL =
    decl<ptr(0), ptr(2), ptr(4), ptr(10), limit32(6), limit32(6, 1), limit32(1), limit32(3),
         limit32(5), size(6), QPX_CANNY_STEPS(D),
         code(7, std::is_same_v<D, i16> ? low_ok_sq : low_ok, qpxStatusBadArgument, 1, -1, 0, 0, 1),
         code(8, std::is_same_v<D, i16> ? high_ok_sq : high_ok, qpxStatusBadArgument, 2, 0.5, 0, 0,
              1),
         code(9, norm_ok, qpxStatusBadNorm, qpxEdgeNormL1, 0, 3, 0, 2)>;
#undef QPX_CANNY_STEPS

// (roi, bufferSize)
constexpr const Decl& kCannySize = decl<ptr(1), size(0)>;
constexpr const Decl& kCannySizeL = decl<ptr(1), limit32(0), limit32(0, 1), size(0)>;
// (roi, filterType, mask, dataType, bufferSize)
constexpr Rule border_mask_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpxMskSize3x3, qpxMskSize5x5);
};
constexpr const Decl& kCannyBorderSize =
    decl<ptr(4), size(0),
         code(2, border_mask_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2)>;

// (src, srcStep, dst, dstStep, roi, filterType, mask, border, borderValue, norm, low, high,
//  buffer). The mask comes first, ahead of the pointers; no 5x5 Scharr.
constexpr Rule canny_mask_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpxMskSize3x3, qpxMskSize5x5) &&
           !(a[k].i == qpxMskSize5x5 && a[k - 1].i == qpxFilterScharr);
};
constexpr Rule canny_filter_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpxFilterSobel, qpxFilterScharr);
};
constexpr Rule canny_border_ok = [](const Val* a, int k) {
    const std::int64_t b = a[k].i, kind = b & 15;
    return b < 256 && (b == qpxBorderInMem || kind == kBorderRepl || kind == kBorderConst);
};
// The norm and both thresholds form one test.
constexpr Rule border_low_ok = [](const Val* a, int k) { return !(float(a[k].f) < 0.0f); };
constexpr Rule border_high_ok = [](const Val* a, int k) {
    return !(float(a[k].f) < float(a[k - 1].f));
};
constexpr const Decl& kCannyBorder =
    decl<code(6, canny_mask_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2), ptr(0), ptr(2),
         ptr(12), size(4), step<u8>(1, 4), step<u8>(3, 4),
         code(5, canny_filter_ok, qpxStatusBadArgument, qpxFilterSobel, 8, 0, 0, 2),
         code(9, norm_ok, qpxStatusBadArgument, qpxEdgeNormL1, 0, 3, 0, 2),
         code(10, border_low_ok, qpxStatusBadArgument, 1, -1, 0, 0, 1),
         code(11, border_high_ok, qpxStatusBadArgument, 2, 0.5, 0, 0, 1),
         border(7, canny_border_ok, 1, 2, 0x13 + 0x100, 0xF3)>;

template <class D, Form form>
qpxStatus canny(const D* dx, i64 dxStep, const D* dy, i64 dyStep, u8* dst, i64 dstStep,
                qpxSizeL roi, float low, float high, u8* buffer, int norm) {
    constexpr bool wide = form == Form::Wide;
    qpxStatus st =
        wide ? check_args(kCannyL<D>, dx, dxStep, dy, dyStep, dst, dstStep, roi, low, high, norm,
                          buffer)
             : check_args(kCanny<D>, dx, dxStep, dy, dyStep, dst, dstStep, roi, low, high, buffer);
    if (st) return st;
    const bool squared = wide && norm == qpxEdgeNormL2;

    const float lo = squared ? low * low : low;
    const float hi = squared ? high * high : high;
    if constexpr (std::is_same_v<D, float>) {
        // The 32-bit-size float form keeps magnitudes equal to the low threshold.
        EdgeThresholds<float> th{lo, hi, !wide};
        if (squared)
            canny_deriv<float, float, EdgeMag::L2Square>(cpu_target(), view(dx, dxStep, roi),
                                                         view(dy, dyStep, roi),
                                                         view(dst, dstStep, roi), th, buffer);
        else
            canny_deriv<float, float, EdgeMag::L1>(cpu_target(), view(dx, dxStep, roi),
                                                   view(dy, dyStep, roi), view(dst, dstStep, roi),
                                                   th, buffer);
    } else {
        EdgeThresholds<i32> th{trunc32(lo), trunc32(hi), false};
        if (squared) {
            // The square sum of two -32768 derivatives, 2^31, is held as INT32_MAX, which no
            // other sum of two squares equals; a threshold of INT32_MAX then moves down by one so
            // that it still lies below that sum and above every other.
            th.low = std::min(th.low, INT32_MAX - 1);
            th.high = std::min(th.high, INT32_MAX - 1);
            canny_deriv<i16, i32, EdgeMag::L2Square>(cpu_target(), view(dx, dxStep, roi),
                                                     view(dy, dyStep, roi), view(dst, dstStep, roi),
                                                     th, buffer);
        } else {
            canny_deriv<i16, i32, EdgeMag::L1>(cpu_target(), view(dx, dxStep, roi),
                                               view(dy, dyStep, roi), view(dst, dstStep, roi), th,
                                               buffer);
        }
    }
    return qpxStatusOk;
}

inline qpxSizeL widen(qpxSize s) {
    return {s.width, s.height};
}

}  // namespace
}  // namespace qpx::feature

using namespace qpx;
using namespace qpx::feature;

QPX_DECLARE(qpxiCannyGetSize, kCannySize)
QPX_EXPORT qpxStatus qpxiCannyGetSize(qpxSize roiSize, int* bufferSize) {
    if (qpxStatus st = check_args(kCannySize, roiSize, bufferSize)) return st;
    // 32-bit size arithmetic: a result beyond the range wraps.
    *bufferSize = static_cast<int>(
        static_cast<std::uint32_t>(canny_buffer_size(roiSize.width, roiSize.height)));
    return qpxStatusOk;
}

QPX_DECLARE(qpxiCannyGetSize_L, kCannySizeL)
QPX_EXPORT qpxStatus qpxiCannyGetSize_L(qpxSizeL roiSize, int64_t* bufferSize) {
    if (qpxStatus st = check_args(kCannySizeL, roiSize, bufferSize)) return st;
    *bufferSize = canny_buffer_size(roiSize.width, roiSize.height);
    return qpxStatusOk;
}

QPX_DECLARE(qpxiCanny_16s8u_C1R, kCanny<i16>)
QPX_EXPORT qpxStatus qpxiCanny_16s8u_C1R(const int16_t* srcDx, int srcDxStep, const int16_t* srcDy,
                                         int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize,
                                         float lowThreshold, float highThreshold, uint8_t* buffer) {
    return canny<i16, Form::Narrow>(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep,
                                    widen(roiSize), lowThreshold, highThreshold, buffer,
                                    qpxEdgeNormL1);
}

QPX_DECLARE(qpxiCanny_32f8u_C1R, kCanny<float>)
QPX_EXPORT qpxStatus qpxiCanny_32f8u_C1R(const float* srcDx, int srcDxStep, const float* srcDy,
                                         int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize,
                                         float lowThreshold, float highThreshold, uint8_t* buffer) {
    return canny<float, Form::Narrow>(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep,
                                      widen(roiSize), lowThreshold, highThreshold, buffer,
                                      qpxEdgeNormL1);
}

QPX_DECLARE(qpxiCanny_16s8u_C1R_L, kCannyL<i16>)
QPX_EXPORT qpxStatus qpxiCanny_16s8u_C1R_L(const int16_t* srcDx, int64_t srcDxStep,
                                           const int16_t* srcDy, int64_t srcDyStep, uint8_t* dst,
                                           int64_t dstStep, qpxSizeL roiSize, float lowThreshold,
                                           float highThreshold, qpxEdgeNorm norm, uint8_t* buffer) {
    return canny<i16, Form::Wide>(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep, roiSize,
                                  lowThreshold, highThreshold, buffer, norm);
}

QPX_DECLARE(qpxiCanny_32f8u_C1R_L, kCannyL<float>)
QPX_EXPORT qpxStatus qpxiCanny_32f8u_C1R_L(const float* srcDx, int64_t srcDxStep,
                                           const float* srcDy, int64_t srcDyStep, uint8_t* dst,
                                           int64_t dstStep, qpxSizeL roiSize, float lowThreshold,
                                           float highThreshold, qpxEdgeNorm norm, uint8_t* buffer) {
    return canny<float, Form::Wide>(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep, roiSize,
                                    lowThreshold, highThreshold, buffer, norm);
}

QPX_DECLARE(qpxiCannyBorderGetSize, kCannyBorderSize)
QPX_EXPORT qpxStatus qpxiCannyBorderGetSize(qpxSize roiSize, qpxDifferentialKernel filterType,
                                            qpxMaskSize mask, qpxDataType dataType,
                                            int* bufferSize) {
    (void)filterType, (void)dataType;  // one layout serves every kernel
    qpxStatus st = check_args(kCannyBorderSize, roiSize, filterType, mask, dataType, bufferSize);
    if (st) return st;
    const int k = mask == qpxMskSize5x5 ? 5 : 3;
    *bufferSize = static_cast<int>(
        static_cast<std::uint32_t>(canny_border_buffer_size(roiSize.width, roiSize.height, k)));
    return qpxStatusOk;
}

QPX_DECLARE(qpxiCannyBorder_8u_C1R, kCannyBorder)
QPX_EXPORT qpxStatus qpxiCannyBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst,
                                            int dstStep, qpxSize roiSize,
                                            qpxDifferentialKernel filterType, qpxMaskSize mask,
                                            qpxBorderType borderType, uint8_t borderValue,
                                            qpxEdgeNorm norm, float lowThreshold,
                                            float highThreshold, uint8_t* buffer) {
    qpxStatus st = check_args(kCannyBorder, src, srcStep, dst, dstStep, roiSize, filterType, mask,
                              borderType, borderValue, norm, lowThreshold, highThreshold, buffer);
    if (st) return st;
    return canny_border(cpu_target(), view(src, srcStep, roiSize), view(dst, dstStep, roiSize),
                        filterType, mask, borderType, borderValue, norm, lowThreshold,
                        highThreshold, buffer);
}
