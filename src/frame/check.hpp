// Argument checks shared by every export. A chain of checks stops at the first failure, so
// writing the checks in the order an export must apply them is all an export has to do:
//
//   if (qpxStatus st = Check().ptrs(src, dst).size(roi).steps({...}).border(ok); st) return st;
#pragma once

#include <climits>
#include <initializer_list>

#include "frame/base.hpp"

namespace qpx {

// One image's step constraint: its step, the least row length in bytes, and the element size
// whose multiple the step must be (1 for byte images, which have no multiple rule).
struct StepArg {
    std::int64_t step;
    std::int64_t rowBytes;
    int elemSize;
};

// width x bytes per pixel, saturated: a 64-bit width near the top of its range must not wrap
// into a small row length that a short step would pass.
inline std::int64_t row_bytes(std::int64_t width, std::int64_t pixelBytes) {
    if (width > 0 && width > INT64_MAX / pixelBytes) return INT64_MAX;
    return width * pixelBytes;
}

// Bytes of a bit-packed row, without the overflow of (width + 7) >> 3 near the top of the range.
inline std::int64_t bit_row_bytes(std::int64_t width) {
    return width / 8 + (width % 8 > 0);
}

template <class T>
inline StepArg stepOf(std::int64_t step, std::int64_t width, int channels = 1) {
    return {step, row_bytes(width, channels * static_cast<std::int64_t>(sizeof(T))),
            int(sizeof(T))};
}
// A mask image: one byte per pixel whatever the image's type.
inline StepArg maskStepOf(std::int64_t step, std::int64_t width) {
    return {step, width, 1};
}

class Check {
  public:
    constexpr operator qpxStatus() const { return st_; }
    constexpr bool ok() const { return st_ == qpxStatusOk; }

    // Every required pointer is non-null.
    template <class... P>
    Check& ptrs(const P*... p) {
        return fail_if(((p == nullptr) || ...), qpxStatusNullPointer);
    }
    // ROI (or other size) of at least 1 x 1.
    Check& size(qpxSize s) { return fail_if(s.width < 1 || s.height < 1, qpxStatusBadSize); }
    Check& size(qpxSizeL s) { return fail_if(s.width < 1 || s.height < 1, qpxStatusBadSize); }
    // A count or length of at least `least`.
    Check& atLeast(std::int64_t v, std::int64_t least, qpxStatus err = qpxStatusBadSize) {
        return fail_if(v < least, err);
    }
    // 64-bit entry points: values above the 32-bit range are too large. The comparison is
    // signed, so a negative value is left to the size check.
    Check& fits32(std::int64_t v) { return fail_if(v > INT32_MAX, qpxStatusSizeTooLarge); }
    Check& fits32(qpxSizeL s) { return fits32(s.width).fits32(s.height); }
    template <class... S>
    Check& fits32(qpxSizeL s, S... steps) {
        fits32(s);
        return (fits32(std::int64_t(steps)), ...);
    }

    Check& step(const StepArg& a) { return fail_if(a.step < a.rowBytes, qpxStatusBadStep); }
    Check& multiple(const StepArg& a) {
        return fail_if(a.elemSize > 1 && a.step % a.elemSize != 0, qpxStatusStepNotMultiple);
    }
    Check& image(const StepArg& a) { return step(a).multiple(a); }

    // The common step rule for the images of one call. When every multi-byte image has the same
    // element size, all row-length tests come first and then all multiple tests; when element
    // sizes are mixed, each image gets its row-length test followed by its multiple test.
    Check& steps(std::initializer_list<StepArg> imgs) {
        int elem = 0;
        bool mixed = false;
        for (const StepArg& a : imgs) {
            if (a.elemSize == 1) continue;
            if (elem != 0 && elem != a.elemSize) mixed = true;
            elem = a.elemSize;
        }
        if (mixed) {
            for (const StepArg& a : imgs) image(a);
        } else {
            for (const StepArg& a : imgs) step(a);
            for (const StepArg& a : imgs) multiple(a);
        }
        return *this;
    }

    // An operation-specific condition that must hold, else `err`.
    Check& require(bool cond, qpxStatus err) { return fail_if(!cond, err); }
    // Source and destination must be distinct buffers.
    Check& distinct(const void* src, const void* dst) {
        return fail_if(src == dst, qpxStatusInPlaceNotSupported);
    }

  private:
    Check& fail_if(bool bad, qpxStatus err) {
        if (st_ == qpxStatusOk && bad) st_ = err;
        return *this;
    }
    qpxStatus st_ = qpxStatusOk;
};

}  // namespace qpx
