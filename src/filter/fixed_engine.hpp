// Engine of the fixed 3x3 and 5x5 filters, working in the caller's buffer. Included by
// fixed_kern.cpp after the lane layers, so it is compiled once per target in that target's
// namespace.
//
// 8-bit sources: a kernel is a sum of separable integer terms; the column taps run straight over
// the source rows into 16-bit work rows, then the row taps over those. Every intermediate value
// of the fixed masks fits in 16 bits, so the result is the exact sum whatever the order.
// Float sources: a kernel is a row stage and a column stage, written once as templates over the
// lane set, so every target runs the same operations in the same order.
#pragma once

#include <cstring>
#include <utility>

#include "frame/border_rows.hpp"

namespace qpx::filter::QPX_TNS::fixed {

using namespace qpx::QPX_TNS;

// ---- float values -------------------------------------------------------------------------------

// Float lanes of lane set L with the arithmetic the kernels are written in.
template <class L>
struct FV {
    typename L::F v;
};
template <class L>
inline FV<L> operator+(FV<L> a, FV<L> b) {
    return {L::add(a.v, b.v)};
}
template <class L>
inline FV<L> operator-(FV<L> a, FV<L> b) {
    return {L::sub(a.v, b.v)};
}
// Multiplication by a small integer constant.
template <class L>
inline FV<L> mulk(int k, FV<L> a) {
    return {L::mul(L::setf(static_cast<float>(k)), a.v)};
}

// ---- one-dimensional fixed kernels (the order of operations is part of the float results) ----

template <class V>
inline V smooth3(V a, V b, V c) {  // 1 2 1
    return (a + c) + mulk(2, b);
}
template <class V>
inline V smooth5(V a, V b, V c, V d, V e) {  // 1 4 6 4 1
    return ((a + e) + mulk(4, b + d)) + mulk(6, c);
}
template <class V>
inline V scharr3(V a, V b, V c) {  // 3 10 3
    return mulk(3, a + c) + mulk(10, b);
}
template <class V>
inline V diff3(V a, V c) {  // -1 0 1
    return c - a;
}
template <class V>
inline V diff5(V a, V b, V d, V e) {  // -1 -2 0 2 1
    return (e - a) + mulk(2, d - b);
}
template <class V>
inline V second5(V a, V c, V e) {  // 1 0 -2 0 1
    return (a + e) - mulk(2, c);
}
template <class V>
inline V box3(V a, V b, V c) {
    return (a + b) + c;
}
template <class V>
inline V box5(V a, V b, V c, V d, V e) {
    return (((a + b) + c) + d) + e;
}

// ---- stores -------------------------------------------------------------------------------------

struct Store16s {
    using Dst = std::int16_t;
    template <class L>
    static void put(Dst* d, typename FiltOps<L>::I16 v) {
        FiltOps<L>::store16(d, v);
    }
};
struct Store32f {
    using Dst = float;
    template <class L>
    static void put(Dst* d, FV<L> v) {
        L::storef(d, v.v);
    }
};
// Mean of an 8-bit window from its exact sum s, rounded to nearest: s/9 as ((s+5)*7280)>>16 and
// s/25 as ((s+12)*41944)>>20, both exact for every reachable sum.
template <int area>
struct StoreMean8u {
    static_assert(area == 9 || area == 25);
    using Dst = std::uint8_t;
    static constexpr int kAdd = area == 9 ? 5 : 12;
    static constexpr int kMul = area == 9 ? 7280 : 41944;
    static constexpr int kShift = area == 9 ? 0 : 4;  // beyond the high half of the product
    template <class L>
    static void put(Dst* d, typename FiltOps<L>::I16 s) {
        using O = FiltOps<L>;
        auto t = O::mulhi_u16(O::add16(s, O::set16(kAdd)), O::set16(kMul));
        O::store_u8_sat(d, O::srl16(t, kShift));
    }
};
// Window sum times 1/9 or 1/25 in single precision.
template <int area>
struct StoreMean32f {
    using Dst = float;
    template <class L>
    static void put(Dst* d, FV<L> v) {
        L::storef(d, L::mul(v.v, L::setf(1.0f / area)));
    }
};

// ---- the ring ----------------------------------------------------------------------------------

// Number of row-stage outputs per source row: K::kRows where a kernel declares it, else 1.
template <class K>
constexpr int row_outputs() {
    if constexpr (requires { K::kRows; })
        return K::kRows;
    else
        return 1;
}

template <class K, class L>
void ring_row_span(const float* ext, float* out, int t, int& x, int w) {
    constexpr int N = L::template lanes<float>;
    for (; w - x >= N; x += N) {
        auto r = [&](int i) { return FV<L>{L::loadf(ext + x + i)}; };
        L::storef(out + x, K::template row<FV<L>>(r, t).v);
    }
}

template <int KS, class K, class Store, int T, class L>
void ring_col_span(const float* const (&win)[KS][T], typename Store::Dst* d, int& x, int w) {
    constexpr int N = L::template lanes<float>;
    for (; w - x >= N; x += N) {
        auto h = [&](int t, int j) { return FV<L>{L::loadf(win[j][t] + x)}; };
        Store::template put<L>(d + x, K::template col<FV<L>>(h));
    }
}

// Float sources: each source row is extended into a work row and filtered once by the row
// stage into a ring of KS x rows() filtered rows; the column stage combines KS of them per
// output row. `prefetch` only changes memory hints, never results.
template <int KS, class K, class Store>
void run_ring(View<const float> src, View<typename Store::Dst> dst, std::uint32_t borderType,
              float borderValue, std::uint8_t* buffer, bool prefetch) {
    constexpr int ax = (KS - 1) / 2, T = row_outputs<K>();
    const int w = int(dst.width), h = int(dst.height);
    const auto image = BorderRows<float, 1>::filter(src, borderType, &borderValue);

    static_assert(T <= kFixedMaxRows);
    const auto at = fixed_ring_slots(w, KS, KS * T).carve(buffer);
    float* ext = reinterpret_cast<float*>(at[0]);
    float* ring[KS][T];
    for (int k = 0; k < KS; ++k)
        for (int t = 0; t < T; ++t)
            ring[k][t] = reinterpret_cast<float*>(at[1]) + std::size_t(k * T + t) * std::size_t(w);

    // Row stage of extended source row y into ring slot `slot`.
    auto row_stage = [&](int y, int slot) {
        image.build_row(y, -ax, w + ax, ext);
        for (int t = 0; t < T; ++t) {
            int x = 0;
            ring_row_span<K, Wide>(ext, ring[slot][t], t, x, w);
            ring_row_span<K, One>(ext, ring[slot][t], t, x, w);
        }
    };
    for (int j = 0; j < KS - 1; ++j) row_stage(j - ax, j);

    for (int y = 0; y < h; ++y) {
        row_stage(y + ax, (y + KS - 1) % KS);
        if (prefetch && y + ax + 1 < h) {
            const char* next = reinterpret_cast<const char*>(src.row(y + ax + 1));
            for (std::size_t b = 0; b < sizeof(float) * std::size_t(w); b += 64)
                _mm_prefetch(next + b, _MM_HINT_T0);
        }
        const float* win[KS][T];  // window row j, row output t
        for (int j = 0; j < KS; ++j)
            for (int t = 0; t < T; ++t) win[j][t] = ring[(y + j) % KS][t];
        typename Store::Dst* d = dst.row(y);
        int x = 0;
        ring_col_span<KS, K, Store, T, Wide>(win, d, x, w);
        ring_col_span<KS, K, Store, T, One>(win, d, x, w);
    }
}

// ---- 8-bit sources: sums of separable terms, exact in 16-bit lanes ---------------------------
//
// Integer results do not depend on the order of the sums, so 8-bit kernels run as
// sum_t (row_t x col_t): per output row, each term's column kernel is applied to the source rows
// directly (no copies) into a work row that covers the horizontal border, then the row kernels
// run over the work rows. Both passes read every source pixel once per output row at most.

template <int KS, int N>
struct IntKernel {
    int col[N][KS];  // vertical taps, top to bottom
    int row[N][KS];  // horizontal taps, left to right
    int centre = 0;  // weight of the window's centre pixel, taken straight from the source
};

// Calls f(std::integral_constant<int, i>) for i = 0 .. n-1, so taps are compile-time constants.
template <class F, int... I>
inline void unroll_impl(F&& f, std::integer_sequence<int, I...>) {
    (f(std::integral_constant<int, I>{}), ...);
}
template <int n, class F>
inline void unroll(F&& f) {
    unroll_impl(f, std::make_integer_sequence<int, n>{});
}

// acc + c * p for a constant tap c.
template <int c, class L>
inline typename FiltOps<L>::I16 madd16(typename FiltOps<L>::I16 acc, typename FiltOps<L>::I16 p) {
    using O = FiltOps<L>;
    if constexpr (c == 1)
        return O::add16(acc, p);
    else if constexpr (c == -1)
        return O::sub16(acc, p);
    else
        return O::add16(acc, O::mul16(p, O::set16(c)));
}

// Term t's column kernel over the KS window rows (null: a constant row) for columns x.. into v,
// whose element 0 is column -ax.
template <int KS, class K, int t, class L>
void column_span(const std::uint8_t* const* rows, std::int16_t* v, int& x, int w,
                 std::uint8_t value) {
    using O = FiltOps<L>;
    constexpr int ax = (KS - 1) / 2, N = O::k16;
    constexpr auto& col = K::kInt.col[t];
    const auto cv = O::set16(value);
    for (; w - x >= N; x += N) {
        auto acc = O::zero16();
        unroll<KS>([&](auto j) {
            if constexpr (col[j] != 0)
                acc = madd16<col[j], L>(acc, rows[j] ? O::widen16(rows[j] + x) : cv);
        });
        O::store16(v + ax + x, acc);
    }
}

template <int KS, class K, int t>
void column_pass(const std::uint8_t* const* rows, std::int16_t* v, int w, const LineExtension& re,
                 std::uint8_t value) {
    constexpr int ax = (KS - 1) / 2;
    constexpr auto& col = K::kInt.col[t];
    int x = 0;
    column_span<KS, K, t, Wide>(rows, v, x, w, value);
    column_span<KS, K, t, One>(rows, v, x, w, value);
    // Border columns, mapped the same way in every row of the window.
    for (int x0 : {-ax, w}) {
        for (int bx = x0; bx < x0 + ax; ++bx) {
            const std::int64_t sx = re.map(bx, w);
            int acc = 0;
            for (int j = 0; j < KS; ++j)
                acc += col[j] * (rows[j] && sx != kConstIndex ? rows[j][sx] : value);
            v[ax + bx] = static_cast<std::int16_t>(acc);
        }
    }
}

template <int KS, class K, class Store, int N, class L>
void row_span(std::int16_t* const (&work)[N], const std::uint8_t* centre, typename Store::Dst* d,
              int& x, int w) {
    using O = FiltOps<L>;
    constexpr auto& kern = K::kInt;
    constexpr int n = O::k16;
    for (; w - x >= n; x += n) {
        auto acc = O::zero16();
        unroll<N>([&](auto t) {
            unroll<KS>([&](auto i) {
                if constexpr (kern.row[t][i] != 0)
                    acc = madd16<kern.row[t][i], L>(acc, O::load16(work[t] + x + i));
            });
        });
        if constexpr (kern.centre != 0) acc = madd16<kern.centre, L>(acc, O::widen16(centre + x));
        Store::template put<L>(d + x, acc);
    }
}

template <int KS, class K, class Store>
void run_int(View<const std::uint8_t> src, View<typename Store::Dst> dst, std::uint32_t borderType,
             std::uint8_t value, std::uint8_t* buffer, bool prefetch) {
    constexpr int ax = (KS - 1) / 2;
    constexpr auto& kern = K::kInt;
    constexpr int N = sizeof(kern.col) / sizeof(kern.col[0]);
    const int w = int(dst.width), h = int(dst.height);
    const auto image = BorderRows<std::uint8_t, 1>::filter(src, borderType, &value);
    std::int16_t* work[N];
    static_assert(N <= kFixedMaxRows);
    auto* base = reinterpret_cast<std::int16_t*>(fixed_int_slots(w, KS, N).carve(buffer)[0]);
    for (int t = 0; t < N; ++t) work[t] = base + std::size_t(t) * (std::size_t(w) + KS - 1);

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* rows[KS];
        for (int j = 0; j < KS; ++j) rows[j] = image.source(y + j - ax);
        if (prefetch && y + ax + 1 < h) {
            const char* next = reinterpret_cast<const char*>(src.row(y + ax + 1));
            for (int b = 0; b < w; b += 64) _mm_prefetch(next + b, _MM_HINT_T0);
        }
        unroll<N>([&](auto t) { column_pass<KS, K, t>(rows, work[t], w, image.cols, value); });

        const std::uint8_t* centre = rows[ax];  // a ROI row: never constant
        typename Store::Dst* d = dst.row(y);
        int x = 0;
        row_span<KS, K, Store, N, Wide>(work, centre, d, x, w);
        row_span<KS, K, Store, N, One>(work, centre, d, x, w);
    }
}

// Runs kernel K over the ROI: 8-bit sources through the integer terms, floats through the ring.
template <int KS, class K, class Store, class Src>
void run(View<const Src> src, View<typename Store::Dst> dst, std::uint32_t borderType,
         Src borderValue, std::uint8_t* buffer, bool prefetch) {
    if constexpr (std::is_same_v<Src, std::uint8_t>)
        run_int<KS, K, Store>(src, dst, borderType, borderValue, buffer, prefetch);
    else
        run_ring<KS, K, Store>(src, dst, borderType, borderValue, buffer, prefetch);
}

}  // namespace qpx::filter::QPX_TNS::fixed
