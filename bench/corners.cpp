// Corner measures on HD and 4K 8u images with 3x3 derivatives and 3x3 windows on every vector
// target, beside a memcpy of the bytes each call reads and writes (8u source plus 32f response).
#include <vector>

#include "bench_util.hpp"
#include "feature/corner.hpp"

namespace {

using qpxbench::Image;

void BM_Memcpy_Corners8u32f(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * 5);
}

void BM_HarrisCorner_8u32f(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    Image<std::uint8_t> src(w, h);
    Image<float> dst(w, h);
    int size = 0;
    qpxiHarrisCornerGetBufferSize({w, h}, qpxMskSize3x3, 3, qpx8u, 1, &size);
    std::vector<std::uint8_t> buf(size);
    for (auto _ : state) {
        qpx::feature::harris_corner<std::uint8_t>(
            t, qpx::View<const std::uint8_t>(src.data, src.step, w, h),
            qpx::View<float>(dst.data, dst.step, w, h), qpxFilterSobel, qpxMskSize3x3, 3, 0.04f,
            1.0f, qpxBorderRepl, 0, buf.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * 5, std::size_t(w) * h);
}

void BM_MinEigenValBorder_8u32f(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    Image<std::uint8_t> src(w, h);
    Image<float> dst(w, h);
    int size = 0;
    qpxiMinEigenValGetBufferSize_8u32f_C1R({w, h}, 3, 3, &size);
    std::vector<std::uint8_t> buf(size);
    for (auto _ : state) {
        qpx::feature::min_eigen_val<std::uint8_t>(
            t, qpx::View<const std::uint8_t>(src.data, src.step, w, h),
            qpx::View<float>(dst.data, dst.step, w, h), qpxKernelSobel, 3, 3, qpxBorderRepl, 0,
            buf.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * 5, std::size_t(w) * h);
}

BENCHMARK(BM_Memcpy_Corners8u32f)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HarrisCorner_8u32f)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_MinEigenValBorder_8u32f)->Apply(qpxbench::sizes_by_target);

}  // namespace
