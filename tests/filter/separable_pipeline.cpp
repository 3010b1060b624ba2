// The exported row and column stages against direct sums, with guard pages around the source
// margins and the work buffer; their check order, buffer queries and scalar/vector agreement.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/guard.hpp"
#include "filter/reference.hpp"
#include "filter/separable.hpp"

using namespace qpxtest;
using namespace filtertest;
using qpx::filter::RowKind;

namespace {

using s16 = std::int16_t;
using u16 = std::uint16_t;
using u8 = std::uint8_t;

int low_mul(int divisor) {
    return s16(std::trunc(16384.0f / float(divisor)));
}

// One row-stage call on guarded memory against direct sums, and the scalar path against it.
template <RowKind kind, class T, class D, int ch, class K, class Call>
void row_case(Call call, qpxStatus (*size)(qpxSize, int, int*), int divisor, int ks, int ax,
              std::uint32_t b, int w, Place place, Random& rnd) {
    GuardedImage<T> src(w, 3, ch, 0, place,
                        {0, 0, (b & 0x40) ? ax : 0, (b & 0x80) ? ks - 1 - ax : 0});
    src.fill([&] { return kind == RowKind::Float ? T(rnd.next<float>(-50, 50)) : rnd.any<T>(); });
    GuardedImage<D> dst(w, 3, ch, 0, place), sca(w, 3, ch);
    D* rows[3] = {&dst.at(0, 0), &dst.at(0, 1), &dst.at(0, 2)};
    D* scaRows[3] = {&sca.at(0, 0), &sca.at(0, 1), &sca.at(0, 2)};
    std::vector<K> k(ks);
    for (auto& v : k)
        v = kind == RowKind::Float ? K(rnd.next<float>(-2, 2)) : K(rnd.next<int>(-300, 300));
    T value[3] = {rnd.any<T>(), rnd.any<T>(), rnd.any<T>()};
    if (kind != RowKind::Float || ch == 1) value[1] = value[2] = value[0];
    int bufSize = 0;
    ASSERT_EQ(size({w, 3}, ks, &bufSize), 0);
    GuardedBuffer buf(bufSize, place);
    ASSERT_EQ(call(src.roi(), src.step(), rows, qpxSize{w, 3}, k.data(), ks, ax, b, value, divisor,
                   buf.data()),
              0);
    qpx::filter::row_stage<kind, T, D, K, ch>(qpx::Path::Scalar, src.roi(), src.step(), scaRows, w,
                                              3, k.data(), ks, ax, b, value, divisor, buf.data());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w * ch; ++x) {
            double sum = 0;
            float fsum = 0;
            for (int t = 0; t < ks; ++t) {
                const long sx = ref_index(x / ch - ax + t, w, b & 15, b & 0x40, b & 0x80);
                const float v = sx == kConst ? value[x % ch] : src.at(int(sx), y, x % ch);
                sum += double(k[t]) * v;
                fsum = t == 0 ? float(k[0]) * v : fsum + float(k[t]) * v;
            }
            D want;
            if constexpr (kind == RowKind::Float)
                want = fsum;
            else if constexpr (kind == RowKind::Scaled)
                want = trunc_sat<D>(float(sum) * (1.0f / float(divisor)));
            else
                want = D(
                    u16(std::uint32_t(std::int32_t(sum)) * std::uint32_t(low_mul(divisor)) >> 14));
            ASSERT_EQ(std::memcmp(&want, &dst.at(0, y, x), sizeof(D)), 0)
                << "x " << x << " w " << w << " ks " << ks << " ax " << ax << " border " << b;
            ASSERT_EQ(std::memcmp(&want, &sca.at(0, y, x), sizeof(D)), 0) << "scalar";
        }
}

// Kernel sizes 1..9 with anchors at both ends and the centre, every border kind with horizontal
// in-memory flags, guarded source margins and a buffer of the reported size.
template <RowKind kind, class T, class D, int ch, class K, class Call>
void sweep_rows(Call call, qpxStatus (*size)(qpxSize, int, int*), int divisor) {
    Random rnd(17 + ch);
    for (int ks = 1; ks <= 9; ++ks)
        for (int ax : {0, (ks - 1) / 2, ks - 1})
            for (std::uint32_t b : {1u, 3u, 6u, 240u, 1u | 0x40, 3u | 0x80, 6u | 0xC0, 3u | 0x30})
                for (int w : {1, 2, 3, 6, 11, 19, 40})
                    for (Place place : {Place::Begin, Place::End})
                        row_case<kind, T, D, ch, K>(call, size, divisor, ks, ax, b, w, place, rnd);
}

#define ROW(fn, V)                                                                          \
    [](auto s, int ss, auto d, qpxSize r, auto k, int ks, int ax, std::uint32_t b, auto* v, \
       int div, u8* buf) { return fn(s, ss, d, r, k, ks, ax, b, V, div, buf); }
#define ROW32F(fn, V)                                                                            \
    [](auto s, int ss, auto d, qpxSize r, auto k, int ks, int ax, std::uint32_t b, auto* v, int, \
       u8* buf) { return fn(s, ss, d, r, k, ks, ax, b, V, buf); }
#define ROWS(kind, tag, T, D, div1, div3)                                                         \
    sweep_rows<RowKind::kind, T, D, 1, s16>(ROW(qpxiFilterRowBorderPipeline_##tag##_C1R, v[0]),   \
                                            qpxiFilterRowBorderPipelineGetBufferSize_##tag##_C1R, \
                                            div1);                                                \
    sweep_rows<RowKind::kind, T, D, 3, s16>(ROW(qpxiFilterRowBorderPipeline_##tag##_C3R, v[0]),   \
                                            qpxiFilterRowBorderPipelineGetBufferSize_##tag##_C3R, \
                                            div3);

TEST(RowStage, MatchesDirectSums) {
    sweep_rows<RowKind::Float, float, float, 1, float>(
        ROW32F(qpxiFilterRowBorderPipeline_32f_C1R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_32f_C1R, 1);
    sweep_rows<RowKind::Float, float, float, 3, float>(
        ROW32F(qpxiFilterRowBorderPipeline_32f_C3R, v),
        qpxiFilterRowBorderPipelineGetBufferSize_32f_C3R, 1);
    ROWS(Scaled, 8u16s, u8, s16, 3, -2)
    ROWS(Scaled, 16s, s16, s16, 1, 700)
    ROWS(Scaled, 16u, u16, u16, 9, 1)
    ROWS(Low, Low_16s, s16, s16, 3, 16)
}

// Column stage: each tap scaled by 1/divisor, truncated and saturated; the 16-bit fixed-point
// member within one unit of the exact quotient.
template <RowKind kind, class S, class D, int ch, class Call>
void sweep_columns(Call call, int divisor) {
    Random rnd(3 + divisor);
    for (int ks = 1; ks <= 9; ++ks)
        for (int w : {1, 3, 8, 13, 35}) {
            GuardedImage<S> src(w, 3 + ks, ch);
            src.fill([&] {
                return kind == RowKind::Float
                           ? S(rnd.next<float>(-50, 50))
                           : S(rnd.next<int>(std::is_signed_v<S> ? -3000 : 0, 3000));
            });
            std::vector<const S*> rows(3 + ks);
            for (int y = 0; y < 3 + ks; ++y) rows[y] = &src.at(0, y);
            std::vector<std::conditional_t<kind == RowKind::Float, float, s16>> k(ks);
            for (auto& v : k)
                v = kind == RowKind::Float ? rnd.next<float>(-2, 2) : rnd.next<int>(-20, 20);
            GuardedImage<D> dst(w, 4, ch, 0, Place::End), sca(w, 4, ch);
            ASSERT_EQ(
                call(rows.data(), dst.roi(), dst.step(), qpxSize{w, 4}, k.data(), ks, divisor), 0);
            qpx::filter::column_stage<kind, S, D, typename decltype(k)::value_type, ch>(
                qpx::Path::Scalar, rows.data(), sca.roi(), sca.step(), w, 4, k.data(), ks, divisor);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < w * ch; ++x) {
                    float f = 0;
                    long s = 0;
                    for (int j = 0; j < ks; ++j) {
                        const float tap = kind == RowKind::Float
                                              ? float(k[j])
                                              : float(k[j]) * (1.0f / float(divisor));
                        f = j == 0 ? tap * float(rows[y][x]) : f + tap * float(rows[y + j][x]);
                        s += long(k[j]) * rows[y + j][x];
                    }
                    const D got = dst.at(0, y, x);
                    ASSERT_EQ(std::memcmp(&got, &sca.at(0, y, x), sizeof(D)), 0) << "scalar";
                    if constexpr (kind == RowKind::Low) {
                        EXPECT_EQ(got,
                                  trunc_sat<D>(std::floor(double(s) * low_mul(divisor) / 16384.0)));
                        EXPECT_LE(std::abs(got - trunc_sat<D>(double(s) / divisor)), 1);
                    } else {
                        const D want = kind == RowKind::Float ? D(f) : trunc_sat<D>(f);
                        ASSERT_EQ(std::memcmp(&want, &got, sizeof(D)), 0)
                            << ks << " " << w << " " << x;
                    }
                }
        }
}

#define COL(fn)                                                               \
    [](auto rows, auto* dst, int step, qpxSize roi, auto* k, int ks, int d) { \
        u8 buf[1];                                                            \
        return fn(rows, dst, step, roi, k, ks, d, buf);                       \
    }
#define COL32F(fn)                                                          \
    [](auto rows, auto* dst, int step, qpxSize roi, auto* k, int ks, int) { \
        u8 buf[1];                                                          \
        return fn(rows, dst, step, roi, k, ks, buf);                        \
    }

#define COLS(kind, tag, D, div1, div3)                                                        \
    sweep_columns<RowKind::kind, s16, D, 1>(COL(qpxiFilterColumnPipeline_##tag##_C1R), div1); \
    sweep_columns<RowKind::kind, s16, D, 3>(COL(qpxiFilterColumnPipeline_##tag##_C3R), div3);

TEST(ColumnStage, MatchesDirectSums) {
    sweep_columns<RowKind::Float, float, float, 1>(COL32F(qpxiFilterColumnPipeline_32f_C1R), 1);
    sweep_columns<RowKind::Float, float, float, 3>(COL32F(qpxiFilterColumnPipeline_32f_C3R), 1);
    COLS(Scaled, 16s, s16, 7, 1)
    COLS(Scaled, 16s8u, u8, 16, -5)
    COLS(Scaled, 16s8s, std::int8_t, 33, 2)
    sweep_columns<RowKind::Scaled, u16, u16, 1>(COL(qpxiFilterColumnPipeline_16u_C1R), 3);
    sweep_columns<RowKind::Scaled, u16, u16, 3>(COL(qpxiFilterColumnPipeline_16u_C3R), 1);
    COLS(Low, Low_16s, s16, 1, 16)
}

// Scalar and vector paths of the integer stages give the same bits on sums that overflow 32
// bits, where no reference applies.
TEST(Stages, ScalarEqualsVectorOnOverflow) {
    Random rnd(21);
    for (int w : test_widths())
        for (int ks : {1, 2, 3, 5, 7}) {
            GuardedImage<s16> is(w, 2 + ks, 3);
            is.fill([&] { return rnd.any<s16>(); });
            std::vector<s16> ik(ks);
            for (auto& v : ik) v = rnd.any<s16>();
            std::vector<const s16*> irows;
            for (int y = 0; y < 2 + ks; ++y) irows.push_back(&is.at(0, y));
            const s16 iv[3] = {-7, -7, -7};
            u8 buf[4096];
            s16 io[3][2][2][3 * 67];
            for (int p = 0; p < 2; ++p) {
                auto path = p ? qpx::Path::Vector : qpx::Path::Scalar;
                s16 *ir[2] = {io[0][p][0], io[0][p][1]}, *lr[2] = {io[1][p][0], io[1][p][1]};
                qpx::filter::row_stage<RowKind::Scaled, s16, s16, s16, 3>(
                    path, is.roi(), is.step(), ir, w, 2, ik.data(), ks, 0, 6, iv, 3, buf);
                qpx::filter::row_stage<RowKind::Low, s16, s16, s16, 3>(
                    path, is.roi(), is.step(), lr, w, 2, ik.data(), ks, ks - 1, 1, iv, 7, buf);
                qpx::filter::column_stage<RowKind::Low, s16, s16, s16, 3>(
                    path, irows.data(), io[2][p][0], sizeof io[2][p][0], w, 2, ik.data(), ks, 5);
            }
            for (int f = 0; f < 3; ++f)
                for (int i = 0; i < 6 * w; ++i)
                    ASSERT_EQ(io[f][0][i / (3 * w)][i % (3 * w)],
                              io[f][1][i / (3 * w)][i % (3 * w)])
                        << f << " " << w;
        }
}

// Check order of the stages (the divisor before the border except for 8u16s), and the buffer
// queries against their formulas.
TEST(Stages, ChecksAndSizes) {
    s16 src[64] = {}, out[64] = {};
    s16 *rows[2] = {out, out + 16}, *nrows[2] = {out, nullptr};
    const s16 k[3] = {1, 2, 1};
    u8 buf[1024];
    struct {
        const s16* s;
        s16** d;
        int step, ks, ax;
        std::uint32_t b;
        int div;
        u8* bf;
        qpxStatus want;
    } rowCases[] = {
        {nullptr, rows, 1, 0, 9, 2, 0, buf, -8},  {src, rows, 8, 3, 1, 2, 0, nullptr, -8},
        {src, nrows, 1, 0, 9, 2, 0, buf, -8},     {src, rows, 1, 0, 9, 2, 0, buf, -6},
        {src, rows, 1, 3, 3, 2, 0, buf, -34},     {src, rows, 1, 3, -1, 2, 0, buf, -34},
        {src, rows, 7, 3, 1, 2, 0, buf, -16},     {src, rows, 9, 3, 1, 2, 0, buf, -108},
        {src, rows, 8, 3, 1, 2, 0, buf, -5},      {src, rows, 8, 3, 1, 2, 1, buf, -225},
        {src + 8, rows, 8, 3, 2, 240, -1, buf, 0}};
    for (auto& c : rowCases) {
        EXPECT_EQ(qpxiFilterRowBorderPipeline_16s_C1R(c.s, c.step, c.d, {4, 2}, k, c.ks, c.ax, c.b,
                                                      0, c.div, c.bf),
                  c.want);
        EXPECT_EQ(qpxiFilterRowBorderPipeline_Low_16s_C1R(c.s, c.step, c.d, {4, 2}, k, c.ks, c.ax,
                                                          c.b, 0, c.div, c.bf),
                  c.want);
    }
    const u8 s8[16] = {};
    EXPECT_EQ(qpxiFilterRowBorderPipeline_8u16s_C1R(s8, 4, rows, {4, 2}, k, 3, 1, 2, 0, 0, buf),
              -225);
    EXPECT_EQ(qpxiFilterRowBorderPipeline_8u16s_C1R(s8, 4, rows, {4, 2}, k, 3, 1, 1, 0, 0, buf),
              -5);
    u16* urows[2] = {reinterpret_cast<u16*>(out), reinterpret_cast<u16*>(out + 16)};
    EXPECT_EQ(qpxiFilterRowBorderPipeline_16u_C1R(reinterpret_cast<u16*>(src), 8, urows, {4, 2}, k,
                                                  3, 1, 2, 0, -2, buf),
              -5);

    const s16* crow[12] = {src, src, src, src, src, src, src, src, src, nullptr, src, src};
    struct {
        s16* d;
        int step;
        qpxSize roi;
        int ks, div;
        u8* bf;
        qpxStatus want;
    } colCases[] = {{nullptr, 1, {0, 0}, 0, 0, nullptr, -8}, {out, 1, {0, 2}, 0, 0, nullptr, -6},
                    {out, 1, {4, 8}, 3, 0, nullptr, -8},     {out, 1, {4, 2}, 0, 0, nullptr, -6},
                    {out, 7, {4, 2}, 3, 0, nullptr, -16},    {out, 9, {4, 2}, 3, 0, nullptr, -108},
                    {out, 8, {4, 2}, 3, 0, nullptr, -8},     {out, 8, {4, 2}, 3, 0, buf, -5},
                    {out, 8, {4, 2}, 3, -3, buf, 0}};
    for (auto& c : colCases)
        EXPECT_EQ(qpxiFilterColumnPipeline_16s_C1R(crow, c.d, c.step, c.roi, k, c.ks, c.div, c.bf),
                  c.want);

    const std::uint32_t w = 13, ks = 5;
    const std::pair<qpxStatus (*)(qpxSize, int, int*), std::uint32_t> sizes[] = {
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
        {qpxiFilterColumnPipelineGetBufferSize_16s_C1R, 12 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s_C3R, 36 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8u_C1R, 12 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8u_C3R, 36 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8s_C1R, 12 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16s8s_C3R, 36 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16u_C1R, 32 * (ks + (8 * w + 24) / 32) + 64},
        {qpxiFilterColumnPipelineGetBufferSize_16u_C3R, 32 * (ks + (24 * w + 24) / 32) + 64},
        {qpxiFilterColumnPipelineGetBufferSize_Low_16s_C1R, 12 * 16 + 64},
        {qpxiFilterColumnPipelineGetBufferSize_Low_16s_C3R, 36 * 16 + 64}};
    for (auto [q, want] : sizes) {
        int n = 0;
        ASSERT_EQ(q({int(w), 3}, int(ks), &n), 0);
        EXPECT_EQ(std::uint32_t(n), want);
        EXPECT_EQ(q({0, 3}, 0, nullptr), -8);
        EXPECT_EQ(q({int(w), 0}, 1, &n) * 10 + q({int(w), 1}, 0, &n), -66);
    }
}

}  // namespace
