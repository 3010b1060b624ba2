// Fixed filters on an 8u 1920x1080 image: SobelCross and Laplacian (3x3, 5x5) into 16s, Lowpass
// 3x3 into 8u. BM_Memcpy_Fixed copies the 8u source's bytes, the baseline beside each figure.
#include <vector>

#include "bench_util.hpp"

namespace {

using qpxbench::Image;
using Filter8 = qpxStatus (*)(const std::uint8_t*, int, void*, int, qpxSize, qpxMaskSize,
                              qpxBorderType, std::uint8_t, std::uint8_t*);
using Query = qpxStatus (*)(qpxSize, qpxMaskSize, int*);

void BM_Memcpy_Fixed(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1));
}

template <class Dst, class F>
void run_filter(benchmark::State& state, F filter, Query query) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const qpxMaskSize mask = int(state.range(2));
    Image<std::uint8_t> src(w, h);
    Image<Dst> dst(w, h);
    int size = 0;
    query(src.roi(), mask, &size);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
    for (auto _ : state) {
        filter(src.data, src.step, dst.data, dst.step, src.roi(), mask, qpxBorderRepl, 0,
               buffer.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * (1 + sizeof(Dst)), std::size_t(w) * h);
}

void BM_SobelCross_8u16s(benchmark::State& state) {
    run_filter<std::int16_t>(state, qpxiFilterSobelCrossBorder_8u16s_C1R,
                             qpxiFilterSobelCrossGetBufferSize_8u16s_C1R);
}
void BM_Laplacian_8u16s(benchmark::State& state) {
    run_filter<std::int16_t>(state, qpxiFilterLaplacianBorder_8u16s_C1R,
                             qpxiFilterLaplacianGetBufferSize_8u16s_C1R);
}
void BM_Lowpass_8u(benchmark::State& state) {
    run_filter<std::uint8_t>(state, qpxiFilterLowpassBorder_8u_C1R,
                             qpxiFilterLowpassGetBufferSize_8u_C1R);
}

#define HD(mask) ->Args({1920, 1080, mask})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy_Fixed)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SobelCross_8u16s) HD(33) HD(55);
BENCHMARK(BM_Laplacian_8u16s) HD(33) HD(55);
BENCHMARK(BM_Lowpass_8u) HD(33);
#undef HD

}  // namespace
