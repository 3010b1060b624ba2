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
// operand order (the compiler may otherwise swap them, which changes which NaN comes out); min
// and max follow the instructions (the second operand when either is NaN).
//
// Besides the floats, each lane set has 32-bit integer lanes as many as its float lanes (I32,
// a pair of 16-byte halves on AVX), wrapping like the hardware, with widening loads from the
// pixel types and a saturating narrowing store to them. The AVX-512 forms use the zero-masked
// intrinsics with every lane selected: the unmasked ones start from an "undefined" register
// that GCC 12 reports as uninitialised, and the zero-masked ones are the same instructions.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

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
using s8 = std::int8_t;
using s32 = std::int32_t;

inline constexpr Target kTarget = static_cast<Target>(QPX_TARGET);

// Float additions and multiplications with the operand order kept, one overload per width:
// the scalar forms on float and double, the packed ones on 256-bit and 512-bit vectors.
#define QPX_ORDERED(name, op, T, suffix, reg)                           \
    inline T name(T a, T b) {                                           \
        T r;                                                            \
        asm("v" op suffix " %2, %1, %0" : "=" reg(r) : reg(a), reg(b)); \
        return r;                                                       \
    }
#if QPX_TARGET == 3
#define QPX_ORDERED_512(name, op) QPX_ORDERED(name, op, __m512, "ps", "v")
#else
#define QPX_ORDERED_512(name, op)
#endif
#define QPX_ORDERED_ALL(name, op)             \
    QPX_ORDERED(name, op, float, "ss", "x")   \
    QPX_ORDERED(name, op, double, "sd", "x")  \
    QPX_ORDERED(name, op, __m256, "ps", "x")  \
    QPX_ORDERED(name, op, __m256d, "pd", "x") \
    QPX_ORDERED_512(name, op)
QPX_ORDERED_ALL(add_ordered, "add")
QPX_ORDERED_ALL(mul_ordered, "mul")
#undef QPX_ORDERED_ALL
#undef QPX_ORDERED_512
#undef QPX_ORDERED

// Integer lanes I of T (a struct holding the vector `v`) as the compiler's vector of T, so that
// one form of an operation serves every width: v + 0 is a broadcast, and the max and min of
// unsigned lanes become the lane instructions.
template <class I, class T>
inline I set_lanes(T v) {
    typedef T E __attribute__((vector_size(sizeof(I::v))));
    return {(decltype(I::v))(E{} + v)};
}
// |a - b| of unsigned lanes as max - min.
template <class T, class I>
inline I absdiff_lanes(I a, I b) {
    typedef T E __attribute__((vector_size(sizeof(a.v))));
    const E x = (E)a.v, y = (E)b.v;
    return {(decltype(a.v))((x > y ? x : y) - (x < y ? x : y))};
}

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
    static F add(F a, F b) { return {add_ordered(a.v, b.v)}; }
    static F mul(F a, F b) { return {mul_ordered(a.v, b.v)}; }
    static F sub(F a, F b) { return {a.v - b.v}; }
    static F div(F a, F b) { return {a.v / b.v}; }
    static F minf(F a, F b) {
        return {_mm_cvtss_f32(_mm_min_ss(_mm_set_ss(a.v), _mm_set_ss(b.v)))};
    }
    static F maxf(F a, F b) {
        return {_mm_cvtss_f32(_mm_max_ss(_mm_set_ss(a.v), _mm_set_ss(b.v)))};
    }
    static F sqrt(F a) { return {_mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(a.v)))}; }
    // One lane has no streaming form worth having: an ordinary store.
    static void streamf(float* p, F a) { *p = a.v; }
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

    // 32-bit integer lanes.
    struct I32 {
        s32 v;
    };
    template <class T>
    static I32 load32(const T* p) {
        return {s32(*p)};
    }
    static void store32(s32* p, I32 a) { *p = a.v; }
    static I32 set32(s32 v) { return {v}; }
    static I32 add32(I32 a, I32 b) { return {s32(std::uint32_t(a.v) + std::uint32_t(b.v))}; }
    static I32 sub32(I32 a, I32 b) { return {s32(std::uint32_t(a.v) - std::uint32_t(b.v))}; }
    static I32 mul32(I32 a, I32 b) { return {s32(std::uint32_t(a.v) * std::uint32_t(b.v))}; }
    static I32 srl32(I32 a, int n) { return {s32(std::uint32_t(a.v) >> n)}; }
    static I32 sra32(I32 a, int n) { return {a.v >> n}; }
    static I32 sll32(I32 a, int n) { return {s32(std::uint32_t(a.v) << n)}; }
    static I32 and32(I32 a, I32 b) { return {a.v & b.v}; }
    static I32 xor32(I32 a, I32 b) { return {a.v ^ b.v}; }
    static I32 min32(I32 a, I32 b) { return {a.v < b.v ? a.v : b.v}; }
    static I32 max32(I32 a, I32 b) { return {a.v > b.v ? a.v : b.v}; }
    static I32 abs32(I32 a) { return {a.v < 0 ? s32(0u - std::uint32_t(a.v)) : a.v}; }
    // In the caller's rounding mode, like the vector conversion.
    static F to_float(I32 a) { return {static_cast<float>(a.v)}; }
    static I32 trunc32(F a) { return {_mm_cvttss_si32(_mm_set_ss(a.v))}; }
    // Conversion in the control register's rounding mode (out of range: INT_MIN).
    static I32 cvt32(F a) { return {_mm_cvtss_si32(_mm_set_ss(a.v))}; }
    // Saturated to D (u8, s8, u16, s16).
    template <class D>
    static void store_sat(D* p, I32 a) {
        constexpr s32 lo = std::numeric_limits<D>::min(), hi = std::numeric_limits<D>::max();
        *p = static_cast<D>(a.v < lo ? lo : a.v > hi ? hi : a.v);
    }
    template <class D>
    static void stream_sat(D* p, I32 a) {
        store_sat(p, a);
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

#endif

#if QPX_TARGET != 0

// Eight float lanes: the widest of AVX and AVX2, and on AVX-512 the lanes of loops whose loads
// would split a cache line at every 64-byte step.
struct Lanes8f {
    template <class T>
    static constexpr int lanes = 8;
    struct F {
        __m256 v;
    };
    static F loadf(const float* p) { return {_mm256_loadu_ps(p)}; }
    static void storef(float* p, F a) { _mm256_storeu_ps(p, a.v); }
    // `p` aligned to 32 bytes.
    static void streamf(float* p, F a) { _mm256_stream_ps(p, a.v); }
    static F setf(float v) { return {_mm256_set1_ps(v)}; }
    static F add(F a, F b) { return {add_ordered(a.v, b.v)}; }
    static F mul(F a, F b) { return {mul_ordered(a.v, b.v)}; }
    static F sub(F a, F b) { return {_mm256_sub_ps(a.v, b.v)}; }
    static F div(F a, F b) { return {_mm256_div_ps(a.v, b.v)}; }
    static F minf(F a, F b) { return {_mm256_min_ps(a.v, b.v)}; }
    static F maxf(F a, F b) { return {_mm256_max_ps(a.v, b.v)}; }
    static F sqrt(F a) { return {_mm256_sqrt_ps(a.v)}; }
    static F bit_and(F a, F b) { return {_mm256_and_ps(a.v, b.v)}; }
    static F abs(F a) {
        return {_mm256_and_ps(a.v, _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff)))};
    }
    // Eight u16 pixels widened exactly to float, and all bits set where the mask byte is not
    // zero: the 128-bit integer forms, which every vector target has.
    static F widen8(const u16* p) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i lo = _mm_cvtepu16_epi32(w), hi = _mm_cvtepu16_epi32(_mm_unpackhi_epi64(w, w));
        return {_mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1))};
    }
    static F mask8(const u8* m) {
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m));
        const __m128i set =
            _mm_xor_si128(_mm_cmpeq_epi8(b, _mm_setzero_si128()), _mm_set1_epi8(-1));
        const __m128i lo = _mm_cvtepi8_epi32(set), hi = _mm_cvtepi8_epi32(_mm_srli_si128(set, 4));
        return {_mm256_castsi256_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1))};
    }
};

#endif

#if QPX_TARGET == 1 || QPX_TARGET == 2

// Eight float lanes; integers on 16 bytes (AVX) or 32 bytes (AVX2).
struct Wide : Lanes8f {
    using Lanes8f::loadf;
#if QPX_TARGET == 1
    using IV = __m128i;
    static constexpr int kIntBytes = 16;
#else
    using IV = __m256i;
    static constexpr int kIntBytes = 32;
#endif
    template <class T>
    static constexpr int lanes = sizeof(T) == 4 ? 8 : kIntBytes / int(sizeof(T));

    // Pixels widened exactly to float.
    template <class T>
    static F loadf(const T* p) {
        return to_float(load32(p));
    }
#if QPX_TARGET == 1
    static F mask_set(const u8* m) {
        return mask8(m);
    }
#else
    static F mask_set(const u8* m) {
        __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m));
        __m256i zero = _mm256_cmpeq_epi32(_mm256_cvtepu8_epi32(b), _mm256_setzero_si256());
        return {_mm256_castsi256_ps(_mm256_xor_si256(zero, _mm256_set1_epi32(-1)))};
    }
#endif

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
    static I<u8> set(u8 v) {
        return set_lanes<I<u8>>(v);
    }
    static I<u16> set(u16 v) {
        return set_lanes<I<u16>>(v);
    }
    template <class T>
    static I<T> absdiff(I<T> a, I<T> b) {
        return absdiff_lanes<T>(a, b);
    }

    // ---- 32-bit lanes, as many as the float lanes: a pair of halves on AVX ----
#if QPX_TARGET == 1
    struct I32 {
        __m128i lo, hi;
    };
    static I32 load32(const u8* p) {
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        return {_mm_cvtepu8_epi32(b), _mm_cvtepu8_epi32(_mm_srli_si128(b, 4))};
    }
    static I32 load32(const s16* p) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return {_mm_cvtepi16_epi32(w), _mm_cvtepi16_epi32(_mm_unpackhi_epi64(w, w))};
    }
    static I32 load32(const u16* p) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return {_mm_cvtepu16_epi32(w), _mm_cvtepu16_epi32(_mm_unpackhi_epi64(w, w))};
    }
    static I32 load32(const s32* p) {
        return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4))};
    }
    static void store32(s32* p, I32 a) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), a.hi);
    }
    static I32 set32(s32 v) {
        return {_mm_set1_epi32(v), _mm_set1_epi32(v)};
    }
    static I32 add32(I32 a, I32 b) {
        return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)};
    }
    static I32 sub32(I32 a, I32 b) {
        return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)};
    }
    static I32 mul32(I32 a, I32 b) {
        return {_mm_mullo_epi32(a.lo, b.lo), _mm_mullo_epi32(a.hi, b.hi)};
    }
    static I32 srl32(I32 a, int n) {
        return {_mm_srli_epi32(a.lo, n), _mm_srli_epi32(a.hi, n)};
    }
    static I32 sra32(I32 a, int n) {
        return {_mm_srai_epi32(a.lo, n), _mm_srai_epi32(a.hi, n)};
    }
    static I32 sll32(I32 a, int n) {
        return {_mm_slli_epi32(a.lo, n), _mm_slli_epi32(a.hi, n)};
    }
    static I32 and32(I32 a, I32 b) {
        return {_mm_and_si128(a.lo, b.lo), _mm_and_si128(a.hi, b.hi)};
    }
    static I32 xor32(I32 a, I32 b) {
        return {_mm_xor_si128(a.lo, b.lo), _mm_xor_si128(a.hi, b.hi)};
    }
    static I32 min32(I32 a, I32 b) {
        return {_mm_min_epi32(a.lo, b.lo), _mm_min_epi32(a.hi, b.hi)};
    }
    static I32 max32(I32 a, I32 b) {
        return {_mm_max_epi32(a.lo, b.lo), _mm_max_epi32(a.hi, b.hi)};
    }
    static I32 abs32(I32 a) {
        return {_mm_abs_epi32(a.lo), _mm_abs_epi32(a.hi)};
    }
    static F to_float(I32 a) {
        return {_mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(a.lo), a.hi, 1))};
    }
    static I32 halves(__m256i v) {
        return {_mm256_castsi256_si128(v), _mm256_extractf128_si256(v, 1)};
    }
    static __m128i lo128(I32 a) {
        return a.lo;
    }
    static __m128i hi128(I32 a) {
        return a.hi;
    }
#else
    struct I32 {
        __m256i v;
    };
    static I32 load32(const u8* p) {
        return {_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)))};
    }
    static I32 load32(const s16* p) {
        return {_mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))};
    }
    static I32 load32(const u16* p) {
        return {_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))};
    }
    static I32 load32(const s32* p) {
        return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))};
    }
    static void store32(s32* p, I32 a) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v);
    }
    static I32 set32(s32 v) {
        return {_mm256_set1_epi32(v)};
    }
    static I32 add32(I32 a, I32 b) {
        return {_mm256_add_epi32(a.v, b.v)};
    }
    static I32 sub32(I32 a, I32 b) {
        return {_mm256_sub_epi32(a.v, b.v)};
    }
    static I32 mul32(I32 a, I32 b) {
        return {_mm256_mullo_epi32(a.v, b.v)};
    }
    static I32 srl32(I32 a, int n) {
        return {_mm256_srli_epi32(a.v, n)};
    }
    static I32 sra32(I32 a, int n) {
        return {_mm256_srai_epi32(a.v, n)};
    }
    static I32 sll32(I32 a, int n) {
        return {_mm256_slli_epi32(a.v, n)};
    }
    static I32 and32(I32 a, I32 b) {
        return {_mm256_and_si256(a.v, b.v)};
    }
    static I32 xor32(I32 a, I32 b) {
        return {_mm256_xor_si256(a.v, b.v)};
    }
    static I32 min32(I32 a, I32 b) {
        return {_mm256_min_epi32(a.v, b.v)};
    }
    static I32 max32(I32 a, I32 b) {
        return {_mm256_max_epi32(a.v, b.v)};
    }
    static I32 abs32(I32 a) {
        return {_mm256_abs_epi32(a.v)};
    }
    static F to_float(I32 a) {
        return {_mm256_cvtepi32_ps(a.v)};
    }
    static I32 halves(__m256i v) {
        return {v};
    }
    static __m128i lo128(I32 a) {
        return _mm256_castsi256_si128(a.v);
    }
    static __m128i hi128(I32 a) {
        return _mm256_extracti128_si256(a.v, 1);
    }
#endif
    static I32 trunc32(F a) {
        return halves(_mm256_cvttps_epi32(a.v));
    }
    static I32 cvt32(F a) {
        return halves(_mm256_cvtps_epi32(a.v));
    }

    // Saturated to D (u8, s8, u16, s16): eight elements, `stream_sat` with `p` aligned to them.
    template <class D>
    static void store_sat(D* p, I32 a) {
        put<D, false>(p, a);
    }
    template <class D>
    static void stream_sat(D* p, I32 a) {
        put<D, true>(p, a);
    }

  private:
    template <class D, bool stream>
    static void put(D* p, I32 a) {
        const __m128i w = std::is_same_v<D, u16> ? _mm_packus_epi32(lo128(a), hi128(a))
                                                 : _mm_packs_epi32(lo128(a), hi128(a));
        if constexpr (sizeof(D) == 1) {
            const __m128i b = std::is_signed_v<D> ? _mm_packs_epi16(w, w) : _mm_packus_epi16(w, w);
            if constexpr (stream)
                _mm_stream_si64(reinterpret_cast<long long*>(p), _mm_cvtsi128_si64(b));
            else
                _mm_storel_epi64(reinterpret_cast<__m128i*>(p), b);
        } else if constexpr (stream) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(p), w);
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), w);
        }
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
    static constexpr __mmask16 kAll16 = 0xFFFF;
    static F loadf(const float* p) { return {_mm512_loadu_ps(p)}; }
    // Pixels widened exactly to float.
    template <class T>
    static F loadf(const T* p) {
        return to_float(load32(p));
    }
    static F mask_set(const u8* m) {
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
        return {_mm512_castsi512_ps(_mm512_movm_epi32(_mm_test_epi8_mask(b, b)))};
    }
    static void storef(float* p, F a) { _mm512_storeu_ps(p, a.v); }
    // `p` aligned to 64 bytes.
    static void streamf(float* p, F a) { _mm512_stream_ps(p, a.v); }
    static F setf(float v) { return {_mm512_set1_ps(v)}; }
    static F add(F a, F b) { return {add_ordered(a.v, b.v)}; }
    static F mul(F a, F b) { return {mul_ordered(a.v, b.v)}; }
    static F sub(F a, F b) { return {_mm512_sub_ps(a.v, b.v)}; }
    static F div(F a, F b) { return {_mm512_maskz_div_ps(kAll16, a.v, b.v)}; }
    static F minf(F a, F b) { return {_mm512_maskz_min_ps(kAll16, a.v, b.v)}; }
    static F maxf(F a, F b) { return {_mm512_maskz_max_ps(kAll16, a.v, b.v)}; }
    static F sqrt(F a) { return {_mm512_maskz_sqrt_ps(kAll16, a.v)}; }
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
    static I<u8> set(u8 v) { return set_lanes<I<u8>>(v); }
    static I<u16> set(u16 v) { return set_lanes<I<u16>>(v); }
    template <class T>
    static I<T> absdiff(I<T> a, I<T> b) {
        return absdiff_lanes<T>(a, b);
    }

    // ---- 32-bit lanes ----
    struct I32 {
        __m512i v;
    };
    static I32 load32(const u8* p) {
        return {_mm512_maskz_cvtepu8_epi32(kAll16,
                                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))};
    }
    static I32 load32(const s16* p) {
        return {_mm512_maskz_cvtepi16_epi32(
            kAll16, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)))};
    }
    static I32 load32(const u16* p) {
        return {_mm512_maskz_cvtepu16_epi32(
            kAll16, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)))};
    }
    static I32 load32(const s32* p) { return {_mm512_loadu_si512(p)}; }
    static void store32(s32* p, I32 a) { _mm512_storeu_si512(p, a.v); }
    static I32 set32(s32 v) { return {_mm512_set1_epi32(v)}; }
    static I32 add32(I32 a, I32 b) { return {_mm512_maskz_add_epi32(kAll16, a.v, b.v)}; }
    static I32 sub32(I32 a, I32 b) { return {_mm512_maskz_sub_epi32(kAll16, a.v, b.v)}; }
    static I32 mul32(I32 a, I32 b) { return {_mm512_maskz_mullo_epi32(kAll16, a.v, b.v)}; }
    static I32 srl32(I32 a, int n) { return {_mm512_maskz_srli_epi32(kAll16, a.v, unsigned(n))}; }
    static I32 sra32(I32 a, int n) { return {_mm512_maskz_srai_epi32(kAll16, a.v, unsigned(n))}; }
    static I32 sll32(I32 a, int n) { return {_mm512_maskz_slli_epi32(kAll16, a.v, unsigned(n))}; }
    static I32 and32(I32 a, I32 b) { return {_mm512_maskz_and_epi32(kAll16, a.v, b.v)}; }
    static I32 xor32(I32 a, I32 b) { return {_mm512_maskz_xor_epi32(kAll16, a.v, b.v)}; }
    static I32 min32(I32 a, I32 b) { return {_mm512_maskz_min_epi32(kAll16, a.v, b.v)}; }
    static I32 max32(I32 a, I32 b) { return {_mm512_maskz_max_epi32(kAll16, a.v, b.v)}; }
    static I32 abs32(I32 a) { return {_mm512_maskz_abs_epi32(kAll16, a.v)}; }
    static F to_float(I32 a) { return {_mm512_maskz_cvtepi32_ps(kAll16, a.v)}; }
    static I32 trunc32(F a) { return {_mm512_maskz_cvttps_epi32(kAll16, a.v)}; }
    static I32 cvt32(F a) {
        return {_mm512_maskz_cvt_roundps_epi32(kAll16, a.v, _MM_FROUND_CUR_DIRECTION)};
    }

    // Saturated to D (u8, s8, u16, s16): sixteen elements, `stream_sat` with `p` aligned to them.
    template <class D>
    static void store_sat(D* p, I32 a) {
        put<D, false>(p, a);
    }
    template <class D>
    static void stream_sat(D* p, I32 a) {
        put<D, true>(p, a);
    }

  private:
    template <class D, bool stream>
    static void put(D* p, I32 a) {
        __m512i v = a.v;
        if constexpr (!std::is_signed_v<D>)
            v = _mm512_maskz_max_epi32(kAll16, v, _mm512_setzero_si512());
        if constexpr (sizeof(D) == 1) {
            const __m128i b = std::is_signed_v<D> ? _mm512_maskz_cvtsepi32_epi8(kAll16, v)
                                                  : _mm512_maskz_cvtusepi32_epi8(kAll16, v);
            if constexpr (stream)
                _mm_stream_si128(reinterpret_cast<__m128i*>(p), b);
            else
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p), b);
        } else {
            const __m256i w = std::is_signed_v<D> ? _mm512_maskz_cvtsepi32_epi16(kAll16, v)
                                                  : _mm512_maskz_cvtusepi32_epi16(kAll16, v);
            if constexpr (stream)
                _mm256_stream_si256(reinterpret_cast<__m256i*>(p), w);
            else
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), w);
        }
    }
};

#endif

}  // namespace qpx::QPX_TNS
