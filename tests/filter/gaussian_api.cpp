// Gaussian filter interface: the kernel, the size queries against their formulas, and the
// order of the argument checks of every export, with nothing written by a failed call.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "common/guard.hpp"
#include "filter/gaussian.hpp"

using namespace qpxtest;

namespace {

TEST(GaussianKernel, ExponentAndWeights) {
    for (float x = -104.5f; x < 89.0f; x += 0.0173f)
        EXPECT_EQ(qpx::filter::exp_f32(x), float(std::exp(double(x)))) << x;
    EXPECT_EQ(qpx::filter::exp_f32(-200.0f), 0.0f);
    EXPECT_EQ(qpx::filter::exp_f32(100.0f), INFINITY);
    // Weights built in single precision as the formula reads, outermost first, after the words
    // kernel size, 64, data type, 0.
    for (int ks : {3, 5, 11, 31})
        for (float sigma : {0.01f, 1.0f, 2.7f, 100.0f}) {
            std::vector<std::uint8_t> spec(4 * ((ks + 1) / 2) + 128);
            std::uint8_t init[64];
            auto* sp = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
            ASSERT_EQ(qpxiFilterGaussianInit_L(8, 8, ks, sigma, 1, qpx16s, 3, sp, init), 0);
            EXPECT_EQ(
                (std::vector<std::uint32_t>{sp->kernelSize, sp->align, sp->dataType, sp->reserved}),
                (std::vector<std::uint32_t>{std::uint32_t(ks), 64, qpx16s, 0}));
            const int r = ks / 2;
            std::vector<float> w(r + 1);
            float sum = 0, inv = 1.0f / (sigma * sigma);
            for (int i = r; i >= 1; --i)
                sum += w[i] = float(std::exp(double(-float(i) * (float(i) * 0.5f) * inv)));
            for (int i = 0; i <= r; ++i)
                EXPECT_EQ(sp->halfKernel[r - i], i ? w[i] / (1 + 2 * sum) : 1 / (1 + 2 * sum));
        }
}

TEST(GaussianSizes, MatchFormulas) {
    auto up = [](std::int64_t v, std::int64_t m) { return (v + m - 1) / m * m; };
    for (int dt : {qpx8u, qpx16u, qpx16s, qpx32f})
        for (std::int64_t ch : {1, 3})
            for (std::int64_t ks : {3, 5, 21})
                for (auto [w, h] :
                     {std::pair<std::int64_t, std::int64_t>{1, 1}, {7, 2}, {1001, 30}}) {
                    std::int64_t s64, i64, b64;
                    int s32, i32, spec32, buf32;
                    ASSERT_EQ(qpxiFilterGaussianGetSpecSize_L(ks, dt, ch, &s64, &i64), 0);
                    ASSERT_EQ(qpxiFilterGaussianGetSpecSize(ks, dt, ch, &s32, &i32), 0);
                    ASSERT_EQ(qpxiFilterGaussianGetBufferSize_L(w, h, ks, dt, 3, ch, &b64), 0);
                    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({int(w), int(h)}, ks, dt, ch, &spec32,
                                                              &buf32),
                              0);
                    EXPECT_TRUE(s64 == 4 * ((ks + 1) / 2) + 128 && s32 == s64 && i64 == 64 &&
                                i32 == 64);
                    const std::int64_t engine = (ks + 1) * up(w * ch * 4, 64) + 12 * ks + 64;
                    EXPECT_EQ(b64, engine);
                    EXPECT_EQ(spec32, (dt == qpx32f ? 32 * ks + 32 : 16 * ks + 36) + s64);
                    const std::int64_t w4 = up(w, 4), w8 = up((w + ks) * ch, 8),
                                       m = std::min(h, ks);
                    const std::int64_t pipes =
                        dt == qpx8u ? (ch == 1 ? 36 : 60) * ks + 144 + (ch == 1 ? 12 : 36) * w4 + 64
                        : dt == qpx16u ? (ch == 1 ? 64 : 128) * ks + 96 +
                                             32 * (ks + (8 * w * ch + 24) / 32) + 64
                        : dt == qpx16s ? (ch == 1 ? 48 * ks + 112 : 40 * ks + 96) +
                                             (ch == 1 ? 12 : 36) * w4 + 64
                                       : (ch == 1 ? 96 : 288) * ks + 96 + 32 * ks + 32;
                    const std::int64_t own =
                        dt == qpx32f ? 4 * w8 * (m + 2 * ks) + pipes + 8 * (m + ks) + 192
                                     : 2 * w8 * (2 * ks - 1 + m) + pipes + 8 * (h + ks) + 192;
                    EXPECT_EQ(buf32, std::max(own, engine));
                }
}

// A call with every argument broken, then the fixes in check order: each call fails with the
// code of the first broken check and leaves the watched memory alone; the last one succeeds.
using Steps = std::vector<std::pair<qpxStatus, std::function<void()>>>;
void expect_chain(const std::function<qpxStatus()>& call, const Steps& steps,
                  std::vector<std::pair<void*, std::size_t>> watched) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::vector<std::vector<std::uint8_t>> before;
        for (auto [p, n] : watched) before.emplace_back((std::uint8_t*)p, (std::uint8_t*)p + n);
        EXPECT_EQ(call(), steps[i].first) << "step " << i;
        for (std::size_t k = 0; k < watched.size(); ++k)
            EXPECT_EQ(std::memcmp(before[k].data(), watched[k].first, watched[k].second), 0) << i;
        steps[i].second();
    }
    EXPECT_EQ(call(), qpxStatusOk);
}

TEST(GaussianChecks, QueriesAndInitialisers) {
    std::int64_t a = -1, b = -1, *pa = nullptr, *pb = nullptr, w = 0, h = -1;
    int c = -1, d = -1, *pc = nullptr, *pd = nullptr, ks = 4, dt = 2, ch = 2;
    std::uint32_t border = 0x101;
    const std::vector<std::pair<void*, std::size_t>> outs = {{&a, 8}, {&b, 8}, {&c, 4}, {&d, 4}};
    auto typeAndChannels = [&](Steps s) {
        s.insert(s.end(),
                 {{-5, [&] { ks = 5; }}, {-59, [&] { dt = qpx16u; }}, {-47, [&] { ch = 3; }}});
        return s;
    };
    auto reset = [&] {
        pa = pb = nullptr, pc = pd = nullptr, ks = 4, dt = 2, ch = 2, w = 0, h = -1;
    };
    expect_chain([&] { return qpxiFilterGaussianGetSpecSize_L(ks, dt, ch, pa, pb); },
                 typeAndChannels({{-8, [&] { pa = &a; }}, {-8, [&] { pb = &b; }}}), outs);
    reset();
    expect_chain([&] { return qpxiFilterGaussianGetSpecSize(ks, dt, ch, pc, pd); },
                 typeAndChannels({{-8, [&] { pc = &c; }}, {-8, [&] { pd = &d; }}}), outs);
    reset();
    Steps st =
        typeAndChannels({{-8, [&] { pa = &a; }}, {-6, [&] { w = 5; }}, {-6, [&] { h = 5; }}});
    st.insert(st.end(), {{-225, [&] { border = 0x12; }}, {-225, [&] { border = 0xF2; }}});
    expect_chain([&] { return qpxiFilterGaussianGetBufferSize_L(w, h, ks, dt, border, ch, pa); },
                 st, outs);
    reset();
    expect_chain(
        [&] {
            return qpxiFilterGaussianGetBufferSize({int(w), 3}, ks, dt, ch, pc, pd);
        },
        typeAndChannels({{-8, [&] { pc = &c; }}, {-8, [&] { pd = &d; }}, {-6, [&] { w = 2; }}}),
        outs);

    // The initialisers differ in their border rule: 0xF2 passes the 64-bit one only.
    std::vector<std::uint8_t> mem(4096, 0xAB), init(64, 0xCD);
    for (bool is64 : {true, false}) {
        qpxFilterGaussianSpec* spec = nullptr;
        std::uint8_t* buf = nullptr;
        float sigma = 0.0f;
        reset(), border = 0x100;
        Steps s = typeAndChannels({{-8, [&] { spec = (qpxFilterGaussianSpec*)mem.data(); }},
                                   {-8, [&] { buf = init.data(); }},
                                   {-6, [&] { w = 4; }},
                                   {-6, [&] { h = 3; }}});
        s.insert(s.end(), {{-5, [&] { sigma = -1.0f; }},
                           {-5, [&] { sigma = NAN; }},
                           {-5, [&] { sigma = 1.5f; }},
                           {-225, [&] { border = 0xF2; }}});
        if (!is64) s.push_back({-225, [&] { border = 0xF0; }});
        expect_chain(
            [&] {
                return is64 ? qpxiFilterGaussianInit_L(w, h, ks, sigma, border, dt, ch, spec, buf)
                            : qpxiFilterGaussianInit({int(w), int(h)}, ks, sigma, border, dt, ch,
                                                     spec, buf);
            },
            s, {{mem.data(), mem.size()}, {init.data(), init.size()}});
    }
}

// The filtering exports of one type and channel count, 64-bit, 32-bit and (C3) Border forms.
// The 64-bit form tests its width rule before the size; the 32-bit forms first test for steps
// below 1 and the size. The kernel sizes come last: the 32-bit header's, then the engine's.
template <class T, int C, class F64, class F32, class FB>
void filter_chains(F64 f64, F32 f32, FB fb) {
    const int w = 5, h = 3, ks = 5, bad = 4, rowBytes = w * C * sizeof(T), esz = sizeof(T);
    const int code = esz == 1                   ? qpx8u
                     : std::is_same_v<T, float> ? qpx32f
                     : std::is_signed_v<T>      ? qpx16s
                                                : qpx16u;
    GuardedImage<T> src(w, h, C), dst(w, h, C);
    const T bvals[3] = {1, 2, 3};
    int spec32, buf32;
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({w, h}, ks, code, C, &spec32, &buf32), 0);
    std::vector<std::uint8_t> specMem(spec32), bufMem(buf32);
    auto* specB = reinterpret_cast<qpxFilterGaussianSpec*>(specMem.data());
    ASSERT_EQ(qpxiFilterGaussianInit({w, h}, ks, 1.0f, 6, code, C, specB, bufMem.data()), 0);
    std::uint8_t* engine = specMem.data() + spec32 - (4 * ((ks + 1) / 2) + 128);
    for (int form = 0; form < (C == 3 ? 3 : 2); ++form) {
        const T* s = nullptr;
        T* d = nullptr;
        const T* bv = nullptr;
        const qpxFilterGaussianSpec* sp = nullptr;
        std::uint8_t* b = nullptr;
        std::int64_t ss = form ? 0 : rowBytes - 1, ds = ss, ok = rowBytes + (esz > 1);
        int hh = 0;
        std::uint32_t border;
        auto setBorder = [&](std::uint32_t v) {
            border = v, std::memcpy(specMem.data() + 8, &v, 4);
        };
        setBorder(0x106);
        auto fixSpec = [&] { sp = form ? specB : (qpxFilterGaussianSpec*)engine; };
        Steps st;
        if (form == 2) st.push_back({-8, fixSpec});
        st.insert(st.end(), {{-8, [&] { s = src.roi(); }}, {-8, [&] { d = dst.roi(); }}});
        if (form != 2) st.push_back({-8, fixSpec});
        st.push_back({-8, [&] { b = bufMem.data(); }});
        if (form)
            st.insert(st.end(), {{-16, [&] { ss = rowBytes - 1; }},
                                 {-16, [&] { ds = rowBytes - 1; }},
                                 {-6, [&] { hh = h; }}});
        st.insert(st.end(), {{-16, [&] { ss = ok; }}, {-16, [&] { ds = ok; }}});
        if (!form) st.push_back({-6, [&] { hh = h; }});
        if (esz > 1)
            st.insert(st.end(),
                      {{-108, [&] { ss = src.step(); }}, {-108, [&] { ds = dst.step(); }}});
        st.insert(st.end(), {{-225, [&] { setBorder(6); }},
                             {-8, [&] { bv = bvals, setBorder(2); }},
                             {-225, [&] { setBorder(6); }}});
        if (form) st.push_back({-5, [&] { std::memcpy(specMem.data(), &ks, 4); }});
        st.push_back({-5, [&] { std::memcpy(engine, &ks, 4); }});
        if (form) std::memcpy(specMem.data(), &bad, 4);
        std::memcpy(engine, &bad, 4);
        SCOPED_TRACE(form);
        expect_chain(
            [&]() -> qpxStatus {
                if (form == 0) return f64(s, ss, d, ds, w, hh, border, bv, sp, b);
                if (form == 1)
                    return f32(s, int(ss), d, int(ds), qpxSize{w, hh}, border, bv, sp, b);
                if constexpr (C == 3) return fb(s, int(ss), d, int(ds), qpxSize{w, hh}, bv, sp, b);
                return qpxStatusOk;
            },
            st, {{dst.roi(), std::size_t(dst.step()) * h}, {bufMem.data(), bufMem.size()}});
    }
    // A negative width passes the width rule of the 64-bit form and fails the size check.
    EXPECT_EQ(f64(src.roi(), 0, dst.roi(), 0, -1, h, 1, nullptr, (qpxFilterGaussianSpec*)engine,
                  bufMem.data()),
              -6);
}

TEST(GaussianChecks, FilterEntryPoints) {
#define GAUSS_CHAINS(tag, T)                                                              \
    filter_chains<T, 1>(qpxiFilterGaussian_##tag##_C1R_L, qpxiFilterGaussian_##tag##_C1R, \
                        nullptr);                                                         \
    filter_chains<T, 3>(qpxiFilterGaussian_##tag##_C3R_L, qpxiFilterGaussian_##tag##_C3R, \
                        qpxiFilterGaussianBorder_##tag##_C3R);
    GAUSS_CHAINS(8u, std::uint8_t)
    GAUSS_CHAINS(16u, std::uint16_t)
    GAUSS_CHAINS(16s, std::int16_t)
    GAUSS_CHAINS(32f, float)
#undef GAUSS_CHAINS
}

}  // namespace
