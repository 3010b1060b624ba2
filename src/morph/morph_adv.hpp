// Opening, closing, top-hat, black-hat and morphological gradient: two erosion/dilation stages
// through an intermediate image in the caller's buffer, and the differences that follow them.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/layout.hpp"
#include "morph/morph_engine.hpp"

// Spec of the 32-bit family. The stage specs it points to, and the reflected mask they were
// built from, live in the same caller memory right after the record.
struct qpxMorphAdvState {
    const qpxMorphState* first;   // built from the caller's mask
    const qpxMorphState* second;  // the stage after the intermediate image
    std::int32_t clamp;           // mode bit 2
    std::int32_t roiW, roiH;      // the ROI the buffer was sized for
    std::int32_t maskW, maskH;
    std::int32_t oneBit;
};

namespace qpx::morph {

enum class AdvOp { Open, Close, Tophat, Blackhat, Gradient };

// Spec of the 64-bit family; the caller sees it as a qpxMorphStateL.
struct AdvStateL {
    const qpxMorphStateL* first;
    const qpxMorphStateL* second;
    std::int32_t clamp;
    std::int32_t roiW, roiH;
    std::int32_t maskW, maskH;
    std::int32_t pad;
};

// ---- sizes ----------------------------------------------------------------------------------
// elemSize 0 stands for the bit-packed form.
std::int64_t adv_spec_size(std::int64_t maskW, std::int64_t maskH, int elemSize);
std::int64_t adv_buffer_size(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                             std::int64_t maskH, int elemSize, int channels);
std::int64_t adv_spec_size_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                             std::int64_t maskH);
// elemSize counts bytes per channel; the bit-packed form counts as 1.
std::int64_t adv_buffer_size_l(std::int64_t roiW, std::int64_t roiH, std::int64_t maskW,
                               std::int64_t maskH, int elemSize, int channels);

// ---- initialisation --------------------------------------------------------------------------
// Arguments are valid; the memory holds the sizes above. The spec must not move afterwards.
void adv_init(qpxMorphAdvState* mem, qpxSize roi, const std::uint8_t* mask, qpxSize maskSize,
              bool oneBit);
void adv_init_l(qpxMorphStateL* mem, qpxSizeL roi, const std::uint8_t* mask, qpxSize maskSize);
// Mode bit 0 selects the unreflected mask for the second stage, bit 2 the clamp flag.
void adv_set_mode(qpxMorphAdvState* mem, int mode);
void adv_set_mode_l(qpxMorphStateL* mem, int mode);

const qpxMorphAdvState* adv_state(const qpxMorphAdvState* mem);
const AdvStateL* adv_state_l(const qpxMorphStateL* mem);

// ---- the compositions -------------------------------------------------------------------------

// How the two stages see the border. The first stage runs over the ROI enlarged by (left, top,
// right, bottom) with border code `first`; the second stage reads the intermediate image with
// border code `second`.
struct StagePlan {
    std::uint32_t first, second;
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
};

// The 32-bit family's plan: the second stage sees the kind alone. `effective` has passed the
// acceptance rule.
StagePlan plan_border(std::uint32_t effective);
// The 64-bit family's plan: sides with an in-memory or stage flag enlarge the first stage by the
// second stage's reach on that side and are read from memory by the second stage; only sides
// with an effective stage flag are read from memory by the first stage beyond that.
StagePlan plan_border_l(std::uint32_t effective, const MaskInfo& second);

// The caller's buffer carved: two stage work areas and the intermediate image (rows of `tStep`
// bytes).
struct Scratch {
    std::uint8_t* work1;
    std::uint8_t* work2;
    std::uint8_t* image;
    std::int64_t tStep;
};

// The caller's buffer of a call on a ROI of width x height, for an element size (0: bit-packed)
// and channel count.
Scratch scratch_for(const qpxMorphAdvState* st, std::uint8_t* buffer, int elemSize, int channels,
                    std::int64_t width, std::int64_t height);
Scratch scratch_for_l(const AdvStateL* st, std::uint8_t* buffer, int elemSize, int channels,
                      std::int64_t width, std::int64_t height);

// Bands of about this many bytes of a row keep the intermediate rows of one band in the second
// level cache between the two stages.
inline constexpr std::int64_t kBandBytes = 256 * 1024;

// Element images. `clampNeg` replaces negative top-hat and black-hat differences by 0 (signed
// and float data only; unsigned data saturate at 0 anyway). dst may be src. Separate images of
// enough rows run band by band, each band about `bandBytes` of rows (0: the whole ROI at once);
// the result is the same.
template <class T, int C>
void run_adv(Target tg, AdvOp op, View<const T> src, View<T> dst, const StagePlan& plan,
             const T* value, const qpxMorphState* first, const qpxMorphState* second,
             const Scratch& scratch, bool clampNeg, std::int64_t bandBytes = kBandBytes);

// Bit-packed images: differences are a AND NOT b; bits outside the ROI are preserved.
void run_adv_1u(Target tg, AdvOp op, View<const std::uint8_t> src, int srcBit,
                View<std::uint8_t> dst, int dstBit, const StagePlan& plan, std::uint8_t value,
                const qpxMorphState* first, const qpxMorphState* second, const Scratch& scratch);

// dst = a - b (saturating for integers); the three images have dst's size.
template <class T>
void subtract(Target t, View<const T> a, View<const T> b, View<T> dst, bool clampNeg);

// The differences of one target.
template <class T>
using SubFn = void (*)(View<const T>, View<const T>, View<T>, bool);
struct AdvKernels {
    SubFn<std::uint8_t> sub8u;
    SubFn<std::uint16_t> sub16u;
    SubFn<std::int16_t> sub16s;
    SubFn<float> sub32f;
};
QPX_TARGET_TABLE(AdvKernels, adv_kernels)

// dst = a AND NOT b on bit-packed rows with independent bit offsets.
void and_not_bits(const std::uint8_t* a, std::int64_t aStep, std::int64_t aBit,
                  const std::uint8_t* b, std::int64_t bStep, std::int64_t bBit, std::uint8_t* dst,
                  std::int64_t dstStep, std::int64_t dstBit, std::int64_t width,
                  std::int64_t height);

}  // namespace qpx::morph
