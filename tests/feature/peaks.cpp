// Peak finding: a direct reference scan, scalar against vector, capacity and plateau rules,
// argument checks in their order, and reads confined to the ROI.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "common/guard.hpp"
#include "feature/peaks.hpp"

using namespace qpxtest;

namespace {

template <class T>
std::vector<qpxPoint> reference(const GuardedImage<T>& img, T threshold, int norm, int border,
                                int cap) {
    std::vector<qpxPoint> out;
    for (int y = border; y < img.height() - border; ++y)
        for (int x = border; x < img.width() - border; ++x) {
            const double v = img.at(x, y);
            if (!(std::fabs(v) > double(threshold))) continue;
            double mx = v, mn = v;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if (norm == 1 && dx != 0 && dy != 0) continue;
                    mx = std::max(mx, double(img.at(x + dx, y + dy)));
                    mn = std::min(mn, double(img.at(x + dx, y + dy)));
                }
            const bool peak =
                v > 0 ? std::fabs(v - mx) <= 1.1754944e-38 : std::fabs(v - mn) <= 1.1754944e-38;
            if (!peak) continue;
            out.push_back({x, y});
            if (int(out.size()) == cap) return out;
        }
    return out;
}

template <class T>
qpxStatus call(const T* src, int step, qpxSize roi, T thr, qpxPoint* pk, int cap, int* n, int norm,
               int border, std::uint8_t* buf);
template <>
qpxStatus call<float>(const float* src, int step, qpxSize roi, float thr, qpxPoint* pk, int cap,
                      int* n, int norm, int border, std::uint8_t* buf) {
    return qpxiFindPeaks3x3_32f_C1R(src, step, roi, thr, pk, cap, n, norm, border, buf);
}
template <>
qpxStatus call<std::int32_t>(const std::int32_t* src, int step, qpxSize roi, std::int32_t thr,
                             qpxPoint* pk, int cap, int* n, int norm, int border,
                             std::uint8_t* buf) {
    return qpxiFindPeaks3x3_32s_C1R(src, step, roi, thr, pk, cap, n, norm, border, buf);
}

template <class T>
class Peaks : public ::testing::Test {};
using Types = ::testing::Types<float, std::int32_t>;
TYPED_TEST_SUITE(Peaks, Types);

// Values from a small set make plateaus and ties common; both signs exercise the minimum rule.
TYPED_TEST(Peaks, MatchesReferenceOnBothPaths) {
    using T = TypeParam;
    Random rnd(7);
    for (int w : {3, 4, 9, 17, 33}) {
        for (int h : {3, 5, 8}) {
            for (Place place : {Place::Begin, Place::End}) {
                GuardedImage<T> img(w, h, 1, 0, place);
                img.fill([&] { return T(rnd.next<int>(-3, 3)); });
                for (int norm : {0, 1})
                    for (int border = 1; border <= std::min(w, h) / 2; ++border)
                        for (int cap : {1, 3, 1000})
                            for (T thr : {T(-1), T(0), T(2)}) {
                                auto ref = reference(img, thr, norm, border, cap);
                                for (qpx::Path path : {qpx::Path::Scalar, qpx::Path::Vector}) {
                                    std::vector<qpxPoint> got(cap, qpxPoint{-1, -1});
                                    int n = -1;
                                    qpx::feature::find_peaks3x3<T>(path, img.roi(), img.step(),
                                                                   img.size(), thr, got.data(), cap,
                                                                   &n, norm, border);
                                    ASSERT_EQ(n, int(ref.size())) << w << "x" << h;
                                    for (int i = 0; i < n; ++i) {
                                        ASSERT_EQ(got[i].x, ref[i].x);
                                        ASSERT_EQ(got[i].y, ref[i].y);
                                    }
                                }
                                // The export runs the same scan on the same guarded image.
                                std::vector<qpxPoint> got(cap);
                                int n = -1;
                                std::uint8_t buf[1];
                                ASSERT_EQ(call<T>(img.roi(), img.step(), img.size(), thr,
                                                  got.data(), cap, &n, norm, border, buf),
                                          qpxStatusOk);
                                ASSERT_EQ(n, int(ref.size()));
                            }
            }
        }
    }
}

TEST(Peaks, PlateauAndCapacity) {
    // A 2x2 plateau of 5 on a zero background, inside a 12x6 image: every plateau pixel is a
    // peak in row-major order; a capacity of 1 returns the first one.
    GuardedImage<float> img(12, 6);
    img.fill([] { return 0.0f; });
    for (int y = 2; y <= 3; ++y)
        for (int x = 8; x <= 9; ++x) img.at(x, y) = 5.0f;
    qpxPoint pk[8];
    int n = 0;
    std::uint8_t buf[1];
    ASSERT_EQ(
        qpxiFindPeaks3x3_32f_C1R(img.roi(), img.step(), img.size(), 1.0f, pk, 8, &n, 0, 1, buf),
        qpxStatusOk);
    ASSERT_EQ(n, 4);
    const qpxPoint want[] = {{8, 2}, {9, 2}, {8, 3}, {9, 3}};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(pk[i].x == want[i].x && pk[i].y == want[i].y);
    ASSERT_EQ(
        qpxiFindPeaks3x3_32f_C1R(img.roi(), img.step(), img.size(), 1.0f, pk, 1, &n, 0, 1, buf),
        qpxStatusOk);
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(pk[0].x == 8 && pk[0].y == 2);
}

TEST(Peaks, Int32Extremes) {
    // |INT_MIN| exceeds every threshold; a negative pixel is a peak at its neighbourhood minimum.
    GuardedImage<std::int32_t> img(9, 3);
    img.fill([] { return 0; });
    img.at(2, 1) = INT32_MIN;
    img.at(6, 1) = INT32_MAX;
    for (qpx::Path path : {qpx::Path::Scalar, qpx::Path::Vector}) {
        qpxPoint pk[4];
        int n = 0;
        qpx::feature::find_peaks3x3<std::int32_t>(path, img.roi(), img.step(), img.size(),
                                                  INT32_MAX - 1, pk, 4, &n, 0, 1);
        ASSERT_EQ(n, 2);
        EXPECT_TRUE(pk[0].x == 2 && pk[1].x == 6);
    }
}

TEST(Peaks, ArgumentChecksInOrder) {
    GuardedImage<float> img(8, 6);
    img.fill([] { return 1.0f; });
    qpxPoint pk[2] = {{7, 7}, {7, 7}};
    int n = 42;
    std::uint8_t buf[4];
    struct Case {
        const float* src;
        int step;
        qpxSize roi;
        qpxPoint* pk;
        int cap;
        int* n;
        int norm, border;
        std::uint8_t* buf;
        qpxStatus want;
    };
    const float* s = img.roi();
    const int st = img.step();
    const Case cases[] = {
        {nullptr, st, {0, 0}, pk, 2, &n, 0, 1, buf, qpxStatusNullPointer},
        {s, st, {0, 0}, pk, 2, &n, 0, 1, nullptr, qpxStatusNullPointer},
        {s, st, {8, 6}, nullptr, 2, &n, 0, 1, buf, qpxStatusNullPointer},
        {s, st, {8, 6}, pk, 2, nullptr, 0, 1, buf, qpxStatusNullPointer},
        {s, -4, {0, 6}, pk, 2, &n, 7, 1, buf, qpxStatusBadSize},
        {s, -4, {8, 6}, pk, 0, &n, 7, 1, buf, qpxStatusBadSize},
        {s, -4, {8, 6}, pk, 2, &n, 7, 0, buf, qpxStatusBadSize},
        {s, -4, {8, 6}, pk, 2, &n, 7, 5, buf, qpxStatusBadSize},  // more than half the width
        {s, -4, {8, 6}, pk, 2, &n, 7, 4, buf, qpxStatusBadSize},  // more than half the height
        {s, 31, {8, 6}, pk, 2, &n, 7, 3, buf, qpxStatusBadStep},
        {s, -4, {8, 6}, pk, 2, &n, 7, 3, buf, qpxStatusBadStep},
        {s, 34, {8, 6}, pk, 2, &n, 7, 3, buf, qpxStatusStepNotMultiple},
        {s, st, {8, 6}, pk, 2, &n, 2, 3, buf, qpxStatusBadArgument},
        {s, st, {8, 6}, pk, 2, &n, -1, 3, buf, qpxStatusBadArgument},
        {s, st, {8, 6}, pk, 2, &n, 1, 3, buf, qpxStatusOk},
    };
    for (const Case& c : cases) {
        n = 42;
        pk[0] = {7, 7};
        EXPECT_EQ(qpxiFindPeaks3x3_32f_C1R(c.src, c.step, c.roi, 0.5f, c.pk, c.cap, c.n, c.norm,
                                           c.border, c.buf),
                  c.want);
        if (c.want != qpxStatusOk) {
            EXPECT_EQ(n, 42);
            EXPECT_EQ(pk[0].x, 7);
        }
    }
    // The int32 form shares the checks.
    EXPECT_EQ(qpxiFindPeaks3x3_32s_C1R(nullptr, 32, {8, 6}, 0, pk, 2, &n, 0, 1, buf),
              qpxStatusNullPointer);
    EXPECT_EQ(qpxiFindPeaks3x3_32s_C1R(reinterpret_cast<const std::int32_t*>(s), 32, {8, 6}, 0, pk,
                                       2, &n, 3, 1, buf),
              qpxStatusBadArgument);
}

TEST(Peaks, BufferSize) {
    int size = -1;
    const std::pair<int, int> want[] = {{1, 160}, {3, 288}, {4, 288}, {5, 288}, {100, 3360}};
    for (auto [w, v] : want) {
        ASSERT_EQ(qpxiFindPeaks3x3GetBufferSize_32f_C1R(w, &size), qpxStatusOk);
        EXPECT_EQ(size, v) << w;
        ASSERT_EQ(qpxiFindPeaks3x3GetBufferSize_32s_C1R(w, &size), qpxStatusOk);
        EXPECT_EQ(size, v) << w;
    }
    EXPECT_EQ(qpxiFindPeaks3x3GetBufferSize_32f_C1R(0, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiFindPeaks3x3GetBufferSize_32s_C1R(4, nullptr), qpxStatusNullPointer);
}

}  // namespace
