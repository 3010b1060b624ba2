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

// ---- kernel -------------------------------------------------------------------------------------

TEST(GaussianKernel, ExponentIsCorrectlyRounded) {
    int off = 0;
    for (float x = -104.5f; x < 89.0f; x += 0.0173f) {
        const float want = static_cast<float>(std::exp(double(x)));
        const float got = qpx::filter::exp_f32(x);
        if (got != want) {
            ++off;
            EXPECT_EQ(std::nextafter(got, want), want) << x;  // never more than one ulp
        }
    }
    EXPECT_EQ(off, 0);
    EXPECT_EQ(qpx::filter::exp_f32(-200.0f), 0.0f);
    EXPECT_EQ(qpx::filter::exp_f32(100.0f), INFINITY);
    EXPECT_EQ(qpx::filter::exp_f32(0.0f), 1.0f);
}

// The spec holds the header words and the weights built in single precision as the formula
// reads, checked here against the system exponential.
TEST(GaussianKernel, SpecContents) {
    for (int ks : {3, 5, 7, 11, 31})
        for (float sigma : {0.01f, 0.5f, 1.0f, 2.7f, 100.0f}) {
            std::vector<std::uint8_t> spec(4 * ((ks + 1) / 2) + 128);
            std::uint8_t init[64];
            ASSERT_EQ(qpxiFilterGaussianInit_L(
                          8, 8, ks, sigma, 1, qpx16s, 3,
                          reinterpret_cast<qpxFilterGaussianSpec*>(spec.data()), init),
                      0);
            std::uint32_t head[4];
            std::memcpy(head, spec.data(), 16);
            EXPECT_EQ(head[0], std::uint32_t(ks));
            EXPECT_EQ(head[1], 64u);
            EXPECT_EQ(head[2], std::uint32_t(qpx16s));
            EXPECT_EQ(head[3], 0u);
            const int r = ks / 2;
            std::vector<float> w(r + 1);
            float sum = 0, inv = 1.0f / (sigma * sigma);
            for (int i = r; i >= 1; --i) {
                float e = -float(i) * (float(i) * 0.5f) * inv;
                sum += w[i] = static_cast<float>(std::exp(double(e)));
            }
            const float s = 1.0f + 2.0f * sum;
            for (int i = 0; i <= r; ++i) {
                float got;
                std::memcpy(&got, spec.data() + 16 + 4 * (r - i), 4);
                EXPECT_EQ(got, i == 0 ? 1.0f / s : w[i] / s) << ks << " " << sigma << " " << i;
            }
        }
    float k[2];
    std::vector<std::uint8_t> spec(136);
    std::uint8_t init[64];
    qpxiFilterGaussianInit_L(4, 4, 3, 1.0f, 1, qpx8u, 1,
                             reinterpret_cast<qpxFilterGaussianSpec*>(spec.data()), init);
    std::memcpy(k, spec.data() + 16, 8);
    EXPECT_NEAR(k[0], 0.27407, 1e-5);
    EXPECT_NEAR(k[1], 0.45186, 1e-5);
}

// ---- sizes --------------------------------------------------------------------------------------

std::int64_t up(std::int64_t v, std::int64_t m) {
    return (v + m - 1) / m * m;
}

TEST(GaussianSizes, MatchFormulas) {
    const int types[] = {qpx8u, qpx16u, qpx16s, qpx32f};
    for (int dt : types)
        for (int ch : {1, 3})
            for (int ks : {3, 5, 9, 21})
                for (auto [w, h] : {std::pair{1, 1}, {7, 2}, {64, 30}, {1001, 5}}) {
                    std::int64_t s64, i64, b64;
                    ASSERT_EQ(qpxiFilterGaussianGetSpecSize_L(ks, dt, ch, &s64, &i64), 0);
                    EXPECT_EQ(s64, 4 * ((ks + 1) / 2) + 128);
                    EXPECT_EQ(i64, 64);
                    int s32, i32;
                    ASSERT_EQ(qpxiFilterGaussianGetSpecSize(ks, dt, ch, &s32, &i32), 0);
                    EXPECT_EQ(s32, s64);
                    EXPECT_EQ(i32, 64);
                    ASSERT_EQ(qpxiFilterGaussianGetBufferSize_L(w, h, ks, dt, 3, ch, &b64), 0);
                    const std::int64_t engine =
                        (ks + 1) * up(std::int64_t(w) * ch * 4, 64) + 12 * ks + 64;
                    EXPECT_EQ(b64, engine);

                    const std::int64_t head = dt == qpx32f ? 32 * ks + 32 : 16 * ks + 36;
                    const std::int64_t w4 = up(w, 4), w8 = up((w + ks) * ch, 8),
                                       m = std::min(h, ks);
                    std::int64_t rowBuf = 0, colBuf = 0;
                    if (dt == qpx8u)
                        rowBuf = ch == 1 ? 36 * ks + 144 : 60 * ks + 144,
                        colBuf = (ch == 1 ? 12 : 36) * w4 + 64;
                    if (dt == qpx16u)
                        rowBuf = ch == 1 ? 64 * ks + 96 : 128 * ks + 96,
                        colBuf = 32 * (ks + (8 * w * ch + 24) / 32) + 64;
                    if (dt == qpx16s)
                        rowBuf = ch == 1 ? 48 * ks + 112 : 40 * ks + 96,
                        colBuf = (ch == 1 ? 12 : 36) * w4 + 64;
                    if (dt == qpx32f)
                        rowBuf = ch == 1 ? 96 * ks + 96 : 288 * ks + 96, colBuf = 32 * ks + 32;
                    const std::int64_t own =
                        dt == qpx32f
                            ? 4 * w8 * (m + 2 * ks) + rowBuf + colBuf + 8 * (m + ks) + 192
                            : 2 * w8 * ((ks - 1) + m + ks) + rowBuf + colBuf + 8 * (h + ks) + 192;
                    int spec32, buf32;
                    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({w, h}, ks, dt, ch, &spec32, &buf32),
                              0);
                    EXPECT_EQ(spec32, head + s64);
                    EXPECT_EQ(buf32, std::max({own, engine, std::int64_t(64)}));
                }
}

// ---- check order --------------------------------------------------------------------------------

// A call with every argument broken at once, and the fixes in check order: each call must fail
// with the code of the first broken check, write nothing to the watched memory, and the call
// with everything fixed must succeed.
struct Step {
    qpxStatus code;
    std::function<void()> fix;
};
void expect_chain(const std::function<qpxStatus()>& call, const std::vector<Step>& steps,
                  const std::vector<std::pair<void*, std::size_t>>& watched) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::vector<std::vector<std::uint8_t>> before;
        for (auto [p, n] : watched) before.emplace_back((std::uint8_t*)p, (std::uint8_t*)p + n);
        EXPECT_EQ(call(), steps[i].code) << "step " << i;
        for (std::size_t k = 0; k < watched.size(); ++k)
            EXPECT_EQ(std::memcmp(before[k].data(), watched[k].first, watched[k].second), 0)
                << "step " << i << " wrote memory " << k;
        steps[i].fix();
    }
    EXPECT_EQ(call(), qpxStatusOk);
}

TEST(GaussianChecks, Queries) {
    std::int64_t a = -1, b = -1, *pa = nullptr, *pb = nullptr;
    int ks = 4, dt = 2, ch = 2;
    std::vector<std::pair<void*, std::size_t>> outs = {{&a, 8}, {&b, 8}};
    expect_chain([&] { return qpxiFilterGaussianGetSpecSize_L(ks, dt, ch, pa, pb); },
                 {{-8, [&] { pa = &a; }},
                  {-8, [&] { pb = &b; }},
                  {-5, [&] { ks = 5; }},
                  {-59, [&] { dt = qpx16u; }},
                  {-47, [&] { ch = 3; }}},
                 outs);
    int c = -1, d = -1, *pc = nullptr, *pd = nullptr;
    ks = 1, dt = 11, ch = 4;
    std::vector<std::pair<void*, std::size_t>> outs32 = {{&c, 4}, {&d, 4}};
    expect_chain([&] { return qpxiFilterGaussianGetSpecSize(ks, dt, ch, pc, pd); },
                 {{-8, [&] { pc = &c; }},
                  {-8, [&] { pd = &d; }},
                  {-5, [&] { ks = 3; }},
                  {-59, [&] { dt = qpx32f; }},
                  {-47, [&] { ch = 1; }}},
                 outs32);

    std::int64_t w = 0, h = -1;
    std::uint32_t border = 0x101;
    pa = nullptr, ks = 2, dt = 0, ch = 0;
    expect_chain([&] { return qpxiFilterGaussianGetBufferSize_L(w, h, ks, dt, border, ch, pa); },
                 {{-8, [&] { pa = &a; }},
                  {-6, [&] { w = 5; }},
                  {-6, [&] { h = 5; }},
                  {-5, [&] { ks = 7; }},
                  {-59, [&] { dt = qpx8u; }},
                  {-47, [&] { ch = 1; }},
                  {-225, [&] { border = 0x12; }},
                  {-225, [&] { border = 0xF2; }}},
                 outs);

    qpxSize roi{3, 0};
    pc = pd = nullptr, ks = 0, dt = 19, ch = 2;
    expect_chain([&] { return qpxiFilterGaussianGetBufferSize(roi, ks, dt, ch, pc, pd); },
                 {{-8, [&] { pc = &c; }},
                  {-8, [&] { pd = &d; }},
                  {-6, [&] { roi.height = 2; }},
                  {-5, [&] { ks = 3; }},
                  {-59, [&] { dt = qpx16s; }},
                  {-47, [&] { ch = 3; }}},
                 outs32);
}

// Both initialisers; they differ in the border rule (0xF2 passes the 64-bit one only).
TEST(GaussianChecks, Initialisers) {
    std::vector<std::uint8_t> mem(4096, 0xAB), init(64, 0xCD);
    for (bool is64 : {true, false}) {
        qpxFilterGaussianSpec* spec = nullptr;
        std::uint8_t* buf = nullptr;
        std::int64_t w = 4, h = 0;
        int ks = 6, dt = 3, ch = 4;
        float sigma = 0.0f;
        std::uint32_t border = 0x100;
        auto call = [&] {
            return is64 ? qpxiFilterGaussianInit_L(w, h, ks, sigma, border, dt, ch, spec, buf)
                        : qpxiFilterGaussianInit({int(w), int(h)}, ks, sigma, border, dt, ch, spec,
                                                 buf);
        };
        std::vector<Step> steps = {
            {-8, [&] { spec = reinterpret_cast<qpxFilterGaussianSpec*>(mem.data()); }},
            {-8, [&] { buf = init.data(); }},
            {-6, [&] { h = 3; }},
            {-5, [&] { ks = 9; }},
            {-59, [&] { dt = qpx32f; }},
            {-47, [&] { ch = 3; }},
            {-5, [&] { sigma = -1.0f; }},
            {-5, [&] { sigma = NAN; }},
            {-5, [&] { sigma = 1.5f; }},
            {-225, [&] { border = 0xF2; }}};
        if (!is64) steps.push_back({-225, [&] { border = 0xF0; }});
        expect_chain(call, steps, {{mem.data(), mem.size()}, {init.data(), init.size()}});
    }
}

// The filtering exports of one type and channel count: 64-bit, 32-bit and Border forms.
template <class T, int C, class F64, class F32, class FB>
void filter_chains(F64 f64, F32 f32, FB fborder) {
    const int w = 5, h = 3, ks = 5;
    const int code = sizeof(T) == 1             ? qpx8u
                     : std::is_same_v<T, float> ? qpx32f
                     : std::is_signed_v<T>      ? qpx16s
                                                : qpx16u;
    const int rowBytes = w * C * sizeof(T), esz = sizeof(T);
    GuardedImage<T> src(w, h, C), dst(w, h, C);
    const T bvals[3] = {1, 2, 3};
    int spec32, buf32;
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({w, h}, ks, code, C, &spec32, &buf32), 0);
    std::vector<std::uint8_t> specMem(spec32), bufMem(buf32, 0x5A);
    auto* specB = reinterpret_cast<qpxFilterGaussianSpec*>(specMem.data());
    ASSERT_EQ(qpxiFilterGaussianInit({w, h}, ks, 1.0f, 6, code, C, specB, bufMem.data()), 0);
    const std::int64_t headBytes = spec32 - (4 * ((ks + 1) / 2) + 128);
    std::uint8_t* engine = specMem.data() + headBytes;
    const std::vector<std::pair<void*, std::size_t>> watched = {
        {dst.roi(), std::size_t(dst.step()) * h}, {bufMem.data(), bufMem.size()}};

    for (int form = 0; form < 3; ++form) {
        if (form == 2 && C == 1) continue;  // the C1 Border form takes its value by value
        const T* s = nullptr;
        T* d = nullptr;
        const T* bv = nullptr;
        const qpxFilterGaussianSpec* sp = nullptr;
        std::uint8_t* b = nullptr;
        std::int64_t ss = 0, ds = 0;
        int hh = 0;
        std::uint32_t border = 0x106;
        auto setBorder = [&](std::uint32_t v) {
            border = v;
            std::memcpy(specMem.data() + 8, &v, 4);  // header word read by the Border form
        };
        setBorder(0x106);
        auto* engineSpec = reinterpret_cast<qpxFilterGaussianSpec*>(engine);
        const int ok = rowBytes + (esz > 1);  // long enough, but not a multiple
        std::vector<Step> steps;
        if (form == 0) {
            ss = ds = rowBytes - 1;
            steps = {{-8, [&] { s = src.roi(); }},
                     {-8, [&] { d = dst.roi(); }},
                     {-8, [&] { b = bufMem.data(); }},
                     {-8, [&] { sp = engineSpec; }},
                     {-16, [&] { ss = ok; }},
                     {-16, [&] { ds = ok; }},
                     {-6, [&] { hh = h; }}};
        } else {
            if (form == 2) steps.push_back({-8, [&] { sp = specB; }});
            steps.push_back({-8, [&] { s = src.roi(); }});
            steps.push_back({-8, [&] { d = dst.roi(); }});
            if (form == 1) steps.push_back({-8, [&] { sp = specB; }});
            steps.insert(steps.end(), {{-8, [&] { b = bufMem.data(); }},
                                       {-16, [&] { ss = rowBytes - 1; }},
                                       {-16, [&] { ds = rowBytes - 1; }},
                                       {-6, [&] { hh = h; }},
                                       {-16, [&] { ss = ok; }},
                                       {-16, [&] { ds = ok; }}});
        }
        if (esz > 1)
            steps.insert(steps.end(),
                         {{-108, [&] { ss = src.step(); }}, {-108, [&] { ds = dst.step(); }}});
        // Border above 255, constant without a value, a kind the rule refuses; then the kernel
        // sizes: the 32-bit header's and the engine's.
        steps.insert(steps.end(), {{-225, [&] { setBorder(6); }},
                                   {-8, [&] { bv = bvals, setBorder(2); }},
                                   {-225, [&] { setBorder(6); }}});
        if (form != 0) steps.push_back({-5, [&] { std::memcpy(specMem.data(), &ks, 4); }});
        steps.push_back({-5, [&] { std::memcpy(engine, &ks, 4); }});
        const int bad = 4;
        if (form != 0) std::memcpy(specMem.data(), &bad, 4);
        std::memcpy(engine, &bad, 4);
        auto call = [&]() -> qpxStatus {
            if (form == 0) return f64(s, ss, d, ds, w, hh, border, bv, sp, b);
            if (form == 1) return f32(s, int(ss), d, int(ds), qpxSize{w, hh}, border, bv, sp, b);
            return fborder(s, int(ss), d, int(ds), qpxSize{w, hh}, bv, sp, b);
        };
        SCOPED_TRACE(form);
        expect_chain(call, steps, watched);
    }
    // A negative width passes the width rule of the 64-bit form and fails the size check.
    EXPECT_EQ(f64(src.roi(), 0, dst.roi(), 0, -1, h, 1, nullptr, (qpxFilterGaussianSpec*)engine,
                  bufMem.data()),
              -6);
}

TEST(GaussianChecks, FilterEntryPoints) {
#define GAUSS_CHAINS(tag, T)                                                              \
    filter_chains<T, 1>(qpxiFilterGaussian_##tag##_C1R_L, qpxiFilterGaussian_##tag##_C1R, \
                        qpxiFilterGaussianBorder_##tag##_C3R);                            \
    filter_chains<T, 3>(qpxiFilterGaussian_##tag##_C3R_L, qpxiFilterGaussian_##tag##_C3R, \
                        qpxiFilterGaussianBorder_##tag##_C3R);
    GAUSS_CHAINS(8u, std::uint8_t)
    GAUSS_CHAINS(16u, std::uint16_t)
    GAUSS_CHAINS(16s, std::int16_t)
    GAUSS_CHAINS(32f, float)
#undef GAUSS_CHAINS
}

// The C1 Border form checks its spec first and then reads the border from the header.
TEST(GaussianChecks, BorderFormC1) {
    GuardedImage<float> src(6, 4), dst(6, 4);
    int specSize, bufSize;
    qpxiFilterGaussianGetBufferSize({6, 4}, 3, qpx32f, 1, &specSize, &bufSize);
    std::vector<std::uint8_t> spec(specSize), buf(bufSize);
    auto* s = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
    EXPECT_EQ(
        qpxiFilterGaussianBorder_32f_C1R(nullptr, 0, nullptr, 0, {0, 0}, 0.0f, nullptr, nullptr),
        -8);
    EXPECT_EQ(qpxiFilterGaussianBorder_32f_C1R(nullptr, 0, nullptr, 0, {0, 0}, 0.0f, s, nullptr),
              -8);
    ASSERT_EQ(qpxiFilterGaussianInit({6, 4}, 3, 1.0f, 0x42, qpx32f, 1, s, buf.data()), -225);
    ASSERT_EQ(qpxiFilterGaussianInit({6, 4}, 3, 1.0f, 6, qpx32f, 1, s, buf.data()), 0);
    src.fill([] { return 0.0f; });
    ASSERT_EQ(qpxiFilterGaussianBorder_32f_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {6, 4},
                                               90.0f, s, buf.data()),
              0);
    EXPECT_GT(dst.at(0, 0), 20.0f);  // the constant border reached the corner
    EXPECT_EQ(dst.at(2, 2), 0.0f);
}

}  // namespace
