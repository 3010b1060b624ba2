// Exports of morphological reconstruction: one shared check, one line per export.
#include "frame/check.hpp"
#include "morph/reconstruct.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

template <Recon op, class T>
qpxStatus recon(const T* src, int srcStep, T* srcDst, int srcDstStep, qpxSize roi, u8* buffer,
                qpxNormType norm) {
    // Negative norms are no connectivity either: the test is on the unsigned code.
    qpxStatus st = Check()
                       .ptrs(src, srcDst, buffer)
                       .size(roi)
                       .steps({stepOf<T>(srcStep, roi.width), stepOf<T>(srcDstStep, roi.width)})
                       .require(static_cast<std::uint32_t>(norm) <= 1u, qpxStatusBadArgument);
    if (st) return st;
    reconstruct<op, T>(cpu_target(), view(src, srcStep, roi), view(srcDst, srcDstStep, roi), buffer,
                       norm == qpxNormInf);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using qpx::morph::Recon;
using qpx::morph::recon;

QPX_EXPORT qpxStatus qpxiMorphReconstructGetBufferSize(qpxSize roiSize, qpxDataType dataType,
                                                       int numChannels, int* bufferSize) {
    const bool known =
        dataType == qpx8u || dataType == qpx16u || dataType == qpx32f || dataType == qpx64f;
    qpxStatus st = qpx::Check()
                       .ptrs(bufferSize)
                       .size(roiSize)
                       .require(known, qpxStatusBadDataType)
                       .require(numChannels == 1, qpxStatusBadChannelCount);
    if (st) return st;
    *bufferSize = qpx::morph::reconstruct_buffer_bytes(dataType, roiSize);
    return qpxStatusOk;
}

#define QPX_RECON_EXPORT(name, op, T)                                                            \
    QPX_EXPORT qpxStatus name(const T* src, int srcStep, T* srcDst, int srcDstStep, qpxSize roi, \
                              std::uint8_t* buffer, qpxNormType norm) {                          \
        return recon<op, T>(src, srcStep, srcDst, srcDstStep, roi, buffer, norm);                \
    }

QPX_RECON_EXPORT(qpxiMorphReconstructDilate_8u_C1IR, Recon::Dilate, std::uint8_t)
QPX_RECON_EXPORT(qpxiMorphReconstructDilate_16u_C1IR, Recon::Dilate, std::uint16_t)
QPX_RECON_EXPORT(qpxiMorphReconstructDilate_32f_C1IR, Recon::Dilate, float)
QPX_RECON_EXPORT(qpxiMorphReconstructDilate_64f_C1IR, Recon::Dilate, double)
QPX_RECON_EXPORT(qpxiMorphReconstructErode_8u_C1IR, Recon::Erode, std::uint8_t)
QPX_RECON_EXPORT(qpxiMorphReconstructErode_16u_C1IR, Recon::Erode, std::uint16_t)
QPX_RECON_EXPORT(qpxiMorphReconstructErode_32f_C1IR, Recon::Erode, float)
QPX_RECON_EXPORT(qpxiMorphReconstructErode_64f_C1IR, Recon::Erode, double)
