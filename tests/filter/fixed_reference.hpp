// Direct references for the fixed 3x3/5x5 filters: the border-extended source pixel by pixel,
// and the 2-D correlation of a whole mask with it, written independently of the library.
#pragma once

#include <cstdint>
#include <vector>

#include "common/guard.hpp"

namespace fixedtest {

using qpxtest::GuardedImage;
using qpxtest::Margins;

// Index of an out-of-range coordinate under replicate (1) or mirror (3); mirror is periodic with
// period 2n-2 and a line of length 1 is replicated.
inline int fold(int i, int n, int kind) {
    if (i >= 0 && i < n) return i;
    if (kind == 3 && n > 1) {
        const int period = 2 * n - 2;
        int r = ((i % period) + period) % period;
        return r < n ? r : period - r;
    }
    return i < 0 ? 0 : n - 1;
}

// The value the filters see at (x, y) of the extended source.
template <class T>
double extended(const GuardedImage<T>& img, int x, int y, unsigned border, double value) {
    const int kind = border & 15;
    const bool top = border & 16, bottom = border & 32, left = border & 64, right = border & 128;
    const int w = img.width(), h = img.height();
    int sy = y;
    if ((y < 0 && !top) || (y >= h && !bottom)) {
        if (kind == 6) return value;
        sy = fold(y, h, kind);
    }
    int sx = x;
    if ((x < 0 && !left) || (x >= w && !right)) {
        if (kind == 6) return value;
        sx = fold(x, w, kind);
    }
    return static_cast<double>(img.at(sx, sy));
}

// A ks x ks mask, row-major (rows top to bottom), anchor at the centre.
struct Mask {
    int ks;
    std::vector<double> k;
    double at(int i, int j) const { return k[std::size_t(j) * ks + i]; }
};

// col (top to bottom) times row (left to right).
inline Mask outer(const std::vector<double>& col, const std::vector<double>& row) {
    Mask m{int(row.size()), {}};
    for (double c : col)
        for (double r : row) m.k.push_back(c * r);
    return m;
}

template <class T>
double correlate(const GuardedImage<T>& img, const Mask& m, int x, int y, unsigned border,
                 double value) {
    const int a = (m.ks - 1) / 2;
    double s = 0;
    for (int j = 0; j < m.ks; ++j)
        for (int i = 0; i < m.ks; ++i)
            s += m.at(i, j) * extended(img, x + i - a, y + j - a, border, value);
    return s;
}

// Every border code the filter rule accepts, in-memory flag combinations included.
inline std::vector<unsigned> accepted_borders() {
    std::vector<unsigned> v{240};
    for (unsigned kind : {1u, 3u, 6u})
        for (unsigned flags = 0; flags < 16; ++flags) v.push_back(kind | flags << 4);
    return v;
}

// Exactly the pixels beyond the ROI that a code lets a filter read from memory.
inline Margins margins_for(unsigned border, int reach) {
    Margins m;
    m.top = border & 16 ? reach : 0;
    m.bottom = border & 32 ? reach : 0;
    m.left = border & 64 ? reach : 0;
    m.right = border & 128 ? reach : 0;
    return m;
}

inline const std::vector<qpxSize>& roi_sizes() {
    static const std::vector<qpxSize> s = {{1, 1}, {1, 6}, {6, 1},  {2, 3},
                                           {3, 2}, {9, 5}, {17, 4}, {33, 7}};
    return s;
}

// Codes outside the filter rule.
inline const std::vector<unsigned>& rejected_borders() {
    static const std::vector<unsigned> v = {0, 2, 4, 5, 7, 15, 16, 48, 0xF2, 0x101, 256, 0x106};
    return v;
}

}  // namespace fixedtest
