// Exports of the Gaussian filter: the size queries, the two initialisers, and one line per
// filtering entry point. Every filtering call, 32- or 64-bit, ends in the same engine.
#include <cstring>

#include "filter/gaussian.hpp"
#include "frame/border.hpp"
#include "frame/check.hpp"
#include "frame/decl.hpp"

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

constexpr Rule kernel_ok = [](const Val* a, int k) { return gauss_kernel_ok(a[k].i); };
constexpr Rule type_ok = [](const Val* a, int k) { return gauss_type_ok(int(a[k].i)); };
constexpr Rule channels_ok = [](const Val* a, int k) { return gauss_channels_ok(int(a[k].i)); };
constexpr Rule sigma_ok = [](const Val* a, int k) { return float(a[k].f) > 0.0f; };  // NaN fails
constexpr Rule border_byte = [](const Val* a, int k) { return a[k].i <= 255; };
constexpr Rule gaussian_border = [](const Val* a, int k) {
    return accept_gaussian_border(std::uint32_t(a[k].i));
};
constexpr Rule filter_border_ok = [](const Val* a, int k) {
    return accept_filter_border(std::uint32_t(a[k].i));
};
constexpr double kNaN = __builtin_nan("");

#define QPX_GAUSS_KERNEL(ks, type, channels)                          \
    code(ks, kernel_ok, qpxStatusBadArgument, 3, 4, 1, 0, 2),         \
        code(type, type_ok, qpxStatusBadDataType, qpx8u, 2, 0, 0, 2), \
        code(channels, channels_ok, qpxStatusBadChannel, 1, 2, 4, 0, 2)
// (kernelSize, dataType, numChannels, specSize, initBufferSize)
constexpr const Decl& kSpecSize = decl<ptr(3), ptr(4), QPX_GAUSS_KERNEL(0, 1, 2)>;
// (roiWidth, roiHeight, kernelSize, dataType, borderType, numChannels, bufferSize)
constexpr const Decl& kBufferSizeL =
    decl<ptr(6), size(0, 1), limit32(0), limit32(1), QPX_GAUSS_KERNEL(2, 3, 5),
         border(4, border_byte, 1, 256, 0x1001, 0x1F1), border(4, gaussian_border, 1, 2, 0x12, 0)>;
// (roi, kernelSize, dataType, numChannels, specSize, bufferSize)
constexpr const Decl& kBufferSize = decl<ptr(4), ptr(5), size(0), QPX_GAUSS_KERNEL(1, 2, 3)>;
// (roiWidth, roiHeight, kernelSize, sigma, borderType, dataType, numChannels, spec, initBuffer)
constexpr const Decl& kInitL =
    decl<ptr(7), ptr(8), size(0, 1), limit32(0), limit32(1), QPX_GAUSS_KERNEL(2, 5, 6),
         code(3, sigma_ok, qpxStatusBadArgument, 1.5, -1, 0, kNaN, 3),
         border(4, gaussian_border, 1, 2, 0x12, 0x101)>;
// (roi, kernelSize, sigma, borderType, dataType, numChannels, spec, buffer)
constexpr const Decl& kInit = decl<ptr(6), ptr(7), size(0), QPX_GAUSS_KERNEL(1, 4, 5),
                                   code(2, sigma_ok, qpxStatusBadArgument, 1.5, -1, 0, kNaN, 3),
                                   border(3, filter_border_ok, 1, 2, 0xF2, 0x101)>;
#undef QPX_GAUSS_KERNEL

constexpr Rule step_positive = [](const Val* a, int k) { return a[k].i >= 1; };
// A constant border (just before) needs its value.
constexpr Rule value_given = [](const Val* a, int k) {
    return (a[k - 1].i & 15) != kBorderConst || a[k].i != 0;
};
// The engine's rule: the row tests come before the size, the multiple tests after the 32-bit
// limit, and the border byte before its value and its kind.
#define QPX_GAUSS_ENGINE(T, C, src, dst, roi, ...)                   \
    step_row<T>(src, roi, C), step_row<T>(dst, roi, C), __VA_ARGS__, \
        step_multiple<T>(src, roi, C), step_multiple<T>(dst, roi, C)
#define QPX_GAUSS_BORDER(b)                                            \
    border(b, border_byte, kBorderConst, 256, 0x1006, 0x1F6),          \
        code(b + 1, value_given, qpxStatusNullPointer, 0, 0, 0, 0, 1), \
        border(b, gaussian_border, kBorderConst, 2, 0x12, 0)
#define QPX_POSITIVE_STEPS                                    \
    code(1, step_positive, qpxStatusBadStep, 1, 0, -1, 0, 2), \
        code(3, step_positive, qpxStatusBadStep, 1, 0, -1, 0, 2)
// (src, srcStep, dst, dstStep, width, height, border, borderValue, spec, buffer)
template <class T, int C>
constexpr const Decl& kFilterL = decl<ptr(0), ptr(2), ptr(9), ptr(8),
                                      QPX_GAUSS_ENGINE(T, C, 1, 3, 4, size(4, 5), limit32(4),
                                                       limit32(5), limit32(1), limit32(3)),
                                      QPX_GAUSS_BORDER(6)>;
// (src, srcStep, dst, dstStep, roi, border, borderValue, spec, buffer)
template <class T, int C>
constexpr const Decl& kFilter = decl<ptr(0), ptr(2), ptr(7), ptr(8), QPX_POSITIVE_STEPS, size(4),
                                     QPX_GAUSS_ENGINE(T, C, 1, 3, 4, size(4)), QPX_GAUSS_BORDER(5)>;
// (src, srcStep, dst, dstStep, roi, borderValue, spec, buffer): the border comes from the spec,
// after the declared checks.
template <class T, int C>
constexpr const Decl& kFilterBorder =
    decl<ptr(6), ptr(0), ptr(2), ptr(6), ptr(7), QPX_POSITIVE_STEPS, size(4),
         QPX_GAUSS_ENGINE(T, C, 1, 3, 4, size(4))>;
#undef QPX_GAUSS_ENGINE
#undef QPX_GAUSS_BORDER
#undef QPX_POSITIVE_STEPS

// The filtering after the checks. For the 32-bit interface the engine spec follows the header,
// whose size comes from the header's kernel size and T.
template <class T, int C>
qpxStatus run(const T* src, i64 srcStep, T* dst, i64 dstStep, i64 w, i64 h, std::uint32_t border,
              const T* bv, const void* spec, bool wrapped, void* buffer) {
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
    qpxStatus st =
        check_args(kFilterL<T, C>, src, srcStep, dst, dstStep, w, h, border, bv, spec, buffer);
    if (st) return st;
    return run<T, C>(src, srcStep, dst, dstStep, w, h, border, bv, spec, false, buffer);
}

template <class T, int C>
qpxStatus filter_32(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi,
                    std::uint32_t border, const T* bv, const void* spec, void* buffer) {
    qpxStatus st =
        check_args(kFilter<T, C>, src, srcStep, dst, dstStep, roi, border, bv, spec, buffer);
    if (st) return st;
    return run<T, C>(src, srcStep, dst, dstStep, roi.width, roi.height, border, bv, spec, true,
                     buffer);
}

// The border type comes from the header that the 32-bit Init wrote, and is checked by the
// engine's rule after the declared checks.
template <class T, int C>
qpxStatus filter_border(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, const T* bv,
                        const void* spec, void* buffer) {
    qpxStatus st =
        check_args(kFilterBorder<T, C>, src, srcStep, dst, dstStep, roi, bv, spec, buffer);
    if (st) return st;
    GaussHeader head;
    std::memcpy(&head, spec, sizeof head);
    const std::uint32_t border = head.borderType;
    st = Check()
             .require(border <= 255, qpxStatusBadBorder)
             .require((border & 15u) != kBorderConst || bv != nullptr, qpxStatusNullPointer)
             .require(accept_gaussian_border(border), qpxStatusBadBorder);
    if (st) return st;
    return run<T, C>(src, srcStep, dst, dstStep, roi.width, roi.height, border, bv, spec, true,
                     buffer);
}

}  // namespace
}  // namespace qpx::filter

using namespace qpx;
using namespace qpx::filter;

QPX_DECLARE(qpxiFilterGaussianGetSpecSize_L, kSpecSize)
QPX_EXPORT qpxStatus qpxiFilterGaussianGetSpecSize_L(int kernelSize, qpxDataType dataType,
                                                     int numChannels, std::int64_t* specSize,
                                                     std::int64_t* initBufferSize) {
    qpxStatus st =
        check_args(kSpecSize, kernelSize, dataType, numChannels, specSize, initBufferSize);
    if (st) return st;
    *specSize = gauss_engine_spec_size(kernelSize);
    *initBufferSize = 64;
    return qpxStatusOk;
}

QPX_DECLARE(qpxiFilterGaussianGetSpecSize, kSpecSize)
QPX_EXPORT qpxStatus qpxiFilterGaussianGetSpecSize(int kernelSize, qpxDataType dataType,
                                                   int numChannels, int* specSize,
                                                   int* initBufferSize) {
    qpxStatus st =
        check_args(kSpecSize, kernelSize, dataType, numChannels, specSize, initBufferSize);
    if (st) return st;
    *specSize = static_cast<int>(gauss_engine_spec_size(kernelSize));
    *initBufferSize = 64;
    return qpxStatusOk;
}

QPX_DECLARE(qpxiFilterGaussianGetBufferSize_L, kBufferSizeL)
QPX_EXPORT qpxStatus qpxiFilterGaussianGetBufferSize_L(std::int64_t roiWidth,
                                                       std::int64_t roiHeight, int kernelSize,
                                                       qpxDataType dataType,
                                                       qpxBorderType borderType, int numChannels,
                                                       std::int64_t* bufferSize) {
    qpxStatus st = check_args(kBufferSizeL, roiWidth, roiHeight, kernelSize, dataType, borderType,
                              numChannels, bufferSize);
    if (st) return st;
    *bufferSize = gauss_engine_buffer_size(roiWidth, kernelSize, numChannels);
    return qpxStatusOk;
}

QPX_DECLARE(qpxiFilterGaussianGetBufferSize, kBufferSize)
QPX_EXPORT qpxStatus qpxiFilterGaussianGetBufferSize(qpxSize roiSize, int kernelSize,
                                                     qpxDataType dataType, int numChannels,
                                                     int* specSize, int* bufferSize) {
    qpxStatus st =
        check_args(kBufferSize, roiSize, kernelSize, dataType, numChannels, specSize, bufferSize);
    if (st) return st;
    *specSize = static_cast<int>(gauss_header_size(kernelSize, dataType) +
                                 gauss_engine_spec_size(kernelSize));
    *bufferSize = static_cast<int>(gauss_buffer_size(roiSize, kernelSize, dataType, numChannels));
    return qpxStatusOk;
}

QPX_DECLARE(qpxiFilterGaussianInit_L, kInitL)
QPX_EXPORT qpxStatus qpxiFilterGaussianInit_L(std::int64_t roiWidth, std::int64_t roiHeight,
                                              int kernelSize, float sigma, qpxBorderType borderType,
                                              qpxDataType dataType, int numChannels,
                                              qpxFilterGaussianSpec* spec,
                                              std::uint8_t* initBuffer) {
    qpxStatus st = check_args(kInitL, roiWidth, roiHeight, kernelSize, sigma, borderType, dataType,
                              numChannels, spec, initBuffer);
    if (st) return st;
    gauss_init_engine(spec, kernelSize, sigma, dataType);
    return qpxStatusOk;
}

QPX_DECLARE(qpxiFilterGaussianInit, kInit)
QPX_EXPORT qpxStatus qpxiFilterGaussianInit(qpxSize roiSize, int kernelSize, float sigma,
                                            qpxBorderType borderType, qpxDataType dataType,
                                            int numChannels, qpxFilterGaussianSpec* spec,
                                            std::uint8_t* buffer) {
    qpxStatus st = check_args(kInit, roiSize, kernelSize, sigma, borderType, dataType, numChannels,
                              spec, buffer);
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
    QPX_DECLARE(qpxiFilterGaussian_##tag##_C1R_L, (kFilterL<T, 1>))                           \
    QPX_DECLARE(qpxiFilterGaussian_##tag##_C3R_L, (kFilterL<T, 3>))                           \
    QPX_DECLARE(qpxiFilterGaussian_##tag##_C1R, (kFilter<T, 1>))                              \
    QPX_DECLARE(qpxiFilterGaussian_##tag##_C3R, (kFilter<T, 3>))                              \
    QPX_DECLARE(qpxiFilterGaussianBorder_##tag##_C1R, (kFilterBorder<T, 1>))                  \
    QPX_DECLARE(qpxiFilterGaussianBorder_##tag##_C3R, (kFilterBorder<T, 3>))                  \
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
