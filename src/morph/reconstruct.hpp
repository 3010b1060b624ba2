// Grey-scale morphological reconstruction in place: the marker grows (dilation) or shrinks
// (erosion) under the mask image until nothing changes.
#pragma once

#include "frame/base.hpp"
#include "frame/layout.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::morph {

enum class Recon { Dilate, Erode };

// Work buffer bytes for a data type (8u, 16u, 32f or 64f) and ROI; 32-bit arithmetic that wraps
// like the caller's own 32-bit size computations would.
std::int32_t reconstruct_buffer_bytes(qpxDataType type, qpxSize roi);

// What the run keeps in the buffer: a saved row and a flag per row (rows still to settle).
constexpr Layout<2> reconstruct_slots(std::int64_t width, std::int64_t height, int elemSize) {
    return layout(Slot{width * elemSize, 64}, Slot{height});
}

// Replaces `marker` by its reconstruction under `mask`; eightConn chooses 8- or 4-connectivity.
// The buffer holds reconstruct_buffer_bytes() bytes for T. Every target gives the same result.
template <Recon op, class T>
void reconstruct(Target t, View<const T> mask, View<T> marker, std::uint8_t* buffer,
                 bool eightConn);

// The kernels of one target, indexed by dilation (0) or erosion (1).
template <class T>
using ReconFn = void (*)(View<const T>, View<T>, std::uint8_t*, bool);
struct ReconKernels {
    ReconFn<std::uint8_t> u8[2];
    ReconFn<std::uint16_t> u16[2];
    ReconFn<float> f32[2];
    ReconFn<double> f64[2];
};
QPX_TARGET_TABLE(ReconKernels, recon_kernels)

}  // namespace qpx::morph
