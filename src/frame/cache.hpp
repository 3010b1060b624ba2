// Cache-size decisions. They only choose between paths with identical results (ordinary or
// streaming stores, one processing order or another); a failed query takes the ordinary path.
#pragma once

#include <cstdint>

namespace qpx {

// The largest cache in bytes, or 0 when the core library cannot tell.
std::int64_t max_cache_bytes();

// Internal ROI copy of 8-bit data (bytes = width x height).
bool stream_roi_copy(std::int64_t bytes, std::int64_t rowBytes);
// Internal ROI fill of 8u or 16s data.
bool stream_roi_fill(std::int64_t bytes);
// Internal 16u to 32f conversion (pixels = width x height).
bool stream_convert_16u32f(std::int64_t pixels);
// Gaussian filter output for a work size in bytes.
bool stream_gaussian(std::int64_t workBytes);
// Fixed 3x3/5x5 kernels: whether the image is small against the cache (pixels = width x height).
bool fits_half_cache(std::int64_t pixels);

}  // namespace qpx
