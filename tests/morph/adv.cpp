// Composed morphology against two brute-force stages: every operation, type and layout, both
// generations, separate images and in place, border kinds with in-memory and stage flags,
// bit-packed images at several bit offsets, the mode switch and the clamp rules. Images, specs
// and buffers sit against guard pages at their reported sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "frame/border.hpp"
#include "morph/morph_adv.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Margins;
using qpxtest::Place;
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

enum Op { kOpen, kClose, kTophat, kBlackhat, kGradient };

template <class T, int C>
using ValueArg = std::conditional_t<C == 1, T, const T*>;

template <class T, int C>
struct Fns {
    qpxStatus (*getSize)(qpxSize, qpxSize, int*, int*);
    qpxStatus (*init)(qpxSize, const u8*, qpxSize, qpxMorphAdvState*, u8*);
    qpxStatus (*border[5])(const T*, int, T*, int, qpxSize, qpxBorderType, ValueArg<T, C>,
                           const qpxMorphAdvState*, u8*);
    qpxStatus (*wide[5])(const T*, std::int64_t, T*, std::int64_t, qpxSizeL, qpxBorderType,
                         ValueArg<T, C>, const qpxMorphStateL*, u8*);
    qpxDataType type;
};

// clang-format off
#define ADV_FNS(tag, T, C, type)                                                                 \
    Fns<T, C>{qpxiMorphAdvGetSize_##tag, qpxiMorphAdvInit_##tag,                               \
              {qpxiMorphOpenBorder_##tag, qpxiMorphCloseBorder_##tag, qpxiMorphTophatBorder_##tag, \
               qpxiMorphBlackhatBorder_##tag, qpxiMorphGradientBorder_##tag},                  \
              {qpxiMorphOpen_##tag##_L, qpxiMorphClose_##tag##_L, qpxiMorphTophat_##tag##_L,     \
               qpxiMorphBlackhat_##tag##_L, qpxiMorphGradient_##tag##_L}, type}
// clang-format on

// clang-format off
template <class T, int C>
Fns<T, C> fns() {
    if constexpr (std::is_same_v<T, u8> && C == 1) return ADV_FNS(8u_C1R, u8, 1, qpx8u);
    else if constexpr (std::is_same_v<T, u8> && C == 3) return ADV_FNS(8u_C3R, u8, 3, qpx8u);
    else if constexpr (std::is_same_v<T, u8>) return ADV_FNS(8u_C4R, u8, 4, qpx8u);
    else if constexpr (std::is_same_v<T, u16>) return ADV_FNS(16u_C1R, u16, 1, qpx16u);
    else if constexpr (std::is_same_v<T, s16>) return ADV_FNS(16s_C1R, s16, 1, qpx16s);
    else if constexpr (C == 1) return ADV_FNS(32f_C1R, float, 1, qpx32f);
    else if constexpr (C == 3) return ADV_FNS(32f_C3R, float, 3, qpx32f);
    else return ADV_FNS(32f_C4R, float, 4, qpx32f);
}
// clang-format on

// A mask and its member offsets relative to the anchor ((w - 1) / 2, (h - 1) / 2); the reflected
// mask keeps the anchor on the same element.
struct Mask {
    int w, h;
    std::vector<u8> m;
    std::vector<std::pair<int, int>> offsets(bool reflected) const {
        std::vector<std::pair<int, int>> o;
        const int ax = (w - 1) / 2, ay = (h - 1) / 2;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (m[j * w + i])
                    o.emplace_back(reflected ? ax - i : i - ax, reflected ? ay - j : j - ay);
        return o;
    }
    // A padded size of 1x1 or no member at all: the stage copies.
    bool copies() const {
        return (w | h) == 1 || std::all_of(m.begin(), m.end(), [](u8 v) { return !v; });
    }
};

std::vector<Mask> masks(qpxtest::Random& rnd) {
    std::vector<Mask> v{{3, 3, std::vector<u8>(9, 1)}, {1, 1, {0}}, {5, 1, {1, 0, 7, 0, 255}}};
    for (auto [w, h] : {std::pair{3, 5}, std::pair{2, 4}, std::pair{4, 3}, std::pair{4, 4}}) {
        Mask m{w, h, std::vector<u8>(std::size_t(w) * h)};
        for (auto& e : m.m) e = rnd.next<int>(0, 2) ? u8(rnd.next<int>(1, 255)) : 0;
        v.push_back(m);
    }
    return v;
}

struct Sides {
    bool top = false, bottom = false, left = false, right = false;
};

int mirror(int i, int n) {
    if (n == 1) return 0;
    const int p = 2 * n - 2;
    i = ((i % p) + p) % p;
    return i < n ? i : p - i;
}

// A w x h x c image as a vector; px(x, y, k) indexes it.
template <class T>
struct Plane {
    int w, h, c;
    std::vector<T> v;
    T& px(int x, int y, int k) { return v[(std::size_t(y) * w + x) * c + k]; }
};

// One flat stage over a w x h rectangle whose pixels raw(x, y, k) answers, also outside the
// rectangle on the sides read from memory.
template <class T, class Raw>
Plane<T> stage(Raw raw, int w, int h, int c, const Mask& mask, bool reflected, bool dilate,
               int kind, Sides mem, const T* value, T hi) {
    Plane<T> out{w, h, c, std::vector<T>(std::size_t(w) * h * c)};
    const auto offs = mask.offsets(reflected);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < c; ++k) {
                T acc = dilate ? std::numeric_limits<T>::lowest() : hi;
                if (mask.copies()) acc = raw(x, y, k);
                for (auto [dx, dy] : offs) {
                    if (mask.copies()) break;
                    int sx = x + dx, sy = y + dy;
                    const bool outX = (sx < 0 && !mem.left) || (sx >= w && !mem.right);
                    const bool outY = (sy < 0 && !mem.top) || (sy >= h && !mem.bottom);
                    if ((outX || outY) && kind == 5) continue;
                    if (outX) sx = kind == 3 ? mirror(sx, w) : std::clamp(sx, 0, w - 1);
                    if (outY) sy = kind == 3 ? mirror(sy, h) : std::clamp(sy, 0, h - 1);
                    const T v = (outX || outY) && kind == 6 ? value[k] : raw(sx, sy, k);
                    acc = dilate ? std::max(acc, v) : std::min(acc, v);
                }
                out.px(x, y, k) = acc;
            }
    return out;
}

template <class T>
T diff(T a, T b, bool clampNeg) {
    if constexpr (std::is_floating_point_v<T>)
        return clampNeg && a - b < 0 ? T(0) : T(a - b);
    else if constexpr (std::is_signed_v<T>)
        return T(std::clamp(int(a) - int(b), clampNeg ? 0 : -32768, 32767));
    else
        return T(a > b ? a - b : 0);
}

// The composed operation. The first stage reads memory on `first` sides and covers the ROI
// enlarged by `grow`; the second stage reads the intermediate image on the enlarged sides.
template <class T, class Src>
std::vector<T> compose(Op op, Src src, int w, int h, int c, const Mask& mask, bool reflect,
                       int kind, Sides first, Sides grow, int kx, int ky, const T* value,
                       bool clampNeg, T hi = std::numeric_limits<T>::max()) {
    if (op == kGradient) {
        auto d = stage<T>(src, w, h, c, mask, false, true, kind, first, value, hi);
        auto e = stage<T>(src, w, h, c, mask, false, false, kind, first, value, hi);
        for (std::size_t i = 0; i < d.v.size(); ++i) d.v[i] = diff(d.v[i], e.v[i], false);
        return d.v;
    }
    const int el = grow.left ? kx : 0, et = grow.top ? ky : 0;
    const int er = grow.right ? kx : 0, eb = grow.bottom ? ky : 0;
    const bool opening = op == kOpen || op == kTophat;
    auto shifted = [&](int x, int y, int k) { return src(x - el, y - et, k); };
    auto t = stage<T>(shifted, w + el + er, h + et + eb, c, mask, false, !opening, kind, first,
                      value, hi);
    auto inner = [&](int x, int y, int k) { return t.px(x + el, y + et, k); };
    auto r = stage<T>(inner, w, h, c, mask, reflect, opening, kind,
                      {et > 0, eb > 0, el > 0, er > 0}, value, hi);
    for (int y = 0; y < h && (op == kTophat || op == kBlackhat); ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < c; ++k) {
                T& d = r.px(x, y, k);
                d = op == kTophat ? diff(src(x, y, k), d, clampNeg)
                                  : diff(d, src(x, y, k), clampNeg);
            }
    return r.v;
}

// Spec and buffer of either family at the reported sizes.
struct Made {
    GuardedBuffer spec, buf;
};
template <class GetSize, class Init>
Made make32(GetSize getSize, Init init, qpxSize roi, const Mask& m) {
    int s = 0, b = 0;
    EXPECT_EQ(getSize(roi, {m.w, m.h}, &s, &b), 0);
    Made r{GuardedBuffer(std::size_t(s)), GuardedBuffer(std::size_t(b))};
    EXPECT_EQ(init(roi, m.m.data(), {m.w, m.h}, reinterpret_cast<qpxMorphAdvState*>(r.spec.data()),
                   r.buf.data()),
              0);
    return r;
}
Made makeL(qpxSizeL roi, const Mask& m, qpxDataType type, int ch) {
    std::int64_t s = 0, b = 0;
    EXPECT_EQ(qpxiMorphGetSpecSize_L(roi, {m.w, m.h}, type, ch, &s), qpxStatusOk);
    EXPECT_EQ(qpxiMorphGetBufferSize_L(roi, {m.w, m.h}, type, ch, &b), qpxStatusOk);
    Made r{GuardedBuffer(std::size_t(s)), GuardedBuffer(std::size_t(b))};
    EXPECT_EQ(qpxiMorphInit_L(roi, m.m.data(), {m.w, m.h}, type, ch,
                              reinterpret_cast<qpxMorphStateL*>(r.spec.data())),
              0);
    return r;
}
template <class S>
S* as(const Made& m) {
    return reinterpret_cast<S*>(m.spec.data());
}

// The sides each stage reads from memory. The 64-bit family's first stage covers the second
// stage's reach on every flagged side and reads further only under an effective stage flag; the
// 32-bit family and the gradients run the single-stage rule on the caller's code.
struct Plan {
    Sides first, grow;
};
Plan plan(std::uint32_t border, bool wide, int op) {
    const std::uint32_t stage = (~border << 4) & border & 0xF00u;
    const Sides st{(stage & 0x100u) != 0, (stage & 0x200u) != 0, (stage & 0x400u) != 0,
                   (stage & 0x800u) != 0};
    const Sides all{(border & 0x10u) || st.top, (border & 0x20u) || st.bottom,
                    (border & 0x40u) || st.left, (border & 0x80u) || st.right};
    if (wide && op != kGradient) return {st, all};
    return {all, {}};
}

// Every kind, sides in memory, and stage flags with and without their in-memory flag.
const qpxBorderType kBorders[] = {0x01, 0x03,  0x05, 0x06,  0xF0, 0xF6,
                                  0x91, 0x403, 0x66, 0x121, 0x885};

// Each call runs on separate images and then in place (dst over src, same margins): the
// differences still need the source after both stages. Each spec takes another mode: bit 0 runs
// the second stage with the mask as given, bit 2 makes the 64-bit family clamp negative 16s and
// 32f top-hats and black-hats; the 32-bit family always clamps 32f and never 16s.
template <class T, int C>
void check_type(bool wide, std::uint32_t seed) {
    qpxtest::Random rnd(seed);
    const auto f = fns<T, C>();
    T values[4];
    for (auto& v : values) v = rnd.any<T>();
    ValueArg<T, C> value;
    if constexpr (C == 1)
        value = values[0];
    else
        value = values;
    const int modes[] = {1, 0, 5, 4};
    int n = 0;
    for (const Mask& mask : masks(rnd))
        for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{9, 5}, std::pair{19, 7}}) {
            Made m32 = make32(f.getSize, f.init, {w, h}, mask);
            Made mL = makeL({w, h}, mask, f.type, C);
            const int mode = modes[n++ % 4];
            ASSERT_EQ(qpxiMorphSetMode(mode, as<qpxMorphAdvState>(m32)) |
                          qpxiMorphSetMode_L(mode, as<qpxMorphStateL>(mL)),
                      0);
            for (qpxBorderType border : kBorders)
                for (int op = kOpen; op <= kGradient; ++op) {
                    SCOPED_TRACE(testing::Message()
                                 << "mask " << mask.w << "x" << mask.h << " roi " << w << "x" << h
                                 << " border " << border << " op " << op);
                    const Place place = (w + op) % 2 ? Place::Begin : Place::End;
                    const Margins around{6, 6, 6, 6};
                    GuardedImage<T> src(w, h, C, 0, place, around), io(w, h, C, 0, place, around),
                        dst(w, h, C, 4 * sizeof(T), place);
                    std::vector<T> all;
                    src.fill([&] { return all.emplace_back(rnd.any<T>()); });
                    io.fill([&, i = std::size_t(0)]() mutable { return all[i++]; });
                    auto run = [&](const T* s, int ss, T* d, int ds) {
                        return wide ? f.wide[op](s, ss, d, ds, {w, h}, border, value,
                                                 as<qpxMorphStateL>(mL), mL.buf.data())
                                    : f.border[op](s, ss, d, ds, {w, h}, border, value,
                                                   as<qpxMorphAdvState>(m32), m32.buf.data());
                    };
                    const qpxStatus st = run(src.roi(), src.step(), dst.roi(), dst.step());
                    // The 32-bit gradient takes the filter rule: no default kind, no stage flags.
                    if (!wide && op == kGradient && ((border & 15u) == 5 || border > 255)) {
                        ASSERT_EQ(st, qpxStatusBadBorder);
                        continue;
                    }
                    ASSERT_EQ(st, qpxStatusOk);
                    ASSERT_EQ(run(io.roi(), io.step(), io.roi(), io.step()), qpxStatusOk);
                    const int kind = (border & 15u) ? int(border & 15u) : 5;
                    const Plan p = plan(border, wide, op);
                    auto raw = [&](int x, int y, int k) { return src.at(x, y, k); };
                    const bool clampNeg =
                        wide ? (mode & 4) && (std::is_same_v<T, float> || std::is_same_v<T, s16>)
                             : std::is_same_v<T, float>;
                    const auto want =
                        compose<T>(Op(op), raw, w, h, C, mask, !(mode & 1), kind, p.first, p.grow,
                                   mask.w >> 1, mask.h >> 1, values, clampNeg);
                    ASSERT_EQ(dst.dense(), want);
                    ASSERT_EQ(io.dense(), want) << "in place";
                }
        }
}

TEST(MorphAdv, BothFamiliesMatchTwoStagesAlsoInPlace) {
    for (std::uint32_t wide : {0u, 1u}) {
        check_type<u8, 1>(wide, 1 + 10 * wide);
        check_type<u8, 3>(wide, 2 + 10 * wide);
        check_type<u8, 4>(wide, 3 + 10 * wide);
        check_type<u16, 1>(wide, 4 + 10 * wide);
        check_type<s16, 1>(wide, 5 + 10 * wide);
        check_type<float, 1>(wide, 6 + 10 * wide);
        check_type<float, 3>(wide, 7 + 10 * wide);
        check_type<float, 4>(wide, 8 + 10 * wide);
    }
}

// A spec made for a large ROI serves a smaller call whose buffer the query sized for the smaller
// ROI (guarded, so any use beyond it faults), with the result of a spec made for the smaller ROI;
// a call larger than the spec's ROI in either direction is refused and writes nothing.
template <class T, int C>
void check_spec_roi(std::uint32_t seed) {
    qpxtest::Random rnd(seed);
    const auto f = fns<T, C>();
    T values[4] = {};
    ValueArg<T, C> value;
    if constexpr (C == 1)
        value = values[0];
    else
        value = values;
    const qpxSize big{35, 24}, small{14, 10};
    for (int mw : {3, 5}) {
        const Mask mask{mw, 3, std::vector<u8>(std::size_t(3 * mw), 1)};
        for (bool wide : {false, true})
            for (int op = kOpen; op <= kGradient; ++op) {
                SCOPED_TRACE(testing::Message()
                             << "mask " << mw << " wide " << wide << " op " << op);
                GuardedImage<T> src(big.width + 1, big.height + 1, C),
                    dst(big.width + 1, big.height + 1, C), ref(small.width, small.height, C);
                src.fill([&] { return rnd.any<T>(); });
                auto run = [&](const Made& spec, const Made& buf, qpxSize roi, T* d, int ds) {
                    return wide ? f.wide[op](src.roi(), src.step(), d, ds, {roi.width, roi.height},
                                             1, value, as<qpxMorphStateL>(spec), buf.buf.data())
                                : f.border[op](src.roi(), src.step(), d, ds, roi, 1, value,
                                               as<qpxMorphAdvState>(spec), buf.buf.data());
                };
                auto make = [&](qpxSize roi) {
                    return wide ? makeL({roi.width, roi.height}, mask, f.type, C)
                                : make32(f.getSize, f.init, roi, mask);
                };
                const Made forBig = make(big), forSmall = make(small);
                ASSERT_EQ(run(forSmall, forSmall, small, ref.roi(), ref.step()), qpxStatusOk);
                ASSERT_EQ(run(forBig, forSmall, small, dst.roi(), dst.step()), qpxStatusOk);
                for (int y = 0; y < small.height; ++y)
                    for (int x = 0; x < small.width * C; ++x)
                        ASSERT_EQ(dst.at(0, y, x), ref.at(0, y, x));
                const auto before = dst.snapshot();
                for (qpxSize over :
                     {qpxSize{big.width + 1, big.height}, qpxSize{big.width, big.height + 1}}) {
                    EXPECT_EQ(run(forBig, forBig, over, dst.roi(), dst.step()), qpxStatusBadSize);
                    EXPECT_EQ(dst.snapshot(), before);
                }
            }
    }
}

TEST(MorphAdv, SpecRoiBoundsTheCall) {
    check_spec_roi<u8, 1>(31);
    check_spec_roi<s16, 1>(32);
    check_spec_roi<float, 3>(33);
}

// Band by band (bands a few mask heights tall) on every target, against the whole image at once
// on the scalar target: both families' border plans, sides in memory, every operation.
template <class T, int C>
void check_bands(std::uint32_t seed) {
    using namespace qpx::morph;
    qpxtest::Random rnd(seed);
    const auto f = fns<T, C>();
    T value[4];
    for (auto& v : value) v = rnd.any<T>();
    std::vector<Mask> ms = masks(rnd);
    ms.push_back({5, 5, std::vector<u8>(25, 1)});
    ms.push_back({7, 1, std::vector<u8>(7, 1)});
    for (const Mask& mask : ms)
        for (auto [w, h] : {std::pair{37, 61}, std::pair{70, 83}})
            for (bool wide : {false, true}) {
                Made m32 = make32(f.getSize, f.init, {w, h}, mask);
                Made mL = makeL({w, h}, mask, f.type, C);
                for (qpxBorderType border : kBorders)
                    for (int op = kOpen; op <= kGradient; ++op) {
                        SCOPED_TRACE(testing::Message()
                                     << "mask " << mask.w << "x" << mask.h << " roi " << w << "x"
                                     << h << " border " << border << " op " << op << " wide "
                                     << wide);
                        std::uint32_t eff = 0;
                        if (!wide && op == kGradient) {
                            if ((border & 15u) == 5 || border > 255) continue;
                            eff = border;
                        } else {
                            ASSERT_TRUE(qpx::accept_morph_border(border, &eff));
                        }
                        const qpxMorphState *first, *second;
                        StagePlan plan;
                        Scratch scratch;
                        if (wide) {
                            const AdvStateL* s = adv_state_l(as<qpxMorphStateL>(mL));
                            first = general_part(s->first);
                            second = general_part(s->second);
                            plan = op == kGradient ? plan_border(eff)
                                                   : plan_border_l(eff, mask_info(second));
                            scratch = scratch_for_l(s, mL.buf.data(), sizeof(T), C, w, h);
                        } else {
                            const qpxMorphAdvState* s = adv_state(as<qpxMorphAdvState>(m32));
                            first = s->first;
                            second = s->second;
                            plan = plan_border(eff);
                            scratch = scratch_for(s, m32.buf.data(), sizeof(T), C, w, h);
                        }
                        GuardedImage<T> src(w, h, C, 0, Place::End, {6, 6, 6, 6}), want(w, h, C),
                            got(w, h, C);
                        src.fill([&] {
                            return rnd.next<int>(0, 3) ? T(rnd.next<int>(0, 9)) : rnd.any<T>();
                        });
                        run_adv<T, C>(qpx::Target::Scalar, AdvOp(op), src.view(), want.view(), plan,
                                      value, first, second, scratch, op != kGradient, 0);
                        std::vector<qpx::Target> targets = qpxtest::vector_targets();
                        targets.push_back(qpx::Target::Scalar);
                        for (qpx::Target t : targets) {
                            run_adv<T, C>(t, AdvOp(op), src.view(), got.view(), plan, value, first,
                                          second, scratch, op != kGradient, 1);
                            ASSERT_EQ(got.dense(), want.dense()) << qpx::target_name(t);
                        }
                    }
            }
}

TEST(MorphAdv, BandsMatchWholeImage) {
    check_bands<u8, 1>(41);
    check_bands<s16, 1>(42);
    check_bands<float, 3>(43);
}

// The difference kernels on their own: every target against the per-element rule, and bit rows
// at every pair of offsets with the bits around the ROI kept.
TEST(MorphAdv, DifferencesOnEveryTarget) {
    qpxtest::Random rnd(8);
    auto run = [&](auto zero, bool clampNeg) {
        using T = decltype(zero);
        for (int n : qpxtest::test_widths()) {
            for (int wide : {n, n + 130}) {
                std::vector<T> a(wide), b(wide), d(wide);
                for (int i = 0; i < wide; ++i) a[i] = rnd.any<T>(), b[i] = rnd.any<T>();
                std::vector<qpx::Target> targets = qpxtest::vector_targets();
                targets.push_back(qpx::Target::Scalar);
                for (qpx::Target t : targets) {
                    qpx::morph::subtract<T>(t, qpx::View<const T>(a.data(), 0, wide, 1),
                                            qpx::View<const T>(b.data(), 0, wide, 1),
                                            qpx::View<T>(d.data(), 0, wide, 1), clampNeg);
                    for (int i = 0; i < wide; ++i) {
                        const T want = diff(a[i], b[i], clampNeg && !std::is_unsigned_v<T>);
                        ASSERT_EQ(std::memcmp(&d[i], &want, sizeof(T)), 0)
                            << qpx::target_name(t) << " at " << i << " of " << wide;
                    }
                }
            }
        }
    };
    for (bool c : {false, true}) run(u8{}, c), run(u16{}, c), run(s16{}, c), run(float{}, c);
    auto bit = [](const std::vector<u8>& v, int i) { return (v[i >> 3] >> (i & 7)) & 1; };
    for (int aBit = 0; aBit < 8; ++aBit)
        for (int dBit = 0; dBit < 8; dBit += 3)
            for (int n : {1, 7, 8, 9, 23}) {
                std::vector<u8> a(8), b(8), d0(8);
                for (int i = 0; i < 8; ++i)
                    a[i] = u8(rnd.bits()), b[i] = u8(rnd.bits()), d0[i] = u8(rnd.bits());
                const int bBit = 5 - aBit / 2;
                std::vector<u8> d = d0;
                qpx::morph::and_not_bits(a.data(), 0, aBit, b.data(), 0, bBit, d.data(), 0, dBit, n,
                                         1);
                for (int x = 0, i = -dBit; x < 64; ++x, ++i)
                    ASSERT_EQ(bit(d, x),
                              i >= 0 && i < n ? bit(a, aBit + i) & !bit(b, bBit + i) : bit(d0, x));
            }
}

// Bit-packed images: the same compositions on 0/1 pixels, at several bit offsets, with the bits
// around each destination row kept.
TEST(MorphAdv, BitPackedMatchesTwoStages) {
    using Fn32 = qpxStatus (*)(const u8*, int, int, u8*, int, int, qpxSize, qpxBorderType, u8,
                               const qpxMorphAdvState*, u8*);
    using FnL = qpxStatus (*)(const u8*, std::int64_t, int, u8*, std::int64_t, int, qpxSizeL,
                              qpxBorderType, u8, const qpxMorphStateL*, u8*);
    const Fn32 fn32[5] = {qpxiMorphOpenBorder_1u_C1R, qpxiMorphCloseBorder_1u_C1R,
                          qpxiMorphTophatBorder_1u_C1R, qpxiMorphBlackhatBorder_1u_C1R,
                          qpxiMorphGradientBorder_1u_C1R};
    const FnL fnL[5] = {qpxiMorphOpen_1u_C1R_L, qpxiMorphClose_1u_C1R_L, qpxiMorphTophat_1u_C1R_L,
                        qpxiMorphBlackhat_1u_C1R_L, qpxiMorphGradient_1u_C1R_L};
    qpxtest::Random rnd(31);
    const int w = 21, h = 5, stepBytes = (w + 14) / 8;
    const u8 one = 1;
    for (const Mask& mask : masks(rnd)) {
        Made m32 = make32(qpxiMorphAdvGetSize_1u_C1R, qpxiMorphAdvInit_1u_C1R, {w, h}, mask);
        Made mL = makeL({w, h}, mask, qpx1u, 1);
        // Replicate, default, constant, and with sides read from memory.
        for (qpxBorderType border : {0x01u, 0x05u, 0x06u, 0x51u, 0xA6u, 0x501u, 0xF0u})
            for (int op = kOpen; op <= kGradient; ++op)
                for (bool wide : {false, true})
                    for (int bit : {0, 3, 7}) {
                        SCOPED_TRACE(testing::Message()
                                     << "mask " << mask.w << "x" << mask.h << " border " << border
                                     << " op " << op << " wide " << wide << " bit " << bit);
                        GuardedImage<u8> src(stepBytes, h, 1, 0, Place::End, {4, 4, 1, 1}),
                            dst(stepBytes, h);
                        src.fill([&] { return u8(rnd.bits()); });
                        dst.fill([&] { return u8(rnd.bits()); });
                        const auto before = dst.dense();
                        const int srcBit = 7 - bit;
                        const qpxStatus st =
                            wide ? fnL[op](src.roi(), src.step(), srcBit, dst.roi(), dst.step(),
                                           bit, {w, h}, border, one, as<qpxMorphStateL>(mL),
                                           mL.buf.data())
                                 : fn32[op](src.roi(), src.step(), srcBit, dst.roi(), dst.step(),
                                            bit, {w, h}, border, one, as<qpxMorphAdvState>(m32),
                                            m32.buf.data());
                        if (!wide && op == kGradient && ((border & 15u) == 5 || border > 255)) {
                            ASSERT_EQ(st, qpxStatusBadBorder);
                            continue;
                        }
                        ASSERT_EQ(st, qpxStatusOk);
                        auto pixel = [&](int x, int y, int) {
                            const int i = srcBit + x;
                            return u8((src.at(i >> 3, y) >> (i & 7)) & 1);
                        };
                        const Plan p = plan(border, wide, op);
                        const auto want =
                            compose<u8>(Op(op), pixel, w, h, 1, mask, true,
                                        (border & 15) ? int(border & 15) : 5, p.first, p.grow,
                                        mask.w >> 1, mask.h >> 1, &one, false, one);
                        for (int y = 0; y < h; ++y)
                            for (int x = 0, i = -bit; x < stepBytes * 8; ++x, ++i)
                                ASSERT_EQ((dst.at(x >> 3, y) >> (x & 7)) & 1,
                                          i >= 0 && i < w
                                              ? want[std::size_t(y) * w + i]
                                              : (before[y * stepBytes + (x >> 3)] >> (x & 7)) & 1)
                                    << "bit " << x << " row " << y;
                    }
    }
}

}  // namespace
