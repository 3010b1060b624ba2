// Sums and extrema kernels, compiled once per vector target. Integer sums are exact in any
// order; the 32f sums keep the accumulator grouping of the family header on every target, and
// the extrema only compare, so every target agrees with the scalar one bit for bit.
#include "frame/vec.hpp"
#include "stats/moments.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;
using u64 = std::uint64_t;

struct RowSums {
    u64 n = 0, s = 0, q = 0;
};

template <class T, bool masked>
RowSums int_row(const T* s, const u8* m, i64 w, int c) {
    RowSums r;
    for (i64 x = 0; x < w; ++x) {
        if (masked && !m[x]) continue;
        const u64 v = s[x * c];
        ++r.n, r.s += v, r.q += v * v;
    }
    return r;
}

template <class T, bool masked>
void int_row_extrema(const T* s, const u8* m, i64 w, int c, int& mn, int& mx, bool& any) {
    for (i64 x = 0; x < w; ++x) {
        if (masked && !m[x]) continue;
        const int v = s[x * c];
        mn = v < mn ? v : mn;
        mx = v > mx ? v : mx;
        any = true;
    }
}

#if QPX_TARGET != 0
// Whole vectors of 8u pixels: sums through sums of absolute differences against zero, squares
// through 16-bit multiply-adds into 32-bit lanes.
#if QPX_TARGET == 1
using V = __m128i;
inline V ld(const u8* p) {
    return _mm_loadu_si128(reinterpret_cast<const V*>(p));
}
inline V zero() {
    return _mm_setzero_si128();
}
inline V ones8(u8 v) {
    return _mm_set1_epi8(static_cast<char>(v));
}
inline V add64(V a, V b) {
    return _mm_add_epi64(a, b);
}
inline V add32(V a, V b) {
    return _mm_add_epi32(a, b);
}
inline V sad(V a) {
    return _mm_sad_epu8(a, zero());
}
inline V squares(V a) {
    const V lo = _mm_unpacklo_epi8(a, zero()), hi = _mm_unpackhi_epi8(a, zero());
    return _mm_add_epi32(_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi));
}
inline V unselected(V m) {
    return _mm_cmpeq_epi8(m, zero());
}
inline V andnot(V a, V b) {
    return _mm_andnot_si128(a, b);
}
inline V bor(V a, V b) {
    return _mm_or_si128(a, b);
}
inline V minu(V a, V b) {
    return _mm_min_epu8(a, b);
}
inline V maxu(V a, V b) {
    return _mm_max_epu8(a, b);
}
#elif QPX_TARGET == 2
using V = __m256i;
inline V ld(const u8* p) {
    return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
}
inline V zero() {
    return _mm256_setzero_si256();
}
inline V ones8(u8 v) {
    return _mm256_set1_epi8(static_cast<char>(v));
}
inline V add64(V a, V b) {
    return _mm256_add_epi64(a, b);
}
inline V add32(V a, V b) {
    return _mm256_add_epi32(a, b);
}
inline V sad(V a) {
    return _mm256_sad_epu8(a, zero());
}
inline V squares(V a) {
    const V lo = _mm256_unpacklo_epi8(a, zero()), hi = _mm256_unpackhi_epi8(a, zero());
    return _mm256_add_epi32(_mm256_madd_epi16(lo, lo), _mm256_madd_epi16(hi, hi));
}
inline V unselected(V m) {
    return _mm256_cmpeq_epi8(m, zero());
}
inline V andnot(V a, V b) {
    return _mm256_andnot_si256(a, b);
}
inline V bor(V a, V b) {
    return _mm256_or_si256(a, b);
}
inline V minu(V a, V b) {
    return _mm256_min_epu8(a, b);
}
inline V maxu(V a, V b) {
    return _mm256_max_epu8(a, b);
}
#else
// Zero-masked forms with every lane selected: the unmasked ones start from an undefined
// register that the compiler reports as uninitialised.
using V = __m512i;
inline V ld(const u8* p) {
    return _mm512_loadu_si512(p);
}
inline V zero() {
    return _mm512_setzero_si512();
}
inline V ones8(u8 v) {
    return _mm512_set1_epi8(static_cast<char>(v));
}
inline V add64(V a, V b) {
    return _mm512_add_epi64(a, b);
}
inline V add32(V a, V b) {
    return _mm512_add_epi32(a, b);
}
inline V sad(V a) {
    return _mm512_sad_epu8(a, zero());
}
inline V squares(V a) {
    const V lo = _mm512_unpacklo_epi8(a, zero()), hi = _mm512_unpackhi_epi8(a, zero());
    return _mm512_add_epi32(_mm512_madd_epi16(lo, lo), _mm512_madd_epi16(hi, hi));
}
inline V unselected(V m) {
    return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(m, zero()));
}
inline V andnot(V a, V b) {
    return _mm512_maskz_andnot_epi32(__mmask16(0xFFFF), a, b);
}
inline V bor(V a, V b) {
    return _mm512_maskz_or_epi32(__mmask16(0xFFFF), a, b);
}
inline V minu(V a, V b) {
    return _mm512_maskz_min_epu8(~__mmask64(0), a, b);
}
inline V maxu(V a, V b) {
    return _mm512_maskz_max_epu8(~__mmask64(0), a, b);
}
#endif

constexpr i64 kBytes = sizeof(V);
// Two squares of at most 255^2 per 32-bit lane and pair of multiply-adds: 8192 vectors stay
// below 2^31.
constexpr i64 kSquareRun = 8192;

template <class E>
u64 lane_sum(V v) {
    E a[kBytes / sizeof(E)];
    std::memcpy(a, &v, sizeof v);
    u64 t = 0;
    for (E e : a) t += e;
    return t;
}
inline void lane_extrema(V vmin, V vmax, int& mn, int& mx) {
    u8 a[kBytes], b[kBytes];
    std::memcpy(a, &vmin, sizeof a);
    std::memcpy(b, &vmax, sizeof b);
    for (i64 i = 0; i < kBytes; ++i) {
        mn = a[i] < mn ? a[i] : mn;
        mx = b[i] > mx ? b[i] : mx;
    }
}

template <bool masked>
RowSums u8_row(const u8* s, const u8* m, i64 w) {
    RowSums r;
    V vs = zero(), vn = zero();
    const V one = ones8(1);
    i64 x = 0;
    while (w - x >= kBytes) {
        const i64 run = (w - x) / kBytes < kSquareRun ? (w - x) / kBytes : kSquareRun;
        const i64 end = x + run * kBytes;
        V vq = zero();
        for (; x < end; x += kBytes) {
            V v = ld(s + x);
            if constexpr (masked) {
                const V off = unselected(ld(m + x));
                v = andnot(off, v);
                vn = add64(vn, sad(andnot(off, one)));
            }
            vs = add64(vs, sad(v));
            vq = add32(vq, squares(v));
        }
        r.q += lane_sum<std::uint32_t>(vq);
    }
    r.s = lane_sum<u64>(vs);
    r.n = masked ? lane_sum<u64>(vn) : u64(x);
    const RowSums t = int_row<u8, masked>(s + x, masked ? m + x : nullptr, w - x, 1);
    r.n += t.n, r.s += t.s, r.q += t.q;
    return r;
}

template <bool masked>
void u8_row_extrema(const u8* s, const u8* m, i64 w, int& mn, int& mx, bool& any) {
    V vmin = ones8(255), vmax = zero(), vany = zero();
    i64 x = 0;
    for (; w - x >= kBytes; x += kBytes) {
        const V v = ld(s + x);
        if constexpr (masked) {
            const V mk = ld(m + x), off = unselected(mk);
            vany = maxu(vany, mk);
            vmin = minu(vmin, bor(v, off));
            vmax = maxu(vmax, andnot(off, v));
        } else {
            vmin = minu(vmin, v);
            vmax = maxu(vmax, v);
        }
    }
    if (x > 0) {
        int seen = 0, unused = 255;
        lane_extrema(vany, vany, unused, seen);
        // Unselected bytes stand in as 255 for the minimum and 0 for the maximum: harmless
        // once some byte of the row is selected, and the row is skipped otherwise.
        if (!masked || seen) {
            lane_extrema(vmin, vmax, mn, mx);
            any = true;
        }
    }
    int_row_extrema<u8, masked>(s + x, masked ? m + x : nullptr, w - x, 1, mn, mx, any);
}
#endif

template <class T, bool masked>
RowSums row_sums(const T* s, const u8* m, i64 w, int c) {
#if QPX_TARGET != 0
    if constexpr (std::is_same_v<T, u8>)
        if (c == 1) return u8_row<masked>(s, m, w);
#endif
    return int_row<T, masked>(s, m, w, c);
}

template <class T, bool masked>
void row_extrema(const T* s, const u8* m, i64 w, int c, int& mn, int& mx, bool& any) {
#if QPX_TARGET != 0
    if constexpr (std::is_same_v<T, u8>)
        if (c == 1) return u8_row_extrema<masked>(s, m, w, mn, mx, any);
#endif
    int_row_extrema<T, masked>(s, m, w, c, mn, mx, any);
}

// One 32f row into the 8 accumulators of each sum.
template <bool masked>
void float_row(const float* s, const u8* m, i64 w, int c, Sums& r) {
    double a[8] = {}, b[8] = {};
    i64 n = 0;
    for (i64 x0 = 0; x0 < w; x0 += 8) {
        const i64 k = w - x0 < 8 ? w - x0 : 8;
        for (i64 i = 0; i < k; ++i) {
            if (masked && !m[x0 + i]) continue;
            const float v = s[(x0 + i) * c];
            const float sq = v * v;
            a[i] += double(v);
            b[i] += double(sq);
            ++n;
        }
    }
    r.n += n;
    r.s += ((a[0] + a[4]) + (a[1] + a[5])) + ((a[2] + a[6]) + (a[3] + a[7]));
    r.q += ((b[0] + b[4]) + (b[1] + b[5])) + ((b[2] + b[6]) + (b[3] + b[7]));
}

template <class T, bool masked>
void sums(View<const T> src, View<const u8> mask, Sums* out) {
    Sums r;
    for (i64 y = 0; y < src.height; ++y) {
        const u8* m = masked ? mask.row(y) : nullptr;
        if constexpr (std::is_same_v<T, float>) {
            float_row<masked>(src.row(y), m, src.width, src.channels, r);
        } else {
            const RowSums t = row_sums<T, masked>(src.row(y), m, src.width, src.channels);
            r.n += i64(t.n), r.s += double(t.s), r.q += double(t.q);
        }
    }
    *out = r;
}

// 32f rows: NaNs fail both comparisons and so never become an extremum.
template <bool masked>
void float_row_extrema(const float* s, const u8* m, i64 w, int c, float& mn, float& mx, bool& any) {
    for (i64 x = 0; x < w; ++x) {
        if (masked && !m[x]) continue;
        const float v = s[x * c];
        mn = v < mn ? v : mn;
        mx = v > mx ? v : mx;
        any = true;
    }
}

template <class T, bool masked>
void extrema(View<const T> src, View<const u8> mask, Extrema* out) {
    Extrema r;
    for (i64 y = 0; y < src.height; ++y) {
        const u8* m = masked ? mask.row(y) : nullptr;
        bool any = false;
        float mn, mx;
        if constexpr (std::is_same_v<T, float>) {
            mn = std::numeric_limits<float>::infinity(), mx = -mn;
            float_row_extrema<masked>(src.row(y), m, src.width, src.channels, mn, mx, any);
        } else {
            int imn = std::numeric_limits<T>::max(), imx = 0;
            row_extrema<T, masked>(src.row(y), m, src.width, src.channels, imn, imx, any);
            mn = float(imn), mx = float(imx);
        }
        if (!any) continue;
        if (r.minRow < 0 || mn < r.min) r.min = mn, r.minRow = y;
        if (r.maxRow < 0 || mx > r.max) r.max = mx, r.maxRow = y;
    }
    *out = r;
}

}  // namespace

extern const MomentKernels moment_kernels = {
    {sums<u8, false>, sums<u8, true>},         {sums<u16, false>, sums<u16, true>},
    {sums<float, false>, sums<float, true>},   {extrema<u8, false>, extrema<u8, true>},
    {extrema<u16, false>, extrema<u16, true>}, {extrema<float, false>, extrema<float, true>},
};

}  // namespace qpx::stats::QPX_TNS
