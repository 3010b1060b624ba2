// The corner measures' acceptance rules that involve more than one argument, their border codes,
// and the buffer-size queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "common/guard.hpp"
#include "feature/corner.hpp"

using namespace qpxtest;
using u8 = std::uint8_t;
using Cases = std::vector<std::pair<qpxStatus, qpxStatus>>;  // (returned, expected)

namespace {

constexpr int W = 8, H = 6;
const qpxSize roi{W, H};

// Sources with margins for the in-memory codes; outputs and buffer that failures must not touch.
struct Fixture {
    GuardedImage<float> src{W, H, 1, 0, Place::End, Margins{4, 4, 4, 4}}, dst{W, H, 6};
    GuardedImage<u8> src8{W, H, 1, 0, Place::End, Margins{4, 4, 4, 4}}, feature{W, H}, dst8{W, H};
    GuardedBuffer buf{1 << 16};
    std::vector<u8> state() const {
        std::vector<u8> s = dst.snapshot(), b = dst8.snapshot();
        s.insert(s.end(), b.begin(), b.end());
        s.insert(s.end(), buf.data(), buf.data() + buf.size());
        return s;
    }
    // Runs the failing cases first and checks that they left everything as it was.
    void check(const Cases& failing, const Cases& passing) const {
        const std::vector<u8> before = state();
        for (std::size_t i = 0; i < failing.size(); ++i)
            EXPECT_EQ(failing[i].first, failing[i].second) << "failing case " << i;
        EXPECT_TRUE(before == state()) << "a failed call wrote";
        for (std::size_t i = 0; i < passing.size(); ++i)
            EXPECT_EQ(passing[i].first, qpxStatusOk) << "passing case " << i;
    }
};

// Pointers, sizes, steps, the check order and "nothing written" are the generic argument test's;
// here are the acceptance rules that depend on more than one argument, and the border codes.
TEST(CornerChecks, AcceptanceRules) {
    Fixture f;
    const float* s = f.src.roi();
    const u8 *s8 = f.src8.roi(), *ft = f.feature.roi();
    float* d = f.dst.roi();
    u8 *d8 = f.dst8.roi(), *b = f.buf.data();
    const int ss = f.src.step(), ds = W * 4, st = W * 24;
    auto mb = [&](int kern, int ap, std::uint32_t border) {
        return qpxiMinEigenValBorder_32f_C1R(s, ss, d, ds, roi, kern, ap, 3, border, 0, b);
    };
    auto h = [&](int type, int mask, std::uint32_t border) {
        return qpxiHarrisCorner_32f_C1R(s, ss, d, st, roi, type, mask, 1, 0.04f, 1.0f, border, 0.0f,
                                        b);
    };
    auto ls = [&](int type, int mask, std::uint32_t border) {
        return qpxiLineSuppression_8u_C1R(s8, W, ft, W, d8, W, roi, type, mask, 3, 10.0f, border, 0,
                                          b);
    };
    // No 5x5 Scharr kernel; 5x5 masks only with the Sobel filter.
    Cases failing = {{mb(qpxKernelScharr, 5, 1), qpxStatusBadArgument},
                     {h(qpxFilterScharr, qpxMskSize5x5, 1), qpxStatusBadMaskSize},
                     {h(qpxFilterCentralDiff, qpxMskSize5x5, 1), qpxStatusBadMaskSize},
                     {ls(qpxFilterScharr, qpxMskSize5x5, 1), qpxStatusBadMaskSize}};
    for (std::uint32_t bad : {0u, 2u, 4u, 7u, 0x10u, 0x72u, 0x1000u})
        failing.push_back({mb(0, 3, bad), qpxStatusBadBorder});
    for (std::uint32_t bad : {0u, 2u, 5u, 0x10u, 0xF2u, 0x101u, 256u})
        failing.push_back({h(qpxFilterSobel, qpxMskSize5x5, bad), qpxStatusBadBorder});
    // Mirror is refused by line suppression, with or without in-memory sides.
    for (std::uint32_t bad : {3u, 0x13u, 0xF3u, 2u, 5u, 0x20u, 300u})
        failing.push_back({ls(qpxFilterSobel, qpxMskSize5x5, bad), qpxStatusBadBorder});
    Cases passing = {{mb(qpxKernelSobel, 5, 1), qpxStatusOk},
                     {h(qpxFilterSobel, qpxMskSize5x5, 1), qpxStatusOk}};
    for (std::uint32_t good : {1u, 3u, 5u, 6u, 0x51u, 0xF0u, 0xF2u, 0xF4u, 0xFF5u})
        passing.push_back({mb(0, 3, good), qpxStatusOk});
    for (std::uint32_t good : {1u, 3u, 6u, 0x13u, 0x36u})
        passing.push_back({h(qpxFilterCentralDiff, qpxMskSize3x3, good), qpxStatusOk});
    for (std::uint32_t good : {1u, 6u, 0xF0u, 0x16u})
        passing.push_back({ls(qpxFilterCentralDiff, qpxMskSize3x3, good), qpxStatusOk});
    f.check(failing, passing);
}

TEST(CornerChecks, BufferSizes) {
    // Eigenvalue functions: 16 (8u) or 20 (32f) bytes a pixel over rows of 16-pixel multiples,
    // 224 bytes, and the largest derivative filter work size for the aperture.
    auto r32 = [](long v) { return (v + 31) / 32 * 32; };
    for (auto [w, h, ap] : {std::tuple{100L, 50L, 3}, {20L, 30L, 5}, {1L, 1L, 3}, {33L, 2L, 5}}) {
        const long M = std::max(w, h), w16 = (w + 15) / 16 * 16, m = ap == 5 ? 7 : 3;
        const long p = ap == 5 ? 2 : 0, f = ap == 5 ? 2 : 1;
        const long work8 = r32(m * (M + p + 2)) + 32;
        const long work32 =
            r32(r32(4 * m * (M + p + 2)) + r32(4 * w) * 2 * f + r32(2 * (w + h) * f * 4)) + 32;
        int s8 = 0, s32 = 0, v8 = 0, v32 = 0;
        const qpxSize r{int(w), int(h)};
        ASSERT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R(r, ap, 3, &s8), qpxStatusOk);
        ASSERT_EQ(qpxiMinEigenValGetBufferSize_32f_C1R(r, ap, 5, &s32), qpxStatusOk);
        ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_8u32f_C1R(r, ap, 5, &v8), qpxStatusOk);
        ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_32f_C1R(r, ap, 3, &v32), qpxStatusOk);
        EXPECT_TRUE(s8 == 16 * h * w16 + 224 + work8 && v8 == s8) << w;
        EXPECT_TRUE(s32 == 20 * h * w16 + 224 + work32 && v32 == s32) << w;
    }
    int size = 0;
    EXPECT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R({4, 4}, 3, 3, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R({0, 4}, 3, 3, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiMinEigenValGetBufferSize_32f_C1R({4, 4}, 4, 3, &size), qpxStatusBadArgument);
    EXPECT_EQ(qpxiEigenValsVecsGetBufferSize_32f_C1R({4, 4}, 3, 1, &size), qpxStatusBadArgument);

    // Harris tiles: about 8827 (8u) or 7111 (32f) pixels, 16-column multiples, at least eight
    // windows a side, never more than the ROI.
    for (auto [n, bytes, tw, th] : {std::tuple{3, true, 96, 88},
                                    {1, true, 96, 91},
                                    {3, false, 96, 70},
                                    {5, true, 96, 84},
                                    {20, true, 160, 160},
                                    {100, false, 800, 800}}) {
        const qpxSize t = qpx::feature::harris_tile({5000, 5000}, n, bytes);
        EXPECT_TRUE(t.width == tw && t.height == th) << n;
    }
    const qpxSize small = qpx::feature::harris_tile({40, 7}, 3, true);
    EXPECT_TRUE(small.width == 40 && small.height == 7);
    // A tile's work: three float planes, two derivative planes, 64 bytes and at least one more
    // float plane; line suppression reports the same.
    for (int n : {1, 3, 6})
        for (qpxDataType type : {qpx8u, qpx32f}) {
            int line = 0;
            ASSERT_EQ(qpxiHarrisCornerGetBufferSize({300, 200}, 33, n, type, 1, &size),
                      qpxStatusOk);
            ASSERT_EQ(qpxiLineSuppressionGetBufferSize({300, 200}, 33, n, type, 1, &line),
                      qpxStatusOk);
            const qpxSize t = qpx::feature::harris_tile({300, 200}, n, type == qpx8u);
            const long tw = t.width + n - 1, th = t.height + n - 1;
            const long least =
                4 * r32(4 * tw) * th + 2 * r32((type == qpx8u ? 2 : 4) * tw) * th + 64;
            EXPECT_TRUE(size == line && size >= least && size < least + 65536) << n;
        }
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 33, 3, qpx8u, 1, nullptr),
              qpxStatusNullPointer);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 0}, 35, 0, 7, 3, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 35, 0, 7, 3, &size), qpxStatusBadMaskSize);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, 0, 7, 3, &size), qpxStatusBadDataType);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, 0, 13, 3, &size), qpxStatusBadChannelCount);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, 0, 13, 1, &size), qpxStatusBadSize);
    // The query refuses a zero window only.
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, -1, 13, 1, &size), qpxStatusOk);
    EXPECT_EQ(qpxiLineSuppressionGetBufferSize({4, 4}, 33, INT_MIN, 1, 1, &size), qpxStatusOk);
}

}  // namespace
