// Separable filtering: the spec-based whole-image filter (a row stage into a ring of float work
// rows, a column stage out of it) and the exported row and column stages. The kernels take a
// Path so that tests can compare the scalar and vector paths.
#pragma once

#include "filter/pipeline.hpp"

namespace qpx::filter {

// Kernel type codes of the spec.
inline constexpr int kSepKernel16s = 0;
inline constexpr int kSepKernel32f = 1;

// Size formulas (64-bit; the 32-bit queries narrow the result).
i64 separable_spec_size(i64 kw, i64 kh, int kernelType);
i64 separable_buffer_size(i64 roiW, i64 kw, i64 kh, int kernelType, int channels);

// Fills a spec whose coefficients follow the record; the kernels are float or int16 by `kind`.
void separable_init(qpxFilterSeparableSpec* spec, int kind, const void* rowKernel,
                    const void* colKernel, int kw, int kh, int divisor, int scaleFactor,
                    int channels);

// The whole-image filter. `value` holds ch border values (read under a constant border only).
template <class T, class D, int ch>
void separable_filter(Path path, const T* src, i64 srcStep, D* dst, i64 dstStep, i64 width,
                      i64 height, std::uint32_t border, const T* value,
                      const qpxFilterSeparableSpec* spec, std::uint8_t* buffer);

// Row stage kinds of the exported pipeline.
enum class RowKind { Float, Scaled, Low };

// The exported row stage: one output row per ROI row. `value` holds ch border values. For the
// integer kinds `divisor` is the (checked) divisor.
template <RowKind kind, class T, class D, class K, int ch>
void row_stage(Path path, const T* src, i64 srcStep, D* const* ppDst, i64 width, i64 height,
               const K* kernel, int ks, int ax, std::uint32_t border, const T* value, int divisor,
               std::uint8_t* buffer);

// The exported column stage over ppSrc[0 .. height + ks - 2].
template <RowKind kind, class S, class D, class K, int ch>
void column_stage(Path path, const S* const* ppSrc, D* dst, i64 dstStep, i64 width, i64 height,
                  const K* kernel, int ks, int divisor);

}  // namespace qpx::filter
