// Peak finding against a direct scan, scalar against vector, plateaus and capacity, argument
// checks in order, and reads confined to the ROI.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <tuple>
#include <type_traits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "feature/peaks.hpp"

using namespace qpxtest;
using qpx::feature::find_peaks3x3;

namespace {

template <class T>
std::vector<qpxPoint> reference(const GuardedImage<T>& img, T thr, int norm, int border, int cap) {
    std::vector<qpxPoint> out;
    for (int y = border; y < img.height() - border && int(out.size()) < cap; ++y)
        for (int x = border; x < img.width() - border && int(out.size()) < cap; ++x) {
            const double v = img.at(x, y);
            double mx = v, mn = v;
            for (int d = 0; d < 9; ++d)
                if (norm == 0 || d % 2 == 1) {  // odd d: the cross neighbours
                    mx = std::max(mx, double(img.at(x + d % 3 - 1, y + d / 3 - 1)));
                    mn = std::min(mn, double(img.at(x + d % 3 - 1, y + d / 3 - 1)));
                }
            if (std::fabs(v) > double(thr) && v == (v > 0 ? mx : mn)) out.push_back({x, y});
        }
    return out;
}

template <class T>
class Peaks : public ::testing::Test {};
using Types = ::testing::Types<float, std::int32_t>;
TYPED_TEST_SUITE(Peaks, Types);

// The kernel of one target, or the export (nullopt) for the element type.
template <class T>
void find(std::optional<qpx::Target> target, const GuardedImage<T>& img, T thr, qpxPoint* pk,
          int cap, int* n, int norm, int border) {
    std::uint8_t buf[1];  // the finder keeps no state in its buffer
    if (target)
        find_peaks3x3<T>(*target, img.view(), thr, pk, cap, n, norm, border);
    else if constexpr (std::is_same_v<T, float>)
        ASSERT_EQ(qpxiFindPeaks3x3_32f_C1R(img.roi(), img.step(), img.size(), thr, pk, cap, n, norm,
                                           border, buf),
                  qpxStatusOk);
    else
        ASSERT_EQ(qpxiFindPeaks3x3_32s_C1R(img.roi(), img.step(), img.size(), thr, pk, cap, n, norm,
                                           border, buf),
                  qpxStatusOk);
}

// The export, the scalar target and every vector target.
std::vector<std::optional<qpx::Target>> finders() {
    std::vector<std::optional<qpx::Target>> f{std::nullopt, qpx::Target::Scalar};
    for (qpx::Target t : vector_targets()) f.push_back(t);
    return f;
}

// Values from a small set make plateaus (every plateau pixel is a peak, in row-major order) and
// ties common; both signs exercise the minimum rule; capacity 1 keeps the first peak.
TYPED_TEST(Peaks, MatchesDirectScanOnEveryTarget) {
    using T = TypeParam;
    Random rnd(7);
    for (int w : {3, 9, 17, 33, 40})
        for (int h : {3, 8})
            for (Place place : {Place::Begin, Place::End}) {
                GuardedImage<T> img(w, h, 1, 0, place);
                img.fill([&] { return T(rnd.next<int>(-3, 3)); });
                for (int norm : {0, 1})
                    for (int border = 1; border <= std::min(w, h) / 2; ++border)
                        for (int cap : {1, 3, 1000})
                            for (T thr : {T(-1), T(0), T(2)}) {
                                const auto ref = reference(img, thr, norm, border, cap);
                                for (const auto& path : finders()) {
                                    std::vector<qpxPoint> got(cap);
                                    int n = -1;
                                    find<T>(path, img, thr, got.data(), cap, &n, norm, border);
                                    ASSERT_EQ(n, int(ref.size()));
                                    for (int i = 0; i < n; ++i)
                                        ASSERT_TRUE(got[i].x == ref[i].x && got[i].y == ref[i].y);
                                }
                            }
            }
    // |INT_MIN| exceeds every threshold.
    if constexpr (std::is_same_v<T, std::int32_t>) {
        GuardedImage<T> ints(9, 3);
        ints.fill([] { return 0; });
        ints.at(2, 1) = INT32_MIN;
        ints.at(6, 1) = INT32_MAX;
        for (const auto& path : finders()) {
            qpxPoint pk[4];
            int n = 0;
            find<T>(path, ints, INT32_MAX - 1, pk, 4, &n, 0, 1);
            EXPECT_TRUE(n == 2 && pk[0].x == 2 && pk[1].x == 6);
        }
    }
}

// The border width fits twice into both sides of the ROI; the rest of the checks are the generic
// argument test's.
TEST(Peaks, BorderWidthAndBufferSizes) {
    GuardedImage<float> img(8, 6);
    qpxPoint pk[2] = {{7, 7}, {7, 7}};
    int n = 42;
    std::uint8_t b[4];
    for (auto [roi, border, want] : {std::tuple{qpxSize{8, 6}, 5, qpxStatusBadSize},
                                     {qpxSize{8, 6}, 4, qpxStatusBadSize},
                                     {qpxSize{6, 8}, 4, qpxStatusBadSize},
                                     {qpxSize{8, 6}, 3, qpxStatusOk},
                                     {qpxSize{6, 8}, 3, qpxStatusOk}}) {
        EXPECT_EQ(qpxiFindPeaks3x3_32f_C1R(img.roi(), 32, roi, 0.5f, pk, 2, &n, 0, border, b),
                  want);
        EXPECT_EQ(qpxiFindPeaks3x3_32s_C1R(reinterpret_cast<const std::int32_t*>(img.roi()), 32,
                                           roi, 1, pk, 2, &n, 0, border, b),
                  want);
    }
    int size = -1;
    for (auto [w, v] : {std::pair{1, 160}, {3, 288}, {5, 288}, {100, 3360}}) {
        ASSERT_EQ(qpxiFindPeaks3x3GetBufferSize_32f_C1R(w, &size), qpxStatusOk);
        EXPECT_EQ(size, v);
        ASSERT_EQ(qpxiFindPeaks3x3GetBufferSize_32s_C1R(w, &size), qpxStatusOk);
        EXPECT_EQ(size, v);
    }
}

}  // namespace
