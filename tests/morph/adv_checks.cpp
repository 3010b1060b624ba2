// Size queries and applied checks of the composed morphology operations: the sizes follow from
// the single-stage sizes of erosion and dilation, and each table row breaks arguments of a call
// on an initialised spec (the spec's ROI included) so that the first check decides. The queries'
// and initialisers' checks are the generic argument test's.
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

// Both generations' sizes follow from the single-stage sizes of erosion and dilation.
TEST(MorphAdvSizes, FromSingleStageSizes) {
    using GetSize = qpxStatus (*)(qpxSize, qpxSize, int*, int*);
    struct Type {
        GetSize adv, single;
        int bytes;  // per pixel of the intermediate image
    } const types[] = {{qpxiMorphAdvGetSize_8u_C1R, qpxiMorphologyBorderGetSize_8u_C1R, 1},
                       {qpxiMorphAdvGetSize_8u_C3R, qpxiMorphologyBorderGetSize_8u_C3R, 3},
                       {qpxiMorphAdvGetSize_16s_C1R, qpxiMorphologyBorderGetSize_16s_C1R, 2},
                       {qpxiMorphAdvGetSize_32f_C4R, qpxiMorphologyBorderGetSize_32f_C4R, 16},
                       {qpxiMorphAdvGetSize_1u_C1R, qpxiMorphologyBorderGetSize_1u_C1R, 1}};
    for (qpxSize mask : {qpxSize{3, 3}, qpxSize{2, 4}, qpxSize{5, 1}, qpxSize{1, 6}})
        for (qpxSize roi : {qpxSize{1, 1}, qpxSize{33, 9}}) {
            const int kx = mask.width >> 1, ky = mask.height >> 1;
            for (const Type& t : types) {
                int s = 0, b = 0, spec = 0, buf = 0;
                ASSERT_EQ(t.single(roi, mask, &s, &b) | t.adv(roi, mask, &spec, &buf), qpxStatusOk);
                EXPECT_EQ(spec, (mask.width | 1) * (mask.height | 1) + 2 * s + 64);
                EXPECT_EQ(buf, (2 * ky + roi.height) * r32(t.bytes * (2 * kx + roi.width)) + 2 * b);
            }
            const qpxSizeL rl{roi.width, roi.height}, ml{mask.width, mask.height};
            for (qpxDataType type : {qpx1u, qpx16s, qpx32f})
                for (int ch : {1, 3}) {
                    std::int64_t e = 0, spec = 0, buf = 0, stage = 0;
                    ASSERT_EQ(qpxiErodeGetSpecSize_L({rl.width + 4 * kx, rl.height + 4 * ky},
                                                     {mask.width | 1, mask.height | 1}, &e),
                              0);
                    for (int k = 0; k <= 2; ++k) {
                        std::int64_t b = 0;
                        const qpxSizeL r{rl.width + 2 * k * kx, rl.height + 2 * k * ky};
                        ASSERT_EQ(qpxiErodeGetBufferSize_L(r, ml, type, ch, &b), qpxStatusOk);
                        stage = std::max(stage, b);
                    }
                    ASSERT_EQ(qpxiMorphGetSpecSize_L(rl, ml, type, ch, &spec) |
                                  qpxiMorphGetBufferSize_L(rl, ml, type, ch, &buf),
                              0);
                    const int s = type == qpx16s ? 2 : type == qpx32f ? 4 : 1;
                    EXPECT_EQ(spec, (mask.width | 1) * (mask.height | 1) + 2 * e + 64);
                    EXPECT_EQ(buf,
                              r32(ch * s * (rl.width + 4 * kx)) * (rl.height + 4 * ky) + 2 * stage);
                }
        }
}

// One row of the apply table: which arguments are broken, and what each generation answers
// (Skip: the 32-bit form cannot express the case).
struct ApplyCase {
    const char* what;
    bool nullSrc, nullBuf, nullValue, sameImage;
    std::int64_t w, h, srcStepDelta, dstStepDelta;  // deltas are added to valid steps (bytes)
    qpxBorderType border;
    int srcBit;
    qpxStatus border32, wide;
};
const qpxStatus N = qpxStatusNullPointer, S = qpxStatusBadSize, St = qpxStatusBadStep,
                M = qpxStatusStepNotMultiple, B = qpxStatusBadBorder, L = qpxStatusSizeTooLarge,
                P = qpxStatusInPlaceNotSupported, Ok = qpxStatusOk, Skip = 1;
const std::int64_t kMax = INT32_MAX, kBig = std::int64_t(INT32_MAX) + 1;

// Runs the table on an 8 x 4 ROI with a 3x3 mask. `Px` is the pixel type of the image (bytes
// for bit-packed data, whose entry points take bit offsets).
template <class Px, int C, class V, class GetSize, class Init, class Fn32, class FnL>
void run_table(const std::vector<ApplyCase>& cases, GetSize getSize, Init init, Fn32 fn32, FnL fnL,
               qpxDataType type, int imgW, V value) {
    const u8 mask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    const int w = 8, h = 4;
    int s = 0, b = 0;
    std::int64_t sl = 0, bl = 0;
    ASSERT_EQ(getSize({w, h}, {3, 3}, &s, &b), 0);
    ASSERT_EQ(qpxiMorphGetSpecSize_L({w, h}, {3, 3}, type, C, &sl) |
                  qpxiMorphGetBufferSize_L({w, h}, {3, 3}, type, C, &bl),
              0);
    std::vector<u8> spec(std::size_t(s) + sl), buf(std::size_t(b) + bl);
    auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
    auto* spl = reinterpret_cast<qpxMorphStateL*>(spec.data() + s);
    ASSERT_EQ(init({w, h}, mask, {3, 3}, sp, buf.data()), qpxStatusOk);
    ASSERT_EQ(qpxiMorphInit_L({w, h}, mask, {3, 3}, type, C, spl), qpxStatusOk);
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        // In-memory borders read around the source.
        GuardedImage<Px> src(imgW, h, C, 8, qpxtest::Place::End, {4, 4, 4, 4}), dst(imgW, h, C, 8);
        const auto before = dst.snapshot();
        const Px* s0 = c.nullSrc ? nullptr : c.sameImage ? dst.roi() : src.roi();
        const std::int64_t ss = src.step() + c.srcStepDelta, ds = dst.step() + c.dstStepDelta;
        auto call = [&](auto fn, auto step, auto roi, auto* spec, u8* bf) {
            const V v = c.nullValue ? V{} : value;
            using St = decltype(step);
            if constexpr (std::is_invocable_v<decltype(fn), const Px*, St, Px*, St, decltype(roi),
                                              qpxBorderType, V, decltype(spec), u8*>)
                return fn(s0, St(ss), dst.roi(), St(ds), roi, c.border, v, spec, bf);
            else
                return fn(s0, St(ss), c.srcBit, dst.roi(), St(ds), 0, roi, c.border, v, spec, bf);
        };
        if (c.border32 != Skip) {
            EXPECT_EQ(call(fn32, int(0), qpxSize{int(c.w), int(c.h)}, sp,
                           c.nullBuf ? nullptr : buf.data()),
                      c.border32);
            EXPECT_TRUE(c.border32 == Ok || dst.snapshot() == before);
        }
        EXPECT_EQ(call(fnL, std::int64_t(0), qpxSizeL{c.w, c.h}, spl,
                       c.nullBuf ? nullptr : buf.data() + b),
                  c.wide);
        // Every failing 64-bit row fails (or is skipped) in the 32-bit form too.
        EXPECT_TRUE(c.wide == Ok || dst.snapshot() == before);
    }
}

TEST(MorphAdvChecks, ApplyOrder8uC3) {
    // A 2^31-1 wide image cannot be built here: the steps are only compared, never used.
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
        {"kind 0, all sides in memory", false, false, false, false, 8, 4, 0, 0, 0xF0, 0, Ok, Ok},
        {"kind 4, some sides in memory", false, false, false, false, 8, 4, 0, 0, 0x74, 0, B, B},
        {"kind 4, all in memory, stage", false, false, false, false, 8, 4, 0, 0, 0x1F4, 0, Ok, Ok},
        // Three channels of 2^31-1 pixels need steps beyond 32 bits, refused before the border.
        {"steps beyond 32 bits", false, false, false, false, kMax, 4, 3 * kMax, 3 * kMax, 2, 0,
         Skip, L},
    };
    const u8 v[3] = {1, 2, 3};
    run_table<u8, 3>(cases, qpxiMorphAdvGetSize_8u_C3R, qpxiMorphAdvInit_8u_C3R,
                     qpxiMorphOpenBorder_8u_C3R, qpxiMorphOpen_8u_C3R_L, qpx8u, 8, v);
}

TEST(MorphAdvChecks, ApplyOrder16uGradient) {
    const std::vector<ApplyCase> cases = {
        {"odd step after the row test", false, false, false, false, 8, 4, 1, 0, 1, 0, M, M},
        {"short step before odd step", false, false, false, false, 8, 4, 1, -10, 1, 0, St, St},
        {"default kind", false, false, false, false, 8, 4, 0, 0, 5, 0, B, Ok},
        {"stage flag", false, false, false, false, 8, 4, 0, 0, 0x101, 0, B, Ok},
        {"mirror, left in memory", false, false, false, false, 8, 4, 0, 0, 0x43, 0, Ok, Ok},
    };
    run_table<std::uint16_t, 1>(cases, qpxiMorphAdvGetSize_16u_C1R, qpxiMorphAdvInit_16u_C1R,
                                qpxiMorphGradientBorder_16u_C1R, qpxiMorphGradient_16u_C1R_L,
                                qpx16u, 8, std::uint16_t(0));
}

TEST(MorphAdvChecks, ApplyOrderBitPacked) {
    const std::vector<ApplyCase> cases = {
        {"negative bit offset", false, false, false, false, 8, 4, -100, 0, 1, -1, S, S},
        {"short step", false, false, false, false, 90, 4, 0, 0, 1, 0, St, St},
        {"mirror", false, false, false, false, 8, 4, 0, 0, 3, 0, B, B},
        {"in place after the border", false, false, false, true, 8, 4, 0, 0, 3, 0, B, B},
        {"in place", false, false, false, true, 8, 4, 0, 0, 1, 0, P, P},
        {"bit offset 7", false, false, false, false, 8, 4, 0, 0, 6, 7, Ok, Ok},
    };
    run_table<u8, 1>(cases, qpxiMorphAdvGetSize_1u_C1R, qpxiMorphAdvInit_1u_C1R,
                     qpxiMorphTophatBorder_1u_C1R, qpxiMorphTophat_1u_C1R_L, qpx1u, 2, u8(1));
}

}  // namespace
