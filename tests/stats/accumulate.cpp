// Results of the accumulation and differencing family against a plain per-pixel reference, the
// vector path against the scalar path, and the exact values the formulas fix.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "stats/accumulate.hpp"

namespace {

using qpx::Target;
using qpx::stats::AccOp;
using qpxtest::GuardedImage;
using qpxtest::Place;
using qpxtest::same_bits;
using u8 = std::uint8_t;
using u16 = std::uint16_t;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

float from_bits(std::uint32_t b) {
    float f;
    std::memcpy(&f, &b, 4);
    return f;
}

// Accumulator values that exercise the special cases: signed zeros, infinities, NaNs with
// different payloads and signs (quiet and signalling), tiny and huge magnitudes, alongside
// ordinary random values.
float special_or_random(qpxtest::Random& r) {
    static const float kNaNs[] = {kNaN, from_bits(0x7fc00123u), from_bits(0xffc0abcdu),
                                  from_bits(0x7f800777u)};
    static const float specials[] = {0.0f, -0.0f, kInf, -kInf, 1e-40f, -3e38f, 0.1f};
    std::uint32_t b = r.bits();
    if (b % 7 == 0) return kNaNs[(b >> 8) % 4];
    if (b % 5 == 0) return specials[(b >> 8) % 7];
    return r.next<float>(-300.0, 300.0);
}

// One single-precision operation with the processor's NaN rule made explicit: when both operands
// are NaN the first one comes out (quieted). Which NaN a formula yields thus follows from the
// order in which it names its operands.
float nan_first(float a, float b, float r) {
    std::uint32_t bits;
    if (std::isnan(a) || std::isnan(b)) {
        std::memcpy(&bits, std::isnan(a) ? &a : &b, 4);
        return from_bits(bits | 0x00400000u);
    }
    return r;
}
float add(float a, float b) {
    return nan_first(a, b, a + b);
}
float sub(float a, float b) {
    return nan_first(a, b, a - b);
}
float mul(float a, float b) {
    return nan_first(a, b, a * b);
}

template <class T>
T source_value(qpxtest::Random& r) {
    if constexpr (std::is_same_v<T, float>)
        return special_or_random(r);
    else
        return r.any<T>();
}

// The per-pixel formulas, written out as the documentation of the family states them.
template <AccOp op>
float reference(float acc, float s1, float s2, const u8* m, float alpha) {
    const bool on = m == nullptr || *m != 0;
    switch (op) {
        case AccOp::Add:
            return m ? add(on ? s1 : 0.0f, acc) : add(acc, s1);
        case AccOp::Square:
            return m ? add(on ? mul(s1, s1) : 0.0f, acc) : add(acc, mul(s1, s1));
        case AccOp::Product:
            return m ? add(on ? mul(s1, s2) : 0.0f, acc) : add(acc, mul(s1, s2));
        case AccOp::Weighted:
            return add(mul(sub(s1, acc), on ? alpha : 0.0f), acc);
    }
    return acc;
}

template <class T, AccOp op>
void check_accumulate(bool masked) {
    qpxtest::Random rnd(17);
    const float alpha = 0.3f;
    // Padded rows go row by row; rows without padding are one run, which may start off a
    // vector boundary (Place::End) and end in a ragged part.
    for (int w : qpxtest::test_widths()) {
        for (auto [place, pad] : {std::pair{Place::Begin, 0}, std::pair{Place::Begin, 1},
                                  std::pair{Place::End, 0}, std::pair{Place::End, 1}}) {
            const int h = 1 + w % 3;
            GuardedImage<T> s1(w, h, 1, pad * 2 * int(sizeof(T)), place), s2(w, h, 1, 0, place);
            GuardedImage<u8> m(w, h, 1, pad * 3, place);
            GuardedImage<float> acc(w, h, 1, pad * 8, place), accScalar(w, h, 1, 0, place);
            s1.fill([&] { return source_value<T>(rnd); });
            s2.fill([&] { return source_value<T>(rnd); });
            m.fill([&] { return static_cast<u8>(rnd.bits() % 3 == 0 ? 0 : rnd.bits()); });
            acc.fill([&] { return special_or_random(rnd); });
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) accScalar.at(x, y) = acc.at(x, y);
            GuardedImage<float> before(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) before.at(x, y) = acc.at(x, y);

            const qpx::View<const u8> mv = masked ? m.view() : qpx::View<u8>();
            qpx::stats::accumulate<op, T>(Target::Scalar, s1.view(), s2.view(), mv,
                                          accScalar.view(), alpha);
            for (Target t : qpxtest::vector_targets()) {
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) acc.at(x, y) = before.at(x, y);
                qpx::stats::accumulate<op, T>(t, s1.view(), s2.view(), mv, acc.view(), alpha);
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        float want =
                            reference<op>(before.at(x, y), float(s1.at(x, y)), float(s2.at(x, y)),
                                          masked ? &m.at(x, y) : nullptr, alpha);
                        ASSERT_TRUE(same_bits(acc.at(x, y), want))
                            << qpx::target_name(t) << " w=" << w << " x=" << x << " y=" << y
                            << " got " << acc.at(x, y) << " want " << want;
                        ASSERT_TRUE(same_bits(accScalar.at(x, y), want)) << "scalar target";
                    }
                }
            }
        }
    }
}

template <class T>
void check_all_ops() {
    for (bool masked : {false, true}) {
        check_accumulate<T, AccOp::Add>(masked);
        check_accumulate<T, AccOp::Square>(masked);
        check_accumulate<T, AccOp::Product>(masked);
        check_accumulate<T, AccOp::Weighted>(masked);
    }
}

TEST(Accumulate, EightBitSourcesMatchTheFormulas) {
    check_all_ops<u8>();
}
TEST(Accumulate, SixteenBitSourcesMatchTheFormulas) {
    check_all_ops<u16>();
}
TEST(Accumulate, FloatSourcesMatchTheFormulas) {
    check_all_ops<float>();
}

TEST(Accumulate, ExactValues) {
    qpxSize one{1, 1};
    float acc = 0.0f;
    u8 s8 = 255;
    ASSERT_EQ(qpxiAddWeighted_8u32f_C1IR(&s8, 1, &acc, 4, one, 0.5f), qpxStatusOk);
    EXPECT_EQ(acc, 127.5f);

    acc = 0.0f;
    ASSERT_EQ(qpxiAddSquare_8u32f_C1IR(&s8, 1, &acc, 4, one), qpxStatusOk);
    EXPECT_EQ(acc, 65025.0f);

    u16 s16 = 65535;
    acc = 0.0f;
    ASSERT_EQ(qpxiAddSquare_16u32f_C1IR(&s16, 2, &acc, 4, one), qpxStatusOk);
    EXPECT_EQ(acc, 4294836224.0f);  // the exact square 4294836225, rounded once

    // Difference, product, sum: alpha = 1 gives (s - acc) + acc, not s.
    float big = 1e8f, src = 3.0f;
    ASSERT_EQ(qpxiAddWeighted_32f_C1IR(&src, 4, &big, 4, one, 1.0f), qpxStatusOk);
    EXPECT_EQ(big, (3.0f - 1e8f) + 1e8f);
}

TEST(Accumulate, MaskedOffPixelsStillGoThroughTheAddition) {
    const int w = 21;
    u8 src[w], mask[w] = {};
    float acc[w], weighted[w];
    for (int x = 0; x < w; ++x) {
        src[x] = static_cast<u8>(x * 11);
        acc[x] = x % 3 == 0 ? -0.0f : x % 3 == 1 ? float(x) - 7.25f : kInf;
        weighted[x] = acc[x];
    }
    ASSERT_EQ(qpxiAdd_8u32f_C1IMR(src, w, mask, w, acc, 4 * w, {w, 1}), qpxStatusOk);
    ASSERT_EQ(qpxiAddWeighted_8u32f_C1IMR(src, w, mask, w, weighted, 4 * w, {w, 1}, 0.5f),
              qpxStatusOk);
    for (int x = 0; x < w; ++x) {
        if (x % 3 == 0) {
            EXPECT_TRUE(same_bits(acc[x], 0.0f)) << "negative zero becomes positive zero";
        } else if (x % 3 == 1) {
            EXPECT_EQ(acc[x], float(x) - 7.25f);
            EXPECT_EQ(weighted[x], float(x) - 7.25f);
        } else {
            EXPECT_EQ(acc[x], kInf);
            EXPECT_TRUE(std::isnan(weighted[x])) << "infinity times a zero weight";
        }
    }
}

TEST(Accumulate, BlendOfTwoImages) {
    qpxtest::Random rnd(5);
    for (int w : qpxtest::test_widths()) {
        GuardedImage<float> a(w, 2), b(w, 2, 1, 4), d(w, 2, 1, 0, Place::Begin), ds(w, 2);
        a.fill([&] { return special_or_random(rnd); });
        b.fill([&] { return special_or_random(rnd); });
        ASSERT_EQ(qpxiAddWeighted_32f_C1R(a.roi(), a.step(), b.roi(), b.step(), d.roi(), d.step(),
                                          a.size(), 0.7f),
                  qpxStatusOk);
        qpx::stats::weighted_blend(Target::Scalar, a.view(), b.view(), ds.view(), 0.7f);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < w; ++x) {
                float want = add(mul(sub(a.at(x, y), b.at(x, y)), 0.7f), b.at(x, y));
                ASSERT_TRUE(same_bits(d.at(x, y), want)) << w << " " << x;
                ASSERT_TRUE(same_bits(ds.at(x, y), want)) << "scalar path";
            }
    }
}

template <class T>
T magnitude(T a, T b) {
    if constexpr (std::is_same_v<T, float>) {
        float d = a - b;
        std::uint32_t bits;
        std::memcpy(&bits, &d, 4);
        bits &= 0x7fffffffu;
        std::memcpy(&d, &bits, 4);
        return d;
    } else {
        return static_cast<T>(a > b ? a - b : b - a);
    }
}

template <class T>
void check_abs_diff(int channels) {
    qpxtest::Random rnd(9);
    for (int w : qpxtest::test_widths()) {
        for (auto [place, pad] : {std::pair{Place::Begin, 0}, std::pair{Place::Begin, 1},
                                  std::pair{Place::End, 0}, std::pair{Place::End, 1}}) {
            GuardedImage<T> a(w, 2, channels, 0, place);
            GuardedImage<T> b(w, 2, channels, pad * 2 * int(sizeof(T)), place);
            GuardedImage<T> d(w, 2, channels, 0, place), ds(w, 2, channels, 0, place);
            a.fill([&] { return source_value<T>(rnd); });
            b.fill([&] { return source_value<T>(rnd); });
            qpx::stats::abs_diff<T>(Target::Scalar, a.view(), b.view(), ds.view());
            for (Target t : qpxtest::vector_targets()) {
                qpx::stats::abs_diff<T>(t, a.view(), b.view(), d.view());
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < w * channels; ++x) {
                        T want = magnitude(a.at(0, y, x), b.at(0, y, x));
                        ASSERT_TRUE(std::memcmp(&d.at(0, y, x), &want, sizeof(T)) == 0)
                            << qpx::target_name(t) << " " << w << " " << x;
                        ASSERT_TRUE(std::memcmp(&ds.at(0, y, x), &want, sizeof(T)) == 0)
                            << "scalar";
                    }
            }
        }
    }
}

TEST(AbsDiff, MagnitudeOfTheDifference) {
    check_abs_diff<u8>(1);
    check_abs_diff<u8>(3);
    check_abs_diff<u16>(1);
    check_abs_diff<float>(1);
}

TEST(AbsDiff, ThreeChannelExportCoversEveryElement) {
    const int w = 11;
    u8 a[3 * w], b[3 * w], d[3 * w];
    for (int i = 0; i < 3 * w; ++i) a[i] = u8(i * 7), b[i] = u8(255 - i * 5);
    ASSERT_EQ(qpxiAbsDiff_8u_C3R(a, 3 * w, b, 3 * w, d, 3 * w, {w, 1}), qpxStatusOk);
    for (int i = 0; i < 3 * w; ++i) EXPECT_EQ(d[i], magnitude(a[i], b[i])) << i;
}

// Every target against the scalar one, for the constant forms and the two-image blend.
template <class T, class V>
void check_abs_diff_c_targets(V value) {
    qpxtest::Random rnd(23);
    for (int w : qpxtest::test_widths()) {
        for (int pad : {0, 1}) {
            GuardedImage<T> s(w, 2, 1, pad * 2 * int(sizeof(T))), d(w, 2), ds(w, 2);
            s.fill([&] { return source_value<T>(rnd); });
            qpx::stats::abs_diff_c<T, V>(Target::Scalar, s.view(), ds.view(), value);
            for (Target t : qpxtest::vector_targets()) {
                qpx::stats::abs_diff_c<T, V>(t, s.view(), d.view(), value);
                ASSERT_EQ(0, std::memcmp(d.roi(), ds.roi(), d.snapshot().size()))
                    << qpx::target_name(t) << " " << w;
            }
        }
    }
}

TEST(AbsDiffC, EveryTargetMatchesScalar) {
    check_abs_diff_c_targets<u8, int>(77);
    check_abs_diff_c_targets<u16, int>(40000);
    check_abs_diff_c_targets<float, float>(-2.5f);
    qpxtest::Random rnd(29);
    for (int w : qpxtest::test_widths()) {
        GuardedImage<float> a(w, 2), b(w, 2), d(w, 2), ds(w, 2);
        a.fill([&] { return special_or_random(rnd); });
        b.fill([&] { return special_or_random(rnd); });
        qpx::stats::weighted_blend(Target::Scalar, a.view(), b.view(), ds.view(), 0.3f);
        for (Target t : qpxtest::vector_targets()) {
            qpx::stats::weighted_blend(t, a.view(), b.view(), d.view(), 0.3f);
            ASSERT_EQ(0, std::memcmp(d.roi(), ds.roi(), d.snapshot().size())) << w;
        }
    }
}

TEST(AbsDiffC, IntegerConstantsAreClampedToTheElementRange) {
    const int w = 40;
    u8 s8[w], d8[w];
    u16 s16[w], d16[w];
    for (int x = 0; x < w; ++x) s8[x] = u8(x * 6), s16[x] = u16(x * 1700);
    struct Case {
        int value, clamped8, clamped16;
    } cases[] = {
        {-5, 0, 0},        {0, 0, 0},           {77, 77, 77},      {300, 255, 300},
        {1000, 255, 1000}, {70000, 255, 65535}, {INT32_MIN, 0, 0}, {INT32_MAX, 255, 65535}};
    for (const Case& c : cases) {
        ASSERT_EQ(qpxiAbsDiffC_8u_C1R(s8, w, d8, w, {w, 1}, c.value), qpxStatusOk);
        ASSERT_EQ(qpxiAbsDiffC_16u_C1R(s16, 2 * w, d16, 2 * w, {w, 1}, c.value), qpxStatusOk);
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(d8[x], std::abs(c.clamped8 - s8[x])) << c.value;
            EXPECT_EQ(d16[x], std::abs(c.clamped16 - s16[x])) << c.value;
        }
    }
}

TEST(AbsDiffC, FloatClearsTheSignBitOfTheDifference) {
    qpxtest::Random rnd(21);
    for (int w : qpxtest::test_widths()) {
        GuardedImage<float> s(w, 1), d(w, 1), ds(w, 1);
        s.fill([&] { return special_or_random(rnd); });
        for (float v : {0.0f, -2.5f, kInf, kNaN}) {
            ASSERT_EQ(qpxiAbsDiffC_32f_C1R(s.roi(), s.step(), d.roi(), d.step(), s.size(), v),
                      qpxStatusOk);
            qpx::stats::abs_diff_c<float, float>(Target::Scalar, s.view(), ds.view(), v);
            for (int x = 0; x < w; ++x) {
                float want = magnitude(s.at(x, 0), v);
                ASSERT_TRUE(same_bits(d.at(x, 0), want)) << w << " " << x << " " << v;
                ASSERT_TRUE(same_bits(ds.at(x, 0), want));
            }
        }
    }
}

}  // namespace
