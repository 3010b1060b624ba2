// Exports of morphological reconstruction: one declaration of the checks, one line per export.
#include "frame/decl.hpp"
#include "morph/reconstruct.hpp"

namespace qpx::morph {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

// Negative norms are no connectivity either: the test is on the unsigned code.
constexpr Rule connectivity_ok = [](const Val* a, int k) { return std::uint32_t(a[k].i) <= 1u; };
// (src, srcStep, srcDst, srcDstStep, roi, buffer, norm)
template <class T>
constexpr const Decl& kRecon =
    decl<ptr(0), ptr(2), ptr(5), size(4), step<T>(1, 4), step<T>(3, 4),
         code(6, connectivity_ok, qpxStatusBadArgument, qpxNormInf, 2, -1, 0, 2)>;
constexpr Rule recon_type_ok = [](const Val* a, int k) {
    return one_of(a[k].i, qpx8u, qpx16u) || one_of(a[k].i, qpx32f, qpx64f);
};
constexpr Rule one_channel = [](const Val* a, int k) { return a[k].i == 1; };
// (roi, dataType, numChannels, bufferSize)
constexpr const Decl& kReconSize =
    decl<ptr(3), size(0), code(1, recon_type_ok, qpxStatusBadDataType, qpx8u, qpx16s, 0, 0, 2),
         code(2, one_channel, qpxStatusBadChannelCount, 1, 3, 0, 0, 2)>;

template <Recon op, class T>
qpxStatus recon(const T* src, int srcStep, T* srcDst, int srcDstStep, qpxSize roi, u8* buffer,
                qpxNormType norm) {
    qpxStatus st = check_args(kRecon<T>, src, srcStep, srcDst, srcDstStep, roi, buffer, norm);
    if (st) return st;
    reconstruct<op, T>(cpu_target(), view(src, srcStep, roi), view(srcDst, srcDstStep, roi), buffer,
                       norm == qpxNormInf);
    return qpxStatusOk;
}

}  // namespace
}  // namespace qpx::morph

using namespace qpx::morph;

QPX_DECLARE(qpxiMorphReconstructGetBufferSize, kReconSize)
QPX_EXPORT qpxStatus qpxiMorphReconstructGetBufferSize(qpxSize roiSize, qpxDataType dataType,
                                                       int numChannels, int* bufferSize) {
    qpxStatus st = qpx::check_args(kReconSize, roiSize, dataType, numChannels, bufferSize);
    if (st) return st;
    *bufferSize = qpx::morph::reconstruct_buffer_bytes(dataType, roiSize);
    return qpxStatusOk;
}

#define QPX_RECON_EXPORT(name, op, T)                                                            \
    QPX_DECLARE(name, kRecon<T>)                                                                 \
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
