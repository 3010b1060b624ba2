// Morphological reconstruction: the buffer size, and the entry into the kernels of the chosen
// target.
#include "morph/reconstruct.hpp"

namespace qpx::morph {

std::int32_t reconstruct_buffer_bytes(qpxDataType type, qpxSize roi) {
    const std::uint32_t w = static_cast<std::uint32_t>(roi.width);
    const std::uint32_t h = static_cast<std::uint32_t>(roi.height);
    std::uint32_t n;
    switch (type) {
        case qpx8u:
            n = 4 * w + h + 161;
            break;
        case qpx16u:
            n = 2 * (4 * w + h) + 322;
            break;
        case qpx32f:
            n = 16 * w + h + 164;
            break;
        case qpx64f:
            n = 32 * w + h + 168;
            break;
        default:
            n = 0;
            break;
    }
    return static_cast<std::int32_t>(n);
}

template <Recon op, class T>
void reconstruct(Target t, View<const T> mask, View<T> marker, std::uint8_t* buffer,
                 bool eightConn) {
    const ReconKernels& k = recon_kernels(t);
    const int i = op == Recon::Dilate ? 0 : 1;
    if constexpr (std::is_same_v<T, std::uint8_t>)
        k.u8[i](mask, marker, buffer, eightConn);
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        k.u16[i](mask, marker, buffer, eightConn);
    else if constexpr (std::is_same_v<T, float>)
        k.f32[i](mask, marker, buffer, eightConn);
    else
        k.f64[i](mask, marker, buffer, eightConn);
}

#define QPX_RECON_INSTANCE(op, T) \
    template void reconstruct<op, T>(Target, View<const T>, View<T>, std::uint8_t*, bool);
QPX_RECON_INSTANCE(Recon::Dilate, std::uint8_t)
QPX_RECON_INSTANCE(Recon::Dilate, std::uint16_t)
QPX_RECON_INSTANCE(Recon::Dilate, float)
QPX_RECON_INSTANCE(Recon::Dilate, double)
QPX_RECON_INSTANCE(Recon::Erode, std::uint8_t)
QPX_RECON_INSTANCE(Recon::Erode, std::uint16_t)
QPX_RECON_INSTANCE(Recon::Erode, float)
QPX_RECON_INSTANCE(Recon::Erode, double)
#undef QPX_RECON_INSTANCE

}  // namespace qpx::morph
