// The composed morphology operations. Each runs the erosion/dilation engine twice, the first
// stage into an intermediate image in the caller's buffer, then subtracts where the operation
// asks for it.
#include "morph/morph_adv.hpp"

#include <algorithm>

#include "frame/border.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// The spec: its record, the reflected mask, then the specs of the two stages.
template <class State>
Layout<4> adv_spec_slots(std::int64_t maskCells, std::int64_t stageSpecBytes) {
    return layout(Slot{std::int64_t(sizeof(State)), 8}, Slot{maskCells, 1}, Slot{stageSpecBytes, 8},
                  Slot{stageSpecBytes, 8});
}
template <class State, class P>
State* record_in(P* mem) {
    return align_up<State>(mem, 8);
}

// The mask rotated by 180 degrees: element i becomes element n - 1 - i.
void reflect(const u8* mask, std::int64_t n, u8* out) {
    for (std::int64_t i = 0; i < n; ++i) out[i] = mask[n - 1 - i];
}

// The single-stage buffer size of the erosion/dilation functions for one element type.
std::int64_t stage_bytes(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                         std::int64_t maskH, int elemSize, int channels) {
    return elemSize == 0 ? buffer_size_1u(roiW, roiH, maskW, maskH)
                         : buffer_size(roiW, roiH, maskW, maskH, elemSize, channels);
}

// The 64-bit family's stage buffer serves every type, so it is the larger of both forms.
std::int64_t stage_bytes_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                           std::int64_t maskH, int elemSize, int channels) {
    return std::max(buffer_size(roiW, roiH, maskW, maskH, elemSize, channels),
                    buffer_size_1u(roiW, roiH, maskW, maskH));
}

// ---- bit rows ----------------------------------------------------------------------------------

inline bool get_bit(const u8* p, std::int64_t bit) {
    return (p[bit >> 3] >> (bit & 7)) & 1;
}
inline void set_bit(u8* p, std::int64_t bit, bool v) {
    const u8 m = u8(1u << (bit & 7));
    p[bit >> 3] = v ? u8(p[bit >> 3] | m) : u8(p[bit >> 3] & ~m);
}
// Eight pixels from `bit` on; the second byte is read only when the pixels reach into it.
inline unsigned get8(const u8* p, std::int64_t bit) {
    const std::int64_t i = bit >> 3;
    const int sh = int(bit & 7);
    unsigned v = p[i] >> sh;
    if (sh) v |= unsigned(p[i + 1]) << (8 - sh);
    return v & 0xFFu;
}
inline void put8(u8* p, std::int64_t bit, unsigned v) {
    const std::int64_t i = bit >> 3;
    const int sh = int(bit & 7);
    if (sh == 0) {
        p[i] = u8(v);
        return;
    }
    const unsigned low = (1u << sh) - 1;
    p[i] = u8((p[i] & low) | (v << sh));
    p[i + 1] = u8((p[i + 1] & ~low) | (v >> (8 - sh)));
}

// A row pointer and bit offset for pixel `x` of bit-packed row `y` (x may be negative).
inline const u8* bit_row(const u8* base, std::int64_t step, std::int64_t y, std::int64_t bit,
                         int* outBit) {
    *outBit = int(bit & 7);
    return row(base, step, y) + (bit >> 3);
}

}  // namespace

// ---- sizes ------------------------------------------------------------------------------------

std::int64_t adv_spec_size(std::int64_t maskW, std::int64_t maskH, int elemSize) {
    const std::int64_t s = elemSize == 0 ? spec_size_1u(maskW, maskH) : spec_size(maskW, maskH);
    return (maskW | 1) * (maskH | 1) + 2 * s + 64;
}

std::int64_t adv_buffer_size(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                             std::int64_t maskH, int elemSize, int channels) {
    const std::int64_t kx = maskW >> 1, ky = maskH >> 1;
    const std::int64_t s = elemSize == 0 ? 1 : elemSize;
    return (2 * ky + roiH) * align_up(s * channels * (2 * kx + roiW), 32) +
           2 * stage_bytes(roiW, roiH, maskW, maskH, elemSize, channels);
}

std::int64_t adv_spec_size_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                             std::int64_t maskH) {
    const std::int64_t kx = maskW >> 1, ky = maskH >> 1;
    const std::int64_t e = spec_size_l(roiW + 4 * kx, roiH + 4 * ky, maskW | 1, maskH | 1);
    return (maskW | 1) * (maskH | 1) + 2 * e + 64;
}

std::int64_t adv_buffer_size_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                               std::int64_t maskH, int elemSize, int channels) {
    const std::int64_t kx = maskW >> 1, ky = maskH >> 1;
    std::int64_t stage = 0;
    for (int k = 0; k <= 2; ++k)
        stage = std::max(stage, stage_bytes_l(roiW + 2 * k * kx, roiH + 2 * k * ky, maskW, maskH,
                                              elemSize, channels));
    return align_up(std::int64_t(channels) * elemSize * (roiW + 4 * kx), 32) * (roiH + 4 * ky) +
           2 * stage;
}

// ---- initialisation -----------------------------------------------------------------------------

namespace {

std::int64_t stage_spec_bytes(const qpxMorphAdvState* st) {
    return st->oneBit ? spec_size_1u(st->maskW, st->maskH) : spec_size(st->maskW, st->maskH);
}
std::int64_t stage_spec_bytes_l(const AdvStateL* st) {
    const std::int64_t kx = st->maskW >> 1, ky = st->maskH >> 1;
    return spec_size_l(st->roiW + 4 * kx, st->roiH + 4 * ky, st->maskW | 1, st->maskH | 1);
}
// The reflected stage follows the unreflected one.
const qpxMorphState* reflected_of(const qpxMorphAdvState* st) {
    const auto at =
        adv_spec_slots<qpxMorphAdvState>(std::int64_t(st->maskW) * st->maskH, stage_spec_bytes(st))
            .carve(st);
    return reinterpret_cast<const qpxMorphState*>(at[3]);
}
const qpxMorphStateL* reflected_of(const AdvStateL* st) {
    const auto at =
        adv_spec_slots<AdvStateL>(std::int64_t(st->maskW) * st->maskH, stage_spec_bytes_l(st))
            .carve(st);
    return reinterpret_cast<const qpxMorphStateL*>(at[3]);
}

}  // namespace

void adv_init(qpxMorphAdvState* mem, qpxSize roi, const u8* mask, qpxSize maskSize, bool oneBit) {
    qpxMorphAdvState* st = record_in<qpxMorphAdvState>(mem);
    st->clamp = 0;
    st->roiW = roi.width;
    st->roiH = roi.height;
    st->maskW = maskSize.width;
    st->maskH = maskSize.height;
    st->oneBit = oneBit;
    const std::int64_t n = std::int64_t(maskSize.width) * maskSize.height;
    const auto at = adv_spec_slots<qpxMorphAdvState>(n, stage_spec_bytes(st)).carve(st);
    u8* refl = at[1];
    reflect(mask, n, refl);
    auto* first = reinterpret_cast<qpxMorphState*>(at[2]);
    auto* second = reinterpret_cast<qpxMorphState*>(at[3]);
    if (oneBit) {
        init_spec_1u(first, mask, maskSize, Pad::TopLeft);
        init_spec_1u(second, refl, maskSize, Pad::BottomRight);
    } else {
        init_spec(first, mask, maskSize, Pad::TopLeft);
        init_spec(second, refl, maskSize, Pad::BottomRight);
    }
    st->first = first;
    st->second = second;
}

void adv_init_l(qpxMorphStateL* mem, qpxSizeL roi, const u8* mask, qpxSize maskSize) {
    AdvStateL* st = record_in<AdvStateL>(mem);
    st->clamp = 0;
    st->roiW = std::int32_t(roi.width);
    st->roiH = std::int32_t(roi.height);
    st->maskW = maskSize.width;
    st->maskH = maskSize.height;
    st->pad = 0;
    const std::int64_t n = std::int64_t(maskSize.width) * maskSize.height;
    const auto at = adv_spec_slots<AdvStateL>(n, stage_spec_bytes_l(st)).carve(st);
    u8* refl = at[1];
    reflect(mask, n, refl);
    // The stage specs are made for the largest rectangle a first stage can cover.
    const std::int64_t kx = maskSize.width >> 1, ky = maskSize.height >> 1;
    const qpxSizeL big{roi.width + 4 * kx, roi.height + 4 * ky};
    auto* first = reinterpret_cast<qpxMorphStateL*>(at[2]);
    auto* second = reinterpret_cast<qpxMorphStateL*>(at[3]);
    init_spec_l(first, big, mask, maskSize, Pad::TopLeft);
    init_spec_l(second, big, refl, maskSize, Pad::BottomRight);
    st->first = first;
    st->second = second;
}

void adv_set_mode(qpxMorphAdvState* mem, int mode) {
    qpxMorphAdvState* st = record_in<qpxMorphAdvState>(mem);
    st->second = (mode & 1) ? st->first : reflected_of(st);
    st->clamp = (mode & 4) ? 1 : 0;
}

void adv_set_mode_l(qpxMorphStateL* mem, int mode) {
    AdvStateL* st = record_in<AdvStateL>(mem);
    st->second = (mode & 1) ? st->first : reflected_of(st);
    st->clamp = (mode & 4) ? 1 : 0;
}

const qpxMorphAdvState* adv_state(const qpxMorphAdvState* mem) {
    return record_in<const qpxMorphAdvState>(mem);
}
const AdvStateL* adv_state_l(const qpxMorphStateL* mem) {
    return record_in<const AdvStateL>(mem);
}

namespace {

// With a mask of two rows or more, the stages may hold output rows back in their work areas
// when they write over their source, so the areas and the intermediate image start on element
// boundaries whatever the caller's buffer. The intermediate image then has at least two unused
// rows of 32 bytes or more, which covers the shift.
// The two work areas, then the intermediate image, which takes the rest of the buffer.
Scratch laid_out(u8* buffer, std::int64_t workBytes, std::int64_t tStep, int maskH) {
    const std::int64_t a = maskH < 2 ? 1 : 32, e = maskH < 2 ? 1 : 8;
    const auto at = layout(Slot{workBytes, a}, Slot{workBytes, e}, Slot{0, e}).carve(buffer);
    return Scratch{at[0], at[1], at[2], tStep};
}

}  // namespace

// Both layouts follow the call's ROI, not the spec's: a buffer sized by the query for a smaller
// ROI than the spec's must still hold everything.
Scratch scratch_for(const qpxMorphAdvState* st, u8* buffer, int elemSize, int channels,
                    std::int64_t width, std::int64_t height) {
    const std::int64_t rowBytes = elemSize == 0 ? (width + 7) >> 3 : width * elemSize * channels;
    return laid_out(buffer, stage_bytes(width, height, st->maskW, st->maskH, elemSize, channels),
                    align_up(rowBytes, 32), st->maskH);
}

Scratch scratch_for_l(const AdvStateL* st, u8* buffer, int elemSize, int channels,
                      std::int64_t width, std::int64_t height) {
    const std::int64_t kx = st->maskW >> 1;
    const int s = elemSize == 0 ? 1 : elemSize;
    std::int64_t work = 0;
    for (int k = 0; k <= 2; ++k)
        work = std::max(work, stage_bytes_l(width + 2 * k * kx, height + 2 * k * (st->maskH >> 1),
                                            st->maskW, st->maskH, s, channels));
    return laid_out(buffer, work, align_up(std::int64_t(channels) * s * (width + 4 * kx), 32),
                    st->maskH);
}

// ---- border plans -------------------------------------------------------------------------------

StagePlan plan_border(std::uint32_t effective) {
    // The intermediate image has nothing around it, so the second stage builds its border
    // from the kind alone.
    return StagePlan{effective, effective & 15u};
}

StagePlan plan_border_l(std::uint32_t effective, const MaskInfo& second) {
    const unsigned stage = Border::effective_stage(effective);
    const bool top = (effective & qpxBorderInMemTop) || (stage & qpxBorderStageInMemTop);
    const bool bottom = (effective & qpxBorderInMemBottom) || (stage & qpxBorderStageInMemBottom);
    const bool left = (effective & qpxBorderInMemLeft) || (stage & qpxBorderStageInMemLeft);
    const bool right = (effective & qpxBorderInMemRight) || (stage & qpxBorderStageInMemRight);
    // The first stage sees the kind and the effective stage flags only: an in-memory side
    // covers the second stage's reach, beyond which the first stage builds its border as usual.
    StagePlan p{(effective & 15u) | stage, effective & 15u};
    if (top) p.top = second.anchorY, p.second |= qpxBorderInMemTop;
    if (bottom) p.bottom = second.paddedH - 1 - second.anchorY, p.second |= qpxBorderInMemBottom;
    if (left) p.left = second.anchorX, p.second |= qpxBorderInMemLeft;
    if (right) p.right = second.paddedW - 1 - second.anchorX, p.second |= qpxBorderInMemRight;
    return p;
}

// ---- differences --------------------------------------------------------------------------------

template <class T>
void subtract(Target t, View<const T> a, View<const T> b, View<T> dst, bool clampNeg) {
    const AdvKernels& k = adv_kernels(t);
    SubFn<T> fn;
    if constexpr (std::is_same_v<T, u8>)
        fn = k.sub8u;
    else if constexpr (std::is_same_v<T, u16>)
        fn = k.sub16u;
    else if constexpr (std::is_same_v<T, s16>)
        fn = k.sub16s;
    else
        fn = k.sub32f;
    fn(a, b, dst, clampNeg);
}

void and_not_bits(const u8* a, std::int64_t aStep, std::int64_t aBit, const u8* b,
                  std::int64_t bStep, std::int64_t bBit, u8* dst, std::int64_t dstStep,
                  std::int64_t dstBit, std::int64_t width, std::int64_t height) {
    for (std::int64_t y = 0; y < height; ++y) {
        const u8* ra = row(a, aStep, y);
        const u8* rb = row(b, bStep, y);
        u8* rd = row(dst, dstStep, y);
        std::int64_t x = 0;
        for (; x + 8 <= width; x += 8)
            put8(rd, dstBit + x, get8(ra, aBit + x) & ~get8(rb, bBit + x) & 0xFFu);
        for (; x < width; ++x)
            set_bit(rd, dstBit + x, get_bit(ra, aBit + x) && !get_bit(rb, bBit + x));
    }
}

// ---- the compositions ---------------------------------------------------------------------------

namespace {

// Rows of output per band, or 0 when the whole ROI goes through each stage at once: with short
// images, and when the destination meets source memory that a later band still reads.
template <class T, int C>
std::int64_t band_rows(View<const T> src, View<const T> dst, const StagePlan& plan,
                       const qpxMorphState* first, const qpxMorphState* second,
                       std::int64_t bandBytes) {
    const MaskInfo a = mask_info(first), b = mask_info(second);
    const std::int64_t rowBytes = src.elements() * std::int64_t(sizeof(T));
    const std::int64_t reach = std::max(a.paddedH, b.paddedH);
    const std::int64_t rows = std::max(4 * reach, bandBytes / rowBytes);
    if (bandBytes <= 0 || src.height < 2 * rows) return 0;
    // The source the first stage reads: its rectangle and the sides it takes from memory.
    const Border f = Border::parse(Border::fold_stages(plan.first));
    const std::int64_t px = C * std::int64_t(sizeof(T));
    const std::int64_t above = plan.top + (f.inTop ? a.anchorY : 0);
    const std::int64_t below = plan.bottom + (f.inBottom ? a.paddedH - 1 - a.anchorY : 0);
    const std::int64_t left = (plan.left + (f.inLeft ? a.anchorX : 0)) * px;
    const std::int64_t right = (plan.right + (f.inRight ? a.paddedW - 1 - a.anchorX : 0)) * px;
    const auto s = reinterpret_cast<std::intptr_t>(src.data);
    const auto d = reinterpret_cast<std::intptr_t>(dst.data);
    const std::intptr_t sLo = s - above * src.step - left;
    const std::intptr_t sHi = s + (src.height - 1 + below) * src.step + rowBytes + right;
    const std::intptr_t dHi = d + (dst.height - 1) * dst.step + rowBytes;
    return sLo < dHi && d < sHi ? 0 : rows;
}

// Border code of a band: inner edges read the neighbouring rows from memory.
std::uint32_t band_border(std::uint32_t code, bool innerTop, bool innerBottom) {
    return code | (innerTop ? std::uint32_t(qpxBorderInMemTop) : 0u) |
           (innerBottom ? std::uint32_t(qpxBorderInMemBottom) : 0u);
}

// The intermediate image: the ROI grown by the sides the second stage reads, in the scratch
// memory; its ROI starts at (left, top).
template <class T, int C>
View<T> intermediate(const Scratch& scratch, std::int64_t width, std::int64_t height,
                     const StagePlan& plan) {
    return {reinterpret_cast<T*>(scratch.image), scratch.tStep, width + plan.left + plan.right,
            height + plan.top + plan.bottom, C};
}

// The compositions band by band: each band of output rows runs both stages (and the difference)
// over just the rows it needs, the intermediate rows of the band staying in cache. Inner band
// edges read real rows, so every band gives exactly the rows the whole-image passes would.
template <class T, int C>
void run_adv_bands(Target tg, AdvOp op, View<const T> src, View<T> dst, const StagePlan& plan,
                   const T* value, const qpxMorphState* first, const qpxMorphState* second,
                   const Scratch& scratch, bool clampNeg, std::int64_t rows) {
    u8* work1 = scratch.work1;
    u8* work2 = scratch.work2;
    const std::int64_t width = src.width, height = src.height;
    const View<T> t = intermediate<T, C>(scratch, width, height, plan);
    const MaskInfo b = mask_info(second);
    const std::int64_t up = b.anchorY, down = b.paddedH - 1 - b.anchorY;
    for (std::int64_t y0 = 0; y0 < height;) {
        // The last band takes the remainder, so that no band is shorter than `rows`.
        const std::int64_t y1 = height - y0 < 2 * rows ? height : y0 + rows;
        const bool inTop = y0 > 0, inBottom = y1 < height;
        const View<T> out = dst.rows(y0, y1);
        const View<const T> in = src.rows(y0, y1);
        if (op == AdvOp::Gradient) {
            const std::uint32_t code = band_border(plan.first, inTop, inBottom);
            const View<T> tb = t.sub(0, 0, width, y1 - y0);
            apply<T, C>(tg, Op::Erode, in, tb, code, value, first, work2);
            apply<T, C>(tg, Op::Dilate, in, out, code, value, first, work1);
            subtract<T>(tg, out, tb, out, false);
        } else {
            const bool opening = op == AdvOp::Open || op == AdvOp::Tophat;
            // Intermediate rows a .. e - 1 (ROI coordinates) feed this band's second stage.
            const std::int64_t a = inTop ? y0 - up : -plan.top;
            const std::int64_t e = inBottom ? y1 + down : height + plan.bottom;
            const std::int64_t tw = width + plan.left + plan.right;
            apply<T, C>(tg, opening ? Op::Erode : Op::Dilate, src.sub(-plan.left, a, tw, e - a),
                        t.sub(0, 0, tw, e - a),
                        band_border(plan.first, a > -plan.top, e < height + plan.bottom), value,
                        first, work1);
            apply<T, C>(tg, opening ? Op::Dilate : Op::Erode,
                        View<const T>(t.sub(plan.left, y0 - a, width, y1 - y0)), out,
                        band_border(plan.second, inTop, inBottom), value, second, work2);
            if (op == AdvOp::Tophat)
                subtract<T>(tg, in, out, out, clampNeg);
            else if (op == AdvOp::Blackhat)
                subtract<T>(tg, out, in, out, clampNeg);
        }
        y0 = y1;
    }
}

}  // namespace

template <class T, int C>
void run_adv(Target tg, AdvOp op, View<const T> src, View<T> dst, const StagePlan& plan,
             const T* value, const qpxMorphState* first, const qpxMorphState* second,
             const Scratch& scratch, bool clampNeg, std::int64_t bandBytes) {
    if (const std::int64_t rows = band_rows<T, C>(src, dst, plan, first, second, bandBytes))
        return run_adv_bands<T, C>(tg, op, src, dst, plan, value, first, second, scratch, clampNeg,
                                   rows);
    u8* work1 = scratch.work1;
    u8* work2 = scratch.work2;
    const std::int64_t width = src.width, height = src.height;
    const View<T> t = intermediate<T, C>(scratch, width, height, plan);
    if (op == AdvOp::Gradient) {
        // The erosion goes first: with dst over src the dilation would leave it nothing to read.
        // The engine itself may write over its own source.
        const View<T> tb = t.sub(0, 0, width, height);
        apply<T, C>(tg, Op::Erode, src, tb, plan.first, value, first, work2);
        apply<T, C>(tg, Op::Dilate, src, dst, plan.first, value, first, work1);
        subtract<T>(tg, dst, tb, dst, false);
        return;
    }
    const bool opening = op == AdvOp::Open || op == AdvOp::Tophat;
    const Op a = opening ? Op::Erode : Op::Dilate;
    const Op b = opening ? Op::Dilate : Op::Erode;
    apply<T, C>(tg, a, src.sub(-plan.left, -plan.top, t.width, t.height), t, plan.first, value,
                first, work1);
    const View<T> t0 = t.sub(plan.left, plan.top, width, height);
    if (op == AdvOp::Open || op == AdvOp::Close) {
        apply<T, C>(tg, b, t0, dst, plan.second, value, second, work2);
        return;
    }
    // The differences still need the source, which may be dst: the second stage stays in the
    // intermediate image.
    apply<T, C>(tg, b, t0, t0, plan.second, value, second, work2);
    if (op == AdvOp::Tophat)
        subtract<T>(tg, src, t0, dst, clampNeg);
    else
        subtract<T>(tg, t0, src, dst, clampNeg);
}

void run_adv_1u(Target tg, AdvOp op, View<const u8> src, int srcBit, View<u8> dst, int dstBit,
                const StagePlan& plan, u8 value, const qpxMorphState* first,
                const qpxMorphState* second, const Scratch& scratch) {
    u8* work1 = scratch.work1;
    u8* work2 = scratch.work2;
    const std::int64_t width = src.width, height = src.height, srcStep = src.step,
                       dstStep = dst.step;
    const View<u8> t{scratch.image, scratch.tStep, width + plan.left + plan.right,
                     height + plan.top + plan.bottom};
    if (op == AdvOp::Gradient) {
        apply_1u(tg, Op::Dilate, src, srcBit, dst, dstBit, plan.first, value, first, work1);
        apply_1u(tg, Op::Erode, src, srcBit, t.sub(0, 0, width, height), 0, plan.first, value,
                 first, work2);
        and_not_bits(dst.data, dstStep, dstBit, t.data, t.step, 0, dst.data, dstStep, dstBit, width,
                     height);
        return;
    }
    const bool opening = op == AdvOp::Open || op == AdvOp::Tophat;
    const Op a = opening ? Op::Erode : Op::Dilate;
    const Op b = opening ? Op::Dilate : Op::Erode;
    int s0Bit = 0, t0Bit = 0;
    const u8* s0 = bit_row(src.data, srcStep, -plan.top, srcBit - plan.left, &s0Bit);
    apply_1u(tg, a, View<const u8>(s0, srcStep, t.width, t.height), s0Bit, t, 0, plan.first, value,
             first, work1);
    const u8* t0 = bit_row(t.data, t.step, plan.top, plan.left, &t0Bit);
    apply_1u(tg, b, View<const u8>(t0, t.step, width, height), t0Bit, dst, dstBit, plan.second,
             value, second, work2);
    if (op == AdvOp::Tophat)
        and_not_bits(src.data, srcStep, srcBit, dst.data, dstStep, dstBit, dst.data, dstStep,
                     dstBit, width, height);
    else if (op == AdvOp::Blackhat)
        and_not_bits(dst.data, dstStep, dstBit, src.data, srcStep, srcBit, dst.data, dstStep,
                     dstBit, width, height);
}

#define QPX_ADV_INSTANCE(T, C)                                                                     \
    template void run_adv<T, C>(Target, AdvOp, View<const T>, View<T>, const StagePlan&, const T*, \
                                const qpxMorphState*, const qpxMorphState*, const Scratch&, bool,  \
                                std::int64_t);
QPX_ADV_INSTANCE(u8, 1)
QPX_ADV_INSTANCE(u8, 3)
QPX_ADV_INSTANCE(u8, 4)
QPX_ADV_INSTANCE(u16, 1)
QPX_ADV_INSTANCE(s16, 1)
QPX_ADV_INSTANCE(float, 1)
QPX_ADV_INSTANCE(float, 3)
QPX_ADV_INSTANCE(float, 4)
#undef QPX_ADV_INSTANCE

#define QPX_SUB_INSTANCE(T) \
    template void subtract<T>(Target, View<const T>, View<const T>, View<T>, bool);
QPX_SUB_INSTANCE(u8)
QPX_SUB_INSTANCE(u16)
QPX_SUB_INSTANCE(s16)
QPX_SUB_INSTANCE(float)
#undef QPX_SUB_INSTANCE

}  // namespace qpx::morph
