// Gaussian smoothing engine. Every float operation is a single IEEE operation in a fixed order
// (no fused multiply-add): the centre tap first, then each symmetric pair summed before it is
// weighted, innermost pair first. The vector loops and the scalar code follow that order, so the
// two paths agree bit for bit whatever the vector width.
#include "filter/gaussian.hpp"

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "frame/border.hpp"
#include "frame/cache.hpp"
#include "frame/round.hpp"

namespace qpx::filter {

// ---- sizes ------------------------------------------------------------------------------------

std::int64_t gauss_engine_spec_size(std::int64_t ks) {
    return 4 * ((ks + 1) / 2) + 128;
}

std::int64_t gauss_engine_buffer_size(std::int64_t roiW, std::int64_t ks, int channels) {
    const std::int64_t rowBytes = (roiW * channels * 4 + 63) / 64 * 64;
    return (ks + 1) * rowBytes + 12 * ks + 64;
}

std::int64_t gauss_header_size(std::int64_t ks, int dataType) {
    return dataType == qpx32f ? 32 * ks + 32 : 16 * ks + 36;
}

std::int64_t gauss_buffer_size(qpxSize roi, int ks, int dataType, int channels) {
    // The 32-bit interface's own formula is evaluated in 32-bit unsigned arithmetic.
    using u32 = std::uint32_t;
    const u32 w = u32(roi.width), h = u32(roi.height), k = u32(ks), n = u32(channels);
    const u32 w4 = (w + 3u) & ~3u;
    const u32 w8 = ((w + k) * n + 7u) & ~7u;
    const u32 m = h < k ? h : k;
    u32 rowBuf, colBuf;
    switch (dataType) {
        case qpx8u:
            rowBuf = n == 1 ? 36u * k + 144u : 60u * k + 144u;
            colBuf = n == 1 ? 12u * w4 + 64u : 36u * w4 + 64u;
            break;
        case qpx16u:
            rowBuf = n == 1 ? 64u * k + 96u : 128u * k + 96u;
            colBuf = 32u * (k + (8u * w * n + 24u) / 32u) + 64u;
            break;
        case qpx16s:
            rowBuf = n == 1 ? 48u * k + 112u : 40u * k + 96u;
            colBuf = n == 1 ? 12u * w4 + 64u : 36u * w4 + 64u;
            break;
        default:  // 32f
            rowBuf = n == 1 ? 96u * k + 96u : 288u * k + 96u;
            colBuf = 32u * k + 32u;
            break;
    }
    const u32 own = dataType == qpx32f
                        ? 4u * w8 * (m + 2u * k) + rowBuf + colBuf + 8u * (m + k) + 192u
                        : 2u * w8 * ((k & ~1u) + m + k) + rowBuf + colBuf + 8u * (h + k) + 192u;
    const std::int64_t engine = gauss_engine_buffer_size(roi.width, ks, channels);
    return std::max<std::int64_t>({std::int64_t(own), engine, 64});
}

// ---- kernel -----------------------------------------------------------------------------------

float exp_f32(float xf) {
    if (xf != xf) return xf;
    if (xf > 88.72283935546875f) return __builtin_inff();
    if (xf < -104.0f) return 0.0f;  // below half the smallest subnormal
    // x = k ln2 + t with |t| <= ln2 / 2, e^t by its series in double precision: the double
    // result is accurate to a few units of 2^-53, far below a float's last place.
    const double x = xf;
    const double q = x * 1.4426950408889634;
    const double kd = double(static_cast<long long>(q + (q < 0 ? -0.5 : 0.5)));
    const double ln2Hi = 6.93147180369123816490e-01;  // 32 significant bits: kd * ln2Hi is exact
    const double ln2Lo = 1.90821492927058770002e-10;
    const double t = (x - kd * ln2Hi) - kd * ln2Lo;
    double p = 1.0 / 479001600.0;  // 1/12!
    const double inv[] = {
        1.0 / 39916800.0, 1.0 / 3628800.0, 1.0 / 362880.0, 1.0 / 40320.0, 1.0 / 5040.0, 1.0 / 720.0,
        1.0 / 120.0,      1.0 / 24.0,      1.0 / 6.0,      0.5,           1.0,          1.0};
    for (double c : inv) p = p * t + c;
    const std::uint64_t bits = std::uint64_t(static_cast<long long>(kd) + 1023) << 52;
    double scale;
    std::memcpy(&scale, &bits, sizeof scale);
    return static_cast<float>(p * scale);
}

void gauss_half_kernel(int ks, float sigma, void* half) {
    // The destination may sit at any byte offset (the 32-bit spec places the engine spec right
    // after its header), so every weight goes through memcpy.
    auto* out = static_cast<unsigned char*>(half);
    const int r = ks / 2;
    const float inv = 1.0f / (sigma * sigma);
    float sum = 0.0f;
    for (int i = r; i >= 1; --i) {
        const float fi = static_cast<float>(i);
        const float wi = exp_f32(-fi * (fi * 0.5f) * inv);
        std::memcpy(out + 4 * (r - i), &wi, 4);
        sum = sum + wi;
    }
    const float s = 1.0f + 2.0f * sum;
    for (int j = 0; j < r; ++j) {
        float wj;
        std::memcpy(&wj, out + 4 * j, 4);
        wj = wj / s;
        std::memcpy(out + 4 * j, &wj, 4);
    }
    const float centre = 1.0f / s;
    std::memcpy(out + 4 * r, &centre, 4);
}

void gauss_init_engine(void* spec, int ks, float sigma, int dataType) {
    auto* p = static_cast<unsigned char*>(spec);
    const std::uint32_t head[4] = {std::uint32_t(ks), kGaussEngineTag, std::uint32_t(dataType), 0};
    std::memcpy(p, head, sizeof head);
    gauss_half_kernel(ks, sigma, p + kGaussEngineHead);
}

std::int64_t gauss_spec_kernel(const void* spec) {
    std::uint32_t ks;
    std::memcpy(&ks, spec, sizeof ks);
    return ks;
}

// ---- engine -----------------------------------------------------------------------------------

namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// Narrow loads for the widening conversions (pmovzx/pmovsx with a memory operand).
inline __m128i load4(const void* p) {
    int v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}
inline __m128i load8b(const void* p) {
    return _mm_loadl_epi64(static_cast<const __m128i*>(p));
}

// Float to element: integers round in the current rounding mode (or truncate), saturating.
template <class T>
inline T store_value(float v, bool trunc) {
    if constexpr (std::is_same_v<T, float>) {
        (void)trunc;
        return v;
    } else {
        const __m128 x = _mm_set_ss(v);
        return saturate_int<T>(trunc ? _mm_cvttss_si32(x) : _mm_cvtss_si32(x));
    }
}

// Eight results to eight elements, with the same conversion and saturation as store_value.
template <class T>
inline void store8(T* d, __m256 v, bool trunc, bool stream) {
    if constexpr (std::is_same_v<T, float>) {
        if (stream)
            _mm256_stream_ps(d, v);
        else
            _mm256_storeu_ps(d, v);
    } else {
        const __m256i i = trunc ? _mm256_cvttps_epi32(v) : _mm256_cvtps_epi32(v);
        const __m128i lo = _mm256_castsi256_si128(i), hi = _mm256_extractf128_si256(i, 1);
        if constexpr (std::is_same_v<T, u8>) {
            const __m128i b = _mm_packus_epi16(_mm_packs_epi32(lo, hi), _mm_setzero_si128());
            if (stream)
                _mm_stream_si64(reinterpret_cast<long long*>(d), _mm_cvtsi128_si64(b));
            else
                _mm_storel_epi64(reinterpret_cast<__m128i*>(d), b);
        } else {
            const __m128i p =
                std::is_same_v<T, u16> ? _mm_packus_epi32(lo, hi) : _mm_packs_epi32(lo, hi);
            if (stream)
                _mm_stream_si128(reinterpret_cast<__m128i*>(d), p);
            else
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), p);
        }
    }
}

// Sixteen results to sixteen bytes (same conversion and saturation as store8).
inline void store16(u8* d, __m256 a, __m256 b) {
    const __m256i i = _mm256_cvtps_epi32(a), j = _mm256_cvtps_epi32(b);
    const __m128i lo = _mm_packs_epi32(_mm256_castsi256_si128(i), _mm256_extractf128_si256(i, 1));
    const __m128i hi = _mm_packs_epi32(_mm256_castsi256_si128(j), _mm256_extractf128_si256(j, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
}

// The symmetric sum around p[0] with taps `stride` apart; g[0] is the centre weight, g[i] the
// weight at distance i. R > 0 fixes the radius at compile time (same order as the loop).
template <int R>
inline float sym1(const float* p, std::int64_t stride, const float* g, int r) {
    const int rr = R > 0 ? R : r;
    float acc = g[0] * p[0];
    for (int i = 1; i <= rr; ++i) acc = acc + (p[-i * stride] + p[i * stride]) * g[i];
    return acc;
}

// Row pass over elements [e0, e1) whose taps all lie inside the float row f.
template <int R>
void row_interior(Path path, const float* f, float* out, std::int64_t e0, std::int64_t e1,
                  std::int64_t stride, const float* g, int r) {
    std::int64_t e = e0;
    if (path == Path::Vector) {
        if constexpr (R > 0) {
            __m256 gv[R + 1];
            for (int i = 0; i <= R; ++i) gv[i] = _mm256_set1_ps(g[i]);
            for (; e + 8 <= e1; e += 8) {
                const float* p = f + e;
                __m256 acc = _mm256_mul_ps(gv[0], _mm256_loadu_ps(p));
                for (int i = 1; i <= R; ++i)
                    acc = _mm256_add_ps(
                        acc, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(p - i * stride),
                                                         _mm256_loadu_ps(p + i * stride)),
                                           gv[i]));
                _mm256_storeu_ps(out + e, acc);
            }
        } else {
            for (; e + 8 <= e1; e += 8) {
                const float* p = f + e;
                __m256 acc = _mm256_mul_ps(_mm256_set1_ps(g[0]), _mm256_loadu_ps(p));
                for (int i = 1; i <= r; ++i)
                    acc = _mm256_add_ps(
                        acc, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(p - i * stride),
                                                         _mm256_loadu_ps(p + i * stride)),
                                           _mm256_set1_ps(g[i])));
                _mm256_storeu_ps(out + e, acc);
            }
        }
    }
    for (; e < e1; ++e) out[e] = sym1<R>(f + e, stride, g, r);
}

// Row pass for pixels [x0, x1) whose taps may leave the ROI: each tap goes through the border.
template <class T, int C>
void row_edges(const T* s, float* out, std::int64_t x0, std::int64_t x1, std::int64_t w,
               const RowExtension& rx, const T* bv, const float* g, int r) {
    for (std::int64_t x = x0; x < x1; ++x) {
        for (int c = 0; c < C; ++c) {
            auto at = [&](std::int64_t xx) {
                const std::int64_t m = rx.map(xx, w);
                return m == kConstIndex ? static_cast<float>(bv[c])
                                        : static_cast<float>(s[m * C + c]);
            };
            float acc = g[0] * at(x);
            for (int i = 1; i <= r; ++i) acc = acc + (at(x - i) + at(x + i)) * g[i];
            out[x * C + c] = acc;
        }
    }
}

// Four elements widened to 32-bit integers straight from memory.
inline __m128i widen4(const u8* p) {
    return _mm_cvtepu8_epi32(load4(p));
}
inline __m128i widen4(const u16* p) {
    return _mm_cvtepu16_epi32(load8b(p));
}
inline __m128i widen4(const s16* p) {
    return _mm_cvtepi16_epi32(load8b(p));
}

// Conversion in 128-bit halves: it spares the lane insert, the shuffle port being the
// bottleneck of the integer kernels.
template <class T>
inline void convert8(const T* s, float* d) {
    _mm_storeu_ps(d, _mm_cvtepi32_ps(widen4(s)));
    _mm_storeu_ps(d + 4, _mm_cvtepi32_ps(widen4(s + 4)));
}

// Converts elements [lo, hi) of a source row into the same places of a float row.
template <class T>
void to_float(Path path, const T* s, float* d, std::int64_t lo, std::int64_t hi) {
    std::int64_t i = lo;
    if (path == Path::Vector && hi - lo >= 8) {
        for (; i + 8 <= hi; i += 8) convert8(s + i, d + i);
        if (i < hi) convert8(s + hi - 8, d + hi - 8);
        return;
    }
    for (; i < hi; ++i) d[i] = static_cast<float>(s[i]);
}

// The pixels [x0, x1) of a row split by how their taps meet the ROI: [x0, inner) and
// [outer, x1) reach past an edge of the ROI, [inner, outer) stay inside it.
struct Span {
    std::int64_t x0, inner, outer, x1;
    Span(std::int64_t x0_, std::int64_t x1_, std::int64_t w, int r) : x0(x0_), x1(x1_) {
        inner = std::clamp<std::int64_t>(r, x0, x1);
        outer = std::max(inner, std::clamp<std::int64_t>(w - r, x0, x1));
    }
};

// One row-pass result for the pixels of `sp`: source row s filtered horizontally into out.
template <class T, int C, int R>
void row_pass(Path path, const T* s, float* conv, float* out, std::int64_t w, const Span& sp,
              const RowExtension& rx, const T* bv, const float* g, int r) {
    const float* f;
    if constexpr (std::is_same_v<T, float>) {
        (void)conv;
        f = s;
    } else {
        to_float(path, s, conv, std::max<std::int64_t>(0, sp.x0 - r) * C,
                 std::min(w, sp.x1 + r) * C);
        f = conv;
    }
    row_edges<T, C>(s, out, sp.x0, sp.inner, w, rx, bv, g, r);
    row_interior<R>(path, f, out, sp.inner * C, sp.outer * C, C, g, r);
    row_edges<T, C>(s, out, sp.outer, sp.x1, w, rx, bv, g, r);
}

// Column pass over elements [e0, n): win[0 .. 2r] are the row-pass results of rows
// y - r .. y + r.
template <class T, int R>
void column_pass(Path path, float* const* win, const float* g, int r, std::int64_t e0,
                 std::int64_t n, T* d, bool trunc, bool stream) {
    const int rr = R > 0 ? R : r;
    float* const* c = win + rr;
    auto one = [&](std::int64_t e) {
        float acc = g[0] * c[0][e];
        for (int i = 1; i <= rr; ++i) acc = acc + (c[-i][e] + c[i][e]) * g[i];
        d[e] = store_value<T>(acc, trunc);
    };
    std::int64_t e = e0;
    if (path == Path::Vector) {
        if (stream) {
            // Streaming stores need aligned addresses: the head goes through ordinary stores.
            constexpr std::uintptr_t align = std::is_same_v<T, float> ? 32
                                             : std::is_same_v<T, u8>  ? 8
                                                                      : 16;
            if (reinterpret_cast<std::uintptr_t>(d) % sizeof(T) != 0) stream = false;
            for (; stream && e < n && reinterpret_cast<std::uintptr_t>(d + e) % align != 0; ++e)
                one(e);
        }
        if constexpr (R > 0) {
            // Local copies: stores through byte pointers could otherwise alias the row table
            // and force a reload of every row pointer per step.
            __m256 gv[R + 1];
            const float* up[R + 1];
            const float* dn[R + 1];
            for (int i = 0; i <= R; ++i) {
                gv[i] = _mm256_set1_ps(g[i]);
                up[i] = c[-i];
                dn[i] = c[i];
            }
            for (; e + 8 <= n; e += 8) {
                __m256 acc = _mm256_mul_ps(gv[0], _mm256_loadu_ps(dn[0] + e));
                for (int i = 1; i <= R; ++i)
                    acc =
                        _mm256_add_ps(acc, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(up[i] + e),
                                                                       _mm256_loadu_ps(dn[i] + e)),
                                                         gv[i]));
                store8(d + e, acc, trunc, stream);
            }
        } else {
            for (; e + 8 <= n; e += 8) {
                __m256 acc = _mm256_mul_ps(_mm256_set1_ps(g[0]), _mm256_loadu_ps(c[0] + e));
                for (int i = 1; i <= rr; ++i)
                    acc = _mm256_add_ps(acc, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(c[-i] + e),
                                                                         _mm256_loadu_ps(c[i] + e)),
                                                           _mm256_set1_ps(g[i])));
                store8(d + e, acc, trunc, stream);
            }
        }
    }
    for (; e < n; ++e) one(e);
}

// Vector row pass of the newest window row fused with the column pass of one output row, for
// the dedicated kernel sizes: each interior chunk of the new row goes from the row pass straight
// into the column sum. Same operations in the same order as the separate passes.
template <class T, int C, int R>
void fused_pass(const T* s, float* conv, float* const* win, std::int64_t w, const Span& sp,
                const RowExtension& rx, const T* bv, const float* g, T* d, bool trunc) {
    float* out = win[2 * R];
    const float* f;
    if constexpr (std::is_same_v<T, float>) {
        (void)conv;
        f = s;
    } else {
        to_float(Path::Vector, s, conv, std::max<std::int64_t>(0, sp.x0 - R) * C,
                 std::min(w, sp.x1 + R) * C);
        f = conv;
    }
    row_edges<T, C>(s, out, sp.x0, sp.inner, w, rx, bv, g, R);
    row_edges<T, C>(s, out, sp.outer, sp.x1, w, rx, bv, g, R);
    const std::int64_t lo = sp.x0 * C, n = sp.x1 * C, e0 = sp.inner * C, e1 = sp.outer * C;
    if (e1 - e0 < 8) {
        // Too narrow for a vector chunk: the plain passes.
        row_interior<R>(Path::Scalar, f, out, e0, e1, C, g, R);
        column_pass<T, R>(Path::Vector, win, g, R, lo, n, d, trunc, false);
        return;
    }
    __m256 gv[R + 1];
    const float* up[R + 1];
    const float* dn[R + 1];
    for (int i = 0; i <= R; ++i) {
        gv[i] = _mm256_set1_ps(g[i]);
        up[i] = win[R - i];
        dn[i] = win[R + i];
    }
    // Row chunk of the new row, kept in a register for the column sum of the same chunk.
    auto fused = [&](std::int64_t e) {
        const float* p = f + e;
        __m256 rv = _mm256_mul_ps(gv[0], _mm256_loadu_ps(p));
        for (int i = 1; i <= R; ++i)
            rv = _mm256_add_ps(rv, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(p - i * C),
                                                               _mm256_loadu_ps(p + i * C)),
                                                 gv[i]));
        _mm256_storeu_ps(out + e, rv);
        __m256 acc = _mm256_mul_ps(gv[0], _mm256_loadu_ps(dn[0] + e));
        for (int i = 1; i < R; ++i)
            acc = _mm256_add_ps(acc, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(up[i] + e),
                                                                 _mm256_loadu_ps(dn[i] + e)),
                                                   gv[i]));
        return _mm256_add_ps(acc,
                             _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(up[R] + e), rv), gv[R]));
    };
    // Column chunk from the stored rows.
    auto column = [&](std::int64_t e) {
        __m256 acc = _mm256_mul_ps(gv[0], _mm256_loadu_ps(dn[0] + e));
        for (int i = 1; i <= R; ++i)
            acc = _mm256_add_ps(acc, _mm256_mul_ps(_mm256_add_ps(_mm256_loadu_ps(up[i] + e),
                                                                 _mm256_loadu_ps(dn[i] + e)),
                                                   gv[i]));
        store8(d + e, acc, trunc, false);
    };
    // Ragged ends are covered by chunks overlapping their neighbours: a recomputed element
    // gets the same value again, which is cheaper than a scalar tail on every row.
    std::int64_t e = e0;
    if constexpr (std::is_same_v<T, u8>) {
        // Two chunks per step: one full 16-byte store.
        for (; e + 16 <= e1; e += 16) store16(d + e, fused(e), fused(e + 8));
    }
    for (; e + 8 <= e1; e += 8) store8(d + e, fused(e), trunc, false);
    if (e < e1) store8(d + e1 - 8, fused(e1 - 8), trunc, false);
    for (std::int64_t k = lo; k < e0; k += 8) column(std::min(k, n - 8));
    for (std::int64_t k = e1; k < n; k += 8) column(std::min(k, n - 8));
}

// Floats of row results that a strip may keep in flight: about two thirds of a 48 KiB
// first-level cache, leaving room for the source and destination rows.
inline constexpr std::int64_t kStripFloats = 8192;

template <class T, int C, int R>
void run(Path path, const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep,
         std::int64_t w, std::int64_t h, std::uint32_t borderType, const T* bv, const void* spec,
         void* buffer, Stream streamMode) {
    const int ks = static_cast<int>(gauss_spec_kernel(spec));
    const int r = ks / 2;
    const std::int64_t n = w * C;

    // Buffer: ks + 1 rows of floats (a ring of ks row-pass results and a conversion row), the
    // window's row pointers, and the weights by distance from the centre.
    auto* base = reinterpret_cast<unsigned char*>((reinterpret_cast<std::uintptr_t>(buffer) + 63) &
                                                  ~std::uintptr_t(63));
    const std::int64_t rowBytes = (n * 4 + 63) / 64 * 64;
    auto slot = [&](std::int64_t k) { return reinterpret_cast<float*>(base + k * rowBytes); };
    float* conv = slot(ks);
    float** win = reinterpret_cast<float**>(base + (ks + 1) * rowBytes);
    float* g = reinterpret_cast<float*>(win + ks);
    const auto* half = static_cast<const unsigned char*>(spec) + kGaussEngineHead;
    for (int i = 0; i <= r; ++i) std::memcpy(g + i, half + 4 * (r - i), 4);

    const RowExtension rx = RowExtension::make(borderType, w);
    const ColumnExtension cx = ColumnExtension::make(borderType, h);

    // A row of the constant border filtered horizontally is constant per channel.
    float constRow[C] = {};
    if (cx.kind == kBorderConst && !(cx.inTop && cx.inBottom)) {
        for (int c = 0; c < C; ++c) {
            const float v = static_cast<float>(bv[c]);
            float acc = g[0] * v;
            for (int i = 1; i <= r; ++i) acc = acc + (v + v) * g[i];
            constRow[c] = acc;
        }
    }

    // The work size is source plus destination bytes: 8 x w x h for 32f C1.
    const bool stream = path == Path::Vector &&
                        (streamMode == Stream::Auto
                             ? stream_gaussian(2 * w * h * C * static_cast<std::int64_t>(sizeof(T)))
                             : streamMode == Stream::Always);
    const bool trunc = std::is_same_v<T, s16> && ks == 5;

    // The vector path sweeps the image in vertical strips narrow enough for the ring of row
    // results to stay in the first-level cache; the strip edges cost a little recomputation.
    std::int64_t stripW = w;
    if (path == Path::Vector) {
        const std::int64_t budget = std::max<std::int64_t>(kStripFloats / (ks + 1), 256) / C;
        const std::int64_t strips = (w + budget - 1) / budget;
        stripW = (w + strips - 1) / strips;
    }
    for (std::int64_t x0 = 0; x0 < w; x0 += stripW) {
        const Span sp(x0, std::min(w, x0 + stripW), w, r);
        auto produce = [&](std::int64_t j) {
            float* out = slot(((j % ks) + ks) % ks);
            const std::int64_t sj = cx.map(j, h);
            if (sj == kConstIndex) {
                for (std::int64_t x = sp.x0; x < sp.x1; ++x)
                    for (int c = 0; c < C; ++c) out[x * C + c] = constRow[c];
            } else {
                row_pass<T, C, R>(path, row(src, srcStep, sj), conv, out, w, sp, rx, bv, g, r);
            }
            return out;
        };
        for (int k = 0; k < ks - 1; ++k) win[k + 1] = produce(k - r);
        for (std::int64_t y = 0; y < h; ++y) {
            for (int k = 0; k + 1 < ks; ++k) win[k] = win[k + 1];
            T* d = row(dst, dstStep, y);
            const std::int64_t j = y + r, sj = cx.map(j, h);
            if constexpr (R > 0) {
                if (path == Path::Vector && !stream && sj != kConstIndex) {
                    win[ks - 1] = slot(((j % ks) + ks) % ks);
                    fused_pass<T, C, R>(row(src, srcStep, sj), conv, win, w, sp, rx, bv, g, d,
                                        trunc);
                    continue;
                }
            }
            win[ks - 1] = produce(j);
            column_pass<T, R>(path, win, g, r, sp.x0 * C, sp.x1 * C, d, trunc, stream);
        }
    }
    if (stream) _mm_sfence();
}

}  // namespace

template <class T, int C>
void gaussian(Path path, const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep,
              std::int64_t w, std::int64_t h, std::uint32_t borderType, const T* borderValue,
              const void* spec, void* buffer, Stream stream) {
    switch (gauss_spec_kernel(spec)) {
        case 3:
            return run<T, C, 1>(path, src, srcStep, dst, dstStep, w, h, borderType, borderValue,
                                spec, buffer, stream);
        case 5:
            return run<T, C, 2>(path, src, srcStep, dst, dstStep, w, h, borderType, borderValue,
                                spec, buffer, stream);
        case 7:
            return run<T, C, 3>(path, src, srcStep, dst, dstStep, w, h, borderType, borderValue,
                                spec, buffer, stream);
        default:
            return run<T, C, 0>(path, src, srcStep, dst, dstStep, w, h, borderType, borderValue,
                                spec, buffer, stream);
    }
}

#define QPX_GAUSS_INSTANCE(T, C)                                                               \
    template void gaussian<T, C>(Path, const T*, std::int64_t, T*, std::int64_t, std::int64_t, \
                                 std::int64_t, std::uint32_t, const T*, const void*, void*,    \
                                 Stream);
QPX_GAUSS_INSTANCE(std::uint8_t, 1)
QPX_GAUSS_INSTANCE(std::uint8_t, 3)
QPX_GAUSS_INSTANCE(std::uint16_t, 1)
QPX_GAUSS_INSTANCE(std::uint16_t, 3)
QPX_GAUSS_INSTANCE(std::int16_t, 1)
QPX_GAUSS_INSTANCE(std::int16_t, 3)
QPX_GAUSS_INSTANCE(float, 1)
QPX_GAUSS_INSTANCE(float, 3)
#undef QPX_GAUSS_INSTANCE

}  // namespace qpx::filter
