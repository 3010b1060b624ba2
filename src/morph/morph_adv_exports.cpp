// Exports of the composed morphology operations, both generations: shared checks per form, one
// macro use per type and channel layout.
#include <climits>

#include "frame/border.hpp"
#include "frame/decl.hpp"
#include "morph/morph_adv.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// Where the caller passes one scalar border value, the engine takes a pointer to it.
template <class T>
inline const T* value_ptr(const T& v) {
    return &v;
}
template <class T>
inline const T* value_ptr(const T* v) {
    return v;
}

// The spec's stages and the caller's buffer were sized for the ROI given at Init (the buffer
// possibly for a smaller one); a larger call ROI would overrun them. Checked after all the
// argument checks, as the grey-scale operations do.
template <class S>
inline bool within(std::int64_t width, std::int64_t height, const S* spec) {
    return width <= spec->roiW && height <= spec->roiH;
}

// ---- declarations -------------------------------------------------------------------------------

constexpr Rule known_type = [](const Val* a, int k) {
    return morph_elem_size(qpxDataType(a[k].i)) != 0;
};
constexpr Rule channels_ok = [](const Val* a, int k) {
    return a[k].i == 1 || a[k].i == 3 || a[k].i == 4;
};
constexpr Rule mode_ok = [](const Val* a, int k) {
    return a[k].i == 0 || a[k].i == 1 || a[k].i == 4 || a[k].i == 5;
};
constexpr Rule nonnegative = [](const Val* a, int k) { return a[k].i >= 0; };
// A constant border (at k - 1) needs its values.
constexpr Rule values_given = [](const Val* a, int k) {
    return (a[k - 1].i & 15) != kBorderConst || a[k].i != 0;
};
// The gradient takes the filter rule; the other operations the morphology rule. Bit images have
// no mirror, judged on the code the rule works with.
inline bool accept(AdvOp op, std::uint32_t border, std::uint32_t* effective) {
    if (op != AdvOp::Gradient) return accept_morph_border(border, effective);
    *effective = border;
    return accept_filter_border(border);
}
template <AdvOp op, bool bits>
constexpr Rule border_ok = [](const Val* a, int k) {
    std::uint32_t eff = 0;
    return accept(op, std::uint32_t(a[k].i), &eff) && (!bits || (eff & 15u) != kBorderMirror);
};
// The composed operations need one more pixel of room than the 32-bit range.
constexpr Rule room = [](const Val* a, int k) {
    return a[k].i != INT32_MAX && a[k].h != INT32_MAX;
};

// (roi, mask, specSize, bufferSize)
constexpr const Decl& kGetSize = decl<ptr(2), ptr(3), size(0), size(1)>;
// (roi, mask, maskSize, spec, buffer)
constexpr const Decl& kInit = decl<ptr(1), ptr(3), ptr(4), size(0), size(2)>;
#define QPX_TYPE_CHANNELS(type, ch)                                        \
    code(type, known_type, qpxStatusBadDataType, qpx8u, qpx32s, 99, 0, 2), \
        code(ch, channels_ok, qpxStatusBadChannel, 1, 2, 0, 0, 2)
// (roi, mask, dataType, numChannels, size)
constexpr const Decl& kQueryL = decl<ptr(4), size(0), size(1), limit32(0), limit32(0, 1),
                                     limit32(1), limit32(1, 1), QPX_TYPE_CHANNELS(2, 3)>;
// (roi, mask, maskSize, dataType, numChannels, spec): the ROI's limit comes first.
constexpr const Decl& kInitL = decl<limit32(0), limit32(0, 1), ptr(1), ptr(5), size(0), size(2),
                                    limit32(2), limit32(2, 1), QPX_TYPE_CHANNELS(3, 4)>;
#undef QPX_TYPE_CHANNELS
// (mode, spec)
constexpr const Decl& kSetMode = decl<ptr(1), code(0, mode_ok, qpxStatusBadMode, 0, 2, 3, 0, 2)>;

// (src, srcStep, dst, dstStep, roi, border, value(s), spec, buffer): the values of a constant
// border right after the pointers.
#define QPX_APPLY_HEAD ptr(0), ptr(2), ptr(7), ptr(8)
#define QPX_APPLY_VALUES code(6, values_given, qpxStatusNullPointer, 0, 0, 0, 0, 1)
#define QPX_APPLY_32(op, T, C)                   \
    size(4), step<T>(1, 4, C), step<T>(3, 4, C), \
        border(5, (border_ok<op, false>), kBorderConst, 2, 0x1001, 0x72)
#define QPX_APPLY_64(T, C)                                                         \
    size(4), limit32(4), limit32(4, 1), limit32(1), limit32(3), step<T>(1, 4, C),  \
        step<T>(3, 4, C),                                                          \
        border(5, (border_ok<AdvOp::Open, false>), kBorderConst, 2, 0x1001, 0x72), \
        code(4, room, qpxStatusSizeTooLarge, 0, INT32_MAX, 0, 0, 1)
template <AdvOp op, class T, int C, bool multi>
constexpr const Decl& kApply32 =
    multi ? decl<QPX_APPLY_HEAD, QPX_APPLY_VALUES, QPX_APPLY_32(op, T, C)>
          : decl<QPX_APPLY_HEAD, QPX_APPLY_32(op, T, C)>;
template <class T, int C, bool multi>
constexpr const Decl& kApply64 = multi ? decl<QPX_APPLY_HEAD, QPX_APPLY_VALUES, QPX_APPLY_64(T, C)>
                                       : decl<QPX_APPLY_HEAD, QPX_APPLY_64(T, C)>;
// (src, srcStep, srcBit, dst, dstStep, dstBit, roi, border, value, spec, buffer)
#define QPX_APPLY_1U_HEAD                                       \
    ptr(0), ptr(3), ptr(9), ptr(10), size(6),                   \
        code(2, nonnegative, qpxStatusBadSize, 0, -1, 0, 0, 1), \
        code(5, nonnegative, qpxStatusBadSize, 0, -1, 0, 0, 1)
template <AdvOp op>
constexpr const Decl& kApply1u32 =
    decl<QPX_APPLY_1U_HEAD, step(1, 6, 0, 1), step(4, 6, 0, 1),
         border(7, (border_ok<op, true>), 1, 3, 0x1001, 0x72), distinct(0, 3)>;
constexpr const Decl& kApply1u64 =
    decl<QPX_APPLY_1U_HEAD, limit32(6), limit32(6, 1), limit32(1), limit32(4), step(1, 6, 0, 1),
         step(4, 6, 0, 1), border(7, (border_ok<AdvOp::Open, true>), 1, 3, 0x1001, 0x72),
         code(6, room, qpxStatusSizeTooLarge, 0, INT32_MAX, 0, 0, 1), distinct(0, 3)>;
#undef QPX_APPLY_HEAD
#undef QPX_APPLY_VALUES
#undef QPX_APPLY_32
#undef QPX_APPLY_64
#undef QPX_APPLY_1U_HEAD

// ---- sizes and initialisation -----------------------------------------------------------------

qpxStatus get_size(qpxSize roi, qpxSize mask, int* specSize, int* bufferSize, int elemSize,
                   int channels) {
    if (qpxStatus st = check_args(kGetSize, roi, mask, specSize, bufferSize)) return st;
    *specSize = static_cast<int>(adv_spec_size(mask.width, mask.height, elemSize));
    *bufferSize = static_cast<int>(
        adv_buffer_size(roi.width, roi.height, mask.width, mask.height, elemSize, channels));
    return qpxStatusOk;
}

qpxStatus init(qpxSize roi, const u8* mask, qpxSize maskSize, qpxMorphAdvState* spec, u8* buffer,
               bool oneBit) {
    if (qpxStatus st = check_args(kInit, roi, mask, maskSize, spec, buffer)) return st;
    adv_init(spec, roi, mask, maskSize, oneBit);
    return qpxStatusOk;
}

qpxStatus get_spec_size_l(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels,
                          std::int64_t* size) {
    if (qpxStatus st = check_args(kQueryL, roi, mask, type, channels, size)) return st;
    *size = adv_spec_size_l(roi.width, roi.height, mask.width, mask.height);
    return qpxStatusOk;
}

qpxStatus get_buffer_size_l(qpxSizeL roi, qpxSizeL mask, qpxDataType type, int channels,
                            std::int64_t* size) {
    if (qpxStatus st = check_args(kQueryL, roi, mask, type, channels, size)) return st;
    *size = adv_buffer_size_l(roi.width, roi.height, mask.width, mask.height, morph_elem_size(type),
                              channels);
    return qpxStatusOk;
}

qpxStatus init_l(qpxSizeL roi, const u8* mask, qpxSizeL maskSize, qpxDataType type, int channels,
                 qpxMorphStateL* spec) {
    if (qpxStatus st = check_args(kInitL, roi, mask, maskSize, type, channels, spec)) return st;
    adv_init_l(spec, roi, mask, {int(maskSize.width), int(maskSize.height)});
    return qpxStatusOk;
}

qpxStatus set_mode(int mode, void* spec) {
    return check_args(kSetMode, mode, spec);
}

// ---- apply, 32-bit family
// -------------------------------------------------------------------------

template <AdvOp op, class T, int C, class V>
qpxStatus apply_border(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                       qpxBorderType border, V value, const qpxMorphAdvState* spec, u8* buffer) {
    constexpr bool multi = std::is_pointer_v<V>;
    qpxStatus st = check_args(kApply32<op, T, C, multi>, src, srcStep, dst, dstStep, roi, border,
                              value, spec, buffer);
    if (st) return st;
    std::uint32_t eff = 0;
    accept(op, border, &eff);
    const qpxMorphAdvState* s = adv_state(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    // The 32-bit family clamps float top-hat and black-hat, never signed ones.
    const bool clampNeg = std::is_same_v<T, float>;
    run_adv<T, C>(cpu_target(), op, view(src, srcStep, roi, C), view(dst, dstStep, roi, C),
                  plan_border(eff), value_ptr(value), s->first, s->second,
                  scratch_for(s, buffer, sizeof(T), C, roi.width, roi.height), clampNeg);
    return qpxStatusOk;
}

template <AdvOp op>
qpxStatus apply_border_1u(const u8* src, int srcStep, int srcBit, u8* dst, int dstStep, int dstBit,
                          qpxSize roi, qpxBorderType border, u8 value, const qpxMorphAdvState* spec,
                          u8* buffer) {
    qpxStatus st = check_args(kApply1u32<op>, src, srcStep, srcBit, dst, dstStep, dstBit, roi,
                              border, value, spec, buffer);
    if (st) return st;
    std::uint32_t eff = 0;
    accept(op, border, &eff);
    const qpxMorphAdvState* s = adv_state(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    run_adv_1u(cpu_target(), op, view(src, srcStep, roi), srcBit, view(dst, dstStep, roi), dstBit,
               plan_border(eff), value, s->first, s->second,
               scratch_for(s, buffer, 0, 1, roi.width, roi.height));
    return qpxStatusOk;
}

// ---- apply, 64-bit family
// ---------------------------------------------------------------------------

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
    qpxStatus st = check_args(kApply64<T, C, std::is_pointer_v<V>>, src, srcStep, dst, dstStep, roi,
                              border, value, spec, buffer);
    if (st) return st;
    std::uint32_t eff = 0;
    accept_morph_border(border, &eff);
    const AdvStateL* s = adv_state_l(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    const bool clampNeg = (std::is_same_v<T, float> || std::is_same_v<T, s16>)&&s->clamp;
    run_adv<T, C>(cpu_target(), op, view(src, srcStep, roi, C), view(dst, dstStep, roi, C),
                  plan_l(op, s, eff, false), value_ptr(value), general_part(s->first),
                  general_part(s->second),
                  scratch_for_l(s, buffer, sizeof(T), C, roi.width, roi.height), clampNeg);
    return qpxStatusOk;
}

template <AdvOp op>
qpxStatus apply_l_1u(const u8* src, std::int64_t srcStep, int srcBit, u8* dst, std::int64_t dstStep,
                     int dstBit, qpxSizeL roi, qpxBorderType border, u8 value,
                     const qpxMorphStateL* spec, u8* buffer) {
    qpxStatus st = check_args(kApply1u64, src, srcStep, srcBit, dst, dstStep, dstBit, roi, border,
                              value, spec, buffer);
    if (st) return st;
    std::uint32_t eff = 0;
    accept_morph_border(border, &eff);
    const AdvStateL* s = adv_state_l(spec);
    if (!within(roi.width, roi.height, s)) return qpxStatusBadSize;
    run_adv_1u(cpu_target(), op, view(src, srcStep, roi), srcBit, view(dst, dstStep, roi), dstBit,
               plan_l(op, s, eff, true), value, onebit_part(s->first), onebit_part(s->second),
               scratch_for_l(s, buffer, 0, 1, roi.width, roi.height));
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using namespace qpx::morph;
using u8 = std::uint8_t;

// clang-format off
QPX_DECLARE(qpxiMorphSetMode, kSetMode)
QPX_DECLARE(qpxiMorphSetMode_L, kSetMode)
QPX_DECLARE(qpxiMorphGetSpecSize_L, kQueryL)
QPX_DECLARE(qpxiMorphGetBufferSize_L, kQueryL)
QPX_DECLARE(qpxiMorphInit_L, kInitL)
QPX_DECLARE(qpxiMorphAdvGetSize_1u_C1R, kGetSize)
QPX_DECLARE(qpxiMorphAdvInit_1u_C1R, kInit)
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
    QPX_DECLARE(qpxiMorph##Name##Border_##tag, (kApply32<op, T, C, std::is_pointer_v<VT>>))                                 \
    QPX_DECLARE(qpxiMorph##Name##_##tag##_L, (kApply64<T, C, std::is_pointer_v<VT>>))                                      \
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
    QPX_DECLARE(qpxiMorphAdvGetSize_##tag, kGetSize)                                                                         \
    QPX_DECLARE(qpxiMorphAdvInit_##tag, kInit)                                                                               \
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
    QPX_DECLARE(qpxiMorph##Name##Border_1u_C1R, kApply1u32<op>)                                                              \
    QPX_DECLARE(qpxiMorph##Name##_1u_C1R_L, kApply1u64)                                                                      \
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
