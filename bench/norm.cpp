// Masked norms at HD and 4K: the masked L2 norm of an 8u and of a 32f image on every target.
// Throughput counts the source and mask bytes read, and BM_Memcpy copies those same bytes.
#include "bench_util.hpp"
#include "stats/norm.hpp"

namespace {

using qpx::stats::NormKind;
using qpx::stats::NormOp;
using qpxbench::Image;

template <class T>
void BM_Memcpy(benchmark::State& state) {
    qpxbench::memcpy_baseline(state,
                              std::size_t(state.range(0)) * state.range(1) * (sizeof(T) + 1));
}

template <class T>
void BM_NormL2Masked(benchmark::State& state) {
    Image<T> src(state.range(0), state.range(1));
    Image<std::uint8_t> mask(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state) {
        auto s = qpx::stats::norm_stats<T>(t, NormOp::Norm, NormKind::L2, src.view(), {},
                                           mask.view(), 0);
        benchmark::DoNotOptimize(s);
    }
    const std::size_t pixels = std::size_t(src.width) * src.height;
    qpxbench::report(state, pixels * (sizeof(T) + 1), pixels);
}

#define SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy<std::uint8_t>) SIZES;
BENCHMARK(BM_NormL2Masked<std::uint8_t>)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_Memcpy<float>) SIZES;
BENCHMARK(BM_NormL2Masked<float>)->Apply(qpxbench::sizes_by_target);

}  // namespace
