// A direct double-precision structure tensor for the corner tests: explicit 2-D derivative
// kernels, border mapping by repeated reflection, and window sums over the whole window.
#pragma once

#include <climits>
#include <cmath>
#include <vector>

#include "common/guard.hpp"

namespace cornertest {

using qpxtest::GuardedImage;

enum class Deriv { SobelV, SobelNegV, SobelH, ScharrV, ScharrH, CentralV, CentralH };

// Horizontal and vertical factors of each 2-D kernel (correlation order).
inline void kernel(Deriv d, int aperture, std::vector<double>& kx, std::vector<double>& ky) {
    const bool five = aperture == 5;
    const std::vector<double> diff =
        five ? std::vector<double>{-1, -2, 0, 2, 1} : std::vector<double>{-1, 0, 1};
    const std::vector<double> smooth =
        five ? std::vector<double>{1, 4, 6, 4, 1} : std::vector<double>{1, 2, 1};
    std::vector<double> neg(diff.rbegin(), diff.rend());
    switch (d) {
        case Deriv::SobelV:
            kx = neg, ky = smooth;
            break;
        case Deriv::SobelNegV:
            kx = diff, ky = smooth;
            break;
        case Deriv::SobelH:
            kx = smooth, ky = diff;
            break;
        case Deriv::ScharrV:
            kx = {-1, 0, 1}, ky = {3, 10, 3};
            break;
        case Deriv::ScharrH:
            kx = {3, 10, 3}, ky = {-1, 0, 1};
            break;
        case Deriv::CentralV:
            kx = {-1, 0, 1}, ky = {0, 1, 0};
            break;
        case Deriv::CentralH:
            kx = {0, 1, 0}, ky = {-1, 0, 1};
            break;
    }
}

// Index read for i on a line of n pixels, or INT_MIN for the constant.
inline int reflect(int i, int n, int kind) {
    if (i >= 0 && i < n) return i;
    if (kind == 6) return INT_MIN;
    if (kind == 1 || n == 1) return i < 0 ? 0 : n - 1;
    while (i < 0 || i >= n) {
        if (i < 0) i = -i;
        if (i >= n) i = 2 * (n - 1) - i;
    }
    return i;
}

struct Sides {
    int kind = 1;  // 1, 3 or 6
    bool top = false, bottom = false, left = false, right = false;
};

template <class T>
double pixel(const GuardedImage<T>& img, int X, int Y, const Sides& s, double bv) {
    const int w = img.width(), h = img.height();
    int x = X, y = Y;
    if (!((X < 0 && s.left) || (X >= w && s.right))) x = reflect(X, w, s.kind);
    if (!((Y < 0 && s.top) || (Y >= h && s.bottom))) y = reflect(Y, h, s.kind);
    if (x == INT_MIN || y == INT_MIN) return bv;
    return double(img.at(x, y));
}

template <class T>
double derivative(const GuardedImage<T>& img, const std::vector<double>& kx,
                  const std::vector<double>& ky, int X, int Y, const Sides& s, double bv) {
    const int r = int(kx.size()) / 2;
    double sum = 0;
    for (int j = 0; j < int(ky.size()); ++j)
        for (int i = 0; i < int(kx.size()); ++i)
            sum += ky[j] * kx[i] * pixel(img, X - r + i, Y - r + j, s, bv);
    return sum;
}

// Window sums of dx*dx, dx*dy, dy*dy per ROI pixel. Tensor positions outside the ROI are
// computed from memory on the sides in `planeMem`, otherwise reflected by `planeKind` or set to
// `planeValue` (constant kind).
struct Tensor {
    std::vector<double> a, b, c;
};
template <class T>
Tensor window_sums(const GuardedImage<T>& img, Deriv vd, Deriv hd, int aperture, int n,
                   const Sides& src, double bv, const Sides& planeMem, double planeValue) {
    const int w = img.width(), h = img.height(), ax = (n - 1) / 2;
    std::vector<double> vx, vy, hx, hy;
    kernel(vd, aperture, vx, vy);
    kernel(hd, aperture, hx, hy);
    // Derivatives of every position a window can reach, computed once.
    const int gw = w + 2 * n, gh = h + 2 * n;
    std::vector<double> du(std::size_t(gw) * gh), dv(du.size());
    std::vector<char> done(du.size(), 0);
    auto at = [&](int X, int Y, double& u, double& v) {
        const std::size_t k = std::size_t(Y + n) * gw + (X + n);
        if (!done[k]) {
            du[k] = derivative(img, vx, vy, X, Y, src, bv);
            dv[k] = derivative(img, hx, hy, X, Y, src, bv);
            done[k] = 1;
        }
        u = du[k], v = dv[k];
    };
    Tensor t;
    t.a.assign(std::size_t(w) * h, 0);
    t.b = t.a;
    t.c = t.a;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double sa = 0, sb = 0, sc = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    int X = x - ax + i, Y = y - ax + j;
                    if (!((X < 0 && planeMem.left) || (X >= w && planeMem.right)))
                        X = reflect(X, w, planeMem.kind);
                    if (!((Y < 0 && planeMem.top) || (Y >= h && planeMem.bottom)))
                        Y = reflect(Y, h, planeMem.kind);
                    if (X == INT_MIN || Y == INT_MIN) {
                        sa += planeValue, sb += planeValue, sc += planeValue;
                        continue;
                    }
                    double u, v;
                    at(X, Y, u, v);
                    sa += u * u, sb += u * v, sc += v * v;
                }
            t.a[std::size_t(y) * w + x] = sa;
            t.b[std::size_t(y) * w + x] = sb;
            t.c[std::size_t(y) * w + x] = sc;
        }
    return t;
}

}  // namespace cornertest
