// Means, deviations and extrema at HD and 4K on every target, against a memcpy of the source's
// bytes.
#include "bench_util.hpp"
#include "stats/moments.hpp"

namespace {

template <class T>
void BM_Memcpy(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * sizeof(T));
}

template <class T>
void BM_MeanStdDev(benchmark::State& state) {
    qpxbench::Image<T> src(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state) benchmark::DoNotOptimize(qpx::stats::mean_stddev<T>(t, src.view(), {}));
    const std::size_t px = std::size_t(src.width) * src.height;
    qpxbench::report(state, px * sizeof(T), px);
}

template <class T>
void BM_MinMaxIndx(benchmark::State& state) {
    qpxbench::Image<T> src(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state) benchmark::DoNotOptimize(qpx::stats::min_max<T>(t, src.view(), {}));
    const std::size_t px = std::size_t(src.width) * src.height;
    qpxbench::report(state, px * sizeof(T), px);
}

// Masked: the mask's bytes are read as well.
void BM_MeanStdDev_8u_Masked(benchmark::State& state) {
    qpxbench::Image<std::uint8_t> src(state.range(0), state.range(1)),
        mask(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(qpx::stats::mean_stddev<std::uint8_t>(t, src.view(), mask.view()));
    const std::size_t px = std::size_t(src.width) * src.height;
    qpxbench::report(state, 2 * px, px);
}

#define SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy<std::uint8_t>) SIZES;
BENCHMARK(BM_MeanStdDev<std::uint8_t>)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_MinMaxIndx<std::uint8_t>)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_MeanStdDev_8u_Masked)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_Memcpy<float>) SIZES;
BENCHMARK(BM_MeanStdDev<float>)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_MinMaxIndx<float>)->Apply(qpxbench::sizes_by_target);

}  // namespace
