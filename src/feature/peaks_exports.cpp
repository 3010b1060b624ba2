// Exports of the peak finder: one shared check, one line per export.
#include "feature/peaks.hpp"
#include "frame/check.hpp"

namespace qpx::feature {
namespace {

template <class T>
qpxStatus peaks(const T* src, int srcStep, qpxSize roi, T threshold, qpxPoint* peak,
                int maxPeakCount, int* peakCount, int norm, int border,
                const std::uint8_t* buffer) {
    qpxStatus st =
        Check()
            .ptrs(src, peak, peakCount, buffer)
            .require(roi.width >= 1 && roi.height >= 1 && maxPeakCount >= 1 && border >= 1 &&
                         border <= roi.width / 2 && border <= roi.height / 2,
                     qpxStatusBadSize)
            .require(srcStep / 4 >= roi.width, qpxStatusBadStep)
            .require(srcStep % 4 == 0, qpxStatusStepNotMultiple)
            .require(norm == 0 || norm == 1, qpxStatusBadArgument);
    if (st) return st;
    find_peaks3x3<T>(cpu_target(), view(src, srcStep, roi), threshold, peak, maxPeakCount,
                     peakCount, norm, border);
    return qpxStatusOk;
}

qpxStatus peaks_buffer_size(int roiWidth, int* bufferSize) {
    qpxStatus st = Check().ptrs(bufferSize).atLeast(roiWidth, 1);
    if (st) return st;
    *bufferSize = find_peaks_buffer_size(roiWidth);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::feature

using qpx::feature::peaks;
using qpx::feature::peaks_buffer_size;

QPX_EXPORT qpxStatus qpxiFindPeaks3x3_32f_C1R(const float* src, int srcStep, qpxSize roiSize,
                                              float threshold, qpxPoint* peak, int maxPeakCount,
                                              int* peakCount, int norm, int border,
                                              uint8_t* buffer) {
    return peaks<float>(src, srcStep, roiSize, threshold, peak, maxPeakCount, peakCount, norm,
                        border, buffer);
}
QPX_EXPORT qpxStatus qpxiFindPeaks3x3_32s_C1R(const int32_t* src, int srcStep, qpxSize roiSize,
                                              int32_t threshold, qpxPoint* peak, int maxPeakCount,
                                              int* peakCount, int norm, int border,
                                              uint8_t* buffer) {
    return peaks<int32_t>(src, srcStep, roiSize, threshold, peak, maxPeakCount, peakCount, norm,
                          border, buffer);
}
QPX_EXPORT qpxStatus qpxiFindPeaks3x3GetBufferSize_32f_C1R(int roiWidth, int* bufferSize) {
    return peaks_buffer_size(roiWidth, bufferSize);
}
QPX_EXPORT qpxStatus qpxiFindPeaks3x3GetBufferSize_32s_C1R(int roiWidth, int* bufferSize) {
    return peaks_buffer_size(roiWidth, bufferSize);
}
