// One cascade stage of 20 classifiers (two and three rectangles) with a 24 x 24 window over the
// integral of a random VGA image, on every target: 32f, 32s32f and 32s members, 5%, 30% and 100%
// of windows set, window by window and a row at a time. Figures are windows per second; the
// memcpy of the integral image's bytes runs beside them.
#include <climits>
#include <vector>

#include "bench_util.hpp"
#include "stats/haar.hpp"

namespace {

using qpx::stats::HaarImages;
using qpx::stats::HaarStrategy;

constexpr int kW = 640, kH = 480, kWin = 24;

void BM_Memcpy_Integral(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(kW + 1) * (kH + 1) * 4);
}

// Args: percentage of windows set, strategy (0 window by window, 1 rows of windows), target.
// J is the integral's element, V the spec's values, N the norm's element.
template <class J, class V, class N>
void BM_HaarStage(benchmark::State& state) {
    const int density = int(state.range(0)), dense = int(state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    constexpr bool isFloat = std::is_same_v<V, float>;
    std::mt19937 rng(5);
    std::vector<qpxRect> rects;
    std::vector<V> weights, thr, v1, v2;
    std::vector<int> num;
    for (int k = 0; k < 20; ++k) {
        const int n = 2 + k % 2;
        num.push_back(n);
        for (int i = 0; i < n; ++i) {
            const int w = 2 + int(rng() % 10), h = 2 + int(rng() % 10);
            rects.push_back({int(rng() % (kWin - w)), int(rng() % (kWin - h)), w, h});
            weights.push_back(i == 0 ? V(-1) : V(2));
        }
        thr.push_back(isFloat ? V(0.01f * float(rng() % 20)) : V(rng() % 20));
        v1.push_back(isFloat ? V(-0.5f) : V(-1)), v2.push_back(isFloat ? V(0.5f) : V(1));
    }
    const qpxSize roi{kW - kWin, kH - kWin};
    int size = 0;
    qpxiHaarClassifierGetSize(isFloat ? qpx32f : qpx32s, roi, num.data(), int(num.size()), &size);
    std::vector<std::uint8_t> specMem(static_cast<std::size_t>(size));
    void* spec = specMem.data();
    if constexpr (isFloat)
        qpxiHaarClassifierInit_32f(static_cast<qpxHaarClassifier_32f*>(spec), rects.data(),
                                   weights.data(), thr.data(), v1.data(), v2.data(), num.data(),
                                   int(num.size()));
    else
        qpxiHaarClassifierInit_32s(static_cast<qpxHaarClassifier_32s*>(spec), rects.data(),
                                   weights.data(), thr.data(), v1.data(), v2.data(), num.data(),
                                   int(num.size()));
    // The integral of random bytes, and a norm of its order of magnitude.
    qpxbench::Image<J> ii(kW + 1, kH + 1);
    qpxbench::Image<N> norm(roi.width, roi.height);
    qpxbench::Image<std::uint8_t> mask(roi.width, roi.height);
    auto at = [&](int x, int y) -> J& { return ii.data[std::size_t(y) * (ii.step / 4) + x]; };
    for (int y = 0; y <= kH; ++y)
        for (int x = 0; x <= kW; ++x)
            at(x, y) =
                x && y ? J(at(x - 1, y) + at(x, y - 1) - at(x - 1, y - 1) + J(rng() % 256)) : J(0);
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width; ++x) norm.data[std::size_t(y) * (norm.step / 4) + x] = N(40);
    int set = 0;
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width; ++x) {
            const bool on = int(rng() % 100) < density;
            mask.data[std::size_t(y) * mask.step + x] = on;
            set += on;
        }
    const HaarImages<J, N> im{ii.view(), ii.view(), norm.view(), mask.view()};
    const auto& k = qpx::stats::haar_kernels(t);
    const HaarStrategy how = dense ? HaarStrategy::Dense : HaarStrategy::Windows;
    for (auto _ : state) {
        // A stage threshold that every window passes keeps the mask for the next iteration.
        int positive;
        if constexpr (std::is_same_v<N, std::int32_t>)
            positive = k.apply_32s(im, INT_MIN, spec, 0, 0, how);
        else if constexpr (std::is_same_v<J, std::int32_t>)
            positive = k.apply_32s32f(im, -1e30f, spec, 0, 0, how);
        else
            positive = k.apply_32f(im, -1e30f, spec, 0, 0, how);
        benchmark::DoNotOptimize(positive);
    }
    state.SetLabel(std::string(qpx::target_name(t)) +
                   (dense ? ", rows of windows" : ", window by window"));
    state.counters["Mwin/s"] = benchmark::Counter(double(set) * 1e-6 * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

void by_target(benchmark::internal::Benchmark* b) {
    for (int density : {5, 30, 100})
        for (int dense : {0, 1})
            for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({density, dense, t});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Memcpy_Integral)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HaarStage<float, float, float>)->Name("BM_HaarStage_32f")->Apply(by_target);
BENCHMARK(BM_HaarStage<std::int32_t, float, float>)->Name("BM_HaarStage_32s32f")->Apply(by_target);
BENCHMARK(BM_HaarStage<std::int32_t, std::int32_t, std::int32_t>)
    ->Name("BM_HaarStage_32s")
    ->Apply(by_target);

}  // namespace
