// Fixed filters, the kernel generator and the colour-gradient reduction: the entry into the
// kernels of the chosen target, and the size rules.
#include "filter/fixed.hpp"

#include <algorithm>

#include "frame/cache.hpp"
#include "frame/fpenv.hpp"

namespace qpx::filter {

template <FixedOp op>
void fixed_filter(Target t, View<const std::uint8_t> source,
                  View<std::conditional_t<op == FixedOp::Lowpass, std::uint8_t, std::int16_t>> dest,
                  qpxMaskSize mask, std::uint32_t borderType, std::uint8_t borderValue,
                  std::uint8_t* buffer) {
    // Images too large for half the cache get their next source row prefetched; the result is
    // the same either way.
    const bool prefetch = !fits_half_cache(dest.width * dest.height);
    const FixedKernels& k = fixed_kernels(t);
    const int five = mask == qpxMskSize5x5;
    if constexpr (op == FixedOp::Lowpass)
        k.low8[five](source, dest, borderType, borderValue, buffer, prefetch);
    else
        (op == FixedOp::SobelCross ? k.cross8 : k.lap8)[five](source, dest, borderType, borderValue,
                                                              buffer, prefetch);
}

template <FixedOp op>
void fixed_filter(Target t, View<const float> source, View<float> dest, qpxMaskSize mask,
                  std::uint32_t borderType, float borderValue, std::uint8_t* buffer) {
    const bool prefetch = !fits_half_cache(dest.width * dest.height);
    fixed_kernels(t).f32[int(op)][mask == qpxMskSize5x5](source, dest, borderType, borderValue,
                                                         buffer, prefetch);
}

#define QPX_FIXED_INSTANCES(op)                                                                    \
    template void fixed_filter<op>(                                                                \
        Target, View<const std::uint8_t>,                                                          \
        View<std::conditional_t<op == FixedOp::Lowpass, std::uint8_t, std::int16_t>>, qpxMaskSize, \
        std::uint32_t, std::uint8_t, std::uint8_t*);                                               \
    template void fixed_filter<op>(Target, View<const float>, View<float>, qpxMaskSize,            \
                                   std::uint32_t, float, std::uint8_t*);                           \
    template int fixed_buffer_size<op>(qpxSize, qpxMaskSize, bool);
QPX_FIXED_INSTANCES(FixedOp::SobelCross)
QPX_FIXED_INSTANCES(FixedOp::Laplacian)
QPX_FIXED_INSTANCES(FixedOp::Lowpass)
#undef QPX_FIXED_INSTANCES

// ---- buffer sizes ------------------------------------------------------------------------------

namespace {
// Stage buffer sizes of the separable pipeline for one channel.
constexpr std::int64_t row_buf_8u16s(int ks) {
    return 36 * ks + 144;
}
constexpr std::int64_t row_buf_32f(int ks) {
    return 96 * ks + 96;
}
constexpr std::int64_t col_buf_16s(std::int64_t w) {
    return 12 * align_up(w, 4) + 64;
}
constexpr std::int64_t col_buf_32f(int ks) {
    return 32 * ks + 32;
}
}  // namespace

template <FixedOp op>
int fixed_buffer_size(qpxSize roi, qpxMaskSize mask, bool isFloat) {
    const bool five = mask == qpxMskSize5x5;
    const std::int64_t w = roi.width, w16 = align_up(w, 16), k = five ? 25 : 21;
    const int ks = five ? 5 : 3;
    std::int64_t lanes = 2, fixedPart = five ? 120 : 72, tail = 368;
    if (op == FixedOp::Laplacian) lanes = 4, fixedPart = five ? 240 : 144, tail = 576;
    if (op == FixedOp::Lowpass && isFloat) tail = 304;
    std::int64_t size;
    if (isFloat)
        size = 2 * lanes * w16 * k + fixedPart + tail + row_buf_32f(ks) + col_buf_32f(ks);
    else
        size = lanes * w16 * k + fixedPart + tail + row_buf_8u16s(ks) + col_buf_16s(w);
    return static_cast<int>(size);
}

// ---- kernel generator --------------------------------------------------------------------------

template <class T>
void gen_sobel_kernel(T* dst, int n, int d, int sign) {
    for (int i = 0; i < n; ++i) dst[i] = T(0);
    dst[n - 1] = T(1);
    // Each pass multiplies the polynomial by (1 + z) or (z - 1); ascending i reads dst[i + 1]
    // before this pass has changed it.
    if (n - d >= 2)
        for (int p = 0; p < n - 1 - d; ++p)
            for (int i = n - 2 - p; i <= n - 2; ++i) dst[i] = T(dst[i] + dst[i + 1]);
    for (int p = 0; p < d; ++p)
        for (int i = d - 1 - p; i <= n - 2; ++i) dst[i] = T(dst[i] - dst[i + 1]);
    if (sign < 0)
        for (int i = 0; i < n; ++i) dst[i] = T(-dst[i]);
}
template void gen_sobel_kernel<float>(float*, int, int, int);
template void gen_sobel_kernel<std::int16_t>(std::int16_t*, int, int, int);

// ---- colour gradient to grey -------------------------------------------------------------------

namespace {

// Integer L2: only the final conversion runs under round-to-nearest; the squares, mean and root
// keep the caller's mode. Rows go in chunks through a small float row on the stack.
template <class T, class Roots, class Round>
void gray_rows_l2(View<const T> src, View<T> dst, Roots roots, Round round) {
    constexpr int kChunk = 256;
    float m[kChunk];
    const int w = int(dst.width);
    for (std::int64_t y = 0; y < dst.height; ++y) {
        const T* s = src.row(y);
        T* d = dst.row(y);
        for (int x0 = 0; x0 < w; x0 += kChunk) {
            const int n = std::min(kChunk, w - x0);
            roots(s + 3 * x0, m, n);
            RoundNearestScope nearest;
            round(m, d + x0, n);
        }
    }
}

}  // namespace

template <class T>
void gradient_color_to_gray(Target t, View<const T> src, View<T> dst, int norm) {
    const FixedKernels& k = fixed_kernels(t);
    if constexpr (std::is_same_v<T, std::uint8_t>) {
        if (norm == 2) return gray_rows_l2(src, dst, k.roots8, k.round8);
        k.gray8(src, dst, norm);
    } else if constexpr (std::is_same_v<T, std::uint16_t>) {
        if (norm == 2) return gray_rows_l2(src, dst, k.roots16, k.round16);
        k.gray16(src, dst, norm);
    } else {
        k.gray32(src, dst, norm);
    }
}
template void gradient_color_to_gray<std::uint8_t>(Target, View<const std::uint8_t>,
                                                   View<std::uint8_t>, int);
template void gradient_color_to_gray<std::uint16_t>(Target, View<const std::uint16_t>,
                                                    View<std::uint16_t>, int);
template void gradient_color_to_gray<float>(Target, View<const float>, View<float>, int);

}  // namespace qpx::filter
