// Grey-scale morphology, row by row. Each output row starts at the neutral value and takes the
// maximum (minimum) with one shifted source row per mask position, in the same order on both
// paths, so the float results agree bit for bit. For 8u data, clamping every term to 0..255
// before the maximum gives the clamped maximum exactly, so the sums fit 16-bit lanes.
#include "morph/gray.hpp"

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;

inline u8 term_8u(u8 s, std::int32_t v) {
    const std::int64_t t = std::int64_t(s) + v;
    return static_cast<u8>(t < 0 ? 0 : t > 255 ? 255 : t);
}

template <bool dilate>
inline u8 pick(u8 acc, u8 t) {
    return dilate ? (t > acc ? t : acc) : (t < acc ? t : acc);
}
// The operand order of the vector maximum and minimum: ties and NaN keep the accumulator.
template <bool dilate>
inline float pick(float acc, float t) {
    return dilate ? (t > acc ? t : acc) : (t < acc ? t : acc);
}

template <bool dilate>
void row_8u(Path path, const u8* s, u8* d, std::int64_t n, std::int32_t v) {
    std::int64_t x = 0;
    if (path == Path::Vector) {
        if (v >= 255 || v <= -255) {
            // Every term saturates to the same bound.
            const u8 t = v > 0 ? 255 : 0;
            const __m128i vt = _mm_set1_epi8(static_cast<char>(t));
            for (; x + 16 <= n; x += 16) {
                __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x));
                a = dilate ? _mm_max_epu8(a, vt) : _mm_min_epu8(a, vt);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), a);
            }
        } else {
            const __m128i vv = _mm_set1_epi16(static_cast<short>(v));
            const __m128i zero = _mm_setzero_si128();
            for (; x + 16 <= n; x += 16) {
                __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
                __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(src, zero), vv);
                __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(src, zero), vv);
                __m128i t = _mm_packus_epi16(lo, hi);
                __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x));
                a = dilate ? _mm_max_epu8(a, t) : _mm_min_epu8(a, t);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), a);
            }
        }
    }
    for (; x < n; ++x) d[x] = pick<dilate>(d[x], term_8u(s[x], v));
}

template <bool dilate>
void row_32f(Path path, const float* s, float* d, std::int64_t n, float v) {
    std::int64_t x = 0;
    if (path == Path::Vector) {
        const __m256 vv = _mm256_set1_ps(v);
        for (; x + 8 <= n; x += 8) {
            __m256 t = _mm256_add_ps(_mm256_loadu_ps(s + x), vv);
            __m256 a = _mm256_loadu_ps(d + x);
            _mm256_storeu_ps(d + x, dilate ? _mm256_max_ps(t, a) : _mm256_min_ps(t, a));
        }
    }
    for (; x < n; ++x) d[x] = pick<dilate>(d[x], s[x] + v);
}

}  // namespace

template <class V>
void gray_init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize maskSize,
               qpxPoint anchor) {
    unsigned char* own = reinterpret_cast<unsigned char*>(spec) + sizeof(GrayHeader);
    const GrayHeader h{maskSize.width, maskSize.height, anchor.x, anchor.y,
                       roi.width,      roi.height,      own};
    std::memcpy(spec, &h, sizeof h);
    std::memcpy(own, values, sizeof(V) * std::size_t(maskSize.width) * maskSize.height);
}

namespace {

// One output row from the source rows that `src_row(sy)` returns.
template <class T, bool dilate, class Rows>
void gray_row(Path path, const GrayHeader& hd, int y, int w, int h, T* d, Rows src_row) {
    using V = std::conditional_t<std::is_same_v<T, float>, float, std::int32_t>;
    const unsigned char* values = static_cast<const unsigned char*>(hd.values);
    const int mw = hd.maskW, mh = hd.maskH, ax = hd.anchorX, ay = hd.anchorY;
    T start;
    if constexpr (std::is_same_v<T, float>)
        start = dilate ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
    else
        start = dilate ? 0 : 255;
    for (int x = 0; x < w; ++x) d[x] = start;
    for (int j = 0; j < mh; ++j) {
        const int sy = y + j - ay;
        if (sy < 0 || sy >= h) continue;
        const T* s = src_row(sy);
        for (int i = 0; i < mw; ++i) {
            // Output x reads source x + dx; only the part inside the ROI takes part.
            const int dx = i - ax;
            const int x0 = dx < 0 ? -dx : 0;
            const int x1 = dx > 0 ? w - dx : w;
            if (x1 <= x0) continue;
            V v;
            std::memcpy(&v, values + (std::size_t(j) * mw + i) * sizeof(V), sizeof v);
            if constexpr (std::is_same_v<T, float>)
                row_32f<dilate>(path, s + x0 + dx, d + x0, x1 - x0, v);
            else
                row_8u<dilate>(path, s + x0 + dx, d + x0, x1 - x0, v);
        }
    }
}

// In place, rows are visited towards the shorter reach of the window; the originals of the
// rows already overwritten that the window still reaches, and of the current row, are kept in a
// ring of reach + 1 rows.
int gray_ring_rows(const GrayHeader& hd) {
    return std::min(hd.anchorY, hd.maskH - 1 - hd.anchorY) + 1;
}

}  // namespace

bool gray_fits_in_place(const qpxMorphGrayState* spec, int width, int elemSize) {
    return std::int64_t(gray_ring_rows(gray_header(spec))) * width * elemSize <= kGrayRingBytes;
}

namespace {

// Kept out of line so that the ring takes stack only on the in-place path.
template <class T, bool dilate>
[[gnu::noinline]] void gray_in_place(Path path, const GrayHeader& hd, T* img, int step, int w,
                                     int h) {
    alignas(32) unsigned char ring[kGrayRingBytes];
    const int n = gray_ring_rows(hd);
    const bool down = hd.anchorY <= hd.maskH - 1 - hd.anchorY;
    auto slot = [&](int sy) { return reinterpret_cast<T*>(ring) + std::size_t(sy % n) * w; };
    for (int k = 0; k < h; ++k) {
        const int y = down ? k : h - 1 - k;
        T* d = row(img, step, y);
        // The slot held the row n rows back, which the window no longer reaches.
        std::memcpy(slot(y), d, sizeof(T) * std::size_t(w));
        gray_row<T, dilate>(path, hd, y, w, h, d, [&](int sy) -> const T* {
            return (down ? sy <= y : sy >= y) ? slot(sy) : row(img, step, sy);
        });
    }
}

}  // namespace

template <class T, bool dilate>
void gray_morph(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                const qpxMorphGrayState* spec) {
    const GrayHeader hd = gray_header(spec);
    const int w = roi.width, h = roi.height;
    if (static_cast<const void*>(src) == static_cast<const void*>(dst) && srcStep == dstStep) {
        gray_in_place<T, dilate>(path, hd, dst, dstStep, w, h);
        return;
    }
    for (int y = 0; y < h; ++y)
        gray_row<T, dilate>(path, hd, y, w, h, row(dst, dstStep, y),
                            [&](int sy) { return row(src, srcStep, sy); });
}

template void gray_init<std::int32_t>(qpxMorphGrayState*, qpxSize, const std::int32_t*, qpxSize,
                                      qpxPoint);
template void gray_init<float>(qpxMorphGrayState*, qpxSize, const float*, qpxSize, qpxPoint);
template void gray_morph<u8, true>(Path, const u8*, int, u8*, int, qpxSize,
                                   const qpxMorphGrayState*);
template void gray_morph<u8, false>(Path, const u8*, int, u8*, int, qpxSize,
                                    const qpxMorphGrayState*);
template void gray_morph<float, true>(Path, const float*, int, float*, int, qpxSize,
                                      const qpxMorphGrayState*);
template void gray_morph<float, false>(Path, const float*, int, float*, int, qpxSize,
                                       const qpxMorphGrayState*);

}  // namespace qpx::morph
