// The internal first-derivative filters against a direct correlation over every accepted
// border code, their sign conventions, buffer query and argument checks.
#include <gtest/gtest.h>

#include "filter/derivative.hpp"
#include "filter/reference.hpp"

namespace {

using qpx::Path;
using qpx::filter::DerivKind;
using namespace filtertest;
using u8 = std::uint8_t;
using i16 = std::int16_t;

struct Case {
    DerivKind kind;
    int mask;
    Mask k;
};
const std::vector<Case> kCases = {
    {DerivKind::SobelV, 33, outer({1, 2, 1}, {1, 0, -1})},
    {DerivKind::SobelV, 55, outer({1, 4, 6, 4, 1}, {1, 2, 0, -2, -1})},
    {DerivKind::SobelNegV, 33, outer({1, 2, 1}, {-1, 0, 1})},
    {DerivKind::SobelNegV, 55, outer({1, 4, 6, 4, 1}, {-1, -2, 0, 2, 1})},
    {DerivKind::SobelH, 33, outer({-1, 0, 1}, {1, 2, 1})},
    {DerivKind::SobelH, 55, outer({-1, -2, 0, 2, 1}, {1, 4, 6, 4, 1})},
    {DerivKind::ScharrV, 33, outer({3, 10, 3}, {-1, 0, 1})},
    {DerivKind::ScharrH, 33, outer({-1, 0, 1}, {3, 10, 3})},
};

// 8u sources are exact (extremes included); 32f sources are real-valued, so the paths must agree
// bit for bit while the sums are only close to the exact ones.
template <class Src, class Dst>
void sweep(qpxDataType st, qpxDataType dt) {
    qpxtest::Random rnd(3);
    auto gen = [&]() -> Src {
        if constexpr (sizeof(Src) == 1)
            return rnd.bits() % 4 ? Src(rnd.bits()) : Src(rnd.bits() % 2 * 255);
        else
            return rnd.next<float>(-100.0, 100.0);
    };
    for (const Case& c : kCases)
        for (unsigned border : accepted_borders())
            for (qpxSize roi : kRois) {
                int size = 0;
                ASSERT_EQ(
                    qpx::filter::derivative_buffer_size(c.kind, roi, c.mask, st, dt, 1, &size), 0);
                qpxtest::GuardedBuffer buf{std::size_t(size)};
                const Src value = gen();
                check_filter<Src, Dst>(
                    roi, border, (c.k.ks - 1) / 2, gen,
                    [&](Path p, auto& src, auto& dst) {
                        return qpx::filter::derivative(c.kind, src.roi(), src.step(), dst.roi(),
                                                       dst.step(), roi, c.mask, border, value,
                                                       buf.data(), p);
                    },
                    [&](auto& src, int x, int y) {
                        return correlate(src, c.k, x, y, border, value);
                    },
                    sizeof(Src) == 1 ? 0.0 : 1e-3);
            }
}
TEST(Derivative, MatchesCorrelation) {
    sweep<u8, i16>(qpx8u, qpx16s);
    sweep<float, float>(qpx32f, qpx32f);
}

TEST(Derivative, BufferQuery) {
    const struct {
        DerivKind kind;
        qpxSize roi;
        int mask, src, dst, ch, status, size;
    } rows[] = {
        // Sizes worked out by hand from the rule (M = max(w, h)).
        {DerivKind::SobelV, {10, 20}, 33, qpx8u, qpx16s, 1, 0, 128},
        {DerivKind::SobelH, {10, 20}, 55, qpx8u, qpx16s, 1, 0, 224},
        {DerivKind::SobelV, {31, 2}, 33, qpx8u, qpx16s, 1, 0, 160},
        {DerivKind::ScharrV, {10, 20}, 33, qpx32f, qpx32f, 1, 0, 704},
        {DerivKind::SobelV, {10, 20}, 55, qpx32f, qpx32f, 1, 0, 1440},
        {DerivKind::SobelH, {10, 20}, 33, qpx16s, qpx16s, 1, 0, 448},
        // Failures in order: size, mask, types, channels.
        {DerivKind::SobelV, {0, 20}, 99, 99, 99, 9, qpxStatusBadSize, -1},
        {DerivKind::SobelV, {10, 20}, 35, 99, 99, 9, qpxStatusBadMaskSize, -1},
        {DerivKind::ScharrH, {10, 20}, 55, qpx8u, qpx16s, 1, qpxStatusBadMaskSize, -1},
        {DerivKind::SobelV, {10, 20}, 55, qpx8u, qpx8u, 9, qpxStatusBadDataType, -1},
        {DerivKind::SobelNegV, {10, 20}, 33, qpx16s, qpx16s, 1, qpxStatusBadDataType, -1},
        {DerivKind::SobelV, {10, 20}, 33, qpx8u, qpx16s, 3, qpxStatusBadChannelCount, -1},
    };
    for (const auto& r : rows) {
        int size = -1;
        EXPECT_EQ(
            qpx::filter::derivative_buffer_size(r.kind, r.roi, r.mask, r.src, r.dst, r.ch, &size),
            r.status);
        EXPECT_EQ(size, r.size);
    }
    EXPECT_EQ(qpx::filter::derivative_buffer_size(DerivKind::SobelV, {0, 0}, 0, 0, 0, 0, nullptr),
              qpxStatusNullPointer);
}

// Checks in order; a failed call writes neither the image nor the buffer.
TEST(Derivative, ArgumentCheckOrder) {
    GuardedImage<u8> src(8, 4);
    GuardedImage<i16> dst(8, 4);
    std::vector<u8> buf(1024, 0xA5);
    const struct {
        bool srcNull, dstNull, bufNull;
        qpxSize roi;
        int ss, ds, mask;
        unsigned border;
        DerivKind kind;
        qpxStatus st;
    } rows[] = {
        {true, false, false, {0, 0}, 8, 16, 33, 1, DerivKind::SobelV, qpxStatusNullPointer},
        {false, true, false, {8, 4}, 8, 16, 33, 1, DerivKind::SobelV, qpxStatusNullPointer},
        {false, false, true, {8, 4}, 0, 16, 33, 1, DerivKind::SobelV, qpxStatusNullPointer},
        {false, false, false, {8, 0}, 1, 16, 33, 1, DerivKind::SobelV, qpxStatusBadSize},
        {false, false, false, {8, 4}, 7, 15, 33, 1, DerivKind::SobelV, qpxStatusBadStep},
        {false, false, false, {8, 4}, 8, 15, 33, 1, DerivKind::SobelV, qpxStatusBadStep},
        {false, false, false, {8, 4}, 8, 17, 33, 2, DerivKind::SobelV, qpxStatusStepNotMultiple},
        {false, false, false, {8, 4}, 8, 16, 35, 16, DerivKind::SobelV, qpxStatusBadBorder},
        {false, false, false, {8, 4}, 8, 16, 35, 1, DerivKind::SobelV, qpxStatusBadMaskSize},
        {false, false, false, {8, 4}, 8, 16, 55, 1, DerivKind::ScharrV, qpxStatusBadMaskSize},
    };
    const auto before = dst.snapshot();
    const auto bufBefore = buf;
    for (const auto& r : rows) {
        EXPECT_EQ(qpx::filter::derivative(r.kind, r.srcNull ? nullptr : src.roi(), r.ss,
                                          r.dstNull ? nullptr : dst.roi(), r.ds, r.roi, r.mask,
                                          r.border, u8(0), r.bufNull ? nullptr : buf.data()),
                  r.st);
        EXPECT_EQ(dst.snapshot(), before);
        EXPECT_EQ(buf, bufBefore);
    }
}

}  // namespace
