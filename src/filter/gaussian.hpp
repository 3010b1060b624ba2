// Gaussian smoothing: the kernel, the spec layouts of both interfaces, their size formulas and
// the one filtering engine that every export ends in.
#pragma once

#include "frame/base.hpp"
#include "frame/layout.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::filter {

// Engine spec: four 32-bit words followed by the half kernel, outermost tap first.
inline constexpr std::int64_t kGaussEngineHead = 16;
inline constexpr std::uint32_t kGaussEngineTag = 64;

// 32-bit interface header: kernel size, data type and border type, then padding.
struct GaussHeader {
    std::int32_t kernelSize;
    std::int32_t dataType;
    std::uint32_t borderType;
    std::int32_t numChannels;
};

constexpr bool gauss_kernel_ok(std::int64_t ks) {
    return ks >= 3 && (ks & 1) == 1;
}
constexpr bool gauss_type_ok(int dataType) {
    return dataType == qpx8u || dataType == qpx16u || dataType == qpx16s || dataType == qpx32f;
}
constexpr bool gauss_channels_ok(int n) {
    return n == 1 || n == 3;
}

// Size formulas.
std::int64_t gauss_engine_spec_size(std::int64_t ks);
std::int64_t gauss_engine_buffer_size(std::int64_t roiW, std::int64_t ks, int channels);
// The engine's buffer: ks + 1 rows of floats (a ring of ks row-pass results and a spare row),
// each starting on a cache line; the window's row pointers; the weights by distance from the
// centre.
constexpr Layout<3> gauss_engine_slots(std::int64_t roiW, std::int64_t ks, int channels) {
    return layout(Slot{(ks + 1) * align_up(roiW * channels * 4, 64), 64},
                  Slot{ks * std::int64_t(sizeof(float*)), 8}, Slot{4 * (ks / 2 + 1), 4});
}
std::int64_t gauss_header_size(std::int64_t ks, int dataType);
// Work buffer of the 32-bit interface: the larger of its own formula, the engine's and 64.
std::int64_t gauss_buffer_size(qpxSize roi, int ks, int dataType, int channels);

// Single-precision e^x, correctly rounded except in rare hard cases (never more than one ulp).
float exp_f32(float x);

// Writes the (ks + 1) / 2 normalised weights, outermost first, for an odd ks >= 3; `half` may
// be unaligned.
void gauss_half_kernel(int ks, float sigma, void* half);
// Fills an engine spec (arguments already checked).
void gauss_init_engine(void* spec, int ks, float sigma, int dataType);

// Kernel size stored in an engine spec (unaligned-safe read).
std::int64_t gauss_spec_kernel(const void* spec);

// Filters dst's ROI from src (views of C channels) with the engine spec on target t. `borderValue`
// holds C values of T (read only for constant borders). The buffer must hold
// gauss_engine_buffer_size(w, kernel, C) bytes. Streaming stores follow the cache decision unless
// `stream` forces them on or off.
enum class Stream { Auto, Never, Always };
template <class T, int C>
void gaussian(Target t, View<const T> src, View<T> dst, std::uint32_t borderType,
              const T* borderValue, const void* spec, void* buffer, Stream stream = Stream::Auto);

// The engine of one target, by type and channel count; `stream` is already decided.
template <class T, int C>
using GaussFn = void (*)(View<const T>, View<T>, std::uint32_t, const T*, const void*, void*,
                         bool stream);
struct GaussianKernels {
    GaussFn<std::uint8_t, 1> u8c1;
    GaussFn<std::uint8_t, 3> u8c3;
    GaussFn<std::uint16_t, 1> u16c1;
    GaussFn<std::uint16_t, 3> u16c3;
    GaussFn<std::int16_t, 1> s16c1;
    GaussFn<std::int16_t, 3> s16c3;
    GaussFn<float, 1> f32c1;
    GaussFn<float, 3> f32c3;
};
QPX_TARGET_TABLE(GaussianKernels, gaussian_kernels)

}  // namespace qpx::filter
