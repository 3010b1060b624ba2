// Separable filtering kernels, compiled once per vector target: the spec-based filter with its
// ring of float work rows, and the exported row and column stages.
#include "frame/vec.hpp"
#include "filter/filter_vec.hpp"
#include "filter/pipeline.hpp"
#include "filter/separable.hpp"

namespace qpx::filter::QPX_TNS {
namespace {

using namespace sep;
using i16 = std::int16_t;
using u8 = std::uint8_t;
using u16 = std::uint16_t;

// The spec-based filter for one kernel element type.
template <class T, class D, class K, int ch>
void separable_run(View<const T> src, View<D> dst, std::uint32_t border, const T* value,
                   const K* rowK, const K* colK, int kw, int kh, int divisor,
                   std::uint8_t* buffer) {
    const int ax = (kw - 1) / 2, ay = (kh - 1) / 2;
    const i64 width = dst.width, height = dst.height;
    const float inv = 1.0f / static_cast<float>(divisor);
    const auto image = BorderRows<T, ch>::filter(src, border, value);
    const i64 rowLen = (width + kw - 1) * ch;  // one extended row, in floats
    const i64 elems = width * ch;

    const auto at = separable_buffer_slots(width, kw, kh, ch).carve(buffer);
    const float** ring = reinterpret_cast<const float**>(at[0]);
    float* slots = reinterpret_cast<float*>(at[1]);
    auto slot = [&](i64 s) { return slots + s * rowLen; };

    // Work row y (relative to the ROI): the row stage of extended row y.
    auto produce = [&](i64 y, float* out) {
        image.build_row(y, -ax, width + kw - 1 - ax, out, WidenMoves{});
        row_pass_f32(out, out, elems, ch, rowK, kw, inv);
    };

    for (int j = 0; j < kh; ++j) produce(j - ay, slot(j));
    for (i64 y = 0; y < height; ++y) {
        for (int j = 0; j < kh; ++j) ring[j] = slot((y + j) % kh);
        column_pass<ColScale::Sum>(ring, 0, dst.row(y), elems, colK, kh, inv);
        // The slot of row y - ay takes row y - ay + kh; none is read past the last output row.
        if (y + 1 < height) produce(y - ay + kh, slot(y % kh));
    }
}

template <class T, class D, int ch>
void separable_filter(View<const T> src, View<D> dst, std::uint32_t border, const T* value,
                      const qpxFilterSeparableSpec* spec, std::uint8_t* buffer) {
    if (spec->kernelKind == kSepKernel32f)
        separable_run<T, D, float, ch>(src, dst, border, value, spec->rowKernel32f,
                                       spec->colKernel32f, spec->kernelWidth, spec->kernelHeight, 1,
                                       buffer);
    else
        separable_run<T, D, i16, ch>(src, dst, border, value, spec->rowKernel16s,
                                     spec->colKernel16s, spec->kernelWidth, spec->kernelHeight,
                                     spec->divisor, buffer);
}

// The outputs are the caller's row pointers (see separable.hpp).
template <RowKind kind, class T, class D, class K, int ch>
void row_stage(View<const T> src, D* const* ppDst, const K* kernel, int ks, int ax,
               std::uint32_t border, const T* value, int divisor, std::uint8_t* buffer) {
    const LineExtension ext = RowExtension::make(border, src.width);
    T* strip = reinterpret_cast<T*>(row_stage_slots(ks, ch, int(sizeof(T))).carve(buffer)[0]);
    const float inv = kind == RowKind::Float ? 1.0f : 1.0f / static_cast<float>(divisor);
    const int mul = kind == RowKind::Low ? low_multiplier(divisor) : 0;
    for (i64 y = 0; y < src.height; ++y) {
        D* out = ppDst[y];
        auto pass = [&](const T* in, i64 off, i64 n) {
            if constexpr (kind == RowKind::Float)
                row_pass_f32(in, out + off, n, ch, kernel, ks, 1.0f);
            else if constexpr (kind == RowKind::Scaled)
                row_pass_int<IntConv::Scaled>(in, out + off, n, ch, kernel, ks, inv, 0);
            else
                row_pass_int<IntConv::LowFixed>(in, out + off, n, ch, kernel, ks, 0.0f, mul);
        };
        row_with_border<T, ch>(src.row(y), src.width, ks, ax, ext, value, strip, pass);
    }
}

// The inputs are the caller's ring of rows (see separable.hpp).
template <RowKind kind, class S, class D, class K, int ch>
void column_stage(const S* const* ppSrc, View<D> dst, const K* kernel, int ks, int divisor) {
    const i64 elems = dst.width * ch;
    for (i64 y = 0; y < dst.height; ++y) {
        D* out = dst.row(y);
        if constexpr (kind == RowKind::Float) {
            column_pass<ColScale::None>(ppSrc + y, 0, out, elems, kernel, ks, 1.0f);
        } else if constexpr (kind == RowKind::Scaled) {
            const float inv = 1.0f / static_cast<float>(divisor);
            column_pass<ColScale::PerTap>(ppSrc + y, 0, out, elems, kernel, ks, inv);
        } else {
            column_pass_low16s(ppSrc + y, out, elems, kernel, ks, low_multiplier(divisor));
        }
    }
}

}  // namespace

#define QPX_SEP_F(T, D) \
    { separable_filter<T, D, 1>, separable_filter<T, D, 3>, separable_filter<T, D, 4> }
#define QPX_SEP_ROW(kind, T, D, K) \
    { row_stage<RowKind::kind, T, D, K, 1>, row_stage<RowKind::kind, T, D, K, 3> }
#define QPX_SEP_COL(kind, S, D, K) \
    { column_stage<RowKind::kind, S, D, K, 1>, column_stage<RowKind::kind, S, D, K, 3> }

extern const SeparableKernels separable_kernels = {
    QPX_SEP_F(u8, u8),
    QPX_SEP_F(u8, i16),
    QPX_SEP_F(i16, i16),
    QPX_SEP_F(u16, u16),
    QPX_SEP_F(float, float),
    QPX_SEP_ROW(Float, float, float, float),
    QPX_SEP_ROW(Scaled, u8, i16, i16),
    QPX_SEP_ROW(Scaled, i16, i16, i16),
    QPX_SEP_ROW(Scaled, u16, u16, i16),
    QPX_SEP_ROW(Low, i16, i16, i16),
    QPX_SEP_COL(Float, float, float, float),
    QPX_SEP_COL(Scaled, i16, i16, i16),
    QPX_SEP_COL(Scaled, i16, u8, i16),
    QPX_SEP_COL(Scaled, i16, std::int8_t, i16),
    QPX_SEP_COL(Scaled, u16, u16, i16),
    QPX_SEP_COL(Low, i16, i16, i16),
};

}  // namespace qpx::filter::QPX_TNS
