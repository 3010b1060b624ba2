// Accumulation and differencing: the exports' entry into the kernels of the chosen target.
#include "stats/accumulate.hpp"

namespace qpx::stats {

template <AccOp op, class T>
void accumulate(Target t, View<const T> src1, View<const T> src2, View<const std::uint8_t> mask,
                View<float> acc, float alpha) {
    const AccumulateKernels& k = accumulate_kernels(t);
    AccFn<T> fn;
    if constexpr (std::is_same_v<T, std::uint8_t>)
        fn = k.acc8[int(op)][mask.data != nullptr];
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        fn = k.acc16[int(op)][mask.data != nullptr];
    else
        fn = k.acc32[int(op)][mask.data != nullptr];
    fn(src1, src2, mask, acc, alpha);
}

void weighted_blend(Target t, View<const float> src1, View<const float> src2, View<float> dst,
                    float alpha) {
    accumulate_kernels(t).blend(src1, src2, dst, alpha);
}

template <class T>
void abs_diff(Target t, View<const T> src1, View<const T> src2, View<T> dst) {
    const AccumulateKernels& k = accumulate_kernels(t);
    if constexpr (std::is_same_v<T, std::uint8_t>)
        k.abs8(src1, src2, dst);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.abs16(src1, src2, dst);
    else
        k.abs32(src1, src2, dst);
}

template <class T, class V>
void abs_diff_c(Target t, View<const T> src, View<T> dst, V value) {
    const AccumulateKernels& k = accumulate_kernels(t);
    if constexpr (std::is_same_v<T, std::uint8_t>)
        k.absc8(src, dst, value);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.absc16(src, dst, value);
    else
        k.absc32(src, dst, value);
}

#define QPX_ACC_INSTANCE(op, T)                                                  \
    template void accumulate<AccOp::op, T>(Target, View<const T>, View<const T>, \
                                           View<const std::uint8_t>, View<float>, float);
#define QPX_ACC_INSTANCES(T) \
    QPX_ACC_INSTANCE(Add, T) \
    QPX_ACC_INSTANCE(Square, T) QPX_ACC_INSTANCE(Product, T) QPX_ACC_INSTANCE(Weighted, T)
QPX_ACC_INSTANCES(std::uint8_t)
QPX_ACC_INSTANCES(std::uint16_t)
QPX_ACC_INSTANCES(float)
template void abs_diff<std::uint8_t>(Target, View<const std::uint8_t>, View<const std::uint8_t>,
                                     View<std::uint8_t>);
template void abs_diff<std::uint16_t>(Target, View<const std::uint16_t>, View<const std::uint16_t>,
                                      View<std::uint16_t>);
template void abs_diff<float>(Target, View<const float>, View<const float>, View<float>);
template void abs_diff_c<std::uint8_t, int>(Target, View<const std::uint8_t>, View<std::uint8_t>,
                                            int);
template void abs_diff_c<std::uint16_t, int>(Target, View<const std::uint16_t>, View<std::uint16_t>,
                                             int);
template void abs_diff_c<float, float>(Target, View<const float>, View<float>, float);

}  // namespace qpx::stats
