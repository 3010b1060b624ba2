// Row and column stages of two-pass (separable) filtering, shared by the filters that run a
// horizontal pass into work rows and a vertical pass out of them.
//
// Every kernel here has a scalar path and a vector path (AVX floats, SSE4 integers) that run the
// same operations in the same order: a sum starts with tap 0 and adds the taps in ascending
// order, one IEEE multiply and one add per tap, so both paths agree bit for bit.
//
// Indexing is by elements: a pixel of an n-channel row is n consecutive elements, and tap t of
// output element i reads input element i + t * n. A stage therefore never mixes channels.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "frame/base.hpp"
#include "frame/simd.hpp"
#include "frame/border.hpp"
#include "frame/round.hpp"

namespace qpx::filter {

using i64 = std::int64_t;

// ---- loads and stores of 8 elements ------------------------------------------------------------

// 8 elements widened to two vectors of 4 int32.
struct I32x8 {
    __m128i lo, hi;
};
inline I32x8 load8i(const std::uint8_t* p) {
    __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return {_mm_cvtepu8_epi32(b), _mm_cvtepu8_epi32(_mm_srli_si128(b, 4))};
}
inline I32x8 load8i(const std::int16_t* p) {
    __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return {_mm_cvtepi16_epi32(w), _mm_cvtepi16_epi32(_mm_unpackhi_epi64(w, w))};
}
inline I32x8 load8i(const std::uint16_t* p) {
    __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return {_mm_cvtepu16_epi32(w), _mm_cvtepu16_epi32(_mm_unpackhi_epi64(w, w))};
}

// Stores 8 int32 lanes already inside D's range as D elements.
template <class D>
inline void store8i(D* p, __m128i lo, __m128i hi) {
    if constexpr (std::is_same_v<D, std::uint8_t>) {
        __m128i w = _mm_packus_epi32(lo, hi);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(w, w));
    } else if constexpr (std::is_same_v<D, std::int8_t>) {
        __m128i w = _mm_packs_epi32(lo, hi);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi16(w, w));
    } else if constexpr (std::is_same_v<D, std::int16_t>) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(lo, hi));
    } else {
        static_assert(std::is_same_v<D, std::uint16_t>);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi32(lo, hi));
    }
}

// 8 floats truncated toward zero and saturated to D's range as int32. Clamping to the integral
// bounds first and truncating last gives the same result as the scalar rule (truncate, then
// clamp), NaN included: the minimum picks the upper bound for it.
template <class D>
inline __m256i trunc_sat8(__m256 v) {
    v = _mm256_min_ps(v, _mm256_set1_ps(float(std::numeric_limits<D>::max())));
    v = _mm256_max_ps(v, _mm256_set1_ps(float(std::numeric_limits<D>::min())));
    return _mm256_cvttps_epi32(v);
}

// Stores 8 float results: as they are into float, else truncated toward zero and saturated.
template <class D>
inline void store8f_trunc(D* p, __m256 v) {
    if constexpr (std::is_same_v<D, float>) {
        _mm256_storeu_ps(p, v);
    } else {
        __m256i r = trunc_sat8<D>(v);
        store8i(p, _mm256_castsi256_si128(r), _mm256_extractf128_si256(r, 1));
    }
}
// 16 results into bytes with one store.
template <class D>
inline void store16f_trunc(D* p, __m256 a, __m256 b) {
    static_assert(sizeof(D) == 1);
    __m256i ra = trunc_sat8<D>(a), rb = trunc_sat8<D>(b);
    __m128i a0 = _mm256_castsi256_si128(ra), a1 = _mm256_extractf128_si256(ra, 1);
    __m128i b0 = _mm256_castsi256_si128(rb), b1 = _mm256_extractf128_si256(rb, 1);
    __m128i r = std::is_signed_v<D>
                    ? _mm_packs_epi16(_mm_packs_epi32(a0, a1), _mm_packs_epi32(b0, b1))
                    : _mm_packus_epi16(_mm_packus_epi32(a0, a1), _mm_packus_epi32(b0, b1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), r);
}
template <class D>
inline D store1f_trunc(float v) {
    if constexpr (std::is_same_v<D, float>)
        return v;
    else
        return saturate<D, Rounding::Truncate>(v);
}

// ---- horizontal border extension -------------------------------------------------------------

// Writes pixels from .. to-1 of a row extended by `ext` (pixel indices relative to the ROI's
// first pixel, possibly negative or >= width) to out, converted to U. Pixels under a constant
// border take value[c]; `value` is read only then.
template <class T, int ch, class U>
void extend_row(Path path, const T* src, i64 width, const RowExtension& ext, i64 from, i64 to,
                const T* value, U* out) {
    // The span that reads the row (or memory beside it) as it is.
    const i64 lo = ext.inLeft ? from : (from > 0 ? from : 0);
    const i64 hi = ext.inRight ? to : (to < width ? to : width);
    auto put = [&](i64 x) {
        const i64 sx = ext.map(x, width);
        U* o = out + (x - from) * ch;
        if (sx == kConstIndex)
            for (int c = 0; c < ch; ++c) o[c] = static_cast<U>(value[c]);
        else
            for (int c = 0; c < ch; ++c) o[c] = static_cast<U>(src[sx * ch + c]);
    };
    for (i64 x = from; x < to && x < lo; ++x) put(x);
    if (lo < hi) {
        const T* s = src + lo * ch;
        U* o = out + (lo - from) * ch;
        const i64 n = (hi - lo) * ch;
        if constexpr (std::is_same_v<T, U>) {
            std::memcpy(o, s, static_cast<std::size_t>(n) * sizeof(T));
        } else {
            i64 i = 0;
            if constexpr (std::is_same_v<U, float>) {
                if (path == Path::Vector) {
                    if constexpr (std::is_same_v<T, std::uint8_t>) {
                        // 16 bytes per load: one wide load instead of two narrow ones.
                        for (; i + 16 <= n; i += 16) {
                            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
                            __m128i q0 = _mm_cvtepu8_epi32(b);
                            __m128i q1 = _mm_cvtepu8_epi32(_mm_srli_si128(b, 4));
                            __m128i q2 = _mm_cvtepu8_epi32(_mm_srli_si128(b, 8));
                            __m128i q3 = _mm_cvtepu8_epi32(_mm_srli_si128(b, 12));
                            _mm256_storeu_ps(o + i, _mm256_cvtepi32_ps(_mm256_insertf128_si256(
                                                        _mm256_castsi128_si256(q0), q1, 1)));
                            _mm256_storeu_ps(o + i + 8, _mm256_cvtepi32_ps(_mm256_insertf128_si256(
                                                            _mm256_castsi128_si256(q2), q3, 1)));
                        }
                    }
                    for (; i + 8 <= n; i += 8) _mm256_storeu_ps(o + i, load8_ps(s + i));
                }
            }
            for (; i < n; ++i) o[i] = static_cast<U>(s[i]);
        }
    }
    for (i64 x = hi > lo ? hi : lo; x < to; ++x) put(x);
}

// ---- row passes --------------------------------------------------------------------------------

namespace detail {

template <int KS, class K>
void row_f32(Path path, const float* in, float* out, i64 elems, int ch, const K* k, int ks,
             float scale) {
    const int n = KS ? KS : ks;
    i64 i = 0;
    if (path == Path::Vector) {
        const __m256 vs = _mm256_set1_ps(scale);
        if constexpr (KS != 0) {
            __m256 kv[KS];
            for (int t = 0; t < KS; ++t) kv[t] = _mm256_set1_ps(static_cast<float>(k[t]));
            for (; i + 8 <= elems; i += 8) {
                __m256 acc = _mm256_mul_ps(kv[0], _mm256_loadu_ps(in + i));
                for (int t = 1; t < KS; ++t)
                    acc =
                        _mm256_add_ps(acc, _mm256_mul_ps(kv[t], _mm256_loadu_ps(in + i + t * ch)));
                _mm256_storeu_ps(out + i, _mm256_mul_ps(acc, vs));
            }
        } else {
            for (; i + 8 <= elems; i += 8) {
                __m256 acc = _mm256_mul_ps(_mm256_set1_ps(static_cast<float>(k[0])),
                                           _mm256_loadu_ps(in + i));
                for (int t = 1; t < n; ++t)
                    acc = _mm256_add_ps(acc, _mm256_mul_ps(_mm256_set1_ps(static_cast<float>(k[t])),
                                                           _mm256_loadu_ps(in + i + i64(t) * ch)));
                _mm256_storeu_ps(out + i, _mm256_mul_ps(acc, vs));
            }
        }
    }
    for (; i < elems; ++i) {
        float acc = static_cast<float>(k[0]) * in[i];
        for (int t = 1; t < n; ++t) acc = acc + static_cast<float>(k[t]) * in[i + i64(t) * ch];
        out[i] = acc * scale;
    }
}

}  // namespace detail

// Float row pass over `elems` output elements: out[i] = (sum_t k[t] * in[i + t*ch]) * scale.
// `in` holds elems + (ks-1)*ch elements. out may equal in (the pass runs left to right and
// reads only at or after the element it writes).
template <class K>
void row_pass_f32(Path path, const float* in, float* out, i64 elems, int ch, const K* k, int ks,
                  float scale) {
    switch (ks) {
        case 3:
            detail::row_f32<3>(path, in, out, elems, ch, k, ks, scale);
            break;
        case 5:
            detail::row_f32<5>(path, in, out, elems, ch, k, ks, scale);
            break;
        default:
            detail::row_f32<0>(path, in, out, elems, ch, k, ks, scale);
            break;
    }
}

// Conversion of an exact integer row sum to the destination.
enum class IntConv {
    Scaled,    // sum * inv in single precision, truncated toward zero, saturated
    LowFixed,  // bits 14..29 of the 32-bit product sum * M, not saturated
};

// Integer row pass with 16-bit taps: 32-bit sums (wrapping like the hardware), converted by
// `conv` with `inv` (Scaled) or the multiplier `mul` (LowFixed).
template <IntConv conv, class T, class D>
void row_pass_int(Path path, const T* in, D* out, i64 elems, int ch, const std::int16_t* k, int ks,
                  float inv, int mul) {
    i64 i = 0;
    if (path == Path::Vector) {
        for (; i + 8 <= elems; i += 8) {
            I32x8 v = load8i(in + i);
            __m128i kt = _mm_set1_epi32(k[0]);
            __m128i lo = _mm_mullo_epi32(kt, v.lo), hi = _mm_mullo_epi32(kt, v.hi);
            for (int t = 1; t < ks; ++t) {
                v = load8i(in + i + i64(t) * ch);
                kt = _mm_set1_epi32(k[t]);
                lo = _mm_add_epi32(lo, _mm_mullo_epi32(kt, v.lo));
                hi = _mm_add_epi32(hi, _mm_mullo_epi32(kt, v.hi));
            }
            if constexpr (conv == IntConv::Scaled) {
                __m256 f =
                    _mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
                store8f_trunc(out + i, _mm256_mul_ps(f, _mm256_set1_ps(inv)));
            } else {
                const __m128i m = _mm_set1_epi32(mul);
                lo = _mm_srli_epi32(_mm_mullo_epi32(lo, m), 14);
                hi = _mm_srli_epi32(_mm_mullo_epi32(hi, m), 14);
                // Keep the low 16 bits: sign-extend them so the pack cannot saturate.
                lo = _mm_srai_epi32(_mm_slli_epi32(lo, 16), 16);
                hi = _mm_srai_epi32(_mm_slli_epi32(hi, 16), 16);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(lo, hi));
            }
        }
    }
    for (; i < elems; ++i) {
        std::uint32_t s = 0;
        for (int t = 0; t < ks; ++t)
            s += static_cast<std::uint32_t>(std::int32_t(k[t]) * std::int32_t(in[i + i64(t) * ch]));
        if constexpr (conv == IntConv::Scaled) {
            out[i] = store1f_trunc<D>(static_cast<float>(static_cast<std::int32_t>(s)) * inv);
        } else {
            std::uint32_t p = s * static_cast<std::uint32_t>(mul);
            out[i] = static_cast<D>(static_cast<std::int16_t>(static_cast<std::uint16_t>(p >> 14)));
        }
    }
}

// The multiplier of the 16-bit fixed-point stages: 16384 / divisor in single precision,
// truncated to 16 bits.
inline int low_multiplier(int divisor) {
    float q = 16384.0f / static_cast<float>(divisor);
    return static_cast<std::int16_t>(_mm_cvttss_si32(_mm_set_ss(q)));
}

// ---- column passes -----------------------------------------------------------------------------

// How the column pass applies 1/divisor: never, to each tap before summing, or to the sum.
enum class ColScale { None, PerTap, Sum };

namespace detail {

template <ColScale sc, class K>
inline float col_tap(const K* k, int j, float inv) {
    float t = static_cast<float>(k[j]);
    if constexpr (sc == ColScale::PerTap) t = t * inv;
    return t;
}

template <int KS, ColScale sc, class S, class D, class K>
void column(Path path, const S* const* rows, i64 off, D* out, i64 elems, const K* k, int ks,
            float inv) {
    const int n = KS ? KS : ks;
    i64 i = 0;
    if (path == Path::Vector) {
        const __m256 vinv = _mm256_set1_ps(inv);
        if constexpr (KS != 0) {
            __m256 kv[KS];
            const S* r[KS];
            for (int j = 0; j < KS; ++j) {
                kv[j] = _mm256_set1_ps(col_tap<sc>(k, j, inv));
                r[j] = rows[j] + off;
            }
            auto sum8 = [&](i64 at) {
                __m256 acc = _mm256_mul_ps(kv[0], load8_ps(r[0] + at));
                for (int j = 1; j < KS; ++j)
                    acc = _mm256_add_ps(acc, _mm256_mul_ps(kv[j], load8_ps(r[j] + at)));
                if constexpr (sc == ColScale::Sum) acc = _mm256_mul_ps(acc, vinv);
                return acc;
            };
            if constexpr (sizeof(D) == 1)
                for (; i + 16 <= elems; i += 16) store16f_trunc(out + i, sum8(i), sum8(i + 8));
            for (; i + 8 <= elems; i += 8) store8f_trunc(out + i, sum8(i));
        } else {
            for (; i + 8 <= elems; i += 8) {
                __m256 acc = _mm256_mul_ps(_mm256_set1_ps(col_tap<sc>(k, 0, inv)),
                                           load8_ps(rows[0] + off + i));
                for (int j = 1; j < n; ++j)
                    acc = _mm256_add_ps(acc, _mm256_mul_ps(_mm256_set1_ps(col_tap<sc>(k, j, inv)),
                                                           load8_ps(rows[j] + off + i)));
                if constexpr (sc == ColScale::Sum) acc = _mm256_mul_ps(acc, vinv);
                store8f_trunc(out + i, acc);
            }
        }
    }
    for (; i < elems; ++i) {
        float acc = col_tap<sc>(k, 0, inv) * static_cast<float>(rows[0][off + i]);
        for (int j = 1; j < n; ++j)
            acc = acc + col_tap<sc>(k, j, inv) * static_cast<float>(rows[j][off + i]);
        if constexpr (sc == ColScale::Sum) acc = acc * inv;
        out[i] = store1f_trunc<D>(acc);
    }
}

}  // namespace detail

// Float column pass: out[i] = sum_j tap_j * rows[j][off + i], with tap_j = k[j] and 1/divisor
// applied as `sc` says; integer destinations are truncated toward zero and saturated.
template <ColScale sc, class S, class D, class K>
void column_pass(Path path, const S* const* rows, i64 off, D* out, i64 elems, const K* k, int ks,
                 float inv) {
    switch (ks) {
        case 3:
            detail::column<3, sc>(path, rows, off, out, elems, k, ks, inv);
            break;
        case 5:
            detail::column<5, sc>(path, rows, off, out, elems, k, ks, inv);
            break;
        default:
            detail::column<0, sc>(path, rows, off, out, elems, k, ks, inv);
            break;
    }
}

// 16-bit fixed-point column pass: the 32-bit sum S of k[j] * rows[j][i] becomes
// floor(S * mul / 2^14), saturated to 16s. The product is exact in double precision.
void column_pass_low16s(Path path, const std::int16_t* const* rows, std::int16_t* out, i64 elems,
                        const std::int16_t* k, int ks, int mul);

// ---- the row stage with horizontal borders -----------------------------------------------------

// Runs a row pass over one source row of `width` pixels with kernel size ks and anchor ax:
// output x reads extended pixels x - ax .. x - ax + ks - 1. Where those lie inside the row (or
// on a side read from memory) the pass reads the source directly; near built borders a piece of
// at most 2*ks - 1 pixels is extended into `strip` first. `pass(in, outOffset, elems)` filters
// elems elements from `in` into the output starting at element outOffset.
template <class T, int ch, class Pass>
void row_with_border(Path path, const T* src, i64 width, int ks, int ax, const RowExtension& ext,
                     const T* value, T* strip, Pass&& pass) {
    const i64 needL = ext.inLeft ? 0 : ax;
    const i64 needR = ext.inRight ? 0 : ks - 1 - ax;
    const i64 lo = needL < width ? needL : width;
    const i64 hi = width - needR > lo ? width - needR : lo;
    auto edge = [&](i64 a, i64 b) {
        for (i64 x = a; x < b; x += ks) {
            const i64 e = x + ks < b ? x + ks : b;
            extend_row<T, ch, T>(path, src, width, ext, x - ax, e + ks - 1 - ax, value, strip);
            pass(strip, x * ch, (e - x) * ch);
        }
    };
    edge(0, lo);
    if (lo < hi) pass(src + (lo - ax) * ch, lo * ch, (hi - lo) * ch);
    edge(hi, width);
}

}  // namespace qpx::filter
