// The separable filter and its exported row and column stages: direct correlations of the
// border-extended source as reference (scalar path too), guard pages around exactly the
// in-memory rows and columns and the work buffers, check order, and the size queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

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
using Spec = qpxFilterSeparableSpec;

std::vector<qpx::Target> all_targets() {
    std::vector<qpx::Target> t = vector_targets();
    t.insert(t.begin(), qpx::Target::Scalar);
    return t;
}
template <class T>
constexpr int kType = std::is_same_v<T, u8>    ? qpx8u
                      : std::is_same_v<T, u16> ? qpx16u
                      : std::is_same_v<T, s16> ? qpx16s
                                               : qpx32f;

// Calls any member (C1 or Cn, 32- or 64-bit) with one set of arguments.
template <class T, class D, class F>
qpxStatus invoke(F f, const T* s, std::int64_t ss, D* d, std::int64_t ds, qpxSizeL r,
                 std::uint32_t b, const T* v, const Spec* sp, u8* buf) {
    const qpxSize n{int(r.width), int(r.height)};
    if constexpr (std::is_invocable_v<F, const T*, int, D*, int, qpxSize, int, T, Spec*, u8*>)
        return f(s, int(ss), d, int(ds), n, b, v[0], sp, buf);
    else if constexpr (std::is_invocable_v<F, const T*, int, D*, int, qpxSize, int, T*, Spec*, u8*>)
        return f(s, int(ss), d, int(ds), n, b, v, sp, buf);
    else if constexpr (std::is_invocable_v<F, const T*, int, D*, int, qpxSizeL, int, T, Spec*, u8*>)
        return f(s, ss, d, ds, r, b, v[0], sp, buf);
    else
        return f(s, ss, d, ds, r, b, v, sp, buf);
}

// One call on guarded memory against the reference; K is the kernel type of the spec.
template <class T, class D, int ch, class K, class F>
void check_filter(F fn, qpxSize roi, int kw, int kh, std::uint32_t b, int divisor, Place place,
                  Random& rnd) {
    const int ax = (kw - 1) / 2, ay = (kh - 1) / 2, kind = b & 15;
    const bool top = b & 0x10, bottom = b & 0x20, left = b & 0x40, right = b & 0x80;
    GuardedImage<T> src(
        roi.width, roi.height, ch, 0, place,
        {top ? ay : 0, bottom ? kh - 1 - ay : 0, left ? ax : 0, right ? kw - 1 - ax : 0});
    src.fill([&] { return std::is_floating_point_v<T> ? rnd.next<T>(-100, 100) : rnd.any<T>(); });
    GuardedImage<D> dst(roi.width, roi.height, ch, sizeof(D), place);
    T value[4];
    for (auto& v : value) v = rnd.any<T>();
    std::vector<K> rk(kw), ck(kh);
    for (auto* k : {&rk, &ck})
        for (auto& v : *k)
            v = std::is_same_v<K, float> ? K(rnd.next<float>(-2, 2)) : K(rnd.next<int>(-9, 9));

    constexpr int kt = std::is_same_v<K, float> ? qpx32f : qpx16s;
    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiFilterSeparableGetSpecSize({kw, kh}, kt, ch, &specSize), qpxStatusOk);
    ASSERT_EQ(qpxiFilterSeparableGetBufferSize(roi, {kw, kh}, kType<T>, kt, ch, &bufSize),
              qpxStatusOk);
    GuardedBuffer specMem((specSize + 7) / 8 * 8, Place::End), buf(bufSize, place);
    auto* spec = reinterpret_cast<Spec*>(specMem.data());
    if constexpr (kt == qpx32f)
        ASSERT_EQ(qpxiFilterSeparableInit_32f(rk.data(), ck.data(), {kw, kh},
                                              kType<T> == qpx16s ? qpx32f : kType<T>, ch, spec),
                  0);
    else
        ASSERT_EQ(qpxiFilterSeparableInit_16s(rk.data(), ck.data(), {kw, kh}, divisor, 3,
                                              kType<T> == qpx16u ? qpx16s : qpx8u, ch, spec),
                  0);
    ASSERT_EQ(invoke(fn, src.roi(), src.step(), dst.roi(), dst.step(), {roi.width, roi.height}, b,
                     value, spec, buf.data()),
              0);
    // Every target gives the export's bits.
    for (qpx::Target t : all_targets()) {
        GuardedImage<D> other(roi.width, roi.height, ch);
        qpx::filter::separable_filter<T, D, ch>(t, src.view(), other.view(), b, value, spec,
                                                buf.data());
        const auto got = dst.dense(), theirs = other.dense();
        ASSERT_EQ(std::memcmp(got.data(), theirs.data(), got.size() * sizeof(D)), 0)
            << qpx::target_name(t);
    }

    const float inv = 1.0f / float(divisor);
    auto P = [&](int x, int y, int c) {
        long sx = ref_index(x, roi.width, kind, left, right),
             sy = ref_index(y, roi.height, kind, top, bottom);
        return (sx == kConst || sy == kConst) ? float(value[c])
                                              : float(src.at(int(sx), int(sy), c));
    };
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width * ch; ++x) {
            const int px = x / ch, c = x % ch;
            float s = 0;
            for (int j = 0; j < kh; ++j) {
                float r = float(rk[0]) * P(px - ax, y + j - ay, c);
                for (int i = 1; i < kw; ++i) r = r + float(rk[i]) * P(px + i - ax, y + j - ay, c);
                s = j == 0 ? float(ck[0]) * (r * inv) : s + float(ck[j]) * (r * inv);
            }
            const D want = trunc_sat<D>(s * inv);
            ASSERT_EQ(std::memcmp(&want, &dst.at(0, y, x), sizeof(D)), 0)
                << "x " << px << " y " << y << " c " << c << " roi " << roi.width << "x"
                << roi.height << " k " << kw << "x" << kh << " border " << b << " got "
                << +dst.at(0, y, x);
        }
}

template <class T, class D, int ch, class K, class F>
void sweep(F fn, int divisor, bool allBorders) {
    static const std::uint32_t borders[] = {3,        6,        1 | 0xF0, 1,        240,
                                            1 | 0x10, 3 | 0x20, 6 | 0x40, 1 | 0x80, 3 | 0x50,
                                            6 | 0xA0, 3 | 0xC0, 6 | 0x30};
    static const qpxSize rois[] = {{1, 1},  {1, 4},  {3, 1},  {2, 3}, {7, 5},
                                   {16, 2}, {17, 6}, {33, 3}, {67, 2}};
    static const int kernels[][2] = {{1, 1}, {3, 3}, {5, 5}, {2, 4},
                                     {4, 1}, {1, 7}, {9, 8}, {6, 2}};
    Random rnd(ch * 100 + divisor);
    for (auto& k : kernels)
        for (int bi = 0; bi < (allBorders ? 13 : 3); ++bi)
            for (qpxSize roi : rois)
                for (Place p : {Place::Begin, Place::End})
                    check_filter<T, D, ch, K>(fn, roi, k[0], k[1], borders[bi], divisor, p, rnd);
}

TEST(Separable, MatchesDirectCorrelation) {
    sweep<u8, u8, 1, s16>(qpxiFilterSeparable_8u_C1R, 7, true);
    sweep<u8, u8, 1, float>(qpxiFilterSeparable_8u_C1R_L, 1, true);
    sweep<u8, u8, 3, s16>(qpxiFilterSeparable_8u_C3R, -3, false);
    sweep<u8, u8, 4, float>(qpxiFilterSeparable_8u_C4R_L, 1, false);
    sweep<float, float, 1, float>(qpxiFilterSeparable_32f_C1R, 1, true);
    sweep<float, float, 3, float>(qpxiFilterSeparable_32f_C3R_L, 1, false);
    sweep<u8, s16, 1, s16>(qpxiFilterSeparable_8u16s_C1R, 2, true);
    sweep<u8, s16, 4, float>(qpxiFilterSeparable_8u16s_C4R, 1, false);
    sweep<s16, s16, 1, s16>(qpxiFilterSeparable_16s_C1R_L, 1000, true);
    sweep<s16, s16, 3, s16>(qpxiFilterSeparable_16s_C3R, 1, false);
    sweep<u16, u16, 1, float>(qpxiFilterSeparable_16u_C1R, 1, true);
    sweep<u16, u16, 4, float>(qpxiFilterSeparable_16u_C4R, 1, false);
}

// Border codes every member accepts beyond the argument test's valid call, on a spec that stays
// as it was.
struct Mutation {
    const char* what;
    std::uint32_t border;
};
const Mutation kTable[] = {
    {"replicate", 1},
    {"all in memory", 240},
    {"replicate, all in memory", 241},
};

template <class T, class D, int ch, class F>
void run_table(F fn) {
    for (const Mutation& m : kTable) {
        GuardedImage<T> src(8, 5, ch, 0, Place::End, {1, 1, 1, 1});
        GuardedImage<D> dst(8, 5, ch, 4, Place::End);
        const float k[3] = {1, 2, 1};
        alignas(16) u8 spec[256], specBefore[256], buf[2048];
        ASSERT_EQ(
            qpxiFilterSeparableInit_32f(k, k, {3, 3}, qpx32f, ch, reinterpret_cast<Spec*>(spec)),
            qpxStatusOk);
        std::memcpy(specBefore, spec, sizeof spec);
        const T value[4] = {};
        const int w = 5;
        qpxStatus st =
            invoke<T, D>(fn, src.roi(), w * ch * int(sizeof(T)), dst.roi(), w * ch * int(sizeof(D)),
                         {w, 3}, m.border, value, reinterpret_cast<Spec*>(spec), buf);
        EXPECT_EQ(st, qpxStatusOk) << m.what;
        EXPECT_EQ(std::memcmp(spec, specBefore, sizeof spec), 0) << m.what;
    }
}

TEST(Separable, EveryMemberAcceptsTheFilterBorders) {
#define QPX_MEMBERS(tag, T, D)                             \
    run_table<T, D, 1>(qpxiFilterSeparable_##tag##_C1R);   \
    run_table<T, D, 3>(qpxiFilterSeparable_##tag##_C3R);   \
    run_table<T, D, 4>(qpxiFilterSeparable_##tag##_C4R);   \
    run_table<T, D, 1>(qpxiFilterSeparable_##tag##_C1R_L); \
    run_table<T, D, 3>(qpxiFilterSeparable_##tag##_C3R_L); \
    run_table<T, D, 4>(qpxiFilterSeparable_##tag##_C4R_L);
    QPX_MEMBERS(8u, u8, u8)
    QPX_MEMBERS(8u16s, u8, s16)
    QPX_MEMBERS(16s, s16, s16)
    QPX_MEMBERS(16u, u16, u16)
    QPX_MEMBERS(32f, float, float)
#undef QPX_MEMBERS
}

// The 64-bit forms: the 32-bit range, and the caller's MXCSR back after the call.
TEST(Separable, WideForms) {
    GuardedImage<float> src(6, 4), dst(6, 4);
    const float k[2] = {0.5f, -1.25f};
    alignas(16) u8 spec[256], buf[4096];
    auto* sp = reinterpret_cast<Spec*>(spec);
    const std::int64_t big = std::int64_t(1) << 31;
    EXPECT_EQ(qpxiFilterSeparableInit_32f_L(k, k, {big, 2}, qpx32f, 1, sp), qpxStatusSizeTooLarge);
    ASSERT_EQ(qpxiFilterSeparableInit_32f_L(k, k, {2, 2}, qpx32f, 1, sp), qpxStatusOk);
    auto call = [&](qpxSizeL roi, std::int64_t step) {
        return qpxiFilterSeparable_32f_C1R_L(src.roi(), step, dst.roi(), dst.step(), roi, 1, 0, sp,
                                             buf);
    };
    EXPECT_EQ(call({big, 4}, src.step()), qpxStatusSizeTooLarge);
    EXPECT_EQ(call({-1, 4}, src.step()), qpxStatusBadSize);
    EXPECT_EQ(call({6, 4}, big * 2), qpxStatusSizeTooLarge);
    // The register comes back whole when the denormal mask or flag would differ from the
    // caller's; otherwise flags the filtering raised stay raised.
    const unsigned saved = _mm_getcsr(), clean = saved & ~0x3Fu;
    const struct {
        unsigned before;
        float data;
        unsigned after;
    } cases[] = {{clean & ~0x0100u, 1.5f, clean & ~0x0100u},
                 {clean, 1e-39f, clean},
                 {clean, 0.1f, clean | 0x20u}};
    for (const auto& m : cases) {
        src.fill([&] { return m.data; });
        _mm_setcsr(m.before);
        const qpxStatus st = call({6, 4}, src.step());
        const unsigned after = _mm_getcsr();
        _mm_setcsr(saved);
        EXPECT_EQ(st, qpxStatusOk);
        EXPECT_EQ(after, m.after) << std::hex << m.before << " " << m.data;
    }
}

// Size queries against their formulas, and the spec record with its kernels inside the reported
// size.
TEST(Separable, SizesAndSpec) {
    int n = 0;
    std::int64_t nl = 0;
    for (auto [kw, kh, ch, kt] :
         {std::tuple{1, 1, 1, qpx16s}, {3, 5, 3, qpx32f}, {8, 2, 4, qpx16s}, {2, 9, 1, qpx32f}}) {
        const int e = kt == qpx16s ? 2 : 4;
        ASSERT_EQ(qpxiFilterSeparableGetSpecSize({kw, kh}, kt, ch, &n), qpxStatusOk);
        ASSERT_EQ(qpxiFilterSeparableGetSpecSize_L({kw, kh}, kt, ch, &nl), qpxStatusOk);
        EXPECT_TRUE(n == (kw + kh) * e + 127 && nl == n);
        for (int w : {1, 100}) {
            ASSERT_EQ(qpxiFilterSeparableGetBufferSize({w, 7}, {kw, kh}, qpx16u, kt, ch, &n),
                      qpxStatusOk);
            ASSERT_EQ(qpxiFilterSeparableGetBufferSize_L({w, 1000}, {kw, kh}, qpx16u, kt, ch, &nl),
                      qpxStatusOk);
            EXPECT_TRUE(n == 256 * kw + 8 * kh + (kw * e + (w + kw - 1) * kh) * ch * 4 && nl == n);
        }
    }
    const s16 k16[2] = {1, 2};
    const float k32[2] = {1, 2};
    alignas(16) u8 spec[256] = {};
    auto* sp = reinterpret_cast<Spec*>(spec);
    ASSERT_EQ(qpxiFilterSeparableInit_16s(k16, k16 + 1, {2, 1}, -3, 5, qpx16s, 4, sp), qpxStatusOk);
    EXPECT_EQ(std::tuple(sp->kernelKind, sp->kernelWidth, sp->kernelHeight, sp->divisor,
                         sp->scaleFactor, sp->numChannels),
              std::tuple(0, 2, 1, -3, 5, 4));
    ASSERT_TRUE(sp->rowKernel16s && sp->colKernel16s && !sp->rowKernel32f && !sp->colKernel32f);
    EXPECT_TRUE((u8*)sp->rowKernel16s >= spec + sizeof *sp &&
                (u8*)(sp->colKernel16s + 1) <= spec + 3 * 2 + 127);
    EXPECT_TRUE(sp->rowKernel16s[1] == 2 && sp->colKernel16s[0] == 2);
    ASSERT_EQ(qpxiFilterSeparableInit_32f(k32, k32, {2, 2}, qpx8u, 1, sp), qpxStatusOk);
    EXPECT_EQ(std::tuple(sp->kernelKind, sp->divisor, sp->scaleFactor), std::tuple(1, 1, 0));
    EXPECT_TRUE(sp->rowKernel32f && sp->colKernel32f == sp->rowKernel32f + 2 && !sp->rowKernel16s);
}

// ---- row and column stages -----------------------------------------------------------------

int low_mul(int divisor) {
    return s16(std::trunc(16384.0f / float(divisor)));
}

// One row-stage call on guarded memory against direct sums, and every target against it.
template <RowKind kind, class T, class D, int ch, class K, class Call>
void row_case(Call call, qpxStatus (*size)(qpxSize, int, int*), int divisor, int ks, int ax,
              std::uint32_t b, int w, Place place, Random& rnd) {
    GuardedImage<T> src(w, 3, ch, 0, place,
                        {0, 0, (b & 0x40) ? ax : 0, (b & 0x80) ? ks - 1 - ax : 0});
    src.fill([&] { return kind == RowKind::Float ? T(rnd.next<float>(-50, 50)) : rnd.any<T>(); });
    GuardedImage<D> dst(w, 3, ch, 0, place), other(w, 3, ch);
    D* rows[3] = {&dst.at(0, 0), &dst.at(0, 1), &dst.at(0, 2)};
    D* otherRows[3] = {&other.at(0, 0), &other.at(0, 1), &other.at(0, 2)};
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
    for (qpx::Target t : all_targets()) {
        qpx::filter::row_stage<kind, T, D, K, ch>(
            t, qpx::View<const T>(src.roi(), src.step(), w, 3, ch), otherRows, k.data(), ks, ax, b,
            value, divisor, buf.data());
        for (int y = 0; y < 3; ++y)
            ASSERT_EQ(std::memcmp(&dst.at(0, y), &other.at(0, y), sizeof(D) * w * ch), 0)
                << qpx::target_name(t) << " w " << w << " ks " << ks << " border " << b;
    }
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
        for (int w : {1, 3, 8, 13, 35, 47}) {
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
            GuardedImage<D> dst(w, 4, ch, 0, Place::End), other(w, 4, ch);
            ASSERT_EQ(
                call(rows.data(), dst.roi(), dst.step(), qpxSize{w, 4}, k.data(), ks, divisor), 0);
            for (qpx::Target t : all_targets()) {
                qpx::filter::column_stage<kind, S, D, typename decltype(k)::value_type, ch>(
                    t, rows.data(), qpx::View<D>(other.roi(), other.step(), w, 4, ch), k.data(), ks,
                    divisor);
                for (int y = 0; y < 4; ++y)
                    ASSERT_EQ(std::memcmp(&dst.at(0, y), &other.at(0, y), sizeof(D) * w * ch), 0)
                        << qpx::target_name(t) << " w " << w << " ks " << ks;
            }
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

// Every target gives the scalar target's bits on integer sums that overflow 32 bits, where no
// reference applies.
TEST(Stages, TargetsAgreeOnOverflow) {
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
            const std::vector<qpx::Target> targets = all_targets();
            std::vector<std::vector<s16>> out(targets.size());
            for (std::size_t i = 0; i < targets.size(); ++i) {
                const qpx::Target t = targets[i];
                std::vector<s16>& o = out[i];
                o.assign(std::size_t(18 * w), 0);
                s16 *ir[2] = {&o[0], &o[3 * w]}, *lr[2] = {&o[6 * w], &o[9 * w]};
                const qpx::View<const s16> src(is.roi(), is.step(), w, 2, 3);
                qpx::filter::row_stage<RowKind::Scaled, s16, s16, s16, 3>(t, src, ir, ik.data(), ks,
                                                                          0, 6, iv, 3, buf);
                qpx::filter::row_stage<RowKind::Low, s16, s16, s16, 3>(t, src, lr, ik.data(), ks,
                                                                       ks - 1, 1, iv, 7, buf);
                qpx::filter::column_stage<RowKind::Low, s16, s16, s16, 3>(
                    t, irows.data(), qpx::View<s16>(&o[12 * w], 6 * w, w, 2, 3), ik.data(), ks, 5);
                ASSERT_EQ(o, out[0]) << qpx::target_name(t) << " w " << w << " ks " << ks;
            }
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
    } rowCases[] = {{nullptr, rows, 1, 0, 9, 2, 0, buf, qpxStatusNullPointer},
                    {src, rows, 8, 3, 1, 2, 0, nullptr, qpxStatusNullPointer},
                    {src, nrows, 1, 0, 9, 2, 0, buf, qpxStatusNullPointer},
                    {src, rows, 1, 0, 9, 2, 0, buf, qpxStatusBadSize},
                    {src, rows, 1, 3, 3, 2, 0, buf, qpxStatusBadAnchor},
                    {src, rows, 1, 3, -1, 2, 0, buf, qpxStatusBadAnchor},
                    {src, rows, 7, 3, 1, 2, 0, buf, qpxStatusBadStep},
                    {src, rows, 9, 3, 1, 2, 0, buf, qpxStatusStepNotMultiple},
                    {src, rows, 8, 3, 1, 2, 0, buf, qpxStatusBadArgument},
                    {src, rows, 8, 3, 1, 2, 1, buf, qpxStatusBadBorder},
                    {src + 8, rows, 8, 3, 2, 240, -1, buf, qpxStatusOk}};
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
              qpxStatusBadBorder);
    EXPECT_EQ(qpxiFilterRowBorderPipeline_8u16s_C1R(s8, 4, rows, {4, 2}, k, 3, 1, 1, 0, 0, buf),
              qpxStatusBadArgument);
    u16* urows[2] = {reinterpret_cast<u16*>(out), reinterpret_cast<u16*>(out + 16)};
    EXPECT_EQ(qpxiFilterRowBorderPipeline_16u_C1R(reinterpret_cast<u16*>(src), 8, urows, {4, 2}, k,
                                                  3, 1, 2, 0, -2, buf),
              qpxStatusBadArgument);

    const s16* crow[12] = {src, src, src, src, src, src, src, src, src, nullptr, src, src};
    struct {
        s16* d;
        int step;
        qpxSize roi;
        int ks, div;
        u8* bf;
        qpxStatus want;
    } colCases[] = {{nullptr, 1, {0, 0}, 0, 0, nullptr, qpxStatusNullPointer},
                    {out, 1, {0, 2}, 0, 0, nullptr, qpxStatusBadSize},
                    {out, 1, {4, 8}, 3, 0, nullptr, qpxStatusNullPointer},
                    {out, 1, {4, 2}, 0, 0, nullptr, qpxStatusBadSize},
                    {out, 7, {4, 2}, 3, 0, nullptr, qpxStatusBadStep},
                    {out, 9, {4, 2}, 3, 0, nullptr, qpxStatusStepNotMultiple},
                    {out, 8, {4, 2}, 3, 0, nullptr, qpxStatusNullPointer},
                    {out, 8, {4, 2}, 3, 0, buf, qpxStatusBadArgument},
                    {out, 8, {4, 2}, 3, -3, buf, qpxStatusOk}};
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
        ASSERT_EQ(q({int(w), 3}, int(ks), &n), qpxStatusOk);
        EXPECT_EQ(std::uint32_t(n), want);
        EXPECT_EQ(q({0, 3}, 0, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(q({int(w), 0}, 1, &n), qpxStatusBadSize);
        EXPECT_EQ(q({int(w), 1}, 0, &n), qpxStatusBadSize);
    }
}

}  // namespace
