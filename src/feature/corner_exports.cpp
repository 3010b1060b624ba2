// Exports of the corner measures: one shared check chain per form, one line per export.
#include "feature/corner.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"

namespace qpx::feature {
namespace {

using u8 = std::uint8_t;

enum class Eigen { MinVal, ValsVecs };

template <Eigen op, class T>
qpxStatus eigen(const T* src, int srcStep, float* dst, int dstStep, qpxSize roi, int kernType,
                int aperture, int avgWindow, bool bordered, std::uint32_t border, T borderValue,
                u8* buffer) {
    const int dstPixel = op == Eigen::MinVal ? 4 : 24;
    qpxStatus st =
        Check()
            .ptrs(src, dst, buffer)
            .size(roi)
            .steps({stepOf<T>(srcStep, roi.width),
                    StepArg{dstStep, std::int64_t(roi.width) * dstPixel, 4}})
            .require(kernType >= 0 && kernType <= 2, qpxStatusBadArgument)
            .require((aperture == 3 || aperture == 5) && !(kernType == 1 && aperture == 5),
                     qpxStatusBadArgument)
            .require(avgWindow == 3 || avgWindow == 5, qpxStatusBadArgument)
            .require(!bordered || accept_extended_border(border), qpxStatusBadBorder);
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
    qpxStatus st = Check()
                       .ptrs(bufferSize)
                       .size(roi)
                       .require(aperture == 3 || aperture == 5, qpxStatusBadArgument)
                       .require(avgWindow == 3 || avgWindow == 5, qpxStatusBadArgument);
    if (st) return st;
    *bufferSize = static_cast<int>(eigen_buffer_size<T>(roi, aperture));
    return qpxStatusOk;
}

bool filter_type_ok(int type) {
    return type == qpxFilterSobel || type == qpxFilterScharr || type == qpxFilterCentralDiff;
}
bool filter_mask_ok(int type, int mask) {
    return mask == qpxMskSize3x3 || (mask == qpxMskSize5x5 && type == qpxFilterSobel);
}

template <class T>
qpxStatus harris(const T* src, int srcStep, float* dst, int dstStep, qpxSize roi, int filterType,
                 int mask, int avgWindow, float k, float scale, std::uint32_t border, T borderValue,
                 u8* buffer) {
    const unsigned kind = border & 15u;
    Check chk;
    chk.ptrs(src, dst)
        .ptrs(buffer)
        .size(roi)
        // The family's own list names only the float multiple and a negative step; the general
        // row test comes first, and a 32f source keeps its multiple rule too.
        .steps({stepOf<T>(srcStep, roi.width), stepOf<float>(dstStep, roi.width)})
        .require(filter_type_ok(filterType), qpxStatusBadFilterType)
        .require(filter_mask_ok(filterType, mask), qpxStatusBadMaskSize)
        .require(border <= 255 && (border == qpxBorderInMem || kind == 1 || kind == 3 || kind == 6),
                 qpxStatusBadBorder)
        .require(avgWindow >= 1, qpxStatusBadSize);
    if constexpr (std::is_same_v<T, float>) chk.distinct(src, dst);
    if (qpxStatus st = chk) return st;
    harris_corner<T>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi), filterType,
                     mask, avgWindow, k, scale, border, borderValue, buffer);
    return qpxStatusOk;
}

qpxStatus line(const u8* src, int srcStep, const u8* feature, int featureStep, u8* dst, int dstStep,
               qpxSize roi, int filterType, int mask, int avgWindow, float threshold,
               std::uint32_t border, u8 borderValue, u8* buffer) {
    const unsigned kind = border & 15u;
    qpxStatus st =
        Check()
            .ptrs(src, feature, dst)
            .ptrs(buffer)
            .size(roi)
            .steps({stepOf<u8>(srcStep, roi.width), stepOf<u8>(featureStep, roi.width),
                    stepOf<u8>(dstStep, roi.width)})
            .require(filter_type_ok(filterType), qpxStatusBadFilterType)
            .require(filter_mask_ok(filterType, mask), qpxStatusBadMaskSize)
            .require(border <= 255 && (border == qpxBorderInMem || kind == 1 || kind == 6),
                     qpxStatusBadBorder)
            .require(avgWindow >= 1, qpxStatusBadSize)
            .distinct(feature, dst);
    if (st) return st;
    line_suppression(cpu_target(), view(src, srcStep, roi), view(feature, featureStep, roi),
                     view(dst, dstStep, roi), filterType, mask, avgWindow, threshold, border,
                     borderValue, buffer);
    return qpxStatusOk;
}

qpxStatus harris_size(qpxSize roi, int mask, int avgWindow, int dataType, int numChannels,
                      int* bufferSize) {
    qpxStatus st =
        Check()
            .ptrs(bufferSize)
            .size(roi)
            .require(mask == qpxMskSize3x3 || mask == qpxMskSize5x5, qpxStatusBadMaskSize)
            .require(dataType == qpx8u || dataType == qpx32f, qpxStatusBadDataType)
            .require(numChannels == 1, qpxStatusBadChannelCount)
            .require(avgWindow != 0, qpxStatusBadSize);
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

QPX_EXPORT qpxStatus qpxiMinEigenValBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                     int dstStep, qpxSize roiSize,
                                                     qpxKernelType kernType, int apertureSize,
                                                     int avgWindow, qpxBorderType borderType,
                                                     uint8_t borderValue, uint8_t* buffer) {
    return eigen<E::MinVal>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize, avgWindow,
                            true, borderType, borderValue, buffer);
}
QPX_EXPORT qpxStatus qpxiMinEigenValBorder_32f_C1R(const float* src, int srcStep, float* dst,
                                                   int dstStep, qpxSize roiSize,
                                                   qpxKernelType kernType, int apertureSize,
                                                   int avgWindow, qpxBorderType borderType,
                                                   float borderValue, uint8_t* buffer) {
    return eigen<E::MinVal>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize, avgWindow,
                            true, borderType, borderValue, buffer);
}
QPX_EXPORT qpxStatus qpxiMinEigenVal_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                               int dstStep, qpxSize roiSize, qpxKernelType kernType,
                                               int apertureSize, int avgWindow, uint8_t* buffer) {
    return eigen<E::MinVal, uint8_t>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                     avgWindow, false, 0, 0, buffer);
}
QPX_EXPORT qpxStatus qpxiMinEigenVal_32f_C1R(const float* src, int srcStep, float* dst, int dstStep,
                                             qpxSize roiSize, qpxKernelType kernType,
                                             int apertureSize, int avgWindow, uint8_t* buffer) {
    return eigen<E::MinVal, float>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                   avgWindow, false, 0, 0.0f, buffer);
}
QPX_EXPORT qpxStatus qpxiEigenValsVecsBorder_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                       int dstStep, qpxSize roiSize,
                                                       qpxKernelType kernType, int apertureSize,
                                                       int avgWindow, qpxBorderType borderType,
                                                       uint8_t borderValue, uint8_t* buffer) {
    return eigen<E::ValsVecs>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                              avgWindow, true, borderType, borderValue, buffer);
}
QPX_EXPORT qpxStatus qpxiEigenValsVecsBorder_32f_C1R(const float* src, int srcStep, float* dst,
                                                     int dstStep, qpxSize roiSize,
                                                     qpxKernelType kernType, int apertureSize,
                                                     int avgWindow, qpxBorderType borderType,
                                                     float borderValue, uint8_t* buffer) {
    return eigen<E::ValsVecs>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                              avgWindow, true, borderType, borderValue, buffer);
}
QPX_EXPORT qpxStatus qpxiEigenValsVecs_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                 int dstStep, qpxSize roiSize,
                                                 qpxKernelType kernType, int apertureSize,
                                                 int avgWindow, uint8_t* buffer) {
    return eigen<E::ValsVecs, uint8_t>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                       avgWindow, false, 0, 0, buffer);
}
QPX_EXPORT qpxStatus qpxiEigenValsVecs_32f_C1R(const float* src, int srcStep, float* dst,
                                               int dstStep, qpxSize roiSize, qpxKernelType kernType,
                                               int apertureSize, int avgWindow, uint8_t* buffer) {
    return eigen<E::ValsVecs, float>(src, srcStep, dst, dstStep, roiSize, kernType, apertureSize,
                                     avgWindow, false, 0, 0.0f, buffer);
}
QPX_EXPORT qpxStatus qpxiMinEigenValGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize,
                                                            int avgWindow, int* bufferSize) {
    return eigen_size<uint8_t>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_EXPORT qpxStatus qpxiMinEigenValGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize,
                                                          int avgWindow, int* bufferSize) {
    return eigen_size<float>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_EXPORT qpxStatus qpxiEigenValsVecsGetBufferSize_8u32f_C1R(qpxSize roiSize, int apertureSize,
                                                              int avgWindow, int* bufferSize) {
    return eigen_size<uint8_t>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_EXPORT qpxStatus qpxiEigenValsVecsGetBufferSize_32f_C1R(qpxSize roiSize, int apertureSize,
                                                            int avgWindow, int* bufferSize) {
    return eigen_size<float>(roiSize, apertureSize, avgWindow, bufferSize);
}
QPX_EXPORT qpxStatus qpxiHarrisCorner_8u32f_C1R(const uint8_t* src, int srcStep, float* dst,
                                                int dstStep, qpxSize roiSize,
                                                qpxDifferentialKernel filterType,
                                                qpxMaskSize filterMask, int avgWindow, float k,
                                                float scale, qpxBorderType borderType,
                                                uint8_t borderValue, uint8_t* buffer) {
    return harris<uint8_t>(src, srcStep, dst, dstStep, roiSize, filterType, filterMask, avgWindow,
                           k, scale, borderType, borderValue, buffer);
}
QPX_EXPORT qpxStatus qpxiHarrisCorner_32f_C1R(const float* src, int srcStep, float* dst,
                                              int dstStep, qpxSize roiSize,
                                              qpxDifferentialKernel filterType,
                                              qpxMaskSize filterMask, int avgWindow, float k,
                                              float scale, qpxBorderType borderType,
                                              float borderValue, uint8_t* buffer) {
    return harris<float>(src, srcStep, dst, dstStep, roiSize, filterType, filterMask, avgWindow, k,
                         scale, borderType, borderValue, buffer);
}
QPX_EXPORT qpxStatus qpxiHarrisCornerGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask,
                                                   int avgWindow, qpxDataType dataType,
                                                   int numChannels, int* bufferSize) {
    return harris_size(roiSize, filterMask, avgWindow, dataType, numChannels, bufferSize);
}
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
QPX_EXPORT qpxStatus qpxiLineSuppressionGetBufferSize(qpxSize roiSize, qpxMaskSize filterMask,
                                                      int avgWindow, qpxDataType dataType,
                                                      int numChannels, int* bufferSize) {
    return harris_size(roiSize, filterMask, avgWindow, dataType, numChannels, bufferSize);
}
