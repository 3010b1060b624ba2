// Canny row kernels, compiled once per vector target: the magnitude row with its low cut and
// direction sectors, one row of non-maximum suppression, and the final map-to-output pass. Every
// lane runs the scalar formula's single operations in the same order, so all targets agree.
#include "frame/vec.hpp"
#include "feature/feature_vec.hpp"

#include <bit>

#include "feature/canny.hpp"

namespace qpx::feature::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;

// Sector limits tan(pi/8) and tan(3pi/8), as single-precision constants.
constexpr float kT1 = std::bit_cast<float>(0x3ED413CDu);
constexpr float kT2 = std::bit_cast<float>(0x401A827Au);

template <class V>
typename V::F ld(const float* p) {
    return V::loadf(p);
}
template <class V>
typename V::I ld(const s32* p) {
    return V::loadi(p);
}
template <class V>
void st(float* p, typename V::F v) {
    V::storef(p, v);
}
template <class V>
void st(s32* p, typename V::I v) {
    V::storei(p, v);
}
template <class V>
typename V::M lt(typename V::F a, typename V::F b) {
    return V::lt(a, b);
}
template <class V>
typename V::M le(typename V::F a, typename V::F b) {
    return V::le(a, b);
}
template <class V>
typename V::M lt(typename V::I a, typename V::I b) {
    return V::gt(b, a);
}
template <class V>
typename V::M le(typename V::I a, typename V::I b) {
    return V::not_(V::gt(a, b));
}
template <class V>
typename V::F splat(float v) {
    return V::setf(v);
}
template <class V>
typename V::I splat(s32 v) {
    return V::seti(v);
}
// Magnitudes that pass the low cut.
template <class V>
typename V::M passes(typename V::F m, const EdgeThresholds<float>& th) {
    const auto low = V::setf(th.low);
    return th.lowInclusive ? V::ge(m, low) : V::gt(m, low);
}
template <class V>
typename V::M passes(typename V::I m, const EdgeThresholds<s32>& th) {
    const auto low = V::seti(th.low);
    return th.lowInclusive ? V::not_(V::gt(low, m)) : V::gt(m, low);
}

template <class L, class D, class M, EdgeMag mag>
void magnitude_span(const D* dx, const D* dy, i64& x, i64 w, const EdgeThresholds<M>& th, M* out,
                    u8* sec) {
    using V = Feat<L>;
    for (; w - x >= V::N; x += V::N) {
        typename V::F ax, ay;
        typename V::M differ;
        if constexpr (std::is_same_v<D, float>) {
            static_assert(mag != EdgeMag::L2Root);
            const auto vx = V::loadf(dx + x), vy = V::loadf(dy + x);
            ax = V::abs(vx);
            ay = V::abs(vy);
            differ = V::signs_differ(vx, vy);
            const auto m =
                mag == EdgeMag::L1 ? V::add(ax, ay) : V::add(V::mul(vx, vx), V::mul(vy, vy));
            V::storef(out + x, V::keep(m, passes<V>(m, th)));
        } else {
            const auto ix = V::loadi(dx + x), iy = V::loadi(dy + x);
            const auto aix = V::abs(ix), aiy = V::abs(iy);
            ax = V::cvt(aix);
            ay = V::cvt(aiy);
            differ = V::signs_differ(ix, iy);
            typename V::I mi;
            if constexpr (mag == EdgeMag::L1) {
                mi = V::min(V::add(aix, aiy), V::seti(65535));
            } else {
                // 2^31 (both -32768) wraps to INT32_MIN; less its sign bit it is INT32_MAX, which
                // no other sum of two squares equals, so the order of magnitudes is kept.
                const auto sq = V::add(V::mullo(ix, ix), V::mullo(iy, iy));
                mi = V::sub(sq, V::sign_bit(sq));
            }
            if constexpr (std::is_same_v<M, s32>) {
                static_assert(mag != EdgeMag::L2Root);
                V::storei(out + x, V::keep(mi, passes<V>(mi, th)));
            } else {
                static_assert(mag != EdgeMag::L2Square);
                auto m = V::cvt(mi);
                if constexpr (mag == EdgeMag::L2Root) m = V::sqrt(m);
                V::storef(out + x, V::keep(m, passes<V>(m, th)));
            }
        }
        static_assert(kSectorHorizontal == 0 && kSectorVertical == 1 && kSectorSameSign == 2 &&
                      kSectorOppSign == 3);
        const auto horiz = V::lt(ay, V::mul(ax, V::setf(kT1)));
        const auto vert = V::lt(V::mul(ax, V::setf(kT2)), ay);
        const auto diag = V::select(differ, V::seti(kSectorOppSign), V::seti(kSectorSameSign));
        const auto code = V::select(horiz, V::seti(kSectorHorizontal),
                                    V::select(vert, V::seti(kSectorVertical), diag));
        V::store_u8(sec + x, code);
    }
}

template <class D, class M, EdgeMag mag>
void magnitude_row(const D* dx, const D* dy, i64 w, EdgeThresholds<M> th, M* out, u8* sec) {
    i64 x = 0;
    magnitude_span<Wide, D, M, mag>(dx, dy, x, w, th, out, sec);
    magnitude_span<One, D, M, mag>(dx, dy, x, w, th, out, sec);
}

template <class L, class M, class I>
I* suppress_span(const M* prev, const M* cur, const M* next, u8* mapRow, i64& i, i64 end, M high,
                 I* top, I rowBase) {
    using V = Feat<L>;
    const auto mzero = splat<V>(M(0)), mhigh = splat<V>(high);
    const auto cand = V::seti(kMapCandidate), edge = V::seti(kMapEdge);
    for (; end - i >= V::N; i += V::N) {
        const auto sec = V::load_u8(mapRow + i);
        const auto m = ld<V>(cur + i);
        auto is = [&](u8 code) { return V::eq(sec, V::seti(code)); };
        const auto h = V::and_(lt<V>(ld<V>(cur + i - 1), m), le<V>(ld<V>(cur + i + 1), m));
        const auto v = V::and_(lt<V>(ld<V>(prev + i), m), le<V>(ld<V>(next + i), m));
        const auto ds = V::and_(lt<V>(ld<V>(prev + i - 1), m), lt<V>(ld<V>(next + i + 1), m));
        const auto dop = V::and_(lt<V>(ld<V>(prev + i + 1), m), lt<V>(ld<V>(next + i - 1), m));
        auto surv =
            V::or_(V::or_(V::and_(is(kSectorHorizontal), h), V::and_(is(kSectorVertical), v)),
                   V::or_(V::and_(is(kSectorSameSign), ds), V::and_(is(kSectorOppSign), dop)));
        surv = V::and_(surv, V::gt(m, mzero));
        const auto seed = V::and_(surv, V::gt(m, mhigh));
        V::store_u8(mapRow + i, V::select(seed, edge, V::keep(cand, surv)));
        for (unsigned b = V::bits(seed); b; b &= b - 1)
            *top++ = rowBase + static_cast<I>(i + std::countr_zero(b));
    }
    return top;
}

template <class M, class I>
I* suppress_row(const M* prev, const M* cur, const M* next, u8* mapRow, i64 w, M high, I* top,
                I rowBase) {
    i64 i = 1;
    top = suppress_span<Wide, M, I>(prev, cur, next, mapRow, i, w + 1, high, top, rowBase);
    return suppress_span<One, M, I>(prev, cur, next, mapRow, i, w + 1, high, top, rowBase);
}

template <class L>
void edges_span(const u8* m, u8* d, i64& x, i64 w) {
    using V = Feat<L>;
    for (; w - x >= V::NB; x += V::NB) V::bytes_eq(m + x, kMapEdge, d + x);
}

void write_edges(const u8* map, i64 stride, u8* dst, i64 dstStep, i64 w, i64 h) {
    for (i64 y = 0; y < h; ++y) {
        const u8* m = map + (y + 1) * stride + 1;
        u8* d = row(dst, dstStep, y);
        i64 x = 0;
        edges_span<Wide>(m, d, x, w);
        edges_span<One>(m, d, x, w);
    }
}

}  // namespace

extern const CannyKernels canny_kernels = {
    magnitude_row<float, float, EdgeMag::L1>,
    magnitude_row<float, float, EdgeMag::L2Square>,
    magnitude_row<s16, s32, EdgeMag::L1>,
    magnitude_row<s16, s32, EdgeMag::L2Square>,
    magnitude_row<s16, float, EdgeMag::L1>,
    magnitude_row<s16, float, EdgeMag::L2Root>,
    suppress_row<float, std::uint32_t>,
    suppress_row<float, std::uint64_t>,
    suppress_row<s32, std::uint32_t>,
    suppress_row<s32, std::uint64_t>,
    write_edges,
};

}  // namespace qpx::feature::QPX_TNS
