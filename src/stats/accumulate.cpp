// Accumulation and differencing: the exports' entry into the kernels of the chosen target.
#include "stats/accumulate.hpp"

namespace qpx::stats {

template <AccOp op, class T>
void accumulate(Target t, const T* src1, int src1Step, const T* src2, int src2Step,
                const std::uint8_t* mask, int maskStep, float* acc, int accStep, qpxSize roi,
                float alpha) {
    const AccumulateKernels& k = accumulate_kernels(t);
    AccFn<T> fn;
    if constexpr (std::is_same_v<T, std::uint8_t>)
        fn = k.acc8[int(op)][mask != nullptr];
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        fn = k.acc16[int(op)][mask != nullptr];
    else
        fn = k.acc32[int(op)][mask != nullptr];
    fn(src1, src1Step, src2, src2Step, mask, maskStep, acc, accStep, roi, alpha);
}

void weighted_blend(Target t, const float* src1, int src1Step, const float* src2, int src2Step,
                    float* dst, int dstStep, qpxSize roi, float alpha) {
    accumulate_kernels(t).blend(src1, src1Step, src2, src2Step, dst, dstStep, roi, alpha);
}

template <class T>
void abs_diff(Target t, const T* src1, int src1Step, const T* src2, int src2Step, T* dst,
              int dstStep, int elems, int height) {
    const AccumulateKernels& k = accumulate_kernels(t);
    if constexpr (std::is_same_v<T, std::uint8_t>)
        k.abs8(src1, src1Step, src2, src2Step, dst, dstStep, elems, height);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.abs16(src1, src1Step, src2, src2Step, dst, dstStep, elems, height);
    else
        k.abs32(src1, src1Step, src2, src2Step, dst, dstStep, elems, height);
}

template <class T, class V>
void abs_diff_c(Target t, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, V value) {
    const AccumulateKernels& k = accumulate_kernels(t);
    if constexpr (std::is_same_v<T, std::uint8_t>)
        k.absc8(src, srcStep, dst, dstStep, roi, value);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.absc16(src, srcStep, dst, dstStep, roi, value);
    else
        k.absc32(src, srcStep, dst, dstStep, roi, value);
}

#define QPX_ACC_INSTANCE(op, T)                                                  \
    template void accumulate<AccOp::op, T>(Target, const T*, int, const T*, int, \
                                           const std::uint8_t*, int, float*, int, qpxSize, float);
#define QPX_ACC_INSTANCES(T) \
    QPX_ACC_INSTANCE(Add, T) \
    QPX_ACC_INSTANCE(Square, T) QPX_ACC_INSTANCE(Product, T) QPX_ACC_INSTANCE(Weighted, T)
QPX_ACC_INSTANCES(std::uint8_t)
QPX_ACC_INSTANCES(std::uint16_t)
QPX_ACC_INSTANCES(float)
template void abs_diff<std::uint8_t>(Target, const std::uint8_t*, int, const std::uint8_t*, int,
                                     std::uint8_t*, int, int, int);
template void abs_diff<std::uint16_t>(Target, const std::uint16_t*, int, const std::uint16_t*, int,
                                      std::uint16_t*, int, int, int);
template void abs_diff<float>(Target, const float*, int, const float*, int, float*, int, int, int);
template void abs_diff_c<std::uint8_t, int>(Target, const std::uint8_t*, int, std::uint8_t*, int,
                                            qpxSize, int);
template void abs_diff_c<std::uint16_t, int>(Target, const std::uint16_t*, int, std::uint16_t*, int,
                                             qpxSize, int);
template void abs_diff_c<float, float>(Target, const float*, int, float*, int, qpxSize, float);

}  // namespace qpx::stats
