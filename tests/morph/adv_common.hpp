// Shared pieces of the composed-morphology tests: the exports of each type in tables, and a
// brute-force reference that evaluates both stages pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "common/guard.hpp"

namespace advtest {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

enum Op { kOpen, kClose, kTophat, kBlackhat, kGradient };

template <class T, int C>
using ValueArg = std::conditional_t<C == 1, T, const T*>;

template <class T, int C>
struct Fns {
    qpxStatus (*getSize)(qpxSize, qpxSize, int*, int*);
    qpxStatus (*init)(qpxSize, const u8*, qpxSize, qpxMorphAdvState*, u8*);
    qpxStatus (*border[5])(const T*, int, T*, int, qpxSize, qpxBorderType, ValueArg<T, C>,
                           const qpxMorphAdvState*, u8*);
    qpxStatus (*wide[5])(const T*, std::int64_t, T*, std::int64_t, qpxSizeL, qpxBorderType,
                         ValueArg<T, C>, const qpxMorphStateL*, u8*);
    qpxDataType type;
};

// clang-format off
#define ADV_FNS(tag, T, C, type)                                                                 \
    Fns<T, C>{qpxiMorphAdvGetSize_##tag, qpxiMorphAdvInit_##tag,                               \
              {qpxiMorphOpenBorder_##tag, qpxiMorphCloseBorder_##tag, qpxiMorphTophatBorder_##tag, \
               qpxiMorphBlackhatBorder_##tag, qpxiMorphGradientBorder_##tag},                  \
              {qpxiMorphOpen_##tag##_L, qpxiMorphClose_##tag##_L, qpxiMorphTophat_##tag##_L,     \
               qpxiMorphBlackhat_##tag##_L, qpxiMorphGradient_##tag##_L}, type}
// clang-format on

template <class T, int C>
Fns<T, C> fns() {
    if constexpr (std::is_same_v<T, u8> && C == 1)
        return ADV_FNS(8u_C1R, u8, 1, qpx8u);
    else if constexpr (std::is_same_v<T, u8> && C == 3)
        return ADV_FNS(8u_C3R, u8, 3, qpx8u);
    else if constexpr (std::is_same_v<T, u8> && C == 4)
        return ADV_FNS(8u_C4R, u8, 4, qpx8u);
    else if constexpr (std::is_same_v<T, u16>)
        return ADV_FNS(16u_C1R, u16, 1, qpx16u);
    else if constexpr (std::is_same_v<T, s16>)
        return ADV_FNS(16s_C1R, s16, 1, qpx16s);
    else if constexpr (C == 1)
        return ADV_FNS(32f_C1R, float, 1, qpx32f);
    else if constexpr (C == 3)
        return ADV_FNS(32f_C3R, float, 3, qpx32f);
    else
        return ADV_FNS(32f_C4R, float, 4, qpx32f);
}

template <class T>
T lowest() {
    return std::numeric_limits<T>::lowest();
}
template <class T>
T highest() {
    return std::numeric_limits<T>::max();
}

// A mask and its member offsets relative to the anchor ((w - 1) / 2, (h - 1) / 2).
struct Mask {
    int w, h;
    std::vector<u8> m;
    std::vector<std::pair<int, int>> offsets(bool reflected) const {
        std::vector<std::pair<int, int>> o;
        const int ax = (w - 1) / 2, ay = (h - 1) / 2;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (m[j * w + i]) {
                    if (reflected)
                        o.emplace_back(ax - i, ay - j);
                    else
                        o.emplace_back(i - ax, j - ay);
                }
        return o;
    }
    // A padded size of 1x1 or no member at all: the stage copies.
    bool copies() const {
        return ((w | 1) == 1 && (h | 1) == 1) ||
               std::all_of(m.begin(), m.end(), [](u8 v) { return v == 0; });
    }
};

// Which sides a stage reads from memory.
struct Sides {
    bool top = false, bottom = false, left = false, right = false;
};

inline int mirror(int i, int n) {
    if (n == 1) return 0;
    const int p = 2 * n - 2;
    i = ((i % p) + p) % p;
    return i < n ? i : p - i;
}

// A dense image of C channels over a rectangle; get() may look outside through `outside`.
template <class T>
struct Plane {
    int w = 0, h = 0, c = 1;
    std::vector<T> px;
    T& at(int x, int y, int k) { return px[(std::size_t(y) * w + x) * c + k]; }
    T at(int x, int y, int k) const { return px[(std::size_t(y) * w + x) * c + k]; }
};

// One flat stage over a w x h rectangle whose pixel (x, y) is read by raw(x, y, k), which also
// answers for coordinates outside the rectangle on sides read from memory.
template <class T, class Raw>
Plane<T> stage(Raw raw, int w, int h, int c, const Mask& mask, bool reflected, bool dilate,
               int kind, Sides mem, const T* value, T hi = highest<T>()) {
    Plane<T> out{w, h, c, std::vector<T>(std::size_t(w) * h * c)};
    const auto offs = mask.offsets(reflected);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < c; ++k) {
                if (mask.copies()) {
                    out.at(x, y, k) = raw(x, y, k);
                    continue;
                }
                T acc = dilate ? lowest<T>() : hi;
                for (auto [dx, dy] : offs) {
                    int sx = x + dx, sy = y + dy;
                    bool outX = (sx < 0 && !mem.left) || (sx >= w && !mem.right);
                    bool outY = (sy < 0 && !mem.top) || (sy >= h && !mem.bottom);
                    T v;
                    if ((outX || outY) && kind == 5) continue;
                    if ((outX || outY) && kind == 6) {
                        v = value[k];
                    } else {
                        if (outX) sx = kind == 3 ? mirror(sx, w) : std::clamp(sx, 0, w - 1);
                        if (outY) sy = kind == 3 ? mirror(sy, h) : std::clamp(sy, 0, h - 1);
                        v = raw(sx, sy, k);
                    }
                    acc = dilate ? std::max(acc, v) : std::min(acc, v);
                }
                out.at(x, y, k) = acc;
            }
    return out;
}

template <class T>
T diff(T a, T b, bool clampNeg) {
    if constexpr (std::is_floating_point_v<T>) {
        T d = a - b;
        return clampNeg && d < 0 ? T(0) : d;
    } else if constexpr (std::is_signed_v<T>) {
        int d = std::clamp(int(a) - int(b), -32768, 32767);
        return T(clampNeg && d < 0 ? 0 : d);
    } else {
        return T(a > b ? a - b : 0);
    }
}

// The composed operation. `src` reads the caller's image at ROI coordinates (margins included).
// The first stage reads memory on `first` sides; the second stage covers the ROI inside an
// intermediate image enlarged by (el, et, er, eb) and reads it on the enlarged sides.
template <class T, class Src>
Plane<T> compose(Op op, Src src, int w, int h, int c, const Mask& mask, bool reflectSecond,
                 int kind, Sides first, int el, int et, int er, int eb, const T* value,
                 bool clampNeg, T hi = highest<T>()) {
    Plane<T> s{w, h, c, std::vector<T>(std::size_t(w) * h * c)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < c; ++k) s.at(x, y, k) = src(x, y, k);
    if (op == kGradient) {
        Plane<T> d = stage<T>(src, w, h, c, mask, false, true, kind, first, value, hi);
        Plane<T> e = stage<T>(src, w, h, c, mask, false, false, kind, first, value, hi);
        for (std::size_t i = 0; i < d.px.size(); ++i) d.px[i] = diff(d.px[i], e.px[i], false);
        return d;
    }
    const bool opening = op == kOpen || op == kTophat;
    auto shifted = [&](int x, int y, int k) { return src(x - el, y - et, k); };
    Plane<T> t = stage<T>(shifted, w + el + er, h + et + eb, c, mask, false, !opening, kind, first,
                          value, hi);
    auto inner = [&](int x, int y, int k) { return t.at(x + el, y + et, k); };
    Sides second{et > 0, eb > 0, el > 0, er > 0};
    Plane<T> r = stage<T>(inner, w, h, c, mask, reflectSecond, opening, kind, second, value, hi);
    if (op == kTophat)
        for (std::size_t i = 0; i < r.px.size(); ++i) r.px[i] = diff(s.px[i], r.px[i], clampNeg);
    if (op == kBlackhat)
        for (std::size_t i = 0; i < r.px.size(); ++i) r.px[i] = diff(r.px[i], s.px[i], clampNeg);
    return r;
}

}  // namespace advtest
