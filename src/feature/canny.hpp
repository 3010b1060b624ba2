// Canny edge detection: gradient magnitude with a low cut, non-maximum suppression across four
// quantised directions, and hysteresis from strong seeds through the surviving candidates.
// The kernels are open to the tests so that every vector target can be compared with the scalar
// one.
#pragma once

#include "frame/layout.hpp"
#include "frame/base.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::feature {

// How the gradient magnitude is formed from (dx, dy).
enum class EdgeMag {
    L1,        // |dx| + |dy| (16-bit saturated for integer derivatives)
    L2Square,  // dx^2 + dy^2, compared against squared thresholds
    L2Root,    // sqrt(dx^2 + dy^2) in single precision
};

// Direction sector of a pixel, kept in the candidate map until suppression overwrites it.
enum : std::uint8_t {
    kSectorHorizontal = 0,
    kSectorVertical = 1,
    kSectorSameSign = 2,  // neighbours (x-1, y-1) and (x+1, y+1)
    kSectorOppSign = 3,   // neighbours (x+1, y-1) and (x-1, y+1)
};

// Candidate map values after suppression.
inline constexpr std::uint8_t kMapCandidate = 128;
inline constexpr std::uint8_t kMapEdge = 255;

// Thresholds in the magnitude's own type and scale. `lowInclusive` keeps magnitudes equal to
// the low threshold; seeds always need a magnitude strictly above `high`.
template <class M>
struct EdgeThresholds {
    M low;
    M high;
    bool lowInclusive;
};

// Bytes needed by the derivative-input detector (grid of (w+2) x (h+2), one stack entry per
// grid pixel: 4 bytes while both sides are at most 65532, else 8).
std::int64_t canny_buffer_size(std::int64_t width, std::int64_t height);
// Bytes needed by the 8u detector with its own derivatives (k = 3 or 5).
std::int64_t canny_border_buffer_size(std::int64_t width, std::int64_t height, int k);

// The derivative-input detector's buffer: the stack, three magnitude rows and the candidate map.
template <class I, class M>
Layout<3> canny_slots(std::int64_t width, std::int64_t height) {
    const std::int64_t grid = (width + 2) * (height + 2);
    return layout(Slot{std::int64_t(sizeof(I)) * grid, 64},
                  Slot{3 * std::int64_t(sizeof(M)) * (width + 2), alignof(M)}, Slot{grid, 1});
}
// The 8u detector's buffer: magnitude ring, candidate map, stack area and the bordered copy of a
// thin image (empty otherwise).
Layout<4> canny_border_slots(std::int64_t width, std::int64_t height, int k);

// Placement of the 8u detector's areas inside its buffer (byte offsets from the buffer aligned
// by canny_border_slots): those four slots, and the derivative filters' scratch. `strip` is the
// number of rows whose derivatives are made at a time; a strip's rows then reuse one place at the
// start of the stack area (whose stack starts at `seeds` until the rows are done), so that they
// stay in the cache. With `strip` 0 the whole ROI's derivatives fill the stack area, the stack
// overwriting the rows already consumed.
struct BorderLayout {
    std::int64_t ring, map, stack, copy, end, scratch, scratchEnd, strip, seeds;
};
BorderLayout canny_border_layout(std::int64_t width, std::int64_t height, int k);

// Derivative-input detector: dx, dy of type D (int16_t or float); M is the magnitude type
// (int32_t for int16_t derivatives, float for float ones).
template <class D, class M, EdgeMag mag>
void canny_deriv(Target t, View<const D> dx, View<const D> dy, View<std::uint8_t> dst,
                 EdgeThresholds<M> th, std::uint8_t* buffer);

// 8u detector with its own Sobel (3x3, 5x5) or Scharr (3x3) derivatives. Arguments are checked
// by the caller; `filterType` and `norm` take the public codes. A source that the derivative
// filters refuse (a step shorter than a row) gives their status and leaves dst untouched.
qpxStatus canny_border(Target t, View<const std::uint8_t> src, View<std::uint8_t> dst,
                       int filterType, int maskSize, std::uint32_t borderType,
                       std::uint8_t borderValue, int norm, float low, float high,
                       std::uint8_t* buffer);

// Row kernel (exposed for tests): magnitude with the low cut into mag[0..w-1] and direction
// sectors into sec[0..w-1].
template <class D, class M, EdgeMag mag>
void edge_magnitude_row(Target t, const D* dx, const D* dy, std::int64_t w, EdgeThresholds<M> th,
                        M* out, std::uint8_t* sec);

// The row kernels of one target. Suppression takes the magnitude rows above, at and below (w + 2
// values, zero at both ends) and the grid row of the map (sectors at 1..w on entry, the result
// on return), and pushes the grid index of each seed.
template <class D, class M>
using MagnitudeFn = void (*)(const D*, const D*, std::int64_t, EdgeThresholds<M>, M*,
                             std::uint8_t*);
template <class M, class I>
using SuppressFn = I* (*)(const M*, const M*, const M*, std::uint8_t*, std::int64_t, M, I*, I);

struct CannyKernels {
    MagnitudeFn<float, float> magF32L1, magF32L2Square;
    MagnitudeFn<std::int16_t, std::int32_t> magS16L1, magS16L2Square;
    MagnitudeFn<std::int16_t, float> magS16FloatL1, magS16FloatL2Root;
    SuppressFn<float, std::uint32_t> suppressF32;
    SuppressFn<float, std::uint64_t> suppressF64;
    SuppressFn<std::int32_t, std::uint32_t> suppressI32;
    SuppressFn<std::int32_t, std::uint64_t> suppressI64;
    // dst = 255 where the map holds an edge, 0 elsewhere.
    void (*writeEdges)(const std::uint8_t* map, std::int64_t stride, std::uint8_t* dst,
                       std::int64_t dstStep, std::int64_t w, std::int64_t h);
};
QPX_TARGET_TABLE(CannyKernels, canny_kernels)

}  // namespace qpx::feature
