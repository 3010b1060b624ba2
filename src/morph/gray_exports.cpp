// Exports of grey-scale erosion and dilation.
#include "frame/check.hpp"
#include "frame/decl.hpp"
#include "morph/gray.hpp"

namespace qpx::morph {
namespace {

// (roi, values, mask, specSize)
constexpr const Decl& kGraySize = decl<ptr(1), ptr(3), size(0), size(2)>;
// The anchor (a point) lies inside the mask just before it.
constexpr Rule anchor_ok = [](const Val* a, int k) {
    return a[k].i >= 0 && a[k].i < a[k - 1].i && a[k].h >= 0 && a[k].h < a[k - 1].h;
};
// (spec, roi, values, mask, anchor)
constexpr const Decl& kGrayInit =
    decl<ptr(2), ptr(0), size(1), size(3), code(4, anchor_ok, qpxStatusBadAnchor, 1, -1, 99, 0, 2)>;
// Only the ROI takes part, which is what replication is accepted as.
constexpr Rule replicate = [](const Val* a, int k) { return a[k].i == qpxBorderRepl; };
// (src, srcStep, dst, dstStep, roi, border, spec); the spec's own tests follow.
template <class T>
constexpr const Decl& kGray =
    decl<ptr(0), ptr(2), ptr(6), size(4), step<T>(1, 4), step<T>(3, 4),
         code(5, replicate, qpxStatusBadArgument, qpxBorderRepl, 0, 6, 0, 2)>;

template <class V>
qpxStatus get_size(qpxSize roi, const V* values, qpxSize mask, int* specSize) {
    if (qpxStatus st = check_args(kGraySize, roi, values, mask, specSize)) return st;
    *specSize = static_cast<int>(gray_spec_size(mask.width, mask.height));
    return qpxStatusOk;
}

template <class V>
qpxStatus init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize mask,
               qpxPoint anchor) {
    qpxStatus st = check_args(kGrayInit, spec, roi, values, mask, anchor);
    if (st) return st;
    gray_init<V>(spec, roi, values, mask, anchor);
    return qpxStatusOk;
}

template <class T, bool dilate>
qpxStatus apply(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, qpxBorderType border,
                const qpxMorphGrayState* spec) {
    qpxStatus st = check_args(kGray<T>, src, srcStep, dst, dstStep, roi, border, spec);
    if (st) return st;
    st = Check()
             .require(roi.width <= gray_header(spec).roiW && roi.height <= gray_header(spec).roiH,
                      qpxStatusBadSize)
             // There is no work buffer: rows too wide for the in-place ring are refused rather
             // than computed from overwritten pixels.
             .require(static_cast<const void*>(src) != static_cast<const void*>(dst) ||
                          srcStep != dstStep || gray_fits_in_place(spec, roi.width, sizeof(T)),
                      qpxStatusInPlaceNotSupported);
    if (st) return st;
    gray_morph<T, dilate>(cpu_target(), view(src, srcStep, roi), view(dst, dstStep, roi), spec);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using namespace qpx::morph;
using u8 = std::uint8_t;

// clang-format off
QPX_DECLARE(qpxiMorphGrayGetSize_8u_C1R, kGraySize)
QPX_EXPORT qpxStatus qpxiMorphGrayGetSize_8u_C1R(qpxSize roi, const std::int32_t* values, qpxSize mask, int* size) { return get_size(roi, values, mask, size); }
QPX_DECLARE(qpxiMorphGrayGetSize_32f_C1R, kGraySize)
QPX_EXPORT qpxStatus qpxiMorphGrayGetSize_32f_C1R(qpxSize roi, const float* values, qpxSize mask, int* size) { return get_size(roi, values, mask, size); }
QPX_DECLARE(qpxiMorphGrayInit_8u_C1R, kGrayInit)
QPX_EXPORT qpxStatus qpxiMorphGrayInit_8u_C1R(qpxMorphGrayState* spec, qpxSize roi, const std::int32_t* values, qpxSize mask, qpxPoint anchor) { return init(spec, roi, values, mask, anchor); }
QPX_DECLARE(qpxiMorphGrayInit_32f_C1R, kGrayInit)
QPX_EXPORT qpxStatus qpxiMorphGrayInit_32f_C1R(qpxMorphGrayState* spec, qpxSize roi, const float* values, qpxSize mask, qpxPoint anchor) { return init(spec, roi, values, mask, anchor); }
QPX_DECLARE(qpxiGrayErodeBorder_8u_C1R, kGray<u8>)
QPX_EXPORT qpxStatus qpxiGrayErodeBorder_8u_C1R(const u8* src, int srcStep, u8* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<u8, false>(src, srcStep, dst, dstStep, roi, b, spec); }
QPX_DECLARE(qpxiGrayDilateBorder_8u_C1R, kGray<u8>)
QPX_EXPORT qpxStatus qpxiGrayDilateBorder_8u_C1R(const u8* src, int srcStep, u8* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<u8, true>(src, srcStep, dst, dstStep, roi, b, spec); }
QPX_DECLARE(qpxiGrayErodeBorder_32f_C1R, kGray<float>)
QPX_EXPORT qpxStatus qpxiGrayErodeBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<float, false>(src, srcStep, dst, dstStep, roi, b, spec); }
QPX_DECLARE(qpxiGrayDilateBorder_32f_C1R, kGray<float>)
QPX_EXPORT qpxStatus qpxiGrayDilateBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<float, true>(src, srcStep, dst, dstStep, roi, b, spec); }
// clang-format on
