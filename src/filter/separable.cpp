// Separable filtering kernels: the spec-based filter with its ring of float work rows, and the
// exported row and column stages.
#include "filter/separable.hpp"

#include <cstring>

namespace qpx::filter {
namespace {

using i16 = std::int16_t;
using u8 = std::uint8_t;

template <class P>
P* align_up(void* p, std::uintptr_t a) {
    auto v = reinterpret_cast<std::uintptr_t>(p);
    return reinterpret_cast<P*>((v + a - 1) & ~(a - 1));
}

constexpr i64 kSpecHead = static_cast<i64>(sizeof(qpxFilterSeparableSpec));
constexpr std::uintptr_t kCoeffAlign = 32;
// The reported spec size leaves 127 bytes for the record and the alignment of its coefficients.
static_assert(kSpecHead + static_cast<i64>(kCoeffAlign) - 1 <= 127);

// The spec-based filter for one kernel element type.
template <class T, class D, class K, int ch>
void separable_run(Path path, const T* src, i64 srcStep, D* dst, i64 dstStep, i64 width, i64 height,
                   std::uint32_t border, const T* value, const K* rowK, const K* colK, int kw,
                   int kh, int divisor, std::uint8_t* buffer) {
    const int ax = (kw - 1) / 2, ay = (kh - 1) / 2;
    const float inv = 1.0f / static_cast<float>(divisor);
    const RowExtension rext = RowExtension::make(border, width);
    const ColumnExtension cext = ColumnExtension::make(border, height);
    const i64 rowLen = (width + kw - 1) * ch;  // one extended row, in floats
    const i64 elems = width * ch;

    const float** ring = align_up<const float*>(buffer, 32);
    float* slots = align_up<float>(ring + kh, 32);
    auto slot = [&](i64 s) { return slots + s * rowLen; };

    // Work row y (relative to the ROI): the row stage of the source row it maps to, or of a
    // row of border values.
    auto produce = [&](i64 y, float* out) {
        const i64 sy = cext.map(y, height);
        if (sy == kConstIndex) {
            for (i64 i = 0; i < rowLen; i += ch)
                for (int c = 0; c < ch; ++c) out[i + c] = static_cast<float>(value[c]);
        } else {
            extend_row<T, ch, float>(path, row(src, srcStep, sy), width, rext, -ax,
                                     width + kw - 1 - ax, value, out);
        }
        row_pass_f32(path, out, out, elems, ch, rowK, kw, inv);
    };

    for (int j = 0; j < kh; ++j) produce(j - ay, slot(j));
    for (i64 y = 0; y < height; ++y) {
        for (int j = 0; j < kh; ++j) ring[j] = slot((y + j) % kh);
        column_pass<ColScale::Sum>(path, ring, 0, row(dst, dstStep, y), elems, colK, kh, inv);
        // The slot of row y - ay takes row y - ay + kh; none is read past the last output row.
        if (y + 1 < height) produce(y - ay + kh, slot(y % kh));
    }
}

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
    auto* coeffs = align_up<u8>(reinterpret_cast<u8*>(spec) + kSpecHead, kCoeffAlign);
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

template <class T, class D, int ch>
void separable_filter(Path path, const T* src, i64 srcStep, D* dst, i64 dstStep, i64 width,
                      i64 height, std::uint32_t border, const T* value,
                      const qpxFilterSeparableSpec* spec, std::uint8_t* buffer) {
    if (spec->kernelKind == kSepKernel32f)
        separable_run<T, D, float, ch>(path, src, srcStep, dst, dstStep, width, height, border,
                                       value, spec->rowKernel32f, spec->colKernel32f,
                                       spec->kernelWidth, spec->kernelHeight, 1, buffer);
    else
        separable_run<T, D, i16, ch>(path, src, srcStep, dst, dstStep, width, height, border, value,
                                     spec->rowKernel16s, spec->colKernel16s, spec->kernelWidth,
                                     spec->kernelHeight, spec->divisor, buffer);
}

template <RowKind kind, class T, class D, class K, int ch>
void row_stage(Path path, const T* src, i64 srcStep, D* const* ppDst, i64 width, i64 height,
               const K* kernel, int ks, int ax, std::uint32_t border, const T* value, int divisor,
               std::uint8_t* buffer) {
    const RowExtension ext = RowExtension::make(border, width);
    T* strip = align_up<T>(buffer, 32);
    const float inv = kind == RowKind::Float ? 1.0f : 1.0f / static_cast<float>(divisor);
    const int mul = kind == RowKind::Low ? low_multiplier(divisor) : 0;
    for (i64 y = 0; y < height; ++y) {
        D* out = ppDst[y];
        auto pass = [&](const T* in, i64 off, i64 n) {
            if constexpr (kind == RowKind::Float)
                row_pass_f32(path, in, out + off, n, ch, kernel, ks, 1.0f);
            else if constexpr (kind == RowKind::Scaled)
                row_pass_int<IntConv::Scaled>(path, in, out + off, n, ch, kernel, ks, inv, 0);
            else
                row_pass_int<IntConv::LowFixed>(path, in, out + off, n, ch, kernel, ks, 0.0f, mul);
        };
        row_with_border<T, ch>(path, row(src, srcStep, y), width, ks, ax, ext, value, strip, pass);
    }
}

template <RowKind kind, class S, class D, class K, int ch>
void column_stage(Path path, const S* const* ppSrc, D* dst, i64 dstStep, i64 width, i64 height,
                  const K* kernel, int ks, int divisor) {
    const i64 elems = width * ch;
    for (i64 y = 0; y < height; ++y) {
        D* out = row(dst, dstStep, y);
        if constexpr (kind == RowKind::Float) {
            column_pass<ColScale::None>(path, ppSrc + y, 0, out, elems, kernel, ks, 1.0f);
        } else if constexpr (kind == RowKind::Scaled) {
            const float inv = 1.0f / static_cast<float>(divisor);
            column_pass<ColScale::PerTap>(path, ppSrc + y, 0, out, elems, kernel, ks, inv);
        } else {
            column_pass_low16s(path, ppSrc + y, out, elems, kernel, ks, low_multiplier(divisor));
        }
    }
}

// ---- instances ----------------------------------------------------------------------------------

#define QPX_SEP_FILTER(T, D, ch)                                                     \
    template void separable_filter<T, D, ch>(Path, const T*, i64, D*, i64, i64, i64, \
                                             std::uint32_t, const T*,                \
                                             const qpxFilterSeparableSpec*, std::uint8_t*);
#define QPX_SEP_FILTER_CH(T, D) \
    QPX_SEP_FILTER(T, D, 1) QPX_SEP_FILTER(T, D, 3) QPX_SEP_FILTER(T, D, 4)
QPX_SEP_FILTER_CH(std::uint8_t, std::uint8_t)
QPX_SEP_FILTER_CH(std::uint8_t, std::int16_t)
QPX_SEP_FILTER_CH(std::int16_t, std::int16_t)
QPX_SEP_FILTER_CH(std::uint16_t, std::uint16_t)
QPX_SEP_FILTER_CH(float, float)

#define QPX_ROW_STAGE(kind, T, D, K, ch)                                                          \
    template void row_stage<RowKind::kind, T, D, K, ch>(Path, const T*, i64, D* const*, i64, i64, \
                                                        const K*, int, int, std::uint32_t,        \
                                                        const T*, int, std::uint8_t*);
#define QPX_ROW_STAGE_CH(kind, T, D, K) \
    QPX_ROW_STAGE(kind, T, D, K, 1) QPX_ROW_STAGE(kind, T, D, K, 3)
QPX_ROW_STAGE_CH(Float, float, float, float)
QPX_ROW_STAGE_CH(Scaled, std::uint8_t, std::int16_t, std::int16_t)
QPX_ROW_STAGE_CH(Scaled, std::int16_t, std::int16_t, std::int16_t)
QPX_ROW_STAGE_CH(Scaled, std::uint16_t, std::uint16_t, std::int16_t)
QPX_ROW_STAGE_CH(Low, std::int16_t, std::int16_t, std::int16_t)

#define QPX_COL_STAGE(kind, S, D, K, ch)                                                        \
    template void column_stage<RowKind::kind, S, D, K, ch>(Path, const S* const*, D*, i64, i64, \
                                                           i64, const K*, int, int);
#define QPX_COL_STAGE_CH(kind, S, D, K) \
    QPX_COL_STAGE(kind, S, D, K, 1) QPX_COL_STAGE(kind, S, D, K, 3)
QPX_COL_STAGE_CH(Float, float, float, float)
QPX_COL_STAGE_CH(Scaled, std::int16_t, std::int16_t, std::int16_t)
QPX_COL_STAGE_CH(Scaled, std::int16_t, std::uint8_t, std::int16_t)
QPX_COL_STAGE_CH(Scaled, std::int16_t, std::int8_t, std::int16_t)
QPX_COL_STAGE_CH(Scaled, std::uint16_t, std::uint16_t, std::int16_t)
QPX_COL_STAGE_CH(Low, std::int16_t, std::int16_t, std::int16_t)

}  // namespace qpx::filter
