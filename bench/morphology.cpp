// Dilation at HD and 4K with full rectangles of growing size, a 5x5 rounded shape and a random
// 7x7 mask, for 8u and 32f, on every vector target; each beside a memcpy of the same bytes.
#include <cstdlib>
#include <vector>

#include "bench_util.hpp"
#include "frame/border.hpp"
#include "morph/morph_engine.hpp"

namespace {

enum MaskKind { kRect, kShape5, kRandom7 };

std::vector<std::uint8_t> make_mask(MaskKind kind, int side) {
    std::vector<std::uint8_t> m(std::size_t(side) * side, 1);
    if (kind == kShape5) {
        const char* rows = "0010001110111110111000100";
        for (int i = 0; i < 25; ++i) m[std::size_t(i)] = rows[i] == '1';
    } else if (kind == kRandom7) {
        std::mt19937 rng(11);
        for (auto& v : m) v = static_cast<std::uint8_t>(rng() & 1);
    }
    return m;
}

template <class T>
void BM_Dilate(benchmark::State& state, MaskKind kind, int side) {
    const int kW = int(state.range(0)), kH = int(state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    qpxbench::Image<T> src(kW, kH), dst(kW, kH);
    const qpxSize mask{side, side};
    const auto m = make_mask(kind, side);
    int specSize = 0, bufSize = 0;
    qpxStatus st;
    if constexpr (sizeof(T) == 1)
        st = qpxiMorphologyBorderGetSize_8u_C1R(src.roi(), mask, &specSize, &bufSize);
    else
        st = qpxiMorphologyBorderGetSize_32f_C1R(src.roi(), mask, &specSize, &bufSize);
    std::vector<std::uint8_t> spec(static_cast<std::size_t>(specSize)),
        buf(static_cast<std::size_t>(bufSize));
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    if constexpr (sizeof(T) == 1)
        st |= qpxiMorphologyBorderInit_8u_C1R(src.roi(), m.data(), mask, sp, buf.data());
    else
        st |= qpxiMorphologyBorderInit_32f_C1R(src.roi(), m.data(), mask, sp, buf.data());
    if (st != qpxStatusOk) {
        state.SkipWithError("setup failed");
        return;
    }
    const T none{};
    for (auto _ : state) {
        qpx::morph::apply<T, 1>(t, qpx::morph::Op::Dilate, qpx::View<const T>(src.view()),
                                dst.view(), qpx::kBorderRepl, &none, sp, buf.data());
        benchmark::DoNotOptimize(dst.data);
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(kW) * kH * sizeof(T), std::size_t(kW) * kH);
}

void BM_Dilate8u(benchmark::State& s, MaskKind k, int side) {
    BM_Dilate<std::uint8_t>(s, k, side);
}
void BM_Dilate32f(benchmark::State& s, MaskKind k, int side) {
    BM_Dilate<float>(s, k, side);
}

void BM_Memcpy_Morph8u(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1));
}
void BM_Memcpy_Morph32f(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * 4);
}

BENCHMARK(BM_Memcpy_Morph8u)->Args({1920, 1080})->Args({3840, 2160});
BENCHMARK_CAPTURE(BM_Dilate8u, 8u_rect3x3, kRect, 3)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate8u, 8u_rect5x5, kRect, 5)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate8u, 8u_rect11x11, kRect, 11)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate8u, 8u_rect31x31, kRect, 31)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate8u, 8u_shape5x5, kShape5, 5)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate8u, 8u_random7x7, kRandom7, 7)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_Memcpy_Morph32f)->Args({1920, 1080})->Args({3840, 2160});
BENCHMARK_CAPTURE(BM_Dilate32f, 32f_rect3x3, kRect, 3)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate32f, 32f_rect5x5, kRect, 5)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate32f, 32f_rect11x11, kRect, 11)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate32f, 32f_rect31x31, kRect, 31)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate32f, 32f_shape5x5, kShape5, 5)->Apply(qpxbench::sizes_by_target);
BENCHMARK_CAPTURE(BM_Dilate32f, 32f_random7x7, kRandom7, 7)->Apply(qpxbench::sizes_by_target);

}  // namespace
