// Exports of the means, standard deviations and extrema: one declaration of the checks per
// layout, one line per export.
#include "frame/decl.hpp"
#include "stats/moments.hpp"

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

constexpr Rule coi_ok = [](const Val* a, int k) { return a[k].i >= 1 && a[k].i <= 3; };
constexpr Param coi(int k) {
    return code(k, coi_ok, qpxStatusBadCoi, 1, 0, 4, -1, 3);
}

// (src, srcStep, roi, ...)
template <class T>
constexpr const Decl& kWhole = decl<ptr(0), size(2), step<T>(1, 2)>;
// (src, srcStep, roi, coi, ...)
template <class T>
constexpr const Decl& kWholeCoi = decl<ptr(0), size(2), step<T>(1, 2, 3), coi(3)>;
// (src, srcStep, mask, maskStep, roi, ...): both row tests before the source's multiple test.
template <class T>
constexpr const Decl& kMasked =
    decl<ptr(0), ptr(2), size(4), step_row<T>(1, 4), step_row<u8>(3, 4), step_multiple<T>(1, 4)>;
// (src, srcStep, mask, maskStep, roi, coi, ...)
template <class T>
constexpr const Decl& kMaskedCoi = decl<ptr(0), ptr(2), size(4), step_row<T>(1, 4, 3),
                                        step_row<u8>(3, 4), step_multiple<T>(1, 4, 3), coi(5)>;
// The mean also requires its output: (src, srcStep, mask, maskStep, roi, pMean).
template <class T>
constexpr const Decl& kMean = decl<ptr(0), ptr(2), ptr(5), size(4), step_row<T>(1, 4),
                                   step_row<u8>(3, 4), step_multiple<T>(1, 4)>;
// (src, srcStep, mask, maskStep, roi, coi, pMean)
template <class T>
constexpr const Decl& kMeanCoi = decl<ptr(0), ptr(2), ptr(6), size(4), step_row<T>(1, 4, 3),
                                      step_row<u8>(3, 4), step_multiple<T>(1, 4, 3), coi(5)>;
// The 16u three-channel mean tests the source step's multiple before the mask step.
template <>
constexpr const Decl& kMeanCoi<u16> =
    decl<ptr(0), ptr(2), ptr(6), size(4), step<u16>(1, 4, 3), step<u8>(3, 4), coi(5)>;

// A single channel of the source: the view starts at channel `coi` and steps over whole pixels.
template <class T>
View<const T> channel(const T* src, int srcStep, qpxSize roi, int coi) {
    return coi == 0 ? view(src, srcStep, roi) : view(src + (coi - 1), srcStep, roi, 3);
}
View<const u8> mask_view(const u8* mask, int maskStep, qpxSize roi) {
    return mask ? view(mask, maskStep, roi) : View<const u8>();
}

template <class T>
void mean_out(View<const T> s, View<const u8> m, double* pMean) {
    *pMean = mean<T>(cpu_target(), s, m);
}

template <class T>
void mean_stddev_out(View<const T> s, View<const u8> m, double* pMean, double* pStdDev) {
    const MeanStdDev r = mean_stddev<T>(cpu_target(), s, m);
    if (pMean) *pMean = r.mean;
    if (pStdDev) *pStdDev = r.stddev;
}

// Writes the requested outputs; the masked forms then tell whether the mask selected nothing,
// judged from what was asked for.
template <class T>
qpxStatus min_max_out(View<const T> s, View<const u8> m, float* pMin, float* pMax, qpxPoint* pMinAt,
                      qpxPoint* pMaxAt) {
    const MinMax r = min_max<T>(cpu_target(), s, m);
    if (pMin) *pMin = r.min;
    if (pMax) *pMax = r.max;
    if (pMinAt) *pMinAt = r.minAt;
    if (pMaxAt) *pMaxAt = r.maxAt;
    if (m.data == nullptr) return qpxStatusOk;
    bool none;
    if (pMinAt || pMaxAt) {
        const qpxPoint at = pMinAt ? r.minAt : r.maxAt;
        none = at.x == 0 && at.y == 0 && m.data[0] == 0;
    } else if (pMin || pMax) {
        none = (!pMin || r.min == 0.0f) && (!pMax || r.max == 0.0f) && !r.any;
    } else {
        none = true;
    }
    return none ? qpxStatusNoPixelsWarning : qpxStatusOk;
}

}  // namespace
}  // namespace qpx::stats

using namespace qpx::stats;
using qpx::check_args;

// clang-format off
#define QPX_MEAN_C1MR(T, tag)                                                                    \
    QPX_DECLARE(qpxiMean_##tag##_C1MR, kMean<T>)                                                 \
    QPX_EXPORT qpxStatus qpxiMean_##tag##_C1MR(const T* src, int srcStep, const u8* mask,        \
                                               int maskStep, qpxSize roiSize, double* pMean) {   \
        qpxStatus st = check_args(kMean<T>, src, srcStep, mask, maskStep, roiSize, pMean);       \
        if (st) return st;                                                                       \
        mean_out(channel(src, srcStep, roiSize, 0), mask_view(mask, maskStep, roiSize), pMean);  \
        return qpxStatusOk;                                                                      \
    }
#define QPX_MEAN_C3CMR(T, tag)                                                                   \
    QPX_DECLARE(qpxiMean_##tag##_C3CMR, kMeanCoi<T>)                                             \
    QPX_EXPORT qpxStatus qpxiMean_##tag##_C3CMR(const T* src, int srcStep, const u8* mask,       \
                                                int maskStep, qpxSize roiSize, int coi,          \
                                                double* pMean) {                                 \
        qpxStatus st =                                                                           \
            check_args(kMeanCoi<T>, src, srcStep, mask, maskStep, roiSize, coi, pMean);          \
        if (st) return st;                                                                       \
        mean_out(channel(src, srcStep, roiSize, coi), mask_view(mask, maskStep, roiSize),       \
                 pMean);                                                                         \
        return qpxStatusOk;                                                                      \
    }
#define QPX_MEAN_STDDEV(T, tag)                                                                  \
    QPX_DECLARE(qpxiMean_StdDev_##tag##_C1R, kWhole<T>)                                          \
    QPX_EXPORT qpxStatus qpxiMean_StdDev_##tag##_C1R(const T* src, int srcStep, qpxSize roiSize, \
                                                     double* pMean, double* pStdDev) {           \
        if (qpxStatus st = check_args(kWhole<T>, src, srcStep, roiSize)) return st;              \
        mean_stddev_out(channel(src, srcStep, roiSize, 0), {}, pMean, pStdDev);                  \
        return qpxStatusOk;                                                                      \
    }                                                                                            \
    QPX_DECLARE(qpxiMean_StdDev_##tag##_C1MR, kMasked<T>)                                        \
    QPX_EXPORT qpxStatus qpxiMean_StdDev_##tag##_C1MR(const T* src, int srcStep, const u8* mask, \
                                                      int maskStep, qpxSize roiSize,             \
                                                      double* pMean, double* pStdDev) {          \
        qpxStatus st = check_args(kMasked<T>, src, srcStep, mask, maskStep, roiSize);            \
        if (st) return st;                                                                       \
        mean_stddev_out(channel(src, srcStep, roiSize, 0), mask_view(mask, maskStep, roiSize),  \
                        pMean, pStdDev);                                                         \
        return qpxStatusOk;                                                                      \
    }                                                                                            \
    QPX_DECLARE(qpxiMean_StdDev_##tag##_C3CR, kWholeCoi<T>)                                      \
    QPX_EXPORT qpxStatus qpxiMean_StdDev_##tag##_C3CR(const T* src, int srcStep,                 \
                                                      qpxSize roiSize, int coi, double* pMean,   \
                                                      double* pStdDev) {                         \
        if (qpxStatus st = check_args(kWholeCoi<T>, src, srcStep, roiSize, coi)) return st;      \
        mean_stddev_out(channel(src, srcStep, roiSize, coi), {}, pMean, pStdDev);                \
        return qpxStatusOk;                                                                      \
    }                                                                                            \
    QPX_DECLARE(qpxiMean_StdDev_##tag##_C3CMR, kMaskedCoi<T>)                                    \
    QPX_EXPORT qpxStatus qpxiMean_StdDev_##tag##_C3CMR(const T* src, int srcStep,                \
                                                       const u8* mask, int maskStep,             \
                                                       qpxSize roiSize, int coi, double* pMean,  \
                                                       double* pStdDev) {                        \
        qpxStatus st = check_args(kMaskedCoi<T>, src, srcStep, mask, maskStep, roiSize, coi);    \
        if (st) return st;                                                                       \
        mean_stddev_out(channel(src, srcStep, roiSize, coi),                                     \
                        mask_view(mask, maskStep, roiSize), pMean, pStdDev);                     \
        return qpxStatusOk;                                                                      \
    }
#define QPX_MIN_MAX(T, tag)                                                                      \
    QPX_DECLARE(qpxiMinMaxIndx_##tag##_C1R, kWhole<T>)                                           \
    QPX_EXPORT qpxStatus qpxiMinMaxIndx_##tag##_C1R(const T* src, int srcStep, qpxSize roiSize,  \
                                                    float* pMinVal, float* pMaxVal,              \
                                                    qpxPoint* pMinIndex, qpxPoint* pMaxIndex) {  \
        if (qpxStatus st = check_args(kWhole<T>, src, srcStep, roiSize)) return st;              \
        return min_max_out(channel(src, srcStep, roiSize, 0), {}, pMinVal, pMaxVal, pMinIndex,   \
                           pMaxIndex);                                                           \
    }                                                                                            \
    QPX_DECLARE(qpxiMinMaxIndx_##tag##_C1MR, kMasked<T>)                                         \
    QPX_EXPORT qpxStatus qpxiMinMaxIndx_##tag##_C1MR(                                            \
        const T* src, int srcStep, const u8* mask, int maskStep, qpxSize roiSize,                \
        float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex) {              \
        qpxStatus st = check_args(kMasked<T>, src, srcStep, mask, maskStep, roiSize);            \
        if (st) return st;                                                                       \
        return min_max_out(channel(src, srcStep, roiSize, 0), mask_view(mask, maskStep, roiSize), \
                           pMinVal, pMaxVal, pMinIndex, pMaxIndex);                              \
    }                                                                                            \
    QPX_DECLARE(qpxiMinMaxIndx_##tag##_C3CR, kWholeCoi<T>)                                       \
    QPX_EXPORT qpxStatus qpxiMinMaxIndx_##tag##_C3CR(                                            \
        const T* src, int srcStep, qpxSize roiSize, int coi, float* pMinVal, float* pMaxVal,     \
        qpxPoint* pMinIndex, qpxPoint* pMaxIndex) {                                              \
        if (qpxStatus st = check_args(kWholeCoi<T>, src, srcStep, roiSize, coi)) return st;      \
        return min_max_out(channel(src, srcStep, roiSize, coi), {}, pMinVal, pMaxVal, pMinIndex, \
                           pMaxIndex);                                                           \
    }                                                                                            \
    QPX_DECLARE(qpxiMinMaxIndx_##tag##_C3CMR, kMaskedCoi<T>)                                     \
    QPX_EXPORT qpxStatus qpxiMinMaxIndx_##tag##_C3CMR(                                           \
        const T* src, int srcStep, const u8* mask, int maskStep, qpxSize roiSize, int coi,       \
        float* pMinVal, float* pMaxVal, qpxPoint* pMinIndex, qpxPoint* pMaxIndex) {              \
        qpxStatus st = check_args(kMaskedCoi<T>, src, srcStep, mask, maskStep, roiSize, coi);    \
        if (st) return st;                                                                       \
        return min_max_out(channel(src, srcStep, roiSize, coi),                                  \
                           mask_view(mask, maskStep, roiSize), pMinVal, pMaxVal, pMinIndex,      \
                           pMaxIndex);                                                           \
    }

QPX_MEAN_C1MR(u8, 8u)
QPX_MEAN_C1MR(u16, 16u)
QPX_MEAN_C1MR(float, 32f)
QPX_MEAN_C3CMR(u8, 8u)
QPX_MEAN_C3CMR(u16, 16u)
QPX_MEAN_C3CMR(float, 32f)
QPX_MEAN_STDDEV(u8, 8u)
QPX_MEAN_STDDEV(u16, 16u)
QPX_MEAN_STDDEV(float, 32f)
QPX_MIN_MAX(u8, 8u)
QPX_MIN_MAX(u16, 16u)
QPX_MIN_MAX(float, 32f)
// clang-format on
