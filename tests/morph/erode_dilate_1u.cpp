// Bit-packed erosion and dilation: every source and destination bit offset, random masks and
// borders, the 32-bit and 64-bit exports, the scalar path, and the bits around the ROI kept.
#include <cstring>

#include "erode_dilate_common.hpp"
#include "frame/border.hpp"
#include "morph/morph_engine.hpp"

using namespace morphtest;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;

namespace {

using u8 = std::uint8_t;

bool bit(const u8* row, long i) {
    return (row[i >> 3] >> (i & 7)) & 1;
}

// A packed image whose ROI starts at bit `off` of each row, with the bytes around it that the
// in-memory flags let the stage read.
struct BitImage {
    BitImage(int w, int h, int off, Margins reach, Place place, Random& rnd)
        : w(w), h(h), off(off) {
        const int leftBytes = reach.left > off ? (reach.left - off + 7) / 8 : 0;
        const int bytes = (off + w + reach.right + 7) / 8;
        img = GuardedImage<u8>(bytes, h, 1, rnd.next<int>(0, 2), place,
                               Margins{reach.top, reach.bottom, leftBytes, 0});
        img.fill([&] { return rnd.any<u8>(); });
    }
    const u8* row(int y) const { return &img.at(0, y); }
    u8 pixel(int x, int y) const { return bit(row(y), off + x) ? 255 : 0; }
    int w, h, off;
    GuardedImage<u8> img;
};

void check_1u(Random& rnd, int W, int H, const Mask& k, std::uint32_t border, bool dilate, int so,
              int dof, Place place) {
    const bool allMem = (border & 15u) != 1 && (border & 15u) != 5 && (border & 15u) != 6;
    Margins mg = reach(k, border);
    if (allMem) mg = {k.h >> 1, (k.h | 1) - 1 - (k.h >> 1), k.w >> 1, (k.w | 1) - 1 - (k.w >> 1)};
    BitImage src(W, H, so, mg, place, rnd);
    const u8 value = static_cast<u8>(rnd.next<int>(0, 2));  // any nonzero value sets the bit
    const u8 wide = value ? 255 : 0;
    const auto expect = reference<u8>(k, W, H, 1, border, &wide, dilate,
                                      [&](int x, int y, int) { return src.pixel(x, y); });
    const std::string what = "roi " + std::to_string(W) + "x" + std::to_string(H) + " mask " +
                             std::to_string(k.w) + "x" + std::to_string(k.h) + " border " +
                             std::to_string(border) + " offsets " + std::to_string(so) + "/" +
                             std::to_string(dof) + (dilate ? " dilate" : " erode");

    auto verify = [&](const BitImage& dst, const std::vector<u8>& before) {
        // ROI bits as expected, every other bit of the buffer as it was.
        std::vector<u8> after = dst.img.snapshot();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(dst.pixel(x, y), expect[std::size_t(y) * W + x])
                    << what << " at " << x << "," << y;
        // Clear the ROI bits in both copies and compare the rest.
        std::vector<u8> a = before, b = after;
        for (int y = 0; y < H; ++y) {
            const std::size_t rowOff = std::size_t(y) * std::size_t(dst.img.step());
            for (int x = 0; x < W; ++x) {
                const long i = dof + x;
                a[rowOff + std::size_t(i >> 3)] &= static_cast<u8>(~(1u << (i & 7)));
                b[rowOff + std::size_t(i >> 3)] &= static_cast<u8>(~(1u << (i & 7)));
            }
        }
        ASSERT_EQ(a, b) << what << ": bits outside the ROI changed";
    };

    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiMorphologyBorderGetSize_1u_C1R({W, H}, k.size(), &specSize, &bufSize), 0);
    GuardedBuffer spec(std::size_t(specSize), place), buf(std::size_t(bufSize), place);
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    ASSERT_EQ(qpxiMorphologyBorderInit_1u_C1R({W, H}, k.m.data(), k.size(), sp, buf.data()), 0);
    BitImage dst(W, H, dof, {}, place, rnd);
    const auto before = dst.img.snapshot();
    const qpxStatus st =
        dilate ? qpxiDilateBorder_1u_C1R(src.row(0), src.img.step(), so, &dst.img.at(0, 0),
                                         dst.img.step(), dof, {W, H}, border, value, sp, buf.data())
               : qpxiErodeBorder_1u_C1R(src.row(0), src.img.step(), so, &dst.img.at(0, 0),
                                        dst.img.step(), dof, {W, H}, border, value, sp, buf.data());
    ASSERT_EQ(st, qpxStatusOk) << what;
    verify(dst, before);
    if (::testing::Test::HasFatalFailure()) return;

    // The scalar path gives the same bits.
    std::uint32_t eff = 0;
    ASSERT_TRUE(qpx::accept_morph_border(border, &eff));
    BitImage dstS(W, H, dof, {}, place, rnd);
    const auto beforeS = dstS.img.snapshot();
    qpx::morph::apply_1u(qpx::Path::Scalar, dilate ? qpx::morph::Op::Dilate : qpx::morph::Op::Erode,
                         src.row(0), src.img.step(), so, &dstS.img.at(0, 0), dstS.img.step(), dof,
                         W, H, eff, value, sp, buf.data());
    verify(dstS, beforeS);
    if (::testing::Test::HasFatalFailure()) return;

    // The 64-bit family.
    std::int64_t specL = 0, bufL = 0;
    ASSERT_EQ(qpxiDilateGetSpecSize_L({W, H}, {k.w, k.h}, &specL), 0);
    ASSERT_EQ(qpxiErodeGetBufferSize_L({W, H}, {k.w, k.h}, qpx1u, 1, &bufL), 0);
    GuardedBuffer specBufL(std::size_t(specL), place), bufBufL(std::size_t(bufL), place);
    auto* spL = reinterpret_cast<qpxMorphStateL*>(specBufL.data());
    ASSERT_EQ(qpxiDilateInit_L({W, H}, k.m.data(), {k.w, k.h}, spL), 0);
    BitImage dstL(W, H, dof, {}, place, rnd);
    const auto beforeL = dstL.img.snapshot();
    const qpxStatus stL =
        dilate
            ? qpxiDilate_1u_C1R_L(src.row(0), src.img.step(), so, &dstL.img.at(0, 0),
                                  dstL.img.step(), dof, {W, H}, border, value, spL, bufBufL.data())
            : qpxiErode_1u_C1R_L(src.row(0), src.img.step(), so, &dstL.img.at(0, 0),
                                 dstL.img.step(), dof, {W, H}, border, value, spL, bufBufL.data());
    ASSERT_EQ(stL, qpxStatusOk) << what;
    verify(dstL, beforeL);
}

TEST(ErodeDilate1u, EveryBitOffsetOnBothSides) {
    Random rnd(21);
    for (int so = 0; so < 8; ++so)
        for (int dof = 0; dof < 8; ++dof) {
            const int W = rnd.next<int>(1, 21), H = rnd.next<int>(1, 6);
            const Mask k = make_mask(rnd, rnd.next<int>(1, 5), rnd.next<int>(1, 5),
                                     static_cast<Shape>(rnd.next<int>(0, 4)));
            static const std::uint32_t kinds[] = {1, 5, 6};
            const std::uint32_t border = kinds[rnd.next<int>(0, 2)];
            check_1u(rnd, W, H, k, border, (so + dof) % 2 == 0, so, dof,
                     so % 2 ? Place::Begin : Place::End);
            ASSERT_FALSE(HasFatalFailure());
        }
}

TEST(ErodeDilate1u, RandomMasksBordersAndMemorySides) {
    Random rnd(22);
    for (int n = 0; n < 300; ++n) {
        const int W = rnd.next<int>(1, 40), H = rnd.next<int>(1, 10);
        const Mask k = make_mask(rnd, rnd.next<int>(1, n % 5 == 0 ? 11 : 6),
                                 rnd.next<int>(1, n % 5 == 0 ? 11 : 6),
                                 static_cast<Shape>(rnd.next<int>(0, 4)));
        static const std::uint32_t kinds[] = {1, 5, 6, 0};
        std::uint32_t border = kinds[rnd.next<int>(0, 3)];
        if (border == 0)
            border = 0xF0;
        else
            border |= std::uint32_t(rnd.next<int>(0, 255)) << 4;
        check_1u(rnd, W, H, k, border, n % 2 == 0, rnd.next<int>(0, 7), rnd.next<int>(0, 7),
                 n % 3 ? Place::Begin : Place::End);
        ASSERT_FALSE(HasFatalFailure()) << "case " << n;
    }
}

// The documented example: offset 3 reads bit 3 first and keeps bits 0..2 of the first byte.
TEST(ErodeDilate1u, OffsetExample) {
    const u8 mask[1] = {1};
    int ss = 0, bs = 0;
    ASSERT_EQ(qpxiMorphologyBorderGetSize_1u_C1R({4, 1}, {1, 1}, &ss, &bs), 0);
    std::vector<u8> spec(static_cast<std::size_t>(ss)), buf(static_cast<std::size_t>(bs));
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    ASSERT_EQ(qpxiMorphologyBorderInit_1u_C1R({4, 1}, mask, {1, 1}, sp, buf.data()), 0);
    const u8 src[2] = {0x08, 0x00};  // ROI pixel 0 set, pixels 1..3 clear
    u8 dst[2] = {0x07, 0xFF};
    ASSERT_EQ(
        qpxiDilateBorder_1u_C1R(src, 2, 3, dst, 2, 3, {4, 1}, qpxBorderRepl, 0, sp, buf.data()), 0);
    EXPECT_EQ(dst[0], 0x0F);  // bits 0..2 kept, bit 3 copied, bits 4..6 cleared, bit 7 kept
    EXPECT_EQ(dst[1], 0xFF);
}

}  // namespace
