// Canny on caller derivatives (16s and 32f, with and without 64-bit sizes): results against a
// direct reference, scalar against vector, threshold boundaries, size queries, the check order,
// and memory bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "common/guard.hpp"
#include "feature/canny.hpp"
#include "feature/canny_reference.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using i16 = std::int16_t;
using Vec = std::vector<float>;

enum Form { F32, S16, F32L_L1, F32L_L2, S16L_L1, S16L_L2 };
const Form kForms[] = {F32, S16, F32L_L1, F32L_L2, S16L_L1, S16L_L2};
bool is16(Form f) {
    return f == S16 || f == S16L_L1 || f == S16L_L2;
}
bool isLong(Form f) {
    return f != F32 && f != S16;
}
int normOf(Form f) {
    return f == F32L_L2 || f == S16L_L2 ? qpxEdgeNormL2 : qpxEdgeNormL1;
}

// What each form makes of (dx, dy): the magnitude after its low cut, and its seed level.
cannyref::Field reference_field(Form form, const Vec& dx, const Vec& dy, int w, int h, float low) {
    cannyref::Field f{w, h, {}, {}};
    for (std::size_t i = 0; i < dx.size(); ++i) {
        const float x = dx[i], y = dy[i];
        const long long ix = (long long)x, iy = (long long)y;
        double m;
        bool keep;
        if (form == S16L_L2) {
            m = std::int32_t(std::uint32_t(ix * ix) + std::uint32_t(iy * iy));
            keep = m > std::int32_t(low * low);
        } else if (is16(form)) {
            m = std::min(std::llabs(ix) + std::llabs(iy), 65535LL);
            keep = m > std::int32_t(low);
        } else if (form == F32L_L2) {
            float a = x * x, b = y * y;
            m = a + b;
            keep = float(m) > low * low;
        } else {
            m = std::fabs(x) + std::fabs(y);
            keep = form == F32 ? float(m) >= low : float(m) > low;
        }
        f.mag.push_back(keep ? m : 0.0);
        f.sector.push_back(cannyref::sector_by_ratio(std::fabs(x), std::fabs(y),
                                                     std::signbit(x) != std::signbit(y)));
    }
    return f;
}

double seed_level(Form form, float high) {
    if (form == S16 || form == S16L_L1) return std::int32_t(high);
    if (form == S16L_L2) return std::int32_t(high * high);
    return form == F32L_L2 ? high * high : high;
}

// Derivative images of the form's element type against guard pages.
struct Deriv {
    GuardedImage<float> fx, fy;
    GuardedImage<i16> sx, sy;
    Deriv(Form form, const Vec& dx, const Vec& dy, int w, int h, Place place, int pad = 0) {
        if (is16(form)) {
            sx = GuardedImage<i16>(w, h, 1, pad, place);
            sy = GuardedImage<i16>(w, h, 1, pad, place);
        } else {
            fx = GuardedImage<float>(w, h, 1, 2 * pad, place);
            fy = GuardedImage<float>(w, h, 1, 2 * pad, place);
        }
        for (std::size_t i = 0; i < dx.size(); ++i) {
            int x = int(i % w), y = int(i / w);
            if (is16(form))
                sx.at(x, y) = i16(dx[i]), sy.at(x, y) = i16(dy[i]);
            else
                fx.at(x, y) = dx[i], fy.at(x, y) = dy[i];
        }
    }
};

// Calls the export of `form` with explicit pointers and steps.
qpxStatus call_raw(Form form, const void* dx, long long dxStep, const void* dy, long long dyStep,
                   u8* dst, long long dstStep, qpxSizeL roi, float low, float high, int norm,
                   u8* buf) {
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
    if (is16(form))
        return call_raw(form, d.sx.roi(), d.sx.step(), d.sy.roi(), d.sy.step(), dst, dstStep, roi,
                        low, high, normOf(form), buf);
    return call_raw(form, d.fx.roi(), d.fx.step(), d.fy.roi(), d.fy.step(), dst, dstStep, roi, low,
                    high, normOf(form), buf);
}

std::size_t buffer_size(int w, int h) {
    std::int64_t size = 0;
    EXPECT_EQ(qpxiCannyGetSize_L({w, h}, &size), qpxStatusOk);
    return std::size_t(size);
}

// The export with guarded images and an exactly sized guarded buffer, against the reference.
// Returns the reference's candidate count.
long check(Form form, const Vec& dx, const Vec& dy, int w, int h, float low, float high,
           Place place) {
    Deriv d(form, dx, dy, w, h, place);
    GuardedImage<u8> dst(w, h, 1, 3, place);
    GuardedBuffer buf(buffer_size(w, h), place);
    EXPECT_EQ(call(form, d, dst.roi(), dst.step(), {w, h}, low, high, buf.data()), qpxStatusOk);
    auto ref = cannyref::detect(reference_field(form, dx, dy, w, h, low), seed_level(form, high));
    EXPECT_EQ(dst.dense(), ref.edges) << "form " << form << " size " << w << "x" << h;
    return ref.candidates;
}

// Central differences of a picture, with replicated edges.
void differences(int w, int h, const std::function<int(int, int)>& img, Vec& dx, Vec& dy) {
    auto p = [&](int x, int y) { return img(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            dx.push_back(float(p(x + 1, y) - p(x - 1, y)));
            dy.push_back(float(p(x, y + 1) - p(x, y - 1)));
        }
}

TEST(CannyDeriv, MatchesReference) {
    qpxtest::Random rng(4242);
    for (Form form : kForms)
        for (int kind = 0; kind < 3; ++kind)
            for (int w : qpxtest::test_widths())
                for (int h : {1, 2, 3, 6, 13}) {
                    Vec dx, dy;
                    if (kind == 2) {
                        // Steps, a ramp with noise and a checkerboard, side by side.
                        differences(
                            w, h,
                            [&](int x, int y) {
                                return x < 9    ? (x > 3) * 60 + (y > 2) * 30
                                       : x < 30 ? 3 * x + 2 * y + int(rng.bits() % 6)
                                                : ((x / 2 + y / 3) & 1) * 100;
                            },
                            dx, dy);
                    } else {
                        // Small values give many ties; wide ones reach the 16-bit extremes.
                        const int lim = kind ? 32768 : 12;
                        for (int i = 0; i < 2 * w * h; ++i) {
                            int v = rng.next<int>(-lim, lim - (kind ? 1 : 0));
                            if (kind && rng.bits() % 8 == 0) v = rng.bits() % 2 ? -32768 : 32767;
                            (i % 2 ? dy : dx).push_back(float(v));
                        }
                    }
                    const bool l2 = normOf(form) == qpxEdgeNormL2;
                    const float low = kind == 1 ? (l2 ? 20000.f : 9000.f) : (l2 ? 3.5f : 3.f);
                    const float high = kind == 1 ? (l2 ? 40000.f : 30000.f) : (l2 ? 11.f : 14.f);
                    check(form, dx, dy, w, h, low, high, (w + h) % 2 ? Place::Begin : Place::End);
                }
}

// Scalar and vector kernels agree, float specials (signed zeros, infinities, NaN) included.
TEST(CannyDeriv, ScalarEqualsVector) {
    using qpx::feature::EdgeMag;
    using qpx::feature::EdgeThresholds;
    qpxtest::Random rng(99);
    const float specials[] = {0.0f, -0.0f, INFINITY, -INFINITY, NAN, 1e-40f, -3.0f, 3.0f};
    for (int w : qpxtest::test_widths()) {
        const int h = 9;
        Vec fx, fy;
        std::vector<i16> sx, sy;
        for (int i = 0; i < w * h; ++i) {
            bool sp = rng.next<int>(0, 4) == 0;
            fx.push_back(sp ? specials[rng.bits() % 8] : rng.next<float>(-50, 50));
            fy.push_back(sp ? specials[rng.bits() % 8] : rng.next<float>(-50, 50));
            sx.push_back(rng.any<i16>());
            sy.push_back(i16(rng.next<int>(-40, 40)));
        }
        std::vector<u8> buf(buffer_size(w, h)), a(std::size_t(w) * h), b(a.size());
        auto both = [&](auto fn) {
            fn(qpx::Path::Scalar, a.data());
            fn(qpx::Path::Vector, b.data());
            EXPECT_EQ(a, b) << "width " << w;
        };
        using qpx::feature::canny_deriv;
        both([&](qpx::Path p, u8* d) {
            canny_deriv<float, float, EdgeMag::L1>(p, fx.data(), 4 * w, fy.data(), 4 * w, d, w, w,
                                                   h, EdgeThresholds<float>{5, 20, true},
                                                   buf.data());
        });
        both([&](qpx::Path p, u8* d) {
            canny_deriv<float, float, EdgeMag::L2Square>(p, fx.data(), 4 * w, fy.data(), 4 * w, d,
                                                         w, w, h, {25, 900, false}, buf.data());
        });
        both([&](qpx::Path p, u8* d) {
            canny_deriv<i16, std::int32_t, EdgeMag::L1>(p, sx.data(), 2 * w, sy.data(), 2 * w, d, w,
                                                        w, h, {2000, 20000, false}, buf.data());
        });
        both([&](qpx::Path p, u8* d) {
            canny_deriv<i16, std::int32_t, EdgeMag::L2Square>(p, sx.data(), 2 * w, sy.data(), 2 * w,
                                                              d, w, w, h, {1 << 20, 1 << 28, false},
                                                              buf.data());
        });
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
        {S16, 10, 10.5f, 15, true, false},
        {S16L_L1, 11, 10.9f, 15, true, true},
        {F32L_L2, 10, 10, 15, true, false},
        {F32L_L2, 10.5f, 10.4f, 15, true, true},
        {S16L_L2, 10, 9.99f, 15, true, true},    // 100 > trunc(99.8)
        {S16L_L2, 10, 10.01f, 15, true, false},  // 100 = trunc(100.2)
        // A magnitude equal to the high threshold is a candidate but not a seed.
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
        std::vector<u8> dst(w * h, 1), buf(buffer_size(w, h));
        ASSERT_EQ(call(r.form, d, dst.data(), w, {w, h}, r.low, r.high, buf.data()), qpxStatusOk);
        EXPECT_EQ(dst[2 * w + 1] == 255, r.aEdge) << r.form << " low " << r.low;
        EXPECT_EQ(dst[2 * w + 2] == 255, r.bEdge) << r.form << " low " << r.low;
    }
}

TEST(CannyDeriv, SizeQueries) {
    const long long rows[][3] = {
        {1, 1, 16 * 7 + 5 * 9 + 64},
        {640, 480, 16 * 646 + 5LL * 642 * 482 + 64},
        {65532, 3, 16 * 65538 + 5LL * 65534 * 5 + 64},
        {65533, 3, 16 * 65539 + 9LL * 65535 * 5 + 64},
        {3, 65533, 16 * 9 + 9LL * 5 * 65535 + 64},
        {100000, 100000, 16 * 100000 + 160 + 9LL * 100002 * 100002},  // wraps in 32 bits
    };
    for (auto& r : rows) {
        int s = 0;
        std::int64_t sl = 0;
        ASSERT_EQ(qpxiCannyGetSize({int(r[0]), int(r[1])}, &s), qpxStatusOk);
        ASSERT_EQ(qpxiCannyGetSize_L({r[0], r[1]}, &sl), qpxStatusOk);
        EXPECT_EQ(s, int(std::uint32_t(r[2])));
        EXPECT_EQ(sl, r[2]);
    }
    int s = 0;
    std::int64_t sl = 0;
    EXPECT_EQ(qpxiCannyGetSize({0, 5}, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiCannyGetSize({0, 5}, &s), qpxStatusBadSize);
    EXPECT_EQ(qpxiCannyGetSize_L({1LL << 31, 0}, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiCannyGetSize_L({-1, 1LL << 31}, &sl), qpxStatusSizeTooLarge);
    EXPECT_EQ(qpxiCannyGetSize_L({-1, 5}, &sl), qpxStatusBadSize);
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
    const qpxStatus N = qpxStatusNullPointer, Z = qpxStatusBadSize, S = qpxStatusBadStep,
                    M = qpxStatusStepNotMultiple, A = qpxStatusBadArgument,
                    T = qpxStatusSizeTooLarge, R = qpxStatusBadNorm, K = qpxStatusOk;
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
            const bool s = is16(form);
            // Images with 32 spare bytes a row; the valid step leaves 16 of them unused.
            Deriv d(form, Vec(w * h, 1.0f), Vec(w * h, 2.0f), w, h, Place::End, s ? 32 : 16);
            const long long valid = w * (s ? 2 : 4) + 16;
            GuardedImage<u8> dst(w, h, 1, 8);
            std::vector<u8> buf(buffer_size(w, h), 0xAB);
            const auto before = dst.snapshot();
            const void* dx = s ? (const void*)d.sx.roi() : d.fx.roi();
            const void* dy = s ? (const void*)d.sy.roi() : d.fy.roi();
            qpxStatus st = call_raw(
                form, r.null == 0 ? nullptr : dx, valid + r.dxd, r.null == 1 ? nullptr : dy,
                valid + r.dyd, r.null == 2 ? nullptr : dst.roi(), r.dsts ? r.dsts : dst.step(),
                {r.w ? r.w : w, r.h ? r.h : h}, r.low, r.high, r.norm ? r.norm : normOf(form),
                r.null == 3 ? nullptr : buf.data());
            EXPECT_EQ(st, expect) << r.what << ", form " << form;
            if (st != qpxStatusOk) {
                EXPECT_EQ(dst.snapshot(), before) << r.what;
                EXPECT_EQ(std::count(buf.begin(), buf.end(), 0xAB), long(buf.size())) << r.what;
            }
        }
}

// Dense candidates (every pixel of alternate rows seeds, half of the rows between join), and
// ROIs on both sides of the switch to wide stack entries, with exactly sized buffers.
TEST(CannyDeriv, DenseAndWideStayInBuffer) {
    for (Place place : {Place::Begin, Place::End}) {
        const int w = 37, h = 29;
        Vec dx, dy;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                dx.push_back(y % 2 ? 0.0f : (x % 2 ? 30.0f : 5.0f));
                dy.push_back(y % 2 ? 100.0f : 0.0f);
            }
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

}  // namespace
