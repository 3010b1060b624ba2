// Border-extended rows: the one place where the border model of border.hpp becomes pixels.
// Every family takes its extended rows, or pieces of them, from here: `extend_row` builds
// columns from..to-1 of one row under a LineExtension, and `BorderRows` adds the vertical
// mapping (which source row, or the constant row, feeds extended row y). The border-building
// copies of border_copy.hpp are the whole-image form of the same thing.
//
// Pixels move through a "moves" object: runs of elements copied (and converted to the output
// type), one pixel repeated, and pixels read backwards. PlainMoves does it element by element;
// callers hand in vector moves where the runs are long. Results never depend on the moves.
//
// Kernel files include this after frame/vec.hpp, so that it lands in the target's namespace and
// nothing compiled with wider flags can stand in for the baseline copy at link time.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "frame/base.hpp"
#include "frame/border.hpp"
#include "frame/view.hpp"

#if defined(QPX_TARGET) && !defined(QPX_TNS)
#error "kernel files include frame/vec.hpp before frame/border_rows.hpp"
#endif
#if defined(QPX_TNS)
#define QPX_BORDER_NS QPX_TNS
#else
#define QPX_BORDER_NS baseline
#endif

namespace qpx::QPX_BORDER_NS {

struct PlainMoves {
    // n elements from s to d.
    template <class T, class U>
    void copy(U* d, const T* s, std::int64_t n) const {
        if constexpr (std::is_same_v<T, U>) {
            if (n > 0) std::memcpy(d, s, static_cast<std::size_t>(n) * sizeof(T));
        } else {
            for (std::int64_t i = 0; i < n; ++i) d[i] = static_cast<U>(s[i]);
        }
    }
    // n pixels at d, each the CH elements at px.
    template <int CH, class T, class U>
    void fill(U* d, const T* px, std::int64_t n) const {
        for (std::int64_t i = 0; i < n; ++i)
            for (int c = 0; c < CH; ++c) d[i * CH + c] = static_cast<U>(px[c]);
    }
    // d[k] = s[-k] for n pixels: s is the pixel written first, the source runs downwards.
    template <int CH, class T, class U>
    void reverse(U* d, const T* s, std::int64_t n) const {
        for (std::int64_t k = 0; k < n; ++k)
            for (int c = 0; c < CH; ++c) d[k * CH + c] = static_cast<U>(s[-k * CH + c]);
    }
};

namespace border_detail {

// Pixels x0 .. x0+n-1 of a row of w > 1 pixels extended by the mirror rule. The index sequence
// is periodic (2w-2) and runs alternately up (0 .. w-2) and down (w-1 .. 1): one run at a time.
template <int CH, class T, class U, class Moves>
void mirror_runs(U* d, const T* s, std::int64_t x0, std::int64_t n, std::int64_t w,
                 const Moves& mv) {
    const std::int64_t period = 2 * w - 2;
    for (std::int64_t k = 0; k < n;) {
        std::int64_t r = (x0 + k) % period;
        if (r < 0) r += period;
        std::int64_t len;
        if (r < w - 1) {
            len = w - 1 - r < n - k ? w - 1 - r : n - k;
            mv.copy(d + k * CH, s + r * CH, len * CH);
        } else {
            const std::int64_t idx = period - r;
            len = idx < n - k ? idx : n - k;
            mv.template reverse<CH>(d + k * CH, s + idx * CH, len);
        }
        k += len;
    }
}

// Columns a..b-1, all before the row (b <= 0) or all after it (a >= w), on a side built by
// the kind or read from memory.
template <int CH, class T, class U, class Moves>
void side(const T* s, std::int64_t w, const LineExtension& ext, bool inMem, std::int64_t a,
          std::int64_t b, const T* value, U* out, const Moves& mv) {
    if (inMem)
        mv.copy(out, s + a * CH, (b - a) * CH);
    else if (ext.kind == kBorderConst)
        mv.template fill<CH>(out, value, b - a);
    else if (ext.kind == kBorderMirror && w > 1)
        mirror_runs<CH>(out, s, a, b - a, w, mv);
    else
        mv.template fill<CH>(out, s + (a < 0 ? 0 : w - 1) * CH, b - a);
}

}  // namespace border_detail

// Writes columns from..to-1 (ROI columns, possibly negative or >= width) of row s extended by
// `ext` to out, converted to U. A constant border takes value[0..CH-1], read only then.
template <int CH, class T, class U, class Moves = PlainMoves>
void extend_row(const T* s, std::int64_t width, const LineExtension& ext, std::int64_t from,
                std::int64_t to, const T* value, U* out, const Moves& mv = Moves{}) {
    std::int64_t x = from;
    if (x < 0 && x < to) {
        const std::int64_t e = to < 0 ? to : 0;
        border_detail::side<CH>(s, width, ext, ext.inLo, x, e, value, out, mv);
        x = e;
    }
    if (x < width && x < to) {
        const std::int64_t e = to < width ? to : width;
        mv.copy(out + (x - from) * CH, s + x * CH, (e - x) * CH);
        x = e;
    }
    if (x < to)
        border_detail::side<CH>(s, width, ext, ext.inHi, x, to, value, out + (x - from) * CH, mv);
}

// A source image under its border: the horizontal and vertical extensions and the constant.
template <class T, int CH>
struct BorderRows {
    const T* src;  // the ROI's first pixel
    std::int64_t step, width, height;
    LineExtension cols, rows;
    const T* value;  // CH elements; read only under a constant border

    // The filters' reading of a border code.
    static BorderRows filter(const T* src, std::int64_t step, std::int64_t width,
                             std::int64_t height, std::uint32_t code, const T* value) {
        return {src,
                step,
                width,
                height,
                RowExtension::make(code, width),
                ColumnExtension::make(code, height),
                value};
    }
    static BorderRows filter(View<const T> v, std::uint32_t code, const T* value) {
        return filter(v.data, v.step, v.width, v.height, code, value);
    }
    // A parsed border whose kind the family has resolved (stage flags folded in where the
    // operation reads them from memory).
    static BorderRows parsed(const T* src, std::int64_t step, std::int64_t width,
                             std::int64_t height, const Border& b, const T* value) {
        return {src,
                step,
                width,
                height,
                LineExtension::make(b.kind, b.inLeft, b.inRight, width),
                LineExtension::make(b.kind, b.inTop, b.inBottom, height),
                value};
    }

    // The source row that extended row y reads, or null for a row of the constant.
    const T* source(std::int64_t y) const {
        const std::int64_t m = rows.map(y, height);
        return m == kConstIndex ? nullptr : row(src, step, m);
    }
    // Columns from..to-1 of extended row y, or of source row s (null: the constant row).
    template <class U, class Moves = PlainMoves>
    void build(const T* s, std::int64_t from, std::int64_t to, U* out,
               const Moves& mv = Moves{}) const {
        if (s == nullptr)
            mv.template fill<CH>(out, value, to - from);
        else
            extend_row<CH>(s, width, cols, from, to, value, out, mv);
    }
    template <class U, class Moves = PlainMoves>
    void build_row(std::int64_t y, std::int64_t from, std::int64_t to, U* out,
                   const Moves& mv = Moves{}) const {
        build(source(y), from, to, out, mv);
    }
};

}  // namespace qpx::QPX_BORDER_NS
