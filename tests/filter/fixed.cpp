// The fixed SobelCross, Laplacian and Lowpass filters against a direct 2-D correlation of the
// extended source over every accepted border code, small ROIs and guard pages; the scalar path
// against the exported (vector) one.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "filter/fixed.hpp"
#include "filter/fixed_reference.hpp"

namespace {

using qpx::Path;
using qpx::filter::FixedOp;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;
using namespace fixedtest;
using u8 = std::uint8_t;
using i16 = std::int16_t;

const Mask kCross3 = outer({-1, 0, 1}, {1, 0, -1});
const Mask kCross5 = outer({-1, -2, 0, 2, 1}, {1, 2, 0, -2, -1});
const Mask kLap3{3, {2, 0, 2, 0, -8, 0, 2, 0, 2}};
const Mask kLap5{5,
                 {2, 4, 4, 4, 2, 4, 0, -8, 0, 4, 4, -8, -24, -8, 4, 4, 0, -8, 0, 4, 2, 4, 4, 4, 2}};
const Mask kBox3{3, std::vector<double>(9, 1.0)};
const Mask kBox5{5, std::vector<double>(25, 1.0)};

template <FixedOp op>
const Mask& mask_of(int ms) {
    if (op == FixedOp::SobelCross) return ms == 33 ? kCross3 : kCross5;
    if (op == FixedOp::Laplacian) return ms == 33 ? kLap3 : kLap5;
    return ms == 33 ? kBox3 : kBox5;
}

// What the exported filter must give for a window sum (or weighted sum) s.
template <FixedOp op, class Dst>
double expected(double s, int ms) {
    if (op != FixedOp::Lowpass) return s;
    const int area = ms == 33 ? 9 : 25;
    if (std::is_same_v<Dst, u8>) return std::floor((2 * s + area) / (2 * area));  // nearest
    return double(float(s) * (1.0f / float(area)));
}

using Export8 =
    std::function<qpxStatus(const u8*, int, void*, int, qpxSize, int, unsigned, u8, u8*)>;
using Export32 =
    std::function<qpxStatus(const float*, int, float*, int, qpxSize, int, unsigned, float, u8*)>;

template <FixedOp op>
struct Api;
template <>
struct Api<FixedOp::SobelCross> {
    using Dst8 = i16;
    static qpxStatus f8(const u8* s, int ss, i16* d, int ds, qpxSize r, int m, unsigned b, u8 v,
                        u8* buf) {
        return qpxiFilterSobelCrossBorder_8u16s_C1R(s, ss, d, ds, r, m, b, v, buf);
    }
    static qpxStatus f32(const float* s, int ss, float* d, int ds, qpxSize r, int m, unsigned b,
                         float v, u8* buf) {
        return qpxiFilterSobelCrossBorder_32f_C1R(s, ss, d, ds, r, m, b, v, buf);
    }
    static qpxStatus q8(qpxSize r, int m, int* sz) {
        return qpxiFilterSobelCrossGetBufferSize_8u16s_C1R(r, m, sz);
    }
    static qpxStatus q32(qpxSize r, int m, int* sz) {
        return qpxiFilterSobelCrossGetBufferSize_32f_C1R(r, m, sz);
    }
};
template <>
struct Api<FixedOp::Laplacian> {
    using Dst8 = i16;
    static qpxStatus f8(const u8* s, int ss, i16* d, int ds, qpxSize r, int m, unsigned b, u8 v,
                        u8* buf) {
        return qpxiFilterLaplacianBorder_8u16s_C1R(s, ss, d, ds, r, m, b, v, buf);
    }
    static qpxStatus f32(const float* s, int ss, float* d, int ds, qpxSize r, int m, unsigned b,
                         float v, u8* buf) {
        return qpxiFilterLaplacianBorder_32f_C1R(s, ss, d, ds, r, m, b, v, buf);
    }
    static qpxStatus q8(qpxSize r, int m, int* sz) {
        return qpxiFilterLaplacianGetBufferSize_8u16s_C1R(r, m, sz);
    }
    static qpxStatus q32(qpxSize r, int m, int* sz) {
        return qpxiFilterLaplacianGetBufferSize_32f_C1R(r, m, sz);
    }
};
template <>
struct Api<FixedOp::Lowpass> {
    using Dst8 = u8;
    static qpxStatus f8(const u8* s, int ss, u8* d, int ds, qpxSize r, int m, unsigned b, u8 v,
                        u8* buf) {
        return qpxiFilterLowpassBorder_8u_C1R(s, ss, d, ds, r, m, b, v, buf);
    }
    static qpxStatus f32(const float* s, int ss, float* d, int ds, qpxSize r, int m, unsigned b,
                         float v, u8* buf) {
        return qpxiFilterLowpassBorder_32f_C1R(s, ss, d, ds, r, m, b, v, buf);
    }
    static qpxStatus q8(qpxSize r, int m, int* sz) {
        return qpxiFilterLowpassGetBufferSize_8u_C1R(r, m, sz);
    }
    static qpxStatus q32(qpxSize r, int m, int* sz) {
        return qpxiFilterLowpassGetBufferSize_32f_C1R(r, m, sz);
    }
};

// The export (vector path) and the scalar path on one ROI and border, both guard placements.
// Sources hold integers drawn by `gen`, so float sums are exact.
template <FixedOp op, class Src, class Gen>
void check_one(int ms, qpxSize roi, unsigned border, Src value, Gen&& gen) {
    using A = Api<op>;
    using Dst = std::conditional_t<std::is_same_v<Src, float>, float, typename A::Dst8>;
    const Mask& mask = mask_of<op>(ms);
    const Margins m = margins_for(border, (mask.ks - 1) / 2);
    int size = 0;
    ASSERT_EQ((std::is_same_v<Src, float> ? A::q32 : A::q8)(roi, ms, &size), 0);
    for (Place place : {Place::Begin, Place::End}) {
        GuardedImage<Src> src(roi.width, roi.height, 1, 0, place, m);
        src.fill(gen);
        GuardedBuffer buf(std::size_t(size), place);
        GuardedImage<Dst> out(roi.width, roi.height, 1, 0, place), sca(roi.width, roi.height);
        if constexpr (std::is_same_v<Src, float>)
            ASSERT_EQ(A::f32(src.roi(), src.step(), out.roi(), out.step(), roi, ms, border, value,
                             buf.data()),
                      0);
        else
            ASSERT_EQ(A::f8(src.roi(), src.step(), out.roi(), out.step(), roi, ms, border, value,
                            buf.data()),
                      0);
        qpx::filter::fixed_filter<op>(Path::Scalar, src.roi(), src.step(), sca.roi(), sca.step(),
                                      roi, ms, border, value, buf.data());
        for (int y = 0; y < roi.height; ++y)
            for (int x = 0; x < roi.width; ++x) {
                const double s = correlate(src, mask, x, y, border, double(value));
                ASSERT_EQ(double(out.at(x, y)), (expected<op, Dst>(s, ms)))
                    << "mask " << ms << " border " << border << " roi " << roi.width << "x"
                    << roi.height << " at " << x << "," << y;
                ASSERT_EQ(0, std::memcmp(&out.at(x, y), &sca.at(x, y), sizeof(Dst)));
            }
    }
}

template <FixedOp op>
void sweep() {
    qpxtest::Random rnd(11);
    auto g8 = [&] { return static_cast<u8>(rnd.bits() & 255); };
    auto g32 = [&] { return static_cast<float>(int(rnd.bits() % 2001) - 1000); };
    for (int ms : {33, 55})
        for (unsigned border : accepted_borders())
            for (qpxSize roi : roi_sizes()) {
                check_one<op, u8>(ms, roi, border, static_cast<u8>(rnd.bits()), g8);
                check_one<op, float>(ms, roi, border, -7.0f, g32);
            }
}

TEST(FixedFilter, SobelCrossMatchesDirectCorrelation) {
    sweep<FixedOp::SobelCross>();
}
TEST(FixedFilter, LaplacianMatchesDirectCorrelation) {
    sweep<FixedOp::Laplacian>();
}
TEST(FixedFilter, LowpassMatchesDirectCorrelation) {
    sweep<FixedOp::Lowpass>();
}

// Saturated 8u sources reach the largest sums, and wide rows run the vector loop many times.
TEST(FixedFilter, ExtremeValuesOnWideRows) {
    qpxtest::Random rnd(12);
    auto extreme = [&] { return static_cast<u8>(rnd.bits() & 1 ? 255 : 0); };
    for (int w : {8, 31, 67, 130})
        for (int ms : {33, 55}) {
            check_one<FixedOp::SobelCross, u8>(ms, {w, 5}, qpxBorderRepl, u8(0), extreme);
            check_one<FixedOp::Laplacian, u8>(ms, {w, 5}, qpxBorderConst, u8(255), extreme);
            check_one<FixedOp::Lowpass, u8>(ms, {w, 5}, qpxBorderMirror, u8(0), extreme);
        }
}

// A constant image: zero derivatives and the constant itself as the mean, also next to the
// borders (replicated or a constant border of the same value).
TEST(FixedFilter, ConstantImages) {
    for (int ms : {33, 55})
        for (u8 c : {u8(0), u8(1), u8(128), u8(255)})
            for (unsigned border : {1u, 3u, 6u}) {
                const qpxSize roi{19, 6};
                auto same = [c] { return c; };
                check_one<FixedOp::SobelCross, u8>(ms, roi, border, c, same);
                check_one<FixedOp::Laplacian, u8>(ms, roi, border, c, same);
                GuardedImage<u8> src(roi.width, roi.height), dst(roi.width, roi.height);
                src.fill(same);
                int size = 0;
                qpxiFilterLowpassGetBufferSize_8u_C1R(roi, ms, &size);
                std::vector<u8> buf(static_cast<std::size_t>(size));
                ASSERT_EQ(
                    qpxiFilterLowpassBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(),
                                                   roi, ms, border, c, buf.data()),
                    0);
                for (u8 v : dst.dense()) ASSERT_EQ(v, c);
            }
}

// 8-bit means round to nearest, for every sum either mask can reach: the centre output of a
// ROI exactly one window large sees the whole ROI (13 -> 1 and 14 -> 2 for 3x3 among them).
TEST(FixedFilter, LowpassRoundingOfEveryReachableSum) {
    for (int ms : {33, 55}) {
        const int k = ms == 33 ? 3 : 5, area = k * k;
        GuardedImage<u8> src(k, k), dst(k, k);
        std::vector<u8> buf(4096);
        for (int s = 0; s <= 255 * area; ++s) {
            int left = s;
            for (int i = 0; i < area; ++i) {
                const int v = std::min(left, 255);
                src.at(i % k, i / k) = u8(v);
                left -= v;
            }
            ASSERT_EQ(qpxiFilterLowpassBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(),
                                                     {k, k}, ms, qpxBorderRepl, 0, buf.data()),
                      0);
            ASSERT_EQ(dst.at(k / 2, k / 2), (2 * s + area) / (2 * area)) << "sum " << s;
        }
    }
}

// Real-valued floats: paths agree bit for bit, and stay close to the exact correlation.
TEST(FixedFilter, FloatPathsAgreeBitForBit) {
    qpxtest::Random rnd(13);
    const qpxSize roi{45, 6};
    auto run = [&](auto opTag, int ms) {
        constexpr FixedOp op = decltype(opTag)::value;
        GuardedImage<float> src(roi.width, roi.height), v(roi.width, roi.height),
            s(roi.width, roi.height);
        src.fill([&] { return rnd.next<float>(-100.0, 100.0); });
        std::vector<u8> buf(1 << 16);
        qpx::filter::fixed_filter<op>(Path::Vector, src.roi(), src.step(), v.roi(), v.step(), roi,
                                      ms, qpxBorderMirror, 0.0f, buf.data());
        qpx::filter::fixed_filter<op>(Path::Scalar, src.roi(), src.step(), s.roi(), s.step(), roi,
                                      ms, qpxBorderMirror, 0.0f, buf.data());
        const Mask& mask = mask_of<op>(ms);
        const double scale = op == FixedOp::Lowpass ? 1.0 / (mask.ks * mask.ks) : 1.0;
        for (int y = 0; y < roi.height; ++y)
            for (int x = 0; x < roi.width; ++x) {
                ASSERT_TRUE(qpxtest::same_bits(v.at(x, y), s.at(x, y)));
                EXPECT_NEAR(v.at(x, y), scale * correlate(src, mask, x, y, qpxBorderMirror, 0),
                            0.01);
            }
    };
    for (int ms : {33, 55}) {
        run(std::integral_constant<FixedOp, FixedOp::SobelCross>{}, ms);
        run(std::integral_constant<FixedOp, FixedOp::Laplacian>{}, ms);
        run(std::integral_constant<FixedOp, FixedOp::Lowpass>{}, ms);
    }
}

}  // namespace
