// 3x3 and cross-shaped peak finding, compiled once per vector target. The vector lanes only
// decide which pixels are peaks; the list is appended in scan order, so every target stops at the
// same pixel when the capacity is reached. Float maxima and minima have the instruction rule on
// every target, so NaN neighbours resolve identically.
#include "frame/vec.hpp"
#include "feature/feature_vec.hpp"

#include <bit>

#include "feature/peaks.hpp"

namespace qpx::feature::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;

constexpr float kFltMin = 1.1754944e-38f;

// Bit i set where pixel x0 + i is a peak. The neighbourhood extremum is taken in a fixed order:
// the centre, left, right, above, below, then (full window only) the four diagonals.
template <class V>
unsigned peak_bits(const float* up, const float* mid, const float* dn, int x0, bool full,
                   float threshold) {
    const auto v = V::loadf(mid + x0);
    auto mx = V::max(v, V::loadf(mid + x0 - 1));
    auto mn = V::min(v, V::loadf(mid + x0 - 1));
    const float* order[] = {mid + x0 + 1, up + x0,     dn + x0,    up + x0 - 1,
                            up + x0 + 1,  dn + x0 - 1, dn + x0 + 1};
    for (int i = 0; i < (full ? 7 : 3); ++i) {
        const auto w = V::loadf(order[i]);
        mx = V::max(mx, w);
        mn = V::min(mn, w);
    }
    const auto eps = V::setf(kFltMin);
    const auto big = V::gt(V::abs(v), V::setf(threshold));
    const auto pos = V::gt(v, V::setf(0.0f));
    const auto okMax = V::le(V::abs(V::sub(v, mx)), eps);
    const auto okMin = V::le(V::abs(V::sub(v, mn)), eps);
    return V::bits(V::and_(big, V::or_(V::and_(pos, okMax), V::andnot(pos, okMin))));
}

template <class V>
unsigned peak_bits(const s32* up, const s32* mid, const s32* dn, int x0, bool full, s32 threshold) {
    const auto v = V::loadi(mid + x0);
    auto mx = V::max(v, V::loadi(mid + x0 - 1));
    auto mn = V::min(v, V::loadi(mid + x0 - 1));
    const s32* order[] = {mid + x0 + 1, up + x0,     dn + x0,    up + x0 - 1,
                          up + x0 + 1,  dn + x0 - 1, dn + x0 + 1};
    for (int i = 0; i < (full ? 7 : 3); ++i) {
        const auto w = V::loadi(order[i]);
        mx = V::max(mx, w);
        mn = V::min(mn, w);
    }
    // |v| taken unsigned (|INT_MIN| = 2^31) against the threshold; every magnitude exceeds a
    // negative threshold.
    const auto flip = V::seti(INT32_MIN);
    const auto big = threshold < 0
                         ? V::eq(v, v)
                         : V::gt(V::xor_(V::abs(v), flip), V::xor_(V::seti(threshold), flip));
    const auto pos = V::gt(v, V::seti(0));
    return V::bits(V::and_(big, V::or_(V::and_(pos, V::eq(v, mx)), V::andnot(pos, V::eq(v, mn)))));
}

// Appends the peaks among the whole vectors of lane set L from x on; false once the list is full.
template <class L, class T>
bool peaks_span(const T* up, const T* mid, const T* dn, int& x, int x1, int y, bool full,
                T threshold, qpxPoint* peak, int maxPeakCount, int& count) {
    using V = Feat<L>;
    for (; x1 - x >= V::N; x += V::N) {
        for (unsigned bits = peak_bits<V>(up, mid, dn, x, full, threshold); bits;
             bits &= bits - 1) {
            peak[count++] = qpxPoint{x + std::countr_zero(bits), y};
            if (count == maxPeakCount) return false;
        }
    }
    return true;
}

template <class T>
void find_peaks3x3(View<const T> src, T threshold, qpxPoint* peak, int maxPeakCount, int* peakCount,
                   int norm, int border) {
    const bool full = norm == 0;
    int count = 0;
    *peakCount = 0;
    const int x1 = int(src.width) - border;
    for (int y = border; y < int(src.height) - border; ++y) {
        const T* up = src.row(y - 1);
        const T* mid = src.row(y);
        const T* dn = src.row(y + 1);
        int x = border;
        const bool more =
            peaks_span<Wide>(up, mid, dn, x, x1, y, full, threshold, peak, maxPeakCount, count) &&
            peaks_span<One>(up, mid, dn, x, x1, y, full, threshold, peak, maxPeakCount, count);
        *peakCount = count;
        if (!more) return;
    }
}

}  // namespace

extern const PeakKernels peak_kernels = {find_peaks3x3<float>, find_peaks3x3<s32>};

}  // namespace qpx::feature::QPX_TNS
