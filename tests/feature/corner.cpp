// Corner measures against a direct double-precision structure tensor (explicit 2-D kernels,
// borders by repeated reflection, whole-window sums), scalar against vector bit for bit, with
// images and buffers against guard pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "feature/corner.hpp"

using namespace qpxtest;
using qpx::Target;
using u8 = std::uint8_t;

namespace {

// ---- reference ---------------------------------------------------------------------------------

// Derivative filters as (horizontal, vertical) factors. Kinds 0-2: Sobel, Scharr, negated Sobel
// vertical-edge filters; 3: central difference; +10 for the matching horizontal-edge filter.
void kernel(int kind, int aperture, std::vector<double>& kx, std::vector<double>& ky) {
    using V = std::vector<double>;
    const bool five = aperture == 5;
    const V d = five ? V{-1, -2, 0, 2, 1} : V{-1, 0, 1}, sm = five ? V{1, 4, 6, 4, 1} : V{1, 2, 1};
    const V neg(d.rbegin(), d.rend()), d3{-1, 0, 1}, sch{3, 10, 3}, mid{0, 1, 0};
    // {horizontal, vertical} factors of the vertical-edge filter and of its horizontal partner.
    const V* f[4][2][2] = {{{&neg, &sm}, {&sm, &d}},
                           {{&d3, &sch}, {&sch, &d3}},
                           {{&d, &sm}, {&sm, &d}},
                           {{&d3, &mid}, {&mid, &d3}}};
    kx = *f[kind % 10][kind / 10][0], ky = *f[kind % 10][kind / 10][1];
}

int reflect(int i, int n, int kind) {  // kind 1, 3 or 6; INT_MIN for the constant
    if (i >= 0 && i < n) return i;
    if (kind == 6) return INT_MIN;
    if (kind == 1 || n == 1) return i < 0 ? 0 : n - 1;
    while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
    return i;
}

struct Sides {
    int kind;
    bool top, bottom, left, right;
    static Sides of(std::uint32_t code) {
        const int k = int(code & 15);
        return {k == 1 || k == 6 ? k : 3, bool(code & 0x10), bool(code & 0x20), bool(code & 0x40),
                bool(code & 0x80)};
    }
    int mapX(int X, int w) const {
        return (X < 0 && left) || (X >= w && right) ? X : reflect(X, w, kind);
    }
    int mapY(int Y, int h) const {
        return (Y < 0 && top) || (Y >= h && bottom) ? Y : reflect(Y, h, kind);
    }
};

// Window sums of dx*dx, dx*dy, dy*dy. Tensor positions outside the ROI come from memory on the
// sides of `planes` that say so, otherwise by its kind, or `planeValue` under the constant kind.
template <class T>
std::vector<double> window_sums(const GuardedImage<T>& img, int kind, int aperture, int n,
                                Sides src, double bv, Sides planes, double planeValue) {
    const int w = img.width(), h = img.height(), a = (n - 1) / 2, r = aperture / 2;
    std::vector<double> kx[2], ky[2];
    kernel(kind, aperture, kx[0], ky[0]);
    kernel(kind + 10, aperture, kx[1], ky[1]);
    auto deriv = [&](int f, int X, int Y) {
        double sum = 0;
        for (int j = 0; j < int(ky[f].size()); ++j)
            for (int i = 0; i < int(kx[f].size()); ++i) {
                const int x = src.mapX(X - r + i, w), y = src.mapY(Y - r + j, h);
                const double p = x == INT_MIN || y == INT_MIN ? bv : double(img.at(x, y));
                sum += ky[f][j] * kx[f][i] * p;
            }
        return sum;
    };
    std::vector<double> out(std::size_t(w) * h * 3, 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const int X = planes.mapX(x - a + i, w), Y = planes.mapY(y - a + j, h);
                    double* o = &out[(std::size_t(y) * w + x) * 3];
                    if (X == INT_MIN || Y == INT_MIN) {
                        o[0] += planeValue, o[1] += planeValue, o[2] += planeValue;
                        continue;
                    }
                    const double u = deriv(0, X, Y), v = deriv(1, X, Y);
                    o[0] += u * u, o[1] += u * v, o[2] += v * v;
                }
    return out;
}

// ---- helpers -----------------------------------------------------------------------------------

template <class T>
GuardedImage<T> random_image(Random& rnd, int w, int h, Margins m, Place place) {
    GuardedImage<T> img(w, h, 1, 4 * rnd.next<int>(0, 2), place, m);
    img.fill([&] { return T(rnd.next<int>(0, 255)); });
    return img;
}

template <class T>
void expect_same(const GuardedImage<T>& a, const GuardedImage<T>& b, Target t) {
    for (int y = 0; y < a.height(); ++y)
        ASSERT_EQ(std::memcmp(&a.at(0, y), &b.at(0, y), sizeof(T) * a.width() * a.channels()), 0)
            << qpx::target_name(t) << " differs from the scalar target in row " << y;
}

// The scalar target first, then every vector target this processor runs.
std::vector<Target> all_targets() {
    std::vector<Target> t{Target::Scalar};
    for (Target v : vector_targets()) t.push_back(v);
    return t;
}

template <class T>
class Corner : public ::testing::Test {};
using SrcTypes = ::testing::Types<u8, float>;
TYPED_TEST_SUITE(Corner, SrcTypes);

// ---- eigenvalue functions ----------------------------------------------------------------------

template <class T>
void check_eigen(Random& rnd, int w, int h, int kern, int ap, int n, std::uint32_t code,
                 Place place) {
    const Sides s = Sides::of(code);
    const int r = ap / 2;
    GuardedImage<T> img = random_image<T>(
        rnd, w, h, {s.top ? r : 0, s.bottom ? r : 0, s.left ? r : 0, s.right ? r : 0}, place);
    GuardedBuffer buf(std::size_t(qpx::feature::eigen_buffer_size<T>({w, h}, ap)), place);
    GuardedImage<float> mins[2] = {{w, h}, {w, h}}, vecs[2] = {{w, h, 6}, {w, h, 6}};
    for (Target t : all_targets()) {
        const int p = t != Target::Scalar;
        qpx::feature::min_eigen_val<T>(t, img.view(), mins[p].view(), kern, ap, n, code, T(37),
                                       buf.data());
        qpx::feature::eigen_vals_vecs<T>(t, img.view(), vecs[p].view(), kern, ap, n, code, T(37),
                                         buf.data());
        if (!p) continue;
        expect_same(mins[0], mins[1], t);
        expect_same(vecs[0], vecs[1], t);
    }
    // The averaging stage never reads memory; the constant kind uses the border value.
    const auto sums = window_sums(img, kern, ap, n, s, 37.0, Sides{s.kind, 0, 0, 0, 0}, 37.0);
    const double scale = (kern == 1 ? 0.6125 : 1.0) / (255.0 * std::pow(2.0, 2 * ap - 2)) / (n * n);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double* t = &sums[(std::size_t(y) * w + x) * 3];
            const double A = scale * t[0], B = scale * t[1], C = scale * t[2];
            const double root = std::sqrt((A - C) * (A - C) + 4 * B * B),
                         tol = 2e-5 * (A + C) + 1e-9;
            ASSERT_NEAR(mins[1].at(x, y), 0.5 * (A + C - root), tol) << x << "," << y;
            const double l1 = (A + C + root) / 2, l2 = (A + C - root) / 2;
            const double eps = 0.001 * std::max(A, C), det = A * C - B * B;
            const float* o = &vecs[1].at(x, y, 0);
            // Skip pixels whose branch float arithmetic may decide differently.
            if (std::fabs(det - eps) < 1e-3 * (std::fabs(det) + eps) + tol * tol ||
                std::fabs(std::min(A, C) - eps) < tol || std::fabs(std::fabs(B) - eps) < tol)
                continue;
            if (det < eps || std::min(A, C) < eps) {
                for (int k = 0; k < 6; ++k) ASSERT_EQ(o[k], 0.0f);
                continue;
            }
            ASSERT_NEAR(o[0], l1, tol);
            ASSERT_NEAR(o[1], l2, tol);
            const double bp = kern == 1 ? B : -B;
            if (std::fabs(B) < eps || root < 1e-2 * (A + C)) continue;  // axes, or unstable
            ASSERT_NEAR(o[2], bp / std::hypot(bp, l1 - A), 1e-3);
            ASSERT_NEAR(o[3], (l1 - A) / std::hypot(bp, l1 - A), 1e-3);
            ASSERT_NEAR(o[4], bp / std::hypot(bp, l2 - A), 1e-3);
            ASSERT_NEAR(o[5], (l2 - A) / std::hypot(bp, l2 - A), 1e-3);
        }
}

TYPED_TEST(Corner, EigenMatchesDirectTensor) {
    Random rnd(11);
    struct Case {
        int kern, ap, n;
    };
    const Case cases[] = {{0, 3, 3}, {0, 5, 5}, {1, 3, 5}, {2, 3, 3}, {2, 5, 3}};
    // Kinds 1, 3, 6 and the default kind with in-memory sides; kinds 0 and 2 with all sides in
    // memory; stage bits, which these functions ignore.
    const std::uint32_t codes[] = {1, 3, 6, 5, 0xF0, 0xF2, 0x51, 0xA3, 0xF6, 0x305};
    int k = 0;
    for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {7, 2}, {17, 9}, {26, 5}})
        for (auto [kern, ap, n] : cases)
            for (std::uint32_t code : codes) {
                SCOPED_TRACE(testing::Message() << w << "x" << h << " kern " << kern << " ap " << ap
                                                << " n " << n << " code " << code);
                check_eigen<TypeParam>(rnd, w, h, kern, ap, n, code,
                                       ++k % 2 ? Place::Begin : Place::End);
                if (this->HasFatalFailure()) return;
            }
}

TEST(Corner, EigenVectorsOnAxesWhereTheMixedTermVanishes) {
    // At the centre of a paraboloid dx*dy sums to zero while both squares are large.
    GuardedImage<float> img(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            img.at(x, y) = float(20 * ((x - 4) * (x - 4) + (y - 4) * (y - 4)));
    int size = 0;
    ASSERT_EQ(qpxiEigenValsVecsGetBufferSize_32f_C1R({9, 9}, 3, 3, &size), qpxStatusOk);
    GuardedBuffer buf(size);
    GuardedImage<float> out(9, 9, 6);
    ASSERT_EQ(qpxiEigenValsVecs_32f_C1R(img.roi(), img.step(), out.roi(), out.step(), {9, 9},
                                        qpxKernelScharr, 3, 3, buf.data()),
              qpxStatusOk);
    const float* o = &out.at(4, 4, 0);
    EXPECT_TRUE(o[0] > 0 && o[0] == o[1] && o[2] == 0 && o[3] == 1 && o[4] == 1 && o[5] == 0);
}

// ---- Harris and line suppression ---------------------------------------------------------------

// Reference kind for a filter type: Sobel (left minus right), Scharr, central differences.
int kind_of(int type) {
    return type == qpxFilterScharr ? 1 : type == qpxFilterCentralDiff ? 3 : 0;
}

// Images with the margins an in-memory code lets the function read: derivative plus window.
template <class T>
GuardedImage<T> windowed_image(Random& rnd, int w, int h, std::uint32_t code, int ap, int n,
                               Place place) {
    const Sides s = Sides::of(code);
    const int r = ap / 2, a = (n - 1) / 2, b = n - 1 - a;
    return random_image<T>(
        rnd, w, h,
        {s.top ? r + a : 0, s.bottom ? r + b : 0, s.left ? r + a : 0, s.right ? r + b : 0}, place);
}

// Plane sides: memory where the caller's code says so (240: everywhere), zero for constant.
Sides plane_sides(std::uint32_t code) {
    Sides p = Sides::of(code);
    if (code == 0xF0) p.top = p.bottom = p.left = p.right = true;
    return p;
}

template <class T>
void check_harris(Random& rnd, int w, int h, int type, int mask, int n, std::uint32_t code,
                  Place place, float k) {
    const int ap = mask == 55 ? 5 : 3;
    GuardedImage<T> img = windowed_image<T>(rnd, w, h, code, ap, n, place);
    GuardedBuffer buf(
        std::size_t(qpx::feature::harris_buffer_size({w, h}, mask, n, sizeof(T) == 1)), place);
    GuardedImage<float> out[2] = {{w, h}, {w, h}};
    for (Target t : all_targets()) {
        const int p = t != Target::Scalar;
        qpx::feature::harris_corner<T>(t, img.view(), out[p].view(), type, mask, n, k, 1e-4f, code,
                                       T(99), buf.data());
        if (p) expect_same(out[0], out[1], t);
    }
    const auto sums =
        window_sums(img, kind_of(type), ap, n, Sides::of(code), 99.0, plane_sides(code), 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double* t = &sums[(std::size_t(y) * w + x) * 3];
            const double tr2 = (t[0] + t[2]) * (t[0] + t[2]);
            const double ref = 1e-4 * (t[0] * t[2] - double(k) * tr2 - t[1] * t[1]);
            ASSERT_NEAR(out[1].at(x, y), ref, 2e-9 * (2 * tr2 + t[1] * t[1]) + 1e-6)
                << x << "," << y;
        }
    // Line suppression works from the same tensor; it refuses mirrored borders.
    if constexpr (std::is_same_v<T, u8>) {
        if ((code & 15) == 3) return;
        const float thr = std::array{0.0f, 4.5f, 30.0f}[(w + n + code) % 3];
        GuardedImage<u8> feature(w, h), sup[2] = {{w, h}, {w, h, 1, 0, place}};
        feature.fill([&] { return u8(rnd.next<int>(1, 255)); });
        for (Target t : all_targets()) {
            const int p = t != Target::Scalar;
            qpx::feature::line_suppression(t, img.view(), feature.view(), sup[p].view(), type, mask,
                                           n, thr, code, 99, buf.data());
            if (p) expect_same(sup[0], sup[1], t);
        }
        for (int i = 0; i < w * h; ++i) {
            const double* t = &sums[std::size_t(i) * 3];
            const double lhs = (t[0] + t[2]) * (t[0] + t[2]),
                         rhs = thr * (t[0] * t[2] - t[1] * t[1]);
            if (std::fabs(lhs - rhs) <= 1e-4 * (std::fabs(lhs) + std::fabs(rhs)))
                continue;  // too close to call in single precision
            ASSERT_EQ(sup[1].at(i % w, i / w), lhs > rhs ? 0 : feature.at(i % w, i / w)) << i;
        }
    }
}

TYPED_TEST(Corner, HarrisMatchesDirectTensor) {
    Random rnd(5);
    const std::pair<int, int> filters[] = {{2, 33}, {2, 55}, {5, 33}, {8, 33}};
    const std::uint32_t codes[] = {1, 3, 6, 0xF0, 0x51, 0xA3, 0xF6, 0x36, 0xC1};
    int k = 0;
    for (auto [w, h] : {std::pair{1, 1}, {2, 5}, {9, 7}, {19, 4}})
        for (auto [type, mask] : filters)
            for (int n : {1, 2, 3, 4})
                for (std::uint32_t code : codes) {
                    SCOPED_TRACE(testing::Message() << w << "x" << h << " filter " << type << "/"
                                                    << mask << " n " << n << " code " << code);
                    ++k;
                    check_harris<TypeParam>(rnd, w, h, type, mask, n, code,
                                            k % 2 ? Place::Begin : Place::End, k % 3 ? 0.04f : 0);
                    if (this->HasFatalFailure()) return;
                }
    // Several tiles with a remainder (the last tile overlaps its neighbour), and a wide window.
    check_harris<TypeParam>(rnd, 131, 97, 2, 33, 3, 3, Place::End, 0.04f);
    check_harris<TypeParam>(rnd, 131, 97, 5, 33, 4, 0xF6, Place::Begin, 0.0f);
    check_harris<TypeParam>(rnd, 40, 30, 8, 33, 9, 0x91, Place::End, 0.06f);
    check_harris<TypeParam>(rnd, 6, 5, 2, 55, 13, 3, Place::Begin, 0.04f);  // window > ROI
}

// In place (src == dst) over several tiles in both directions: tiles must not read source pixels
// that earlier tiles already replaced. Compared with the same call into a separate image.
TEST(Corner, LineSuppressionInPlace) {
    struct Case {
        int w, h, type, mask, n;
        std::uint32_t code;
    };
    const Case cases[] = {{230, 190, 2, 33, 3, 1},
                          {200, 181, 2, 55, 2, 6},
                          {150, 270, 5, 33, 6, 0xF0},
                          {97, 89, 8, 33, 2, 0x51},
                          {300, 100, 2, 55, 9, 0xA1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " code " << c.code);
        auto image = [&] {
            Random rnd(c.w + c.n);
            return windowed_image<u8>(rnd, c.w, c.h, c.code, c.mask / 11, c.n, Place::End);
        };
        GuardedImage<u8> src = image(), feature(c.w, c.h), out(c.w, c.h);
        feature.fill([] { return u8(200); });
        int size = 0;
        ASSERT_EQ(
            qpxiLineSuppressionGetBufferSize({c.w, c.h}, qpxMaskSize(c.mask), c.n, qpx8u, 1, &size),
            qpxStatusOk);
        GuardedBuffer buf(std::size_t(size), Place::End);
        auto run = [&](const u8* s, int sStep, u8* dst, int dStep, Target t) {
            qpx::feature::line_suppression(t, qpx::View<const u8>(s, sStep, c.w, c.h),
                                           feature.view(), qpx::View<u8>(dst, dStep, c.w, c.h),
                                           c.type, c.mask, c.n, 9.0f, c.code, 40, buf.data());
        };
        run(src.roi(), src.step(), out.roi(), out.step(), Target::Scalar);
        const auto ref = out.dense();
        const long cleared = std::count(ref.begin(), ref.end(), 0);
        ASSERT_TRUE(cleared > 0 && cleared < c.w * c.h) << "a mixed result tests the tiles";
        for (Target t : all_targets()) {
            GuardedImage<u8> img = image();
            run(img.roi(), img.step(), img.roi(), img.step(), t);
            expect_same(out, img, t);
        }
    }
}

}  // namespace
