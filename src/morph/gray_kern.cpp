// Grey-scale morphology, row by row, compiled once per vector target. Each output row starts at
// the neutral value and takes the maximum (minimum) with one shifted source row per mask
// position, in the same order on every target, so the float results agree bit for bit. For 8u
// data a saturating add (or subtract) of the clamped structuring value is exactly the term
// clamped to 0..255, and clamping every term before the maximum gives the clamped maximum.
#include "frame/vec.hpp"
#include "morph/gray.hpp"
#include "morph/morph_vec.hpp"

#include <algorithm>
#include <limits>

namespace qpx::morph::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;

template <bool dilate, class W>
inline typename W::V pick(typename W::V acc, typename W::V t) {
    // The operand order of the float maximum and minimum: ties and NaN keep the accumulator.
    return dilate ? W::max(t, acc) : W::min(t, acc);
}

template <bool dilate>
void row_8u(const u8* s, u8* d, std::int64_t n, std::int32_t v) {
    const std::int64_t mag = std::min<std::int64_t>(v < 0 ? -std::int64_t(v) : v, 255);
    const u8 c = static_cast<u8>(mag);
    for_lanes<u8>(0, n, [&](auto w, std::int64_t x) {
        using W = decltype(w);
        const auto src = w.load(s + x), k = W::set(c);
        const auto t = v < 0 ? W::diff(src, k, false) : W::adds(src, k);
        w.store(d + x, pick<dilate, W>(w.load(d + x), t));
    });
}

template <bool dilate, class L>
void row_32f_span(const float* s, float* d, std::int64_t& x, std::int64_t n, float v) {
    using W = MLanes<L, float>;
    const auto vv = W::set(v);
    for (; n - x >= W::N; x += W::N) {
        const auto t = W::add(W::load(s + x), vv);
        W::store(d + x, pick<dilate, W>(W::load(d + x), t));
    }
}

template <bool dilate>
void row_32f(const float* s, float* d, std::int64_t n, float v) {
    std::int64_t x = 0;
    row_32f_span<dilate, Wide>(s, d, x, n, v);
    row_32f_span<dilate, One>(s, d, x, n, v);
}

// One output row from the source rows that `src_row(sy)` returns.
template <class T, bool dilate, class Rows>
void gray_row(const GrayHeader& hd, int y, int w, int h, T* d, Rows src_row) {
    using V = std::conditional_t<std::is_same_v<T, float>, float, std::int32_t>;
    const unsigned char* values = static_cast<const unsigned char*>(hd.values);
    const int mw = hd.maskW, mh = hd.maskH, ax = hd.anchorX, ay = hd.anchorY;
    T start;
    if constexpr (std::is_same_v<T, float>)
        start = dilate ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
    else
        start = dilate ? 0 : 255;
    for (int x = 0; x < w; ++x) d[x] = start;
    for (int j = 0; j < mh; ++j) {
        const int sy = y + j - ay;
        if (sy < 0 || sy >= h) continue;
        const T* s = src_row(sy);
        for (int i = 0; i < mw; ++i) {
            // Output x reads source x + dx; only the part inside the ROI takes part.
            const int dx = i - ax;
            const int x0 = dx < 0 ? -dx : 0;
            const int x1 = dx > 0 ? w - dx : w;
            if (x1 <= x0) continue;
            V v;
            std::memcpy(&v, values + (std::size_t(j) * mw + i) * sizeof(V), sizeof v);
            if constexpr (std::is_same_v<T, float>)
                row_32f<dilate>(s + x0 + dx, d + x0, x1 - x0, v);
            else
                row_8u<dilate>(s + x0 + dx, d + x0, x1 - x0, v);
        }
    }
}

// Kept out of line so that the ring takes stack only on the in-place path.
template <class T, bool dilate>
[[gnu::noinline]] void gray_in_place(const GrayHeader& hd, View<T> img) {
    const int w = int(img.width), h = int(img.height);
    alignas(64) unsigned char ring[kGrayRingBytes];
    const int n = gray_ring_rows(hd);
    const bool down = hd.anchorY <= hd.maskH - 1 - hd.anchorY;
    auto slot = [&](int sy) { return reinterpret_cast<T*>(ring) + std::size_t(sy % n) * w; };
    for (int k = 0; k < h; ++k) {
        const int y = down ? k : h - 1 - k;
        T* d = img.row(y);
        // The slot held the row n rows back, which the window no longer reaches.
        std::memcpy(slot(y), d, sizeof(T) * std::size_t(w));
        gray_row<T, dilate>(hd, y, w, h, d, [&](int sy) -> const T* {
            return (down ? sy <= y : sy >= y) ? slot(sy) : img.row(sy);
        });
    }
}

template <class T, bool dilate>
void gray_morph(View<const T> src, View<T> dst, const qpxMorphGrayState* spec) {
    const GrayHeader hd = gray_header(spec);
    const int w = int(dst.width), h = int(dst.height);
    if (static_cast<const void*>(src.data) == static_cast<const void*>(dst.data) &&
        src.step == dst.step) {
        gray_in_place<T, dilate>(hd, dst);
        return;
    }
    for (int y = 0; y < h; ++y)
        gray_row<T, dilate>(hd, y, w, h, dst.row(y), [&](int sy) { return src.row(sy); });
}

}  // namespace

extern const GrayKernels gray_kernels = {
    {gray_morph<u8, false>, gray_morph<u8, true>},
    {gray_morph<float, false>, gray_morph<float, true>},
};

}  // namespace qpx::morph::QPX_TNS
