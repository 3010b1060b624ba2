// Layout of the erosion/dilation specs inside the caller's memory. Only the engine and its
// tests look inside; everyone else goes through morph_engine.hpp.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/layout.hpp"

// The general spec (8u, 16u, 16s, 32f). Its tables follow the record inside the same memory.
struct qpxMorphState {
    const std::uint8_t* mask;  // padded mask, 0 or 255, paddedW x paddedH
    std::int32_t paddedW, paddedH;
    std::int32_t anchorX, anchorY;
    // Per padded row: member count, then the member columns; paddedW + 1 slots a row.
    const std::int16_t* members;
    std::int32_t rowsAreRuns;
    // Per padded row: run length and first column (-1 for an empty row). For a cross the first
    // pair holds the full row's index and the full column's index instead.
    const std::int16_t* runs;
    std::uint32_t features;
    std::int32_t isCross;
    std::int32_t isBuiltInShape;
};

// The 64-bit family's spec: both specs embedded after the record.
struct qpxMorphStateL {
    const qpxMorphState* general;
    const qpxMorphState* onebit;
};

namespace qpx::morph {

// The bit-packed spec shares the opening fields' meaning but not the record; it lives in memory
// handed out as a qpxMorphState.
struct OneBitState {
    std::int32_t paddedW, paddedH;
    std::int32_t anchorX, anchorY;  // in padded coordinates
    std::uint32_t features;
    std::int32_t mode;         // 3: no member (plain copy); 1: full rectangle; 2: general mask
    const std::uint8_t* mask;  // padded mask, 0 or 255
};

// Specs sit at the first 8-byte boundary of the caller's memory.
template <class T, class P>
inline T* aligned_in(P* p) {
    return align_up<T>(p, 8);
}

// What a stage sees of a mask, whichever spec it came from.
struct MaskView {
    const std::uint8_t* mask;     // padded, row-major
    const std::int16_t* members;  // per row: count then columns (paddedW + 1 slots)
    int pW, pH, ax, ay;
    bool full, empty;
};

// Work memory one stage needs for a ROI width (bytes, alignment slack included), and the part of
// it that bit-packed images add. Both stay within the reported buffer sizes.
std::int64_t stage_need(std::int64_t width, int pW, int pH, int elemSize, int channels, bool full);
std::int64_t stage_need_1u(std::int64_t width, int pW, int pH);

}  // namespace qpx::morph
