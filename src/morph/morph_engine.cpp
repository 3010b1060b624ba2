// One erosion or dilation stage: the entry into the kernels of the chosen target.
#include "morph/morph_engine.hpp"

namespace qpx::morph {

template <class T, int C>
void apply(Target t, Op op, View<const T> src, View<T> dst, std::uint32_t border, const T* value,
           const qpxMorphState* spec, std::uint8_t* buffer) {
    const StageKernels& k = stage_kernels(t);
    ApplyFn<T, C> fn;
    if constexpr (std::is_same_v<T, std::uint8_t> && C == 1)
        fn = k.u8c1;
    else if constexpr (std::is_same_v<T, std::uint8_t> && C == 3)
        fn = k.u8c3;
    else if constexpr (std::is_same_v<T, std::uint8_t>)
        fn = k.u8c4;
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        fn = k.u16c1;
    else if constexpr (std::is_same_v<T, std::int16_t>)
        fn = k.s16c1;
    else if constexpr (C == 1)
        fn = k.f32c1;
    else if constexpr (C == 3)
        fn = k.f32c3;
    else
        fn = k.f32c4;
    fn(op, src, dst, border, value, spec, buffer);
}

void apply_1u(Target t, Op op, View<const std::uint8_t> src, int srcBitOffset,
              View<std::uint8_t> dst, int dstBitOffset, std::uint32_t border, std::uint8_t value,
              const qpxMorphState* spec, std::uint8_t* buffer) {
    stage_kernels(t).bits(op, src, srcBitOffset, dst, dstBitOffset, border, value, spec, buffer);
}

#define QPX_MORPH_APPLY(T, C)                                                              \
    template void apply<T, C>(Target, Op, View<const T>, View<T>, std::uint32_t, const T*, \
                              const qpxMorphState*, std::uint8_t*);
QPX_MORPH_APPLY(std::uint8_t, 1)
QPX_MORPH_APPLY(std::uint8_t, 3)
QPX_MORPH_APPLY(std::uint8_t, 4)
QPX_MORPH_APPLY(std::uint16_t, 1)
QPX_MORPH_APPLY(std::int16_t, 1)
QPX_MORPH_APPLY(float, 1)
QPX_MORPH_APPLY(float, 3)
QPX_MORPH_APPLY(float, 4)
#undef QPX_MORPH_APPLY

}  // namespace qpx::morph
