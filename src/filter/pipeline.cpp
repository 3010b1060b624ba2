// The 16-bit fixed-point column pass. Its rounding is defined on exact products, so it runs in
// double precision, where S * mul (at most 2^46 in magnitude) and the scaling by 2^-14 are exact.
#include "filter/pipeline.hpp"

namespace qpx::filter {

void column_pass_low16s(Path path, const std::int16_t* const* rows, std::int16_t* out, i64 elems,
                        const std::int16_t* k, int ks, int mul) {
    i64 i = 0;
    if (path == Path::Vector) {
        const __m256d m = _mm256_set1_pd(static_cast<double>(mul));
        const __m256d scale = _mm256_set1_pd(1.0 / 16384.0);
        const __m256d lo16 = _mm256_set1_pd(-32768.0), hi16 = _mm256_set1_pd(32767.0);
        auto finish = [&](__m128i s) {
            __m256d d = _mm256_mul_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(s), m), scale);
            d = _mm256_round_pd(d, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
            d = _mm256_max_pd(_mm256_min_pd(d, hi16), lo16);
            return _mm256_cvttpd_epi32(d);
        };
        for (; i + 8 <= elems; i += 8) {
            I32x8 v = load8i(rows[0] + i);
            __m128i kt = _mm_set1_epi32(k[0]);
            __m128i lo = _mm_mullo_epi32(kt, v.lo), hi = _mm_mullo_epi32(kt, v.hi);
            for (int j = 1; j < ks; ++j) {
                v = load8i(rows[j] + i);
                kt = _mm_set1_epi32(k[j]);
                lo = _mm_add_epi32(lo, _mm_mullo_epi32(kt, v.lo));
                hi = _mm_add_epi32(hi, _mm_mullo_epi32(kt, v.hi));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                             _mm_packs_epi32(finish(lo), finish(hi)));
        }
    }
    for (; i < elems; ++i) {
        std::uint32_t s = 0;
        for (int j = 0; j < ks; ++j)
            s += static_cast<std::uint32_t>(std::int32_t(k[j]) * std::int32_t(rows[j][i]));
        __m128d d = _mm_set_sd(static_cast<double>(static_cast<std::int32_t>(s)));
        d = _mm_mul_sd(_mm_mul_sd(d, _mm_set_sd(static_cast<double>(mul))),
                       _mm_set_sd(1.0 / 16384.0));
        d = _mm_round_sd(d, d, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        d = _mm_max_sd(_mm_min_sd(d, _mm_set_sd(32767.0)), _mm_set_sd(-32768.0));
        out[i] = static_cast<std::int16_t>(_mm_cvttsd_si32(d));
    }
}

}  // namespace qpx::filter
