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

using qpxtest::GuardedImage;
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;

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

TEST(GenSobelKernel, MatchesPolynomialAndChecks) {
    for (int n = 1; n <= 15; n += 2)
        for (int d = 0; d < n; ++d)
            for (int sign : {1, -1}) {
                const std::vector<long> want = sobel_poly(n, d);
                std::vector<float> f(std::size_t(n) + 1, 99.0f);
                std::vector<i16> s(std::size_t(n) + 1, 99);
                ASSERT_EQ(qpxiGenSobelKernel_32f(f.data(), n, d, sign), 0);
                ASSERT_EQ(qpxiGenSobelKernel_16s(s.data(), n, d, sign), 0);
                for (int i = 0; i < n; ++i) {
                    ASSERT_EQ(f[i], float(sign * want[i])) << n << " " << d;
                    ASSERT_EQ(s[i], sign * want[i]) << n << " " << d;
                }
                ASSERT_EQ(f[n] + s[n], 198.0f);  // nothing written past the kernel
            }
    // Null first, then any bad size (even, not above the order, negative order).
    const struct {
        bool null;
        int n, d;
        qpxStatus st;
    } rows[] = {{true, 4, -1, qpxStatusNullPointer}, {false, 4, 1, qpxStatusBadSize},
                {false, 3, 3, qpxStatusBadSize},     {false, 0, 0, qpxStatusBadSize},
                {false, -1, -2, qpxStatusBadSize},   {false, 5, -1, qpxStatusBadSize}};
    for (const auto& r : rows) {
        float f[8] = {7};
        i16 s[8] = {7};
        EXPECT_EQ(qpxiGenSobelKernel_32f(r.null ? nullptr : f, r.n, r.d, 1), r.st);
        EXPECT_EQ(qpxiGenSobelKernel_16s(r.null ? nullptr : s, r.n, r.d, 1), r.st);
        EXPECT_EQ(f[0] + s[0], 14.0f);
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
    std::vector<int> widths = qpxtest::test_widths();
    widths.push_back(263);  // rows longer than one internal chunk
    for (int norm : {0, 1, 2})
        for (int w : widths)
            for (qpxtest::Place place : {qpxtest::Place::Begin, qpxtest::Place::End}) {
                GuardedImage<T> src(w, 3, 3, 0, place), vec(w, 3, 1, 0, place), sca(w, 3);
                src.fill([&] {  // full range, with the type's extremes mixed in
                    const std::uint32_t b = rnd.bits() % 7;
                    return b == 0   ? std::numeric_limits<T>::max()
                           : b == 1 ? std::numeric_limits<T>::lowest()
                                    : rnd.any<T>();
                });
                ASSERT_EQ(
                    gray_export<T>(src.roi(), src.step(), vec.roi(), vec.step(), {w, 3}, norm), 0);
                qpx::filter::gradient_color_to_gray<T>(qpx::Path::Scalar, src.roi(), src.step(),
                                                       sca.roi(), sca.step(), {w, 3}, norm);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < w; ++x) {
                        ASSERT_EQ(
                            double(vec.at(x, y)),
                            gray_ref<T>(src.at(x, y, 0), src.at(x, y, 1), src.at(x, y, 2), norm))
                            << "norm " << norm << " x " << x;
                        ASSERT_EQ(0, std::memcmp(&vec.at(x, y), &sca.at(x, y), sizeof(T)));
                    }
            }
}
TEST(GradientColorToGray, MatchesFormulas) {
    check_gray<u8>();
    check_gray<u16>();
    check_gray<float>();
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
            EXPECT_EQ(st, 0);
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
        EXPECT_EQ(st, 0);
        for (u16 o : out) EXPECT_EQ(o, r.want) << r.c[0] << " mode " << r.mode;
    }
}

// Pointers, size, row lengths (3 channels in the source), multiples, then the norm; nothing is
// written on failure. 8-bit images have no multiple rule.
TEST(GradientColorToGray, Checks) {
    GuardedImage<u16> src(4, 2, 3), dst(4, 2);
    const auto before = dst.snapshot();
    const struct {
        int nul;  // 1 src, 2 dst
        qpxSize roi;
        int ss, ds, norm;
        qpxStatus st;
    } rows[] = {
        {1, {0, 0}, 0, 0, 9, qpxStatusNullPointer},
        {2, {4, 2}, 24, 8, 0, qpxStatusNullPointer},
        {0, {4, 0}, 0, 0, 9, qpxStatusBadSize},
        {0, {4, 2}, 23, 9, 9, qpxStatusBadStep},
        {0, {4, 2}, 25, 7, 9, qpxStatusBadStep},
        {0, {4, 2}, 25, 8, 9, qpxStatusStepNotMultiple},
        {0, {4, 2}, 24, 9, 9, qpxStatusStepNotMultiple},
        {0, {4, 2}, 24, 8, 3, qpxStatusBadArgument},
        {0, {4, 2}, 24, 8, -1, qpxStatusBadArgument},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(qpxiGradientColorToGray_16u_C3C1R(r.nul == 1 ? nullptr : src.roi(), r.ss,
                                                    r.nul == 2 ? nullptr : dst.roi(), r.ds, r.roi,
                                                    r.norm),
                  r.st);
        EXPECT_EQ(dst.snapshot(), before);
    }
    GuardedImage<u8> s8(4, 1, 3, 1), d8(4, 1, 1, 1);
    EXPECT_EQ(qpxiGradientColorToGray_8u_C3C1R(s8.roi(), 13, d8.roi(), 5, {4, 1}, 0), 0);
}

}  // namespace
