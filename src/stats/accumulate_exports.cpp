// Exports of the accumulation and differencing family: one declaration of the checks per form,
// one line per export.
#include "frame/decl.hpp"
#include "stats/accumulate.hpp"

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

// (src, srcStep, srcDst, srcDstStep, roi)
template <class T>
constexpr const Decl& kSrcAcc = decl<ptr(0), ptr(2), size(4), step<T>(1, 4), step<float>(3, 4)>;
// (src, srcStep, mask, maskStep, srcDst, srcDstStep, roi)
template <class T>
constexpr const Decl& kSrcMaskAcc =
    decl<ptr(0), ptr(2), ptr(4), size(6), step<T>(1, 6), step<u8>(3, 6), step<float>(5, 6)>;
// (src1, src1Step, src2, src2Step, srcDst, srcDstStep, roi)
template <class T>
constexpr const Decl& kTwoAcc =
    decl<ptr(0), ptr(2), ptr(4), size(6), step<T>(1, 6), step<T>(3, 6), step<float>(5, 6)>;
// (src1, src1Step, src2, src2Step, mask, maskStep, srcDst, srcDstStep, roi)
template <class T>
constexpr const Decl& kTwoMaskAcc = decl<ptr(0), ptr(2), ptr(4), ptr(6), size(8), step<T>(1, 8),
                                         step<T>(3, 8), step<u8>(5, 8), step<float>(7, 8)>;
// (src1, src1Step, src2, src2Step, dst, dstStep, roi)
template <class T, int C>
constexpr const Decl& kTwoDst =
    decl<ptr(0), ptr(2), ptr(4), size(6), step<T>(1, 6, C), step<T>(3, 6, C), step<T>(5, 6, C)>;
// (src, srcStep, dst, dstStep, roi, value)
template <class T>
constexpr const Decl& kSrcDst = decl<ptr(0), ptr(2), size(4), step<T>(1, 4), step<T>(3, 4)>;

template <AccOp op, class T>
qpxStatus acc_ir(const T* src, int srcStep, float* acc, int accStep, qpxSize roi, float alpha) {
    if (qpxStatus st = check_args(kSrcAcc<T>, src, srcStep, acc, accStep, roi)) return st;
    accumulate<op, T>(cpu_target(), view(src, srcStep, roi), {}, {}, view(acc, accStep, roi),
                      alpha);
    return qpxStatusOk;
}

template <AccOp op, class T>
qpxStatus acc_imr(const T* src, int srcStep, const u8* mask, int maskStep, float* acc, int accStep,
                  qpxSize roi, float alpha) {
    qpxStatus st = check_args(kSrcMaskAcc<T>, src, srcStep, mask, maskStep, acc, accStep, roi);
    if (st) return st;
    accumulate<op, T>(cpu_target(), view(src, srcStep, roi), {}, view(mask, maskStep, roi),
                      view(acc, accStep, roi), alpha);
    return qpxStatusOk;
}

template <class T>
qpxStatus product_ir(const T* s1, int s1Step, const T* s2, int s2Step, float* acc, int accStep,
                     qpxSize roi) {
    if (qpxStatus st = check_args(kTwoAcc<T>, s1, s1Step, s2, s2Step, acc, accStep, roi)) return st;
    accumulate<AccOp::Product, T>(cpu_target(), view(s1, s1Step, roi), view(s2, s2Step, roi), {},
                                  view(acc, accStep, roi), 0.0f);
    return qpxStatusOk;
}

template <class T>
qpxStatus product_imr(const T* s1, int s1Step, const T* s2, int s2Step, const u8* mask,
                      int maskStep, float* acc, int accStep, qpxSize roi) {
    qpxStatus st =
        check_args(kTwoMaskAcc<T>, s1, s1Step, s2, s2Step, mask, maskStep, acc, accStep, roi);
    if (st) return st;
    accumulate<AccOp::Product, T>(cpu_target(), view(s1, s1Step, roi), view(s2, s2Step, roi),
                                  view(mask, maskStep, roi), view(acc, accStep, roi), 0.0f);
    return qpxStatusOk;
}

template <class T, int channels>
qpxStatus absdiff(const T* s1, int s1Step, const T* s2, int s2Step, T* dst, int dstStep,
                  qpxSize roi) {
    qpxStatus st = check_args(kTwoDst<T, channels>, s1, s1Step, s2, s2Step, dst, dstStep, roi);
    if (st) return st;
    abs_diff<T>(cpu_target(), view(s1, s1Step, roi, channels), view(s2, s2Step, roi, channels),
                view(dst, dstStep, roi, channels));
    return qpxStatusOk;
}

template <class T, class V>
qpxStatus absdiff_c(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, V value) {
    if (qpxStatus st = check_args(kSrcDst<T>, src, srcStep, dst, dstStep, roi)) return st;
    if constexpr (std::is_integral_v<T>) {
        // The constant is clamped to the element range first; the magnitude is then exact.
        constexpr V hi = sizeof(T) == 1 ? 255 : 65535;
        value = value < 0 ? 0 : value > hi ? hi : value;
    }
    abs_diff_c<T, V>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi), value);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::stats

using namespace qpx::stats;

// clang-format off
#define QPX_ACC_IR(name, op, T)                                                                  \
    QPX_DECLARE(name, kSrcAcc<T>)    \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, float* srcDst, int srcDstStep,          \
                              qpxSize roiSize) {                                                 \
        return acc_ir<AccOp::op, T>(src, srcStep, srcDst, srcDstStep, roiSize, 0.0f);            \
    }
#define QPX_ACC_IMR(name, op, T)                                                                 \
    QPX_DECLARE(name, kSrcMaskAcc<T>)    \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, const u8* mask, int maskStep,           \
                              float* srcDst, int srcDstStep, qpxSize roiSize) {                  \
        return acc_imr<AccOp::op, T>(src, srcStep, mask, maskStep, srcDst, srcDstStep, roiSize,  \
                                     0.0f);                                                      \
    }
#define QPX_WEIGHTED_IR(name, T)                                                                 \
    QPX_DECLARE(name, kSrcAcc<T>)    \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, float* srcDst, int srcDstStep,          \
                              qpxSize roiSize, float alpha) {                                    \
        return acc_ir<AccOp::Weighted, T>(src, srcStep, srcDst, srcDstStep, roiSize, alpha);     \
    }
#define QPX_WEIGHTED_IMR(name, T)                                                                \
    QPX_DECLARE(name, kSrcMaskAcc<T>)    \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, const u8* mask, int maskStep,           \
                              float* srcDst, int srcDstStep, qpxSize roiSize, float alpha) {     \
        return acc_imr<AccOp::Weighted, T>(src, srcStep, mask, maskStep, srcDst, srcDstStep,     \
                                           roiSize, alpha);                                      \
    }
#define QPX_PRODUCT_IR(name, T)                                                                  \
    QPX_DECLARE(name, kTwoAcc<T>)    \
    QPX_EXPORT qpxStatus name(const T* src1, int src1Step, const T* src2, int src2Step,          \
                              float* srcDst, int srcDstStep, qpxSize roiSize) {                  \
        return product_ir<T>(src1, src1Step, src2, src2Step, srcDst, srcDstStep, roiSize);       \
    }
#define QPX_PRODUCT_IMR(name, T)                                                                 \
    QPX_DECLARE(name, kTwoMaskAcc<T>)    \
    QPX_EXPORT qpxStatus name(const T* src1, int src1Step, const T* src2, int src2Step,          \
                              const u8* mask, int maskStep, float* srcDst, int srcDstStep,       \
                              qpxSize roiSize) {                                                 \
        return product_imr<T>(src1, src1Step, src2, src2Step, mask, maskStep, srcDst,            \
                              srcDstStep, roiSize);                                              \
    }
#define QPX_ABSDIFF(name, T, ch)                                                                 \
    QPX_DECLARE(name, (kTwoDst<T, ch>))    \
    QPX_EXPORT qpxStatus name(const T* src1, int src1Step, const T* src2, int src2Step, T* dst,  \
                              int dstStep, qpxSize roiSize) {                                    \
        return absdiff<T, ch>(src1, src1Step, src2, src2Step, dst, dstStep, roiSize);            \
    }
#define QPX_ABSDIFF_C(name, T, V)                                                                \
    QPX_DECLARE(name, kSrcDst<T>)    \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, T* dst, int dstStep, qpxSize roiSize,   \
                              V value) {                                                         \
        return absdiff_c<T, V>(src, srcStep, dst, dstStep, roiSize, value);                      \
    }

QPX_ACC_IR(qpxiAdd_8u32f_C1IR, Add, u8)
QPX_ACC_IMR(qpxiAdd_8u32f_C1IMR, Add, u8)
QPX_ACC_IR(qpxiAdd_16u32f_C1IR, Add, u16)
QPX_ACC_IMR(qpxiAdd_16u32f_C1IMR, Add, u16)
QPX_ACC_IMR(qpxiAdd_32f_C1IMR, Add, float)

QPX_ACC_IR(qpxiAddSquare_8u32f_C1IR, Square, u8)
QPX_ACC_IMR(qpxiAddSquare_8u32f_C1IMR, Square, u8)
QPX_ACC_IR(qpxiAddSquare_16u32f_C1IR, Square, u16)
QPX_ACC_IMR(qpxiAddSquare_16u32f_C1IMR, Square, u16)
QPX_ACC_IR(qpxiAddSquare_32f_C1IR, Square, float)
QPX_ACC_IMR(qpxiAddSquare_32f_C1IMR, Square, float)

QPX_PRODUCT_IR(qpxiAddProduct_8u32f_C1IR, u8)
QPX_PRODUCT_IMR(qpxiAddProduct_8u32f_C1IMR, u8)
QPX_PRODUCT_IR(qpxiAddProduct_16u32f_C1IR, u16)
QPX_PRODUCT_IMR(qpxiAddProduct_16u32f_C1IMR, u16)
QPX_PRODUCT_IR(qpxiAddProduct_32f_C1IR, float)
QPX_PRODUCT_IMR(qpxiAddProduct_32f_C1IMR, float)

QPX_WEIGHTED_IR(qpxiAddWeighted_8u32f_C1IR, u8)
QPX_WEIGHTED_IMR(qpxiAddWeighted_8u32f_C1IMR, u8)
QPX_WEIGHTED_IR(qpxiAddWeighted_16u32f_C1IR, u16)
QPX_WEIGHTED_IMR(qpxiAddWeighted_16u32f_C1IMR, u16)
QPX_WEIGHTED_IR(qpxiAddWeighted_32f_C1IR, float)
QPX_WEIGHTED_IMR(qpxiAddWeighted_32f_C1IMR, float)

QPX_DECLARE(qpxiAddWeighted_32f_C1R, (kTwoDst<float, 1>))
QPX_EXPORT qpxStatus qpxiAddWeighted_32f_C1R(const float* src1, int src1Step, const float* src2,
                                             int src2Step, float* dst, int dstStep,
                                             qpxSize roiSize, float alpha) {
    qpxStatus st = qpx::check_args(kTwoDst<float, 1>, src1, src1Step, src2, src2Step, dst, dstStep,
                                   roiSize);
    if (st) return st;
    weighted_blend(qpx::cpu_target(), qpx::view(src1, src1Step, roiSize),
                   qpx::view(src2, src2Step, roiSize), qpx::view(dst, dstStep, roiSize), alpha);
    return qpxStatusOk;
}

QPX_ABSDIFF(qpxiAbsDiff_8u_C1R, u8, 1)
QPX_ABSDIFF(qpxiAbsDiff_8u_C3R, u8, 3)
QPX_ABSDIFF(qpxiAbsDiff_16u_C1R, u16, 1)
QPX_ABSDIFF(qpxiAbsDiff_32f_C1R, float, 1)
QPX_ABSDIFF_C(qpxiAbsDiffC_8u_C1R, u8, int)
QPX_ABSDIFF_C(qpxiAbsDiffC_16u_C1R, u16, int)
QPX_ABSDIFF_C(qpxiAbsDiffC_32f_C1R, float, float)
// clang-format on
