// The erosion/dilation kernels, shared by the element-type stages and the bit-packed stage,
// compiled once per vector target (included by the morphology kernel files only). A stage pulls
// rows of the border-extended source from a row source (image rows, or unpacked bits) and pushes
// output rows to a sink (the destination image, or a row that is packed back). Max and min are
// exact, and every target runs the same operations on the same operands, so all targets agree
// bit for bit.
#pragma once

#include <algorithm>
#include <cstring>
#include <limits>

#include "frame/border_rows.hpp"
#include "frame/view.hpp"
#include "morph/morph_engine.hpp"
#include "morph/morph_vec.hpp"
#include "morph/morphology_state.hpp"

namespace qpx::morph::QPX_TNS {

using namespace qpx::QPX_TNS;

// The value that never wins: the lowest of the type for dilation, the highest for erosion.
template <class T>
inline T neutral(Op op) {
    return op == Op::Dilate ? std::numeric_limits<T>::lowest() : std::numeric_limits<T>::max();
}

template <Op op, class W>
inline typename W::V ext(typename W::V a, typename W::V b) {
    if constexpr (op == Op::Dilate)
        return W::max(a, b);
    else
        return W::min(a, b);
}

// out[i] = op(a[i], b[i]) for i ascending; out may equal a (or lie below b), so doubling windows
// can run in place. A recurrence whose a lies `dist` elements below out runs in vectors no longer
// than that, so it reads finished values.
template <class T, Op op>
inline void combine(const T* a, const T* b, T* out, std::int64_t n, std::int64_t dist = 1 << 30) {
    for_lanes<T>(
        0, n,
        [&](auto w, std::int64_t i) {
            using W = decltype(w);
            w.store(out + i, ext<op, W>(w.load(a + i), w.load(b + i)));
        },
        dist);
}

// out[i] = op of a[i + j * stride] for j = 0 .. taps - 1, folded left to right: short windows
// in one pass.
template <class T, Op op>
inline void combine_taps(const T* a, std::int64_t stride, int taps, T* out, std::int64_t n) {
    for_lanes<T>(0, n, [&](auto w, std::int64_t i) {
        using W = decltype(w);
        auto v = w.load(a + i);
        for (int j = 1; j < taps; ++j) v = ext<op, W>(v, w.load(a + i + j * stride));
        w.store(out + i, v);
    });
}

// out[i] = op(op(a[i], b[i]), c[i]).
template <class T, Op op>
inline void combine3(const T* a, const T* b, const T* c, T* out, std::int64_t n) {
    for_lanes<T>(0, n, [&](auto w, std::int64_t i) {
        using W = decltype(w);
        w.store(out + i, ext<op, W>(ext<op, W>(w.load(a + i), w.load(b + i)), w.load(c + i)));
    });
}

// Row windows at least this wide take a constant number of passes whatever their width: the
// running extremum over 16 pixels (four doublings), then van Herk / Gil-Werman over that. Shorter
// windows double directly, which takes at most five passes.
inline constexpr int kRowBlockWindow = 32;

// out[i] = op(a[i], b[i]) for i descending; b lies `dist` elements above out, so that a
// recurrence running right to left reads finished values (vectors no longer than `dist`).
template <class T, Op op>
inline void combine_down(const T* a, const T* b, T* out, std::int64_t n, std::int64_t dist) {
    for_lanes_down<T>(
        n,
        [&](auto w, std::int64_t i) {
            using W = decltype(w);
            w.store(out + i, ext<op, W>(w.load(a + i), w.load(b + i)));
        },
        dist);
}

// The forward step of the blocks below on elements [i0, i1) of m: h = op(h S elements back, m)
// when `carry`, else m; then out[i - lag] = op(op(out[i - lag], h), m[i + ahead]). The value
// ahead is read before h overwrites m; vectors are no longer than S, so h S elements back is
// finished.
template <class T, Op op, bool carry>
inline void blocks_forward(T* m, T* out, std::int64_t i0, std::int64_t i1, std::int64_t S,
                           std::int64_t lag, std::int64_t ahead) {
    for_lanes<T>(
        i0, i1,
        [&](auto w, std::int64_t i) {
            using W = decltype(w);
            const auto last = w.load(m + i + ahead);
            auto h = w.load(m + i);
            if constexpr (carry) h = ext<op, W>(w.load(m + i - S), h);
            T* o = out + i - lag;
            w.store(o, ext<op, W>(ext<op, W>(w.load(o), h), last));
            if constexpr (carry) w.store(m + i, h);
        },
        S);
}

// Van Herk / Gil-Werman on top of m = the 16-pixel running extremum (m[x] covers x .. x + 15,
// valid for x < w + k - 16). With q = k / 16 and r = k - 16q, the window at x is covered by
// m[x], m[x + 16], ..., m[x + 16(q - 1)] and m[x + r + 16(q - 1)]. Along each residue class the
// terms m[x + 16j] form blocks of q: spans of 16q pixels on a grid that ends at w, so the suffix
// g (into out) never reaches beyond x < w. The prefix h of the next block overwrites m in place;
// the last term is read ahead of the write. Every step is an element-wise op on contiguous
// elements, so every target runs the same operations on the same operands.
template <class T, Op op>
void hreduce_blocks(T* m, T* out, std::int64_t w, int k, int C) {
    const std::int64_t q = k / 16, r = k - 16 * q;
    const std::int64_t S = 16 * std::int64_t(C), B = q * S;  // elements of a chunk, a block
    const std::int64_t n = w * C;
    // Suffix within blocks, right to left; the rightmost chunk of each block starts afresh.
    for (std::int64_t hi = n; hi > 0; hi -= B) {
        const std::int64_t lo = std::max<std::int64_t>(hi - B, 0);
        const std::int64_t mid = std::max(hi - S, lo);
        combine<T, op>(m + mid, m + mid, out + mid, hi - mid);  // op(a, a) is a copy
        combine_down<T, op>(m + lo, out + lo + S, out + lo, mid - lo, S);
    }
    // Prefix within blocks, left to right, over [0, w + 16(q - 1)) pixels; output o = x - 16(q
    // - 1). Elements before `lag` only carry the prefix; the first 16 pixels of a block, and of
    // the row, start afresh.
    const std::int64_t lag = (q - 1) * S, ahead = r * C, end = n + lag;
    for (std::int64_t bs = n - (n + B - 1) / B * B; bs < end; bs += B) {
        const std::int64_t f0 = std::max<std::int64_t>(bs, 0);
        const std::int64_t c1 = std::min(bs + B, end);
        const std::int64_t f1 = std::min(std::max(bs + S, S), c1);
        blocks_forward<T, op, false>(m, out, std::max(f0, lag), std::max(f1, lag), S, lag, ahead);
        if (f1 < std::min(c1, lag))
            combine<T, op>(m + f1 - S, m + f1, m + f1, std::min(c1, lag) - f1, S);
        blocks_forward<T, op, true>(m, out, std::max(f1, lag), std::max(c1, lag), S, lag, ahead);
    }
}

// Horizontal running extremum over k pixels of C channels: out[x] = op of p[x .. x + k - 1] for
// x < w. Short windows are folded directly; longer ones double (1, 2, 4, ...) in the scratch row
// e (which may be p itself), then the last two overlapping windows give width k; from
// kRowBlockWindow on, doubling stops at 16 and blocks take over. e holds w + k - 1 pixels.
template <class T, Op op>
void hreduce(const T* p, T* e, T* out, std::int64_t w, int k, int C) {
    if (k == 1) {
        std::memcpy(out, p, std::size_t(w) * C * sizeof(T));
        return;
    }
    if (k == 3) {
        combine3<T, op>(p, p + C, p + 2 * C, out, w * C);
        return;
    }
    if (k <= 5) {
        combine_taps<T, op>(p, C, k, out, w * C);
        return;
    }
    const int top = k >= kRowBlockWindow ? 16 : k;
    std::int64_t s = 1;
    const T* cur = p;
    while (2 * s <= top) {
        combine<T, op>(cur, cur + s * C, e, (w + k - 2 * s) * C);
        cur = e;
        s *= 2;
    }
    if (k >= kRowBlockWindow) return hreduce_blocks<T, op>(e, out, w, k, C);
    combine<T, op>(cur, cur + (k - s) * C, out, w * C);
}

// One output row of a general mask: the extremum over the members of each mask row, read from
// the extended rows. `rowAt(j)` is the extended row under mask row j.
template <class T, Op op, class RowAt>
void mask_row(const MaskView& m, RowAt&& rowAt, T* out, std::int64_t n, int C) {
    using W = MLanes<Wide, T>;
    bool first = true;
    for (int j = 0; j < m.pH; ++j) {
        const std::int16_t* mem = m.members + std::int64_t(j) * (m.pW + 1);
        const int cnt = mem[0];
        if (cnt == 0) continue;
        const T* r = rowAt(j);
        std::int64_t x = 0;
        if constexpr (W::N > 1) {
            // Four vectors at a time share each member's column.
            for (; n - x >= 4 * W::N; x += 4 * W::N) {
                typename W::V v[4];
                for (int u = 0; u < 4; ++u)
                    v[u] = first ? W::load(r + x + u * W::N + std::int64_t(mem[1]) * C)
                                 : W::load(out + x + u * W::N);
                for (int i = first ? 1 : 0; i < cnt; ++i) {
                    const T* q = r + x + std::int64_t(mem[1 + i]) * C;
                    for (int u = 0; u < 4; ++u) v[u] = ext<op, W>(v[u], W::load(q + u * W::N));
                }
                for (int u = 0; u < 4; ++u) W::store(out + x + u * W::N, v[u]);
            }
        }
        for_lanes<T>(x, n, [&](auto w, std::int64_t i) {
            using L = decltype(w);
            auto v = first ? w.load(r + i + std::int64_t(mem[1]) * C) : w.load(out + i);
            for (int t = first ? 1 : 0; t < cnt; ++t)
                v = ext<op, L>(v, w.load(r + i + std::int64_t(mem[1 + t]) * C));
            w.store(out + i, v);
        });
        first = false;
    }
}

// out = op of the rows older[0 .. CNT - 1], then `last`, folded in that order, on elements
// [i0, i1).
template <class T, Op op, int CNT>
inline void fold_rows(T* const* rows, const T* last, T* out, std::int64_t i0, std::int64_t i1) {
    // A local copy of the row pointers: byte stores may alias the caller's array, which would
    // reload every pointer after every store.
    const T* older[CNT];
    for (int j = 0; j < CNT; ++j) older[j] = rows[j];
    for_lanes<T>(i0, i1, [&](auto w, std::int64_t i) {
        using W = decltype(w);
        auto v = w.load(older[0] + i);
        for (int j = 1; j < CNT; ++j) v = ext<op, W>(v, w.load(older[j] + i));
        w.store(out + i, ext<op, W>(v, w.load(last + i)));
    });
}

// Short windows both ways in one sweep over elements [i0, i1): the KW-tap row extremum of p (C
// channels apart) goes to `hrow` for the rows to come and, still in a register, closes the
// column extremum over the KH - 1 older rows. Each element is loaded once per tap and stored
// twice, where a row pass then a column pass would load and store it again in between.
template <class T, Op op, int KW, int KH>
void fused_row(const T* p, T* hrow, T* const* rows, T* out, std::int64_t i0, std::int64_t i1,
               int C) {
    const T* older[KH - 1];
    for (int j = 0; j < KH - 1; ++j) older[j] = rows[j];
    for_lanes<T>(i0, i1, [&](auto w, std::int64_t i) {
        using W = decltype(w);
        auto h = w.load(p + i);
        for (int j = 1; j < KW; ++j) h = ext<op, W>(h, w.load(p + i + j * C));
        w.store(hrow + i, h);
        auto v = w.load(older[0] + i);
        for (int j = 1; j < KH - 1; ++j) v = ext<op, W>(v, w.load(older[j] + i));
        w.store(out + i, ext<op, W>(v, h));
    });
}

// fused_row for the `count` pixels at one edge of a row (elements `at` onwards), one element
// at a time: tap j of pixel x is extended column x + j counted from the edge's first column, read
// through the source's column map rather than from a built piece of row. The operations and
// their order are fused_row's.
template <class T, Op op, int KW, int KH, class Rows>
void fused_edges(const Rows& rows, const T* s, T* hrow, T* const* older, T* out, std::int64_t at,
                 std::int64_t count, bool right, int C) {
    using O = MLanes<One, T>;
    for (int x = 0; x < count; ++x)
        for (int c = 0; c < C; ++c) {
            T h = rows.edge(s, right, x, c);
            for (int j = 1; j < KW; ++j) h = ext<op, O>(h, rows.edge(s, right, x + j, c));
            const std::int64_t i = std::int64_t(x) * C + c;
            hrow[i] = h;
            T v = older[0][at + i];
            for (int j = 1; j < KH - 1; ++j) v = ext<op, O>(v, older[j][at + i]);
            out[i] = ext<op, O>(v, h);
        }
}

// Full rectangles at most this tall (and kFusedWidth wide) sweep each row once.
inline constexpr int kFusedHeight = 7;
inline constexpr int kFusedWidth = 5;

// ---- the stage ------------------------------------------------------------------------------
// Rows of the extended source are numbered e = 0 .. height + pH - 2 (e = y + ay is source row y).
// Output row y needs extended rows y .. y + pH - 1. Rows is a row source (build/direct), Sink
// gives the memory of each output row and is told when it is complete. `direct` reads every row
// in place; `apart` says the output never overwrites the source, so that rows may also be read
// in place while an output row is being written.
template <class T, Op op, class Rows, class Sink>
void run_stage_op(const MaskView& m, const Rows& rows, bool direct, bool apart, Sink& sink,
                  std::int64_t w, std::int64_t h, int C, std::uint8_t* buffer) {
    const std::int64_t n = w * C;
    const std::int64_t extN = (w + m.pW - 1) * C;
    const std::int64_t N = h + m.pH - 1;
    const int k = m.pH;
    T* base = reinterpret_cast<T*>(align_up(buffer, 32));

    if (m.full) {
        T* e = base;
        T* ring = e + extN;
        T* pre = ring + std::int64_t(k) * n;
        const std::int64_t L = m.ax, R = m.pW - 1 - m.ax;
        auto hpass = [&](std::int64_t r, T* out) {
            if (direct) return hreduce<T, op>(rows.direct(r), e, out, w, m.pW, C);
            if constexpr (Rows::kSpans) {
                // Wide rows: the interior straight from the source, the two edges from short
                // extended pieces, which saves copying the row.
                // With a ring the row is read before any output row is written, so this also
                // holds when the output overwrites the source.
                const T* s = rows.source_row(r);
                if (s && (apart || k > 1) && w - L - R >= 2 * m.pW) {
                    hreduce<T, op>(s, e, out + L * C, w - L - R, m.pW, C);
                    rows.span(r, -L, L + m.pW - 1, e);
                    hreduce<T, op>(e, e, out, L, m.pW, C);
                    rows.span(r, w - R - L, R + m.pW - 1, e);
                    hreduce<T, op>(e, e, out + (w - R) * C, R, m.pW, C);
                    return;
                }
            }
            rows.build(r, e);
            hreduce<T, op>(e, e, out, w, m.pW, C);
        };
        if (k == 1) {
            for (std::int64_t y = 0; y < h; ++y) {
                hpass(y, sink.row(y));
                sink.done(y);
            }
            return;
        }
        auto slot = [&](std::int64_t j) { return ring + j * n; };
        if (k <= kFusedHeight && m.pW <= kFusedWidth) {
            auto fused = [&]<int KW, int KH>() {
                T* older[KH - 1];
                for (std::int64_t r = 0; r < N; ++r) {
                    T* hrow = slot(r % k);
                    if (r < k - 1) {
                        hpass(r, hrow);
                        continue;
                    }
                    const std::int64_t y = r - k + 1;
                    for (int j = 0; j < KH - 1; ++j) older[j] = slot((y + j) % k);
                    const T* p = nullptr;
                    if (direct) {
                        p = rows.direct(r);
                    } else if constexpr (Rows::kSpans) {
                        // The interior straight from the source, unless an output row may
                        // overwrite it while it is read; the few edge pixels through the
                        // border's column map.
                        const T* s = rows.source_row(r);
                        if (s && apart && w - L - R >= 2 * m.pW) {
                            p = s - L * C;
                            const std::int64_t i0 = L * C, i1 = (w - R) * C;
                            T* out = sink.row(y);
                            fused_row<T, op, KW, KH>(p, hrow, older, out, i0, i1, C);
                            fused_edges<T, op, KW, KH>(rows, s, hrow, older, out, 0, L, false, C);
                            fused_edges<T, op, KW, KH>(rows, s, hrow + i1, older, out + i1, i1, R,
                                                       true, C);
                            sink.done(y);
                            continue;
                        }
                    }
                    // Otherwise the source row is read before the sink may write over it.
                    if (p) {
                        fused_row<T, op, KW, KH>(p, hrow, older, sink.row(y), 0, n, C);
                    } else if (!apart) {
                        hpass(r, hrow);
                        fold_rows<T, op, KH - 1>(older, hrow, sink.row(y), 0, n);
                    } else {
                        rows.build(r, e);
                        fused_row<T, op, KW, KH>(e, hrow, older, sink.row(y), 0, n, C);
                    }
                    sink.done(y);
                }
            };
            // Both sides are odd.
            auto by_height = [&]<int KW>() {
                if (k == 3)
                    fused.template operator()<KW, 3>();
                else if (k == 5)
                    fused.template operator()<KW, 5>();
                else
                    fused.template operator()<KW, 7>();
            };
            if (m.pW == 1)
                by_height.template operator()<1>();
            else if (m.pW == 3)
                by_height.template operator()<3>();
            else
                by_height.template operator()<5>();
            return;
        }
        if (k <= 3) {
            // Short columns: the plain extremum of the rows is cheapest.
            for (std::int64_t r = 0; r < N; ++r) {
                hpass(r, slot(r % k));
                if (r < k - 1) continue;
                const std::int64_t y = r - k + 1;
                T* out = sink.row(y);
                if (k == 3)
                    combine3<T, op>(slot(y % k), slot((y + 1) % k), slot((y + 2) % k), out, n);
                else
                    combine<T, op>(slot(y % k), slot((y + 1) % k), out, n);
                sink.done(y);
            }
            return;
        }
        // Van Herk / Gil-Werman over blocks of k rows. Slot j holds row j of the current block;
        // when a block completes its slots become suffix extrema (slot j = op of rows j..k-1),
        // and while the next block arrives `pre` holds its prefix extremum. A window starting
        // at row j of a block is then op(suffix[j], prefix of the next block up to row j - 1).
        const T* prefix = nullptr;
        for (std::int64_t r = 0; r < N; ++r) {
            const std::int64_t blk = r / k;
            const int j = int(r % k);
            hpass(r, slot(j));
            if (blk > 0 && j < k - 1) {
                if (j == 0) {
                    prefix = slot(0);
                } else {
                    combine<T, op>(prefix, slot(j), pre, n);
                    prefix = pre;
                }
                const std::int64_t y = (blk - 1) * k + j + 1;
                if (y < h) {
                    combine<T, op>(slot(j + 1), prefix, sink.row(y), n);
                    sink.done(y);
                }
            }
            if (j == k - 1) {
                for (int i = k - 2; i >= 0; --i) combine<T, op>(slot(i), slot(i + 1), slot(i), n);
                const std::int64_t y = blk * k;
                if (y < h) {
                    std::memcpy(sink.row(y), slot(0), std::size_t(n) * sizeof(T));
                    sink.done(y);
                }
            }
        }
        return;
    }

    // General mask: a ring of k extended rows (or the source itself).
    auto ringRow = [&](std::int64_t r) { return base + (r % k) * extN; };
    for (std::int64_t r = 0; r < N; ++r) {
        if (!direct) rows.build(r, ringRow(r));
        if (r < k - 1) continue;
        const std::int64_t y = r - k + 1;
        auto rowAt = [&](int j) -> const T* {
            return direct ? rows.direct(y + j) : ringRow(y + j);
        };
        mask_row<T, op>(m, rowAt, sink.row(y), n, C);
        sink.done(y);
    }
}

template <class T, int C, class Rows, class Sink>
void run_stage(Op op, const MaskView& m, const Rows& rows, bool direct, bool apart, Sink& sink,
               std::int64_t w, std::int64_t h, std::uint8_t* buffer) {
    if (op == Op::Dilate)
        run_stage_op<T, Op::Dilate>(m, rows, direct, apart, sink, w, h, C, buffer);
    else
        run_stage_op<T, Op::Erode>(m, rows, direct, apart, sink, w, h, C, buffer);
    sink.finish();
}

// ---- row sources and sinks of element images ------------------------------------------------

// The kind a stage extends by: the default kind fills with the neutral value, as a constant.
inline Border resolve_default(Border b) {
    if (b.kind == kBorderDefault) b.kind = kBorderConst;
    return b;
}

// Rows of a border-extended image: extended row e spans columns -ax .. w - 1 + (pW - 1 - ax) of
// source row e - ay. The border service does the extending; constant borders (kind 5 arrives
// here as a constant) fill `fill`.
template <class T, int C>
class ImageRows {
  public:
    static constexpr bool kSpans = true;
    // The widest mask whose edge columns are kept ready (see edge()).
    static constexpr int kEdgeMax = 8;
    static_assert(kEdgeMax >= 2 * (kFusedWidth - 1), "edge columns of the widest fused mask");

    ImageRows(View<const T> src, const Border& b, const T* fill, const MaskView& m)
        : rows_(BorderRows<T, C>::parsed(src.data, src.step, src.width, src.height,
                                         resolve_default(b), fill)),
          left_(m.ax),
          right_(m.pW - 1 - m.ax),
          up_(m.ay),
          down_(m.pH - 1 - m.ay) {
        // The source column of each extended column at the two edges: it is the same on every
        // row, so the edge pixels of a short window read the row directly through it.
        const std::int64_t w = src.width;
        for (int i = 0; i < kEdgeMax; ++i) {
            lo_[i] = rows_.cols.map(i - left_, w);
            hi_[i] = rows_.cols.map(w - right_ - left_ + i, w);
        }
    }
    // Every side that the mask reaches is in memory: rows can be read where they are.
    bool in_place() const {
        return (rows_.cols.inLo || left_ == 0) && (rows_.cols.inHi || right_ == 0) &&
               (rows_.rows.inLo || up_ == 0) && (rows_.rows.inHi || down_ == 0);
    }
    const T* direct(std::int64_t e) const {
        return row(rows_.src, rows_.step, e - up_) - left_ * C;
    }
    void build(std::int64_t e, T* out) const {
        rows_.build(source_row(e), -left_, rows_.width + right_, out);
    }
    // The source row that extended row e reads (column 0 of the ROI), or null for a row of the
    // constant border.
    const T* source_row(std::int64_t e) const { return rows_.source(e - up_); }
    // Columns x0 .. x0 + count - 1 (ROI coordinates) of extended row e.
    void span(std::int64_t e, std::int64_t x0, std::int64_t count, T* out) const {
        rows_.build(source_row(e), x0, x0 + count, out);
    }
    // Element c of extended column i of source row s, counted from the left edge (column -L)
    // for the left pixels, or from column w - R - L for the right ones (L = ax, R = pW - 1 - ax,
    // L + R < kEdgeMax / 2 here).
    T edge(const T* s, bool right, int i, int c) const {
        const std::int64_t x = right ? hi_[i] : lo_[i];
        return x == kConstIndex ? rows_.value[c] : s[x * C + c];
    }

  private:
    BorderRows<T, C> rows_;
    std::int64_t left_, right_, up_, down_;
    std::int64_t lo_[kEdgeMax], hi_[kEdgeMax];
};

// Output rows straight into the destination, or held back: in place with a mirrored bottom
// border, the rows below the ROI read ROI rows up to `delay` rows above the last one built, so
// output rows wait `delay` rows in a ring before they overwrite the source. One sink type for
// both keeps the stage compiled once per element type.
template <class T>
struct ImageSink {
    View<T> dst;
    std::int64_t delay = 0;  // rows held back; 0 writes straight into dst
    T* ring = nullptr;
    std::int64_t flushed = 0;
    T* slot(std::int64_t y) { return ring + (y % delay) * dst.elements(); }
    void flush_to(std::int64_t end) {
        for (; flushed < end; ++flushed)
            std::memcpy(dst.row(flushed), slot(flushed), std::size_t(dst.elements()) * sizeof(T));
    }
    T* row(std::int64_t y) {
        if (delay == 0) return dst.row(y);
        flush_to(y - delay + 1);
        return slot(y);
    }
    void done(std::int64_t) {}
    void finish() {
        if (delay) flush_to(dst.height);
    }
};

// Whether the bytes a stage may read from the source (ROI, plus the rows above/below and a
// margin of `sideBytes` left and right) meet the destination ROI.
inline bool regions_overlap(const void* src, std::int64_t srcStep, const void* dst,
                            std::int64_t dstStep, std::int64_t rowBytes, std::int64_t h,
                            std::int64_t above, std::int64_t below, std::int64_t sideBytes) {
    auto s = reinterpret_cast<std::intptr_t>(src);
    auto d = reinterpret_cast<std::intptr_t>(dst);
    const std::intptr_t sLo = s - above * srcStep - sideBytes;
    const std::intptr_t sHi = s + (h - 1 + below) * srcStep + rowBytes + sideBytes;
    const std::intptr_t dHi = d + (h - 1) * dstStep + rowBytes;
    return sLo < dHi && d < sHi;
}

template <class T>
inline void copy_roi(View<const T> src, View<T> dst) {
    if (static_cast<const void*>(src.data) == static_cast<const void*>(dst.data) &&
        src.step == dst.step)
        return;
    for (std::int64_t y = 0; y < src.height; ++y)
        std::memmove(dst.row(y), src.row(y), std::size_t(src.elements()) * sizeof(T));
}

}  // namespace qpx::morph::QPX_TNS
