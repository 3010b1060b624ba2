// Gaussian filter: every export form against a direct 2-D correlation of the border-extended
// source on guarded images, every vector target against the scalar one, the kernel, the size
// queries, and the order of the argument checks of every export with nothing written by a failed
// call.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "filter/gaussian.hpp"
#include "filter/reference.hpp"

using namespace qpxtest;
using namespace filtertest;

namespace {

template <class T>
struct Api;
#define GAUSS_API(T, tag, code_)                                                                   \
    template <>                                                                                    \
    struct Api<T> {                                                                                \
        static constexpr int code = code_;                                                         \
        static constexpr decltype(&qpxiFilterGaussian_##tag##_C1R_L) L[4] = {                      \
            nullptr, qpxiFilterGaussian_##tag##_C1R_L, nullptr, qpxiFilterGaussian_##tag##_C3R_L}; \
        static constexpr decltype(&qpxiFilterGaussian_##tag##_C1R) F[4] = {                        \
            nullptr, qpxiFilterGaussian_##tag##_C1R, nullptr, qpxiFilterGaussian_##tag##_C3R};     \
        static constexpr auto B1 = qpxiFilterGaussianBorder_##tag##_C1R;                           \
        static constexpr auto B3 = qpxiFilterGaussianBorder_##tag##_C3R;                           \
    };
GAUSS_API(std::uint8_t, 8u, qpx8u)
GAUSS_API(std::uint16_t, 16u, qpx16u)
GAUSS_API(std::int16_t, 16s, qpx16s)
GAUSS_API(float, 32f, qpx32f)

// Direct 2-D correlation in double precision with a kernel exp(-k^2 / 2 sigma^2) normalised.
// Integer results must be the rounded (16s 5x5: truncated) reference, or off by one where the
// reference lies at a rounding boundary.
template <class T, int C>
void expect_matches(const GuardedImage<T>& s, const GuardedImage<T>& d, int ks, double sigma,
                    std::uint32_t b, const T* bv) {
    const int r = ks / 2, kind = b & 15;
    std::vector<double> k(ks);
    double sum = 0;
    for (int i = 0; i < ks; ++i) sum += k[i] = std::exp(-(i - r) * (i - r) / (2 * sigma * sigma));
    const bool trunc = std::is_same_v<T, std::int16_t> && ks == 5;
    int bad = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            for (int c = 0; c < C; ++c) {
                double ref = 0;
                for (int j = -r; j <= r; ++j)
                    for (int i = -r; i <= r; ++i) {
                        long mx = ref_index(x + i, s.width(), kind, b & 0x40, b & 0x80);
                        long my = ref_index(y + j, s.height(), kind, b & 0x10, b & 0x20);
                        double v = (mx == kConst || my == kConst) ? bv[c] : s.at(mx, my, c);
                        ref += k[j + r] * k[i + r] / (sum * sum) * v;
                    }
                const double got = d.at(x, y, c);
                bool ok;
                if constexpr (std::is_same_v<T, float>) {
                    ok = std::fabs(got - ref) <= 2e-3;
                } else {
                    const double want = std::clamp(trunc ? std::trunc(ref) : std::nearbyint(ref),
                                                   double(std::numeric_limits<T>::min()),
                                                   double(std::numeric_limits<T>::max()));
                    const double frac = std::fabs(ref - std::trunc(ref));
                    const bool edge =
                        trunc ? std::fabs(frac - 0.5) > 0.48 : std::fabs(frac - 0.5) < 0.02;
                    ok = edge ? std::fabs(got - want) <= 1 : got == want;
                }
                if (!ok && bad++ == 0)
                    ADD_FAILURE() << "(" << x << "," << y << "," << c << ") got " << got << " want "
                                  << ref << " ks " << ks << " border " << b << " roi " << s.width()
                                  << "x" << s.height();
            }
}

// One case through the 64-bit interface and, where the 32-bit Init takes the border, the 32-bit
// plain and Border forms, which must agree. Memory beyond the ROI exists only on the in-memory
// sides, r pixels deep, and every buffer is exactly the reported size.
template <class T, int C>
void run_case(int w, int h, int ks, float sigma, std::uint32_t b, Place place, Random& rnd) {
    const int r = ks / 2, code = Api<T>::code;
    auto side = [&](unsigned f) { return (b & 0xF0) == 0xF0 || (b & f) ? r : 0; };
    GuardedImage<T> src(w, h, C, 0, place, {side(0x10), side(0x20), side(0x40), side(0x80)});
    GuardedImage<T> dst(w, h, C, 0, place), d2(w, h, C, 0, place), d3(w, h, C, 0, place);
    src.fill([&] { return std::is_same_v<T, float> ? rnd.next<T>(-100, 100) : rnd.any<T>(); });
    const T bv[3] = {rnd.any<T>(), rnd.any<T>(), rnd.any<T>()};
    std::int64_t specSize, initSize, bufSize;
    ASSERT_EQ(qpxiFilterGaussianGetSpecSize_L(ks, code, C, &specSize, &initSize), qpxStatusOk);
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize_L(w, h, ks, code, b, C, &bufSize), qpxStatusOk);
    GuardedBuffer spec(specSize, place), init(initSize, place), buf(bufSize, place);
    auto* sp = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
    ASSERT_EQ(qpxiFilterGaussianInit_L(w, h, ks, sigma, b, code, C, sp, init.data()), qpxStatusOk);
    ASSERT_EQ(
        Api<T>::L[C](src.roi(), src.step(), dst.roi(), dst.step(), w, h, b, bv, sp, buf.data()), 0);
    expect_matches<T, C>(src, dst, ks, sigma, b, bv);

    if (!(b == 0xF0 || (b & 15) == 6 || (b & 13) == 1)) return;
    int spec32, buf32;
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({w, h}, ks, code, C, &spec32, &buf32), qpxStatusOk);
    GuardedBuffer specB(spec32, place), bufB(buf32, place);
    auto* sb = reinterpret_cast<qpxFilterGaussianSpec*>(specB.data());
    ASSERT_EQ(qpxiFilterGaussianInit({w, h}, ks, sigma, b, code, C, sb, bufB.data()), qpxStatusOk);
    ASSERT_EQ(
        Api<T>::F[C](src.roi(), src.step(), d2.roi(), d2.step(), {w, h}, b, bv, sb, bufB.data()),
        0);
    ASSERT_EQ(
        C == 1
            ? Api<T>::B1(src.roi(), src.step(), d3.roi(), d3.step(), {w, h}, bv[0], sb, bufB.data())
            : Api<T>::B3(src.roi(), src.step(), d3.roi(), d3.step(), {w, h}, bv, sb, bufB.data()),
        0);
    EXPECT_EQ(d2.dense(), dst.dense());
    EXPECT_EQ(d3.dense(), dst.dense());
}

template <class T>
class GaussianFilter : public ::testing::Test {};
using Types = ::testing::Types<std::uint8_t, std::uint16_t, std::int16_t, float>;
TYPED_TEST_SUITE(GaussianFilter, Types);

// Every accepted border (three kinds, each set of in-memory sides, all sides in memory with
// kinds the rule then ignores); ROI sizes from 1x1 up with kernels 3..13, many wider than the
// ROI; a vanishing sigma (identity kernel).
TYPED_TEST(GaussianFilter, MatchesReference) {
    Random rnd(1);
    std::vector<std::uint32_t> codes = {0xF0, 0xF2, 0xF4};
    for (std::uint32_t kind : {1u, 3u, 6u})
        for (std::uint32_t flags = 0; flags < 16; ++flags) codes.push_back(kind | flags << 4);
    int i = 0;
    for (std::uint32_t b : codes) {
        const Place place = i % 2 ? Place::Begin : Place::End;
        run_case<TypeParam, 1>(9, 6, 3 + 2 * (i % 3), 1.3f, b, place, rnd);
        run_case<TypeParam, 3>(5, 4, 3 + 2 * (i++ % 3), 0.9f, b, place, rnd);
    }
    const int sizes[][2] = {{1, 1}, {1, 5}, {6, 1}, {2, 2}, {3, 7}, {17, 4}, {33, 3}, {67, 2}};
    for (int ks : {3, 5, 7, 9, 11, 13})
        for (auto& s : sizes) {
            const std::uint32_t b = i % 3 == 0 ? 1 : i % 3 == 1 ? 3 : 6;
            const Place place = i++ % 2 ? Place::Begin : Place::End;
            run_case<TypeParam, 1>(s[0], s[1], ks, 0.4f * ks, b, place, rnd);
            run_case<TypeParam, 3>(s[0], s[1], ks, ks == 13 ? 0.01f : 2.0f, b, place, rnd);
        }
}

// Every vector target, with ordinary and with streaming stores, equals the scalar target bit for
// bit, for widths around the vector lengths, rows wide enough to be swept in strips, every set of
// in-memory sides, and destinations at every element offset.
template <class T, int C>
void targets_agree(Random& rnd) {
    using qpx::Target;
    using qpx::filter::Stream;
    std::vector<int> widths = test_widths();
    widths.insert(widths.end(), {130, 700, 1001});
    for (int ks : {3, 5, 7, 9, 11, 15})
        for (int w : widths) {
            const int h = 3 + w % 4, off = w % 5;
            // Every set of in-memory sides in turn: strips other than the first must not
            // treat their own left edge as the ROI's.
            const std::uint32_t flags = std::uint32_t(w + ks) % 16 << 4;
            const std::uint32_t b = (w % 3 == 0 ? 1 : w % 3 == 1 ? 3 : 6) | flags;
            auto side = [&](unsigned f) { return b & f ? ks / 2 : 0; };
            GuardedImage<T> src(w, h, C, 0, Place::End,
                                {side(0x10), side(0x20), side(0x40), side(0x80)});
            src.fill([&] {
                if constexpr (std::is_same_v<T, float>)
                    return rnd.bits() % 97 == 0 ? std::nanf(rnd.bits() % 2 ? "1" : "2")
                                                : rnd.next<float>(-1e4, 1e4);
                else
                    return rnd.any<T>();
            });
            std::vector<std::uint8_t> spec(qpx::filter::gauss_engine_spec_size(ks));
            std::vector<std::uint8_t> buf(qpx::filter::gauss_engine_buffer_size(w, ks, C));
            qpx::filter::gauss_init_engine(spec.data(), ks, 0.3f * ks, Api<T>::code);
            const T bv[3] = {rnd.any<T>(), rnd.any<T>(), rnd.any<T>()};
            const std::int64_t step = (std::int64_t(w) * C + 16) * sizeof(T);
            auto run = [&](Target t, Stream stream) {
                std::vector<T> out(step / sizeof(T) * h + 16);
                qpx::filter::gaussian<T, C>(t, src.view(),
                                            qpx::View<T>(out.data() + off, step, w, h, C), b, bv,
                                            spec.data(), buf.data(), stream);
                return out;
            };
            const std::vector<T> want = run(Target::Scalar, Stream::Never);
            const auto bytes = want.size() * sizeof(T);
            for (Target t : vector_targets())
                for (Stream stream : {Stream::Never, Stream::Always})
                    EXPECT_EQ(std::memcmp(want.data(), run(t, stream).data(), bytes), 0)
                        << qpx::target_name(t) << " ks " << ks << " w " << w;
        }
}

TYPED_TEST(GaussianFilter, TargetsAgree) {
    Random rnd(4);
    targets_agree<TypeParam, 1>(rnd);
    targets_agree<TypeParam, 3>(rnd);
}

// Images of four million elements and more take wider strips and read a row ahead. Their rows
// must equal those of a small image over the same memory (its lower side read from memory), and
// every target must agree with the scalar one.
TYPED_TEST(GaussianFilter, LargeImagesMatchSmallOnes) {
    using T = TypeParam;
    using qpx::Target;
    using qpx::filter::Stream;
    Random rnd(5);
    const int w = 1031, h = 4100, top = 40;
    GuardedImage<T> src(w, h);
    src.fill([&] { return rnd.any<T>(); });
    for (int ks : {5, 11}) {
        std::vector<std::uint8_t> spec(qpx::filter::gauss_engine_spec_size(ks));
        std::vector<std::uint8_t> buf(qpx::filter::gauss_engine_buffer_size(w, ks, 1));
        qpx::filter::gauss_init_engine(spec.data(), ks, 0.3f * ks, Api<T>::code);
        const T bv[1] = {T(0)};
        auto run = [&](Target t, int rows, std::uint32_t border) {
            std::vector<T> out(std::size_t(w) * rows);
            qpx::filter::gaussian<T, 1>(t, src.view().rows(0, rows),
                                        qpx::View<T>(out.data(), w * sizeof(T), w, rows), border,
                                        bv, spec.data(), buf.data(), Stream::Never);
            return out;
        };
        const std::vector<T> big = run(Target::Scalar, h, qpxBorderRepl);
        const std::vector<T> small = run(Target::Scalar, top, qpxBorderRepl | qpxBorderInMemBottom);
        EXPECT_EQ(std::memcmp(small.data(), big.data(), small.size() * sizeof(T)), 0)
            << "ks " << ks;
        for (Target t : vector_targets()) {
            const std::vector<T> got = run(t, h, qpxBorderRepl);
            EXPECT_EQ(std::memcmp(got.data(), big.data(), big.size() * sizeof(T)), 0)
                << qpx::target_name(t) << " ks " << ks;
        }
    }
}

// Integer results follow the caller's rounding mode, which the call leaves as it found it.
TEST(GaussianRounding, CurrentModeAndRegisterKept) {
    const int w = 16, h = 4;
    GuardedImage<std::uint8_t> src(w, h), dst(w, h);
    Random rnd(5);
    src.fill([&] { return rnd.any<std::uint8_t>(); });
    std::uint8_t spec[140], init[64];
    std::vector<std::uint8_t> buf(qpx::filter::gauss_engine_buffer_size(w, 5, 1));
    auto* s = reinterpret_cast<qpxFilterGaussianSpec*>(spec);
    ASSERT_EQ(qpxiFilterGaussianInit_L(w, h, 5, 1.0f, 1, qpx8u, 1, s, init), qpxStatusOk);
    std::vector<std::uint8_t> res[2];
    const unsigned saved = mxcsr();
    for (unsigned mode : {0x0000u, 0x6000u}) {  // nearest, toward zero
        _mm_setcsr((saved & ~0x6000u) | mode);
        const unsigned set = mxcsr();
        ASSERT_EQ(qpxiFilterGaussian_8u_C1R_L(src.roi(), src.step(), dst.roi(), dst.step(), w, h, 1,
                                              nullptr, s, buf.data()),
                  0);
        EXPECT_EQ(mxcsr(), set);
        res[mode != 0] = dst.dense();
    }
    _mm_setcsr(saved);
    int lower = 0;
    for (std::size_t i = 0; i < res[0].size(); ++i) {
        EXPECT_LE(res[1][i], res[0][i]);
        lower += res[1][i] < res[0][i];
    }
    EXPECT_GT(lower, 0);
}

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
            ASSERT_EQ(qpxiFilterGaussianInit_L(8, 8, ks, sigma, 1, qpx16s, 3, sp, init),
                      qpxStatusOk);
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

void expect_sizes(int dt, std::int64_t ch, std::int64_t ks, std::int64_t w, std::int64_t h) {
    auto up = [](std::int64_t v, std::int64_t m) { return (v + m - 1) / m * m; };
    std::int64_t s64, i64, b64;
    int s32, i32, spec32, buf32;
    ASSERT_EQ(qpxiFilterGaussianGetSpecSize_L(ks, dt, ch, &s64, &i64), qpxStatusOk);
    ASSERT_EQ(qpxiFilterGaussianGetSpecSize(ks, dt, ch, &s32, &i32), qpxStatusOk);
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize_L(w, h, ks, dt, 3, ch, &b64), qpxStatusOk);
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({int(w), int(h)}, ks, dt, ch, &spec32, &buf32),
              qpxStatusOk);
    EXPECT_TRUE(s64 == 4 * ((ks + 1) / 2) + 128 && s32 == s64 && i64 == 64 && i32 == 64);
    const std::int64_t engine = (ks + 1) * up(w * ch * 4, 64) + 12 * ks + 64;
    EXPECT_EQ(b64, engine);
    EXPECT_EQ(spec32, (dt == qpx32f ? 32 * ks + 32 : 16 * ks + 36) + s64);
    const std::int64_t w4 = up(w, 4), w8 = up((w + ks) * ch, 8), m = std::min(h, ks);
    const std::int64_t pipes =
        dt == qpx8u    ? (ch == 1 ? 36 : 60) * ks + 144 + (ch == 1 ? 12 : 36) * w4 + 64
        : dt == qpx16u ? (ch == 1 ? 64 : 128) * ks + 96 + 32 * (ks + (8 * w * ch + 24) / 32) + 64
        : dt == qpx16s ? (ch == 1 ? 48 * ks + 112 : 40 * ks + 96) + (ch == 1 ? 12 : 36) * w4 + 64
                       : (ch == 1 ? 96 : 288) * ks + 96 + 32 * ks + 32;
    const std::int64_t own = dt == qpx32f ? 4 * w8 * (m + 2 * ks) + pipes + 8 * (m + ks) + 192
                                          : 2 * w8 * (2 * ks - 1 + m) + pipes + 8 * (h + ks) + 192;
    EXPECT_EQ(buf32, std::max(own, engine)) << dt << " " << ch << " " << ks << " " << w;
}

TEST(GaussianSizes, MatchFormulas) {
    for (int dt : {qpx8u, qpx16u, qpx16s, qpx32f})
        for (int ch : {1, 3})
            for (int ks : {3, 5, 21})
                for (auto [w, h] : {std::pair{1, 1}, {7, 2}, {1001, 30}})
                    expect_sizes(dt, ch, ks, w, h);
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

// The initialisers differ in their border rule: all four sides in memory with any kind pass the
// 64-bit one only. The other checks of the queries and initialisers are the generic argument
// test's.
TEST(GaussianChecks, InitialisersDifferInTheirBorderRule) {
    std::vector<std::uint8_t> mem(4096), init(64);
    auto* spec = reinterpret_cast<qpxFilterGaussianSpec*>(mem.data());
    EXPECT_EQ(qpxiFilterGaussianInit_L(4, 3, 5, 1.5f, 0xF2, qpx16u, 3, spec, init.data()),
              qpxStatusOk);
    EXPECT_EQ(qpxiFilterGaussianInit({4, 3}, 5, 1.5f, 0xF2, qpx16u, 3, spec, init.data()),
              qpxStatusBadBorder);
    EXPECT_EQ(qpxiFilterGaussianInit({4, 3}, 5, 1.5f, 0xF0, qpx16u, 3, spec, init.data()),
              qpxStatusOk);
}

// The filtering exports of one type and channel count, 64-bit, 32-bit and (C3) Border forms.
// The 64-bit form tests its width rule before the size; the 32-bit forms first test for steps
// below 1 and the size. The kernel sizes come last: the 32-bit header's, then the engine's.
template <class T, int C, class F64, class F32, class FB>
void filter_chains(F64 f64, F32 f32, FB fb) {
    const int w = 5, h = 3, ks = 5, bad = 4, rowBytes = w * C * sizeof(T), esz = sizeof(T);
    const int code = Api<T>::code;
    GuardedImage<T> src(w, h, C), dst(w, h, C);
    const T bvals[3] = {1, 2, 3};
    int spec32, buf32;
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({w, h}, ks, code, C, &spec32, &buf32), qpxStatusOk);
    std::vector<std::uint8_t> specMem(spec32), bufMem(buf32);
    auto* specB = reinterpret_cast<qpxFilterGaussianSpec*>(specMem.data());
    ASSERT_EQ(qpxiFilterGaussianInit({w, h}, ks, 1.0f, 6, code, C, specB, bufMem.data()),
              qpxStatusOk);
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
        if (form == 2) st.push_back({qpxStatusNullPointer, fixSpec});
        st.insert(st.end(), {{qpxStatusNullPointer, [&] { s = src.roi(); }},
                             {qpxStatusNullPointer, [&] { d = dst.roi(); }}});
        if (form != 2) st.push_back({qpxStatusNullPointer, fixSpec});
        st.push_back({qpxStatusNullPointer, [&] { b = bufMem.data(); }});
        if (form)
            st.insert(st.end(), {{qpxStatusBadStep, [&] { ss = rowBytes - 1; }},
                                 {qpxStatusBadStep, [&] { ds = rowBytes - 1; }},
                                 {qpxStatusBadSize, [&] { hh = h; }}});
        st.insert(st.end(),
                  {{qpxStatusBadStep, [&] { ss = ok; }}, {qpxStatusBadStep, [&] { ds = ok; }}});
        if (!form) st.push_back({qpxStatusBadSize, [&] { hh = h; }});
        if (esz > 1)
            st.insert(st.end(), {{qpxStatusStepNotMultiple, [&] { ss = src.step(); }},
                                 {qpxStatusStepNotMultiple, [&] { ds = dst.step(); }}});
        st.insert(st.end(), {{qpxStatusBadBorder, [&] { setBorder(6); }},
                             {qpxStatusNullPointer, [&] { bv = bvals, setBorder(2); }},
                             {qpxStatusBadBorder, [&] { setBorder(6); }}});
        if (form)
            st.push_back({qpxStatusBadArgument, [&] { std::memcpy(specMem.data(), &ks, 4); }});
        st.push_back({qpxStatusBadArgument, [&] { std::memcpy(engine, &ks, 4); }});
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
              qpxStatusBadSize);
}

TYPED_TEST(GaussianFilter, FilterEntryPointChecks) {
    using A = Api<TypeParam>;
    filter_chains<TypeParam, 1>(A::L[1], A::F[1], nullptr);
    filter_chains<TypeParam, 3>(A::L[3], A::F[3], A::B3);
}

}  // namespace
