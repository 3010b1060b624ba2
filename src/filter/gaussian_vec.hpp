// Lane operations of the Gaussian kernels beyond the shared layer: the symmetric pair of a row
// pass read straight from the source, and the converting store of a result. Included by
// gaussian_kern.cpp right after frame/vec.hpp, so everything lands in the target's namespace.
#pragma once

#include <type_traits>

namespace qpx::QPX_TNS {

// Float results to T: integers are converted in the caller's rounding mode (or truncated) and
// saturated to T, the out-of-range marker of the conversion (INT_MIN) saturating low.
template <class T>
inline T gauss_narrow(std::int32_t v) {
    if constexpr (std::is_same_v<T, u8>)
        return static_cast<T>(v < 0 ? 0 : v > 255 ? 255 : v);
    else if constexpr (std::is_same_v<T, u16>)
        return static_cast<T>(v < 0 ? 0 : v > 65535 ? 65535 : v);
    else
        return static_cast<T>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

template <class L>
struct GaussOps;

template <>
struct GaussOps<One> {
    using F = One::F;
    // a + b for the symmetric taps of a row: exact in float for every integer type, so the
    // integers are added first and converted once.
    template <class T>
    static F pair(const T* a, const T* b) {
        if constexpr (std::is_same_v<T, float>)
            return One::add(One::loadf(a), One::loadf(b));
        else
            return {static_cast<float>(std::int32_t(*a) + std::int32_t(*b))};
    }
    template <class T>
    static void put(T* d, F v, bool trunc) {
        if constexpr (std::is_same_v<T, float>) {
            (void)trunc;
            *d = v.v;
        } else {
            const __m128 x = _mm_set_ss(v.v);
            *d = gauss_narrow<T>(trunc ? _mm_cvttss_si32(x) : _mm_cvtss_si32(x));
        }
    }
    // One lane has no streaming form worth having: an ordinary store.
    template <class T>
    static void stream(T* d, F v, bool trunc) {
        put(d, v, trunc);
    }
};

#if QPX_TARGET == 1 || QPX_TARGET == 2

template <>
struct GaussOps<Wide> {
    using F = Wide::F;
    static __m128i load8(const u8* p) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    }

    template <class T>
    static F pair(const T* a, const T* b) {
        if constexpr (std::is_same_v<T, u8>) {
#if QPX_TARGET == 1
            const __m128i s =
                _mm_add_epi16(_mm_cvtepu8_epi16(load8(a)), _mm_cvtepu8_epi16(load8(b)));
            const __m128i lo = _mm_cvtepu16_epi32(s),
                          hi = _mm_unpackhi_epi16(s, _mm_setzero_si128());
            return {_mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1))};
#else
            return {_mm256_cvtepi32_ps(
                _mm256_add_epi32(_mm256_cvtepu8_epi32(load8(a)), _mm256_cvtepu8_epi32(load8(b))))};
#endif
        } else {
            return Wide::add(Wide::loadf(a), Wide::loadf(b));
        }
    }

    // Eight results to eight elements, in the low bytes.
    template <class T>
    static __m128i narrow(F v, bool trunc) {
        const __m256i i = trunc ? _mm256_cvttps_epi32(v.v) : _mm256_cvtps_epi32(v.v);
        const __m128i lo = _mm256_castsi256_si128(i), hi = _mm256_extractf128_si256(i, 1);
        if constexpr (std::is_same_v<T, u8>)
            return _mm_packus_epi16(_mm_packs_epi32(lo, hi), _mm_setzero_si128());
        else if constexpr (std::is_same_v<T, u16>)
            return _mm_packus_epi32(lo, hi);
        else
            return _mm_packs_epi32(lo, hi);
    }
    template <class T>
    static void put(T* d, F v, bool trunc) {
        if constexpr (std::is_same_v<T, float>)
            _mm256_storeu_ps(d, v.v);
        else if constexpr (std::is_same_v<T, u8>)
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d), narrow<T>(v, trunc));
        else
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), narrow<T>(v, trunc));
    }
    // `d` aligned to the bytes of one store.
    template <class T>
    static void stream(T* d, F v, bool trunc) {
        if constexpr (std::is_same_v<T, float>)
            _mm256_stream_ps(d, v.v);
        else if constexpr (std::is_same_v<T, u8>)
            _mm_stream_si64(reinterpret_cast<long long*>(d),
                            _mm_cvtsi128_si64(narrow<T>(v, trunc)));
        else
            _mm_stream_si128(reinterpret_cast<__m128i*>(d), narrow<T>(v, trunc));
    }
};

#elif QPX_TARGET == 3

// Eight float lanes. Float rows read at every element offset split a cache line on each 64-byte
// load, which costs more than the wider lanes save (3x3 32f runs half as fast on them).
struct Wide8 {
    template <class T>
    static constexpr int lanes = 8;
    struct F {
        __m256 v;
    };
    static F loadf(const float* p) { return {_mm256_loadu_ps(p)}; }
    static void storef(float* p, F a) { _mm256_storeu_ps(p, a.v); }
    static F setf(float v) { return {_mm256_set1_ps(v)}; }
    static F add(F a, F b) {
        __m256 r;
        asm("vaddps %2, %1, %0" : "=x"(r) : "x"(a.v), "x"(b.v));
        return {r};
    }
    static F mul(F a, F b) {
        __m256 r;
        asm("vmulps %2, %1, %0" : "=x"(r) : "x"(a.v), "x"(b.v));
        return {r};
    }
};

template <>
struct GaussOps<Wide8> {
    using F = Wide8::F;
    static F pair(const float* a, const float* b) {
        return Wide8::add(Wide8::loadf(a), Wide8::loadf(b));
    }
    static void put(float* d, F v, bool) { _mm256_storeu_ps(d, v.v); }
    static void stream(float* d, F v, bool) { _mm256_stream_ps(d, v.v); }
};

template <>
struct GaussOps<Wide> {
    using F = Wide::F;
    static constexpr __mmask16 kAll = 0xFFFF;

    template <class T>
    static F pair(const T* a, const T* b) {
        if constexpr (std::is_same_v<T, u8>) {
            const __m512i x = _mm512_maskz_cvtepu8_epi32(
                kAll, _mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
            const __m512i y = _mm512_maskz_cvtepu8_epi32(
                kAll, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
            return {_mm512_maskz_cvtepi32_ps(kAll, _mm512_add_epi32(x, y))};
        } else {
            return Wide::add(Wide::loadf(a), Wide::loadf(b));
        }
    }
    static __m512i nonneg(__m512i i) {
        return _mm512_maskz_max_epi32(kAll, i, _mm512_setzero_si512());
    }
    static __m512i to_int(F v, bool trunc) {
        return trunc ? _mm512_maskz_cvttps_epi32(kAll, v.v) : _mm512_maskz_cvtps_epi32(kAll, v.v);
    }
    template <class T>
    static void put(T* d, F v, bool trunc) {
        if constexpr (std::is_same_v<T, float>) {
            _mm512_storeu_ps(d, v.v);
        } else {
            const __m512i i = to_int(v, trunc);
            if constexpr (std::is_same_v<T, u8>)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                                 _mm512_maskz_cvtusepi32_epi8(kAll, nonneg(i)));
            else if constexpr (std::is_same_v<T, u16>)
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                                    _mm512_maskz_cvtusepi32_epi16(kAll, nonneg(i)));
            else
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                                    _mm512_maskz_cvtsepi32_epi16(kAll, i));
        }
    }
    template <class T>
    static void stream(T* d, F v, bool trunc) {
        if constexpr (std::is_same_v<T, float>) {
            _mm512_stream_ps(d, v.v);
        } else {
            const __m512i i = to_int(v, trunc);
            if constexpr (std::is_same_v<T, u8>)
                _mm_stream_si128(reinterpret_cast<__m128i*>(d),
                                 _mm512_maskz_cvtusepi32_epi8(kAll, nonneg(i)));
            else if constexpr (std::is_same_v<T, u16>)
                _mm256_stream_si256(reinterpret_cast<__m256i*>(d),
                                    _mm512_maskz_cvtusepi32_epi16(kAll, nonneg(i)));
            else
                _mm256_stream_si256(reinterpret_cast<__m256i*>(d),
                                    _mm512_maskz_cvtsepi32_epi16(kAll, i));
        }
    }
};

#endif

// The lanes of the Gaussian kernels for elements of T.
#if QPX_TARGET == 3
template <class T>
using GaussWide = std::conditional_t<std::is_same_v<T, float>, Wide8, Wide>;
#else
template <class T>
using GaussWide = Wide;
#endif

}  // namespace qpx::QPX_TNS
