// Corner measures. Every function runs the same pipeline: horizontal and vertical derivatives
// into planes inside the caller's buffer, then, one output row at a time, the windowed sums of
// dx*dx, dx*dy and dy*dy, and a per-pixel formula on the averaged tensor.
//
// Windowed sums are formed row by row: each plane row gets its horizontal window sums once (kept
// in a ring of rows keyed by the plane row they came from), and each output row adds the rows of
// its window from top to bottom. Every sum is taken in the same order on every target: the
// columns near a side the kind extends are summed here, the rest and the per-pixel formulas by the
// target's kernels (corner_kern.cpp), which run the same IEEE operations lane by lane.
#include "feature/corner.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>

#include "filter/derivative.hpp"
#include "frame/border.hpp"
#include "frame/layout.hpp"

namespace qpx::feature {
namespace {

using filter::DerivKind;

template <class T>
qpxSize roi_of(const View<T>& v) {
    return {int(v.width), int(v.height)};
}
using u8 = std::uint8_t;

// The buffer of the tensor functions: the two derivative planes, the ring of window sums with
// its row tags and row pointers, the derivative filters' scratch, then the spare room of an
// in-place finish (a tile's output, the columns held back, two bands of rows).
enum TensorSlot : std::size_t {
    kDx,
    kDy,
    kSums,
    kTags,
    kRowPtrs,
    kScratch,
    kOut,
    kStrip,
    kBand0,
    kBand1
};
struct TensorBuffer {
    std::int64_t dstep, planeRows;  // derivative plane rows: bytes each, and how many
    std::int64_t stride, K, n;      // ring: floats a row, rows held, window rows
    std::int64_t scratch;           // derivative filters' work
    qpxSize spareTile{0, 0};        // in-place finish only
    std::int64_t width = 0, margin = 0;

    Layout<10> slots() const {
        const std::int64_t tw = spareTile.width, th = spareTile.height;
        return layout(Slot{dstep * planeRows}, Slot{dstep * planeRows}, Slot{12 * stride * K},
                      Slot{4 * K}, Slot{std::int64_t(sizeof(float*)) * n}, Slot{scratch},
                      Slot{tw * th}, Slot{margin * th}, Slot{margin * width}, Slot{margin * width});
    }
};

// Derivative planes hold exact 16-bit values for 8-bit sources and floats for float sources.
template <class T>
using DerivOf = std::conditional_t<std::is_same_v<T, u8>, std::int16_t, float>;

inline float ld1(const std::int16_t* p) {
    return static_cast<float>(*p);
}
inline float ld1(const float* p) {
    return *p;
}

constexpr int kConst = INT_MIN;  // a plane row or column outside the ROI with the constant value

// Where the derivative planes are and how the tensor planes extend past the ROI. The planes hold
// rows R0..R1-1 and columns C0..C1-1 in ROI coordinates: the ROI, plus the sides that the caller
// has in memory. Other positions outside the ROI map by the extension kind.
template <class D>
struct Planes {
    const D* dx;
    const D* dy;
    int step;  // bytes
    int R0, R1, C0, C1;
    int w, h;
    LineExtension cols, rows;  // kind 1 replicate, 3 mirror, 6 constant
    float cv;  // value of every tensor plane outside the ROI under the constant kind

    static int map(const LineExtension& e, int i, int n) {
        const std::int64_t m = e.map(i, n);
        return m == kConstIndex ? kConst : static_cast<int>(m);
    }
    int mapX(int x) const { return map(cols, x, w); }
    int mapY(int y) const { return map(rows, y, h); }
};

// The ring of horizontal window sums: K slots of three rows (dx*dx, dx*dy, dy*dy sums), each
// tagged with the plane row it holds. Rows needed by one output row form a contiguous run of at
// most K plane rows, so they never share a slot.
struct Ring {
    float* slots;
    int stride;  // floats per row
    int K;
    int* tags;
    const float** rows;  // the window's rows for the current output row (null: constant row)
};

// Horizontal window sums of the three tensor planes along real plane row r, for output columns
// ox0..ox1-1, into out[0..], out[stride..], out[2*stride..].
template <class D>
void hsum_row(const CornerKernels& kn, const Planes<D>& P, int r, int n, int ox0, int ox1,
              float* out, int stride) {
    const int ax = (n - 1) / 2;
    const D* dxr = row(P.dx, P.step, r - P.R0);
    const D* dyr = row(P.dy, P.step, r - P.R0);
    float* oa = out;
    float* ob = out + stride;
    float* oc = out + 2 * stride;
    auto tap = [&](int X, float& a, float& b, float& c) {
        const int m = P.mapX(X);
        if (m == kConst) {
            a = b = c = P.cv;
            return;
        }
        const float u = ld1(dxr + (m - P.C0));
        const float v = ld1(dyr + (m - P.C0));
        a = u * u;
        b = u * v;
        c = v * v;
    };
    auto one = [&](int x) {
        float sa, sb, sc, ta, tb, tc;
        tap(x - ax, sa, sb, sc);
        for (int i = 1; i < n; ++i) {
            tap(x - ax + i, ta, tb, tc);
            sa = sa + ta;
            sb = sb + tb;
            sc = sc + tc;
        }
        oa[x - ox0] = sa;
        ob[x - ox0] = sb;
        oc[x - ox0] = sc;
    };
    // Columns whose whole window reads the planes directly go to the kernel.
    const std::int64_t lo = P.cols.inLo ? INT_MIN : 0;
    const std::int64_t hi = P.cols.inHi ? INT_MAX : P.w - 1;
    const int xd0 = static_cast<int>(std::max<std::int64_t>(ox0, lo + ax));
    const int xd1 = static_cast<int>(std::min<std::int64_t>(ox1, hi - (n - 1) + ax + 1));
    int x = ox0;
    for (; x < xd0 && x < ox1; ++x) one(x);
    if (x < xd1) {
        const int j = x - ox0, at = x - ax - P.C0;
        if constexpr (std::is_same_v<D, float>)
            kn.hsumF32(dxr + at, dyr + at, n, xd1 - x, oa + j, ob + j, oc + j);
        else
            kn.hsumS16(dxr + at, dyr + at, n, xd1 - x, oa + j, ob + j, oc + j);
        x = xd1;
    }
    for (; x < ox1; ++x) one(x);
}

// Runs the windowed tensor over output rows oy0..oy1-1 and columns ox0..ox1-1 and hands the
// averaged A, B, C of each pixel to the finaliser.
template <class D, class Fin>
void tensor(const CornerKernels& kn, const Planes<D>& P, int n, int ox0, int ox1, int oy0, int oy1,
            Ring& R, Fin& fin) {
    const int ay = (n - 1) / 2;
    const float inv = 1.0f / static_cast<float>(n * n);
    float constSum = P.cv;  // horizontal sum of a constant row
    for (int i = 1; i < n; ++i) constSum = constSum + P.cv;
    for (int k = 0; k < R.K; ++k) R.tags[k] = kConst;
    const int s = R.stride;
    for (int y = oy0; y < oy1; ++y) {
        for (int i = 0; i < n; ++i) {
            const int r = P.mapY(y - ay + i);
            if (r == kConst) {
                R.rows[i] = nullptr;
                continue;
            }
            const int slot = (r - P.R0) % R.K;
            float* sp = R.slots + std::int64_t(slot) * 3 * s;
            if (R.tags[slot] != r) {
                hsum_row(kn, P, r, n, ox0, ox1, sp, s);
                R.tags[slot] = r;
            }
            R.rows[i] = sp;
        }
        fin.row(y);
        fin.span(kn, TensorRow{R.rows, n, s, constSum, inv}, ox0, ox1);
    }
}

// ---- finalisers --------------------------------------------------------------------------------

struct MinEigenFin {
    float* dst;
    int dstStep;
    float half;  // half the scale
    float* d = nullptr;

    void row(int y) { d = qpx::row(dst, dstStep, y); }
    void span(const CornerKernels& kn, const TensorRow& tr, int x0, int x1) {
        kn.minEigen(tr, 0, x1 - x0, half, d + x0);
    }
};

struct EigenVecsFin {
    float* dst;
    int dstStep;
    float s;  // scale
    float g;  // sign of the mixed term in the eigenvectors
    float* d = nullptr;

    void row(int y) { d = qpx::row(dst, dstStep, y); }
    void span(const CornerKernels& kn, const TensorRow& tr, int x0, int x1) {
        kn.eigenVecs(tr, 0, x1 - x0, s, g, d + 6 * std::int64_t(x0));
    }
};

struct HarrisFin {
    float* dst;
    int dstStep;
    float k;
    float sp;  // scale x avgWindow^4
    float* d = nullptr;

    void begin(const std::array<u8*, 10>&, qpxSize) {}
    int spare_margin() const { return 0; }
    void tile_start(int, int) {}
    void tile_done(int, int, int, int, bool, bool) {}
    void row(int y) { d = qpx::row(dst, dstStep, y); }
    void span(const CornerKernels& kn, const TensorRow& tr, int x0, int x1) {
        kn.harris(tr, 0, x1 - x0, k, sp, d + x0);
    }
};

struct LineFin {
    const u8* feature;
    int featureStep;
    u8* dst;
    int dstStep;
    float threshold;
    int x0 = 0, y0 = 0;  // ROI position of dst's first pixel (a tile's own rows in place)
    const u8* f = nullptr;
    u8* d = nullptr;

    void begin(const std::array<u8*, 10>&, qpxSize) {}
    int spare_margin() const { return 0; }
    void tile_start(int, int) {}
    void tile_done(int, int, int, int, bool, bool) {}
    void row(int y) {
        f = qpx::row(feature, featureStep, y);
        d = qpx::row(dst, dstStep, y - y0);
    }
    void span(const CornerKernels& kn, const TensorRow& tr, int ox0, int ox1) {
        kn.line(tr, 0, ox1 - ox0, threshold, f + ox0, d + (ox0 - x0));
    }
};

// Line suppression with dst == src. Tiles are laid side by side without overlap, and a tile
// reads `margin` source rows above it and columns left of it. Its results are therefore held
// back where later tiles still read the source: its last `margin` rows (a band the whole ROI
// wide) until the next row of tiles is done, and its last `margin` columns until the tile to
// its right is done. The rest is written at once. All of it lives in the buffer's spare space.
struct LineInPlaceFin {
    LineFin line;  // computes a tile into `out`
    u8* dst;
    int dstStep;
    int width;  // of the ROI
    int margin;
    u8* out = nullptr;
    int outStep = 0;
    u8* band[2] = {};  // [0]: current row of tiles, [1]: the row above (both `width` wide)
    int bandY[2] = {-1, -1};
    u8* strip = nullptr;  // columns held back from the previous tile
    int stripX = 0, stripY0 = 0, stripY1 = 0;

    void begin(const std::array<u8*, 10>& at, qpxSize tile) {
        out = at[kOut];
        outStep = tile.width;
        strip = at[kStrip];
        band[0] = at[kBand0];
        band[1] = at[kBand1];
        line.dst = out;
        line.dstStep = outStep;
    }
    int spare_margin() const { return margin; }
    void row(int y) { line.row(y); }
    void span(const CornerKernels& kn, const TensorRow& tr, int x0, int x1) {
        line.span(kn, tr, x0, x1);
    }
    void put(int y, int x, const u8* p, int n) {
        std::memcpy(qpx::row(dst, dstStep, y) + x, p, std::size_t(n));
    }

    void tile_start(int ox0, int oy0) {
        line.x0 = ox0;
        line.y0 = oy0;
    }
    void tile_done(int ox0, int ox1, int oy0, int oy1, bool lastX, bool lastY) {
        const int keepY = lastY ? 0 : margin, keepX = lastX ? 0 : margin;
        // The previous tile's columns: the only later reader (this tile) is done.
        for (int y = stripY0; y < stripY1; ++y)
            put(y, stripX, strip + std::int64_t(y - stripY0) * margin, margin);
        stripY0 = stripY1 = 0;
        for (int y = oy0; y < oy1; ++y) {
            const u8* o = out + std::int64_t(y - oy0) * outStep;
            if (y >= oy1 - keepY) {
                std::memcpy(band[0] + std::int64_t(y - (oy1 - keepY)) * width + ox0, o,
                            std::size_t(ox1 - ox0));
                continue;
            }
            put(y, ox0, o, ox1 - ox0 - keepX);
            if (keepX)
                std::memcpy(strip + std::int64_t(y - oy0) * margin, o + (ox1 - ox0 - keepX),
                            std::size_t(margin));
        }
        if (keepX) stripX = ox1 - keepX, stripY0 = oy0, stripY1 = oy1 - keepY;
        bandY[0] = oy1 - keepY;
        if (!lastX) return;
        // A row of tiles is done: the band of the row above has no reader left.
        for (int i = 0; bandY[1] >= 0 && i < margin; ++i)
            put(bandY[1] + i, 0, band[1] + std::int64_t(i) * width, width);
        std::swap(band[0], band[1]);
        bandY[1] = keepY ? bandY[0] : -1;
        bandY[0] = -1;
    }
};

// ---- central differences (Harris and line suppression) ------------------------------------------

// dx = right minus left neighbour, dy = lower minus upper neighbour, over a region whose pixels
// outside follow the filter border rule of `code`. src points at the region's first pixel.
template <class T, class D>
void central_diff(const CornerKernels& kn, const T* src, int srcStep, D* dx, D* dy, int dStep,
                  qpxSize reg, std::uint32_t code, T bv) {
    const LineExtension rx = RowExtension::make(code, reg.width);
    const LineExtension cy = ColumnExtension::make(code, reg.height);
    auto at = [&](const T* r, int x) -> float {
        if (r == nullptr) return static_cast<float>(bv);
        const std::int64_t m = rx.map(x, reg.width);
        return m == kConstIndex ? static_cast<float>(bv) : static_cast<float>(r[m]);
    };
    auto rowp = [&](int y) -> const T* {
        const std::int64_t m = cy.map(y, reg.height);
        return m == kConstIndex ? nullptr : row(src, srcStep, m);
    };
    for (int y = 0; y < reg.height; ++y) {
        const T* up = rowp(y - 1);
        const T* mid = rowp(y);
        const T* dn = rowp(y + 1);
        D* ox = row(dx, dStep, y);
        D* oy = row(dy, dStep, y);
        auto one = [&](int xx) {
            ox[xx] = static_cast<D>(at(mid, xx + 1) - at(mid, xx - 1));
            oy[xx] = static_cast<D>(at(dn, xx) - at(up, xx));
        };
        // Columns whose neighbours lie inside the region go to the kernel.
        int x = 0;
        if (reg.width > 2) {
            one(0);
            auto in = [](const T* r) { return r ? r + 1 : r; };
            if constexpr (std::is_same_v<T, u8>)
                kn.centralU8(in(up), mid + 1, in(dn), bv, reg.width - 2, ox + 1, oy + 1);
            else
                kn.centralF32(in(up), mid + 1, in(dn), bv, reg.width - 2, ox + 1, oy + 1);
            x = reg.width - 1;
        }
        for (; x < reg.width; ++x) one(x);
    }
}

// Derivatives computed pixel by pixel, for the regions the row filters cannot take: a 5x5
// kernel on a ROI one pixel wide or high with a side in memory (the memory rows or columns reach
// across the whole ROI to its other side, which extends by the kind, so no block can be filtered
// on its own), and source steps that the filters refuse (shorter than a row, or a float step
// that is not a multiple of 4, which the Harris checks let through). The extension is that of an
// image of `extent` pixels at `src` under `code`; rows Y0..Y1-1 and columns X0..X1-1 of it are
// written. Integer sums are exact; float sums follow the filters' order (rows, then the column).
template <class T, class D>
void direct_deriv(int filterType, int mask, const T* src, int srcStep, qpxSize extent,
                  std::uint32_t code, T bv, int Y0, int Y1, int X0, int X1, D* dx, D* dy,
                  int dStep) {
    static constexpr float sob3d[3] = {1, 0, -1}, sob3s[3] = {1, 2, 1};
    static constexpr float sob5d[5] = {1, 2, 0, -2, -1}, sob5s[5] = {1, 4, 6, 4, 1};
    static constexpr float sch3d[3] = {-1, 0, 1}, sch3s[3] = {3, 10, 3};
    const bool five = mask == qpxMskSize5x5, scharr = filterType == qpxFilterScharr;
    const int k = five ? 5 : 3, r = k / 2;
    const float* diff = five ? sob5d : scharr ? sch3d : sob3d;
    const float* smooth = five ? sob5s : scharr ? sch3s : sob3s;
    // Vertical-edge response: diff along rows, smooth down columns; horizontal-edge response:
    // smooth along rows, bottom minus top down columns.
    const float sign = scharr ? 1.0f : -1.0f;
    const LineExtension rx = RowExtension::make(code, extent.width);
    const LineExtension cy = ColumnExtension::make(code, extent.height);
    auto pix = [&](int X, int Y) -> float {
        const std::int64_t x = rx.map(X, extent.width), y = cy.map(Y, extent.height);
        if (x == kConstIndex || y == kConstIndex) return static_cast<float>(bv);
        T v;
        std::memcpy(&v, row(src, srcStep, y) + x, sizeof v);
        return static_cast<float>(v);
    };
    for (int Y = Y0; Y < Y1; ++Y)
        for (int X = X0; X < X1; ++X) {
            float sv = 0, sh = 0;
            for (int j = 0; j < k; ++j) {
                float hv = 0, hh = 0;
                for (int i = 0; i < k; ++i) {
                    const float p = pix(X - r + i, Y - r + j);
                    hv = hv + diff[i] * p;
                    hh = hh + smooth[i] * p;
                }
                sv = sv + smooth[j] * hv;
                sh = sh + (sign * diff[j]) * hh;
            }
            if (filterType == qpxFilterCentralDiff) {
                sv = pix(X + 1, Y) - pix(X - 1, Y);
                sh = pix(X, Y + 1) - pix(X, Y - 1);
            }
            row(dx, dStep, Y - Y0)[X - X0] = static_cast<D>(sv);
            row(dy, dStep, Y - Y0)[X - X0] = static_cast<D>(sh);
        }
}

// ---- drivers -----------------------------------------------------------------------------------

template <class T>
constexpr qpxDataType kSrcType = std::is_same_v<T, u8> ? qpx8u : qpx32f;
template <class T>
constexpr qpxDataType kDerivType = std::is_same_v<T, u8> ? qpx16s : qpx32f;

std::int64_t deriv_work(qpxSize roi, int mask, qpxDataType s, qpxDataType d) {
    std::int64_t best = 0;
    for (DerivKind k : {DerivKind::SobelV, DerivKind::SobelNegV, DerivKind::SobelH,
                        DerivKind::ScharrV, DerivKind::ScharrH}) {
        int size = 0;
        if (filter::derivative_buffer_size(k, roi, mask, s, d, 1, &size) == qpxStatusOk &&
            size > best)
            best = size;
    }
    return best;
}

// The windowed functions' buffer for one tile shape; an in-place finish adds its spare room.
template <class T>
TensorBuffer windowed_buffer(qpxSize roi, qpxSize tile, int mask, int n, int margin) {
    const std::int64_t W = tile.width + n - 1, H = tile.height + n - 1;
    TensorBuffer b{align_up(std::int64_t(sizeof(DerivOf<T>)) * W, 32),
                   H,
                   align_up(4 * std::int64_t(tile.width), 32) / 4,
                   n < H ? n : H,
                   n,
                   deriv_work({int(W), int(H)}, mask, kSrcType<T>, kDerivType<T>)};
    if (margin > 0) b.spareTile = tile, b.width = roi.width, b.margin = margin;
    return b;
}

// The eigenvalue functions' buffer: derivative planes over the whole ROI.
template <class T>
TensorBuffer eigen_buffer(qpxSize roi, int aperture, int n) {
    const std::int64_t w16 = align_up(roi.width, 16), h = roi.height;
    const int mask = aperture == 5 ? qpxMskSize5x5 : qpxMskSize3x3;
    return {w16 * std::int64_t(sizeof(DerivOf<T>)),           h, w16, n < h ? n : h, n,
            deriv_work(roi, mask, kSrcType<T>, kDerivType<T>)};
}

inline Ring place_ring(const std::array<u8*, 10>& at, int stride, int K) {
    return {reinterpret_cast<float*>(at[kSums]), stride, K, reinterpret_cast<int*>(at[kTags]),
            reinterpret_cast<const float**>(at[kRowPtrs])};
}

// Eigenvalue functions: derivatives over the whole ROI, then the tensor.
template <class T, class Fin>
void eigen_run(Target t, const T* src, int srcStep, qpxSize roi, int kernType, int aperture, int n,
               std::uint32_t border, T bv, u8* buffer, Fin& fin) {
    using D = DerivOf<T>;
    const int w = roi.width, h = roi.height;
    const int w16 = int(align_up(w, 16));
    const int dstep = w16 * int(sizeof(D));
    const int K = n < h ? n : h;
    const auto at = eigen_buffer<T>(roi, aperture, n).slots().carve(buffer);
    D* dx = reinterpret_cast<D*>(at[kDx]);
    D* dy = reinterpret_cast<D*>(at[kDy]);
    u8* p = at[kScratch];
    Ring R = place_ring(at, w16, K);

    // Any kind with every side in memory mirrors, and so does the default kind.
    const unsigned kind = border & 15u;
    const bool known = kind == kBorderRepl || kind == kBorderMirror || kind == kBorderConst;
    const int planeKind = known ? int(kind) : kBorderMirror;
    std::uint32_t code = (border & 0xF0u) | unsigned(planeKind);
    if ((border & 0xF0u) == 0xF0u && !known) code = qpxBorderInMem;
    const DerivKind kv = kernType == 1   ? DerivKind::ScharrV
                         : kernType == 2 ? DerivKind::SobelNegV
                                         : DerivKind::SobelV;
    const DerivKind kh = kernType == 1 ? DerivKind::ScharrH : DerivKind::SobelH;
    const qpxMaskSize mask = aperture == 5 ? qpxMskSize5x5 : qpxMskSize3x3;
    filter::derivative(kv, view(src, srcStep, roi), view(dx, dstep, roi), mask, code, bv, p, t);
    filter::derivative(kh, view(src, srcStep, roi), view(dy, dstep, roi), mask, code, bv, p, t);

    const LineExtension cols{planeKind, false, false}, rows{planeKind, false, false};
    Planes<D> P{dx, dy, dstep, 0, h, 0, w, w, h, cols, rows, float(bv)};
    tensor(corner_kernels(t), P, n, 0, w, 0, h, R, fin);
}

float eigen_scale(int kernType, int aperture) {
    float s = 1.0f / (255.0f * float(1 << (2 * aperture - 2)));
    if (kernType == 1) s = s * 0.6125f;
    return s;
}

// Harris and line suppression: the ROI in tiles, each with its derivative planes over the tile
// and the window margin. Tiles read neighbouring pixels from memory, so tiling does not change
// any value; the last tile of a row or column is moved back to end at the ROI edge.
// Tile i of a side of `len` pixels cut into tiles of at most `t`: either full tiles with the
// last one moved back to end at the edge, or (side by side) tiles of equal share, each at least
// half a full one.
struct Spans {
    int len, t, count;
    bool sideBySide;
    Spans(int len_, int t_, bool sbs)
        : len(len_), t(t_), count((len_ + t_ - 1) / t_), sideBySide(sbs) {}
    int begin(int i) const {
        return sideBySide ? int(std::int64_t(i) * len / count) : std::min(i * t, len - t);
    }
    int end(int i) const {
        return sideBySide ? int(std::int64_t(i + 1) * len / count) : begin(i) + t;
    }
};

template <class T, class Fin>
void windowed_run(Target t, const T* src, int srcStep, qpxSize roi, int filterType, int mask, int n,
                  std::uint32_t border, T bv, u8* buffer, Fin& fin, bool sideBySide = false) {
    using D = DerivOf<T>;
    const CornerKernels& kn = corner_kernels(t);
    const qpxSize tile = harris_tile(roi, n, std::is_same_v<T, u8>);
    const TensorBuffer tb = windowed_buffer<T>(roi, tile, mask, n, fin.spare_margin());
    const auto at = tb.slots().carve(buffer);
    const int dstep = int(tb.dstep);
    D* dx = reinterpret_cast<D*>(at[kDx]);
    D* dy = reinterpret_cast<D*>(at[kDy]);
    u8* work = at[kScratch];
    Ring R = place_ring(at, int(tb.stride), int(tb.K));
    fin.begin(at, tile);

    const Border b = Border::parse(border);
    const int ax = (n - 1) / 2;
    const DerivKind kv = filterType == qpxFilterScharr ? DerivKind::ScharrV : DerivKind::SobelV;
    const DerivKind kh = filterType == qpxFilterScharr ? DerivKind::ScharrH : DerivKind::SobelH;
    const int w = roi.width, h = roi.height;
    const Spans rows(h, tile.height, sideBySide), cols(w, tile.width, sideBySide);
    for (int ty = 0; ty < rows.count; ++ty) {
        const int oy0 = rows.begin(ty), oy1 = rows.end(ty);
        const int R0 = b.inTop ? oy0 - ax : std::max(oy0 - ax, 0);
        const int R1 = b.inBottom ? oy1 + (n - 1 - ax) : std::min(oy1 + (n - 1 - ax), h);
        for (int tx = 0; tx < cols.count; ++tx) {
            const int ox0 = cols.begin(tx), ox1 = cols.end(tx);
            fin.tile_start(ox0, oy0);
            const int C0 = b.inLeft ? ox0 - ax : std::max(ox0 - ax, 0);
            const int C1 = b.inRight ? ox1 + (n - 1 - ax) : std::min(ox1 + (n - 1 - ax), w);
            // The region is filled block by block: the rows and columns beyond the ROI (read
            // from memory) apart from those inside it, so that every block extends by the
            // kind exactly where the ROI does. A block side is in memory wherever more pixels
            // lie beyond it: inside the ROI, or on a side the caller has in memory.
            const int rowCut[4] = {R0, std::clamp(0, R0, R1), std::clamp(h, R0, R1), R1};
            const int colCut[4] = {C0, std::clamp(0, C0, C1), std::clamp(w, C0, C1), C1};
            const bool across =
                mask == qpxMskSize5x5 && ((w == 1 && C1 - C0 > 1) || (h == 1 && R1 - R0 > 1));
            if (across)
                direct_deriv(filterType, mask, src, srcStep, roi, border, bv, R0, R1, C0, C1, dx,
                             dy, dstep);
            for (int bi = 0; bi < 3 && !across; ++bi) {
                const int y0 = rowCut[bi], y1 = rowCut[bi + 1];
                if (y0 >= y1) continue;
                for (int bj = 0; bj < 3; ++bj) {
                    const int x0 = colCut[bj], x1 = colCut[bj + 1];
                    if (x0 >= x1) continue;
                    const std::uint32_t flags =
                        (y0 != 0 || b.inTop ? 0x10u : 0u) | (y1 != h || b.inBottom ? 0x20u : 0u) |
                        (x0 != 0 || b.inLeft ? 0x40u : 0u) | (x1 != w || b.inRight ? 0x80u : 0u);
                    const std::uint32_t code = flags == 0xF0u ? 0xF0u : flags | unsigned(b.kind);
                    const T* bs = row(src, srcStep, y0) + x0;
                    const qpxSize blk{x1 - x0, y1 - y0};
                    const std::int64_t off = std::int64_t(y0 - R0) * dstep;
                    D* bx = reinterpret_cast<D*>(reinterpret_cast<u8*>(dx) + off) + (x0 - C0);
                    D* by = reinterpret_cast<D*>(reinterpret_cast<u8*>(dy) + off) + (x0 - C0);
                    const bool odd =
                        srcStep % int(sizeof(T)) != 0 || srcStep < blk.width * int(sizeof(T));
                    if (odd) {
                        direct_deriv(filterType, mask, bs, srcStep, blk, code, bv, 0, blk.height, 0,
                                     blk.width, bx, by, dstep);
                    } else if (filterType == qpxFilterCentralDiff) {
                        central_diff(kn, bs, srcStep, bx, by, dstep, blk, code, bv);
                    } else {
                        const View<const T> sv = view(bs, srcStep, blk);
                        filter::derivative(kv, sv, view(bx, dstep, blk), mask, code, bv, work, t);
                        filter::derivative(kh, sv, view(by, dstep, blk), mask, code, bv, work, t);
                    }
                }
            }
            const LineExtension pc{b.kind, b.inLeft, b.inRight}, pr{b.kind, b.inTop, b.inBottom};
            Planes<D> P{dx, dy, dstep, R0, R1, C0, C1, w, h, pc, pr, 0.0f};
            tensor(kn, P, n, ox0, ox1, oy0, oy1, R, fin);
            fin.tile_done(ox0, ox1, oy0, oy1, tx + 1 == cols.count, ty + 1 == rows.count);
        }
    }
}

}  // namespace

template <class T>
void min_eigen_val(Target t, View<const T> src, View<float> dst, int kernType, int aperture,
                   int avgWindow, std::uint32_t border, T borderValue, u8* buffer) {
    MinEigenFin fin{dst.data, int(dst.step), eigen_scale(kernType, aperture) * 0.5f};
    eigen_run(t, src.data, int(src.step), roi_of(src), kernType, aperture, avgWindow, border,
              borderValue, buffer, fin);
}

template <class T>
void eigen_vals_vecs(Target t, View<const T> src, View<float> dst, int kernType, int aperture,
                     int avgWindow, std::uint32_t border, T borderValue, u8* buffer) {
    EigenVecsFin fin{dst.data, int(dst.step), eigen_scale(kernType, aperture),
                     kernType == 1 ? 1.0f : -1.0f};
    eigen_run(t, src.data, int(src.step), roi_of(src), kernType, aperture, avgWindow, border,
              borderValue, buffer, fin);
}

template <class T>
std::int64_t eigen_buffer_size(qpxSize roi, int aperture) {
    const std::int64_t w16 = align_up(roi.width, 16);
    const std::int64_t perPixel = std::is_same_v<T, u8> ? 16 : 20;
    const int mask = aperture == 5 ? qpxMskSize5x5 : qpxMskSize3x3;
    return perPixel * roi.height * w16 + 224 + deriv_work(roi, mask, kSrcType<T>, kDerivType<T>);
}

template <class T>
void harris_corner(Target t, View<const T> src, View<float> dst, int filterType, int mask,
                   int avgWindow, float k, float scale, std::uint32_t border, T borderValue,
                   u8* buffer) {
    const std::uint32_t n = static_cast<std::uint32_t>(avgWindow);
    const std::uint32_t n4 = n * n * n * n;  // 32-bit unsigned, as the scale rule states
    const float sp = static_cast<float>(double(scale) * double(n4));
    HarrisFin fin{dst.data, int(dst.step), k, sp};
    windowed_run(t, src.data, int(src.step), roi_of(src), filterType, mask, avgWindow, border,
                 borderValue, buffer, fin);
}

void line_suppression(Target t, View<const u8> srcView, View<const u8> feature, View<u8> dstView,
                      int filterType, int mask, int avgWindow, float threshold,
                      std::uint32_t border, u8 borderValue, u8* buffer) {
    const u8* src = srcView.data;
    const int srcStep = int(srcView.step);
    u8* dst = dstView.data;
    const int dstStep = int(dstView.step);
    const qpxSize roi = roi_of(dstView);
    LineFin fin{feature.data, int(feature.step), dst, dstStep, threshold};
    if (static_cast<const void*>(src) == dst) {
        // Rows and columns that a tile's derivatives and window read above and left of it.
        const int margin = (avgWindow - 1) / 2 + (mask == qpxMskSize5x5 ? 2 : 1);
        const qpxSize tile = harris_tile(roi, avgWindow, true);
        const bool tiled = tile.width < roi.width || tile.height < roi.height;
        const bool fits = windowed_buffer<u8>(roi, tile, mask, avgWindow, margin).slots().bytes() <=
                          harris_buffer_size(roi, mask, avgWindow, true);
        if (tiled && fits) {
            LineInPlaceFin ip{fin, dst, dstStep, roi.width, margin};
            windowed_run(t, src, srcStep, roi, filterType, mask, avgWindow, border, borderValue,
                         buffer, ip, true);
            return;
        }
    }
    windowed_run(t, src, srcStep, roi, filterType, mask, avgWindow, border, borderValue, buffer,
                 fin);
}

qpxSize harris_tile(qpxSize roi, int avgWindow, bool bytes) {
    const int T = bytes ? 8827 : 7111;
    int root = 0;
    while ((root + 1) * (root + 1) <= T) ++root;
    const int e = avgWindow - 1;
    const int q = ((root - e > 0 ? root - e : 0) + 15) & ~15;
    const std::int64_t minSide = 8 * std::int64_t(avgWindow);
    const std::int64_t tw = std::min<std::int64_t>(std::max<std::int64_t>(minSide, q), roi.width);
    const std::int64_t th =
        std::min<std::int64_t>(std::max<std::int64_t>(minSide, T / (q + e) - e), roi.height);
    return {static_cast<int>(tw), static_cast<int>(th)};
}

std::int64_t harris_buffer_size(qpxSize roi, int mask, int avgWindow, bool bytes) {
    const qpxSize t = harris_tile(roi, avgWindow, bytes);
    const int e = avgWindow - 1;
    const std::int64_t derivBytes = bytes ? 2 : 4, srcBytes = bytes ? 1 : 4;
    const qpxDataType st = bytes ? qpx8u : qpx32f, dt = bytes ? qpx16s : qpx32f;
    auto shape = [&](std::int64_t w, std::int64_t h) -> std::int64_t {
        if (w < 1 || h < 1) return 0;
        const std::int64_t W = w + e, H = h + e;
        const std::int64_t plane = align_up(4 * W, 32) * H;
        // The gradient stage: the derivative filter's own work, and the window sums'
        // bookkeeping (row tags and pointers).
        const std::int64_t grad =
            deriv_work({int(W), int(H)}, mask, st, dt) + 16 * std::int64_t(avgWindow) + 64;
        std::int64_t size =
            3 * plane + 2 * align_up(derivBytes * W, 32) * H + 64 + std::max(plane, grad);
        if (w == 1 || h == 1) size += (w + 2) * (h + 2) * srcBytes;
        return size;
    };
    const std::int64_t rw = roi.width % t.width, rh = roi.height % t.height;
    return std::max(
        {shape(t.width, t.height), shape(rw, t.height), shape(t.width, rh), shape(rw, rh)});
}

template <class T>
std::int64_t eigen_buffer_need(qpxSize roi, int aperture, int avgWindow) {
    return eigen_buffer<T>(roi, aperture, avgWindow).slots().bytes();
}

std::int64_t line_buffer_need(qpxSize roi, int mask, int avgWindow, bool inPlace) {
    const qpxSize tile = harris_tile(roi, avgWindow, true);
    const int margin = inPlace ? (avgWindow - 1) / 2 + (mask == qpxMskSize5x5 ? 2 : 1) : 0;
    return windowed_buffer<u8>(roi, tile, mask, avgWindow, margin).slots().bytes();
}

template <class T>
std::int64_t harris_buffer_need(qpxSize roi, int mask, int avgWindow) {
    const qpxSize tile = harris_tile(roi, avgWindow, std::is_same_v<T, u8>);
    return windowed_buffer<T>(roi, tile, mask, avgWindow, 0).slots().bytes();
}

template std::int64_t eigen_buffer_need<u8>(qpxSize, int, int);
template std::int64_t eigen_buffer_need<float>(qpxSize, int, int);
template std::int64_t harris_buffer_need<u8>(qpxSize, int, int);
template std::int64_t harris_buffer_need<float>(qpxSize, int, int);
template void min_eigen_val<u8>(Target, View<const u8>, View<float>, int, int, int, std::uint32_t,
                                u8, u8*);
template void min_eigen_val<float>(Target, View<const float>, View<float>, int, int, int,
                                   std::uint32_t, float, u8*);
template void eigen_vals_vecs<u8>(Target, View<const u8>, View<float>, int, int, int, std::uint32_t,
                                  u8, u8*);
template void eigen_vals_vecs<float>(Target, View<const float>, View<float>, int, int, int,
                                     std::uint32_t, float, u8*);
template std::int64_t eigen_buffer_size<u8>(qpxSize, int);
template std::int64_t eigen_buffer_size<float>(qpxSize, int);
template void harris_corner<u8>(Target, View<const u8>, View<float>, int, int, int, float, float,
                                std::uint32_t, u8, u8*);
template void harris_corner<float>(Target, View<const float>, View<float>, int, int, int, float,
                                   float, std::uint32_t, float, u8*);

}  // namespace qpx::feature
