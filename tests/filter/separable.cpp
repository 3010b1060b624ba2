// The spec-based separable filter against a direct 2-D correlation of the border-extended
// source, on guarded images whose margins hold exactly the in-memory rows and columns allowed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "common/guard.hpp"
#include "filter/separable.hpp"

using namespace qpxtest;

namespace {

constexpr long kConst = -(1L << 40);

// Which pixel position i of a line of n pixels reads: by reflecting step by step rather than by
// a period, so that it shares nothing with the library's mapping.
long ref_index(long i, long n, int kind, bool memBefore, bool memAfter) {
    if ((i >= 0 && i < n) || (i < 0 && memBefore) || (i >= n && memAfter)) return i;
    if (kind == qpxBorderConst) return kConst;
    if (kind == qpxBorderRepl || n == 1) return i < 0 ? 0 : n - 1;
    while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
    return i;
}

template <class D>
D ref_store(float v) {
    if constexpr (std::is_same_v<D, float>) {
        return v;
    } else {
        const float lo = float(std::numeric_limits<D>::min()),
                    hi = float(std::numeric_limits<D>::max());
        return static_cast<D>(v < lo ? lo : v > hi ? hi : std::trunc(v));
    }
}

struct Case {
    int kw, kh;
    std::uint32_t border;
};

// Runs one filter call on guarded memory and compares it with the reference.
template <class T, class D, int ch, class K>
void check_filter(qpxSize roi, Case cs, const std::vector<K>& rk, const std::vector<K>& ck,
                  int divisor, Place place, Random& rnd) {
    const int ax = (cs.kw - 1) / 2, ay = (cs.kh - 1) / 2;
    const int kind = cs.border & 15;
    const bool top = cs.border & 0x10, bottom = cs.border & 0x20, left = cs.border & 0x40,
               right = cs.border & 0x80;
    Margins m{top ? ay : 0, bottom ? cs.kh - 1 - ay : 0, left ? ax : 0, right ? cs.kw - 1 - ax : 0};
    GuardedImage<T> src(roi.width, roi.height, ch, 0, place, m);
    src.fill([&] { return std::is_floating_point_v<T> ? rnd.next<T>(-100, 100) : rnd.any<T>(); });
    GuardedImage<D> dst(roi.width, roi.height, ch, sizeof(D), place);
    T value[4];
    for (auto& v : value) v = rnd.any<T>();

    constexpr bool f32 = std::is_same_v<K, float>;
    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiFilterSeparableGetSpecSize({cs.kw, cs.kh}, f32 ? qpx32f : qpx16s, ch, &specSize),
              0);
    const int dtype = std::is_same_v<T, std::uint8_t>    ? qpx8u
                      : std::is_same_v<T, float>         ? qpx32f
                      : std::is_same_v<T, std::uint16_t> ? qpx16u
                                                         : qpx16s;
    ASSERT_EQ(qpxiFilterSeparableGetBufferSize(roi, {cs.kw, cs.kh}, dtype, f32 ? qpx32f : qpx16s,
                                               ch, &bufSize),
              0);
    GuardedBuffer specMem((specSize + 7) / 8 * 8, Place::End), buf(bufSize, place);
    auto* spec = reinterpret_cast<qpxFilterSeparableSpec*>(specMem.data());
    if constexpr (f32)
        ASSERT_EQ(qpxiFilterSeparableInit_32f(rk.data(), ck.data(), {cs.kw, cs.kh},
                                              dtype == qpx16s ? qpx32f : dtype, ch, spec),
                  0);
    else
        ASSERT_EQ(qpxiFilterSeparableInit_16s(rk.data(), ck.data(), {cs.kw, cs.kh}, divisor, 3,
                                              dtype == qpx16u ? qpx16s : qpx8u, ch, spec),
                  0);
    qpx::filter::separable_filter<T, D, ch>(qpx::Path::Vector, src.roi(), src.step(), dst.roi(),
                                            dst.step(), roi.width, roi.height, cs.border, value,
                                            spec, buf.data());

    const float inv = 1.0f / float(divisor);
    auto P = [&](int x, int y, int c) -> float {
        long sx = ref_index(x, roi.width, kind, left, right),
             sy = ref_index(y, roi.height, kind, top, bottom);
        return (sx == kConst || sy == kConst) ? float(value[c])
                                              : float(src.at(int(sx), int(sy), c));
    };
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width; ++x)
            for (int c = 0; c < ch; ++c) {
                float s = 0;
                for (int j = 0; j < cs.kh; ++j) {
                    float r = float(rk[0]) * P(x - ax, y + j - ay, c);
                    for (int i = 1; i < cs.kw; ++i)
                        r = r + float(rk[i]) * P(x + i - ax, y + j - ay, c);
                    r = r * inv;
                    s = j == 0 ? float(ck[0]) * r : s + float(ck[j]) * r;
                }
                D want = ref_store<D>(s * inv);
                ASSERT_EQ(std::memcmp(&want, &dst.at(x, y, c), sizeof(D)), 0)
                    << "at " << x << "," << y << "," << c << " roi " << roi.width << "x"
                    << roi.height << " k " << cs.kw << "x" << cs.kh << " border " << cs.border
                    << " got " << +dst.at(x, y, c) << " want " << +want;
            }
}

const std::vector<std::uint32_t> kBorders = {1,        3,        6,        240,      1 | 0x10,
                                             3 | 0x20, 6 | 0x40, 1 | 0x80, 3 | 0x50, 6 | 0xA0,
                                             1 | 0xF0, 3 | 0xC0, 6 | 0x30};
const std::vector<qpxSize> kRois = {{1, 1}, {1, 4}, {3, 1}, {2, 3}, {7, 5}, {17, 6}, {33, 3}};
const std::vector<std::pair<int, int>> kKernels = {{1, 1}, {3, 3}, {5, 5}, {2, 4},
                                                   {4, 1}, {1, 7}, {9, 8}, {6, 2}};

template <class K>
std::vector<K> kernel(Random& rnd, int n) {
    std::vector<K> k(n);
    for (auto& v : k)
        v = std::is_same_v<K, float> ? K(rnd.next<float>(-2, 2)) : K(rnd.next<int>(-9, 9));
    return k;
}

template <class T, class D, int ch, class K>
void sweep(int divisor, bool allBorders) {
    Random rnd(ch * 100 + divisor);
    for (auto [kw, kh] : kKernels)
        for (std::uint32_t b : kBorders) {
            if (!allBorders && b != 3 && b != 6 && b != (1 | 0xF0)) continue;
            for (qpxSize roi : kRois)
                for (Place p : {Place::Begin, Place::End})
                    check_filter<T, D, ch, K>(roi, {kw, kh, b}, kernel<K>(rnd, kw),
                                              kernel<K>(rnd, kh), divisor, p, rnd);
        }
}

TEST(Separable, MatchesDirectCorrelation8u) {
    sweep<std::uint8_t, std::uint8_t, 1, std::int16_t>(7, true);
    sweep<std::uint8_t, std::uint8_t, 1, float>(1, true);
    sweep<std::uint8_t, std::uint8_t, 3, std::int16_t>(-3, false);
    sweep<std::uint8_t, std::uint8_t, 4, float>(1, false);
}
TEST(Separable, MatchesDirectCorrelationOtherTypes) {
    sweep<float, float, 1, float>(1, true);
    sweep<float, float, 3, float>(1, false);
    sweep<std::uint8_t, std::int16_t, 1, std::int16_t>(2, true);
    sweep<std::uint8_t, std::int16_t, 4, float>(1, false);
    sweep<std::int16_t, std::int16_t, 1, std::int16_t>(1000, true);
    sweep<std::int16_t, std::int16_t, 3, std::int16_t>(1, false);
    sweep<std::uint16_t, std::uint16_t, 1, float>(1, true);
    sweep<std::uint16_t, std::uint16_t, 4, float>(1, false);
}

// Kernel shapes whose result is known without a reference.
TEST(Separable, KnownResults) {
    GuardedImage<std::uint8_t> src(9, 4), dst(9, 4);
    Random rnd(5);
    src.fill([&] { return rnd.any<std::uint8_t>(); });
    alignas(8) std::uint8_t specMem[256];
    auto* spec = reinterpret_cast<qpxFilterSeparableSpec*>(specMem);
    std::vector<std::uint8_t> buf(4096);
    struct K {
        std::int16_t r, c;
        int div;
        int num, den;
    } cases[] = {{2, 2, 2, 1, 1}, {2, 1, 2, 1, 2}, {1, 1, -1, 1, 1}, {3, 1, 1, 3, 1}};
    for (auto k : cases) {
        ASSERT_EQ(qpxiFilterSeparableInit_16s(&k.r, &k.c, {1, 1}, k.div, 0, qpx8u, 1, spec), 0);
        ASSERT_EQ(qpxiFilterSeparable_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {9, 4},
                                             1, 0, spec, buf.data()),
                  0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(dst.at(x, y), std::min(255, src.at(x, y) * k.num / k.den)) << k.r << k.c;
    }
    // Unit-gain smoothing keeps a constant image constant.
    const std::int16_t smooth[3] = {1, 2, 1}, diff[3] = {1, -2, 1}, above[3] = {1, 0, 0};
    src.fill([] { return std::uint8_t(77); });
    ASSERT_EQ(qpxiFilterSeparableInit_16s(smooth, smooth, {3, 3}, 4, 0, qpx8u, 1, spec), 0);
    ASSERT_EQ(qpxiFilterSeparable_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {9, 4}, 3, 0,
                                         spec, buf.data()),
              0);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(dst.at(x, 3), 77);
    // A zero-sum row kernel turns the constant border rows into zeros whatever the value.
    src.fill([&] { return rnd.any<std::uint8_t>(); });
    ASSERT_EQ(qpxiFilterSeparableInit_16s(diff, above, {3, 3}, 1, 0, qpx8u, 1, spec), 0);
    ASSERT_EQ(qpxiFilterSeparable_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {9, 4}, 6,
                                         200, spec, buf.data()),
              0);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(dst.at(x, 0), 0);
    // Float results are truncated toward zero and saturated: 3.9 -> 3, negative -> 0, 400 -> 255.
    const float one = 1.0f;
    for (auto [k, in, out] : {std::tuple{0.1f, 39, 3}, {-1.0f, 5, 0}, {2.0f, 200, 255}}) {
        ASSERT_EQ(qpxiFilterSeparableInit_32f(&k, &one, {1, 1}, qpx8u, 1, spec), 0);
        src.at(2, 1) = std::uint8_t(in);
        ASSERT_EQ(qpxiFilterSeparable_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {9, 4},
                                             1, 0, spec, buf.data()),
                  0);
        EXPECT_EQ(dst.at(2, 1), out);
    }
}

// Scalar and vector paths agree bit for bit on random float data (where summation order shows).
TEST(Separable, ScalarEqualsVector) {
    Random rnd(9);
    for (int w : test_widths())
        for (auto [kw, kh] : kKernels) {
            GuardedImage<float> src(w, 5, 3);
            src.fill([&] { return rnd.next<float>(-1e3, 1e3); });
            GuardedImage<float> a(w, 5, 3), b(w, 5, 3);
            auto rk = kernel<float>(rnd, kw), ck = kernel<float>(rnd, kh);
            std::vector<std::uint8_t> spec(512),
                buf(qpx::filter::separable_buffer_size(w, kw, kh, qpx32f, 3));
            auto* sp = reinterpret_cast<qpxFilterSeparableSpec*>(spec.data());
            ASSERT_EQ(qpxiFilterSeparableInit_32f(rk.data(), ck.data(), {kw, kh}, qpx32f, 3, sp),
                      0);
            const float value[3] = {1.5f, -2.0f, 3.0f};
            for (auto [path, img] :
                 {std::pair{qpx::Path::Scalar, &a}, std::pair{qpx::Path::Vector, &b}})
                qpx::filter::separable_filter<float, float, 3>(path, src.roi(), src.step(),
                                                               img->roi(), img->step(), w, 5, 3,
                                                               value, sp, buf.data());
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < w * 3; ++x)
                    ASSERT_TRUE(same_bits(a.at(0, y, x), b.at(0, y, x))) << w;
        }
}

}  // namespace
