// Integral images and the window standard deviation against references written from their
// definitions, on random images placed against guard pages; every vector target against the
// scalar one.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "stats/integral.hpp"

namespace {

using qpx::Target;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using u32 = std::uint32_t;
using s32 = std::int32_t;

template <class T>
std::vector<T> dense(const GuardedImage<T>& im) {
    return im.dense();
}

GuardedImage<u8> random_8u(int w, int h, qpxtest::Random& rnd, Place place = Place::End,
                           int pad = 0) {
    GuardedImage<u8> im(w, h, 1, pad, place);
    im.fill([&] { return rnd.any<u8>(); });
    return im;
}

// ---- references -------------------------------------------------------------------------------

// Upright integrals from the definition: val plus the sum over i < x, j < y (wrapping).
template <bool sq>
std::vector<s32> upright_32s(const GuardedImage<u8>& s, s32 val) {
    const int W = s.width(), H = s.height();
    std::vector<s32> out;
    for (int y = 0; y <= H; ++y)
        for (int x = 0; x <= W; ++x) {
            u32 sum = u32(val);
            for (int j = 0; j < y; ++j)
                for (int i = 0; i < x; ++i) sum += sq ? u32(s.at(i, j)) * s.at(i, j) : s.at(i, j);
            out.push_back(s32(sum));
        }
    return out;
}

// Float integrals row by row: the row sum `r` in R (exact integer, single or double), rounded to
// the output type D and added to the element above in D.
template <class D, class R, class S, bool sq = false>
std::vector<D> upright_rows(const GuardedImage<S>& s, D val) {
    const int W = s.width(), H = s.height();
    std::vector<D> out(std::size_t(W + 1) * (H + 1), val);
    for (int y = 0; y < H; ++y) {
        R r = 0;
        for (int x = 0; x < W; ++x) {
            const S p = s.at(x, y);
            r = r + R(sq ? p * p : p);
            out[std::size_t(y + 1) * (W + 1) + x + 1] =
                out[std::size_t(y) * (W + 1) + x + 1] + D(r);
        }
    }
    return out;
}

// The tilted recurrence, term by term in the order written, each right-hand side in E and
// stored as D.
template <class D, class E, bool sq>
std::vector<D> tilted_ref(const GuardedImage<u8>& s, D val) {
    const int W = s.width(), H = s.height(), C = W + 2;
    std::vector<D> t(std::size_t(C) * (H + 2), val);
    auto T = [&](int R, int c) -> D& { return t[std::size_t(R) * C + c]; };
    auto px = [&](int x, int y) -> E {
        const int p = x < W ? s.at(x, y) : 0;
        return E(sq ? p * p : p);
    };
    for (int r = 0; r < H; ++r) {
        const int R = r + 2;
        T(R, 0) = T(R - 1, 1);
        for (int c = 1; c <= W; ++c)
            T(R, c) = D(E(T(R - 1, c - 1)) + E(T(R - 1, c + 1)) - E(T(R - 2, c)) + px(c - 1, r) +
                        px(c, r));
        T(R, W + 1) = T(R - 1, W);
    }
    return t;
}

template <class D, class Q>
struct Integrals {
    GuardedImage<D> sum;
    GuardedImage<Q> sqr;
};

// ---- upright -----------------------------------------------------------------------------------

TEST(Integral, UprightMatchesItsDefinition) {
    qpxtest::Random rnd(11);
    for (int W : {1, 2, 7, 8, 9, 16, 17, 31, 33, 67})
        for (int H : {1, 3, 6})
            for (Place place : {Place::Begin, Place::End}) {
                SCOPED_TRACE(::testing::Message() << W << "x" << H);
                const GuardedImage<u8> s = random_8u(W, H, rnd, place, W % 3);
                const s32 val = rnd.next<s32>(-1000, 1000);
                const float fval = float(val) + 0.25f;
                const double qval = rnd.next<double>(-1e6, 1e6);
                GuardedImage<s32> i32(W + 1, H + 1, 1, 0, place), q32(W + 1, H + 1, 1, 8, place);
                GuardedImage<float> i32f(W + 1, H + 1, 1, 4, place);
                GuardedImage<double> q64(W + 1, H + 1, 1, 0, place);

                ASSERT_EQ(
                    qpxiIntegral_8u32s_C1R(s.roi(), s.step(), i32.roi(), i32.step(), s.size(), val),
                    qpxStatusOk);
                EXPECT_EQ(dense(i32), upright_32s<false>(s, val));
                ASSERT_EQ(qpxiSqrIntegral_8u32s_C1R(s.roi(), s.step(), i32.roi(), i32.step(),
                                                    q32.roi(), q32.step(), s.size(), val, -val),
                          qpxStatusOk);
                EXPECT_EQ(dense(i32), upright_32s<false>(s, val));
                EXPECT_EQ(dense(q32), upright_32s<true>(s, -val));

                ASSERT_EQ(qpxiIntegral_8u32f_C1R(s.roi(), s.step(), i32f.roi(), i32f.step(),
                                                 s.size(), fval),
                          qpxStatusOk);
                const std::vector<float> want32f = upright_rows<float, long long>(s, fval);
                EXPECT_EQ(dense(i32f), want32f);
                const std::vector<double> want64 =
                    upright_rows<double, long long, u8, true>(s, qval);
                ASSERT_EQ(qpxiSqrIntegral_8u32s64f_C1R(s.roi(), s.step(), i32.roi(), i32.step(),
                                                       q64.roi(), q64.step(), s.size(), val, qval),
                          qpxStatusOk);
                EXPECT_EQ(dense(i32), upright_32s<false>(s, val));
                EXPECT_EQ(dense(q64), want64);
                ASSERT_EQ(qpxiSqrIntegral_8u32f64f_C1R(s.roi(), s.step(), i32f.roi(), i32f.step(),
                                                       q64.roi(), q64.step(), s.size(), fval, qval),
                          qpxStatusOk);
                EXPECT_EQ(dense(i32f), want32f);
                EXPECT_EQ(dense(q64), want64);

                // 32f: a single-precision running sum, added in single precision.
                GuardedImage<float> f(W, H, 1, 4, place);
                f.fill([&] { return rnd.next<float>(-1e3, 1e3); });
                ASSERT_EQ(
                    qpxiIntegral_32f_C1R(f.roi(), f.step(), i32f.roi(), i32f.step(), f.size()),
                    qpxStatusOk);
                EXPECT_EQ(dense(i32f), (upright_rows<float, float>(f, 0.0f)));
            }
}

TEST(Integral, FirstRowAndColumnHoldValAndSumsWrap) {
    const int W = 9, H = 4;
    GuardedImage<u8> s(W, H);
    s.fill([] { return u8(255); });
    GuardedImage<s32> d(W + 1, H + 1), q(W + 1, H + 1);
    const s32 val = INT_MAX - 5000;
    ASSERT_EQ(qpxiSqrIntegral_8u32s_C1R(s.roi(), s.step(), d.roi(), d.step(), q.roi(), q.step(),
                                        s.size(), val, INT_MIN + 7),
              qpxStatusOk);
    for (int x = 0; x <= W; ++x) EXPECT_EQ(d.at(x, 0), val);
    for (int y = 0; y <= H; ++y) EXPECT_EQ(d.at(0, y), val);
    EXPECT_EQ(d.at(W, H), s32(u32(val) + 255u * W * H));  // past INT_MAX: negative
    EXPECT_LT(d.at(W, H), 0);
    EXPECT_EQ(q.at(W, H), s32(u32(INT_MIN + 7) + 65025u * W * H));

    // A 1 x 1 image {5}: {0, 0; 0, 5}.
    GuardedImage<u8> one(1, 1);
    one.at(0, 0) = 5;
    GuardedImage<s32> out(2, 2);
    ASSERT_EQ(qpxiIntegral_8u32s_C1R(one.roi(), one.step(), out.roi(), out.step(), {1, 1}, 0),
              qpxStatusOk);
    EXPECT_EQ(dense(out), (std::vector<s32>{0, 0, 0, 5}));
}

// ---- tilted ------------------------------------------------------------------------------------

TEST(TiltedIntegral, FollowsTheRecurrence) {
    qpxtest::Random rnd(5);
    for (int W : {1, 2, 5, 8, 9, 17, 33, 40})
        for (int H : {1, 2, 7})
            for (Place place : {Place::Begin, Place::End}) {
                SCOPED_TRACE(::testing::Message() << W << "x" << H);
                const GuardedImage<u8> s = random_8u(W, H, rnd, place, 3);
                const s32 val = rnd.next<s32>(-100, 100);
                const float fval = float(val) - 0.5f;
                const double qval = 3.25;
                GuardedImage<s32> t(W + 2, H + 2, 1, 0, place), tq(W + 2, H + 2, 1, 4, place);
                GuardedImage<float> tf(W + 2, H + 2, 1, 0, place);
                GuardedImage<double> t64(W + 2, H + 2, 1, 8, place);
                const auto want32 = tilted_ref<s32, s32, false>(s, val);
                const auto wantf = tilted_ref<float, double, false>(s, fval);
                const auto want64 = tilted_ref<double, double, true>(s, qval);

                ASSERT_EQ(qpxiTiltedIntegral_8u32s_C1R(s.roi(), s.step(), t.roi(), t.step(),
                                                       s.size(), val),
                          qpxStatusOk);
                EXPECT_EQ(dense(t), want32);
                ASSERT_EQ(qpxiTiltedIntegral_8u32f_C1R(s.roi(), s.step(), tf.roi(), tf.step(),
                                                       s.size(), fval),
                          qpxStatusOk);
                EXPECT_EQ(dense(tf), wantf);
                ASSERT_EQ(qpxiTiltedSqrIntegral_8u32s_C1R(s.roi(), s.step(), t.roi(), t.step(),
                                                          tq.roi(), tq.step(), s.size(), val, 9),
                          qpxStatusOk);
                EXPECT_EQ(dense(t), want32);
                EXPECT_EQ(dense(tq), (tilted_ref<s32, s32, true>(s, 9)));
                ASSERT_EQ(
                    qpxiTiltedSqrIntegral_8u32s64f_C1R(s.roi(), s.step(), t.roi(), t.step(),
                                                       t64.roi(), t64.step(), s.size(), val, qval),
                    qpxStatusOk);
                EXPECT_EQ(dense(t64), want64);
                ASSERT_EQ(
                    qpxiTiltedSqrIntegral_8u32f64f_C1R(s.roi(), s.step(), tf.roi(), tf.step(),
                                                       t64.roi(), t64.step(), s.size(), fval, qval),
                    qpxStatusOk);
                EXPECT_EQ(dense(tf), wantf);
                EXPECT_EQ(dense(t64), want64);

                // Cones clear of the left edge (c >= R) are the plain sums of their pixels.
                for (int R = 2; R < H + 2; ++R)
                    for (int c = R; c < W + 2; ++c) {
                        u32 sum = u32(val);
                        for (int y = 0; y <= R - 2; ++y)
                            for (int x = c - 1 - (R - 2 - y); x <= c + (R - 2 - y); ++x)
                                if (x < W) sum += s.at(x, y);
                        EXPECT_EQ(t.at(c, R), s32(sum)) << "row " << R << " column " << c;
                    }
            }
}

TEST(TiltedIntegral, SinglePixelsAndTheLeftEdge) {
    GuardedImage<u8> one(1, 1);
    one.at(0, 0) = 5;
    GuardedImage<s32> t1(3, 3);
    ASSERT_EQ(qpxiTiltedIntegral_8u32s_C1R(one.roi(), one.step(), t1.roi(), t1.step(), {1, 1}, 4),
              qpxStatusOk);
    EXPECT_EQ(dense(t1), (std::vector<s32>{4, 4, 4, 4, 4, 4, 4, 9, 4}));

    // A bright pixel at column 3, row 1 reaches columns 3..4 of row 3, 2..5 of row 4, and so on;
    // at the left edge column 0 copies column 1 of the row above.
    GuardedImage<u8> s(8, 6);
    s.fill([] { return u8(0); });
    s.at(3, 1) = 1;
    GuardedImage<s32> t(10, 8);
    ASSERT_EQ(qpxiTiltedIntegral_8u32s_C1R(s.roi(), s.step(), t.roi(), t.step(), s.size(), 0),
              qpxStatusOk);
    for (int R = 0; R < 8; ++R)
        for (int c = 1; c < 9; ++c) {
            const int d = R - 3;
            const bool in = d >= 0 && c >= 3 - d && c <= 4 + d;
            EXPECT_EQ(t.at(c, R), in ? 1 : 0) << "row " << R << " column " << c;
        }
    for (int R = 2; R < 8; ++R) EXPECT_EQ(t.at(0, R), t.at(1, R - 1)) << "row " << R;
}

// ---- window standard deviation -----------------------------------------------------------------

float sqrt_f(float v) {
    return std::sqrt(v);
}
s32 trunc32(double v) {
    return s32(v);  // the tests keep results in range
}

// Each member's precision row, from the four samples of each integral (upright: a - b - c + d,
// tilted: a - (b + c) + d).
struct Window {
    bool tilt;
    long long n;
};
template <class T>
T combine(const Window& w, T a, T b, T c, T d) {
    return w.tilt ? a - (b + c) + d : a - b - c + d;
}
s32 wrap(const Window& w, s32 a, s32 b, s32 c, s32 d) {
    return s32(combine<u32>(w, u32(a), u32(b), u32(c), u32(d)));
}

s32 sd_sfs(const Window& w, const s32* s, const s32* q, int sf) {
    const float s1 = float(wrap(w, s[0], s[1], s[2], s[3])),
                s2 = float(wrap(w, q[0], q[1], q[2], q[3]));
    const float inv = 1.0f / float(w.n), m = s1 * inv, e = s2 * inv;
    const float scale = std::ldexp(1.0f, -sf);
    if (!w.tilt) {
        float v = e - m * m;
        v = v < 0 ? 0 : v;
        return trunc32(std::sqrt(double(v)) * scale + 0.5);
    }
    double v = double(e) - double(m) * double(m);
    v = v < 0 ? 0 : v;
    return trunc32(float(std::sqrt(double(float(v)))) * scale + 0.5f);
}
float sd_32s32f(const Window& w, const s32* s, const double* q) {
    const float s1 = float(wrap(w, s[0], s[1], s[2], s[3]));
    if (!w.tilt) {
        const float s2 = combine<float>(w, float(q[0]), float(q[1]), float(q[2]), float(q[3]));
        const float m = s1 / float(w.n), e = s2 / float(w.n), v = e - m * m;
        return sqrt_f(v < 0 ? 0 : v);
    }
    const float m = s1 * (1.0f / float(w.n));
    const double e = combine(w, q[0], q[1], q[2], q[3]) * (1.0 / double(w.n));
    const double v = e - double(m) * m;
    return sqrt_f(float(v < 0 ? 0 : v));
}
float sd_32f(const Window& w, const float* s, const double* q) {
    const double s1 = w.tilt ? combine<double>(w, s[0], s[1], s[2], s[3])
                             : double(combine<float>(w, s[0], s[1], s[2], s[3]));
    const double inv = w.tilt ? 1.0 / double(w.n) : 1.0 / double(float(w.n));
    const double m = s1 * inv, e = combine(w, q[0], q[1], q[2], q[3]) * inv, v = e - m * m;
    return sqrt_f(float(v < 0 ? 0 : v));
}

// The samples of output (i, j): (column, row) of a, b, c, d.
void samples(bool tilt, qpxRect r, int i, int j, int col[4], int row[4]) {
    const int x = r.x, y = r.y, w = r.width, h = r.height;
    if (tilt) {
        const int rr[4] = {x + y, x + y + h, x + y + w, x + y + w + h};
        const int cc[4] = {x - y, x - y - h, x - y + w, x - y + w - h};
        for (int k = 0; k < 4; ++k) row[k] = j + rr[k], col[k] = i + cc[k];
    } else {
        const int rr[4] = {y, y, y + h, y + h}, cc[4] = {x, x + w, x, x + w};
        for (int k = 0; k < 4; ++k) row[k] = j + rr[k], col[k] = i + cc[k];
    }
}

// Integrals of a random image with room for the stddev step checks (`pad` elements a row); the
// windows' origin is `origin` columns into each row.
struct Built {
    GuardedImage<s32> i32, q32;
    GuardedImage<float> i32f;
    GuardedImage<double> q64;
};
Built integrals(bool tilt, const GuardedImage<u8>& s, int pad) {
    const int e = tilt ? 2 : 1, W = s.width() + e, H = s.height() + e;
    Built st{GuardedImage<s32>(W, H, 1, pad * 4), GuardedImage<s32>(W, H, 1, pad * 4),
             GuardedImage<float>(W, H, 1, pad * 4), GuardedImage<double>(W, H, 1, pad * 8)};
    auto sqr = tilt ? qpxiTiltedSqrIntegral_8u32s_C1R : qpxiSqrIntegral_8u32s_C1R;
    auto sqr64 = tilt ? qpxiTiltedSqrIntegral_8u32f64f_C1R : qpxiSqrIntegral_8u32f64f_C1R;
    EXPECT_EQ(sqr(s.roi(), s.step(), st.i32.roi(), st.i32.step(), st.q32.roi(), st.q32.step(),
                  s.size(), 0, 0),
              qpxStatusOk);
    EXPECT_EQ(sqr64(s.roi(), s.step(), st.i32f.roi(), st.i32f.step(), st.q64.roi(), st.q64.step(),
                    s.size(), 0.0f, 0.0),
              qpxStatusOk);
    return st;
}

TEST(RectStdDev, EachMemberFollowsItsPrecision) {
    qpxtest::Random rnd(3);
    const int SW = 37, SH = 23;
    for (bool tilt : {false, true})
        for (qpxRect r :
             {qpxRect{0, 0, 1, 1}, qpxRect{2, 1, 3, 2}, qpxRect{4, 0, 2, 5}, qpxRect{1, 3, 4, 4}}) {
            SCOPED_TRACE(::testing::Message() << (tilt ? "tilted " : "upright ") << r.x << ","
                                              << r.y << "," << r.width << "," << r.height);
            const GuardedImage<u8> s = random_8u(SW, SH, rnd);
            const Built in = integrals(tilt, s, 8);
            // Tilted windows reach y + h columns left of their origin.
            const int origin = tilt ? r.y + r.height : 0;
            const int Wout = tilt ? SW + 2 - (r.x + r.width + r.height) : SW + 1 - (r.x + r.width);
            const int Hout =
                (tilt ? SH + 2 - (r.x + r.y + r.width + r.height) : SH + 1 - (r.y + r.height));
            ASSERT_GT(Wout, 0);
            ASSERT_GT(Hout, 0);
            const qpxSize roi{Wout, Hout};
            const Window win{tilt, (tilt ? 2LL : 1LL) * r.width * r.height};
            GuardedImage<s32> o32(Wout, Hout);
            GuardedImage<float> a(Wout, Hout), b(Wout, Hout);
            const s32* i32 = in.i32.roi() + origin;
            const s32* q32 = in.q32.roi() + origin;
            const float* i32f = in.i32f.roi() + origin;
            const double* q64 = in.q64.roi() + origin;
            const int sf = -2;
            if (tilt) {
                ASSERT_EQ(qpxiTiltedRectStdDev_32s_C1RSfs(i32, in.i32.step(), q32, in.q32.step(),
                                                          o32.roi(), o32.step(), roi, r, sf),
                          qpxStatusOk);
                ASSERT_EQ(qpxiTiltedRectStdDev_32s32f_C1R(i32, in.i32.step(), q64, in.q64.step(),
                                                          a.roi(), a.step(), roi, r),
                          qpxStatusOk);
                ASSERT_EQ(qpxiTiltedRectStdDev_32f_C1R(i32f, in.i32f.step(), q64, in.q64.step(),
                                                       b.roi(), b.step(), roi, r),
                          qpxStatusOk);
            } else {
                ASSERT_EQ(qpxiRectStdDev_32s_C1RSfs(i32, in.i32.step(), q32, in.q32.step(),
                                                    o32.roi(), o32.step(), roi, r, sf),
                          qpxStatusOk);
                ASSERT_EQ(qpxiRectStdDev_32s32f_C1R(i32, in.i32.step(), q64, in.q64.step(), a.roi(),
                                                    a.step(), roi, r),
                          qpxStatusOk);
                ASSERT_EQ(qpxiRectStdDev_32f_C1R(i32f, in.i32f.step(), q64, in.q64.step(), b.roi(),
                                                 b.step(), roi, r),
                          qpxStatusOk);
            }
            for (int j = 0; j < Hout; ++j)
                for (int i = 0; i < Wout; ++i) {
                    int col[4], row[4];
                    samples(tilt, r, i, j, col, row);
                    s32 si[4], qi[4];
                    float sf32[4];
                    double qd[4];
                    for (int k = 0; k < 4; ++k) {
                        const int c = col[k] + origin;
                        si[k] = in.i32.at(c, row[k]), qi[k] = in.q32.at(c, row[k]);
                        sf32[k] = in.i32f.at(c, row[k]), qd[k] = in.q64.at(c, row[k]);
                    }
                    ASSERT_EQ(o32.at(i, j), sd_sfs(win, si, qi, sf)) << i << "," << j;
                    ASSERT_TRUE(qpxtest::same_bits(a.at(i, j), sd_32s32f(win, si, qd)))
                        << i << "," << j;
                    ASSERT_TRUE(qpxtest::same_bits(b.at(i, j), sd_32f(win, sf32, qd)))
                        << i << "," << j;
                    if (!tilt) {
                        // The window's own pixels: the true standard deviation.
                        double m = 0, e = 0;
                        for (int y = 0; y < r.height; ++y)
                            for (int x = 0; x < r.width; ++x) {
                                const double p = s.at(i + r.x + x, j + r.y + y);
                                m += p, e += p * p;
                            }
                        m /= double(win.n), e /= double(win.n);
                        EXPECT_NEAR(b.at(i, j), std::sqrt(std::max(e - m * m, 0.0)), 1e-3);
                    }
                }
        }
}

TEST(RectStdDev, FlatWindowsAreZeroAndSfsAddsOneHalfThenTruncates) {
    for (bool tilt : {false, true}) {
        SCOPED_TRACE(tilt ? "tilted" : "upright");
        // Flat images: the rounded variance may come out a hair below zero; it is clamped.
        GuardedImage<u8> flat(20, 20);
        flat.fill([] { return u8(201); });
        const Built in = integrals(tilt, flat, 8);
        const qpxRect r{3, 1, 5, 3};
        const qpxSize roi{4, 4};
        const int origin = tilt ? 4 : 0;
        GuardedImage<s32> o(4, 4);
        GuardedImage<float> a(4, 4), b(4, 4);
        auto sfs = tilt ? qpxiTiltedRectStdDev_32s_C1RSfs : qpxiRectStdDev_32s_C1RSfs;
        auto f32s = tilt ? qpxiTiltedRectStdDev_32s32f_C1R : qpxiRectStdDev_32s32f_C1R;
        auto f32 = tilt ? qpxiTiltedRectStdDev_32f_C1R : qpxiRectStdDev_32f_C1R;
        ASSERT_EQ(sfs(in.i32.roi() + origin, in.i32.step(), in.q32.roi() + origin, in.q32.step(),
                      o.roi(), o.step(), roi, r, -3),
                  qpxStatusOk);
        ASSERT_EQ(f32s(in.i32.roi() + origin, in.i32.step(), in.q64.roi() + origin, in.q64.step(),
                       a.roi(), a.step(), roi, r),
                  qpxStatusOk);
        ASSERT_EQ(f32(in.i32f.roi() + origin, in.i32f.step(), in.q64.roi() + origin, in.q64.step(),
                      b.roi(), b.step(), roi, r),
                  qpxStatusOk);
        for (int v : o.dense()) EXPECT_EQ(v, 0);
        for (float v : a.dense()) EXPECT_TRUE(qpxtest::same_bits(v, 0.0f));
        for (float v : b.dense()) EXPECT_TRUE(qpxtest::same_bits(v, 0.0f));
    }

    // Upright windows of two pixels {0, d}: standard deviation d / 2, scaled, plus 0.5, truncated.
    GuardedImage<u8> s(2, 1);
    GuardedImage<s32> i(3, 2), q(3, 2), o(1, 1);
    const qpxRect pair{0, 0, 2, 1};
    for (auto [d, sf, want] : {std::tuple{5, 0, 3}, {1, -1, 1}, {5, 1, 1}, {3, -1, 3}, {0, 4, 0}}) {
        s.at(0, 0) = 0, s.at(1, 0) = u8(d);
        ASSERT_EQ(qpxiSqrIntegral_8u32s_C1R(s.roi(), s.step(), i.roi(), i.step(), q.roi(), q.step(),
                                            s.size(), 0, 0),
                  qpxStatusOk);
        ASSERT_EQ(qpxiRectStdDev_32s_C1RSfs(i.roi(), i.step(), q.roi(), q.step(), o.roi(), o.step(),
                                            {1, 1}, pair, sf),
                  qpxStatusOk);
        EXPECT_EQ(o.at(0, 0), want) << d << " scaled by 2^" << -sf;
    }
}

// ---- vector targets ----------------------------------------------------------------------------

template <class T>
std::vector<std::uint8_t> bytes(const GuardedImage<T>& im) {
    return im.snapshot();
}

// Every kernel on every target against the scalar one, byte for byte, outputs included their
// padding (which no kernel may touch).
TEST(Integral, EveryTargetMatchesScalar) {
    using qpx::stats::integral_kernels;
    qpxtest::Random rnd(99);
    std::vector<int> widths = qpxtest::test_widths();
    widths.insert(widths.end(), {128, 130, 255});  // whole 64-pixel steps and their tails
    for (int W : widths)
        for (int H : {1, 4}) {
            SCOPED_TRACE(::testing::Message() << W << "x" << H);
            // A row of 255s drives the widest partial sums.
            GuardedImage<u8> s = random_8u(W, H, rnd, Place::End, 5);
            if (H > 2)
                for (int x = 0; x < W; ++x) s.at(x, 2) = 255;
            GuardedImage<float> f(W, H, 1, 4);
            f.fill([&] { return rnd.next<float>(-50, 50); });
            const qpxRect r{1, 1, 2, 1};
            auto run = [&](Target t) {
                const auto& k = integral_kernels(t);
                std::vector<std::vector<std::uint8_t>> out;
                for (int e : {1, 2}) {
                    GuardedImage<s32> a(W + e, H + e, 1, 4), b(W + e, H + e, 1, 4);
                    GuardedImage<float> c(W + e, H + e, 1, 4);
                    GuardedImage<double> d(W + e, H + e, 1, 8);
                    for (auto* im : {&a, &b}) im->fill([] { return s32(0x5a5a5a5a); });
                    c.fill([] { return -1.0f; });
                    d.fill([] { return -1.0; });
                    const s32 v = 1 << 30;
                    if (e == 1) {
                        k.int_8u32s(s.view(), a.view(), v);
                        k.int_8u32f(s.view(), c.view(), 0.5f);
                        out.insert(out.end(), {bytes(a), bytes(c)});
                        k.int_32f(f.view(), c.view());
                        out.push_back(bytes(c));
                        k.sqr_8u32s(s.view(), a.view(), b.view(), v, -v);
                        out.insert(out.end(), {bytes(a), bytes(b)});
                        k.sqr_8u32s64f(s.view(), a.view(), d.view(), v, 1e9);
                        out.insert(out.end(), {bytes(a), bytes(d)});
                        k.sqr_8u32f64f(s.view(), c.view(), d.view(), 3e7f, 0.1);
                    } else {
                        k.tilt_8u32s(s.view(), a.view(), v);
                        k.tilt_8u32f(s.view(), c.view(), 0.1f);
                        out.insert(out.end(), {bytes(a), bytes(c)});
                        k.tsqr_8u32s(s.view(), a.view(), b.view(), v, -v);
                        out.insert(out.end(), {bytes(a), bytes(b)});
                        k.tsqr_8u32s64f(s.view(), a.view(), d.view(), v, 1e9);
                        out.insert(out.end(), {bytes(a), bytes(d)});
                        k.tsqr_8u32f64f(s.view(), c.view(), d.view(), 3e7f, 0.1);
                    }
                    out.insert(out.end(), {bytes(c), bytes(d)});
                    // The window standard deviation over these integrals: output one pixel
                    // narrower and shorter than the source leaves room for the rect.
                    const int ow = std::max(W - 3, 1), oh = 1;
                    if (W + e < ow + 5 || H + e < 4) continue;
                    GuardedImage<s32> o(ow, oh);
                    GuardedImage<float> g(ow, oh);
                    const int at = e == 2 ? 2 : 0;
                    const qpx::View<const s32> as(a.roi() + at, a.step(), 0, 0),
                        bs(b.roi() + at, b.step(), 0, 0);
                    const qpx::View<const float> cs(c.roi() + at, c.step(), 0, 0);
                    const qpx::View<const double> ds(d.roi() + at, d.step(), 0, 0);
                    if (e == 1) {
                        k.sd_32s_sfs(as, bs, o.view(), r, -1);
                        k.sd_32s32f(as, ds, g.view(), r, 0);
                        out.insert(out.end(), {bytes(o), bytes(g)});
                        k.sd_32f(cs, ds, g.view(), r, 0);
                    } else {
                        k.tsd_32s_sfs(as, bs, o.view(), r, -1);
                        k.tsd_32s32f(as, ds, g.view(), r, 0);
                        out.insert(out.end(), {bytes(o), bytes(g)});
                        k.tsd_32f(cs, ds, g.view(), r, 0);
                    }
                    out.push_back(bytes(g));
                }
                return out;
            };
            const auto want = run(Target::Scalar);
            for (Target t : qpxtest::vector_targets()) EXPECT_TRUE(run(t) == want) << int(t);
        }
}

}  // namespace
