// Exports of the integral image family: one declaration of the checks per form, one line per
// export.
#include "frame/decl.hpp"
#include "stats/integral.hpp"

namespace qpx::stats {
namespace {

// Integral images are larger than the source: one more column and row upright, two tilted.
// Every row test comes before every multiple test.
template <class D, int extra>
constexpr const Decl& kIntegral =
    decl<ptr(0), ptr(2), size(4), step_row<u8>(1, 4), grown(step_row<D>(3, 4), extra, extra),
         grown(step_multiple<D>(3, 4), extra, extra)>;
constexpr const Decl& kIntegral32f =
    decl<ptr(0), ptr(2), size(4), step_row<float>(1, 4), grown(step_row<float>(3, 4), 1, 1),
         step_multiple<float>(1, 4), grown(step_multiple<float>(3, 4), 1, 1)>;
// (src, srcStep, dst, dstStep, sqr, sqrStep, roi, val, valSqr)
template <class D, class Q, int extra>
constexpr const Decl& kSqrIntegral =
    decl<ptr(0), ptr(2), ptr(4), size(6), step_row<u8>(1, 6),
         grown(step_row<D>(3, 6), extra, extra), grown(step_row<Q>(5, 6), extra, extra),
         grown(step_multiple<D>(3, 6), extra, extra), grown(step_multiple<Q>(5, 6), extra, extra)>;

// (src, srcStep, sqr, sqrStep, dst, dstStep, roi, rect[, scaleFactor]): the integrals reach
// x + w columns and y + h rows past the output (tilted: x + y + w + h - 1 columns and
// x + y + w + h rows); the rectangle itself is checked after the steps.
constexpr Rule rect_ok = [](const Val* a, int k) {
    return a[k].i >= 0 && a[k].h >= 0 && a[k].w >= 1 && a[k].rh >= 1;
};
template <class S, class Q, class D, bool tilt>
constexpr const Decl& kStdDev =
    decl<ptr(0), ptr(2), ptr(4), size(6), grown(step_row<S>(1, 6), tilt ? -1 : 0, 0, 7, tilt),
         grown(step_row<Q>(3, 6), tilt ? -1 : 0, 0, 7, tilt), step_row<D>(5, 6),
         grown(step_multiple<S>(1, 6), tilt ? -1 : 0, 0, 7, tilt),
         grown(step_multiple<Q>(3, 6), tilt ? -1 : 0, 0, 7, tilt), step_multiple<D>(5, 6),
         code(7, rect_ok, qpxStatusBadArgument, 0, -1)>;

template <class T>
View<T> whole(T* p, int step, qpxSize roi, int extra) {
    return {p, step, roi.width + extra, roi.height + extra};
}

template <class D, class V, int extra, auto IntegralKernels::*fn>
qpxStatus integral(const u8* src, int srcStep, D* dst, int dstStep, qpxSize roi, V val) {
    if (qpxStatus st = check_args(kIntegral<D, extra>, src, srcStep, dst, dstStep, roi, val))
        return st;
    (integral_kernels(cpu_target()).*fn)(view(src, srcStep, roi), whole(dst, dstStep, roi, extra),
                                         val);
    return qpxStatusOk;
}

template <class D, class Q, class V, class VQ, int extra, auto IntegralKernels::*fn>
qpxStatus sqr_integral(const u8* src, int srcStep, D* dst, int dstStep, Q* sqr, int sqrStep,
                       qpxSize roi, V val, VQ valSqr) {
    qpxStatus st = check_args(kSqrIntegral<D, Q, extra>, src, srcStep, dst, dstStep, sqr, sqrStep,
                              roi, val, valSqr);
    if (st) return st;
    (integral_kernels(cpu_target()).*fn)(view(src, srcStep, roi), whole(dst, dstStep, roi, extra),
                                         whole(sqr, sqrStep, roi, extra), val, valSqr);
    return qpxStatusOk;
}

template <class S, class Q, class D, bool tilt, auto IntegralKernels::*fn>
qpxStatus std_dev(const S* src, int srcStep, const Q* sqr, int sqrStep, D* dst, int dstStep,
                  qpxSize roi, qpxRect rect, int scaleFactor) {
    qpxStatus st =
        check_args(kStdDev<S, Q, D, tilt>, src, srcStep, sqr, sqrStep, dst, dstStep, roi, rect);
    if (st) return st;
    // The integrals' extent is the caller's promise; the views only carry pointer and step.
    (integral_kernels(cpu_target()).*fn)(View<const S>(src, srcStep, 0, 0),
                                         View<const Q>(sqr, sqrStep, 0, 0), view(dst, dstStep, roi),
                                         rect, scaleFactor);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::stats

using namespace qpx::stats;
using qpx::stats::IntegralKernels;
using qpx::stats::s32;
using qpx::stats::u8;

QPX_DECLARE(qpxiIntegral_8u32s_C1R, (kIntegral<s32, 1>))
QPX_EXPORT qpxStatus qpxiIntegral_8u32s_C1R(const u8* src, int srcStep, s32* dst, int dstStep,
                                            qpxSize roiSize, int val) {
    return integral<s32, s32, 1, &IntegralKernels::int_8u32s>(src, srcStep, dst, dstStep, roiSize,
                                                              val);
}
QPX_DECLARE(qpxiIntegral_8u32f_C1R, (kIntegral<float, 1>))
QPX_EXPORT qpxStatus qpxiIntegral_8u32f_C1R(const u8* src, int srcStep, float* dst, int dstStep,
                                            qpxSize roiSize, float val) {
    return integral<float, float, 1, &IntegralKernels::int_8u32f>(src, srcStep, dst, dstStep,
                                                                  roiSize, val);
}
QPX_DECLARE(qpxiIntegral_32f_C1R, kIntegral32f)
QPX_EXPORT qpxStatus qpxiIntegral_32f_C1R(const float* src, int srcStep, float* dst, int dstStep,
                                          qpxSize roiSize) {
    if (qpxStatus st = check_args(kIntegral32f, src, srcStep, dst, dstStep, roiSize)) return st;
    integral_kernels(qpx::cpu_target())
        .int_32f(qpx::view(src, srcStep, roiSize), whole(dst, dstStep, roiSize, 1));
    return qpxStatusOk;
}

QPX_DECLARE(qpxiSqrIntegral_8u32s_C1R, (kSqrIntegral<s32, s32, 1>))
QPX_EXPORT qpxStatus qpxiSqrIntegral_8u32s_C1R(const u8* src, int srcStep, s32* dst, int dstStep,
                                               s32* sqr, int sqrStep, qpxSize roiSize, int val,
                                               int valSqr) {
    return sqr_integral<s32, s32, s32, s32, 1, &IntegralKernels::sqr_8u32s>(
        src, srcStep, dst, dstStep, sqr, sqrStep, roiSize, val, valSqr);
}
QPX_DECLARE(qpxiSqrIntegral_8u32s64f_C1R, (kSqrIntegral<s32, double, 1>))
QPX_EXPORT qpxStatus qpxiSqrIntegral_8u32s64f_C1R(const u8* src, int srcStep, s32* dst, int dstStep,
                                                  double* sqr, int sqrStep, qpxSize roiSize,
                                                  int val, double valSqr) {
    return sqr_integral<s32, double, s32, double, 1, &IntegralKernels::sqr_8u32s64f>(
        src, srcStep, dst, dstStep, sqr, sqrStep, roiSize, val, valSqr);
}
QPX_DECLARE(qpxiSqrIntegral_8u32f64f_C1R, (kSqrIntegral<float, double, 1>))
QPX_EXPORT qpxStatus qpxiSqrIntegral_8u32f64f_C1R(const u8* src, int srcStep, float* dst,
                                                  int dstStep, double* sqr, int sqrStep,
                                                  qpxSize roiSize, float val, double valSqr) {
    return sqr_integral<float, double, float, double, 1, &IntegralKernels::sqr_8u32f64f>(
        src, srcStep, dst, dstStep, sqr, sqrStep, roiSize, val, valSqr);
}

QPX_DECLARE(qpxiTiltedIntegral_8u32s_C1R, (kIntegral<s32, 2>))
QPX_EXPORT qpxStatus qpxiTiltedIntegral_8u32s_C1R(const u8* src, int srcStep, s32* dst, int dstStep,
                                                  qpxSize roiSize, int val) {
    return integral<s32, s32, 2, &IntegralKernels::tilt_8u32s>(src, srcStep, dst, dstStep, roiSize,
                                                               val);
}
QPX_DECLARE(qpxiTiltedIntegral_8u32f_C1R, (kIntegral<float, 2>))
QPX_EXPORT qpxStatus qpxiTiltedIntegral_8u32f_C1R(const u8* src, int srcStep, float* dst,
                                                  int dstStep, qpxSize roiSize, float val) {
    return integral<float, float, 2, &IntegralKernels::tilt_8u32f>(src, srcStep, dst, dstStep,
                                                                   roiSize, val);
}

QPX_DECLARE(qpxiTiltedSqrIntegral_8u32s_C1R, (kSqrIntegral<s32, s32, 2>))
QPX_EXPORT qpxStatus qpxiTiltedSqrIntegral_8u32s_C1R(const u8* src, int srcStep, s32* dst,
                                                     int dstStep, s32* sqr, int sqrStep,
                                                     qpxSize roiSize, int val, int valSqr) {
    return sqr_integral<s32, s32, s32, s32, 2, &IntegralKernels::tsqr_8u32s>(
        src, srcStep, dst, dstStep, sqr, sqrStep, roiSize, val, valSqr);
}
QPX_DECLARE(qpxiTiltedSqrIntegral_8u32s64f_C1R, (kSqrIntegral<s32, double, 2>))
QPX_EXPORT qpxStatus qpxiTiltedSqrIntegral_8u32s64f_C1R(const u8* src, int srcStep, s32* dst,
                                                        int dstStep, double* sqr, int sqrStep,
                                                        qpxSize roiSize, int val, double valSqr) {
    return sqr_integral<s32, double, s32, double, 2, &IntegralKernels::tsqr_8u32s64f>(
        src, srcStep, dst, dstStep, sqr, sqrStep, roiSize, val, valSqr);
}
QPX_DECLARE(qpxiTiltedSqrIntegral_8u32f64f_C1R, (kSqrIntegral<float, double, 2>))
QPX_EXPORT qpxStatus qpxiTiltedSqrIntegral_8u32f64f_C1R(const u8* src, int srcStep, float* dst,
                                                        int dstStep, double* sqr, int sqrStep,
                                                        qpxSize roiSize, float val, double valSqr) {
    return sqr_integral<float, double, float, double, 2, &IntegralKernels::tsqr_8u32f64f>(
        src, srcStep, dst, dstStep, sqr, sqrStep, roiSize, val, valSqr);
}

#define QPX_STDDEV_SFS(name, tilt, member)                                                        \
    QPX_DECLARE(name, (kStdDev<s32, s32, s32, tilt>))                                             \
    QPX_EXPORT qpxStatus name(const s32* src, int srcStep, const s32* sqr, int sqrStep, s32* dst, \
                              int dstStep, qpxSize roiSize, qpxRect rect, int scaleFactor) {      \
        return std_dev<s32, s32, s32, tilt, &IntegralKernels::member>(                            \
            src, srcStep, sqr, sqrStep, dst, dstStep, roiSize, rect, scaleFactor);                \
    }
#define QPX_STDDEV_F(name, S, tilt, member)                                              \
    QPX_DECLARE(name, (kStdDev<S, double, float, tilt>))                                 \
    QPX_EXPORT qpxStatus name(const S* src, int srcStep, const double* sqr, int sqrStep, \
                              float* dst, int dstStep, qpxSize roiSize, qpxRect rect) {  \
        return std_dev<S, double, float, tilt, &IntegralKernels::member>(                \
            src, srcStep, sqr, sqrStep, dst, dstStep, roiSize, rect, 0);                 \
    }
QPX_STDDEV_SFS(qpxiRectStdDev_32s_C1RSfs, false, sd_32s_sfs)
QPX_STDDEV_F(qpxiRectStdDev_32s32f_C1R, s32, false, sd_32s32f)
QPX_STDDEV_F(qpxiRectStdDev_32f_C1R, float, false, sd_32f)
QPX_STDDEV_SFS(qpxiTiltedRectStdDev_32s_C1RSfs, true, tsd_32s_sfs)
QPX_STDDEV_F(qpxiTiltedRectStdDev_32s32f_C1R, s32, true, tsd_32s32f)
QPX_STDDEV_F(qpxiTiltedRectStdDev_32f_C1R, float, true, tsd_32f)
