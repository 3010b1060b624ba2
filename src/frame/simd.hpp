// Vector loads shared by the kernels: eight elements of any pixel type widened exactly to eight
// floats (AVX for floats, SSE4.1 for the integer widening, since the baseline has no AVX2).
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace qpx {

inline __m256 load8_ps(const float* p) {
    return _mm256_loadu_ps(p);
}
inline __m256 load8_ps(const std::uint8_t* p) {
    __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    __m128i lo = _mm_cvtepu8_epi32(b);
    __m128i hi = _mm_cvtepu8_epi32(_mm_srli_si128(b, 4));
    return _mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}
inline __m256 load8_ps(const std::int16_t* p) {
    __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i lo = _mm_cvtepi16_epi32(w);
    __m128i hi = _mm_cvtepi16_epi32(_mm_unpackhi_epi64(w, w));
    return _mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}
inline __m256 load8_ps(const std::uint16_t* p) {
    __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i lo = _mm_cvtepu16_epi32(w);
    __m128i hi = _mm_cvtepu16_epi32(_mm_unpackhi_epi64(w, w));
    return _mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}

}  // namespace qpx
