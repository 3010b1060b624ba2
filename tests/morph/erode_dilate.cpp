// Erosion and dilation of 8u, 16u, 16s and 32f images against a brute-force reference through
// the 32-bit and 64-bit exports, on guarded images whose margins are exactly the pixels the
// in-memory flags allow; and every vector target against the scalar one, bit for bit.
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
#define MORPH_API(T, C, tag, VAL, code)                                                           \
    template <>                                                                                   \
    struct Api<T, C> {                                                                            \
        static constexpr qpxDataType type = code;                                                 \
        static qpxStatus size(qpxSize r, qpxSize m, int* s, int* b) {                             \
            return qpxiMorphologyBorderGetSize_##tag(r, m, s, b);                                 \
        }                                                                                         \
        static qpxStatus init(qpxSize r, const u8* m, qpxSize ms, qpxMorphState* s, u8* b) {      \
            return qpxiMorphologyBorderInit_##tag(r, m, ms, s, b);                                \
        }                                                                                         \
        static qpxStatus run(bool dil, const T* s, int ss, T* d, int ds, qpxSize r,               \
                             qpxBorderType b, const T* v, const qpxMorphState* sp, u8* buf) {     \
            return dil ? qpxiDilateBorder_##tag(s, ss, d, ds, r, b, VAL, sp, buf)                 \
                       : qpxiErodeBorder_##tag(s, ss, d, ds, r, b, VAL, sp, buf);                 \
        }                                                                                         \
        static qpxStatus run_l(bool dil, const T* s, std::int64_t ss, T* d, std::int64_t ds,      \
                               qpxSizeL r, qpxBorderType b, const T* v, const qpxMorphStateL* sp, \
                               u8* buf) {                                                         \
            return dil ? qpxiDilate_##tag##_L(s, ss, d, ds, r, b, VAL, sp, buf)                   \
                       : qpxiErode_##tag##_L(s, ss, d, ds, r, b, VAL, sp, buf);                   \
        }                                                                                         \
    };
MORPH_API(u8, 1, 8u_C1R, *v, qpx8u)
MORPH_API(u8, 3, 8u_C3R, v, qpx8u)
MORPH_API(u8, 4, 8u_C4R, v, qpx8u)
MORPH_API(u16, 1, 16u_C1R, *v, qpx16u)
MORPH_API(s16, 1, 16s_C1R, *v, qpx16s)
MORPH_API(float, 1, 32f_C1R, *v, qpx32f)
MORPH_API(float, 3, 32f_C3R, v, qpx32f)
MORPH_API(float, 4, 32f_C4R, v, qpx32f)
#undef MORPH_API

struct Case {
    int W, H;
    Mask mask;
    std::uint32_t border;
    bool dilate;
    bool inPlace = false;
};

template <class T, int C>
void check_case(const Case& cs, Random& rnd, Place place) {
    using A = Api<T, C>;
    const Mask& k = cs.mask;
    // A narrow value range makes ties and repeated extrema common.
    const bool narrow = rnd.next<int>(0, 2) == 0;
    auto value_of = [&] { return narrow ? T(rnd.next<int>(0, 9)) : rnd.any<T>(); };
    const int pad = int(sizeof(T)) * rnd.next<int>(0, 3);
    GuardedImage<T> src(cs.W, cs.H, C, pad, place, reach(k, cs.border));
    src.fill(value_of);
    T value[4];
    for (T& v : value) v = value_of();
    const auto expect = reference<T>(k, cs.W, cs.H, C, cs.border, value, cs.dilate,
                                     [&](int x, int y, int c) { return src.at(x, y, c); });
    const std::string what = std::to_string(cs.W) + "x" + std::to_string(cs.H) + " mask " +
                             std::to_string(k.w) + "x" + std::to_string(k.h) + " border " +
                             std::to_string(cs.border) + (cs.dilate ? " dilate" : " erode");

    int specSize = 0, bufSize = 0;
    ASSERT_EQ(A::size(src.size(), k.size(), &specSize, &bufSize), qpxStatusOk);
    GuardedBuffer spec(std::size_t(specSize), place), buf(std::size_t(bufSize), place);
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    ASSERT_EQ(A::init(src.size(), k.m.data(), k.size(), sp, buf.data()), qpxStatusOk);
    GuardedImage<T> dst(cs.W, cs.H, C, pad, place);
    T* out = cs.inPlace ? src.roi() : dst.roi();
    ASSERT_EQ(A::run(cs.dilate, src.roi(), src.step(), out, cs.inPlace ? src.step() : dst.step(),
                     src.size(), cs.border, value, sp, buf.data()),
              qpxStatusOk)
        << what;
    const auto got = cs.inPlace ? src.dense() : dst.dense();
    ASSERT_EQ(std::memcmp(got.data(), expect.data(), got.size() * sizeof(T)), 0) << what;
    if (cs.inPlace) return;

    // Every target, bit for bit (the export ran the processor's own).
    std::uint32_t eff = 0;
    ASSERT_TRUE(qpx::accept_morph_border(cs.border, &eff));
    GuardedImage<T> ref(cs.W, cs.H, C, pad, place);
    for (qpx::Target t : all_targets()) {
        qpx::morph::apply<T, C>(t, cs.dilate ? qpx::morph::Op::Dilate : qpx::morph::Op::Erode,
                                qpx::View<const T>(src.view()), ref.view(), eff, value, sp,
                                buf.data());
        ASSERT_EQ(std::memcmp(ref.dense().data(), got.data(), got.size() * sizeof(T)), 0)
            << what << " on " << qpx::target_name(t);
    }

    // The 64-bit family with its type-independent spec.
    const qpxSizeL roiL{cs.W, cs.H}, maskL{k.w, k.h};
    std::int64_t specL = 0, bufL = 0;
    ASSERT_EQ(qpxiErodeGetSpecSize_L(roiL, maskL, &specL), qpxStatusOk);
    ASSERT_EQ(qpxiDilateGetBufferSize_L(roiL, maskL, A::type, C, &bufL), qpxStatusOk);
    GuardedBuffer specMemL(std::size_t(specL), place), bufMemL(std::size_t(bufL), place);
    auto* spL = reinterpret_cast<qpxMorphStateL*>(specMemL.data());
    ASSERT_EQ(qpxiErodeInit_L(roiL, k.m.data(), maskL, spL), qpxStatusOk);
    ASSERT_EQ(A::run_l(cs.dilate, src.roi(), src.step(), ref.roi(), ref.step(), roiL, cs.border,
                       value, spL, bufMemL.data()),
              qpxStatusOk);
    ASSERT_EQ(std::memcmp(ref.dense().data(), got.data(), got.size() * sizeof(T)), 0) << what;
}

// Random sizes from 1x1, random masks of every kind (even sizes included), every border kind
// with random in-memory and stage flags, including kinds that need all four sides in memory.
Case random_case(Random& rnd, int maxMask) {
    static const int widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 23, 33, 70, 131};
    static const std::uint32_t kinds[] = {1, 3, 5, 6, 1, 3, 5, 6, 0, 2, 4, 9};
    Case cs{widths[rnd.next<int>(0, 14)], rnd.next<int>(1, 12), {}, 0, rnd.next<int>(0, 1) != 0};
    cs.mask = make_mask(rnd, rnd.next<int>(1, maxMask), rnd.next<int>(1, maxMask),
                        static_cast<Shape>(rnd.next<int>(0, 4)));
    const std::uint32_t kind = kinds[rnd.next<int>(0, 11)];
    const std::uint32_t flags = rnd.next<int>(0, 1) ? std::uint32_t(rnd.next<int>(0, 15)) << 4 : 0;
    const std::uint32_t stages = rnd.next<int>(0, 1) ? std::uint32_t(rnd.next<int>(0, 15)) << 8 : 0;
    cs.border =
        kind == 1 || kind == 3 || kind == 5 || kind == 6 ? kind | flags | stages : kind | 0xF0;
    return cs;
}

template <class T, int C>
void random_cases(int count, std::uint32_t seed, bool inPlace = false) {
    Random rnd(seed);
    for (int n = 0; n < count && !::testing::Test::HasFatalFailure(); ++n) {
        Case cs = random_case(rnd, n % 4 == 0 ? 12 : 6);
        cs.inPlace = inPlace;
        check_case<T, C>(cs, rnd, n % 2 ? Place::Begin : Place::End);
    }
}

TEST(ErodeDilate, RandomCases) {
    random_cases<u8, 1>(500, 1);
    random_cases<u8, 3>(150, 2);
    random_cases<u8, 4>(150, 3);
    random_cases<u16, 1>(250, 4);
    random_cases<s16, 1>(250, 5);
    random_cases<float, 1>(300, 6);
    random_cases<float, 3>(100, 7);
    random_cases<float, 4>(100, 8);
}

// Source and destination may be the same image, mirrored bottom border included.
TEST(ErodeDilate, InPlace) {
    random_cases<u8, 1>(200, 10, true);
    random_cases<float, 3>(100, 11, true);
}

// Full rectangles: several blocks of rows, a partial last block, masks as large as or larger
// than the ROI, rows read in place, and windows wide enough for the blocked row pass.
TEST(ErodeDilate, FullRectangles) {
    Random rnd(9);
    const int sizes[][4] = {{31, 31, 70, 80}, {15, 13, 40, 47}, {9, 1, 30, 5},     {1, 9, 5, 30},
                            {7, 7, 7, 7},     {11, 21, 5, 4},   {40, 3, 20, 20},   {4, 6, 33, 19},
                            {5, 5, 1, 1},     {3, 3, 64, 3},    {31, 31, 100, 40}, {11, 5, 50, 20},
                            {131, 3, 600, 4}, {129, 1, 300, 2}, {3, 131, 20, 140}};
    for (const auto& s : sizes)
        for (std::uint32_t border : {1u, 3u, 5u, 6u, 0xF0u}) {
            Case cs{s[2], s[3], make_mask(rnd, s[0], s[1], Shape::Full), border, border != 3};
            check_case<u8, 1>(cs, rnd, Place::End);
            if (s[0] < 100) check_case<float, 3>(cs, rnd, Place::Begin);
            ASSERT_FALSE(HasFatalFailure());
        }
}

// The row pass of full rectangles on its own: every odd window width from 1 to well past the
// point where blocks take over (several blocks, partial blocks at both ends, rows shorter than a
// block), one row read in place with both sides in memory, on every target, against guard pages
// and a direct extremum.
template <class T, int C>
void row_windows(Random& rnd) {
    using qpx::morph::Op;
    for (int k = 1; k <= 151; k += k < 41 ? 2 : 14)
        for (int w : {1, 2, 15, 16, 17, 40, 97, 200}) {
            const std::size_t n = std::size_t(w + k - 1) * C;
            std::vector<T> p(n);
            for (T& v : p) v = T(rnd.next<int>(0, 200));
            std::vector<u8> mask(std::size_t(k), 1), spec(std::size_t(qpx::morph::spec_size(k, 1)));
            auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
            qpx::morph::init_spec(sp, mask.data(), {k, 1});
            const auto bufBytes = std::size_t(qpx::morph::buffer_size(w, 1, k, 1, sizeof(T), C));
            for (bool dil : {true, false}) {
                std::vector<T> want(std::size_t(w) * C);
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < C; ++c) {
                        T v = p[std::size_t(x) * C + c];
                        for (int j = 1; j < k; ++j) {
                            const T u = p[std::size_t(x + j) * C + c];
                            v = dil ? std::max(v, u) : std::min(v, u);
                        }
                        want[std::size_t(x) * C + c] = v;
                    }
                for (qpx::Target t : all_targets())
                    for (Place place : {Place::Begin, Place::End}) {
                        GuardedBuffer pMem(n * sizeof(T), place), bMem(bufBytes, place),
                            oMem(want.size() * sizeof(T), place);
                        T* in = reinterpret_cast<T*>(pMem.data());
                        T* out = reinterpret_cast<T*>(oMem.data());
                        std::copy(p.begin(), p.end(), in);
                        qpx::morph::apply<T, C>(t, dil ? Op::Dilate : Op::Erode,
                                                qpx::View<const T>(in + (k / 2) * C, 0, w, 1, C),
                                                qpx::View<T>(out, 0, w, 1, C), 0xF5, nullptr, sp,
                                                bMem.data());
                        ASSERT_EQ(std::vector<T>(out, out + want.size()), want)
                            << "k " << k << " w " << w << " C " << C << " on "
                            << qpx::target_name(t);
                    }
            }
        }
}

TEST(ErodeDilate, RowWindows) {
    Random rnd(12);
    row_windows<u8, 1>(rnd);
    row_windows<u8, 3>(rnd);
    row_windows<u8, 4>(rnd);
    row_windows<s16, 1>(rnd);
    row_windows<float, 4>(rnd);
}

// The documented corner cases, with values written out.
TEST(ErodeDilate, SmallExamples) {
    const u8 src[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    auto run = [&](std::vector<u8> mask, qpxSize ms, qpxBorderType b, u8 v, bool dilate) {
        int ss = 0, bs = 0;
        u8 dst[12];
        EXPECT_EQ(qpxiMorphologyBorderGetSize_8u_C1R({4, 3}, ms, &ss, &bs), qpxStatusOk);
        std::vector<u8> spec(static_cast<std::size_t>(ss)), buf(static_cast<std::size_t>(bs));
        auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
        EXPECT_EQ(qpxiMorphologyBorderInit_8u_C1R({4, 3}, mask.data(), ms, sp, buf.data()),
                  qpxStatusOk);
        EXPECT_EQ(dilate ? qpxiDilateBorder_8u_C1R(src, 4, dst, 4, {4, 3}, b, v, sp, buf.data())
                         : qpxiErodeBorder_8u_C1R(src, 4, dst, 4, {4, 3}, b, v, sp, buf.data()),
                  qpxStatusOk);
        return std::vector<u8>(dst, dst + 12);
    };
    const std::vector<u8> ones(9, 1), copy(src, src + 12);
    // A 2x2 mask has its anchor at the top-left element; 1, 7 and 255 all mean membership.
    EXPECT_EQ(run({1, 7, 255, 1}, {2, 2}, qpxBorderRepl, 0, true),
              (std::vector<u8>{6, 7, 8, 8, 10, 11, 12, 12, 10, 11, 12, 12}));
    // A constant 255 wins within reach of the edge.
    EXPECT_EQ(run(ones, {3, 3}, qpxBorderConst, 255, true),
              (std::vector<u8>{255, 255, 255, 255, 255, 11, 12, 255, 255, 255, 255, 255}));
    // No member, or a 1x1 mask: a plain copy, whatever the border.
    EXPECT_EQ(run({0, 0, 0, 0}, {2, 2}, qpxBorderConst, 255, true), copy);
    EXPECT_EQ(run({0}, {1, 1}, qpxBorderConst, 255, false), copy);
}

// What the mask analysis records: padded size, anchor and features.
TEST(ErodeDilate, MaskFeatures) {
    const struct {
        int w, h;
        const char* bits;
        qpx::morph::MaskInfo info;
    } rows[] = {
        {3, 3, "111111111", {3, 3, 1, 1, 0x2 | 0x10}},
        {3, 3, "000000000", {3, 3, 1, 1, 0x4 | 0x8 | 0x10}},
        {3, 3, "010111010", {3, 3, 1, 1, 0x10 | 0x20 | 0x100}},
        {5, 5, "0010001110111110111000100", {5, 5, 2, 2, 0x10 | 0x20 | 0x100 | 0x200}},
        {2, 2, "1111", {3, 3, 1, 1, 0x8 | 0x10}},
        {3, 3, "101010101", {3, 3, 1, 1, 0}},
        {3, 1, "111", {3, 1, 1, 0, 0x2 | 0x10}},
        {4, 3, "010011110100", {5, 3, 2, 1, 0x8 | 0x10}},
        {5, 3, "001001111100100", {5, 3, 2, 1, 0x10 | 0x20}},
    };
    for (const auto& r : rows) {
        std::vector<u8> m(std::size_t(r.w) * r.h), spec(1024);
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = r.bits[i] == '1' ? 9 : 0;
        auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
        qpx::morph::init_spec(sp, m.data(), {r.w, r.h});
        const auto got = qpx::morph::mask_info(sp);
        EXPECT_EQ(std::vector<int>(
                      {got.paddedW, got.paddedH, got.anchorX, got.anchorY, int(got.features)}),
                  std::vector<int>({r.info.paddedW, r.info.paddedH, r.info.anchorX, r.info.anchorY,
                                    int(r.info.features)}))
            << r.bits;
    }
}

}  // namespace
