// Lane operations of the Gaussian kernels beyond the shared layer: the symmetric pair of a row
// pass read straight from the source, and the converting store of a result. Included by
// gaussian_kern.cpp right after frame/vec.hpp, so everything lands in the target's namespace.
#pragma once

#include <type_traits>

namespace qpx::QPX_TNS {

template <class L>
struct GaussOps {
    using F = typename L::F;
    // a + b for the symmetric taps of a row: exact in 32-bit integers for every integer type, so
    // the integers are added first and converted once.
    template <class T>
    static F pair(const T* a, const T* b) {
        if constexpr (std::is_same_v<T, float>) {
            return L::add(L::loadf(a), L::loadf(b));
#if QPX_TARGET == 1
        } else if constexpr (std::is_same_v<L, Wide> && std::is_same_v<T, u8>) {
            // AVX widens in 16-byte halves: one 16-bit sum widened once takes fewer shuffles
            // than two widened operands (u8 rows run about 15% faster).
            auto ld = [](const u8* p) {
                return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            };
            const __m128i s = _mm_add_epi16(_mm_cvtepu8_epi16(ld(a)), _mm_cvtepu8_epi16(ld(b)));
            return L::to_float({_mm_cvtepu16_epi32(s), _mm_unpackhi_epi16(s, _mm_setzero_si128())});
#endif
        } else {
            return L::to_float(L::add32(L::load32(a), L::load32(b)));
        }
    }
    // Results to T: integers are converted in the caller's rounding mode (or truncated) and
    // saturated to T, the out-of-range marker of the conversion (INT_MIN) saturating low.
    // Streaming stores need `d` aligned to the bytes of one store.
    template <bool streaming = false, class T>
    static void put(T* d, F v, bool trunc) {
        if constexpr (std::is_same_v<T, float>) {
            (void)trunc;
            if constexpr (streaming)
                L::streamf(d, v);
            else
                L::storef(d, v);
        } else {
            const auto i = trunc ? L::trunc32(v) : L::cvt32(v);
            if constexpr (streaming)
                L::stream_sat(d, i);
            else
                L::store_sat(d, i);
        }
    }
};

// The lanes of the Gaussian kernels for elements of T. On AVX-512, float rows read at every
// element offset split a cache line on each 64-byte load, which costs more than the wider lanes
// save (3x3 32f runs half as fast on them): floats keep eight lanes there.
#if QPX_TARGET == 3
template <class T>
using GaussWide = std::conditional_t<std::is_same_v<T, float>, Lanes8f, Wide>;
#else
template <class T>
using GaussWide = Wide;
#endif

}  // namespace qpx::QPX_TNS
