// 3x3 and cross-shaped peak finding. The vector path only decides, eight (or four) pixels at a
// time, which pixels are peaks; the list is then appended in the same order as the scalar scan,
// so both paths stop at the same pixel when the capacity is reached. Floating-point maxima and
// minima use the instruction semantics in both paths, so NaN neighbours resolve identically.
#include "feature/peaks.hpp"

#include <immintrin.h>

#include <cstdint>

namespace qpx::feature {
namespace {

constexpr float kFltMin = 1.1754944e-38f;

inline float max_f(float a, float b) {
    return _mm_cvtss_f32(_mm_max_ss(_mm_set_ss(a), _mm_set_ss(b)));
}
inline float min_f(float a, float b) {
    return _mm_cvtss_f32(_mm_min_ss(_mm_set_ss(a), _mm_set_ss(b)));
}
inline float abs_f(float a) {
    return _mm_cvtss_f32(_mm_andnot_ps(_mm_set_ss(-0.0f), _mm_set_ss(a)));
}

// Neighbourhood extremum in a fixed order: the centre first, then left, right, above, below,
// then (full window only) the four diagonal neighbours.
template <class T, class Op>
inline T extremum(const T* up, const T* mid, const T* dn, int x, bool full, Op op) {
    T m = op(mid[x], mid[x - 1]);
    m = op(m, mid[x + 1]);
    m = op(m, up[x]);
    m = op(m, dn[x]);
    if (full) {
        m = op(m, up[x - 1]);
        m = op(m, up[x + 1]);
        m = op(m, dn[x - 1]);
        m = op(m, dn[x + 1]);
    }
    return m;
}

inline bool is_peak(const float* up, const float* mid, const float* dn, int x, bool full,
                    float threshold) {
    const float v = mid[x];
    if (!(abs_f(v) > threshold)) return false;
    if (v > 0.0f) return abs_f(v - extremum(up, mid, dn, x, full, max_f)) <= kFltMin;
    return abs_f(v - extremum(up, mid, dn, x, full, min_f)) <= kFltMin;
}

inline bool is_peak(const std::int32_t* up, const std::int32_t* mid, const std::int32_t* dn, int x,
                    bool full, std::int32_t threshold) {
    const std::int32_t v = mid[x];
    const std::int64_t mag = v < 0 ? -std::int64_t(v) : std::int64_t(v);
    if (!(mag > threshold)) return false;
    auto mx = [](std::int32_t a, std::int32_t b) { return a > b ? a : b; };
    auto mn = [](std::int32_t a, std::int32_t b) { return a < b ? a : b; };
    if (v > 0) return v == extremum(up, mid, dn, x, full, mx);
    return v == extremum(up, mid, dn, x, full, mn);
}

// Bit i set where pixel x0 + i is a peak.
inline unsigned peak_bits(const float* up, const float* mid, const float* dn, int x0, bool full,
                          float threshold) {
    auto ld = [](const float* p) { return _mm256_loadu_ps(p); };
    const __m256 v = ld(mid + x0);
    __m256 mx = _mm256_max_ps(v, ld(mid + x0 - 1));
    __m256 mn = _mm256_min_ps(v, ld(mid + x0 - 1));
    const float* order[] = {mid + x0 + 1, up + x0,     dn + x0,    up + x0 - 1,
                            up + x0 + 1,  dn + x0 - 1, dn + x0 + 1};
    const int n = full ? 7 : 3;
    for (int i = 0; i < n; ++i) {
        __m256 w = ld(order[i]);
        mx = _mm256_max_ps(mx, w);
        mn = _mm256_min_ps(mn, w);
    }
    const __m256 sign = _mm256_set1_ps(-0.0f);
    const __m256 eps = _mm256_set1_ps(kFltMin);
    __m256 big = _mm256_cmp_ps(_mm256_andnot_ps(sign, v), _mm256_set1_ps(threshold), _CMP_GT_OQ);
    __m256 pos = _mm256_cmp_ps(v, _mm256_setzero_ps(), _CMP_GT_OQ);
    __m256 dmax = _mm256_andnot_ps(sign, _mm256_sub_ps(v, mx));
    __m256 dmin = _mm256_andnot_ps(sign, _mm256_sub_ps(v, mn));
    __m256 okMax = _mm256_cmp_ps(dmax, eps, _CMP_LE_OQ);
    __m256 okMin = _mm256_cmp_ps(dmin, eps, _CMP_LE_OQ);
    __m256 ok = _mm256_blendv_ps(okMin, okMax, pos);
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_and_ps(big, ok)));
}

inline unsigned peak_bits(const std::int32_t* up, const std::int32_t* mid, const std::int32_t* dn,
                          int x0, bool full, std::int32_t threshold) {
    auto ld = [](const std::int32_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    const __m128i v = ld(mid + x0);
    __m128i mx = _mm_max_epi32(v, ld(mid + x0 - 1));
    __m128i mn = _mm_min_epi32(v, ld(mid + x0 - 1));
    const std::int32_t* order[] = {mid + x0 + 1, up + x0,     dn + x0,    up + x0 - 1,
                                   up + x0 + 1,  dn + x0 - 1, dn + x0 + 1};
    const int n = full ? 7 : 3;
    for (int i = 0; i < n; ++i) {
        __m128i w = ld(order[i]);
        mx = _mm_max_epi32(mx, w);
        mn = _mm_min_epi32(mn, w);
    }
    // |v| as an unsigned value (|INT_MIN| = 2^31) against the threshold; every magnitude
    // exceeds a negative threshold.
    __m128i big;
    if (threshold < 0) {
        big = _mm_set1_epi32(-1);
    } else {
        const __m128i flip = _mm_set1_epi32(INT32_MIN);
        big = _mm_cmpgt_epi32(_mm_xor_si128(_mm_abs_epi32(v), flip),
                              _mm_xor_si128(_mm_set1_epi32(threshold), flip));
    }
    __m128i pos = _mm_cmpgt_epi32(v, _mm_setzero_si128());
    __m128i ok = _mm_blendv_epi8(_mm_cmpeq_epi32(v, mn), _mm_cmpeq_epi32(v, mx), pos);
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_and_si128(big, ok))));
}

template <class T>
constexpr int kLanes = sizeof(T) == 4 && std::is_floating_point_v<T> ? 8 : 4;

}  // namespace

template <class T>
void find_peaks3x3(Path path, const T* src, int srcStep, qpxSize roi, T threshold, qpxPoint* peak,
                   int maxPeakCount, int* peakCount, int norm, int border) {
    const bool full = norm == 0;
    int count = 0;
    *peakCount = 0;
    const int x1 = roi.width - border;
    for (int y = border; y < roi.height - border; ++y) {
        const T* up = row(src, srcStep, y - 1);
        const T* mid = row(src, srcStep, y);
        const T* dn = row(src, srcStep, y + 1);
        int x = border;
        if (path == Path::Vector) {
            for (; x + kLanes<T> <= x1; x += kLanes<T>) {
                unsigned bits = peak_bits(up, mid, dn, x, full, threshold);
                while (bits) {
                    const int i = __builtin_ctz(bits);
                    bits &= bits - 1;
                    peak[count] = qpxPoint{x + i, y};
                    *peakCount = ++count;
                    if (count == maxPeakCount) return;
                }
            }
        }
        for (; x < x1; ++x) {
            if (!is_peak(up, mid, dn, x, full, threshold)) continue;
            peak[count] = qpxPoint{x, y};
            *peakCount = ++count;
            if (count == maxPeakCount) return;
        }
    }
}

int find_peaks_buffer_size(int roiWidth) {
    const std::uint32_t v = ((32u * std::uint32_t(roiWidth) + 160u) & ~127u) + 32u;
    return static_cast<int>(v);
}

template void find_peaks3x3<float>(Path, const float*, int, qpxSize, float, qpxPoint*, int, int*,
                                   int, int);
template void find_peaks3x3<std::int32_t>(Path, const std::int32_t*, int, qpxSize, std::int32_t,
                                          qpxPoint*, int, int*, int, int);

}  // namespace qpx::feature
