// Engine of the fixed 3x3 and 5x5 filters, working in the caller's buffer.
//
// 8-bit sources: a kernel is a sum of separable integer terms; the column taps run straight over
// the source rows into 16-bit work rows, then the row taps over those. Every intermediate value
// of the fixed masks fits in 16 bits, so the result is the exact sum whatever the order.
// Float sources: a kernel is a row stage and a column stage, written once as templates over the
// value type (float for the scalar path, 8 AVX lanes for the vector path), so both paths run the
// same operations in the same order and agree bit for bit.
#pragma once

#include <immintrin.h>

#include <cstring>
#include <utility>

#include "frame/base.hpp"
#include "frame/border.hpp"

namespace qpx::filter::fixed {

// ---- value types ------------------------------------------------------------------------------

struct VI {  // 8 x int16, the 8-bit kernels' results
    __m128i v;
};

struct VF {  // 8 x float
    __m256 v;
};
inline VF operator+(VF a, VF b) {
    return {_mm256_add_ps(a.v, b.v)};
}
inline VF operator-(VF a, VF b) {
    return {_mm256_sub_ps(a.v, b.v)};
}

// Multiplication by a small integer constant.
inline float mulk(int k, float a) {
    return static_cast<float>(k) * a;
}
inline VF mulk(int k, VF a) {
    return {_mm256_mul_ps(_mm256_set1_ps(static_cast<float>(k)), a.v)};
}

inline VF loadf(const float* p) {
    return {_mm256_loadu_ps(p)};
}

// ---- one-dimensional fixed kernels (the order of operations is part of the float results) ----

template <class V>
inline V smooth3(V a, V b, V c) {  // 1 2 1
    return (a + c) + mulk(2, b);
}
template <class V>
inline V smooth5(V a, V b, V c, V d, V e) {  // 1 4 6 4 1
    return ((a + e) + mulk(4, b + d)) + mulk(6, c);
}
template <class V>
inline V scharr3(V a, V b, V c) {  // 3 10 3
    return mulk(3, a + c) + mulk(10, b);
}
template <class V>
inline V diff3(V a, V c) {  // -1 0 1
    return c - a;
}
template <class V>
inline V diff5(V a, V b, V d, V e) {  // -1 -2 0 2 1
    return (e - a) + mulk(2, d - b);
}
template <class V>
inline V second5(V a, V c, V e) {  // 1 0 -2 0 1
    return (a + e) - mulk(2, c);
}
template <class V>
inline V box3(V a, V b, V c) {
    return (a + b) + c;
}
template <class V>
inline V box5(V a, V b, V c, V d, V e) {
    return (((a + b) + c) + d) + e;
}

// ---- stores -------------------------------------------------------------------------------------

struct Store16s {
    using Dst = std::int16_t;
    static void put(Dst* d, int v) { *d = static_cast<Dst>(v); }
    static void put(Dst* d, VI v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v.v); }
};
struct Store32f {
    using Dst = float;
    static void put(Dst* d, float v) { *d = v; }
    static void put(Dst* d, VF v) { _mm256_storeu_ps(d, v.v); }
};
// Mean of an 8-bit window from its exact sum s, rounded to nearest: s/9 as ((s+5)*7280)>>16 and
// s/25 as ((s+12)*41944)>>20, both exact for every reachable sum.
template <int area>
struct StoreMean8u {
    static_assert(area == 9 || area == 25);
    using Dst = std::uint8_t;
    static constexpr int kAdd = area == 9 ? 5 : 12;
    static constexpr int kMul = area == 9 ? 7280 : 41944;
    static constexpr int kShift = area == 9 ? 0 : 4;  // beyond the high half of the product
    static void put(Dst* d, int s) {
        *d = static_cast<Dst>(((static_cast<unsigned>(s + kAdd) * kMul) >> 16) >> kShift);
    }
    static void put(Dst* d, VI s) {
        __m128i t = _mm_add_epi16(s.v, _mm_set1_epi16(kAdd));
        t = _mm_mulhi_epu16(t, _mm_set1_epi16(static_cast<short>(kMul)));
        t = _mm_srli_epi16(t, kShift);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(t, t));
    }
};

// ---- the ring ----------------------------------------------------------------------------------

inline std::uint8_t* align32(std::uint8_t* p) {
    return reinterpret_cast<std::uint8_t*>((reinterpret_cast<std::uintptr_t>(p) + 31) &
                                           ~std::uintptr_t(31));
}

// Copies row y of the border-extended source (y may lie outside the ROI) into `slot`, which
// holds ax pixels before the ROI's first column and ax after its last.
template <class Src>
void build_row(Src* slot, const Src* src, int srcStep, qpxSize roi, int y, int ax,
               const ColumnExtension& ce, const RowExtension& re, Src value) {
    const int w = roi.width;
    const std::int64_t sy = ce.map(y, roi.height);
    if (sy == kConstIndex) {
        for (int i = 0; i < w + 2 * ax; ++i) slot[i] = value;
        return;
    }
    const Src* r = row(src, srcStep, sy);
    std::memcpy(slot + ax, r, sizeof(Src) * std::size_t(w));
    for (int x = -ax; x < 0; ++x) {
        std::int64_t sx = re.map(x, w);
        slot[ax + x] = sx == kConstIndex ? value : r[sx];
    }
    for (int x = w; x < w + ax; ++x) {
        std::int64_t sx = re.map(x, w);
        slot[ax + x] = sx == kConstIndex ? value : r[sx];
    }
}

// Number of row-stage outputs per source row: K::kRows where a kernel declares it, else 1.
template <class K>
constexpr int row_outputs() {
    if constexpr (requires { K::kRows; })
        return K::kRows;
    else
        return 1;
}

// Float sources: each source row is extended into a work row and filtered once by the row
// stage into a ring of KS x rows() filtered rows; the column stage combines KS of them per
// output row. `prefetch` only changes memory hints, never results.
template <int KS, class K, class Store>
void run_ring(Path path, const float* src, int srcStep, typename Store::Dst* dst, int dstStep,
              qpxSize roi, std::uint32_t borderType, float borderValue, std::uint8_t* buffer,
              bool prefetch) {
    constexpr int ax = (KS - 1) / 2, T = row_outputs<K>();
    const int w = roi.width, h = roi.height;
    const RowExtension re = RowExtension::make(borderType, w);
    const ColumnExtension ce = ColumnExtension::make(borderType, h);

    float* ext = reinterpret_cast<float*>(align32(buffer));
    float* ring[KS][T];
    for (int k = 0; k < KS; ++k)
        for (int t = 0; t < T; ++t)
            ring[k][t] = ext + (std::size_t(w) + KS - 1) + std::size_t(k * T + t) * std::size_t(w);

    // Row stage of extended source row y into ring slot `slot`.
    auto row_stage = [&](int y, int slot) {
        build_row(ext, src, srcStep, roi, y, ax, ce, re, borderValue);
        for (int t = 0; t < T; ++t) {
            float* out = ring[slot][t];
            int x = 0;
            if (path == Path::Vector) {
                for (; x + 8 <= w; x += 8) {
                    auto r = [&](int i) { return loadf(ext + x + i); };
                    _mm256_storeu_ps(out + x, K::template row<VF>(r, t).v);
                }
            }
            for (; x < w; ++x) {
                auto r = [&](int i) { return ext[x + i]; };
                out[x] = K::template row<float>(r, t);
            }
        }
    };
    for (int j = 0; j < KS - 1; ++j) row_stage(j - ax, j);

    for (int y = 0; y < h; ++y) {
        row_stage(y + ax, (y + KS - 1) % KS);
        if (prefetch && y + ax + 1 < h) {
            const char* next = reinterpret_cast<const char*>(row(src, srcStep, y + ax + 1));
            for (std::size_t b = 0; b < sizeof(float) * std::size_t(w); b += 64)
                _mm_prefetch(next + b, _MM_HINT_T0);
        }
        const float* win[KS][T];  // window row j, row output t
        for (int j = 0; j < KS; ++j)
            for (int t = 0; t < T; ++t) win[j][t] = ring[(y + j) % KS][t];
        typename Store::Dst* d = row(dst, dstStep, y);
        int x = 0;
        if (path == Path::Vector) {
            for (; x + 8 <= w; x += 8) {
                auto hv = [&](int t, int j) { return loadf(win[j][t] + x); };
                Store::put(d + x, K::template col<VF>(hv));
            }
        }
        for (; x < w; ++x) {
            auto hs = [&](int t, int j) { return win[j][t][x]; };
            Store::put(d + x, K::template col<float>(hs));
        }
    }
}

// ---- 8-bit sources: sums of separable terms, exact in 16-bit lanes ---------------------------
//
// Integer results do not depend on the order of the sums, so 8-bit kernels run as
// sum_t (row_t x col_t): per output row, each term's column kernel is applied to the source rows
// directly (no copies) into a work row that covers the horizontal border, then the row kernels
// run over the work rows. Both passes read every source pixel once per output row at most.

template <int KS, int N>
struct IntKernel {
    int col[N][KS];  // vertical taps, top to bottom
    int row[N][KS];  // horizontal taps, left to right
    int centre = 0;  // weight of the window's centre pixel, taken straight from the source
};

// Calls f(std::integral_constant<int, i>) for i = 0 .. n-1, so taps are compile-time constants.
template <class F, int... I>
inline void unroll_impl(F&& f, std::integer_sequence<int, I...>) {
    (f(std::integral_constant<int, I>{}), ...);
}
template <int n, class F>
inline void unroll(F&& f) {
    unroll_impl(f, std::make_integer_sequence<int, n>{});
}

// acc + c * p for a constant tap c.
template <int c>
inline __m128i madd16(__m128i acc, __m128i p) {
    if constexpr (c == 1)
        return _mm_add_epi16(acc, p);
    else if constexpr (c == -1)
        return _mm_sub_epi16(acc, p);
    else
        return _mm_add_epi16(acc, _mm_mullo_epi16(p, _mm_set1_epi16(short(c))));
}

inline __m128i widen8(const std::uint8_t* p) {
    return _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

// Term t's column kernel over the KS window rows (null: a constant row) into v, whose element 0
// is column -ax.
template <int KS, class K, int t>
void column_pass(Path path, const std::uint8_t* const* rows, std::int16_t* v, int w,
                 const RowExtension& re, std::uint8_t value) {
    constexpr int ax = (KS - 1) / 2;
    constexpr auto& col = K::kInt.col[t];
    int x = 0;
    if (path == Path::Vector) {
        for (; x + 8 <= w; x += 8) {
            __m128i acc = _mm_setzero_si128();
            unroll<KS>([&](auto j) {
                if constexpr (col[j] != 0) {
                    __m128i p = rows[j] ? widen8(rows[j] + x) : _mm_set1_epi16(value);
                    acc = madd16<col[j]>(acc, p);
                }
            });
            _mm_storeu_si128(reinterpret_cast<__m128i*>(v + ax + x), acc);
        }
    }
    for (; x < w; ++x) {
        int acc = 0;
        for (int j = 0; j < KS; ++j) acc += col[j] * (rows[j] ? rows[j][x] : value);
        v[ax + x] = static_cast<std::int16_t>(acc);
    }
    // Border columns, mapped the same way in every row of the window.
    for (int x0 : {-ax, w}) {
        for (int bx = x0; bx < x0 + ax; ++bx) {
            const std::int64_t sx = re.map(bx, w);
            int acc = 0;
            for (int j = 0; j < KS; ++j)
                acc += col[j] * (rows[j] && sx != kConstIndex ? rows[j][sx] : value);
            v[ax + bx] = static_cast<std::int16_t>(acc);
        }
    }
}

template <int KS, class K, class Store>
void run_int(Path path, const std::uint8_t* src, int srcStep, typename Store::Dst* dst, int dstStep,
             qpxSize roi, std::uint32_t borderType, std::uint8_t value, std::uint8_t* buffer,
             bool prefetch) {
    constexpr int ax = (KS - 1) / 2;
    constexpr auto& kern = K::kInt;
    constexpr int N = sizeof(kern.col) / sizeof(kern.col[0]);
    const int w = roi.width, h = roi.height;
    const RowExtension re = RowExtension::make(borderType, w);
    const ColumnExtension ce = ColumnExtension::make(borderType, h);
    std::int16_t* work[N];
    std::int16_t* base = reinterpret_cast<std::int16_t*>(align32(buffer));
    for (int t = 0; t < N; ++t) work[t] = base + std::size_t(t) * (std::size_t(w) + KS - 1);

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* rows[KS];
        for (int j = 0; j < KS; ++j) {
            const std::int64_t sy = ce.map(y + j - ax, h);
            rows[j] = sy == kConstIndex ? nullptr : row(src, srcStep, sy);
        }
        if (prefetch && y + ax + 1 < h) {
            const char* next = reinterpret_cast<const char*>(row(src, srcStep, y + ax + 1));
            for (int b = 0; b < w; b += 64) _mm_prefetch(next + b, _MM_HINT_T0);
        }
        unroll<N>([&](auto t) { column_pass<KS, K, t>(path, rows, work[t], w, re, value); });

        const std::uint8_t* centre = rows[ax];  // a ROI row: never constant
        typename Store::Dst* d = row(dst, dstStep, y);
        int x = 0;
        if (path == Path::Vector) {
            for (; x + 8 <= w; x += 8) {
                __m128i acc = _mm_setzero_si128();
                unroll<N>([&](auto t) {
                    unroll<KS>([&](auto i) {
                        if constexpr (kern.row[t][i] != 0) {
                            __m128i p =
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(work[t] + x + i));
                            acc = madd16<kern.row[t][i]>(acc, p);
                        }
                    });
                });
                if constexpr (kern.centre != 0) acc = madd16<kern.centre>(acc, widen8(centre + x));
                Store::put(d + x, VI{acc});
            }
        }
        for (; x < w; ++x) {
            int acc = 0;
            for (int t = 0; t < N; ++t)
                for (int i = 0; i < KS; ++i) acc += kern.row[t][i] * work[t][x + i];
            Store::put(d + x, acc + kern.centre * centre[x]);
        }
    }
}

// Runs kernel K over the ROI: 8-bit sources through the integer terms, floats through the ring.
template <int KS, class K, class Store, class Src>
void run(Path path, const Src* src, int srcStep, typename Store::Dst* dst, int dstStep, qpxSize roi,
         std::uint32_t borderType, Src borderValue, std::uint8_t* buffer, bool prefetch = false) {
    if constexpr (std::is_same_v<Src, std::uint8_t>)
        run_int<KS, K, Store>(path, src, srcStep, dst, dstStep, roi, borderType, borderValue,
                              buffer, prefetch);
    else
        run_ring<KS, K, Store>(path, src, srcStep, dst, dstStep, roi, borderType, borderValue,
                               buffer, prefetch);
}

}  // namespace qpx::filter::fixed
