// Means, standard deviations and extrema of one channel, optionally under a mask: the kernels
// behind the exports, open to the tests so that every vector target can be compared with the
// scalar one.
//
// Sums. 8u and 16u sums are exact: each row's count, sum and sum of squares are integers, and
// the row's sums are then added into double totals. 32f sums use a fixed grouping, the same on
// every target: each row feeds 8 double accumulators, accumulator i taking the elements at
// x = i mod 8 of the ROI row in increasing x (unselected pixels add nothing); each term (the
// value, or its square rounded to single precision) is converted to double before it is added.
// At the end of the row the accumulators combine as ((a0+a4)+(a1+a5))+((a2+a6)+(a3+a7)), and
// that row total is added to the running double total.
//
// Extrema. Each row's smallest and largest selected value is compared with the recorded one; a
// row replaces it only when strictly smaller (larger), so the recorded row is the first holding
// the extremum. 32f NaNs never take part in the comparisons.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::stats {

// Images are views of one channel: `channels` is the element stride between pixels (1, or 3
// for a channel of interest, whose view starts at that channel). An empty mask view selects
// every pixel.
struct Sums {
    std::int64_t n = 0;  // selected pixels
    double s = 0, q = 0;
};

struct Extrema {
    std::int64_t minRow = -1, maxRow = -1;  // -1: nothing selected
    float min = 0, max = 0;
};

template <class T>
using SumsFn = void (*)(View<const T>, View<const std::uint8_t>, Sums*);
template <class T>
using ExtremaFn = void (*)(View<const T>, View<const std::uint8_t>, Extrema*);

struct MomentKernels {
    // Indexed by unmasked (0) or masked (1).
    SumsFn<std::uint8_t> sums8[2];
    SumsFn<std::uint16_t> sums16[2];
    SumsFn<float> sums32[2];
    ExtremaFn<std::uint8_t> ext8[2];
    ExtremaFn<std::uint16_t> ext16[2];
    ExtremaFn<float> ext32[2];
};
QPX_TARGET_TABLE(MomentKernels, moment_kernels)

template <class T>
Sums sums(Target t, View<const T> src, View<const std::uint8_t> mask);

// S / n; 0 when nothing is selected.
template <class T>
double mean(Target t, View<const T> src, View<const std::uint8_t> mask);

// mean = S r, stddev = sqrt(|Q r - mean^2|) with r = 1 / n; 32f recomputes a deviation that is
// small against the mean in a second, single-precision pass around the mean. Both 0 when
// nothing is selected.
struct MeanStdDev {
    double mean = 0, stddev = 0;
};
template <class T>
MeanStdDev mean_stddev(Target t, View<const T> src, View<const std::uint8_t> mask);

// The extrema as float and the first position of each in row-major order; values 0 and
// positions (0, 0) when nothing is selected.
struct MinMax {
    float min = 0, max = 0;
    qpxPoint minAt{0, 0}, maxAt{0, 0};
    bool any = false;  // some pixel is selected
};
template <class T>
MinMax min_max(Target t, View<const T> src, View<const std::uint8_t> mask);

}  // namespace qpx::stats
