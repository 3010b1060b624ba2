// Exports of the cascade stage: size query, initialisers, feature tilting, window size and the
// stage itself on upright, tilted or mixed integral images.
#include <climits>
#include <type_traits>

#include "frame/decl.hpp"
#include "stats/haar.hpp"

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using i32 = std::int32_t;

constexpr Rule haar_type_ok = [](const Val* a, int k) { return one_of(a[k].i, qpx32s, qpx32f); };
constexpr Rule scale_ok = [](const Val* a, int k) { return a[k].i <= 0; };

// (dataType, roiSize, num, length, pSize); the type is tested after the counts in num.
constexpr const Decl& kGetSizeCounts = decl<ptr(2), ptr(4), count(3), size(1)>;
constexpr const Decl& kGetSize =
    decl<ptr(2), ptr(4), count(3), size(1),
         code(0, haar_type_ok, qpxStatusBadDataType, qpx32f, qpx8u, qpx16s, qpx64f, 3)>;
// (spec, feature, weight, threshold, val1, val2, num, length)
constexpr const Decl& kInit =
    decl<ptr(0), ptr(1), ptr(2), ptr(3), ptr(4), ptr(5), ptr(6), count(7)>;
// (mask, flag, spec)
constexpr const Decl& kTilt = decl<ptr(0), ptr(2)>;
// (spec, pSize)
constexpr const Decl& kWindow = decl<ptr(0), ptr(1)>;
// (src, srcStep, norm, normStep, mask, maskStep, roi, pPositive, threshold, spec[, scale])
template <class J, class N>
constexpr const Decl& kApply = decl<ptr(0), ptr(2), ptr(4), ptr(7), ptr(9), size(6), step<J>(1, 6),
                                    step<N>(3, 6), step<u8>(5, 6)>;
constexpr const Decl& kApplySfs =
    decl<ptr(0), ptr(2), ptr(4), ptr(7), ptr(9), size(6), step<i32>(1, 6), step<i32>(3, 6),
         step<u8>(5, 6), code(10, scale_ok, qpxStatusBadArgument, 0, 1, 31, INT_MAX, 3)>;
// (src, srcStep, tilt, tiltStep, norm, normStep, mask, maskStep, roi, pPositive, threshold,
//  spec[, scale])
template <class J, class N>
constexpr const Decl& kMixed = decl<ptr(0), ptr(2), ptr(4), ptr(6), ptr(9), ptr(11), size(8),
                                    step<J>(1, 8), step<J>(3, 8), step<N>(5, 8), step<u8>(7, 8)>;
constexpr const Decl& kMixedSfs =
    decl<ptr(0), ptr(2), ptr(4), ptr(6), ptr(9), ptr(11), size(8), step<i32>(1, 8), step<i32>(3, 8),
         step<i32>(5, 8), step<u8>(7, 8),
         code(12, scale_ok, qpxStatusBadArgument, 0, 1, 31, INT_MAX, 3)>;

// Every count at least 1, and the total within 32 bits.
qpxStatus counts_ok(const int* num, int length) {
    std::int64_t total = 0;
    for (int i = 0; i < length; ++i) {
        if (num[i] < 1) return qpxStatusBadSize;
        total += num[i];
    }
    return total > INT_MAX ? qpxStatusBadSize : qpxStatusOk;
}

qpxStatus get_size(int dataType, qpxSize roi, const int* num, int length, int* pSize) {
    if (qpxStatus st = check_args(kGetSizeCounts, dataType, roi, num, length, pSize)) return st;
    if (qpxStatus st = counts_ok(num, length)) return st;
    if (qpxStatus st = check_args(kGetSize, dataType, roi, num, length, pSize)) return st;
    std::int64_t total = 0;
    for (int i = 0; i < length; ++i) total += num[i];
    const std::int64_t size = haar_reported_size(dataType, roi, length, total);
    // A spec beyond 32 bits cannot be described to the caller.
    if (size > INT_MAX) return qpxStatusBadSize;
    *pSize = int(size);
    return qpxStatusOk;
}

template <class V>
qpxStatus init(void* spec, const qpxRect* feature, const V* weight, const V* threshold,
               const V* val1, const V* val2, const int* num, int length, bool tilted) {
    qpxStatus st = check_args(kInit, spec, feature, weight, threshold, val1, val2, num, length);
    if (st) return st;
    if ((st = counts_ok(num, length))) return st;
    return haar_init<V>(spec, feature, weight, threshold, val1, val2, num, length, tilted);
}

const HaarHeader* header(const void* spec) {
    return reinterpret_cast<const HaarHeader*>(haar_records(0, 0).carve(spec)[0]);
}

// The stage on `src` (and `tilt`, moved one row down and one column right, for the mixed forms).
template <class J, class V, class N, class S>
qpxStatus apply(const J* src, int srcStep, const J* tilt, int tiltStep, const N* norm, int normStep,
                u8* mask, int maskStep, qpxSize roi, int* pPositive, S threshold, void* spec,
                int scaleFactor) {
    if (header(spec)->work == nullptr) return qpxStatusNullPointer;
    HaarImages<J, N> im{view(src, srcStep, roi), view(src, srcStep, roi), view(norm, normStep, roi),
                        view(mask, maskStep, roi)};
    if (tilt) im.tilt = view(row(tilt, tiltStep, 1) + 1, tiltStep, roi);
    // The shift is -scaleFactor, formed without overflow at INT_MIN.
    const unsigned shift = 0u - unsigned(scaleFactor);
    const int scale = shift > 64u ? 64 : int(shift);
    const HaarKernels& k = haar_kernels();
    if constexpr (std::is_same_v<N, std::int32_t>)
        *pPositive = k.apply_32s(im, threshold, spec, *pPositive, scale, HaarStrategy::Hint);
    else if constexpr (std::is_same_v<J, std::int32_t>)
        *pPositive = k.apply_32s32f(im, threshold, spec, *pPositive, scale, HaarStrategy::Hint);
    else
        *pPositive = k.apply_32f(im, threshold, spec, *pPositive, scale, HaarStrategy::Hint);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::stats

using namespace qpx::stats;
using qpxHaar32f = qpxHaarClassifier_32f;
using qpxHaar32s = qpxHaarClassifier_32s;

QPX_DECLARE(qpxiHaarClassifierGetSize, kGetSize)
QPX_EXPORT qpxStatus qpxiHaarClassifierGetSize(int dataType, qpxSize roiSize, const int* num,
                                               int length, int* pSize) {
    return get_size(dataType, roiSize, num, length, pSize);
}

// clang-format off
#define QPX_HAAR_INIT(name, V, Spec, tilted)                                                     \
    QPX_DECLARE(name, kInit)                                                                     \
    QPX_EXPORT qpxStatus name(Spec* pState, const qpxRect* pFeature, const V* pWeight,           \
                              const V* pThreshold, const V* pVal1, const V* pVal2,               \
                              const int* pNum, int length) {                                     \
        return init<V>(pState, pFeature, pWeight, pThreshold, pVal1, pVal2, pNum, length,        \
                       tilted);                                                                  \
    }
QPX_HAAR_INIT(qpxiHaarClassifierInit_32f, float, qpxHaar32f, false)
QPX_HAAR_INIT(qpxiHaarClassifierInit_32s, std::int32_t, qpxHaar32s, false)
QPX_HAAR_INIT(qpxiTiltedHaarClassifierInit_32f, float, qpxHaar32f, true)
QPX_HAAR_INIT(qpxiTiltedHaarClassifierInit_32s, std::int32_t, qpxHaar32s, true)

#define QPX_HAAR_TILT(name, V, Spec)                                                             \
    QPX_DECLARE(name, kTilt)                                                                     \
    QPX_EXPORT qpxStatus name(const u8* pMask, int flag, Spec* pState) {                         \
        if (qpxStatus st = check_args(kTilt, pMask, flag, pState)) return st;                    \
        return haar_tilt<V>(pMask, flag, pState);                                                \
    }
QPX_HAAR_TILT(qpxiTiltHaarFeatures_32f, float, qpxHaar32f)
QPX_HAAR_TILT(qpxiTiltHaarFeatures_32s, std::int32_t, qpxHaar32s)

#define QPX_HAAR_WINDOW(name, V, Spec)                                                           \
    QPX_DECLARE(name, kWindow)                                                                   \
    QPX_EXPORT qpxStatus name(Spec* pState, qpxSize* pSize) {                                    \
        if (qpxStatus st = check_args(kWindow, pState, pSize)) return st;                        \
        *pSize = haar_window<V>(pState);                                                         \
        return qpxStatusOk;                                                                      \
    }
QPX_HAAR_WINDOW(qpxiGetHaarClassifierSize_32f, float, qpxHaar32f)
QPX_HAAR_WINDOW(qpxiGetHaarClassifierSize_32s, std::int32_t, qpxHaar32s)
// clang-format on

QPX_DECLARE(qpxiApplyHaarClassifier_32f_C1R, (kApply<float, float>))
QPX_EXPORT qpxStatus qpxiApplyHaarClassifier_32f_C1R(const float* pSrc, int srcStep,
                                                     const float* pNorm, int normStep, u8* pMask,
                                                     int maskStep, qpxSize roiSize, int* pPositive,
                                                     float threshold, qpxHaar32f* pState) {
    if (qpxStatus st = check_args(kApply<float, float>, pSrc, srcStep, pNorm, normStep, pMask,
                                  maskStep, roiSize, pPositive, threshold, pState))
        return st;
    return apply<float, float, float, float>(pSrc, srcStep, nullptr, 0, pNorm, normStep, pMask,
                                             maskStep, roiSize, pPositive, threshold, pState, 0);
}

QPX_DECLARE(qpxiApplyHaarClassifier_32s32f_C1R, (kApply<i32, float>))
QPX_EXPORT qpxStatus qpxiApplyHaarClassifier_32s32f_C1R(const i32* pSrc, int srcStep,
                                                        const float* pNorm, int normStep, u8* pMask,
                                                        int maskStep, qpxSize roiSize,
                                                        int* pPositive, float threshold,
                                                        qpxHaar32f* pState) {
    if (qpxStatus st = check_args(kApply<i32, float>, pSrc, srcStep, pNorm, normStep, pMask,
                                  maskStep, roiSize, pPositive, threshold, pState))
        return st;
    return apply<i32, float, float, float>(pSrc, srcStep, nullptr, 0, pNorm, normStep, pMask,
                                           maskStep, roiSize, pPositive, threshold, pState, 0);
}

QPX_DECLARE(qpxiApplyHaarClassifier_32s_C1RSfs, kApplySfs)
QPX_EXPORT qpxStatus qpxiApplyHaarClassifier_32s_C1RSfs(const i32* pSrc, int srcStep,
                                                        const i32* pNorm, int normStep, u8* pMask,
                                                        int maskStep, qpxSize roiSize,
                                                        int* pPositive, i32 threshold,
                                                        qpxHaar32s* pState, int scaleFactor) {
    if (qpxStatus st = check_args(kApplySfs, pSrc, srcStep, pNorm, normStep, pMask, maskStep,
                                  roiSize, pPositive, threshold, pState, scaleFactor))
        return st;
    return apply<i32, i32, i32, i32>(pSrc, srcStep, nullptr, 0, pNorm, normStep, pMask, maskStep,
                                     roiSize, pPositive, threshold, pState, scaleFactor);
}

QPX_DECLARE(qpxiApplyMixedHaarClassifier_32f_C1R, (kMixed<float, float>))
QPX_EXPORT qpxStatus qpxiApplyMixedHaarClassifier_32f_C1R(const float* pSrc, int srcStep,
                                                          const float* pTilt, int tiltStep,
                                                          const float* pNorm, int normStep,
                                                          u8* pMask, int maskStep, qpxSize roiSize,
                                                          int* pPositive, float threshold,
                                                          qpxHaar32f* pState) {
    if (qpxStatus st = check_args(kMixed<float, float>, pSrc, srcStep, pTilt, tiltStep, pNorm,
                                  normStep, pMask, maskStep, roiSize, pPositive, threshold, pState))
        return st;
    return apply<float, float, float, float>(pSrc, srcStep, pTilt, tiltStep, pNorm, normStep, pMask,
                                             maskStep, roiSize, pPositive, threshold, pState, 0);
}

QPX_DECLARE(qpxiApplyMixedHaarClassifier_32s32f_C1R, (kMixed<i32, float>))
QPX_EXPORT qpxStatus qpxiApplyMixedHaarClassifier_32s32f_C1R(
    const i32* pSrc, int srcStep, const i32* pTilt, int tiltStep, const float* pNorm, int normStep,
    u8* pMask, int maskStep, qpxSize roiSize, int* pPositive, float threshold, qpxHaar32f* pState) {
    if (qpxStatus st = check_args(kMixed<i32, float>, pSrc, srcStep, pTilt, tiltStep, pNorm,
                                  normStep, pMask, maskStep, roiSize, pPositive, threshold, pState))
        return st;
    return apply<i32, float, float, float>(pSrc, srcStep, pTilt, tiltStep, pNorm, normStep, pMask,
                                           maskStep, roiSize, pPositive, threshold, pState, 0);
}

QPX_DECLARE(qpxiApplyMixedHaarClassifier_32s_C1RSfs, kMixedSfs)
QPX_EXPORT qpxStatus qpxiApplyMixedHaarClassifier_32s_C1RSfs(
    const i32* pSrc, int srcStep, const i32* pTilt, int tiltStep, const i32* pNorm, int normStep,
    u8* pMask, int maskStep, qpxSize roiSize, int* pPositive, i32 threshold, qpxHaar32s* pState,
    int scaleFactor) {
    if (qpxStatus st = check_args(kMixedSfs, pSrc, srcStep, pTilt, tiltStep, pNorm, normStep, pMask,
                                  maskStep, roiSize, pPositive, threshold, pState, scaleFactor))
        return st;
    return apply<i32, i32, i32, i32>(pSrc, srcStep, pTilt, tiltStep, pNorm, normStep, pMask,
                                     maskStep, roiSize, pPositive, threshold, pState, scaleFactor);
}
