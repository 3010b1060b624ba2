// Accumulation and differencing kernels, compiled once per vector target. Every float operation
// is a single IEEE operation in the order the formulas give (no fused multiply-add, operand
// order kept), so every target agrees bit for bit with the scalar one.
#include "frame/vec.hpp"
#include "stats/accumulate.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;
using i64 = std::int64_t;

// Images without padding between rows are one long row: no per-row start-up and one ragged end.
inline bool dense(int step, i64 rowBytes) {
    return step == rowBytes;
}

// Splits a row of n elements at `d` into a head that ends where d meets a 64-byte boundary and
// the rest. On 512-bit lanes a misaligned vector always straddles two cache lines, which costs
// more than the few extra instructions of a separate head; images whose rows share one offset
// then get aligned loads as well. Narrower targets keep the plain loop.
template <class T>
i64 head_of(const T* d, i64 n) {
    if constexpr (kTarget != Target::Avx512) {
        (void)d;
        (void)n;
        return 0;
    } else {
        const auto at = reinterpret_cast<std::uintptr_t>(d);
        if (at % sizeof(T) != 0) return 0;
        const i64 k = i64((64 - at % 64) % 64 / sizeof(T));
        return k < n ? k : 0;
    }
}

#if QPX_TARGET == 3
// Copies the first `bytes` (< 64) bytes; the masked-off bytes are neither read nor written, so
// nothing outside them is touched.
inline void copy_part(void* to, const void* from, i64 bytes) {
    const __mmask64 m = (__mmask64(1) << bytes) - 1;
    _mm512_mask_storeu_epi8(to, m, _mm512_maskz_loadu_epi8(m, from));
}
#endif

// From x on, as many whole vectors of lane set L as fit in the row.
template <AccOp op, class T, bool masked, class L>
void acc_span(const T* s1, const T* s2, const u8* m, float* a, i64& x, i64 w, float alpha) {
    constexpr i64 N = L::template lanes<float>;
    const auto va = L::setf(alpha);
    for (; w - x >= N; x += N) {
        const auto acc = L::loadf(a + x);
        const auto v1 = L::loadf(s1 + x);
        typename L::F r;
        if constexpr (op == AccOp::Weighted) {
            const auto wgt = masked ? L::bit_and(va, L::mask_set(m + x)) : va;
            r = L::add(L::mul(L::sub(v1, acc), wgt), acc);
        } else {
            auto term = v1;
            if constexpr (op == AccOp::Square) term = L::mul(v1, v1);
            if constexpr (op == AccOp::Product) term = L::mul(v1, L::loadf(s2 + x));
            r = masked ? L::add(L::bit_and(term, L::mask_set(m + x)), acc) : L::add(acc, term);
        }
        L::storef(a + x, r);
    }
}

// One row of n elements. Elements [x0, x0 + k), k below one vector of 512-bit lanes, go through
// a whole vector staged in zero-filled locals (no stray special values in the unused lanes).
template <AccOp op, class T, bool masked>
void acc_part(const T* s1, const T* s2, const u8* m, float* a, i64 x0, i64 k, float alpha) {
#if QPX_TARGET == 3
    constexpr i64 N = Wide::lanes<float>;
    alignas(64) float va[N] = {};
    alignas(64) T v1[N] = {}, v2[N] = {};
    alignas(64) u8 vm[N] = {};
    copy_part(va, a + x0, k * 4);
    copy_part(v1, s1 + x0, k * i64(sizeof(T)));
    if constexpr (op == AccOp::Product) copy_part(v2, s2 + x0, k * i64(sizeof(T)));
    if constexpr (masked) copy_part(vm, m + x0, k);
    i64 x = 0;
    acc_span<op, T, masked, Wide>(v1, v2, vm, va, x, N, alpha);
    copy_part(a + x0, va, k * 4);
#else
    i64 x = x0;
    acc_span<op, T, masked, One>(s1, s2, m, a, x, x0 + k, alpha);
#endif
}

template <AccOp op, class T, bool masked>
void acc_row(const T* s1, const T* s2, const u8* m, float* a, i64 n, float alpha) {
    const i64 head = head_of(a, n);
    if (head) acc_part<op, T, masked>(s1, s2, m, a, 0, head, alpha);
    i64 x = head;
    acc_span<op, T, masked, Wide>(s1, s2, m, a, x, n, alpha);
    if (x < n) acc_part<op, T, masked>(s1, s2, m, a, x, n - x, alpha);
}

// The second source and the mask are null when the operation does not use them, so they are
// offset only where they are used.
template <AccOp op, class T, bool masked>
void accumulate(View<const T> src1, View<const T> src2, View<const u8> mask, View<float> acc,
                float alpha) {
    const i64 w = acc.width;
    if (src1.contiguous() && acc.contiguous() && (op != AccOp::Product || src2.contiguous()) &&
        (!masked || mask.contiguous()))
        return acc_row<op, T, masked>(src1.data, src2.data, mask.data, acc.data, w * acc.height,
                                      alpha);
    for (i64 y = 0; y < acc.height; ++y) {
        const T* s2 = op == AccOp::Product ? src2.row(y) : nullptr;
        const u8* m = masked ? mask.row(y) : nullptr;
        acc_row<op, T, masked>(src1.row(y), s2, m, acc.row(y), w, alpha);
    }
}

template <class L>
void blend_span(const float* a, const float* b, float* d, i64& x, i64 w, float alpha) {
    constexpr i64 N = L::template lanes<float>;
    const auto va = L::setf(alpha);
    for (; w - x >= N; x += N) {
        const auto vb = L::loadf(b + x);
        L::storef(d + x, L::add(L::mul(L::sub(L::loadf(a + x), vb), va), vb));
    }
}

void weighted_blend(View<const float> src1, View<const float> src2, View<float> dst, float alpha) {
    for (i64 y = 0; y < dst.height; ++y) {
        i64 x = 0;
        const float *a = src1.row(y), *b = src2.row(y);
        float* d = dst.row(y);
        blend_span<Wide>(a, b, d, x, dst.width, alpha);
        blend_span<One>(a, b, d, x, dst.width, alpha);
    }
}

// |a - b|, or |a - value| for a constant.
template <class L, bool constant, class T>
void abs_span(const T* a, const T* b, T value, T* d, i64& x, i64 n) {
    constexpr i64 N = L::template lanes<T>;
    if constexpr (std::is_same_v<T, float>) {
        const auto vv = L::setf(value);
        for (; n - x >= N; x += N)
            L::storef(d + x, L::abs(L::sub(L::loadf(a + x), constant ? vv : L::loadf(b + x))));
    } else {
        const auto vv = L::set(value);
        for (; n - x >= N; x += N)
            L::store(d + x, L::absdiff(L::load(a + x), constant ? vv : L::load(b + x)));
    }
}

// Elements [x0, x0 + k), k below one vector, as in acc_part.
template <bool constant, class T>
void abs_part(const T* a, const T* b, T value, T* d, i64 x0, i64 k) {
#if QPX_TARGET == 3
    constexpr i64 N = Wide::lanes<T>;
    alignas(64) T va[N] = {}, vb[N] = {}, vd[N];
    copy_part(va, a + x0, k * i64(sizeof(T)));
    if constexpr (!constant) copy_part(vb, b + x0, k * i64(sizeof(T)));
    i64 x = 0;
    abs_span<Wide, constant>(va, vb, value, vd, x, N);
    copy_part(d + x0, vd, k * i64(sizeof(T)));
#else
    i64 x = x0;
    abs_span<One, constant>(a, b, value, d, x, x0 + k);
#endif
}

template <bool constant, class T>
void abs_row(const T* a, const T* b, T value, T* d, i64 n) {
    const i64 head = head_of(d, n);
    if (head) abs_part<constant>(a, b, value, d, 0, head);
    i64 x = head;
    abs_span<Wide, constant>(a, b, value, d, x, n);
    if (x < n) abs_part<constant>(a, b, value, d, x, n - x);
}

template <class T>
void abs_diff(View<const T> src1, View<const T> src2, View<T> dst) {
    const i64 n = dst.elements();
    if (src1.contiguous() && src2.contiguous() && dst.contiguous())
        return abs_row<false>(src1.data, src2.data, T(0), dst.data, n * dst.height);
    for (i64 y = 0; y < dst.height; ++y)
        abs_row<false>(src1.row(y), src2.row(y), T(0), dst.row(y), n);
}

template <class T, class V>
void abs_diff_c(View<const T> src, View<T> dst, V value) {
    const T v = static_cast<T>(value);
    if (src.contiguous() && dst.contiguous())
        return abs_row<true>(src.data, src.data, v, dst.data, dst.width * dst.height);
    for (i64 y = 0; y < dst.height; ++y)
        abs_row<true>(src.row(y), src.row(y), v, dst.row(y), dst.width);
}

#define QPX_ACC_OPS(T)                                                                     \
    {                                                                                      \
        {accumulate<AccOp::Add, T, false>, accumulate<AccOp::Add, T, true>},               \
            {accumulate<AccOp::Square, T, false>, accumulate<AccOp::Square, T, true>},     \
            {accumulate<AccOp::Product, T, false>, accumulate<AccOp::Product, T, true>}, { \
            accumulate<AccOp::Weighted, T, false>, accumulate<AccOp::Weighted, T, true>    \
        }                                                                                  \
    }

}  // namespace

extern const AccumulateKernels accumulate_kernels = {
    QPX_ACC_OPS(u8),          QPX_ACC_OPS(u16),    QPX_ACC_OPS(float),
    weighted_blend,           abs_diff<u8>,        abs_diff<u16>,
    abs_diff<float>,          abs_diff_c<u8, int>, abs_diff_c<u16, int>,
    abs_diff_c<float, float>,
};

}  // namespace qpx::stats::QPX_TNS
