// Opening and morphological gradient with a 5x5 full mask at 1920x1080, 8u and 32f, beside a
// memcpy of one image's bytes.
#include <vector>

#include "bench_util.hpp"

namespace {

using qpxbench::Image;

template <class T>
void BM_Memcpy_MorphAdv(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * sizeof(T));
}

enum { kOpen, kGradient };

template <class T>
qpxStatus run(int op, const T* s, int ss, T* d, int ds, qpxSize r, const qpxMorphAdvState* spec,
              std::uint8_t* buf) {
    if constexpr (sizeof(T) == 1)
        return op == kOpen
                   ? qpxiMorphOpenBorder_8u_C1R(s, ss, d, ds, r, qpxBorderRepl, 0, spec, buf)
                   : qpxiMorphGradientBorder_8u_C1R(s, ss, d, ds, r, qpxBorderRepl, 0, spec, buf);
    else
        return op == kOpen
                   ? qpxiMorphOpenBorder_32f_C1R(s, ss, d, ds, r, qpxBorderRepl, 0, spec, buf)
                   : qpxiMorphGradientBorder_32f_C1R(s, ss, d, ds, r, qpxBorderRepl, 0, spec, buf);
}

template <class T>
void BM_MorphAdv5x5(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1)), op = int(state.range(2));
    Image<T> src(w, h), dst(w, h);
    const std::vector<std::uint8_t> mask(25, 1);
    int specSize = 0, bufSize = 0;
    if constexpr (sizeof(T) == 1)
        qpxiMorphAdvGetSize_8u_C1R(src.roi(), {5, 5}, &specSize, &bufSize);
    else
        qpxiMorphAdvGetSize_32f_C1R(src.roi(), {5, 5}, &specSize, &bufSize);
    std::vector<std::uint8_t> spec(static_cast<std::size_t>(specSize)),
        buf(static_cast<std::size_t>(bufSize));
    auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
    if constexpr (sizeof(T) == 1)
        qpxiMorphAdvInit_8u_C1R(src.roi(), mask.data(), {5, 5}, sp, buf.data());
    else
        qpxiMorphAdvInit_32f_C1R(src.roi(), mask.data(), {5, 5}, sp, buf.data());
    for (auto _ : state) {
        run<T>(op, src.data, src.step, dst.data, dst.step, src.roi(), sp, buf.data());
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * sizeof(T), std::size_t(w) * h);
}

#define HD(op) ->Args({1920, 1080, op})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy_MorphAdv<std::uint8_t>)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MorphAdv5x5<std::uint8_t>) HD(kOpen) HD(kGradient);
BENCHMARK(BM_Memcpy_MorphAdv<float>)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MorphAdv5x5<float>) HD(kOpen) HD(kGradient);

}  // namespace
