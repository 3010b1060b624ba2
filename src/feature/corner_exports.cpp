// Exports of the corner measures: one declaration of the checks per form, one line per export.
#include "feature/corner.hpp"
#include "frame/border.hpp"
#include "frame/decl.hpp"

namespace qpx::feature {
namespace {

using u8 = std::uint8_t;

enum class Eigen { MinVal, ValsVecs };

// Acceptance rules; `a[k]` is the value checked.
constexpr Rule kern_ok = [](const Val* a, int k) { return a[k].i >= 0 && a[k].i <= 2; };
// Aperture 3 or 5, but the Scharr kernel (1, just before) has no 5x5 form.
constexpr Rule aperture_ok = [](const Val* a, int k) {
    return one_of(a[k].i, 3, 5) && !(a[k - 1].i == 1 && a[k].i == 5);
};
constexpr Rule aperture_alone_ok = [](const Val* a, int k) { return one_of(a[k].i, 3, 5); };
constexpr Rule window_ok = [](const Val* a, int k) { return one_of(a[k].i, 3, 5); };
constexpr Rule extended_border_ok = [](const Val* a, int k) {
    return accept_extended_border(std::uint32_t(a[k].i));
};
constexpr Rule filter_type_ok = [](const Val* a, int k) {
    return a[k].i == qpxFilterSobel || a[k].i == qpxFilterScharr || a[k].i == qpxFilterCentralDiff;
};
// 5x5 only with the Sobel filter type just before.
constexpr Rule filter_mask_ok = [](const Val* a, int k) {
    return a[k].i == qpxMskSize3x3 || (a[k].i == qpxMskSize5x5 && a[k - 1].i == qpxFilterSobel);
};
constexpr Rule harris_border_ok = [](const Val* a, int k) {
    const std::int64_t b = a[k].i, kind = b & 15;
    return b <= 255 && (b == qpxBorderInMem || kind == 1 || kind == 3 || kind == 6);
};
constexpr Rule line_border_ok = [](const Val* a, int k) {
    const std::int64_t b = a[k].i, kind = b & 15;
    return b <= 255 && (b == qpxBorderInMem || kind == 1 || kind == 6);
};
constexpr Rule positive = [](const Val* a, int k) { return a[k].i >= 1; };
constexpr Rule nonzero = [](const Val* a, int k) { return a[k].i != 0; };
constexpr Rule mask_size_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpxMskSize3x3, qpxMskSize5x5);
};
constexpr Rule data_type_ok = [](const Val* a, int k) { return one_of(a[k].i, qpx8u, qpx32f); };
constexpr Rule one_channel = [](const Val* a, int k) { return a[k].i == 1; };

// (src, srcStep, dst, dstStep, roi, kernType, aperture, avgWindow[, border, borderValue], buffer)
template <class T, Eigen op>
constexpr const Decl& kEigen = decl<ptr(0), ptr(2), ptr(8), size(4), step<T>(1, 4),
                                    step(3, 4, op == Eigen::MinVal ? 4 : 24, 4),
                                    code(5, kern_ok, qpxStatusBadArgument, 0, 3, -1, 0, 2),
                                    code(6, aperture_ok, qpxStatusBadArgument, 3, 4, 7, 0, 2),
                                    code(7, window_ok, qpxStatusBadArgument, 3, 7, 1, 0, 2)>;
template <class T, Eigen op>
constexpr const Decl& kEigenBorder = decl<ptr(0), ptr(2), ptr(10), size(4), step<T>(1, 4),
                                          step(3, 4, op == Eigen::MinVal ? 4 : 24, 4),
                                          code(5, kern_ok, qpxStatusBadArgument, 0, 3, -1, 0, 2),
                                          code(6, aperture_ok, qpxStatusBadArgument, 3, 4, 7, 0, 2),
                                          code(7, window_ok, qpxStatusBadArgument, 3, 7, 1, 0, 2),
                                          border(8, extended_border_ok, 1, 2, 0x10, 0x1000)>;
// (roi, aperture, avgWindow, bufferSize)
constexpr const Decl& kEigenSize =
    decl<ptr(3), size(0), code(1, aperture_alone_ok, qpxStatusBadArgument, 3, 4, 0, 0, 2),
         code(2, window_ok, qpxStatusBadArgument, 5, 1, 4, 0, 2)>;
// (src, srcStep, dst, dstStep, roi, filterType, mask, avgWindow, k, scale, border, borderValue,
//  buffer). The row tests come before the family's own checks, and a 32f source keeps its
// multiple rule too.
#define QPX_HARRIS_CHECKS(T)                                                         \
    ptr(0), ptr(2), ptr(12), size(4), step<T>(1, 4), step<float>(3, 4),              \
        code(5, filter_type_ok, qpxStatusBadFilterType, qpxFilterSobel, 3, 7, 0, 2), \
        code(6, filter_mask_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2),   \
        border(10, harris_border_ok, 1, 2, 0xF2, 256),                               \
        code(7, positive, qpxStatusBadSize, 3, 0, -1, 0, 2)
constexpr const Decl& kHarris8u = decl<QPX_HARRIS_CHECKS(u8)>;
// In place is refused for the float source only.
constexpr const Decl& kHarris32f = decl<QPX_HARRIS_CHECKS(float), distinct(0, 2)>;
#undef QPX_HARRIS_CHECKS
// (src, srcStep, feature, featureStep, dst, dstStep, roi, filterType, mask, avgWindow,
//  threshold, border, borderValue, buffer)
constexpr const Decl& kLine =
    decl<ptr(0), ptr(2), ptr(4), ptr(13), size(6), step<u8>(1, 6), step<u8>(3, 6), step<u8>(5, 6),
         code(7, filter_type_ok, qpxStatusBadFilterType, qpxFilterSobel, 0, 7, 0, 2),
         code(8, filter_mask_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2),
         border(11, line_border_ok, 1, 3, 0x13, 300),
         code(9, positive, qpxStatusBadSize, 3, 0, -4, 0, 2), distinct(2, 4)>;
// (roi, mask, avgWindow, dataType, numChannels, bufferSize). Only a zero window is refused here;
// a negative one is refused by the operations.
constexpr const Decl& kHarrisSize =
    decl<ptr(5), size(0), code(1, mask_size_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2),
         code(3, data_type_ok, qpxStatusBadDataType, qpx8u, 7, 0, 0, 2),
         code(4, one_channel, qpxStatusBadChannelCount, 1, 3, 0, 0, 2),
         code(2, nonzero, qpxStatusBadSize, 3, 0, 0, 0, 1)>;

template <Eigen op, class T>
qpxStatus eigen(const T* src, int srcStep, float* dst, int dstStep, qpxSize roi, int kernType,
                int aperture, int avgWindow, bool bordered, std::uint32_t border, T borderValue,
                u8* buffer) {
    qpxStatus st = bordered ? check_args(kEigenBorder<T, op>, src, srcStep, dst, dstStep, roi,
                                         kernType, aperture, avgWindow, border, borderValue, buffer)
                            : check_args(kEigen<T, op>, src, srcStep, dst, dstStep, roi, kernType,
                                         aperture, avgWindow, buffer);
    if (st) return st;
    if (!bordered) border = qpxBorderRepl, borderValue = 0;
    if constexpr (op == Eigen::MinVal)
        min_eigen_val<T>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi), kernType,
                         aperture, avgWindow, border, borderValue, buffer);
    else
        eigen_vals_vecs<T>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi, 6),
                           kernType, aperture, avgWindow, border, borderValue, buffer);
    return qpxStatusOk;
}

template <class T>
qpxStatus eigen_size(qpxSize roi, int aperture, int avgWindow, int* bufferSize) {
    qpxStatus st = check_args(kEigenSize, roi, aperture, avgWindow, bufferSize);
    if (st) return st;
    *bufferSize = static_cast<int>(eigen_buffer_size<T>(roi, aperture));
    return qpxStatusOk;
}

template <class T>
qpxStatus harris(const T* src, int srcStep, float* dst, int dstStep, qpxSize roi, int filterType,
                 int mask, int avgWindow, float k, float scale, std::uint32_t border, T borderValue,
                 u8* buffer) {
    const Decl& d = std::is_same_v<T, float> ? kHarris32f : kHarris8u;
    qpxStatus st = check_args(d, src, srcStep, dst, dstStep, roi, filterType, mask, avgWindow, k,
                              scale, border, borderValue, buffer);
    if (st) return st;
    harris_corner<T>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi), filterType,
                     mask, avgWindow, k, scale, border, borderValue, buffer);
    return qpxStatusOk;
}

qpxStatus line(const u8* src, int srcStep, const u8* feature, int featureStep, u8* dst, int dstStep,
               qpxSize roi, int filterType, int mask, int avgWindow, float threshold,
               std::uint32_t border, u8 borderValue, u8* buffer) {
    qpxStatus st = check_args(kLine, src, srcStep, feature, featureStep, dst, dstStep, roi,
                              filterType, mask, avgWindow, threshold, border, borderValue, buffer);
    if (st) return st;
    line_suppression(cpu_target(), view(src, srcStep, roi), view(feature, featureStep, roi),
                     view(dst, dstStep, roi), filterType, mask, avgWindow, threshold, border,
                     borderValue, buffer);
    return qpxStatusOk;
}

qpxStatus harris_size(qpxSize roi, int mask, int avgWindow, int dataType, int numChannels,
                      int* bufferSize) {
    qpxStatus st = check_args(kHarrisSize, roi, mask, avgWindow, dataType, numChannels, bufferSize);
    if (st) return st;
    // Only a zero window is refused here; a negative one is refused by the operations, so any
    // size will do for it.
    *bufferSize = static_cast<int>(
        harris_buffer_size(roi, mask, avgWindow > 0 ? avgWindow : 1, dataType == qpx8u));
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::feature

using namespace qpx::feature;
using E = Eigen;

QPX_DECLARE(qpxiMinEigenValBorder_8u32f_C1R, (kEigenBorder<u8, E::MinVal>))
QPX_EXPORT qpxStatus qpxiMinEigenValBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                     int dstStep, qpxSize roiSize,
                                                     qpxKernelType kernType, int apertureSize,
                                                     int avgWindow, qpxBorderType borderType,
                                                     uint8_t borderValue, uint8_t* buffer) {
    return eigen<E::MinVal>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize, avgWindow,
                            true, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiMinEigenValBorder_32f_C1R, (kEigenBorder<float, E::MinVal>))
QPX_EXPORT qpxStatus qpxiMinEigenValBorder_32f_C1R(const float* src, int srcStep, float* dst,
                                                   int dstStep, qpxSize roiSize,
                                                   qpxKernelType kernType, int apertureSize,
                                                   int avgWindow, qpxBorderType borderType,
                                                   float borderValue, uint8_t* buffer) {
    return eigen<E::MinVal>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize, avgWindow,
                            true, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiMinEigenVal_8u32f_C1R, (kEigen<u8, E::MinVal>))
QPX_EXPORT qpxStatus qpxiMinEigenVal_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                               int dstStep, qpxSize roiSize, qpxKernelType kernType,
                                               int apertureSize, int avgWindow, uint8_t* buffer) {
    return eigen<E::MinVal, uint8_t>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                     avgWindow, false, 0, 0, buffer);
}
QPX_DECLARE(qpxiMinEigenVal_32f_C1R, (kEigen<float, E::MinVal>))
QPX_EXPORT qpxStatus qpxiMinEigenVal_32f_C1R(const float* src, int srcStep, float* dst, int dstStep,
                                             qpxSize roiSize, qpxKernelType kernType,
                                             int apertureSize, int avgWindow, uint8_t* buffer) {
    return eigen<E::MinVal, float>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                   avgWindow, false, 0, 0.0f, buffer);
}
QPX_DECLARE(qpxiEigenValsVecsBorder_8u32f_C1R, (kEigenBorder<u8, E::ValsVecs>))
QPX_EXPORT qpxStatus qpxiEigenValsVecsBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                       int dstStep, qpxSize roiSize,
                                                       qpxKernelType kernType, int apertureSize,
                                                       int avgWindow, qpxBorderType borderType,
                                                       uint8_t borderValue, uint8_t* buffer) {
    return eigen<E::ValsVecs>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                              avgWindow, true, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiEigenValsVecsBorder_32f_C1R, (kEigenBorder<float, E::ValsVecs>))
QPX_EXPORT qpxStatus qpxiEigenValsVecsBorder_32f_C1R(const float* src, int srcStep, float* dst,
                                                     int dstStep, qpxSize roiSize,
                                                     qpxKernelType kernType, int apertureSize,
                                                     int avgWindow, qpxBorderType borderType,
                                                     float borderValue, uint8_t* buffer) {
    return eigen<E::ValsVecs>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                              avgWindow, true, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiEigenValsVecs_8u32f_C1R, (kEigen<u8, E::ValsVecs>))
QPX_EXPORT qpxStatus qpxiEigenValsVecs_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                 int dstStep, qpxSize roiSize,
                                                 qpxKernelType kernType, int apertureSize,
                                                 int avgWindow, uint8_t* buffer) {
    return eigen<E::ValsVecs, uint8_t>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                       avgWindow, false, 0, 0, buffer);
}
QPX_DECLARE(qpxiEigenValsVecs_32f_C1R, (kEigen<float, E::ValsVecs>))
QPX_EXPORT qpxStatus qpxiEigenValsVecs_32f_C1R(const float* src, int srcStep, float* dst,
                                               int dstStep, qpxSize roiSize, qpxKernelType kernType,
                                               int apertureSize, int avgWindow, uint8_t* buffer) {
    return eigen<E::ValsVecs, float>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                     avgWindow, false, 0, 0.0f, buffer);
}
QPX_DECLARE(qpxiMinEigenValGetBufferSize_8u32f_C1R, kEigenSize)
QPX_EXPORT qpxStatus qpxiMinEigenValGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize,
                                                            int avgWindow, int* bufferSize) {
    return eigen_size<uint8_t>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_DECLARE(qpxiMinEigenValGetBufferSize_32f_C1R, kEigenSize)
QPX_EXPORT qpxStatus qpxiMinEigenValGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize,
                                                          int avgWindow, int* bufferSize) {
    return eigen_size<float>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_DECLARE(qpxiEigenValsVecsGetBufferSize_8u32f_C1R, kEigenSize)
QPX_EXPORT qpxStatus qpxiEigenValsVecsGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize,
                                                              int avgWindow, int* bufferSize) {
    return eigen_size<uint8_t>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_DECLARE(qpxiEigenValsVecsGetBufferSize_32f_C1R, kEigenSize)
QPX_EXPORT qpxStatus qpxiEigenValsVecsGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize,
                                                            int avgWindow, int* bufferSize) {
    return eigen_size<float>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_DECLARE(qpxiHarrisCorner_8u32f_C1R, kHarris8u)
QPX_EXPORT qpxStatus qpxiHarrisCorner_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                int dstStep, qpxSize roiSize,
                                                qpxDifferentialKernel filterType,
                                                qpxMaskSize filterMask, int avgWindow, float k,
                                                float scale, qpxBorderType borderType,
                                                uint8_t borderValue, uint8_t* buffer) {
    return harris<uint8_t>(src, srcStep, dst, dstStep, roiSize, filterType, filterMask, avgWindow,
                           k, scale, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiHarrisCorner_32f_C1R, kHarris32f)
QPX_EXPORT qpxStatus qpxiHarrisCorner_32f_C1R(const float* src, int srcStep, float* dst,
                                              int dstStep, qpxSize roiSize,
                                              qpxDifferentialKernel filterType,
                                              qpxMaskSize filterMask, int avgWindow, float k,
                                              float scale, qpxBorderType borderType,
                                              float borderValue, uint8_t* buffer) {
    return harris<float>(src, srcStep, dst, dstStep, roiSize, filterType, filterMask, avgWindow, k,
                         scale, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiHarrisCornerGetBufferSize, kHarrisSize)
QPX_EXPORT qpxStatus qpxiHarrisCornerGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask,
                                                   int avgWindow, qpxDataType dataType,
                                                   int numChannels, int* bufferSize) {
    return harris_size(roiSize, filterMask, avgWindow, dataType, numChannels, bufferSize);
}
QPX_DECLARE(qpxiLineSuppression_8u_C1R, kLine)
QPX_EXPORT qpxStatus qpxiLineSuppression_8u_C1R(const uint8_t* src, int srcStep,
                                                const uint8_t* feature, int featureStep,
                                                uint8_t* dst, int dstStep, qpxSize roiSize,
                                                qpxDifferentialKernel filterType,
                                                qpxMaskSize filterMask, int avgWindow,
                                                float threshold, qpxBorderType borderType,
                                                uint8_t borderValue, uint8_t* buffer) {
    return line(src, srcStep, feature, featureStep, dst, dstStep, roiSize, filterType, filterMask,
                avgWindow, threshold, borderType, borderValue, buffer);
}
QPX_DECLARE(qpxiLineSuppressionGetBufferSize, kHarrisSize)
QPX_EXPORT qpxStatus qpxiLineSuppressionGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask,
                                                      int avgWindow, qpxDataType dataType,
                                                      int numChannels, int* bufferSize) {
    return harris_size(roiSize, filterMask, avgWindow, dataType, numChannels, bufferSize);
}
