// Lane-set additions of the feature detectors, included by their kernel files right after
// frame/vec.hpp and so compiled once per target inside that target's namespace.
//
// Feat<L> pairs the float lanes of L with its 32-bit integer lanes and a comparison mask:
//   F - L's floats; I - L's int32 lanes; M - a lane mask (bool for one lane, a vector of
//   all-ones lanes on AVX and AVX2, a mask register on AVX-512).
// The arithmetic is the shared layer's under the detectors' names; only the masks are their own.
#pragma once

#include <type_traits>

namespace qpx::QPX_TNS {

template <class L>
struct FeatBase : L {
    static constexpr int N = L::template lanes<float>;
    using F = typename L::F;
    using I = typename L::I32;

    static I loadi(const s16* p) { return L::load32(p); }
    static I loadi(const s32* p) { return L::load32(p); }
    static I load_u8(const u8* p) { return L::load32(p); }
    static void storei(s32* p, I a) { L::store32(p, a); }
    static void store_u8(u8* p, I a) { L::store_sat(p, a); }
    static void store_s16(s16* p, I a) { L::store_sat(p, a); }
    static I seti(s32 v) { return L::set32(v); }

    using L::abs;
    using L::add;
    using L::sub;
    static F max(F a, F b) { return L::maxf(a, b); }
    static F min(F a, F b) { return L::minf(a, b); }
    // Integer to float in the caller's rounding mode.
    static F cvt(I a) { return L::to_float(a); }

    static I add(I a, I b) { return L::add32(a, b); }
    static I sub(I a, I b) { return L::sub32(a, b); }
    static I mullo(I a, I b) { return L::mul32(a, b); }
    static I abs(I a) { return L::abs32(a); }
    static I min(I a, I b) { return L::min32(a, b); }
    static I max(I a, I b) { return L::max32(a, b); }
    static I sign_bit(I a) { return L::srl32(a, 31); }
    static I xor_(I a, I b) { return L::xor32(a, b); }
};

template <class L>
struct Feat;

// ---- one lane -----------------------------------------------------------------------------------

template <>
struct Feat<One> : FeatBase<One> {
    using M = bool;

    static M lt(F a, F b) { return a.v < b.v; }
    static M le(F a, F b) { return a.v <= b.v; }
    static M gt(F a, F b) { return a.v > b.v; }
    static M ge(F a, F b) { return a.v >= b.v; }
    static M gt(I a, I b) { return a.v > b.v; }
    static M eq(I a, I b) { return a.v == b.v; }
    // Whether the sign bits of a and b differ.
    static M signs_differ(F a, F b) {
        std::uint32_t x, y;
        std::memcpy(&x, &a.v, 4);
        std::memcpy(&y, &b.v, 4);
        return ((x ^ y) >> 31) != 0;
    }
    static M signs_differ(I a, I b) { return (a.v ^ b.v) < 0; }

    static M and_(M a, M b) { return a && b; }
    static M or_(M a, M b) { return a || b; }
    static M andnot(M a, M b) { return !a && b; }  // b and not a
    static M not_(M a) { return !a; }
    static F keep(F a, M m) { return m ? a : F{0.0f}; }
    static I keep(I a, M m) { return m ? a : I{0}; }
    static I select(M m, I a, I b) { return m ? a : b; }
    static F select(M m, F a, F b) { return m ? a : b; }
    static unsigned bits(M m) { return m ? 1u : 0u; }

    // Bytes: 255 where p[i] == v, else 0.
    static constexpr int NB = 1;
    static void bytes_eq(const u8* p, u8 v, u8* out) { *out = *p == v ? 255 : 0; }
};

#if QPX_TARGET == 1 || QPX_TARGET == 2

// ---- eight lanes (AVX: integers in two 16-byte halves; AVX2: 32-byte integers) --------------

template <>
struct Feat<Wide> : FeatBase<Wide> {
    using M = __m256;

    static M lt(F a, F b) { return _mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ); }
    static M le(F a, F b) { return _mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ); }
    static M gt(F a, F b) { return _mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ); }
    static M ge(F a, F b) { return _mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ); }
    static M and_(M a, M b) { return _mm256_and_ps(a, b); }
    static M or_(M a, M b) { return _mm256_or_ps(a, b); }
    static M andnot(M a, M b) { return _mm256_andnot_ps(a, b); }
    static M not_(M a) { return _mm256_xor_ps(a, _mm256_castsi256_ps(_mm256_set1_epi32(-1))); }
    static F keep(F a, M m) { return {_mm256_and_ps(a.v, m)}; }
    static F select(M m, F a, F b) { return {_mm256_blendv_ps(b.v, a.v, m)}; }
    static unsigned bits(M m) { return static_cast<unsigned>(_mm256_movemask_ps(m)); }

#if QPX_TARGET == 1
    static M as_mask(__m128i lo, __m128i hi) {
        return _mm256_castsi256_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
    }
    static __m128i mlo(M m) {
        return _mm_castps_si128(_mm256_castps256_ps128(m));
    }
    static __m128i mhi(M m) {
        return _mm_castps_si128(_mm256_extractf128_ps(m, 1));
    }
    static M gt(I a, I b) {
        return as_mask(_mm_cmpgt_epi32(a.lo, b.lo), _mm_cmpgt_epi32(a.hi, b.hi));
    }
    static M eq(I a, I b) {
        return as_mask(_mm_cmpeq_epi32(a.lo, b.lo), _mm_cmpeq_epi32(a.hi, b.hi));
    }
    static M signs_differ(I a, I b) {
        return as_mask(_mm_srai_epi32(_mm_xor_si128(a.lo, b.lo), 31),
                       _mm_srai_epi32(_mm_xor_si128(a.hi, b.hi), 31));
    }
    static M signs_differ(F a, F b) {
        const __m256 x = _mm256_xor_ps(a.v, b.v);
        return as_mask(_mm_srai_epi32(_mm_castps_si128(_mm256_castps256_ps128(x)), 31),
                       _mm_srai_epi32(_mm_castps_si128(_mm256_extractf128_ps(x, 1)), 31));
    }
    static I keep(I a, M m) {
        return {_mm_and_si128(a.lo, mlo(m)), _mm_and_si128(a.hi, mhi(m))};
    }
    static I select(M m, I a, I b) {
        return {_mm_blendv_epi8(b.lo, a.lo, mlo(m)), _mm_blendv_epi8(b.hi, a.hi, mhi(m))};
    }

    static constexpr int NB = 16;
    static void bytes_eq(const u8* p, u8 v, u8* out) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(v))));
    }
#else
    static M as_mask(__m256i v) {
        return _mm256_castsi256_ps(v);
    }
    static __m256i mi(M m) {
        return _mm256_castps_si256(m);
    }
    static M gt(I a, I b) {
        return as_mask(_mm256_cmpgt_epi32(a.v, b.v));
    }
    static M eq(I a, I b) {
        return as_mask(_mm256_cmpeq_epi32(a.v, b.v));
    }
    static M signs_differ(I a, I b) {
        return as_mask(_mm256_srai_epi32(_mm256_xor_si256(a.v, b.v), 31));
    }
    static M signs_differ(F a, F b) {
        return as_mask(_mm256_srai_epi32(_mm256_castps_si256(_mm256_xor_ps(a.v, b.v)), 31));
    }
    static I keep(I a, M m) {
        return {_mm256_and_si256(a.v, mi(m))};
    }
    static I select(M m, I a, I b) {
        return {_mm256_blendv_epi8(b.v, a.v, mi(m))};
    }

    static constexpr int NB = 32;
    static void bytes_eq(const u8* p, u8 v, u8* out) {
        __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_cmpeq_epi8(x, _mm256_set1_epi8(static_cast<char>(v))));
    }
#endif
};

#elif QPX_TARGET == 3

// ---- sixteen lanes, masks in mask registers -----------------------------------------------------

template <>
struct Feat<Wide> : FeatBase<Wide> {
    using M = __mmask16;

    static M lt(F a, F b) { return _mm512_cmp_ps_mask(a.v, b.v, _CMP_LT_OQ); }
    static M le(F a, F b) { return _mm512_cmp_ps_mask(a.v, b.v, _CMP_LE_OQ); }
    static M gt(F a, F b) { return _mm512_cmp_ps_mask(a.v, b.v, _CMP_GT_OQ); }
    static M ge(F a, F b) { return _mm512_cmp_ps_mask(a.v, b.v, _CMP_GE_OQ); }
    static M gt(I a, I b) { return _mm512_cmpgt_epi32_mask(a.v, b.v); }
    static M eq(I a, I b) { return _mm512_cmpeq_epi32_mask(a.v, b.v); }
    static M signs_differ(I a, I b) { return _mm512_movepi32_mask(_mm512_xor_si512(a.v, b.v)); }
    static M signs_differ(F a, F b) {
        return _mm512_movepi32_mask(_mm512_castps_si512(_mm512_xor_ps(a.v, b.v)));
    }
    static M and_(M a, M b) { return static_cast<M>(a & b); }
    static M or_(M a, M b) { return static_cast<M>(a | b); }
    static M andnot(M a, M b) { return static_cast<M>(~a & b); }
    static M not_(M a) { return static_cast<M>(~a); }
    static F keep(F a, M m) { return {_mm512_maskz_mov_ps(m, a.v)}; }
    static I keep(I a, M m) { return {_mm512_maskz_mov_epi32(m, a.v)}; }
    static F select(M m, F a, F b) { return {_mm512_mask_blend_ps(m, b.v, a.v)}; }
    static I select(M m, I a, I b) { return {_mm512_mask_blend_epi32(m, b.v, a.v)}; }
    static unsigned bits(M m) { return static_cast<unsigned>(m); }

    static constexpr int NB = 64;
    static void bytes_eq(const u8* p, u8 v, u8* out) {
        __m512i x = _mm512_loadu_si512(p);
        _mm512_storeu_si512(out, _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(
                                     x, _mm512_set1_epi8(static_cast<char>(v)))));
    }
};

#endif

}  // namespace qpx::QPX_TNS
