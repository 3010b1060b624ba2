// Canny on 8u HD and 4K images with the 3x3 Sobel, L1 and L2, on every vector target. The "natural"
// picture is synthesised (the benchmark reads no files): smooth sums of sines with soft step
// regions and a little noise, which gives the sparse, connected edges of a photograph. "Noise" is
// uniform random bytes, the dense worst case for suppression and edge following. BM_Memcpy_Canny
// copies the same bytes.
#include <cmath>
#include <vector>

#include "bench_util.hpp"
#include "feature/canny.hpp"

namespace {

using qpxbench::Image;
using u8 = std::uint8_t;

void fill_natural(Image<u8>& img) {
    std::mt19937 rng(11);
    for (int y = 0; y < img.height; ++y) {
        u8* row = img.data + std::size_t(y) * img.step;
        for (int x = 0; x < img.width; ++x) {
            double v = 110 + 40 * std::sin(x * 0.011) * std::cos(y * 0.017) +
                       25 * std::sin((x + 2 * y) * 0.031) + 15 * std::cos(x * 0.002 + y * 0.05);
            // A few objects with sharp outlines.
            double cx = x - 700.0, cy = y - 500.0;
            if (cx * cx + cy * cy < 260.0 * 260.0) v += 50;
            if (x > 1300 && x < 1700 && y > 200 && y < 800) v -= 60;
            v += double(rng() % 7) - 3;
            row[x] = u8(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    }
}

void BM_Memcpy_Canny(benchmark::State& state) {
    qpxbench::memcpy_baseline(state, std::size_t(state.range(0)) * state.range(1));
}

void run(benchmark::State& state, bool natural, int norm) {
    const int kW = int(state.range(0)), kH = int(state.range(1));
    qpx::Target t;
    if (!qpxbench::target_arg(state, 2, &t)) return;
    Image<u8> src(kW, kH), dst(kW, kH);
    if (natural) fill_natural(src);
    int size = 0;
    qpxiCannyBorderGetSize(src.roi(), qpxFilterSobel, qpxMskSize3x3, qpx8u, &size);
    std::vector<u8> buf(static_cast<std::size_t>(size));
    const float low = norm == qpxEdgeNormL1 ? 80.f : 60.f, high = 2.5f * low;
    for (auto _ : state)
        qpx::feature::canny_border(t, qpx::View<const u8>(src.data, src.step, kW, kH),
                                   qpx::View<u8>(dst.data, dst.step, kW, kH), qpxFilterSobel,
                                   qpxMskSize3x3, qpxBorderRepl, 0, norm, low, high, buf.data());
    qpxbench::report(state, std::size_t(kW) * kH, std::size_t(kW) * kH);
}

void BM_CannyBorder_Natural_L1(benchmark::State& s) {
    run(s, true, qpxEdgeNormL1);
}
void BM_CannyBorder_Natural_L2(benchmark::State& s) {
    run(s, true, qpxEdgeNormL2);
}
void BM_CannyBorder_Noise_L1(benchmark::State& s) {
    run(s, false, qpxEdgeNormL1);
}
void BM_CannyBorder_Noise_L2(benchmark::State& s) {
    run(s, false, qpxEdgeNormL2);
}

BENCHMARK(BM_Memcpy_Canny)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CannyBorder_Natural_L1)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_CannyBorder_Natural_L2)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_CannyBorder_Noise_L1)->Apply(qpxbench::sizes_by_target);
BENCHMARK(BM_CannyBorder_Noise_L2)->Apply(qpxbench::sizes_by_target);

}  // namespace
