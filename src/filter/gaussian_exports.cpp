// Exports of the Gaussian filter: the size queries, the two initialisers, and one line per
// filtering entry point. Every filtering call, 32- or 64-bit, ends in the same engine.
#include <cstring>

#include "filter/gaussian.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"

namespace qpx::filter {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;
using i64 = std::int64_t;

template <class T>
constexpr int type_code() {
    if constexpr (std::is_same_v<T, u8>)
        return qpx8u;
    else if constexpr (std::is_same_v<T, u16>)
        return qpx16u;
    else if constexpr (std::is_same_v<T, s16>)
        return qpx16s;
    else
        return qpx32f;
}

// The checks shared by both spec-size queries.
qpxStatus spec_size_checks(int ks, int dataType, int channels) {
    return Check()
        .require(gauss_kernel_ok(ks), qpxStatusBadArgument)
        .require(gauss_type_ok(dataType), qpxStatusBadDataType)
        .require(gauss_channels_ok(channels), qpxStatusBadChannel);
}

// The checks shared by both initialisers, up to the border rule that differs between them.
qpxStatus init_checks(const void* spec, const void* buffer, i64 w, i64 h, int ks, float sigma,
                      int dataType, int channels) {
    return Check()
        .ptrs(spec, buffer)
        .size(qpxSizeL{w, h})
        .fits32(qpxSizeL{w, h})
        .require(gauss_kernel_ok(ks), qpxStatusBadArgument)
        .require(gauss_type_ok(dataType), qpxStatusBadDataType)
        .require(gauss_channels_ok(channels), qpxStatusBadChannel)
        .require(sigma > 0.0f, qpxStatusBadArgument);  // NaN fails too
}

// The engine's checks after its pointers, then the filtering. For the 32-bit interface the
// engine spec follows the header, whose size comes from the header's kernel size and T.
template <class T, int C>
qpxStatus filter(const T* src, i64 srcStep, T* dst, i64 dstStep, i64 w, i64 h, std::uint32_t border,
                 const T* bv, const void* spec, bool wrapped, void* buffer) {
    qpxStatus st =
        Check()
            .step(stepOf<T>(srcStep, w, C))
            .step(stepOf<T>(dstStep, w, C))
            .size(qpxSizeL{w, h})
            .fits32(qpxSizeL{w, h}, srcStep, dstStep)
            .multiple(stepOf<T>(srcStep, w, C))
            .multiple(stepOf<T>(dstStep, w, C))
            .require(border <= 255, qpxStatusBadBorder)
            .require((border & 15u) != kBorderConst || bv != nullptr, qpxStatusNullPointer)
            .require(accept_gaussian_border(border), qpxStatusBadBorder);
    if (st) return st;
    const void* engine = spec;
    if (wrapped) {
        GaussHeader head;
        std::memcpy(&head, spec, sizeof head);
        if (!gauss_kernel_ok(head.kernelSize)) return qpxStatusBadArgument;
        engine =
            static_cast<const char*>(spec) + gauss_header_size(head.kernelSize, type_code<T>());
    }
    if (!gauss_kernel_ok(gauss_spec_kernel(engine))) return qpxStatusBadArgument;
    gaussian<T, C>(cpu_target(), View<const T>(src, srcStep, w, h, C),
                   View<T>(dst, dstStep, w, h, C), border, bv, engine, buffer);
    return qpxStatusOk;
}

template <class T, int C>
qpxStatus filter_l(const T* src, i64 srcStep, T* dst, i64 dstStep, i64 w, i64 h,
                   std::uint32_t border, const T* bv, const void* spec, void* buffer) {
    if (qpxStatus st = Check().ptrs(src, dst, buffer, spec); st) return st;
    return filter<T, C>(src, srcStep, dst, dstStep, w, h, border, bv, spec, false, buffer);
}

template <class T, int C>
qpxStatus filter_32(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                    std::uint32_t border, const T* bv, const void* spec, void* buffer) {
    qpxStatus st = Check()
                       .ptrs(src, dst, spec, buffer)
                       .require(srcStep >= 1 && dstStep >= 1, qpxStatusBadStep)
                       .size(roi);
    if (st) return st;
    return filter<T, C>(src, srcStep, dst, dstStep, roi.width, roi.height, border, bv, spec, true,
                        buffer);
}

// The border type comes from the header that the 32-bit Init wrote.
template <class T, int C>
qpxStatus filter_border(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, const T* bv,
                        const void* spec, void* buffer) {
    if (!spec) return qpxStatusNullPointer;
    GaussHeader head;
    std::memcpy(&head, spec, sizeof head);
    return filter_32<T, C>(src, srcStep, dst, dstStep, roi, head.borderType, bv, spec, buffer);
}

}  // namespace
}  // namespace qpx::filter

using namespace qpx;
using namespace qpx::filter;

QPX_EXPORT qpxStatus qpxiFilterGaussianGetSpecSize_L(int kernelSize, qpxDataType dataType,
                                                     int numChannels, std::int64_t* specSize,
                                                     std::int64_t* initBufferSize) {
    qpxStatus st = Check().ptrs(specSize, initBufferSize);
    if (!st) st = spec_size_checks(kernelSize, dataType, numChannels);
    if (st) return st;
    *specSize = gauss_engine_spec_size(kernelSize);
    *initBufferSize = 64;
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiFilterGaussianGetSpecSize(int kernelSize, qpxDataType dataType,
                                                   int numChannels, int* specSize,
                                                   int* initBufferSize) {
    qpxStatus st = Check().ptrs(specSize, initBufferSize);
    if (!st) st = spec_size_checks(kernelSize, dataType, numChannels);
    if (st) return st;
    *specSize = static_cast<int>(gauss_engine_spec_size(kernelSize));
    *initBufferSize = 64;
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiFilterGaussianGetBufferSize_L(std::int64_t roiWidth,
                                                       std::int64_t roiHeight, int kernelSize,
                                                       qpxDataType dataType,
                                                       qpxBorderType borderType, int numChannels,
                                                       std::int64_t* bufferSize) {
    qpxStatus st = Check()
                       .ptrs(bufferSize)
                       .size(qpxSizeL{roiWidth, roiHeight})
                       .fits32(qpxSizeL{roiWidth, roiHeight})
                       .require(gauss_kernel_ok(kernelSize), qpxStatusBadArgument)
                       .require(gauss_type_ok(dataType), qpxStatusBadDataType)
                       .require(gauss_channels_ok(numChannels), qpxStatusBadChannel)
                       .require(borderType <= 255, qpxStatusBadBorder)
                       .require(accept_gaussian_border(borderType), qpxStatusBadBorder);
    if (st) return st;
    *bufferSize = gauss_engine_buffer_size(roiWidth, kernelSize, numChannels);
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiFilterGaussianGetBufferSize(qpxSize roiSize, int kernelSize,
                                                     qpxDataType dataType, int numChannels,
                                                     int* specSize, int* bufferSize) {
    qpxStatus st = Check()
                       .ptrs(specSize, bufferSize)
                       .size(roiSize)
                       .require(gauss_kernel_ok(kernelSize), qpxStatusBadArgument)
                       .require(gauss_type_ok(dataType), qpxStatusBadDataType)
                       .require(gauss_channels_ok(numChannels), qpxStatusBadChannel);
    if (st) return st;
    *specSize = static_cast<int>(gauss_header_size(kernelSize, dataType) +
                                 gauss_engine_spec_size(kernelSize));
    *bufferSize = static_cast<int>(gauss_buffer_size(roiSize, kernelSize, dataType, numChannels));
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiFilterGaussianInit_L(std::int64_t roiWidth, std::int64_t roiHeight,
                                              int kernelSize, float sigma, qpxBorderType borderType,
                                              qpxDataType dataType, int numChannels,
                                              qpxFilterGaussianSpec* spec,
                                              std::uint8_t* initBuffer) {
    qpxStatus st = init_checks(spec, initBuffer, roiWidth, roiHeight, kernelSize, sigma, dataType,
                               numChannels);
    if (!st && !accept_gaussian_border(borderType)) st = qpxStatusBadBorder;
    if (st) return st;
    gauss_init_engine(spec, kernelSize, sigma, dataType);
    return qpxStatusOk;
}

QPX_EXPORT qpxStatus qpxiFilterGaussianInit(qpxSize roiSize, int kernelSize, float sigma,
                                            qpxBorderType borderType, qpxDataType dataType,
                                            int numChannels, qpxFilterGaussianSpec* spec,
                                            std::uint8_t* buffer) {
    qpxStatus st = init_checks(spec, buffer, roiSize.width, roiSize.height, kernelSize, sigma,
                               dataType, numChannels);
    if (!st && !accept_filter_border(borderType)) st = qpxStatusBadBorder;
    if (st) return st;
    auto* bytes = reinterpret_cast<unsigned char*>(spec);
    const std::int64_t headBytes = gauss_header_size(kernelSize, dataType);
    std::memset(bytes, 0, static_cast<std::size_t>(headBytes));
    const GaussHeader head{kernelSize, dataType, borderType, numChannels};
    std::memcpy(bytes, &head, sizeof head);
    gauss_init_engine(bytes + headBytes, kernelSize, sigma, dataType);
    return qpxStatusOk;
}

#define QPX_GAUSS_EXPORTS(tag, T)                                                             \
    QPX_EXPORT qpxStatus qpxiFilterGaussian_##tag##_C1R_L(                                    \
        const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep, std::int64_t w,     \
        std::int64_t h, qpxBorderType border, const T* bv, const qpxFilterGaussianSpec* spec, \
        std::uint8_t* buffer) {                                                               \
        return filter_l<T, 1>(src, srcStep, dst, dstStep, w, h, border, bv, spec, buffer);    \
    }                                                                                         \
    QPX_EXPORT qpxStatus qpxiFilterGaussian_##tag##_C3R_L(                                    \
        const T* src, std::int64_t srcStep, T* dst, std::int64_t dstStep, std::int64_t w,     \
        std::int64_t h, qpxBorderType border, const T* bv, const qpxFilterGaussianSpec* spec, \
        std::uint8_t* buffer) {                                                               \
        return filter_l<T, 3>(src, srcStep, dst, dstStep, w, h, border, bv, spec, buffer);    \
    }                                                                                         \
    QPX_EXPORT qpxStatus qpxiFilterGaussian_##tag##_C1R(                                      \
        const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, qpxBorderType border,    \
        const T* bv, const qpxFilterGaussianSpec* spec, std::uint8_t* buffer) {               \
        return filter_32<T, 1>(src, srcStep, dst, dstStep, roi, border, bv, spec, buffer);    \
    }                                                                                         \
    QPX_EXPORT qpxStatus qpxiFilterGaussian_##tag##_C3R(                                      \
        const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, qpxBorderType border,    \
        const T* bv, const qpxFilterGaussianSpec* spec, std::uint8_t* buffer) {               \
        return filter_32<T, 3>(src, srcStep, dst, dstStep, roi, border, bv, spec, buffer);    \
    }                                                                                         \
    QPX_EXPORT qpxStatus qpxiFilterGaussianBorder_##tag##_C1R(                                \
        const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, T bv,                    \
        const qpxFilterGaussianSpec* spec, std::uint8_t* buffer) {                            \
        return filter_border<T, 1>(src, srcStep, dst, dstStep, roi, &bv, spec, buffer);       \
    }                                                                                         \
    QPX_EXPORT qpxStatus qpxiFilterGaussianBorder_##tag##_C3R(                                \
        const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, const T bv[3],           \
        const qpxFilterGaussianSpec* spec, std::uint8_t* buffer) {                            \
        return filter_border<T, 3>(src, srcStep, dst, dstStep, roi, bv, spec, buffer);        \
    }

QPX_GAUSS_EXPORTS(8u, std::uint8_t)
QPX_GAUSS_EXPORTS(16u, std::uint16_t)
QPX_GAUSS_EXPORTS(16s, std::int16_t)
QPX_GAUSS_EXPORTS(32f, float)
