#include "filter/fixed.hpp"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "filter/fixed_engine.hpp"
#include "frame/cache.hpp"
#include "frame/fpenv.hpp"
#include "frame/round.hpp"

namespace qpx::filter {
namespace {

using namespace fixed;

// Mixed second derivative: rows (1 0 -1) / (1 2 0 -2 -1), then columns (-1 0 1) /
// (-1 -2 0 2 1).
struct SobelCross3 {
    static constexpr IntKernel<3, 1> kInt{{{-1, 0, 1}}, {{1, 0, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return r(0) - r(2);
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff3(h(0, 0), h(0, 2));
    }
};
struct SobelCross5 {
    static constexpr IntKernel<5, 1> kInt{{{-1, -2, 0, 2, 1}}, {{1, 2, 0, -2, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return (r(0) - r(4)) + mulk(2, r(1) - r(3));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff5(h(0, 0), h(0, 1), h(0, 3), h(0, 4));
    }
};

// 3x3: the row stage gives the neighbour sum and 8 x centre; the column stage
// 2 x (sum above + sum below) - 8 x centre.
struct Laplacian3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 0, 1}}, {{2, 0, 2}}, -8};
    static constexpr int kRows = 2;
    template <class V, class R>
    static V row(const R& r, int t) {
        return t == 0 ? r(0) + r(2) : mulk(8, r(1));
    }
    template <class V, class H>
    static V col(const H& h) {
        return mulk(2, h(0, 0) + h(0, 2)) - h(1, 1);
    }
};
// 5x5: rows smoothed and columns differenced twice, plus rows differenced twice and columns
// smoothed.
struct Laplacian5 {
    static constexpr IntKernel<5, 2> kInt{{{1, 0, -2, 0, 1}, {1, 4, 6, 4, 1}},
                                          {{1, 4, 6, 4, 1}, {1, 0, -2, 0, 1}}};
    static constexpr int kRows = 2;
    template <class V, class R>
    static V row(const R& r, int t) {
        return t == 0 ? smooth5(r(0), r(1), r(2), r(3), r(4)) : second5(r(0), r(2), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        V first = second5(h(0, 0), h(0, 2), h(0, 4));
        V second = smooth5(h(1, 0), h(1, 1), h(1, 2), h(1, 3), h(1, 4));
        return first + second;
    }
};

struct Box3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 1, 1}}, {{1, 1, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return box3(r(0), r(1), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return box3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct Box5 {
    static constexpr IntKernel<5, 1> kInt{{{1, 1, 1, 1, 1}}, {{1, 1, 1, 1, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return box5(r(0), r(1), r(2), r(3), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        return box5(h(0, 0), h(0, 1), h(0, 2), h(0, 3), h(0, 4));
    }
};

// Window sum times 1/9 or 1/25 in single precision.
template <int area>
struct StoreMean32f {
    using Dst = float;
    static constexpr float kScale = 1.0f / area;
    static void put(Dst* d, float v) { *d = v * kScale; }
    static void put(Dst* d, VF v) {
        _mm256_storeu_ps(d, _mm256_mul_ps(v.v, _mm256_set1_ps(kScale)));
    }
};

template <FixedOp op, bool five>
struct Select;
template <>
struct Select<FixedOp::SobelCross, false> {
    using K = SobelCross3;
    using S8 = Store16s;
    using S32 = Store32f;
};
template <>
struct Select<FixedOp::SobelCross, true> {
    using K = SobelCross5;
    using S8 = Store16s;
    using S32 = Store32f;
};
template <>
struct Select<FixedOp::Laplacian, false> {
    using K = Laplacian3;
    using S8 = Store16s;
    using S32 = Store32f;
};
template <>
struct Select<FixedOp::Laplacian, true> {
    using K = Laplacian5;
    using S8 = Store16s;
    using S32 = Store32f;
};
template <>
struct Select<FixedOp::Lowpass, false> {
    using K = Box3;
    using S8 = StoreMean8u<9>;
    using S32 = StoreMean32f<9>;
};
template <>
struct Select<FixedOp::Lowpass, true> {
    using K = Box5;
    using S8 = StoreMean8u<25>;
    using S32 = StoreMean32f<25>;
};

template <FixedOp op, class Src, class Dst>
void run_fixed(Path path, const Src* src, int srcStep, Dst* dst, int dstStep, qpxSize roi,
               qpxMaskSize mask, std::uint32_t border, Src bv, std::uint8_t* buffer) {
    // Images too large for half the cache get their next source row prefetched; the result is
    // the same either way.
    const bool prefetch = !fits_half_cache(std::int64_t(roi.width) * roi.height);
    if (mask == qpxMskSize5x5) {
        using Sel = Select<op, true>;
        using St =
            std::conditional_t<std::is_same_v<Src, float>, typename Sel::S32, typename Sel::S8>;
        run<5, typename Sel::K, St>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer,
                                    prefetch);
    } else {
        using Sel = Select<op, false>;
        using St =
            std::conditional_t<std::is_same_v<Src, float>, typename Sel::S32, typename Sel::S8>;
        run<3, typename Sel::K, St>(path, src, srcStep, dst, dstStep, roi, border, bv, buffer,
                                    prefetch);
    }
}

}  // namespace

template <FixedOp op>
void fixed_filter(Path path, const std::uint8_t* src, int srcStep,
                  std::conditional_t<op == FixedOp::Lowpass, std::uint8_t, std::int16_t>* dst,
                  int dstStep, qpxSize roi, qpxMaskSize mask, std::uint32_t borderType,
                  std::uint8_t borderValue, std::uint8_t* buffer) {
    run_fixed<op>(path, src, srcStep, dst, dstStep, roi, mask, borderType, borderValue, buffer);
}

template <FixedOp op>
void fixed_filter(Path path, const float* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                  qpxMaskSize mask, std::uint32_t borderType, float borderValue,
                  std::uint8_t* buffer) {
    run_fixed<op>(path, src, srcStep, dst, dstStep, roi, mask, borderType, borderValue, buffer);
}

#define QPX_FIXED_INSTANCES(op)                                                                \
    template void fixed_filter<op>(                                                            \
        Path, const std::uint8_t*, int,                                                        \
        std::conditional_t<op == FixedOp::Lowpass, std::uint8_t, std::int16_t>*, int, qpxSize, \
        qpxMaskSize, std::uint32_t, std::uint8_t, std::uint8_t*);                              \
    template void fixed_filter<op>(Path, const float*, int, float*, int, qpxSize, qpxMaskSize, \
                                   std::uint32_t, float, std::uint8_t*);                       \
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
    return 12 * ((w + 3) / 4 * 4) + 64;
}
constexpr std::int64_t col_buf_32f(int ks) {
    return 32 * ks + 32;
}
}  // namespace

template <FixedOp op>
int fixed_buffer_size(qpxSize roi, qpxMaskSize mask, bool isFloat) {
    const bool five = mask == qpxMskSize5x5;
    const std::int64_t w = roi.width, w16 = (w + 15) / 16 * 16, k = five ? 25 : 21;
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

constexpr float kThird = 0.33333334f;

// Scalar formulas. Float operations use the same instructions as the vector code (max, sqrt)
// so that NaN and signed zeros come out alike.
inline float fabs_bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, 4);
    b &= 0x7fffffffu;
    std::memcpy(&v, &b, 4);
    return v;
}
inline float fmax_ss(float a, float b) {
    return _mm_cvtss_f32(_mm_max_ss(_mm_set_ss(a), _mm_set_ss(b)));
}
inline float mean_sq_root(float c0, float c1, float c2) {
    float m = ((c0 * c0 + c1 * c1) + c2 * c2) * kThird;
    return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(m)));
}

template <class T>
T gray_scalar(const T* p, int norm) {
    if constexpr (std::is_same_v<T, float>) {
        const float a = fabs_bits(p[0]), b = fabs_bits(p[1]), c = fabs_bits(p[2]);
        if (norm == 0) return fmax_ss(fmax_ss(a, b), c);
        if (norm == 1) return (a + b) + c;
        return mean_sq_root(p[0], p[1], p[2]);
    } else {
        const std::int32_t c0 = p[0], c1 = p[1], c2 = p[2];
        if (norm == 0) return static_cast<T>(std::max(std::max(c0, c1), c2));
        // L1 (L2 goes through roots_row and roots_to_int).
        if constexpr (sizeof(T) == 1)
            return static_cast<T>(((c0 + c1 + c2) * 1365 + 2048) >> 12);
        else
            return static_cast<T>(((c0 + c1 + c2) * 5461 + 8192) >> 14);
    }
}

// Lanes of one channel, four pixels at a time, widened to 32 bits. `lo` holds bytes 0..15 of a
// 24-byte group and `hi` bytes 8..23; each element comes from whichever holds all of it.
struct ShuffleMasks {
    alignas(16) std::uint8_t m[3][2][2][16];  // channel, first pixel 0 or 4, from lo or hi
};
constexpr ShuffleMasks make_masks(int elem) {
    ShuffleMasks t{};
    for (int c = 0; c < 3; ++c)
        for (int g = 0; g < 2; ++g)
            for (int h = 0; h < 2; ++h)
                for (int lane = 0; lane < 4; ++lane)
                    for (int b = 0; b < 4; ++b) {
                        const int first = (3 * (4 * g + lane) + c) * elem;
                        const bool useHi = first + elem - 1 > 15;
                        std::uint8_t v = 0x80;  // zero
                        if (b < elem && useHi == (h == 1))
                            v = static_cast<std::uint8_t>(first + b - (useHi ? 8 : 0));
                        t.m[c][g][h][lane * 4 + b] = v;
                    }
    return t;
}
template <int elem>
inline constexpr ShuffleMasks kMasks = make_masks(elem);

template <int elem>
inline __m128i channel4(__m128i lo, __m128i hi, int channel, int firstPixel) {
    const auto& m = kMasks<elem>.m[channel][firstPixel / 4];
    return _mm_or_si128(
        _mm_shuffle_epi8(lo, _mm_load_si128(reinterpret_cast<const __m128i*>(m[0]))),
        _mm_shuffle_epi8(hi, _mm_load_si128(reinterpret_cast<const __m128i*>(m[1]))));
}

// Four integer pixels (as 32-bit lanes) reduced by the Inf or L1 norm.
template <class T>
inline __m128i gray4_int(__m128i c0, __m128i c1, __m128i c2, int norm) {
    if (norm == 0) return _mm_max_epi32(_mm_max_epi32(c0, c1), c2);
    __m128i s = _mm_add_epi32(_mm_add_epi32(c0, c1), c2);
    if constexpr (sizeof(T) == 1)
        return _mm_srai_epi32(
            _mm_add_epi32(_mm_mullo_epi32(s, _mm_set1_epi32(1365)), _mm_set1_epi32(2048)), 12);
    else
        return _mm_srai_epi32(
            _mm_add_epi32(_mm_mullo_epi32(s, _mm_set1_epi32(5461)), _mm_set1_epi32(8192)), 14);
}

// Root mean squares of four integer pixels, in the same order of operations as mean_sq_root.
inline __m128 root4(__m128i c0, __m128i c1, __m128i c2) {
    __m128 f0 = _mm_cvtepi32_ps(c0), f1 = _mm_cvtepi32_ps(c1), f2 = _mm_cvtepi32_ps(c2);
    __m128 m = _mm_add_ps(_mm_add_ps(_mm_mul_ps(f0, f0), _mm_mul_ps(f1, f1)), _mm_mul_ps(f2, f2));
    return _mm_sqrt_ps(_mm_mul_ps(m, _mm_set1_ps(kThird)));
}

template <class T>
void gray_row_vec(const T* s, T* d, int w, int norm, int& x);

template <>
void gray_row_vec<std::uint8_t>(const std::uint8_t* s, std::uint8_t* d, int w, int norm, int& x) {
    for (; x + 8 <= w; x += 8) {
        const std::uint8_t* p = s + 3 * x;
        __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        __m128i a = gray4_int<std::uint8_t>(channel4<1>(lo, hi, 0, 0), channel4<1>(lo, hi, 1, 0),
                                            channel4<1>(lo, hi, 2, 0), norm);
        __m128i b = gray4_int<std::uint8_t>(channel4<1>(lo, hi, 0, 4), channel4<1>(lo, hi, 1, 4),
                                            channel4<1>(lo, hi, 2, 4), norm);
        __m128i r = _mm_packus_epi16(_mm_packus_epi32(a, b), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + x), r);
    }
}

template <>
void gray_row_vec<std::uint16_t>(const std::uint16_t* s, std::uint16_t* d, int w, int norm,
                                 int& x) {
    for (; x + 4 <= w; x += 4) {
        const std::uint8_t* p = reinterpret_cast<const std::uint8_t*>(s + 3 * x);
        __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        __m128i a = gray4_int<std::uint16_t>(channel4<2>(lo, hi, 0, 0), channel4<2>(lo, hi, 1, 0),
                                             channel4<2>(lo, hi, 2, 0), norm);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi32(a, a));
    }
}

template <>
void gray_row_vec<float>(const float* s, float* d, int w, int norm, int& x) {
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    for (; x + 4 <= w; x += 4) {
        // r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3 into one register per channel.
        const float* p = s + 3 * x;
        __m128 a = _mm_loadu_ps(p), b = _mm_loadu_ps(p + 4), c = _mm_loadu_ps(p + 8);
        __m128 c0 = _mm_blend_ps(_mm_blend_ps(a, b, 0x4), c, 0x2);  // r0 r3 r2 r1
        __m128 c1 = _mm_blend_ps(_mm_blend_ps(a, b, 0x9), c, 0x4);  // g1 g0 g3 g2
        __m128 c2 = _mm_blend_ps(_mm_blend_ps(a, b, 0x2), c, 0x9);  // b2 b1 b0 b3
        c0 = _mm_shuffle_ps(c0, c0, _MM_SHUFFLE(1, 2, 3, 0));
        c1 = _mm_shuffle_ps(c1, c1, _MM_SHUFFLE(2, 3, 0, 1));
        c2 = _mm_shuffle_ps(c2, c2, _MM_SHUFFLE(3, 0, 1, 2));
        __m128 r;
        if (norm == 2) {
            __m128 m =
                _mm_add_ps(_mm_add_ps(_mm_mul_ps(c0, c0), _mm_mul_ps(c1, c1)), _mm_mul_ps(c2, c2));
            r = _mm_sqrt_ps(_mm_mul_ps(m, _mm_set1_ps(kThird)));
        } else {
            c0 = _mm_and_ps(c0, absMask), c1 = _mm_and_ps(c1, absMask),
            c2 = _mm_and_ps(c2, absMask);
            r = norm == 0 ? _mm_max_ps(_mm_max_ps(c0, c1), c2) : _mm_add_ps(_mm_add_ps(c0, c1), c2);
        }
        _mm_storeu_ps(d + x, r);
    }
}

// Integer L2, first step: the root mean squares of n pixels as floats, formed under the caller's
// rounding mode.
template <class T>
void roots_row(Path path, const T* s, float* m, int n) {
    constexpr int elem = sizeof(T), group = 8 / elem;  // pixels in 24 bytes
    int x = 0;
    if (path == Path::Vector) {
        for (; x + group <= n; x += group) {
            const std::uint8_t* p = reinterpret_cast<const std::uint8_t*>(s + 3 * x);
            __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
            for (int g = 0; g < group; g += 4)
                _mm_storeu_ps(m + x + g,
                              root4(channel4<elem>(lo, hi, 0, g), channel4<elem>(lo, hi, 1, g),
                                    channel4<elem>(lo, hi, 2, g)));
        }
    }
    for (; x < n; ++x)
        m[x] = mean_sq_root(float(s[3 * x]), float(s[3 * x + 1]), float(s[3 * x + 2]));
}

// Second step: conversion by the control register's mode (the caller sets round-to-nearest),
// saturated to T.
template <class T>
void roots_to_int(Path path, const float* m, T* d, int n) {
    int x = 0;
    if (path == Path::Vector) {
        for (; x + 8 <= n; x += 8) {
            __m128i a = _mm_cvtps_epi32(_mm_loadu_ps(m + x));
            __m128i b = _mm_cvtps_epi32(_mm_loadu_ps(m + x + 4));
            __m128i r = _mm_packus_epi32(a, b);
            if constexpr (sizeof(T) == 1)
                _mm_storel_epi64(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(r, r));
            else
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), r);
        }
    }
    for (; x < n; ++x) d[x] = saturate_int<T>(_mm_cvtss_si32(_mm_set_ss(m[x])));
}

// Only the final conversion runs under round-to-nearest; the squares, their mean and the root
// keep the caller's mode. Rows go in chunks through a small float row on the stack.
template <class T>
void gray_rows_l2(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi) {
    constexpr int kChunk = 256;
    float m[kChunk];
    for (int y = 0; y < roi.height; ++y) {
        const T* s = row(src, srcStep, y);
        T* d = row(dst, dstStep, y);
        for (int x0 = 0; x0 < roi.width; x0 += kChunk) {
            const int n = std::min(kChunk, roi.width - x0);
            roots_row<T>(path, s + 3 * x0, m, n);
            RoundNearestScope nearest;
            roots_to_int<T>(path, m, d + x0, n);
        }
    }
}

template <class T>
void gray_rows(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, int norm) {
    for (int y = 0; y < roi.height; ++y) {
        const T* s = row(src, srcStep, y);
        T* d = row(dst, dstStep, y);
        int x = 0;
        if (path == Path::Vector) gray_row_vec<T>(s, d, roi.width, norm, x);
        for (; x < roi.width; ++x) d[x] = gray_scalar<T>(s + 3 * x, norm);
    }
}

}  // namespace

template <class T>
void gradient_color_to_gray(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                            int norm) {
    if constexpr (!std::is_same_v<T, float>) {
        if (norm == 2) return gray_rows_l2<T>(path, src, srcStep, dst, dstStep, roi);
    }
    gray_rows<T>(path, src, srcStep, dst, dstStep, roi, norm);
}
template void gradient_color_to_gray<std::uint8_t>(Path, const std::uint8_t*, int, std::uint8_t*,
                                                   int, qpxSize, int);
template void gradient_color_to_gray<std::uint16_t>(Path, const std::uint16_t*, int, std::uint16_t*,
                                                    int, qpxSize, int);
template void gradient_color_to_gray<float>(Path, const float*, int, float*, int, qpxSize, int);

}  // namespace qpx::filter
