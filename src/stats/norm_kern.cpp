// Masked norm kernels, compiled once per vector target. 8u statistics are exact integers, so
// their vector grouping is free; 16u and 32f terms are single-precision values summed in double
// in the fixed grouping of norm.hpp, which the vector blocks and the scalar elements share.
#include <bit>

#include "frame/vec.hpp"
#include "stats/norm.hpp"
#include "stats/reduce_vec.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// Pixels of a three-channel row staged at a time: a multiple of every vector block, so that a
// staged run keeps the accumulator phase of the row.
constexpr i64 kChunk = 256;

template <class T>
void gather(const T* p, int c, i64 n, T* out) {
    for (i64 i = 0; i < n; ++i) out[i] = p[3 * i + c];
}

// ---- 8u: exact integer statistics --------------------------------------------------------------

struct Int8Stats {
    u64 num = 0, den = 0;  // sums
    u32 num_max = 0, den_max = 0;
};

template <NormKind kind>
inline void add8(u32 t, u64& sum, u32& mx) {
    if constexpr (kind == NormKind::Inf)
        mx = t > mx ? t : mx;
    else if constexpr (kind == NormKind::L1)
        sum += t;
    else
        sum += u64(t) * t;
}

template <NormOp op, NormKind kind>
void run8_scalar(const u8* a, const u8* b, const u8* m, i64 x, i64 n, Int8Stats& s) {
    for (; x < n; ++x) {
        if (!m[x]) continue;
        const u32 t = op == NormOp::Norm ? a[x] : a[x] > b[x] ? a[x] - b[x] : b[x] - a[x];
        add8<kind>(t, s.num, s.num_max);
        if constexpr (op == NormOp::Rel) add8<kind>(b[x], s.den, s.den_max);
    }
}

#if QPX_TARGET != 0
// Adds the terms of one vector to a block accumulator of the statistic.
template <NormKind kind>
Bytes::V add_block(Bytes::V acc, Bytes::V t) {
    if constexpr (kind == NormKind::Inf)
        return Bytes::maxu(acc, t);
    else if constexpr (kind == NormKind::L1)
        return Bytes::add64(acc, Bytes::sad(t));
    else
        return Bytes::add32(acc, Bytes::squares(t));
}

// Folds a block accumulator into the running statistic.
template <NormKind kind>
void fold(Bytes::V v, u64& sum, u32& mx) {
    if constexpr (kind == NormKind::Inf)
        Bytes::lane_max(v, mx);
    else if constexpr (kind == NormKind::L1)
        sum += Bytes::lane_sum<u64>(v);
    else
        sum += Bytes::lane_sum<u32>(v);
}
#endif

template <NormOp op, NormKind kind>
void run8(const u8* a, const u8* b, const u8* m, i64 n, Int8Stats& s) {
    i64 x = 0;
#if QPX_TARGET != 0
    using B = Bytes;
    while (n - x >= B::N) {
        const i64 blocks = (n - x) / B::N < kSquareRun ? (n - x) / B::N : kSquareRun;
        const i64 end = x + blocks * B::N;
        B::V vn = B::zero(), vd = B::zero();
        for (; x < end; x += B::N) {
            const B::V mm = B::load(m + x), va = B::load(a + x);
            if constexpr (op == NormOp::Norm) {
                vn = add_block<kind>(vn, B::keep(va, mm));
            } else {
                const B::V vb = B::load(b + x);
                vn = add_block<kind>(vn, B::keep(B::absdiff(va, vb), mm));
                if constexpr (op == NormOp::Rel) vd = add_block<kind>(vd, B::keep(vb, mm));
            }
        }
        fold<kind>(vn, s.num, s.num_max);
        if constexpr (op == NormOp::Rel) fold<kind>(vd, s.den, s.den_max);
    }
#endif
    run8_scalar<op, kind>(a, b, m, x, n, s);
}

template <NormOp op, NormKind kind>
NormStats norm8(View<const u8> s1, View<const u8> s2, View<const u8> mask, int coi) {
    Int8Stats s;
    const i64 w = mask.width;
    constexpr bool two = op != NormOp::Norm;
    if (s1.channels == 1) {
        if (s1.contiguous() && mask.contiguous() && (!two || s2.contiguous())) {
            run8<op, kind>(s1.data, two ? s2.data : nullptr, mask.data, w * mask.height, s);
        } else {
            for (i64 y = 0; y < mask.height; ++y)
                run8<op, kind>(s1.row(y), two ? s2.row(y) : nullptr, mask.row(y), w, s);
        }
    } else {
        alignas(64) u8 ca[kChunk], cb[kChunk];
        for (i64 y = 0; y < mask.height; ++y) {
            for (i64 x0 = 0; x0 < w; x0 += kChunk) {
                const i64 k = w - x0 < kChunk ? w - x0 : kChunk;
                gather(s1.row(y) + 3 * x0, coi, k, ca);
                if constexpr (two) gather(s2.row(y) + 3 * x0, coi, k, cb);
                run8<op, kind>(ca, cb, mask.row(y) + x0, k, s);
            }
        }
    }
    NormStats r;
    r.num = kind == NormKind::Inf ? double(s.num_max) : double(s.num);
    r.den = kind == NormKind::Inf ? double(s.den_max) : double(s.den);
    return r;
}

// ---- 16u and 32f: single-precision terms, double sums
// --------------------------------------------

inline u32 bits(float f) {
    u32 u;
    std::memcpy(&u, &f, 4);
    return u;
}

// 32f NormRel multiplies by a 0/1 factor instead of selecting, so a masked-off infinity or NaN
// still poisons its term.
template <class T, NormOp op>
inline constexpr bool kFactor = op == NormOp::Rel&& std::is_same_v<T, float>;

template <NormKind kind>
inline float shape(float v) {
    if constexpr (kind == NormKind::L2) return v * v;
    return std::bit_cast<float>(bits(v) & 0x7fffffffu);
}

// The statistics of one row: the eight accumulators of each sum, and the largest magnitudes
// as bit patterns (non-negative floats order like their bits, and a NaN beats everything).
struct RowSums {
    double n[8] = {}, d[8] = {};
    u32 nmax = 0, dmax = 0;
};

template <NormKind kind>
inline void add_term(float t, double& acc, u32& mx) {
    if constexpr (kind == NormKind::Inf) {
        const u32 u = bits(t);
        mx = u > mx ? u : mx;
    } else {
        acc = dadd(acc, double(t));
    }
}

// Elements [j, k) of a run whose element 0 sits at a multiple of 8 in the row.
template <class T, NormOp op, NormKind kind>
void elements(const T* a, const T* b, const u8* m, i64 j, i64 k, RowSums& r) {
    for (; j < k; ++j) {
        const float fa = float(a[j]);
        float v = op == NormOp::Norm ? fa : fa - float(b[j]);
        float w = op == NormOp::Rel ? float(b[j]) : 0.0f;
        if constexpr (kFactor<T, op>) {
            const float f = m[j] ? 1.0f : 0.0f;
            v = f * v;
            w = f * w;
        } else if (!m[j]) {
            v = 0.0f;
            w = 0.0f;
        }
        add_term<kind>(shape<kind>(v), r.n[j & 7], r.nmax);
        if constexpr (op == NormOp::Rel) add_term<kind>(shape<kind>(w), r.d[j & 7], r.dmax);
    }
}

#if QPX_TARGET == 0

// The scalar target runs every element through the accumulators directly.
struct Blocks {
    RowSums r;
    template <class T, NormOp op, NormKind kind>
    i64 run(const T* a, const T* b, const u8* m, i64 k) {
        elements<T, op, kind>(a, b, m, 0, k, r);
        return k;
    }
    RowSums spill() const { return r; }
};

#else

// Blocks of eight elements on 256-bit lanes (every vector target): the low four terms go to
// accumulators 0-3, the high four to 4-7, each converted to double first.
struct Blocks {
    __m256d nlo = _mm256_setzero_pd(), nhi = _mm256_setzero_pd();
    __m256d dlo = _mm256_setzero_pd(), dhi = _mm256_setzero_pd();
    __m128i nmlo = _mm_setzero_si128(), nmhi = _mm_setzero_si128();
    __m128i dmlo = _mm_setzero_si128(), dmhi = _mm_setzero_si128();

    static __m256 load(const float* p) { return _mm256_loadu_ps(p); }
    static __m256 load(const u16* p) { return Lanes8f::widen8(p).v; }
    static __m256 mask(const u8* m) { return Lanes8f::mask8(m).v; }
    template <NormKind kind>
    static __m256 shape(__m256 v) {
        if constexpr (kind == NormKind::L2) return mul_ordered(v, v);
        return _mm256_and_ps(v, _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff)));
    }
    template <NormKind kind>
    static void add(__m256 t, __m256d& lo, __m256d& hi, __m128i& mlo, __m128i& mhi) {
        if constexpr (kind == NormKind::Inf) {
            const __m256i u = _mm256_castps_si256(t);
            mlo = _mm_max_epi32(mlo, _mm256_castsi256_si128(u));
            mhi = _mm_max_epi32(mhi, _mm256_extractf128_si256(u, 1));
        } else {
            lo = add_ordered(lo, _mm256_cvtps_pd(_mm256_castps256_ps128(t)));
            hi = add_ordered(hi, _mm256_cvtps_pd(_mm256_extractf128_ps(t, 1)));
        }
    }

    template <class T, NormOp op, NormKind kind>
    i64 run(const T* a, const T* b, const u8* m, i64 k) {
        i64 j = 0;
        for (; k - j >= 8; j += 8) {
            const __m256 fa = load(a + j), mm = mask(m + j);
            __m256 v = fa, w = _mm256_setzero_ps();
            if constexpr (op != NormOp::Norm) {
                const __m256 fb = load(b + j);
                v = _mm256_sub_ps(fa, fb);
                if constexpr (op == NormOp::Rel) w = fb;
            }
            if constexpr (kFactor<T, op>) {
                const __m256 f = _mm256_and_ps(mm, _mm256_set1_ps(1.0f));
                v = _mm256_mul_ps(f, v);
                w = _mm256_mul_ps(f, w);
            } else {
                v = _mm256_and_ps(v, mm);
                w = _mm256_and_ps(w, mm);
            }
            add<kind>(shape<kind>(v), nlo, nhi, nmlo, nmhi);
            if constexpr (op == NormOp::Rel) add<kind>(shape<kind>(w), dlo, dhi, dmlo, dmhi);
        }
        return j;
    }

    static u32 max_of(__m128i lo, __m128i hi) {
        alignas(16) u32 v[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(v), lo);
        _mm_store_si128(reinterpret_cast<__m128i*>(v + 4), hi);
        u32 mx = 0;
        for (u32 u : v) mx = u > mx ? u : mx;
        return mx;
    }
    RowSums spill() const {
        RowSums r;
        _mm256_storeu_pd(r.n, nlo);
        _mm256_storeu_pd(r.n + 4, nhi);
        _mm256_storeu_pd(r.d, dlo);
        _mm256_storeu_pd(r.d + 4, dhi);
        r.nmax = max_of(nmlo, nmhi);
        r.dmax = max_of(dmlo, dmhi);
        return r;
    }
};

#endif

struct FloatStats {
    double num = 0, den = 0;
    u32 nmax = 0, dmax = 0;
};

// One ROI row of n pixels. Three-channel rows are staged channel by channel in runs of kChunk;
// only the last run can end inside a block, and its remaining elements go through the scalar
// path after the vector accumulators were spilled.
template <class T, NormOp op, NormKind kind>
void row_f(const T* a, const T* b, const u8* m, i64 n, int channels, int coi, FloatStats& s) {
    alignas(32) T ca[kChunk], cb[kChunk];
    Blocks blk;
    const T *pa = a, *pb = b;
    i64 k = n, j = 0;
    for (i64 x0 = 0; x0 < n; x0 += k) {
        if (channels != 1) {
            k = n - x0 < kChunk ? n - x0 : kChunk;
            gather(a + 3 * x0, coi, k, ca);
            if constexpr (op != NormOp::Norm) gather(b + 3 * x0, coi, k, cb);
            pa = ca, pb = cb;
        }
        j = blk.template run<T, op, kind>(pa, pb, m + x0, k);
    }
    RowSums r = blk.spill();
    elements<T, op, kind>(pa, pb, m + (n - k), j, k, r);
    if constexpr (kind == NormKind::Inf) {
        s.nmax = r.nmax > s.nmax ? r.nmax : s.nmax;
        s.dmax = r.dmax > s.dmax ? r.dmax : s.dmax;
    } else {
        s.num = dadd(s.num, combine8(r.n, dadd));
        if constexpr (op == NormOp::Rel) s.den = dadd(s.den, combine8(r.d, dadd));
    }
}

template <class T, NormOp op, NormKind kind>
NormStats norm_f(View<const T> s1, View<const T> s2, View<const u8> mask, int coi) {
    FloatStats s;
    for (i64 y = 0; y < mask.height; ++y)
        row_f<T, op, kind>(s1.row(y), op == NormOp::Norm ? nullptr : s2.row(y), mask.row(y),
                           mask.width, s1.channels, coi, s);
    NormStats r;
    if constexpr (kind == NormKind::Inf) {
        r.num = double(std::bit_cast<float>(s.nmax));
        r.den = double(std::bit_cast<float>(s.dmax));
    } else {
        r.num = s.num;
        r.den = s.den;
    }
    return r;
}

#define QPX_NORM_KINDS(fn, T, op)                                          \
    {                                                                      \
        fn<T, NormOp::op, NormKind::Inf>, fn<T, NormOp::op, NormKind::L1>, \
            fn<T, NormOp::op, NormKind::L2>                                \
    }
#define QPX_NORM_OPS(fn, T) \
    { QPX_NORM_KINDS(fn, T, Norm), QPX_NORM_KINDS(fn, T, Diff), QPX_NORM_KINDS(fn, T, Rel) }

template <class T, NormOp op, NormKind kind>
NormStats norm8_fn(View<const T> s1, View<const T> s2, View<const u8> mask, int coi) {
    return norm8<op, kind>(s1, s2, mask, coi);
}

}  // namespace

extern const NormKernels norm_kernels = {
    QPX_NORM_OPS(norm8_fn, u8),
    QPX_NORM_OPS(norm_f, u16),
    QPX_NORM_OPS(norm_f, float),
};

}  // namespace qpx::stats::QPX_TNS
