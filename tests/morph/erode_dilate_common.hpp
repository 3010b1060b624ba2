// Shared pieces of the erosion/dilation tests: random masks and a brute-force reference that
// takes the extremum over the mask members of the border-extended source, pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/guard.hpp"
#include "qpxcv.h"

namespace morphtest {

using qpxtest::Margins;
using qpxtest::Random;

struct Mask {
    int w, h;
    std::vector<std::uint8_t> m;
    // The anchor in the caller's mask: the centre, or above-left of it for even sizes.
    int ax() const { return (w - 1) / 2; }
    int ay() const { return (h - 1) / 2; }
    bool member(int i, int j) const { return m[std::size_t(j) * w + i] != 0; }
    bool empty() const {
        return std::all_of(m.begin(), m.end(), [](std::uint8_t v) { return !v; });
    }
    qpxSize size() const { return {w, h}; }
};

enum class Shape { Random, Full, Empty, Cross, Sparse };

inline Mask make_mask(Random& rnd, int w, int h, Shape shape) {
    Mask k{w, h, std::vector<std::uint8_t>(std::size_t(w) * h, 0)};
    const int cx = rnd.next<int>(0, w - 1), cy = rnd.next<int>(0, h - 1);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            bool on = false;
            switch (shape) {
                case Shape::Random:
                    on = rnd.next<int>(0, 1) != 0;
                    break;
                case Shape::Full:
                    on = true;
                    break;
                case Shape::Empty:
                    on = false;
                    break;
                case Shape::Cross:
                    on = i == cx || j == cy;
                    break;
                case Shape::Sparse:
                    on = rnd.next<int>(0, 5) == 0;
                    break;
            }
            // Any nonzero byte is a member.
            if (on) k.m[std::size_t(j) * w + i] = static_cast<std::uint8_t>(rnd.next<int>(1, 255));
        }
    return k;
}

// Pixels the in-memory flags allow a stage to read around the ROI for this mask.
inline Margins reach(const Mask& k, std::uint32_t border) {
    const int kx = k.w >> 1, ky = k.h >> 1;
    Margins m;
    // Stage flags count only where the in-memory flag of the same side is clear.
    const std::uint32_t mem = (border & 0xF0u) | ((((~border << 4) & border & 0xF00u) >> 4));
    if (mem & 0x10u) m.top = ky;
    if (mem & 0x20u) m.bottom = (k.h | 1) - 1 - ky;
    if (mem & 0x40u) m.left = kx;
    if (mem & 0x80u) m.right = (k.w | 1) - 1 - kx;
    return m;
}

inline long mirror_index(long i, long n) {
    if (n == 1) return 0;
    const long p = 2 * n - 2;
    long r = ((i % p) + p) % p;
    return r < n ? r : p - r;
}

// dst(x, y) = max/min over members (i, j) of S(x + i - ax, y + j - ay), per channel, where S is
// the source extended by the border. get(x, y, c) reads the guarded image (margins included).
template <class T, class Get>
std::vector<T> reference(const Mask& k, int W, int H, int C, std::uint32_t border, const T* value,
                         bool dilate, Get&& get) {
    std::vector<T> out(std::size_t(W) * H * C);
    const std::uint32_t mem = (border & 0xF0u) | ((((~border << 4) & border & 0xF00u) >> 4));
    int kind = int(border & 15u);
    if (kind != 1 && kind != 3 && kind != 6) kind = 5;
    const T lo = std::numeric_limits<T>::lowest(), hi = std::numeric_limits<T>::max();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < C; ++c) {
                T& o = out[(std::size_t(y) * W + x) * C + c];
                if (k.empty() || (k.w == 1 && k.h == 1)) {
                    o = get(x, y, c);
                    continue;
                }
                bool have = false;
                T best{};
                for (int j = 0; j < k.h; ++j)
                    for (int i = 0; i < k.w; ++i) {
                        if (!k.member(i, j)) continue;
                        long xx = x + i - k.ax(), yy = y + j - k.ay();
                        bool isConst = false;
                        auto fix = [&](long& v, long n, bool memLo, bool memHi) {
                            if ((v < 0 && memLo) || (v >= n && memHi) || (v >= 0 && v < n)) return;
                            if (kind == 6 || kind == 5)
                                isConst = true;
                            else if (kind == 1)
                                v = v < 0 ? 0 : n - 1;
                            else
                                v = mirror_index(v, n);
                        };
                        fix(xx, W, mem & 0x40u, mem & 0x80u);
                        fix(yy, H, mem & 0x10u, mem & 0x20u);
                        T v;
                        if (isConst)
                            v = kind == 6 ? value[c] : (dilate ? lo : hi);
                        else
                            v = get(int(xx), int(yy), c);
                        if (!have || (dilate ? v > best : v < best)) best = v;
                        have = true;
                    }
                o = best;
            }
    return out;
}

}  // namespace morphtest
