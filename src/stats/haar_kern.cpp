// The stage evaluation, compiled once per vector target. The scalar target evaluates window by
// window, or a classifier at a time over the set windows of a run of the row (the strategy the
// caller's hint selects). The vector targets evaluate blocks of 8 (AVX, AVX2) or 16 (AVX-512;
// 8 where one half holds no set window) adjacent windows, whose samples of one feature are
// adjacent in memory; AVX has no 32-byte integer lanes and runs the integer members on the
// scalar code. Every lane follows the scalar operations one for one (the 32s products are
// split, which modulo 2^64 changes nothing), so the masks and counts agree to the bit on every
// target. Lanes of windows whose mask byte is 0 load nothing (masked loads) and write nothing.
#include <algorithm>
#include <climits>

#include "frame/vec.hpp"
#include "stats/haar.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using u8 = std::uint8_t;
using i32 = std::int32_t;
using i64 = std::int64_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// Per member arithmetic. F is the feature sum, A the stage sum.
template <class J, class V>
struct Arith;

template <>
struct Arith<float, float> {
    using F = float;
    using A = float;
    static F rect(float a, float b, float c, float d) { return ((a - b) - c) + d; }
    static F add(F f, float w, F r) { return f + w * r; }
    static bool pass(F f, float t, float sigma, int) { return f >= t * sigma; }
    static A stage(A s, float v) { return s + v; }
};

template <>
struct Arith<i32, float> {
    using F = float;
    using A = float;
    static F rect(i32 a, i32 b, i32 c, i32 d) {
        return haar_to_single(i32(((u32(a) - u32(b)) - u32(c)) + u32(d)));
    }
    static F add(F f, float w, F r) { return f + w * r; }
    static bool pass(F f, float t, float sigma, int) { return f >= t * sigma; }
    static A stage(A s, float v) { return s + v; }
};

template <>
struct Arith<i32, i32> {
    using F = i64;
    using A = i32;
    static F rect(i32 a, i32 b, i32 c, i32 d) {
        return i64(i32(u32(a) - (u32(b) + u32(c)))) + i64(d);
    }
    static F add(F f, i32 w, F r) { return i64(u64(f) + u64(i64(w)) * u64(r)); }
    static bool pass(F f, i32 t, i32 sigma, int shift) {
        // f x 2^shift wraps in 64 bits; past 63 every bit has left.
        const i64 lhs = shift >= 64 ? 0 : i64(u64(f) << shift);
        return lhs >= i64(t) * i64(sigma);
    }
    static A stage(A s, i32 v) { return i32(u32(s) + u32(v)); }
};

// Sample offsets of one feature: precomputed in the work area, or formed on the way where a
// feature reaches too far for 32 bits.
template <bool Pre>
struct Offsets;
template <>
struct Offsets<true> {
    const i32* off;
    i64 stepE;
    template <class V>
    i64 at(const HaarFeature<V>&, int f, int j) const {
        return off[4 * f + j];
    }
};
template <>
struct Offsets<false> {
    const i32* off;
    i64 stepE;
    template <class V>
    i64 at(const HaarFeature<V>& ft, int, int j) const {
        const std::int32_t* p = j == 0 ? ft.a : j == 1 ? ft.b : j == 2 ? ft.c : ft.d;
        return i64(p[1]) * stepE + p[0];
    }
};

template <class J, class V, int N, bool Pre>
typename Arith<J, V>::F feature_sum(const J* p, const HaarFeature<V>* ft, int n, int f0,
                                    Offsets<Pre> o) {
    using Ar = Arith<J, V>;
    typename Ar::F f{};
    const int count = N ? N : n;
    for (int i = 0; i < count; ++i) {
        const HaarFeature<V>& t = ft[i];
        const int fi = f0 + i;
        const auto r =
            Ar::rect(p[o.at(t, fi, 0)], p[o.at(t, fi, 1)], p[o.at(t, fi, 2)], p[o.at(t, fi, 3)]);
        f = Ar::add(f, t.weight, r);
    }
    return f;
}

template <class J, class V, class N, class S, bool Pre>
struct Stage {
    using Ar = Arith<J, V>;
    const HaarImages<J, N>& im;
    const HaarClassifier<V>* cls;
    const HaarFeature<V>* feat;
    const i32* off;
    int length, shift;
    S thr;

    Offsets<Pre> offsets(const HaarClassifier<V>& c) const {
        const bool t = c.position & kHaarTilted;
        return {off, (t ? im.tilt.step : im.src.step) / i64(sizeof(J))};
    }

    template <int K>
    typename Ar::A add_one(typename Ar::A s, const HaarClassifier<V>& c, const J* p, int f0,
                           N sigma) const {
        const auto f = feature_sum<J, V, K, Pre>(p, feat + f0, c.num, f0, offsets(c));
        return Ar::stage(s, Ar::pass(f, c.threshold, V(sigma), shift) ? c.val2 : c.val1);
    }

    // Window by window.
    int windows() const {
        int count = 0;
        for (i64 y = 0; y < im.mask.height; ++y) {
            u8* m = im.mask.row(y);
            const J* ps = im.src.row(y);
            const J* pt = im.tilt.row(y);
            const N* sg = im.norm.row(y);
            for (i64 x = 0; x < im.mask.width; ++x) {
                if (!m[x]) continue;
                if (window(ps + x, pt + x, sg[x]))
                    ++count;
                else
                    m[x] = 0;
            }
        }
        return count;
    }

    // Whether the window whose samples start at ps (upright) and pt (tilted) passes.
    bool window(const J* ps, const J* pt, N sigma) const {
        typename Ar::A s{};
        for (int k = 0, f0 = 0; k < length; f0 += cls[k].num, ++k) {
            const HaarClassifier<V>& c = cls[k];
            const J* p = (c.position & kHaarTilted) ? pt : ps;
            s = c.num == 2   ? add_one<2>(s, c, p, f0, sigma)
                : c.num == 3 ? add_one<3>(s, c, p, f0, sigma)
                             : add_one<0>(s, c, p, f0, sigma);
        }
        return s >= thr;
    }

    template <int K>
    void classifier_over(const HaarClassifier<V>& c, int f0, const J* base, const N* sg,
                         const i32* idx, typename Ar::A* sum, int n) const {
        const Offsets<Pre> o = offsets(c);
        const HaarFeature<V>* ft = feat + f0;
        for (int i = 0; i < n; ++i) {
            const auto f = feature_sum<J, V, K, Pre>(base + idx[i], ft, c.num, f0, o);
            sum[i] =
                Ar::stage(sum[i], Ar::pass(f, c.threshold, V(sg[idx[i]]), shift) ? c.val2 : c.val1);
        }
    }

    // A row of windows at a time: each classifier runs over every set window of a run of the
    // row before the next classifier starts.
    int dense() const {
        constexpr int kRun = 512;
        i32 idx[kRun];
        typename Ar::A sum[kRun];
        int count = 0;
        for (i64 y = 0; y < im.mask.height; ++y) {
            u8* m = im.mask.row(y);
            const J* ps = im.src.row(y);
            const J* pt = im.tilt.row(y);
            const N* sg = im.norm.row(y);
            for (i64 x0 = 0; x0 < im.mask.width;) {
                int n = 0;
                for (; x0 < im.mask.width && n < kRun; ++x0)
                    if (m[x0]) idx[n] = i32(x0), sum[n] = {}, ++n;
                if (n == 0) break;
                for (int k = 0, f0 = 0; k < length; f0 += cls[k].num, ++k) {
                    const HaarClassifier<V>& c = cls[k];
                    const J* base = (c.position & kHaarTilted) ? pt : ps;
                    if (c.num == 2)
                        classifier_over<2>(c, f0, base, sg, idx, sum, n);
                    else if (c.num == 3)
                        classifier_over<3>(c, f0, base, sg, idx, sum, n);
                    else
                        classifier_over<0>(c, f0, base, sg, idx, sum, n);
                }
                for (int i = 0; i < n; ++i) {
                    if (sum[i] >= thr)
                        ++count;
                    else
                        m[idx[i]] = 0;
                }
            }
        }
        return count;
    }
};

#if QPX_TARGET >= 1
// ---- lanes ------------------------------------------------------------------------------------
// A block of adjacent windows: `M` selects the windows still set, and only their lanes load.
// 64-bit integer lanes come in pairs (`W`), the windows of the block's first and second half.

struct Lanes8 {
    static constexpr int n = 8;
    using M = __m256i;
    using F = __m256;
    using I = __m256i;
    struct W {
        __m256i lo, hi;
    };

    // The set windows among `count` mask bytes (count <= n); reads no byte past them. Built in
    // 16-byte halves, which AVX has too.
    static M set_lanes(const u8* m, int count) {
        std::uint64_t b = 0;
        if (count == n)
            std::memcpy(&b, m, 8);
        else
            std::memcpy(&b, m, std::size_t(count));
        const __m128i v = _mm_cvtsi64_si128(std::int64_t(b)), z = _mm_setzero_si128();
        const __m128i lo = _mm_cmpeq_epi32(_mm_cvtepu8_epi32(v), z);
        const __m128i hi = _mm_cmpeq_epi32(_mm_cvtepu8_epi32(_mm_srli_si128(v, 4)), z);
        return _mm256_castps_si256(_mm256_xor_ps(_mm256_castsi256_ps(_mm256_set_m128i(hi, lo)),
                                                 _mm256_castsi256_ps(_mm256_set1_epi32(-1))));
    }
    static unsigned bits(M m) { return unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(m))); }

    template <bool full>
    static F loadf(const float* p, M m) {
        if constexpr (full)
            return _mm256_loadu_ps(p);
        else
            return _mm256_maskload_ps(p, m);
    }
    static F setf(float v) { return _mm256_set1_ps(v); }
    static F add(F a, F b) { return _mm256_add_ps(a, b); }
    static F sub(F a, F b) { return _mm256_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
    static M ge(F a, F b) { return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_GE_OQ)); }
    // Bitwise: GCC folds the blend of two broadcasts into one branch per lane on AVX.
    static F select(M m, F no, F yes) {
        const __m256 k = _mm256_castsi256_ps(m);
        return _mm256_or_ps(_mm256_and_ps(k, yes), _mm256_andnot_ps(k, no));
    }

#if QPX_TARGET >= 2
    template <bool full>
    static I loadi(const i32* p, M m) {
        if constexpr (full)
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        else
            return _mm256_maskload_epi32(p, m);
    }

    static I seti(i32 v) {
        return _mm256_set1_epi32(v);
    }
    static I add32(I a, I b) {
        return _mm256_add_epi32(a, b);
    }
    static I sub32(I a, I b) {
        return _mm256_sub_epi32(a, b);
    }
    static M gt32(I a, I b) {
        return _mm256_cmpgt_epi32(a, b);
    }
    static I selecti(M m, I no, I yes) {
        return _mm256_blendv_epi8(no, yes, m);
    }

    // To single precision, to nearest with ties to even in any rounding mode: magnitudes up to
    // 2^24 convert exactly; larger ones are first rounded to 24 significant bits in integers.
    static F to_single(I v) {
        const __m256i mag = _mm256_abs_epi32(v);  // INT_MIN stays 2^31, unsigned
        const __m256i lim = _mm256_set1_epi32(1 << 24);
        const __m256i small = _mm256_cmpeq_epi32(_mm256_max_epu32(mag, lim), lim);
        if (_mm256_movemask_ps(_mm256_castsi256_ps(small)) == 0xFF) return _mm256_cvtepi32_ps(v);
        // The exponent of mag >> 8 (exact in single precision) gives the bits to drop.
        const __m256i top = _mm256_castps_si256(_mm256_cvtepi32_ps(_mm256_srli_epi32(mag, 8)));
        const __m256i e = _mm256_sub_epi32(_mm256_srli_epi32(top, 23), _mm256_set1_epi32(127 + 15));
        const __m256i sh = _mm256_max_epi32(e, _mm256_setzero_si256());
        const __m256i one = _mm256_set1_epi32(1);
        const __m256i q = _mm256_srlv_epi32(mag, sh);
        // Add half less one, plus one more when the kept part is odd: ties go to even.
        const __m256i half = _mm256_srli_epi32(_mm256_sllv_epi32(one, sh), 1);
        __m256i bias = _mm256_add_epi32(_mm256_sub_epi32(half, one), _mm256_and_si256(q, one));
        bias = _mm256_and_si256(bias, _mm256_cmpgt_epi32(sh, _mm256_setzero_si256()));
        const __m256i r = _mm256_srlv_epi32(_mm256_add_epi32(mag, bias), sh);
        const __m256i scale = _mm256_slli_epi32(_mm256_add_epi32(sh, _mm256_set1_epi32(127)), 23);
        const __m256 f = _mm256_mul_ps(_mm256_cvtepi32_ps(r), _mm256_castsi256_ps(scale));
        const __m256i sign = _mm256_and_si256(v, _mm256_set1_epi32(INT_MIN));
        return _mm256_or_ps(f, _mm256_castsi256_ps(sign));
    }

    static W widen(I v) {
        return {_mm256_cvtepi32_epi64(_mm256_castsi256_si128(v)),
                _mm256_cvtepi32_epi64(_mm256_extracti128_si256(v, 1))};
    }
    static W zero64() {
        return {_mm256_setzero_si256(), _mm256_setzero_si256()};
    }
    static W add64(W a, W b) {
        return {_mm256_add_epi64(a.lo, b.lo), _mm256_add_epi64(a.hi, b.hi)};
    }
    // Full 64-bit products of the low 32 bits of each 64-bit lane, signed.
    static W mul32x32(i32 w, W b) {
        const __m256i s = _mm256_set1_epi64x(w);
        return {_mm256_mul_epi32(s, b.lo), _mm256_mul_epi32(s, b.hi)};
    }
    static W sll64(W a, int n) {
        const __m128i c = _mm_cvtsi32_si128(n);  // 64 and beyond clear every bit
        return {_mm256_sll_epi64(a.lo, c), _mm256_sll_epi64(a.hi, c)};
    }
    static M gt64(W a, W b) {
        const __m256 lo = _mm256_castsi256_ps(_mm256_cmpgt_epi64(a.lo, b.lo));
        const __m256 hi = _mm256_castsi256_ps(_mm256_cmpgt_epi64(a.hi, b.hi));
        // Even 32-bit halves of both, then the two 128-bit lanes back in window order.
        const __m256 mix = _mm256_shuffle_ps(lo, hi, 0x88);
        return _mm256_permute4x64_epi64(_mm256_castps_si256(mix), 0xD8);
    }
#endif
};

#if QPX_TARGET == 3
struct Lanes16 {
    static constexpr int n = 16;
    static constexpr __mmask16 kAll = 0xFFFF;
    static constexpr __mmask8 kAll8 = 0xFF;
    using M = __mmask16;
    using F = __m512;
    using I = __m512i;
    struct W {
        __m512i lo, hi;
    };

    static M set_lanes(const u8* m, int count) {
        const __mmask16 k = count == n ? kAll : __mmask16((1u << count) - 1);
        const __m128i v = _mm_maskz_loadu_epi8(k, m);
        return _mm_test_epi8_mask(v, v);
    }
    static unsigned bits(M m) { return unsigned(m); }

    template <bool full>
    static F loadf(const float* p, M m) {
        if constexpr (full)
            return _mm512_loadu_ps(p);
        else
            return _mm512_maskz_loadu_ps(m, p);
    }
    template <bool full>
    static I loadi(const i32* p, M m) {
        if constexpr (full)
            return _mm512_loadu_si512(p);
        else
            return _mm512_maskz_loadu_epi32(m, p);
    }

    static F setf(float v) { return _mm512_set1_ps(v); }
    static F add(F a, F b) { return _mm512_add_ps(a, b); }
    static F sub(F a, F b) { return _mm512_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm512_mul_ps(a, b); }
    static M ge(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_GE_OQ); }
    static F select(M m, F no, F yes) { return _mm512_mask_blend_ps(m, no, yes); }

    static I seti(i32 v) { return _mm512_set1_epi32(v); }
    static I add32(I a, I b) { return _mm512_maskz_add_epi32(kAll, a, b); }
    static I sub32(I a, I b) { return _mm512_maskz_sub_epi32(kAll, a, b); }
    static M gt32(I a, I b) { return _mm512_cmpgt_epi32_mask(a, b); }
    static I selecti(M m, I no, I yes) { return _mm512_mask_blend_epi32(m, no, yes); }

    // Embedded rounding: to nearest, ties to even, whatever the control register says.
    static F to_single(I v) {
        return _mm512_maskz_cvt_roundepi32_ps(kAll, v,
                                              _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    }

    static W widen(I v) {
        return {_mm512_maskz_cvtepi32_epi64(kAll8, _mm512_maskz_extracti64x4_epi64(0xF, v, 0)),
                _mm512_maskz_cvtepi32_epi64(kAll8, _mm512_maskz_extracti64x4_epi64(0xF, v, 1))};
    }
    static W zero64() { return {_mm512_setzero_si512(), _mm512_setzero_si512()}; }
    static W add64(W a, W b) {
        return {_mm512_maskz_add_epi64(kAll8, a.lo, b.lo),
                _mm512_maskz_add_epi64(kAll8, a.hi, b.hi)};
    }
    static W mul32x32(i32 w, W b) {
        const __m512i s = _mm512_set1_epi64(w);
        return {_mm512_maskz_mul_epi32(kAll8, s, b.lo), _mm512_maskz_mul_epi32(kAll8, s, b.hi)};
    }
    static W sll64(W a, int n) {
        const __m128i c = _mm_cvtsi32_si128(n);
        return {_mm512_maskz_sll_epi64(kAll8, a.lo, c), _mm512_maskz_sll_epi64(kAll8, a.hi, c)};
    }
    static M gt64(W a, W b) {
        return __mmask16(unsigned(_mm512_cmpgt_epi64_mask(a.lo, b.lo)) |
                         unsigned(_mm512_cmpgt_epi64_mask(a.hi, b.hi)) << 8);
    }
};
using Lanes = Lanes16;
#else
using Lanes = Lanes8;
#endif

// ---- the members, lane for lane as Arith above ----------------------------------------------
template <class L, class J, class V>
struct VArith;

// Float specs: rectangle sums in single precision (32f) or wrapping int32 converted to single
// (32s32f); feature and stage sums in single precision.
template <class L, class J>
struct VArith<L, J, float> {
    using Acc = L::F;
    using Sum = L::F;
    using Sigma = L::F;
    static Acc zero() { return L::setf(0.0f); }
    static Sum zero_sum() { return L::setf(0.0f); }
    template <bool full>
    static Sigma sigma(const float* p, L::M m) {
        return L::template loadf<full>(p, m);
    }
    template <bool full>
    static Acc add(Acc f, const J* p, const i32* o, float w, L::M m) {
        typename L::F r;
        if constexpr (std::is_same_v<J, float>) {
            const typename L::F a = L::template loadf<full>(p + o[0], m),
                                b = L::template loadf<full>(p + o[1], m);
            const typename L::F c = L::template loadf<full>(p + o[2], m),
                                d = L::template loadf<full>(p + o[3], m);
            r = L::add(L::sub(L::sub(a, b), c), d);
        } else {
            const typename L::I a = L::template loadi<full>(p + o[0], m),
                                b = L::template loadi<full>(p + o[1], m);
            const typename L::I c = L::template loadi<full>(p + o[2], m),
                                d = L::template loadi<full>(p + o[3], m);
            r = L::to_single(L::add32(L::sub32(L::sub32(a, b), c), d));
        }
        return L::add(f, L::mul(L::setf(w), r));
    }
    static Sum stage(Sum s, Acc f, Sigma sg, float t, float v1, float v2, int) {
        const typename L::M pass = L::ge(f, L::mul(L::setf(t), sg));
        return L::add(s, L::select(pass, L::setf(v1), L::setf(v2)));
    }
    static unsigned passes(Sum s, float thr) { return L::bits(L::ge(s, L::setf(thr))); }
};

// 32s: (a - (b + c)) in int32 plus d, times the weight, summed in wrapping int64; the stage sum
// wraps in int32.
template <class L>
struct VArith<L, i32, i32> {
    using Acc = L::W;
    using Sum = L::I;
    using Sigma = L::W;
    static Acc zero() { return L::zero64(); }
    static Sum zero_sum() { return L::seti(0); }
    template <bool full>
    static Sigma sigma(const i32* p, L::M m) {
        return L::widen(L::template loadi<full>(p, m));
    }
    template <bool full>
    static Acc add(Acc f, const i32* p, const i32* o, i32 w, L::M m) {
        const typename L::I a = L::template loadi<full>(p + o[0], m),
                            b = L::template loadi<full>(p + o[1], m);
        const typename L::I c = L::template loadi<full>(p + o[2], m),
                            d = L::template loadi<full>(p + o[3], m);
        // w x (x + d) = w x x + w x d modulo 2^64, each product exact.
        const typename L::W x = L::widen(L::sub32(a, L::add32(b, c))), dd = L::widen(d);
        return L::add64(f, L::add64(L::mul32x32(w, x), L::mul32x32(w, dd)));
    }
    static Sum stage(Sum s, Acc f, Sigma sg, i32 t, i32 v1, i32 v2, int shift) {
        const typename L::M fail = L::gt64(L::mul32x32(t, sg), L::sll64(f, shift));
        return L::add32(s, L::selecti(fail, L::seti(v2), L::seti(v1)));
    }
    static unsigned passes(Sum s, i32 thr) {
        return ~L::bits(L::gt32(L::seti(thr), s)) & ((1u << L::n) - 1);
    }
};

// The stage block by block, every classifier of a block before the next block, for either
// strategy: the row-at-a-time order pays off where one window at a time is evaluated (the
// classifier's constants stay in registers over the run), but a block already shares them among
// its lanes, and walking a run once per classifier re-reads the run's integral rows from beyond
// the first-level cache; it measured slower than block by block at every density.
template <class J, class V, class N, class S>
struct VStage {
    const HaarImages<J, N>& im;
    const HaarClassifier<V>* cls;
    const i32* off;
    int length, shift;
    S thr;
    // A lone set window costs less one at a time than as a masked block.
    Stage<J, V, N, S, true> one;

    // The stage sums of one block; ps, pt and sg point at its first window.
    template <class L, bool full>
    typename VArith<L, J, V>::Sum block(const J* ps, const J* pt, const N* sg,
                                        typename L::M m) const {
        using Ar = VArith<L, J, V>;
        const typename Ar::Sigma sigma = Ar::template sigma<full>(sg, m);
        typename Ar::Sum s = Ar::zero_sum();
        for (int k = 0, f0 = 0; k < length; f0 += cls[k].num, ++k) {
            const HaarClassifier<V>& c = cls[k];
            const J* p = (c.position & kHaarTilted) ? pt : ps;
            typename Ar::Acc f = Ar::zero();
            for (int j = 0; j < c.num; ++j)
                f = Ar::template add<full>(f, p, off + 4 * (f0 + j), c.first[j].weight, m);
            s = Ar::stage(s, f, sigma, c.threshold, c.val1, c.val2, shift);
        }
        return s;
    }

    // Evaluates the block of L::n windows at column x (fewer at the row's end) and clears the
    // failed set windows; returns the number that pass. `set` is the block's set windows.
    template <class L>
    int settle(u8* m, const J* ps, const J* pt, const N* sg, i64 x, typename L::M lanes,
               unsigned set) const {
        constexpr unsigned kFull = (1u << L::n) - 1;
        const auto s = set == kFull ? block<L, true>(ps + x, pt + x, sg + x, lanes)
                                    : block<L, false>(ps + x, pt + x, sg + x, lanes);
        const unsigned pass = VArith<L, J, V>::passes(s, thr);
        for (unsigned fail = set & ~pass; fail; fail &= fail - 1) m[x + __builtin_ctz(fail)] = 0;
        return __builtin_popcount(set & pass);
    }

    int run() const {
        const i64 w = im.mask.width;
        int count = 0;
        for (i64 y = 0; y < im.mask.height; ++y) {
            u8* m = im.mask.row(y);
            const J* ps = im.src.row(y);
            const J* pt = im.tilt.row(y);
            const N* sg = im.norm.row(y);
            for (i64 x = 0; x < w; x += Lanes::n) {
                const Lanes::M lanes = Lanes::set_lanes(m + x, int(std::min<i64>(Lanes::n, w - x)));
                const unsigned set = Lanes::bits(lanes);
                if (!set) continue;
                if (!(set & (set - 1))) {
                    const i64 at = x + __builtin_ctz(set);
                    if (one.window(ps + at, pt + at, sg[at]))
                        ++count;
                    else
                        m[at] = 0;
                    continue;
                }
#if QPX_TARGET == 3
                // Set windows in one half only (common in sparse masks): eight lanes cost less.
                if (!(set >> 8) || !(set & 0xFF)) {
                    const i64 h = set & 0xFF ? x : x + 8;
                    const Lanes8::M half = Lanes8::set_lanes(m + h, int(std::min<i64>(8, w - h)));
                    count += settle<Lanes8>(m, ps, pt, sg, h, half, Lanes8::bits(half));
                    continue;
                }
#endif
                count += settle<Lanes>(m, ps, pt, sg, x, lanes, set);
            }
        }
        return count;
    }
};
#endif

template <class J, class V, class N, class S>
int apply(const HaarImages<J, N>& im, S stageThreshold, void* spec, int hint, int scale,
          HaarStrategy strategy) {
    const HaarSpec<V> s = carve_haar_spec<V>(spec);
    auto* off = reinterpret_cast<i32*>(s.head->work);
    // Sample offsets for this call's steps, in elements from the window's corner.
    bool fits = true;
    for (int k = 0, f0 = 0; k < s.head->length; f0 += s.cls[k].num, ++k) {
        const HaarClassifier<V>& c = s.cls[k];
        const i64 stepE =
            ((c.position & kHaarTilted) ? im.tilt.step : im.src.step) / i64(sizeof(J));
        for (int j = 0; j < c.num; ++j) {
            const HaarFeature<V>& f = s.feat[f0 + j];
            const std::int32_t* p[4] = {f.a, f.b, f.c, f.d};
            for (int q = 0; q < 4; ++q) {
                const i64 o = i64(p[q][1]) * stepE + p[q][0];
                fits &= o >= INT32_MIN && o <= INT32_MAX;
                off[4 * (f0 + j) + q] = i32(u32(u64(o)));
            }
        }
    }
    if (strategy == HaarStrategy::Hint)
        strategy = i64(hint) >= im.mask.width * im.mask.height / 4 ? HaarStrategy::Dense
                                                                   : HaarStrategy::Windows;
    // Offsets beyond 32 bits (images of gigabytes with features far down): window by window,
    // forming each offset on the way.
    if (!fits)
        return Stage<J, V, N, S, false>{im,    s.cls,         s.feat, off, s.head->length,
                                        scale, stageThreshold}
            .windows();
#if QPX_TARGET >= 1
    // AVX has no 32-byte integer lanes: the integer members stay scalar there.
    if constexpr (QPX_TARGET >= 2 || std::is_same_v<J, float>)
        return VStage<J, V, N, S>{im,
                                  s.cls,
                                  off,
                                  s.head->length,
                                  scale,
                                  stageThreshold,
                                  {im, s.cls, s.feat, off, s.head->length, scale, stageThreshold}}
            .run();
#endif
    const Stage<J, V, N, S, true> st{im, s.cls, s.feat, off, s.head->length, scale, stageThreshold};
    return strategy == HaarStrategy::Dense ? st.dense() : st.windows();
}

}  // namespace

extern const HaarKernels haar_kernels = {
    apply<float, float, float, float>,
    apply<i32, float, float, float>,
    apply<i32, i32, i32, i32>,
};

}  // namespace qpx::stats::QPX_TNS
