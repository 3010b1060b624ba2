// Fixed filters on an 8u image at HD and 4K, on every target: SobelCross and Laplacian (3x3,
// 5x5) into 16s, Lowpass (3x3, 5x5) into 8u. BM_Memcpy_Fixed copies the 8u source's bytes, the
// baseline beside each figure.
#include <vector>

#include "bench_util.hpp"
#include "filter/fixed.hpp"

namespace {

using qpx::filter::FixedOp;
using qpxbench::Image;

void BM_Memcpy_Fixed(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1));
}

template <FixedOp op, class Dst>
void run_filter(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const qpxMaskSize mask = int(state.range(2));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 3, &t)) return;
    Image<std::uint8_t> src(w, h);
    Image<Dst> dst(w, h);
    std::vector<std::uint8_t> buffer(
        std::size_t(qpx::filter::fixed_buffer_size<op>(src.roi(), mask, false)));
    for (auto _ : state) {
        qpx::filter::fixed_filter<op>(t, qpx::View<const std::uint8_t>(src.view()), dst.view(),
                                      mask, qpxBorderRepl, 0, buffer.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * (1 + sizeof(Dst)), std::size_t(w) * h);
}

void BM_SobelCross_8u16s(benchmark::State& state) {
    run_filter<FixedOp::SobelCross, std::int16_t>(state);
}
void BM_Laplacian_8u16s(benchmark::State& state) {
    run_filter<FixedOp::Laplacian, std::int16_t>(state);
}
void BM_Lowpass_8u(benchmark::State& state) {
    run_filter<FixedOp::Lowpass, std::uint8_t>(state);
}

// Both image sizes and masks, each on every target.
void masks_by_target(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int mask : {33, 55})
            for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({w, h, mask, t});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Memcpy_Fixed)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SobelCross_8u16s)->Apply(masks_by_target);
BENCHMARK(BM_Laplacian_8u16s)->Apply(masks_by_target);
BENCHMARK(BM_Lowpass_8u)->Apply(masks_by_target);

}  // namespace
