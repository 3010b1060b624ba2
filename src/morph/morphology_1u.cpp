// Erosion and dilation of bit-packed images: rows are unpacked to bytes of 0/255, run through
// the byte kernels, and packed back into the destination bits of the ROI only.
#include <cstring>

#include "frame/border.hpp"
#include "morph/morph_engine.hpp"
#include "morph/morphology_kernels.hpp"
#include "morph/morphology_state.hpp"

namespace qpx::morph {
namespace {

// Bit i of a packed row; i may be negative (pixels before the row start, read from memory).
inline bool get_bit(const std::uint8_t* row, std::int64_t i) {
    return (row[i >> 3] >> (i & 7)) & 1;
}
inline void put_bit(std::uint8_t* row, std::int64_t i, bool v) {
    const auto bit = static_cast<std::uint8_t>(1u << (i & 7));
    row[i >> 3] = v ? static_cast<std::uint8_t>(row[i >> 3] | bit)
                    : static_cast<std::uint8_t>(row[i >> 3] & ~bit);
}

// Extended rows of a bit image, unpacked to 0/255 bytes.
class BitRows {
  public:
    static constexpr bool kSpans = false;
    BitRows(const std::uint8_t* src, std::int64_t step, int offset, std::int64_t w, std::int64_t h,
            const Border& b, std::uint8_t fill, const MaskView& m)
        : src_(src),
          step_(step),
          off_(offset),
          w_(w),
          h_(h),
          b_(b),
          fill_(fill),
          left_(m.ax),
          right_(m.pW - 1 - m.ax),
          up_(m.ay) {
        if (b_.kind == kBorderDefault) b_.kind = kBorderConst;
    }
    const std::uint8_t* direct(std::int64_t) const { return nullptr; }
    const std::uint8_t* source_row(std::int64_t) const { return nullptr; }
    void span(std::int64_t, std::int64_t, std::int64_t, std::uint8_t*) const {}

    void build(std::int64_t e, std::uint8_t* out) const {
        const std::int64_t r = e - up_;
        std::int64_t sr = r;
        if (!(r >= 0 && r < h_) && !(r < 0 && b_.inTop) && !(r >= h_ && b_.inBottom)) {
            sr = map_border_index(r, h_, b_.kind);
            if (sr == kConstIndex) {
                std::memset(out, fill_, std::size_t(left_ + w_ + right_));
                return;
            }
        }
        const std::uint8_t* s = row(src_, step_, sr);
        for (std::int64_t x = -left_; x < w_ + right_; ++x) {
            std::int64_t sx = x;
            if (x < 0 && !b_.inLeft) sx = map_border_index(x, w_, b_.kind);
            if (x >= w_ && !b_.inRight) sx = map_border_index(x, w_, b_.kind);
            out[x + left_] = sx == kConstIndex ? fill_ : get_bit(s, off_ + sx) ? 255 : 0;
        }
    }

  private:
    const std::uint8_t* src_;
    std::int64_t step_;
    std::int64_t off_;
    std::int64_t w_, h_;
    Border b_;
    std::uint8_t fill_;
    std::int64_t left_, right_, up_;
};

// Output rows go to a byte row, then into the ROI bits of the destination row.
struct BitSink {
    std::uint8_t* dst;
    std::int64_t step;
    std::int64_t off;
    std::int64_t w;
    std::uint8_t* tmp;
    std::uint8_t* row(std::int64_t) { return tmp; }
    void done(std::int64_t y) {
        std::uint8_t* d = qpx::row(dst, step, y);
        for (std::int64_t x = 0; x < w; ++x) put_bit(d, off + x, tmp[x] != 0);
    }
    void finish() {}
};

}  // namespace

void apply_1u(Path path, Op op, const std::uint8_t* src, std::int64_t srcStep, int srcBitOffset,
              std::uint8_t* dst, std::int64_t dstStep, int dstBitOffset, std::int64_t width,
              std::int64_t height, std::uint32_t border, std::uint8_t value,
              const qpxMorphState* spec, std::uint8_t* buffer) {
    const OneBitState* s = aligned_in<const OneBitState>(spec);
    if (s->mode == 3 || (s->paddedW == 1 && s->paddedH == 1)) {
        for (std::int64_t y = 0; y < height; ++y) {
            const std::uint8_t* sr = row(src, srcStep, y);
            std::uint8_t* dr = row(dst, dstStep, y);
            for (std::int64_t x = 0; x < width; ++x)
                put_bit(dr, dstBitOffset + x, get_bit(sr, srcBitOffset + x));
        }
        return;
    }
    const int pW = s->paddedW, pH = s->paddedH;
    // Work memory: the member table, the unpacked output row, then the byte stage.
    auto* members = reinterpret_cast<std::int16_t*>(align32(buffer));
    for (int y = 0; y < pH; ++y) {
        std::int16_t* r = members + std::int64_t(y) * (pW + 1);
        int n = 0;
        for (int x = 0; x < pW; ++x)
            if (s->mask[std::int64_t(y) * pW + x]) r[1 + n++] = static_cast<std::int16_t>(x);
        r[0] = static_cast<std::int16_t>(n);
    }
    auto* tmp = align32(reinterpret_cast<std::uint8_t*>(members + std::int64_t(pH) * (pW + 1)));
    std::uint8_t* stage = tmp + (width + 31) / 32 * 32;

    const MaskView mv{s->mask, members, pW, pH, s->anchorX, s->anchorY, s->mode == 1, false};
    const Border b = Border::parse(Border::fold_stages(border));
    std::uint8_t fill = 0;
    if (b.kind == kBorderDefault)
        fill = op == Op::Dilate ? 0 : 255;
    else if (b.kind == kBorderConst)
        fill = value ? 255 : 0;
    BitRows rows(src, srcStep, srcBitOffset, width, height, b, fill, mv);
    BitSink sink{dst, dstStep, dstBitOffset, width, tmp};
    run_stage<std::uint8_t, 1>(path, op, mv, rows, false, false, sink, width, height, stage);
}

}  // namespace qpx::morph
