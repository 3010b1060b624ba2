// An image as the kernels see it: the first pixel of its ROI, the byte step between rows, and
// the ROI's width (pixels) and height. Exports build views from their checked arguments, so
// that a kernel receives one value per image instead of loose pointer, step and size lists.
//
// Under the sanitizer build the row accessors trap on a row outside the ROI. Rows beyond it that
// a border reads from memory go through `beyond`, which says so at the call site.
#pragma once

#include <cstdint>
#include <type_traits>

#include "frame/base.hpp"

namespace qpx {

template <class T>
struct View {
    T* data = nullptr;
    std::int64_t step = 0;  // bytes, may be any value the checks accepted
    std::int64_t width = 0, height = 0;
    int channels = 1;

    View() = default;
    View(T* p, std::int64_t s, std::int64_t w, std::int64_t h, int c = 1)
        : data(p), step(s), width(w), height(h), channels(c) {}
    template <class U, class = std::enable_if_t<std::is_same_v<const U, T>>>
    View(const View<U>& v)  // NOLINT: a mutable view is also a read-only one
        : data(v.data), step(v.step), width(v.width), height(v.height), channels(v.channels) {}

    // Row y of the ROI.
    T* row(std::int64_t y) const {
#ifdef QPX_CHECKED_VIEWS
        if (y < 0 || y >= height) __builtin_trap();
#endif
        return qpx::row(data, step, y);
    }
    // Row y of the image around the ROI (a border side read from memory).
    T* beyond(std::int64_t y) const {
        return qpx::row(data, step, y);
    }
    // Pixel x of row y.
    T* at(std::int64_t x, std::int64_t y) const {
#ifdef QPX_CHECKED_VIEWS
        if (x < 0 || x >= width) __builtin_trap();
#endif
        return row(y) + x * channels;
    }
    std::int64_t elements() const {
        return width * channels;
    }
    // No padding between rows: the ROI is one run of width x height pixels.
    bool contiguous() const {
        return step == elements() * std::int64_t(sizeof(T));
    }
    // The w x h pixels at (x, y) in the ROI's coordinates; x and y may be negative (or the
    // rectangle reach past the ROI) where the image around the ROI is in memory.
    View sub(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const {
        return {beyond(y) + x * channels, step, w, h, channels};
    }
    // The part of the ROI from row y0 to y1 - 1.
    View rows(std::int64_t y0, std::int64_t y1) const {
        return {row(y0), step, width, y1 - y0, channels};
    }
};

template <class T>
View<T> view(T* p, std::int64_t step, qpxSize roi, int channels = 1) {
    return {p, step, roi.width, roi.height, channels};
}
template <class T>
View<T> view(T* p, std::int64_t step, qpxSizeL roi, int channels = 1) {
    return {p, step, roi.width, roi.height, channels};
}

}  // namespace qpx
