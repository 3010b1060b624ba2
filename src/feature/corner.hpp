// Corner measures on the structure tensor: minimum eigenvalue, eigenvalues with eigenvectors,
// the Harris response and line suppression. The kernels behind the exports take arguments that
// the exports have already checked, and the vector target to run on, so that tests can compare
// every target with the scalar one.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::feature {

// Eigenvalue functions. kernType: 0 Sobel (left minus right), 1 Scharr, 2 negated Sobel;
// aperture 3 or 5; avgWindow 3 or 5; border is an accepted code of the extended rule.
template <class T>
void min_eigen_val(Target t, View<const T> src, View<float> dst, int kernType, int aperture,
                   int avgWindow, std::uint32_t border, T borderValue, std::uint8_t* buffer);
// dst holds six floats a pixel.
template <class T>
void eigen_vals_vecs(Target t, View<const T> src, View<float> dst, int kernType, int aperture,
                     int avgWindow, std::uint32_t border, T borderValue, std::uint8_t* buffer);

// Buffer of both eigenvalue functions (arguments valid).
template <class T>
std::int64_t eigen_buffer_size(qpxSize roi, int aperture);

// Harris response: filterType 2, 5 or 8 with mask 33 or 55 (55 for Sobel only), any avgWindow
// of at least 1, border an accepted code (kind 1, 3 or 6 with flags, or 240).
template <class T>
void harris_corner(Target t, View<const T> src, View<float> dst, int filterType, int mask,
                   int avgWindow, float k, float scale, std::uint32_t border, T borderValue,
                   std::uint8_t* buffer);

// Line suppression: dst = 0 where (A + C)^2 > threshold (AC - B^2), else the feature pixel.
void line_suppression(Target t, View<const std::uint8_t> src, View<const std::uint8_t> feature,
                      View<std::uint8_t> dst, int filterType, int mask, int avgWindow,
                      float threshold, std::uint32_t border, std::uint8_t borderValue,
                      std::uint8_t* buffer);

// The tile that Harris and line suppression process at a time (8-bit or float sources).
qpxSize harris_tile(qpxSize roi, int avgWindow, bool bytes);
// Their buffer size (arguments valid), the largest over the tile shapes of the ROI.
std::int64_t harris_buffer_size(qpxSize roi, int mask, int avgWindow, bool bytes);

// Bytes that the runs carve from their buffers, which the reported sizes must cover. Line
// suppression in place carves more where its tiles fit, and falls back otherwise.
template <class T>
std::int64_t eigen_buffer_need(qpxSize roi, int aperture, int avgWindow);
template <class T>
std::int64_t harris_buffer_need(qpxSize roi, int mask, int avgWindow);
std::int64_t line_buffer_need(qpxSize roi, int mask, int avgWindow, bool inPlace);

// One output row of the windowed tensor: row i of the window (0..n-1) holds the horizontal window
// sums of dx*dx, dx*dy and dy*dy at rows[i], rows[i] + stride and rows[i] + 2 stride (a null
// row: every sum is `constSum`). A, B and C are the column sums of the window times `inv`.
struct TensorRow {
    const float* const* rows;
    int n, stride;
    float constSum, inv;
};

// The kernels of one target. Each runs `count` pixels from column offset `j` of the sums.
struct CornerKernels {
    // Horizontal window sums of n products along derivative rows dx, dy, for `count` outputs
    // whose windows start at dx[0], dx[1], ...
    void (*hsumS16)(const std::int16_t* dx, const std::int16_t* dy, int n, int count, float* a,
                    float* b, float* c);
    void (*hsumF32)(const float* dx, const float* dy, int n, int count, float* a, float* b,
                    float* c);
    // d = half ((A + C) - sqrt((A - C)^2 + 4 B^2)).
    void (*minEigen)(const TensorRow& tr, int j, int count, float half, float* d);
    // Six values a pixel: eigenvalues and unit eigenvectors (B scaled by g), zero when degenerate.
    void (*eigenVecs)(const TensorRow& tr, int j, int count, float s, float g, float* d);
    // d = (AC - (k (A + C)^2 + B^2)) sp.
    void (*harris)(const TensorRow& tr, int j, int count, float k, float sp, float* d);
    // d = 0 where (A + C)^2 > threshold (AC - B^2), else the feature byte.
    void (*line)(const TensorRow& tr, int j, int count, float threshold, const std::uint8_t* f,
                 std::uint8_t* d);
    // Central differences over columns 0..count-1 of rows up, mid, dn (null: every pixel is
    // `bv`); mid is read at -1 and count.
    void (*centralU8)(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* dn,
                      std::uint8_t bv, int count, std::int16_t* dx, std::int16_t* dy);
    void (*centralF32)(const float* up, const float* mid, const float* dn, float bv, int count,
                       float* dx, float* dy);
};
QPX_TARGET_TABLE(CornerKernels, corner_kernels)

}  // namespace qpx::feature
