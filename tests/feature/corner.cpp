// Corner measures against a direct double-precision structure tensor, scalar against vector bit
// for bit, over kernels, windows and border codes, with images and buffers against guard pages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "common/guard.hpp"
#include "feature/corner.hpp"
#include "feature/corner_reference.hpp"

using namespace qpxtest;
using namespace cornertest;
using qpx::Path;
using u8 = std::uint8_t;

namespace {

Sides sides_of(std::uint32_t code) {
    Sides s;
    const unsigned kind = code & 15u;
    s.kind = kind == 1 || kind == 6 ? int(kind) : 3;
    s.top = code & 0x10, s.bottom = code & 0x20, s.left = code & 0x40, s.right = code & 0x80;
    return s;
}

template <class T>
GuardedImage<T> random_image(Random& rnd, int w, int h, Margins m, Place place) {
    GuardedImage<T> img(w, h, 1, 4 * rnd.next<int>(0, 2), place, m);
    img.fill([&] { return T(rnd.next<int>(0, 255)); });
    return img;
}

template <class T>
void expect_same(const GuardedImage<T>& a, const GuardedImage<T>& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * a.channels(); ++x)
            ASSERT_TRUE(std::memcmp(&a.at(0, y) + x, &b.at(0, y) + x, sizeof(T)) == 0)
                << "scalar and vector differ at " << x << "," << y;
}

// ---- eigenvalue functions -------------------------------------------------------------------

struct EigenCase {
    int kern, aperture, n;
};

Deriv vertical_of(int kern) {
    return kern == 1 ? Deriv::ScharrV : kern == 2 ? Deriv::SobelNegV : Deriv::SobelV;
}

template <class T>
void check_eigen(Random& rnd, int w, int h, EigenCase ec, std::uint32_t code, Place place) {
    const Sides s = sides_of(code);
    const int r = ec.aperture / 2;
    const Margins m{s.top ? r : 0, s.bottom ? r : 0, s.left ? r : 0, s.right ? r : 0};
    GuardedImage<T> img = random_image<T>(rnd, w, h, m, place);
    const T bv = T(37);
    const std::int64_t size = qpx::feature::eigen_buffer_size<T>({w, h}, ec.aperture);
    GuardedBuffer buf(std::size_t(size), place);

    GuardedImage<float> minS(w, h), minV(w, h), vecS(w, h, 6), vecV(w, h, 6);
    qpx::feature::min_eigen_val<T>(Path::Scalar, img.roi(), img.step(), minS.roi(), minS.step(),
                                   {w, h}, ec.kern, ec.aperture, ec.n, code, bv, buf.data());
    qpx::feature::min_eigen_val<T>(Path::Vector, img.roi(), img.step(), minV.roi(), minV.step(),
                                   {w, h}, ec.kern, ec.aperture, ec.n, code, bv, buf.data());
    qpx::feature::eigen_vals_vecs<T>(Path::Scalar, img.roi(), img.step(), vecS.roi(), vecS.step(),
                                     {w, h}, ec.kern, ec.aperture, ec.n, code, bv, buf.data());
    qpx::feature::eigen_vals_vecs<T>(Path::Vector, img.roi(), img.step(), vecV.roi(), vecV.step(),
                                     {w, h}, ec.kern, ec.aperture, ec.n, code, bv, buf.data());
    expect_same(minS, minV);
    expect_same(vecS, vecV);

    Sides planes = s;
    planes.top = planes.bottom = planes.left = planes.right = false;
    const Tensor t =
        window_sums(img, vertical_of(ec.kern), ec.kern == 1 ? Deriv::ScharrH : Deriv::SobelH,
                    ec.aperture, ec.n, s, double(bv), planes, double(bv));
    double scale = 1.0 / (255.0 * std::pow(2.0, 2 * ec.aperture - 2));
    if (ec.kern == 1) scale *= 0.6125;
    const double g = ec.kern == 1 ? 1 : -1;
    const double area = ec.n * ec.n;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            const double A = scale * t.a[i] / area, B = scale * t.b[i] / area,
                         C = scale * t.c[i] / area;
            const double root = std::sqrt((A - C) * (A - C) + 4 * B * B);
            const double tol = 2e-5 * (std::fabs(A) + std::fabs(B) + std::fabs(C)) + 1e-9;
            ASSERT_NEAR(minV.at(x, y), 0.5 * (A + C - root), tol) << x << "," << y;

            const double l1 = (A + C + root) / 2, l2 = (A + C - root) / 2;
            const double eps = 0.001 * std::max(A, C);
            const float* o = &vecV.at(x, y, 0);
            const double det = A * C - B * B;
            const double margin = 1e-3 * (std::fabs(det) + std::fabs(eps)) + tol * tol;
            if (std::fabs(det - eps) < margin || std::fabs(std::min(A, C) - eps) < tol ||
                std::fabs(std::fabs(B) - eps) < tol)
                continue;  // too close to a decision to compare float with double
            if (det < eps || std::min(A, C) < eps) {
                for (int k = 0; k < 6; ++k) ASSERT_EQ(o[k], 0.0f) << x << "," << y;
                continue;
            }
            ASSERT_NEAR(o[0], l1, tol);
            ASSERT_NEAR(o[1], l2, tol);
            if (std::fabs(B) < eps) {
                EXPECT_TRUE(o[2] == 0 && o[3] == 1 && o[4] == 1 && o[5] == 0);
                continue;
            }
            if (root < 1e-2 * (A + C)) continue;  // nearly equal eigenvalues: unstable vectors
            const double bp = g * B;
            const double n1 = std::max(std::hypot(bp, l1 - A), 1.1920929e-7);
            const double n2 = std::max(std::hypot(bp, l2 - A), 1.1920929e-7);
            ASSERT_NEAR(o[2], bp / n1, 1e-3);
            ASSERT_NEAR(o[3], (l1 - A) / n1, 1e-3);
            ASSERT_NEAR(o[4], bp / n2, 1e-3);
            ASSERT_NEAR(o[5], (l2 - A) / n2, 1e-3);
        }
}

template <class T>
class CornerEigen : public ::testing::Test {};
using SrcTypes = ::testing::Types<u8, float>;
TYPED_TEST_SUITE(CornerEigen, SrcTypes);

TYPED_TEST(CornerEigen, MatchesDirectTensorOverKernelsAndBorders) {
    Random rnd(11);
    const EigenCase cases[] = {{0, 3, 3}, {0, 5, 5}, {1, 3, 5}, {2, 3, 3}, {2, 5, 3}};
    // Kinds 1, 3, 6 and the default kind with in-memory sides; kind 0 and 2 with all four sides
    // in memory; stage bits, which the eigenvalue functions ignore.
    const std::uint32_t codes[] = {1, 3, 6, 5, 0xF0, 0xF2, 0x51, 0xA3, 0xF6, 0x305};
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 6}, {7, 2}, {17, 9}, {26, 5}};
    int k = 0;
    for (auto [w, h] : sizes)
        for (const EigenCase& ec : cases)
            for (std::uint32_t code : codes) {
                SCOPED_TRACE(::testing::Message()
                             << w << "x" << h << " kern " << ec.kern << " ap " << ec.aperture
                             << " n " << ec.n << " code " << code);
                check_eigen<TypeParam>(rnd, w, h, ec, code, ++k % 2 ? Place::Begin : Place::End);
                if (::testing::Test::HasFatalFailure()) return;
            }
}

TEST(CornerEigen, ConstantImageGivesZeros) {
    GuardedImage<u8> img(12, 7);
    img.fill([] { return u8(200); });
    int size = 0;
    ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_8u32f_C1R({12, 7}, 5, 5, &size), qpxStatusOk);
    GuardedBuffer buf(size);
    GuardedImage<float> mins(12, 7), vecs(12, 7, 6);
    ASSERT_EQ(qpxiMinEigenVal_8u32f_C1R(img.roi(), img.step(), mins.roi(), mins.step(), {12, 7},
                                        qpxKernelSobel, 5, 5, buf.data()),
              qpxStatusOk);
    ASSERT_EQ(
        qpxiEigenValsVecsBorder_8u32f_C1R(img.roi(), img.step(), vecs.roi(), vecs.step(), {12, 7},
                                          qpxKernelSobelNeg, 5, 5, qpxBorderMirror, 0, buf.data()),
        qpxStatusOk);
    for (float v : mins.dense()) EXPECT_EQ(v, 0.0f);
    for (float v : vecs.dense()) EXPECT_EQ(v, 0.0f);
}

TEST(CornerEigen, EdgeAndCorner) {
    // A bright square: along its straight edge one eigenvalue dominates (minimum near zero), at
    // its corner both are large.
    const int w = 24, h = 24;
    GuardedImage<u8> img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.at(x, y) = x >= 8 && y >= 8 ? 200 : 10;
    int size = 0;
    ASSERT_EQ(qpxiMinEigenValGetBufferSize_8u32f_C1R({w, h}, 3, 3, &size), qpxStatusOk);
    GuardedBuffer buf(size);
    GuardedImage<float> out(w, h);
    ASSERT_EQ(qpxiMinEigenValBorder_8u32f_C1R(img.roi(), img.step(), out.roi(), out.step(), {w, h},
                                              qpxKernelSobel, 3, 3, qpxBorderRepl, 0, buf.data()),
              qpxStatusOk);
    EXPECT_NEAR(out.at(8, 16), 0.0f, 1e-3f);  // on the vertical edge, far from the corner
    EXPECT_GT(out.at(8, 8), 1.0f);            // the corner
}

TEST(CornerEigen, SymmetricPointHasAxisVectors) {
    // At the centre of a paraboloid the mixed term sums to zero while both squares are large.
    const int w = 9, h = 9;
    GuardedImage<float> img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.at(x, y) = float(20 * ((x - 4) * (x - 4) + (y - 4) * (y - 4)));
    int size = 0;
    ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_32f_C1R({w, h}, 3, 3, &size), qpxStatusOk);
    GuardedBuffer buf(size);
    GuardedImage<float> out(w, h, 6);
    ASSERT_EQ(qpxiEigenValsVecs_32f_C1R(img.roi(), img.step(), out.roi(), out.step(), {w, h},
                                        qpxKernelScharr, 3, 3, buf.data()),
              qpxStatusOk);
    const float* o = &out.at(4, 4, 0);
    EXPECT_GT(o[0], 0.0f);
    EXPECT_EQ(o[0], o[1]);
    EXPECT_TRUE(o[2] == 0 && o[3] == 1 && o[4] == 1 && o[5] == 0);
}

// ---- Harris and line suppression ------------------------------------------------------------

struct FilterCase {
    int type, mask;
};

void derivs_of(FilterCase fc, Deriv& v, Deriv& h) {
    if (fc.type == qpxFilterScharr)
        v = Deriv::ScharrV, h = Deriv::ScharrH;
    else if (fc.type == qpxFilterCentralDiff)
        v = Deriv::CentralV, h = Deriv::CentralH;
    else
        v = Deriv::SobelV, h = Deriv::SobelH;
}

Margins windowed_margins(const Sides& s, int aperture, int n) {
    const int r = aperture / 2, a = (n - 1) / 2;
    return {s.top ? r + a : 0, s.bottom ? r + n - 1 - a : 0, s.left ? r + a : 0,
            s.right ? r + n - 1 - a : 0};
}

template <class T>
void check_harris(Random& rnd, int w, int h, FilterCase fc, int n, std::uint32_t code, Place place,
                  float k) {
    const Sides s = sides_of(code);
    const int aperture = fc.mask == qpxMskSize5x5 ? 5 : 3;
    GuardedImage<T> img = random_image<T>(rnd, w, h, windowed_margins(s, aperture, n), place);
    const T bv = T(99);
    GuardedBuffer buf(
        std::size_t(qpx::feature::harris_buffer_size({w, h}, fc.mask, n, std::is_same_v<T, u8>)),
        place);
    GuardedImage<float> outS(w, h), outV(w, h);
    const float scale = 1e-4f;
    qpx::feature::harris_corner<T>(Path::Scalar, img.roi(), img.step(), outS.roi(), outS.step(),
                                   {w, h}, fc.type, fc.mask, n, k, scale, code, bv, buf.data());
    qpx::feature::harris_corner<T>(Path::Vector, img.roi(), img.step(), outV.roi(), outV.step(),
                                   {w, h}, fc.type, fc.mask, n, k, scale, code, bv, buf.data());
    expect_same(outS, outV);

    Deriv dv, dh;
    derivs_of(fc, dv, dh);
    Sides planes = s;
    if (code == 0xF0) planes.top = planes.bottom = planes.left = planes.right = true;
    const Tensor t = window_sums(img, dv, dh, aperture, n, s, double(bv), planes, 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            const double a = t.a[i], b = t.b[i], c = t.c[i];
            const double ref = double(scale) * (a * c - double(k) * (a + c) * (a + c) - b * b);
            const double tol =
                2e-5 * double(scale) * ((a + c) * (a + c) * (1 + std::fabs(k)) + b * b) + 1e-6;
            ASSERT_NEAR(outV.at(x, y), ref, tol) << x << "," << y;
        }
}

template <class T>
class CornerHarris : public ::testing::Test {};
TYPED_TEST_SUITE(CornerHarris, SrcTypes);

TYPED_TEST(CornerHarris, MatchesDirectTensorOverFiltersWindowsAndBorders) {
    Random rnd(5);
    const FilterCase filters[] = {{2, 33}, {2, 55}, {5, 33}, {8, 33}};
    const std::uint32_t codes[] = {1, 3, 6, 0xF0, 0x51, 0xA3, 0xF6, 0x36, 0xC1};
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 5}, {9, 7}, {19, 4}};
    int k = 0;
    for (auto [w, h] : sizes)
        for (const FilterCase& fc : filters)
            for (int n : {1, 2, 3, 4})
                for (std::uint32_t code : codes) {
                    SCOPED_TRACE(::testing::Message()
                                 << w << "x" << h << " filter " << fc.type << "/" << fc.mask
                                 << " n " << n << " code " << code);
                    check_harris<TypeParam>(rnd, w, h, fc, n, code,
                                            ++k % 2 ? Place::Begin : Place::End, 0.04f);
                    if (::testing::Test::HasFatalFailure()) return;
                }
}

TYPED_TEST(CornerHarris, TilesDoNotChangeTheResult) {
    // Larger than one tile in both directions, with a remainder: the tiles overlap at the end.
    Random rnd(9);
    const int w = std::is_same_v<TypeParam, u8> ? 131 : 101;
    check_harris<TypeParam>(rnd, w, 97, {2, 33}, 3, 3, Place::End, 0.04f);
    check_harris<TypeParam>(rnd, w, 97, {5, 33}, 4, 0xF6, Place::Begin, 0.0f);
    check_harris<TypeParam>(rnd, 40, 30, {8, 33}, 9, 0x91, Place::End, 0.06f);
}

TEST(CornerHarris, ZeroKGivesScaledDeterminant) {
    Random rnd(3);
    check_harris<u8>(rnd, 13, 11, {2, 55}, 3, 6, Place::End, 0.0f);
}

void check_line(Random& rnd, int w, int h, FilterCase fc, int n, std::uint32_t code,
                float threshold) {
    const Sides s = sides_of(code);
    const int aperture = fc.mask == qpxMskSize5x5 ? 5 : 3;
    GuardedImage<u8> img =
        random_image<u8>(rnd, w, h, windowed_margins(s, aperture, n), Place::End);
    GuardedImage<u8> feature(w, h), outS(w, h), outV(w, h, 1, 0, Place::Begin);
    feature.fill([&] { return u8(rnd.next<int>(1, 255)); });
    GuardedBuffer buf(std::size_t(qpx::feature::harris_buffer_size({w, h}, fc.mask, n, true)));
    for (Path path : {Path::Scalar, Path::Vector}) {
        const GuardedImage<u8>& out = path == Path::Scalar ? outS : outV;
        qpx::feature::line_suppression(path, img.roi(), img.step(), feature.roi(), feature.step(),
                                       out.roi(), out.step(), {w, h}, fc.type, fc.mask, n,
                                       threshold, code, 17, buf.data());
    }
    expect_same(outS, outV);
    Deriv dv, dh;
    derivs_of(fc, dv, dh);
    Sides planes = s;
    if (code == 0xF0) planes.top = planes.bottom = planes.left = planes.right = true;
    const Tensor t = window_sums(img, dv, dh, aperture, n, s, 17.0, planes, 0.0);
    int cleared = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            const double a = t.a[i], b = t.b[i], c = t.c[i];
            const double lhs = (a + c) * (a + c), rhs = double(threshold) * (a * c - b * b);
            if (std::fabs(lhs - rhs) <= 1e-4 * (std::fabs(lhs) + std::fabs(rhs))) continue;
            const u8 want = lhs > rhs ? 0 : feature.at(x, y);
            ASSERT_EQ(outV.at(x, y), want) << x << "," << y;
            cleared += want == 0;
        }
    if (threshold == 0.0f) {
        EXPECT_GT(cleared, 0);
    }
}

TEST(CornerLine, MatchesDirectTensor) {
    Random rnd(21);
    const FilterCase filters[] = {{2, 33}, {2, 55}, {5, 33}, {8, 33}};
    for (const FilterCase& fc : filters)
        for (int n : {1, 3, 4})
            for (std::uint32_t code : {1u, 6u, 0xF0u, 0x51u})
                for (float thr : {0.0f, 4.5f, 30.0f}) {
                    SCOPED_TRACE(::testing::Message() << fc.type << "/" << fc.mask << " n " << n
                                                      << " code " << code << " thr " << thr);
                    check_line(rnd, 21, 9, fc, n, code, thr);
                    if (::testing::Test::HasFatalFailure()) return;
                }
    check_line(rnd, 150, 40, {2, 33}, 3, 1, 10.0f);  // several tiles
}

}  // namespace

namespace {

// Source steps that the Harris checks let through but the row filters refuse: a step of 0 reads
// row 0 for every row, and a float step that is not a multiple of 4.
TEST(CornerHarris, UnusualSourceSteps) {
    Random rnd(4);
    const int w = 12, h = 9;
    GuardedImage<u8> img(w, h), flat(w, h);
    img.fill([&] { return u8(rnd.next<int>(0, 255)); });
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) flat.at(x, y) = img.at(x, 0);
    const int fstep = w * 4 + 2;
    std::vector<u8> bytes(std::size_t(fstep) * h);
    GuardedImage<float> tight(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            tight.at(x, y) = rnd.next<float>(-50, 50);
            std::memcpy(&bytes[std::size_t(y) * fstep + 4 * x], &tight.at(x, y), 4);
        }
    GuardedBuffer buf(1 << 20);
    GuardedImage<float> a(w, h), b(w, h);
    const FilterCase filters[] = {{2, 33}, {2, 55}, {5, 33}, {8, 33}};
    for (const FilterCase& fc : filters)
        for (std::uint32_t code : {1u, 3u, 6u}) {
            ASSERT_EQ(qpxiHarrisCorner_8u32f_C1R(img.roi(), 0, a.roi(), a.step(), {w, h}, fc.type,
                                                 fc.mask, 3, 0.04f, 1.0f, code, 9, buf.data()),
                      qpxStatusOk);
            ASSERT_EQ(
                qpxiHarrisCorner_8u32f_C1R(flat.roi(), flat.step(), b.roi(), b.step(), {w, h},
                                           fc.type, fc.mask, 3, 0.04f, 1.0f, code, 9, buf.data()),
                qpxStatusOk);
            expect_same(a, b);
            const auto* odd = reinterpret_cast<const float*>(bytes.data());
            ASSERT_EQ(qpxiHarrisCorner_32f_C1R(odd, fstep, a.roi(), a.step(), {w, h}, fc.type,
                                               fc.mask, 2, 0.04f, 1.0f, code, 9.0f, buf.data()),
                      qpxStatusOk);
            ASSERT_EQ(
                qpxiHarrisCorner_32f_C1R(tight.roi(), tight.step(), b.roi(), b.step(), {w, h},
                                         fc.type, fc.mask, 2, 0.04f, 1.0f, code, 9.0f, buf.data()),
                qpxStatusOk);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_NEAR(a.at(x, y), b.at(x, y), 1e-4 * std::fabs(b.at(x, y)) + 1e-3);
        }
}

}  // namespace
