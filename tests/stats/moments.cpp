// Means, standard deviations and extrema against references written out here, every vector
// target against the scalar one, and the rules of the exports: empty masks, warnings, null
// outputs and the channel of interest.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "stats/moments.hpp"

namespace {

using qpx::Target;
using qpx::View;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u64 = std::uint64_t;

bool same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// ---- references ----------------------------------------------------------------------------

template <class T>
bool on(View<const u8> m, int x, int y) {
    return m.data == nullptr || m.row(y)[x] != 0;
}

// Integer sums exact per row, added into double totals; 32f in 8 double accumulators by x mod 8.
template <class T>
qpx::stats::Sums ref_sums(View<const T> s, View<const u8> m) {
    qpx::stats::Sums r;
    for (int y = 0; y < s.height; ++y) {
        if constexpr (std::is_same_v<T, float>) {
            double a[8] = {}, b[8] = {};
            for (int x = 0; x < s.width; ++x) {
                if (!on<T>(m, x, y)) continue;
                const float v = s.row(y)[x * s.channels];
                a[x % 8] += double(v);
                b[x % 8] += double(v * v);
                ++r.n;
            }
            r.s += ((a[0] + a[4]) + (a[1] + a[5])) + ((a[2] + a[6]) + (a[3] + a[7]));
            r.q += ((b[0] + b[4]) + (b[1] + b[5])) + ((b[2] + b[6]) + (b[3] + b[7]));
        } else {
            u64 sum = 0, sq = 0;
            for (int x = 0; x < s.width; ++x) {
                if (!on<T>(m, x, y)) continue;
                const u64 v = s.row(y)[x * s.channels];
                sum += v, sq += v * v, ++r.n;
            }
            r.s += double(sum), r.q += double(sq);
        }
    }
    return r;
}

template <class T>
qpx::stats::MeanStdDev ref_mean_stddev(View<const T> s, View<const u8> m) {
    const qpx::stats::Sums t = ref_sums(s, m);
    qpx::stats::MeanStdDev r;
    if (t.n == 0) return r;
    const double inv = 1.0 / double(t.n);
    r.mean = t.s * inv;
    r.stddev = std::sqrt(std::fabs(t.q * inv - r.mean * r.mean));
    if (std::is_same_v<T, float> && r.stddev * r.stddev < 0.05 * (r.mean * r.mean)) {
        const float mf = float(r.mean);
        float d = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                if (on<T>(m, x, y)) {
                    const float diff = float(s.row(y)[x * s.channels]) - mf;
                    d += diff * diff;
                }
        r.stddev = std::sqrt(double(d) / double(t.n));
    }
    return r;
}

// The first occurrence of each extremum in row-major order; NaNs never count.
template <class T>
qpx::stats::MinMax ref_min_max(View<const T> s, View<const u8> m) {
    qpx::stats::MinMax r;
    bool haveMin = false, haveMax = false;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            if (!on<T>(m, x, y)) continue;
            r.any = true;
            const float v = float(s.row(y)[x * s.channels]);
            if (v != v) continue;
            if (!haveMin || v < r.min) r.min = v, r.minAt = {x, y}, haveMin = true;
            if (!haveMax || v > r.max) r.max = v, r.maxAt = {x, y}, haveMax = true;
        }
    return r;
}

// ---- every target against the references ---------------------------------------------------

template <class T>
T pixel(qpxtest::Random& r, bool narrow) {
    if constexpr (std::is_same_v<T, float>) {
        const std::uint32_t b = r.bits();
        if (b % 97 == 0) return std::numeric_limits<float>::quiet_NaN();
        if (b % 89 == 0) return -0.0f;
        return narrow ? 1000.0f + r.next<float>(0, 0.01) : r.next<float>(-1000.0, 1000.0);
    } else {
        return narrow ? T(r.bits() % 4) : r.any<T>();
    }
}

struct Case {
    int width, height, channels, pad;
    Place place;
    bool masked, narrow;
};

template <class T>
void check_targets(const Case& c) {
    qpxtest::Random rnd(u64(c.width) * 31 + c.channels);
    const int elem = int(sizeof(T));
    GuardedImage<T> img(c.width, c.height, c.channels, c.pad * elem, c.place);
    GuardedImage<u8> mask(c.width, c.height, 1, c.pad, c.place);
    img.fill([&] { return pixel<T>(rnd, c.narrow); });
    mask.fill([&] { return u8(rnd.bits() % 3 == 0 ? 0 : rnd.bits()); });
    const View<const u8> mv = c.masked ? View<const u8>(mask.view()) : View<const u8>();
    std::vector<Target> targets = qpxtest::vector_targets();
    targets.insert(targets.begin(), Target::Scalar);
    for (int coi = 0; coi < c.channels; ++coi) {
        const View<const T> sv(img.roi() + coi, img.step(), c.width, c.height, c.channels);
        const auto want = ref_mean_stddev(sv, mv);
        const auto wantMm = ref_min_max(sv, mv);
        const qpx::stats::Sums ws = ref_sums(sv, mv);
        for (Target t : targets) {
            SCOPED_TRACE(testing::Message() << "target " << int(t) << " width " << c.width
                                            << " coi " << coi << " masked " << c.masked);
            const auto got = qpx::stats::mean_stddev<T>(t, sv, mv);
            EXPECT_TRUE(same(got.mean, want.mean)) << got.mean << " vs " << want.mean;
            EXPECT_TRUE(same(got.stddev, want.stddev)) << got.stddev << " vs " << want.stddev;
            const double m = qpx::stats::mean<T>(t, sv, mv);
            EXPECT_TRUE(same(m, ws.n ? ws.s / double(ws.n) : 0.0));
            const auto mm = qpx::stats::min_max<T>(t, sv, mv);
            EXPECT_EQ(mm.any, wantMm.any);
            EXPECT_TRUE(qpxtest::same_bits(mm.min, wantMm.min)) << mm.min << " " << wantMm.min;
            EXPECT_TRUE(qpxtest::same_bits(mm.max, wantMm.max)) << mm.max << " " << wantMm.max;
            EXPECT_EQ(mm.minAt.x, wantMm.minAt.x);
            EXPECT_EQ(mm.minAt.y, wantMm.minAt.y);
            EXPECT_EQ(mm.maxAt.x, wantMm.maxAt.x);
            EXPECT_EQ(mm.maxAt.y, wantMm.maxAt.y);
        }
    }
}

class Moments : public testing::TestWithParam<Case> {};

TEST_P(Moments, EveryTargetMatchesTheReference) {
    check_targets<u8>(GetParam());
    check_targets<u16>(GetParam());
    check_targets<float>(GetParam());
}

std::vector<Case> cases() {
    std::vector<Case> v;
    for (int w : qpxtest::test_widths())
        for (int ch : {1, 3})
            for (bool masked : {false, true}) {
                v.push_back({w, 1 + w % 4, ch, 0, Place::End, masked, false});
                v.push_back({w + 64, 3, ch, 3, Place::Begin, masked, w % 2 == 0});
            }
    // Rows long enough to flush the 32-bit square sums of the 8u vector paths several times.
    v.push_back({1 << 20 | 13, 2, 1, 0, Place::End, false, false});
    v.push_back({1 << 20 | 13, 2, 1, 0, Place::Begin, true, false});
    return v;
}
INSTANTIATE_TEST_SUITE_P(Layouts, Moments, testing::ValuesIn(cases()));

// ---- the exports ---------------------------------------------------------------------------

TEST(Moments, FullRowsOfTheLargestValueStayExact) {
    // Long rows of 255 fill the 32-bit square sums of the vector paths fastest.
    GuardedImage<u8> img((1 << 21) + 5, 2);
    img.fill([] { return u8(255); });
    std::vector<Target> targets = qpxtest::vector_targets();
    targets.push_back(Target::Scalar);
    for (Target t : targets) {
        const auto r = qpx::stats::mean_stddev<u8>(t, img.view(), {});
        EXPECT_EQ(r.mean, 255.0) << int(t);
        EXPECT_EQ(r.stddev, 0.0) << int(t);
    }
}

TEST(Moments, SmallSpreadAroundALargeMeanTakesTheSecondPass) {
    GuardedImage<float> img(37, 5);
    qpxtest::Random rnd(3);
    img.fill([&] { return 1000.0f + rnd.next<float>(0, 0.001); });
    double mean = 0, sd = 0;
    ASSERT_EQ(qpxiMean_StdDev_32f_C1R(img.roi(), img.step(), img.size(), &mean, &sd), qpxStatusOk);
    const auto want = ref_mean_stddev<float>(img.view(), {});
    EXPECT_TRUE(same(mean, want.mean));
    EXPECT_TRUE(same(sd, want.stddev));
    // The one-pass value differs: the second pass is what came back.
    const auto s = ref_sums<float>(img.view(), {});
    const double inv = 1.0 / double(s.n);
    EXPECT_NE(sd, std::sqrt(std::fabs(s.q * inv - (s.s * inv) * (s.s * inv))));
}

TEST(Moments, ConstantImagesAndEmptyMasks) {
    GuardedImage<u8> img(13, 4), mask(13, 4);
    img.fill([] { return u8(77); });
    mask.fill([] { return u8(0); });
    double mean = -1, sd = -1;
    EXPECT_EQ(qpxiMean_StdDev_8u_C1R(img.roi(), img.step(), img.size(), &mean, &sd), qpxStatusOk);
    EXPECT_EQ(mean, 77.0);
    EXPECT_EQ(sd, 0.0);
    EXPECT_EQ(qpxiMean_8u_C1MR(img.roi(), img.step(), mask.roi(), mask.step(), img.size(), &mean),
              qpxStatusOk);
    EXPECT_EQ(mean, 0.0);
    mean = sd = -1;
    EXPECT_EQ(qpxiMean_StdDev_8u_C1MR(img.roi(), img.step(), mask.roi(), mask.step(), img.size(),
                                      &mean, &sd),
              qpxStatusOk);
    EXPECT_EQ(mean, 0.0);
    EXPECT_EQ(sd, 0.0);
    // Null outputs are skipped, not refused.
    EXPECT_EQ(qpxiMean_StdDev_8u_C1R(img.roi(), img.step(), img.size(), nullptr, nullptr),
              qpxStatusOk);
    EXPECT_EQ(qpxiMean_8u_C1MR(img.roi(), img.step(), mask.roi(), mask.step(), img.size(), nullptr),
              qpxStatusNullPointer);
}

TEST(Moments, MinMaxFindsTheFirstOccurrence) {
    const u8 px[] = {3, 1, 1, 1, 0, 0};
    float mn = -1, mx = -1;
    qpxPoint a{-1, -1}, b{-1, -1};
    ASSERT_EQ(qpxiMinMaxIndx_8u_C1R(px, 3, {3, 2}, &mn, &mx, &a, &b), qpxStatusOk);
    EXPECT_EQ(mn, 0.0f);
    EXPECT_EQ(mx, 3.0f);
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(a.y, 1);
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 0);
    // A later row with an equal extremum does not move the position; a masked-off smaller
    // value is not seen.
    const float f[] = {5, 2, 9, 2, -4, 9};
    const u8 m[] = {1, 1, 1, 1, 0, 1};
    ASSERT_EQ(qpxiMinMaxIndx_32f_C1MR(f, 12, m, 3, {3, 2}, &mn, &mx, &a, &b), qpxStatusOk);
    EXPECT_EQ(mn, 2.0f);
    EXPECT_EQ(mx, 9.0f);
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(b.x, 2);
    EXPECT_EQ(b.y, 0);
}

TEST(Moments, MaskedMinMaxWarnsWhenNothingIsSelected) {
    GuardedImage<float> img(6, 3);
    GuardedImage<u8> mask(6, 3);
    img.fill([] { return 0.0f; });
    mask.fill([] { return u8(0); });
    float mn = -1, mx = -1;
    qpxPoint a{-1, -1}, b{-1, -1};
    auto run = [&](float* p, float* q, qpxPoint* r, qpxPoint* s) {
        return qpxiMinMaxIndx_32f_C1MR(img.roi(), img.step(), mask.roi(), mask.step(), img.size(),
                                       p, q, r, s);
    };
    EXPECT_EQ(run(&mn, &mx, &a, &b), qpxStatusNoPixelsWarning);
    EXPECT_EQ(mn, 0.0f);
    EXPECT_EQ(mx, 0.0f);
    EXPECT_EQ(a.x | a.y | b.x | b.y, 0);
    EXPECT_EQ(run(&mn, nullptr, nullptr, nullptr), qpxStatusNoPixelsWarning);
    EXPECT_EQ(run(nullptr, nullptr, nullptr, &b), qpxStatusNoPixelsWarning);
    EXPECT_EQ(run(nullptr, nullptr, nullptr, nullptr), qpxStatusNoPixelsWarning);
    // The only selected pixel is (0, 0), holding 0: found, so no warning...
    mask.at(0, 0) = 1;
    EXPECT_EQ(run(&mn, &mx, &a, &b), qpxStatusOk);
    EXPECT_EQ(run(&mn, nullptr, nullptr, nullptr), qpxStatusOk);
    // ...except with nothing asked for.
    EXPECT_EQ(run(nullptr, nullptr, nullptr, nullptr), qpxStatusNoPixelsWarning);
    // The unmasked forms never warn.
    EXPECT_EQ(qpxiMinMaxIndx_32f_C1R(img.roi(), img.step(), img.size(), nullptr, nullptr, nullptr,
                                     nullptr),
              qpxStatusOk);
}

TEST(Moments, ChannelOfInterest) {
    GuardedImage<u16> img(5, 2, 3);
    GuardedImage<u8> mask(5, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) {
            for (int c = 0; c < 3; ++c) img.at(x, y, c) = u16(1000 * (c + 1) + x);
            mask.at(x, y) = x < 4;
        }
    double mean = 0;
    ASSERT_EQ(
        qpxiMean_16u_C3CMR(img.roi(), img.step(), mask.roi(), mask.step(), img.size(), 3, &mean),
        qpxStatusOk);
    EXPECT_EQ(mean, 3001.5);
    float mn = 0, mx = 0;
    qpxPoint a, b;
    ASSERT_EQ(qpxiMinMaxIndx_16u_C3CR(img.roi(), img.step(), img.size(), 2, &mn, &mx, &a, &b),
              qpxStatusOk);
    EXPECT_EQ(mn, 2000.0f);
    EXPECT_EQ(mx, 2004.0f);
    for (int coi : {0, 4})
        EXPECT_EQ(qpxiMean_16u_C3CMR(img.roi(), img.step(), mask.roi(), mask.step(), img.size(),
                                     coi, &mean),
                  qpxStatusBadCoi);
}

}  // namespace
