// Integral and window standard deviation kernels, compiled once per vector target. Integer sums
// wrap in unsigned arithmetic; the only order-sensitive sums (the float running sums) run
// sequentially on every target, and the vector paths add exact integers only, so every target
// agrees bit for bit with the scalar one.
#include "frame/vec.hpp"
#include "stats/integral.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using u32 = std::uint32_t;
using i64 = std::int64_t;

template <class T>
void fill(T* p, i64 n, T v) {
    for (i64 i = 0; i < n; ++i) p[i] = v;
}

#if QPX_TARGET >= 2
// Inclusive prefix sums of eight 32-bit lanes (wrapping).
inline __m256i prefix8(__m256i v) {
    v = _mm256_add_epi32(v, _mm256_slli_si256(v, 4));
    v = _mm256_add_epi32(v, _mm256_slli_si256(v, 8));
    const __m256i low = _mm256_shuffle_epi32(_mm256_permute2x128_si256(v, v, 0x08), 0xFF);
    return _mm256_add_epi32(v, low);
}
#if QPX_TARGET == 3
// The same over sixteen lanes: each step adds the lanes k places below.
inline __m512i prefix16(__m512i v) {
    const __m512i z = _mm512_setzero_si512();
    v = _mm512_add_epi32(v, _mm512_maskz_alignr_epi32(0xFFFF, v, z, 15));
    v = _mm512_add_epi32(v, _mm512_maskz_alignr_epi32(0xFFFF, v, z, 14));
    v = _mm512_add_epi32(v, _mm512_maskz_alignr_epi32(0xFFFF, v, z, 12));
    return _mm512_add_epi32(v, _mm512_maskz_alignr_epi32(0xFFFF, v, z, 8));
}
#endif
inline __m256i bytes8(const u8* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}
inline __m256i load8(const s32* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void store8(s32* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
inline __m256i last8(__m256i v) {
    return _mm256_permutevar8x32_epi32(v, _mm256_set1_epi32(7));
}
#endif

#if QPX_TARGET == 3
// Sixty-four pixels of one upright row (8u sums). Pair sums are taken in 16-bit lanes, whose
// prefix (at most 64 x 255) cannot overflow; one word permute per 16 outputs then spreads the
// even and odd prefixes into 32-bit lanes. `n` limits the pixels read and written (tails).
template <bool tail>
inline void block64(const u8* s, const s32* up, s32* out, __m512i& carry, i64 n = 64) {
    const __m512i z = _mm512_setzero_si512();
    const __m512i b = tail ? _mm512_maskz_loadu_epi8((1ull << n) - 1, s) : _mm512_loadu_si512(s);
    __m512i ps = _mm512_maddubs_epi16(b, _mm512_set1_epi8(1));
    ps = _mm512_add_epi16(ps, _mm512_bslli_epi128(ps, 2));
    ps = _mm512_add_epi16(ps, _mm512_bslli_epi128(ps, 4));
    ps = _mm512_add_epi16(ps, _mm512_bslli_epi128(ps, 8));
    // Each 128-bit lane's total, carried into the lanes above it.
    const __m512i t = _mm512_shuffle_epi8(ps, _mm512_set1_epi16(0x0F0E));
    const __m512i e1 = _mm512_maskz_alignr_epi64(0xFF, t, z, 6);
    const __m512i e2 = _mm512_maskz_alignr_epi64(0xFF, _mm512_add_epi16(t, e1), z, 4);
    const __m512i odd = _mm512_add_epi16(ps, _mm512_add_epi16(e1, e2));   // through pixel 2k + 1
    const __m512i even = _mm512_sub_epi16(odd, _mm512_srli_epi16(b, 8));  // through pixel 2k
    const __m512i pick = _mm512_setr_epi32(0, 32, 1, 33, 2, 34, 3, 35, 4, 36, 5, 37, 6, 38, 7, 39);
    for (int m = 0; m < 4; ++m) {
        const __m512i v = _mm512_maskz_permutex2var_epi16(
            0x55555555, even, _mm512_add_epi32(pick, _mm512_set1_epi32(8 * m)), odd);
        if constexpr (tail) {
            const i64 r = n - 16 * m;
            if (r <= 0) break;
            const __mmask16 k = r >= 16 ? 0xFFFF : __mmask16((1u << r) - 1);
            _mm512_mask_storeu_epi32(out + 16 * m, k,
                                     _mm512_add_epi32(_mm512_maskz_loadu_epi32(k, up + 16 * m),
                                                      _mm512_add_epi32(v, carry)));
        } else {
            _mm512_storeu_si512(out + 16 * m, _mm512_add_epi32(_mm512_loadu_si512(up + 16 * m),
                                                               _mm512_add_epi32(v, carry)));
        }
    }
    carry = _mm512_add_epi32(
        carry, _mm512_maskz_permutexvar_epi16(0x55555555, _mm512_set1_epi32(31), odd));
}
#elif QPX_TARGET == 2
// The same on 32 pixels: two 128-bit lanes, spread by unpacking and widening.
inline void block32(const u8* s, const s32* up, s32* out, __m256i& carry) {
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    __m256i ps = _mm256_maddubs_epi16(b, _mm256_set1_epi8(1));
    ps = _mm256_add_epi16(ps, _mm256_slli_si256(ps, 2));
    ps = _mm256_add_epi16(ps, _mm256_slli_si256(ps, 4));
    ps = _mm256_add_epi16(ps, _mm256_slli_si256(ps, 8));
    const __m256i t = _mm256_shuffle_epi8(ps, _mm256_set1_epi16(0x0F0E));
    const __m256i odd = _mm256_add_epi16(ps, _mm256_permute2x128_si256(t, t, 0x08));
    const __m256i even = _mm256_sub_epi16(odd, _mm256_srli_epi16(b, 8));
    // Pixels 0-7 and 16-23, then 8-15 and 24-31.
    const __m256i lo = _mm256_unpacklo_epi16(even, odd), hi = _mm256_unpackhi_epi16(even, odd);
    const __m128i part[4] = {_mm256_castsi256_si128(lo), _mm256_castsi256_si128(hi),
                             _mm256_extracti128_si256(lo, 1), _mm256_extracti128_si256(hi, 1)};
    for (int m = 0; m < 4; ++m)
        store8(out + 8 * m,
               _mm256_add_epi32(load8(up + 8 * m),
                                _mm256_add_epi32(_mm256_cvtepu16_epi32(part[m]), carry)));
    carry = _mm256_add_epi32(carry, _mm256_srli_epi32(last8(odd), 16));
}
#endif

// One upright row: out[x] = up[x] + (s[0] + ... + s[x]), `up` and `out` starting at column 1.
// With `sq` the sums are of squares.
template <bool sq>
void row_32s(const u8* s, const s32* up, s32* out, i64 w) {
    i64 x = 0;
    u32 r = 0;
    // Each block's own total joins the carry apart from its prefix, so that the chain from
    // block to block is one addition.
#if QPX_TARGET == 3
    __m512i carry = _mm512_setzero_si512();
    if constexpr (!sq) {
        for (; x + 64 <= w; x += 64) block64<false>(s + x, up + x, out + x, carry);
        if (x < w) block64<true>(s + x, up + x, out + x, carry, w - x);
        return;
    }
    for (; x + 16 <= w; x += 16) {
        __m512i v = _mm512_maskz_cvtepu8_epi32(
            0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)));
        if constexpr (sq) v = _mm512_mullo_epi32(v, v);
        const __m512i p = prefix16(v);
        const __m512i above = _mm512_loadu_si512(up + x);
        _mm512_storeu_si512(out + x, _mm512_add_epi32(above, _mm512_add_epi32(p, carry)));
        carry = _mm512_add_epi32(carry,
                                 _mm512_maskz_permutexvar_epi32(0xFFFF, _mm512_set1_epi32(15), p));
    }
    r = u32(_mm512_cvtsi512_si32(carry));
#elif QPX_TARGET == 2
    __m256i carry = _mm256_setzero_si256();
    if constexpr (!sq)
        for (; x + 32 <= w; x += 32) block32(s + x, up + x, out + x, carry);
    for (; x + 8 <= w; x += 8) {
        __m256i v = bytes8(s + x);
        if constexpr (sq) v = _mm256_mullo_epi32(v, v);
        const __m256i p = prefix8(v);
        store8(out + x, _mm256_add_epi32(load8(up + x), _mm256_add_epi32(p, carry)));
        carry = _mm256_add_epi32(carry, last8(p));
    }
    r = u32(_mm256_cvtsi256_si32(carry));
#endif
    for (; x < w; ++x) {
        r += sq ? u32(s[x]) * s[x] : s[x];
        out[x] = s32(u32(up[x]) + r);
    }
}

// Squares into 64f: the running sum is an exact integer, so adding it in doubles is exact.
void row_sq64(const u8* s, const double* up, double* out, i64 w) {
    i64 x = 0;
    double r = 0;
#if QPX_TARGET >= 2
    __m256d carry = _mm256_setzero_pd();
    for (; x + 8 <= w; x += 8) {
        __m256i v = bytes8(s + x);
        const __m256i p = prefix8(_mm256_mullo_epi32(v, v));
        const __m256d lo = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(p)), carry);
        const __m256d hi = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(p, 1)), carry);
        carry = _mm256_add_pd(carry, _mm256_cvtepi32_pd(_mm256_castsi256_si128(last8(p))));
        _mm256_storeu_pd(out + x, _mm256_add_pd(_mm256_loadu_pd(up + x), lo));
        _mm256_storeu_pd(out + x + 4, _mm256_add_pd(_mm256_loadu_pd(up + x + 4), hi));
    }
    r = _mm256_cvtsd_f64(carry);
#endif
    for (; x < w; ++x) {
        r += double(int(s[x]) * s[x]);
        out[x] = up[x] + r;
    }
}

// 8u into 32f: the exact integer row sum rounded once to single precision.
void row_8u32f(const u8* s, const float* up, float* out, i64 w) {
    i64 r = 0;
    for (i64 x = 0; x < w; ++x) {
        r += s[x];
        out[x] = up[x] + float(double(r));
    }
}

void row_32f(const float* s, const float* up, float* out, i64 w) {
    float r = 0;
    for (i64 x = 0; x < w; ++x) {
        r = r + s[x];
        out[x] = up[x] + r;
    }
}

// Row 0 and column 0 hold the initial value; each row adds its running sum to the row above.
// `row` forms one row of an integral from source row y.
template <auto row, class S, class T>
void upright_row(View<const S> s, View<T> d, T val, i64 y) {
    d.row(y + 1)[0] = val;
    row(s.row(y), d.row(y) + 1, d.row(y + 1) + 1, s.width);
}
template <auto row, class S, class T>
void upright(View<const S> s, View<T> d, T val) {
    fill(d.row(0), d.width, val);
    for (i64 y = 0; y < s.height; ++y) upright_row<row>(s, d, val, y);
}
void int_32f(View<const float> s, View<float> d) {
    upright<row_32f>(s, d, 0.0f);
}
// The integral and the squared integral, row by row together.
template <auto row, auto sqr, class T, class Q>
void upright_sqr(View<const u8> s, View<T> d, View<Q> q, T val, Q valSqr) {
    fill(d.row(0), d.width, val);
    fill(q.row(0), q.width, valSqr);
    for (i64 y = 0; y < s.height; ++y) {
        upright_row<row>(s, d, val, y);
        upright_row<sqr>(s, q, valSqr, y);
    }
}

// The tilted recurrence's right-hand side, per output type; `sq` squares the pixels.
template <class T, bool sq>
struct Tilt;
template <bool sq>
struct Tilt<s32, sq> {
    static s32 at(s32 a, s32 b, s32 c, u8 s0, u8 s1) {
        const u32 p0 = sq ? u32(s0) * s0 : s0, p1 = sq ? u32(s1) * s1 : s1;
        return s32(u32(a) + u32(b) - u32(c) + p0 + p1);
    }
};
template <>
struct Tilt<float, false> {
    static float at(float a, float b, float c, u8 s0, u8 s1) {
        return float(double(a) + double(b) - double(c) + double(s0) + double(s1));
    }
};
template <>
struct Tilt<double, true> {
    static double at(double a, double b, double c, u8 s0, u8 s1) {
        return a + b - c + double(int(s0) * s0) + double(int(s1) * s1);
    }
};

// Output row R from rows R - 1 (`u1`) and R - 2 (`u2`) and source row R - 2.
template <class T, bool sq>
void tilt_row(const u8* s, const T* u1, const T* u2, T* out, i64 w) {
    out[0] = u1[1];
    for (i64 c = 1; c < w; ++c)
        out[c] = Tilt<T, sq>::at(u1[c - 1], u1[c + 1], u2[c], s[c - 1], s[c]);
    out[w] = Tilt<T, sq>::at(u1[w - 1], u1[w + 1], u2[w], s[w - 1], 0);
    out[w + 1] = u1[w];
}

template <class T>
void tilt_start(View<T> d, T val) {
    fill(d.row(0), d.width, val);
    fill(d.row(1), d.width, val);
}

template <class T>
void tilted(View<const u8> s, View<T> d, T val) {
    tilt_start(d, val);
    for (i64 r = 0; r < s.height; ++r)
        tilt_row<T, false>(s.row(r), d.row(r + 1), d.row(r), d.row(r + 2), s.width);
}
template <class T, class Q>
void tilted_sqr(View<const u8> s, View<T> d, View<Q> q, T val, Q valSqr) {
    tilt_start(d, val);
    tilt_start(q, valSqr);
    for (i64 r = 0; r < s.height; ++r) {
        tilt_row<T, false>(s.row(r), d.row(r + 1), d.row(r), d.row(r + 2), s.width);
        tilt_row<Q, true>(s.row(r), q.row(r + 1), q.row(r), q.row(r + 2), s.width);
    }
}

// ---- window standard deviation ---------------------------------------------------------------

inline float sqrt_f(float v) {
    return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(v)));
}
inline double sqrt_d(double v) {
    const __m128d x = _mm_set_sd(v);
    return _mm_cvtsd_f64(_mm_sqrt_sd(x, x));
}
// Truncation without saturation: out of range and NaN give the integer indefinite value.
inline s32 trunc_d(double v) {
    return _mm_cvttsd_si32(_mm_set_sd(v));
}
inline s32 trunc_f(float v) {
    return _mm_cvttss_si32(_mm_set_ss(v));
}
// 2^e in single precision, built from its bits: 0 below the subnormals, infinity above range.
inline float pow2f(i64 e) {
    u32 bits;
    if (e > 127)
        bits = 0x7f800000u;
    else if (e >= -126)
        bits = u32(e + 127) << 23;
    else if (e >= -149)
        bits = 1u << (e + 149);
    else
        bits = 0;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

enum class Sd { Sfs, S32f, F32 };

// Four integral samples of one window: a - b - c + d (upright), a - (b + c) + d (tilted);
// 32-bit integers wrap.
template <bool tilt, class T>
inline T combine(T a, T b, T c, T d) {
    if constexpr (std::is_same_v<T, s32>) {
        if constexpr (tilt) return s32(u32(a) - (u32(b) + u32(c)) + u32(d));
        return s32(u32(a) - u32(b) - u32(c) + u32(d));
    } else {
        if constexpr (tilt) return a - (b + c) + d;
        return a - b - c + d;
    }
}

// One output value from the samples of both integrals, by each member's precision rule.
template <Sd kind, bool tilt, class S, class Q, class D>
struct Pixel {
    float invf;   // 1.0f / n
    float nf;     // n in single precision
    double invd;  // 1 / n in double
    float scale;  // 2^-scaleFactor

    D at(const S* a1, const S* b1, const S* c1, const S* d1, const Q* a2, const Q* b2, const Q* c2,
         const Q* d2, i64 k) const {
        if constexpr (kind == Sd::Sfs) {
            const float s1 = float(combine<tilt>(a1[k], b1[k], c1[k], d1[k]));
            const float s2 = float(combine<tilt>(a2[k], b2[k], c2[k], d2[k]));
            const float m = s1 * invf, e = s2 * invf;
            if constexpr (!tilt) {
                float v = e - m * m;
                if (v < 0) v = 0;
                return trunc_d(sqrt_d(double(v)) * double(scale) + 0.5);
            } else {
                double v = double(e) - double(m) * double(m);
                if (v < 0) v = 0;
                const float sd = float(sqrt_d(double(float(v))));
                return trunc_f(sd * scale + 0.5f);
            }
        } else if constexpr (kind == Sd::S32f && !tilt) {
            const float s1 = float(combine<tilt>(a1[k], b1[k], c1[k], d1[k]));
            const float s2 = combine<tilt>(float(a2[k]), float(b2[k]), float(c2[k]), float(d2[k]));
            const float m = s1 / nf, e = s2 / nf;
            float v = e - m * m;
            if (v < 0) v = 0;
            return sqrt_f(v);
        } else if constexpr (kind == Sd::S32f) {
            const float m = float(combine<tilt>(a1[k], b1[k], c1[k], d1[k])) * invf;
            const double e = combine<tilt>(a2[k], b2[k], c2[k], d2[k]) * invd;
            double v = e - double(m) * double(m);
            if (v < 0) v = 0;
            return sqrt_f(float(v));
        } else {
            double s1;
            if constexpr (tilt)
                s1 = combine<tilt>(double(a1[k]), double(b1[k]), double(c1[k]), double(d1[k]));
            else
                s1 = double(combine<tilt>(a1[k], b1[k], c1[k], d1[k]));
            const double s2 = combine<tilt>(a2[k], b2[k], c2[k], d2[k]);
            const double m = s1 * invd, e = s2 * invd;
            double v = e - m * m;
            if (v < 0) v = 0;
            return sqrt_f(float(v));
        }
    }
};

template <Sd kind, bool tilt, class S, class Q, class D>
void std_dev(View<const S> src, View<const Q> sqr, View<D> dst, qpxRect rc, int sf) {
    const i64 x = rc.x, y = rc.y, w = rc.width, h = rc.height;
    const i64 n = tilt ? 2 * w * h : w * h;
    Pixel<kind, tilt, S, Q, D> px;
    px.nf = float(n);
    px.invf = 1.0f / px.nf;
    // The 32f upright member forms 1/n in double from n in single precision.
    px.invd = kind == Sd::F32 && !tilt ? 1.0 / double(px.nf) : 1.0 / double(n);
    px.scale = pow2f(-i64(sf));
    // Row offsets and column offsets of the samples a, b, c, d.
    i64 ra, rb, rc2, rd, ca, cb, cc, cd;
    if constexpr (tilt) {
        ra = x + y, ca = x - y;                  // P3
        rb = x + y + h, cb = x - y - h;          // P1
        rc2 = x + y + w, cc = x - y + w;         // P2
        rd = x + y + w + h, cd = x - y + w - h;  // P4
    } else {
        ra = y, ca = x;
        rb = y, cb = x + w;
        rc2 = y + h, cc = x;
        rd = y + h, cd = x + w;
    }
    for (i64 j = 0; j < dst.height; ++j) {
        D* out = dst.row(j);
        const S *a1 = src.beyond(j + ra) + ca, *b1 = src.beyond(j + rb) + cb,
                *c1 = src.beyond(j + rc2) + cc, *d1 = src.beyond(j + rd) + cd;
        const Q *a2 = sqr.beyond(j + ra) + ca, *b2 = sqr.beyond(j + rb) + cb,
                *c2 = sqr.beyond(j + rc2) + cc, *d2 = sqr.beyond(j + rd) + cd;
        for (i64 i = 0; i < dst.width; ++i) out[i] = px.at(a1, b1, c1, d1, a2, b2, c2, d2, i);
    }
}

}  // namespace

extern const IntegralKernels integral_kernels = {
    upright<row_32s<false>, u8, s32>,
    upright<row_8u32f, u8, float>,
    int_32f,
    upright_sqr<row_32s<false>, row_32s<true>, s32, s32>,
    upright_sqr<row_32s<false>, row_sq64, s32, double>,
    upright_sqr<row_8u32f, row_sq64, float, double>,
    tilted<s32>,
    tilted<float>,
    tilted_sqr<s32, s32>,
    tilted_sqr<s32, double>,
    tilted_sqr<float, double>,
    std_dev<Sd::Sfs, false, s32, s32, s32>,
    std_dev<Sd::S32f, false, s32, double, float>,
    std_dev<Sd::F32, false, float, double, float>,
    std_dev<Sd::Sfs, true, s32, s32, s32>,
    std_dev<Sd::S32f, true, s32, double, float>,
    std_dev<Sd::F32, true, float, double, float>,
};

}  // namespace qpx::stats::QPX_TNS
