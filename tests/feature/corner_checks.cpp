// Argument checks of the corner measures in their exact order, untouched outputs and buffers on
// failure, and the buffer-size queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/guard.hpp"
#include "feature/corner.hpp"

using namespace qpxtest;
using u8 = std::uint8_t;

namespace {

constexpr int W = 8, H = 6;

// Images and buffer shared by a table, snapshotted around each failing call.
struct Fixture {
    // Sources carry margins for the in-memory border codes.
    GuardedImage<float> src{W, H, 1, 0, Place::End, Margins{4, 4, 4, 4}};
    GuardedImage<u8> src8{W, H, 1, 0, Place::End, Margins{4, 4, 4, 4}};
    GuardedImage<float> dst{W, H, 6};
    GuardedImage<u8> feature{W, H}, dst8{W, H};
    GuardedBuffer buf{1 << 16};
    Fixture() {
        Random rnd(1);
        src.fill([&] { return rnd.next<float>(0, 255); });
        src8.fill([&] { return rnd.next<u8>(0, 255); });
        feature.fill([&] { return u8(7); });
        dst.fill([] { return -1.0f; });
        dst8.fill([] { return u8(3); });
    }
    std::vector<u8> state() const {
        std::vector<u8> s = dst.snapshot(), b = dst8.snapshot();
        s.insert(s.end(), b.begin(), b.end());
        s.insert(s.end(), buf.data(), buf.data() + buf.size());
        return s;
    }
};

template <class Call>
void expect_status(Fixture& f, qpxStatus want, Call call, int line) {
    const std::vector<u8> before = f.state();
    EXPECT_EQ(call(), want) << "case at line " << line;
    if (want != qpxStatusOk) {
        EXPECT_TRUE(before == f.state()) << "wrote on failure, line " << line;
    }
}
#define EXPECT_STATUS(f, want, expr) \
    expect_status(                   \
        f, want, [&] { return expr; }, __LINE__)

TEST(CornerChecks, EigenValueFunctions) {
    Fixture f;
    const float* s = f.src.roi();
    float* d = f.dst.roi();
    u8* b = f.buf.data();
    const int ss = f.src.step(), ds = W * 4, vs = W * 24;
    const qpxSize roi{W, H};
    auto minb = [&](const float* src, int srcStep, float* dst, int dstStep, qpxSize r, int kern,
                    int ap, int avg, std::uint32_t border, u8* buf) {
        return qpxiMinEigenValBorder_32f_C1R(src, srcStep, dst, dstStep, r, kern, ap, avg, border,
                                             0.0f, buf);
    };
    EXPECT_STATUS(f, qpxStatusNullPointer, minb(nullptr, ss, d, ds, {0, 0}, 9, 4, 4, 2, b));
    EXPECT_STATUS(f, qpxStatusNullPointer, minb(s, ss, nullptr, ds, roi, 0, 3, 3, 1, b));
    EXPECT_STATUS(f, qpxStatusNullPointer, minb(s, ss, d, ds, roi, 0, 3, 3, 1, nullptr));
    EXPECT_STATUS(f, qpxStatusBadSize, minb(s, -1, d, 2, {W, 0}, 9, 4, 4, 2, b));
    // Both row-length tests come before both multiple-of-4 tests.
    EXPECT_STATUS(f, qpxStatusBadStep, minb(s, ss + 2, d, ds - 4, roi, 9, 4, 4, 2, b));
    EXPECT_STATUS(f, qpxStatusBadStep, minb(s, W * 4 - 1, d, ds + 2, roi, 9, 4, 4, 2, b));
    EXPECT_STATUS(f, qpxStatusBadStep, minb(s, -ss, d, ds, roi, 0, 3, 3, 1, b));
    EXPECT_STATUS(f, qpxStatusStepNotMultiple, minb(s, ss + 2, d, ds, roi, 9, 4, 4, 2, b));
    EXPECT_STATUS(f, qpxStatusStepNotMultiple, minb(s, ss, d, ds + 2, roi, 9, 4, 4, 2, b));
    EXPECT_STATUS(f, qpxStatusBadArgument, minb(s, ss, d, ds, roi, 3, 3, 3, 2, b));
    EXPECT_STATUS(f, qpxStatusBadArgument, minb(s, ss, d, ds, roi, -1, 3, 3, 2, b));
    EXPECT_STATUS(f, qpxStatusBadArgument, minb(s, ss, d, ds, roi, 0, 4, 3, 2, b));
    EXPECT_STATUS(f, qpxStatusBadArgument, minb(s, ss, d, ds, roi, qpxKernelScharr, 5, 3, 1, b));
    EXPECT_STATUS(f, qpxStatusBadArgument, minb(s, ss, d, ds, roi, 0, 5, 7, 2, b));
    for (std::uint32_t bad : {0u, 2u, 4u, 7u, 0x10u, 0x72u, 0x1000u})
        EXPECT_STATUS(f, qpxStatusBadBorder, minb(s, ss, d, ds, roi, 0, 3, 5, bad, b));
    for (std::uint32_t good : {1u, 3u, 5u, 6u, 0x51u, 0xF0u, 0xF2u, 0xF4u, 0xFF5u})
        EXPECT_STATUS(f, qpxStatusOk, minb(s, ss, d, ds, roi, 0, 3, 5, good, b));

    // The 8-bit source has no multiple rule; the vectors need 24 bytes a pixel.
    const u8* s8 = f.src8.roi();
    const int s8s = f.src8.step();
    EXPECT_STATUS(f, qpxStatusOk,
                  qpxiMinEigenVal_8u32f_C1R(s8, s8s, d, ds, roi, qpxKernelSobel, 5, 3, b));
    EXPECT_STATUS(f, qpxStatusBadStep,
                  qpxiMinEigenVal_8u32f_C1R(s8, W - 1, d, ds, roi, qpxKernelSobel, 5, 3, b));
    EXPECT_STATUS(f, qpxStatusBadStep,
                  qpxiEigenValsVecs_8u32f_C1R(s8, s8s, d, vs - 4, roi, qpxKernelSobel, 3, 3, b));
    EXPECT_STATUS(f, qpxStatusStepNotMultiple,
                  qpxiEigenValsVecs_32f_C1R(s, ss, d, vs + 1, roi, qpxKernelSobel, 3, 3, b));
    EXPECT_STATUS(f, qpxStatusBadArgument,
                  qpxiEigenValsVecs_32f_C1R(s, ss, d, vs, roi, qpxKernelScharr, 5, 3, b));
    EXPECT_STATUS(f, qpxStatusBadBorder,
                  qpxiEigenValsVecsBorder_8u32f_C1R(s8, s8s, d, vs, roi, qpxKernelSobelNeg, 3, 3,
                                                    0x12, 0, b));
    EXPECT_STATUS(f, qpxStatusOk,
                  qpxiEigenValsVecsBorder_32f_C1R(s, ss, d, vs, roi, qpxKernelScharr, 3, 5,
                                                  qpxBorderConst, 2.0f, b));
}

TEST(CornerChecks, Harris) {
    Fixture f;
    const float* s = f.src.roi();
    float* d = f.dst.roi();
    u8* b = f.buf.data();
    const int st = W * 24, ss = f.src.step();
    const qpxSize roi{W, H};
    auto h32 = [&](const float* src, int srcStep, float* dst, int dstStep, qpxSize r, int type,
                   int mask, int avg, std::uint32_t border, u8* buf) {
        return qpxiHarrisCorner_32f_C1R(src, srcStep, dst, dstStep, r, type, mask, avg, 0.04f, 1.0f,
                                        border, 0.0f, buf);
    };
    EXPECT_STATUS(f, qpxStatusNullPointer, h32(nullptr, -1, d, 2, {0, 0}, 0, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusNullPointer, h32(s, ss, nullptr, st, roi, 2, 33, 3, 1, b));
    EXPECT_STATUS(f, qpxStatusNullPointer, h32(s, ss, d, st, roi, 2, 33, 3, 1, nullptr));
    EXPECT_STATUS(f, qpxStatusBadSize, h32(s, -1, d, 2, {W, 0}, 0, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusStepNotMultiple, h32(s, -1, d, st + 2, roi, 0, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusBadFilterType, h32(s, -1, d, st, roi, 3, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusBadMaskSize, h32(s, -1, d, st, roi, 2, 35, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusBadMaskSize, h32(s, -1, d, st, roi, 5, 55, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusBadMaskSize, h32(s, -1, d, st, roi, 8, 55, 0, 9, b));
    for (std::uint32_t bad : {0u, 2u, 5u, 0x10u, 0xF2u, 0x101u, 256u})
        EXPECT_STATUS(f, qpxStatusBadBorder, h32(s, -1, d, st, roi, 2, 55, 0, bad, b));
    EXPECT_STATUS(f, qpxStatusBadSize, h32(s, -1, d, st, roi, 2, 55, 0, 0xF0, b));
    EXPECT_STATUS(f, qpxStatusBadStep, h32(s, -4, d, st, roi, 2, 55, 1, 0xF0, b));
    EXPECT_STATUS(f, qpxStatusBadStep, h32(s, ss, d, -st, roi, 2, 55, 1, 0x13, b));
    // Negative steps are reported before the in-place test.
    EXPECT_STATUS(f, qpxStatusBadStep, h32(d, -st, d, st, roi, 2, 33, 1, 1, b));
    EXPECT_STATUS(f, qpxStatusInPlaceNotSupported, h32(d, st, d, st, roi, 2, 33, 1, 1, b));
    for (std::uint32_t good : {1u, 3u, 6u, 0x13u, 0x36u})
        EXPECT_STATUS(f, qpxStatusOk, h32(s, ss, d, st, roi, 8, 33, 2, good, b));
    // No row-length test: a short non-negative source step is taken as it is.
    EXPECT_STATUS(f, qpxStatusOk, h32(s, 0, d, st, roi, 2, 33, 3, 1, b));
    // The 8-bit form has no in-place test (the images have different types).
    EXPECT_STATUS(f, qpxStatusOk,
                  qpxiHarrisCorner_8u32f_C1R(f.src8.roi(), f.src8.step(), d, st, roi, 5, 33, 3,
                                             0.04f, 1.0f, qpxBorderMirror, 0, b));
}

TEST(CornerChecks, LineSuppression) {
    Fixture f;
    const u8* s = f.src8.roi();
    const u8* ft = f.feature.roi();
    u8* d = f.dst8.roi();
    u8* b = f.buf.data();
    const int ss = f.src8.step();
    const qpxSize roi{W, H};
    auto ls = [&](const u8* src, int srcStep, const u8* feat, int fStep, u8* dst, int dStep,
                  qpxSize r, int type, int mask, int avg, std::uint32_t border, u8* buf) {
        return qpxiLineSuppression_8u_C1R(src, srcStep, feat, fStep, dst, dStep, r, type, mask, avg,
                                          10.0f, border, 0, buf);
    };
    EXPECT_STATUS(f, qpxStatusNullPointer, ls(s, W, nullptr, W, d, W, {0, 0}, 0, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusNullPointer, ls(s, ss, ft, W, d, W, roi, 2, 33, 3, 1, nullptr));
    EXPECT_STATUS(f, qpxStatusBadSize, ls(s, -1, ft, W, d, W, {0, 1}, 0, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusBadFilterType, ls(s, -1, ft, W, d, W, roi, 0, 0, 0, 9, b));
    EXPECT_STATUS(f, qpxStatusBadMaskSize, ls(s, -1, ft, W, d, W, roi, 5, 55, 0, 9, b));
    // Mirror is not accepted here, with or without in-memory sides.
    for (std::uint32_t bad : {3u, 0x13u, 0xF3u, 2u, 5u, 0x20u, 300u})
        EXPECT_STATUS(f, qpxStatusBadBorder, ls(s, -1, ft, W, d, W, roi, 2, 55, 0, bad, b));
    EXPECT_STATUS(f, qpxStatusBadSize, ls(s, -1, ft, W, d, W, roi, 2, 55, 0, 1, b));
    EXPECT_STATUS(f, qpxStatusBadStep, ls(s, ss, ft, -W, d, W, roi, 2, 55, 2, 1, b));
    EXPECT_STATUS(f, qpxStatusBadStep, ls(s, ss, ft, W, d, -1, roi, 2, 55, 2, 1, b));
    EXPECT_STATUS(f, qpxStatusInPlaceNotSupported,
                  ls(s, W, f.dst8.roi(), W, d, W, roi, 2, 55, 2, 6, b));
    for (std::uint32_t good : {1u, 6u, 0xF0u, 0x16u})
        EXPECT_STATUS(f, qpxStatusOk, ls(s, ss, ft, W, d, W, roi, 8, 33, 3, good, b));
}

TEST(CornerChecks, EigenBufferSizes) {
    // 16 (8u) or 20 (32f) bytes a pixel over rows rounded to 16 pixels, 224 bytes, and the
    // largest derivative filter work size for the aperture.
    auto r32 = [](long v) { return (v + 31) / 32 * 32; };
    struct Case {
        qpxSize roi;
        int aperture;
    };
    for (const Case c :
         {Case{{100, 50}, 3}, Case{{20, 30}, 5}, Case{{1, 1}, 3}, Case{{33, 2}, 5}}) {
        const long w = c.roi.width, h = c.roi.height, M = std::max(w, h);
        const long w16 = (w + 15) / 16 * 16;
        const bool five = c.aperture == 5;
        const long m = five ? 7 : 3, p = five ? 2 : 0;
        const long work8 = r32(m * (M + p + 2)) + 32;
        const long v = r32(4 * m * (M + p + 2)) + r32(4 * w) * (five ? 4 : 2) +
                       r32(2 * (w + h) * (five ? 2 : 1) * 4);
        const long work32 = r32(v) + 32;
        int size8 = 0, size32 = 0, other = 0;
        ASSERT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R(c.roi, c.aperture, 3, &size8),
                  qpxStatusOk);
        ASSERT_EQ(qpxiMinEigenValGetBufferSize_32f_C1R(c.roi, c.aperture, 5, &size32), qpxStatusOk);
        EXPECT_EQ(size8, 16 * h * w16 + 224 + work8);
        EXPECT_EQ(size32, 20 * h * w16 + 224 + work32);
        ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_8u32f_C1R(c.roi, c.aperture, 5, &other),
                  qpxStatusOk);
        EXPECT_EQ(other, size8);
        ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_32f_C1R(c.roi, c.aperture, 3, &other),
                  qpxStatusOk);
        EXPECT_EQ(other, size32);
    }
    int size = 0;
    EXPECT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R({4, 4}, 3, 3, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R({0, 4}, 3, 3, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiMinEigenValGetBufferSize_32f_C1R({4, 4}, 4, 3, &size), qpxStatusBadArgument);
    EXPECT_EQ(qpxiEigenValsVecsGetBufferSize_32f_C1R({4, 4}, 3, 1, &size), qpxStatusBadArgument);
}

TEST(CornerChecks, HarrisTilesAndBufferSizes) {
    struct Tile {
        int n;
        bool bytes;
        qpxSize want;
    };
    // 8827 and 7111 pixels: tiles of 96 columns for small windows, at least 8 windows a side.
    const Tile tiles[] = {{3, true, {96, 88}},    {1, true, {96, 91}},      {3, false, {96, 70}},
                          {20, true, {160, 160}}, {100, false, {800, 800}}, {5, true, {96, 84}}};
    for (const Tile& t : tiles) {
        const qpxSize got = qpx::feature::harris_tile({5000, 5000}, t.n, t.bytes);
        EXPECT_EQ(got.width, t.want.width) << t.n;
        EXPECT_EQ(got.height, t.want.height) << t.n;
    }
    const qpxSize small = qpx::feature::harris_tile({40, 7}, 3, true);
    EXPECT_TRUE(small.width == 40 && small.height == 7);

    // The fixed parts of a tile's work: three float planes, two derivative planes, 64 bytes and
    // at least one more float plane.
    auto r32 = [](long v) { return (v + 31) / 32 * 32; };
    for (int n : {1, 3, 6})
        for (qpxDataType type : {qpx8u, qpx32f}) {
            int size = 0, line = 0;
            ASSERT_EQ(qpxiHarrisCornerGetBufferSize({300, 200}, 33, n, type, 1, &size),
                      qpxStatusOk);
            ASSERT_EQ(qpxiLineSuppressionGetBufferSize({300, 200}, 33, n, type, 1, &line),
                      qpxStatusOk);
            EXPECT_EQ(size, line);
            const qpxSize t = qpx::feature::harris_tile({300, 200}, n, type == qpx8u);
            const long Wt = t.width + n - 1, Ht = t.height + n - 1;
            const long least =
                4 * r32(4 * Wt) * Ht + 2 * r32((type == qpx8u ? 2 : 4) * Wt) * Ht + 64;
            EXPECT_GE(size, least);
            EXPECT_LT(size, least + 65536);
        }
    int size = 0;
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 33, 3, qpx8u, 1, nullptr),
              qpxStatusNullPointer);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 0}, 35, 0, 7, 3, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 35, 0, 7, 3, &size), qpxStatusBadMaskSize);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, 0, 7, 3, &size), qpxStatusBadDataType);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, 0, 13, 3, &size), qpxStatusBadChannelCount);
    EXPECT_EQ(qpxiHarrisCornerGetBufferSize({4, 4}, 55, 0, 13, 1, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiLineSuppressionGetBufferSize({4, 4}, 55, 1, 1, 1, &size), qpxStatusOk);
}

}  // namespace
