// Grey-scale (non-flat) erosion and dilation: every mask position adds its own value to the
// source pixel it covers. Window positions outside the ROI are left out; there is no other
// border rule.
#pragma once

#include <cstdint>

#include "frame/base.hpp"

// Caller memory of 4 x maskW x maskH + 32 bytes: this record, then the structuring values
// (int32 for 8u data, float for 32f), row after row.
struct qpxMorphGrayState {
    std::int32_t maskW, maskH;
    std::int32_t anchorX, anchorY;
    std::int32_t roiW, roiH;
    const void* values;
};

namespace qpx::morph {

inline std::int64_t gray_spec_size(std::int64_t maskW, std::int64_t maskH) {
    return 4 * maskW * maskH + 32;
}

// V is std::int32_t for 8u data and float for 32f data.
template <class V>
void gray_init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize maskSize,
               qpxPoint anchor);

// dst = max (dilation) or min (erosion) of src + value over the window; 8u results are clamped
// to 0..255, float results are not.
template <class T, bool dilate>
void gray_morph(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                const qpxMorphGrayState* spec);

}  // namespace qpx::morph
