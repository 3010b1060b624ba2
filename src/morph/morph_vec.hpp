// Lanes for the morphology kernels: loads, stores, maximum, minimum and the differences of the
// composed operations, for 8u, 16u, 16s and 32f elements, on one lane and on the target's widest
// lanes. Included by the morphology kernel files right after the common vector layer; like it,
// everything lands in the target's own namespace.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <limits>
#include <type_traits>

#include "frame/vec.hpp"

namespace qpx::QPX_TNS {

// MLanes<L, T>: the lanes of element type T in lane set L. Float maximum and minimum are
// (a > b ? a : b) and (a < b ? a : b), which is what the instructions compute, NaN included.
template <class L, class T>
struct MLanes;

template <class T>
struct MLanes<One, T> {
    using V = T;
    static constexpr int N = 1;
    static V load(const T* p) { return *p; }
    static void store(T* p, V v) { *p = v; }
    static V set(T v) { return v; }
    // a + b for floats, with the operands in this order (it decides which NaN comes out).
    static V add(V a, V b) { return One::add({a}, {b}).v; }
    static V max(V a, V b) { return a > b ? a : b; }
    static V min(V a, V b) { return a < b ? a : b; }
    // a + b saturating, for integers.
    static V adds(V a, V b) {
        const int r = int(a) + int(b);
        constexpr int lo = std::numeric_limits<T>::lowest(), hi = std::numeric_limits<T>::max();
        return static_cast<T>(r < lo ? lo : r > hi ? hi : r);
    }
    // a - b, saturating for integers; `clamp` then replaces negative results by 0 (signed and
    // float data; NaN and -0 pass, as the vector maximum with 0 does).
    static V diff(V a, V b, bool clamp) {
        if constexpr (std::is_same_v<T, float>) {
            const float d = a - b;
            return clamp ? (0.0f > d ? 0.0f : d) : d;
        } else if constexpr (std::is_signed_v<T>) {
            int d = int(a) - int(b);
            d = d < -32768 ? -32768 : d > 32767 ? 32767 : d;
            return static_cast<T>(clamp && d < 0 ? 0 : d);
        } else {
            return static_cast<T>(a > b ? a - b : 0);
        }
    }
};

#if QPX_TARGET == 1 || QPX_TARGET == 2

#if QPX_TARGET == 1
using MIV = __m128i;
#define QPX_MI(op) _mm_##op
#define QPX_MI_LOAD(p) _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))
#define QPX_MI_STORE(p, v) _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v)
#define QPX_MI_ZERO() _mm_setzero_si128()
#else
using MIV = __m256i;
#define QPX_MI(op) _mm256_##op
#define QPX_MI_LOAD(p) _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))
#define QPX_MI_STORE(p, v) _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v)
#define QPX_MI_ZERO() _mm256_setzero_si256()
#endif

#define QPX_MLANES_INT(T, maxop, minop, addop, subop, setop, clampable)      \
    template <>                                                              \
    struct MLanes<Wide, T> {                                                 \
        using V = MIV;                                                       \
        static constexpr int N = int(sizeof(MIV)) / int(sizeof(T));          \
        static V load(const T* p) { return QPX_MI_LOAD(p); }                 \
        static void store(T* p, V v) { QPX_MI_STORE(p, v); }                 \
        static V set(T v) { return QPX_MI(setop)(v); }                       \
        static V max(V a, V b) { return QPX_MI(maxop)(a, b); }               \
        static V min(V a, V b) { return QPX_MI(minop)(a, b); }               \
        static V adds(V a, V b) { return QPX_MI(addop)(a, b); }              \
        static V diff(V a, V b, bool clamp) {                                \
            V d = QPX_MI(subop)(a, b);                                       \
            if (clampable && clamp) d = QPX_MI(max_epi16)(d, QPX_MI_ZERO()); \
            return d;                                                        \
        }                                                                    \
    };
QPX_MLANES_INT(std::uint8_t, max_epu8, min_epu8, adds_epu8, subs_epu8, set1_epi8, false)
QPX_MLANES_INT(std::uint16_t, max_epu16, min_epu16, adds_epu16, subs_epu16, set1_epi16, false)
QPX_MLANES_INT(std::int16_t, max_epi16, min_epi16, adds_epi16, subs_epi16, set1_epi16, true)
#undef QPX_MLANES_INT
#undef QPX_MI
#undef QPX_MI_LOAD
#undef QPX_MI_STORE
#undef QPX_MI_ZERO

#elif QPX_TARGET == 3

#define QPX_MLANES_INT(T, maxop, minop, addop, subop, setop, clampable)              \
    template <>                                                                      \
    struct MLanes<Wide, T> {                                                         \
        using V = __m512i;                                                           \
        static constexpr int N = 64 / int(sizeof(T));                                \
        static V load(const T* p) { return _mm512_loadu_si512(p); }                  \
        static void store(T* p, V v) { _mm512_storeu_si512(p, v); }                  \
        static V set(T v) { return _mm512_##setop(v); }                              \
        static V max(V a, V b) { return _mm512_##maxop(a, b); }                      \
        static V min(V a, V b) { return _mm512_##minop(a, b); }                      \
        static V adds(V a, V b) { return _mm512_##addop(a, b); }                     \
        static V diff(V a, V b, bool clamp) {                                        \
            V d = _mm512_##subop(a, b);                                              \
            if (clampable && clamp) d = _mm512_max_epi16(d, _mm512_setzero_si512()); \
            return d;                                                                \
        }                                                                            \
    };
QPX_MLANES_INT(std::uint8_t, max_epu8, min_epu8, adds_epu8, subs_epu8, set1_epi8, false)
QPX_MLANES_INT(std::uint16_t, max_epu16, min_epu16, adds_epu16, subs_epu16, set1_epi16, false)
QPX_MLANES_INT(std::int16_t, max_epi16, min_epi16, adds_epi16, subs_epi16, set1_epi16, true)
#undef QPX_MLANES_INT

// The last k < N elements of a row in one vector: masked loads and stores touch only those (and
// never fault beyond them), so the tail takes one step instead of k single-lane ones.
template <class T>
struct MTail : MLanes<Wide, T> {
    using B = MLanes<Wide, T>;
    using M = std::conditional_t<sizeof(T) == 1, __mmask64,
                                 std::conditional_t<sizeof(T) == 2, __mmask32, __mmask8> >;
    M m;
    explicit MTail(std::int64_t k) : m(static_cast<M>((std::uint64_t(1) << k) - 1)) {}
    typename B::V load(const T* p) const {
        if constexpr (sizeof(T) == 1)
            return _mm512_maskz_loadu_epi8(m, p);
        else if constexpr (sizeof(T) == 2)
            return _mm512_maskz_loadu_epi16(m, p);
        else
            return _mm256_maskz_loadu_ps(m, p);
    }
    void store(T* p, typename B::V v) const {
        if constexpr (sizeof(T) == 1)
            _mm512_mask_storeu_epi8(p, m, v);
        else if constexpr (sizeof(T) == 2)
            _mm512_mask_storeu_epi16(p, m, v);
        else
            _mm256_mask_storeu_ps(p, m, v);
    }
};

#endif

#if QPX_TARGET >= 1
// Float lanes are 256 bits wide on every vector target: on AVX-512, 64-byte lanes split a cache
// line at every unaligned row load, and a 3x3 float dilation measured about a third slower on
// them than on 32-byte lanes.
template <>
struct MLanes<Wide, float> {
    using V = __m256;
    static constexpr int N = 8;
    static V load(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, V v) { _mm256_storeu_ps(p, v); }
    static V set(float v) { return _mm256_set1_ps(v); }
    static V max(V a, V b) { return _mm256_max_ps(a, b); }
    static V min(V a, V b) { return _mm256_min_ps(a, b); }
    // a + b with the operands in this order (it decides which NaN comes out).
    static V add(V a, V b) {
        V r;
        asm("vaddps %2, %1, %0" : "=x"(r) : "x"(a), "x"(b));
        return r;
    }
    static V diff(V a, V b, bool clamp) {
        V d = _mm256_sub_ps(a, b);
        return clamp ? _mm256_max_ps(_mm256_setzero_ps(), d) : d;
    }
};
#endif

// Runs f(lanes, i) over i in [i0, n): whole vectors of the widest lanes, then the tail (one
// masked vector on AVX-512, else one lane at a time), with f loading and storing through
// `lanes.load` / `lanes.store`, so every target visits the elements in the same order with the same
// operations. `maxLanes` bounds the vector width for recurrences that read results a fixed distance
// back.
template <class T, class F>
inline void for_lanes(std::int64_t i0, std::int64_t n, F&& f, std::int64_t maxLanes = 1 << 30) {
    std::int64_t i = i0;
    using W = MLanes<Wide, T>;
    if constexpr (W::N > 1)
        if (W::N <= maxLanes) {
            for (; n - i >= W::N; i += W::N) f(W{}, i);
#if QPX_TARGET == 3
            if (i < n) f(MTail<T>(n - i), i);
            return;
#endif
        }
    for (; i < n; ++i) f(MLanes<One, T>{}, i);
}

// The same from the top down: vectors end at n, n - N, ...
template <class T, class F>
inline void for_lanes_down(std::int64_t n, F&& f, std::int64_t maxLanes = 1 << 30) {
    std::int64_t i = n;
    using W = MLanes<Wide, T>;
    if constexpr (W::N > 1)
        if (W::N <= maxLanes) {
            for (; i >= W::N; i -= W::N) f(W{}, i - W::N);
#if QPX_TARGET == 3
            if (i > 0) f(MTail<T>(i), 0);
            return;
#endif
        }
    for (; i > 0; --i) f(MLanes<One, T>{}, i - 1);
}

}  // namespace qpx::QPX_TNS
