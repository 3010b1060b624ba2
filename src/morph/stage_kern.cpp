// One erosion or dilation stage, compiled once per vector target. Rows of the border-extended
// source are produced one at a time (built into work rows, or read in place when every side the
// mask reaches is in memory) and fed to one of two kernels:
//  - full rectangles are separable: a horizontal running extremum per row (at most a few
//    doublings, then van Herk / Gil-Werman blocks: a bounded number of operations per element
//    whatever the width), then a vertical one over a ring of rows (van Herk / Gil-Werman
//    blocks: three operations per element whatever the height);
//  - any other mask reads exactly its members, row by row from the member table.
// Bit-packed images are unpacked to bytes of 0/255, run through the byte kernels, and packed
// back into the destination bits of the ROI only.
#include "frame/vec.hpp"
#include "morph/morph_vec.hpp"
#include "morph/morphology_kernels.hpp"

namespace qpx::morph::QPX_TNS {
namespace {

template <class T, int C>
void apply(Op op, View<const T> src, View<T> dst, std::uint32_t border, const T* value,
           const qpxMorphState* spec, std::uint8_t* buffer) {
    const std::int64_t width = src.width, height = src.height;
    const std::int64_t srcStep = src.step, dstStep = dst.step;
    const qpxMorphState* s = aligned_in<const qpxMorphState>(spec);
    const MaskView mv{s->mask,
                      s->members,
                      s->paddedW,
                      s->paddedH,
                      s->anchorX,
                      s->anchorY,
                      (s->features & kFeatFull) != 0,
                      (s->features & kFeatEmpty) != 0};
    if (mv.empty || (mv.pW == 1 && mv.pH == 1)) {
        copy_roi<T>(src, dst);
        return;
    }
    T fill[C];
    const Border b = Border::parse(Border::fold_stages(border));
    for (int c = 0; c < C; ++c)
        fill[c] = b.kind == kBorderDefault ? neutral<T>(op)
                  : b.kind == kBorderConst ? value[c]
                                           : T();
    ImageRows<T, C> rows(src, b, fill, mv);
    // Reading the source in place is only safe when nothing is written over it meanwhile. Only
    // the sides read from memory count: the others are built from the ROI.
    const std::int64_t px = C * sizeof(T);
    const bool overlap = regions_overlap(src.data, srcStep, dst.data, dstStep, width * px, height,
                                         b.inTop ? mv.ay : 0, b.inBottom ? mv.pH - 1 - mv.ay : 0,
                                         b.inLeft || b.inRight ? mv.pW * px : 0);
    const bool delay = overlap && b.kind == kBorderMirror && !b.inBottom && mv.pH - 1 > mv.ay;
    const bool direct = !overlap && rows.in_place();
    ImageSink<T> sink{dst};
    if (delay) {
        // The held-back rows follow the stage's own work memory, measured from the aligned base
        // the stage uses, so that they stay aligned whatever address the caller's buffer has.
        sink.delay = mv.pH - 1 - mv.ay;
        sink.ring = reinterpret_cast<T*>(
            align_up(buffer, 32) +
            (stage_need(width, mv.pW, mv.pH, int(sizeof(T)), C, mv.full) - 32) -
            sink.delay * width * C * std::int64_t(sizeof(T)));
    }
    run_stage<T, C>(op, mv, rows, direct, !overlap, sink, width, height, buffer);
}

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
    BitRows(View<const std::uint8_t> src, int offset, const Border& b, std::uint8_t fill,
            const MaskView& m)
        : image_(BorderRows<std::uint8_t, 1>::parsed(src.data, src.step, src.width, src.height,
                                                     resolve_default(b), nullptr)),
          off_(offset),
          fill_(fill),
          left_(m.ax),
          right_(m.pW - 1 - m.ax),
          up_(m.ay) {}
    const std::uint8_t* direct(std::int64_t) const { return nullptr; }
    const std::uint8_t* source_row(std::int64_t) const { return nullptr; }
    void span(std::int64_t, std::int64_t, std::int64_t, std::uint8_t*) const {}

    void build(std::int64_t e, std::uint8_t* out) const {
        const std::int64_t w = image_.width;
        const std::uint8_t* s = image_.source(e - up_);
        if (s == nullptr) {
            std::memset(out, fill_, std::size_t(left_ + w + right_));
            return;
        }
        // The row and the sides read from memory are unpacked; the other sides are built from
        // the unpacked row.
        const LineExtension& ext = image_.cols;
        std::uint8_t* o = out + left_;
        const std::int64_t lo = ext.inLo ? -left_ : 0, hi = ext.inHi ? w + right_ : w;
        for (std::int64_t x = lo; x < hi; ++x) o[x] = get_bit(s, off_ + x) ? 255 : 0;
        if (!ext.inLo) extend_row<1>(o, w, ext, -left_, 0, &fill_, out);
        if (!ext.inHi) extend_row<1>(o, w, ext, w, w + right_, &fill_, o + w);
    }

  private:
    BorderRows<std::uint8_t, 1> image_;
    std::int64_t off_;
    std::uint8_t fill_;
    std::int64_t left_, right_, up_;
};

// Output rows go to a byte row, then into the ROI bits of the destination row.
struct BitSink {
    View<std::uint8_t> dst;
    std::int64_t off;
    std::uint8_t* tmp;
    std::uint8_t* row(std::int64_t) { return tmp; }
    void done(std::int64_t y) {
        std::uint8_t* d = dst.row(y);
        for (std::int64_t x = 0; x < dst.width; ++x) put_bit(d, off + x, tmp[x] != 0);
    }
    void finish() {}
};

void apply_1u(Op op, View<const std::uint8_t> src, int srcBitOffset, View<std::uint8_t> dst,
              int dstBitOffset, std::uint32_t border, std::uint8_t value, const qpxMorphState* spec,
              std::uint8_t* buffer) {
    const std::int64_t width = src.width, height = src.height;
    const OneBitState* s = aligned_in<const OneBitState>(spec);
    if (s->mode == 3 || (s->paddedW == 1 && s->paddedH == 1)) {
        for (std::int64_t y = 0; y < height; ++y) {
            const std::uint8_t* sr = src.row(y);
            std::uint8_t* dr = dst.row(y);
            for (std::int64_t x = 0; x < width; ++x)
                put_bit(dr, dstBitOffset + x, get_bit(sr, srcBitOffset + x));
        }
        return;
    }
    const int pW = s->paddedW, pH = s->paddedH;
    // Work memory: the member table, the unpacked output row, then the byte stage.
    const auto at =
        layout(Slot{2 * std::int64_t(pH) * (pW + 1)}, Slot{width}, Slot{0}).carve(buffer);
    auto* members = reinterpret_cast<std::int16_t*>(at[0]);
    for (int y = 0; y < pH; ++y) {
        std::int16_t* r = members + std::int64_t(y) * (pW + 1);
        int n = 0;
        for (int x = 0; x < pW; ++x)
            if (s->mask[std::int64_t(y) * pW + x]) r[1 + n++] = static_cast<std::int16_t>(x);
        r[0] = static_cast<std::int16_t>(n);
    }
    std::uint8_t* tmp = at[1];
    std::uint8_t* stage = at[2];  // the byte stage's work memory: the rest

    const MaskView mv{s->mask, members, pW, pH, s->anchorX, s->anchorY, s->mode == 1, false};
    const Border b = Border::parse(Border::fold_stages(border));
    std::uint8_t fill = 0;
    if (b.kind == kBorderDefault)
        fill = op == Op::Dilate ? 0 : 255;
    else if (b.kind == kBorderConst)
        fill = value ? 255 : 0;
    BitRows rows(src, srcBitOffset, b, fill, mv);
    BitSink sink{dst, dstBitOffset, tmp};
    run_stage<std::uint8_t, 1>(op, mv, rows, false, false, sink, width, height, stage);
}

}  // namespace

extern const StageKernels stage_kernels = {
    apply<std::uint8_t, 1>,  apply<std::uint8_t, 3>, apply<std::uint8_t, 4>,
    apply<std::uint16_t, 1>, apply<std::int16_t, 1>, apply<float, 1>,
    apply<float, 3>,         apply<float, 4>,        apply_1u,
};

}  // namespace qpx::morph::QPX_TNS
