// Grey-scale erosion and dilation against the window sum written out directly, scalar against
// vector, and the argument checks of the gray functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "common/guard.hpp"
#include "common/targets.hpp"
#include "morph/gray.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using u8 = std::uint8_t;

template <class T>
using Val = std::conditional_t<std::is_same_v<T, float>, float, std::int32_t>;

template <class T>
std::vector<T> reference(const GuardedImage<T>& src, const std::vector<Val<T>>& values, int mw,
                         int mh, int ax, int ay, bool dilate) {
    const int w = src.width(), h = src.height();
    std::vector<T> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double acc = std::is_same_v<T, float> ? (dilate ? -3.4028235e38 : 3.4028235e38)
                                                  : (dilate ? 0 : 255);
            for (int j = 0; j < mh; ++j)
                for (int i = 0; i < mw; ++i) {
                    int sx = x + i - ax, sy = y + j - ay;
                    if (sx < 0 || sx >= w || sy < 0 || sy >= h) continue;
                    double t;
                    if constexpr (std::is_same_v<T, float>)
                        t = double(src.at(sx, sy) + values[j * mw + i]);  // single precision sum
                    else
                        t = double(src.at(sx, sy)) + values[j * mw + i];
                    acc = dilate ? std::max(acc, t) : std::min(acc, t);
                }
            if constexpr (std::is_same_v<T, float>)
                out.push_back(float(acc));
            else
                out.push_back(T(std::clamp(acc, 0.0, 255.0)));
        }
    return out;
}

// The four entry points of one element type.
template <class T>
struct Gray {
    using V = Val<T>;
    qpxStatus (*getSize)(qpxSize, const V*, qpxSize, int*);
    qpxStatus (*init)(qpxMorphGrayState*, qpxSize, const V*, qpxSize, qpxPoint);
    qpxStatus (*apply[2])(const T*, int, T*, int, qpxSize, qpxBorderType, const qpxMorphGrayState*);
    void (*kernel[2])(qpx::Target, qpx::View<const T>, qpx::View<T>, const qpxMorphGrayState*);
};
const Gray<u8> kGray8u{qpxiMorphGrayGetSize_8u_C1R,
                       qpxiMorphGrayInit_8u_C1R,
                       {qpxiGrayErodeBorder_8u_C1R, qpxiGrayDilateBorder_8u_C1R},
                       {qpx::morph::gray_morph<u8, false>, qpx::morph::gray_morph<u8, true>}};
const Gray<float> kGray32f{
    qpxiMorphGrayGetSize_32f_C1R,
    qpxiMorphGrayInit_32f_C1R,
    {qpxiGrayErodeBorder_32f_C1R, qpxiGrayDilateBorder_32f_C1R},
    {qpx::morph::gray_morph<float, false>, qpx::morph::gray_morph<float, true>}};

template <class T>
void check_random(const Gray<T>& f, std::uint32_t seed) {
    qpxtest::Random rnd(seed);
    for (auto [mw, mh] :
         {std::pair{1, 1}, std::pair{3, 3}, std::pair{4, 2}, std::pair{1, 5}, std::pair{7, 3}})
        for (int w : {1, 3, 17, 33, 67, 131})
            for (int h : {1, 6})
                for (int dilate : {1, 0}) {
                    const int ax = rnd.next<int>(0, mw - 1), ay = rnd.next<int>(0, mh - 1);
                    SCOPED_TRACE(testing::Message() << mw << "x" << mh << " anchor " << ax << ","
                                                    << ay << " roi " << w << "x" << h);
                    std::vector<Val<T>> values(std::size_t(mw) * mh);
                    // Integer values reach past both saturation bounds.
                    for (auto& v : values)
                        v = std::is_same_v<T, float> ? Val<T>(rnd.next<float>(-50, 50))
                                                     : Val<T>(rnd.next<int>(-300, 300));
                    int size = 0;
                    ASSERT_EQ(f.getSize({w, h}, values.data(), {mw, mh}, &size), 0);
                    ASSERT_EQ(size, 4 * mw * mh + 32);
                    GuardedBuffer mem(static_cast<std::size_t>(size));
                    auto* spec = reinterpret_cast<qpxMorphGrayState*>(mem.data());
                    ASSERT_EQ(f.init(spec, {w + 2, h}, values.data(), {mw, mh}, {ax, ay}),
                              qpxStatusOk);
                    GuardedImage<T> src(w, h), dst(w, h, 1, 8), each(w, h), io(w, h);
                    src.fill([&] { return rnd.any<T>(); });
                    std::vector<T> all = src.dense();
                    io.fill([&, i = std::size_t(0)]() mutable { return all[i++]; });
                    const auto want = reference(src, values, mw, mh, ax, ay, dilate);
                    // Separate images, then in place: the window reaches rows above and below.
                    for (auto* out : {&dst, &io}) {
                        const auto& in = out == &io ? io : src;
                        ASSERT_EQ(f.apply[dilate](in.roi(), in.step(), out->roi(), out->step(),
                                                  {w, h}, qpxBorderRepl, spec),
                                  0);
                        ASSERT_EQ(out->dense(), want);
                    }
                    // Every target, bit for bit.
                    std::vector<qpx::Target> targets = qpxtest::vector_targets();
                    targets.push_back(qpx::Target::Scalar);
                    for (qpx::Target t : targets) {
                        f.kernel[dilate](t, src.view(), each.view(), spec);
                        ASSERT_EQ(
                            std::memcmp(each.dense().data(), want.data(), want.size() * sizeof(T)),
                            0)
                            << qpx::target_name(t);
                    }
                }
}

TEST(GrayMorph, MatchesWindowSums) {
    check_random(kGray8u, 1);
    check_random(kGray32f, 2);
}

// The anchor's row, and the tests that read the spec; the rest are the generic argument test's.
TEST(GrayMorph, AnchorAndSpecChecks) {
    std::vector<std::int32_t> values(6, 1);
    std::vector<u8> mem(4 * 6 + 32, 0xA5);
    auto* spec = reinterpret_cast<qpxMorphGrayState*>(mem.data());
    for (qpxPoint anchor : {qpxPoint{0, 2}, qpxPoint{0, -1}}) {
        EXPECT_EQ(qpxiMorphGrayInit_8u_C1R(spec, {4, 4}, values.data(), {3, 2}, anchor),
                  qpxStatusBadAnchor);
        EXPECT_TRUE(std::all_of(mem.begin(), mem.end(), [](u8 v) { return v == 0xA5; }));
    }
    ASSERT_EQ(qpxiMorphGrayInit_32f_C1R(spec, {4, 4}, reinterpret_cast<float*>(values.data()),
                                        {3, 2}, {2, 1}),
              qpxStatusOk);
    GuardedImage<float> src(5, 5), dst(5, 5);
    for (qpxSize roi : {qpxSize{5, 4}, qpxSize{4, 5}}) {
        const auto before = dst.snapshot();
        EXPECT_EQ(qpxiGrayErodeBorder_32f_C1R(src.roi(), 20, dst.roi(), 20, roi, 1, spec),
                  qpxStatusBadSize)
            << "ROI beyond the spec's";
        EXPECT_EQ(dst.snapshot(), before);
    }

    // Without a work buffer the rows kept for an in-place call are bounded: a wider image in
    // place is refused rather than computed from overwritten rows.
    const int limit = int(qpx::morph::kGrayRingBytes);  // a two-row mask keeps one row
    ASSERT_EQ(qpxiMorphGrayInit_8u_C1R(spec, {limit + 1, 2}, values.data(), {3, 2}, {1, 1}),
              qpxStatusOk);
    for (int w : {limit, limit + 1}) {
        GuardedImage<u8> img(w, 2);
        img.fill([] { return u8(3); });
        const auto before = img.snapshot();
        EXPECT_EQ(qpxiGrayDilateBorder_8u_C1R(img.roi(), img.step(), img.roi(), img.step(), {w, 2},
                                              qpxBorderRepl, spec),
                  w == limit ? qpxStatusOk : qpxStatusInPlaceNotSupported);
        EXPECT_EQ(img.snapshot() == before, w != limit);
    }
}

}  // namespace
