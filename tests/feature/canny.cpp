// Canny edge detection, both families: derivative inputs (16s, 32f, with and without 64-bit
// sizes) and 8u images with the detector's own derivatives. Results against a direct reference
// (scalar and vector paths), threshold boundaries, size queries, the check order with nothing
// written on failure, and memory bounds against guard pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "feature/canny.hpp"
#include "filter/derivative.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using i16 = std::int16_t;
using i32 = std::int32_t;
using Vec = std::vector<float>;
using qpx::feature::EdgeMag;
using qpx::feature::EdgeThresholds;
const qpxStatus N = qpxStatusNullPointer, Z = qpxStatusBadSize, S = qpxStatusBadStep,
                M = qpxStatusStepNotMultiple, A = qpxStatusBadArgument, B = qpxStatusBadBorder,
                T = qpxStatusSizeTooLarge, R = qpxStatusBadNorm, K = qpxStatusOk;

// ---- direct reference: full-neighbourhood suppression, breadth-first growth from the seeds ----

enum Sector { kH, kV, kSame, kOpp };

// Magnitudes after the low cut (0 where cut) and direction sectors, exactly as the detector
// forms them.
struct Field {
    int w = 0, h = 0;
    std::vector<double> mag;
    std::vector<int> sector;
    double at(int x, int y) const {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.0 : mag[std::size_t(y) * w + x];
    }
};

int sector_by_ratio(float ax, float ay, bool signsDiffer) {
    if (ay < ax * 0.41421357f) return kH;
    if (ax * 2.4142137f < ay) return kV;
    return signsDiffer ? kOpp : kSame;
}

int sector_by_angle(int dx, int dy) {
    double a = std::atan2(double(dy), double(dx));
    const float f = float(a < 0 ? a + M_PI : a);
    return f < 0.3926991f    ? kH
           : f <= 1.1780972f ? kSame
           : f < 1.9634955f  ? kV
           : f <= 2.7488937f ? kOpp
                             : kH;
}

struct Result {
    std::vector<u8> edges;
    long candidates = 0;
};

Result detect(const Field& f, double high) {
    const int w = f.w, h = f.h;
    auto cand = [&](int x, int y) {
        const double m = f.at(x, y);
        if (m == 0.0) return false;
        // Neighbours (before, after) across each sector; on H and V the after side is non-strict.
        static const int nb[4][4] = {{-1, 0, 1, 0}, {0, -1, 0, 1}, {-1, -1, 1, 1}, {1, -1, -1, 1}};
        const int s = f.sector[std::size_t(y) * w + x];
        const int* o = nb[s];
        const double after = f.at(x + o[2], y + o[3]);
        return f.at(x + o[0], y + o[1]) < m && (s < 2 ? after <= m : after < m);
    };
    std::vector<char> isCand(std::size_t(w) * h, 0);
    Result r;
    r.edges.assign(isCand.size(), 0);
    std::vector<std::pair<int, int>> queue;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (cand(x, y)) {
                isCand[std::size_t(y) * w + x] = 1;
                ++r.candidates;
                if (f.at(x, y) > high)
                    r.edges[std::size_t(y) * w + x] = 255, queue.emplace_back(x, y);
            }
    for (std::size_t head = 0; head < queue.size(); ++head)
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) {
                const int x = queue[head].first + i, y = queue[head].second + j;
                const std::size_t n = std::size_t(y) * w + x;
                if (x < 0 || y < 0 || x >= w || y >= h || !isCand[n] || r.edges[n]) continue;
                r.edges[n] = 255;
                queue.emplace_back(x, y);
            }
    return r;
}

// ---- derivative-input forms ----

enum Form { F32, S16, F32L_L1, F32L_L2, S16L_L1, S16L_L2 };
const Form kForms[] = {F32, S16, F32L_L1, F32L_L2, S16L_L1, S16L_L2};
const auto is16 = [](Form f) { return f == S16 || f == S16L_L1 || f == S16L_L2; };
const auto isLong = [](Form f) { return f != F32 && f != S16; };
const auto isL2 = [](Form f) { return f == F32L_L2 || f == S16L_L2; };

// Conversion toward zero to 32 bits, saturated (thresholds are never negative).
double trunc_sat(float v) {
    return v >= 2147483648.0f ? double(INT32_MAX) : double(i32(v));
}

// What each form makes of (dx, dy) with its own low cut, and its seed level.
Field reference_field(Form form, const Vec& dx, const Vec& dy, int w, int h, float low) {
    Field f{w, h, {}, {}};
    for (std::size_t i = 0; i < dx.size(); ++i) {
        const float x = dx[i], y = dy[i];
        const long long ix = is16(form) ? (long long)x : 0, iy = is16(form) ? (long long)y : 0;
        double m;
        bool keep;
        if (form == S16L_L2) {
            m = double(ix * ix + iy * iy);  // 2^31 at most: no wrap
            keep = m > trunc_sat(low * low);
        } else if (is16(form)) {
            m = std::min(std::llabs(ix) + std::llabs(iy), 65535LL);
            keep = m > trunc_sat(low);
        } else if (form == F32L_L2) {
            const float s = x * x + y * y;
            m = s, keep = s > low * low;
        } else {
            const float s = std::fabs(x) + std::fabs(y);
            m = s, keep = form == F32 ? s >= low : s > low;
        }
        f.mag.push_back(keep ? m : 0.0);
        f.sector.push_back(
            sector_by_ratio(std::fabs(x), std::fabs(y), std::signbit(x) != std::signbit(y)));
    }
    return f;
}

double seed_level(Form form, float high) {
    if (is16(form)) return isL2(form) ? trunc_sat(high * high) : trunc_sat(high);
    return isL2(form) ? high * high : high;
}

// Derivative images of the form's element type, `pad` spare bytes a row, the last pixel
// against a guard page (Place::End) or the first one after a guard page (Place::Begin).
struct Deriv {
    int step;
    GuardedBuffer x, y;
    Deriv(Form form, const Vec& dx, const Vec& dy, int w, int h, Place place, int pad = 0)
        : step(w * (is16(form) ? 2 : 4) + pad),
          x(std::size_t(step) * (h - 1) + (step - pad), place),
          y(std::size_t(step) * (h - 1) + (step - pad), place) {
        for (std::size_t i = 0; i < dx.size(); ++i) {
            u8 *px = x.data() + i / w * step, *py = y.data() + i / w * step;
            if (is16(form))
                ((i16*)px)[i % w] = i16(dx[i]), ((i16*)py)[i % w] = i16(dy[i]);
            else
                ((float*)px)[i % w] = dx[i], ((float*)py)[i % w] = dy[i];
        }
    }
};

qpxStatus call(Form form, const void* dx, long long dxStep, const void* dy, long long dyStep,
               u8* dst, long long dstStep, qpxSizeL roi, float low, float high, int norm, u8* buf) {
    const qpxSize r{int(roi.width), int(roi.height)};
    auto fx = (const float*)dx, fy = (const float*)dy;
    auto ix = (const i16*)dx, iy = (const i16*)dy;
    switch (form) {
        case F32:
            return qpxiCanny_32f8u_C1R(fx, int(dxStep), fy, int(dyStep), dst, int(dstStep), r, low,
                                       high, buf);
        case S16:
            return qpxiCanny_16s8u_C1R(ix, int(dxStep), iy, int(dyStep), dst, int(dstStep), r, low,
                                       high, buf);
        case F32L_L1:
        case F32L_L2:
            return qpxiCanny_32f8u_C1R_L(fx, dxStep, fy, dyStep, dst, dstStep, roi, low, high, norm,
                                         buf);
        default:
            return qpxiCanny_16s8u_C1R_L(ix, dxStep, iy, dyStep, dst, dstStep, roi, low, high, norm,
                                         buf);
    }
}
qpxStatus call(Form form, const Deriv& d, u8* dst, int dstStep, qpxSizeL roi, float low, float high,
               u8* buf) {
    return call(form, d.x.data(), d.step, d.y.data(), d.step, dst, dstStep, roi, low, high,
                isL2(form) ? qpxEdgeNormL2 : qpxEdgeNormL1, buf);
}

std::size_t deriv_buffer(int w, int h) {
    std::int64_t size = 0;
    EXPECT_EQ(qpxiCannyGetSize_L({w, h}, &size), qpxStatusOk);
    return std::size_t(size);
}

// The kernels of target P with the thresholds the form works with.
std::vector<u8> target_run(qpx::Target P, Form form, const Deriv& d, int w, int h, float low,
                           float high) {
    using qpx::feature::canny_deriv;
    std::vector<u8> out(std::size_t(w) * h), buf(deriv_buffer(w, h));
    const float lo = isL2(form) ? low * low : low, hi = isL2(form) ? high * high : high;
    if (is16(form)) {
        auto fn = isL2(form) ? canny_deriv<i16, i32, EdgeMag::L2Square>
                             : canny_deriv<i16, i32, EdgeMag::L1>;
        fn(P, qpx::View<const i16>((const i16*)d.x.data(), d.step, w, h),
           qpx::View<const i16>((const i16*)d.y.data(), d.step, w, h),
           qpx::View<u8>(out.data(), w, w, h), {i32(lo), i32(hi), false}, buf.data());
    } else {
        auto fn = isL2(form) ? canny_deriv<float, float, EdgeMag::L2Square>
                             : canny_deriv<float, float, EdgeMag::L1>;
        fn(P, qpx::View<const float>((const float*)d.x.data(), d.step, w, h),
           qpx::View<const float>((const float*)d.y.data(), d.step, w, h),
           qpx::View<u8>(out.data(), w, w, h), {lo, hi, form == F32}, buf.data());
    }
    return out;
}

// The export (guarded images, exactly sized guarded buffer) and the kernels of every target
// against the reference. Returns the reference's candidate count.
long check(Form form, const Vec& dx, const Vec& dy, int w, int h, float low, float high,
           Place place) {
    Deriv d(form, dx, dy, w, h, place);
    GuardedImage<u8> dst(w, h, 1, 3, place);
    GuardedBuffer buf(deriv_buffer(w, h), place);
    EXPECT_EQ(call(form, d, dst.roi(), dst.step(), {w, h}, low, high, buf.data()), qpxStatusOk);
    const Result ref = detect(reference_field(form, dx, dy, w, h, low), seed_level(form, high));
    EXPECT_EQ(dst.dense(), ref.edges) << "form " << form << " size " << w << "x" << h;
    EXPECT_EQ(target_run(qpx::Target::Scalar, form, d, w, h, low, high), ref.edges)
        << "scalar, form " << form;
    for (qpx::Target t : qpxtest::vector_targets())
        EXPECT_EQ(target_run(t, form, d, w, h, low, high), ref.edges)
            << qpx::target_name(t) << ", form " << form;
    return ref.candidates;
}

TEST(CannyDeriv, MatchesReference) {
    qpxtest::Random rng(4242);
    const float specials[] = {0.0f, -0.0f, INFINITY, -INFINITY, NAN, 1e-40f, -3.0f, 3.0f};
    for (Form form : kForms)
        for (int kind = 0; kind < 3; ++kind)
            for (int w : qpxtest::test_widths())
                for (int h : {1, 2, 3, 6, 13}) {
                    Vec dx, dy;
                    if (kind == 2) {
                        // Float specials: signed zeros, infinities, NaN, denormals.
                        if (is16(form)) continue;
                        for (int i = 0; i < 2 * w * h; ++i)
                            (i % 2 ? dy : dx)
                                .push_back(rng.next<int>(0, 3) == 0 ? specials[rng.bits() % 8]
                                                                    : rng.next<float>(-50, 50));
                    } else {
                        // Small values give many ties; wide ones reach the 16-bit extremes.
                        const int lim = kind ? 32768 : 12;
                        for (int i = 0; i < 2 * w * h; ++i) {
                            int v = rng.next<int>(-lim, lim - (kind ? 1 : 0));
                            if (kind && rng.bits() % 8 == 0) v = rng.bits() % 2 ? -32768 : 32767;
                            (i % 2 ? dy : dx).push_back(float(v));
                        }
                    }
                    const bool l2 = isL2(form);
                    const float low = kind == 1 ? (l2 ? 20000.f : 9000.f) : (l2 ? 3.5f : 3.f);
                    const float high = kind == 1 ? (l2 ? 40000.f : 30000.f) : (l2 ? 11.f : 14.f);
                    check(form, dx, dy, w, h, low, high, (w + h) % 2 ? Place::Begin : Place::End);
                }
}

// The magnitude row of every form on every target against the scalar target, to the bit (the
// edge map alone would hide a magnitude that differs but stays on the same side of every test).
TEST(CannyDeriv, MagnitudeRowsMatchScalarTarget) {
    using qpx::feature::edge_magnitude_row;
    qpxtest::Random rng(99);
    const float specials[] = {0.0f, -0.0f, INFINITY, -INFINITY, NAN, 1e-40f, -3.0f, 3.0f};
    auto same = [](const auto& a, const auto& b) {
        return std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0;
    };
    std::vector<int> widths = qpxtest::test_widths();
    widths.push_back(131);
    for (int w : widths) {
        Vec fx(w), fy(w);
        std::vector<i16> ix(w), iy(w);
        for (int i = 0; i < w; ++i) {
            fx[i] = rng.bits() % 5 ? rng.next<float>(-60, 60) : specials[rng.bits() % 8];
            fy[i] = rng.bits() % 5 ? rng.next<float>(-60, 60) : specials[rng.bits() % 8];
            ix[i] = i16(rng.bits() % 7 ? rng.next<int>(-40, 40) : rng.next<int>(-32768, 32767));
            iy[i] = i16(rng.bits() % 9 ? rng.next<int>(-40, 40) : -32768);
        }
        for (qpx::Target t : qpxtest::vector_targets()) {
            auto check = [&](auto fn) {
                const auto want = fn(qpx::Target::Scalar), got = fn(t);
                EXPECT_TRUE(same(want.first, got.first) && want.second == got.second)
                    << qpx::target_name(t) << " w=" << w;
            };
            auto rows = [&](auto d, auto m, auto mag, auto low, const auto& dx, const auto& dy) {
                return [&, low](qpx::Target tt) {
                    std::pair<std::vector<decltype(m)>, std::vector<u8>> r{
                        std::vector<decltype(m)>(w), std::vector<u8>(w)};
                    edge_magnitude_row<decltype(d), decltype(m), decltype(mag)::value>(
                        tt, dx.data(), dy.data(), w, {low, low, w % 2 == 0}, r.first.data(),
                        r.second.data());
                    return r;
                };
            };
            using L1 = std::integral_constant<EdgeMag, EdgeMag::L1>;
            using Sq = std::integral_constant<EdgeMag, EdgeMag::L2Square>;
            using Root = std::integral_constant<EdgeMag, EdgeMag::L2Root>;
            check(rows(0.0f, 0.0f, L1{}, 9.0f, fx, fy));
            check(rows(0.0f, 0.0f, Sq{}, 81.0f, fx, fy));
            check(rows(i16(0), i32(0), L1{}, i32(30), ix, iy));
            check(rows(i16(0), i32(0), Sq{}, i32(900), ix, iy));
            check(rows(i16(0), 0.0f, L1{}, 30.0f, ix, iy));
            check(rows(i16(0), 0.0f, Root{}, 30.0f, ix, iy));
        }
    }
}

// Two vertical-gradient pixels side by side, A (magnitude 20) and B: A is an edge when it is a
// seed, and B joins it exactly when B passes the low cut.
TEST(CannyDeriv, ThresholdBoundaries) {
    struct Row {
        Form form;
        float b, low, high;
        bool aEdge, bEdge;
    };
    const Row rows[] = {
        {F32, 10, 10, 15, true, true},
        {F32L_L1, 10, 10, 15, true, false},
        {S16, 10, 10, 15, true, false},
        {S16, 11, 10.5f, 15, true, true},
        {S16L_L1, 11, 10.9f, 15, true, true},
        {F32L_L2, 10, 10, 15, true, false},
        {F32L_L2, 10.5f, 10.4f, 15, true, true},
        {S16L_L2, 10, 9.99f, 15, true, true},    // 100 > trunc(99.8)
        {S16L_L2, 10, 10.01f, 15, true, false},  // 100 = trunc(100.2)
        // A magnitude equal to the (truncated, squared) high threshold is no seed.
        {F32, 10, 5, 20, false, false},
        {S16L_L2, 10, 5, 20, false, false},
        {S16, 10, 5, 20.9f, false, false},
        {F32L_L1, 10, 5, 19.99f, true, true},
    };
    const int w = 5, h = 5;
    for (const Row& r : rows) {
        Vec dx(w * h, 0.0f), dy(w * h, 0.0f);
        dy[2 * w + 1] = 20.0f;
        dy[2 * w + 2] = r.b;
        Deriv d(r.form, dx, dy, w, h, Place::End);
        std::vector<u8> dst(w * h, 1), buf(deriv_buffer(w, h));
        ASSERT_EQ(call(r.form, d, dst.data(), w, {w, h}, r.low, r.high, buf.data()), qpxStatusOk);
        EXPECT_EQ(dst[2 * w + 1] == 255, r.aEdge) << r.form << " low " << r.low;
        EXPECT_EQ(dst[2 * w + 2] == 255, r.bEdge) << r.form << " low " << r.low;
    }
}

// Thresholds beyond the 32-bit range saturate instead of becoming the smallest integer, and the
// L2 square of two -32768 derivatives (2^31) stays the largest magnitude instead of wrapping
// negative. Pixel a holds (-32768, -32768), pixel b (32767, 32767), far apart.
TEST(CannyDeriv, ExtremeThresholdsAndDerivatives) {
    struct Row {
        Form form;
        float low, high;
        bool aEdge, bEdge;
    };
    const float kHuge = 3e9f;
    const Row rows[] = {
        {S16, 0, 100, true, true},
        {S16L_L1, 0, 100, true, true},
        {S16L_L2, 0, 100, true, true},
        {S16, kHuge, kHuge, false, false},
        {S16L_L1, kHuge, kHuge, false, false},
        {S16, INFINITY, INFINITY, false, false},
        // Squared and saturated, the threshold is 2^31 - 1, which 2^31 still exceeds.
        {S16L_L2, kHuge, kHuge, true, false},
        {S16L_L2, 46339.0f, 46339.0f, true, true},
        {F32, kHuge, kHuge, false, false},
        {F32L_L2, kHuge, kHuge, false, false},
    };
    const int w = 7, h = 7;
    for (const Row& r : rows) {
        Vec dx(w * h, 0.0f), dy(w * h, 0.0f);
        dx[1 * w + 1] = dy[1 * w + 1] = -32768.0f;
        dx[5 * w + 5] = dy[5 * w + 5] = 32767.0f;
        Deriv d(r.form, dx, dy, w, h, Place::End);
        std::vector<u8> dst(w * h, 1), buf(deriv_buffer(w, h));
        ASSERT_EQ(call(r.form, d, dst.data(), w, {w, h}, r.low, r.high, buf.data()), qpxStatusOk);
        EXPECT_EQ(dst[1 * w + 1] == 255, r.aEdge) << r.form << " low " << r.low;
        EXPECT_EQ(dst[5 * w + 5] == 255, r.bEdge) << r.form << " low " << r.low;
        EXPECT_EQ(std::count(dst.begin(), dst.end(), 255), int(r.aEdge) + int(r.bEdge));
    }
}

// Each row breaks one or two arguments of a valid call; the first check in order must win, and
// a failed call writes neither the output nor the buffer.
TEST(CannyDeriv, CheckOrderAndNothingWritten) {
    struct Row {
        const char* what;
        int null;                  // 0 dx, 1 dy, 2 dst, 3 buffer, -1 none
        long long w, h;            // 0: keep the valid value
        long long dxd, dyd, dsts;  // derivative step deltas in bytes; dst step (0: valid)
        float low, high;
        int norm;  // 0: the form's own
        qpxStatus f32, s16, long32, long16;
    };
    const long long big = 1LL << 31;
    const Row rows[] = {
        {"null dx, bad size", 0, -3, 0, 0, 0, 0, 1, 2, 0, N, N, N, N},
        {"null dy, huge width", 1, big, 0, 0, 0, 0, 1, 2, 0, N, N, N, N},
        {"null dst", 2, 0, 0, 0, 0, 0, 1, 2, 0, N, N, N, N},
        {"null buffer, short step", 3, 0, 0, -17, 0, 0, 1, 2, 0, N, N, N, N},
        {"huge height before bad width", -1, -1, big, 0, 0, 0, 1, 2, 0, Z, Z, T, T},
        {"huge dst step before bad size", -1, 0, -1, 0, 0, big, 1, 2, 0, Z, Z, T, T},
        {"bad size before short step", -1, 0, -2, 0, -17, 0, 1, 2, 0, Z, Z, Z, Z},
        {"short dst step before odd step", -1, 0, 0, 1, 0, 7, 1, 2, 0, S, S, S, S},
        {"short dy step", -1, 0, 0, 0, -17, 0, 1, 2, 0, S, S, S, S},
        {"dx step 2 mod 4, bad norm", -1, 0, 0, 2, 0, 0, 1, 2, 3, M, K, M, R},
        {"odd dy step before threshold", -1, 0, 0, 0, 1, 0, -1, 2, 0, M, M, M, M},
        {"negative low", -1, 0, 0, 0, 0, 0, -0.5f, 0.1f, 0, A, A, A, A},
        {"high below low before norm", -1, 0, 0, 0, 0, 0, 5, 4, 3, A, A, A, A},
        {"NaN low", -1, 0, 0, 0, 0, 0, NAN, 2, 0, A, A, A, A},
        {"NaN high", -1, 0, 0, 0, 0, 0, 1, NAN, 0, A, A, A, A},
        {"bad norm", -1, 0, 0, 0, 0, 0, 1, 2, 1, K, K, R, R},
        // The 16-bit long form under L2 tests the squared thresholds it works with.
        {"negative low, squares in order", -1, 0, 0, 0, 0, 0, -1, 2, 4, A, A, A, K},
        {"negative low, squares out of order", -1, 0, 0, 0, 0, 0, -3, 2, 4, A, A, A, A},
    };
    const int w = 8, h = 5;
    for (Form form : kForms)
        for (const Row& r : rows) {
            const qpxStatus expect =
                is16(form) ? (isLong(form) ? r.long16 : r.s16) : (isLong(form) ? r.long32 : r.f32);
            if (!isLong(form) && (r.w == big || r.h == big || r.dsts == big)) continue;
            // Images with 32 spare bytes a row; the valid step leaves 16 of them unused.
            Deriv d(form, Vec(w * h, 1.0f), Vec(w * h, 2.0f), w, h, Place::End, 32);
            const long long valid = w * (is16(form) ? 2 : 4) + 16;
            GuardedImage<u8> dst(w, h, 1, 8);
            std::vector<u8> buf(deriv_buffer(w, h), 0xAB);
            const auto before = dst.snapshot();
            const qpxStatus st =
                call(form, r.null == 0 ? nullptr : d.x.data(), valid + r.dxd,
                     r.null == 1 ? nullptr : d.y.data(), valid + r.dyd,
                     r.null == 2 ? nullptr : dst.roi(), r.dsts ? r.dsts : dst.step(),
                     {r.w ? r.w : w, r.h ? r.h : h}, r.low, r.high,
                     r.norm       ? r.norm
                     : isL2(form) ? qpxEdgeNormL2
                                  : qpxEdgeNormL1,
                     r.null == 3 ? nullptr : buf.data());
            EXPECT_EQ(st, expect) << r.what << ", form " << form;
            if (st != qpxStatusOk) {
                EXPECT_EQ(dst.snapshot(), before) << r.what;
                EXPECT_EQ(std::count(buf.begin(), buf.end(), 0xAB), long(buf.size())) << r.what;
            }
        }
}

// Dense candidates (alternate rows all seeds, half of the rows between join), and ROIs on both
// sides of the switch to wide stack entries, with exactly sized buffers.
TEST(CannyDeriv, DenseAndWideStayInBuffer) {
    for (Place place : {Place::Begin, Place::End}) {
        const int w = 37, h = 29;
        Vec dx, dy;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dx.push_back(y % 2 ? 0.0f : (x % 2 ? 30.0f : 5.0f)),
                    dy.push_back(y % 2 ? 100.0f : 0.0f);
        EXPECT_GT(check(F32, dx, dy, w, h, 1.0f, 20.0f, place) * 2, long(w) * h);
        EXPECT_GT(check(S16L_L1, dx, dy, w, h, 1.0f, 20.0f, place) * 2, long(w) * h);
    }
    qpxtest::Random rng(3);
    for (int w : {65532, 65533}) {
        Vec dx, dy;
        for (int i = 0; i < 4 * w; ++i) (i % 2 ? dx : dy).push_back(float(rng.next<int>(-9, 9)));
        check(S16, dx, dy, w, 2, 2.f, 8.f, Place::End);
        check(F32, dy, dx, 2, w, 2.f, 8.f, Place::Begin);
    }
}

// ---- 8u form with its own derivatives ----

struct Kernel {
    int filter, mask;
};
const Kernel kKernels[] = {{qpxFilterSobel, 33}, {qpxFilterSobel, 55}, {qpxFilterScharr, 33}};

int border_buffer(int w, int h, int mask) {
    int size = 0;
    EXPECT_EQ(qpxiCannyBorderGetSize({w, h}, qpxFilterSobel, mask, qpx8u, &size), qpxStatusOk);
    return size;
}

// Direct derivatives (border pixels built, or read from memory where the call reads them: a thin
// image is copied with a built border unless every side lies in memory) and detection.
Result border_reference(const GuardedImage<u8>& src, Kernel kn, unsigned border, bool mem, u8 value,
                        int norm, float low, float high) {
    const int w = src.width(), h = src.height(), k = kn.mask == 55 ? 5 : 3, r = k / 2;
    auto pix = [&](int x, int y) -> int {
        bool built = false;
        if (x < 0 && !(mem && (border & 0x40))) x = 0, built = true;
        if (x >= w && !(mem && (border & 0x80))) x = w - 1, built = true;
        if (y < 0 && !(mem && (border & 0x10))) y = 0, built = true;
        if (y >= h && !(mem && (border & 0x20))) y = h - 1, built = true;
        return built && (border & 15) == 6 ? value : src.at(x, y);
    };
    using V = std::vector<int>;
    const V der = k == 3 ? V{-1, 0, 1} : V{-1, -2, 0, 2, 1};
    const V smo = kn.filter == qpxFilterScharr ? V{3, 10, 3}
                  : k == 3                     ? V{1, 2, 1}
                                               : V{1, 4, 6, 4, 1};
    Field f{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int dx = 0, dy = 0;
            for (int j = 0; j < k; ++j)
                for (int i = 0; i < k; ++i) {
                    const int p = pix(x + i - r, y + j - r);
                    dx += smo[j] * der[i] * p, dy += der[j] * smo[i] * p;
                }
            const float m = norm == qpxEdgeNormL1 ? float(std::abs(dx) + std::abs(dy))
                                                  : std::sqrt(float(dx * dx + dy * dy));
            f.mag.push_back(m > low ? m : 0.0);
            f.sector.push_back(h < 4 ? sector_by_angle(dx, dy)
                                     : sector_by_ratio(float(std::abs(dx)), float(std::abs(dy)),
                                                       (dx < 0) != (dy < 0)));
        }
    return detect(f, high);
}

// The export against guard pages (the source readable exactly where the border allows, the
// buffer exactly sized) and the scalar path, both against the reference.
Result run_checked(const std::function<u8(int, int)>& img, int w, int h, Kernel kn, unsigned border,
                   u8 value, int norm, float low, float high, Place place) {
    const int r = kn.mask == 55 ? 2 : 1;
    const bool mem = border == 240 || std::min(w, h) > 2 * r;
    const qpxtest::Margins m{mem && (border & 0x10) ? r : 0, mem && (border & 0x20) ? r : 0,
                             mem && (border & 0x40) ? r : 0, mem && (border & 0x80) ? r : 0};
    GuardedImage<u8> src(w, h, 1, 0, place, m), dst(w, h, 1, 0, place);
    for (int y = -m.top; y < h + m.bottom; ++y)
        for (int x = -m.left; x < w + m.right; ++x) src.at(x, y) = img(x, y);
    dst.fill([] { return u8(7); });
    GuardedBuffer buf(std::size_t(border_buffer(w, h, kn.mask)), place);
    EXPECT_EQ(
        qpxiCannyBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), src.size(), kn.filter,
                               kn.mask, border, value, norm, low, high, buf.data()),
        qpxStatusOk);
    Result ref = border_reference(src, kn, border, mem, value, norm, low, high);
    EXPECT_EQ(dst.dense(), ref.edges) << w << "x" << h << " filter " << kn.filter << " mask "
                                      << kn.mask << " border " << border << " norm " << norm;
    std::vector<qpx::Target> targets = qpxtest::vector_targets();
    targets.push_back(qpx::Target::Scalar);
    for (qpx::Target t : targets) {
        std::vector<u8> out(std::size_t(w) * h);
        EXPECT_EQ(
            qpx::feature::canny_border(t, src.view(), qpx::View<u8>(out.data(), w, w, h), kn.filter,
                                       kn.mask, border, value, norm, low, high, buf.data()),
            qpxStatusOk);
        EXPECT_EQ(out, ref.edges) << qpx::target_name(t) << " " << w << "x" << h;
    }
    return ref;
}

TEST(CannyBorder, MatchesReference) {
    qpxtest::Random rng(77);
    std::vector<u8> noise(4096);
    for (u8& v : noise) v = rng.next<u8>(0, 255);
    auto at = [&](int x, int y) { return noise[std::size_t((y + 8) * 61 + x + 8) % 4096]; };
    const std::function<u8(int, int)> pics[] = {
        at,
        [](int x, int y) { return u8((x > 2 ? 90 : 10) + (y > 3 ? 60 : 0)); },
        [&](int x, int y) { return u8(4 * x + 3 * y + 40 + at(x, y) % 5); },
        [](int x, int y) { return u8((((x + 8) / 2 + (y + 8) / 2) & 1) * 200); },
        [](int x, int y) { return u8((x - 6) * (x - 6) + (y - 5) * (y - 5) < 20 ? 180 : 30); },
    };
    const unsigned borders[] = {1, 6, 1 | 0x10 | 0x40, 6 | 0x20 | 0x80, 1 | 0xF0, 240};
    // The 65-row images are made a strip of rows at a time.
    EXPECT_GT(qpx::feature::canny_border_layout(17, 65, 3).strip, 0);
    EXPECT_GT(qpx::feature::canny_border_layout(17, 65, 5).strip, 0);
    int n = 0;
    for (const Kernel& kn : kKernels)
        for (int w : {1, 2, 3, 4, 5, 8, 9, 17, 33})
            for (int h : {1, 2, 3, 4, 5, 11, 65})  // 65: strips, the last one short
                for (unsigned b : borders) {
                    ++n;
                    const float low = kn.filter == qpxFilterScharr ? 300.f : 60.f;
                    run_checked(pics[n % 5], w, h, kn, b, u8(n * 37),
                                n % 2 ? qpxEdgeNormL1 : qpxEdgeNormL2, low, 4 * low,
                                n % 3 ? Place::End : Place::Begin);
                }
}

// Edges almost everywhere: a 4x4 tile (found by search) makes three pixels in four edges, so
// far more than half of the pixels are pushed, into an exactly sized buffer.
TEST(CannyBorder, WorstCaseEdgeCount) {
    for (const Kernel& kn : kKernels)
        for (Place place : {Place::Begin, Place::End}) {
            const unsigned tile = kn.filter == qpxFilterSobel && kn.mask == 33 ? 0x22f2 : 0x22d2;
            auto pic = [tile](int x, int y) {
                return u8(((tile >> ((y % 4) * 4 + x % 4)) & 1) * 255);
            };
            const int w = 44, h = 36;
            const Result ref = run_checked(pic, w, h, kn, 1, 0, qpxEdgeNormL1, 0.f, 0.f, place);
            EXPECT_GT(std::count(ref.edges.begin(), ref.edges.end(), 255) * 3, long(w) * h * 2);
        }
}

// Both families' size queries: formulas (with the switch to wide stack entries and the 32-bit
// wrap), and their checks.
TEST(Canny, SizeQueries) {
    const long long rows[][3] = {
        {1, 1, 16 * 7 + 5 * 9 + 64},
        {640, 480, 16 * 646 + 5LL * 642 * 482 + 64},
        {65532, 3, 16 * 65538 + 5LL * 65534 * 5 + 64},
        {65533, 3, 16 * 65539 + 9LL * 65535 * 5 + 64},
        {3, 65533, 16 * 9 + 9LL * 5 * 65535 + 64},
        {100000, 100000, 16 * 100000 + 160 + 9LL * 100002 * 100002},  // wraps in 32 bits
    };
    int s = 0;
    std::int64_t sl = 0;
    for (auto& r : rows) {
        ASSERT_EQ(qpxiCannyGetSize({int(r[0]), int(r[1])}, &s), qpxStatusOk);
        ASSERT_EQ(qpxiCannyGetSize_L({r[0], r[1]}, &sl), qpxStatusOk);
        EXPECT_EQ(s, int(std::uint32_t(r[2])));
        EXPECT_EQ(sl, r[2]);
    }
    EXPECT_EQ(qpxiCannyGetSize({0, 5}, nullptr), N);
    EXPECT_EQ(qpxiCannyGetSize({0, 5}, &s), Z);
    EXPECT_EQ(qpxiCannyGetSize_L({1LL << 31, 0}, nullptr), N);
    EXPECT_EQ(qpxiCannyGetSize_L({-1, 1LL << 31}, &sl), T);
    EXPECT_EQ(qpxiCannyGetSize_L({-1, 5}, &sl), Z);

    auto R32 = [](long long n) { return (n + 31) / 32 * 32; };
    const int sizes[][2] = {{1, 1}, {2, 9}, {3, 3}, {4, 4}, {5, 5}, {640, 480}, {1920, 2}};
    for (auto& z : sizes)
        for (int k : {3, 5}) {
            const long long W = z[0] + k - 1, Ar = (z[1] + k - 1) * W;
            const long long want =
                R32(16 * W) + R32(Ar) + R32(4 * Ar) + 64 + (std::min(z[0], z[1]) < k ? R32(Ar) : 0);
            ASSERT_EQ(qpxiCannyBorderGetSize({z[0], z[1]}, 99, k == 5 ? 55 : 33, 123, &s),
                      qpxStatusOk);
            EXPECT_EQ(s, want) << z[0] << "x" << z[1];
        }
    EXPECT_EQ(qpxiCannyBorderGetSize({0, 0}, 2, 35, 1, nullptr), N);
    EXPECT_EQ(qpxiCannyBorderGetSize({0, 5}, 2, 35, 1, &s), Z);
    EXPECT_EQ(qpxiCannyBorderGetSize({5, 5}, 2, 35, 1, &s), qpxStatusBadMaskSize);
    EXPECT_EQ(qpxiCannyBorderGetSize({5, 5}, 5, 55, 1, &s), K);
}

// Each row breaks one or two arguments of a valid call (Sobel 3x3, Repl, L2, 10/20); the first
// check in order wins, and a failed call writes neither the output nor the buffer. Steps are
// tested right after the size, thin images included.
TEST(CannyBorder, CheckOrderAndNothingWritten) {
    struct Row {
        const char* what;
        int null;                      // 0 src, 1 dst, 2 buffer, -1 none
        int w, h, step, filter, mask;  // step 0: valid; h 0: 6
        unsigned border;
        int norm;
        float low, high;
        qpxStatus expect;
        int dstStep = 0;  // 0: valid; kZero stands for a step of 0
    };
    const int kZero = INT32_MIN;
    const Row rows[] = {
        {"mask 35 before null", 0, 9, 0, 0, 2, 35, 1, 4, 10, 20, qpxStatusBadMaskSize},
        {"Scharr 5x5 before size", -1, 0, 0, 0, 5, 55, 1, 4, 10, 20, qpxStatusBadMaskSize},
        {"null src before size", 0, 0, 0, 0, 2, 33, 1, 4, 10, 20, N},
        {"null dst", 1, 9, 0, 0, 2, 33, 1, 4, 10, 20, N},
        {"null buffer", 2, 9, 0, 0, 2, 33, 1, 4, 10, 20, N},
        {"bad size before filter", -1, -2, 0, 0, 8, 33, 1, 4, 10, 20, Z},
        {"filter before norm", -1, 9, 0, 0, 8, 33, 1, 3, 10, 20, A},
        {"norm before border", -1, 9, 0, 0, 2, 33, 3, 1, 10, 20, A},
        {"negative low", -1, 9, 0, 0, 2, 33, 1, 4, -1, 20, A},
        {"high below low", -1, 9, 0, 0, 2, 33, 1, 4, 9, 8, A},
        {"NaN thresholds pass", -1, 9, 0, 0, 2, 33, 1, 4, NAN, NAN, K},
        {"short step before mirror", -1, 9, 0, 8, 2, 33, 3, 4, 10, 20, S},
        {"short src step before filter", -1, 9, 0, 8, 8, 33, 1, 4, 10, 20, S},
        {"dst step 0", -1, 9, 0, 0, 2, 33, 1, 4, 10, 20, S, kZero},
        {"negative dst step", -1, 9, 0, 0, 2, 33, 1, 4, 10, 20, S, -28},
        {"dst step one short, before norm", -1, 9, 0, 0, 2, 33, 1, 1, 10, 20, S, 8},
        {"dst step one short, thin", -1, 9, 2, 0, 2, 55, 6, 4, 10, 20, S, 8},
        {"dst step of one row", -1, 9, 0, 0, 2, 33, 1, 4, 10, 20, K, 9},
        {"256", -1, 9, 0, 0, 2, 33, 256 | 1, 4, 10, 20, B},
        {"kind 0 with some sides", -1, 9, 0, 0, 2, 33, 0x70, 4, 10, 20, B},
        {"default kind", -1, 9, 0, 0, 2, 33, 5, 4, 10, 20, B},
        {"wrap in memory", -1, 9, 0, 0, 2, 33, 0xF2, 4, 10, 20, B},
        {"all in memory", -1, 9, 0, 0, 2, 33, 240, 4, 10, 20, K},
        {"const with sides", -1, 9, 0, 0, 2, 55, 6 | 0xF0, 2, 10, 20, K},
        {"Scharr 3x3", -1, 9, 0, 0, 5, 33, 1, 4, 10, 20, K},
        {"short src step", -1, 9, 0, 8, 2, 33, 1, 4, 10, 20, S},
        {"negative src step", -1, 9, 0, -13, 2, 33, 240, 4, 10, 20, S},
        {"short src step, thin", -1, 9, 2, 8, 2, 55, 6, 4, 10, 20, S},
        {"negative src step, thin", -1, 9, 2, -13, 2, 33, 1, 4, 10, 20, S},
    };
    for (const Row& r : rows) {
        const int h = r.h ? r.h : 6;
        GuardedImage<u8> src(9, h, 1, 4, Place::End, {2, 2, 2, 2}), dst(9, h, 1, 4);
        src.fill([] { return u8(50); });
        src.at(4, 1) = 250;
        dst.fill([] { return u8(3); });
        std::vector<u8> buf(std::size_t(border_buffer(9, h, 55)), 0xCD);
        const auto before = dst.snapshot();
        const int step = r.step ? r.step : src.step();
        const int dstStep = r.dstStep == kZero ? 0 : r.dstStep ? r.dstStep : dst.step();
        const u8* s = r.null == 0 ? nullptr : step < 0 ? &src.at(0, h - 1) : src.roi();
        const qpxStatus st = qpxiCannyBorder_8u_C1R(
            s, step, r.null == 1 ? nullptr : dst.roi(), dstStep, {r.w, h}, r.filter, r.mask,
            r.border, 0, r.norm, r.low, r.high, r.null == 2 ? nullptr : buf.data());
        EXPECT_EQ(st, r.expect) << r.what;
        if (st != qpxStatusOk) {
            EXPECT_EQ(dst.snapshot(), before) << r.what;
            EXPECT_EQ(std::count(buf.begin(), buf.end(), 0xCD), long(buf.size())) << r.what;
        }
        // The detector itself reports a step its derivative filters refuse, and leaves dst alone.
        if (r.expect == S && h > 2 && r.dstStep == 0) {
            EXPECT_EQ(qpx::feature::canny_border(
                          qpx::Target::Scalar, qpx::View<const u8>(s, step, r.w, h),
                          qpx::View<u8>(dst.roi(), dst.step(), r.w, h), r.filter, r.mask, r.border,
                          0, r.norm, r.low, r.high, buf.data()),
                      S);
            EXPECT_EQ(dst.snapshot(), before) << r.what;
        }
    }
}

}  // namespace
