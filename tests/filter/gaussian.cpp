// Gaussian filter results: every export form against a direct 2-D correlation of the
// border-extended source (independent kernel and border rules), with images against guard
// pages, and the vector path against the scalar path bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/guard.hpp"
#include "filter/gaussian.hpp"

using namespace qpxtest;

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

// Kernel in double precision: exp(-k^2 / (2 sigma^2)), normalised to sum 1.
std::vector<double> ref_kernel(int ks, double sigma) {
    std::vector<double> k(ks);
    double s = 0;
    for (int i = 0; i < ks; ++i)
        s += k[i] = std::exp(-(i - ks / 2) * (i - ks / 2) / (2 * sigma * sigma));
    for (double& v : k) v /= s;
    return k;
}

constexpr long kConst = -1L << 40;

// Where coordinate i of a line of n pixels reads, by kind and in-memory flags of both ends.
long ref_index(long i, long n, int kind, bool memLo, bool memHi) {
    if ((i >= 0 || memLo) && (i < n || memHi)) return i;
    if (kind == qpxBorderConst) return kConst;
    if (kind == qpxBorderMirror && n > 1) {
        long p = 2 * n - 2, m = ((i % p) + p) % p;
        return m < n ? m : p - m;
    }
    return i < 0 ? 0 : n - 1;
}

template <class T>
double ref_value(const GuardedImage<T>& s, std::uint32_t border, const T* bv, long x, long y,
                 int c) {
    const int kind = border & 15;
    long mx = ref_index(x, s.width(), kind, border & 0x40, border & 0x80);
    long my = ref_index(y, s.height(), kind, border & 0x10, border & 0x20);
    if (mx == kConst || my == kConst) return double(bv[c]);
    return double(s.at(int(mx), int(my), c));
}

// Compares the output with the direct correlation. Integer results must be the rounded
// (or, for the 16s 5x5 case, truncated) reference, off by one only near a rounding boundary.
template <class T, int C>
void expect_matches(const GuardedImage<T>& src, const GuardedImage<T>& dst, int ks, float sigma,
                    std::uint32_t border, const T* bv) {
    const auto k = ref_kernel(ks, sigma);
    const int r = ks / 2;
    const bool trunc = std::is_same_v<T, std::int16_t> && ks == 5;
    int bad = 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            for (int c = 0; c < C; ++c) {
                double ref = 0;
                for (int j = -r; j <= r; ++j)
                    for (int i = -r; i <= r; ++i)
                        ref += k[j + r] * k[i + r] * ref_value(src, border, bv, x + i, y + j, c);
                const double got = double(dst.at(x, y, c));
                if constexpr (std::is_same_v<T, float>) {
                    bad += !(std::fabs(got - ref) <= 2e-3);
                } else {
                    const double lo = std::numeric_limits<T>::min(),
                                 hi = std::numeric_limits<T>::max();
                    const double want =
                        std::clamp(trunc ? std::trunc(ref) : std::nearbyint(ref), lo, hi);
                    const double frac = std::fabs(ref - std::trunc(ref));
                    const bool nearEdge =
                        trunc ? (frac < 0.02 || frac > 0.98) : std::fabs(frac - 0.5) < 0.02;
                    bad += nearEdge ? !(std::fabs(got - want) <= 1) : got != want;
                }
                if (bad == 1) {
                    ADD_FAILURE() << "x=" << x << " y=" << y << " c=" << c << " got " << got
                                  << " want " << ref << " ks=" << ks << " border=" << border
                                  << " roi " << src.width() << "x" << src.height();
                    ++bad;
                }
            }
}

// The 32-bit Init takes only the codes of the general filter rule.
bool accept_border32(std::uint32_t b) {
    return b == 0xF0 || (b & 15) == 6 || (b & 13) == 1;
}

// Runs one case through the 64-bit interface and, with the same arguments, the 32-bit plain and
// Border forms; all three must agree and match the reference. Memory beyond the ROI exists only
// on the in-memory sides, r pixels deep, and every buffer is exactly the reported size.
template <class T, int C>
void run_case(int w, int h, int ks, float sigma, std::uint32_t border, Place place, Random& rnd) {
    const int r = ks / 2;
    const bool all = (border & 0xF0) == 0xF0;
    Margins m{(all || (border & 0x10)) ? r : 0, (all || (border & 0x20)) ? r : 0,
              (all || (border & 0x40)) ? r : 0, (all || (border & 0x80)) ? r : 0};
    GuardedImage<T> src(w, h, C, 0, place, m);
    src.fill([&] { return std::is_same_v<T, float> ? rnd.next<T>(-100, 100) : rnd.any<T>(); });
    T bv[3];
    for (T& v : bv) v = rnd.any<T>();
    const int code = Api<T>::code;

    std::int64_t specSize, initSize, bufSize;
    ASSERT_EQ(qpxiFilterGaussianGetSpecSize_L(ks, code, C, &specSize, &initSize), 0);
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize_L(w, h, ks, code, border, C, &bufSize), 0);
    GuardedBuffer spec(specSize, place), init(initSize, place), buf(bufSize, place);
    auto* s = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
    ASSERT_EQ(qpxiFilterGaussianInit_L(w, h, ks, sigma, border, code, C, s, init.data()), 0);
    GuardedImage<T> dst(w, h, C, 0, place);
    ASSERT_EQ(
        Api<T>::L[C](src.roi(), src.step(), dst.roi(), dst.step(), w, h, border, bv, s, buf.data()),
        0);
    expect_matches<T, C>(src, dst, ks, sigma, border, bv);

    if (!accept_border32(border)) return;
    int spec32, buf32;
    ASSERT_EQ(qpxiFilterGaussianGetBufferSize({w, h}, ks, code, C, &spec32, &buf32), 0);
    GuardedBuffer specB(spec32, place), bufB(buf32, place);
    auto* sb = reinterpret_cast<qpxFilterGaussianSpec*>(specB.data());
    ASSERT_EQ(qpxiFilterGaussianInit({w, h}, ks, sigma, border, code, C, sb, bufB.data()), 0);
    GuardedImage<T> d2(w, h, C, 0, place), d3(w, h, C, 0, place);
    ASSERT_EQ(Api<T>::F[C](src.roi(), src.step(), d2.roi(), d2.step(), {w, h}, border, bv, sb,
                           bufB.data()),
              0);
    qpxStatus st =
        C == 1
            ? Api<T>::B1(src.roi(), src.step(), d3.roi(), d3.step(), {w, h}, bv[0], sb, bufB.data())
            : Api<T>::B3(src.roi(), src.step(), d3.roi(), d3.step(), {w, h}, bv, sb, bufB.data());
    ASSERT_EQ(st, 0);
    EXPECT_EQ(d2.dense(), dst.dense());
    EXPECT_EQ(d3.dense(), dst.dense());
}

template <class T>
class GaussianFilter : public ::testing::Test {};
using Types = ::testing::Types<std::uint8_t, std::uint16_t, std::int16_t, float>;
TYPED_TEST_SUITE(GaussianFilter, Types);

// Every accepted border: three kinds with each combination of in-memory sides, plus all sides
// in memory with kinds the rule ignores there.
TYPED_TEST(GaussianFilter, EveryBorderAndSide) {
    Random rnd(1);
    std::vector<std::uint32_t> codes = {0xF0, 0xF2, 0xF4};
    for (std::uint32_t kind : {1u, 3u, 6u})
        for (std::uint32_t flags = 0; flags < 16; ++flags) codes.push_back(kind | flags << 4);
    int i = 0;
    for (std::uint32_t b : codes) {
        const Place place = i % 2 ? Place::Begin : Place::End;
        const int ks = 3 + 2 * (i++ % 3);
        run_case<TypeParam, 1>(9, 6, ks, 1.3f, b, place, rnd);
        run_case<TypeParam, 3>(5, 4, ks, 0.9f, b, place, rnd);
    }
}

// ROI sizes from 1x1 up, kernels 3..13, including kernels much wider than the ROI (the mirror
// then folds back and forth).
TYPED_TEST(GaussianFilter, SizesAndKernels) {
    Random rnd(2);
    const int sizes[][2] = {{1, 1}, {1, 5}, {6, 1}, {2, 2}, {3, 7}, {17, 4}, {33, 3}, {67, 2}};
    int i = 0;
    for (int ks : {3, 5, 7, 9, 11, 13})
        for (auto& s : sizes) {
            const std::uint32_t b = (i % 3 == 0) ? 1u : (i % 3 == 1) ? 3u : 6u;
            const Place place = i++ % 2 ? Place::Begin : Place::End;
            run_case<TypeParam, 1>(s[0], s[1], ks, 0.4f * ks, b, place, rnd);
            run_case<TypeParam, 3>(s[0], s[1], ks, 2.0f, b, place, rnd);
        }
}

// A vanishing sigma leaves an identity kernel; a constant image stays constant under every
// border that builds its outside from the image.
TYPED_TEST(GaussianFilter, IdentityAndConstant) {
    using T = TypeParam;
    Random rnd(3);
    const int w = 21, h = 7, code = Api<T>::code;
    GuardedImage<T> src(w, h, 3), dst(w, h, 3);
    for (int ks : {3, 5, 9}) {
        std::int64_t specSize, initSize, bufSize;
        qpxiFilterGaussianGetSpecSize_L(ks, code, 3, &specSize, &initSize);
        qpxiFilterGaussianGetBufferSize_L(w, h, ks, code, 1, 3, &bufSize);
        std::vector<std::uint8_t> spec(specSize), init(initSize), buf(bufSize);
        auto* s = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
        for (std::uint32_t b : {1u, 3u, 6u}) {
            src.fill([&] { return rnd.any<T>(); });
            ASSERT_EQ(qpxiFilterGaussianInit_L(w, h, ks, 0.01f, b, code, 3, s, init.data()), 0);
            T bv[3] = {rnd.any<T>(), rnd.any<T>(), rnd.any<T>()};
            ASSERT_EQ(Api<T>::L[3](src.roi(), src.step(), dst.roi(), dst.step(), w, h, b, bv, s,
                                   buf.data()),
                      0);
            EXPECT_EQ(dst.dense(), src.dense());

            const T v = rnd.any<T>();
            src.fill([&] { return v; });
            const T same[3] = {v, v, v};
            ASSERT_EQ(qpxiFilterGaussianInit_L(w, h, ks, 1.5f, b, code, 3, s, init.data()), 0);
            ASSERT_EQ(Api<T>::L[3](src.roi(), src.step(), dst.roi(), dst.step(), w, h, b, same, s,
                                   buf.data()),
                      0);
            for (T got : dst.dense())
                if constexpr (std::is_same_v<T, float>)
                    EXPECT_NEAR(got, v, std::fabs(v) * 1e-6);
                else
                    EXPECT_EQ(got, v);
        }
    }
}

// The vector path, with ordinary and with streaming stores, equals the scalar path bit for bit,
// for widths around the vector lengths and destinations at every element offset.
template <class T, int C>
void scalar_vector(Random& rnd) {
    using qpx::Path;
    using qpx::filter::Stream;
    for (int ks : {3, 5, 7, 9, 15})
        for (int w : test_widths()) {
            const int h = 3 + w % 4, off = w % 5;
            const std::uint32_t b = (w % 3 == 0) ? 1u : (w % 3 == 1) ? 3u : 6u;
            GuardedImage<T> src(w, h, C);
            src.fill([&] {
                if constexpr (std::is_same_v<T, float>)
                    return rnd.bits() % 97 == 0 ? std::nanf("") : rnd.next<float>(-1e4, 1e4);
                else
                    return rnd.any<T>();
            });
            std::vector<std::uint8_t> spec(qpx::filter::gauss_engine_spec_size(ks));
            std::vector<std::uint8_t> buf(qpx::filter::gauss_engine_buffer_size(w, ks, C));
            qpx::filter::gauss_init_engine(spec.data(), ks, 0.3f * ks, Api<T>::code);
            const T bv[3] = {rnd.any<T>(), rnd.any<T>(), rnd.any<T>()};
            std::vector<T> out[3];
            const std::int64_t n = std::int64_t(w) * C, step = (n + 16) * sizeof(T);
            int i = 0;
            for (auto [path, stream] :
                 {std::pair{Path::Scalar, Stream::Never}, std::pair{Path::Vector, Stream::Never},
                  std::pair{Path::Vector, Stream::Always}}) {
                std::vector<T> d(step / sizeof(T) * h + 16);
                qpx::filter::gaussian<T, C>(path, src.roi(), src.step(), d.data() + off, step, w, h,
                                            b, bv, spec.data(), buf.data(), stream);
                out[i++] = d;
            }
            const auto bytes = out[0].size() * sizeof(T);
            EXPECT_EQ(std::memcmp(out[0].data(), out[1].data(), bytes), 0)
                << "ks " << ks << " w " << w;
            EXPECT_EQ(std::memcmp(out[0].data(), out[2].data(), bytes), 0)
                << "ks " << ks << " w " << w;
        }
}

TYPED_TEST(GaussianFilter, VectorEqualsScalar) {
    Random rnd(4);
    scalar_vector<TypeParam, 1>(rnd);
    scalar_vector<TypeParam, 3>(rnd);
}

// Integer results follow the caller's rounding mode, which the call leaves as it found it.
TEST(GaussianRounding, CurrentModeAndRegisterKept) {
    const int w = 16, h = 4;
    GuardedImage<std::uint8_t> src(w, h), dst(w, h);
    Random rnd(5);
    src.fill([&] { return rnd.any<std::uint8_t>(); });
    std::int64_t specSize, initSize, bufSize;
    qpxiFilterGaussianGetSpecSize_L(5, qpx8u, 1, &specSize, &initSize);
    qpxiFilterGaussianGetBufferSize_L(w, h, 5, qpx8u, 1, 1, &bufSize);
    std::vector<std::uint8_t> spec(specSize), init(initSize), buf(bufSize);
    auto* s = reinterpret_cast<qpxFilterGaussianSpec*>(spec.data());
    ASSERT_EQ(qpxiFilterGaussianInit_L(w, h, 5, 1.0f, 1, qpx8u, 1, s, init.data()), 0);
    ASSERT_EQ(qpxiFilterGaussian_8u_C1R_L(src.roi(), src.step(), dst.roi(), dst.step(), w, h, 1,
                                          nullptr, s, buf.data()),
              0);
    const auto nearest = dst.dense();
    const unsigned saved = mxcsr();
    _mm_setcsr((saved & ~0x6000u) | 0x6000u);  // toward zero
    const unsigned set = mxcsr();
    ASSERT_EQ(qpxiFilterGaussian_8u_C1R_L(src.roi(), src.step(), dst.roi(), dst.step(), w, h, 1,
                                          nullptr, s, buf.data()),
              0);
    EXPECT_EQ(mxcsr(), set);
    _mm_setcsr(saved);
    const auto down = dst.dense();
    int lower = 0;
    for (size_t i = 0; i < down.size(); ++i) {
        EXPECT_LE(down[i], nearest[i]);
        lower += down[i] < nearest[i];
    }
    EXPECT_GT(lower, 0);
}

}  // namespace
