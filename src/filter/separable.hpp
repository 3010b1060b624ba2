// Separable filtering: the spec-based whole-image filter (a row stage into a ring of float work
// rows, a column stage out of it) and the exported row and column stages. The kernels take the
// target to run on, so that tests can compare every target with the scalar one.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/layout.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::filter {

using i64 = std::int64_t;

// Kernel type codes of the spec.
inline constexpr int kSepKernel16s = 0;
inline constexpr int kSepKernel32f = 1;

// Size formulas (64-bit; the 32-bit queries narrow the result).
i64 separable_spec_size(i64 kw, i64 kh, int kernelType);
i64 separable_buffer_size(i64 roiW, i64 kw, i64 kh, int kernelType, int channels);

// What the spec and the buffers hold. The spec record sits at the caller's address and its
// coefficients (row kernel, then column kernel) follow it; the filter's buffer holds the ring of
// row pointers and the kh filtered rows; a row stage's buffer holds the short piece of a row
// that it extends by the border.
constexpr Layout<1> separable_coeff_slots(i64 kw, i64 kh, int kernelType) {
    return layout(Slot{(kw + kh) * (kernelType == qpx16s ? 2 : 4)});
}
constexpr Layout<2> separable_buffer_slots(i64 width, i64 kw, i64 kh, int channels) {
    return layout(Slot{kh * i64(sizeof(float*))}, Slot{4 * (width + kw - 1) * channels * kh});
}
constexpr Layout<1> row_stage_slots(i64 ks, int channels, int elemSize) {
    return layout(Slot{(2 * ks - 1) * channels * elemSize});
}

// Fills a spec whose coefficients follow the record; the kernels are float or int16 by `kind`.
void separable_init(qpxFilterSeparableSpec* spec, int kind, const void* rowKernel,
                    const void* colKernel, int kw, int kh, int divisor, int scaleFactor,
                    int channels);

// The whole-image filter. `value` holds ch border values (read under a constant border only).
template <class T, class D, int ch>
void separable_filter(Target t, View<const T> src, View<D> dst, std::uint32_t border,
                      const T* value, const qpxFilterSeparableSpec* spec, std::uint8_t* buffer);

// Row stage kinds of the exported pipeline.
enum class RowKind { Float, Scaled, Low };

// The exported row stage: one output row per row of src. `value` holds ch border values. For
// the integer kinds `divisor` is the (checked) divisor. The outputs stay an array of row
// pointers: the caller hands in the rows of its own ring, which need not lie one step apart.
template <RowKind kind, class T, class D, class K, int ch>
void row_stage(Target t, View<const T> src, D* const* ppDst, const K* kernel, int ks, int ax,
               std::uint32_t border, const T* value, int divisor, std::uint8_t* buffer);

// The exported column stage over ppSrc[0 .. dst.height + ks - 2], the caller's ring of rows.
template <RowKind kind, class S, class D, class K, int ch>
void column_stage(Target t, const S* const* ppSrc, View<D> dst, const K* kernel, int ks,
                  int divisor);

// ---- the kernels of one target ----

template <class T, class D>
using SepFilterFn = void (*)(View<const T>, View<D>, std::uint32_t, const T*,
                             const qpxFilterSeparableSpec*, std::uint8_t*);
template <class T, class D, class K>
using SepRowFn = void (*)(View<const T>, D* const*, const K*, int, int, std::uint32_t, const T*,
                          int, std::uint8_t*);
template <class S, class D, class K>
using SepColFn = void (*)(const S* const*, View<D>, const K*, int, int);

// Entries by channel count: [0] one channel, [1] three, [2] four (the stages have no four).
struct SeparableKernels {
    SepFilterFn<std::uint8_t, std::uint8_t> f8u[3];
    SepFilterFn<std::uint8_t, std::int16_t> f8u16s[3];
    SepFilterFn<std::int16_t, std::int16_t> f16s[3];
    SepFilterFn<std::uint16_t, std::uint16_t> f16u[3];
    SepFilterFn<float, float> f32f[3];

    SepRowFn<float, float, float> row32f[2];
    SepRowFn<std::uint8_t, std::int16_t, std::int16_t> row8u16s[2];
    SepRowFn<std::int16_t, std::int16_t, std::int16_t> row16s[2];
    SepRowFn<std::uint16_t, std::uint16_t, std::int16_t> row16u[2];
    SepRowFn<std::int16_t, std::int16_t, std::int16_t> rowLow16s[2];

    SepColFn<float, float, float> col32f[2];
    SepColFn<std::int16_t, std::int16_t, std::int16_t> col16s[2];
    SepColFn<std::int16_t, std::uint8_t, std::int16_t> col16s8u[2];
    SepColFn<std::int16_t, std::int8_t, std::int16_t> col16s8s[2];
    SepColFn<std::uint16_t, std::uint16_t, std::int16_t> col16u[2];
    SepColFn<std::int16_t, std::int16_t, std::int16_t> colLow16s[2];
};
QPX_TARGET_TABLE(SeparableKernels, separable_kernels)

}  // namespace qpx::filter
