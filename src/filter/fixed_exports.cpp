// Exports of the fixed filters, the kernel generator and the colour-gradient reduction: one
// declaration of the checks per form, one line per export.
#include "filter/fixed.hpp"
#include "frame/border.hpp"
#include "frame/decl.hpp"

namespace qpx::filter {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;

constexpr Rule mask_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpxMskSize3x3, qpxMskSize5x5);
};
constexpr Rule border_ok = [](const Val* a, int k) {
    return accept_filter_border(std::uint32_t(a[k].i));
};
// (src, srcStep, dst, dstStep, roi, mask, border, borderValue, buffer)
template <class Src, class Dst>
constexpr const Decl& kFixed =
    decl<ptr(0), ptr(2), ptr(8), size(4), step<Src>(1, 4), step<Dst>(3, 4),
         border(6, border_ok, kBorderRepl, 2, 0x100, 0x14),
         code(5, mask_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2)>;
// (roi, mask, bufferSize)
constexpr const Decl& kFixedSize =
    decl<ptr(2), size(0), code(1, mask_ok, qpxStatusBadMaskSize, qpxMskSize3x3, 35, 0, 0, 2)>;
// (dst, kernelSize, derivOrder, sign): an odd size of at least 1, an order below it.
constexpr Rule sobel_size_ok = [](const Val* a, int k) { return a[k].i >= 1 && a[k].i % 2 == 1; };
constexpr Rule deriv_ok = [](const Val* a, int k) { return a[k].i >= 0 && a[k].i < a[k - 1].i; };
constexpr const Decl& kGenSobel =
    decl<ptr(0), code(1, sobel_size_ok, qpxStatusBadSize, 3, 4, -1, 0, 2),
         code(2, deriv_ok, qpxStatusBadSize, 1, -1, 3, 0, 2)>;
// (src, srcStep, dst, dstStep, roi, norm)
constexpr Rule norm_type_ok = [](const Val* a, int k) { return a[k].i >= 0 && a[k].i <= 2; };
template <class T>
constexpr const Decl& kColorToGray =
    decl<ptr(0), ptr(2), size(4), step<T>(1, 4, 3), step<T>(3, 4),
         code(5, norm_type_ok, qpxStatusBadArgument, 0, 3, -1, 0, 2)>;

template <FixedOp op, class Src, class Dst>
qpxStatus filter(const Src* src, int srcStep, Dst* dst, int dstStep, qpxSize roi, qpxMaskSize mask,
                 qpxBorderType border, Src value, u8* buffer) {
    qpxStatus st =
        check_args(kFixed<Src, Dst>, src, srcStep, dst, dstStep, roi, mask, border, value, buffer);
    if (st) return st;
    fixed_filter<op>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi), mask, border,
                     value, buffer);
    return qpxStatusOk;
}

template <FixedOp op, bool isFloat>
qpxStatus buffer_size(qpxSize roi, qpxMaskSize mask, int* size) {
    qpxStatus st = check_args(kFixedSize, roi, mask, size);
    if (st) return st;
    *size = fixed_buffer_size<op>(roi, mask, isFloat);
    return qpxStatusOk;
}

template <class T>
qpxStatus gen_sobel(T* dst, int n, int d, int sign) {
    qpxStatus st = check_args(kGenSobel, dst, n, d, sign);
    if (st) return st;
    gen_sobel_kernel<T>(dst, n, d, sign);
    return qpxStatusOk;
}

template <class T>
qpxStatus color_to_gray(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, int norm) {
    qpxStatus st = check_args(kColorToGray<T>, src, srcStep, dst, dstStep, roi, norm);
    if (st) return st;
    gradient_color_to_gray<T>(cpu_target(), view(src, srcStep, roi, 3), view(dst, dstStep, roi),
                              norm);
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

QPX_DECLARE(qpxiFilterSobelCrossBorder_8u16s_C1R, (kFixed<u8, i16>))
QPX_EXPORT qpxStatus qpxiFilterSobelCrossBorder_8u16s_C1R QPX_FIXED_ARGS(u8, i16) {
    return filter<FixedOp::SobelCross>(QPX_FIXED_PASS);
}
QPX_DECLARE(qpxiFilterSobelCrossBorder_32f_C1R, (kFixed<float, float>))
QPX_EXPORT qpxStatus qpxiFilterSobelCrossBorder_32f_C1R QPX_FIXED_ARGS(float, float) {
    return filter<FixedOp::SobelCross>(QPX_FIXED_PASS);
}
QPX_DECLARE(qpxiFilterLaplacianBorder_8u16s_C1R, (kFixed<u8, i16>))
QPX_EXPORT qpxStatus qpxiFilterLaplacianBorder_8u16s_C1R QPX_FIXED_ARGS(u8, i16) {
    return filter<FixedOp::Laplacian>(QPX_FIXED_PASS);
}
QPX_DECLARE(qpxiFilterLaplacianBorder_32f_C1R, (kFixed<float, float>))
QPX_EXPORT qpxStatus qpxiFilterLaplacianBorder_32f_C1R QPX_FIXED_ARGS(float, float) {
    return filter<FixedOp::Laplacian>(QPX_FIXED_PASS);
}
QPX_DECLARE(qpxiFilterLowpassBorder_8u_C1R, (kFixed<u8, u8>))
QPX_EXPORT qpxStatus qpxiFilterLowpassBorder_8u_C1R QPX_FIXED_ARGS(u8, u8) {
    return filter<FixedOp::Lowpass>(QPX_FIXED_PASS);
}
QPX_DECLARE(qpxiFilterLowpassBorder_32f_C1R, (kFixed<float, float>))
QPX_EXPORT qpxStatus qpxiFilterLowpassBorder_32f_C1R QPX_FIXED_ARGS(float, float) {
    return filter<FixedOp::Lowpass>(QPX_FIXED_PASS);
}

QPX_DECLARE(qpxiFilterSobelCrossGetBufferSize_8u16s_C1R, kFixedSize)
QPX_EXPORT qpxStatus qpxiFilterSobelCrossGetBufferSize_8u16s_C1R(qpxSize roiSize,
                                                                 qpxMaskSize maskSize,
                                                                 int* bufferSize) {
    return buffer_size<FixedOp::SobelCross, false>(roiSize, maskSize, bufferSize);
}
QPX_DECLARE(qpxiFilterSobelCrossGetBufferSize_32f_C1R, kFixedSize)
QPX_EXPORT qpxStatus qpxiFilterSobelCrossGetBufferSize_32f_C1R(qpxSize roiSize,
                                                               qpxMaskSize maskSize,
                                                               int* bufferSize) {
    return buffer_size<FixedOp::SobelCross, true>(roiSize, maskSize, bufferSize);
}
QPX_DECLARE(qpxiFilterLaplacianGetBufferSize_8u16s_C1R, kFixedSize)
QPX_EXPORT qpxStatus qpxiFilterLaplacianGetBufferSize_8u16s_C1R(qpxSize roiSize,
                                                                qpxMaskSize maskSize,
                                                                int* bufferSize) {
    return buffer_size<FixedOp::Laplacian, false>(roiSize, maskSize, bufferSize);
}
QPX_DECLARE(qpxiFilterLaplacianGetBufferSize_32f_C1R, kFixedSize)
QPX_EXPORT qpxStatus qpxiFilterLaplacianGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize,
                                                              int* bufferSize) {
    return buffer_size<FixedOp::Laplacian, true>(roiSize, maskSize, bufferSize);
}
QPX_DECLARE(qpxiFilterLowpassGetBufferSize_8u_C1R, kFixedSize)
QPX_EXPORT qpxStatus qpxiFilterLowpassGetBufferSize_8u_C1R(qpxSize roiSize, qpxMaskSize maskSize,
                                                           int* bufferSize) {
    return buffer_size<FixedOp::Lowpass, false>(roiSize, maskSize, bufferSize);
}
QPX_DECLARE(qpxiFilterLowpassGetBufferSize_32f_C1R, kFixedSize)
QPX_EXPORT qpxStatus qpxiFilterLowpassGetBufferSize_32f_C1R(qpxSize roiSize, qpxMaskSize maskSize,
                                                            int* bufferSize) {
    return buffer_size<FixedOp::Lowpass, true>(roiSize, maskSize, bufferSize);
}

QPX_DECLARE(qpxiGenSobelKernel_32f, kGenSobel)
QPX_EXPORT qpxStatus qpxiGenSobelKernel_32f(float* dst, int kernelSize, int derivOrder, int sign) {
    return gen_sobel(dst, kernelSize, derivOrder, sign);
}
QPX_DECLARE(qpxiGenSobelKernel_16s, kGenSobel)
QPX_EXPORT qpxStatus qpxiGenSobelKernel_16s(std::int16_t* dst, int kernelSize, int derivOrder,
                                            int sign) {
    return gen_sobel(dst, kernelSize, derivOrder, sign);
}

QPX_DECLARE(qpxiGradientColorToGray_8u_C3C1R, kColorToGray<u8>)
QPX_EXPORT qpxStatus qpxiGradientColorToGray_8u_C3C1R(const u8* src, int srcStep, u8* dst,
                                                      int dstStep, qpxSize roiSize,
                                                      qpxNormType norm) {
    return color_to_gray(src, srcStep, dst, dstStep, roiSize, norm);
}
QPX_DECLARE(qpxiGradientColorToGray_16u_C3C1R, kColorToGray<u16>)
QPX_EXPORT qpxStatus qpxiGradientColorToGray_16u_C3C1R(const u16* src, int srcStep, u16* dst,
                                                       int dstStep, qpxSize roiSize,
                                                       qpxNormType norm) {
    return color_to_gray(src, srcStep, dst, dstStep, roiSize, norm);
}
QPX_DECLARE(qpxiGradientColorToGray_32f_C3C1R, kColorToGray<float>)
QPX_EXPORT qpxStatus qpxiGradientColorToGray_32f_C3C1R(const float* src, int srcStep, float* dst,
                                                       int dstStep, qpxSize roiSize,
                                                       qpxNormType norm) {
    return color_to_gray(src, srcStep, dst, dstStep, roiSize, norm);
}
