// Separable filtering of 8u images with 16s kernels of 3 and 5 taps at HD and 4K on every
// target, beside a memcpy of the same source bytes.
#include <vector>

#include "bench_util.hpp"
#include "filter/separable.hpp"

namespace {

using qpxbench::Image;

void BM_Memcpy_Separable8u(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1));
}

void BM_Separable_8u_16sKernel(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1)), ks = int(state.range(2));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 3, &t)) return;
    Image<std::uint8_t> src(w, h), dst(w, h);
    const std::int16_t k3[3] = {1, 2, 1}, k5[5] = {1, 4, 6, 4, 1};
    const std::int16_t* k = ks == 3 ? k3 : k5;
    const int divisor = ks == 3 ? 4 : 16;
    int specSize = 0, bufSize = 0;
    qpxiFilterSeparableGetSpecSize({ks, ks}, qpx16s, 1, &specSize);
    qpxiFilterSeparableGetBufferSize({w, h}, {ks, ks}, qpx8u, qpx16s, 1, &bufSize);
    std::vector<std::uint8_t> spec(specSize), buf(bufSize);
    auto* sp = reinterpret_cast<qpxFilterSeparableSpec*>(spec.data());
    if (qpxiFilterSeparableInit_16s(k, k, {ks, ks}, divisor, 0, qpx8u, 1, sp) != qpxStatusOk) {
        state.SkipWithError("init failed");
        return;
    }
    for (auto _ : state) {
        const std::uint8_t value = 0;
        qpx::filter::separable_filter<std::uint8_t, std::uint8_t, 1>(
            t, src.view(), dst.view(), qpxBorderRepl, &value, sp, buf.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h, std::size_t(w) * h);
}

// Both image sizes and kernel sizes, each on every target.
void kernels_by_target(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int ks : {3, 5})
            for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({w, h, ks, t});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Memcpy_Separable8u)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Separable_8u_16sKernel)->Apply(kernels_by_target);

}  // namespace
