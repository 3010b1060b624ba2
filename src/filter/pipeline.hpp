// Row and column stages of two-pass (separable) filtering, shared by the filters that run a
// horizontal pass into work rows and a vertical pass out of them. Included by the separable
// kernel file after the lane layers, so it is compiled once per target in that target's
// namespace.
//
// Every pass runs the target's widest lanes over whole vectors and one lane over the tail, with
// the same operations in the same order: a float sum starts with tap 0 and adds the taps in
// ascending order, one IEEE multiply and one add per tap, so every target agrees bit for bit.
//
// Indexing is by elements: a pixel of an n-channel row is n consecutive elements, and tap t of
// output element i reads input element i + t * n. A stage therefore never mixes channels.
//
// The passes here work on one row, or on a window of a ring of rows (the column passes), so they
// take row pointers; whole images reach the stages that call them as views.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "frame/border_rows.hpp"

namespace qpx::filter::QPX_TNS::sep {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;

// ---- conversions of float results ---------------------------------------------------------------

// Float results into D: as they are into float, else truncated toward zero and saturated.
// The clamp to D's bounds comes before the conversion so that NaN, which the minimum turns into
// the upper bound, saturates high (the conversion alone would send it low).
template <class L, class D>
inline void store_trunc(D* p, typename L::F v) {
    if constexpr (std::is_same_v<D, float>) {
        L::storef(p, v);
    } else {
        v = L::minf(v, L::setf(float(std::numeric_limits<D>::max())));
        v = L::maxf(v, L::setf(float(std::numeric_limits<D>::min())));
        L::store_sat(p, L::trunc32(v));
    }
}

// ---- horizontal border extension -------------------------------------------------------------

template <class T, class L>
inline void widen_span(const T* s, float* o, i64& i, i64 n) {
    constexpr int N = L::template lanes<float>;
    for (; n - i >= N; i += N) L::storef(o + i, L::loadf(s + i));
}

// Border moves that widen the row's own runs to float with the target's lanes.
struct WidenMoves : PlainMoves {
    template <class T, class U>
    void copy(U* d, const T* s, i64 n) const {
        if constexpr (std::is_same_v<T, U>) {
            PlainMoves::copy(d, s, n);
        } else {
            static_assert(std::is_same_v<U, float>);
            i64 i = 0;
            widen_span<T, Wide>(s, d, i, n);
            widen_span<T, One>(s, d, i, n);
        }
    }
};

// ---- taps
// ----------------------------------------------------------------------------------------

// The taps of a pass as vectors of L, tap t being value(t): held in locals when the kernel size
// KS is fixed at compile time, made where they are used otherwise (KS == 0).
template <int KS, class L, class Value>
struct Taps {
    Value value;
    typename L::F v[KS ? KS : 1];
    explicit Taps(Value f) : value(f) {
        for (int t = 0; t < (KS ? KS : 1); ++t) v[t] = L::setf(value(t));
    }
    typename L::F operator()(int t) const { return KS ? v[t] : L::setf(value(t)); }
};
template <int KS, class L, class Value>
inline Taps<KS, L, Value> taps(Value f) {
    return Taps<KS, L, Value>(f);
}

// ---- row passes --------------------------------------------------------------------------------

template <int KS, class L, class K>
void row_f32_span(const float* in, float* out, i64& i, i64 elems, int ch, const K* k, int ks,
                  float scale) {
    constexpr int N = L::template lanes<float>;
    const int n = KS ? KS : ks;
    const auto vs = L::setf(scale);
    const auto tap = taps<KS, L>([k](int t) { return static_cast<float>(k[t]); });
    for (; elems - i >= N; i += N) {
        auto acc = L::mul(tap(0), L::loadf(in + i));
        for (int t = 1; t < n; ++t)
            acc = L::add(acc, L::mul(tap(t), L::loadf(in + i + i64(t) * ch)));
        L::storef(out + i, L::mul(acc, vs));
    }
}

template <int KS, class K>
void row_f32(const float* in, float* out, i64 elems, int ch, const K* k, int ks, float scale) {
    i64 i = 0;
    row_f32_span<KS, Wide>(in, out, i, elems, ch, k, ks, scale);
    row_f32_span<KS, One>(in, out, i, elems, ch, k, ks, scale);
}

// Float row pass over `elems` output elements: out[i] = (sum_t k[t] * in[i + t*ch]) * scale.
// `in` holds elems + (ks-1)*ch elements. out may equal in (the pass runs left to right and
// reads only at or after the element it writes).
template <class K>
void row_pass_f32(const float* in, float* out, i64 elems, int ch, const K* k, int ks, float scale) {
    switch (ks) {
        case 3:
            row_f32<3>(in, out, elems, ch, k, ks, scale);
            break;
        case 5:
            row_f32<5>(in, out, elems, ch, k, ks, scale);
            break;
        default:
            row_f32<0>(in, out, elems, ch, k, ks, scale);
            break;
    }
}

// Conversion of an exact integer row sum to the destination.
enum class IntConv {
    Scaled,    // sum * inv in single precision, truncated toward zero, saturated
    LowFixed,  // bits 14..29 of the 32-bit product sum * M, not saturated
};

// 32-bit sum of k[t] * in[t * ch], wrapping like the hardware.
template <class L, class T>
inline typename FiltOps<L>::I32 int_sum(const T* in, i64 stride, const std::int16_t* k, int ks) {
    using O = FiltOps<L>;
    auto acc = O::mul32(O::set32(k[0]), O::load32(in));
    for (int t = 1; t < ks; ++t)
        acc = O::add32(acc, O::mul32(O::set32(k[t]), O::load32(in + t * stride)));
    return acc;
}

template <IntConv conv, class L, class T, class D>
void row_int_span(const T* in, D* out, i64& i, i64 elems, int ch, const std::int16_t* k, int ks,
                  float inv, int mul) {
    using O = FiltOps<L>;
    for (; elems - i >= O::k32; i += O::k32) {
        const auto s = int_sum<L>(in + i, ch, k, ks);
        if constexpr (conv == IntConv::Scaled) {
            store_trunc<L>(out + i, L::mul(O::to_float(s), L::setf(inv)));
        } else {
            // Keep the low 16 bits: sign-extend them so the narrowing cannot saturate.
            const auto p = O::srl32(O::mul32(s, O::set32(mul)), 14);
            O::store_sat(out + i, O::sra32(O::sll32(p, 16), 16));
        }
    }
}

// Integer row pass with 16-bit taps: 32-bit sums (wrapping like the hardware), converted by
// `conv` with `inv` (Scaled) or the multiplier `mul` (LowFixed).
template <IntConv conv, class T, class D>
void row_pass_int(const T* in, D* out, i64 elems, int ch, const std::int16_t* k, int ks, float inv,
                  int mul) {
    i64 i = 0;
    row_int_span<conv, Wide>(in, out, i, elems, ch, k, ks, inv, mul);
    row_int_span<conv, One>(in, out, i, elems, ch, k, ks, inv, mul);
}

// The multiplier of the 16-bit fixed-point stages: 16384 / divisor in single precision,
// truncated to 16 bits (so at most 16384 in magnitude).
inline int low_multiplier(int divisor) {
    float q = 16384.0f / static_cast<float>(divisor);
    return static_cast<std::int16_t>(_mm_cvttss_si32(_mm_set_ss(q)));
}

// ---- column passes -----------------------------------------------------------------------------

// How the column pass applies 1/divisor: never, to each tap before summing, or to the sum.
enum class ColScale { None, PerTap, Sum };

template <ColScale sc, class K>
inline float col_tap(const K* k, int j, float inv) {
    float t = static_cast<float>(k[j]);
    if constexpr (sc == ColScale::PerTap) t = t * inv;
    return t;
}

template <int KS, ColScale sc, class L, class S, class D, class K>
void column_span(const S* const* rows, i64 off, D* out, i64& i, i64 elems, const K* k, int ks,
                 float inv) {
    constexpr int N = L::template lanes<float>;
    const int n = KS ? KS : ks;
    const auto vinv = L::setf(inv);
    const auto tap = taps<KS, L>([k, inv](int j) { return col_tap<sc>(k, j, inv); });
    const S* r[KS ? KS : 1];
    for (int j = 0; j < (KS ? KS : 1); ++j) r[j] = rows[j] + off;
    auto at = [&](int j) { return KS ? r[j] : rows[j] + off; };
    for (; elems - i >= N; i += N) {
        auto acc = L::mul(tap(0), L::loadf(at(0) + i));
        for (int j = 1; j < n; ++j) acc = L::add(acc, L::mul(tap(j), L::loadf(at(j) + i)));
        if constexpr (sc == ColScale::Sum) acc = L::mul(acc, vinv);
        store_trunc<L>(out + i, acc);
    }
}

template <int KS, ColScale sc, class S, class D, class K>
void column(const S* const* rows, i64 off, D* out, i64 elems, const K* k, int ks, float inv) {
    i64 i = 0;
    column_span<KS, sc, Wide>(rows, off, out, i, elems, k, ks, inv);
    column_span<KS, sc, One>(rows, off, out, i, elems, k, ks, inv);
}

// Float column pass: out[i] = sum_j tap_j * rows[j][off + i], with tap_j = k[j] and 1/divisor
// applied as `sc` says; integer destinations are truncated toward zero and saturated.
template <ColScale sc, class S, class D, class K>
void column_pass(const S* const* rows, i64 off, D* out, i64 elems, const K* k, int ks, float inv) {
    switch (ks) {
        case 3:
            column<3, sc>(rows, off, out, elems, k, ks, inv);
            break;
        case 5:
            column<5, sc>(rows, off, out, elems, k, ks, inv);
            break;
        default:
            column<0, sc>(rows, off, out, elems, k, ks, inv);
            break;
    }
}

// floor(S * mul / 2^14) saturated to 16s, exact in 32-bit lanes: with S = h * 2^14 + l
// (0 <= l < 2^14) the quotient is h * mul + floor(l * mul / 2^14). |mul| <= 2^14, so once
// |h| reaches 2^16 the result saturates whatever h is, and h is clamped there first.
template <class L>
inline typename FiltOps<L>::I32 low_fixed(typename FiltOps<L>::I32 s, typename FiltOps<L>::I32 m) {
    using O = FiltOps<L>;
    auto h = O::min32(O::max32(O::sra32(s, 14), O::set32(-65536)), O::set32(65536));
    const auto l = O::and32(s, O::set32(16383));
    const auto q = O::add32(O::mul32(h, m), O::sra32(O::mul32(l, m), 14));
    return O::min32(O::max32(q, O::set32(-32768)), O::set32(32767));
}

template <class L>
void low16s_span(const std::int16_t* const* rows, std::int16_t* out, i64& i, i64 elems,
                 const std::int16_t* k, int ks, int mul) {
    using O = FiltOps<L>;
    const auto m = O::set32(mul);
    for (; elems - i >= O::k32; i += O::k32) {
        auto acc = O::mul32(O::set32(k[0]), O::load32(rows[0] + i));
        for (int j = 1; j < ks; ++j)
            acc = O::add32(acc, O::mul32(O::set32(k[j]), O::load32(rows[j] + i)));
        O::store_sat(out + i, low_fixed<L>(acc, m));
    }
}

// 16-bit fixed-point column pass: the 32-bit sum S of k[j] * rows[j][i] becomes
// floor(S * mul / 2^14), saturated to 16s.
inline void column_pass_low16s(const std::int16_t* const* rows, std::int16_t* out, i64 elems,
                               const std::int16_t* k, int ks, int mul) {
    i64 i = 0;
    low16s_span<Wide>(rows, out, i, elems, k, ks, mul);
    low16s_span<One>(rows, out, i, elems, k, ks, mul);
}

// ---- the row stage with horizontal borders -----------------------------------------------------

// Runs a row pass over one source row of `width` pixels with kernel size ks and anchor ax:
// output x reads extended pixels x - ax .. x - ax + ks - 1. Where those lie inside the row (or
// on a side read from memory) the pass reads the source directly; near built borders a piece of
// at most 2*ks - 1 pixels is extended into `strip` first. `pass(in, outOffset, elems)` filters
// elems elements from `in` into the output starting at element outOffset.
template <class T, int ch, class Pass>
void row_with_border(const T* src, i64 width, int ks, int ax, const LineExtension& ext,
                     const T* value, T* strip, Pass&& pass) {
    const i64 needL = ext.inLo ? 0 : ax;
    const i64 needR = ext.inHi ? 0 : ks - 1 - ax;
    const i64 lo = needL < width ? needL : width;
    const i64 hi = width - needR > lo ? width - needR : lo;
    auto edge = [&](i64 a, i64 b) {
        for (i64 x = a; x < b; x += ks) {
            const i64 e = x + ks < b ? x + ks : b;
            extend_row<ch>(src, width, ext, x - ax, e + ks - 1 - ax, value, strip);
            pass(strip, x * ch, (e - x) * ch);
        }
    };
    edge(0, lo);
    if (lo < hi) pass(src + (lo - ax) * ch, lo * ch, (hi - lo) * ch);
    edge(hi, width);
}

}  // namespace qpx::filter::QPX_TNS::sep
