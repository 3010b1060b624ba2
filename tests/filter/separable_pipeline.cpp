// The exported row and column stages against direct sums, with guard pages around the source
// margins and the work buffer, and their scalar and vector paths compared.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/guard.hpp"
#include "filter/separable.hpp"

using namespace qpxtest;
using qpx::filter::RowKind;

namespace {

using s16 = std::int16_t;
using u16 = std::uint16_t;
using u8 = std::uint8_t;

// Position read for pixel i of a row of n pixels; -1 stands for the constant.
long ref_x(long i, long n, std::uint32_t b) {
    const int kind = b & 15;
    if ((i >= 0 && i < n) || (i < 0 && (b & 0x40)) || (i >= n && (b & 0x80))) return i;
    if (kind == qpxBorderConst) return -1 << 30;
    if (kind == qpxBorderRepl || n == 1) return i < 0 ? 0 : n - 1;
    while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
    return i;
}

template <class D>
D trunc_sat(double v) {
    const double lo = std::numeric_limits<D>::min(), hi = std::numeric_limits<D>::max();
    return static_cast<D>(v < lo ? lo : v > hi ? hi : std::trunc(v));
}

// One row-stage call on guarded memory against the reference.
template <RowKind kind, class T, class D, int ch, class K, class Call>
void check_row(qpxSize roi, int ks, int ax, std::uint32_t b, int divisor, int bufSize, Call call,
               Random& rnd, Place place) {
    Margins m{0, 0, (b & 0x40) ? ax : 0, (b & 0x80) ? ks - 1 - ax : 0};
    GuardedImage<T> src(roi.width, roi.height, ch, 0, place, m);
    src.fill([&] { return kind == RowKind::Float ? T(rnd.next<float>(-50, 50)) : rnd.any<T>(); });
    GuardedImage<D> dst(roi.width, roi.height, ch, 0, place);
    std::vector<D*> rows(roi.height);
    for (int y = 0; y < roi.height; ++y) rows[y] = &dst.at(0, y);
    std::vector<K> k(ks);
    for (auto& v : k)
        v = kind == RowKind::Float ? K(rnd.next<float>(-2, 2)) : K(rnd.next<int>(-300, 300));
    T value[3] = {rnd.any<T>(), rnd.any<T>(), rnd.any<T>()};
    if (kind != RowKind::Float || ch == 1) value[1] = value[2] = value[0];
    GuardedBuffer buf(bufSize, place);
    ASSERT_EQ(call(src.roi(), src.step(), rows.data(), roi, k.data(), ks, ax, b, value, divisor,
                   buf.data()),
              0);
    const int mul = std::int16_t(std::trunc(16384.0f / float(divisor)));
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width; ++x)
            for (int c = 0; c < ch; ++c) {
                double sum = 0;
                float fsum = 0;
                for (int t = 0; t < ks; ++t) {
                    long sx = ref_x(x - ax + t, roi.width, b);
                    T v = sx == -1 << 30 ? value[c] : src.at(int(sx), y, c);
                    sum += double(k[t]) * double(v);
                    fsum = t == 0 ? float(k[0]) * float(v) : fsum + float(k[t]) * float(v);
                }
                D want;
                if constexpr (kind == RowKind::Float)
                    want = fsum;
                else if constexpr (kind == RowKind::Scaled)
                    want = trunc_sat<D>(float(sum) * (1.0f / float(divisor)));
                else
                    want = D(
                        std::uint16_t(std::uint32_t(std::int32_t(sum)) * std::uint32_t(mul) >> 14));
                ASSERT_EQ(std::memcmp(&want, &dst.at(x, y, c), sizeof(D)), 0)
                    << "x " << x << " y " << y << " roi " << roi.width << " ks " << ks << " ax "
                    << ax << " border " << b << " got " << +dst.at(x, y, c) << " want " << +want;
            }
}

const std::vector<std::uint32_t> kRowBorders = {1,        3,        6,        240,
                                                1 | 0x40, 3 | 0x80, 6 | 0xC0, 3 | 0x30};

template <RowKind kind, class T, class D, int ch, class K, class Call, class Size>
void sweep_rows(Call call, Size size, int divisor) {
    Random rnd(17 + ch);
    for (int ks = 1; ks <= 9; ++ks)
        for (int ax : {0, (ks - 1) / 2, ks - 1})
            for (std::uint32_t b : kRowBorders)
                for (int w : {1, 2, 3, 6, 11, 19, 40}) {
                    int bufSize = 0;
                    ASSERT_EQ(size(qpxSize{w, 3}, ks, &bufSize), 0);
                    for (Place p : {Place::Begin, Place::End})
                        check_row<kind, T, D, ch, K>({w, 3}, ks, ax, b, divisor, bufSize, call, rnd,
                                                     p);
                }
}

#define ROW_CALL(fn, V)                                                                     \
    [](auto s, int ss, auto d, qpxSize r, auto k, int ks, int ax, std::uint32_t b, auto* v, \
       int div, u8* buf) { return fn(s, ss, d, r, k, ks, ax, b, V, div, buf); }
#define ROW_CALL_F(fn, V)                                                                        \
    [](auto s, int ss, auto d, qpxSize r, auto k, int ks, int ax, std::uint32_t b, auto* v, int, \
       u8* buf) { return fn(s, ss, d, r, k, ks, ax, b, V, buf); }

TEST(RowStage, MatchesDirectSums) {
    sweep_rows<RowKind::Float, float, float, 1, float>(
        ROW_CALL_F(qpxiFilterRowBorderPipeline_32f_C1R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_32f_C1R, 1);
    sweep_rows<RowKind::Float, float, float, 3, float>(
        ROW_CALL_F(qpxiFilterRowBorderPipeline_32f_C3R, v),
        qpxiFilterRowBorderPipelineGetBufferSize_32f_C3R, 1);
    sweep_rows<RowKind::Scaled, u8, s16, 1, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_8u16s_C1R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C1R, 3);
    sweep_rows<RowKind::Scaled, u8, s16, 3, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_8u16s_C3R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C3R, -2);
    sweep_rows<RowKind::Scaled, s16, s16, 1, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_16s_C1R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_16s_C1R, 1);
    sweep_rows<RowKind::Scaled, s16, s16, 3, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_16s_C3R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_16s_C3R, 700);
    sweep_rows<RowKind::Scaled, u16, u16, 1, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_16u_C1R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_16u_C1R, 9);
    sweep_rows<RowKind::Scaled, u16, u16, 3, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_16u_C3R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_16u_C3R, 1);
    sweep_rows<RowKind::Low, s16, s16, 1, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_Low_16s_C1R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C1R, 3);
    sweep_rows<RowKind::Low, s16, s16, 3, s16>(
        ROW_CALL(qpxiFilterRowBorderPipeline_Low_16s_C3R, v[0]),
        qpxiFilterRowBorderPipelineGetBufferSize_Low_16s_C3R, 16);
}

TEST(RowStage, LowMultiplier) {
    // M = trunc(16384 / 3) = 5461; a sum of 300 gives (300 * 5461) >> 14 = 99.
    const s16 src[1] = {100}, k[3] = {1, 1, 1};
    s16 out = 0, *rows[1] = {&out};
    u8 buf[256];
    ASSERT_EQ(qpxiFilterRowBorderPipeline_Low_16s_C1R(src, 2, rows, {1, 1}, k, 3, 1, 1, 0, 3, buf),
              0);
    EXPECT_EQ(out, 99);
}

// Column stage: the caller's rows, each tap scaled by 1/divisor, truncated and saturated.
template <RowKind kind, class S, class D, int ch, class Call>
void check_column(Call call, int divisor, Random& rnd) {
    for (int ks = 1; ks <= 9; ++ks)
        for (int w : {1, 3, 8, 13, 35}) {
            const int h = 4;
            GuardedImage<S> src(w, h + ks - 1, ch);
            src.fill([&] {
                return kind == RowKind::Float
                           ? S(rnd.next<float>(-50, 50))
                           : S(rnd.next<int>(-3000, 3000) & (std::is_signed_v<S> ? ~0 : 0xfff));
            });
            std::vector<const S*> rows(h + ks - 1);
            for (int y = 0; y < h + ks - 1; ++y) rows[y] = &src.at(0, y);
            std::vector<std::conditional_t<kind == RowKind::Float, float, s16>> k(ks);
            for (auto& v : k)
                v = kind == RowKind::Float ? rnd.next<float>(-2, 2) : rnd.next<int>(-20, 20);
            GuardedImage<D> dst(w, h, ch, 0, Place::End);
            ASSERT_EQ(
                call(rows.data(), dst.roi(), dst.step(), qpxSize{w, h}, k.data(), ks, divisor), 0);
            const float inv = 1.0f / float(divisor);
            const int mul = std::int16_t(std::trunc(16384.0f / float(divisor)));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w * ch; ++x) {
                    float f = 0;
                    long s = 0;
                    for (int j = 0; j < ks; ++j) {
                        float tap = kind == RowKind::Float ? float(k[j]) : float(k[j]) * inv;
                        f = j == 0 ? tap * float(rows[y][x]) : f + tap * float(rows[y + j][x]);
                        s += long(k[j]) * rows[y + j][x];
                    }
                    const D got = dst.at(0, y, x);
                    if constexpr (kind == RowKind::Low) {
                        EXPECT_EQ(got, trunc_sat<D>(std::floor(double(s) * mul / 16384.0)));
                        EXPECT_LE(std::abs(got - trunc_sat<D>(double(s) / divisor)), 1);
                    } else {
                        D want = kind == RowKind::Float ? D(f) : trunc_sat<D>(f);
                        ASSERT_EQ(std::memcmp(&want, &got, sizeof(D)), 0)
                            << ks << " " << w << " " << x;
                    }
                }
        }
}

#define COL_CALL(fn, div)                                                     \
    [](auto rows, auto* dst, int step, qpxSize roi, auto* k, int ks, int d) { \
        u8 buf[1];                                                            \
        return fn(rows, dst, step, roi, k, ks, div, buf);                     \
    }
#define COL_CALL_F(fn)                                                      \
    [](auto rows, auto* dst, int step, qpxSize roi, auto* k, int ks, int) { \
        u8 buf[1];                                                          \
        return fn(rows, dst, step, roi, k, ks, buf);                        \
    }

TEST(ColumnStage, MatchesDirectSums) {
    Random rnd(3);
    check_column<RowKind::Float, float, float, 1>(COL_CALL_F(qpxiFilterColumnPipeline_32f_C1R), 1,
                                                  rnd);
    check_column<RowKind::Float, float, float, 3>(COL_CALL_F(qpxiFilterColumnPipeline_32f_C3R), 1,
                                                  rnd);
    check_column<RowKind::Scaled, s16, s16, 1>(COL_CALL(qpxiFilterColumnPipeline_16s_C1R, d), 7,
                                               rnd);
    check_column<RowKind::Scaled, s16, s16, 3>(COL_CALL(qpxiFilterColumnPipeline_16s_C3R, d), 1,
                                               rnd);
    check_column<RowKind::Scaled, s16, u8, 1>(COL_CALL(qpxiFilterColumnPipeline_16s8u_C1R, d), 16,
                                              rnd);
    check_column<RowKind::Scaled, s16, u8, 3>(COL_CALL(qpxiFilterColumnPipeline_16s8u_C3R, d), -5,
                                              rnd);
    check_column<RowKind::Scaled, s16, std::int8_t, 1>(
        COL_CALL(qpxiFilterColumnPipeline_16s8s_C1R, d), 33, rnd);
    check_column<RowKind::Scaled, s16, std::int8_t, 3>(
        COL_CALL(qpxiFilterColumnPipeline_16s8s_C3R, d), 2, rnd);
    check_column<RowKind::Scaled, u16, u16, 1>(COL_CALL(qpxiFilterColumnPipeline_16u_C1R, d), 3,
                                               rnd);
    check_column<RowKind::Scaled, u16, u16, 3>(COL_CALL(qpxiFilterColumnPipeline_16u_C3R, d), 1,
                                               rnd);
    check_column<RowKind::Low, s16, s16, 1>(COL_CALL(qpxiFilterColumnPipeline_Low_16s_C1R, d), 1,
                                            rnd);
    check_column<RowKind::Low, s16, s16, 3>(COL_CALL(qpxiFilterColumnPipeline_Low_16s_C3R, d), 16,
                                            rnd);
}

// Scalar and vector paths of both stages give the same bits.
TEST(Stages, ScalarEqualsVector) {
    Random rnd(21);
    for (int w : test_widths())
        for (int ks : {1, 2, 3, 5, 7}) {
            GuardedImage<float> fs(w, 2 + ks, 3);
            GuardedImage<s16> is(w, 2 + ks, 3);
            fs.fill([&] { return rnd.next<float>(-1e4, 1e4); });
            is.fill([&] { return rnd.any<s16>(); });
            std::vector<float> fk(ks);
            std::vector<s16> ik(ks);
            for (int t = 0; t < ks; ++t) fk[t] = rnd.next<float>(-3, 3), ik[t] = rnd.any<s16>();
            std::vector<const float*> frows;
            std::vector<const s16*> irows;
            for (int y = 0; y < 2 + ks; ++y)
                frows.push_back(&fs.at(0, y)), irows.push_back(&is.at(0, y));
            const float fv[3] = {1, 2, 3};
            const s16 iv[3] = {-7, -7, -7};
            std::vector<u8> buf(4096);
            float fo[2][2][3 * 67];
            s16 io[3][2][2][3 * 67];
            for (int p = 0; p < 2; ++p) {
                auto path = p ? qpx::Path::Vector : qpx::Path::Scalar;
                float* fr[2] = {fo[p][0], fo[p][1]};
                qpx::filter::row_stage<RowKind::Float, float, float, float, 3>(
                    path, fs.roi(), fs.step(), fr, w, 2, fk.data(), ks, ks / 2, 3, fv, 1,
                    buf.data());
                s16* ir[2] = {io[0][p][0], io[0][p][1]};
                qpx::filter::row_stage<RowKind::Scaled, s16, s16, s16, 3>(
                    path, is.roi(), is.step(), ir, w, 2, ik.data(), ks, 0, 6, iv, 3, buf.data());
                s16* lr[2] = {io[1][p][0], io[1][p][1]};
                qpx::filter::row_stage<RowKind::Low, s16, s16, s16, 3>(
                    path, is.roi(), is.step(), lr, w, 2, ik.data(), ks, ks - 1, 1, iv, 7,
                    buf.data());
                qpx::filter::column_stage<RowKind::Low, s16, s16, s16, 3>(
                    path, irows.data(), io[2][p][0], sizeof io[2][p][0], w, 2, ik.data(), ks, 5);
            }
            for (int r = 0; r < 2; ++r)
                for (int i = 0; i < 3 * w; ++i) {
                    ASSERT_TRUE(same_bits(fo[0][r][i], fo[1][r][i])) << w << " " << ks;
                    for (int f = 0; f < 3; ++f)
                        ASSERT_EQ(io[f][0][r][i], io[f][1][r][i]) << f << " " << w << " " << ks;
                }
        }
}

}  // namespace
