#include "filter/derivative.hpp"

#include "filter/fixed.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"
#include "frame/layout.hpp"

namespace qpx::filter {
namespace {

bool scharr(DerivKind kind) {
    return kind == DerivKind::ScharrV || kind == DerivKind::ScharrH;
}

bool mask_ok(DerivKind kind, qpxMaskSize mask) {
    return mask == qpxMskSize3x3 || (mask == qpxMskSize5x5 && !scharr(kind));
}

template <class Src, class Dst, class Fn>
qpxStatus filter(DerivKind kind, View<const Src> src, View<Dst> dst, qpxMaskSize mask,
                 qpxBorderType border, Src bv, std::uint8_t* buffer, const Fn (&kernels)[5][2]) {
    const qpxSizeL roi{dst.width, dst.height};
    qpxStatus st = Check()
                       .ptrs(src.data, dst.data, buffer)
                       .size(roi)
                       .steps({stepOf<Src>(src.step, roi.width), stepOf<Dst>(dst.step, roi.width)})
                       .require(accept_filter_border(border), qpxStatusBadBorder)
                       .require(mask_ok(kind, mask), qpxStatusBadMaskSize);
    if (st) return st;
    kernels[int(kind)][mask == qpxMskSize5x5](src, dst, border, bv, buffer, false);
    return qpxStatusOk;
}

}  // namespace

qpxStatus derivative_buffer_size(DerivKind kind, qpxSize roi, qpxMaskSize mask, qpxDataType srcType,
                                 qpxDataType dstType, int channels, int* bufferSize) {
    const bool pairOk = (srcType == qpx32f && dstType == qpx32f) ||
                        (srcType == qpx8u && dstType == qpx16s) ||
                        (srcType == qpx16s && dstType == qpx16s && kind != DerivKind::SobelNegV);
    qpxStatus st = Check()
                       .ptrs(bufferSize)
                       .size(roi)
                       .require(mask_ok(kind, mask), qpxStatusBadMaskSize)
                       .require(pairOk, qpxStatusBadDataType)
                       .require(channels == 1, qpxStatusBadChannelCount);
    if (st) return st;
    const bool five = mask == qpxMskSize5x5;
    const std::int64_t m = five ? 7 : 3, p = five ? 2 : 0;
    const std::int64_t w = roi.width, h = roi.height, M = w > h ? w : h;
    std::int64_t size;
    if (srcType == qpx8u) {
        size = align_up(m * (M + p + 2), 32) + 32;
    } else {
        const std::int64_t e = srcType == qpx16s ? 2 : 4;
        const std::int64_t v = align_up(e * m * (M + p + 2), 32) +
                               align_up(4 * w, 32) * (five ? 4 : 2) +
                               align_up(2 * (w + h) * (five ? 2 : 1) * e, 32);
        size = align_up(v, 32) + 32;
    }
    *bufferSize = static_cast<int>(size);
    return qpxStatusOk;
}

qpxStatus derivative(DerivKind kind, View<const std::uint8_t> src, View<std::int16_t> dst,
                     qpxMaskSize mask, qpxBorderType borderType, std::uint8_t borderValue,
                     std::uint8_t* buffer, Target t) {
    return filter(kind, src, dst, mask, borderType, borderValue, buffer, fixed_kernels(t).deriv8);
}

qpxStatus derivative(DerivKind kind, View<const float> src, View<float> dst, qpxMaskSize mask,
                     qpxBorderType borderType, float borderValue, std::uint8_t* buffer, Target t) {
    return filter(kind, src, dst, mask, borderType, borderValue, buffer, fixed_kernels(t).deriv32);
}

}  // namespace qpx::filter
