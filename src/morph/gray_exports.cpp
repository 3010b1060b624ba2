// Exports of grey-scale erosion and dilation.
#include "frame/check.hpp"
#include "morph/gray.hpp"

namespace qpx::morph {
namespace {

template <class V>
qpxStatus get_size(qpxSize roi, const V* values, qpxSize mask, int* specSize) {
    if (qpxStatus st = Check().ptrs(values, specSize).size(roi).size(mask)) return st;
    *specSize = static_cast<int>(gray_spec_size(mask.width, mask.height));
    return qpxStatusOk;
}

template <class V>
qpxStatus init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize mask,
               qpxPoint anchor) {
    qpxStatus st = Check()
                       .ptrs(values, spec)
                       .size(roi)
                       .size(mask)
                       .require(anchor.x >= 0 && anchor.x < mask.width && anchor.y >= 0 &&
                                    anchor.y < mask.height,
                                qpxStatusBadAnchor);
    if (st) return st;
    gray_init<V>(spec, roi, values, mask, anchor);
    return qpxStatusOk;
}

template <class T, bool dilate>
qpxStatus apply(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, qpxBorderType border,
                const qpxMorphGrayState* spec) {
    // Only the ROI takes part, which is what replication is accepted as.
    qpxStatus st = Check()
                       .ptrs(src, dst, spec)
                       .size(roi)
                       .steps({stepOf<T>(srcStep, roi.width), stepOf<T>(dstStep, roi.width)});
    if (st) return st;
    st = Check()
             .require(border == qpxBorderRepl, qpxStatusBadArgument)
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
QPX_EXPORT qpxStatus qpxiMorphGrayGetSize_8u_C1R(qpxSize roi, const std::int32_t* values, qpxSize mask, int* size) { return get_size(roi, values, mask, size); }
QPX_EXPORT qpxStatus qpxiMorphGrayGetSize_32f_C1R(qpxSize roi, const float* values, qpxSize mask, int* size) { return get_size(roi, values, mask, size); }
QPX_EXPORT qpxStatus qpxiMorphGrayInit_8u_C1R(qpxMorphGrayState* spec, qpxSize roi, const std::int32_t* values, qpxSize mask, qpxPoint anchor) { return init(spec, roi, values, mask, anchor); }
QPX_EXPORT qpxStatus qpxiMorphGrayInit_32f_C1R(qpxMorphGrayState* spec, qpxSize roi, const float* values, qpxSize mask, qpxPoint anchor) { return init(spec, roi, values, mask, anchor); }
QPX_EXPORT qpxStatus qpxiGrayErodeBorder_8u_C1R(const u8* src, int srcStep, u8* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<u8, false>(src, srcStep, dst, dstStep, roi, b, spec); }
QPX_EXPORT qpxStatus qpxiGrayDilateBorder_8u_C1R(const u8* src, int srcStep, u8* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<u8, true>(src, srcStep, dst, dstStep, roi, b, spec); }
QPX_EXPORT qpxStatus qpxiGrayErodeBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<float, false>(src, srcStep, dst, dstStep, roi, b, spec); }
QPX_EXPORT qpxStatus qpxiGrayDilateBorder_32f_C1R(const float* src, int srcStep, float* dst, int dstStep, qpxSize roi, qpxBorderType b, const qpxMorphGrayState* spec) { return apply<float, true>(src, srcStep, dst, dstStep, roi, b, spec); }
// clang-format on
