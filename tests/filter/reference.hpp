// Direct references for the filter tests, written independently of the library: the
// border-extended source pixel by pixel, the 2-D correlation of a mask with it, and a harness
// that runs a fixed filter on guarded images on every vector target.
#pragma once

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "frame/base.hpp"

namespace filtertest {

using qpxtest::GuardedImage;
using qpxtest::Margins;

constexpr long kConst = -(1L << 40);

// The pixel that position i of a line of n pixels reads under a border kind and the in-memory
// flags of its two ends (kConst: the constant), reflecting step by step rather than by a period
// so that it shares nothing with the library's mapping.
inline long ref_index(long i, long n, int kind, bool memLo, bool memHi) {
    if ((i >= 0 || memLo) && (i < n || memHi)) return i;
    if (kind == qpxBorderConst) return kConst;
    if (kind == qpxBorderRepl || n == 1) return i < 0 ? 0 : n - 1;
    while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
    return i;
}

// Truncation toward zero, saturated to D.
template <class D>
D trunc_sat(double v) {
    if constexpr (std::is_floating_point_v<D>) return D(v);
    const double lo = std::numeric_limits<D>::min(), hi = std::numeric_limits<D>::max();
    return static_cast<D>(v < lo ? lo : v > hi ? hi : std::trunc(v));
}

// The value a filter sees at (x, y) of the extended source.
template <class T>
double extended(const GuardedImage<T>& img, int x, int y, unsigned b, double value) {
    const long sx = ref_index(x, img.width(), b & 15, b & 64, b & 128),
               sy = ref_index(y, img.height(), b & 15, b & 16, b & 32);
    return sx == kConst || sy == kConst ? value : double(img.at(int(sx), int(sy)));
}

// A ks x ks mask, rows top to bottom, anchor at the centre.
struct Mask {
    int ks;
    std::vector<double> k;
};
inline Mask outer(const std::vector<double>& col, const std::vector<double>& row) {
    Mask m{int(row.size()), {}};
    for (double c : col)
        for (double r : row) m.k.push_back(c * r);
    return m;
}
template <class T>
double correlate(const GuardedImage<T>& img, const Mask& m, int x, int y, unsigned border,
                 double value) {
    const int a = (m.ks - 1) / 2;
    double s = 0;
    for (int j = 0; j < m.ks; ++j)
        for (int i = 0; i < m.ks; ++i)
            s +=
                m.k[std::size_t(j * m.ks + i)] * extended(img, x + i - a, y + j - a, border, value);
    return s;
}

// Every code the filter rule accepts, and some it rejects.
inline std::vector<unsigned> accepted_borders() {
    std::vector<unsigned> v{240};
    for (unsigned kind : {1u, 3u, 6u})
        for (unsigned flags = 0; flags < 16; ++flags) v.push_back(kind | flags << 4);
    return v;
}
// Widths past one, two and several vectors of every target's 16-bit lanes, with tails.
inline const std::vector<qpxSize> kRois = {{1, 1},  {1, 6},  {6, 1},  {2, 3},
                                           {17, 4}, {41, 7}, {67, 3}, {133, 2}};

// Runs run(target, src, dst) on the scalar target and every vector target, for both guard
// placements. The source has memory beyond the ROI exactly where the border code says it may be
// read (`reach` pixels), so any other access faults. Results must match want(src, x, y) within
// `tol`, and every target must agree with the scalar one bit for bit.
template <class Src, class Dst, class Gen, class Run, class Want>
void check_filter(qpxSize roi, unsigned border, int reach, Gen&& gen, Run&& run, Want&& want,
                  double tol = 0) {
    Margins m;
    m.top = border & 16 ? reach : 0, m.bottom = border & 32 ? reach : 0;
    m.left = border & 64 ? reach : 0, m.right = border & 128 ? reach : 0;
    for (qpxtest::Place place : {qpxtest::Place::Begin, qpxtest::Place::End}) {
        GuardedImage<Src> src(roi.width, roi.height, 1, 0, place, m);
        src.fill(gen);
        GuardedImage<Dst> sca(roi.width, roi.height, 1, 0, place);
        ASSERT_EQ(run(qpx::Target::Scalar, src, sca), qpxStatusOk);
        for (int y = 0; y < roi.height; ++y)
            for (int x = 0; x < roi.width; ++x)
                ASSERT_NEAR(double(sca.at(x, y)), want(src, x, y), tol)
                    << "border " << border << " roi " << roi.width << "x" << roi.height << " at "
                    << x << "," << y;
        for (qpx::Target t : qpxtest::vector_targets()) {
            GuardedImage<Dst> vec(roi.width, roi.height, 1, 0, place);
            ASSERT_EQ(run(t, src, vec), qpxStatusOk);
            for (int y = 0; y < roi.height; ++y)
                ASSERT_EQ(0, std::memcmp(&vec.at(0, y), &sca.at(0, y), sizeof(Dst) * roi.width))
                    << qpx::target_name(t) << " border " << border << " roi " << roi.width << "x"
                    << roi.height << " row " << y;
        }
    }
}

}  // namespace filtertest
