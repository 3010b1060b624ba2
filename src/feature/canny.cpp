// Canny edge detection. The image is processed row by row: a magnitude row (with the low cut)
// and its direction sectors are formed one row ahead of suppression, which needs the rows above
// and below. Suppression writes the candidate map and pushes seeds; hysteresis then grows the
// edges from the seeds through the candidates, and a last pass turns the map into the output.
//
// The candidate map is a (w + 2) x (h + 2) byte grid whose frame stays 0, so the edge following
// needs no bounds tests. Before suppression reaches a row, the row's map bytes hold its direction
// sectors (values 0..3); suppression overwrites them with 0, a candidate (128) or an edge (255).
#include "feature/canny.hpp"

#include <immintrin.h>

#include <bit>
#include <cstring>
#include <type_traits>

#include "filter/derivative.hpp"
#include "frame/border.hpp"

namespace qpx::feature {
namespace {

using u8 = std::uint8_t;
using i64 = std::int64_t;

// Sector limits tan(pi/8) and tan(3pi/8), as single-precision constants.
const float kT1 = std::bit_cast<float>(0x3ED413CDu);
const float kT2 = std::bit_cast<float>(0x401A827Au);

inline float fabs_bits(float v) {
    return std::bit_cast<float>(std::bit_cast<std::uint32_t>(v) & 0x7fffffffu);
}

inline u8 sector_of(float ax, float ay, bool signsDiffer) {
    if (ay < ax * kT1) return kSectorHorizontal;
    if (ax * kT2 < ay) return kSectorVertical;
    return signsDiffer ? kSectorOppSign : kSectorSameSign;
}

template <class D>
inline u8 sector_of(D dx, D dy) {
    if constexpr (std::is_same_v<D, float>) {
        bool differ = ((std::bit_cast<std::uint32_t>(dx) ^ std::bit_cast<std::uint32_t>(dy)) >> 31);
        return sector_of(fabs_bits(dx), fabs_bits(dy), differ);
    } else {
        int ix = dx, iy = dy;
        return sector_of(static_cast<float>(ix < 0 ? -ix : ix),
                         static_cast<float>(iy < 0 ? -iy : iy), (ix ^ iy) < 0);
    }
}

template <class D, class M, EdgeMag mag>
inline M magnitude(D dx, D dy) {
    if constexpr (std::is_same_v<D, float>) {
        static_assert(mag != EdgeMag::L2Root);
        if constexpr (mag == EdgeMag::L1)
            return fabs_bits(dx) + fabs_bits(dy);
        else
            return dx * dx + dy * dy;
    } else {
        int ax = dx < 0 ? -int(dx) : int(dx);
        int ay = dy < 0 ? -int(dy) : int(dy);
        // Only -32768, -32768 leaves the signed range (2^31); it is held as INT32_MAX, which no
        // other sum of two squares equals, so the order of magnitudes is kept and the float
        // conversion still gives 2^31.
        const std::uint32_t usq =
            static_cast<std::uint32_t>(dx * dx) + static_cast<std::uint32_t>(dy * dy);
        const std::int32_t sq = usq > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(usq);
        int l1 = ax + ay > 65535 ? 65535 : ax + ay;
        if constexpr (std::is_same_v<M, std::int32_t>) {
            static_assert(mag != EdgeMag::L2Root);
            return mag == EdgeMag::L1 ? l1 : sq;
        } else {
            static_assert(mag != EdgeMag::L2Square);
            if constexpr (mag == EdgeMag::L1)
                return static_cast<float>(l1);
            else
                return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(static_cast<float>(sq))));
        }
    }
}

template <class M>
inline bool passes_low(M m, const EdgeThresholds<M>& th) {
    return th.lowInclusive ? m >= th.low : m > th.low;
}

// ---- vector pieces of the magnitude row ----------------------------------------------------

inline __m256 combine(__m128 lo, __m128 hi) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(lo), hi, 1);
}
inline __m256 combine(__m128i lo, __m128i hi) {
    return _mm256_castsi256_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}

// All-ones lanes where the sign bit is set.
inline __m256 sign_mask(__m256 v) {
    __m128i lo = _mm_srai_epi32(_mm_castps_si128(_mm256_castps256_ps128(v)), 31);
    __m128i hi = _mm_srai_epi32(_mm_castps_si128(_mm256_extractf128_ps(v, 1)), 31);
    return combine(lo, hi);
}

// Sector codes of 8 pixels as 8 bytes; `differ` has its sign bit set where dx, dy signs differ.
// Plain bitwise selection: the compiler keeps it in vector registers.
inline void store_sectors8(__m256 ax, __m256 ay, __m256 differ, u8* sec) {
    const __m256 one = _mm256_castsi256_ps(_mm256_set1_epi32(1));
    const __m256 two = _mm256_castsi256_ps(_mm256_set1_epi32(2));
    static_assert(kSectorVertical == 1 && kSectorSameSign == 2 && kSectorOppSign == 3 &&
                  kSectorHorizontal == 0);
    __m256 h = _mm256_cmp_ps(ay, _mm256_mul_ps(ax, _mm256_set1_ps(kT1)), _CMP_LT_OQ);
    __m256 v = _mm256_cmp_ps(_mm256_mul_ps(ax, _mm256_set1_ps(kT2)), ay, _CMP_LT_OQ);
    __m256 diag = _mm256_or_ps(two, _mm256_and_ps(sign_mask(differ), one));
    __m256 c = _mm256_or_ps(_mm256_and_ps(v, one), _mm256_andnot_ps(v, diag));
    c = _mm256_andnot_ps(h, c);
    __m128i ci = _mm_packs_epi32(_mm_castps_si128(_mm256_castps256_ps128(c)),
                                 _mm_castps_si128(_mm256_extractf128_ps(c, 1)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(sec), _mm_packus_epi16(ci, ci));
}

inline __m256 keep_mask(__m256 m, const EdgeThresholds<float>& th) {
    __m256 low = _mm256_set1_ps(th.low);
    return th.lowInclusive ? _mm256_cmp_ps(m, low, _CMP_GE_OQ) : _mm256_cmp_ps(m, low, _CMP_GT_OQ);
}
inline __m128i keep_mask(__m128i m, const EdgeThresholds<std::int32_t>& th) {
    __m128i low = _mm_set1_epi32(th.low);
    return th.lowInclusive ? _mm_xor_si128(_mm_cmpgt_epi32(low, m), _mm_set1_epi32(-1))
                           : _mm_cmpgt_epi32(m, low);
}

template <class M, EdgeMag mag>
void magnitude_row8_f32(const float* dx, const float* dy, const EdgeThresholds<M>& th, M* out,
                        u8* sec) {
    const __m256 absMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    __m256 vx = _mm256_loadu_ps(dx), vy = _mm256_loadu_ps(dy);
    __m256 ax = _mm256_and_ps(vx, absMask), ay = _mm256_and_ps(vy, absMask);
    __m256 m = mag == EdgeMag::L1 ? _mm256_add_ps(ax, ay)
                                  : _mm256_add_ps(_mm256_mul_ps(vx, vx), _mm256_mul_ps(vy, vy));
    _mm256_storeu_ps(out, _mm256_and_ps(m, keep_mask(m, th)));
    store_sectors8(ax, ay, _mm256_xor_ps(vx, vy), sec);
}

template <class M, EdgeMag mag>
void magnitude_row8_s16(const std::int16_t* dx, const std::int16_t* dy, const EdgeThresholds<M>& th,
                        M* out, u8* sec) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dx));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dy));
    __m128i xlo = _mm_cvtepi16_epi32(a), xhi = _mm_cvtepi16_epi32(_mm_srli_si128(a, 8));
    __m128i ylo = _mm_cvtepi16_epi32(b), yhi = _mm_cvtepi16_epi32(_mm_srli_si128(b, 8));
    __m256 ax = combine(_mm_cvtepi32_ps(_mm_abs_epi32(xlo)), _mm_cvtepi32_ps(_mm_abs_epi32(xhi)));
    __m256 ay = combine(_mm_cvtepi32_ps(_mm_abs_epi32(ylo)), _mm_cvtepi32_ps(_mm_abs_epi32(yhi)));
    __m256 differ = combine(_mm_xor_si128(xlo, ylo), _mm_xor_si128(xhi, yhi));

    __m128i mlo, mhi;
    if constexpr (mag == EdgeMag::L1) {
        // |-32768| reads as 32768 once taken unsigned.
        __m128i s = _mm_adds_epu16(_mm_abs_epi16(a), _mm_abs_epi16(b));
        mlo = _mm_cvtepu16_epi32(s);
        mhi = _mm_cvtepu16_epi32(_mm_srli_si128(s, 8));
    } else {
        __m128i lo = _mm_unpacklo_epi16(a, b), hi = _mm_unpackhi_epi16(a, b);
        mlo = _mm_madd_epi16(lo, lo);
        mhi = _mm_madd_epi16(hi, hi);
        // 2^31 wraps to INT32_MIN: subtracting the sign bit turns it into INT32_MAX.
        mlo = _mm_sub_epi32(mlo, _mm_srli_epi32(mlo, 31));
        mhi = _mm_sub_epi32(mhi, _mm_srli_epi32(mhi, 31));
    }
    if constexpr (std::is_same_v<M, std::int32_t>) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_and_si128(mlo, keep_mask(mlo, th)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4),
                         _mm_and_si128(mhi, keep_mask(mhi, th)));
    } else {
        __m256 m = combine(_mm_cvtepi32_ps(mlo), _mm_cvtepi32_ps(mhi));
        if constexpr (mag == EdgeMag::L2Root) m = _mm256_sqrt_ps(m);
        _mm256_storeu_ps(out, _mm256_and_ps(m, keep_mask(m, th)));
    }
    store_sectors8(ax, ay, differ, sec);
}

// ---- suppression ----------------------------------------------------------------------------

// One row of suppression. prev, cur, next are magnitude rows of w + 2 values (zero at both
// ends); mapRow is the grid row (sectors at 1..w on entry). Seeds are pushed as grid indices.
template <class M, class I>
I* suppress_row(Path path, const M* prev, const M* cur, const M* next, u8* mapRow, i64 w, M high,
                I* top, I rowBase) {
    i64 i = 1;
    if (path == Path::Vector) {
        for (; i + 8 <= w + 1; i += 8) {
            __m128i s8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(mapRow + i));
            const __m128i sec[2] = {_mm_cvtepu8_epi32(s8),
                                    _mm_cvtepu8_epi32(_mm_srli_si128(s8, 4))};
            auto is = [&](int k, u8 code) { return _mm_cmpeq_epi32(sec[k], _mm_set1_epi32(code)); };
            __m256 surv, seed;
            if constexpr (std::is_same_v<M, float>) {
                __m256 m = _mm256_loadu_ps(cur + i);
                auto isAll = [&](u8 code) { return combine(is(0, code), is(1, code)); };
                const __m256 isH = isAll(kSectorHorizontal), isV = isAll(kSectorVertical);
                const __m256 isS = isAll(kSectorSameSign), isO = isAll(kSectorOppSign);
                auto lt = [&](const float* p) {
                    return _mm256_cmp_ps(_mm256_loadu_ps(p), m, _CMP_LT_OQ);
                };
                auto le = [&](const float* p) {
                    return _mm256_cmp_ps(_mm256_loadu_ps(p), m, _CMP_LE_OQ);
                };
                __m256 h = _mm256_and_ps(lt(cur + i - 1), le(cur + i + 1));
                __m256 v = _mm256_and_ps(lt(prev + i), le(next + i));
                __m256 ds = _mm256_and_ps(lt(prev + i - 1), lt(next + i + 1));
                __m256 dop = _mm256_and_ps(lt(prev + i + 1), lt(next + i - 1));
                surv = _mm256_or_ps(_mm256_or_ps(_mm256_and_ps(isH, h), _mm256_and_ps(isV, v)),
                                    _mm256_or_ps(_mm256_and_ps(isS, ds), _mm256_and_ps(isO, dop)));
                surv = _mm256_and_ps(surv, _mm256_cmp_ps(m, _mm256_setzero_ps(), _CMP_GT_OQ));
                seed = _mm256_and_ps(surv, _mm256_cmp_ps(m, _mm256_set1_ps(high), _CMP_GT_OQ));
            } else {
                __m128i half[2][2];
                for (int k = 0; k < 2; ++k) {
                    const i64 j = i + 4 * k;
                    auto ld = [](const M* p) {
                        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                    };
                    __m128i m = ld(cur + j);
                    // a < m is m > a; a <= m is not (a > m).
                    __m128i h = _mm_andnot_si128(_mm_cmpgt_epi32(ld(cur + j + 1), m),
                                                 _mm_cmpgt_epi32(m, ld(cur + j - 1)));
                    __m128i v = _mm_andnot_si128(_mm_cmpgt_epi32(ld(next + j), m),
                                                 _mm_cmpgt_epi32(m, ld(prev + j)));
                    __m128i ds = _mm_and_si128(_mm_cmpgt_epi32(m, ld(prev + j - 1)),
                                               _mm_cmpgt_epi32(m, ld(next + j + 1)));
                    __m128i dop = _mm_and_si128(_mm_cmpgt_epi32(m, ld(prev + j + 1)),
                                                _mm_cmpgt_epi32(m, ld(next + j - 1)));
                    __m128i s =
                        _mm_or_si128(_mm_or_si128(_mm_and_si128(is(k, kSectorHorizontal), h),
                                                  _mm_and_si128(is(k, kSectorVertical), v)),
                                     _mm_or_si128(_mm_and_si128(is(k, kSectorSameSign), ds),
                                                  _mm_and_si128(is(k, kSectorOppSign), dop)));
                    s = _mm_and_si128(s, _mm_cmpgt_epi32(m, _mm_setzero_si128()));
                    half[0][k] = s;
                    half[1][k] = _mm_and_si128(s, _mm_cmpgt_epi32(m, _mm_set1_epi32(high)));
                }
                surv = combine(half[0][0], half[0][1]);
                seed = combine(half[1][0], half[1][1]);
            }
            __m128i sb = _mm_packs_epi32(_mm_castps_si128(_mm256_castps256_ps128(surv)),
                                         _mm_castps_si128(_mm256_extractf128_ps(surv, 1)));
            __m128i eb = _mm_packs_epi32(_mm_castps_si128(_mm256_castps256_ps128(seed)),
                                         _mm_castps_si128(_mm256_extractf128_ps(seed, 1)));
            sb = _mm_packs_epi16(sb, sb);
            eb = _mm_packs_epi16(eb, eb);
            __m128i val = _mm_or_si128(_mm_and_si128(sb, _mm_set1_epi8(char(kMapCandidate))),
                                       _mm_and_si128(eb, _mm_set1_epi8(0x7f)));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(mapRow + i), val);
            for (unsigned bits = unsigned(_mm256_movemask_ps(seed)); bits; bits &= bits - 1)
                *top++ = rowBase + static_cast<I>(i + std::countr_zero(bits));
        }
    }
    for (; i <= w; ++i) {
        const M m = cur[i];
        bool s = false;
        if (m > M(0)) {
            switch (mapRow[i]) {
                case kSectorHorizontal:
                    s = cur[i - 1] < m && cur[i + 1] <= m;
                    break;
                case kSectorVertical:
                    s = prev[i] < m && next[i] <= m;
                    break;
                case kSectorSameSign:
                    s = prev[i - 1] < m && next[i + 1] < m;
                    break;
                default:
                    s = prev[i + 1] < m && next[i - 1] < m;
                    break;
            }
        }
        u8 v = 0;
        if (s) {
            v = kMapCandidate;
            if (m > high) {
                v = kMapEdge;
                *top++ = rowBase + static_cast<I>(i);
            }
        }
        mapRow[i] = v;
    }
    return top;
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

// dst = 255 where the map holds an edge, 0 elsewhere.
void write_edges(Path path, const u8* map, i64 stride, u8* dst, i64 dstStep, i64 w, i64 h) {
    for (i64 y = 0; y < h; ++y) {
        const u8* m = map + (y + 1) * stride + 1;
        u8* d = row(dst, dstStep, y);
        i64 x = 0;
        if (path == Path::Vector) {
            const __m128i e = _mm_set1_epi8(char(kMapEdge));
            for (; x + 16 <= w; x += 16) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + x));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_cmpeq_epi8(v, e));
            }
        }
        for (; x < w; ++x) d[x] = m[x] == kMapEdge ? 255 : 0;
    }
}

// The whole detector over one ROI. `rowFn(y, mag, sec)` fills magnitudes mag[0..w-1] and sectors
// sec[0..w-1] of ROI row y. `ring` holds 3 (w + 2) values, `map` the grid, `stack` one entry per
// ROI pixel at least.
template <class M, class I, class RowFn>
void run_detector(Path path, RowFn&& rowFn, i64 w, i64 h, M high, u8* dst, i64 dstStep, M* ring,
                  u8* map, I* stack) {
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

    rowFn(i64(0), cur + 1, map + stride + 1);
    I* top = stack;
    for (i64 y = 0; y < h; ++y) {
        if (y + 1 < h)
            rowFn(y + 1, next + 1, map + (y + 2) * stride + 1);
        else
            for (i64 x = 1; x <= w; ++x) next[x] = M(0);
        top = suppress_row<M, I>(path, prev, cur, next, map + (y + 1) * stride, w, high, top,
                                 static_cast<I>((y + 1) * stride));
        M* t = prev;
        prev = cur;
        cur = next;
        next = t;
    }
    follow_edges<I>(map, stride, stack, top);
    write_edges(path, map, stride, dst, dstStep, w, h);
}

inline u8* align_up(u8* p, std::uintptr_t a) {
    auto v = reinterpret_cast<std::uintptr_t>(p);
    return reinterpret_cast<u8*>((v + a - 1) & ~(a - 1));
}

inline bool small_grid(i64 w, i64 h) {
    return w <= 65532 && h <= 65532;
}

}  // namespace

template <class D, class M, EdgeMag mag>
void edge_magnitude_row(Path path, const D* dx, const D* dy, i64 w, EdgeThresholds<M> th, M* out,
                        u8* sec) {
    i64 x = 0;
    if (path == Path::Vector) {
        for (; x + 8 <= w; x += 8) {
            if constexpr (std::is_same_v<D, float>)
                magnitude_row8_f32<M, mag>(dx + x, dy + x, th, out + x, sec + x);
            else
                magnitude_row8_s16<M, mag>(dx + x, dy + x, th, out + x, sec + x);
        }
    }
    for (; x < w; ++x) {
        M m = magnitude<D, M, mag>(dx[x], dy[x]);
        out[x] = passes_low(m, th) ? m : M(0);
        sec[x] = sector_of(dx[x], dy[x]);
    }
}

std::int64_t canny_buffer_size(std::int64_t width, std::int64_t height) {
    const i64 k = small_grid(width, height) ? 5 : 9;
    return 16 * (width + 6) + k * (width + 2) * (height + 2) + 64;
}

template <class D, class M, EdgeMag mag>
void canny_deriv(Path path, const D* dx, i64 dxStep, const D* dy, i64 dyStep, u8* dst, i64 dstStep,
                 i64 width, i64 height, EdgeThresholds<M> th, u8* buffer) {
    const i64 grid = (width + 2) * (height + 2);
    auto go = [&](auto* stack) {
        using I = std::remove_pointer_t<decltype(stack)>;
        M* ring = reinterpret_cast<M*>(reinterpret_cast<u8*>(stack) + sizeof(I) * grid);
        u8* map = reinterpret_cast<u8*>(ring + 3 * (width + 2));
        auto rowFn = [&](i64 y, M* out, u8* sec) {
            edge_magnitude_row<D, M, mag>(path, row(dx, dxStep, y), row(dy, dyStep, y), width, th,
                                          out, sec);
        };
        run_detector<M, I>(path, rowFn, width, height, th.high, dst, dstStep, ring, map, stack);
    };
    u8* base = align_up(buffer, 64);
    if (small_grid(width, height))
        go(reinterpret_cast<std::uint32_t*>(base));
    else
        go(reinterpret_cast<std::uint64_t*>(base));
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

constexpr i64 round32(i64 n) {
    return (n + 31) & ~i64(31);
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
    i64 size = round32(16 * W) + round32(A) + round32(4 * A) + 64;
    if ((width < height ? width : height) < k) size += round32(A);
    return size;
}

BorderLayout canny_border_layout(std::int64_t width, std::int64_t height, int k) {
    const i64 W = width + k - 1;
    const i64 A = (height + k - 1) * W;
    BorderLayout l;
    l.ring = 0;
    l.map = round32(16 * W);
    l.stack = l.map + round32(A);
    l.copy = l.stack + round32(4 * A);
    l.end = l.copy + ((width < height ? width : height) < k ? round32(A) : 0);
    // The derivative filters' scratch: before the map is built (3x3), or behind the derivative
    // rows in the stack area (5x5, whose scratch outgrows the map of a thin image).
    l.scratch = k == 3 ? l.ring : l.stack + 4 * width * height;
    l.scratchEnd = k == 3 ? l.stack : l.copy;
    l.strip = 0;
    // Where a strip's scratch fits behind the derivative rows, the derivatives are made a strip
    // of rows at a time, just ahead of their use, so that they are still in the cache.
    if ((width < height ? width : height) >= k) {
        int need = 0;
        const qpxSize strip{int(width), int(height < 2 * kStripRows ? height : 2 * kStripRows)};
        filter::derivative_buffer_size(filter::DerivKind::SobelNegV, strip,
                                       k == 3 ? qpxMskSize3x3 : qpxMskSize5x5, qpx8u, qpx16s, 1,
                                       &need);
        if (l.stack + 4 * width * height + need <= l.copy) {
            l.strip = kStripRows;
            l.scratch = l.stack + 4 * width * height;
            l.scratchEnd = l.copy;
        }
    }
    return l;
}

qpxStatus canny_border(Path path, const u8* src, int srcStep, u8* dst, int dstStep, qpxSize roi,
                       int filterType, int maskSize, std::uint32_t borderType, u8 borderValue,
                       int norm, float low, float high, u8* buffer) {
    const int k = maskSize == qpxMskSize5x5 ? 5 : 3, r = k / 2;
    const i64 w = roi.width, h = roi.height;
    const BorderLayout lay = canny_border_layout(w, h, k);
    u8* base = align_up(buffer, 32);

    // Thin images are copied with their border first and then read as lying in memory.
    const u8* s = src;
    int sStep = srcStep;
    std::uint32_t bt = borderType;
    if ((w < h ? w : h) < k && borderType != qpxBorderInMem) {
        const i64 W = w + k - 1;
        u8* copy = base + lay.copy;
        const bool repl = (borderType & 15u) == kBorderRepl;
        for (i64 y = -r; y < h + r; ++y) {
            u8* d = copy + (y + r) * W;
            const i64 sy = y < 0 ? 0 : y >= h ? h - 1 : y;
            const u8* srow = row(src, srcStep, sy);
            for (i64 x = -r; x < w + r; ++x) {
                const bool inside = x >= 0 && x < w && y >= 0 && y < h;
                d[x + r] = inside ? srow[x]
                           : repl ? srow[x < 0    ? 0
                                         : x >= w ? w - 1
                                                  : x]
                                  : borderValue;
            }
        }
        s = copy + r * W + r;
        sStep = static_cast<int>(W);
        bt = qpxBorderInMem;
    }

    // dx and dy of a row lie side by side, rows one after another from the start of the stack
    // area: suppression pushes at most one entry per pixel of the rows it has consumed.
    auto* dxy = reinterpret_cast<std::int16_t*>(base + lay.stack);
    const int dxyStep = static_cast<int>(4 * w);
    const bool scharr = filterType == qpxFilterScharr;
    // Derivatives of ROI rows y0..y1-1; the rows around an inner strip are read as they lie.
    auto derive = [&](i64 y0, i64 y1) {
        std::uint32_t b = bt;
        if (y0 > 0) b |= qpxBorderInMemTop;
        if (y1 < h) b |= qpxBorderInMemBottom;
        const qpxSize r{roi.width, static_cast<int>(y1 - y0)};
        const u8* sp = row(s, sStep, y0);
        std::int16_t* d = dxy + 2 * w * y0;
        qpxStatus st = filter::derivative(
            scharr ? filter::DerivKind::ScharrV : filter::DerivKind::SobelNegV, sp, sStep, d,
            dxyStep, r, maskSize, b, borderValue, base + lay.scratch, path);
        if (st) return st;
        return filter::derivative(scharr ? filter::DerivKind::ScharrH : filter::DerivKind::SobelH,
                                  sp, sStep, d + w, dxyStep, r, maskSize, b, borderValue,
                                  base + lay.scratch, path);
    };
    // Strips differ only in height and in-memory sides, so the first strip's checks answer for
    // all of them: a refused source is reported before anything reaches dst.
    i64 stripEnd = lay.strip ? next_strip_end(0, lay.strip, h, r) : h;
    if (qpxStatus st = derive(0, stripEnd); st) return st;

    const EdgeThresholds<float> th{low, high, false};
    const bool byAngle = h < 4;
    auto rowFn = [&](i64 y, float* out, u8* sec) {
        if (y == stripEnd) {
            const i64 y1 = next_strip_end(y, lay.strip, h, r);
            (void)derive(y, y1);  // cannot fail where the first strip passed
            stripEnd = y1;
        }
        const std::int16_t* dx = dxy + 2 * w * y;
        const std::int16_t* dy = dx + w;
        if (norm == qpxEdgeNormL2)
            edge_magnitude_row<std::int16_t, float, EdgeMag::L2Root>(path, dx, dy, w, th, out, sec);
        else
            edge_magnitude_row<std::int16_t, float, EdgeMag::L1>(path, dx, dy, w, th, out, sec);
        if (byAngle)
            for (i64 x = 0; x < w; ++x) sec[x] = sector_by_angle(dx[x], dy[x]);
    };
    run_detector<float, std::uint32_t>(path, rowFn, w, h, high, dst, dstStep,
                                       reinterpret_cast<float*>(base + lay.ring), base + lay.map,
                                       reinterpret_cast<std::uint32_t*>(base + lay.stack));
    return qpxStatusOk;
}

#define QPX_CANNY_INSTANCE(D, M, mag)                                                             \
    template void edge_magnitude_row<D, M, mag>(Path, const D*, const D*, i64, EdgeThresholds<M>, \
                                                M*, u8*);                                         \
    template void canny_deriv<D, M, mag>(Path, const D*, i64, const D*, i64, u8*, i64, i64, i64,  \
                                         EdgeThresholds<M>, u8*);
QPX_CANNY_INSTANCE(float, float, EdgeMag::L1)
QPX_CANNY_INSTANCE(float, float, EdgeMag::L2Square)
QPX_CANNY_INSTANCE(std::int16_t, std::int32_t, EdgeMag::L1)
QPX_CANNY_INSTANCE(std::int16_t, std::int32_t, EdgeMag::L2Square)
template void edge_magnitude_row<std::int16_t, float, EdgeMag::L1>(Path, const std::int16_t*,
                                                                   const std::int16_t*, i64,
                                                                   EdgeThresholds<float>, float*,
                                                                   u8*);
template void edge_magnitude_row<std::int16_t, float, EdgeMag::L2Root>(Path, const std::int16_t*,
                                                                       const std::int16_t*, i64,
                                                                       EdgeThresholds<float>,
                                                                       float*, u8*);
#undef QPX_CANNY_INSTANCE

}  // namespace qpx::feature
