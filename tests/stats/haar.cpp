// The cascade stage against a reference written out here: spec storage order, tilted corners,
// the per-member arithmetic, both evaluation strategies, a small cascade end to end, and every
// vector target against the scalar one.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "qpxcv.h"
#include "stats/haar.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Margins;
using qpxtest::Place;
using u8 = std::uint8_t;
using i32 = std::int32_t;
using i64 = std::int64_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// A classifier as the caller describes it.
template <class V>
struct Cls {
    std::vector<qpxRect> r;
    std::vector<V> w;
    V thr, v1, v2;
    bool tilted = false;
    int flag = 1;  // corner form of a tilted classifier
};

struct Pt {
    int c, r;
};
// Corners Pa, Pb, Pc, Pd of one rectangle.
void corners(const qpxRect& q, bool tilted, int flag, Pt* p) {
    const int x = q.x, y = q.y, w = q.width, h = q.height;
    if (!tilted) {
        p[0] = {x + w, y + h}, p[1] = {x, y + h}, p[2] = {x + w, y}, p[3] = {x, y};
    } else if (flag) {
        p[0] = {x + w - h, y + w + h}, p[1] = {x - h, y + h}, p[2] = {x + w, y + w}, p[3] = {x, y};
    } else {
        p[0] = {x, y + h}, p[1] = {x - h, y}, p[2] = {x + w, y + h - w}, p[3] = {x + w - h, y - w};
    }
}

// Upright specs evaluate two-rectangle classifiers first, then three, then the rest.
template <class V>
std::vector<Cls<V>> stored(const std::vector<Cls<V>>& c) {
    std::vector<Cls<V>> s;
    for (int g : {2, 3, 0})
        for (const Cls<V>& k : c) {
            const int n = int(k.r.size());
            if (n == g || (g == 0 && n != 2 && n != 3)) s.push_back(k);
        }
    return s;
}

// The stage at one window, by the member's arithmetic.
template <class J, class V, class N>
bool ref_window(const std::vector<Cls<V>>& st, const GuardedImage<J>& src,
                const GuardedImage<J>* tilt, int x, int y, N sigma, V stageThr, int shift) {
    using Acc = std::conditional_t<std::is_same_v<V, float>, float, i32>;
    Acc s = 0;
    for (const Cls<V>& k : st) {
        float ff = 0;
        i64 fi = 0;
        for (std::size_t i = 0; i < k.r.size(); ++i) {
            Pt p[4];
            corners(k.r[i], k.tilted, k.flag, p);
            J v[4];
            for (int j = 0; j < 4; ++j)
                v[j] = k.tilted && tilt ? tilt->at(x + 1 + p[j].c, y + 1 + p[j].r)
                                        : src.at(x + p[j].c, y + p[j].r);
            if constexpr (std::is_same_v<J, float>) {
                ff += k.w[i] * (((v[0] - v[1]) - v[2]) + v[3]);
            } else if constexpr (std::is_same_v<V, float>) {
                const i32 r = i32(u32(v[0]) - u32(v[1]) - u32(v[2]) + u32(v[3]));
                ff += k.w[i] * float(r);
            } else {
                const i64 r = i64(i32(u32(v[0]) - (u32(v[1]) + u32(v[2])))) + v[3];
                fi = i64(u64(fi) + u64(i64(k.w[i])) * u64(r));
            }
        }
        bool pass;
        if constexpr (std::is_same_v<V, float>)
            pass = ff >= k.thr * sigma;
        else
            pass = (shift >= 64 ? 0 : i64(u64(fi) << shift)) >= i64(k.thr) * i64(sigma);
        if constexpr (std::is_same_v<V, float>)
            s += pass ? k.v2 : k.v1;
        else
            s = i32(u32(s) + u32(pass ? k.v2 : k.v1));
    }
    return s >= stageThr;
}

// The caller's arrays of a stage.
template <class V>
struct Arrays {
    std::vector<qpxRect> f;
    std::vector<V> w, t, v1, v2;
    std::vector<int> num;
    explicit Arrays(const std::vector<Cls<V>>& c) {
        for (const Cls<V>& k : c) {
            f.insert(f.end(), k.r.begin(), k.r.end());
            w.insert(w.end(), k.w.begin(), k.w.end());
            t.push_back(k.thr), v1.push_back(k.v1), v2.push_back(k.v2);
            num.push_back(int(k.r.size()));
        }
    }
};

// Spec memory of exactly the reported size, its start `shift` bytes past a page boundary's
// alignment and its end against a guard page.
struct SpecMem {
    GuardedBuffer mem;
    u8* at;
};
template <class V>
SpecMem spec_mem(const std::vector<int>& num, qpxSize roi, int shift = 0) {
    int size = 0;
    EXPECT_EQ(qpxiHaarClassifierGetSize(std::is_same_v<V, float> ? qpx32f : qpx32s, roi, num.data(),
                                        int(num.size()), &size),
              qpxStatusOk);
    GuardedBuffer mem(std::size_t(size + shift));
    u8* at = mem.data() + shift;
    return {std::move(mem), at};
}

template <class V>
qpxStatus init(void* spec, const Arrays<V>& a, bool tilted) {
    if constexpr (std::is_same_v<V, float>) {
        auto fn = tilted ? qpxiTiltedHaarClassifierInit_32f : qpxiHaarClassifierInit_32f;
        return fn(static_cast<qpxHaarClassifier_32f*>(spec), a.f.data(), a.w.data(), a.t.data(),
                  a.v1.data(), a.v2.data(), a.num.data(), int(a.num.size()));
    } else {
        auto fn = tilted ? qpxiTiltedHaarClassifierInit_32s : qpxiHaarClassifierInit_32s;
        return fn(static_cast<qpxHaarClassifier_32s*>(spec), a.f.data(), a.w.data(), a.t.data(),
                  a.v1.data(), a.v2.data(), a.num.data(), int(a.num.size()));
    }
}
template <class V>
qpxStatus tilt(const u8* mask, int flag, void* spec) {
    if constexpr (std::is_same_v<V, float>)
        return qpxiTiltHaarFeatures_32f(mask, flag, static_cast<qpxHaarClassifier_32f*>(spec));
    else
        return qpxiTiltHaarFeatures_32s(mask, flag, static_cast<qpxHaarClassifier_32s*>(spec));
}
template <class V>
qpxSize window(void* spec) {
    qpxSize s{-1, -1};
    if constexpr (std::is_same_v<V, float>)
        EXPECT_EQ(qpxiGetHaarClassifierSize_32f(static_cast<qpxHaarClassifier_32f*>(spec), &s),
                  qpxStatusOk);
    else
        EXPECT_EQ(qpxiGetHaarClassifierSize_32s(static_cast<qpxHaarClassifier_32s*>(spec), &s),
                  qpxStatusOk);
    return s;
}

// One apply call of the member named by J, V, N; `tiltImg` selects the mixed form.
template <class J, class V, class N>
qpxStatus apply(const GuardedImage<J>& src, const GuardedImage<J>* tiltImg,
                const GuardedImage<N>& norm, GuardedImage<u8>& mask, int* positive, V thr,
                void* spec, int scaleFactor = 0) {
    const qpxSize roi = mask.size();
    if constexpr (std::is_same_v<J, float>) {
        auto* s = static_cast<qpxHaarClassifier_32f*>(spec);
        return tiltImg ? qpxiApplyMixedHaarClassifier_32f_C1R(
                             src.roi(), src.step(), tiltImg->roi(), tiltImg->step(), norm.roi(),
                             norm.step(), mask.roi(), mask.step(), roi, positive, thr, s)
                       : qpxiApplyHaarClassifier_32f_C1R(src.roi(), src.step(), norm.roi(),
                                                         norm.step(), mask.roi(), mask.step(), roi,
                                                         positive, thr, s);
    } else if constexpr (std::is_same_v<V, float>) {
        auto* s = static_cast<qpxHaarClassifier_32f*>(spec);
        return tiltImg ? qpxiApplyMixedHaarClassifier_32s32f_C1R(
                             src.roi(), src.step(), tiltImg->roi(), tiltImg->step(), norm.roi(),
                             norm.step(), mask.roi(), mask.step(), roi, positive, thr, s)
                       : qpxiApplyHaarClassifier_32s32f_C1R(src.roi(), src.step(), norm.roi(),
                                                            norm.step(), mask.roi(), mask.step(),
                                                            roi, positive, thr, s);
    } else {
        auto* s = static_cast<qpxHaarClassifier_32s*>(spec);
        return tiltImg
                   ? qpxiApplyMixedHaarClassifier_32s_C1RSfs(
                         src.roi(), src.step(), tiltImg->roi(), tiltImg->step(), norm.roi(),
                         norm.step(), mask.roi(), mask.step(), roi, positive, thr, s, scaleFactor)
                   : qpxiApplyHaarClassifier_32s_C1RSfs(src.roi(), src.step(), norm.roi(),
                                                        norm.step(), mask.roi(), mask.step(), roi,
                                                        positive, thr, s, scaleFactor);
    }
}

template <class V>
V rnd_val(qpxtest::Random& r, double lo, double hi) {
    return std::is_same_v<V, float> ? V(r.next<float>(lo, hi)) : V(r.next<int>(lo, hi));
}

// A random stage of classifiers with one to four rectangles inside a 12 x 12 window, and rx >= h
// so that tilted corners stay right of column -6.
template <class V>
std::vector<Cls<V>> random_stage(qpxtest::Random& r, int length) {
    std::vector<Cls<V>> c(std::size_t(length), Cls<V>{});
    for (Cls<V>& k : c) {
        const int n = r.next<int>(1, 4);
        for (int i = 0; i < n; ++i) {
            const int h = r.next<int>(1, 6);
            k.r.push_back({r.next<int>(h - 1, 6), r.next<int>(0, 6), r.next<int>(1, 6), h});
            k.w.push_back(rnd_val<V>(r, -3, 3));
        }
        k.thr = rnd_val<V>(r, -40, 40);
        k.v1 = rnd_val<V>(r, -10, 10), k.v2 = rnd_val<V>(r, -10, 10);
    }
    return c;
}

template <class J, class V, class N>
void check_stage_against_reference(bool mixed) {
    qpxtest::Random r(mixed ? 11 : 5);
    for (Place place : {Place::Begin, Place::End})
        for (qpxSize roi : {qpxSize{1, 1}, qpxSize{7, 3}, qpxSize{33, 5}, qpxSize{70, 2}}) {
            SCOPED_TRACE(testing::Message() << roi.width << "x" << roi.height);
            const std::vector<Cls<V>> user = random_stage<V>(r, r.next<int>(1, 9));
            std::vector<Cls<V>> st = stored(user);
            const Arrays<V> a(user);
            SpecMem spec = spec_mem<V>(a.num, roi, r.next<int>(0, 63));
            ASSERT_EQ(init<V>(spec.at, a, false), qpxStatusOk);
            // Tilt some classifiers of the mixed form, with both corner forms over the runs.
            const int flag = r.next<int>(0, 1);
            if (mixed) {
                std::vector<u8> sel(user.size());
                for (auto& s : sel) s = u8(r.next<int>(0, 1) * r.next<int>(1, 255));
                ASSERT_EQ(tilt<V>(sel.data(), flag, spec.at), qpxStatusOk);
                std::vector<Cls<V>> u = user;
                for (std::size_t i = 0; i < u.size(); ++i) u[i].tilted = sel[i], u[i].flag = flag;
                st = stored(u);
            }
            GuardedImage<J> src(roi.width, roi.height, 1, 4, place, Margins{0, 13, 0, 13});
            GuardedImage<J> tl(roi.width, roi.height, 1, 8, place, Margins{6, 20, 6, 14});
            GuardedImage<N> norm(roi.width, roi.height, 1, 0, place);
            src.fill([&] { return rnd_val<J>(r, -1e4, 1e4); });
            tl.fill([&] { return rnd_val<J>(r, -1e4, 1e4); });
            if constexpr (!std::is_same_v<J, float>)  // wrapping sums at the top of the range
                src.fill([&] { return J(r.bits()); });
            norm.fill([&] { return rnd_val<N>(r, 0, 8); });
            const int shift = std::is_same_v<V, float> ? 0 : r.next<int>(0, 3);
            const V stageThr = rnd_val<V>(r, -15, 15);

            GuardedImage<u8> mask0(roi.width, roi.height, 1, 3, place);
            mask0.fill([&] { return u8(r.next<int>(0, 2) * r.next<int>(1, 255)); });
            std::vector<u8> want = mask0.dense();
            int wantCount = 0;
            for (int y = 0; y < roi.height; ++y)
                for (int x = 0; x < roi.width; ++x) {
                    u8& m = want[std::size_t(y * roi.width + x)];
                    if (!m) continue;
                    if (ref_window<J, V, N>(st, src, mixed ? &tl : nullptr, x, y, norm.at(x, y),
                                            stageThr, shift))
                        ++wantCount;
                    else
                        m = 0;
                }
            // Window by window (hint 0) and a row at a time (hint of every window).
            for (int hint : {0, roi.width * roi.height}) {
                GuardedImage<u8> mask(roi.width, roi.height, 1, 3, place);
                mask.fill([] { return u8(0x5a); });
                for (int y = 0; y < roi.height; ++y)
                    for (int x = 0; x < roi.width; ++x) mask.at(x, y) = mask0.at(x, y);
                const std::vector<u8> before = mask.snapshot();
                int positive = hint;
                ASSERT_EQ((apply<J, V, N>)(src, mixed ? &tl : nullptr, norm, mask, &positive,
                                           stageThr, spec.at, -shift),
                          qpxStatusOk);
                EXPECT_EQ(positive, wantCount) << "hint " << hint;
                EXPECT_EQ(mask.dense(), want) << "hint " << hint;
                // Nothing beside the mask's ROI changed.
                for (int y = 0; y < roi.height; ++y)
                    for (int x = 0; x < roi.width; ++x) mask.at(x, y) = mask0.at(x, y);
                EXPECT_TRUE(mask.snapshot() == before);
            }
        }
}

TEST(Haar, StageMatchesReference32f) {
    check_stage_against_reference<float, float, float>(false);
    check_stage_against_reference<float, float, float>(true);
}
TEST(Haar, StageMatchesReference32s32f) {
    check_stage_against_reference<i32, float, float>(false);
    check_stage_against_reference<i32, float, float>(true);
}
TEST(Haar, StageMatchesReference32s) {
    check_stage_against_reference<i32, i32, i32>(false);
    check_stage_against_reference<i32, i32, i32>(true);
}

// The columns and rows a stage's classifiers sample, relative to the window's corner.
struct Reach {
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    Margins margins(int shift) const {
        return {std::max(0, -(r0 + shift)), std::max(0, r1 + shift), std::max(0, -(c0 + shift)),
                std::max(0, c1 + shift)};
    }
};
template <class V>
Reach reach(const std::vector<Cls<V>>& st, bool tilted) {
    Reach b;
    for (const Cls<V>& k : st)
        if (k.tilted == tilted)
            for (const qpxRect& q : k.r) {
                Pt p[4];
                corners(q, k.tilted, k.flag, p);
                for (const Pt& c : p)
                    b.c0 = std::min(b.c0, c.c), b.c1 = std::max(b.c1, c.c),
                    b.r0 = std::min(b.r0, c.r), b.r1 = std::max(b.r1, c.r);
            }
    return b;
}

template <class J, class V, class N>
int run_kernel(qpx::Target t, const qpx::stats::HaarImages<J, N>& im, V thr, void* spec, int shift,
               qpx::stats::HaarStrategy how) {
    const qpx::stats::HaarKernels& k = qpx::stats::haar_kernels(t);
    if constexpr (std::is_same_v<N, i32>)
        return k.apply_32s(im, thr, spec, 0, shift, how);
    else if constexpr (std::is_same_v<J, i32>)
        return k.apply_32s32f(im, thr, spec, 0, shift, how);
    else
        return k.apply_32f(im, thr, spec, 0, shift, how);
}

// Every target and both strategies give the scalar target's mask and count, byte for byte: random
// stages on upright, tilted and mixed integrals whose samples reach exactly to guard pages, masks
// of sparse to full density, row ends at every lane position, and a row longer than one run of
// the row-at-a-time strategy. Each case runs in one of the four rounding modes, all targets alike.
template <class J, class V, class N>
void check_targets_agree() {
    using qpx::stats::HaarImages;
    using qpx::stats::HaarStrategy;
    qpxtest::Random r(sizeof(J) + 7 * sizeof(N) + std::is_same_v<V, float>);
    const unsigned csr = _mm_getcsr();
    for (Place place : {Place::Begin, Place::End})
        for (int W : {1, 7, 8, 9, 15, 16, 17, 31, 33, 67, 530})
            for (int form = 0; form < 3; ++form) {  // upright, tilted spec, mixed
                const int H = W > 100 ? 2 : 3;
                SCOPED_TRACE(testing::Message() << W << "x" << H << " form " << form);
                const qpxSize roi{W, H};
                std::vector<Cls<V>> user = random_stage<V>(r, r.next<int>(1, 12));
                // Whole numbers everywhere make ties at both comparisons common; integer
                // integrals of every bit pattern wrap and pass 2^24 in the 32s32f sums.
                const bool wide = r.next<int>(0, 1);
                auto whole = [&](auto v) { return wide ? v : decltype(v)(std::round(v)); };
                for (Cls<V>& k : user) {
                    k.thr = whole(k.thr), k.v1 = whole(k.v1), k.v2 = whole(k.v2);
                    for (V& w : k.w) w = whole(w);
                }
                const Arrays<V> a(user);
                SpecMem spec = spec_mem<V>(a.num, roi, r.next<int>(0, 63));
                ASSERT_EQ(init<V>(spec.at, a, form == 1), qpxStatusOk);
                for (Cls<V>& k : user) k.tilted = form == 1;
                if (form == 2) {
                    std::vector<u8> sel(user.size());
                    for (auto& q : sel) q = u8(r.next<int>(0, 1));
                    const int flag = r.next<int>(0, 1);
                    ASSERT_EQ(tilt<V>(sel.data(), flag, spec.at), qpxStatusOk);
                    for (std::size_t i = 0; i < user.size(); ++i)
                        user[i].tilted = sel[i], user[i].flag = flag;
                }
                const Reach up = reach(user, form == 1), tl = reach(user, true);
                GuardedImage<J> src(W, H, 1, 4 * r.next<int>(0, 2), place, up.margins(0));
                GuardedImage<J> tiltImg(W, H, 1, 4, place, tl.margins(1));
                GuardedImage<N> norm(W, H, 1, 4 * r.next<int>(0, 2), place);
                for (auto* im : {&src, &tiltImg})
                    im->fill(
                        [&] { return wide ? J(i32(r.bits())) : whole(rnd_val<J>(r, -50, 50)); });
                norm.fill([&] { return whole(rnd_val<N>(r, 0, 8)); });
                const int shift =
                    std::is_same_v<V, float> ? 0 : std::vector{0, 1, 3, 40, 64}[r.next<int>(0, 4)];
                const V thr = whole(rnd_val<V>(r, -15, 15));
                const int density = std::vector{5, 30, 100}[r.next<int>(0, 2)];
                GuardedImage<u8> mask0(W, H, 1, 3, place);
                mask0.fill(
                    [&] { return u8(r.next<int>(0, 99) < density ? r.next<int>(1, 255) : 0); });
                const int mode = r.next<int>(0, 3);
                const J* tp = tiltImg.roi() + tiltImg.step() / int(sizeof(J)) + 1;

                auto run = [&](qpx::Target t, HaarStrategy how, int* count) {
                    GuardedImage<u8> mask(W, H, 1, 3, place);
                    for (int y = 0; y < H; ++y)
                        for (int x = 0; x < W; ++x) mask.at(x, y) = mask0.at(x, y);
                    const HaarImages<J, N> im{src.view(),
                                              form == 2
                                                  ? qpx::View<const J>(tp, tiltImg.step(), W, H)
                                                  : qpx::View<const J>(src.view()),
                                              norm.view(), mask.view()};
                    _mm_setcsr((csr & ~0x6000u) | unsigned(mode) << 13);
                    *count = run_kernel<J, V, N>(t, im, thr, spec.at, shift, how);
                    _mm_setcsr(csr);
                    return mask.snapshot();
                };
                int want = 0;
                const std::vector<u8> mask = run(qpx::Target::Scalar, HaarStrategy::Windows, &want);
                std::vector<qpx::Target> targets = qpxtest::vector_targets();
                targets.insert(targets.begin(), qpx::Target::Scalar);
                for (qpx::Target t : targets)
                    for (HaarStrategy how : {HaarStrategy::Windows, HaarStrategy::Dense}) {
                        if (t == qpx::Target::Scalar && how == HaarStrategy::Windows) continue;
                        int count = -1;
                        EXPECT_TRUE(run(t, how, &count) == mask)
                            << "target " << int(t) << " dense " << (how == HaarStrategy::Dense);
                        EXPECT_EQ(count, want) << "target " << int(t);
                    }
            }
}

TEST(Haar, EveryTargetMatchesScalar32f) {
    check_targets_agree<float, float, float>();
}
TEST(Haar, EveryTargetMatchesScalar32s32f) {
    check_targets_agree<i32, float, float>();
}
TEST(Haar, EveryTargetMatchesScalar32s) {
    check_targets_agree<i32, i32, i32>();
}

// 32s32f rectangle sums convert to single precision to nearest, ties to even, in every rounding
// mode and on every target. One classifier takes one rectangle sum r per window and passes when
// single(r) >= sigma; sigma is the correctly rounded value at even windows (a conversion that
// rounds lower fails) and the next float above it at odd ones (one that rounds higher passes).
TEST(Haar, IntegerSumsRoundToNearestEvenOnEveryTarget) {
    using qpx::stats::HaarStrategy;
    // Exact, ties either way, near ties, the extremes; then random ties at 2^30 and above.
    const i32 e24 = 1 << 24, e25 = 1 << 25, e27 = 1 << 27, e30 = 1 << 30;
    std::vector<i32> sums = {
        0,           1,        -1,      e24,          e24 + 1,       e24 + 3,
        -e24 - 1,    e25 + 2,  e25 + 6, -e25 - 2,     -e25 - 6,      e30 + 64,
        e30 + 192,   INT_MAX,  INT_MIN, INT_MIN + 64, INT_MIN + 192, 0x7fffff80,
        -0x7fffff80, e27 + 15, e27 + 17};
    qpxtest::Random r(17);
    while (sums.size() < 45) sums.push_back(i32(r.bits() & ~0x7fu) | 0x40);
    std::vector<i32> twice;  // each sum at an even and at an odd window
    for (i32 v : sums) twice.push_back(v), twice.push_back(v);
    const int W = int(twice.size());
    // Row 1 of the integral holds running sums, so that window x sees r = J(x+1, 1) - J(x, 1).
    GuardedImage<i32> src(W, 1, 1, 0, Place::End, Margins{0, 1, 0, 1});
    src.fill([] { return 0; });
    for (int x = 0; x < W; ++x) src.at(x + 1, 1) = i32(u32(src.at(x, 1)) + u32(twice[x]));
    GuardedImage<float> norm(W, 1);
    for (int x = 0; x < W; ++x) {
        const float want = float(double(twice[x]));
        norm.at(x, 0) = x % 2 ? std::nextafter(want, INFINITY) : want;
    }
    std::vector<Cls<float>> c(1, Cls<float>{{{0, 0, 1, 1}}, {1.0f}, 1.0f, 0.0f, 1.0f});
    const Arrays<float> a(c);
    SpecMem spec = spec_mem<float>(a.num, {W, 1});
    ASSERT_EQ(init<float>(spec.at, a, false), qpxStatusOk);
    std::vector<qpx::Target> targets = qpxtest::vector_targets();
    targets.insert(targets.begin(), qpx::Target::Scalar);
    const unsigned csr = _mm_getcsr();
    // Every window set, or every other run of eight (half blocks on the widest target).
    for (int pattern = 0; pattern < 3; ++pattern)
        for (qpx::Target t : targets)
            for (unsigned mode = 0; mode < 4; ++mode)
                for (HaarStrategy how : {HaarStrategy::Windows, HaarStrategy::Dense}) {
                    auto on = [&](int x) { return pattern == 0 || (x / 8) % 2 == pattern - 1; };
                    GuardedImage<u8> mask(W, 1);
                    int want = 0;
                    for (int x = 0; x < W; ++x) mask.at(x, 0) = on(x), want += on(x) && x % 2 == 0;
                    const qpx::stats::HaarImages<i32, float> im{src.view(), src.view(), norm.view(),
                                                                mask.view()};
                    _mm_setcsr((csr & ~0x6000u) | mode << 13);
                    const int count = run_kernel<i32, float, float>(t, im, 0.5f, spec.at, 0, how);
                    _mm_setcsr(csr);
                    EXPECT_EQ(count, want) << "target " << int(t) << " mode " << mode;
                    for (int x = 0; x < W; ++x)
                        EXPECT_EQ(mask.at(x, 0), on(x) && x % 2 == 0)
                            << twice[x] << " target " << int(t) << " mode " << mode;
                }
}

// A single-window stage on a 3 x 3 integral whose every rectangle sum is known.
struct Tiny {
    GuardedImage<float> src{1, 1, 1, 0, Place::End, Margins{0, 8, 0, 8}};
    GuardedImage<float> norm{1, 1};
    GuardedImage<u8> mask{1, 1};
    Tiny(float sigma) {
        src.fill([] { return 0.0f; });
        norm.at(0, 0) = sigma;
    }
    // Runs the stage on a fresh mask; the number of positive windows (0 or 1).
    int run(void* spec, float thr) {
        mask.at(0, 0) = 1;
        int positive = 0;
        EXPECT_EQ(qpxiApplyHaarClassifier_32f_C1R(src.roi(), src.step(), norm.roi(), norm.step(),
                                                  mask.roi(), mask.step(), {1, 1}, &positive, thr,
                                                  static_cast<qpxHaarClassifier_32f*>(spec)),
                  qpxStatusOk);
        EXPECT_EQ(mask.at(0, 0), positive ? 1 : 0);
        return positive;
    }
};

TEST(Haar, StoredOrderGroupsTwoThenThreeRectangles) {
    // Caller order 4, 2, 3 rectangles; every classifier adds its value whatever its response.
    // Summed as 2nd, 3rd, 1st: 1e8 - 1e8 + 1 = 1; in the caller's order 1 + 1e8 would lose the 1.
    std::vector<Cls<float>> c(3, Cls<float>{});
    const float v[3] = {1.0f, 1e8f, -1e8f};
    const int n[3] = {4, 2, 3};
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < n[k]; ++i) c[k].r.push_back({0, 0, 1, 1}), c[k].w.push_back(1);
        c[k].thr = 0, c[k].v1 = c[k].v2 = v[k];
    }
    const Arrays<float> a(c);
    SpecMem spec = spec_mem<float>(a.num, {1, 1});
    ASSERT_EQ(init<float>(spec.at, a, false), qpxStatusOk);
    Tiny t(1);
    EXPECT_EQ(t.run(spec.at, 0.5f), 1);
    // The tilted initialiser keeps the caller's order: the 1 is lost.
    c[0].r.assign(4, {1, 0, 1, 1}), c[1].r.assign(2, {1, 0, 1, 1}), c[2].r.assign(3, {1, 0, 1, 1});
    const Arrays<float> b(c);
    ASSERT_EQ(init<float>(spec.at, b, true), qpxStatusOk);
    EXPECT_EQ(t.run(spec.at, 0.5f), 0);
    EXPECT_EQ(t.run(spec.at, -0.5f), 1);
}

TEST(Haar, SigmaZeroComparesAgainstZero) {
    // One rectangle over a zero integral: f = 0 >= threshold x 0 selects val2 for any threshold.
    std::vector<Cls<float>> c(1, Cls<float>{{{0, 0, 2, 2}}, {1.0f}, 1e9f, -1.0f, 1.0f});
    const Arrays<float> a(c);
    SpecMem spec = spec_mem<float>(a.num, {1, 1});
    ASSERT_EQ(init<float>(spec.at, a, false), qpxStatusOk);
    Tiny t(0);
    EXPECT_EQ(t.run(spec.at, 1.0f), 1);
    t.src.at(2, 2) = -1;  // J(Pa) = -1: f = -1 < 0 gives val1
    EXPECT_EQ(t.run(spec.at, 1.0f), 0);
    t.src.at(2, 2) = 3;  // the whole-window sum against t x sigma
    t.norm.at(0, 0) = 1;
    c[0].thr = 3, c[0].v1 = 0;
    ASSERT_EQ(init<float>(spec.at, Arrays<float>(c), false), qpxStatusOk);
    EXPECT_EQ(t.run(spec.at, 1.0f), 1);
    t.src.at(2, 2) = 2.99f;
    EXPECT_EQ(t.run(spec.at, 1.0f), 0);
}

TEST(Haar, ScaleFactorShiftsTheIntegerFeatureSum) {
    // f = 3 x 2^-scaleFactor against threshold 1 x sigma 12.
    std::vector<Cls<i32>> c(1, Cls<i32>{{{0, 0, 1, 1}}, {3}, 1, 0, 1});
    const Arrays<i32> a(c);
    SpecMem spec = spec_mem<i32>(a.num, {1, 1});
    ASSERT_EQ(init<i32>(spec.at, a, false), qpxStatusOk);
    GuardedImage<i32> src(1, 1, 1, 0, Place::End, Margins{0, 1, 0, 1}), norm(1, 1);
    GuardedImage<u8> mask(1, 1);
    src.fill([] { return 0; });
    src.at(1, 1) = 1;
    norm.at(0, 0) = 12;
    for (auto [sf, want] : {std::pair{0, 0}, {-1, 0}, {-2, 1}, {-63, 0}, {-64, 0}, {INT_MIN, 0}}) {
        SCOPED_TRACE(sf);
        mask.at(0, 0) = 9;
        int positive = 0;
        ASSERT_EQ((apply<i32, i32, i32>)(src, nullptr, norm, mask, &positive, 1, spec.at, sf),
                  qpxStatusOk);
        EXPECT_EQ(positive, want);
    }
    // Past 62 bits 3 x 2^k wraps negative; at 64 and beyond nothing is left: 0 >= 0 passes.
    norm.at(0, 0) = 0;
    for (int sf : {-64, -100, INT_MIN}) {
        mask.at(0, 0) = 9;
        int positive = 0;
        ASSERT_EQ((apply<i32, i32, i32>)(src, nullptr, norm, mask, &positive, 1, spec.at, sf),
                  qpxStatusOk);
        EXPECT_EQ(positive, 1);
        mask.at(0, 0) = 9;
        ASSERT_EQ((apply<i32, i32, i32>)(src, nullptr, norm, mask, &positive, 1, spec.at, -62),
                  qpxStatusOk);
        EXPECT_EQ(positive, 0);  // 3 << 62 is negative in 64 bits
    }
    int positive = 5;
    const auto before = mask.snapshot();
    EXPECT_EQ((apply<i32, i32, i32>)(src, nullptr, norm, mask, &positive, 1, spec.at, 1),
              qpxStatusBadArgument);
    EXPECT_EQ(positive, 5);
    EXPECT_TRUE(mask.snapshot() == before);
}

TEST(Haar, TiltConversionMarksTheSpecOnce) {
    // Caller order 4, 2, 3 rectangles; the first one is stored last.
    std::vector<Cls<float>> c(3, Cls<float>{});
    const int n[3] = {4, 2, 3};
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < n[k]; ++i) c[k].r.push_back({2, 1, 3 + k, 2}), c[k].w.push_back(1);
    const Arrays<float> a(c);
    SpecMem spec = spec_mem<float>(a.num, {4, 4});
    ASSERT_EQ(init<float>(spec.at, a, false), qpxStatusOk);
    EXPECT_EQ(window<float>(spec.at).width, 2 + 5);   // largest Pc column: x + w
    EXPECT_EQ(window<float>(spec.at).height, 1 + 2);  // largest Pa row: y + h

    // A mask that selects nothing converts nothing and leaves the spec open to a later call.
    const u8 none[3] = {0, 0, 0}, first[3] = {7, 0, 0};
    EXPECT_EQ(tilt<float>(none, 1, spec.at), qpxStatusOk);
    EXPECT_EQ(tilt<float>(first, 1, spec.at), qpxStatusOk);
    // Caller position 0 now has tilted corners: Pa row y + w + h = 1 + 3 + 2.
    EXPECT_EQ(window<float>(spec.at).height, 6);
    EXPECT_EQ(tilt<float>(first, 1, spec.at), qpxStatusBadArgument);
    EXPECT_EQ(tilt<float>(none, 0, spec.at), qpxStatusBadArgument);

    // Flag 0 corners: Pc (x + w, y + h - w), Pa (x, y + h).
    ASSERT_EQ(init<float>(spec.at, a, false), qpxStatusOk);
    const u8 all[3] = {1, 1, 1};
    EXPECT_EQ(tilt<float>(all, 0, spec.at), qpxStatusOk);
    EXPECT_EQ(window<float>(spec.at).width, 2 + 5);
    EXPECT_EQ(window<float>(spec.at).height, 1 + 2);

    // A tilted initialiser's spec is marked from the start.
    for (auto& k : c) k.r.assign(k.r.size(), {2, 1, 3, 2});
    ASSERT_EQ(init<float>(spec.at, Arrays<float>(c), true), qpxStatusOk);
    EXPECT_EQ(window<float>(spec.at).width, 5);
    EXPECT_EQ(window<float>(spec.at).height, 1 + 3 + 2);
    EXPECT_EQ(tilt<float>(none, 1, spec.at), qpxStatusBadArgument);
}

TEST(Haar, SizeQueryAndInitialiserChecks) {
    const std::vector<int> num = {4, 2, 3};
    int size = 0;
    ASSERT_EQ(qpxiHaarClassifierGetSize(qpx32s, {100, 7}, num.data(), 3, &size), qpxStatusOk);
    EXPECT_EQ(size, 32 * 3 + 36 * 9 + 64 + 16 * 9 + 64);
    ASSERT_EQ(qpxiHaarClassifierGetSize(qpx32f, {100, 7}, num.data(), 3, &size), qpxStatusOk);
    EXPECT_EQ(size, 32 * 3 + 36 * 9 + 64 + 16 * 9 + 800 + 16 + 64);
    // A count below 1 is refused before the data type.
    const std::vector<int> bad = {2, 0};
    EXPECT_EQ(qpxiHaarClassifierGetSize(qpx8u, {1, 1}, bad.data(), 2, &size), qpxStatusBadSize);
    EXPECT_EQ(qpxiHaarClassifierGetSize(qpx8u, {1, 1}, num.data(), 3, &size), qpxStatusBadDataType);

    std::vector<Cls<float>> c(1, Cls<float>{{{0, 0, 2, 2}}, {1.0f}, 0, 0, 1});
    SpecMem spec = spec_mem<float>({1}, {1, 1});
    EXPECT_EQ(init<float>(spec.at, Arrays<float>(c), true), qpxStatusBadArgument);  // 2 > 0 + 1
    c[0].r[0].x = 1;
    EXPECT_EQ(init<float>(spec.at, Arrays<float>(c), true), qpxStatusOk);
    for (qpxRect r : {qpxRect{-1, 0, 1, 1}, {0, -1, 1, 1}, {0, 0, 0, 1}, {0, 0, 1, 0}}) {
        c[0].r[0] = r;
        EXPECT_EQ(init<float>(spec.at, Arrays<float>(c), false), qpxStatusBadArgument);
    }
    Arrays<float> a(c);
    a.num[0] = 0;
    EXPECT_EQ(init<float>(spec.at, a, false), qpxStatusBadSize);
}

TEST(Haar, SpecWithoutWorkArea) {
    // Memory no initialiser filled: no classifiers, no work area.
    std::vector<u8> zero(512, 0);
    EXPECT_EQ(window<float>(zero.data()).width, 0);
    EXPECT_EQ(window<i32>(zero.data()).height, 0);
    Tiny t(1);
    t.mask.at(0, 0) = 1;
    int positive = 3;
    EXPECT_EQ(
        qpxiApplyHaarClassifier_32f_C1R(t.src.roi(), t.src.step(), t.norm.roi(), t.norm.step(),
                                        t.mask.roi(), t.mask.step(), {1, 1}, &positive, 0.0f,
                                        reinterpret_cast<qpxHaarClassifier_32f*>(zero.data())),
        qpxStatusNullPointer);
    EXPECT_EQ(positive, 3);
    EXPECT_EQ(t.mask.at(0, 0), 1);
}

// A cascade of three stages over a noisy image finds a planted 12 x 12 pattern: bright left half
// and dark right half, with a dark band across the middle third.
TEST(Haar, CascadeFindsAPlantedPattern) {
    constexpr int W = 60, H = 40, win = 12, px = 31, py = 17;
    qpxtest::Random r(3);
    std::vector<int> img(std::size_t(W * H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int v = 100 + r.next<int>(-20, 20);
            const int u = x - px, w = y - py;
            if (u >= 0 && u < win && w >= 0 && w < win)
                v = (u < win / 2 ? 200 : 40) - (w >= 4 && w < 8 ? 30 : 0);
            img[std::size_t(y * W + x)] = v;
        }
    // The integral and squared integral of the image.
    const int rw = W - win + 1, rh = H - win + 1;
    GuardedImage<float> ii(rw, rh, 1, 0, Place::End, Margins{0, win, 0, win});
    std::vector<double> sq(std::size_t((W + 1) * (H + 1)), 0.0);
    for (int y = 0; y <= H; ++y)
        for (int x = 0; x <= W; ++x) {
            double s = 0, q = 0;
            if (x > 0 && y > 0) {
                const int v = img[std::size_t((y - 1) * W + x - 1)];
                s = ii.at(x - 1, y) + ii.at(x, y - 1) - ii.at(x - 1, y - 1) + v;
                q = sq[std::size_t(y * (W + 1) + x - 1)] + sq[std::size_t((y - 1) * (W + 1) + x)] -
                    sq[std::size_t((y - 1) * (W + 1) + x - 1)] + double(v) * v;
            }
            ii.at(x, y) = float(s);
            sq[std::size_t(y * (W + 1) + x)] = q;
        }
    // The norm: the window's standard deviation times its area, as features are raw sums.
    GuardedImage<float> norm(rw, rh);
    const double n = win * win;
    for (int y = 0; y < rh; ++y)
        for (int x = 0; x < rw; ++x) {
            auto S = [&](int c, int rr) { return double(ii.at(x + c, y + rr)); };
            auto Q = [&](int c, int rr) { return sq[std::size_t((y + rr) * (W + 1) + x + c)]; };
            const double m = (S(win, win) - S(0, win) - S(win, 0) + S(0, 0)) / n;
            const double e = (Q(win, win) - Q(0, win) - Q(win, 0) + Q(0, 0)) / n;
            norm.at(x, y) = float(std::sqrt(std::max(e - m * m, 0.0)) * n);
        }
    // Stage 1: left half minus right half. Stage 2: a middle band darker than the thirds above
    // and below it. Stage 3: two more that must both agree.
    using C = Cls<float>;
    const std::vector<std::vector<C>> stages = {
        {C{{{0, 0, 6, 12}, {6, 0, 6, 12}}, {1, -1}, 0.4f, 0, 1}},
        {C{{{0, 0, 12, 4}, {0, 4, 12, 4}, {0, 8, 12, 4}}, {1, -2, 1}, 0.1f, 0, 1},
         C{{{0, 0, 12, 4}, {0, 4, 12, 4}}, {1, -1}, 0.06f, 0, 1},
         C{{{0, 8, 12, 4}, {0, 4, 12, 4}}, {1, -1}, 0.06f, 0, 1}},
        {C{{{0, 0, 6, 4}, {0, 4, 6, 4}}, {1, -1}, 0.02f, 0, 1},
         C{{{0, 0, 12, 12}, {6, 0, 6, 12}}, {1, -2}, 0.3f, 0, 1}},
    };
    const float stageThr[3] = {0.5f, 2.5f, 1.5f};
    GuardedImage<u8> mask(rw, rh);
    mask.fill([] { return u8(1); });
    int positive = rw * rh;
    for (std::size_t s = 0; s < stages.size(); ++s) {
        const Arrays<float> a(stages[s]);
        SpecMem spec = spec_mem<float>(a.num, {rw, rh}, int(s) * 5);
        ASSERT_EQ(init<float>(spec.at, a, false), qpxStatusOk);
        ASSERT_EQ(
            (apply<float, float, float>)(ii, nullptr, norm, mask, &positive, stageThr[s], spec.at),
            qpxStatusOk);
    }
    // Found, give or take a pixel or two of overlap, and nowhere else.
    EXPECT_EQ(mask.at(px, py), 1);
    int set = 0, far = 0;
    for (int y = 0; y < rh; ++y)
        for (int x = 0; x < rw; ++x) {
            set += mask.at(x, y) != 0;
            far += mask.at(x, y) && (std::abs(x - px) > 2 || std::abs(y - py) > 1);
        }
    EXPECT_EQ(positive, set);
    EXPECT_EQ(far, 0);
}

}  // namespace
