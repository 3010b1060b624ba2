// Masked norms against a reference written out here (exact for 8u; for 16u and 32f the same
// single-precision terms summed in the same double grouping, so results compare bit for bit),
// every vector target against the scalar one, and the special rules: masked-off infinities,
// zero denominators, and 8u sums beyond 32 bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "stats/norm.hpp"

namespace {

using qpx::Target;
using qpx::stats::NormKind;
using qpx::stats::NormOp;
using qpx::stats::NormStats;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using u16 = std::uint16_t;

constexpr double kInfD = std::numeric_limits<double>::infinity();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr NormOp kOps[] = {NormOp::Norm, NormOp::Diff, NormOp::Rel};
constexpr NormKind kKinds[] = {NormKind::Inf, NormKind::L1, NormKind::L2};

// ---- the exports, by type, operation, norm and layout -----------------------------------------

template <class T>
struct Exports {
    qpxStatus (*one1[3])(const T*, int, const u8*, int, qpxSize, double*);
    qpxStatus (*one3[3])(const T*, int, const u8*, int, qpxSize, int, double*);
    qpxStatus (*two1[2][3])(const T*, int, const T*, int, const u8*, int, qpxSize, double*);
    qpxStatus (*two3[2][3])(const T*, int, const T*, int, const u8*, int, qpxSize, int, double*);
};
#define NORMS(op, tag, lay) \
    { qpxi##op##_Inf_##tag##_##lay, qpxi##op##_L1_##tag##_##lay, qpxi##op##_L2_##tag##_##lay }
#define EXPORTS(tag)                                                   \
    {                                                                  \
        NORMS(Norm, tag, C1MR), NORMS(Norm, tag, C3CMR),               \
            {NORMS(NormDiff, tag, C1MR), NORMS(NormRel, tag, C1MR)}, { \
            NORMS(NormDiff, tag, C3CMR), NORMS(NormRel, tag, C3CMR)    \
        }                                                              \
    }
const Exports<u8> k8 = EXPORTS(8u);
const Exports<u16> k16 = EXPORTS(16u);
const Exports<float> k32 = EXPORTS(32f);

template <class T>
const Exports<T>& exports() {
    if constexpr (std::is_same_v<T, u8>)
        return k8;
    else if constexpr (std::is_same_v<T, u16>)
        return k16;
    else
        return k32;
}

// One case's images: sources of C channels and a mask, against guard pages.
template <class T>
struct Case {
    GuardedImage<T> a, b;
    GuardedImage<u8> m;
    int coi = 1;
    Case(int w, int h, int ch, Place place, int pad)
        : a(w, h, ch, pad * int(sizeof(T)), place),
          b(w, h, ch, pad * int(sizeof(T)), place),
          m(w, h, 1, pad, place) {}

    qpxStatus call(NormOp op, NormKind kind, double* out) const {
        const Exports<T>& e = exports<T>();
        const int k = int(kind), c3 = a.channels() == 3;
        if (op == NormOp::Norm)
            return c3 ? e.one3[k](a.roi(), a.step(), m.roi(), m.step(), a.size(), coi, out)
                      : e.one1[k](a.roi(), a.step(), m.roi(), m.step(), a.size(), out);
        const int o = op == NormOp::Rel;
        return c3 ? e.two3[o][k](a.roi(), a.step(), b.roi(), b.step(), m.roi(), m.step(), a.size(),
                                 coi, out)
                  : e.two1[o][k](a.roi(), a.step(), b.roi(), b.step(), m.roi(), m.step(), a.size(),
                                 out);
    }
    NormStats stats(Target t, NormOp op, NormKind kind) const {
        return qpx::stats::norm_stats<T>(
            t, op, kind, a.view(),
            op == NormOp::Norm ? qpx::View<const T>{} : qpx::View<const T>(b.view()), m.view(),
            coi - 1);
    }
};

// ---- the reference ----------------------------------------------------------------------------

float term(NormKind kind, float v) {
    return kind == NormKind::L2 ? v * v : std::fabs(v);
}

// The statistics as the formulas give them. 8u in exact integers; 16u and 32f with each term in
// single precision, a row in eight double accumulators by x mod 8, combined pairwise.
template <class T>
NormStats reference(const Case<T>& c, NormOp op, NormKind kind) {
    const int w = c.a.width(), h = c.a.height(), ch = c.coi - 1;
    NormStats r;
    if constexpr (std::is_same_v<T, u8>) {
        std::uint64_t num = 0, den = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (!c.m.at(x, y)) continue;
                const long s1 = c.a.at(x, y, ch), s2 = c.b.at(x, y, ch);
                const std::uint64_t t = std::uint64_t(std::labs(op == NormOp::Norm ? s1 : s1 - s2));
                const std::uint64_t u = std::uint64_t(s2);
                if (kind == NormKind::Inf) {
                    num = std::max(num, t), den = std::max(den, u);
                } else {
                    num += kind == NormKind::L1 ? t : t * t;
                    den += kind == NormKind::L1 ? u : u * u;
                }
            }
        r.num = double(num), r.den = op == NormOp::Rel ? double(den) : 0.0;
        return r;
    } else {
        float mn = 0, md = 0;
        for (int y = 0; y < h; ++y) {
            double an[8] = {}, ad[8] = {};
            for (int x = 0; x < w; ++x) {
                const float s1 = float(c.a.at(x, y, ch)), s2 = float(c.b.at(x, y, ch));
                float v = op == NormOp::Norm ? s1 : s1 - s2, u = s2;
                const bool factor = op == NormOp::Rel && std::is_same_v<T, float>;
                if (factor) {
                    const float f = c.m.at(x, y) ? 1.0f : 0.0f;
                    v = f * v, u = f * u;
                } else if (!c.m.at(x, y)) {
                    continue;
                }
                mn = std::max(mn, term(kind, v)), md = std::max(md, term(kind, u));
                an[x % 8] += double(term(kind, v));
                ad[x % 8] += double(term(kind, u));
            }
            auto combine = [](const double* a) {
                return ((a[0] + a[4]) + (a[1] + a[5])) + ((a[2] + a[6]) + (a[3] + a[7]));
            };
            r.num += combine(an), r.den += combine(ad);
        }
        if (kind == NormKind::Inf) r.num = mn, r.den = md;
        if (op != NormOp::Rel) r.den = 0;
        return r;
    }
}

// The norm and status from the statistics.
qpxStatus expected(NormOp op, NormKind kind, NormStats s, double* out) {
    const bool l2 = kind == NormKind::L2;
    if (op != NormOp::Rel) {
        *out = l2 ? std::sqrt(s.num) : s.num;
        return qpxStatusOk;
    }
    if (s.den == 0 || std::isnan(s.den)) {
        *out = s.num > 0 ? kInfD : s.num < 0 ? -kInfD : std::nan("");
        return qpxStatusZeroDivisorWarning;
    }
    *out = l2 ? std::sqrt(s.num / s.den) : s.num / s.den;
    return qpxStatusOk;
}

bool same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

template <class T>
void fill(Case<T>& c, qpxtest::Random& r, int maskPercent) {
    c.a.fill([&] { return r.any<T>(); });
    c.b.fill([&] { return r.any<T>(); });
    c.m.fill([&] { return u8(int(r.bits() % 100) < maskPercent ? 1 + r.bits() % 255 : 0); });
}

std::string label(NormOp op, NormKind kind, int ch, int w) {
    return "op " + std::to_string(int(op)) + " norm " + std::to_string(int(kind)) + " C" +
           std::to_string(ch) + " width " + std::to_string(w);
}

// ---- reference and targets ----------------------------------------------------------------------

template <class T>
void check_reference() {
    qpxtest::Random r(11);
    for (int ch : {1, 3})
        for (int w : {1, 7, 8, 9, 17, 33, 67, 300})
            for (Place place : {Place::Begin, Place::End}) {
                Case<T> c(w, 3, ch, place, place == Place::Begin ? 3 : 0);
                fill(c, r, 60);
                c.coi = ch == 3 ? 1 + w % 3 : 1;
                for (NormOp op : kOps)
                    for (NormKind kind : kKinds) {
                        SCOPED_TRACE(label(op, kind, ch, w));
                        double want = 0, got = -1;
                        const qpxStatus st = expected(op, kind, reference(c, op, kind), &want);
                        ASSERT_EQ(c.call(op, kind, &got), st);
                        EXPECT_TRUE(same(got, want)) << got << " vs " << want;
                    }
            }
}

TEST(Norm, MatchesTheReference8u) {
    check_reference<u8>();
}
TEST(Norm, MatchesTheReference16u) {
    check_reference<u16>();
}
TEST(Norm, MatchesTheReference32f) {
    check_reference<float>();
}

// Infinities, NaNs (several payloads), zeros of both signs and denormals among ordinary values,
// so that NaN propagation and the largest magnitude must agree as well.
float special_or_random(qpxtest::Random& r) {
    static const float specials[] = {kInf, -kInf, std::nanf(""), -std::nanf("7"),
                                     0.0f, -0.0f, 1e-40f,        3e38f};
    const std::uint32_t b = r.bits();
    return b % 23 == 0 ? specials[(b >> 8) % 8] : r.next<float>(-1e4, 1e4);
}

template <class T>
void check_targets() {
    qpxtest::Random r(5);
    std::vector<int> widths = qpxtest::test_widths();
    widths.push_back(300);
    for (Target t : qpxtest::vector_targets())
        for (int ch : {1, 3})
            for (int w : widths) {
                Case<T> c(w, 4, ch, w % 2 ? Place::Begin : Place::End, w % 4 == 1 ? 0 : 2);
                fill(c, r, 70);
                if constexpr (std::is_same_v<T, float>) {
                    c.a.fill([&] { return special_or_random(r); });
                    c.b.fill([&] { return special_or_random(r); });
                }
                c.coi = ch == 3 ? 1 + w % 3 : 1;
                for (NormOp op : kOps)
                    for (NormKind kind : kKinds) {
                        const NormStats v = c.stats(t, op, kind);
                        const NormStats s = c.stats(Target::Scalar, op, kind);
                        EXPECT_EQ(std::memcmp(&v, &s, sizeof v), 0)
                            << qpx::target_name(t) << " " << label(op, kind, ch, w);
                    }
            }
}

TEST(Norm, TargetsAgreeWithScalar8u) {
    check_targets<u8>();
}
TEST(Norm, TargetsAgreeWithScalar16u) {
    check_targets<u16>();
}
TEST(Norm, TargetsAgreeWithScalar32f) {
    check_targets<float>();
}

// 8u sums leave 32 bits far behind on a large image of 255s, on one long contiguous run.
TEST(Norm, EightBitSumsStayExact) {
    const int w = 2048, h = 1200;
    Case<u8> c(w, h, 1, Place::End, 0);
    c.a.fill([] { return u8(255); });
    c.b.fill([] { return u8(0); });
    c.m.fill([] { return u8(1); });
    const double n = double(w) * h;
    std::vector<Target> targets = qpxtest::vector_targets();
    targets.push_back(Target::Scalar);
    for (Target t : targets) {
        EXPECT_EQ(c.stats(t, NormOp::Norm, NormKind::L2).num, n * 65025) << qpx::target_name(t);
        EXPECT_EQ(c.stats(t, NormOp::Diff, NormKind::L1).num, n * 255) << qpx::target_name(t);
        const NormStats rel = c.stats(t, NormOp::Rel, NormKind::L2);
        EXPECT_EQ(rel.num, n * 65025);
        EXPECT_EQ(rel.den, 0.0);
    }
}

// ---- the special rules --------------------------------------------------------------------------

// A masked-off infinity: selected away by Norm and NormDiff, but multiplied by zero (NaN) in the
// 32f NormRel. An infinity in the masked-off reference pixel poisons both statistics, so the
// denominator is NaN and the zero-denominator rule applies.
TEST(Norm, MaskedOffInfinity32f) {
    for (int ch : {1, 3})
        for (NormKind kind : kKinds) {
            Case<float> c(9, 2, ch, Place::End, 0);
            c.a.fill([] { return 2.0f; });
            c.b.fill([] { return 1.0f; });
            c.m.fill([] { return u8(1); });
            c.coi = ch;
            c.m.at(4, 1) = 0;
            c.a.at(4, 1, ch - 1) = kInf;
            double v = 0;
            ASSERT_EQ(c.call(NormOp::Norm, kind, &v), qpxStatusOk);
            EXPECT_EQ(v, kind == NormKind::Inf  ? 2.0
                         : kind == NormKind::L1 ? 34.0
                                                : std::sqrt(68.0));
            ASSERT_EQ(c.call(NormOp::Diff, kind, &v), qpxStatusOk);
            EXPECT_EQ(v, kind == NormKind::Inf  ? 1.0
                         : kind == NormKind::L1 ? 17.0
                                                : std::sqrt(17.0));
            ASSERT_EQ(c.call(NormOp::Rel, kind, &v), qpxStatusOk);
            EXPECT_TRUE(std::isnan(v));

            c.a.at(4, 1, ch - 1) = 2.0f;
            c.b.at(4, 1, ch - 1) = kInf;
            v = 0;
            EXPECT_EQ(c.call(NormOp::Rel, kind, &v), qpxStatusZeroDivisorWarning);
            EXPECT_TRUE(std::isnan(v));
        }
}

// Zero denominators on every type and layout: an empty mask gives 0 for Norm and NormDiff and
// NaN with the warning for NormRel; a zero reference under the mask gives +infinity.
template <class T>
void check_zero_denominators() {
    for (int ch : {1, 3})
        for (NormKind kind : kKinds) {
            SCOPED_TRACE(label(NormOp::Rel, kind, ch, 5));
            Case<T> c(5, 3, ch, Place::End, 0);
            c.a.fill([] { return T(7); });
            c.b.fill([] { return T(0); });
            c.m.fill([] { return u8(0); });
            c.coi = ch;
            double v = -1;
            EXPECT_EQ(c.call(NormOp::Norm, kind, &v), qpxStatusOk);
            EXPECT_EQ(v, 0.0);
            v = -1;
            EXPECT_EQ(c.call(NormOp::Diff, kind, &v), qpxStatusOk);
            EXPECT_EQ(v, 0.0);
            EXPECT_EQ(c.call(NormOp::Rel, kind, &v), qpxStatusZeroDivisorWarning);
            EXPECT_TRUE(std::isnan(v));
            c.m.at(2, 1) = 200;
            EXPECT_EQ(c.call(NormOp::Rel, kind, &v), qpxStatusZeroDivisorWarning);
            EXPECT_EQ(v, kInfD);
        }
}

TEST(Norm, ZeroDenominators) {
    check_zero_denominators<u8>();
    check_zero_denominators<u16>();
    check_zero_denominators<float>();
}

}  // namespace
