// Masked norms: dispatch to the chosen target, and the final square root and quotient.
#include "stats/norm.hpp"

#include <immintrin.h>

#include <limits>

namespace qpx::stats {

template <class T>
NormStats norm_stats(Target t, NormOp op, NormKind kind, View<const T> src1, View<const T> src2,
                     View<const std::uint8_t> mask, int coi) {
    const NormKernels& k = norm_kernels(t);
    const int o = int(op), n = int(kind);
    if constexpr (std::is_same_v<T, std::uint8_t>)
        return k.n8[o][n](src1, src2, mask, coi);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        return k.n16[o][n](src1, src2, mask, coi);
    else
        return k.n32[o][n](src1, src2, mask, coi);
}

template NormStats norm_stats<std::uint8_t>(Target, NormOp, NormKind, View<const std::uint8_t>,
                                            View<const std::uint8_t>, View<const std::uint8_t>,
                                            int);
template NormStats norm_stats<std::uint16_t>(Target, NormOp, NormKind, View<const std::uint16_t>,
                                             View<const std::uint16_t>, View<const std::uint8_t>,
                                             int);
template NormStats norm_stats<float>(Target, NormOp, NormKind, View<const float>, View<const float>,
                                     View<const std::uint8_t>, int);

namespace {
// The instruction, not the library call: no errno, and the library calls no mathematics routine.
double root(double v) {
    const __m128d x = _mm_set_sd(v);
    return _mm_cvtsd_f64(_mm_sqrt_sd(x, x));
}
}  // namespace

qpxStatus finish(NormOp op, NormKind kind, NormStats s, double* norm) {
    if (op != NormOp::Rel) {
        *norm = kind == NormKind::L2 ? root(s.num) : s.num;
        return qpxStatusOk;
    }
    if (!(s.den < 0 || s.den > 0)) {
        constexpr double inf = std::numeric_limits<double>::infinity();
        *norm = s.num > 0 ? inf : s.num < 0 ? -inf : std::numeric_limits<double>::quiet_NaN();
        return qpxStatusZeroDivisorWarning;
    }
    const double q = s.num / s.den;
    *norm = kind == NormKind::L2 ? root(q) : q;
    return qpxStatusOk;
}

}  // namespace qpx::stats
