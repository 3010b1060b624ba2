// Corner-measure kernels, compiled once per vector target: the horizontal window sums of the
// tensor products, the vertical window sums with each measure's per-pixel formula, and central
// differences. Every sum is taken in the same order on every lane, with single IEEE operations
// in the order the formulas give, so every target agrees with the scalar one bit for bit.
#include "frame/vec.hpp"
#include "feature/feature_vec.hpp"

#include "feature/corner.hpp"

namespace qpx::feature::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;

template <class L, class D>
void hsum_span(const D* dx, const D* dy, int n, int& j, int count, float* oa, float* ob,
               float* oc) {
    using V = Feat<L>;
    for (; count - j >= V::N; j += V::N) {
        auto u = V::loadf(dx + j), v = V::loadf(dy + j);
        auto sa = V::mul(u, u), sb = V::mul(u, v), sc = V::mul(v, v);
        for (int i = 1; i < n; ++i) {
            u = V::loadf(dx + j + i);
            v = V::loadf(dy + j + i);
            sa = V::add(sa, V::mul(u, u));
            sb = V::add(sb, V::mul(u, v));
            sc = V::add(sc, V::mul(v, v));
        }
        V::storef(oa + j, sa);
        V::storef(ob + j, sb);
        V::storef(oc + j, sc);
    }
}

template <class D>
void hsum(const D* dx, const D* dy, int n, int count, float* a, float* b, float* c) {
    int j = 0;
    hsum_span<Wide>(dx, dy, n, j, count, a, b, c);
    hsum_span<One>(dx, dy, n, j, count, a, b, c);
}

// The averaged A, B, C at sum column j. Inlined into each measure's loop, so that the sums stay in
// registers.
template <class V>
[[gnu::always_inline]] inline void averaged(const TensorRow& tr, int j, typename V::F& a,
                                            typename V::F& b, typename V::F& c) {
    const auto vc = V::setf(tr.constSum);
    auto ld = [&](const float* rp, int off) { return rp ? V::loadf(rp + off + j) : vc; };
    a = ld(tr.rows[0], 0);
    b = ld(tr.rows[0], tr.stride);
    c = ld(tr.rows[0], 2 * tr.stride);
    for (int i = 1; i < tr.n; ++i) {
        a = V::add(a, ld(tr.rows[i], 0));
        b = V::add(b, ld(tr.rows[i], tr.stride));
        c = V::add(c, ld(tr.rows[i], 2 * tr.stride));
    }
    const auto inv = V::setf(tr.inv);
    a = V::mul(a, inv);
    b = V::mul(b, inv);
    c = V::mul(c, inv);
}

// Runs `px(V, column offset, A, B, C)` over whole vectors of L, then single lanes.
template <class Px>
void each_pixel(const TensorRow& tr, int j0, int count, Px&& px) {
    int j = 0;
    auto span = [&](auto lanes) {
        using V = Feat<decltype(lanes)>;
        for (; count - j >= V::N; j += V::N) {
            typename V::F a, b, c;
            averaged<V>(tr, j0 + j, a, b, c);
            px(V{}, j, a, b, c);
        }
    };
    span(Wide{});
    span(One{});
}

void min_eigen(const TensorRow& tr, int j0, int count, float half, float* d) {
    each_pixel(tr, j0, count, [&](auto v, int j, auto A, auto B, auto C) {
        using V = decltype(v);
        const auto t = V::sub(A, C);
        const auto r = V::sqrt(V::add(V::mul(t, t), V::mul(V::mul(B, B), V::setf(4.0f))));
        V::storef(d + j, V::mul(V::setf(half), V::sub(V::add(A, C), r)));
    });
}

void eigen_vecs(const TensorRow& tr, int j0, int count, float s, float g, float* d) {
    each_pixel(tr, j0, count, [&](auto v, int j, auto a, auto b, auto c) {
        using V = decltype(v);
        const auto vs = V::setf(s);
        const auto A = V::mul(vs, a), B = V::mul(vs, b), C = V::mul(vs, c);
        const auto t = V::sub(A, C);
        const auto r = V::sqrt(V::add(V::mul(t, t), V::mul(V::mul(B, B), V::setf(4.0f))));
        const auto half = V::setf(0.5f);
        const auto l1 = V::mul(V::add(V::add(A, C), r), half);
        const auto l2 = V::mul(V::sub(V::add(A, C), r), half);
        const auto eps = V::mul(V::setf(0.001f), V::max(A, C));
        const auto det = V::sub(V::mul(A, C), V::mul(B, B));
        const auto zero = V::or_(V::lt(det, eps), V::lt(V::min(A, C), eps));
        const auto axis = V::lt(V::abs(B), eps);
        const auto bp = V::mul(B, V::setf(g));
        const auto e1 = V::sub(l1, A), e2 = V::sub(l2, A);
        const auto minLen = V::setf(1.1920929e-7f);
        const auto bb = V::mul(bp, bp);
        const auto len1 = V::max(V::sqrt(V::add(bb, V::mul(e1, e1))), minLen);
        const auto len2 = V::max(V::sqrt(V::add(bb, V::mul(e2, e2))), minLen);
        const auto one = V::setf(1.0f), nil = V::setf(0.0f);
        const typename V::F out[6] = {l1,
                                      l2,
                                      V::select(axis, nil, V::div(bp, len1)),
                                      V::select(axis, one, V::div(e1, len1)),
                                      V::select(axis, one, V::div(bp, len2)),
                                      V::select(axis, nil, V::div(e2, len2))};
        float tmp[6][V::N];
        for (int i = 0; i < 6; ++i) V::storef(tmp[i], V::select(zero, nil, out[i]));
        float* o = d + 6 * std::int64_t(j);
        for (int l = 0; l < V::N; ++l)
            for (int i = 0; i < 6; ++i) o[6 * l + i] = tmp[i][l];
    });
}

void harris(const TensorRow& tr, int j0, int count, float k, float sp, float* d) {
    each_pixel(tr, j0, count, [&](auto v, int j, auto A, auto B, auto C) {
        using V = decltype(v);
        const auto t = V::add(A, C);
        const auto kt = V::mul(V::setf(k), V::mul(t, t));
        const auto r = V::sub(V::mul(A, C), V::add(kt, V::mul(B, B)));
        V::storef(d + j, V::mul(r, V::setf(sp)));
    });
}

void line(const TensorRow& tr, int j0, int count, float threshold, const u8* f, u8* d) {
    each_pixel(tr, j0, count, [&](auto v, int j, auto A, auto B, auto C) {
        using V = decltype(v);
        const auto t = V::add(A, C);
        const auto det = V::sub(V::mul(A, C), V::mul(B, B));
        const auto edge = V::gt(V::mul(t, t), V::mul(V::setf(threshold), det));
        V::store_u8(d + j, V::keep(V::load_u8(f + j), V::not_(edge)));
    });
}

template <class L, class T, class D>
void central_span(const T* up, const T* mid, const T* dn, T bv, int& x, int count, D* dx, D* dy) {
    using V = Feat<L>;
    for (; count - x >= V::N; x += V::N) {
        if constexpr (std::is_same_v<T, u8>) {
            const auto c = V::seti(bv);
            auto ld = [&](const u8* r, int xx) { return r ? V::load_u8(r + xx) : c; };
            V::store_s16(dx + x, V::sub(ld(mid, x + 1), ld(mid, x - 1)));
            V::store_s16(dy + x, V::sub(ld(dn, x), ld(up, x)));
        } else {
            const auto c = V::setf(bv);
            auto ld = [&](const float* r, int xx) { return r ? V::loadf(r + xx) : c; };
            V::storef(dx + x, V::sub(ld(mid, x + 1), ld(mid, x - 1)));
            V::storef(dy + x, V::sub(ld(dn, x), ld(up, x)));
        }
    }
}

template <class T, class D>
void central(const T* up, const T* mid, const T* dn, T bv, int count, D* dx, D* dy) {
    int x = 0;
    central_span<Wide>(up, mid, dn, bv, x, count, dx, dy);
    central_span<One>(up, mid, dn, bv, x, count, dx, dy);
}

}  // namespace

extern const CornerKernels corner_kernels = {
    hsum<s16>, hsum<float>, min_eigen,        eigen_vecs,
    harris,    line,        central<u8, s16>, central<float, float>,
};

}  // namespace qpx::feature::QPX_TNS
