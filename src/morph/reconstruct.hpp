// Grey-scale morphological reconstruction in place: the marker grows (dilation) or shrinks
// (erosion) under the mask image until nothing changes.
#pragma once

#include "frame/base.hpp"

namespace qpx::morph {

enum class Recon { Dilate, Erode };

// Work buffer bytes for a data type (8u, 16u, 32f or 64f) and ROI; 32-bit arithmetic that wraps
// like the caller's own 32-bit size computations would.
std::int32_t reconstruct_buffer_bytes(qpxDataType type, qpxSize roi);

// Replaces `marker` by its reconstruction under `mask`; eightConn chooses 8- or 4-connectivity.
// The buffer holds reconstruct_buffer_bytes() bytes for T.
template <Recon op, class T>
void reconstruct(Path path, const T* mask, int maskStep, T* marker, int markerStep, qpxSize roi,
                 std::uint8_t* buffer, bool eightConn);

}  // namespace qpx::morph
