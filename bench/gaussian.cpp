// Gaussian smoothing at 1920x1080 and 3840x2160, kernel sizes 3, 5, 7 and 11, 8u and 32f, one
// and three channels, on each vector target. BM_Memcpy_Gaussian copies the bytes of one source
// image of the same type and channel count, for the ratio beside each figure.
#include <vector>

#include "bench_util.hpp"
#include "filter/gaussian.hpp"

namespace {

using qpxbench::Image;

// Arguments: width, height, kernel size, channels, target.
template <class T>
void BM_Gaussian(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1)), ks = int(state.range(2));
    const int ch = int(state.range(3));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 4, &t)) return;
    Image<T> src(w, h, ch), dst(w, h, ch);
    std::vector<std::uint8_t> spec(qpx::filter::gauss_engine_spec_size(ks));
    std::vector<std::uint8_t> buf(qpx::filter::gauss_engine_buffer_size(w, ks, ch));
    qpx::filter::gauss_init_engine(spec.data(), ks, 0.3f * ks, sizeof(T) == 1 ? qpx8u : qpx32f);
    const T bv[3] = {};
    for (auto _ : state) {
        if (ch == 1)
            qpx::filter::gaussian<T, 1>(t, src.view(), dst.view(), qpxBorderRepl, bv, spec.data(),
                                        buf.data());
        else
            qpx::filter::gaussian<T, 3>(t, src.view(), dst.view(), qpxBorderRepl, bv, spec.data(),
                                        buf.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * ch * sizeof(T), std::size_t(w) * h);
}

// Arguments: width, height, bytes per pixel (element size times channels).
void BM_Memcpy_Gaussian(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * state.range(2));
}

// Every kernel size on every target at both sizes, the memcpy of the same bytes first.
template <int Bytes, int Ch>
void cases(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int ks : {3, 5, 7, 11})
            for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({w, h, ks, Ch, t});
    b->Unit(benchmark::kMicrosecond);
}
void memcpy_sizes(benchmark::internal::Benchmark* b) {
    for (int bytes : {1, 3, 4, 12}) b->Args({1920, 1080, bytes})->Args({3840, 2160, bytes});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Memcpy_Gaussian)->Apply(memcpy_sizes);
BENCHMARK(BM_Gaussian<std::uint8_t>)->Apply(cases<1, 1>);
BENCHMARK(BM_Gaussian<std::uint8_t>)->Apply(cases<1, 3>);
BENCHMARK(BM_Gaussian<float>)->Apply(cases<4, 1>);
BENCHMARK(BM_Gaussian<float>)->Apply(cases<4, 3>);

}  // namespace
