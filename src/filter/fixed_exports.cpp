// Exports of the fixed filters, the kernel generator and the colour-gradient reduction: one
// shared check per form, one line per export.
#include "filter/fixed.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"

namespace qpx::filter {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;

bool mask_ok(qpxMaskSize mask) {
    return mask == qpxMskSize3x3 || mask == qpxMskSize5x5;
}

template <FixedOp op, class Src, class Dst>
qpxStatus filter(const Src* src, int srcStep, Dst* dst, int dstStep, qpxSize roi, qpxMaskSize mask,
                 qpxBorderType border, Src value, u8* buffer) {
    qpxStatus st = Check()
                       .ptrs(src, dst, buffer)
                       .size(roi)
                       .steps({stepOf<Src>(srcStep, roi.width), stepOf<Dst>(dstStep, roi.width)})
                       .require(accept_filter_border(border), qpxStatusBadBorder)
                       .require(mask_ok(mask), qpxStatusBadMaskSize);
    if (st) return st;
    fixed_filter<op>(cpu_target(), src, srcStep, dst, dstStep, roi, mask, border, value, buffer);
    return qpxStatusOk;
}

template <FixedOp op, bool isFloat>
qpxStatus buffer_size(qpxSize roi, qpxMaskSize mask, int* size) {
    qpxStatus st = Check().ptrs(size).size(roi).require(mask_ok(mask), qpxStatusBadMaskSize);
    if (st) return st;
    *size = fixed_buffer_size<op>(roi, mask, isFloat);
    return qpxStatusOk;
}

template <class T>
qpxStatus gen_sobel(T* dst, int n, int d, int sign) {
    qpxStatus st =
        Check().ptrs(dst).require(n > d && n >= 1 && n % 2 == 1 && d >= 0, qpxStatusBadSize);
    if (st) return st;
    gen_sobel_kernel<T>(dst, n, d, sign);
    return qpxStatusOk;
}

template <class T>
qpxStatus color_to_gray(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, int norm) {
    qpxStatus st = Check()
                       .ptrs(src, dst)
                       .size(roi)
                       .steps({stepOf<T>(srcStep, roi.width, 3), stepOf<T>(dstStep, roi.width)})
                       .require(norm >= 0 && norm <= 2, qpxStatusBadArgument);
    if (st) return st;
    gradient_color_to_gray<T>(cpu_target(), src, srcStep, dst, dstStep, roi, norm);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::filter

using namespace qpx::filter;
using qpx::filter::FixedOp;

#define QPX_FIXED_ARGS(S, D)                                                                \
    (const S* src, int srcStep, D* dst, int dstStep, qpxSize roiSize, qpxMaskSize maskSize, \
     qpxBorderType borderType, S borderValue, std::uint8_t* buffer)
#define QPX_FIXED_PASS \
    src, srcStep, dst, dstStep, roiSize, maskSize, borderType, borderValue, buffer

QPX_EXPORT qpxStatus qpxiFilterSobelCrossBorder_8u16s_C1R QPX_FIXED_ARGS(u8, i16) {
    return filter<FixedOp::SobelCross>(QPX_FIXED_PASS);
}
QPX_EXPORT qpxStatus qpxiFilterSobelCrossBorder_32f_C1R QPX_FIXED_ARGS(float, float) {
    return filter<FixedOp::SobelCross>(QPX_FIXED_PASS);
}
QPX_EXPORT qpxStatus qpxiFilterLaplacianBorder_8u16s_C1R QPX_FIXED_ARGS(u8, i16) {
    return filter<FixedOp::Laplacian>(QPX_FIXED_PASS);
}
QPX_EXPORT qpxStatus qpxiFilterLaplacianBorder_32f_C1R QPX_FIXED_ARGS(float, float) {
    return filter<FixedOp::Laplacian>(QPX_FIXED_PASS);
}
QPX_EXPORT qpxStatus qpxiFilterLowpassBorder_8u_C1R QPX_FIXED_ARGS(u8, u8) {
    return filter<FixedOp::Lowpass>(QPX_FIXED_PASS);
}
QPX_EXPORT qpxStatus qpxiFilterLowpassBorder_32f_C1R QPX_FIXED_ARGS(float, float) {
    return filter<FixedOp::Lowpass>(QPX_FIXED_PASS);
}

QPX_EXPORT qpxStatus qpxiFilterSobelCrossGetBufferSize_8u16s_C1R(qpxSize roiSize,
                                                                 qpxMaskSize maskSize,
                                                                 int* bufferSize) {
    return buffer_size<FixedOp::SobelCross, false>(roiSize, maskSize, bufferSize);
}
QPX_EXPORT qpxStatus qpxiFilterSobelCrossGetBufferSize_32f_C1R(qpxSize roiSize,
                                                               qpxMaskSize maskSize,
                                                               int* bufferSize) {
    return buffer_size<FixedOp::SobelCross, true>(roiSize, maskSize, bufferSize);
}
QPX_EXPORT qpxStatus qpxiFilterLaplacianGetBufferSize_8u16s_C1R(qpxSize roiSize,
                                                                qpxMaskSize maskSize,
                                                                int* bufferSize) {
    return buffer_size<FixedOp::Laplacian, false>(roiSize, maskSize, bufferSize);
}
QPX_EXPORT qpxStatus qpxiFilterLaplacianGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize,
                                                              int* bufferSize) {
    return buffer_size<FixedOp::Laplacian, true>(roiSize, maskSize, bufferSize);
}
QPX_EXPORT qpxStatus qpxiFilterLowpassGetBufferSize_8u_C1R(qpxSize roiSize, qpxMaskSize maskSize,
                                                           int* bufferSize) {
    return buffer_size<FixedOp::Lowpass, false>(roiSize, maskSize, bufferSize);
}
QPX_EXPORT qpxStatus qpxiFilterLowpassGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize,
                                                            int* bufferSize) {
    return buffer_size<FixedOp::Lowpass, true>(roiSize, maskSize, bufferSize);
}

QPX_EXPORT qpxStatus qpxiGenSobelKernel_32f(float* dst, int kernelSize, int derivOrder, int sign) {
    return gen_sobel(dst, kernelSize, derivOrder, sign);
}
QPX_EXPORT qpxStatus qpxiGenSobelKernel_16s(std::int16_t* dst, int kernelSize, int derivOrder,
                                            int sign) {
    return gen_sobel(dst, kernelSize, derivOrder, sign);
}

QPX_EXPORT qpxStatus qpxiGradientColorToGray_8u_C3C1R(const u8* src, int srcStep, u8* dst,
                                                      int dstStep, qpxSize roiSize,
                                                      qpxNormType norm) {
    return color_to_gray(src, srcStep, dst, dstStep, roiSize, norm);
}
QPX_EXPORT qpxStatus qpxiGradientColorToGray_16u_C3C1R(const u16* src, int srcStep, u16* dst,
                                                       int dstStep, qpxSize roiSize,
                                                       qpxNormType norm) {
    return color_to_gray(src, srcStep, dst, dstStep, roiSize, norm);
}
QPX_EXPORT qpxStatus qpxiGradientColorToGray_32f_C3C1R(const float* src, int srcStep, float* dst,
                                                       int dstStep, qpxSize roiSize,
                                                       qpxNormType norm) {
    return color_to_gray(src, srcStep, dst, dstStep, roiSize, norm);
}
