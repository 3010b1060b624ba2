// The SobelCross, Laplacian and Lowpass exports against a direct correlation over every accepted
// border code (the export's vector path against the scalar path too), the 8-bit mean rounding,
// the buffer queries and the argument checks.
#include <gtest/gtest.h>

#include "filter/fixed.hpp"
#include "filter/reference.hpp"

namespace {

using qpx::Path;
using qpx::filter::FixedOp;
using namespace filtertest;
using u8 = std::uint8_t;
using i16 = std::int16_t;

using F8 = qpxStatus (*)(const u8*, int, void*, int, qpxSize, int, unsigned, u8, u8*);
using F32 = qpxStatus (*)(const float*, int, float*, int, qpxSize, int, unsigned, float, u8*);
using Q = qpxStatus (*)(qpxSize, qpxMaskSize, int*);

struct Op {
    FixedOp op;
    F8 f8;
    F32 f32;
    Q q8, q32;
    Mask k3, k5;
};
const Op kOps[] = {
    {FixedOp::SobelCross, F8(qpxiFilterSobelCrossBorder_8u16s_C1R),
     qpxiFilterSobelCrossBorder_32f_C1R, qpxiFilterSobelCrossGetBufferSize_8u16s_C1R,
     qpxiFilterSobelCrossGetBufferSize_32f_C1R, outer({-1, 0, 1}, {1, 0, -1}),
     outer({-1, -2, 0, 2, 1}, {1, 2, 0, -2, -1})},
    {FixedOp::Laplacian, F8(qpxiFilterLaplacianBorder_8u16s_C1R), qpxiFilterLaplacianBorder_32f_C1R,
     qpxiFilterLaplacianGetBufferSize_8u16s_C1R, qpxiFilterLaplacianGetBufferSize_32f_C1R,
     Mask{3, {2, 0, 2, 0, -8, 0, 2, 0, 2}},
     Mask{5, {2, 4, 4, 4, 2, 4, 0, -8, 0, 4, 4, -8, -24, -8, 4, 4, 0, -8, 0, 4, 2, 4, 4, 4, 2}}},
    {FixedOp::Lowpass, F8(qpxiFilterLowpassBorder_8u_C1R), qpxiFilterLowpassBorder_32f_C1R,
     qpxiFilterLowpassGetBufferSize_8u_C1R, qpxiFilterLowpassGetBufferSize_32f_C1R,
     Mask{3, std::vector<double>(9, 1.0)}, Mask{5, std::vector<double>(25, 1.0)}},
};

// The scalar path of the same filter.
template <class Src, class Dst>
void run_scalar(FixedOp op, const Src* s, int ss, Dst* d, int ds, qpxSize r, int m, unsigned b,
                Src v, u8* buf) {
    using qpx::filter::fixed_filter;
    const Path p = Path::Scalar;
    if constexpr (std::is_same_v<Dst, u8>) {
        fixed_filter<FixedOp::Lowpass>(p, s, ss, d, ds, r, m, b, v, buf);
    } else {
        if (op == FixedOp::SobelCross)
            fixed_filter<FixedOp::SobelCross>(p, s, ss, d, ds, r, m, b, v, buf);
        if (op == FixedOp::Laplacian)
            fixed_filter<FixedOp::Laplacian>(p, s, ss, d, ds, r, m, b, v, buf);
        if constexpr (std::is_same_v<Dst, float>)
            if (op == FixedOp::Lowpass)
                fixed_filter<FixedOp::Lowpass>(p, s, ss, d, ds, r, m, b, v, buf);
    }
}

// The export runs the vector path; the scalar path is called directly.
template <class Src, class Dst>
void sweep(const Op& o, unsigned seed) {
    qpxtest::Random rnd(seed);
    auto gen = [&]() -> Src {
        if constexpr (sizeof(Src) == 1)
            return rnd.bits() % 4 ? Src(rnd.bits()) : Src(rnd.bits() % 2 * 255);
        else
            return float(int(rnd.bits() % 2001) - 1000);  // integers: the float sums are exact
    };
    for (int ms : {33, 55})
        for (unsigned border : accepted_borders())
            for (qpxSize roi : kRois) {
                int size = 0;
                ASSERT_EQ((sizeof(Src) == 1 ? o.q8 : o.q32)(roi, ms, &size), 0);
                qpxtest::GuardedBuffer buf{std::size_t(size)};
                const Mask& k = ms == 33 ? o.k3 : o.k5;
                const Src value = gen();
                auto run = [&](Path p, auto& src, auto& dst) -> qpxStatus {
                    if (p == Path::Vector) {
                        if constexpr (sizeof(Src) == 1)
                            return o.f8(src.roi(), src.step(), dst.roi(), dst.step(), roi, ms,
                                        border, value, buf.data());
                        else
                            return o.f32(src.roi(), src.step(), dst.roi(), dst.step(), roi, ms,
                                         border, value, buf.data());
                    }
                    run_scalar<Src, Dst>(o.op, src.roi(), src.step(), dst.roi(), dst.step(), roi,
                                         ms, border, value, buf.data());
                    return qpxStatusOk;
                };
                auto want = [&](auto& src, int x, int y) {
                    const double s = correlate(src, k, x, y, border, double(value));
                    if (o.op != FixedOp::Lowpass) return s;
                    const int area = k.ks * k.ks;  // 8u: nearest; 32f: sum times 1/area
                    if (sizeof(Src) == 1) return std::floor((2 * s + area) / (2 * area));
                    return double(float(s) * (1.0f / float(area)));
                };
                check_filter<Src, Dst>(roi, border, (k.ks - 1) / 2, gen, run, want);
            }
}

TEST(FixedFilter, MatchesCorrelation) {
    sweep<u8, i16>(kOps[0], 1);
    sweep<float, float>(kOps[0], 2);
    sweep<u8, i16>(kOps[1], 3);
    sweep<float, float>(kOps[1], 4);
    sweep<u8, u8>(kOps[2], 5);
    sweep<float, float>(kOps[2], 6);
}

// Every sum either 8-bit mask can reach rounds to nearest (13 -> 1 and 14 -> 2 for 3x3): the
// centre of a ROI one window large sees the whole ROI.
TEST(FixedFilter, LowpassRoundsEveryReachableSum) {
    for (int k : {3, 5}) {
        GuardedImage<u8> src(k, k), dst(k, k);
        std::vector<u8> buf(4096);
        for (int s = 0; s <= 255 * k * k; ++s) {
            for (int i = 0, left = s; i < k * k; left -= src.at(i % k, i / k), ++i)
                src.at(i % k, i / k) = u8(std::min(left, 255));
            ASSERT_EQ(qpxiFilterLowpassBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(),
                                                     {k, k}, k * 11, qpxBorderRepl, 0, buf.data()),
                      0);
            ASSERT_EQ(dst.at(k / 2, k / 2), (2 * s + k * k) / (2 * k * k)) << "sum " << s;
        }
    }
}

TEST(FixedFilter, BufferQueries) {
    // Hand-computed from the size rules; the height never matters.
    const struct {
        Q q;
        qpxSize roi;
        int mask, size;
    } rows[] = {{kOps[0].q8, {10, 3}, 33, 1572}, {kOps[0].q32, {10, 700}, 55, 2856},
                {kOps[1].q8, {17, 1}, 55, 4644}, {kOps[1].q32, {1, 1}, 33, 3920},
                {kOps[2].q8, {16, 9}, 33, 1620}, {kOps[2].q32, {33, 2}, 55, 5992}};
    for (const auto& r : rows) {
        int size = -1;
        EXPECT_EQ(r.q(r.roi, r.mask, &size), qpxStatusOk);
        EXPECT_EQ(size, r.size);
        size = -1;  // failures in order: pointer, ROI, mask; the output stays untouched
        EXPECT_EQ(r.q({0, 0}, 0, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(r.q({0, 5}, 0, &size), qpxStatusBadSize);
        EXPECT_EQ(r.q({5, 5}, 35, &size), qpxStatusBadMaskSize);
        EXPECT_EQ(size, -1);
    }
}

// Pointers, size, row lengths, multiples (16s and 32f images only), border, then mask; nothing
// is written on failure.
TEST(FixedFilter, ArgumentCheckOrder) {
    for (const Op& o : kOps)
        for (bool isFloat : {false, true}) {
            const int se = isFloat ? 4 : 1, de = isFloat ? 4 : o.op == FixedOp::Lowpass ? 1 : 2;
            const int sr = 8 * se, dr = 8 * de;
            GuardedImage<std::uint32_t> src(8, 4), dst(8, 4);
            std::vector<u8> buf(1 << 14, 0x5A);
            const auto dstBefore = dst.snapshot();
            const auto bufBefore = buf;
            const qpxStatus multiple =
                se > 1 || de > 1 ? qpxStatusStepNotMultiple : qpxStatusBadBorder;
            const struct {
                int nul;  // 1 src, 2 dst, 3 buffer
                qpxSize roi;
                int ss, ds, mask;
                unsigned border;
                qpxStatus st;
            } rows[] = {
                {1, {0, 0}, sr, dr, 0, 1, qpxStatusNullPointer},
                {2, {8, 4}, sr, dr, 33, 999, qpxStatusNullPointer},
                {3, {8, 4}, 1, dr, 33, 1, qpxStatusNullPointer},
                {0, {8, 0}, 1, dr, 0, 1, qpxStatusBadSize},
                {0, {-1, 4}, sr, dr, 33, 1, qpxStatusBadSize},
                {0, {8, 4}, sr - 1, dr + 1, 33, 2, qpxStatusBadStep},
                {0, {8, 4}, sr + 1, dr - 1, 33, 2, qpxStatusBadStep},
                {0, {8, 4}, sr + 1, dr + 1, 35, 2, multiple},
                {0, {8, 4}, sr, dr, 35, 0xF2, qpxStatusBadBorder},
                {0, {8, 4}, sr, dr, 35, 0x30, qpxStatusBadBorder},
                {0, {8, 4}, sr, dr, 35, 0x101, qpxStatusBadBorder},
                {0, {8, 4}, sr, dr, 35, 1, qpxStatusBadMaskSize},
                {0, {8, 4}, sr, dr, 0, 6, qpxStatusBadMaskSize},
                {0, {8, 4}, sr, dr, 55, 6, qpxStatusOk},
            };
            for (const auto& r : rows) {
                void* s = r.nul == 1 ? nullptr : src.roi();
                void* d = r.nul == 2 ? nullptr : dst.roi();
                u8* b = r.nul == 3 ? nullptr : buf.data();
                const qpxStatus st =
                    isFloat
                        ? o.f32(static_cast<float*>(s), r.ss, static_cast<float*>(d), r.ds, r.roi,
                                r.mask, r.border, 0, b)
                        : o.f8(static_cast<u8*>(s), r.ss, d, r.ds, r.roi, r.mask, r.border, 0, b);
                ASSERT_EQ(st, r.st) << int(o.op) << " " << isFloat << " border " << r.border;
                if (st == qpxStatusOk) continue;
                ASSERT_EQ(dst.snapshot(), dstBefore);
                ASSERT_EQ(buf, bufBefore);
            }
        }
}

}  // namespace
