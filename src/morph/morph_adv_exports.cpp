// Exports of the composed morphology operations, both generations: shared checks per form, one
// macro use per type and channel layout.
#include <climits>

#include "frame/border.hpp"
#include "frame/check.hpp"
#include "morph/morph_adv.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// Bit-packed rows are (width + 7) / 8 bytes long.
inline StepArg bit_step(std::int64_t step, std::int64_t width) {
    return {step, bit_row_bytes(width), 1};
}

// Where the caller passes one scalar border value, the engine takes a pointer to it.
template <class T>
inline const T* value_ptr(const T& v) {
    return &v;
}
template <class T>
inline const T* value_ptr(const T* v) {
    return v;
}
template <class V>
inline bool null_value(V v) {
    if constexpr (std::is_pointer_v<V>)
        return v == nullptr;
    else
        return false;
}

// The spec's stages and the caller's buffer were sized for the ROI given at Init (the buffer
// possibly for a smaller one); a larger call ROI would overrun them. Checked after all the
// argument checks, as the grey-scale operations do.
template <class S>
inline bool within(std::int64_t width, std::int64_t height, const S* spec) {
    return width <= spec->roiW && height <= spec->roiH;
}

// ---- sizes and initialisation -----------------------------------------------------------------

qpxStatus get_size(qpxSize roi, qpxSize mask, int* specSize, int* bufferSize, int elemSize,
                   int channels) {
    if (qpxStatus st = Check().ptrs(specSize, bufferSize).size(roi).size(mask)) return st;
    *specSize = static_cast<int>(adv_spec_size(mask.width, mask.height, elemSize));
    *bufferSize = static_cast<int>(
        adv_buffer_size(roi.width, roi.height, mask.width, mask.height, elemSize, channels));
    return qpxStatusOk;
}

qpxStatus init(qpxSize roi, const u8* mask, qpxSize maskSize, qpxMorphAdvState* spec, u8* buffer,
               bool oneBit) {
    if (qpxStatus st = Check().ptrs(mask, spec, buffer).size(roi).size(maskSize)) return st;
    adv_init(spec, roi, mask, maskSize, oneBit);
    return qpxStatusOk;
}

Check check_l_query(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels, const void* out) {
    return Check()
        .ptrs(out)
        .size(roi)
        .size(mask)
        .fits32(roi)
        .fits32(mask)
        .require(morph_elem_size(type) != 0, qpxStatusBadDataType)
        .require(channels == 1 || channels == 3 || channels == 4, qpxStatusBadChannel);
}

qpxStatus get_spec_size_l(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels,
                          std::int64_t* size) {
    if (qpxStatus st = check_l_query(roi, mask, type, channels, size)) return st;
    *size = adv_spec_size_l(roi.width, roi.height, mask.width, mask.height);
    return qpxStatusOk;
}

qpxStatus get_buffer_size_l(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels,
                            std::int64_t* size) {
    if (qpxStatus st = check_l_query(roi, mask, type, channels, size)) return st;
    *size = adv_buffer_size_l(roi.width, roi.height, mask.width, mask.height, morph_elem_size(type),
                              channels);
    return qpxStatusOk;
}

qpxStatus init_l(qpxSizeL roi, const u8* mask, qpxSizeL maskSize, qpxDataType type, int channels,
                 qpxMorphStateL* spec) {
    if (qpxStatus st =
            Check()
                .fits32(roi)
                .ptrs(mask, spec)
                .size(roi)
                .size(maskSize)
                .fits32(maskSize)
                .require(morph_elem_size(type) != 0, qpxStatusBadDataType)
                .require(channels == 1 || channels == 3 || channels == 4, qpxStatusBadChannel))
        return st;
    adv_init_l(spec, roi, mask, {int(maskSize.width), int(maskSize.height)});
    return qpxStatusOk;
}

qpxStatus set_mode(int mode, void* spec) {
    return Check().ptrs(spec).require(mode == 0 || mode == 1 || mode == 4 || mode == 5,
                                      qpxStatusBadMode);
}

// ---- apply, 32-bit family
// -------------------------------------------------------------------------

// The gradient takes the filter rule; the other operations the morphology rule.
inline bool accept(AdvOp op, std::uint32_t border, std::uint32_t* effective) {
    if (op != AdvOp::Gradient) return accept_morph_border(border, effective);
    *effective = border;
    return accept_filter_border(border);
}

template <AdvOp op, class T, int C, class V>
qpxStatus apply_border(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                       qpxBorderType border, V value, const qpxMorphAdvState* spec, u8* buffer) {
    std::uint32_t eff = 0;
    const bool constNull = (border & 15u) == kBorderConst && null_value(value);
    qpxStatus st = Check()
                       .ptrs(src, dst, spec, buffer)
                       .require(!constNull, qpxStatusNullPointer)
                       .size(roi)
                       .steps({stepOf<T>(srcStep, roi.width, C), stepOf<T>(dstStep, roi.width, C)})
                       .require(accept(op, border, &eff), qpxStatusBadBorder);
    if (st) return st;
    const qpxMorphAdvState* s = adv_state(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    // The 32-bit family clamps float top-hat and black-hat, never signed ones.
    const bool clampNeg = std::is_same_v<T, float>;
    run_adv<T, C>(cpu_target(), op, src, srcStep, dst, dstStep, roi.width, roi.height,
                  plan_border(eff), value_ptr(value), s->first, s->second,
                  scratch_for(s, buffer, sizeof(T), C, roi.width, roi.height), clampNeg);
    return qpxStatusOk;
}

template <AdvOp op>
qpxStatus apply_border_1u(const u8* src, int srcStep, int srcBit, u8* dst, int dstStep, int dstBit,
                          qpxSize roi, qpxBorderType border, u8 value, const qpxMorphAdvState* spec,
                          u8* buffer) {
    std::uint32_t eff = 0;
    qpxStatus st =
        Check()
            .ptrs(src, dst, spec, buffer)
            .size(roi)
            .require(srcBit >= 0 && dstBit >= 0, qpxStatusBadSize)
            .steps({bit_step(srcStep, roi.width), bit_step(dstStep, roi.width)})
            .require(accept(op, border, &eff) && (eff & 15u) != kBorderMirror, qpxStatusBadBorder)
            .distinct(src, dst);
    if (st) return st;
    const qpxMorphAdvState* s = adv_state(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    run_adv_1u(cpu_target(), op, src, srcStep, srcBit, dst, dstStep, dstBit, roi.width, roi.height,
               plan_border(eff), value, s->first, s->second,
               scratch_for(s, buffer, 0, 1, roi.width, roi.height));
    return qpxStatusOk;
}

// ---- apply, 64-bit family
// ---------------------------------------------------------------------------

template <class T, int C, class V>
Check check_l(const void* src, std::int64_t srcStep, const void* dst, std::int64_t dstStep,
              qpxSizeL roi, std::uint32_t border, V value, const void* spec, const u8* buffer,
              std::uint32_t* eff) {
    const bool constNull = (border & 15u) == kBorderConst && null_value(value);
    return Check()
        .ptrs(src, dst, spec, buffer)
        .require(!constNull, qpxStatusNullPointer)
        .size(roi)
        .fits32(roi, srcStep, dstStep)
        .steps({stepOf<T>(srcStep, roi.width, C), stepOf<T>(dstStep, roi.width, C)})
        .require(accept_morph_border(border, eff), qpxStatusBadBorder)
        // The composed operations need one more pixel of room than the 32-bit range.
        .require(roi.width != INT32_MAX && roi.height != INT32_MAX, qpxStatusSizeTooLarge);
}

// A plan for the 64-bit family needs the second stage's reach. The gradient's two stages both
// read the source, so they take the caller's border as it is.
StagePlan plan_l(AdvOp op, const AdvStateL* s, std::uint32_t eff, bool oneBit) {
    if (op == AdvOp::Gradient) return plan_border(eff);
    const qpxMorphState* second = oneBit ? onebit_part(s->second) : general_part(s->second);
    return plan_border_l(eff, oneBit ? mask_info_1u(second) : mask_info(second));
}

template <AdvOp op, class T, int C, class V>
qpxStatus apply_l(const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep, qpxSizeL roi,
                  qpxBorderType border, V value, const qpxMorphStateL* spec, u8* buffer) {
    std::uint32_t eff = 0;
    if (qpxStatus st =
            check_l<T, C>(src, srcStep, dst, dstStep, roi, border, value, spec, buffer, &eff))
        return st;
    const AdvStateL* s = adv_state_l(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    const bool clampNeg = (std::is_same_v<T, float> || std::is_same_v<T, s16>)&&s->clamp;
    run_adv<T, C>(cpu_target(), op, src, srcStep, dst, dstStep, roi.width, roi.height,
                  plan_l(op, s, eff, false), value_ptr(value), general_part(s->first),
                  general_part(s->second),
                  scratch_for_l(s, buffer, sizeof(T), C, roi.width, roi.height), clampNeg);
    return qpxStatusOk;
}

template <AdvOp op>
qpxStatus apply_l_1u(const u8* src, std::int64_t srcStep, int srcBit, u8* dst, std::int64_t dstStep,
                     int dstBit, qpxSizeL roi, qpxBorderType border, u8 value,
                     const qpxMorphStateL* spec, u8* buffer) {
    std::uint32_t eff = 0;
    qpxStatus st =
        Check()
            .ptrs(src, dst, spec, buffer)
            .size(roi)
            .require(srcBit >= 0 && dstBit >= 0, qpxStatusBadSize)
            .fits32(roi, srcStep, dstStep)
            .steps({bit_step(srcStep, roi.width), bit_step(dstStep, roi.width)})
            .require(accept_morph_border(border, &eff) && (eff & 15u) != kBorderMirror,
                     qpxStatusBadBorder)
            .require(roi.width != INT32_MAX && roi.height != INT32_MAX, qpxStatusSizeTooLarge)
            .distinct(src, dst);
    if (st) return st;
    const AdvStateL* s = adv_state_l(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    run_adv_1u(cpu_target(), op, src, srcStep, srcBit, dst, dstStep, dstBit, roi.width, roi.height,
               plan_l(op, s, eff, true), value, onebit_part(s->first), onebit_part(s->second),
               scratch_for_l(s, buffer, 0, 1, roi.width, roi.height));
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using namespace qpx::morph;
using u8 = std::uint8_t;

// clang-format off
QPX_EXPORT qpxStatus qpxiMorphSetMode(int mode, qpxMorphAdvState* spec) {
    if (qpxStatus st = set_mode(mode, spec)) return st;
    adv_set_mode(spec, mode);
    return qpxStatusOk;
}
QPX_EXPORT qpxStatus qpxiMorphSetMode_L(int mode, qpxMorphStateL* spec) {
    if (qpxStatus st = set_mode(mode, spec)) return st;
    adv_set_mode_l(spec, mode);
    return qpxStatusOk;
}
QPX_EXPORT qpxStatus qpxiMorphGetSpecSize_L(qpxSizeL roi, qpxSizeL mask, qpxDataType t, int ch, std::int64_t* size) { return get_spec_size_l(roi, mask, t, ch, size); }
QPX_EXPORT qpxStatus qpxiMorphGetBufferSize_L(qpxSizeL roi, qpxSizeL mask, qpxDataType t, int ch, std::int64_t* size) { return get_buffer_size_l(roi, mask, t, ch, size); }
QPX_EXPORT qpxStatus qpxiMorphInit_L(qpxSizeL roi, const u8* mask, qpxSizeL ms, qpxDataType t, int ch, qpxMorphStateL* spec) { return init_l(roi, mask, ms, t, ch, spec); }

#define QPX_ADV_OP(Name, op, tag, T, C, VT)                                                                                  \
    QPX_EXPORT qpxStatus qpxiMorph##Name##Border_##tag(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,           \
                                                       qpxBorderType b, VT v, const qpxMorphAdvState* spec, u8* buf) {       \
        return apply_border<op, T, C>(src, srcStep, dst, dstStep, roi, b, v, spec, buf);                                    \
    }                                                                                                                        \
    QPX_EXPORT qpxStatus qpxiMorph##Name##_##tag##_L(const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep,      \
                                                     qpxSizeL roi, qpxBorderType b, VT v, const qpxMorphStateL* spec,        \
                                                     u8* buf) {                                                              \
        return apply_l<op, T, C>(src, srcStep, dst, dstStep, roi, b, v, spec, buf);                                         \
    }

#define QPX_ADV_TYPED(tag, T, C, VT)                                                                                         \
    QPX_EXPORT qpxStatus qpxiMorphAdvGetSize_##tag(qpxSize roi, qpxSize mask, int* spec, int* buf) {                         \
        return get_size(roi, mask, spec, buf, sizeof(T), C);                                                                 \
    }                                                                                                                        \
    QPX_EXPORT qpxStatus qpxiMorphAdvInit_##tag(qpxSize roi, const u8* mask, qpxSize ms, qpxMorphAdvState* spec, u8* buf) { \
        return init(roi, mask, ms, spec, buf, false);                                                                        \
    }                                                                                                                        \
    QPX_ADV_OP(Open, AdvOp::Open, tag, T, C, VT)                                                                             \
    QPX_ADV_OP(Close, AdvOp::Close, tag, T, C, VT)                                                                           \
    QPX_ADV_OP(Tophat, AdvOp::Tophat, tag, T, C, VT)                                                                         \
    QPX_ADV_OP(Blackhat, AdvOp::Blackhat, tag, T, C, VT)                                                                     \
    QPX_ADV_OP(Gradient, AdvOp::Gradient, tag, T, C, VT)

QPX_ADV_TYPED(8u_C1R, std::uint8_t, 1, std::uint8_t)
QPX_ADV_TYPED(8u_C3R, std::uint8_t, 3, const std::uint8_t*)
QPX_ADV_TYPED(8u_C4R, std::uint8_t, 4, const std::uint8_t*)
QPX_ADV_TYPED(16u_C1R, std::uint16_t, 1, std::uint16_t)
QPX_ADV_TYPED(16s_C1R, std::int16_t, 1, std::int16_t)
QPX_ADV_TYPED(32f_C1R, float, 1, float)
QPX_ADV_TYPED(32f_C3R, float, 3, const float*)
QPX_ADV_TYPED(32f_C4R, float, 4, const float*)

#define QPX_ADV_OP_1U(Name, op)                                                                                              \
    QPX_EXPORT qpxStatus qpxiMorph##Name##Border_1u_C1R(const u8* src, int srcStep, int srcBit, u8* dst, int dstStep,       \
                                                        int dstBit, qpxSize roi, qpxBorderType b, u8 v,                      \
                                                        const qpxMorphAdvState* spec, u8* buf) {                             \
        return apply_border_1u<op>(src, srcStep, srcBit, dst, dstStep, dstBit, roi, b, v, spec, buf);                       \
    }                                                                                                                        \
    QPX_EXPORT qpxStatus qpxiMorph##Name##_1u_C1R_L(const u8* src, std::int64_t srcStep, int srcBit, u8* dst,               \
                                                    std::int64_t dstStep, int dstBit, qpxSizeL roi, qpxBorderType b, u8 v,   \
                                                    const qpxMorphStateL* spec, u8* buf) {                                   \
        return apply_l_1u<op>(src, srcStep, srcBit, dst, dstStep, dstBit, roi, b, v, spec, buf);                            \
    }

QPX_EXPORT qpxStatus qpxiMorphAdvGetSize_1u_C1R(qpxSize roi, qpxSize mask, int* spec, int* buf) { return get_size(roi, mask, spec, buf, 0, 1); }
QPX_EXPORT qpxStatus qpxiMorphAdvInit_1u_C1R(qpxSize roi, const u8* mask, qpxSize ms, qpxMorphAdvState* spec, u8* buf) { return init(roi, mask, ms, spec, buf, true); }
QPX_ADV_OP_1U(Open, AdvOp::Open)
QPX_ADV_OP_1U(Close, AdvOp::Close)
QPX_ADV_OP_1U(Tophat, AdvOp::Tophat)
QPX_ADV_OP_1U(Blackhat, AdvOp::Blackhat)
QPX_ADV_OP_1U(Gradient, AdvOp::Gradient)
// clang-format on
