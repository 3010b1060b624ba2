// Exports of the separable filtering family. The 32-bit forms widen their arguments and run the
// same code as the 64-bit forms; the 64-bit forms add the 32-bit range test and mask the
// denormal-operand exception while they filter.
#include "filter/separable.hpp"
#include "frame/border.hpp"
#include "frame/decl.hpp"
#include "frame/fpenv.hpp"

namespace qpx::filter {
namespace {

using u8 = std::uint8_t;
using s8 = std::int8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

constexpr Rule kernel_type_ok = [](const Val* a, int k) { return one_of(a[k].i, qpx16s, qpx32f); };
constexpr Rule channels_ok = [](const Val* a, int k) {
    return a[k].i == 1 || a[k].i == 3 || a[k].i == 4;
};
constexpr Rule image_type_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpx8u, qpx16u) || one_of(a[k].i, qpx16s, qpx32f);
};
constexpr Rule float_image_type_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpx8u, qpx16u) || a[k].i == qpx32f;
};
constexpr Rule int_image_type_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpx8u, qpx16s);
};
constexpr Rule nonzero = [](const Val* a, int k) { return a[k].i != 0; };

// The 64-bit forms test the sizes against the 32-bit range right after the size tests.
#define QPX_CHANNELS(k) code(k, channels_ok, qpxStatusBadChannel, 1, 2, 0, 0, 2)
// (kernelSize, dataType, numChannels, specSize)
#define QPX_SPEC_SIZE(...)            \
    decl<size(0), __VA_ARGS__ ptr(3), \
         code(1, kernel_type_ok, qpxStatusBadDataType, qpx32f, qpx8u, 0, 0, 2), QPX_CHANNELS(2)>
template <Form F>
constexpr const Decl& kSpecSize = F == Form::Wide ? QPX_SPEC_SIZE(limit32(0), limit32(0, 1), )
                                                  : QPX_SPEC_SIZE();
// (roi, kernelSize, dataType, kernelType, numChannels, bufferSize)
#define QPX_BUFFER_SIZE(...)                                              \
    decl<size(0), size(1), __VA_ARGS__ ptr(5),                            \
         code(2, image_type_ok, qpxStatusBadDataType, qpx8u, 2, 0, 0, 2), \
         code(3, kernel_type_ok, qpxStatusBadDataType, qpx32f, qpx8u, 0, 0, 2), QPX_CHANNELS(4)>
template <Form F>
constexpr const Decl& kBufferSize = F == Form::Wide ? QPX_BUFFER_SIZE(limit32(0), limit32(0, 1),
                                                                      limit32(1), limit32(1, 1), )
                                                    : QPX_BUFFER_SIZE();
// (rowKernel, columnKernel, kernelSize, dataType, numChannels, spec)
#define QPX_INIT_32F(...)                                                                        \
    decl<ptr(0), ptr(1), ptr(5), size(2),                                                        \
         __VA_ARGS__ code(3, float_image_type_ok, qpxStatusBadDataType, qpx8u, qpx16s, 0, 0, 2), \
         QPX_CHANNELS(4)>
template <Form F>
constexpr const Decl& kInit32f = F == Form::Wide ? QPX_INIT_32F(limit32(2), limit32(2, 1), )
                                                 : QPX_INIT_32F();
// (rowKernel, columnKernel, kernelSize, divisor, scaleFactor, dataType, numChannels, spec)
#define QPX_INIT_16S(...)                                                                      \
    decl<ptr(0), ptr(7), ptr(1), size(2),                                                      \
         __VA_ARGS__ code(5, int_image_type_ok, qpxStatusBadDataType, qpx8u, qpx32f, 0, 0, 2), \
         QPX_CHANNELS(6), code(3, nonzero, qpxStatusDivisorZero, 1, 0, 0, 0, 1)>
template <Form F>
constexpr const Decl& kInit16s = F == Form::Wide ? QPX_INIT_16S(limit32(2), limit32(2, 1), )
                                                 : QPX_INIT_16S();
#undef QPX_SPEC_SIZE
#undef QPX_BUFFER_SIZE
#undef QPX_INIT_32F
#undef QPX_INIT_16S
#undef QPX_CHANNELS
// (roi, kernelSize, bufferSize)
constexpr const Decl& kPipeSize = decl<ptr(2), size(0), count(1)>;

template <Form F, class Out>
qpxStatus spec_size(qpxSizeL ks, int dataType, int channels, Out* specSize) {
    if (qpxStatus st = check_args(kSpecSize<F>, ks, dataType, channels, specSize)) return st;
    *specSize = static_cast<Out>(separable_spec_size(ks.width, ks.height, dataType));
    return qpxStatusOk;
}

template <Form F, class Out>
qpxStatus buffer_size(qpxSizeL roi, qpxSizeL ks, int dataType, int kernelType, int channels,
                      Out* bufferSize) {
    qpxStatus st = check_args(kBufferSize<F>, roi, ks, dataType, kernelType, channels, bufferSize);
    if (st) return st;
    *bufferSize = static_cast<Out>(
        separable_buffer_size(roi.width, ks.width, ks.height, kernelType, channels));
    return qpxStatusOk;
}

template <Form F>
qpxStatus init_32f(const float* rowK, const float* colK, qpxSizeL ks, int dataType, int channels,
                   qpxFilterSeparableSpec* spec) {
    qpxStatus st = check_args(kInit32f<F>, rowK, colK, ks, dataType, channels, spec);
    if (st) return st;
    separable_init(spec, kSepKernel32f, rowK, colK, int(ks.width), int(ks.height), 1, 0, channels);
    return qpxStatusOk;
}

template <Form F>
qpxStatus init_16s(const s16* rowK, const s16* colK, qpxSizeL ks, int divisor, int scaleFactor,
                   int dataType, int channels, qpxFilterSeparableSpec* spec) {
    qpxStatus st =
        check_args(kInit16s<F>, rowK, colK, ks, divisor, scaleFactor, dataType, channels, spec);
    if (st) return st;
    separable_init(spec, kSepKernel16s, rowK, colK, int(ks.width), int(ks.height), divisor,
                   scaleFactor, channels);
    return qpxStatusOk;
}

// Border values of a multi-channel call; a missing array reads as zeros.
template <class T, int ch>
const T* values_of(const T* v) {
    static constexpr T zeros[4] = {};
    return v ? v : zeros;
}

constexpr Rule filter_border_ok = [](const Val* a, int k) {
    return accept_filter_border(std::uint32_t(a[k].i));
};
// (src, srcStep, dst, dstStep, roi, border, borderValue, spec, buffer)
#define QPX_APPLY(T, D, ch, ...)                                                 \
    decl<ptr(0), ptr(2), ptr(7), ptr(8), size(4), __VA_ARGS__ step<T>(1, 4, ch), \
         step<D>(3, 4, ch), border(5, filter_border_ok, 1, 2, 0xF2, 0x101)>
template <class T, class D, int ch, Form F>
constexpr const Decl& kApply = F == Form::Wide ? QPX_APPLY(T, D, ch, limit32(4), limit32(4, 1),
                                                           limit32(1), limit32(3), )
                                               : QPX_APPLY(T, D, ch);
#undef QPX_APPLY

// The 64-bit forms mask the denormal-operand exception while they filter.
template <class T, class D, int ch, Form F>
qpxStatus apply(const T* src, i64 srcStep, D* dst, i64 dstStep, qpxSizeL roi, std::uint32_t border,
                const T* value, const qpxFilterSeparableSpec* spec, u8* buffer) {
    qpxStatus st = check_args(kApply<T, D, ch, F>, src, srcStep, dst, dstStep, roi, border, value,
                              spec, buffer);
    if (st) return st;
    if constexpr (F == Form::Wide) {
        DenormalMaskScope denormals;
        separable_filter<T, D, ch>(cpu_target(), view(src, srcStep, roi, ch),
                                   view(dst, dstStep, roi, ch), border, value, spec, buffer);
    } else {
        separable_filter<T, D, ch>(cpu_target(), view(src, srcStep, roi, ch),
                                   view(dst, dstStep, roi, ch), border, value, spec, buffer);
    }
    return qpxStatusOk;
}

template <class T, class D, int ch, Form F>
qpxStatus apply1(const T* src, i64 srcStep, D* dst, i64 dstStep, qpxSizeL roi, std::uint32_t border,
                 T value, const qpxFilterSeparableSpec* spec, u8* buffer) {
    return apply<T, D, ch, F>(src, srcStep, dst, dstStep, roi, border, &value, spec, buffer);
}

template <class T, class D, int ch, Form F>
qpxStatus applyN(const T* src, i64 srcStep, D* dst, i64 dstStep, qpxSizeL roi, std::uint32_t border,
                 const T* value, const qpxFilterSeparableSpec* spec, u8* buffer) {
    return apply<T, D, ch, F>(src, srcStep, dst, dstStep, roi, border, values_of<T, ch>(value),
                              spec, buffer);
}

// Rows of a pointer array: every one of the first n entries must be set. The array is at k, the
// ROI at 3; a column stage reads kernelSize (at 5) - 1 rows more.
template <bool column>
constexpr Rule rows_set = [](const Val* a, int k) {
    const auto* rows = reinterpret_cast<const void* const*>(static_cast<std::uintptr_t>(a[k].i));
    const i64 n = a[3].h + (column ? a[5].i - 1 : 0);
    if (!rows) return false;  // refused before, by the pointer test; safe when checked alone
    for (i64 i = 0; i < n; ++i)
        if (rows[i] == nullptr) return false;
    return true;
};
constexpr Rule anchor_ok = [](const Val* a, int k) { return a[k].i >= 0 && a[k].i < a[k - 1].i; };
constexpr Rule nonzero_divisor = [](const Val* a, int k) { return a[k].i != 0; };
constexpr Rule positive_divisor = [](const Val* a, int k) { return a[k].i >= 1; };

// (src, srcStep, ppDst, roi, kernel, kernelSize, xAnchor, border, borderValue[, divisor], buffer)
#define QPX_ROW_HEAD(T, ch, buffer)                                              \
    ptr(0), ptr(2), ptr(4), ptr(buffer), size(3),                                \
        code(2, rows_set<false>, qpxStatusNullPointer, 0, 0, 0, 0, 1), count(5), \
        code(6, anchor_ok, qpxStatusBadAnchor, 1, -1, 99, 0, 2), step<T>(1, 3, ch)
#define QPX_ROW_BORDER border(7, filter_border_ok, 1, 2, 0xF2, 0x101)
template <class T, int ch>
constexpr const Decl& kRowFloat = decl<QPX_ROW_HEAD(T, ch, 9), QPX_ROW_BORDER>;
// Where the divisor test stands and the least divisor differ between the integer stages.
enum class Divisor { AfterBorder, BeforeBorder, BeforeBorderPositive };
template <class T, int ch, Divisor d>
constexpr const Decl& kRowInt =
    d == Divisor::AfterBorder ? decl<QPX_ROW_HEAD(T, ch, 10), QPX_ROW_BORDER,
                                     code(9, nonzero_divisor, qpxStatusBadArgument, 1, 0, 0, 0, 1)>
    : d == Divisor::BeforeBorder
        ? decl<QPX_ROW_HEAD(T, ch, 10),
               code(9, nonzero_divisor, qpxStatusBadArgument, 1, 0, 0, 0, 1), QPX_ROW_BORDER>
        : decl<QPX_ROW_HEAD(T, ch, 10),
               code(9, positive_divisor, qpxStatusBadArgument, 1, 0, -1, 0, 2), QPX_ROW_BORDER>;
#undef QPX_ROW_HEAD
#undef QPX_ROW_BORDER
// (ppSrc, dst, dstStep, roi, kernel, kernelSize[, divisor], buffer)
#define QPX_COLUMN(D, ch, buffer)                                                                  \
    ptr(0), ptr(1), ptr(4), size(3), code(0, rows_set<true>, qpxStatusNullPointer, 0, 0, 0, 0, 1), \
        count(5), step<D>(2, 3, ch), ptr(buffer)
template <class D, int ch>
constexpr const Decl& kColumnFloat = decl<QPX_COLUMN(D, ch, 6)>;
template <class D, int ch>
constexpr const Decl& kColumnInt =
    decl<QPX_COLUMN(D, ch, 7), code(6, nonzero_divisor, qpxStatusBadArgument, 1, 0, 0, 0, 1)>;
#undef QPX_COLUMN

template <RowKind kind, class T, class D, class K, int ch>
qpxStatus row_stage_export(const T* src, int srcStep, D** ppDst, qpxSize roi, const K* kernel,
                           int ks, int anchor, std::uint32_t border, const T* value, int divisor,
                           u8* buffer) {
    row_stage<kind, T, D, K, ch>(cpu_target(), view(src, srcStep, roi, ch), ppDst, kernel, ks,
                                 anchor, border, value, divisor, buffer);
    return qpxStatusOk;
}

// Integer row stages take one border value for every channel.
template <RowKind kind, class T, class D, int ch, Divisor d>
qpxStatus row_export_int(const T* src, int srcStep, D** ppDst, qpxSize roi, const s16* kernel,
                         int ks, int anchor, std::uint32_t border, T value, int divisor,
                         u8* buffer) {
    qpxStatus st = check_args(kRowInt<T, ch, d>, src, srcStep, ppDst, roi, kernel, ks, anchor,
                              border, value, divisor, buffer);
    if (st) return st;
    const T values[3] = {value, value, value};
    return row_stage_export<kind, T, D, s16, ch>(src, srcStep, ppDst, roi, kernel, ks, anchor,
                                                 border, values, divisor, buffer);
}

template <RowKind kind, class S, class D, class K, int ch>
qpxStatus column_export(const S* const* ppSrc, D* dst, int dstStep, qpxSize roi, const K* kernel,
                        int ks, int divisor, u8* buffer) {
    qpxStatus st =
        kind == RowKind::Float
            ? check_args(kColumnFloat<D, ch>, ppSrc, dst, dstStep, roi, kernel, ks, buffer)
            : check_args(kColumnInt<D, ch>, ppSrc, dst, dstStep, roi, kernel, ks, divisor, buffer);
    if (st) return st;
    column_stage<kind, S, D, K, ch>(cpu_target(), ppSrc, view(dst, dstStep, roi, ch), kernel, ks,
                                    divisor);
    return qpxStatusOk;
}

// Pipeline buffer queries: 32-bit unsigned arithmetic, as reported.
template <class F>
qpxStatus pipe_size(qpxSize roi, int ks, int* bufferSize, F formula) {
    if (qpxStatus st = check_args(kPipeSize, roi, ks, bufferSize)) return st;
    *bufferSize = static_cast<int>(formula(std::uint32_t(roi.width), std::uint32_t(ks)));
    return qpxStatusOk;
}

inline qpxSizeL wide(qpxSize s) {
    return {s.width, s.height};
}

}  // namespace
}  // namespace qpx::filter

using namespace qpx::filter;
using qpx::Form;
using qpx::filter::s16;
using qpx::filter::s8;
using qpx::filter::u16;
using qpx::filter::u8;

// ---- spec-based filter --------------------------------------------------------------------------

QPX_DECLARE(qpxiFilterSeparableGetSpecSize, kSpecSize<Form::Narrow>)
QPX_EXPORT qpxStatus qpxiFilterSeparableGetSpecSize(qpxSize kernelSize, qpxDataType dataType,
                                                    int numChannels, int* specSize) {
    return spec_size<Form::Narrow>(wide(kernelSize), dataType, numChannels, specSize);
}
QPX_DECLARE(qpxiFilterSeparableGetSpecSize_L, kSpecSize<Form::Wide>)
QPX_EXPORT qpxStatus qpxiFilterSeparableGetSpecSize_L(qpxSizeL kernelSize, qpxDataType dataType,
                                                      int numChannels, std::int64_t* specSize) {
    return spec_size<Form::Wide>(kernelSize, dataType, numChannels, specSize);
}
QPX_DECLARE(qpxiFilterSeparableGetBufferSize, kBufferSize<Form::Narrow>)
QPX_EXPORT qpxStatus qpxiFilterSeparableGetBufferSize(qpxSize roiSize, qpxSize kernelSize,
                                                      qpxDataType dataType, qpxDataType kernelType,
                                                      int numChannels, int* bufferSize) {
    return buffer_size<Form::Narrow>(wide(roiSize), wide(kernelSize), dataType, kernelType,
                                     numChannels, bufferSize);
}
QPX_DECLARE(qpxiFilterSeparableGetBufferSize_L, kBufferSize<Form::Wide>)
QPX_EXPORT qpxStatus qpxiFilterSeparableGetBufferSize_L(qpxSizeL roiSize, qpxSizeL kernelSize,
                                                        qpxDataType dataType,
                                                        qpxDataType kernelType, int numChannels,
                                                        std::int64_t* bufferSize) {
    return buffer_size<Form::Wide>(roiSize, kernelSize, dataType, kernelType, numChannels,
                                   bufferSize);
}
QPX_DECLARE(qpxiFilterSeparableInit_32f, kInit32f<Form::Narrow>)
QPX_EXPORT qpxStatus qpxiFilterSeparableInit_32f(const float* rowKernel, const float* columnKernel,
                                                 qpxSize kernelSize, qpxDataType dataType,
                                                 int numChannels, qpxFilterSeparableSpec* spec) {
    return init_32f<Form::Narrow>(rowKernel, columnKernel, wide(kernelSize), dataType, numChannels,
                                  spec);
}
QPX_DECLARE(qpxiFilterSeparableInit_32f_L, kInit32f<Form::Wide>)
QPX_EXPORT qpxStatus qpxiFilterSeparableInit_32f_L(const float* rowKernel,
                                                   const float* columnKernel, qpxSizeL kernelSize,
                                                   qpxDataType dataType, int numChannels,
                                                   qpxFilterSeparableSpec* spec) {
    return init_32f<Form::Wide>(rowKernel, columnKernel, kernelSize, dataType, numChannels, spec);
}
QPX_DECLARE(qpxiFilterSeparableInit_16s, kInit16s<Form::Narrow>)
QPX_EXPORT qpxStatus qpxiFilterSeparableInit_16s(const s16* rowKernel, const s16* columnKernel,
                                                 qpxSize kernelSize, int divisor, int scaleFactor,
                                                 qpxDataType dataType, int numChannels,
                                                 qpxFilterSeparableSpec* spec) {
    return init_16s<Form::Narrow>(rowKernel, columnKernel, wide(kernelSize), divisor, scaleFactor,
                                  dataType, numChannels, spec);
}
QPX_DECLARE(qpxiFilterSeparableInit_16s_L, kInit16s<Form::Wide>)
QPX_EXPORT qpxStatus qpxiFilterSeparableInit_16s_L(const s16* rowKernel, const s16* columnKernel,
                                                   qpxSizeL kernelSize, int divisor,
                                                   int scaleFactor, qpxDataType dataType,
                                                   int numChannels, qpxFilterSeparableSpec* spec) {
    return init_16s<Form::Wide>(rowKernel, columnKernel, kernelSize, divisor, scaleFactor, dataType,
                                numChannels, spec);
}

// clang-format off
#define QPX_SEP_C1(name, T, D)                                                                    \
    QPX_DECLARE(name, (kApply<T, D, 1, Form::Narrow>))                                           \
    QPX_DECLARE(name##_L, (kApply<T, D, 1, Form::Wide>))                                         \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, D* dst, int dstStep, qpxSize roiSize,   \
                              qpxBorderType borderType, T borderValue,                           \
                              const qpxFilterSeparableSpec* spec, u8* buffer) {                  \
        return apply1<T, D, 1, Form::Narrow>(src, srcStep, dst, dstStep, wide(roiSize),         \
                                             borderType, borderValue, spec, buffer);             \
    }                                                                                            \
    QPX_EXPORT qpxStatus name##_L(const T* src, std::int64_t srcStep, D* dst,                    \
                                  std::int64_t dstStep, qpxSizeL roiSize,                        \
                                  qpxBorderType borderType, T borderValue,                       \
                                  const qpxFilterSeparableSpec* spec, u8* buffer) {              \
        return apply1<T, D, 1, Form::Wide>(src, srcStep, dst, dstStep, roiSize, borderType,      \
                                           borderValue, spec, buffer);                           \
    }
#define QPX_SEP_CN(name, T, D, ch)                                                                \
    QPX_DECLARE(name, (kApply<T, D, ch, Form::Narrow>))                                          \
    QPX_DECLARE(name##_L, (kApply<T, D, ch, Form::Wide>))                                        \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, D* dst, int dstStep, qpxSize roiSize,   \
                              qpxBorderType borderType, const T* borderValue,                    \
                              const qpxFilterSeparableSpec* spec, u8* buffer) {                  \
        return applyN<T, D, ch, Form::Narrow>(src, srcStep, dst, dstStep, wide(roiSize),        \
                                              borderType, borderValue, spec, buffer);            \
    }                                                                                            \
    QPX_EXPORT qpxStatus name##_L(const T* src, std::int64_t srcStep, D* dst,                    \
                                  std::int64_t dstStep, qpxSizeL roiSize,                        \
                                  qpxBorderType borderType, const T* borderValue,                \
                                  const qpxFilterSeparableSpec* spec, u8* buffer) {              \
        return applyN<T, D, ch, Form::Wide>(src, srcStep, dst, dstStep, roiSize, borderType,     \
                                            borderValue, spec, buffer);                          \
    }
#define QPX_SEP(tag, T, D)                                                                        \
    QPX_SEP_C1(qpxiFilterSeparable_##tag##_C1R, T, D)                                            \
    QPX_SEP_CN(qpxiFilterSeparable_##tag##_C3R, T, D, 3)                                         \
    QPX_SEP_CN(qpxiFilterSeparable_##tag##_C4R, T, D, 4)

QPX_SEP(8u, u8, u8)
QPX_SEP(8u16s, u8, s16)
QPX_SEP(16s, s16, s16)
QPX_SEP(16u, u16, u16)
QPX_SEP(32f, float, float)

// ---- row stages ---------------------------------------------------------------------------------

QPX_DECLARE(qpxiFilterRowBorderPipeline_32f_C1R, (kRowFloat<float, 1>))
QPX_DECLARE(qpxiFilterRowBorderPipeline_32f_C3R, (kRowFloat<float, 3>))
QPX_EXPORT qpxStatus qpxiFilterRowBorderPipeline_32f_C1R(const float* src, int srcStep, float** ppDst, qpxSize roiSize, const float* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, float borderValue, u8* buffer) {
    if (qpxStatus st = qpx::check_args(kRowFloat<float, 1>, src, srcStep, ppDst, roiSize, kernel, kernelSize, xAnchor, borderType, borderValue, buffer)) return st;
    return row_stage_export<RowKind::Float, float, float, float, 1>(src, srcStep, ppDst, roiSize, kernel, kernelSize, xAnchor, borderType, &borderValue, 1, buffer);
}
QPX_EXPORT qpxStatus qpxiFilterRowBorderPipeline_32f_C3R(const float* src, int srcStep, float** ppDst, qpxSize roiSize, const float* kernel, int kernelSize, int xAnchor, qpxBorderType borderType, const float* borderValue, u8* buffer) {
    if (qpxStatus st = qpx::check_args(kRowFloat<float, 3>, src, srcStep, ppDst, roiSize, kernel, kernelSize, xAnchor, borderType, borderValue, buffer)) return st;
    return row_stage_export<RowKind::Float, float, float, float, 3>(src, srcStep, ppDst, roiSize, kernel, kernelSize, xAnchor, borderType, values_of<float, 3>(borderValue), 1, buffer);
}

#define QPX_ROW(name, kind, T, D, ch, divisor)                                                    \
    QPX_DECLARE(name, (kRowInt<T, ch, Divisor::divisor>))                                        \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, D** ppDst, qpxSize roiSize,              \
                              const s16* kernel, int kernelSize, int xAnchor,                    \
                              qpxBorderType borderType, T borderValue, int divisor, u8* buffer) { \
        return row_export_int<RowKind::kind, T, D, ch, Divisor::divisor>(                        \
            src, srcStep, ppDst, roiSize, kernel, kernelSize, xAnchor, borderType, borderValue,   \
            divisor, buffer);                                                                     \
    }
QPX_ROW(qpxiFilterRowBorderPipeline_8u16s_C1R, Scaled, u8, s16, 1, AfterBorder)
QPX_ROW(qpxiFilterRowBorderPipeline_8u16s_C3R, Scaled, u8, s16, 3, AfterBorder)
QPX_ROW(qpxiFilterRowBorderPipeline_16s_C1R, Scaled, s16, s16, 1, BeforeBorder)
QPX_ROW(qpxiFilterRowBorderPipeline_16s_C3R, Scaled, s16, s16, 3, BeforeBorder)
QPX_ROW(qpxiFilterRowBorderPipeline_16u_C1R, Scaled, u16, u16, 1, BeforeBorderPositive)
QPX_ROW(qpxiFilterRowBorderPipeline_16u_C3R, Scaled, u16, u16, 3, BeforeBorderPositive)
QPX_ROW(qpxiFilterRowBorderPipeline_Low_16s_C1R, Low, s16, s16, 1, BeforeBorder)
QPX_ROW(qpxiFilterRowBorderPipeline_Low_16s_C3R, Low, s16, s16, 3, BeforeBorder)

// ---- column stages ------------------------------------------------------------------------------

QPX_DECLARE(qpxiFilterColumnPipeline_32f_C1R, (kColumnFloat<float, 1>))
QPX_DECLARE(qpxiFilterColumnPipeline_32f_C3R, (kColumnFloat<float, 3>))
QPX_EXPORT qpxStatus qpxiFilterColumnPipeline_32f_C1R(const float* const* ppSrc, float* dst, int dstStep, qpxSize roiSize, const float* kernel, int kernelSize, u8* buffer) {
    return column_export<RowKind::Float, float, float, float, 1>(ppSrc, dst, dstStep, roiSize, kernel, kernelSize, 1, buffer);
}
QPX_EXPORT qpxStatus qpxiFilterColumnPipeline_32f_C3R(const float* const* ppSrc, float* dst, int dstStep, qpxSize roiSize, const float* kernel, int kernelSize, u8* buffer) {
    return column_export<RowKind::Float, float, float, float, 3>(ppSrc, dst, dstStep, roiSize, kernel, kernelSize, 1, buffer);
}

#define QPX_COL(name, kind, S, D, ch)                                                             \
    QPX_DECLARE(name, (kColumnInt<D, ch>))                                                       \
    QPX_EXPORT qpxStatus name(const S* const* ppSrc, D* dst, int dstStep, qpxSize roiSize,        \
                              const s16* kernel, int kernelSize, int divisor, u8* buffer) {       \
        return column_export<RowKind::kind, S, D, s16, ch>(ppSrc, dst, dstStep, roiSize, kernel, \
                                                           kernelSize, divisor, buffer);         \
    }
QPX_COL(qpxiFilterColumnPipeline_16s_C1R, Scaled, s16, s16, 1)
QPX_COL(qpxiFilterColumnPipeline_16s_C3R, Scaled, s16, s16, 3)
QPX_COL(qpxiFilterColumnPipeline_16s8u_C1R, Scaled, s16, u8, 1)
QPX_COL(qpxiFilterColumnPipeline_16s8u_C3R, Scaled, s16, u8, 3)
QPX_COL(qpxiFilterColumnPipeline_16s8s_C1R, Scaled, s16, s8, 1)
QPX_COL(qpxiFilterColumnPipeline_16s8s_C3R, Scaled, s16, s8, 3)
QPX_COL(qpxiFilterColumnPipeline_16u_C1R, Scaled, u16, u16, 1)
QPX_COL(qpxiFilterColumnPipeline_16u_C3R, Scaled, u16, u16, 3)
QPX_COL(qpxiFilterColumnPipeline_Low_16s_C1R, Low, s16, s16, 1)
QPX_COL(qpxiFilterColumnPipeline_Low_16s_C3R, Low, s16, s16, 3)

// ---- pipeline buffer queries --------------------------------------------------------------------

#define QPX_PIPE_SIZE(name, expr)                                                                 \
    QPX_DECLARE(name, kPipeSize)                                                                  \
    QPX_EXPORT qpxStatus name(qpxSize roiSize, int kernelSize, int* bufferSize) {                 \
        return pipe_size(roiSize, kernelSize, bufferSize,                                        \
                         [](std::uint32_t w, std::uint32_t ks) { (void)w; (void)ks; return expr; }); \
    }
#define QPX_W4(w) (((w) + 3u) & ~3u)
#define QPX_W8(w) (((w) + 7u) & ~7u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_32f_C1R, 96u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_32f_C3R, 288u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C1R, 36u * ks + 144u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C3R, 60u * ks + 144u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_16s_C1R, 48u * ks + 112u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_16s_C3R, 40u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_16u_C1R, 64u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_16u_C3R, 128u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C1R, 24u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C3R, 208u * ks + 96u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_32f_C1R, 32u * ks + 32u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_32f_C3R, 32u * ks + 32u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16s_C1R, 12u * QPX_W4(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16s_C3R, 36u * QPX_W4(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16s8u_C1R, 12u * QPX_W4(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16s8u_C3R, 36u * QPX_W4(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16s8s_C1R, 12u * QPX_W4(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16s8s_C3R, 36u * QPX_W4(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16u_C1R, 32u * (ks + (8u * w * 1u + 24u) / 32u) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_16u_C3R, 32u * (ks + (8u * w * 3u + 24u) / 32u) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_Low_16s_C1R, 12u * QPX_W8(w) + 64u)
QPX_PIPE_SIZE(qpxiFilterColumnPipelineGetBufferSize_Low_16s_C3R, 36u * QPX_W8(w) + 64u)
// clang-format on
