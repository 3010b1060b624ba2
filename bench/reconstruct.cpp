// Reconstruction by dilation at HD and 4K from a sparse marker (one seed in ten thousand pixels)
// under a noisy mask, so the marker has to travel across the whole image, on every vector target.
// The marker is reset outside the timed region; BM_Memcpy of one image's bytes runs beside each
// figure.
#include <cstring>
#include <vector>

#include "bench_util.hpp"
#include "morph/reconstruct.hpp"

namespace {

using qpxbench::Image;

template <class T>
void BM_Memcpy_Reconstruct(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * sizeof(T));
}

// Arguments: width, height, 8-connectivity, target.
template <class T>
void BM_ReconstructDilate(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const bool eight = state.range(2) != 0;
    qpx::Target t;
    if (!qpxbench::target_arg(state, 3, &t)) return;
    Image<T> mask(w, h), marker(w, h);
    std::vector<T> seeds(std::size_t(marker.step / sizeof(T)) * h, T(0));
    for (std::size_t i = 0; i < seeds.size(); i += 10007) seeds[i] = T(255);
    int size = 0;
    qpxiMorphReconstructGetBufferSize(mask.roi(), sizeof(T) == 1 ? qpx8u : qpx32f, 1, &size);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(marker.data, seeds.data(), marker.bytes);
        state.ResumeTiming();
        qpx::morph::reconstruct<qpx::morph::Recon::Dilate, T>(t, mask.view(), marker.view(),
                                                              buffer.data(), eight);
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * sizeof(T), std::size_t(w) * h);
}

// Both sizes and both connectivities, each on every target.
void args(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int conn : {0, 1})
            for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({w, h, conn, t});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Memcpy_Reconstruct<std::uint8_t>)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReconstructDilate<std::uint8_t>)->Apply(args);
BENCHMARK(BM_Memcpy_Reconstruct<float>)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReconstructDilate<float>)->Apply(args);

}  // namespace
