// Gaussian smoothing: size formulas, the kernel weights, and the entry into the engine of the
// chosen target (gaussian_kern.cpp).
#include "filter/gaussian.hpp"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "frame/cache.hpp"

namespace qpx::filter {

// ---- sizes ------------------------------------------------------------------------------------

std::int64_t gauss_engine_spec_size(std::int64_t ks) {
    return 4 * ((ks + 1) / 2) + 128;
}

std::int64_t gauss_engine_buffer_size(std::int64_t roiW, std::int64_t ks, int channels) {
    const std::int64_t rowBytes = align_up(roiW * channels * 4, 64);
    return (ks + 1) * rowBytes + 12 * ks + 64;
}

std::int64_t gauss_header_size(std::int64_t ks, int dataType) {
    return dataType == qpx32f ? 32 * ks + 32 : 16 * ks + 36;
}

std::int64_t gauss_buffer_size(qpxSize roi, int ks, int dataType, int channels) {
    // The 32-bit interface's own formula is evaluated in 32-bit unsigned arithmetic.
    using u32 = std::uint32_t;
    const u32 w = u32(roi.width), h = u32(roi.height), k = u32(ks), n = u32(channels);
    const u32 w4 = (w + 3u) & ~3u;
    const u32 w8 = ((w + k) * n + 7u) & ~7u;
    const u32 m = h < k ? h : k;
    u32 rowBuf, colBuf;
    switch (dataType) {
        case qpx8u:
            rowBuf = n == 1 ? 36u * k + 144u : 60u * k + 144u;
            colBuf = n == 1 ? 12u * w4 + 64u : 36u * w4 + 64u;
            break;
        case qpx16u:
            rowBuf = n == 1 ? 64u * k + 96u : 128u * k + 96u;
            colBuf = 32u * (k + (8u * w * n + 24u) / 32u) + 64u;
            break;
        case qpx16s:
            rowBuf = n == 1 ? 48u * k + 112u : 40u * k + 96u;
            colBuf = n == 1 ? 12u * w4 + 64u : 36u * w4 + 64u;
            break;
        default:  // 32f
            rowBuf = n == 1 ? 96u * k + 96u : 288u * k + 96u;
            colBuf = 32u * k + 32u;
            break;
    }
    const u32 own = dataType == qpx32f
                        ? 4u * w8 * (m + 2u * k) + rowBuf + colBuf + 8u * (m + k) + 192u
                        : 2u * w8 * ((k & ~1u) + m + k) + rowBuf + colBuf + 8u * (h + k) + 192u;
    const std::int64_t engine = gauss_engine_buffer_size(roi.width, ks, channels);
    return std::max<std::int64_t>({std::int64_t(own), engine, 64});
}

// ---- kernel -----------------------------------------------------------------------------------

float exp_f32(float xf) {
    if (xf != xf) return xf;
    if (xf > 88.72283935546875f) return __builtin_inff();
    if (xf < -104.0f) return 0.0f;  // below half the smallest subnormal
    // x = k ln2 + t with |t| <= ln2 / 2, e^t by its series in double precision: the double
    // result is accurate to a few units of 2^-53, far below a float's last place.
    const double x = xf;
    const double q = x * 1.4426950408889634;
    const double kd = double(static_cast<long long>(q + (q < 0 ? -0.5 : 0.5)));
    const double ln2Hi = 6.93147180369123816490e-01;  // 32 significant bits: kd * ln2Hi is exact
    const double ln2Lo = 1.90821492927058770002e-10;
    const double t = (x - kd * ln2Hi) - kd * ln2Lo;
    double p = 1.0 / 479001600.0;  // 1/12!
    const double inv[] = {
        1.0 / 39916800.0, 1.0 / 3628800.0, 1.0 / 362880.0, 1.0 / 40320.0, 1.0 / 5040.0, 1.0 / 720.0,
        1.0 / 120.0,      1.0 / 24.0,      1.0 / 6.0,      0.5,           1.0,          1.0};
    for (double c : inv) p = p * t + c;
    const std::uint64_t bits = std::uint64_t(static_cast<long long>(kd) + 1023) << 52;
    double scale;
    std::memcpy(&scale, &bits, sizeof scale);
    return static_cast<float>(p * scale);
}

void gauss_half_kernel(int ks, float sigma, void* half) {
    // The destination may sit at any byte offset (the 32-bit spec places the engine spec right
    // after its header), so every weight goes through memcpy.
    auto* out = static_cast<unsigned char*>(half);
    const int r = ks / 2;
    const float inv = 1.0f / (sigma * sigma);
    float sum = 0.0f;
    for (int i = r; i >= 1; --i) {
        const float fi = static_cast<float>(i);
        const float wi = exp_f32(-fi * (fi * 0.5f) * inv);
        std::memcpy(out + 4 * (r - i), &wi, 4);
        sum = sum + wi;
    }
    const float s = 1.0f + 2.0f * sum;
    for (int j = 0; j < r; ++j) {
        float wj;
        std::memcpy(&wj, out + 4 * j, 4);
        wj = wj / s;
        std::memcpy(out + 4 * j, &wj, 4);
    }
    const float centre = 1.0f / s;
    std::memcpy(out + 4 * r, &centre, 4);
}

void gauss_init_engine(void* spec, int ks, float sigma, int dataType) {
    auto* p = static_cast<unsigned char*>(spec);
    const std::uint32_t head[4] = {std::uint32_t(ks), kGaussEngineTag, std::uint32_t(dataType), 0};
    std::memcpy(p, head, sizeof head);
    gauss_half_kernel(ks, sigma, p + kGaussEngineHead);
}

std::int64_t gauss_spec_kernel(const void* spec) {
    std::uint32_t ks;
    std::memcpy(&ks, spec, sizeof ks);
    return ks;
}

// ---- dispatch ---------------------------------------------------------------------------------

template <class T, int C>
void gaussian(Target t, View<const T> src, View<T> dst, std::uint32_t borderType,
              const T* borderValue, const void* spec, void* buffer, Stream stream) {
    const std::int64_t w = dst.width, h = dst.height;
    // The work size is source plus destination bytes: 8 x w x h for 32f C1.
    const bool streaming = stream == Stream::Auto
                               ? stream_gaussian(2 * w * h * C * std::int64_t(sizeof(T)))
                               : stream == Stream::Always;
    const GaussianKernels& k = gaussian_kernels(t);
    GaussFn<T, C> fn;
    if constexpr (std::is_same_v<T, std::uint8_t>)
        fn = C == 1 ? k.u8c1 : k.u8c3;
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        fn = C == 1 ? k.u16c1 : k.u16c3;
    else if constexpr (std::is_same_v<T, std::int16_t>)
        fn = C == 1 ? k.s16c1 : k.s16c3;
    else
        fn = C == 1 ? k.f32c1 : k.f32c3;
    fn(src, dst, borderType, borderValue, spec, buffer, streaming);
}

#define QPX_GAUSS_INSTANCE(T, C)                                                          \
    template void gaussian<T, C>(Target, View<const T>, View<T>, std::uint32_t, const T*, \
                                 const void*, void*, Stream);
QPX_GAUSS_INSTANCE(std::uint8_t, 1)
QPX_GAUSS_INSTANCE(std::uint8_t, 3)
QPX_GAUSS_INSTANCE(std::uint16_t, 1)
QPX_GAUSS_INSTANCE(std::uint16_t, 3)
QPX_GAUSS_INSTANCE(std::int16_t, 1)
QPX_GAUSS_INSTANCE(std::int16_t, 3)
QPX_GAUSS_INSTANCE(float, 1)
QPX_GAUSS_INSTANCE(float, 3)
#undef QPX_GAUSS_INSTANCE

}  // namespace qpx::filter
