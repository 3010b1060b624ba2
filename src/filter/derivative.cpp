#include "filter/derivative.hpp"

#include "filter/fixed_engine.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"

namespace qpx::filter {
namespace {

using namespace fixed;

// Each kernel has exact integer terms for 8-bit sources, and for floats a row stage (row(r):
// one extended source row, r(i) read at x + i) followed by a column stage (col(h): h(t, j) is
// row output t of window row j).

template <class V, class R>
inline V neg3(const R& r) {  // 1 0 -1
    return r(0) - r(2);
}
template <class V, class R>
inline V neg5(const R& r) {  // 1 2 0 -2 -1
    return (r(0) - r(4)) + mulk(2, r(1) - r(3));
}

struct SobelV3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 2, 1}}, {{1, 0, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return neg3<V>(r);
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct SobelNegV3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 2, 1}}, {{-1, 0, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return diff3(r(0), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct SobelH3 {
    static constexpr IntKernel<3, 1> kInt{{{-1, 0, 1}}, {{1, 2, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return smooth3(r(0), r(1), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff3(h(0, 0), h(0, 2));
    }
};
struct ScharrV3 {
    static constexpr IntKernel<3, 1> kInt{{{3, 10, 3}}, {{-1, 0, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return diff3(r(0), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return scharr3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct ScharrH3 {
    static constexpr IntKernel<3, 1> kInt{{{-1, 0, 1}}, {{3, 10, 3}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return scharr3(r(0), r(1), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff3(h(0, 0), h(0, 2));
    }
};
struct SobelV5 {
    static constexpr IntKernel<5, 1> kInt{{{1, 4, 6, 4, 1}}, {{1, 2, 0, -2, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return neg5<V>(r);
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth5(h(0, 0), h(0, 1), h(0, 2), h(0, 3), h(0, 4));
    }
};
struct SobelNegV5 {
    static constexpr IntKernel<5, 1> kInt{{{1, 4, 6, 4, 1}}, {{-1, -2, 0, 2, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return diff5(r(0), r(1), r(3), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth5(h(0, 0), h(0, 1), h(0, 2), h(0, 3), h(0, 4));
    }
};
struct SobelH5 {
    static constexpr IntKernel<5, 1> kInt{{{-1, -2, 0, 2, 1}}, {{1, 4, 6, 4, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return smooth5(r(0), r(1), r(2), r(3), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff5(h(0, 0), h(0, 1), h(0, 3), h(0, 4));
    }
};

template <class Src, class Store>
void dispatch(DerivKind kind, bool five, Path path, const Src* src, int srcStep,
              typename Store::Dst* dst, int dstStep, qpxSize roi, std::uint32_t border, Src bv,
              std::uint8_t* buffer) {
    switch (kind) {
        case DerivKind::SobelV:
            if (five)
                run<5, SobelV5, Store>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer);
            else
                run<3, SobelV3, Store>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer);
            break;
        case DerivKind::SobelNegV:
            if (five)
                run<5, SobelNegV5, Store>(path, src, srcStep, dst, dstStep, roi, border, bv,
                                          buffer);
            else
                run<3, SobelNegV3, Store>(path, src, srcStep, dst, dstStep, roi, border, bv,
                                          buffer);
            break;
        case DerivKind::SobelH:
            if (five)
                run<5, SobelH5, Store>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer);
            else
                run<3, SobelH3, Store>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer);
            break;
        case DerivKind::ScharrV:
            run<3, ScharrV3, Store>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer);
            break;
        case DerivKind::ScharrH:
            run<3, ScharrH3, Store>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer);
            break;
    }
}

bool scharr(DerivKind kind) {
    return kind == DerivKind::ScharrV || kind == DerivKind::ScharrH;
}

bool mask_ok(DerivKind kind, qpxMaskSize mask) {
    return mask == qpxMskSize3x3 || (mask == qpxMskSize5x5 && !scharr(kind));
}

constexpr std::int64_t r32(std::int64_t v) {
    return (v + 31) / 32 * 32;
}

template <class Src, class Dst, class Store>
qpxStatus filter(DerivKind kind, const Src* src, int srcStep, Dst* dst, int dstStep, qpxSize roi,
                 qpxMaskSize mask, qpxBorderType border, Src bv, std::uint8_t* buffer, Path path) {
    qpxStatus st = Check()
                       .ptrs(src, dst, buffer)
                       .size(roi)
                       .steps({stepOf<Src>(srcStep, roi.width), stepOf<Dst>(dstStep, roi.width)})
                       .require(accept_filter_border(border), qpxStatusBadBorder)
                       .require(mask_ok(kind, mask), qpxStatusBadMaskSize);
    if (st) return st;
    dispatch<Src, Store>(kind, mask == qpxMskSize5x5, path, src, srcStep, dst, dstStep, roi, border,
                         bv, buffer);
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
        size = r32(m * (M + p + 2)) + 32;
    } else {
        const std::int64_t e = srcType == qpx16s ? 2 : 4;
        const std::int64_t v = r32(e * m * (M + p + 2)) + r32(4 * w) * (five ? 4 : 2) +
                               r32(2 * (w + h) * (five ? 2 : 1) * e);
        size = r32(v) + 32;
    }
    *bufferSize = static_cast<int>(size);
    return qpxStatusOk;
}

qpxStatus derivative(DerivKind kind, const std::uint8_t* src, int srcStep, std::int16_t* dst,
                     int dstStep, qpxSize roi, qpxMaskSize mask, qpxBorderType borderType,
                     std::uint8_t borderValue, std::uint8_t* buffer, Path path) {
    return filter<std::uint8_t, std::int16_t, Store16s>(kind, src, srcStep, dst, dstStep, roi, mask,
                                                        borderType, borderValue, buffer, path);
}

qpxStatus derivative(DerivKind kind, const float* src, int srcStep, float* dst, int dstStep,
                     qpxSize roi, qpxMaskSize mask, qpxBorderType borderType, float borderValue,
                     std::uint8_t* buffer, Path path) {
    return filter<float, float, Store32f>(kind, src, srcStep, dst, dstStep, roi, mask, borderType,
                                          borderValue, buffer, path);
}

}  // namespace qpx::filter
