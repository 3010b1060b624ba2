// Shared pieces of the erosion/dilation tests: random masks and a brute-force reference that
// takes the extremum over the mask members of the border-extended source, pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "qpxcv.h"

namespace morphtest {

// The scalar target and every vector target this processor runs.
inline std::vector<qpx::Target> all_targets() {
    std::vector<qpx::Target> t{qpx::Target::Scalar};
    for (qpx::Target v : qpxtest::vector_targets()) t.push_back(v);
    return t;
}

using qpxtest::Margins;
using qpxtest::Random;

struct Mask {
    int w, h;
    std::vector<std::uint8_t> m;
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
            const bool on = shape == Shape::Full     ? true
                            : shape == Shape::Random ? rnd.next<int>(0, 1) != 0
                            : shape == Shape::Cross  ? i == cx || j == cy
                            : shape == Shape::Sparse ? rnd.next<int>(0, 5) == 0
                                                     : false;
            // Any nonzero byte is a member.
            if (on) k.m[std::size_t(j) * w + i] = static_cast<std::uint8_t>(rnd.next<int>(1, 255));
        }
    return k;
}

// In-memory sides after folding: a stage flag counts where its side's in-memory flag is clear.
// Kinds other than 1, 3, 5, 6 come with all four sides in memory.
inline std::uint32_t memory_sides(std::uint32_t border) {
    const unsigned kind = border & 15u;
    if (kind != 1 && kind != 3 && kind != 5 && kind != 6) return 0xF0;
    return (border & 0xF0u) | ((~border << 4) & border & 0xF00u) >> 4;
}

// The pixels around the ROI that a stage may read: half the odd-padded mask on each side.
inline Margins reach(const Mask& k, std::uint32_t border) {
    const std::uint32_t mem = memory_sides(border);
    Margins m;
    if (mem & 0x10u) m.top = k.h >> 1;
    if (mem & 0x20u) m.bottom = k.h >> 1;
    if (mem & 0x40u) m.left = k.w >> 1;
    if (mem & 0x80u) m.right = k.w >> 1;
    return m;
}

inline long mirror_index(long i, long n) {
    if (n == 1) return 0;
    const long p = 2 * n - 2, r = ((i % p) + p) % p;
    return r < n ? r : p - r;
}

// dst(x, y) = max/min over members (i, j) of S(x + i - ax, y + j - ay), per channel, with S the
// source extended by the border; get(x, y, c) reads the source (margins included).
template <class T, class Get>
std::vector<T> reference(const Mask& k, int W, int H, int C, std::uint32_t border, const T* value,
                         bool dilate, Get&& get) {
    std::vector<T> out(std::size_t(W) * H * C);
    const std::uint32_t mem = memory_sides(border);
    const int kind =
        (border & 15u) == 1 || (border & 15u) == 3 || (border & 15u) == 6 ? int(border & 15u) : 5;
    const int ax = (k.w - 1) / 2, ay = (k.h - 1) / 2;
    const bool copy = k.empty() || (k.w == 1 && k.h == 1);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < C; ++c) {
                T best = copy ? get(x, y, c) : T();
                bool have = copy;
                for (int j = 0; j < k.h && !copy; ++j)
                    for (int i = 0; i < k.w; ++i) {
                        if (!k.member(i, j)) continue;
                        long xx = x + i - ax, yy = y + j - ay;
                        bool outside = false;
                        auto fix = [&](long& v, long n, bool memLo, bool memHi) {
                            if ((v < 0 && !memLo) || (v >= n && !memHi)) {
                                outside |= kind == 5 || kind == 6;
                                v = kind == 1 ? std::clamp(v, 0L, n - 1) : mirror_index(v, n);
                            }
                        };
                        fix(xx, W, mem & 0x40u, mem & 0x80u);
                        fix(yy, H, mem & 0x10u, mem & 0x20u);
                        const T v = !outside    ? get(int(xx), int(yy), c)
                                    : kind == 6 ? value[c]
                                    : dilate    ? std::numeric_limits<T>::lowest()
                                                : std::numeric_limits<T>::max();
                        if (!have || (dilate ? v > best : v < best)) best = v;
                        have = true;
                    }
                out[(std::size_t(y) * W + x) * C + c] = best;
            }
    return out;
}

}  // namespace morphtest
