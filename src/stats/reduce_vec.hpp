// Reduction lanes of the statistics kernels (norms, sums, extrema), compiled once per target
// like the kernel files that include it. The double sums of 16u and 32f terms share one
// grouping on every target: eight accumulators by x mod 8 within a row, combined at the end of
// the row as ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)). 8u statistics are exact
// integers, so the byte lanes below may group them as the vector width suits.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/vec.hpp"

namespace qpx::stats::QPX_TNS {

using qpx::QPX_TNS::u8;

// The row total of eight accumulators in the fixed grouping. `add` is the double addition of
// the caller: the operand order of the additions decides which NaN comes out, so the caller
// keeps its own.
template <class Add>
inline double combine8(const double* a, Add add) {
    return add(add(add(a[0], a[4]), add(a[1], a[5])), add(add(a[2], a[6]), add(a[3], a[7])));
}

// A double addition with the accumulator as the first operand.
inline double dadd(double a, double b) {
    return qpx::QPX_TNS::add_ordered(a, b);
}

// Rows of u8 squares go through 32-bit lanes, each gaining at most 4 x 255^2 a vector: runs of
// this many vectors stay below 2^31.
inline constexpr std::int64_t kSquareRun = 8192;

#if QPX_TARGET != 0
// Byte lanes of the target: 16 on AVX, 32 on AVX2, 64 on AVX-512. Sums go through sums of
// absolute differences against zero into 64-bit lanes, squares through 16-bit multiply-adds
// into 32-bit lanes.
struct Bytes {
#if QPX_TARGET == 1
    using V = __m128i;
    static V load(const u8* p) {
        return _mm_loadu_si128(reinterpret_cast<const V*>(p));
    }
    static V zero() {
        return _mm_setzero_si128();
    }
    static V set(u8 v) {
        return _mm_set1_epi8(static_cast<char>(v));
    }
    // All bits set where the mask byte is zero.
    static V unselected(V m) {
        return _mm_cmpeq_epi8(m, zero());
    }
    // `s` where the mask byte is not zero, else 0.
    static V keep(V s, V m) {
        return _mm_andnot_si128(unselected(m), s);
    }
    static V andnot(V a, V b) {
        return _mm_andnot_si128(a, b);
    }
    static V bor(V a, V b) {
        return _mm_or_si128(a, b);
    }
    static V absdiff(V a, V b) {
        return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
    }
    static V minu(V a, V b) {
        return _mm_min_epu8(a, b);
    }
    static V maxu(V a, V b) {
        return _mm_max_epu8(a, b);
    }
    static V add32(V a, V b) {
        return _mm_add_epi32(a, b);
    }
    static V add64(V a, V b) {
        return _mm_add_epi64(a, b);
    }
    static V sad(V t) {
        return _mm_sad_epu8(t, zero());
    }
    static V squares(V t) {
        const V lo = _mm_unpacklo_epi8(t, zero()), hi = _mm_unpackhi_epi8(t, zero());
        return _mm_add_epi32(_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi));
    }
#elif QPX_TARGET == 2
    using V = __m256i;
    static V load(const u8* p) {
        return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
    }
    static V zero() {
        return _mm256_setzero_si256();
    }
    static V set(u8 v) {
        return _mm256_set1_epi8(static_cast<char>(v));
    }
    static V unselected(V m) {
        return _mm256_cmpeq_epi8(m, zero());
    }
    static V keep(V s, V m) {
        return _mm256_andnot_si256(unselected(m), s);
    }
    static V andnot(V a, V b) {
        return _mm256_andnot_si256(a, b);
    }
    static V bor(V a, V b) {
        return _mm256_or_si256(a, b);
    }
    static V absdiff(V a, V b) {
        return _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a));
    }
    static V minu(V a, V b) {
        return _mm256_min_epu8(a, b);
    }
    static V maxu(V a, V b) {
        return _mm256_max_epu8(a, b);
    }
    static V add32(V a, V b) {
        return _mm256_add_epi32(a, b);
    }
    static V add64(V a, V b) {
        return _mm256_add_epi64(a, b);
    }
    static V sad(V t) {
        return _mm256_sad_epu8(t, zero());
    }
    static V squares(V t) {
        const V lo = _mm256_unpacklo_epi8(t, zero()), hi = _mm256_unpackhi_epi8(t, zero());
        return _mm256_add_epi32(_mm256_madd_epi16(lo, lo), _mm256_madd_epi16(hi, hi));
    }
#else
    // Zero-masked forms with every lane selected where the unmasked ones start from an
    // undefined register that the compiler reports as uninitialised.
    using V = __m512i;
    static constexpr __mmask64 kAll = ~__mmask64(0);
    static V load(const u8* p) {
        return _mm512_loadu_si512(p);
    }
    static V zero() {
        return _mm512_setzero_si512();
    }
    static V set(u8 v) {
        return _mm512_set1_epi8(static_cast<char>(v));
    }
    static V unselected(V m) {
        return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(m, zero()));
    }
    static V keep(V s, V m) {
        return _mm512_maskz_mov_epi8(_mm512_test_epi8_mask(m, m), s);
    }
    static V andnot(V a, V b) {
        return _mm512_maskz_andnot_epi32(__mmask16(0xFFFF), a, b);
    }
    static V bor(V a, V b) {
        return _mm512_maskz_or_epi32(__mmask16(0xFFFF), a, b);
    }
    static V absdiff(V a, V b) {
        return _mm512_or_si512(_mm512_subs_epu8(a, b), _mm512_subs_epu8(b, a));
    }
    static V minu(V a, V b) {
        return _mm512_maskz_min_epu8(kAll, a, b);
    }
    static V maxu(V a, V b) {
        return _mm512_maskz_max_epu8(kAll, a, b);
    }
    static V add32(V a, V b) {
        return _mm512_add_epi32(a, b);
    }
    static V add64(V a, V b) {
        return _mm512_add_epi64(a, b);
    }
    static V sad(V t) {
        return _mm512_sad_epu8(t, zero());
    }
    static V squares(V t) {
        const V lo = _mm512_unpacklo_epi8(t, zero()), hi = _mm512_unpackhi_epi8(t, zero());
        return _mm512_add_epi32(_mm512_madd_epi16(lo, lo), _mm512_madd_epi16(hi, hi));
    }
#endif
    static constexpr std::int64_t N = sizeof(V);

    // Horizontal sum of the lanes of E (u32 squares, u64 sums of absolute differences).
    template <class E>
    static std::uint64_t lane_sum(V v) {
        E a[N / sizeof(E)];
        std::memcpy(a, &v, sizeof v);
        std::uint64_t t = 0;
        for (E e : a) t += e;
        return t;
    }
    // Horizontal extrema of the bytes, folded into `mn` and `mx`.
    template <class I>
    static void lane_min(V v, I& mn) {
        u8 a[N];
        std::memcpy(a, &v, sizeof a);
        for (u8 x : a) mn = x < mn ? x : mn;
    }
    template <class I>
    static void lane_max(V v, I& mx) {
        u8 a[N];
        std::memcpy(a, &v, sizeof a);
        for (u8 x : a) mx = x > mx ? x : mx;
    }
};
#endif

}  // namespace qpx::stats::QPX_TNS
