// Sums and extrema kernels, compiled once per vector target. Integer sums are exact in any
// order; the 32f sums keep the accumulator grouping of the family header on every target, and
// the extrema only compare, so every target agrees with the scalar one bit for bit.
#include "frame/vec.hpp"
#include "stats/moments.hpp"
#include "stats/reduce_vec.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;
using u64 = std::uint64_t;

struct RowSums {
    u64 n = 0, s = 0, q = 0;
};

template <class T, bool masked>
RowSums int_row(const T* s, const u8* m, i64 w, int c) {
    RowSums r;
    for (i64 x = 0; x < w; ++x) {
        if (masked && !m[x]) continue;
        const u64 v = s[x * c];
        ++r.n, r.s += v, r.q += v * v;
    }
    return r;
}

// Element by element, in int for the integer types and in float for 32f, whose NaNs fail both
// comparisons and so never become an extremum.
template <class T, bool masked, class E>
void elem_row_extrema(const T* s, const u8* m, i64 w, int c, E& mn, E& mx, bool& any) {
    for (i64 x = 0; x < w; ++x) {
        if (masked && !m[x]) continue;
        const E v = s[x * c];
        mn = v < mn ? v : mn;
        mx = v > mx ? v : mx;
        any = true;
    }
}

#if QPX_TARGET != 0
using B = Bytes;

template <bool masked>
RowSums u8_row(const u8* s, const u8* m, i64 w) {
    RowSums r;
    B::V vs = B::zero(), vn = B::zero();
    const B::V one = B::set(1);
    i64 x = 0;
    while (w - x >= B::N) {
        const i64 run = (w - x) / B::N < kSquareRun ? (w - x) / B::N : kSquareRun;
        const i64 end = x + run * B::N;
        B::V vq = B::zero();
        for (; x < end; x += B::N) {
            B::V v = B::load(s + x);
            if constexpr (masked) {
                const B::V off = B::unselected(B::load(m + x));
                v = B::andnot(off, v);
                vn = B::add64(vn, B::sad(B::andnot(off, one)));
            }
            vs = B::add64(vs, B::sad(v));
            vq = B::add32(vq, B::squares(v));
        }
        r.q += B::lane_sum<std::uint32_t>(vq);
    }
    r.s = B::lane_sum<u64>(vs);
    r.n = masked ? B::lane_sum<u64>(vn) : u64(x);
    const RowSums t = int_row<u8, masked>(s + x, masked ? m + x : nullptr, w - x, 1);
    r.n += t.n, r.s += t.s, r.q += t.q;
    return r;
}

template <bool masked>
void u8_row_extrema(const u8* s, const u8* m, i64 w, int& mn, int& mx, bool& any) {
    B::V vmin = B::set(255), vmax = B::zero(), vany = B::zero();
    i64 x = 0;
    for (; w - x >= B::N; x += B::N) {
        const B::V v = B::load(s + x);
        if constexpr (masked) {
            const B::V mk = B::load(m + x), off = B::unselected(mk);
            vany = B::maxu(vany, mk);
            vmin = B::minu(vmin, B::bor(v, off));
            vmax = B::maxu(vmax, B::andnot(off, v));
        } else {
            vmin = B::minu(vmin, v);
            vmax = B::maxu(vmax, v);
        }
    }
    if (x > 0) {
        int seen = 0;
        B::lane_max(vany, seen);
        // Unselected bytes stand in as 255 for the minimum and 0 for the maximum: harmless
        // once some byte of the row is selected, and the row is skipped otherwise.
        if (!masked || seen) {
            B::lane_min(vmin, mn);
            B::lane_max(vmax, mx);
            any = true;
        }
    }
    elem_row_extrema<u8, masked>(s + x, masked ? m + x : nullptr, w - x, 1, mn, mx, any);
}
#endif

template <class T, bool masked>
RowSums row_sums(const T* s, const u8* m, i64 w, int c) {
#if QPX_TARGET != 0
    if constexpr (std::is_same_v<T, u8>)
        if (c == 1) return u8_row<masked>(s, m, w);
#endif
    return int_row<T, masked>(s, m, w, c);
}

template <class T, bool masked>
void row_extrema(const T* s, const u8* m, i64 w, int c, int& mn, int& mx, bool& any) {
#if QPX_TARGET != 0
    if constexpr (std::is_same_v<T, u8>)
        if (c == 1) return u8_row_extrema<masked>(s, m, w, mn, mx, any);
#endif
    elem_row_extrema<T, masked>(s, m, w, c, mn, mx, any);
}

// One 32f row into the 8 accumulators of each sum.
template <bool masked>
void float_row(const float* s, const u8* m, i64 w, int c, Sums& r) {
    double a[8] = {}, b[8] = {};
    i64 n = 0;
    for (i64 x0 = 0; x0 < w; x0 += 8) {
        const i64 k = w - x0 < 8 ? w - x0 : 8;
        for (i64 i = 0; i < k; ++i) {
            if (masked && !m[x0 + i]) continue;
            const float v = s[(x0 + i) * c];
            const float sq = v * v;
            a[i] += double(v);
            b[i] += double(sq);
            ++n;
        }
    }
    r.n += n;
    // Plain additions, as in the accumulation above.
    const auto plus = [](double x, double y) { return x + y; };
    r.s += combine8(a, plus);
    r.q += combine8(b, plus);
}

template <class T, bool masked>
void sums(View<const T> src, View<const u8> mask, Sums* out) {
    Sums r;
    for (i64 y = 0; y < src.height; ++y) {
        const u8* m = masked ? mask.row(y) : nullptr;
        if constexpr (std::is_same_v<T, float>) {
            float_row<masked>(src.row(y), m, src.width, src.channels, r);
        } else {
            const RowSums t = row_sums<T, masked>(src.row(y), m, src.width, src.channels);
            r.n += i64(t.n), r.s += double(t.s), r.q += double(t.q);
        }
    }
    *out = r;
}

template <class T, bool masked>
void extrema(View<const T> src, View<const u8> mask, Extrema* out) {
    Extrema r;
    for (i64 y = 0; y < src.height; ++y) {
        const u8* m = masked ? mask.row(y) : nullptr;
        bool any = false;
        float mn, mx;
        if constexpr (std::is_same_v<T, float>) {
            mn = std::numeric_limits<float>::infinity(), mx = -mn;
            elem_row_extrema<float, masked>(src.row(y), m, src.width, src.channels, mn, mx, any);
        } else {
            int imn = std::numeric_limits<T>::max(), imx = 0;
            row_extrema<T, masked>(src.row(y), m, src.width, src.channels, imn, imx, any);
            mn = float(imn), mx = float(imx);
        }
        if (!any) continue;
        if (r.minRow < 0 || mn < r.min) r.min = mn, r.minRow = y;
        if (r.maxRow < 0 || mx > r.max) r.max = mx, r.maxRow = y;
    }
    *out = r;
}

}  // namespace

extern const MomentKernels moment_kernels = {
    {sums<u8, false>, sums<u8, true>},         {sums<u16, false>, sums<u16, true>},
    {sums<float, false>, sums<float, true>},   {extrema<u8, false>, extrema<u8, true>},
    {extrema<u16, false>, extrema<u16, true>}, {extrema<float, false>, extrema<float, true>},
};

}  // namespace qpx::stats::QPX_TNS
