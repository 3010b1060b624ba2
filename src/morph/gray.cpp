// Grey-scale morphology: the spec, and the entry into the kernels of the chosen target.
#include "morph/gray.hpp"

namespace qpx::morph {

template <class V>
void gray_init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize maskSize,
               qpxPoint anchor) {
    unsigned char* own = reinterpret_cast<unsigned char*>(spec) + sizeof(GrayHeader);
    const GrayHeader h{maskSize.width, maskSize.height, anchor.x, anchor.y,
                       roi.width,      roi.height,      own};
    // The values go first and by memmove: a caller may hand in values that lie in the spec's
    // own memory, which the header would otherwise overwrite before they are read.
    std::memmove(own, values, sizeof(V) * std::size_t(maskSize.width) * maskSize.height);
    std::memcpy(spec, &h, sizeof h);
}

bool gray_fits_in_place(const qpxMorphGrayState* spec, int width, int elemSize) {
    return std::int64_t(gray_ring_rows(gray_header(spec))) * width * elemSize <= kGrayRingBytes;
}

template <class T, bool dilate>
void gray_morph(Target t, View<const T> src, View<T> dst, const qpxMorphGrayState* spec) {
    const GrayKernels& k = gray_kernels(t);
    if constexpr (std::is_same_v<T, float>)
        k.f32[dilate](src, dst, spec);
    else
        k.u8[dilate](src, dst, spec);
}

template void gray_init<std::int32_t>(qpxMorphGrayState*, qpxSize, const std::int32_t*, qpxSize,
                                      qpxPoint);
template void gray_init<float>(qpxMorphGrayState*, qpxSize, const float*, qpxSize, qpxPoint);
template void gray_morph<std::uint8_t, true>(Target, View<const std::uint8_t>, View<std::uint8_t>,
                                             const qpxMorphGrayState*);
template void gray_morph<std::uint8_t, false>(Target, View<const std::uint8_t>, View<std::uint8_t>,
                                              const qpxMorphGrayState*);
template void gray_morph<float, true>(Target, View<const float>, View<float>,
                                      const qpxMorphGrayState*);
template void gray_morph<float, false>(Target, View<const float>, View<float>,
                                       const qpxMorphGrayState*);

}  // namespace qpx::morph
