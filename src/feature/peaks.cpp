// Peak finding: the kernels of the chosen vector target (peaks_kern.cpp).
#include "feature/peaks.hpp"

#include <cstdint>

namespace qpx::feature {

template <class T>
void find_peaks3x3(Target t, View<const T> src, T threshold, qpxPoint* peak, int maxPeakCount,
                   int* peakCount, int norm, int border) {
    const PeakKernels& k = peak_kernels(t);
    if constexpr (std::is_same_v<T, float>)
        k.f32(src, threshold, peak, maxPeakCount, peakCount, norm, border);
    else
        k.s32(src, threshold, peak, maxPeakCount, peakCount, norm, border);
}

int find_peaks_buffer_size(int roiWidth) {
    const std::uint32_t v = ((32u * std::uint32_t(roiWidth) + 160u) & ~127u) + 32u;
    return static_cast<int>(v);
}

template void find_peaks3x3<float>(Target, View<const float>, float, qpxPoint*, int, int*, int,
                                   int);
template void find_peaks3x3<std::int32_t>(Target, View<const std::int32_t>, std::int32_t, qpxPoint*,
                                          int, int*, int, int);

}  // namespace qpx::feature
