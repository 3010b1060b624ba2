// The vector layer. A kernel file includes this header and is compiled once per target, with
// QPX_TARGET set to the target's number and the target's instruction-set flags; everything here
// lands in that target's own namespace (qpx::scalar, qpx::avx, qpx::avx2, qpx::avx512), so no
// helper compiled with wider flags can stand in for a baseline one at link time.
//
// Each namespace offers two lane sets with the same static operations:
//   One  - one lane of every type: the scalar target, and the tail of every vector loop;
//   Wide - the target's widest lanes (One again for the scalar target).
// Kernels are templates over the lane set, so every target runs the same operations in the
// same order and the results agree bit for bit. Float additions and multiplications keep their
// operand order (the compiler may otherwise swap them, which changes which NaN comes out).
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "frame/base.hpp"
#include "frame/target.hpp"

#if !defined(QPX_TARGET)
#error "vector kernels are compiled once per target, with QPX_TARGET set"
#elif QPX_TARGET == 0
#define QPX_TNS scalar
#elif QPX_TARGET == 1
#define QPX_TNS avx
#elif QPX_TARGET == 2
#define QPX_TNS avx2
#elif QPX_TARGET == 3
#define QPX_TNS avx512
#endif

namespace qpx::QPX_TNS {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

inline constexpr Target kTarget = static_cast<Target>(QPX_TARGET);

// ---- one lane -------------------------------------------------------------------------------

struct One {
    template <class T>
    static constexpr int lanes = 1;

    // Floats: loads widen any pixel type exactly.
    struct F {
        float v;
    };
    static F loadf(const float* p) { return {*p}; }
    static F loadf(const u8* p) { return {static_cast<float>(*p)}; }
    static F loadf(const u16* p) { return {static_cast<float>(*p)}; }
    static F loadf(const s16* p) { return {static_cast<float>(*p)}; }
    static void storef(float* p, F a) { *p = a.v; }
    static F setf(float v) { return {v}; }
    static F add(F a, F b) {
        float r;
        asm("vaddss %2, %1, %0" : "=x"(r) : "x"(a.v), "x"(b.v));
        return {r};
    }
    static F mul(F a, F b) {
        float r;
        asm("vmulss %2, %1, %0" : "=x"(r) : "x"(a.v), "x"(b.v));
        return {r};
    }
    static F sub(F a, F b) { return {a.v - b.v}; }
    static F bit_and(F a, F b) {
        std::uint32_t x, y;
        std::memcpy(&x, &a.v, 4);
        std::memcpy(&y, &b.v, 4);
        x &= y;
        F r;
        std::memcpy(&r.v, &x, 4);
        return r;
    }
    static F abs(F a) { return bit_and(a, ones_from(0x7fffffffu)); }
    // All bits set where the mask byte is non-zero.
    static F mask_set(const u8* m) { return ones_from(*m ? 0xffffffffu : 0u); }

    // Integers of T (u8, u16).
    template <class T>
    struct I {
        T v;
    };
    template <class T>
    static I<T> load(const T* p) {
        return {*p};
    }
    template <class T>
    static void store(T* p, I<T> a) {
        *p = a.v;
    }
    template <class T>
    static I<T> set(T v) {
        return {v};
    }
    template <class T>
    static I<T> absdiff(I<T> a, I<T> b) {
        return {static_cast<T>(a.v > b.v ? a.v - b.v : b.v - a.v)};
    }

  private:
    static F ones_from(std::uint32_t bits) {
        F r;
        std::memcpy(&r.v, &bits, 4);
        return r;
    }
};

// ---- widest lanes -----------------------------------------------------------------------------

#if QPX_TARGET == 0

using Wide = One;

#elif QPX_TARGET == 1 || QPX_TARGET == 2

// Eight float lanes; integers on 16 bytes (AVX) or 32 bytes (AVX2).
struct Wide {
#if QPX_TARGET == 1
    using IV = __m128i;
    static constexpr int kIntBytes = 16;
#else
    using IV = __m256i;
    static constexpr int kIntBytes = 32;
#endif
    template <class T>
    static constexpr int lanes = sizeof(T) == 4 ? 8 : kIntBytes / int(sizeof(T));

    struct F {
        __m256 v;
    };
    static F loadf(const float* p) {
        return {_mm256_loadu_ps(p)};
    }
#if QPX_TARGET == 1
    static F loadf(const u8* p) {
        __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        return from_halves(_mm_cvtepu8_epi32(b), _mm_cvtepu8_epi32(_mm_srli_si128(b, 4)));
    }
    static F loadf(const u16* p) {
        __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return from_halves(_mm_cvtepu16_epi32(w), _mm_cvtepu16_epi32(_mm_unpackhi_epi64(w, w)));
    }
    static F loadf(const s16* p) {
        __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return from_halves(_mm_cvtepi16_epi32(w), _mm_cvtepi16_epi32(_mm_unpackhi_epi64(w, w)));
    }
    static F mask_set(const u8* m) {
        __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m));
        __m128i set = _mm_xor_si128(_mm_cmpeq_epi8(b, _mm_setzero_si128()), _mm_set1_epi8(-1));
        __m128i lo = _mm_cvtepi8_epi32(set), hi = _mm_cvtepi8_epi32(_mm_srli_si128(set, 4));
        return {_mm256_castsi256_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1))};
    }
#else
    static F loadf(const u8* p) {
        __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        return {_mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(b))};
    }
    static F loadf(const u16* p) {
        __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return {_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(w))};
    }
    static F loadf(const s16* p) {
        __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return {_mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(w))};
    }
    static F mask_set(const u8* m) {
        __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m));
        __m256i zero = _mm256_cmpeq_epi32(_mm256_cvtepu8_epi32(b), _mm256_setzero_si256());
        return {_mm256_castsi256_ps(_mm256_xor_si256(zero, _mm256_set1_epi32(-1)))};
    }
#endif
    static void storef(float* p, F a) {
        _mm256_storeu_ps(p, a.v);
    }
    static F setf(float v) {
        return {_mm256_set1_ps(v)};
    }
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
    static F sub(F a, F b) {
        return {_mm256_sub_ps(a.v, b.v)};
    }
    static F bit_and(F a, F b) {
        return {_mm256_and_ps(a.v, b.v)};
    }
    static F abs(F a) {
        return {_mm256_and_ps(a.v, _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff)))};
    }

    template <class T>
    struct I {
        IV v;
    };
    template <class T>
    static I<T> load(const T* p) {
        IV r;
        std::memcpy(&r, p, sizeof r);
        return {r};
    }
    template <class T>
    static void store(T* p, I<T> a) {
        std::memcpy(p, &a.v, sizeof a.v);
    }
#if QPX_TARGET == 1
    static I<u8> set(u8 v) {
        return {_mm_set1_epi8(static_cast<char>(v))};
    }
    static I<u16> set(u16 v) {
        return {_mm_set1_epi16(static_cast<short>(v))};
    }
    static I<u8> absdiff(I<u8> a, I<u8> b) {
        return {_mm_sub_epi8(_mm_max_epu8(a.v, b.v), _mm_min_epu8(a.v, b.v))};
    }
    static I<u16> absdiff(I<u16> a, I<u16> b) {
        return {_mm_sub_epi16(_mm_max_epu16(a.v, b.v), _mm_min_epu16(a.v, b.v))};
    }
#else
    static I<u8> set(u8 v) {
        return {_mm256_set1_epi8(static_cast<char>(v))};
    }
    static I<u16> set(u16 v) {
        return {_mm256_set1_epi16(static_cast<short>(v))};
    }
    static I<u8> absdiff(I<u8> a, I<u8> b) {
        return {_mm256_sub_epi8(_mm256_max_epu8(a.v, b.v), _mm256_min_epu8(a.v, b.v))};
    }
    static I<u16> absdiff(I<u16> a, I<u16> b) {
        return {_mm256_sub_epi16(_mm256_max_epu16(a.v, b.v), _mm256_min_epu16(a.v, b.v))};
    }
#endif

  private:
    static F from_halves(__m128i lo, __m128i hi) {
        return {_mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1))};
    }
};

#elif QPX_TARGET == 3

// Sixteen float lanes; integers on 64 bytes.
struct Wide {
    template <class T>
    static constexpr int lanes = 64 / int(sizeof(T));

    struct F {
        __m512 v;
    };
    // The unmasked widening intrinsics start from an "undefined" register that GCC 12 then
    // reports as uninitialised; the zero-masked forms with every lane selected are the same
    // instructions without it.
    static constexpr __mmask16 kAll16 = 0xFFFF;
    static F to_float(__m512i v) { return {_mm512_maskz_cvtepi32_ps(kAll16, v)}; }
    static F loadf(const float* p) { return {_mm512_loadu_ps(p)}; }
    static F loadf(const u8* p) {
        return to_float(_mm512_maskz_cvtepu8_epi32(
            kAll16, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    }
    static F loadf(const u16* p) {
        return to_float(_mm512_maskz_cvtepu16_epi32(
            kAll16, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))));
    }
    static F loadf(const s16* p) {
        return to_float(_mm512_maskz_cvtepi16_epi32(
            kAll16, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))));
    }
    static F mask_set(const u8* m) {
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
        return {_mm512_castsi512_ps(_mm512_movm_epi32(_mm_test_epi8_mask(b, b)))};
    }
    static void storef(float* p, F a) { _mm512_storeu_ps(p, a.v); }
    static F setf(float v) { return {_mm512_set1_ps(v)}; }
    static F add(F a, F b) {
        __m512 r;
        asm("vaddps %2, %1, %0" : "=v"(r) : "v"(a.v), "v"(b.v));
        return {r};
    }
    static F mul(F a, F b) {
        __m512 r;
        asm("vmulps %2, %1, %0" : "=v"(r) : "v"(a.v), "v"(b.v));
        return {r};
    }
    static F sub(F a, F b) { return {_mm512_sub_ps(a.v, b.v)}; }
    static F bit_and(F a, F b) { return {_mm512_and_ps(a.v, b.v)}; }
    static F abs(F a) {
        return {_mm512_and_ps(a.v, _mm512_castsi512_ps(_mm512_set1_epi32(0x7fffffff)))};
    }

    template <class T>
    struct I {
        __m512i v;
    };
    template <class T>
    static I<T> load(const T* p) {
        return {_mm512_loadu_si512(p)};
    }
    template <class T>
    static void store(T* p, I<T> a) {
        _mm512_storeu_si512(p, a.v);
    }
    static I<u8> set(u8 v) { return {_mm512_set1_epi8(static_cast<char>(v))}; }
    static I<u16> set(u16 v) { return {_mm512_set1_epi16(static_cast<short>(v))}; }
    static I<u8> absdiff(I<u8> a, I<u8> b) {
        return {_mm512_sub_epi8(_mm512_max_epu8(a.v, b.v), _mm512_min_epu8(a.v, b.v))};
    }
    static I<u16> absdiff(I<u16> a, I<u16> b) {
        return {_mm512_sub_epi16(_mm512_max_epu16(a.v, b.v), _mm512_min_epu16(a.v, b.v))};
    }
};

#endif

}  // namespace qpx::QPX_TNS
