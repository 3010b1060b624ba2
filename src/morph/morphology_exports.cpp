// Exports of erosion and dilation: the 32-bit MorphologyBorder family and the 64-bit family.
// Each form checks its arguments once here; every export is one line.
#include <climits>

#include "frame/border.hpp"
#include "frame/check.hpp"
#include "morph/morph_engine.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// ---- 32-bit family: sizes and init ------------------------------------------------------------

template <class T, int C>
qpxStatus get_size(qpxSize roi, qpxSize mask, int* specSize, int* bufferSize) {
    if (qpxStatus st = Check().ptrs(specSize, bufferSize).size(roi).size(mask)) return st;
    *specSize = static_cast<int>(spec_size(mask.width, mask.height));
    *bufferSize = static_cast<int>(
        buffer_size(roi.width, roi.height, mask.width, mask.height, int(sizeof(T)), C));
    return qpxStatusOk;
}

qpxStatus get_size_1u(qpxSize roi, qpxSize mask, int* specSize, int* bufferSize) {
    if (qpxStatus st = Check().ptrs(specSize, bufferSize).size(roi).size(mask)) return st;
    *specSize = static_cast<int>(spec_size_1u(mask.width, mask.height));
    *bufferSize = static_cast<int>(buffer_size_1u(roi.width, roi.height, mask.width, mask.height));
    return qpxStatusOk;
}

template <bool oneBit>
qpxStatus init(qpxSize roi, const u8* mask, qpxSize maskSize, qpxMorphState* spec, u8* buffer) {
    if (qpxStatus st = Check().ptrs(mask, spec, buffer).size(roi).size(maskSize)) return st;
    if constexpr (oneBit)
        init_spec_1u(spec, mask, maskSize);
    else
        init_spec(spec, mask, maskSize);
    return qpxStatusOk;
}

// ---- apply ------------------------------------------------------------------------------------

// The checks every element-type apply function makes, 32- and 64-bit alike.
template <class T, int C, bool wide>
qpxStatus check_apply(const T* src, std::int64_t srcStep, const T* dst, std::int64_t dstStep,
                      qpxSizeL roi, std::uint32_t border, const T* value, const void* spec,
                      const u8* buffer, std::uint32_t* effective) {
    const bool constNull = C > 1 && (border & 15u) == kBorderConst && value == nullptr;
    Check c;
    c.require(!constNull, qpxStatusNullPointer).ptrs(src, dst, spec, buffer).size(roi);
    if (wide) c.fits32(roi, srcStep, dstStep);
    c.steps({stepOf<T>(srcStep, roi.width, C), stepOf<T>(dstStep, roi.width, C)})
        .require(accept_morph_border(border, effective), qpxStatusBadBorder);
    return c;
}

template <class T, int C>
qpxStatus apply_border(Op op, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                       std::uint32_t border, const T* value, const qpxMorphState* spec,
                       u8* buffer) {
    std::uint32_t eff = 0;
    const qpxSizeL r{roi.width, roi.height};
    if (qpxStatus st = check_apply<T, C, false>(src, srcStep, dst, dstStep, r, border, value, spec,
                                                buffer, &eff))
        return st;
    apply<T, C>(cpu_target(), op, src, srcStep, dst, dstStep, roi.width, roi.height, eff, value,
                spec, buffer);
    return qpxStatusOk;
}

template <class T, int C>
qpxStatus apply_l(Op op, const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep,
                  qpxSizeL roi, std::uint32_t border, const T* value, const qpxMorphStateL* spec,
                  u8* buffer) {
    std::uint32_t eff = 0;
    if (qpxStatus st = check_apply<T, C, true>(src, srcStep, dst, dstStep, roi, border, value, spec,
                                               buffer, &eff))
        return st;
    apply<T, C>(cpu_target(), op, src, srcStep, dst, dstStep, roi.width, roi.height, eff, value,
                general_part(spec), buffer);
    return qpxStatusOk;
}

template <bool wide>
qpxStatus check_1u(const u8* src, std::int64_t srcStep, int srcOff, const u8* dst,
                   std::int64_t dstStep, int dstOff, qpxSizeL roi, std::uint32_t border,
                   const void* spec, const u8* buffer, std::uint32_t* effective) {
    const std::int64_t rowBytes = bit_row_bytes(roi.width);
    Check c;
    c.ptrs(src, dst, spec, buffer).size(roi).require(srcOff >= 0 && dstOff >= 0, qpxStatusBadSize);
    if (wide) c.fits32(roi, srcStep, dstStep);
    return c.steps({{srcStep, rowBytes, 1}, {dstStep, rowBytes, 1}})
        .require(accept_morph_border(border, effective) && (border & 15u) != kBorderMirror,
                 qpxStatusBadBorder)
        .distinct(src, dst);
}

qpxStatus apply_border_1u(Op op, const u8* src, int srcStep, int srcOff, u8* dst, int dstStep,
                          int dstOff, qpxSize roi, std::uint32_t border, u8 value,
                          const qpxMorphState* spec, u8* buffer) {
    std::uint32_t eff = 0;
    const qpxSizeL r{roi.width, roi.height};
    if (qpxStatus st = check_1u<false>(src, srcStep, srcOff, dst, dstStep, dstOff, r, border, spec,
                                       buffer, &eff))
        return st;
    apply_1u(cpu_target(), op, src, srcStep, srcOff, dst, dstStep, dstOff, roi.width, roi.height,
             eff, value, spec, buffer);
    return qpxStatusOk;
}

qpxStatus apply_l_1u(Op op, const u8* src, std::int64_t srcStep, int srcOff, u8* dst,
                     std::int64_t dstStep, int dstOff, qpxSizeL roi, std::uint32_t border, u8 value,
                     const qpxMorphStateL* spec, u8* buffer) {
    std::uint32_t eff = 0;
    if (qpxStatus st = check_1u<true>(src, srcStep, srcOff, dst, dstStep, dstOff, roi, border, spec,
                                      buffer, &eff))
        return st;
    apply_1u(cpu_target(), op, src, srcStep, srcOff, dst, dstStep, dstOff, roi.width, roi.height,
             eff, value, onebit_part(spec), buffer);
    return qpxStatusOk;
}

// ---- 64-bit family: sizes and init --------------------------------------------------------------

qpxStatus get_spec_size_l(qpxSizeL roi, qpxSizeL mask, std::int64_t* specSize) {
    if (qpxStatus st = Check().ptrs(specSize).fits32(roi).fits32(mask).size(roi).size(mask))
        return st;
    *specSize = spec_size_l(roi.width, roi.height, mask.width, mask.height);
    return qpxStatusOk;
}

qpxStatus get_buffer_size_l(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels,
                            std::int64_t* bufferSize) {
    const int s = morph_elem_size(type);
    if (qpxStatus st =
            Check()
                .ptrs(bufferSize)
                .fits32(roi)
                .fits32(mask)
                .size(roi)
                .size(mask)
                .require(s != 0, qpxStatusBadDataType)
                .require(channels == 1 || channels == 3 || channels == 4, qpxStatusBadChannel))
        return st;
    const std::int64_t general =
        buffer_size(roi.width, roi.height, mask.width, mask.height, s, channels);
    const std::int64_t bits = buffer_size_1u(roi.width, roi.height, mask.width, mask.height);
    *bufferSize = general > bits ? general : bits;
    return qpxStatusOk;
}

qpxStatus init_l(qpxSizeL roi, const u8* mask, qpxSizeL maskSize, qpxMorphStateL* spec) {
    if (qpxStatus st =
            Check().ptrs(mask, spec).size(roi).size(maskSize).fits32(roi).fits32(maskSize))
        return st;
    init_spec_l(spec, roi, mask, {int(maskSize.width), int(maskSize.height)});
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using namespace qpx::morph;
using qpx::morph::Op;

// clang-format off
#define QPX_MORPH_TYPED(tag, T, C, VT, VAL)                                                                         \
    QPX_EXPORT qpxStatus qpxiMorphologyBorderGetSize_##tag(qpxSize roi, qpxSize mask, int* spec, int* buf) {       \
        return get_size<T, C>(roi, mask, spec, buf); }                                                               \
    QPX_EXPORT qpxStatus qpxiMorphologyBorderInit_##tag(qpxSize roi, const u8* mask, qpxSize ms, qpxMorphState* spec, u8* buf) { \
        return init<false>(roi, mask, ms, spec, buf); }                                                              \
    QPX_EXPORT qpxStatus qpxiDilateBorder_##tag(const T* src, int ss, T* dst, int ds, qpxSize roi, qpxBorderType b, VT v, const qpxMorphState* spec, u8* buf) { \
        return apply_border<T, C>(Op::Dilate, src, ss, dst, ds, roi, b, VAL, spec, buf); }                           \
    QPX_EXPORT qpxStatus qpxiErodeBorder_##tag(const T* src, int ss, T* dst, int ds, qpxSize roi, qpxBorderType b, VT v, const qpxMorphState* spec, u8* buf) { \
        return apply_border<T, C>(Op::Erode, src, ss, dst, ds, roi, b, VAL, spec, buf); }                            \
    QPX_EXPORT qpxStatus qpxiDilate_##tag##_L(const T* src, std::int64_t ss, T* dst, std::int64_t ds, qpxSizeL roi, qpxBorderType b, VT v, const qpxMorphStateL* spec, u8* buf) { \
        return apply_l<T, C>(Op::Dilate, src, ss, dst, ds, roi, b, VAL, spec, buf); }                                \
    QPX_EXPORT qpxStatus qpxiErode_##tag##_L(const T* src, std::int64_t ss, T* dst, std::int64_t ds, qpxSizeL roi, qpxBorderType b, VT v, const qpxMorphStateL* spec, u8* buf) { \
        return apply_l<T, C>(Op::Erode, src, ss, dst, ds, roi, b, VAL, spec, buf); }

QPX_MORPH_TYPED(8u_C1R, u8, 1, u8, &v)
QPX_MORPH_TYPED(8u_C3R, u8, 3, const u8*, v)
QPX_MORPH_TYPED(8u_C4R, u8, 4, const u8*, v)
QPX_MORPH_TYPED(16u_C1R, u16, 1, u16, &v)
QPX_MORPH_TYPED(16s_C1R, s16, 1, s16, &v)
QPX_MORPH_TYPED(32f_C1R, float, 1, float, &v)
QPX_MORPH_TYPED(32f_C3R, float, 3, const float*, v)
QPX_MORPH_TYPED(32f_C4R, float, 4, const float*, v)
#undef QPX_MORPH_TYPED

QPX_EXPORT qpxStatus qpxiMorphologyBorderGetSize_1u_C1R(qpxSize roi, qpxSize mask, int* spec, int* buf) { return get_size_1u(roi, mask, spec, buf); }
QPX_EXPORT qpxStatus qpxiMorphologyBorderInit_1u_C1R(qpxSize roi, const u8* mask, qpxSize ms, qpxMorphState* spec, u8* buf) { return init<true>(roi, mask, ms, spec, buf); }
QPX_EXPORT qpxStatus qpxiDilateBorder_1u_C1R(const u8* src, int ss, int so, u8* dst, int ds, int dof, qpxSize roi, qpxBorderType b, u8 v, const qpxMorphState* spec, u8* buf) { return apply_border_1u(Op::Dilate, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }
QPX_EXPORT qpxStatus qpxiErodeBorder_1u_C1R(const u8* src, int ss, int so, u8* dst, int ds, int dof, qpxSize roi, qpxBorderType b, u8 v, const qpxMorphState* spec, u8* buf) { return apply_border_1u(Op::Erode, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }
QPX_EXPORT qpxStatus qpxiDilate_1u_C1R_L(const u8* src, std::int64_t ss, int so, u8* dst, std::int64_t ds, int dof, qpxSizeL roi, qpxBorderType b, u8 v, const qpxMorphStateL* spec, u8* buf) { return apply_l_1u(Op::Dilate, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }
QPX_EXPORT qpxStatus qpxiErode_1u_C1R_L(const u8* src, std::int64_t ss, int so, u8* dst, std::int64_t ds, int dof, qpxSizeL roi, qpxBorderType b, u8 v, const qpxMorphStateL* spec, u8* buf) { return apply_l_1u(Op::Erode, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }

QPX_EXPORT qpxStatus qpxiErodeGetSpecSize_L(qpxSizeL roi, qpxSizeL mask, std::int64_t* size) { return get_spec_size_l(roi, mask, size); }
QPX_EXPORT qpxStatus qpxiDilateGetSpecSize_L(qpxSizeL roi, qpxSizeL mask, std::int64_t* size) { return get_spec_size_l(roi, mask, size); }
QPX_EXPORT qpxStatus qpxiErodeGetBufferSize_L(qpxSizeL roi, qpxSizeL mask, qpxDataType t, int ch, std::int64_t* size) { return get_buffer_size_l(roi, mask, t, ch, size); }
QPX_EXPORT qpxStatus qpxiDilateGetBufferSize_L(qpxSizeL roi, qpxSizeL mask, qpxDataType t, int ch, std::int64_t* size) { return get_buffer_size_l(roi, mask, t, ch, size); }
QPX_EXPORT qpxStatus qpxiErodeInit_L(qpxSizeL roi, const u8* mask, qpxSizeL ms, qpxMorphStateL* spec) { return init_l(roi, mask, ms, spec); }
QPX_EXPORT qpxStatus qpxiDilateInit_L(qpxSizeL roi, const u8* mask, qpxSizeL ms, qpxMorphStateL* spec) { return init_l(roi, mask, ms, spec); }
// clang-format on
