// Grey-scale morphology: the spec, and the entry into the kernels of the chosen target.
#include "morph/gray.hpp"

namespace qpx::morph {

template <class V>
void gray_init(qpxMorphGrayState* spec, qpxSize roi, const V* values, qpxSize maskSize,
               qpxPoint anchor) {
    unsigned char* own = reinterpret_cast<unsigned char*>(spec) + sizeof(GrayHeader);
    const GrayHeader h{maskSize.width, maskSize.height, anchor.x, anchor.y,
                       roi.width,      roi.height,      own};
    std::memcpy(spec, &h, sizeof h);
    std::memcpy(own, values, sizeof(V) * std::size_t(maskSize.width) * maskSize.height);
}

bool gray_fits_in_place(const qpxMorphGrayState* spec, int width, int elemSize) {
    return std::int64_t(gray_ring_rows(gray_header(spec))) * width * elemSize <= kGrayRingBytes;
}

template <class T, bool dilate>
void gray_morph(Target t, const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                const qpxMorphGrayState* spec) {
    const GrayKernels& k = gray_kernels(t);
    if constexpr (std::is_same_v<T, float>)
        k.f32[dilate](src, srcStep, dst, dstStep, roi, spec);
    else
        k.u8[dilate](src, srcStep, dst, dstStep, roi, spec);
}

template void gray_init<std::int32_t>(qpxMorphGrayState*, qpxSize, const std::int32_t*, qpxSize,
                                      qpxPoint);
template void gray_init<float>(qpxMorphGrayState*, qpxSize, const float*, qpxSize, qpxPoint);
template void gray_morph<std::uint8_t, true>(Target, const std::uint8_t*, int, std::uint8_t*, int,
                                             qpxSize, const qpxMorphGrayState*);
template void gray_morph<std::uint8_t, false>(Target, const std::uint8_t*, int, std::uint8_t*, int,
                                              qpxSize, const qpxMorphGrayState*);
template void gray_morph<float, true>(Target, const float*, int, float*, int, qpxSize,
                                      const qpxMorphGrayState*);
template void gray_morph<float, false>(Target, const float*, int, float*, int, qpxSize,
                                       const qpxMorphGrayState*);

}  // namespace qpx::morph
