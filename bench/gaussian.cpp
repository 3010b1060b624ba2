// Gaussian smoothing at 1920x1080, kernel sizes 3, 5, 7 and 11, 8u and 32f, one and three
// channels. BM_Memcpy_Gaussian copies the bytes of one source image of the same type and
// channel count, for the ratio beside each figure.
#include <vector>

#include "bench_util.hpp"

namespace {

using qpxbench::Image;

template <class T>
constexpr int type_code() {
    return sizeof(T) == 1 ? qpx8u : qpx32f;
}

template <class T>
qpxStatus run(const T* s, int ss, T* d, int ds, qpxSize roi, int ch,
              const qpxFilterGaussianSpec* spec, std::uint8_t* buf) {
    const T bv[3] = {};
    if constexpr (sizeof(T) == 1)
        return ch == 1 ? qpxiFilterGaussian_8u_C1R(s, ss, d, ds, roi, qpxBorderRepl, bv, spec, buf)
                       : qpxiFilterGaussian_8u_C3R(s, ss, d, ds, roi, qpxBorderRepl, bv, spec, buf);
    else
        return ch == 1
                   ? qpxiFilterGaussian_32f_C1R(s, ss, d, ds, roi, qpxBorderRepl, bv, spec, buf)
                   : qpxiFilterGaussian_32f_C3R(s, ss, d, ds, roi, qpxBorderRepl, bv, spec, buf);
}

// Arguments: kernel size, channels.
template <class T>
void BM_Gaussian(benchmark::State& state) {
    const int w = 1920, h = 1080, ks = int(state.range(0)), ch = int(state.range(1));
    Image<T> src(w, h, ch), dst(w, h, ch);
    int specSize = 0, bufSize = 0;
    qpxiFilterGaussianGetBufferSize(src.roi(), ks, type_code<T>(), ch, &specSize, &bufSize);
    std::vector<std::uint8_t> spec(specSize), buf(bufSize);
    auto* sp = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
    if (qpxiFilterGaussianInit(src.roi(), ks, 0.3f * ks, qpxBorderRepl, type_code<T>(), ch, sp,
                               buf.data()) != qpxStatusOk) {
        state.SkipWithError("init failed");
        return;
    }
    for (auto _ : state) {
        run<T>(src.data, src.step, dst.data, dst.step, src.roi(), ch, sp, buf.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * ch * sizeof(T), std::size_t(w) * h);
}

// Arguments: bytes per pixel element times channels, to match each Gaussian row.
void BM_Memcpy_Gaussian(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(1920) * 1080 * state.range(0));
}

#define KERNELS(ch) ->Args({3, ch})->Args({5, ch})->Args({7, ch})->Args({11, ch})
BENCHMARK(BM_Memcpy_Gaussian)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gaussian<std::uint8_t>) KERNELS(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy_Gaussian)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gaussian<std::uint8_t>) KERNELS(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy_Gaussian)->Arg(4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gaussian<float>) KERNELS(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy_Gaussian)->Arg(12)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Gaussian<float>) KERNELS(3)->Unit(benchmark::kMicrosecond);

}  // namespace
