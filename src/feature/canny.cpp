// Canny edge detection. The image is processed row by row: a magnitude row (with the low cut)
// and its direction sectors are formed one row ahead of suppression, which needs the rows above
// and below. Suppression writes the candidate map and pushes seeds; hysteresis then grows the
// edges from the seeds through the candidates, and a last pass turns the map into the output.
// The row kernels run on the vector target chosen by the caller (canny_kern.cpp).
//
// The candidate map is a (w + 2) x (h + 2) byte grid whose frame stays 0, so the edge following
// needs no bounds tests. Before suppression reaches a row, the row's map bytes hold its direction
// sectors (values 0..3); suppression overwrites them with 0, a candidate (128) or an edge (255).
#include "feature/canny.hpp"

#include <cstring>
#include <type_traits>

#include "filter/derivative.hpp"
#include "frame/border.hpp"
#include "frame/border_copy.hpp"

namespace qpx::feature {
namespace {

using u8 = std::uint8_t;
using i64 = std::int64_t;

template <class D, class M, EdgeMag mag>
MagnitudeFn<D, M> magnitude_kernel(const CannyKernels& k) {
    if constexpr (std::is_same_v<D, float>)
        return mag == EdgeMag::L1 ? k.magF32L1 : k.magF32L2Square;
    else if constexpr (std::is_same_v<M, std::int32_t>)
        return mag == EdgeMag::L1 ? k.magS16L1 : k.magS16L2Square;
    else
        return mag == EdgeMag::L1 ? k.magS16FloatL1 : k.magS16FloatL2Root;
}

template <class M, class I>
SuppressFn<M, I> suppress_kernel(const CannyKernels& k) {
    if constexpr (std::is_same_v<M, float>) {
        if constexpr (std::is_same_v<I, std::uint32_t>)
            return k.suppressF32;
        else
            return k.suppressF64;
    } else {
        if constexpr (std::is_same_v<I, std::uint32_t>)
            return k.suppressI32;
        else
            return k.suppressI64;
    }
}

// Grows edges from the seeds on the stack through 8-connected candidates. Every pixel is pushed
// at most once: it leaves the candidate state when pushed. An entry is the pixel's grid index,
// which takes the room of a (row, column) pair of half-width coordinates; so the stack holds one
// entry per pixel in every buffer, including the 8u detector's, whose stack area is 4 bytes a
// grid pixel.
template <class I>
void follow_edges(u8* map, i64 stride, I* base, I* top) {
    const I s = static_cast<I>(stride);
    while (top != base) {
        const I idx = *--top;
        // top-left, top, top-right, left, right, bottom-left, bottom, bottom-right
        const I nb[8] = {idx - s - 1, idx - s,     idx - s + 1, idx - 1,
                         idx + 1,     idx + s - 1, idx + s,     idx + s + 1};
        for (I n : nb) {
            if (map[n] == kMapCandidate) {
                map[n] = kMapEdge;
                *top++ = n;
            }
        }
    }
}

// Where suppression pushes its seeds: `seeds` holds room for `capacity` entries. Once fewer than
// a row's worth are left, a row's seeds go to `spill(y)` instead (room for w entries that nothing
// reads) and are found again in the map after the last row.
template <class I>
struct SeedRoom {
    I* seeds;
    i64 capacity;  // entries; negative: one per grid pixel, never short
};

// Pushes every edge of the map (seeds and what grew from them) again and follows it: the edges
// that the seeds of spilled rows start are found this way. Edges already followed add nothing.
template <class I>
void follow_from_map(u8* map, i64 stride, i64 h, I* stack) {
    for (i64 i = stride; i < (h + 1) * stride; ++i) {
        if (map[i] != kMapEdge) continue;
        *stack = static_cast<I>(i);
        follow_edges<I>(map, stride, stack, stack + 1);
    }
}

// The whole detector over one ROI. `rowFn(y, mag, sec)` fills magnitudes mag[0..w-1] and sectors
// sec[0..w-1] of ROI row y; `spill(y)` gives room for w entries that nothing reads once row y's
// magnitudes are made. `ring` holds 3 (w + 2) values, `map` the grid, `stack` one entry per ROI
// pixel at least; suppression's seeds go to `room`, which may lie inside the stack.
template <class M, class I, class RowFn, class Spill>
void run_detector(const CannyKernels& kn, RowFn&& rowFn, Spill&& spill, i64 w, i64 h, M high,
                  u8* dst, i64 dstStep, M* ring, u8* map, I* stack, SeedRoom<I> room) {
    const i64 stride = w + 2;
    std::memset(map, 0, size_t(stride));
    std::memset(map + (h + 1) * stride, 0, size_t(stride));
    for (i64 y = 1; y <= h; ++y) {
        map[y * stride] = 0;
        map[y * stride + w + 1] = 0;
    }
    M* prev = ring;
    M* cur = ring + stride;
    M* next = ring + 2 * stride;
    for (i64 x = 0; x < stride; ++x) prev[x] = M(0);
    cur[0] = cur[w + 1] = next[0] = next[w + 1] = M(0);

    const SuppressFn<M, I> suppress = suppress_kernel<M, I>(kn);
    rowFn(i64(0), cur + 1, map + stride + 1);
    I* top = room.seeds;
    bool spilled = false;
    for (i64 y = 0; y < h; ++y) {
        const i64 last = y + 1 < h ? y + 1 : y;  // the last row whose magnitudes are made
        if (y + 1 < h)
            rowFn(y + 1, next + 1, map + (y + 2) * stride + 1);
        else
            for (i64 x = 1; x <= w; ++x) next[x] = M(0);
        spilled = spilled || (room.capacity >= 0 && room.capacity - (top - room.seeds) < w);
        I* to = spilled ? spill(last) : top;
        I* end = suppress(prev, cur, next, map + (y + 1) * stride, w, high, to,
                          static_cast<I>((y + 1) * stride));
        if (!spilled) top = end;
        M* t = prev;
        prev = cur;
        cur = next;
        next = t;
    }
    const i64 n = top - room.seeds;
    if (room.seeds != stack) std::memmove(stack, room.seeds, size_t(n) * sizeof(I));
    follow_edges<I>(map, stride, stack, stack + n);
    if (spilled) follow_from_map<I>(map, stride, h, stack);
    kn.writeEdges(map, stride, dst, dstStep, w, h);
}

inline bool small_grid(i64 w, i64 h) {
    return w <= 65532 && h <= 65532;
}

}  // namespace

template <class D, class M, EdgeMag mag>
void edge_magnitude_row(Target t, const D* dx, const D* dy, i64 w, EdgeThresholds<M> th, M* out,
                        u8* sec) {
    magnitude_kernel<D, M, mag>(canny_kernels(t))(dx, dy, w, th, out, sec);
}

std::int64_t canny_buffer_size(std::int64_t width, std::int64_t height) {
    const i64 k = small_grid(width, height) ? 5 : 9;
    return 16 * (width + 6) + k * (width + 2) * (height + 2) + 64;
}

template <class D, class M, EdgeMag mag>
void canny_deriv(Target t, View<const D> dx, View<const D> dy, View<u8> dst, EdgeThresholds<M> th,
                 u8* buffer) {
    const i64 width = dst.width, height = dst.height;
    const CannyKernels& kn = canny_kernels(t);
    const MagnitudeFn<D, M> magnitude = magnitude_kernel<D, M, mag>(kn);
    auto go = [&](auto* noStack) {
        using I = std::remove_pointer_t<decltype(noStack)>;
        const auto at = canny_slots<I, M>(width, height).carve(buffer);
        auto* stack = reinterpret_cast<I*>(at[0]);
        M* ring = reinterpret_cast<M*>(at[1]);
        u8* map = at[2];
        auto rowFn = [&](i64 y, M* out, u8* sec) {
            magnitude(dx.row(y), dy.row(y), width, th, out, sec);
        };
        auto noSpill = [](i64) -> I* { return nullptr; };
        run_detector<M, I>(kn, rowFn, noSpill, width, height, th.high, dst.data, dst.step, ring,
                           map, stack, SeedRoom<I>{stack, -1});
    };
    if (small_grid(width, height))
        go(static_cast<std::uint32_t*>(nullptr));
    else
        go(static_cast<std::uint64_t*>(nullptr));
}

// ---- 8u detector with its own derivatives ---------------------------------------------------

namespace {

constexpr double kPi = 3.14159265358979323846;

// atan(z) for z >= 0 in double precision: reduced to |t| <= tan(pi/8), then a short series.
double atan_nonneg(double z) {
    const bool inv = z > 1.0;
    if (inv) z = 1.0 / z;
    double off = 0.0;
    if (z > 0.41421356237309503) {
        off = kPi / 4;
        z = (z - 1.0) / (z + 1.0);
    }
    const double z2 = z * z;
    double s = 0.0;
    for (int n = 24; n >= 0; --n) s = s * z2 + ((n & 1) ? -1.0 : 1.0) / (2 * n + 1);
    double r = off + z * s;
    return inv ? kPi / 2 - r : r;
}

// Direction from the gradient angle, folded into [0, pi): the path for images under 4 rows.
u8 sector_by_angle(int dx, int dy) {
    double a = 0.0;
    if (dx != 0 || dy != 0) {
        double ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
        a = ax == 0 ? kPi / 2 : atan_nonneg(ay / ax);
        if (dx < 0) a = kPi - a;
        if (dy < 0) a = -a;
        if (a < 0) a += kPi;
    }
    const float f = static_cast<float>(a);
    if (f < 0.3926991f) return kSectorHorizontal;
    if (f <= 1.1780972f) return kSectorSameSign;
    if (f < 1.9634955f) return kSectorVertical;
    if (f <= 2.7488937f) return kSectorOppSign;
    return kSectorHorizontal;
}

constexpr i64 kStripRows = 32;

// End of the strip that starts at row y. An inner strip edge keeps r rows below it, so a short
// last strip joins its predecessor.
i64 next_strip_end(i64 y, i64 strip, i64 h, int r) {
    i64 end = y + strip < h ? y + strip : h;
    if (end < h && end > h - r) end = h;
    return end;
}

}  // namespace

std::int64_t canny_border_buffer_size(std::int64_t width, std::int64_t height, int k) {
    const i64 W = width + k - 1;
    const i64 A = (height + k - 1) * W;
    i64 size = align_up(16 * W, 32) + align_up(A, 32) + align_up(4 * A, 32) + 64;
    if ((width < height ? width : height) < k) size += align_up(A, 32);
    return size;
}

Layout<4> canny_border_slots(std::int64_t width, std::int64_t height, int k) {
    const i64 W = width + k - 1;
    const i64 A = (height + k - 1) * W;
    const bool thin = (width < height ? width : height) < k;
    return layout(Slot{16 * W}, Slot{A}, Slot{4 * A}, Slot{thin ? A : 0});
}

BorderLayout canny_border_layout(std::int64_t width, std::int64_t height, int k) {
    const Layout<4> slots = canny_border_slots(width, height, k);
    BorderLayout l;
    l.ring = slots.offset(0);
    l.map = slots.offset(1);
    l.stack = slots.offset(2);
    l.copy = slots.offset(3);
    l.end = slots.span();
    // The derivative filters' scratch: before the map is built (3x3), or behind the derivative
    // rows in the stack area (5x5, whose scratch outgrows the map of a thin image).
    l.scratch = k == 3 ? l.ring : l.stack + 4 * width * height;
    l.scratchEnd = k == 3 ? l.stack : l.copy;
    l.strip = 0;
    l.seeds = l.stack;
    // Where one strip's rows, the filters' scratch and a row of seeds fit in the stack area, the
    // derivatives are made a strip at a time into the same place, just ahead of their use, so
    // that they never leave the cache. A strip holds at most kStripRows + k / 2 - 1 rows (a
    // short last strip joins its predecessor).
    if ((width < height ? width : height) >= k) {
        int need = 0;
        const qpxSize strip{int(width), int(height < 2 * kStripRows ? height : 2 * kStripRows)};
        filter::derivative_buffer_size(filter::DerivKind::SobelNegV, strip,
                                       k == 3 ? qpxMskSize3x3 : qpxMskSize5x5, qpx8u, qpx16s, 1,
                                       &need);
        const i64 rows = kStripRows + k / 2 - 1;
        // Within the stack area: the strip's derivative rows, the filters' scratch, the seeds.
        const Layout<3> inStack =
            layout(Slot{4 * width * (rows < height ? rows : height)}, Slot{need}, Slot{4 * width});
        if (l.stack + inStack.span() <= l.copy) {
            l.strip = kStripRows;
            l.scratch = l.stack + inStack.offset(1);
            l.scratchEnd = l.stack + inStack.offset(2);
            l.seeds = l.scratchEnd;
        }
    }
    return l;
}

qpxStatus canny_border(Target t, View<const u8> source, View<u8> dest, int filterType, int maskSize,
                       std::uint32_t borderType, u8 borderValue, int norm, float low, float high,
                       u8* buffer) {
    const u8* src = source.data;
    const int srcStep = int(source.step);
    u8* dst = dest.data;
    const int dstStep = int(dest.step);
    const qpxSize roi{int(dest.width), int(dest.height)};
    const int k = maskSize == qpxMskSize5x5 ? 5 : 3, r = k / 2;
    const i64 w = roi.width, h = roi.height;
    const BorderLayout lay = canny_border_layout(w, h, k);
    u8* base = canny_border_slots(w, h, k).carve(buffer)[0];

    // Thin images are copied with their border first and then read as lying in memory.
    const u8* s = src;
    int sStep = srcStep;
    std::uint32_t bt = borderType;
    if ((w < h ? w : h) < k && borderType != qpxBorderInMem) {
        const i64 W = w + k - 1;
        u8* copy = base + lay.copy;
        const qpxSize ext{int(W), int(h + k - 1)};
        if ((borderType & 15u) == kBorderRepl)
            copy_replicate_border<u8, 1>(src, srcStep, roi, copy, int(W), ext, r, r, t);
        else
            copy_const_border<u8, 1>(src, srcStep, roi, copy, int(W), ext, r, r, borderValue, t);
        s = copy + r * W + r;
        sStep = static_cast<int>(W);
        bt = qpxBorderInMem;
    }

    // dx and dy of a row lie side by side from the start of the stack area: a strip's rows (the
    // first row there is ROI row `held`), or all rows, which the stack then overwrites as they
    // are consumed (suppression pushes at most one entry per pixel of the rows consumed).
    auto* dxy = reinterpret_cast<std::int16_t*>(base + lay.stack);
    const int dxyStep = static_cast<int>(4 * w);
    i64 held = 0;
    const bool scharr = filterType == qpxFilterScharr;
    // Derivatives of ROI rows y0..y1-1; the rows around an inner strip are read as they lie.
    auto derive = [&](i64 y0, i64 y1) {
        std::uint32_t b = bt;
        if (y0 > 0) b |= qpxBorderInMemTop;
        if (y1 < h) b |= qpxBorderInMemBottom;
        const qpxSize r{roi.width, static_cast<int>(y1 - y0)};
        const u8* sp = row(s, sStep, y0);
        if (lay.strip) held = y0;
        std::int16_t* d = dxy + 2 * w * (y0 - held);
        const View<const u8> sv = view(sp, sStep, r);
        qpxStatus st = filter::derivative(
            scharr ? filter::DerivKind::ScharrV : filter::DerivKind::SobelNegV, sv,
            view(d, dxyStep, r), maskSize, b, borderValue, base + lay.scratch, t);
        if (st) return st;
        return filter::derivative(scharr ? filter::DerivKind::ScharrH : filter::DerivKind::SobelH,
                                  sv, view(d + w, dxyStep, r), maskSize, b, borderValue,
                                  base + lay.scratch, t);
    };
    // Strips differ only in height and in-memory sides, so the first strip's checks answer for
    // all of them: a refused source is reported before anything reaches dst.
    i64 stripEnd = lay.strip ? next_strip_end(0, lay.strip, h, r) : h;
    if (qpxStatus st = derive(0, stripEnd); st) return st;

    const CannyKernels& kn = canny_kernels(t);
    const MagnitudeFn<std::int16_t, float> magnitude =
        norm == qpxEdgeNormL2 ? kn.magS16FloatL2Root : kn.magS16FloatL1;
    const EdgeThresholds<float> th{low, high, false};
    const bool byAngle = h < 4;
    auto rowFn = [&](i64 y, float* out, u8* sec) {
        if (y == stripEnd) {
            const i64 y1 = next_strip_end(y, lay.strip, h, r);
            (void)derive(y, y1);  // cannot fail where the first strip passed
            stripEnd = y1;
        }
        const std::int16_t* dx = dxy + 2 * w * (y - held);
        const std::int16_t* dy = dx + w;
        magnitude(dx, dy, w, th, out, sec);
        if (byAngle)
            for (i64 x = 0; x < w; ++x) sec[x] = sector_by_angle(dx[x], dy[x]);
    };
    // A consumed row of derivatives has room for a row of seeds (4 w bytes).
    auto spill = [&](i64 y) { return reinterpret_cast<std::uint32_t*>(dxy + 2 * w * (y - held)); };
    auto* stack = reinterpret_cast<std::uint32_t*>(base + lay.stack);
    const SeedRoom<std::uint32_t> room =
        lay.strip ? SeedRoom<std::uint32_t>{reinterpret_cast<std::uint32_t*>(base + lay.seeds),
                                            (lay.copy - lay.seeds) / 4}
                  : SeedRoom<std::uint32_t>{stack, -1};
    run_detector<float, std::uint32_t>(kn, rowFn, spill, w, h, high, dst, dstStep,
                                       reinterpret_cast<float*>(base + lay.ring), base + lay.map,
                                       stack, room);
    return qpxStatusOk;
}

#define QPX_CANNY_INSTANCE(D, M, mag)                                                    \
    template void edge_magnitude_row<D, M, mag>(Target, const D*, const D*, i64,         \
                                                EdgeThresholds<M>, M*, u8*);             \
    template void canny_deriv<D, M, mag>(Target, View<const D>, View<const D>, View<u8>, \
                                         EdgeThresholds<M>, u8*);
QPX_CANNY_INSTANCE(float, float, EdgeMag::L1)
QPX_CANNY_INSTANCE(float, float, EdgeMag::L2Square)
QPX_CANNY_INSTANCE(std::int16_t, std::int32_t, EdgeMag::L1)
QPX_CANNY_INSTANCE(std::int16_t, std::int32_t, EdgeMag::L2Square)
template void edge_magnitude_row<std::int16_t, float, EdgeMag::L1>(Target, const std::int16_t*,
                                                                   const std::int16_t*, i64,
                                                                   EdgeThresholds<float>, float*,
                                                                   u8*);
template void edge_magnitude_row<std::int16_t, float, EdgeMag::L2Root>(Target, const std::int16_t*,
                                                                       const std::int16_t*, i64,
                                                                       EdgeThresholds<float>,
                                                                       float*, u8*);
#undef QPX_CANNY_INSTANCE

}  // namespace qpx::feature
