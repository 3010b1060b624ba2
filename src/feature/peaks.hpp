// Local extrema of a 32f or 32s image: the kernel behind the peak-finding exports, open to the
// tests so that the scalar and vector paths can be compared.
#pragma once

#include "frame/base.hpp"

namespace qpx::feature {

// Scans rows border .. h-border-1 and columns border .. w-border-1 in row-major order and
// appends each pixel with |v| > threshold that equals the maximum (v > 0) or the minimum
// (v <= 0) of its neighbourhood: the full 3x3 window for norm 0, the cross for norm 1. Stops
// as soon as maxPeakCount peaks are listed. Arguments are assumed valid (border >= 1).
template <class T>
void find_peaks3x3(Path path, const T* src, int srcStep, qpxSize roi, T threshold, qpxPoint* peak,
                   int maxPeakCount, int* peakCount, int norm, int border);

// Buffer size of the peak finder for a row width (32-bit arithmetic).
int find_peaks_buffer_size(int roiWidth);

}  // namespace qpx::feature
