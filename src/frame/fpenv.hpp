// Guards for the SSE control/status register (MXCSR). The few functions that change it use one
// of these, so the caller's register is restored on every return path.
#pragma once

#include <immintrin.h>

namespace qpx {

inline constexpr unsigned kMxcsrRoundMask = 0x6000;  // rounding control field
inline constexpr unsigned kMxcsrRoundNearest = 0x0000;
inline constexpr unsigned kMxcsrRoundTowardZero = 0x6000;
inline constexpr unsigned kMxcsrDaz = 0x0040;           // denormals are zero
inline constexpr unsigned kMxcsrDenormalMask = 0x0100;  // denormal-operand exception mask
inline constexpr unsigned kMxcsrDenormalFlag = 0x0002;  // denormal-operand exception flag

// Rounding toward zero from construction; restores only the caller's rounding-control field.
class RoundTowardZeroScope {
  public:
    RoundTowardZeroScope() : saved_(_mm_getcsr()) {
        _mm_setcsr((saved_ & ~kMxcsrRoundMask) | kMxcsrRoundTowardZero);
    }
    ~RoundTowardZeroScope() {
        _mm_setcsr((_mm_getcsr() & ~kMxcsrRoundMask) | (saved_ & kMxcsrRoundMask));
    }
    RoundTowardZeroScope(const RoundTowardZeroScope&) = delete;
    RoundTowardZeroScope& operator=(const RoundTowardZeroScope&) = delete;

  private:
    unsigned saved_;
};

// Rounding toward zero for a whole loop; restores the entire saved register at the end.
class RoundTowardZeroLoopScope {
  public:
    RoundTowardZeroLoopScope() : saved_(_mm_getcsr()) {
        _mm_setcsr((saved_ & ~kMxcsrRoundMask) | kMxcsrRoundTowardZero);
    }
    ~RoundTowardZeroLoopScope() { _mm_setcsr(saved_); }
    RoundTowardZeroLoopScope(const RoundTowardZeroLoopScope&) = delete;
    RoundTowardZeroLoopScope& operator=(const RoundTowardZeroLoopScope&) = delete;

  private:
    unsigned saved_;
};

// Masks the denormal-operand exception for the duration. At exit the caller's register comes
// back only if the denormal mask or the denormal flag differ from what the caller had.
class DenormalMaskScope {
  public:
    DenormalMaskScope() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kMxcsrDenormalMask); }
    ~DenormalMaskScope() {
        unsigned now = _mm_getcsr();
        if ((now ^ saved_) & (kMxcsrDenormalMask | kMxcsrDenormalFlag)) _mm_setcsr(saved_);
    }
    DenormalMaskScope(const DenormalMaskScope&) = delete;
    DenormalMaskScope& operator=(const DenormalMaskScope&) = delete;

  private:
    unsigned saved_;
};

// Round-to-nearest for a final float-to-integer conversion when the caller runs another mode;
// denormals-are-zero is cleared with it and stays cleared. Restores the rounding field only.
class RoundNearestScope {
  public:
    RoundNearestScope() : saved_(_mm_getcsr()) {
        changed_ = (saved_ & kMxcsrRoundMask) != kMxcsrRoundNearest;
        if (changed_) _mm_setcsr(saved_ & ~(kMxcsrRoundMask | kMxcsrDaz));
    }
    ~RoundNearestScope() {
        if (changed_) _mm_setcsr((_mm_getcsr() & ~kMxcsrRoundMask) | (saved_ & kMxcsrRoundMask));
    }
    RoundNearestScope(const RoundNearestScope&) = delete;
    RoundNearestScope& operator=(const RoundNearestScope&) = delete;

  private:
    unsigned saved_;
    bool changed_;
};

}  // namespace qpx
