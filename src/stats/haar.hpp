// One stage of a boosted cascade of rectangle-feature classifiers: the spec the initialisers
// fill in the caller's memory, and the stage evaluation behind the apply exports, open to the
// tests so that every vector target can be compared with the scalar one.
#pragma once

#include <cstdint>

#include "frame/base.hpp"
#include "frame/layout.hpp"
#include "frame/target.hpp"
#include "frame/view.hpp"

namespace qpx::stats {

// A feature's four integral samples, (column, row) each, and its weight. The response at a
// window is weight x (J(a) - J(b) - J(c) + J(d)).
template <class V>
struct HaarFeature {
    std::int32_t a[2], b[2], c[2], d[2];
    V weight;
};
static_assert(sizeof(HaarFeature<float>) == 36 && sizeof(HaarFeature<std::int32_t>) == 36);

// Bit 0 of a classifier's position word marks features on the tilted integral.
inline constexpr std::uint32_t kHaarTilted = 1;

template <class V>
struct HaarClassifier {
    std::int32_t num;
    std::uint32_t position;  // index in the caller's arrays x 256, or with kHaarTilted set
    HaarFeature<V>* first;
    V threshold, val1, val2;
    std::int32_t pad;
};
static_assert(sizeof(HaarClassifier<float>) == 32 && sizeof(HaarClassifier<std::int32_t>) == 32);

struct HaarHeader {
    std::int32_t length;     // classifiers
    std::int32_t total;      // rectangles
    std::int32_t two;        // leading classifiers with two rectangles
    std::int32_t upToThree;  // leading classifiers with two or three
    std::int32_t tilted;     // set once any feature is tilted
    std::int32_t pad;
    std::uint8_t* work;  // 64-byte aligned, inside the spec; null in memory no Init filled
};
static_assert(sizeof(HaarHeader) == 32);

// The spec: header, classifier records and feature records from an 8-byte aligned base, then the
// work area (four sample offsets per feature) on its own 64-byte boundary.
constexpr auto haar_records(std::int64_t length, std::int64_t total) {
    return layout(Slot{sizeof(HaarHeader), 8}, Slot{32 * length, 8}, Slot{36 * total, 4});
}
constexpr auto haar_work(std::int64_t total) {
    return layout(Slot{16 * total, 64});
}
constexpr std::int64_t haar_spec_bytes(std::int64_t length, std::int64_t total) {
    return haar_records(length, total).bytes() + haar_work(total).bytes();
}
// The parts of a filled spec.
template <class V>
struct HaarSpec {
    HaarHeader* head;
    HaarClassifier<V>* cls;
    HaarFeature<V>* feat;
};
template <class V>
HaarSpec<V> carve_haar_spec(const void* spec) {
    // Only the feature slot's offset depends on the counts, and it follows the records.
    const auto at = haar_records(0, 0).carve(spec);
    auto* head = reinterpret_cast<HaarHeader*>(at[0]);
    auto* cls = reinterpret_cast<HaarClassifier<V>*>(at[1]);
    return {head, cls, reinterpret_cast<HaarFeature<V>*>(cls + head->length)};
}
// The size the query reports (dataType 11 or 13).
std::int64_t haar_reported_size(int dataType, qpxSize roi, std::int64_t length, std::int64_t total);

enum class HaarCorners { Upright, Tilted, TiltedFlag0 };

// Validates every rectangle, then fills the spec. Positions are grouped (two rectangles, three,
// the rest) for upright specs and kept in the caller's order for tilted ones.
template <class V>
qpxStatus haar_init(void* spec, const qpxRect* feature, const V* weight, const V* threshold,
                    const V* val1, const V* val2, const int* num, int length, bool tilted);
template <class V>
qpxStatus haar_tilt(const std::uint8_t* mask, int flag, void* spec);
template <class V>
qpxSize haar_window(const void* spec);

// The integral images one stage samples: `src` for upright classifiers and `tilt` (already
// moved one row down and one column right) for tilted ones; a plain apply passes src twice.
template <class J, class N>
struct HaarImages {
    View<const J> src, tilt;
    View<const N> norm;
    View<std::uint8_t> mask;
};

enum class HaarStrategy { Hint, Dense, Windows };

// The stage evaluation, compiled once per vector target: each runs the stage and returns the
// number of windows that pass. The 32s32f form takes a float spec; `scale` is -scaleFactor for
// the 32s form (clamped to 64) and ignored by the others. Every target gives the same mask and
// count, bit for bit.
struct HaarKernels {
    int (*apply_32f)(const HaarImages<float, float>&, float stageThreshold, void* spec, int hint,
                     int scale, HaarStrategy);
    int (*apply_32s32f)(const HaarImages<std::int32_t, float>&, float stageThreshold, void* spec,
                        int hint, int scale, HaarStrategy);
    int (*apply_32s)(const HaarImages<std::int32_t, std::int32_t>&, std::int32_t stageThreshold,
                     void* spec, int hint, int scale, HaarStrategy);
};
QPX_TARGET_TABLE(HaarKernels, haar_kernels)

// Int32 to single precision, to nearest with ties to even whatever the caller's rounding mode.
float haar_to_single(std::int32_t v);

}  // namespace qpx::stats
