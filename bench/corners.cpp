// Corner measures on HD 8u images with 3x3 derivatives and 3x3 windows, beside a memcpy of the
// bytes each call reads and writes (8u source plus 32f response).
#include <vector>

#include "bench_util.hpp"

namespace {

using qpxbench::Image;

void BM_Memcpy_Corners8u32f(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * 5);
}

void BM_HarrisCorner_8u32f(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    Image<std::uint8_t> src(w, h);
    Image<float> dst(w, h);
    int size = 0;
    qpxiHarrisCornerGetBufferSize({w, h}, qpxMskSize3x3, 3, qpx8u, 1, &size);
    std::vector<std::uint8_t> buf(size);
    for (auto _ : state) {
        qpxStatus st = qpxiHarrisCorner_8u32f_C1R(src.data, src.step, dst.data, dst.step, {w, h},
                                                  qpxFilterSobel, qpxMskSize3x3, 3, 0.04f, 1.0f,
                                                  qpxBorderRepl, 0, buf.data());
        if (st != qpxStatusOk) state.SkipWithError("call failed");
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * 5, std::size_t(w) * h);
}

void BM_MinEigenValBorder_8u32f(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    Image<std::uint8_t> src(w, h);
    Image<float> dst(w, h);
    int size = 0;
    qpxiMinEigenValGetBufferSize_8u32f_C1R({w, h}, 3, 3, &size);
    std::vector<std::uint8_t> buf(size);
    for (auto _ : state) {
        qpxStatus st =
            qpxiMinEigenValBorder_8u32f_C1R(src.data, src.step, dst.data, dst.step, {w, h},
                                            qpxKernelSobel, 3, 3, qpxBorderRepl, 0, buf.data());
        if (st != qpxStatusOk) state.SkipWithError("call failed");
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * 5, std::size_t(w) * h);
}

BENCHMARK(BM_Memcpy_Corners8u32f)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HarrisCorner_8u32f)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MinEigenValBorder_8u32f)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
