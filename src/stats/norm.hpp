// Masked norms: the kernels behind the exports, open to the tests so that every vector target
// can be compared with the scalar one.
//
// A kernel makes one pass over the ROI and returns the raw statistics: for Norm the statistic of
// the source, for NormDiff that of d = s1 - s2, for NormRel that of d and of s2. A statistic is
// the largest magnitude (Inf), the sum of magnitudes (L1) or the sum of squares (L2), already
// converted to double; the square root and the division happen in `finish`.
//
// 8u statistics are exact integers. 16u and 32f terms are formed in single precision and summed
// in double in a fixed grouping that every target follows: each row is summed in eight double
// accumulators, accumulator i taking the ROI elements at x = i mod 8 in increasing x, each term
// converted to double before it is added; at the end of the row the eight are combined as
// ((a0 + a4) + (a1 + a5)) + ((a2 + a6) + (a3 + a7)) and the row total is added to the running
// total. Masked-off pixels add +0, which leaves every accumulator as it is (the terms are never
// negative, so no accumulator holds -0).
#pragma once

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::stats {

enum class NormKind { Inf, L1, L2 };
enum class NormOp { Norm, Diff, Rel };

struct NormStats {
    double num = 0;  // the source (Norm) or the difference
    double den = 0;  // s2, NormRel only
};

// `src2` is an empty view for Norm. Three-channel views process channel `coi` (0..2).
template <class T>
using NormFn = NormStats (*)(View<const T> src1, View<const T> src2, View<const std::uint8_t> mask,
                             int coi);

struct NormKernels {
    // Indexed by NormOp, then NormKind.
    NormFn<std::uint8_t> n8[3][3];
    NormFn<std::uint16_t> n16[3][3];
    NormFn<float> n32[3][3];
};
QPX_TARGET_TABLE(NormKernels, norm_kernels)

template <class T>
NormStats norm_stats(Target t, NormOp op, NormKind kind, View<const T> src1, View<const T> src2,
                     View<const std::uint8_t> mask, int coi);

// The norm from the statistics: the square root for L2, the quotient (and the zero-denominator
// rule) for NormRel. Returns qpxStatusZeroDivisorWarning where the denominator is zero.
qpxStatus finish(NormOp op, NormKind kind, NormStats s, double* norm);

}  // namespace qpx::stats
