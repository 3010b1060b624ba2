// The Sobel-type kernel generator and the colour-gradient reduction: results against the
// formulas, the vector path against the scalar one, argument checks, and the rounding-mode
// handling of the integer L2 outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/guard.hpp"
#include "filter/fixed.hpp"
#include "frame/fpenv.hpp"

namespace {

using qpx::Path;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;

// (1 + z)^(n-1-d) (z - 1)^d by polynomial multiplication.
std::vector<long> sobel_poly(int n, int d) {
    std::vector<long> p{1};
    auto times = [&](long c0, long c1) {  // by (c0 + c1 z)
        std::vector<long> q(p.size() + 1, 0);
        for (std::size_t i = 0; i < p.size(); ++i) q[i] += c0 * p[i], q[i + 1] += c1 * p[i];
        p = q;
    };
    for (int i = 0; i < n - 1 - d; ++i) times(1, 1);
    for (int i = 0; i < d; ++i) times(-1, 1);
    return p;
}

TEST(GenSobelKernel, MatchesPolynomialForEveryOddSize) {
    for (int n = 1; n <= 15; n += 2)
        for (int d = 0; d < n; ++d)
            for (int sign : {1, -1}) {
                const std::vector<long> want = sobel_poly(n, d);
                std::vector<float> f(std::size_t(n) + 1, 99.0f);
                std::vector<i16> s(std::size_t(n) + 1, 99);
                ASSERT_EQ(qpxiGenSobelKernel_32f(f.data(), n, d, sign), 0);
                ASSERT_EQ(qpxiGenSobelKernel_16s(s.data(), n, d, sign), 0);
                for (int i = 0; i < n; ++i) {
                    ASSERT_EQ(f[i], float(sign < 0 ? -want[i] : want[i])) << n << " " << d;
                    ASSERT_EQ(s[i], sign < 0 ? -want[i] : want[i]) << n << " " << d;
                }
                EXPECT_EQ(f[n], 99.0f);  // nothing past the kernel
                EXPECT_EQ(s[n], 99);
            }
    float k[3];
    ASSERT_EQ(qpxiGenSobelKernel_32f(k, 3, 1, -1), 0);
    EXPECT_EQ(k[0], 1.0f);
    EXPECT_EQ(k[1], 0.0f);
    EXPECT_EQ(k[2], -1.0f);
}

TEST(GenSobelKernel, Checks) {
    struct Row {
        bool null;
        int n, d;
        qpxStatus st;
    };
    const Row rows[] = {{true, 4, -1, qpxStatusNullPointer}, {false, 4, 1, qpxStatusBadSize},
                        {false, 3, 3, qpxStatusBadSize},     {false, 3, 5, qpxStatusBadSize},
                        {false, 0, 0, qpxStatusBadSize},     {false, -1, -2, qpxStatusBadSize},
                        {false, 5, -1, qpxStatusBadSize},    {false, 1, 0, qpxStatusOk}};
    for (const Row& r : rows) {
        float f[8] = {7, 7, 7, 7, 7, 7, 7, 7};
        i16 s[8] = {7, 7, 7, 7, 7, 7, 7, 7};
        EXPECT_EQ(qpxiGenSobelKernel_32f(r.null ? nullptr : f, r.n, r.d, 1), r.st);
        EXPECT_EQ(qpxiGenSobelKernel_16s(r.null ? nullptr : s, r.n, r.d, 1), r.st);
        if (r.st != qpxStatusOk)
            EXPECT_EQ(f[0] + s[0], 14.0f);
        else
            EXPECT_EQ(f[0] + s[0], 2.0f);
    }
}

// ---- colour gradient to grey ----------------------------------------------------------------

float mean_root(float a, float b, float c) {
    return std::sqrt(((a * a + b * b) + c * c) * 0.33333334f);
}

template <class T>
double gray_ref(T c0, T c1, T c2, int norm) {
    if constexpr (std::is_same_v<T, float>) {
        if (norm == 0) return std::max({std::fabs(c0), std::fabs(c1), std::fabs(c2)});
        if (norm == 1) return (std::fabs(c0) + std::fabs(c1)) + std::fabs(c2);
        return mean_root(c0, c1, c2);
    } else {
        const long s = long(c0) + c1 + c2;
        if (norm == 0) return std::max({c0, c1, c2});
        if (norm == 1) return sizeof(T) == 1 ? (s * 1365 + 2048) >> 12 : (s * 5461 + 8192) >> 14;
        return std::nearbyint(mean_root(float(c0), float(c1), float(c2)));
    }
}

template <class T>
qpxStatus gray_export(const T* s, int ss, T* d, int ds, qpxSize r, int norm) {
    if constexpr (std::is_same_v<T, u8>)
        return qpxiGradientColorToGray_8u_C3C1R(s, ss, d, ds, r, norm);
    else if constexpr (std::is_same_v<T, u16>)
        return qpxiGradientColorToGray_16u_C3C1R(s, ss, d, ds, r, norm);
    else
        return qpxiGradientColorToGray_32f_C3C1R(s, ss, d, ds, r, norm);
}

template <class T>
void check_gray() {
    qpxtest::Random rnd(21);
    for (int norm : {0, 1, 2})
        for (int w : qpxtest::test_widths())
            for (Place place : {Place::Begin, Place::End}) {
                const qpxSize roi{w, 3};
                GuardedImage<T> src(w, 3, 3, 0, place), vec(w, 3, 1, 0, place), sca(w, 3);
                src.fill([&] {
                    // Mostly full-range values, some at the extremes of the type.
                    const std::uint32_t b = rnd.bits();
                    if (b % 7 == 0) return std::numeric_limits<T>::max();
                    if (b % 7 == 1) return std::numeric_limits<T>::lowest();
                    return rnd.any<T>();
                });
                ASSERT_EQ(gray_export<T>(src.roi(), src.step(), vec.roi(), vec.step(), roi, norm),
                          0);
                qpx::filter::gradient_color_to_gray<T>(Path::Scalar, src.roi(), src.step(),
                                                       sca.roi(), sca.step(), roi, norm);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < w; ++x) {
                        const double want =
                            gray_ref<T>(src.at(x, y, 0), src.at(x, y, 1), src.at(x, y, 2), norm);
                        ASSERT_EQ(double(vec.at(x, y)), want) << "norm " << norm << " x " << x;
                        ASSERT_EQ(0, std::memcmp(&vec.at(x, y), &sca.at(x, y), sizeof(T)));
                    }
            }
}

TEST(GradientColorToGray, Matches8u) {
    check_gray<u8>();
}
TEST(GradientColorToGray, Matches16u) {
    check_gray<u16>();
}
TEST(GradientColorToGray, Matches32f) {
    check_gray<float>();
}

TEST(GradientColorToGray, MeanNormalisedL1) {
    const u8 px[2][3] = {{255, 255, 255}, {1, 1, 0}};
    u8 out[2];
    ASSERT_EQ(qpxiGradientColorToGray_8u_C3C1R(&px[0][0], 6, out, 2, {2, 1}, 1), 0);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], 1);
    const u16 wpx[3] = {65535, 65535, 65535};
    u16 wout;
    ASSERT_EQ(qpxiGradientColorToGray_16u_C3C1R(wpx, 6, &wout, 2, {1, 1}, 1), 0);
    // The 16u multiplier 5461 sits just under 2^14 / 3, so white comes out slightly lower.
    EXPECT_EQ(wout, 65531);
}

// The integer L2 outputs round to nearest whatever the caller's mode; the caller's rounding
// field comes back, denormals-are-zero is left cleared once the mode had to change.
TEST(GradientColorToGray, L2RoundingModeHandling) {
    const unsigned saved = _mm_getcsr();
    // sqrt((4 + 4 + 1) / 3) = 1.73: nearest gives 2, toward zero or down would give 1.
    const u8 px8[3] = {2, 2, 1};
    const u16 px16[3] = {2, 2, 1};
    const float pxf[3] = {2, 2, 1};
    for (unsigned mode : {0x0000u, 0x2000u, 0x4000u, 0x6000u})
        for (unsigned daz : {0u, qpx::kMxcsrDaz}) {
            const unsigned before = (saved & ~(qpx::kMxcsrRoundMask | qpx::kMxcsrDaz)) | mode | daz;
            const unsigned expectAfter = mode == 0 ? before : before & ~qpx::kMxcsrDaz;
            u8 o8 = 0;
            u16 o16 = 0;
            float of = 0;
            _mm_setcsr(before);
            const qpxStatus s8 = qpxiGradientColorToGray_8u_C3C1R(px8, 3, &o8, 1, {1, 1}, 2);
            const unsigned after8 = _mm_getcsr();
            _mm_setcsr(before);
            const qpxStatus s16 = qpxiGradientColorToGray_16u_C3C1R(px16, 6, &o16, 2, {1, 1}, 2);
            const unsigned after16 = _mm_getcsr();
            _mm_setcsr(before);
            const qpxStatus sf = qpxiGradientColorToGray_32f_C3C1R(pxf, 12, &of, 4, {1, 1}, 2);
            const unsigned afterf = _mm_getcsr();
            _mm_setcsr(saved);
            EXPECT_EQ(s8 | s16 | sf, 0);
            EXPECT_EQ(o8, 2) << mode;
            EXPECT_EQ(o16, 2) << mode;
            EXPECT_EQ(after8 & ~0x3Fu, expectAfter & ~0x3Fu) << std::hex << mode << " " << daz;
            EXPECT_EQ(after16 & ~0x3Fu, expectAfter & ~0x3Fu) << std::hex << mode << " " << daz;
            EXPECT_EQ(afterf & ~0x3Fu, before & ~0x3Fu);  // the float output leaves it alone
        }
    EXPECT_EQ(_mm_getcsr(), saved);
}

TEST(GradientColorToGray, Checks) {
    GuardedImage<u16> src(4, 2, 3), dst(4, 2);
    src.fill([] { return u16(9); });
    dst.fill([] { return u16(1); });
    const auto before = dst.snapshot();
    struct Row {
        bool srcNull, dstNull;
        qpxSize roi;
        int ss, ds, norm;
        qpxStatus st;
    };
    const Row rows[] = {
        {true, false, {0, 0}, 0, 0, 9, qpxStatusNullPointer},
        {false, true, {4, 2}, 24, 8, 0, qpxStatusNullPointer},
        {false, false, {4, 0}, 0, 0, 9, qpxStatusBadSize},
        {false, false, {4, 2}, 23, 9, 9, qpxStatusBadStep},
        {false, false, {4, 2}, 25, 7, 9, qpxStatusBadStep},
        {false, false, {4, 2}, 25, 8, 9, qpxStatusStepNotMultiple},
        {false, false, {4, 2}, 24, 9, 9, qpxStatusStepNotMultiple},
        {false, false, {4, 2}, 24, 8, 3, qpxStatusBadArgument},
        {false, false, {4, 2}, 24, 8, -1, qpxStatusBadArgument},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(
            qpxiGradientColorToGray_16u_C3C1R(r.srcNull ? nullptr : src.roi(), r.ss,
                                              r.dstNull ? nullptr : dst.roi(), r.ds, r.roi, r.norm),
            r.st);
        EXPECT_EQ(dst.snapshot(), before);
    }
    // 8-bit images have no multiple-of rule: an odd step passes.
    GuardedImage<u8> s8(4, 1, 3, 1), d8(4, 1, 1, 1);
    EXPECT_EQ(qpxiGradientColorToGray_8u_C3C1R(s8.roi(), 13, d8.roi(), 5, {4, 1}, 0), 0);
    // 32f: width x 12 - 1 is short, width x 12 + 2 not a multiple of 4.
    GuardedImage<float> sf(4, 1, 3, 4), df(4, 1, 1, 4);
    EXPECT_EQ(qpxiGradientColorToGray_32f_C3C1R(sf.roi(), 47, df.roi(), 16, {4, 1}, 0),
              qpxStatusBadStep);
    EXPECT_EQ(qpxiGradientColorToGray_32f_C3C1R(sf.roi(), 50, df.roi(), 16, {4, 1}, 0),
              qpxStatusStepNotMultiple);
}

}  // namespace
