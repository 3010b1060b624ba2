// Mask analysis and the size formulas of the erosion/dilation specs and work buffers.
#include <algorithm>
#include <cstring>

#include "morph/morph_engine.hpp"
#include "morph/morphology_state.hpp"

namespace qpx::morph {
namespace {

constexpr std::int64_t round_up(std::int64_t n, std::int64_t m) {
    return (n + m - 1) / m * m;
}
constexpr std::int64_t A32(std::int64_t n) {
    return round_up(n, 32);
}
constexpr std::int64_t B16(std::int64_t n) {
    return round_up(n, 16);
}

// Built-in shapes the analysis recognises (1 = member), row-major.
constexpr char kShape3[] = "010111010";
constexpr char kShape5[] = "0010001110111110111000100";
constexpr char kShape7[] =
    "0001000"
    "0111110"
    "0111110"
    "1111111"
    "0111110"
    "0111110"
    "0001000";

bool same_shape(const std::uint8_t* m, int n, const char* shape) {
    for (int i = 0; i < n * n; ++i)
        if ((m[i] != 0) != (shape[i] == '1')) return false;
    return true;
}

// Copies the caller's mask into the odd-sized padded mask as 0/255.
void pad_mask(std::uint8_t* out, const std::uint8_t* mask, int mW, int mH, int pW, int pH,
              Pad pad) {
    const int offX = pad == Pad::TopLeft ? pW - mW : 0;
    const int offY = pad == Pad::TopLeft ? pH - mH : 0;
    for (int py = 0; py < pH; ++py)
        for (int px = 0; px < pW; ++px) {
            const int i = px - offX, j = py - offY;
            const bool in = i >= 0 && i < mW && j >= 0 && j < mH;
            out[py * pW + px] = in && mask[std::int64_t(j) * mW + i] != 0 ? 255 : 0;
        }
}

// Features that depend on the padded mask alone (everything but rows/cross/shape).
std::uint32_t basic_features(const std::uint8_t* m, int pW, int pH) {
    std::int64_t members = 0;
    for (std::int64_t i = 0; i < std::int64_t(pW) * pH; ++i) members += m[i] != 0;
    std::uint32_t f = 0;
    if (members == std::int64_t(pW) * pH) f |= kFeatFull;
    if (members == 0) f |= kFeatEmpty;
    bool top = true, bottom = true, left = true, right = true;
    for (int x = 0; x < pW; ++x) {
        top &= m[x] == 0;
        bottom &= m[std::int64_t(pH - 1) * pW + x] == 0;
    }
    for (int y = 0; y < pH; ++y) {
        left &= m[std::int64_t(y) * pW] == 0;
        right &= m[std::int64_t(y) * pW + pW - 1] == 0;
    }
    if (top || bottom || left || right) f |= kFeatZeroEdge;
    return f;
}

std::uint32_t shape_features(const std::uint8_t* m, int pW, int pH) {
    if (pW != pH) return 0;
    if (pW == 3 && same_shape(m, 3, kShape3)) return kFeatShape;
    if (pW == 5 && same_shape(m, 5, kShape5)) return kFeatShape | kFeatShape5;
    if (pW == 7 && same_shape(m, 7, kShape7)) return kFeatShape | kFeatShape7;
    return 0;
}

}  // namespace

// ---- sizes ----------------------------------------------------------------------------------

std::int64_t spec_size(std::int64_t maskW, std::int64_t maskH) {
    return 136 + (5 * (maskW | 1) + 4) * (maskH | 1);
}

std::int64_t buffer_size(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                         std::int64_t maskH, int elemSize, int channels) {
    const std::int64_t s = elemSize, c = channels;
    const std::int64_t kx = maskW >> 1, ky = maskH >> 1, pW = maskW | 1, pH = maskH | 1;
    std::int64_t edge;
    if (pW >= roiW || pH >= roiH)
        edge = (2 * ky + roiH) * (2 * kx + roiW);
    else
        edge = std::max(ky >= 1 ? 3 * ky * (2 * kx + roiW) : 0,
                        kx >= 1 ? 3 * kx * (2 * ky + roiH) : 0);
    const std::int64_t rows = 16 * s + A32(s * c * pW) + A32(s * c * roiW) * pH;
    return rows + A32(edge * s * c) + 64;
}

std::int64_t spec_size_1u(std::int64_t maskW, std::int64_t maskH) {
    return 3 * B16(maskW * maskH) + 144;
}

std::int64_t buffer_size_1u(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                            std::int64_t maskH) {
    (void)roiH;  // the bit-packed stage works row by row
    const std::int64_t rowCol = stage_need_1u(roiW, int(maskW | 1), int(maskH | 1));
    const std::int64_t elliptic = 8 * (5 * maskH + 1) + (maskH * maskH + 1) * (roiW + 32) + 32;
    const std::int64_t work = std::max(rowCol, elliptic);
    return std::max(B16(4 * (maskW + roiW)) * 2 * maskH + 16,
                    B16(maskW * maskH) + B16(24 * maskH) + B16(16 * maskH + 79) + work);
}

std::int64_t spec_size_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                         std::int64_t maskH) {
    const std::int64_t general = 160 + (5 * (maskW | 1) + 4) * (maskH | 1);
    return general + buffer_size_1u(roiW, roiH, maskW, maskH) + 16;
}

// Ring rows, the extended row, the prefix row and the held-back output rows of a stage; the base
// is aligned to 32 bytes.
std::int64_t stage_need(std::int64_t width, int pW, int pH, int elemSize, int channels, bool full) {
    if (pW == 1 && pH == 1) return 0;  // a plain copy
    const std::int64_t row = width * channels * elemSize;
    const std::int64_t ext = (width + pW - 1) * channels * elemSize;
    // In place with a mirrored bottom, pH / 2 output rows are held back before they are written.
    const std::int64_t below = std::int64_t(pH / 2) * row;
    std::int64_t n;
    if (full)
        n = ext + (pH > 1 ? std::int64_t(pH) * row : 0) + (pH > 3 ? row : 0);
    else
        n = std::int64_t(pH) * ext;
    return n + below + 32;
}

// Bit-packed stages run the byte engine on unpacked rows: one more output row and the member
// table of the padded mask.
std::int64_t stage_need_1u(std::int64_t width, int pW, int pH) {
    const std::int64_t engine =
        std::max(stage_need(width, pW, pH, 1, 1, true), stage_need(width, pW, pH, 1, 1, false));
    return engine + round_up(width, 32) + round_up(2 * std::int64_t(pH) * (pW + 1), 32) + 32;
}

// ---- initialisation ------------------------------------------------------------------------

void init_spec(qpxMorphState* mem, const std::uint8_t* mask, qpxSize maskSize, Pad pad) {
    const int mW = maskSize.width, mH = maskSize.height;
    const int pW = mW | 1, pH = mH | 1;
    qpxMorphState* s = aligned_in<qpxMorphState>(mem);
    auto* members = reinterpret_cast<std::int16_t*>(s + 1);
    std::int16_t* runs = members + std::int64_t(pH) * (pW + 1);
    auto* padded = reinterpret_cast<std::uint8_t*>(runs + 2 * std::int64_t(pH));

    pad_mask(padded, mask, mW, mH, pW, pH, pad);
    s->mask = padded;
    s->paddedW = pW;
    s->paddedH = pH;
    s->anchorX = mW >> 1;
    s->anchorY = mH >> 1;
    s->members = members;
    s->runs = runs;

    for (int y = 0; y < pH; ++y) {
        std::int16_t* r = members + std::int64_t(y) * (pW + 1);
        int n = 0;
        for (int x = 0; x < pW; ++x)
            if (padded[std::int64_t(y) * pW + x]) r[1 + n++] = static_cast<std::int16_t>(x);
        r[0] = static_cast<std::int16_t>(n);
        std::fill(r + 1 + n, r + 1 + pW, std::int16_t(0));
    }

    std::fill(runs, runs + 2 * std::int64_t(pH), std::int16_t(0));
    s->rowsAreRuns = 1;
    for (int y = 0; y < pH; ++y) {
        const std::int16_t* r = members + std::int64_t(y) * (pW + 1);
        const int n = r[0];
        if (n > 0 && r[n] - r[1] != n - 1) {
            s->rowsAreRuns = 0;
            break;
        }
        runs[2 * y] = static_cast<std::int16_t>(n);
        runs[2 * y + 1] = static_cast<std::int16_t>(n > 0 ? r[1] : -1);
    }

    s->isCross = 0;
    if (s->rowsAreRuns) {
        int fullRows = 0, fullCols = 0, rowIdx = 0, colIdx = 0;
        for (int y = 0; y < pH; ++y)
            if (members[std::int64_t(y) * (pW + 1)] == pW) ++fullRows, rowIdx = y;
        for (int x = 0; x < pW; ++x) {
            bool full = true;
            for (int y = 0; y < pH && full; ++y) full = padded[std::int64_t(y) * pW + x] != 0;
            if (full) ++fullCols, colIdx = x;
        }
        if (fullRows == 1 && fullCols == 1 && pW > 1 && pH > 1) {
            s->isCross = 1;
            runs[0] = static_cast<std::int16_t>(rowIdx);
            runs[1] = static_cast<std::int16_t>(colIdx);
        }
    }

    const std::uint32_t shape = shape_features(padded, pW, pH);
    s->isBuiltInShape = shape != 0;
    s->features = basic_features(padded, pW, pH) | (s->rowsAreRuns ? kFeatRowRuns : 0u) |
                  (s->isCross ? kFeatCross : 0u) | shape;
}

void init_spec_1u(qpxMorphState* mem, const std::uint8_t* mask, qpxSize maskSize, Pad pad) {
    const int mW = maskSize.width, mH = maskSize.height;
    const int pW = mW | 1, pH = mH | 1;
    OneBitState* s = aligned_in<OneBitState>(mem);
    auto* padded = reinterpret_cast<std::uint8_t*>(s + 1);
    pad_mask(padded, mask, mW, mH, pW, pH, pad);
    s->paddedW = pW;
    s->paddedH = pH;
    s->anchorX = mW >> 1;
    s->anchorY = mH >> 1;
    s->mask = padded;
    s->features = basic_features(padded, pW, pH) | shape_features(padded, pW, pH);
    s->mode = (s->features & kFeatEmpty) ? 3 : (s->features & kFeatFull) ? 1 : 2;
}

void init_spec_l(qpxMorphStateL* mem, qpxSizeL roi, const std::uint8_t* mask, qpxSize maskSize,
                 Pad pad) {
    qpxMorphStateL* s = aligned_in<qpxMorphStateL>(mem);
    auto* general = reinterpret_cast<qpxMorphState*>(s + 1);
    auto* onebit = reinterpret_cast<qpxMorphState*>(reinterpret_cast<std::uint8_t*>(general) +
                                                    spec_size(maskSize.width, maskSize.height));
    (void)roi;  // the sizes depend on it, the contents do not
    init_spec(general, mask, maskSize, pad);
    init_spec_1u(onebit, mask, maskSize, pad);
    s->general = aligned_in<qpxMorphState>(general);
    s->onebit = aligned_in<qpxMorphState>(onebit);
}

const qpxMorphState* general_part(const qpxMorphStateL* spec) {
    return aligned_in<const qpxMorphStateL>(spec)->general;
}
const qpxMorphState* onebit_part(const qpxMorphStateL* spec) {
    return aligned_in<const qpxMorphStateL>(spec)->onebit;
}

MaskInfo mask_info(const qpxMorphState* spec) {
    const qpxMorphState* s = aligned_in<const qpxMorphState>(spec);
    return {s->paddedW, s->paddedH, s->anchorX, s->anchorY, s->features};
}
MaskInfo mask_info_1u(const qpxMorphState* spec) {
    const OneBitState* s = aligned_in<const OneBitState>(spec);
    return {s->paddedW, s->paddedH, s->anchorX, s->anchorY, s->features};
}

}  // namespace qpx::morph
