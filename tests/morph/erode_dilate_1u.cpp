// Bit-packed erosion and dilation: every source and destination bit offset, random masks and
// borders, the 32-bit and 64-bit exports and the scalar path; bits around the ROI are kept.
#include "erode_dilate_common.hpp"
#include "frame/border.hpp"
#include "morph/morph_engine.hpp"

using namespace morphtest;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;

namespace {

using u8 = std::uint8_t;

// A packed image whose ROI starts at bit `off` of each row, with the bytes around it that the
// in-memory flags let the stage read.
struct BitImage {
    BitImage(int w, int h, int off, Margins m, Place place, Random& rnd) : off(off) {
        const int leftBytes = m.left > off ? (m.left - off + 7) / 8 : 0;
        img = GuardedImage<u8>((off + w + m.right + 7) / 8, h, 1, rnd.next<int>(0, 2), place,
                               Margins{m.top, m.bottom, leftBytes, 0});
        img.fill([&] { return rnd.any<u8>(); });
    }
    u8* row(int y) const { return &img.at(0, y); }
    u8 pixel(int x, int y) const {
        return (row(y)[(off + x) >> 3] >> ((off + x) & 7)) & 1 ? 255 : 0;
    }
    int off;
    GuardedImage<u8> img;
};

void check_1u(Random& rnd, int W, int H, const Mask& k, std::uint32_t border, bool dilate, int so,
              int dof, Place place) {
    BitImage src(W, H, so, reach(k, border), place, rnd);
    const u8 value = static_cast<u8>(rnd.next<int>(0, 2));  // any nonzero value sets the bit
    const u8 wide = value ? 255 : 0;
    const auto expect = reference<u8>(k, W, H, 1, border, &wide, dilate,
                                      [&](int x, int y, int) { return src.pixel(x, y); });
    const std::string what = std::to_string(W) + "x" + std::to_string(H) + " mask " +
                             std::to_string(k.w) + "x" + std::to_string(k.h) + " border " +
                             std::to_string(border) + " offsets " + std::to_string(so) + "/" +
                             std::to_string(dof);
    // ROI bits as expected; every other bit of the destination memory as it was.
    auto verify = [&](auto&& run) {
        BitImage dst(W, H, dof, {}, place, rnd);
        auto before = dst.img.snapshot();
        ASSERT_EQ(run(dst.row(0), dst.img.step()), qpxStatusOk) << what;
        auto after = dst.img.snapshot();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                ASSERT_EQ(dst.pixel(x, y), expect[std::size_t(y) * W + x])
                    << what << " at " << x << "," << y;
                const std::size_t i = std::size_t(y) * dst.img.step() + std::size_t((dof + x) >> 3);
                before[i] &= u8(~(1u << ((dof + x) & 7)));
                after[i] &= u8(~(1u << ((dof + x) & 7)));
            }
        ASSERT_EQ(before, after) << what << ": bits outside the ROI changed";
    };

    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiMorphologyBorderGetSize_1u_C1R({W, H}, k.size(), &specSize, &bufSize),
              qpxStatusOk);
    GuardedBuffer spec(std::size_t(specSize), place), buf(std::size_t(bufSize), place);
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    ASSERT_EQ(qpxiMorphologyBorderInit_1u_C1R({W, H}, k.m.data(), k.size(), sp, buf.data()),
              qpxStatusOk);
    verify([&](u8* d, int ds) {
        return dilate ? qpxiDilateBorder_1u_C1R(src.row(0), src.img.step(), so, d, ds, dof, {W, H},
                                                border, value, sp, buf.data())
                      : qpxiErodeBorder_1u_C1R(src.row(0), src.img.step(), so, d, ds, dof, {W, H},
                                               border, value, sp, buf.data());
    });
    std::uint32_t eff = 0;
    ASSERT_TRUE(qpx::accept_morph_border(border, &eff));
    for (qpx::Target t : all_targets())
        verify([&](u8* d, int ds) {
            qpx::morph::apply_1u(t, dilate ? qpx::morph::Op::Dilate : qpx::morph::Op::Erode,
                                 qpx::View<const u8>(src.row(0), src.img.step(), W, H), so,
                                 qpx::View<u8>(d, ds, W, H), dof, eff, value, sp, buf.data());
            return qpxStatusOk;
        });

    std::int64_t specL = 0, bufL = 0;
    ASSERT_EQ(qpxiDilateGetSpecSize_L({W, H}, {k.w, k.h}, &specL), qpxStatusOk);
    ASSERT_EQ(qpxiErodeGetBufferSize_L({W, H}, {k.w, k.h}, qpx1u, 1, &bufL), qpxStatusOk);
    GuardedBuffer specMemL(std::size_t(specL), place), bufMemL(std::size_t(bufL), place);
    auto* spL = reinterpret_cast<qpxMorphStateL*>(specMemL.data());
    ASSERT_EQ(qpxiDilateInit_L({W, H}, k.m.data(), {k.w, k.h}, spL), qpxStatusOk);
    verify([&](u8* d, int ds) {
        return dilate ? qpxiDilate_1u_C1R_L(src.row(0), src.img.step(), so, d, ds, dof, {W, H},
                                            border, value, spL, bufMemL.data())
                      : qpxiErode_1u_C1R_L(src.row(0), src.img.step(), so, d, ds, dof, {W, H},
                                           border, value, spL, bufMemL.data());
    });
}

TEST(ErodeDilate1u, RandomCasesAtEveryBitOffset) {
    Random rnd(21);
    static const std::uint32_t kinds[] = {1, 5, 6, 0};
    for (int n = 0; n < 320 && !HasFatalFailure(); ++n) {
        const int big = n % 5 == 0 ? 11 : 6;
        const Mask k = make_mask(rnd, rnd.next<int>(1, big), rnd.next<int>(1, big),
                                 static_cast<Shape>(rnd.next<int>(0, 4)));
        std::uint32_t border = kinds[rnd.next<int>(0, 3)];
        border =
            border == 0 ? 0xF0 : border | (n % 2 ? std::uint32_t(rnd.next<int>(0, 255)) << 4 : 0);
        // The first 64 cases run every pair of offsets.
        const int so = n < 64 ? n / 8 : rnd.next<int>(0, 7),
                  dof = n < 64 ? n % 8 : rnd.next<int>(0, 7);
        check_1u(rnd, rnd.next<int>(1, 40), rnd.next<int>(1, 10), k, border, n % 3 != 0, so, dof,
                 n % 3 ? Place::Begin : Place::End);
    }
}

}  // namespace
