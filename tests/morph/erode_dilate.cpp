// Erosion and dilation of 8u, 16u, 16s and 32f images against a brute-force reference, through
// the 32-bit and the 64-bit exports, on guarded images whose margins are exactly the pixels the
// in-memory flags allow; and the scalar path against the vector path, bit for bit.
#include <cstring>

#include "erode_dilate_common.hpp"
#include "frame/border.hpp"
#include "morph/morph_engine.hpp"

using namespace morphtest;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;

namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// The exports of one type and channel count behind one signature.
template <class T, int C>
struct Api;

#define MORPH_API(T, C, tag, VAL)                                                                 \
    template <>                                                                                   \
    struct Api<T, C> {                                                                            \
        static qpxStatus size(qpxSize r, qpxSize m, int* s, int* b) {                             \
            return qpxiMorphologyBorderGetSize_##tag(r, m, s, b);                                 \
        }                                                                                         \
        static qpxStatus init(qpxSize r, const u8* m, qpxSize ms, qpxMorphState* s, u8* b) {      \
            return qpxiMorphologyBorderInit_##tag(r, m, ms, s, b);                                \
        }                                                                                         \
        static qpxStatus run(bool dilate, const T* s, int ss, T* d, int ds, qpxSize r,            \
                             qpxBorderType b, const T* v, const qpxMorphState* sp, u8* buf) {     \
            return dilate ? qpxiDilateBorder_##tag(s, ss, d, ds, r, b, VAL, sp, buf)              \
                          : qpxiErodeBorder_##tag(s, ss, d, ds, r, b, VAL, sp, buf);              \
        }                                                                                         \
        static qpxStatus run_l(bool dilate, const T* s, std::int64_t ss, T* d, std::int64_t ds,   \
                               qpxSizeL r, qpxBorderType b, const T* v, const qpxMorphStateL* sp, \
                               u8* buf) {                                                         \
            return dilate ? qpxiDilate_##tag##_L(s, ss, d, ds, r, b, VAL, sp, buf)                \
                          : qpxiErode_##tag##_L(s, ss, d, ds, r, b, VAL, sp, buf);                \
        }                                                                                         \
    };
MORPH_API(u8, 1, 8u_C1R, *v)
MORPH_API(u8, 3, 8u_C3R, v)
MORPH_API(u8, 4, 8u_C4R, v)
MORPH_API(u16, 1, 16u_C1R, *v)
MORPH_API(s16, 1, 16s_C1R, *v)
MORPH_API(float, 1, 32f_C1R, *v)
MORPH_API(float, 3, 32f_C3R, v)
MORPH_API(float, 4, 32f_C4R, v)
#undef MORPH_API

template <class T>
constexpr qpxDataType type_code() {
    if constexpr (std::is_same_v<T, u8>)
        return qpx8u;
    else if constexpr (std::is_same_v<T, u16>)
        return qpx16u;
    else if constexpr (std::is_same_v<T, s16>)
        return qpx16s;
    else
        return qpx32f;
}

template <class T>
T random_value(Random& rnd, bool narrow) {
    // A narrow range makes ties and repeated extrema common.
    if (narrow) return static_cast<T>(rnd.next<int>(0, 9));
    return rnd.any<T>();
}

struct Case {
    int W, H;
    Mask mask;
    std::uint32_t border;
    bool dilate;
};

template <class T, int C>
void check_case(const Case& cs, Random& rnd, Place place) {
    using A = Api<T, C>;
    const Mask& k = cs.mask;
    const bool allMem = (cs.border & 15u) != 1 && (cs.border & 15u) != 3 &&
                        (cs.border & 15u) != 5 && (cs.border & 15u) != 6;
    Margins mg = reach(k, cs.border);
    if (allMem) mg = {k.h >> 1, (k.h | 1) - 1 - (k.h >> 1), k.w >> 1, (k.w | 1) - 1 - (k.w >> 1)};
    const bool narrow = rnd.next<int>(0, 2) == 0;
    const int pad = int(sizeof(T)) * rnd.next<int>(0, 3);
    GuardedImage<T> src(cs.W, cs.H, C, pad, place, mg);
    src.fill([&] { return random_value<T>(rnd, narrow); });
    T value[4];
    for (T& v : value) v = random_value<T>(rnd, narrow);

    const auto expect = reference<T>(k, cs.W, cs.H, C, cs.border, value, cs.dilate,
                                     [&](int x, int y, int c) { return src.at(x, y, c); });
    auto dense = [&](const GuardedImage<T>& img) { return img.dense(); };
    const std::string what = "roi " + std::to_string(cs.W) + "x" + std::to_string(cs.H) + " mask " +
                             std::to_string(k.w) + "x" + std::to_string(k.h) + " border " +
                             std::to_string(cs.border) + (cs.dilate ? " dilate" : " erode");

    // 32-bit family.
    int specSize = 0, bufSize = 0;
    ASSERT_EQ(A::size(src.size(), k.size(), &specSize, &bufSize), qpxStatusOk);
    GuardedBuffer spec(std::size_t(specSize), place), buf(std::size_t(bufSize), place);
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    ASSERT_EQ(A::init(src.size(), k.m.data(), k.size(), sp, buf.data()), qpxStatusOk);
    GuardedImage<T> dst(cs.W, cs.H, C, pad, place);
    ASSERT_EQ(A::run(cs.dilate, src.roi(), src.step(), dst.roi(), dst.step(), src.size(), cs.border,
                     value, sp, buf.data()),
              qpxStatusOk)
        << what;
    const auto got = dense(dst);
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_TRUE(qpxtest::same_bits(float(got[i]), float(expect[i])) || got[i] == expect[i])
            << what << " at element " << i << ": " << +got[i] << " vs " << +expect[i];

    // Scalar path, bit for bit against the vector path.
    std::uint32_t eff = 0;
    ASSERT_TRUE(qpx::accept_morph_border(cs.border, &eff));
    GuardedImage<T> ref(cs.W, cs.H, C, pad, place);
    qpx::morph::apply<T, C>(
        qpx::Path::Scalar, cs.dilate ? qpx::morph::Op::Dilate : qpx::morph::Op::Erode, src.roi(),
        src.step(), ref.roi(), ref.step(), cs.W, cs.H, eff, value, sp, buf.data());
    ASSERT_EQ(std::memcmp(ref.dense().data(), got.data(), got.size() * sizeof(T)), 0) << what;

    // 64-bit family with its type-independent spec.
    const qpxSizeL roiL{cs.W, cs.H}, maskL{k.w, k.h};
    std::int64_t specL = 0, bufL = 0;
    ASSERT_EQ(qpxiErodeGetSpecSize_L(roiL, maskL, &specL), qpxStatusOk);
    ASSERT_EQ(qpxiDilateGetBufferSize_L(roiL, maskL, type_code<T>(), C, &bufL), qpxStatusOk);
    GuardedBuffer specBufL(std::size_t(specL), place), bufBufL(std::size_t(bufL), place);
    auto* spL = reinterpret_cast<qpxMorphStateL*>(specBufL.data());
    ASSERT_EQ(qpxiErodeInit_L(roiL, k.m.data(), maskL, spL), qpxStatusOk);
    GuardedImage<T> dstL(cs.W, cs.H, C, pad, place);
    ASSERT_EQ(A::run_l(cs.dilate, src.roi(), src.step(), dstL.roi(), dstL.step(), roiL, cs.border,
                       value, spL, bufBufL.data()),
              qpxStatusOk);
    ASSERT_EQ(std::memcmp(dstL.dense().data(), got.data(), got.size() * sizeof(T)), 0) << what;
}

Case random_case(Random& rnd, int maxMask) {
    static const int widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 23, 33};
    Case cs;
    cs.W = widths[rnd.next<int>(0, 12)];
    cs.H = rnd.next<int>(1, 12);
    const auto shape = static_cast<Shape>(rnd.next<int>(0, 4));
    cs.mask = make_mask(rnd, rnd.next<int>(1, maxMask), rnd.next<int>(1, maxMask), shape);
    static const std::uint32_t kinds[] = {1, 3, 5, 6, 1, 3, 5, 6, 0, 2, 4, 9};
    std::uint32_t kind = kinds[rnd.next<int>(0, 11)];
    std::uint32_t flags = std::uint32_t(rnd.next<int>(0, 15)) << 4;
    std::uint32_t stages = std::uint32_t(rnd.next<int>(0, 15)) << 8;
    if (rnd.next<int>(0, 1)) flags = 0;
    if (rnd.next<int>(0, 1)) stages = 0;
    if (kind != 1 && kind != 3 && kind != 5 && kind != 6) flags = 0xF0, stages = 0;
    cs.border = kind | flags | stages;
    cs.dilate = rnd.next<int>(0, 1) != 0;
    return cs;
}

template <class T, int C>
void random_cases(int count, std::uint32_t seed) {
    Random rnd(seed);
    for (int n = 0; n < count; ++n) {
        Case cs = random_case(rnd, n % 4 == 0 ? 12 : 6);
        check_case<T, C>(cs, rnd, n % 2 ? Place::Begin : Place::End);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(ErodeDilate, RandomMasksAndBorders8u) {
    random_cases<u8, 1>(500, 1);
    random_cases<u8, 3>(150, 2);
    random_cases<u8, 4>(150, 3);
}
TEST(ErodeDilate, RandomMasksAndBorders16) {
    random_cases<u16, 1>(250, 4);
    random_cases<s16, 1>(250, 5);
}
TEST(ErodeDilate, RandomMasksAndBorders32f) {
    random_cases<float, 1>(300, 6);
    random_cases<float, 3>(100, 7);
    random_cases<float, 4>(100, 8);
}

// Large full rectangles: several van Herk blocks, a partial last block, tall and wide windows,
// and masks as large as or larger than the ROI.
TEST(ErodeDilate, FullRectanglesOfManySizes) {
    Random rnd(9);
    const int sizes[][4] = {{31, 31, 70, 80}, {15, 13, 40, 47}, {9, 1, 30, 5},     {1, 9, 5, 30},
                            {7, 7, 7, 7},     {11, 21, 5, 4},   {40, 3, 20, 20},   {4, 6, 33, 19},
                            {5, 5, 1, 1},     {3, 3, 64, 3},    {31, 31, 100, 40}, {11, 5, 50, 20},
                            {17, 1, 60, 3}};
    for (const auto& s : sizes)
        for (std::uint32_t border : {1u, 3u, 5u, 6u, 0xF0u}) {
            Case cs{s[2], s[3], make_mask(rnd, s[0], s[1], Shape::Full), border,
                    rnd.next<int>(0, 1) != 0};
            check_case<u8, 1>(cs, rnd, Place::End);
            check_case<float, 1>(cs, rnd, Place::Begin);
            ASSERT_FALSE(HasFatalFailure());
        }
}

// Very wide and tall windows take the blocked paths in both directions.
TEST(ErodeDilate, VeryLargeRectangles) {
    Random rnd(12);
    const int sizes[][4] = {{131, 3, 600, 4}, {129, 1, 300, 2}, {3, 131, 20, 140}};
    for (const auto& s : sizes)
        for (std::uint32_t border : {1u, 3u, 6u, 0xF0u}) {
            Case cs{s[2], s[3], make_mask(rnd, s[0], s[1], Shape::Full), border, border != 3u};
            check_case<u8, 1>(cs, rnd, Place::End);
            ASSERT_FALSE(HasFatalFailure());
        }
    Case cs{300, 3, make_mask(rnd, 130, 2, Shape::Full), 1u, true};
    check_case<float, 3>(cs, rnd, Place::Begin);
}

// The documented corner cases, with values written out.
TEST(ErodeDilate, SmallExamples) {
    const qpxSize roi{4, 3};
    u8 src[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    u8 dst[12];
    auto run = [&](const std::vector<u8>& mask, qpxSize ms, qpxBorderType b, u8 v, bool dilate) {
        int ss = 0, bs = 0;
        EXPECT_EQ(qpxiMorphologyBorderGetSize_8u_C1R(roi, ms, &ss, &bs), qpxStatusOk);
        std::vector<u8> spec(static_cast<std::size_t>(ss)), buf(static_cast<std::size_t>(bs));
        auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
        EXPECT_EQ(qpxiMorphologyBorderInit_8u_C1R(roi, mask.data(), ms, sp, buf.data()),
                  qpxStatusOk);
        EXPECT_EQ(dilate ? qpxiDilateBorder_8u_C1R(src, 4, dst, 4, roi, b, v, sp, buf.data())
                         : qpxiErodeBorder_8u_C1R(src, 4, dst, 4, roi, b, v, sp, buf.data()),
                  qpxStatusOk);
        return std::vector<u8>(dst, dst + 12);
    };
    // A 2x2 mask has its anchor at the top-left element; values 1, 7, 255 are all members.
    EXPECT_EQ(run({1, 7, 255, 1}, {2, 2}, qpxBorderRepl, 0, true),
              (std::vector<u8>{6, 7, 8, 8, 10, 11, 12, 12, 10, 11, 12, 12}));
    // Default border ignores the outside; a constant 255 wins everywhere within reach.
    EXPECT_EQ(run({1, 1, 1, 1, 1, 1, 1, 1, 1}, {3, 3}, qpxBorderDefault, 0, true),
              (std::vector<u8>{6, 7, 8, 8, 10, 11, 12, 12, 10, 11, 12, 12}));
    EXPECT_EQ(run({1, 1, 1, 1, 1, 1, 1, 1, 1}, {3, 3}, qpxBorderConst, 255, true),
              (std::vector<u8>{255, 255, 255, 255, 255, 11, 12, 255, 255, 255, 255, 255}));
    EXPECT_EQ(run({1, 1, 1, 1, 1, 1, 1, 1, 1}, {3, 3}, qpxBorderDefault, 0, false),
              (std::vector<u8>{1, 1, 2, 3, 1, 1, 2, 3, 5, 5, 6, 7}));
    // No member, or a 1x1 mask: a plain copy, whatever the border.
    EXPECT_EQ(run({0, 0, 0, 0}, {2, 2}, qpxBorderConst, 255, true), std::vector<u8>(src, src + 12));
    EXPECT_EQ(run({0}, {1, 1}, qpxBorderConst, 255, false), std::vector<u8>(src, src + 12));
}

// Source and destination may be the same image (the engine then never reads the source in place).
TEST(ErodeDilate, InPlace) {
    Random rnd(10);
    for (int n = 0; n < 200; ++n) {
        Case cs = random_case(rnd, 7);
        Margins mg = reach(cs.mask, cs.border);
        if ((cs.border & 15u) == 0 || (cs.border & 15u) == 2 || (cs.border & 15u) == 4 ||
            (cs.border & 15u) == 9)
            mg = {cs.mask.h >> 1, (cs.mask.h | 1) - 1 - (cs.mask.h >> 1), cs.mask.w >> 1,
                  (cs.mask.w | 1) - 1 - (cs.mask.w >> 1)};
        GuardedImage<u8> img(cs.W, cs.H, 1, 0, Place::End, mg);
        img.fill([&] { return rnd.any<u8>(); });
        const u8 value = rnd.any<u8>();
        const auto expect = reference<u8>(cs.mask, cs.W, cs.H, 1, cs.border, &value, cs.dilate,
                                          [&](int x, int y, int c) { return img.at(x, y, c); });
        int ss = 0, bs = 0;
        ASSERT_EQ(qpxiMorphologyBorderGetSize_8u_C1R(img.size(), cs.mask.size(), &ss, &bs), 0);
        std::vector<u8> spec(static_cast<std::size_t>(ss)), buf(static_cast<std::size_t>(bs));
        auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
        ASSERT_EQ(qpxiMorphologyBorderInit_8u_C1R(img.size(), cs.mask.m.data(), cs.mask.size(), sp,
                                                  buf.data()),
                  0);
        const qpxStatus st =
            cs.dilate ? qpxiDilateBorder_8u_C1R(img.roi(), img.step(), img.roi(), img.step(),
                                                img.size(), cs.border, value, sp, buf.data())
                      : qpxiErodeBorder_8u_C1R(img.roi(), img.step(), img.roi(), img.step(),
                                               img.size(), cs.border, value, sp, buf.data());
        ASSERT_EQ(st, qpxStatusOk);
        ASSERT_EQ(img.dense(), expect) << "case " << n << " roi " << cs.W << "x" << cs.H << " mask "
                                       << cs.mask.w << "x" << cs.mask.h << " border " << cs.border;
    }
}

// What the mask analysis records: padded size, anchor and features.
TEST(ErodeDilate, MaskFeatures) {
    using qpx::morph::mask_info;
    struct Row {
        int w, h;
        const char* bits;
        int pW, pH, ax, ay;
        std::uint32_t features;
    };
    const Row rows[] = {
        {3, 3, "111111111", 3, 3, 1, 1, 0x2 | 0x10},
        {3, 3, "000000000", 3, 3, 1, 1, 0x4 | 0x8 | 0x10},
        {3, 3, "010111010", 3, 3, 1, 1, 0x10 | 0x20 | 0x100},
        {5, 5, "0010001110111110111000100", 5, 5, 2, 2, 0x10 | 0x20 | 0x100 | 0x200},
        {2, 2, "1111", 3, 3, 1, 1, 0x8 | 0x10},
        {3, 3, "101010101", 3, 3, 1, 1, 0x0},
        {3, 1, "111", 3, 1, 1, 0, 0x2 | 0x10},
        {4, 3, "010011110100", 5, 3, 2, 1, 0x8 | 0x10},
        {5, 3, "001001111100100", 5, 3, 2, 1, 0x10 | 0x20},
    };
    for (const Row& r : rows) {
        std::vector<std::uint8_t> m(std::size_t(r.w) * r.h);
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = r.bits[i] == '1' ? 9 : 0;
        std::vector<std::uint8_t> spec(static_cast<std::size_t>(qpx::morph::spec_size(r.w, r.h)));
        auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
        qpx::morph::init_spec(sp, m.data(), {r.w, r.h});
        const auto info = mask_info(sp);
        EXPECT_EQ(info.paddedW, r.pW) << r.bits;
        EXPECT_EQ(info.paddedH, r.pH) << r.bits;
        EXPECT_EQ(info.anchorX, r.ax) << r.bits;
        EXPECT_EQ(info.anchorY, r.ay) << r.bits;
        EXPECT_EQ(info.features, r.features) << r.bits;
    }
}

}  // namespace
