// Fixed filters (SobelCross, Laplacian, Lowpass) and the internal first-derivative filters
// against a direct correlation over every accepted border code, every target against scalar; the
// 8-bit mean rounding; the derivative kernel generator and the colour-gradient reduction with
// its rounding-mode handling; buffer queries and argument checks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "filter/derivative.hpp"
#include "filter/fixed.hpp"
#include "filter/reference.hpp"
#include "frame/fpenv.hpp"

namespace {

using qpx::filter::FixedOp;
using namespace filtertest;
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;
using qpx::filter::DerivKind;

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

template <FixedOp op, class Src, class Dst>
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
                ASSERT_EQ((sizeof(Src) == 1 ? o.q8 : o.q32)(roi, ms, &size), qpxStatusOk);
                qpxtest::GuardedBuffer buf{std::size_t(size)};
                const Mask& k = ms == 33 ? o.k3 : o.k5;
                const Src value = gen();
                auto run = [&](qpx::Target t, auto& src, auto& dst) -> qpxStatus {
                    qpx::filter::fixed_filter<op>(
                        t, qpx::View<const Src>(src.roi(), src.step(), roi.width, roi.height),
                        qpx::View<std::remove_reference_t<decltype(*dst.roi())>>(
                            dst.roi(), dst.step(), roi.width, roi.height),
                        ms, border, value, buf.data());
                    return qpxStatusOk;
                };
                auto want = [&](auto& src, int x, int y) {
                    const double s = correlate(src, k, x, y, border, double(value));
                    if (op != FixedOp::Lowpass) return s;
                    const int area = k.ks * k.ks;  // 8u: nearest; 32f: sum times 1/area
                    if (sizeof(Src) == 1) return std::floor((2 * s + area) / (2 * area));
                    return double(float(s) * (1.0f / float(area)));
                };
                check_filter<Src, Dst>(roi, border, (k.ks - 1) / 2, gen, run, want);
            }
}

TEST(FixedFilter, MatchesCorrelation) {
    sweep<FixedOp::SobelCross, u8, i16>(kOps[0], 1);
    sweep<FixedOp::SobelCross, float, float>(kOps[0], 2);
    sweep<FixedOp::Laplacian, u8, i16>(kOps[1], 3);
    sweep<FixedOp::Laplacian, float, float>(kOps[1], 4);
    sweep<FixedOp::Lowpass, u8, u8>(kOps[2], 5);
    sweep<FixedOp::Lowpass, float, float>(kOps[2], 6);
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

// ---- first-derivative filters --------------------------------------------------------------
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
void sweep_derivative(qpxDataType st, qpxDataType dt) {
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
                    qpx::filter::derivative_buffer_size(c.kind, roi, c.mask, st, dt, 1, &size),
                    qpxStatusOk);
                qpxtest::GuardedBuffer buf{std::size_t(size)};
                const Src value = gen();
                check_filter<Src, Dst>(
                    roi, border, (c.k.ks - 1) / 2, gen,
                    [&](qpx::Target t, auto& src, auto& dst) {
                        return qpx::filter::derivative(c.kind,
                                                       qpx::view(src.roi(), src.step(), roi),
                                                       qpx::view(dst.roi(), dst.step(), roi),
                                                       c.mask, border, value, buf.data(), t);
                    },
                    [&](auto& src, int x, int y) {
                        return correlate(src, c.k, x, y, border, value);
                    },
                    sizeof(Src) == 1 ? 0.0 : 1e-3);
            }
}
TEST(Derivative, MatchesCorrelation) {
    sweep_derivative<u8, i16>(qpx8u, qpx16s);
    sweep_derivative<float, float>(qpx32f, qpx32f);
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
        EXPECT_EQ(qpx::filter::derivative(
                      r.kind, qpx::view<const u8>(r.srcNull ? nullptr : src.roi(), r.ss, r.roi),
                      qpx::view(r.dstNull ? nullptr : dst.roi(), r.ds, r.roi), r.mask, r.border,
                      u8(0), r.bufNull ? nullptr : buf.data()),
                  r.st);
        EXPECT_EQ(dst.snapshot(), before);
        EXPECT_EQ(buf, bufBefore);
    }
}

// Coefficients of (1 + z)^(n-1-d) (z - 1)^d by polynomial multiplication.
std::vector<long> sobel_poly(int n, int d) {
    std::vector<long> p{1};
    for (int f = 0; f < n - 1; ++f) {
        const long c0 = f < n - 1 - d ? 1 : -1;  // times (c0 + z)
        std::vector<long> q(p.size() + 1, 0);
        for (std::size_t i = 0; i < p.size(); ++i) q[i] += c0 * p[i], q[i + 1] += p[i];
        p = q;
    }
    return p;
}

TEST(GenSobelKernel, MatchesPolynomial) {
    for (int n = 1; n <= 15; n += 2)
        for (int d = 0; d < n; ++d)
            for (int sign : {1, -1}) {
                const std::vector<long> want = sobel_poly(n, d);
                std::vector<float> f(std::size_t(n) + 1, 99.0f);
                std::vector<i16> s(std::size_t(n) + 1, 99);
                ASSERT_EQ(qpxiGenSobelKernel_32f(f.data(), n, d, sign), qpxStatusOk);
                ASSERT_EQ(qpxiGenSobelKernel_16s(s.data(), n, d, sign), qpxStatusOk);
                for (int i = 0; i < n; ++i) {
                    ASSERT_EQ(f[i], float(sign * want[i])) << n << " " << d;
                    ASSERT_EQ(s[i], sign * want[i]) << n << " " << d;
                }
                ASSERT_EQ(f[n] + s[n], 198.0f);  // nothing written past the kernel
            }
}

// ---- colour gradient to grey ----------------------------------------------------------------

template <class T>
double gray_ref(double c0, double c1, double c2, int norm) {
    const float m = std::sqrt(
        ((float(c0) * float(c0) + float(c1) * float(c1)) + float(c2) * float(c2)) * 0.33333334f);
    if (std::is_same_v<T, float>) {
        const float a = std::fabs(float(c0)), b = std::fabs(float(c1)), c = std::fabs(float(c2));
        return norm == 0 ? std::max({a, b, c}) : norm == 1 ? (a + b) + c : m;
    }
    const long s = long(c0 + c1 + c2);
    if (norm == 0) return std::max({c0, c1, c2});
    if (norm == 1) return sizeof(T) == 1 ? (s * 1365 + 2048) >> 12 : (s * 5461 + 8192) >> 14;
    return std::nearbyint(m);
}

template <class T, class F>
void check_gray(F exportFn) {
    qpxtest::Random rnd(21);
    std::vector<int> widths = qpxtest::test_widths();
    widths.push_back(263);  // rows longer than one internal chunk
    for (int norm : {0, 1, 2})
        for (int w : widths)
            for (qpxtest::Place place : {qpxtest::Place::Begin, qpxtest::Place::End}) {
                GuardedImage<T> src(w, 3, 3, 0, place), out(w, 3, 1, 0, place), sca(w, 3);
                src.fill([&] {  // full range, with the type's extremes mixed in
                    const std::uint32_t b = rnd.bits() % 7;
                    return b == 0   ? std::numeric_limits<T>::max()
                           : b == 1 ? std::numeric_limits<T>::lowest()
                                    : rnd.any<T>();
                });
                ASSERT_EQ(exportFn(src.roi(), src.step(), out.roi(), out.step(), {w, 3}, norm),
                          qpxStatusOk);
                auto run = [&](qpx::Target t, GuardedImage<T>& dst) {
                    qpx::filter::gradient_color_to_gray<T>(
                        t, qpx::view(src.roi(), src.step(), qpxSize{w, 3}, 3),
                        qpx::view(dst.roi(), dst.step(), qpxSize{w, 3}), norm);
                };
                run(qpx::Target::Scalar, sca);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(
                            double(out.at(x, y)),
                            gray_ref<T>(src.at(x, y, 0), src.at(x, y, 1), src.at(x, y, 2), norm))
                            << "norm " << norm << " x " << x;
                for (qpx::Target t : qpxtest::vector_targets()) {
                    run(t, out);
                    for (int y = 0; y < 3; ++y)
                        ASSERT_EQ(0, std::memcmp(&out.at(0, y), &sca.at(0, y), sizeof(T) * w))
                            << qpx::target_name(t) << " norm " << norm << " width " << w;
                }
            }
}
TEST(GradientColorToGray, MatchesFormulas) {
    check_gray<u8>(qpxiGradientColorToGray_8u_C3C1R);
    check_gray<u16>(qpxiGradientColorToGray_16u_C3C1R);
    check_gray<float>(qpxiGradientColorToGray_32f_C3C1R);
}

// The integer L2 outputs round to nearest whatever the caller's mode; the caller's rounding
// field comes back and denormals-are-zero stays cleared once the mode had to change. The float
// output leaves the register alone.
TEST(GradientColorToGray, L2RoundingModeHandling) {
    const unsigned saved = _mm_getcsr(), flags = 0x3F;
    const u8 px8[3] = {2, 2, 1};  // sqrt(9 / 3) = 1.73: nearest 2, toward zero or down 1
    const u16 px16[3] = {2, 2, 1};
    const float pxf[3] = {2, 2, 1};
    for (unsigned mode : {0x0000u, 0x2000u, 0x4000u, 0x6000u})
        for (unsigned daz : {0u, qpx::kMxcsrDaz}) {
            const unsigned before = (saved & ~(qpx::kMxcsrRoundMask | qpx::kMxcsrDaz)) | mode | daz;
            const unsigned after = mode == 0 ? before : before & ~qpx::kMxcsrDaz;
            u8 o8 = 0;
            u16 o16 = 0;
            float of = 0;
            _mm_setcsr(before);
            qpxStatus st = qpxiGradientColorToGray_8u_C3C1R(px8, 3, &o8, 1, {1, 1}, 2);
            const unsigned r8 = _mm_getcsr() & ~flags;
            _mm_setcsr(before);
            st |= qpxiGradientColorToGray_16u_C3C1R(px16, 6, &o16, 2, {1, 1}, 2);
            const unsigned r16 = _mm_getcsr() & ~flags;
            _mm_setcsr(before);
            st |= qpxiGradientColorToGray_32f_C3C1R(pxf, 12, &of, 4, {1, 1}, 2);
            const unsigned rf = _mm_getcsr() & ~flags;
            _mm_setcsr(saved);
            EXPECT_EQ(st, qpxStatusOk);
            EXPECT_EQ(o8 + o16, 4) << mode;
            EXPECT_EQ(r8, after & ~flags) << mode << " " << daz;
            EXPECT_EQ(r16, after & ~flags) << mode << " " << daz;
            EXPECT_EQ(rf, before & ~flags);
        }
}

// Only the final conversion rounds to nearest: the squares, mean and root of 16-bit channels
// round by the caller's mode, which moves these roots across a half (found by search; 8-bit
// channels never cross).
TEST(GradientColorToGray, L2FloatStepsKeepCallerMode) {
    const struct {
        u16 c[3];
        unsigned mode;
        u16 want;
    } rows[] = {
        {{18929, 27649, 28069}, 0x0000, 25237},  // root 25236.502
        {{18929, 27649, 28069}, 0x6000, 25236},  // 25236.498 toward zero
        {{18929, 27649, 28069}, 0x2000, 25236},  // down
        {{59643, 22912, 49003}, 0x0000, 46488},  // 46488.496
        {{59643, 22912, 49003}, 0x4000, 46489},  // 46488.504 up
        {{37118, 11227, 10680}, 0x6000, 23222},  // exactly 23222.5 toward zero: ties to even
    };
    const unsigned saved = _mm_getcsr();
    for (const auto& r : rows) {
        u16 out[9] = {};
        u16 px[27];
        for (int i = 0; i < 27; ++i) px[i] = r.c[i % 3];  // vector and scalar tail alike
        _mm_setcsr((saved & ~qpx::kMxcsrRoundMask) | r.mode);
        const qpxStatus st = qpxiGradientColorToGray_16u_C3C1R(px, 54, out, 18, {9, 1}, 2);
        _mm_setcsr(saved);
        EXPECT_EQ(st, qpxStatusOk);
        for (u16 o : out) EXPECT_EQ(o, r.want) << r.c[0] << " mode " << r.mode;
    }
}

}  // namespace
