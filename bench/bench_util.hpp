// Shared pieces of the benchmarks: aligned images and the memcpy baseline that every figure is
// compared against, so that results read as ratios across machines.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include "frame/target.hpp"
#include "frame/view.hpp"
#include "qpxcv.h"

namespace qpxbench {

// A 64-byte aligned image with a tight step rounded up to 64 bytes.
template <class T>
struct Image {
    Image(int w, int h, int ch = 1) : width(w), height(h), channels(ch) {
        step = static_cast<int>((std::size_t(w) * ch * sizeof(T) + 63) / 64 * 64);
        bytes = std::size_t(step) * h;
        data = static_cast<T*>(std::aligned_alloc(64, bytes));
        std::mt19937 rng(7);
        auto* p = reinterpret_cast<std::uint8_t*>(data);
        for (std::size_t i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(rng() & 0x7f);
        if constexpr (sizeof(T) == 4 && !std::is_integral_v<T>)
            for (std::size_t i = 0; i < bytes / 4; ++i) data[i] = static_cast<T>(p[i * 4]);
    }
    ~Image() { std::free(data); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    qpxSize roi() const { return {width, height}; }
    qpx::View<T> view() const { return qpx::view(data, step, roi(), channels); }
    int width, height, channels, step;
    std::size_t bytes;
    T* data;
};

// Times a memcpy of `bytes` bytes, the baseline beside each figure.
inline void memcpy_baseline(benchmark::State& state, std::size_t bytes) {
    void* a = std::aligned_alloc(64, (bytes + 63) / 64 * 64);
    void* b = std::aligned_alloc(64, (bytes + 63) / 64 * 64);
    std::memset(a, 1, bytes);
    std::memset(b, 0, bytes);
    for (auto _ : state) {
        std::memcpy(b, a, bytes);
        benchmark::DoNotOptimize(b);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    std::free(a);
    std::free(b);
}

// Reports bytes per second (GB/s) and pixels per second (Mpix/s) for a call that touched
// `bytes` bytes and `pixels` pixels per iteration.
inline void report(benchmark::State& state, std::size_t bytes, std::size_t pixels) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    state.counters["Mpix/s"] = benchmark::Counter(
        double(pixels) * 1e-6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The target of a benchmark's last argument; false (and the run skipped) where this processor
// lacks it.
inline bool target_arg(benchmark::State& state, int index, qpx::Target* t) {
    *t = static_cast<qpx::Target>(state.range(index));
    if (qpx::target_runs(*t)) {
        state.SetLabel(qpx::target_name(*t));
        return true;
    }
    state.SkipWithError("target not supported here");
    return false;
}

// Both image sizes, each on every target.
inline void sizes_by_target(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int t = 0; t < qpx::kTargetCount; ++t) b->Args({w, h, t});
    b->Unit(benchmark::kMicrosecond);
}

}  // namespace qpxbench
