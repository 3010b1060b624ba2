// Border-building copies and the plain ROI copy, fill and conversion that the neighbourhood
// operations use to prepare their work images. None of these is exported; each returns a status
// after checking its arguments (pointers, then steps, then sizes, then the constant's pointer).
//
// Layout of the border copies: the source ROI (srcRoi) lands in the destination rectangle
// (dstRoi, whose origin is `dst`) at row `top`, column `left`; everything else in the rectangle
// is built by the kind (replicate, mirror without repeating the edge, or constant). The in-place
// forms take the pointer of the image already lying inside the rectangle and write only the
// border; a copy form called with src == dst is handed to the in-place form (src then points
// at the image inside the rectangle). The `_l` forms take 64-bit steps, sizes and border widths.
#pragma once

#include <type_traits>

#include "frame/base.hpp"
#include "frame/target.hpp"

namespace qpx {

// Where the ROI copy, fill and conversion send their stores. Auto consults the cache decisions;
// the other two force a choice (tests use this, results are the same either way).
enum class StoreMode { Auto, Regular, Streaming };

// The constant of CopyConstBorder: a scalar for one channel, one value per channel otherwise.
template <class T, int CH>
using BorderValueArg = std::conditional_t<CH == 1, T, const T*>;

template <class T, int CH>
qpxStatus copy_replicate_border(const T* src, int srcStep, qpxSize srcRoi, T* dst, int dstStep,
                                qpxSize dstRoi, int top, int left, Target target = cpu_target());
template <class T, int CH>
qpxStatus copy_replicate_border_inplace(T* srcDst, int srcDstStep, qpxSize srcRoi, qpxSize dstRoi,
                                        int top, int left, Target target = cpu_target());
template <class T, int CH>
qpxStatus copy_replicate_border_l(const T* src, std::int64_t srcStep, qpxSizeL srcRoi, T* dst,
                                  std::int64_t dstStep, qpxSizeL dstRoi, std::int64_t top,
                                  std::int64_t left, Target target = cpu_target());
template <class T, int CH>
qpxStatus copy_replicate_border_inplace_l(T* srcDst, std::int64_t srcDstStep, qpxSizeL srcRoi,
                                          qpxSizeL dstRoi, std::int64_t top, std::int64_t left,
                                          Target target = cpu_target());

template <class T, int CH>
qpxStatus copy_mirror_border(const T* src, int srcStep, qpxSize srcRoi, T* dst, int dstStep,
                             qpxSize dstRoi, int top, int left, Target target = cpu_target());
template <class T, int CH>
qpxStatus copy_mirror_border_l(const T* src, std::int64_t srcStep, qpxSizeL srcRoi, T* dst,
                               std::int64_t dstStep, qpxSizeL dstRoi, std::int64_t top,
                               std::int64_t left, Target target = cpu_target());
template <class T, int CH>
qpxStatus copy_mirror_border_inplace_l(T* srcDst, std::int64_t srcDstStep, qpxSizeL srcRoi,
                                       qpxSizeL dstRoi, std::int64_t top, std::int64_t left,
                                       Target target = cpu_target());

template <class T, int CH>
qpxStatus copy_const_border(const T* src, int srcStep, qpxSize srcRoi, T* dst, int dstStep,
                            qpxSize dstRoi, int top, int left, BorderValueArg<T, CH> value,
                            Target target = cpu_target());
template <class T, int CH>
qpxStatus copy_const_border_l(const T* src, std::int64_t srcStep, qpxSizeL srcRoi, T* dst,
                              std::int64_t dstStep, qpxSizeL dstRoi, std::int64_t top,
                              std::int64_t left, BorderValueArg<T, CH> value,
                              Target target = cpu_target());

// A bit-exact copy of a ROI between two images of one type.
template <class T, int CH>
qpxStatus copy_roi(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                   Target target = cpu_target(), StoreMode store = StoreMode::Auto);
// Every element of the ROI set to `value`.
template <class T>
qpxStatus set_roi(T value, T* dst, int dstStep, qpxSize roi, Target target = cpu_target(),
                  StoreMode store = StoreMode::Auto);
// 16u to 32f; every 16-bit value has an exact float.
qpxStatus convert_roi(const std::uint16_t* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                      Target target = cpu_target(), StoreMode store = StoreMode::Auto);

}  // namespace qpx
