// The flat erosion/dilation engine: mask analysis into a spec, the size formulas, and one stage
// (an erosion or a dilation) over a ROI. The exported erosion/dilation functions and the composed
// operations (opening, closing, gradients) all run through this interface.
//
// Life cycle: spec_size()/buffer_size() -> caller allocates -> init_spec() -> apply() any number
// of times. Specs point into themselves (they must not be moved after init); they are placed at
// the first 8-byte boundary of the caller's memory, and the sizes include that slack.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::morph {

enum class Op { Dilate, Erode };

// Where an even-sized mask gets its padding row/column. TopLeft is the normal layout; BottomRight
// is for a mask reflected through its centre, so that its anchor falls on the same element as the
// anchor of the unreflected mask.
enum class Pad { TopLeft, BottomRight };

// Mask feature bits stored in the spec.
enum Feature : std::uint32_t {
    kFeatFull = 0x2,      // every padded element is a member
    kFeatEmpty = 0x4,     // no member at all
    kFeatZeroEdge = 0x8,  // first/last row or column of the padded mask is empty
    kFeatRowRuns = 0x10,  // every row's members form one run
    kFeatCross = 0x20,    // exactly one full row and one full column
    kFeatShape = 0x100,   // one of the built-in 3x3 / 5x5 / 7x7 shapes
    kFeatShape5 = 0x200,
    kFeatShape7 = 0x400,
};

// ---- sizes ----------------------------------------------------------------------------------
// Element size s (1, 2, 2, 4) and channels c describe the data of the general types. Results are
// 64-bit; the 32-bit family truncates them.

// Spec of the 32-bit family for 8u/16u/16s/32f.
std::int64_t spec_size(std::int64_t maskW, std::int64_t maskH);
// Work buffer of one stage for 8u/16u/16s/32f.
std::int64_t buffer_size(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                         std::int64_t maskH, int elemSize, int channels);
// Spec and work buffer of the bit-packed form.
std::int64_t spec_size_1u(std::int64_t maskW, std::int64_t maskH);
std::int64_t buffer_size_1u(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                            std::int64_t maskH);
// The type-independent spec of the 64-bit family (both of the above embedded).
std::int64_t spec_size_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                         std::int64_t maskH);

// ---- initialisation ------------------------------------------------------------------------
// Arguments are assumed valid (non-null, sizes >= 1); the memory holds at least the size above.
void init_spec(qpxMorphState* spec, const std::uint8_t* mask, qpxSize maskSize,
               Pad pad = Pad::TopLeft);
void init_spec_1u(qpxMorphState* spec, const std::uint8_t* mask, qpxSize maskSize,
                  Pad pad = Pad::TopLeft);
void init_spec_l(qpxMorphStateL* spec, qpxSizeL roi, const std::uint8_t* mask, qpxSize maskSize,
                 Pad pad = Pad::TopLeft);

// The specs embedded in a 64-bit-family spec.
const qpxMorphState* general_part(const qpxMorphStateL* spec);
const qpxMorphState* onebit_part(const qpxMorphStateL* spec);

// Read-only facts about an initialised spec (general or 1u).
struct MaskInfo {
    int paddedW, paddedH;
    int anchorX, anchorY;  // in padded coordinates
    std::uint32_t features;
};
MaskInfo mask_info(const qpxMorphState* spec);
MaskInfo mask_info_1u(const qpxMorphState* spec);

// ---- one stage ------------------------------------------------------------------------------
// Border codes passed to apply() have already passed the morphology acceptance rule: kind 1, 3,
// 5 or 6 plus in-memory flags and stage flags (effective stage flags are folded into the
// in-memory flags here). Kind 5 becomes a constant that never wins. `value` points to one value
// per channel and is read only for kind 6. The buffer holds at least buffer_size() bytes for a
// ROI no smaller than this one. Source and destination may be the same image. Every target
// gives the same result.
// dst has src's size.
template <class T, int C>
void apply(Target t, Op op, View<const T> src, View<T> dst, std::uint32_t border, const T* value,
           const qpxMorphState* spec, std::uint8_t* buffer);

// Bit-packed images: 8 pixels per byte, least significant bit first; the ROI of a row starts at
// bit `offset` of the row, and a view's width counts pixels (bits). Destination bits outside the
// ROI are preserved. Source and destination must be distinct. Kind 3 (mirror) is not supported by
// the exports but works here.
void apply_1u(Target t, Op op, View<const std::uint8_t> src, int srcBitOffset,
              View<std::uint8_t> dst, int dstBitOffset, std::uint32_t border, std::uint8_t value,
              const qpxMorphState* spec, std::uint8_t* buffer);

// The stages of one target.
template <class T, int C>
using ApplyFn = void (*)(Op, View<const T>, View<T>, std::uint32_t, const T*, const qpxMorphState*,
                         std::uint8_t*);
using Apply1uFn = void (*)(Op, View<const std::uint8_t>, int, View<std::uint8_t>, int,
                           std::uint32_t, std::uint8_t, const qpxMorphState*, std::uint8_t*);
struct StageKernels {
    ApplyFn<std::uint8_t, 1> u8c1;
    ApplyFn<std::uint8_t, 3> u8c3;
    ApplyFn<std::uint8_t, 4> u8c4;
    ApplyFn<std::uint16_t, 1> u16c1;
    ApplyFn<std::int16_t, 1> s16c1;
    ApplyFn<float, 1> f32c1;
    ApplyFn<float, 3> f32c3;
    ApplyFn<float, 4> f32c4;
    Apply1uFn bits;
};
QPX_TARGET_TABLE(StageKernels, stage_kernels)

// Bytes per element of the morphology data types (1u counts as a byte); 0 for a type the
// morphology family does not take.
constexpr int morph_elem_size(qpxDataType t) {
    switch (t) {
        case qpx1u:
        case qpx8u:
            return 1;
        case qpx16u:
        case qpx16s:
            return 2;
        case qpx32f:
            return 4;
        default:
            return 0;
    }
}

}  // namespace qpx::morph
