// First-derivative filters used inside the library (edge detection, corner measures, optical
// flow). They are not exported. Each is a 3x3 or 5x5 correlation built from a derivative and a
// smoothing kernel; results are not normalised:
//
//   kind       horizontal kernel            vertical kernel            result
//   SobelV     1 0 -1   / 1 2 0 -2 -1       1 2 1 / 1 4 6 4 1          left minus right
//   SobelNegV  -1 0 1   / -1 -2 0 2 1       1 2 1 / 1 4 6 4 1          right minus left
//   SobelH     1 2 1    / 1 4 6 4 1         -1 0 1 / -1 -2 0 2 1       bottom minus top
//   ScharrV    -1 0 1                       3 10 3                     right minus left (3x3)
//   ScharrH    3 10 3                       -1 0 1                     bottom minus top (3x3)
//
// Sources are single-channel 8u (exact 16s results) or 32f (single-precision sums: each row is
// filtered with the horizontal kernel first, then the rows are combined vertically). Pixels
// outside the ROI follow the filter border rule (replicate, mirror, constant, with optional
// in-memory sides). The caller provides a work buffer of the size the query reports; the filters
// keep nothing in it between calls.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::filter {

enum class DerivKind { SobelV, SobelNegV, SobelH, ScharrV, ScharrH };

// Work-buffer size for a derivative filter. Checks, in order: null output (-8), ROI below 1x1
// (-6), mask size not 33 or 55 (Scharr: not 33) (-33), type pair other than 8u->16s, 32f->32f or
// 16s->16s (negated Sobel: not 16s->16s) (-59), channel count not 1 (-53).
qpxStatus derivative_buffer_size(DerivKind kind, qpxSize roi, qpxMaskSize mask, qpxDataType srcType,
                                 qpxDataType dstType, int channels, int* bufferSize);

// The filters over dst's ROI; src has the same width and height. Checks, in order: src, dst or
// buffer null (-8), ROI below 1x1 (-6), steps shorter than a row (-16), 16s/32f step not a
// multiple of the element size (-108), border code outside the filter rule (-225), mask size
// (-33). On failure nothing is written.
qpxStatus derivative(DerivKind kind, View<const std::uint8_t> src, View<std::int16_t> dst,
                     qpxMaskSize mask, qpxBorderType borderType, std::uint8_t borderValue,
                     std::uint8_t* buffer, Target t = cpu_target());
qpxStatus derivative(DerivKind kind, View<const float> src, View<float> dst, qpxMaskSize mask,
                     qpxBorderType borderType, float borderValue, std::uint8_t* buffer,
                     Target t = cpu_target());

}  // namespace qpx::filter
