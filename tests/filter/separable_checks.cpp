// Argument checks of the separable family in their order, failed calls writing nothing, the
// size queries against their formulas, the spec record, and the 64-bit forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "common/guard.hpp"

using namespace qpxtest;

namespace {

using s16 = std::int16_t;
using u8 = std::uint8_t;

// Arguments of a spec-based call, mutated row by row of a table.
struct Args {
    bool nullSrc = false, nullDst = false, nullSpec = false, nullBuf = false;
    int w = 5, h = 3;
    int srcPad = 0, dstPad = 0;  // bytes added to (negative: taken from) the tight step
    std::uint32_t border = 1;
};
struct Row {
    const char* what;
    Args a;
    qpxStatus want16, want8, want816;  // 16/32-bit images, 8u to 8u, 8u to 16s
};

const Row kApplyTable[] = {
    {"valid", {}, 0, 0, 0},
    {"null src with empty roi", {.nullSrc = true, .w = 0}, -8, -8, -8},
    {"null dst", {.nullDst = true}, -8, -8, -8},
    {"null spec", {.nullSpec = true, .border = 99}, -8, -8, -8},
    {"null buffer", {.nullBuf = true, .h = -1}, -8, -8, -8},
    {"zero width", {.w = 0, .srcPad = -1}, -6, -6, -6},
    {"zero height", {.h = 0, .border = 2}, -6, -6, -6},
    {"short src step", {.srcPad = -1, .border = 2}, -16, -16, -16},
    {"short dst step after odd src step", {.srcPad = 1, .dstPad = -2}, -16, -16, -16},
    {"odd src step", {.srcPad = 1}, -108, 0, 0},
    {"odd dst step", {.dstPad = 3, .border = 2}, -108, -225, -108},
    {"wrap border", {.border = 2}, -225, -225, -225},
    {"stage flags", {.border = 0x101}, -225, -225, -225},
    {"partial in-memory without kind", {.border = 0x30}, -225, -225, -225},
    {"all in memory", {.border = 240}, 0, 0, 0},
    {"repl with all in memory", {.border = 241}, 0, 0, 0},
    {"default kind", {.border = 5}, -225, -225, -225},
};

template <class T, class D, int ch, class Fn>
void run_table(Fn fn) {
    for (const Row& r : kApplyTable) {
        const Args& a = r.a;
        // Margins of 1 on every side make 240 legal for the 1x1 kernel below and 3x3 alike.
        GuardedImage<T> src(8, 5, ch, 0, Place::End, {1, 1, 1, 1});
        GuardedImage<D> dst(8, 5, ch, 4, Place::End);
        const float k[3] = {1, 2, 1};
        alignas(16) u8 spec[256], buf[4096];
        ASSERT_EQ(qpxiFilterSeparableInit_32f(k, k, {3, 3}, qpx32f, ch,
                                              reinterpret_cast<qpxFilterSeparableSpec*>(spec)),
                  0);
        std::memset(buf, 0x5a, sizeof buf);
        const auto dstBefore = dst.snapshot();
        u8 specBefore[256];
        std::memcpy(specBefore, spec, sizeof spec);
        const int srcStep = int(a.w > 0 ? a.w : 5) * ch * sizeof(T) + a.srcPad;
        const int dstStep = int(a.w > 0 ? a.w : 5) * ch * sizeof(D) + a.dstPad;
        qpxStatus st = fn(a.nullSrc ? nullptr : src.roi(), srcStep, a.nullDst ? nullptr : dst.roi(),
                          dstStep, qpxSize{a.w, a.h}, a.border,
                          a.nullSpec ? nullptr : reinterpret_cast<qpxFilterSeparableSpec*>(spec),
                          a.nullBuf ? nullptr : buf);
        EXPECT_EQ(st, sizeof(T) > 1 ? r.want16 : sizeof(D) > 1 ? r.want816 : r.want8) << r.what;
        EXPECT_EQ(std::memcmp(spec, specBefore, sizeof spec), 0) << r.what;
        if (st != 0) {
            EXPECT_TRUE(dst.snapshot() == dstBefore) << r.what;
            EXPECT_TRUE(std::all_of(buf, buf + sizeof buf, [](u8 b) { return b == 0x5a; }))
                << r.what;
        }
    }
}

#define C1(fn, T)                                                                     \
    [](auto s, int ss, auto d, int ds, qpxSize r, std::uint32_t b, auto sp, u8* bf) { \
        return fn(s, ss, d, ds, r, b, T(0), sp, bf);                                  \
    }
#define CN(fn, T)                                                                     \
    [](auto s, int ss, auto d, int ds, qpxSize r, std::uint32_t b, auto sp, u8* bf) { \
        const T v[4] = {};                                                            \
        return fn(s, ss, d, ds, r, b, v, sp, bf);                                     \
    }
#define CL(fn, V)                                                                     \
    [](auto s, int ss, auto d, int ds, qpxSize r, std::uint32_t b, auto sp, u8* bf) { \
        const V v[4] = {};                                                            \
        (void)v;                                                                      \
        return fn(s, ss, d, ds, qpxSizeL{r.width, r.height}, b, CL_VALUE, sp, bf);    \
    }

TEST(SeparableChecks, ApplyOrder) {
    run_table<u8, u8, 1>(C1(qpxiFilterSeparable_8u_C1R, u8));
    run_table<u8, u8, 3>(CN(qpxiFilterSeparable_8u_C3R, u8));
    run_table<u8, u8, 4>(CN(qpxiFilterSeparable_8u_C4R, u8));
    run_table<u8, s16, 1>(C1(qpxiFilterSeparable_8u16s_C1R, u8));
    run_table<u8, s16, 3>(CN(qpxiFilterSeparable_8u16s_C3R, u8));
    run_table<u8, s16, 4>(CN(qpxiFilterSeparable_8u16s_C4R, u8));
    run_table<s16, s16, 1>(C1(qpxiFilterSeparable_16s_C1R, s16));
    run_table<s16, s16, 3>(CN(qpxiFilterSeparable_16s_C3R, s16));
    run_table<s16, s16, 4>(CN(qpxiFilterSeparable_16s_C4R, s16));
    run_table<std::uint16_t, std::uint16_t, 1>(C1(qpxiFilterSeparable_16u_C1R, std::uint16_t));
    run_table<std::uint16_t, std::uint16_t, 3>(CN(qpxiFilterSeparable_16u_C3R, std::uint16_t));
    run_table<std::uint16_t, std::uint16_t, 4>(CN(qpxiFilterSeparable_16u_C4R, std::uint16_t));
    run_table<float, float, 1>(C1(qpxiFilterSeparable_32f_C1R, float));
    run_table<float, float, 3>(CN(qpxiFilterSeparable_32f_C3R, float));
    run_table<float, float, 4>(CN(qpxiFilterSeparable_32f_C4R, float));
#define CL_VALUE v[0]
    run_table<u8, u8, 1>(CL(qpxiFilterSeparable_8u_C1R_L, u8));
    run_table<u8, s16, 1>(CL(qpxiFilterSeparable_8u16s_C1R_L, u8));
    run_table<s16, s16, 1>(CL(qpxiFilterSeparable_16s_C1R_L, s16));
    run_table<std::uint16_t, std::uint16_t, 1>(CL(qpxiFilterSeparable_16u_C1R_L, std::uint16_t));
    run_table<float, float, 1>(CL(qpxiFilterSeparable_32f_C1R_L, float));
#undef CL_VALUE
#define CL_VALUE v
    run_table<u8, u8, 3>(CL(qpxiFilterSeparable_8u_C3R_L, u8));
    run_table<u8, u8, 4>(CL(qpxiFilterSeparable_8u_C4R_L, u8));
    run_table<u8, s16, 3>(CL(qpxiFilterSeparable_8u16s_C3R_L, u8));
    run_table<u8, s16, 4>(CL(qpxiFilterSeparable_8u16s_C4R_L, u8));
    run_table<s16, s16, 3>(CL(qpxiFilterSeparable_16s_C3R_L, s16));
    run_table<s16, s16, 4>(CL(qpxiFilterSeparable_16s_C4R_L, s16));
    run_table<std::uint16_t, std::uint16_t, 3>(CL(qpxiFilterSeparable_16u_C3R_L, std::uint16_t));
    run_table<std::uint16_t, std::uint16_t, 4>(CL(qpxiFilterSeparable_16u_C4R_L, std::uint16_t));
    run_table<float, float, 3>(CL(qpxiFilterSeparable_32f_C3R_L, float));
    run_table<float, float, 4>(CL(qpxiFilterSeparable_32f_C4R_L, float));
#undef CL_VALUE
}

// The 64-bit forms: 32-bit range, same results as the 32-bit forms, the caller's MXCSR back.
TEST(SeparableChecks, WideForms) {
    GuardedImage<float> src(6, 4), a(6, 4), b(6, 4);
    Random rnd(2);
    src.fill([&] { return rnd.next<float>(-1, 1); });
    const float k[2] = {0.5f, -1.25f};
    alignas(16) u8 spec[256], buf[4096];
    auto* sp = reinterpret_cast<qpxFilterSeparableSpec*>(spec);
    ASSERT_EQ(qpxiFilterSeparableInit_32f_L(k, k, {2, 2}, qpx32f, 1, sp), 0);
    const std::int64_t big = std::int64_t(1) << 31;
    EXPECT_EQ(qpxiFilterSeparable_32f_C1R_L(src.roi(), src.step(), a.roi(), a.step(), {big, 4}, 1,
                                            0, sp, buf),
              -232);
    EXPECT_EQ(qpxiFilterSeparable_32f_C1R_L(src.roi(), src.step(), a.roi(), a.step(), {-1, 4}, 1, 0,
                                            sp, buf),
              -6);
    EXPECT_EQ(
        qpxiFilterSeparable_32f_C1R_L(src.roi(), big * 2, a.roi(), a.step(), {6, 4}, 1, 0, sp, buf),
        -232);
    EXPECT_EQ(qpxiFilterSeparableInit_32f_L(k, k, {big, 2}, qpx32f, 1, sp), -232);
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(saved & ~0x0100u);  // denormal exception unmasked
    EXPECT_EQ(qpxiFilterSeparable_32f_C1R_L(src.roi(), src.step(), a.roi(), a.step(), {6, 4}, 3, 0,
                                            sp, buf),
              0);
    EXPECT_EQ(_mm_getcsr(), saved & ~0x0100u);
    _mm_setcsr(saved);
    EXPECT_EQ(qpxiFilterSeparable_32f_C1R(src.roi(), src.step(), b.roi(), b.step(), {6, 4}, 3, 0,
                                          sp, buf),
              0);
    EXPECT_TRUE(a.snapshot() == b.snapshot());
}

TEST(SeparableChecks, SizeQueriesAndSpecRecord) {
    int n = 0;
    std::int64_t nl = 0;
    for (auto [kw, kh] : {std::pair{1, 1}, {3, 5}, {8, 2}})
        for (int ch : {1, 3, 4})
            for (int kt : {qpx16s, qpx32f}) {
                const int e = kt == qpx16s ? 2 : 4;
                ASSERT_EQ(qpxiFilterSeparableGetSpecSize({kw, kh}, kt, ch, &n), 0);
                EXPECT_EQ(n, (kw + kh) * e + 127);
                ASSERT_EQ(qpxiFilterSeparableGetSpecSize_L({kw, kh}, kt, ch, &nl), 0);
                EXPECT_EQ(nl, n);
                for (int w : {1, 100}) {
                    ASSERT_EQ(
                        qpxiFilterSeparableGetBufferSize({w, 7}, {kw, kh}, qpx16u, kt, ch, &n), 0);
                    EXPECT_EQ(n, 256 * kw + 8 * kh + (kw * e + (w + kw - 1) * kh) * ch * 4);
                    ASSERT_EQ(qpxiFilterSeparableGetBufferSize_L({w, 1000}, {kw, kh}, qpx16u, kt,
                                                                 ch, &nl),
                              0);
                    EXPECT_EQ(nl, n);
                }
            }
    // Check order of the queries and initialisers.
    const s16 k16[2] = {1, 2};
    const float k32[2] = {1, 2};
    alignas(16) u8 spec[256] = {};
    auto* sp = reinterpret_cast<qpxFilterSeparableSpec*>(spec);
    struct {
        qpxStatus got, want;
    } cases[] = {
        {qpxiFilterSeparableGetSpecSize({0, 1}, 99, 2, nullptr), -6},
        {qpxiFilterSeparableGetSpecSize({1, 1}, 99, 2, nullptr), -8},
        {qpxiFilterSeparableGetSpecSize({1, 1}, qpx8u, 2, &n), -59},
        {qpxiFilterSeparableGetSpecSize({1, 1}, qpx16s, 2, &n), -47},
        {qpxiFilterSeparableGetBufferSize({1, 0}, {1, 1}, 99, 99, 2, nullptr), -6},
        {qpxiFilterSeparableGetBufferSize({1, 1}, {1, 1}, 99, 99, 2, nullptr), -8},
        {qpxiFilterSeparableGetBufferSize({1, 1}, {1, 1}, qpx32s, qpx16s, 2, &n), -59},
        {qpxiFilterSeparableGetBufferSize({1, 1}, {1, 1}, qpx8u, qpx8u, 2, &n), -59},
        {qpxiFilterSeparableGetBufferSize({1, 1}, {1, 1}, qpx8u, qpx32f, 2, &n), -47},
        {qpxiFilterSeparableInit_32f(k32, nullptr, {0, 1}, 99, 2, sp), -8},
        {qpxiFilterSeparableInit_32f(k32, k32, {0, 1}, 99, 2, sp), -6},
        {qpxiFilterSeparableInit_32f(k32, k32, {1, 1}, qpx16s, 2, sp), -59},
        {qpxiFilterSeparableInit_32f(k32, k32, {1, 1}, qpx16u, 2, sp), -47},
        {qpxiFilterSeparableInit_16s(k16, k16, {1, 1}, 0, 0, qpx8u, 1, nullptr), -8},
        {qpxiFilterSeparableInit_16s(k16, k16, {1, -1}, 0, 0, qpx32f, 2, sp), -6},
        {qpxiFilterSeparableInit_16s(k16, k16, {1, 1}, 0, 0, qpx32f, 2, sp), -59},
        {qpxiFilterSeparableInit_16s(k16, k16, {1, 1}, 0, 0, qpx16s, 2, sp), -47},
        {qpxiFilterSeparableInit_16s(k16, k16, {1, 1}, 0, 0, qpx16s, 4, sp), -51},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << i;
    EXPECT_TRUE(std::all_of(spec, spec + sizeof spec, [](u8 b) { return b == 0; }));

    ASSERT_EQ(qpxiFilterSeparableInit_16s(k16, k16 + 1, {2, 1}, -3, 5, qpx16s, 4, sp), 0);
    EXPECT_EQ(sp->kernelKind, 0);
    EXPECT_EQ(sp->kernelWidth * 10 + sp->kernelHeight, 21);
    EXPECT_EQ(sp->divisor * 10 + sp->scaleFactor, -25);
    EXPECT_EQ(sp->numChannels, 4);
    ASSERT_TRUE(sp->rowKernel16s && sp->colKernel16s && !sp->rowKernel32f && !sp->colKernel32f);
    EXPECT_TRUE(reinterpret_cast<u8*>(sp->rowKernel16s) >= spec + sizeof *sp &&
                reinterpret_cast<u8*>(sp->colKernel16s + 1) <= spec + 2 * 3 + 127);
    EXPECT_EQ(sp->rowKernel16s[1] * 10 + sp->colKernel16s[0], 22);
    ASSERT_EQ(qpxiFilterSeparableInit_32f(k32, k32, {2, 2}, qpx8u, 1, sp), 0);
    EXPECT_EQ(sp->kernelKind * 100 + sp->divisor * 10 + sp->scaleFactor, 110);
    EXPECT_TRUE(sp->rowKernel32f && sp->colKernel32f == sp->rowKernel32f + 2 && !sp->rowKernel16s);
}

// Pipeline stages: check order, and the buffer queries against their formulas.
TEST(PipelineChecks, OrderAndSizes) {
    s16 src[64] = {}, out[64] = {};
    s16* rows[4] = {out, out + 16, out + 32, out + 48};
    const s16* crow[12] = {src, src, src, src, src, src, src, src, src, nullptr, src, src};
    s16* nrows[2] = {out, nullptr};
    const s16 k[3] = {1, 2, 1};
    u8 buf[1024];
    using F = std::function<qpxStatus(const s16*, s16**, int, int, int, std::uint32_t, int, u8*)>;
    const s16* k3 = k;
    // 16s tests the divisor before the border; 8u16s the border first.
    F f16 = [&](const s16* s, s16** d, int step, int ks, int ax, std::uint32_t b, int div, u8* bf) {
        return qpxiFilterRowBorderPipeline_16s_C1R(s, step, d, {4, 2}, k3, ks, ax, b, 0, div, bf);
    };
    struct {
        const s16* s;
        s16** d;
        int step, ks, ax;
        std::uint32_t b;
        int div;
        u8* bf;
        qpxStatus want;
    } rowCases[] = {
        {nullptr, rows, 1, 0, 9, 2, 0, buf, -8},   {src, rows, 8, 3, 1, 2, 0, nullptr, -8},
        {src, nrows, 1, 0, 9, 2, 0, buf, -8},      {src, rows, 1, 0, 9, 2, 0, buf, -6},
        {src, rows, 1, 3, 3, 2, 0, buf, -34},      {src, rows, 1, 3, -1, 2, 0, buf, -34},
        {src, rows, 7, 3, 1, 2, 0, buf, -16},      {src, rows, 9, 3, 1, 2, 0, buf, -108},
        {src, rows, 8, 3, 1, 2, 0, buf, -5},       {src, rows, 8, 3, 1, 2, 1, buf, -225},
        {src + 8, rows, 8, 3, 2, 240, -1, buf, 0},
    };
    for (auto& c : rowCases)
        EXPECT_EQ(f16(c.s, c.d, c.step, c.ks, c.ax, c.b, c.div, c.bf), c.want) << c.want;
    const u8 s8[16] = {};
    EXPECT_EQ(qpxiFilterRowBorderPipeline_8u16s_C1R(s8, 4, rows, {4, 2}, k, 3, 1, 2, 0, 0, buf),
              -225);
    EXPECT_EQ(qpxiFilterRowBorderPipeline_8u16s_C1R(s8, 4, rows, {4, 2}, k, 3, 1, 1, 0, 0, buf),
              -5);
    const std::uint16_t u16s[16] = {};
    std::uint16_t* urows[2] = {reinterpret_cast<std::uint16_t*>(out),
                               reinterpret_cast<std::uint16_t*>(out + 16)};
    EXPECT_EQ(qpxiFilterRowBorderPipeline_16u_C1R(u16s, 8, urows, {4, 2}, k, 3, 1, 2, 0, -2, buf),
              -5);
    EXPECT_EQ(qpxiFilterRowBorderPipeline_Low_16s_C1R(src, 8, rows, {4, 2}, k, 3, 1, 2, 0, 0, buf),
              -5);
    EXPECT_EQ(qpxiFilterRowBorderPipeline_32f_C1R(
                  reinterpret_cast<const float*>(src), 16, reinterpret_cast<float**>(rows), {4, 2},
                  reinterpret_cast<const float*>(k), 3, 1, 4, 0.0f, buf),
              -225);

    struct {
        const s16* const* p;
        s16* d;
        int step;
        qpxSize roi;
        int ks, div;
        u8* bf;
        qpxStatus want;
    } colCases[] = {
        {crow, nullptr, 1, {0, 0}, 0, 0, nullptr, -8}, {crow, out, 1, {0, 2}, 0, 0, nullptr, -6},
        {crow, out, 1, {4, 8}, 3, 0, nullptr, -8},     {crow, out, 1, {4, 2}, 0, 0, nullptr, -6},
        {crow, out, 7, {4, 2}, 3, 0, nullptr, -16},    {crow, out, 9, {4, 2}, 3, 0, nullptr, -108},
        {crow, out, 8, {4, 2}, 3, 0, nullptr, -8},     {crow, out, 8, {4, 2}, 3, 0, buf, -5},
        {crow, out, 8, {4, 2}, 3, -3, buf, 0},
    };
    for (auto& c : colCases)
        EXPECT_EQ(qpxiFilterColumnPipeline_16s_C1R(c.p, c.d, c.step, c.roi, k, c.ks, c.div, c.bf),
                  c.want)
            << c.want;

    // Column stage with one tap copies the rows, converted.
    const s16 one = 1;
    s16 vals[4] = {-5, 7, 300, 12};
    const s16* vr[1] = {vals};
    u8 o8[4];
    ASSERT_EQ(qpxiFilterColumnPipeline_16s8u_C1R(vr, o8, 4, {4, 1}, &one, 1, 1, buf), 0);
    EXPECT_TRUE(o8[0] == 0 && o8[1] == 7 && o8[2] == 255 && o8[3] == 12);

    using Q = qpxStatus (*)(qpxSize, int, int*);
    const std::uint32_t w = 13, w4 = 16, w8 = 16, ks = 5;
    struct {
        Q q;
        std::uint32_t want;
    } sizes[] = {
        {qpxiFilterRowBorderPipelineGetBufferSize_32f_C1R, 96 * ks + 96},
        {qpxiFilterRowBorderPipelineGetBufferSize_32f_C3R, 288 * ks + 96},
        {qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C1R, 36 * ks + 144},
        {qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C3R, 60 * ks + 144},
        {qpxiFilterRowBorderPipelineGetBufferSize_16s_C1R, 48 * ks + 112},
        {qpxiFilterRowBorderPipelineGetBufferSize_16s_C3R, 40 * ks + 96},
        {qpxiFilterRowBorderPipelineGetBufferSize_16u_C1R, 64 * ks + 96},
        {qpxiFilterRowBorderPipelineGetBufferSize_16u_C3R, 128 * ks + 96},
        {qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C1R, 24 * ks + 96},
        {qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C3R, 208 * ks + 96},
        {qpxiFilterColumnPipelineGetBufferSize_32f_C1R, 32 * ks + 32},
        {qpxiFilterColumnPipelineGetBufferSize_32f_C3R, 32 * ks + 32},
        {qpxiFilterColumnPipelineGetBufferSize_16s_C1R, 12 * w4 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s_C3R, 36 * w4 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8u_C1R, 12 * w4 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8u_C3R, 36 * w4 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8s_C1R, 12 * w4 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8s_C3R, 36 * w4 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16u_C1R, 32 * (ks + (8 * w + 24) / 32) + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16u_C3R, 32 * (ks + (24 * w + 24) / 32) + 64},
        {qpxiFilterColumnPipelineGetBufferSize_Low_16s_C1R, 12 * w8 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_Low_16s_C3R, 36 * w8 + 64},
    };
    for (auto& s : sizes) {
        int n = 0;
        ASSERT_EQ(s.q({int(w), 3}, int(ks), &n), 0);
        EXPECT_EQ(std::uint32_t(n), s.want);
        EXPECT_EQ(s.q({0, 3}, 0, nullptr), -8);
        EXPECT_EQ(s.q({int(w), 0}, 1, &n), -6);
        EXPECT_EQ(s.q({int(w), 1}, 0, &n), -6);
    }
}

}  // namespace
