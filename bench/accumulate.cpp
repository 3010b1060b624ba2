// Accumulation and differencing at HD and 4K. Throughput is reported against the bytes of one
// source image, and BM_Memcpy of those same bytes runs beside each size for the ratio.
#include "bench_util.hpp"
#include "stats/accumulate.hpp"

namespace {

using qpxbench::Image;

template <class T>
void BM_Memcpy(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * sizeof(T));
}

using qpx::stats::AccOp;

void BM_Add_8u32f(benchmark::State& state) {
    Image<std::uint8_t> src(state.range(0), state.range(1));
    Image<float> acc(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state)
        qpx::stats::accumulate<AccOp::Add, std::uint8_t>(t, src.view(), {}, {}, acc.view(), 0.0f);
    qpxbench::report(state, std::size_t(src.width) * src.height,
                     std::size_t(src.width) * src.height);
}

void BM_AddWeighted_8u32f(benchmark::State& state) {
    Image<std::uint8_t> src(state.range(0), state.range(1));
    Image<float> acc(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state)
        qpx::stats::accumulate<AccOp::Weighted, std::uint8_t>(t, src.view(), {}, {}, acc.view(),
                                                              0.05f);
    qpxbench::report(state, std::size_t(src.width) * src.height,
                     std::size_t(src.width) * src.height);
}

void BM_AddWeighted_32f(benchmark::State& state) {
    Image<float> src(state.range(0), state.range(1)), acc(state.range(0), state.range(1));
    for (auto _ : state)
        qpxiAddWeighted_32f_C1IR(src.data, src.step, acc.data, acc.step, src.roi(), 0.05f);
    qpxbench::report(state, std::size_t(src.width) * src.height * 4,
                     std::size_t(src.width) * src.height);
}

void BM_AbsDiff_8u(benchmark::State& state) {
    Image<std::uint8_t> a(state.range(0), state.range(1)), b(state.range(0), state.range(1)),
        d(state.range(0), state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    for (auto _ : state) qpx::stats::abs_diff<std::uint8_t>(t, a.view(), b.view(), d.view());
    qpxbench::report(state, std::size_t(a.width) * a.height, std::size_t(a.width) * a.height);
}

void BM_AbsDiff_32f(benchmark::State& state) {
    Image<float> a(state.range(0), state.range(1)), b(state.range(0), state.range(1)),
        d(state.range(0), state.range(1));
    for (auto _ : state)
        qpxiAbsDiff_32f_C1R(a.data, a.step, b.data, b.step, d.data, d.step, a.roi());
    qpxbench::report(state, std::size_t(a.width) * a.height * 4, std::size_t(a.width) * a.height);
}

#define SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy<std::uint8_t>) SIZES;
BENCHMARK(BM_Add_8u32f)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_AddWeighted_8u32f)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_AbsDiff_8u)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_Memcpy<float>) SIZES;
BENCHMARK(BM_AddWeighted_32f) SIZES;
BENCHMARK(BM_AbsDiff_32f) SIZES;

}  // namespace
