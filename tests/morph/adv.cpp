// Composed morphology against two brute-force stages: every operation, type and layout, both
// generations, border kinds with in-memory and stage flags, the mode switch and the clamp
// rules. Images, specs and buffers sit against guard pages at their reported sizes.
#include "morph/adv_common.hpp"

#include "morph/morph_adv.hpp"

namespace {

using namespace advtest;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Margins;
using qpxtest::Place;

constexpr int kMargin = 6;

std::vector<Mask> masks(qpxtest::Random& rnd) {
    std::vector<Mask> v;
    v.push_back({3, 3, std::vector<u8>(9, 1)});
    v.push_back({1, 1, {0}});
    v.push_back({5, 1, {1, 0, 7, 0, 255}});
    for (auto [w, h] : {std::pair{3, 5}, std::pair{2, 4}, std::pair{4, 3}}) {
        Mask m{w, h, std::vector<u8>(std::size_t(w) * h)};
        for (auto& e : m.m) e = rnd.next<int>(0, 2) ? u8(rnd.next<int>(1, 255)) : 0;
        v.push_back(m);
    }
    return v;
}

struct Case {
    qpxBorderType border;
    bool gradientOk32;  // the gradient's stricter rule
};
const Case kBorders[] = {
    {qpxBorderRepl, true},
    {qpxBorderMirror, true},
    {qpxBorderDefault, false},
    {qpxBorderConst, true},
    {qpxBorderInMem, true},
    {qpxBorderConst | qpxBorderInMem, true},
    {qpxBorderRepl | qpxBorderInMemTop | qpxBorderInMemRight, true},
    {qpxBorderMirror | qpxBorderStageInMemLeft, false},
    {qpxBorderRepl | qpxBorderStageInMemTop | qpxBorderInMemBottom, false},
    {qpxBorderDefault | qpxBorderStageInMemRight | qpxBorderInMemRight, false},
};

template <class T, int C>
void check_type(bool wide, std::uint32_t seed) {
    qpxtest::Random rnd(seed);
    const auto f = fns<T, C>();
    T values[4];
    for (auto& v : values) v = rnd.any<T>();
    for (const Mask& mask : masks(rnd))
        for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{9, 5}, std::pair{19, 7}})
            for (const Case& bc : kBorders)
                for (int op = kOpen; op <= kGradient; ++op) {
                    SCOPED_TRACE(testing::Message()
                                 << "mask " << mask.w << "x" << mask.h << " roi " << w << "x" << h
                                 << " border " << bc.border << " op " << op << " wide " << wide);
                    const Place place = (w + op) % 2 ? Place::Begin : Place::End;
                    const Margins mg{kMargin, kMargin, kMargin, kMargin};
                    GuardedImage<T> src(w, h, C, 0, place, mg), dst(w, h, C, 4 * sizeof(T), place);
                    src.fill([&] { return rnd.any<T>(); });
                    dst.fill([&] { return T(0); });
                    ValueArg<T, C> value;
                    if constexpr (C == 1)
                        value = values[0];
                    else
                        value = values;

                    const std::uint32_t kind = bc.border & 15u;
                    std::uint32_t eff = bc.border;
                    if ((bc.border & 0xF0u) == 0xF0u && kind == 0) eff |= 5u;
                    const unsigned stageFlags = (~bc.border << 4) & bc.border & 0xF00u;
                    Sides first{(eff & 0x10u) || (stageFlags & 0x100u),
                                (eff & 0x20u) || (stageFlags & 0x200u),
                                (eff & 0x40u) || (stageFlags & 0x400u),
                                (eff & 0x80u) || (stageFlags & 0x800u)};
                    qpxStatus st;
                    if (!wide) {
                        int specSize = 0, bufSize = 0;
                        ASSERT_EQ(f.getSize({w, h}, {mask.w, mask.h}, &specSize, &bufSize), 0);
                        GuardedBuffer spec{std::size_t(specSize)}, buf{std::size_t(bufSize)};
                        auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
                        ASSERT_EQ(f.init({w, h}, mask.m.data(), {mask.w, mask.h}, sp, buf.data()),
                                  0);
                        st = f.border[op](src.roi(), src.step(), dst.roi(), dst.step(), {w, h},
                                          bc.border, value, sp, buf.data());
                        if (op == kGradient && !bc.gradientOk32) {
                            ASSERT_EQ(st, qpxStatusBadBorder);
                            continue;
                        }
                    } else {
                        std::int64_t specSize = 0, bufSize = 0;
                        ASSERT_EQ(
                            qpxiMorphGetSpecSize_L({w, h}, {mask.w, mask.h}, f.type, C, &specSize),
                            0);
                        ASSERT_EQ(
                            qpxiMorphGetBufferSize_L({w, h}, {mask.w, mask.h}, f.type, C, &bufSize),
                            0);
                        GuardedBuffer spec{std::size_t(specSize)}, buf{std::size_t(bufSize)};
                        auto* sp = reinterpret_cast<qpxMorphStateL*>(spec.data());
                        ASSERT_EQ(
                            qpxiMorphInit_L({w, h}, mask.m.data(), {mask.w, mask.h}, f.type, C, sp),
                            0);
                        st = f.wide[op](src.roi(), src.step(), dst.roi(), dst.step(), {w, h},
                                        bc.border, value, sp, buf.data());
                    }
                    ASSERT_EQ(st, qpxStatusOk);
                    // The 32-bit family's second stage builds its border from the kind; the
                    // 64-bit family's first stage covers the second stage's reach on flagged
                    // sides.
                    const int kx = mask.w >> 1, ky = mask.h >> 1;
                    const bool enlarge = wide && op != kGradient;
                    const int k2 = (eff & 15u);
                    auto raw = [&](int x, int y, int k) { return src.at(x, y, k); };
                    const bool clampNeg = std::is_same_v<T, float> && !wide;
                    Plane<T> want =
                        compose<T>(Op(op), raw, w, h, C, mask, true, int(k2), first,
                                   enlarge && first.left ? kx : 0, enlarge && first.top ? ky : 0,
                                   enlarge && first.right ? kx : 0,
                                   enlarge && first.bottom ? ky : 0, values, clampNeg);
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            for (int k = 0; k < C; ++k)
                                ASSERT_EQ(dst.at(x, y, k), want.at(x, y, k))
                                    << "at " << x << "," << y << "," << k;
                }
}

TEST(MorphAdv, BorderFamilyMatchesTwoStages) {
    check_type<u8, 1>(false, 1);
    check_type<u8, 3>(false, 2);
    check_type<u16, 1>(false, 3);
    check_type<s16, 1>(false, 4);
    check_type<float, 1>(false, 5);
    check_type<float, 4>(false, 6);
}

TEST(MorphAdv, WideFamilyMatchesTwoStages) {
    check_type<u8, 1>(true, 11);
    check_type<u8, 4>(true, 12);
    check_type<u16, 1>(true, 13);
    check_type<s16, 1>(true, 14);
    check_type<float, 1>(true, 15);
    check_type<float, 3>(true, 16);
}

// Mode 1 runs the second stage with the mask as given, mode 0 with it reflected again; the
// clamp flag of the 64-bit family decides whether signed top-hats can go negative.
TEST(MorphAdv, ModeSwitchAndClampFlag) {
    const Mask mask{3, 2, {1, 1, 0, 0, 0, 1}};  // not symmetric: reflection matters
    const int w = 12, h = 6;
    qpxtest::Random rnd(21);
    GuardedImage<s16> src(w, h), dst(w, h);
    src.fill([&] { return rnd.any<s16>(); });
    auto raw = [&](int x, int y, int k) { return src.at(x, y, k); };

    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiMorphAdvGetSize_16s_C1R({w, h}, {3, 2}, &specSize, &bufSize), 0);
    GuardedBuffer spec{std::size_t(specSize)}, buf{std::size_t(bufSize)};
    auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
    ASSERT_EQ(qpxiMorphAdvInit_16s_C1R({w, h}, mask.m.data(), {3, 2}, sp, buf.data()), 0);
    for (int mode : {1, 0, 5, 4}) {
        ASSERT_EQ(qpxiMorphSetMode(mode, sp), 0);
        ASSERT_EQ(qpxiMorphCloseBorder_16s_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {w, h},
                                               qpxBorderRepl, 0, sp, buf.data()),
                  0);
        const bool reflect = !(mode & 1);
        auto want =
            compose<s16>(kClose, raw, w, h, 1, mask, reflect, 1, {}, 0, 0, 0, 0, nullptr, false);
        EXPECT_EQ(dst.dense(), want.px) << "mode " << mode;
    }

    // With the unreflected mask the opening is no longer below the image, so the top-hat has
    // negative differences to show or to clamp.
    std::int64_t specL = 0, bufL = 0;
    ASSERT_EQ(qpxiMorphGetSpecSize_L({w, h}, {3, 2}, qpx16s, 1, &specL), 0);
    ASSERT_EQ(qpxiMorphGetBufferSize_L({w, h}, {3, 2}, qpx16s, 1, &bufL), 0);
    GuardedBuffer specW{std::size_t(specL)}, bufW{std::size_t(bufL)};
    auto* spw = reinterpret_cast<qpxMorphStateL*>(specW.data());
    ASSERT_EQ(qpxiMorphInit_L({w, h}, mask.m.data(), {3, 2}, qpx16s, 1, spw), 0);
    for (int mode : {1, 5}) {
        ASSERT_EQ(qpxiMorphSetMode_L(mode, spw), 0);
        ASSERT_EQ(qpxiMorphTophat_16s_C1R_L(src.roi(), src.step(), dst.roi(), dst.step(), {w, h},
                                            qpxBorderRepl, 0, spw, bufW.data()),
                  0);
        auto want =
            compose<s16>(kTophat, raw, w, h, 1, mask, false, 1, {}, 0, 0, 0, 0, nullptr, mode == 5);
        EXPECT_EQ(dst.dense(), want.px) << "mode " << mode;
        const auto d = dst.dense();
        const bool anyNegative = std::any_of(d.begin(), d.end(), [](s16 v) { return v < 0; });
        EXPECT_EQ(anyNegative, mode == 1);
    }
    // The 32-bit 16s top-hat never clamps, the 32f one always does.
    ASSERT_EQ(qpxiMorphSetMode(1, sp), 0);
    ASSERT_EQ(qpxiMorphTophatBorder_16s_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {w, h},
                                            qpxBorderRepl, 0, sp, buf.data()),
              0);
    const auto d = dst.dense();
    EXPECT_TRUE(std::any_of(d.begin(), d.end(), [](s16 v) { return v < 0; }));

    for (int bad : {2, 3, 6, -1, 8}) {
        EXPECT_EQ(qpxiMorphSetMode(bad, sp), qpxStatusBadMode);
        EXPECT_EQ(qpxiMorphSetMode_L(bad, spw), qpxStatusBadMode);
    }
    EXPECT_EQ(qpxiMorphSetMode(2, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiMorphSetMode_L(0, nullptr), qpxStatusNullPointer);
}

TEST(MorphAdv, FloatTophatBorderNeverNegative) {
    const std::vector<u8> mask = {1, 1, 0, 0, 0, 1};
    const int w = 10, h = 5;
    qpxtest::Random rnd(5);
    GuardedImage<float> src(w, h), dst(w, h);
    src.fill([&] { return rnd.any<float>(); });
    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiMorphAdvGetSize_32f_C1R({w, h}, {3, 2}, &specSize, &bufSize), 0);
    GuardedBuffer spec{std::size_t(specSize)}, buf{std::size_t(bufSize)};
    auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
    ASSERT_EQ(qpxiMorphAdvInit_32f_C1R({w, h}, mask.data(), {3, 2}, sp, buf.data()), 0);
    ASSERT_EQ(qpxiMorphSetMode(1, sp), 0);
    for (auto fn : {qpxiMorphTophatBorder_32f_C1R, qpxiMorphBlackhatBorder_32f_C1R}) {
        ASSERT_EQ(fn(src.roi(), src.step(), dst.roi(), dst.step(), {w, h}, qpxBorderRepl, 0.0f, sp,
                     buf.data()),
                  0);
        for (float v : dst.dense()) EXPECT_GE(v, 0.0f);
    }
}

// The difference kernels on their own: scalar and vector paths against the per-element rule.
TEST(MorphAdv, DifferencesScalarEqualsVector) {
    qpxtest::Random rnd(8);
    auto run = [&](auto zero, bool clampNeg) {
        using T = decltype(zero);
        for (int n : qpxtest::test_widths()) {
            std::vector<T> a(n), b(n), d1(n), d2(n);
            for (int i = 0; i < n; ++i) a[i] = rnd.any<T>(), b[i] = rnd.any<T>();
            qpx::morph::subtract<T>(qpx::Path::Scalar, a.data(), 0, b.data(), 0, d1.data(), 0, n, 1,
                                    clampNeg);
            qpx::morph::subtract<T>(qpx::Path::Vector, a.data(), 0, b.data(), 0, d2.data(), 0, n, 1,
                                    clampNeg);
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ(d1[i], diff(a[i], b[i], clampNeg && !std::is_unsigned_v<T>));
                ASSERT_EQ(d2[i], d1[i]);
            }
        }
    };
    for (bool c : {false, true}) {
        run(u8{}, c);
        run(u16{}, c);
        run(s16{}, c);
        run(float{}, c);
    }
    // Bit rows at every pair of offsets; bits around the ROI stay as they were.
    for (int aBit = 0; aBit < 8; ++aBit)
        for (int dBit = 0; dBit < 8; dBit += 3)
            for (int n : {1, 7, 8, 9, 23}) {
                std::vector<u8> a(8), b(8), d0(8);
                for (int i = 0; i < 8; ++i)
                    a[i] = u8(rnd.bits()), b[i] = u8(rnd.bits()), d0[i] = u8(rnd.bits());
                for (auto path : {qpx::Path::Scalar, qpx::Path::Vector}) {
                    std::vector<u8> d = d0;
                    qpx::morph::and_not_bits(path, a.data(), 0, aBit, b.data(), 0, 5 - aBit / 2,
                                             d.data(), 0, dBit, n, 1);
                    for (int x = 0; x < 64; ++x) {
                        auto bit = [](const std::vector<u8>& v, int i) {
                            return (v[i >> 3] >> (i & 7)) & 1;
                        };
                        const int i = x - dBit;
                        const int want = (i >= 0 && i < n)
                                             ? bit(a, aBit + i) & !bit(b, 5 - aBit / 2 + i)
                                             : bit(d0, x);
                        ASSERT_EQ(bit(d, x), want) << "bit " << x;
                    }
                }
            }
}

// Bit-packed images: the same compositions on 0/1 pixels, at every bit offset, with the bits
// around each destination row kept.
TEST(MorphAdv, BitPackedMatchesTwoStages) {
    qpxtest::Random rnd(31);
    const int w = 21, h = 5;
    for (const Mask& mask : masks(rnd))
        // Replicate, default, constant, and two of them with sides read from memory.
        for (qpxBorderType border : {0x01u, 0x05u, 0x06u, 0x51u, 0xA6u})
            for (int op = kOpen; op <= kGradient; ++op)
                for (bool wide : {false, true})
                    for (int bit : {0, 3, 7}) {
                        SCOPED_TRACE(testing::Message()
                                     << "mask " << mask.w << "x" << mask.h << " border " << border
                                     << " op " << op << " wide " << wide << " bit " << bit);
                        const int stepBytes = (w + 7 + 7) / 8;
                        GuardedImage<u8> src(stepBytes, h, 1, 0, Place::End, {4, 4, 1, 1}),
                            dst(stepBytes, h);
                        src.fill([&] { return u8(rnd.bits()); });
                        dst.fill([&] { return u8(rnd.bits()); });
                        const auto before = dst.dense();
                        const int srcBit = 7 - bit, value = 1;
                        qpxStatus st;
                        std::vector<u8> spec, buf;
                        if (!wide) {
                            int s = 0, b = 0;
                            ASSERT_EQ(qpxiMorphAdvGetSize_1u_C1R({w, h}, {mask.w, mask.h}, &s, &b),
                                      0);
                            spec.resize(std::size_t(s));
                            buf.resize(std::size_t(b));
                            auto* sp = reinterpret_cast<qpxMorphAdvState*>(spec.data());
                            ASSERT_EQ(qpxiMorphAdvInit_1u_C1R({w, h}, mask.m.data(),
                                                              {mask.w, mask.h}, sp, buf.data()),
                                      0);
                            using Fn =
                                qpxStatus (*)(const u8*, int, int, u8*, int, int, qpxSize,
                                              qpxBorderType, u8, const qpxMorphAdvState*, u8*);
                            const Fn fn[5] = {
                                qpxiMorphOpenBorder_1u_C1R, qpxiMorphCloseBorder_1u_C1R,
                                qpxiMorphTophatBorder_1u_C1R, qpxiMorphBlackhatBorder_1u_C1R,
                                qpxiMorphGradientBorder_1u_C1R};
                            st = fn[op](src.roi(), src.step(), srcBit, dst.roi(), dst.step(), bit,
                                        {w, h}, border, value, sp, buf.data());
                            if (op == kGradient && border == qpxBorderDefault) {
                                ASSERT_EQ(st, qpxStatusBadBorder);
                                continue;
                            }
                        } else {
                            std::int64_t s = 0, b = 0;
                            ASSERT_EQ(
                                qpxiMorphGetSpecSize_L({w, h}, {mask.w, mask.h}, qpx1u, 1, &s), 0);
                            ASSERT_EQ(
                                qpxiMorphGetBufferSize_L({w, h}, {mask.w, mask.h}, qpx1u, 1, &b),
                                0);
                            spec.resize(std::size_t(s));
                            buf.resize(std::size_t(b));
                            auto* sp = reinterpret_cast<qpxMorphStateL*>(spec.data());
                            ASSERT_EQ(qpxiMorphInit_L({w, h}, mask.m.data(), {mask.w, mask.h},
                                                      qpx1u, 1, sp),
                                      0);
                            using Fn = qpxStatus (*)(const u8*, std::int64_t, int, u8*,
                                                     std::int64_t, int, qpxSizeL, qpxBorderType, u8,
                                                     const qpxMorphStateL*, u8*);
                            const Fn fn[5] = {qpxiMorphOpen_1u_C1R_L, qpxiMorphClose_1u_C1R_L,
                                              qpxiMorphTophat_1u_C1R_L, qpxiMorphBlackhat_1u_C1R_L,
                                              qpxiMorphGradient_1u_C1R_L};
                            st = fn[op](src.roi(), src.step(), srcBit, dst.roi(), dst.step(), bit,
                                        {w, h}, border, value, sp, buf.data());
                        }
                        ASSERT_EQ(st, qpxStatusOk);
                        auto pixel = [&](int x, int y, int) {
                            const int i = srcBit + x;
                            return u8((src.at(i >> 3, y) >> (i & 7)) & 1);
                        };
                        const u8 one = 1;
                        const Sides mem{(border & 0x10) != 0, (border & 0x20) != 0,
                                        (border & 0x40) != 0, (border & 0x80) != 0};
                        const int kx = wide && op != kGradient ? mask.w >> 1 : 0;
                        const int ky = wide && op != kGradient ? mask.h >> 1 : 0;
                        Plane<u8> want =
                            compose<u8>(Op(op), pixel, w, h, 1, mask, true, int(border & 15), mem,
                                        mem.left ? kx : 0, mem.top ? ky : 0, mem.right ? kx : 0,
                                        mem.bottom ? ky : 0, &one, false, one);
                        for (int y = 0; y < h; ++y)
                            for (int x = 0; x < stepBytes * 8; ++x) {
                                const int i = x - bit;
                                const int got = (dst.at(x >> 3, y) >> (x & 7)) & 1;
                                const int exp =
                                    (i >= 0 && i < w)
                                        ? want.at(i, y, 0)
                                        : (before[y * stepBytes + (x >> 3)] >> (x & 7)) & 1;
                                ASSERT_EQ(got, exp) << "bit " << x << " row " << y;
                            }
                    }
}

}  // namespace
