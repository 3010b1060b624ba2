// Local extrema of a 32f or 32s image: the kernel behind the peak-finding exports, open to the
// tests so that every vector target can be compared with the scalar one.
#pragma once

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::feature {

// Scans rows border .. h-border-1 and columns border .. w-border-1 in row-major order and
// appends each pixel with |v| > threshold that equals the maximum (v > 0) or the minimum
// (v <= 0) of its neighbourhood: the full 3x3 window for norm 0, the cross for norm 1. Stops
// as soon as maxPeakCount peaks are listed. Arguments are assumed valid (border >= 1).
template <class T>
void find_peaks3x3(Target t, View<const T> src, T threshold, qpxPoint* peak, int maxPeakCount,
                   int* peakCount, int norm, int border);

template <class T>
using FindPeaksFn = void (*)(View<const T>, T, qpxPoint*, int, int*, int, int);
struct PeakKernels {
    FindPeaksFn<float> f32;
    FindPeaksFn<std::int32_t> s32;
};
QPX_TARGET_TABLE(PeakKernels, peak_kernels)

// Buffer size of the peak finder for a row width (32-bit arithmetic).
int find_peaks_buffer_size(int roiWidth);

}  // namespace qpx::feature
