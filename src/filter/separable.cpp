// Separable filtering: the size rules, the spec record, and the entry into the kernels of the
// chosen target.
#include "filter/separable.hpp"

#include <cstring>

namespace qpx::filter {
namespace {

using i16 = std::int16_t;
using u8 = std::uint8_t;

constexpr i64 kSpecHead = static_cast<i64>(sizeof(qpxFilterSeparableSpec));
// The reported spec size leaves 127 bytes for the record and the alignment of its coefficients.
static_assert(kSpecHead + separable_coeff_slots(0, 0, qpx32f).bytes() <= 127);

}  // namespace

i64 separable_spec_size(i64 kw, i64 kh, int kernelType) {
    return (kw + kh) * (kernelType == qpx16s ? 2 : 4) + 127;
}

i64 separable_buffer_size(i64 roiW, i64 kw, i64 kh, int kernelType, int channels) {
    const i64 e = kernelType == qpx16s ? 2 : 4;
    return 256 * kw + 8 * kh + (kw * e + (roiW + kw - 1) * kh) * channels * 4;
}

void separable_init(qpxFilterSeparableSpec* spec, int kind, const void* rowKernel,
                    const void* colKernel, int kw, int kh, int divisor, int scaleFactor,
                    int channels) {
    const std::size_t e = kind == kSepKernel32f ? sizeof(float) : sizeof(i16);
    u8* coeffs = separable_coeff_slots(kw, kh, kind == kSepKernel32f ? qpx32f : qpx16s)
                     .carve(reinterpret_cast<u8*>(spec) + kSpecHead)[0];
    std::memcpy(coeffs, rowKernel, e * kw);
    std::memcpy(coeffs + e * kw, colKernel, e * kh);
    spec->kernelKind = kind;
    spec->kernelWidth = kw;
    spec->kernelHeight = kh;
    spec->divisor = kind == kSepKernel32f ? 1 : divisor;
    spec->scaleFactor = kind == kSepKernel32f ? 0 : scaleFactor;
    spec->rowKernel16s = nullptr;
    spec->rowKernel32f = nullptr;
    spec->colKernel16s = nullptr;
    spec->colKernel32f = nullptr;
    if (kind == kSepKernel32f) {
        spec->rowKernel32f = reinterpret_cast<float*>(coeffs);
        spec->colKernel32f = reinterpret_cast<float*>(coeffs) + kw;
    } else {
        spec->rowKernel16s = reinterpret_cast<i16*>(coeffs);
        spec->colKernel16s = reinterpret_cast<i16*>(coeffs) + kw;
    }
    spec->numChannels = channels;
}

namespace {

constexpr int ch_index(int ch) {
    return ch == 1 ? 0 : ch == 3 ? 1 : 2;
}

}  // namespace

template <class T, class D, int ch>
void separable_filter(Target t, View<const T> src, View<D> dst, std::uint32_t border,
                      const T* value, const qpxFilterSeparableSpec* spec, std::uint8_t* buffer) {
    const SeparableKernels& k = separable_kernels(t);
    SepFilterFn<T, D> fn;
    if constexpr (std::is_same_v<T, u8> && std::is_same_v<D, u8>)
        fn = k.f8u[ch_index(ch)];
    else if constexpr (std::is_same_v<T, u8>)
        fn = k.f8u16s[ch_index(ch)];
    else if constexpr (std::is_same_v<T, i16>)
        fn = k.f16s[ch_index(ch)];
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        fn = k.f16u[ch_index(ch)];
    else
        fn = k.f32f[ch_index(ch)];
    fn(src, dst, border, value, spec, buffer);
}

template <RowKind kind, class T, class D, class K, int ch>
void row_stage(Target t, View<const T> src, D* const* ppDst, const K* kernel, int ks, int ax,
               std::uint32_t border, const T* value, int divisor, std::uint8_t* buffer) {
    const SeparableKernels& k = separable_kernels(t);
    SepRowFn<T, D, K> fn;
    if constexpr (kind == RowKind::Float)
        fn = k.row32f[ch_index(ch)];
    else if constexpr (kind == RowKind::Low)
        fn = k.rowLow16s[ch_index(ch)];
    else if constexpr (std::is_same_v<T, u8>)
        fn = k.row8u16s[ch_index(ch)];
    else if constexpr (std::is_same_v<T, i16>)
        fn = k.row16s[ch_index(ch)];
    else
        fn = k.row16u[ch_index(ch)];
    fn(src, ppDst, kernel, ks, ax, border, value, divisor, buffer);
}

template <RowKind kind, class S, class D, class K, int ch>
void column_stage(Target t, const S* const* ppSrc, View<D> dst, const K* kernel, int ks,
                  int divisor) {
    const SeparableKernels& k = separable_kernels(t);
    SepColFn<S, D, K> fn;
    if constexpr (kind == RowKind::Float)
        fn = k.col32f[ch_index(ch)];
    else if constexpr (kind == RowKind::Low)
        fn = k.colLow16s[ch_index(ch)];
    else if constexpr (std::is_same_v<S, std::uint16_t>)
        fn = k.col16u[ch_index(ch)];
    else if constexpr (std::is_same_v<D, u8>)
        fn = k.col16s8u[ch_index(ch)];
    else if constexpr (std::is_same_v<D, std::int8_t>)
        fn = k.col16s8s[ch_index(ch)];
    else
        fn = k.col16s[ch_index(ch)];
    fn(ppSrc, dst, kernel, ks, divisor);
}

// ---- instances ----------------------------------------------------------------------------------
#define QPX_SEP_FILTER(T, D, ch)                                                            \
    template void separable_filter<T, D, ch>(Target, View<const T>, View<D>, std::uint32_t, \
                                             const T*, const qpxFilterSeparableSpec*,       \
                                             std::uint8_t*);
#define QPX_SEP_FILTER_CH(T, D) \
    QPX_SEP_FILTER(T, D, 1) QPX_SEP_FILTER(T, D, 3) QPX_SEP_FILTER(T, D, 4)
QPX_SEP_FILTER_CH(std::uint8_t, std::uint8_t)
QPX_SEP_FILTER_CH(std::uint8_t, std::int16_t)
QPX_SEP_FILTER_CH(std::int16_t, std::int16_t)
QPX_SEP_FILTER_CH(std::uint16_t, std::uint16_t)
QPX_SEP_FILTER_CH(float, float)

#define QPX_ROW_STAGE(kind, T, D, K, ch)                                                   \
    template void row_stage<RowKind::kind, T, D, K, ch>(Target, View<const T>, D* const*,  \
                                                        const K*, int, int, std::uint32_t, \
                                                        const T*, int, std::uint8_t*);
#define QPX_ROW_STAGE_CH(kind, T, D, K) \
    QPX_ROW_STAGE(kind, T, D, K, 1) QPX_ROW_STAGE(kind, T, D, K, 3)
QPX_ROW_STAGE_CH(Float, float, float, float)
QPX_ROW_STAGE_CH(Scaled, std::uint8_t, std::int16_t, std::int16_t)
QPX_ROW_STAGE_CH(Scaled, std::int16_t, std::int16_t, std::int16_t)
QPX_ROW_STAGE_CH(Scaled, std::uint16_t, std::uint16_t, std::int16_t)
QPX_ROW_STAGE_CH(Low, std::int16_t, std::int16_t, std::int16_t)

#define QPX_COL_STAGE(kind, S, D, K, ch)                                                     \
    template void column_stage<RowKind::kind, S, D, K, ch>(Target, const S* const*, View<D>, \
                                                           const K*, int, int);
#define QPX_COL_STAGE_CH(kind, S, D, K) \
    QPX_COL_STAGE(kind, S, D, K, 1) QPX_COL_STAGE(kind, S, D, K, 3)
QPX_COL_STAGE_CH(Float, float, float, float)
QPX_COL_STAGE_CH(Scaled, std::int16_t, std::int16_t, std::int16_t)
QPX_COL_STAGE_CH(Scaled, std::int16_t, std::uint8_t, std::int16_t)
QPX_COL_STAGE_CH(Scaled, std::int16_t, std::int8_t, std::int16_t)
QPX_COL_STAGE_CH(Scaled, std::uint16_t, std::uint16_t, std::int16_t)
QPX_COL_STAGE_CH(Low, std::int16_t, std::int16_t, std::int16_t)

}  // namespace qpx::filter
