// Size queries and argument checks of the composed morphology operations: the sizes follow from
// the single-stage sizes of erosion and dilation, and each table row breaks arguments so that
// the first check in the fixed order decides. A failed call writes nothing.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "common/guard.hpp"

namespace {

using qpxtest::GuardedImage;
using u8 = std::uint8_t;

std::int64_t r32(std::int64_t n) {
    return (n + 31) / 32 * 32;
}

TEST(MorphAdvSizes, BorderFamilyFromSingleStageSizes) {
    using GetSize = qpxStatus (*)(qpxSize, qpxSize, int*, int*);
    struct Type {
        GetSize adv, single;
        int bytes;  // per pixel
    };
    const Type types[] = {{qpxiMorphAdvGetSize_8u_C1R, qpxiMorphologyBorderGetSize_8u_C1R, 1},
                          {qpxiMorphAdvGetSize_8u_C3R, qpxiMorphologyBorderGetSize_8u_C3R, 3},
                          {qpxiMorphAdvGetSize_16s_C1R, qpxiMorphologyBorderGetSize_16s_C1R, 2},
                          {qpxiMorphAdvGetSize_32f_C4R, qpxiMorphologyBorderGetSize_32f_C4R, 16},
                          {qpxiMorphAdvGetSize_1u_C1R, qpxiMorphologyBorderGetSize_1u_C1R, 1}};
    for (const Type& t : types)
        for (qpxSize mask : {qpxSize{3, 3}, qpxSize{2, 4}, qpxSize{5, 1}, qpxSize{1, 1}})
            for (qpxSize roi : {qpxSize{1, 1}, qpxSize{17, 5}, qpxSize{640, 2}}) {
                int s = 0, b = 0, spec = 0, buf = 0;
                ASSERT_EQ(t.single(roi, mask, &s, &b), 0);
                ASSERT_EQ(t.adv(roi, mask, &spec, &buf), 0);
                const int kx = mask.width >> 1, ky = mask.height >> 1;
                EXPECT_EQ(spec, (mask.width | 1) * (mask.height | 1) + 2 * s + 64);
                EXPECT_EQ(buf, (2 * ky + roi.height) * r32(t.bytes * (2 * kx + roi.width)) + 2 * b);
            }
}

TEST(MorphAdvSizes, WideFamilyFromSingleStageSizes) {
    for (qpxDataType type : {qpx1u, qpx8u, qpx16s, qpx32f})
        for (int ch : {1, 3})
            for (qpxSizeL mask : {qpxSizeL{3, 3}, qpxSizeL{2, 4}, qpxSizeL{1, 6}})
                for (qpxSizeL roi : {qpxSizeL{1, 1}, qpxSizeL{33, 9}}) {
                    const std::int64_t kx = mask.width >> 1, ky = mask.height >> 1;
                    std::int64_t e = 0, spec = 0, buf = 0, stage = 0;
                    ASSERT_EQ(qpxiErodeGetSpecSize_L({roi.width + 4 * kx, roi.height + 4 * ky},
                                                     {mask.width | 1, mask.height | 1}, &e),
                              0);
                    for (int k = 0; k <= 2; ++k) {
                        std::int64_t b = 0;
                        ASSERT_EQ(qpxiErodeGetBufferSize_L(
                                      {roi.width + 2 * k * kx, roi.height + 2 * k * ky}, mask, type,
                                      ch, &b),
                                  0);
                        stage = std::max(stage, b);
                    }
                    ASSERT_EQ(qpxiMorphGetSpecSize_L(roi, mask, type, ch, &spec), 0);
                    ASSERT_EQ(qpxiMorphGetBufferSize_L(roi, mask, type, ch, &buf), 0);
                    const int s = type == qpx16s ? 2 : type == qpx32f ? 4 : 1;
                    EXPECT_EQ(spec, (mask.width | 1) * (mask.height | 1) + 2 * e + 64);
                    EXPECT_EQ(buf, r32(ch * s * (roi.width + 4 * kx)) * (roi.height + 4 * ky) +
                                       2 * stage);
                }
}

TEST(MorphAdvChecks, QueriesAndInit) {
    int a = 0, b = 0;
    const u8 mask[4] = {1, 1, 1, 1};
    std::vector<u8> mem(4096);
    auto* spec = reinterpret_cast<qpxMorphAdvState*>(mem.data());
    EXPECT_EQ(qpxiMorphAdvGetSize_8u_C1R({0, 0}, {3, 3}, &a, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiMorphAdvGetSize_16u_C1R({4, 4}, {0, 3}, &a, &b), qpxStatusBadSize);
    EXPECT_EQ(qpxiMorphAdvInit_32f_C1R({0, 4}, mask, {2, 2}, spec, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiMorphAdvInit_1u_C1R({4, 4}, mask, {2, 0}, spec, mem.data()), qpxStatusBadSize);

    auto* specL = reinterpret_cast<qpxMorphStateL*>(mem.data());
    struct Case {
        qpxSizeL roi, mask;
        qpxDataType type;
        int ch;
        bool null;
        qpxStatus query, init;  // the size queries, and qpxiMorphInit_L
    };
    const std::int64_t big = std::int64_t(1) << 31;
    const Case cases[] = {
        {{big, 4}, {3, 3}, qpx8u, 1, true, qpxStatusNullPointer, qpxStatusSizeTooLarge},
        {{0, 4}, {3, 3}, 99, 1, false, qpxStatusBadSize, qpxStatusBadSize},
        {{-1, big}, {3, 3}, qpx8u, 1, false, qpxStatusBadSize, qpxStatusSizeTooLarge},
        {{4, big}, {3, 3}, qpx8u, 1, false, qpxStatusSizeTooLarge, qpxStatusSizeTooLarge},
        {{4, 4}, {3, 0}, qpx8u, 1, false, qpxStatusBadSize, qpxStatusBadSize},
        {{4, 4}, {3, 3}, qpx32s, 2, false, qpxStatusBadDataType, qpxStatusBadDataType},
        {{4, 4}, {3, 3}, qpx64f, 1, false, qpxStatusBadDataType, qpxStatusBadDataType},
        {{4, 4}, {3, 3}, qpx16s, 2, false, qpxStatusBadChannel, qpxStatusBadChannel},
        {{4, 4}, {3, 3}, qpx1u, 0, false, qpxStatusBadChannel, qpxStatusBadChannel},
    };
    for (const Case& c : cases) {
        std::int64_t out = -1;
        EXPECT_EQ(qpxiMorphGetSpecSize_L(c.roi, c.mask, c.type, c.ch, c.null ? nullptr : &out),
                  c.query);
        EXPECT_EQ(qpxiMorphGetBufferSize_L(c.roi, c.mask, c.type, c.ch, c.null ? nullptr : &out),
                  c.query);
        EXPECT_EQ(out, -1);
        EXPECT_EQ(qpxiMorphInit_L(c.roi, c.null ? nullptr : mask, c.mask, c.type, c.ch, specL),
                  c.init);
    }
}

// One row of the apply table: which arguments are broken, and what each generation answers.
struct ApplyCase {
    const char* what;
    bool nullSrc = false, nullBuf = false, nullValue = false, sameImage = false;
    std::int64_t w = 8, h = 4;
    std::int64_t srcStepDelta = 0, dstStepDelta = 0;  // added to a valid step (bytes)
    qpxBorderType border = qpxBorderRepl;
    int srcBit = 0;
    qpxStatus border32, wide;
};

template <class T, int C, class Fn32, class FnL>
void run_table(const std::vector<ApplyCase>& cases, Fn32 fn32, FnL fnL, qpxDataType type,
               qpxSize maskSize) {
    const u8 mask[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    const int w = 8, h = 4;
    int s = 0, b = 0;
    std::int64_t sl = 0, bl = 0;
    qpxiMorphAdvGetSize_8u_C4R({w, h}, maskSize, &s, &b);  // the largest of the 8u and 16u forms
    ASSERT_EQ(qpxiMorphGetSpecSize_L({w, h}, {maskSize.width, maskSize.height}, type, C, &sl), 0);
    ASSERT_EQ(qpxiMorphGetBufferSize_L({w, h}, {maskSize.width, maskSize.height}, type, C, &bl), 0);
    std::vector<u8> spec(2 * static_cast<std::size_t>(s)), buf(2 * static_cast<std::size_t>(b));
    std::vector<u8> specL(static_cast<std::size_t>(sl)), bufL(static_cast<std::size_t>(bl));
    auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
    auto* spl = reinterpret_cast<qpxMorphStateL*>(specL.data());
    ASSERT_EQ(qpxiMorphAdvInit_8u_C4R({w, h}, mask, maskSize, sp, buf.data()), 0);
    ASSERT_EQ(qpxiMorphInit_L({w, h}, mask, {maskSize.width, maskSize.height}, type, C, spl), 0);
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        // In-memory borders read around the source.
        GuardedImage<T> src(w, h, C, 8, qpxtest::Place::End, {4, 4, 4, 4}), dst(w, h, C, 8);
        const auto before = dst.snapshot();
        const T* sp0 = c.nullSrc ? nullptr : c.sameImage ? dst.roi() : src.roi();
        const std::int64_t ss = src.step() + c.srcStepDelta, ds = dst.step() + c.dstStepDelta;
        if (c.border32 != 1) {
            EXPECT_EQ(fn32(sp0, int(ss), c.srcBit, dst.roi(), int(ds), {int(c.w), int(c.h)},
                           c.border, c.nullValue, sp, c.nullBuf ? nullptr : buf.data()),
                      c.border32);
            if (c.border32 != qpxStatusOk) {
                EXPECT_EQ(dst.snapshot(), before);
            }
        }
        EXPECT_EQ(fnL(sp0, ss, c.srcBit, dst.roi(), ds, {c.w, c.h}, c.border, c.nullValue, spl,
                      c.nullBuf ? nullptr : bufL.data()),
                  c.wide);
        if (c.wide != qpxStatusOk) {
            EXPECT_EQ(dst.snapshot(), before);
        }
    }
}

const qpxStatus N = qpxStatusNullPointer, S = qpxStatusBadSize, St = qpxStatusBadStep,
                M = qpxStatusStepNotMultiple, B = qpxStatusBadBorder, L = qpxStatusSizeTooLarge,
                P = qpxStatusInPlaceNotSupported, Ok = qpxStatusOk, Skip = 1;
const std::int64_t kMax = INT32_MAX, kBig = std::int64_t(INT32_MAX) + 1;

TEST(MorphAdvChecks, ApplyOrder8uC3) {
    const std::vector<ApplyCase> cases = {
        {"null src before size", true, false, false, false, 0, 0, 0, 0, 1, 0, N, N},
        {"null buffer", false, true, false, false, 8, 4, 0, 0, 1, 0, N, N},
        {"null value with const before size", false, false, true, false, 0, 0, 0, 0, 6, 0, N, N},
        {"null value without const is fine", false, false, true, false, 8, 4, 0, 0, 1, 0, Ok, Ok},
        {"zero width before step", false, false, false, false, 0, 4, -100, 0, 1, 0, S, S},
        {"too wide before step", false, false, false, false, kBig, 4, -100, 0, 1, 0, Skip, L},
        {"short dst step before border", false, false, false, false, 8, 4, 0, -9, 9, 0, St, St},
        {"border above 4095", false, false, false, false, 8, 4, 0, 0, 4096, 0, B, B},
        {"kind 2", false, false, false, false, 8, 4, 0, 0, 2, 0, B, B},
        {"kind 0 with all sides in memory", false, false, false, false, 8, 4, 0, 0, 0xF0, 0, Ok,
         Ok},
        {"kind 4 without all sides in memory", false, false, false, false, 8, 4, 0, 0, 0x74, 0, B,
         B},
        {"kind 4, all in memory, stage flag", false, false, false, false, 8, 4, 0, 0, 0x1F4, 0, Ok,
         Ok},
        {"stage flags", false, false, false, false, 8, 4, 0, 0, 0x301, 0, Ok, Ok},
        {"width 2^31-1 after the border test", false, false, false, false, kMax, 4, 3 * kMax,
         3 * kMax, 2, 0, Skip, B},
        {"width 2^31-1", false, false, false, false, kMax, 4, 3 * kMax, 3 * kMax, 1, 0, Skip, L},
        {"height 2^31-1", false, false, false, false, 8, kMax, 0, 0, 1, 0, Skip, L},
    };
    auto call32 = [](const u8* s, int ss, int, u8* d, int ds, qpxSize r, qpxBorderType b, bool nv,
                     const qpxMorphAdvState* sp, u8* buf) {
        const u8 v[3] = {1, 2, 3};
        return qpxiMorphOpenBorder_8u_C3R(s, ss, d, ds, r, b, nv ? nullptr : v, sp, buf);
    };
    auto callL = [](const u8* s, std::int64_t ss, int, u8* d, std::int64_t ds, qpxSizeL r,
                    qpxBorderType b, bool nv, const qpxMorphStateL* sp, u8* buf) {
        const u8 v[3] = {1, 2, 3};
        return qpxiMorphOpen_8u_C3R_L(s, ss, d, ds, r, b, nv ? nullptr : v, sp, buf);
    };
    // A 2^31-1 wide image cannot be built here: the steps are only compared, never used.
    run_table<u8, 3>(cases, call32, callL, qpx8u, {3, 3});
}

TEST(MorphAdvChecks, ApplyOrder16uAndGradient) {
    const std::vector<ApplyCase> cases = {
        {"odd step after the row test", false, false, false, false, 8, 4, 1, 0, 1, 0, M, M},
        {"short step before odd step", false, false, false, false, 8, 4, 1, -10, 1, 0, St, St},
        {"gradient: default kind", false, false, false, false, 8, 4, 0, 0, 5, 0, B, Ok},
        {"gradient: all in memory", false, false, false, false, 8, 4, 0, 0, 0xF0, 0, Ok, Ok},
        {"gradient: stage flag", false, false, false, false, 8, 4, 0, 0, 0x101, 0, B, Ok},
        {"gradient: mirror in memory left", false, false, false, false, 8, 4, 0, 0, 0x43, 0, Ok,
         Ok},
    };
    auto call32 = [](const std::uint16_t* s, int ss, int, std::uint16_t* d, int ds, qpxSize r,
                     qpxBorderType b, bool, const qpxMorphAdvState* sp, u8* buf) {
        return qpxiMorphGradientBorder_16u_C1R(s, ss, d, ds, r, b, 0, sp, buf);
    };
    auto callL = [](const std::uint16_t* s, std::int64_t ss, int, std::uint16_t* d, std::int64_t ds,
                    qpxSizeL r, qpxBorderType b, bool, const qpxMorphStateL* sp, u8* buf) {
        return qpxiMorphGradient_16u_C1R_L(s, ss, d, ds, r, b, 0, sp, buf);
    };
    run_table<std::uint16_t, 1>(cases, call32, callL, qpx16u, {1, 1});
}

TEST(MorphAdvChecks, ApplyOrderBitPacked) {
    const std::vector<ApplyCase> cases = {
        {"negative bit offset", false, false, false, false, 8, 4, -100, 0, 1, -1, S, S},
        {"short step", false, false, false, false, 25, 4, 0, 0, 1, 0, St, St},
        {"mirror", false, false, false, false, 8, 4, 0, 0, 3, 0, B, B},
        {"in place after the border", false, false, false, true, 8, 4, 0, 0, 3, 0, B, B},
        {"in place", false, false, false, true, 8, 4, 0, 0, 1, 0, P, P},
        {"bit offset 7", false, false, false, false, 8, 4, 0, 0, 6, 7, Ok, Ok},
    };
    auto call32 = [](const u8* s, int ss, int bit, u8* d, int ds, qpxSize r, qpxBorderType b, bool,
                     const qpxMorphAdvState* sp, u8* buf) {
        return qpxiMorphTophatBorder_1u_C1R(s, ss, bit, d, ds, 0, r, b, 1, sp, buf);
    };
    auto callL = [](const u8* s, std::int64_t ss, int bit, u8* d, std::int64_t ds, qpxSizeL r,
                    qpxBorderType b, bool, const qpxMorphStateL* sp, u8* buf) {
        return qpxiMorphTophat_1u_C1R_L(s, ss, bit, d, ds, 0, r, b, 1, sp, buf);
    };
    // The bit-packed spec of the 32-bit family is made by its own Init.
    const u8 mask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    int s = 0, b = 0;
    ASSERT_EQ(qpxiMorphAdvGetSize_1u_C1R({8, 4}, {3, 3}, &s, &b), 0);
    std::vector<u8> spec(static_cast<std::size_t>(s)), buf(static_cast<std::size_t>(b));
    auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
    ASSERT_EQ(qpxiMorphAdvInit_1u_C1R({8, 4}, mask, {3, 3}, sp, buf.data()), 0);
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        GuardedImage<u8> src(2, 4, 1, 1), dst(2, 4, 1, 1);
        const auto before = dst.snapshot();
        const u8* s0 = c.sameImage ? dst.roi() : src.roi();
        EXPECT_EQ(
            call32(s0, src.step() + (c.srcStepDelta < 0 ? 0 : c.srcStepDelta), c.srcBit, dst.roi(),
                   dst.step(), {int(c.w), int(c.h)}, c.border, false, sp, buf.data()),
            c.border32);
        if (c.border32 != Ok) {
            EXPECT_EQ(dst.snapshot(), before);
        }
    }
    run_table<u8, 1>({cases[0], cases[2], cases[4]}, call32, callL, qpx1u, {3, 3});
}

}  // namespace
