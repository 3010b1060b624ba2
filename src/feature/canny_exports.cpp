// Exports of the Canny edge detector: argument checks in the family's order, threshold
// conversion into the magnitude's type, then one shared detector.
#include <immintrin.h>

#include <algorithm>
#include <climits>

#include "feature/canny.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"

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

// NaN fails both comparisons and so is rejected as well.
inline bool thresholds_ok(float low, float high) {
    return low >= 0.0f && high >= low;
}

template <class D>
qpxStatus canny(const D* dx, i64 dxStep, const D* dy, i64 dyStep, u8* dst, i64 dstStep,
                qpxSizeL roi, float low, float high, u8* buffer, bool longForm, int norm) {
    Check c;
    c.ptrs(dx, dy, dst, buffer);
    if (longForm) c.fits32(roi).fits32(dxStep).fits32(dyStep).fits32(dstStep);
    c.size(roi).steps({stepOf<D>(dxStep, roi.width), stepOf<D>(dyStep, roi.width),
                       stepOf<u8>(dstStep, roi.width)});
    // The 16-bit long form with the L2 norm tests the squared thresholds it works with.
    const bool squared = longForm && norm == qpxEdgeNormL2;
    if (squared && std::is_same_v<D, i16>)
        c.require(thresholds_ok(low * low, high * high), qpxStatusBadArgument);
    else
        c.require(thresholds_ok(low, high), qpxStatusBadArgument);
    if (longForm) c.require(norm == qpxEdgeNormL1 || norm == qpxEdgeNormL2, qpxStatusBadNorm);
    if (!c.ok()) return c;

    const float lo = squared ? low * low : low;
    const float hi = squared ? high * high : high;
    if constexpr (std::is_same_v<D, float>) {
        // The 32-bit-size float form keeps magnitudes equal to the low threshold.
        EdgeThresholds<float> th{lo, hi, !longForm};
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

QPX_EXPORT qpxStatus qpxiCannyGetSize(qpxSize roiSize, int* bufferSize) {
    if (qpxStatus st = Check().ptrs(bufferSize).size(roiSize); st) return st;
    // 32-bit size arithmetic: a result beyond the range wraps.
    *bufferSize = static_cast<int>(
        static_cast<std::uint32_t>(canny_buffer_size(roiSize.width, roiSize.height)));
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiCannyGetSize_L(qpxSizeL roiSize, int64_t* bufferSize) {
    if (qpxStatus st = Check().ptrs(bufferSize).fits32(roiSize).size(roiSize); st) return st;
    *bufferSize = canny_buffer_size(roiSize.width, roiSize.height);
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiCanny_16s8u_C1R(const int16_t* srcDx, int srcDxStep, const int16_t* srcDy,
                                         int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize,
                                         float lowThreshold, float highThreshold, uint8_t* buffer) {
    return canny(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep, widen(roiSize), lowThreshold,
                 highThreshold, buffer, false, qpxEdgeNormL1);
}

QPX_EXPORT qpxStatus qpxiCanny_32f8u_C1R(const float* srcDx, int srcDxStep, const float* srcDy,
                                         int srcDyStep, uint8_t* dst, int dstStep, qpxSize roiSize,
                                         float lowThreshold, float highThreshold, uint8_t* buffer) {
    return canny(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep, widen(roiSize), lowThreshold,
                 highThreshold, buffer, false, qpxEdgeNormL1);
}

QPX_EXPORT qpxStatus qpxiCanny_16s8u_C1R_L(const int16_t* srcDx, int64_t srcDxStep,
                                           const int16_t* srcDy, int64_t srcDyStep, uint8_t* dst,
                                           int64_t dstStep, qpxSizeL roiSize, float lowThreshold,
                                           float highThreshold, qpxEdgeNorm norm, uint8_t* buffer) {
    return canny(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep, roiSize, lowThreshold,
                 highThreshold, buffer, true, norm);
}

QPX_EXPORT qpxStatus qpxiCanny_32f8u_C1R_L(const float* srcDx, int64_t srcDxStep,
                                           const float* srcDy, int64_t srcDyStep, uint8_t* dst,
                                           int64_t dstStep, qpxSizeL roiSize, float lowThreshold,
                                           float highThreshold, qpxEdgeNorm norm, uint8_t* buffer) {
    return canny(srcDx, srcDxStep, srcDy, srcDyStep, dst, dstStep, roiSize, lowThreshold,
                 highThreshold, buffer, true, norm);
}

QPX_EXPORT qpxStatus qpxiCannyBorderGetSize(qpxSize roiSize, qpxDifferentialKernel filterType,
                                            qpxMaskSize mask, qpxDataType dataType,
                                            int* bufferSize) {
    (void)filterType, (void)dataType;  // one layout serves every kernel
    qpxStatus st =
        Check()
            .ptrs(bufferSize)
            .size(roiSize)
            .require(mask == qpxMskSize3x3 || mask == qpxMskSize5x5, qpxStatusBadMaskSize);
    if (st) return st;
    const int k = mask == qpxMskSize5x5 ? 5 : 3;
    *bufferSize = static_cast<int>(
        static_cast<std::uint32_t>(canny_border_buffer_size(roiSize.width, roiSize.height, k)));
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiCannyBorder_8u_C1R(const uint8_t* src, int srcStep, uint8_t* dst,
                                            int dstStep, qpxSize roiSize,
                                            qpxDifferentialKernel filterType, qpxMaskSize mask,
                                            qpxBorderType borderType, uint8_t borderValue,
                                            qpxEdgeNorm norm, float lowThreshold,
                                            float highThreshold, uint8_t* buffer) {
    const unsigned kind = borderType & 15u;
    qpxStatus st =
        Check()
            .require((mask == qpxMskSize3x3 || mask == qpxMskSize5x5) &&
                         !(mask == qpxMskSize5x5 && filterType == qpxFilterScharr),
                     qpxStatusBadMaskSize)
            .ptrs(src, dst, buffer)
            .size(roiSize)
            .steps({stepOf<u8>(srcStep, roiSize.width), stepOf<u8>(dstStep, roiSize.width)})
            .require(filterType == qpxFilterSobel || filterType == qpxFilterScharr,
                     qpxStatusBadArgument)
            .require((norm == qpxEdgeNormL1 || norm == qpxEdgeNormL2) && !(lowThreshold < 0.0f) &&
                         !(highThreshold < lowThreshold),
                     qpxStatusBadArgument)
            .require(borderType < 256 && (borderType == qpxBorderInMem || kind == kBorderRepl ||
                                          kind == kBorderConst),
                     qpxStatusBadBorder);
    if (st) return st;
    return canny_border(cpu_target(), view(src, srcStep, roiSize), view(dst, dstStep, roiSize),
                        filterType, mask, borderType, borderValue, norm, lowThreshold,
                        highThreshold, buffer);
}
