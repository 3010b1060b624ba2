// Exports of erosion and dilation: the 32-bit MorphologyBorder family and the 64-bit family.
// Each form checks its arguments once here; every export is one line.
#include <climits>

#include "frame/border.hpp"
#include "frame/decl.hpp"
#include "morph/morph_engine.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

constexpr Rule morph_border = [](const Val* a, int k) {
    std::uint32_t effective = 0;
    return accept_morph_border(std::uint32_t(a[k].i), &effective);
};
// Bit images have no mirror.
constexpr Rule morph_border_1u = [](const Val* a, int k) {
    std::uint32_t effective = 0;
    return accept_morph_border(std::uint32_t(a[k].i), &effective) && (a[k].i & 15) != kBorderMirror;
};
// A constant border (at k - 1) of a multi-channel call needs its values.
constexpr Rule values_given = [](const Val* a, int k) {
    return (a[k - 1].i & 15) != kBorderConst || a[k].i != 0;
};
constexpr Rule nonnegative = [](const Val* a, int k) { return a[k].i >= 0; };
constexpr Rule known_type = [](const Val* a, int k) {
    return morph_elem_size(qpxDataType(a[k].i)) != 0;
};
constexpr Rule channels_ok = [](const Val* a, int k) {
    return a[k].i == 1 || a[k].i == 3 || a[k].i == 4;
};

// (roi, mask, specSize, bufferSize)
constexpr const Decl& kGetSize = decl<ptr(2), ptr(3), size(0), size(1)>;
// (roi, mask, maskSize, spec, buffer)
constexpr const Decl& kInit = decl<ptr(1), ptr(3), ptr(4), size(0), size(2)>;

// (src, srcStep, dst, dstStep, roi, border, value(s), spec, buffer). The values of a
// multi-channel call come first; the 64-bit form tests the 32-bit range after the size.
#define QPX_APPLY(T, C, ...)                                                                 \
    ptr(0), ptr(2), ptr(7), ptr(8), size(4), __VA_ARGS__ step<T>(1, 4, C), step<T>(3, 4, C), \
        border(5, morph_border, kBorderConst, 2, 0x1001, 0x72)
#define QPX_LIMITS(roi, s1, s2) limit32(roi), limit32(roi, 1), limit32(s1), limit32(s2),
#define QPX_VALUES code(6, values_given, qpxStatusNullPointer, 0, 0, 0, 0, 1)
template <class T, int C, Form F>
constexpr const Decl& kApply =
    C == 1 ? (F == Form::Wide ? decl<QPX_APPLY(T, C, QPX_LIMITS(4, 1, 3))> : decl<QPX_APPLY(T, C)>)
           : (F == Form::Wide ? decl<QPX_VALUES, QPX_APPLY(T, C, QPX_LIMITS(4, 1, 3))>
                              : decl<QPX_VALUES, QPX_APPLY(T, C)>);
// (src, srcStep, srcBitOffset, dst, dstStep, dstBitOffset, roi, border, value, spec, buffer)
#define QPX_APPLY_1U(...)                                                                     \
    ptr(0), ptr(3), ptr(9), ptr(10), size(6),                                                 \
        code(2, nonnegative, qpxStatusBadSize, 0, -1, 0, 0, 1),                               \
        code(5, nonnegative, qpxStatusBadSize, 0, -1, 0, 0, 1), __VA_ARGS__ step(1, 6, 0, 1), \
        step(4, 6, 0, 1), border(7, morph_border_1u, kBorderConst, 3, 0x1001, 0x72),          \
        distinct(0, 3)
template <Form F>
constexpr const Decl& kApply1u =
    F == Form::Wide ? decl<QPX_APPLY_1U(QPX_LIMITS(6, 1, 4))> : decl<QPX_APPLY_1U()>;
#undef QPX_APPLY
#undef QPX_APPLY_1U
#undef QPX_VALUES

// (roi, mask, specSize)
constexpr const Decl& kSpecSizeL =
    decl<ptr(2), limit32(0), limit32(0, 1), limit32(1), limit32(1, 1), size(0), size(1)>;
// (roi, mask, dataType, numChannels, bufferSize)
constexpr const Decl& kBufferSizeL =
    decl<ptr(4), limit32(0), limit32(0, 1), limit32(1), limit32(1, 1), size(0), size(1),
         code(2, known_type, qpxStatusBadDataType, qpx8u, qpx32s, 99, 0, 2),
         code(3, channels_ok, qpxStatusBadChannel, 1, 2, 0, 0, 2)>;
// (roi, mask, maskSize, spec)
constexpr const Decl& kInitL =
    decl<ptr(1), ptr(3), size(0), size(2), limit32(0), limit32(0, 1), limit32(2), limit32(2, 1)>;
#undef QPX_LIMITS

// ---- 32-bit family: sizes and init ------------------------------------------------------------

template <class T, int C>
qpxStatus get_size(qpxSize roi, qpxSize mask, int* specSize, int* bufferSize) {
    if (qpxStatus st = check_args(kGetSize, roi, mask, specSize, bufferSize)) return st;
    *specSize = static_cast<int>(spec_size(mask.width, mask.height));
    *bufferSize = static_cast<int>(
        buffer_size(roi.width, roi.height, mask.width, mask.height, int(sizeof(T)), C));
    return qpxStatusOk;
}

qpxStatus get_size_1u(qpxSize roi, qpxSize mask, int* specSize, int* bufferSize) {
    if (qpxStatus st = check_args(kGetSize, roi, mask, specSize, bufferSize)) return st;
    *specSize = static_cast<int>(spec_size_1u(mask.width, mask.height));
    *bufferSize = static_cast<int>(buffer_size_1u(roi.width, roi.height, mask.width, mask.height));
    return qpxStatusOk;
}

template <bool oneBit>
qpxStatus init(qpxSize roi, const u8* mask, qpxSize maskSize, qpxMorphState* spec, u8* buffer) {
    if (qpxStatus st = check_args(kInit, roi, mask, maskSize, spec, buffer)) return st;
    if constexpr (oneBit)
        init_spec_1u(spec, mask, maskSize);
    else
        init_spec(spec, mask, maskSize);
    return qpxStatusOk;
}

// ---- apply ------------------------------------------------------------------------------------

// The checks every element-type apply function makes, 32- and 64-bit alike, and the border
// code to work with.
template <class T, int C, Form F>
qpxStatus check_apply(const T* src, std::int64_t srcStep, const T* dst, std::int64_t dstStep,
                      qpxSizeL roi, std::uint32_t border, const T* value, const void* spec,
                      const u8* buffer, std::uint32_t* effective) {
    qpxStatus st =
        check_args(kApply<T, C, F>, src, srcStep, dst, dstStep, roi, border, value, spec, buffer);
    if (!st) accept_morph_border(border, effective);
    return st;
}

template <class T, int C>
qpxStatus apply_border(Op op, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                       std::uint32_t border, const T* value, const qpxMorphState* spec,
                       u8* buffer) {
    std::uint32_t eff = 0;
    const qpxSizeL r{roi.width, roi.height};
    if (qpxStatus st = check_apply<T, C, Form::Narrow>(src, srcStep, dst, dstStep, r, border, value,
                                                       spec, buffer, &eff))
        return st;
    apply<T, C>(cpu_target(), op, view(src, srcStep, roi, C), view(dst, dstStep, roi, C), eff,
                value, spec, buffer);
    return qpxStatusOk;
}

template <class T, int C>
qpxStatus apply_l(Op op, const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep,
                  qpxSizeL roi, std::uint32_t border, const T* value, const qpxMorphStateL* spec,
                  u8* buffer) {
    std::uint32_t eff = 0;
    if (qpxStatus st = check_apply<T, C, Form::Wide>(src, srcStep, dst, dstStep, roi, border, value,
                                                     spec, buffer, &eff))
        return st;
    apply<T, C>(cpu_target(), op, view(src, srcStep, roi, C), view(dst, dstStep, roi, C), eff,
                value, general_part(spec), buffer);
    return qpxStatusOk;
}

template <Form F>
qpxStatus check_1u(const u8* src, std::int64_t srcStep, int srcOff, const u8* dst,
                   std::int64_t dstStep, int dstOff, qpxSizeL roi, std::uint32_t border,
                   const void* spec, const u8* buffer, std::uint32_t* effective) {
    qpxStatus st = check_args(kApply1u<F>, src, srcStep, srcOff, dst, dstStep, dstOff, roi, border,
                              0, spec, buffer);
    if (!st) accept_morph_border(border, effective);
    return st;
}

qpxStatus apply_border_1u(Op op, const u8* src, int srcStep, int srcOff, u8* dst, int dstStep,
                          int dstOff, qpxSize roi, std::uint32_t border, u8 value,
                          const qpxMorphState* spec, u8* buffer) {
    std::uint32_t eff = 0;
    const qpxSizeL r{roi.width, roi.height};
    if (qpxStatus st = check_1u<Form::Narrow>(src, srcStep, srcOff, dst, dstStep, dstOff, r, border,
                                              spec, buffer, &eff))
        return st;
    apply_1u(cpu_target(), op, view(src, srcStep, roi), srcOff, view(dst, dstStep, roi), dstOff,
             eff, value, spec, buffer);
    return qpxStatusOk;
}

qpxStatus apply_l_1u(Op op, const u8* src, std::int64_t srcStep, int srcOff, u8* dst,
                     std::int64_t dstStep, int dstOff, qpxSizeL roi, std::uint32_t border, u8 value,
                     const qpxMorphStateL* spec, u8* buffer) {
    std::uint32_t eff = 0;
    if (qpxStatus st = check_1u<Form::Wide>(src, srcStep, srcOff, dst, dstStep, dstOff, roi, border,
                                            spec, buffer, &eff))
        return st;
    apply_1u(cpu_target(), op, view(src, srcStep, roi), srcOff, view(dst, dstStep, roi), dstOff,
             eff, value, onebit_part(spec), buffer);
    return qpxStatusOk;
}

// ---- 64-bit family: sizes and init --------------------------------------------------------------

qpxStatus get_spec_size_l(qpxSizeL roi, qpxSizeL mask, std::int64_t* specSize) {
    if (qpxStatus st = check_args(kSpecSizeL, roi, mask, specSize)) return st;
    *specSize = spec_size_l(roi.width, roi.height, mask.width, mask.height);
    return qpxStatusOk;
}

qpxStatus get_buffer_size_l(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels,
                            std::int64_t* bufferSize) {
    if (qpxStatus st = check_args(kBufferSizeL, roi, mask, type, channels, bufferSize)) return st;
    const int s = morph_elem_size(type);
    const std::int64_t general =
        buffer_size(roi.width, roi.height, mask.width, mask.height, s, channels);
    const std::int64_t bits = buffer_size_1u(roi.width, roi.height, mask.width, mask.height);
    *bufferSize = general > bits ? general : bits;
    return qpxStatusOk;
}

qpxStatus init_l(qpxSizeL roi, const u8* mask, qpxSizeL maskSize, qpxMorphStateL* spec) {
    if (qpxStatus st = check_args(kInitL, roi, mask, maskSize, spec)) return st;
    init_spec_l(spec, roi, mask, {int(maskSize.width), int(maskSize.height)});
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using namespace qpx::morph;
using qpx::Form;
using qpx::morph::Op;

// clang-format off
#define QPX_MORPH_TYPED(tag, T, C, VT, VAL)                                                                         \
    QPX_DECLARE(qpxiMorphologyBorderGetSize_##tag, kGetSize)                                                         \
    QPX_DECLARE(qpxiMorphologyBorderInit_##tag, kInit)                                                               \
    QPX_DECLARE(qpxiDilateBorder_##tag, (kApply<T, C, Form::Narrow>))                                               \
    QPX_DECLARE(qpxiErodeBorder_##tag, (kApply<T, C, Form::Narrow>))                                                \
    QPX_DECLARE(qpxiDilate_##tag##_L, (kApply<T, C, Form::Wide>))                                                   \
    QPX_DECLARE(qpxiErode_##tag##_L, (kApply<T, C, Form::Wide>))                                                    \
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

QPX_DECLARE(qpxiMorphologyBorderGetSize_1u_C1R, kGetSize)
QPX_EXPORT qpxStatus qpxiMorphologyBorderGetSize_1u_C1R(qpxSize roi, qpxSize mask, int* spec, int* buf) { return get_size_1u(roi, mask, spec, buf); }
QPX_DECLARE(qpxiMorphologyBorderInit_1u_C1R, kInit)
QPX_EXPORT qpxStatus qpxiMorphologyBorderInit_1u_C1R(qpxSize roi, const u8* mask, qpxSize ms, qpxMorphState* spec, u8* buf) { return init<true>(roi, mask, ms, spec, buf); }
QPX_DECLARE(qpxiDilateBorder_1u_C1R, kApply1u<Form::Narrow>)
QPX_EXPORT qpxStatus qpxiDilateBorder_1u_C1R(const u8* src, int ss, int so, u8* dst, int ds, int dof, qpxSize roi, qpxBorderType b, u8 v, const qpxMorphState* spec, u8* buf) { return apply_border_1u(Op::Dilate, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }
QPX_DECLARE(qpxiErodeBorder_1u_C1R, kApply1u<Form::Narrow>)
QPX_EXPORT qpxStatus qpxiErodeBorder_1u_C1R(const u8* src, int ss, int so, u8* dst, int ds, int dof, qpxSize roi, qpxBorderType b, u8 v, const qpxMorphState* spec, u8* buf) { return apply_border_1u(Op::Erode, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }
QPX_DECLARE(qpxiDilate_1u_C1R_L, kApply1u<Form::Wide>)
QPX_EXPORT qpxStatus qpxiDilate_1u_C1R_L(const u8* src, std::int64_t ss, int so, u8* dst, std::int64_t ds, int dof, qpxSizeL roi, qpxBorderType b, u8 v, const qpxMorphStateL* spec, u8* buf) { return apply_l_1u(Op::Dilate, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }
QPX_DECLARE(qpxiErode_1u_C1R_L, kApply1u<Form::Wide>)
QPX_EXPORT qpxStatus qpxiErode_1u_C1R_L(const u8* src, std::int64_t ss, int so, u8* dst, std::int64_t ds, int dof, qpxSizeL roi, qpxBorderType b, u8 v, const qpxMorphStateL* spec, u8* buf) { return apply_l_1u(Op::Erode, src, ss, so, dst, ds, dof, roi, b, v, spec, buf); }

QPX_DECLARE(qpxiErodeGetSpecSize_L, kSpecSizeL)
QPX_EXPORT qpxStatus qpxiErodeGetSpecSize_L(qpxSizeL roi, qpxSizeL mask, std::int64_t* size) { return get_spec_size_l(roi, mask, size); }
QPX_DECLARE(qpxiDilateGetSpecSize_L, kSpecSizeL)
QPX_EXPORT qpxStatus qpxiDilateGetSpecSize_L(qpxSizeL roi, qpxSizeL mask, std::int64_t* size) { return get_spec_size_l(roi, mask, size); }
QPX_DECLARE(qpxiErodeGetBufferSize_L, kBufferSizeL)
QPX_EXPORT qpxStatus qpxiErodeGetBufferSize_L(qpxSizeL roi, qpxSizeL mask, qpxDataType t, int ch, std::int64_t* size) { return get_buffer_size_l(roi, mask, t, ch, size); }
QPX_DECLARE(qpxiDilateGetBufferSize_L, kBufferSizeL)
QPX_EXPORT qpxStatus qpxiDilateGetBufferSize_L(qpxSizeL roi, qpxSizeL mask, qpxDataType t, int ch, std::int64_t* size) { return get_buffer_size_l(roi, mask, t, ch, size); }
QPX_DECLARE(qpxiErodeInit_L, kInitL)
QPX_EXPORT qpxStatus qpxiErodeInit_L(qpxSizeL roi, const u8* mask, qpxSizeL ms, qpxMorphStateL* spec) { return init_l(roi, mask, ms, spec); }
QPX_DECLARE(qpxiDilateInit_L, kInitL)
QPX_EXPORT qpxStatus qpxiDilateInit_L(qpxSizeL roi, const u8* mask, qpxSizeL ms, qpxMorphStateL* spec) { return init_l(roi, mask, ms, spec); }
// clang-format on
