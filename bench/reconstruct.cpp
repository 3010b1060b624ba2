// Reconstruction by dilation at 1920x1080 from a sparse marker (one seed in ten thousand pixels)
// under a noisy mask, so the marker has to travel across the whole image. The marker is reset
// outside the timed region; BM_Memcpy of one image's bytes runs beside each figure.
#include <cstring>
#include <vector>

#include "bench_util.hpp"

namespace {

using qpxbench::Image;

template <class T>
void BM_Memcpy_Reconstruct(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * sizeof(T));
}

template <class T>
qpxStatus run(const T* m, int ms, T* j, int js, qpxSize r, std::uint8_t* b, qpxNormType n) {
    if constexpr (sizeof(T) == 1)
        return qpxiMorphReconstructDilate_8u_C1IR(m, ms, j, js, r, b, n);
    else
        return qpxiMorphReconstructDilate_32f_C1IR(m, ms, j, js, r, b, n);
}

template <class T>
void BM_ReconstructDilate(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const qpxNormType norm = state.range(2) ? qpxNormInf : qpxNormL1;
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
        run<T>(mask.data, mask.step, marker.data, marker.step, mask.roi(), buffer.data(), norm);
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * sizeof(T), std::size_t(w) * h);
}

#define HD(conn) ->Args({1920, 1080, conn})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Memcpy_Reconstruct<std::uint8_t>)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReconstructDilate<std::uint8_t>) HD(1) HD(0);
BENCHMARK(BM_Memcpy_Reconstruct<float>)->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReconstructDilate<float>) HD(1) HD(0);

}  // namespace
