// One cascade stage of 20 classifiers (two and three rectangles) with a 24 x 24 window over a
// VGA integral image, at 30% and 100% of windows set, window by window and a row at a time.
// Figures are windows per second; the memcpy of the integral image's bytes runs beside them.
#include <vector>

#include "bench_util.hpp"

namespace {

constexpr int kW = 640, kH = 480, kWin = 24;

void BM_Memcpy_Integral(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(kW + 1) * (kH + 1) * 4);
}

// Args: percentage of windows set, strategy (0 window by window, 1 rows of windows).
void BM_HaarStage_32f(benchmark::State& state) {
    const int density = int(state.range(0)), dense = int(state.range(1));
    std::mt19937 rng(5);
    std::vector<qpxRect> rects;
    std::vector<float> weights, thr, v1, v2;
    std::vector<int> num;
    for (int k = 0; k < 20; ++k) {
        const int n = 2 + k % 2;
        num.push_back(n);
        for (int i = 0; i < n; ++i) {
            const int w = 2 + int(rng() % 10), h = 2 + int(rng() % 10);
            rects.push_back({int(rng() % (kWin - w)), int(rng() % (kWin - h)), w, h});
            weights.push_back(i == 0 ? -1.0f : 2.0f);
        }
        thr.push_back(0.01f * float(rng() % 20));
        v1.push_back(-0.5f), v2.push_back(0.5f);
    }
    const qpxSize roi{kW - kWin, kH - kWin};
    int size = 0;
    qpxiHaarClassifierGetSize(qpx32f, roi, num.data(), int(num.size()), &size);
    std::vector<std::uint8_t> specMem(static_cast<std::size_t>(size));
    auto* spec = reinterpret_cast<qpxHaarClassifier_32f*>(specMem.data());
    qpxiHaarClassifierInit_32f(spec, rects.data(), weights.data(), thr.data(), v1.data(), v2.data(),
                               num.data(), int(num.size()));
    qpxbench::Image<float> ii(kW + 1, kH + 1), norm(roi.width, roi.height);
    qpxbench::Image<std::uint8_t> mask(roi.width, roi.height);
    int set = 0;
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width; ++x) {
            const bool on = int(rng() % 100) < density;
            mask.data[std::size_t(y) * mask.step + x] = on;
            set += on;
        }
    for (auto _ : state) {
        // A stage threshold that every window passes keeps the mask for the next iteration.
        int positive = dense ? roi.width * roi.height : 0;
        qpxiApplyHaarClassifier_32f_C1R(ii.data, ii.step, norm.data, norm.step, mask.data,
                                        mask.step, roi, &positive, -1e30f, spec);
        benchmark::DoNotOptimize(positive);
    }
    state.SetLabel(dense ? "rows of windows" : "window by window");
    state.counters["Mwin/s"] = benchmark::Counter(double(set) * 1e-6 * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Memcpy_Integral)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HaarStage_32f)
    ->Args({30, 0})
    ->Args({30, 1})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
