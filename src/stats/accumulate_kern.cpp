// Accumulation and differencing kernels, compiled once per vector target. Every float operation
// is a single IEEE operation in the order the formulas give (no fused multiply-add, operand
// order kept), so every target agrees bit for bit with the scalar one.
#include "frame/vec.hpp"
#include "stats/accumulate.hpp"

namespace qpx::stats::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;

// From x on, as many whole vectors of lane set L as fit in the row.
template <AccOp op, class T, bool masked, class L>
void acc_span(const T* s1, const T* s2, const u8* m, float* a, int& x, int w, float alpha) {
    constexpr int N = L::template lanes<float>;
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

// The second source and the mask are null when the operation does not use them, so they are
// offset only where they are used.
template <AccOp op, class T, bool masked>
void accumulate(const T* src1, int src1Step, const T* src2, int src2Step, const u8* mask,
                int maskStep, float* acc, int accStep, qpxSize roi, float alpha) {
    for (int y = 0; y < roi.height; ++y) {
        const T* s1 = row(src1, src1Step, y);
        const T* s2 = op == AccOp::Product ? row(src2, src2Step, y) : nullptr;
        const u8* m = masked ? row(mask, maskStep, y) : nullptr;
        float* a = row(acc, accStep, y);
        int x = 0;
        acc_span<op, T, masked, Wide>(s1, s2, m, a, x, roi.width, alpha);
        acc_span<op, T, masked, One>(s1, s2, m, a, x, roi.width, alpha);
    }
}

template <class L>
void blend_span(const float* a, const float* b, float* d, int& x, int w, float alpha) {
    constexpr int N = L::template lanes<float>;
    const auto va = L::setf(alpha);
    for (; w - x >= N; x += N) {
        const auto vb = L::loadf(b + x);
        L::storef(d + x, L::add(L::mul(L::sub(L::loadf(a + x), vb), va), vb));
    }
}

void weighted_blend(const float* src1, int src1Step, const float* src2, int src2Step, float* dst,
                    int dstStep, qpxSize roi, float alpha) {
    for (int y = 0; y < roi.height; ++y) {
        int x = 0;
        const float *a = row(src1, src1Step, y), *b = row(src2, src2Step, y);
        float* d = row(dst, dstStep, y);
        blend_span<Wide>(a, b, d, x, roi.width, alpha);
        blend_span<One>(a, b, d, x, roi.width, alpha);
    }
}

// |a - b|, or |a - value| for a constant. Rows may be up to INT_MAX elements long, so the loops
// compare what is left of the row instead of forming x + lanes.
template <class L, bool constant, class T>
void abs_span(const T* a, const T* b, T value, T* d, int& x, int n) {
    constexpr int N = L::template lanes<T>;
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

template <class T>
void abs_diff(const T* src1, int src1Step, const T* src2, int src2Step, T* dst, int dstStep,
              int elems, int height) {
    for (int y = 0; y < height; ++y) {
        const T *a = row(src1, src1Step, y), *b = row(src2, src2Step, y);
        T* d = row(dst, dstStep, y);
        int x = 0;
        abs_span<Wide, false>(a, b, T(0), d, x, elems);
        abs_span<One, false>(a, b, T(0), d, x, elems);
    }
}

template <class T, class V>
void abs_diff_c(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, V value) {
    const T v = static_cast<T>(value);
    for (int y = 0; y < roi.height; ++y) {
        const T* a = row(src, srcStep, y);
        T* d = row(dst, dstStep, y);
        int x = 0;
        abs_span<Wide, true>(a, a, v, d, x, roi.width);
        abs_span<One, true>(a, a, v, d, x, roi.width);
    }
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
