// Grey-scale (non-flat) erosion and dilation: every mask position adds its own value to the
// source pixel it covers. Window positions outside the ROI are left out; there is no other
// border rule.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

// Caller memory of 4 x maskW x maskH + 32 bytes: a GrayHeader, then the structuring values
// (int32 for 8u data, float for 32f data), row after row. The caller's memory may have any
// alignment, so it is only ever copied in and out.
struct qpxMorphGrayState {
    unsigned char bytes[32];
};

namespace qpx::morph {

struct GrayHeader {
    std::int32_t maskW, maskH;
    std::int32_t anchorX, anchorY;
    std::int32_t roiW, roiH;
    const void* values;
};
static_assert(sizeof(GrayHeader) == sizeof(qpxMorphGrayState));

inline GrayHeader gray_header(const qpxMorphGrayState* spec) {
    GrayHeader h;
    std::memcpy(&h, spec, sizeof h);
    return h;
}

inline std::int64_t gray_spec_size(std::int64_t maskW, std::int64_t maskH) {
    return 4 * maskW * maskH + 32;
}

// V is std::int32_t for 8u data and float for 32f data.
template <class V>
void gray_init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize maskSize,
               qpxPoint anchor);

// In place (same pointer and step), rows whose originals the window still needs are kept on the
// stack; an image too wide for that cannot be done in place, as the call has no work buffer.
constexpr std::int64_t kGrayRingBytes = 32768;
bool gray_fits_in_place(const qpxMorphGrayState* spec, int width, int elemSize);

// dst = max (dilation) or min (erosion) of src + value over the window; 8u results are clamped
// to 0..255, float results are not. In place only where gray_fits_in_place() holds.
template <class T, bool dilate>
void gray_morph(Target t, View<const T> src, View<T> dst, const qpxMorphGrayState* spec);

// In place, rows are visited towards the shorter reach of the window; the originals of the
// rows already overwritten that the window still reaches, and of the current row, are kept in a
// ring of reach + 1 rows.
inline int gray_ring_rows(const GrayHeader& hd) {
    return (hd.anchorY < hd.maskH - 1 - hd.anchorY ? hd.anchorY : hd.maskH - 1 - hd.anchorY) + 1;
}

// The kernels of one target, indexed by erosion (0) or dilation (1).
template <class T>
using GrayFn = void (*)(View<const T>, View<T>, const qpxMorphGrayState*);
struct GrayKernels {
    GrayFn<std::uint8_t> u8[2];
    GrayFn<float> f32[2];
};
QPX_TARGET_TABLE(GrayKernels, gray_kernels)

}  // namespace qpx::morph
