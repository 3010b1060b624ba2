// Exports of the peak finder: one shared check, one line per export.
#include "feature/peaks.hpp"
#include "frame/decl.hpp"

namespace qpx::feature {
namespace {

// (src, srcStep, roi, threshold, peak, maxPeakCount, peakCount, norm, border, buffer). The size
// test covers the ROI, the capacity and the border width, which fits twice into the ROI.
constexpr Rule border_width_ok = [](const Val* a, int k) {
    return a[k].i >= 1 && a[k].i <= a[2].i / 2 && a[k].i <= a[2].h / 2;
};
constexpr Rule norm_ok = [](const Val* a, int k) { return one_of(a[k].i, 0, 1); };
constexpr const Decl& kPeaks =
    decl<ptr(0), ptr(4), ptr(6), ptr(9), size(2), count(5),
         code(8, border_width_ok, qpxStatusBadSize, 1, 0, 4, 0, 2), step(1, 2, 4, 4),
         code(7, norm_ok, qpxStatusBadArgument, 0, 2, -1, 0, 2)>;
// (roiWidth, bufferSize)
constexpr const Decl& kPeaksSize = decl<ptr(1), count(0)>;

template <class T>
qpxStatus peaks(const T* src, int srcStep, qpxSize roi, T threshold, qpxPoint* peak,
                int maxPeakCount, int* peakCount, int norm, int border,
                const std::uint8_t* buffer) {
    qpxStatus st = check_args(kPeaks, src, srcStep, roi, threshold, peak, maxPeakCount, peakCount,
                              norm, border, buffer);
    if (st) return st;
    find_peaks3x3<T>(cpu_target(), view(src, srcStep, roi), threshold, peak, maxPeakCount,
                     peakCount, norm, border);
    return qpxStatusOk;
}

qpxStatus peaks_buffer_size(int roiWidth, int* bufferSize) {
    qpxStatus st = check_args(kPeaksSize, roiWidth, bufferSize);
    if (st) return st;
    *bufferSize = find_peaks_buffer_size(roiWidth);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::feature

using namespace qpx::feature;

QPX_DECLARE(qpxiFindPeaks3x3_32f_C1R, kPeaks)
QPX_EXPORT qpxStatus qpxiFindPeaks3x3_32f_C1R(const float* src, int srcStep, qpxSize roiSize,
                                              float threshold, qpxPoint* peak, int maxPeakCount,
                                              int* peakCount, int norm, int border,
                                              uint8_t* buffer) {
    return peaks<float>(src, srcStep, roiSize, threshold, peak, maxPeakCount, peakCount, norm,
                        border, buffer);
}
QPX_DECLARE(qpxiFindPeaks3x3_32s_C1R, kPeaks)
QPX_EXPORT qpxStatus qpxiFindPeaks3x3_32s_C1R(const int32_t* src, int srcStep, qpxSize roiSize,
                                              int32_t threshold, qpxPoint* peak, int maxPeakCount,
                                              int* peakCount, int norm, int border,
                                              uint8_t* buffer) {
    return peaks<int32_t>(src, srcStep, roiSize, threshold, peak, maxPeakCount, peakCount, norm,
                          border, buffer);
}
QPX_DECLARE(qpxiFindPeaks3x3GetBufferSize_32f_C1R, kPeaksSize)
QPX_EXPORT qpxStatus qpxiFindPeaks3x3GetBufferSize_32f_C1R(int roiWidth, int* bufferSize) {
    return peaks_buffer_size(roiWidth, bufferSize);
}
QPX_DECLARE(qpxiFindPeaks3x3GetBufferSize_32s_C1R, kPeaksSize)
QPX_EXPORT qpxStatus qpxiFindPeaks3x3GetBufferSize_32s_C1R(int roiWidth, int* bufferSize) {
    return peaks_buffer_size(roiWidth, bufferSize);
}
