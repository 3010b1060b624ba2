// Accumulation and differencing. Every float operation is a single IEEE operation in the order
// the formulas give (no fused multiply-add), so the vector loops and the scalar tails agree bit
// for bit whatever the vector width.
#include "stats/accumulate.hpp"

#include <immintrin.h>

#include <cstring>

#include "frame/check.hpp"
#include "frame/simd.hpp"

namespace qpx::stats {
namespace {

// ---- operand order ------------------------------------------------------------------------------

// When both operands are NaN the processor returns the first one, so the operand order of the
// formulas decides which NaN a sum or product carries. The compiler may swap the operands of a
// commutative operation (it does, to fold a memory operand), so additions and multiplications are
// issued with their operands in the formula's order.
inline float add_ss(float a, float b) {
    float r;
    asm("vaddss %2, %1, %0" : "=x"(r) : "x"(a), "x"(b));
    return r;
}
inline float mul_ss(float a, float b) {
    float r;
    asm("vmulss %2, %1, %0" : "=x"(r) : "x"(a), "x"(b));
    return r;
}
inline __m256 add_ps(__m256 a, __m256 b) {
    __m256 r;
    asm("vaddps %2, %1, %0" : "=x"(r) : "x"(a), "x"(b));
    return r;
}
inline __m256 mul_ps(__m256 a, __m256 b) {
    __m256 r;
    asm("vmulps %2, %1, %0" : "=x"(r) : "x"(a), "x"(b));
    return r;
}

// ---- per-element formulas (the scalar path, and the tail of the vector path) ----------------

template <AccOp op>
inline float acc_step(float a, float s1, float s2, bool masked, bool m, float alpha) {
    switch (op) {
        case AccOp::Add:
            return masked ? add_ss(m ? s1 : 0.0f, a) : add_ss(a, s1);
        case AccOp::Square:
            return masked ? add_ss(m ? mul_ss(s1, s1) : 0.0f, a) : add_ss(a, mul_ss(s1, s1));
        case AccOp::Product:
            return masked ? add_ss(m ? mul_ss(s1, s2) : 0.0f, a) : add_ss(a, mul_ss(s1, s2));
        case AccOp::Weighted: {
            float w = masked ? (m ? alpha : 0.0f) : alpha;
            return add_ss(mul_ss(s1 - a, w), a);
        }
    }
    return a;
}

// ---- vector helpers (AVX floats, SSE integers) ------------------------------------------------

// All-ones lanes where the mask byte is non-zero.
inline __m256 mask8_ps(const std::uint8_t* m) {
    __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m));
    __m128i set = _mm_xor_si128(_mm_cmpeq_epi8(b, _mm_setzero_si128()), _mm_set1_epi8(-1));
    __m128i lo = _mm_cvtepi8_epi32(set);
    __m128i hi = _mm_cvtepi8_epi32(_mm_srli_si128(set, 4));
    return _mm256_castsi256_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}

// Eight pixels of one row, from x on. The second source and the mask are null when the operation
// does not use them, so they are offset only where they are used (offsetting null is undefined).
template <AccOp op, class T, bool masked>
inline void acc_block8(const T* s1, const T* s2, const std::uint8_t* m, float* a, int x,
                       __m256 va) {
    __m256 acc = _mm256_loadu_ps(a + x);
    __m256 v1 = load8_ps(s1 + x);
    __m256 sel = _mm256_setzero_ps();
    if constexpr (masked) sel = mask8_ps(m + x);
    __m256 r;
    if constexpr (op == AccOp::Weighted) {
        __m256 wgt = masked ? _mm256_and_ps(va, sel) : va;
        r = add_ps(mul_ps(_mm256_sub_ps(v1, acc), wgt), acc);
    } else {
        __m256 term = v1;
        if constexpr (op == AccOp::Square) term = mul_ps(v1, v1);
        if constexpr (op == AccOp::Product) term = mul_ps(v1, load8_ps(s2 + x));
        r = masked ? add_ps(_mm256_and_ps(term, sel), acc) : add_ps(acc, term);
    }
    _mm256_storeu_ps(a + x, r);
}

template <AccOp op, class T, bool masked>
void acc_row(Path path, const T* s1, const T* s2, const std::uint8_t* m, float* a, int w,
             float alpha) {
    int x = 0;
    if (path == Path::Vector) {
        const __m256 va = _mm256_set1_ps(alpha);
        // Two independent blocks per iteration keep both load ports busy.
        for (; x + 16 <= w; x += 16) {
            acc_block8<op, T, masked>(s1, s2, m, a, x, va);
            acc_block8<op, T, masked>(s1, s2, m, a, x + 8, va);
        }
        for (; x + 8 <= w; x += 8) acc_block8<op, T, masked>(s1, s2, m, a, x, va);
    }
    for (; x < w; ++x) {
        float v2 = op == AccOp::Product ? static_cast<float>(s2[x]) : 0.0f;
        a[x] =
            acc_step<op>(a[x], static_cast<float>(s1[x]), v2, masked, masked && m[x] != 0, alpha);
    }
}

inline std::uint8_t absdiff_scalar(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(a > b ? a - b : b - a);
}
inline std::uint16_t absdiff_scalar(std::uint16_t a, std::uint16_t b) {
    return static_cast<std::uint16_t>(a > b ? a - b : b - a);
}
inline float absdiff_scalar(float a, float b) {
    float d = a - b;
    std::uint32_t bits;
    std::memcpy(&bits, &d, 4);
    bits &= 0x7fffffffu;
    std::memcpy(&d, &bits, 4);
    return d;
}

// 16 bytes (or 8 halves, or 8 floats) of |a - b| per step.
template <class T>
constexpr int kAbsLanes = sizeof(T) == 4 ? 8 : 16 / int(sizeof(T));

template <class T>
inline void absdiff_vec(const T* a, const T* b, T* d) {
    if constexpr (sizeof(T) == 4) {
        __m256 r = _mm256_sub_ps(_mm256_loadu_ps(a), _mm256_loadu_ps(b));
        _mm256_storeu_ps(d, _mm256_and_ps(r, _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff))));
    } else {
        __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
        __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
        __m128i r = sizeof(T) == 1 ? _mm_sub_epi8(_mm_max_epu8(va, vb), _mm_min_epu8(va, vb))
                                   : _mm_sub_epi16(_mm_max_epu16(va, vb), _mm_min_epu16(va, vb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), r);
    }
}

template <class T>
inline void absdiff_c_vec(const T* a, T value, T* d) {
    if constexpr (sizeof(T) == 4) {
        __m256 r = _mm256_sub_ps(_mm256_loadu_ps(a), _mm256_set1_ps(value));
        _mm256_storeu_ps(d, _mm256_and_ps(r, _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff))));
    } else {
        __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
        __m128i vb = sizeof(T) == 1 ? _mm_set1_epi8(static_cast<char>(value))
                                    : _mm_set1_epi16(static_cast<short>(value));
        __m128i r = sizeof(T) == 1 ? _mm_sub_epi8(_mm_max_epu8(va, vb), _mm_min_epu8(va, vb))
                                   : _mm_sub_epi16(_mm_max_epu16(va, vb), _mm_min_epu16(va, vb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), r);
    }
}

}  // namespace

template <AccOp op, class T>
void accumulate(Path path, const T* src1, int src1Step, const T* src2, int src2Step,
                const std::uint8_t* mask, int maskStep, float* acc, int accStep, qpxSize roi,
                float alpha) {
    for (int y = 0; y < roi.height; ++y) {
        const T* s1 = row(src1, src1Step, y);
        const T* s2 = src2 ? row(src2, src2Step, y) : nullptr;
        float* a = row(acc, accStep, y);
        if (mask)
            acc_row<op, T, true>(path, s1, s2, row(mask, maskStep, y), a, roi.width, alpha);
        else
            acc_row<op, T, false>(path, s1, s2, nullptr, a, roi.width, alpha);
    }
}

void weighted_blend(Path path, const float* src1, int src1Step, const float* src2, int src2Step,
                    float* dst, int dstStep, qpxSize roi, float alpha) {
    for (int y = 0; y < roi.height; ++y) {
        const float* a = row(src1, src1Step, y);
        const float* b = row(src2, src2Step, y);
        float* d = row(dst, dstStep, y);
        int x = 0;
        if (path == Path::Vector) {
            const __m256 va = _mm256_set1_ps(alpha);
            for (; x + 8 <= roi.width; x += 8) {
                __m256 vb = _mm256_loadu_ps(b + x);
                __m256 diff = _mm256_sub_ps(_mm256_loadu_ps(a + x), vb);
                _mm256_storeu_ps(d + x, add_ps(mul_ps(diff, va), vb));
            }
        }
        for (; x < roi.width; ++x) d[x] = add_ss(mul_ss(a[x] - b[x], alpha), b[x]);
    }
}

// Byte rows may be up to INT_MAX elements long, so the vector loops compare what is left of the
// row instead of forming x + lanes, which could overflow.
template <class T>
void abs_diff(Path path, const T* src1, int src1Step, const T* src2, int src2Step, T* dst,
              int dstStep, int elems, int height) {
    for (int y = 0; y < height; ++y) {
        const T* a = row(src1, src1Step, y);
        const T* b = row(src2, src2Step, y);
        T* d = row(dst, dstStep, y);
        int x = 0;
        if (path == Path::Vector)
            for (; elems - x >= kAbsLanes<T>; x += kAbsLanes<T>) absdiff_vec(a + x, b + x, d + x);
        for (; x < elems; ++x) d[x] = absdiff_scalar(a[x], b[x]);
    }
}

template <class T, class V>
void abs_diff_c(Path path, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, V value) {
    const T v = static_cast<T>(value);
    for (int y = 0; y < roi.height; ++y) {
        const T* a = row(src, srcStep, y);
        T* d = row(dst, dstStep, y);
        int x = 0;
        if (path == Path::Vector)
            for (; roi.width - x >= kAbsLanes<T>; x += kAbsLanes<T>) absdiff_c_vec(a + x, v, d + x);
        for (; x < roi.width; ++x) d[x] = absdiff_scalar(a[x], v);
    }
}

#define QPX_ACC_INSTANCE(op, T)                                                \
    template void accumulate<AccOp::op, T>(Path, const T*, int, const T*, int, \
                                           const std::uint8_t*, int, float*, int, qpxSize, float);
#define QPX_ACC_INSTANCES(T) \
    QPX_ACC_INSTANCE(Add, T) \
    QPX_ACC_INSTANCE(Square, T) QPX_ACC_INSTANCE(Product, T) QPX_ACC_INSTANCE(Weighted, T)
QPX_ACC_INSTANCES(std::uint8_t)
QPX_ACC_INSTANCES(std::uint16_t)
QPX_ACC_INSTANCES(float)
template void abs_diff<std::uint8_t>(Path, const std::uint8_t*, int, const std::uint8_t*, int,
                                     std::uint8_t*, int, int, int);
template void abs_diff<std::uint16_t>(Path, const std::uint16_t*, int, const std::uint16_t*, int,
                                      std::uint16_t*, int, int, int);
template void abs_diff<float>(Path, const float*, int, const float*, int, float*, int, int, int);
template void abs_diff_c<std::uint8_t, int>(Path, const std::uint8_t*, int, std::uint8_t*, int,
                                            qpxSize, int);
template void abs_diff_c<std::uint16_t, int>(Path, const std::uint16_t*, int, std::uint16_t*, int,
                                             qpxSize, int);
template void abs_diff_c<float, float>(Path, const float*, int, float*, int, qpxSize, float);

}  // namespace qpx::stats
