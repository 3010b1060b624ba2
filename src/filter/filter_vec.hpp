// Lane operations of the separable, fixed and derivative filter kernels beyond the shared layer:
// 16-bit integer lanes for the exact 8-bit masks and the three-channel de-interleave of the
// colour-gradient reduction. FiltOps<L> adds them to lane set L, whose float and 32-bit integer
// lanes it keeps. Included by the filter kernel files right after frame/vec.hpp, so everything
// lands in the target's namespace.
//
// FiltOps<One> models each vector instruction on one lane (16-bit wrap-around, high halves of
// unsigned products), so the scalar target is the same sequence of operations as the wide ones.
#pragma once

#include <limits>
#include <type_traits>

namespace qpx::QPX_TNS {

template <class L>
struct FiltOps;

// ---- one lane ---------------------------------------------------------------------------------

template <>
struct FiltOps<One> : One {
    static constexpr int k16 = 1;  // 16-bit lanes per vector
    static constexpr int k32 = 1;  // 32-bit (and float) lanes per vector

    // 16-bit lanes.
    struct I16 {
        s16 v;
    };
    static I16 widen16(const u8* p) { return {s16(*p)}; }
    static I16 load16(const s16* p) { return {*p}; }
    static void store16(s16* p, I16 a) { *p = a.v; }
    static I16 set16(int v) { return {s16(v)}; }
    static I16 zero16() { return {0}; }
    static I16 add16(I16 a, I16 b) { return {s16(u16(a.v) + u16(b.v))}; }
    static I16 sub16(I16 a, I16 b) { return {s16(u16(a.v) - u16(b.v))}; }
    static I16 mul16(I16 a, I16 b) { return {s16(u16(s32(a.v) * s32(b.v)))}; }
    static I16 mulhi_u16(I16 a, I16 b) { return {s16((std::uint32_t(u16(a.v)) * u16(b.v)) >> 16)}; }
    static I16 srl16(I16 a, int n) { return {s16(u16(a.v) >> n)}; }
    // Signed 16-bit lanes saturated to 0..255.
    static void store_u8_sat(u8* p, I16 a) { *p = u8(a.v < 0 ? 0 : a.v > 255 ? 255 : a.v); }

    // Three interleaved channels of one pixel.
    template <class T>
    static void split3(const T* p, I32& c0, I32& c1, I32& c2) {
        c0 = {s32(p[0])}, c1 = {s32(p[1])}, c2 = {s32(p[2])};
    }
    static void split3(const float* p, F& c0, F& c1, F& c2) {
        c0 = {p[0]}, c1 = {p[1]}, c2 = {p[2]};
    }
};

// ---- widest lanes -------------------------------------------------------------------------------

#if QPX_TARGET != 0

// Channel c of 4 pixels, widened to 32-bit lanes, from a 24-byte group loaded as `lo` (bytes
// 0..15) and `hi` (bytes 8..23); each element comes from whichever holds all of it.
struct FiltSplitMasks {
    alignas(16) u8 m[3][2][2][16];  // channel, first pixel 0 or 4, from lo or hi
};
constexpr FiltSplitMasks filt_split_masks(int elem) {
    FiltSplitMasks t{};
    for (int c = 0; c < 3; ++c)
        for (int g = 0; g < 2; ++g)
            for (int h = 0; h < 2; ++h)
                for (int lane = 0; lane < 4; ++lane)
                    for (int b = 0; b < 4; ++b) {
                        const int first = (3 * (4 * g + lane) + c) * elem;
                        const bool useHi = first + elem - 1 > 15;
                        u8 v = 0x80;  // zero
                        if (b < elem && useHi == (h == 1))
                            v = static_cast<u8>(first + b - (useHi ? 8 : 0));
                        t.m[c][g][h][lane * 4 + b] = v;
                    }
    return t;
}
template <int elem>
inline constexpr FiltSplitMasks kFiltSplit = filt_split_masks(elem);

template <int elem>
inline __m128i filt_chan4(__m128i lo, __m128i hi, int c, int g) {
    const auto& m = kFiltSplit<elem>.m[c][g];
    return _mm_or_si128(
        _mm_shuffle_epi8(lo, _mm_load_si128(reinterpret_cast<const __m128i*>(m[0]))),
        _mm_shuffle_epi8(hi, _mm_load_si128(reinterpret_cast<const __m128i*>(m[1]))));
}

// Channels of 8 integer pixels (exactly 24 elements read) as two 4-lane halves each.
template <class T>
inline void filt_split8(const T* s, __m128i lo4[3], __m128i hi4[3]) {
    const auto* p = reinterpret_cast<const u8*>(s);
    auto ld = [](const u8* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    if constexpr (sizeof(T) == 1) {
        const __m128i lo = ld(p), hi = ld(p + 8);
        for (int c = 0; c < 3; ++c) lo4[c] = filt_chan4<1>(lo, hi, c, 0);
        for (int c = 0; c < 3; ++c) hi4[c] = filt_chan4<1>(lo, hi, c, 1);
    } else {
        const __m128i a = ld(p), b = ld(p + 8), c2 = ld(p + 24), d = ld(p + 32);
        for (int c = 0; c < 3; ++c) lo4[c] = filt_chan4<2>(a, b, c, 0);
        for (int c = 0; c < 3; ++c) hi4[c] = filt_chan4<2>(c2, d, c, 0);
    }
}

// Channels of 4 float pixels (12 floats read).
inline void filt_split4f(const float* p, __m128 out[3]) {
    // r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3 into one register per channel.
    const __m128 a = _mm_loadu_ps(p), b = _mm_loadu_ps(p + 4), c = _mm_loadu_ps(p + 8);
    const __m128 c0 = _mm_blend_ps(_mm_blend_ps(a, b, 0x4), c, 0x2);  // r0 r3 r2 r1
    const __m128 c1 = _mm_blend_ps(_mm_blend_ps(a, b, 0x9), c, 0x4);  // g1 g0 g3 g2
    const __m128 c2 = _mm_blend_ps(_mm_blend_ps(a, b, 0x2), c, 0x9);  // b2 b1 b0 b3
    out[0] = _mm_shuffle_ps(c0, c0, _MM_SHUFFLE(1, 2, 3, 0));
    out[1] = _mm_shuffle_ps(c1, c1, _MM_SHUFFLE(2, 3, 0, 1));
    out[2] = _mm_shuffle_ps(c2, c2, _MM_SHUFFLE(3, 0, 1, 2));
}

#endif

#if QPX_TARGET == 1 || QPX_TARGET == 2

template <>
struct FiltOps<Wide> : Wide {
    static constexpr int k32 = 8;

    // ---- 16-bit lanes: 128 bits on AVX, 256 on AVX2 ----
#if QPX_TARGET == 1
    static constexpr int k16 = 8;
    struct I16 {
        __m128i v;
    };
    static I16 widen16(const u8* p) {
        return {_mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)))};
    }
    static I16 load16(const s16* p) {
        return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
    }
    static void store16(s16* p, I16 a) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v);
    }
    static I16 set16(int v) {
        return {_mm_set1_epi16(short(v))};
    }
    static I16 zero16() {
        return {_mm_setzero_si128()};
    }
    static I16 add16(I16 a, I16 b) {
        return {_mm_add_epi16(a.v, b.v)};
    }
    static I16 sub16(I16 a, I16 b) {
        return {_mm_sub_epi16(a.v, b.v)};
    }
    static I16 mul16(I16 a, I16 b) {
        return {_mm_mullo_epi16(a.v, b.v)};
    }
    static I16 mulhi_u16(I16 a, I16 b) {
        return {_mm_mulhi_epu16(a.v, b.v)};
    }
    static I16 srl16(I16 a, int n) {
        return {_mm_srli_epi16(a.v, n)};
    }
    static void store_u8_sat(u8* p, I16 a) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(a.v, a.v));
    }
#else
    static constexpr int k16 = 16;
    struct I16 {
        __m256i v;
    };
    static I16 widen16(const u8* p) {
        return {_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))};
    }
    static I16 load16(const s16* p) {
        return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))};
    }
    static void store16(s16* p, I16 a) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v);
    }
    static I16 set16(int v) {
        return {_mm256_set1_epi16(short(v))};
    }
    static I16 zero16() {
        return {_mm256_setzero_si256()};
    }
    static I16 add16(I16 a, I16 b) {
        return {_mm256_add_epi16(a.v, b.v)};
    }
    static I16 sub16(I16 a, I16 b) {
        return {_mm256_sub_epi16(a.v, b.v)};
    }
    static I16 mul16(I16 a, I16 b) {
        return {_mm256_mullo_epi16(a.v, b.v)};
    }
    static I16 mulhi_u16(I16 a, I16 b) {
        return {_mm256_mulhi_epu16(a.v, b.v)};
    }
    static I16 srl16(I16 a, int n) {
        return {_mm256_srli_epi16(a.v, n)};
    }
    static void store_u8_sat(u8* p, I16 a) {
        const __m128i lo = _mm256_castsi256_si128(a.v), hi = _mm256_extracti128_si256(a.v, 1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
    }
#endif

    template <class T>
    static void split3(const T* p, I32& c0, I32& c1, I32& c2) {
        __m128i lo[3], hi[3];
        filt_split8(p, lo, hi);
#if QPX_TARGET == 1
        c0 = {lo[0], hi[0]}, c1 = {lo[1], hi[1]}, c2 = {lo[2], hi[2]};
#else
        c0 = {_mm256_set_m128i(hi[0], lo[0])}, c1 = {_mm256_set_m128i(hi[1], lo[1])};
        c2 = {_mm256_set_m128i(hi[2], lo[2])};
#endif
    }
    static void split3(const float* p, F& c0, F& c1, F& c2) {
        __m128 lo[3], hi[3];
        filt_split4f(p, lo);
        filt_split4f(p + 12, hi);
        c0 = {_mm256_set_m128(hi[0], lo[0])}, c1 = {_mm256_set_m128(hi[1], lo[1])};
        c2 = {_mm256_set_m128(hi[2], lo[2])};
    }
};

#elif QPX_TARGET == 3

template <>
struct FiltOps<Wide> : Wide {
    static constexpr int k16 = 32;
    static constexpr int k32 = 16;
    static constexpr __mmask32 kAll32 = 0xFFFFFFFFu;

    struct I16 {
        __m512i v;
    };
    static I16 widen16(const u8* p) {
        return {_mm512_maskz_cvtepu8_epi16(
            kAll32, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)))};
    }
    static I16 load16(const s16* p) { return {_mm512_loadu_si512(p)}; }
    static void store16(s16* p, I16 a) { _mm512_storeu_si512(p, a.v); }
    static I16 set16(int v) { return {_mm512_set1_epi16(short(v))}; }
    static I16 zero16() { return {_mm512_setzero_si512()}; }
    static I16 add16(I16 a, I16 b) { return {_mm512_maskz_add_epi16(kAll32, a.v, b.v)}; }
    static I16 sub16(I16 a, I16 b) { return {_mm512_maskz_sub_epi16(kAll32, a.v, b.v)}; }
    static I16 mul16(I16 a, I16 b) { return {_mm512_maskz_mullo_epi16(kAll32, a.v, b.v)}; }
    static I16 mulhi_u16(I16 a, I16 b) { return {_mm512_maskz_mulhi_epu16(kAll32, a.v, b.v)}; }
    static I16 srl16(I16 a, int n) { return {_mm512_maskz_srli_epi16(kAll32, a.v, unsigned(n))}; }
    static void store_u8_sat(u8* p, I16 a) {
        const __m512i v = _mm512_maskz_max_epi16(kAll32, a.v, _mm512_setzero_si512());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_maskz_cvtusepi16_epi8(kAll32, v));
    }

    template <class T>
    static void split3(const T* p, I32& c0, I32& c1, I32& c2) {
        __m128i a[3], b[3], c[3], d[3];
        filt_split8(p, a, b);
        filt_split8(p + 24, c, d);
        I32* out[3] = {&c0, &c1, &c2};
        for (int k = 0; k < 3; ++k) {
            __m512i v = _mm512_zextsi128_si512(a[k]);
            v = _mm512_inserti32x4(v, b[k], 1);
            v = _mm512_inserti32x4(v, c[k], 2);
            out[k]->v = _mm512_inserti32x4(v, d[k], 3);
        }
    }
    static void split3(const float* p, F& c0, F& c1, F& c2) {
        __m128 q[4][3];
        for (int g = 0; g < 4; ++g) filt_split4f(p + 12 * g, q[g]);
        F* out[3] = {&c0, &c1, &c2};
        for (int k = 0; k < 3; ++k) {
            __m512 v = _mm512_zextps128_ps512(q[0][k]);
            v = _mm512_insertf32x4(v, q[1][k], 1);
            v = _mm512_insertf32x4(v, q[2][k], 2);
            out[k]->v = _mm512_insertf32x4(v, q[3][k], 3);
        }
    }
};

#endif

}  // namespace qpx::QPX_TNS
