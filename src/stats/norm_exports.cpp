// Exports of the masked norms: one declaration of the checks per form, one line per export.
#include "frame/decl.hpp"
#include "stats/norm.hpp"

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

constexpr Rule coi_ok = [](const Val* a, int k) { return a[k].i >= 1 && a[k].i <= 3; };

// The one-image form checks the source step in full before the mask step.
// (src, srcStep, mask, maskStep, roi, pNorm) or (..., roi, coi, pNorm)
template <class T>
constexpr const Decl& kOne = decl<ptr(0), ptr(2), ptr(5), size(4), step_row<T>(1, 4),
                                  step_multiple<T>(1, 4), step_row<u8>(3, 4)>;
template <class T>
constexpr const Decl& kOneCoi =
    decl<ptr(0), ptr(2), ptr(6), size(4), step_row<T>(1, 4, 3), step_multiple<T>(1, 4, 3),
         step_row<u8>(3, 4), code(5, coi_ok, qpxStatusBadCoi, 1, 0, 4, -1, 3)>;

// The two-image forms check every row length first, then the multiples.
// (src1, src1Step, src2, src2Step, mask, maskStep, roi, pNorm) or (..., roi, coi, pNorm)
template <class T>
constexpr const Decl& kTwo =
    decl<ptr(0), ptr(2), ptr(4), ptr(7), size(6), step_row<T>(1, 6), step_row<T>(3, 6),
         step_row<u8>(5, 6), step_multiple<T>(1, 6), step_multiple<T>(3, 6)>;
template <class T>
constexpr const Decl& kTwoCoi =
    decl<ptr(0), ptr(2), ptr(4), ptr(8), size(6), step_row<T>(1, 6, 3), step_row<T>(3, 6, 3),
         step_row<u8>(5, 6), step_multiple<T>(1, 6, 3), step_multiple<T>(3, 6, 3),
         code(7, coi_ok, qpxStatusBadCoi, 1, 0, 4, -1, 3)>;

template <NormOp op, NormKind kind, class T>
qpxStatus run(const T* s1, int s1Step, const T* s2, int s2Step, const u8* mask, int maskStep,
              qpxSize roi, int channels, int coi, double* norm) {
    View<const T> v2 = op == NormOp::Norm ? View<const T>{} : view(s2, s2Step, roi, channels);
    const NormStats s = norm_stats<T>(cpu_target(), op, kind, view(s1, s1Step, roi, channels), v2,
                                      view(mask, maskStep, roi), coi - 1);
    return finish(op, kind, s, norm);
}

template <NormKind kind, class T>
qpxStatus norm_c1(const T* src, int srcStep, const u8* mask, int maskStep, qpxSize roi,
                  double* norm) {
    if (qpxStatus st = check_args(kOne<T>, src, srcStep, mask, maskStep, roi, norm)) return st;
    return run<NormOp::Norm, kind, T>(src, srcStep, nullptr, 0, mask, maskStep, roi, 1, 1, norm);
}

template <NormKind kind, class T>
qpxStatus norm_c3(const T* src, int srcStep, const u8* mask, int maskStep, qpxSize roi, int coi,
                  double* norm) {
    if (qpxStatus st = check_args(kOneCoi<T>, src, srcStep, mask, maskStep, roi, coi, norm))
        return st;
    return run<NormOp::Norm, kind, T>(src, srcStep, nullptr, 0, mask, maskStep, roi, 3, coi, norm);
}

template <NormOp op, NormKind kind, class T>
qpxStatus two_c1(const T* s1, int s1Step, const T* s2, int s2Step, const u8* mask, int maskStep,
                 qpxSize roi, double* norm) {
    if (qpxStatus st = check_args(kTwo<T>, s1, s1Step, s2, s2Step, mask, maskStep, roi, norm))
        return st;
    return run<op, kind, T>(s1, s1Step, s2, s2Step, mask, maskStep, roi, 1, 1, norm);
}

template <NormOp op, NormKind kind, class T>
qpxStatus two_c3(const T* s1, int s1Step, const T* s2, int s2Step, const u8* mask, int maskStep,
                 qpxSize roi, int coi, double* norm) {
    qpxStatus st = check_args(kTwoCoi<T>, s1, s1Step, s2, s2Step, mask, maskStep, roi, coi, norm);
    if (st) return st;
    return run<op, kind, T>(s1, s1Step, s2, s2Step, mask, maskStep, roi, 3, coi, norm);
}

}  // namespace
}  // namespace qpx::stats

using namespace qpx::stats;

// clang-format off
#define QPX_NORM(N, T, tag)                                                                       \
    QPX_DECLARE(qpxiNorm_##N##_##tag##_C1MR, kOne<T>)                                        \
    QPX_EXPORT qpxStatus qpxiNorm_##N##_##tag##_C1MR(const T* src, int srcStep, const u8* mask,   \
                                                     int maskStep, qpxSize roiSize,               \
                                                     double* pNorm) {                             \
        return norm_c1<NormKind::N, T>(src, srcStep, mask, maskStep, roiSize, pNorm);             \
    }                                                                                             \
    QPX_DECLARE(qpxiNorm_##N##_##tag##_C3CMR, kOneCoi<T>)                                         \
    QPX_EXPORT qpxStatus qpxiNorm_##N##_##tag##_C3CMR(const T* src, int srcStep, const u8* mask,  \
                                                      int maskStep, qpxSize roiSize, int coi,     \
                                                      double* pNorm) {                            \
        return norm_c3<NormKind::N, T>(src, srcStep, mask, maskStep, roiSize, coi, pNorm);        \
    }
#define QPX_NORM_TWO(name, op, N, T, tag)                                                         \
    QPX_DECLARE(qpxi##name##_##N##_##tag##_C1MR, kTwo<T>)                                         \
    QPX_EXPORT qpxStatus qpxi##name##_##N##_##tag##_C1MR(const T* src1, int src1Step,             \
                                                         const T* src2, int src2Step,             \
                                                         const u8* mask, int maskStep,            \
                                                         qpxSize roiSize, double* pNorm) {        \
        return two_c1<NormOp::op, NormKind::N, T>(src1, src1Step, src2, src2Step, mask,           \
                                                  maskStep, roiSize, pNorm);                      \
    }                                                                                             \
    QPX_DECLARE(qpxi##name##_##N##_##tag##_C3CMR, kTwoCoi<T>)                                     \
    QPX_EXPORT qpxStatus qpxi##name##_##N##_##tag##_C3CMR(const T* src1, int src1Step,            \
                                                          const T* src2, int src2Step,            \
                                                          const u8* mask, int maskStep,           \
                                                          qpxSize roiSize, int coi,               \
                                                          double* pNorm) {                        \
        return two_c3<NormOp::op, NormKind::N, T>(src1, src1Step, src2, src2Step, mask,           \
                                                  maskStep, roiSize, coi, pNorm);                 \
    }
#define QPX_NORM_ALL(N, T, tag)                                                                   \
    QPX_NORM(N, T, tag)                                                                           \
    QPX_NORM_TWO(NormDiff, Diff, N, T, tag)                                                       \
    QPX_NORM_TWO(NormRel, Rel, N, T, tag)

QPX_NORM_ALL(Inf, u8, 8u)
QPX_NORM_ALL(L1, u8, 8u)
QPX_NORM_ALL(L2, u8, 8u)
QPX_NORM_ALL(Inf, u16, 16u)
QPX_NORM_ALL(L1, u16, 16u)
QPX_NORM_ALL(L2, u16, 16u)
QPX_NORM_ALL(Inf, float, 32f)
QPX_NORM_ALL(L1, float, 32f)
QPX_NORM_ALL(L2, float, 32f)
// clang-format on
