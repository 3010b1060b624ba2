// Means, standard deviations and extrema: the kernels of the chosen target, and the arithmetic
// that turns their sums and recorded rows into results.
#include "stats/moments.hpp"

#include <immintrin.h>

#include <cmath>

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using i64 = std::int64_t;

// The processor's square root, so that no library call (nor errno) is involved.
double root(double v) {
    return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(v)));
}

bool selected(View<const u8> mask, i64 x, i64 y) {
    return mask.data == nullptr || mask.row(y)[x] != 0;
}

// The leftmost selected pixel of row y holding `v` (the first selected one if none does, which
// only a row of NaNs can give); its value comes back in `v`, so that the sign of a zero is the
// pixel's own.
template <class T>
qpxPoint locate(View<const T> src, View<const u8> mask, i64 y, float& v) {
    const T* s = src.row(y);
    i64 first = -1;
    for (i64 x = 0; x < src.width; ++x) {
        if (!selected(mask, x, y)) continue;
        if (first < 0) first = x;
        if (float(s[x * src.channels]) == v) {
            v = float(s[x * src.channels]);
            return {int(x), int(y)};
        }
    }
    return {int(first), int(y)};
}

}  // namespace

template <class T>
Sums sums(Target t, View<const T> src, View<const u8> mask) {
    const MomentKernels& k = moment_kernels(t);
    const bool masked = mask.data != nullptr;
    Sums r;
    if constexpr (std::is_same_v<T, u8>)
        k.sums8[masked](src, mask, &r);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.sums16[masked](src, mask, &r);
    else
        k.sums32[masked](src, mask, &r);
    return r;
}

template <class T>
double mean(Target t, View<const T> src, View<const u8> mask) {
    const Sums s = sums<T>(t, src, mask);
    return s.n == 0 ? 0.0 : s.s / double(s.n);
}

template <class T>
MeanStdDev mean_stddev(Target t, View<const T> src, View<const u8> mask) {
    const Sums s = sums<T>(t, src, mask);
    MeanStdDev r;
    if (s.n == 0) return r;
    const double inv = 1.0 / double(s.n);
    r.mean = s.s * inv;
    const double e = s.q * inv;
    r.stddev = root(std::fabs(e - r.mean * r.mean));
    if constexpr (std::is_same_v<T, float>) {
        // The one-pass difference cancels when the spread is small against the mean: sum the
        // squared distances from the mean again, in single precision and in pixel order.
        if (r.stddev * r.stddev < 0.05 * (r.mean * r.mean)) {
            const float m = static_cast<float>(r.mean);
            float d = 0.0f;
            for (i64 y = 0; y < src.height; ++y) {
                const float* p = src.row(y);
                for (i64 x = 0; x < src.width; ++x) {
                    if (!selected(mask, x, y)) continue;
                    const float diff = p[x * src.channels] - m;
                    d = d + diff * diff;
                }
            }
            r.stddev = root(double(d) / double(s.n));
        }
    }
    return r;
}

template <class T>
MinMax min_max(Target t, View<const T> src, View<const u8> mask) {
    const MomentKernels& k = moment_kernels(t);
    const bool masked = mask.data != nullptr;
    Extrema e;
    if constexpr (std::is_same_v<T, u8>)
        k.ext8[masked](src, mask, &e);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.ext16[masked](src, mask, &e);
    else
        k.ext32[masked](src, mask, &e);
    MinMax r;
    if (e.minRow < 0) return r;
    r.any = true;
    r.min = e.min, r.max = e.max;
    r.minAt = locate(src, mask, e.minRow, r.min);
    r.maxAt = locate(src, mask, e.maxRow, r.max);
    return r;
}

#define QPX_MOMENTS_INSTANCES(T)                                               \
    template Sums sums<T>(Target, View<const T>, View<const u8>);              \
    template double mean<T>(Target, View<const T>, View<const u8>);            \
    template MeanStdDev mean_stddev<T>(Target, View<const T>, View<const u8>); \
    template MinMax min_max<T>(Target, View<const T>, View<const u8>);
QPX_MOMENTS_INSTANCES(std::uint8_t)
QPX_MOMENTS_INSTANCES(std::uint16_t)
QPX_MOMENTS_INSTANCES(float)

}  // namespace qpx::stats
