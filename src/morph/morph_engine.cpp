// One erosion or dilation stage. Rows of the border-extended source are produced one at a time
// (built into work rows, or read in place when every side the mask reaches is in memory) and fed
// to one of two kernels:
//  - full rectangles are separable: a horizontal running extremum per row (at most a few
//    doublings, then van Herk / Gil-Werman blocks: a bounded number of operations per element
//    whatever the width), then a vertical one over a ring of rows (van Herk / Gil-Werman
//    blocks: three operations per element whatever the height);
//  - any other mask reads exactly its members, row by row from the member table.
// Max and min are exact, so the scalar and vector paths (which run the same operations in the
// same order) agree bit for bit.
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "frame/border.hpp"
#include "morph/morph_engine.hpp"
#include "morph/morphology_kernels.hpp"
#include "morph/morphology_state.hpp"

namespace qpx::morph {

template <class T, int C>
void apply(Path path, Op op, const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep,
           std::int64_t width, std::int64_t height, std::uint32_t border, const T* value,
           const qpxMorphState* spec, std::uint8_t* buffer) {
    const qpxMorphState* s = aligned_in<const qpxMorphState>(spec);
    const MaskView mv{s->mask,
                      s->members,
                      s->paddedW,
                      s->paddedH,
                      s->anchorX,
                      s->anchorY,
                      (s->features & kFeatFull) != 0,
                      (s->features & kFeatEmpty) != 0};
    if (mv.empty || (mv.pW == 1 && mv.pH == 1)) {
        copy_roi<T>(src, srcStep, dst, dstStep, width * C, height);
        return;
    }
    T fill[C];
    const Border b = Border::parse(Border::fold_stages(border));
    for (int c = 0; c < C; ++c)
        fill[c] = b.kind == kBorderDefault ? neutral<T>(op)
                  : b.kind == kBorderConst ? value[c]
                                           : T();
    ImageRows<T, C> rows(src, srcStep, width, height, b, fill, mv);
    // Reading the source in place is only safe when nothing is written over it meanwhile.
    const std::int64_t px = C * sizeof(T);
    const bool overlap = regions_overlap(src, srcStep, dst, dstStep, width * px, height, mv.ay,
                                         mv.pH - 1 - mv.ay, mv.pW * px);
    const bool delay = overlap && b.kind == kBorderMirror && !b.inBottom && mv.pH - 1 > mv.ay;
    const bool direct = !overlap && rows.in_place();
    if (delay) {
        // The held-back rows follow the stage's own work memory, measured from the aligned base
        // the stage uses, so that they stay aligned whatever address the caller's buffer has.
        const std::int64_t below = mv.pH - 1 - mv.ay;
        const std::int64_t n = width * C;
        std::uint8_t* ring = align32(buffer) +
                             (stage_need(width, mv.pW, mv.pH, int(sizeof(T)), C, mv.full) - 32) -
                             below * n * std::int64_t(sizeof(T));
        DelayedSink<T> sink{dst, dstStep, height, n, below, reinterpret_cast<T*>(ring)};
        run_stage<T, C>(path, op, mv, rows, direct, !overlap, sink, width, height, buffer);
    } else {
        ImageSink<T> sink{dst, dstStep};
        run_stage<T, C>(path, op, mv, rows, direct, !overlap, sink, width, height, buffer);
    }
}

#define QPX_MORPH_APPLY(T, C)                                                                   \
    template void apply<T, C>(Path, Op, const T*, std::int64_t, T*, std::int64_t, std::int64_t, \
                              std::int64_t, std::uint32_t, const T*, const qpxMorphState*,      \
                              std::uint8_t*);
QPX_MORPH_APPLY(std::uint8_t, 1)
QPX_MORPH_APPLY(std::uint8_t, 3)
QPX_MORPH_APPLY(std::uint8_t, 4)
QPX_MORPH_APPLY(std::uint16_t, 1)
QPX_MORPH_APPLY(std::int16_t, 1)
QPX_MORPH_APPLY(float, 1)
QPX_MORPH_APPLY(float, 3)
QPX_MORPH_APPLY(float, 4)
#undef QPX_MORPH_APPLY

}  // namespace qpx::morph
