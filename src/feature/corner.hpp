// Corner measures on the structure tensor: minimum eigenvalue, eigenvalues with eigenvectors,
// the Harris response and line suppression. The kernels behind the exports take arguments that
// the exports have already checked, and a Path so that tests can compare the two paths.
#pragma once

#include <cstdint>

#include "frame/base.hpp"

namespace qpx::feature {

// Eigenvalue functions. kernType: 0 Sobel (left minus right), 1 Scharr, 2 negated Sobel;
// aperture 3 or 5; avgWindow 3 or 5; border is an accepted code of the extended rule.
template <class T>
void min_eigen_val(Path path, const T* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                   int kernType, int aperture, int avgWindow, std::uint32_t border, T borderValue,
                   std::uint8_t* buffer);
template <class T>
void eigen_vals_vecs(Path path, const T* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                     int kernType, int aperture, int avgWindow, std::uint32_t border, T borderValue,
                     std::uint8_t* buffer);

// Buffer of both eigenvalue functions (arguments valid).
template <class T>
std::int64_t eigen_buffer_size(qpxSize roi, int aperture);

// Harris response: filterType 2, 5 or 8 with mask 33 or 55 (55 for Sobel only), any avgWindow
// of at least 1, border an accepted code (kind 1, 3 or 6 with flags, or 240).
template <class T>
void harris_corner(Path path, const T* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                   int filterType, int mask, int avgWindow, float k, float scale,
                   std::uint32_t border, T borderValue, std::uint8_t* buffer);

// Line suppression: dst = 0 where (A + C)^2 > threshold (AC - B^2), else the feature pixel.
void line_suppression(Path path, const std::uint8_t* src, int srcStep, const std::uint8_t* feature,
                      int featureStep, std::uint8_t* dst, int dstStep, qpxSize roi, int filterType,
                      int mask, int avgWindow, float threshold, std::uint32_t border,
                      std::uint8_t borderValue, std::uint8_t* buffer);

// The tile that Harris and line suppression process at a time (8-bit or float sources).
qpxSize harris_tile(qpxSize roi, int avgWindow, bool bytes);
// Their buffer size (arguments valid), the largest over the tile shapes of the ROI.
std::int64_t harris_buffer_size(qpxSize roi, int mask, int avgWindow, bool bytes);

}  // namespace qpx::feature
