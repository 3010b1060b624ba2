// Opening and morphological gradient with a 5x5 full mask at HD and 4K, 8u and 32f, on every
// vector target, beside a memcpy of one image's bytes.
#include <vector>

#include "bench_util.hpp"
#include "frame/border.hpp"
#include "morph/morph_adv.hpp"

namespace {

using qpxbench::Image;

template <class T>
void BM_Memcpy_MorphAdv(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1) * sizeof(T));
}

enum { kOpen, kGradient };

// Arguments: width, height, operation, target. The replicated border, as a caller would pass it.
template <class T>
void BM_MorphAdv5x5(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1)), op = int(state.range(2));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 3, &t)) return;
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
    const qpxMorphAdvState* st = qpx::morph::adv_state(sp);
    const qpx::morph::Scratch scratch = qpx::morph::scratch_for(st, buf.data(), sizeof(T), 1, w, h);
    const T none{};
    for (auto _ : state) {
        qpx::morph::run_adv<T, 1>(
            t, op == kOpen ? qpx::morph::AdvOp::Open : qpx::morph::AdvOp::Gradient,
            qpx::View<const T>(src.view()), dst.view(), qpx::morph::plan_border(qpx::kBorderRepl),
            &none, st->first, st->second, scratch, sizeof(T) == 4);
        benchmark::ClobberMemory();
    }
    qpxbench::report(state, std::size_t(w) * h * sizeof(T), std::size_t(w) * h);
}

// Both operations at both sizes, each on every target.
void args(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int op : {kOpen, kGradient})
            for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({w, h, op, t});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Memcpy_MorphAdv<std::uint8_t>)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MorphAdv5x5<std::uint8_t>)->Apply(args);
BENCHMARK(BM_Memcpy_MorphAdv<float>)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MorphAdv5x5<float>)->Apply(args);

}  // namespace
