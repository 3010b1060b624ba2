// Morphological reconstruction against unit geodesic steps iterated to the fixpoint, scalar
// against vector, buffer sizes, argument checks, and guard pages around every image and buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "morph/reconstruct.hpp"

namespace {

using qpx::morph::Recon;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using u16 = std::uint16_t;

// The entry point of one operation and element type, and the type code.
template <Recon op, class T>
auto fn() {
    constexpr bool d = op == Recon::Dilate;
    if constexpr (std::is_same_v<T, u8>)
        return d ? qpxiMorphReconstructDilate_8u_C1IR : qpxiMorphReconstructErode_8u_C1IR;
    else if constexpr (std::is_same_v<T, u16>)
        return d ? qpxiMorphReconstructDilate_16u_C1IR : qpxiMorphReconstructErode_16u_C1IR;
    else if constexpr (std::is_same_v<T, float>)
        return d ? qpxiMorphReconstructDilate_32f_C1IR : qpxiMorphReconstructErode_32f_C1IR;
    else
        return d ? qpxiMorphReconstructDilate_64f_C1IR : qpxiMorphReconstructErode_64f_C1IR;
}
template <class T>
constexpr qpxDataType kType = std::is_same_v<T, u8>      ? qpx8u
                              : std::is_same_v<T, u16>   ? qpx16u
                              : std::is_same_v<T, float> ? qpx32f
                                                         : qpx64f;

// Reconstruction as its definition reads: clamp the marker by the mask, then apply unit
// geodesic dilations (erosions) until the image stops changing.
template <Recon op, class T>
std::vector<T> reference(const std::vector<T>& mask, std::vector<T> j, int w, int h, bool eight) {
    auto up = [](T a, T b) { return op == Recon::Dilate ? std::max(a, b) : std::min(a, b); };
    auto down = [](T a, T b) { return op == Recon::Dilate ? std::min(a, b) : std::max(a, b); };
    for (std::size_t i = 0; i < j.size(); ++i) j[i] = down(j[i], mask[i]);
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<T> next(j);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                T v = j[y * w + x];
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (!eight && dx != 0 && dy != 0) continue;
                        int xx = x + dx, yy = y + dy;
                        if (xx >= 0 && xx < w && yy >= 0 && yy < h) v = up(v, j[yy * w + xx]);
                    }
                v = down(v, mask[y * w + x]);
                if (v != next[y * w + x]) changed = true;
                next[y * w + x] = v;
            }
        j.swap(next);
    }
    return j;
}

enum class Pattern { Noise, Serpentine };

// A mask image and a sparse marker. The serpentine mask is a corridor that doubles back
// vertically, so reaching its end takes several passes in both directions.
template <Recon op, class T>
void make_inputs(qpxtest::Random& rnd, Pattern pat, int w, int h, std::vector<T>& mask,
                 std::vector<T>& marker) {
    mask.resize(std::size_t(w) * h);
    marker.resize(mask.size());
    const T lo = std::is_floating_point_v<T> ? T(-2000) : std::numeric_limits<T>::min();
    const T hi = std::is_floating_point_v<T> ? T(2000) : std::numeric_limits<T>::max();
    const T none = op == Recon::Dilate ? lo : hi, wall = none;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            T v = rnd.any<T>();
            if (pat == Pattern::Serpentine) {
                bool open = (x % 4 != 3) || (((x / 4) % 2 == 0) ? y == h - 1 : y == 0);
                if (!open) v = wall;
            }
            mask[y * w + x] = v;
            marker[y * w + x] = rnd.next<int>(0, 9) == 0 ? rnd.any<T>() : none;
            // Signed zeros take the sequential float path; it must agree bit for bit as well.
            if (std::is_floating_point_v<T> && rnd.next<int>(0, 40) == 0)
                mask[y * w + x] = rnd.next<int>(0, 1) ? T(0) : -T(0);
        }
    if (pat == Pattern::Serpentine) marker[0] = op == Recon::Dilate ? hi : lo;
}

template <class T>
void load(GuardedImage<T>& img, const std::vector<T>& v) {
    img.fill([&, i = std::size_t(0)]() mutable { return v[i++]; });
}

template <Recon op, class T>
void check_against_reference() {
    qpxtest::Random rnd(77 + sizeof(T));
    for (Pattern pat : {Pattern::Noise, Pattern::Serpentine})
        for (int w : {1, 7, 8, 9, 15, 16, 17, 31, 33, 67})
            for (int h : {1, 2, 5, 13})
                for (qpxNormType norm : {qpxNormInf, qpxNormL1}) {
                    SCOPED_TRACE(testing::Message() << "w=" << w << " h=" << h << " norm=" << norm
                                                    << " pattern=" << int(pat));
                    std::vector<T> mask, marker;
                    make_inputs<op>(rnd, pat, w, h, mask, marker);
                    const Place place = (w + h) % 2 ? Place::Begin : Place::End;
                    GuardedImage<T> m(w, h, 1, 0, place), j(w, h, 1, 2 * sizeof(T), place);
                    load(m, mask);
                    load(j, marker);
                    int size = 0;
                    ASSERT_EQ(qpxiMorphReconstructGetBufferSize({w, h}, kType<T>, 1, &size),
                              qpxStatusOk);
                    GuardedBuffer buf(std::size_t(size), place);
                    const auto run = fn<op, T>();
                    ASSERT_EQ(run(m.roi(), m.step(), j.roi(), j.step(), j.size(), buf.data(), norm),
                              0);
                    const auto want = reference<op>(mask, marker, w, h, norm == qpxNormInf);
                    const auto vec = j.dense();
                    ASSERT_EQ(vec, want);

                    // Every target gives the same bits.
                    std::vector<qpx::Target> targets = qpxtest::vector_targets();
                    targets.push_back(qpx::Target::Scalar);
                    for (qpx::Target t : targets) {
                        load(j, marker);
                        qpx::morph::reconstruct<op, T>(t, m.view(), j.view(), buf.data(),
                                                       norm == qpxNormInf);
                        ASSERT_EQ(std::memcmp(j.dense().data(), vec.data(), vec.size() * sizeof(T)),
                                  0)
                            << qpx::target_name(t);
                    }
                }
}

template <class T>
void both() {
    check_against_reference<Recon::Dilate, T>();
    check_against_reference<Recon::Erode, T>();
}
TEST(Reconstruct, MatchesIteratedGeodesicSteps) {
    both<u8>(), both<u16>(), both<float>(), both<double>();
}

// The argument checks are the generic argument test's.
TEST(Reconstruct, BufferSizeTable) {
    struct Case {
        qpxDataType type;
        int w, h, want;
    };
    for (const Case& c : {Case{qpx8u, 10, 3, 40 + 3 + 161}, Case{qpx16u, 10, 3, 2 * 43 + 322},
                          Case{qpx32f, 7, 1, 112 + 1 + 164}, Case{qpx64f, 1, 9, 32 + 9 + 168}}) {
        int size = -1;
        EXPECT_EQ(qpxiMorphReconstructGetBufferSize({c.w, c.h}, c.type, 1, &size), qpxStatusOk);
        EXPECT_EQ(size, c.want) << c.type;
    }
}

}  // namespace
