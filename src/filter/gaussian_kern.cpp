// Gaussian smoothing kernels, compiled once per vector target. Every float operation is a single
// IEEE operation in a fixed order (no fused multiply-add): the centre tap first, then each
// symmetric pair summed before it is weighted, innermost pair first. Whole vectors of the widest
// lanes and single lanes run the same operations, so every target agrees with the scalar one
// bit for bit.
#include "frame/vec.hpp"
// (the family's lane operations, after the shared layer)
#include "filter/gaussian_vec.hpp"
//
#include "filter/gaussian.hpp"
#include "frame/border.hpp"

namespace qpx::filter::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;

inline i64 min64(i64 a, i64 b) {
    return a < b ? a : b;
}
inline i64 max64(i64 a, i64 b) {
    return a > b ? a : b;
}

// The weights by distance from the centre as vectors of lane set L, and the window of row-pass
// results c[-r .. r], copied into locals: stores through byte pointers could otherwise alias
// them and force a reload of each per step. R > 0 fixes the radius at compile time; R == 0 is
// the general code, which reads them where it uses them.
template <class L, int R>
struct Taps {
    using F = typename L::F;
    F gv[R > 0 ? R + 1 : 1];
    const float* up[R > 0 ? R + 1 : 1];
    const float* dn[R > 0 ? R + 1 : 1];
    const float* g;
    float* const* c;
    int r;
    Taps(const float* g_, float* const* c_, int r_) : g(g_), c(c_), r(r_) {
        if constexpr (R > 0)
            for (int i = 0; i <= R; ++i) {
                gv[i] = L::setf(g[i]);
                up[i] = c ? c[-i] : nullptr;
                dn[i] = c ? c[i] : nullptr;
            }
    }
    F w(int i) const {
        if constexpr (R > 0)
            return gv[i];
        else
            return L::setf(g[i]);
    }
    const float* above(int i) const {
        if constexpr (R > 0)
            return up[i];
        else
            return c[-i];
    }
    const float* below(int i) const {
        if constexpr (R > 0)
            return dn[i];
        else
            return c[i];
    }
    int radius() const { return R > 0 ? R : r; }
};

// Row-pass result at p, whose taps all lie in the source row, `stride` elements apart.
template <class L, class T, int R>
typename L::F row_value(const T* p, i64 stride, const Taps<L, R>& t) {
    auto acc = L::mul(t.w(0), L::loadf(p));
    for (int i = 1; i <= t.radius(); ++i)
        acc = L::add(acc, L::mul(GaussOps<L>::pair(p - i * stride, p + i * stride), t.w(i)));
    return acc;
}

// Column sum at element e; the newest row is `last` when given (fused with its row pass) and
// read from memory otherwise.
template <class L, int R>
typename L::F column_value(i64 e, const Taps<L, R>& t, const typename L::F* last = nullptr) {
    const int r = t.radius();
    auto acc = L::mul(t.w(0), L::loadf(t.below(0) + e));
    for (int i = 1; i < r; ++i)
        acc =
            L::add(acc, L::mul(L::add(L::loadf(t.above(i) + e), L::loadf(t.below(i) + e)), t.w(i)));
    const auto newest = last ? *last : L::loadf(t.below(r) + e);
    return L::add(acc, L::mul(L::add(L::loadf(t.above(r) + e), newest), t.w(r)));
}

// The loops over whole vectors of L from e while they fit before e1; each returns where it
// stopped. Row pass into out:
template <class L, class T, int C, int R>
i64 row_span(const T* s, float* out, i64 e, i64 e1, const float* g, int r) {
    const Taps<L, R> t(g, nullptr, r);
    for (; e1 - e >= L::template lanes<float>; e += L::template lanes<float>)
        L::storef(out + e, row_value<L>(s + e, C, t));
    return e;
}
// column pass into d (streaming stores need d + e aligned to one store):
template <class L, class T, int R, bool streaming = false>
i64 column_span(float* const* c, T* d, i64 e, i64 e1, const float* g, int r, bool trunc) {
    const Taps<L, R> t(g, c, r);
    for (; e1 - e >= L::template lanes<float>; e += L::template lanes<float>)
        GaussOps<L>::template put<streaming>(d + e, column_value<L>(e, t), trunc);
    return e;
}
// and the row pass of the newest row c[r] (into out) fused with the column pass into d:
// `ahead`, when given, is the source row of the next call, fetched into the cache meanwhile.
template <class L, class T, int C, int R>
i64 fused_span(const T* s, float* out, float* const* c, T* d, i64 e, i64 e1, const float* g, int r,
               bool trunc, const T* ahead) {
    const Taps<L, R> t(g, c, r);
    for (; e1 - e >= L::template lanes<float>; e += L::template lanes<float>) {
        if (ahead) _mm_prefetch(reinterpret_cast<const char*>(ahead + e), _MM_HINT_T0);
        const auto rv = row_value<L>(s + e, C, t);
        L::storef(out + e, rv);
        GaussOps<L>::put(d + e, column_value<L>(e, t, &rv), trunc);
    }
    return e;
}

// Row pass for pixels [x0, x1) whose taps may leave the ROI: each tap goes through the border.
template <class T, int C>
void row_edges(const T* s, float* out, i64 x0, i64 x1, i64 w, const LineExtension& ex, const T* bv,
               const float* g, int r) {
    for (i64 x = x0; x < x1; ++x)
        for (int c = 0; c < C; ++c) {
            auto at = [&](i64 xx) {
                const i64 m = ex.map(xx, w);
                return One::F{m == kConstIndex ? static_cast<float>(bv[c])
                                               : static_cast<float>(s[m * C + c])};
            };
            auto acc = One::mul(One::setf(g[0]), at(x));
            for (int i = 1; i <= r; ++i)
                acc = One::add(acc, One::mul(One::add(at(x - i), at(x + i)), One::setf(g[i])));
            out[x * C + c] = acc.v;
        }
}

// Runs f(lanes, from, to) over [e0, e1): whole vectors of V, then single lanes of `One`.
// With `overlap`, a ragged end is one vector ending at e1 instead, over elements done already:
// they get the same value again, which is cheaper than single lanes.
template <class V, class F>
void sweep(i64 e0, i64 e1, bool overlap, F&& f) {
    constexpr i64 N = V::template lanes<float>;
    const i64 e = f(V{}, e0, e1);
    if (e < e1 && overlap && e1 - e0 >= N)
        f(V{}, e1 - N, e1);
    else
        f(One{}, e, e1);
}

// The pixels [x0, x1) of a row split by how their taps meet the ROI: [x0, inner) and
// [outer, x1) reach past an edge of the ROI, [inner, outer) stay inside it.
struct Span {
    i64 x0, inner, outer, x1;
    Span(i64 x0_, i64 x1_, i64 w, int r) : x0(x0_), x1(x1_) {
        inner = min64(max64(r, x0), x1);
        outer = max64(inner, min64(max64(w - r, x0), x1));
    }
};

// Floats of row results that a strip may keep in flight: about two thirds of a 48 KiB
// first-level cache, leaving room for the source and destination rows.
inline constexpr i64 kStripFloats = 8192;
// Large images come from memory rather than from the last-level cache, and there short pieces of
// many rows cost more than a ring in the second-level cache: the prefetchers follow long runs of
// one row, not a new short run per row. From this many elements on, strips hold four times as
// much (3x3 32f at 3840x2160 runs about 1.4 times as fast; at 1920x1080 the narrow strips stay
// ahead).
inline constexpr i64 kWideStripFloats = 4 * kStripFloats;
inline constexpr i64 kWideStripElems = i64(4) << 20;

template <class T, int C, int R>
void run(View<const T> src, View<T> dst, std::uint32_t borderType, const T* bv, const void* spec,
         void* buffer, bool stream) {
    std::uint32_t ks32;
    std::memcpy(&ks32, spec, 4);
    const int ks = int(ks32), r = ks / 2;
    const i64 w = dst.width, h = dst.height, n = w * C;
    using V = GaussWide<T>;
    constexpr i64 N = V::template lanes<float>;

    const auto at = gauss_engine_slots(w, ks, C).carve(buffer);
    const i64 rowBytes = align_up(n * 4, 64);
    auto slot = [&](i64 j) {
        return reinterpret_cast<float*>(at[0] + ((j % ks) + ks) % ks * rowBytes);
    };
    float** win = reinterpret_cast<float**>(at[1]);
    float* g = reinterpret_cast<float*>(at[2]);
    const auto* half = static_cast<const unsigned char*>(spec) + kGaussEngineHead;
    for (int i = 0; i <= r; ++i) std::memcpy(g + i, half + 4 * (r - i), 4);
    const LineExtension rx = RowExtension::make(borderType, w);
    const LineExtension cx = ColumnExtension::make(borderType, h);

    // A row of the constant border filtered horizontally is constant per channel.
    float constRow[C] = {};
    if (cx.kind == kBorderConst && !(cx.inLo && cx.inHi)) {
        for (int c = 0; c < C; ++c) {
            const auto v = One::setf(static_cast<float>(bv[c]));
            auto acc = One::mul(One::setf(g[0]), v);
            for (int i = 1; i <= r; ++i)
                acc = One::add(acc, One::mul(One::add(v, v), One::setf(g[i])));
            constRow[c] = acc.v;
        }
    }
    const bool trunc = std::is_same_v<T, s16> && ks == 5;

    // The image is swept in vertical strips narrow enough for the ring of row results to stay in
    // the first-level cache; the strip edges cost a little recomputation.
    const bool large = n * h >= kWideStripElems;
    const i64 stripFloats = large ? kWideStripFloats : kStripFloats;
    const i64 budget = max64(stripFloats / (ks + 1), 256) / C;
    const i64 strips = (w + budget - 1) / budget;
    const i64 stripW = (w + strips - 1) / strips;
    for (i64 x0 = 0; x0 < w; x0 += stripW) {
        const Span sp(x0, min64(w, x0 + stripW), w, r);
        const i64 lo = sp.x0 * C, hi = sp.x1 * C, e0 = sp.inner * C, e1 = sp.outer * C;
        // Row pass of window row j into its ring slot.
        auto produce = [&](i64 j) {
            float* out = slot(j);
            const i64 sj = cx.map(j, h);
            if (sj == kConstIndex) {
                for (i64 x = sp.x0; x < sp.x1; ++x)
                    for (int c = 0; c < C; ++c) out[x * C + c] = constRow[c];
                return out;
            }
            const T* s = src.beyond(sj);
            row_edges<T, C>(s, out, sp.x0, sp.inner, w, rx, bv, g, r);
            row_edges<T, C>(s, out, sp.outer, sp.x1, w, rx, bv, g, r);
            sweep<V>(e0, e1, true, [&](auto L, i64 from, i64 to) {
                return row_span<decltype(L), T, C, R>(s, out, from, to, g, r);
            });
            return out;
        };
        for (int k = 0; k < ks - 1; ++k) win[k + 1] = produce(k - r);
        for (i64 y = 0; y < h; ++y) {
            for (int k = 0; k + 1 < ks; ++k) win[k] = win[k + 1];
            T* d = dst.row(y);
            const i64 j = y + r, sj = cx.map(j, h);
            const bool fuse = !stream && sj != kConstIndex && e1 - e0 >= N;
            win[ks - 1] = fuse ? slot(j) : produce(j);
            float* const* c = win + r;
            auto column = [&](auto L, i64 from, i64 to) {
                return column_span<decltype(L), T, R>(c, d, from, to, g, r, trunc);
            };
            if (fuse) {
                // The newest row's row pass fused with the column sum: each chunk of it goes
                // from the row pass straight into the column sum and into its ring slot.
                float* out = win[ks - 1];
                const T* s = src.beyond(sj);
                row_edges<T, C>(s, out, sp.x0, sp.inner, w, rx, bv, g, r);
                row_edges<T, C>(s, out, sp.outer, sp.x1, w, rx, bv, g, r);
                // Large images stream from memory: the next row is requested a row ahead.
                const i64 nj = y + 1 < h ? cx.map(j + 1, h) : kConstIndex;
                const T* ahead = large && nj != kConstIndex ? src.beyond(nj) : nullptr;
                sweep<V>(e0, e1, true, [&](auto L, i64 from, i64 to) {
                    return fused_span<decltype(L), T, C, R>(s, out, c, d, from, to, g, r, trunc,
                                                            ahead);
                });
                sweep<V>(lo, e0, false, column);
                sweep<V>(e1, hi, false, column);
                continue;
            }
            if (!stream || reinterpret_cast<std::uintptr_t>(d) % sizeof(T) != 0) {
                sweep<V>(lo, hi, true, column);
                continue;
            }
            // Streaming stores need aligned addresses: the head goes through ordinary stores.
            constexpr std::uintptr_t align = sizeof(T) * N;
            i64 e = lo;
            for (; e < hi && reinterpret_cast<std::uintptr_t>(d + e) % align != 0; ++e)
                column(One{}, e, e + 1);
            e = column_span<V, T, R, true>(c, d, e, hi, g, r, trunc);
            column(One{}, e, hi);
        }
    }
    if (stream) _mm_sfence();
}

template <class T, int C>
void gaussian(View<const T> src, View<T> dst, std::uint32_t borderType, const T* bv,
              const void* spec, void* buffer, bool stream) {
    std::uint32_t ks;
    std::memcpy(&ks, spec, 4);
    switch (ks) {
        case 3:
            return run<T, C, 1>(src, dst, borderType, bv, spec, buffer, stream);
        case 5:
            return run<T, C, 2>(src, dst, borderType, bv, spec, buffer, stream);
        case 7:
            return run<T, C, 3>(src, dst, borderType, bv, spec, buffer, stream);
        case 9:
            return run<T, C, 4>(src, dst, borderType, bv, spec, buffer, stream);
        case 11:
            return run<T, C, 5>(src, dst, borderType, bv, spec, buffer, stream);
        default:
            return run<T, C, 0>(src, dst, borderType, bv, spec, buffer, stream);
    }
}

}  // namespace

extern const GaussianKernels gaussian_kernels = {
    gaussian<u8, 1>,  gaussian<u8, 3>,  gaussian<u16, 1>,   gaussian<u16, 3>,
    gaussian<s16, 1>, gaussian<s16, 3>, gaussian<float, 1>, gaussian<float, 3>,
};

}  // namespace qpx::filter::QPX_TNS
