// The border model: parsing of border codes, the acceptance rules of the exported families, and
// the index mapping that defines the value of a pixel outside the ROI.
#pragma once

#include <climits>

#include "frame/base.hpp"

namespace qpx {

enum BorderKind : int {
    kBorderNone = 0,
    kBorderRepl = 1,
    kBorderWrap = 2,
    kBorderMirror = 3,
    kBorderMirrorR = 4,
    kBorderDefault = 5,
    kBorderConst = 6,
};

// A border code split into its fields.
struct Border {
    int kind = kBorderRepl;
    bool inTop = false, inBottom = false, inLeft = false, inRight = false;
    unsigned stage = 0;  // effective stage flags (0x100 top .. 0x800 right)

    static Border parse(std::uint32_t code) {
        Border b;
        b.kind = static_cast<int>(code & 15u);
        b.inTop = code & qpxBorderInMemTop;
        b.inBottom = code & qpxBorderInMemBottom;
        b.inLeft = code & qpxBorderInMemLeft;
        b.inRight = code & qpxBorderInMemRight;
        b.stage = effective_stage(code);
        return b;
    }
    bool allInMem() const { return inTop && inBottom && inLeft && inRight; }

    // A stage flag counts only where the in-memory flag of its side is clear.
    static unsigned effective_stage(std::uint32_t code) { return (~code << 4) & code & 0xF00u; }
    // A single-stage operation reads the effective stage sides from memory.
    static std::uint32_t fold_stages(std::uint32_t code) {
        return (code & 255u) | ((code >> 4) & 240u);
    }
};

// Filter rule: the separable, fixed and 32-bit Gaussian filters.
constexpr bool accept_filter_border(std::uint32_t code) {
    if (code > 255) return false;
    if (code == qpxBorderInMem) return true;
    if ((code & 15u) == kBorderConst) return true;
    return (code & 13u) == 1u;  // kind 1 or 3
}

// Extended rule: the eigenvalue corner functions.
constexpr bool accept_extended_border(std::uint32_t code) {
    if (code > 4095) return false;
    unsigned kind = code & 15u;
    if (kind == 1 || kind == 3 || kind == 5 || kind == 6) return true;
    return (code & 0xF0u) == 0xF0u;
}

// Gaussian rule: the 64-bit Gaussian interface and the Gaussian filtering calls. With all four
// in-memory flags set any kind is accepted and handled as 240.
constexpr bool accept_gaussian_border(std::uint32_t code) {
    if (code > 255) return false;
    if ((code & 0xF0u) == 0xF0u) return true;
    unsigned kind = code & 15u;
    return kind == 1 || kind == 3 || kind == 6;
}

// Morphology rule. On success `effective` receives the code to work with: a kind other than
// 1, 3, 5, 6 is allowed only with all four sides in memory and no effective stage flag, and is
// then replaced by the default kind.
constexpr bool accept_morph_border(std::uint32_t code, std::uint32_t* effective) {
    if (code > 4095) return false;
    unsigned kind = code & 15u;
    if (kind == 1 || kind == 3 || kind == 5 || kind == 6) {
        *effective = code;
        return true;
    }
    if (Border::effective_stage(code) == 0 && (code & 0xF0u) == 0xF0u) {
        *effective = (code & ~15u) | kBorderDefault;
        return true;
    }
    return false;
}

// Marks an index that has no source pixel: the constant border value applies.
inline constexpr std::int64_t kConstIndex = INT64_MIN;

// Maps an index i (possibly outside 0..n-1) onto the index whose pixel it reads under `kind`.
// Mirror is periodic with period 2n-2, so borders wider than the image mirror back and forth;
// a line of length 1 is replicated. Constant borders give kConstIndex. Always inlined, like
// LineExtension::map: kernels of every target call them, and no out-of-line copy compiled with
// one target's flags may serve another.
[[gnu::always_inline]] constexpr std::int64_t map_border_index(std::int64_t i, std::int64_t n,
                                                               int kind) {
    if (i >= 0 && i < n) return i;
    if (kind == kBorderConst) return kConstIndex;
    if (kind == kBorderMirror && n > 1) {
        std::int64_t period = 2 * n - 2;
        std::int64_t r = i % period;
        if (r < 0) r += period;
        return r < n ? r : period - r;
    }
    return i < 0 ? 0 : n - 1;  // replicate (and any other kind)
}

// One axis of an extended image: where a line of n pixels reads index i (possibly outside
// 0..n-1). A side read from memory keeps i as it is (the caller guarantees those pixels exist);
// the other sides follow the kind, which every family hands over already resolved (the default
// kind of morphology arrives here as a constant).
struct LineExtension {
    int kind;
    bool inLo, inHi;  // the side before index 0, the side after index n-1, lies in memory

    // A line of one pixel extended on both sides replicates unless constant.
    static LineExtension make(int kind, bool inLo, bool inHi, std::int64_t n) {
        LineExtension e{kind, inLo, inHi};
        if (e.kind != kBorderConst && !inLo && !inHi && n == 1) e.kind = kBorderRepl;
        return e;
    }
    [[gnu::always_inline]] std::int64_t map(std::int64_t i, std::int64_t n) const {
        if (i < 0 && inLo) return i;
        if (i >= n && inHi) return i;
        return map_border_index(i, n, kind);
    }
};

// The filters' extensions of a row (left and right sides) and of a column (top and bottom) under
// a border code; 240 reads every side from memory.
struct RowExtension {
    static LineExtension make(std::uint32_t code, std::int64_t width) {
        const Border b = Border::parse(code);
        return LineExtension::make(b.kind, b.inLeft, b.inRight, width);
    }
};
struct ColumnExtension {
    static LineExtension make(std::uint32_t code, std::int64_t height) {
        const Border b = Border::parse(code);
        return LineExtension::make(b.kind, b.inTop, b.inBottom, height);
    }
};

}  // namespace qpx
