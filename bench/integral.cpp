// Integral images at HD and 4K on every target. Throughput is reported against the bytes of one
// source image, with BM_Memcpy of the integral's bytes (4 per pixel) beside it for the ratio.
#include "bench_util.hpp"
#include "stats/integral.hpp"

namespace {

using qpx::stats::integral_kernels;
using qpxbench::Image;

void BM_IntegralMemcpy(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * 4);
}

// Runs `fn` with the source, a 32s integral and a 64f squared integral, each one element wider
// and taller (two for the tilted forms).
template <class Fn>
void run(benchmark::State& state, int extra, Fn fn) {
    const int w = int(state.range(0)), h = int(state.range(1));
    Image<std::uint8_t> src(w, h);
    Image<std::int32_t> sum(w + extra, h + extra);
    Image<double> sqr(w + extra, h + extra);
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    const auto& k = integral_kernels(t);
    for (auto _ : state) fn(k, src.view(), sum.view(), sqr.view());
    qpxbench::report(state, std::size_t(w) * h, std::size_t(w) * h);
}

void BM_Integral_8u32s(benchmark::State& state) {
    run(state, 1, [](const auto& k, auto s, auto d, auto) { k.int_8u32s(s, d, 0); });
}
void BM_SqrIntegral_8u32s64f(benchmark::State& state) {
    run(state, 1, [](const auto& k, auto s, auto d, auto q) { k.sqr_8u32s64f(s, d, q, 0, 0.0); });
}
void BM_TiltedIntegral_8u32s(benchmark::State& state) {
    run(state, 2, [](const auto& k, auto s, auto d, auto) { k.tilt_8u32s(s, d, 0); });
}

BENCHMARK(BM_IntegralMemcpy)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Integral_8u32s)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_SqrIntegral_8u32s64f)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_TiltedIntegral_8u32s)->Apply(qpxbench::sizes_by_target);

}  // namespace
