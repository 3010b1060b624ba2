// The border model: acceptance rules, index mapping, the filters' row/column extension, and the
// border-building copies with the ROI copy, fill and conversion.
#include "frame/border.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/guard.hpp"
#include "frame/border_copy.hpp"

namespace {

using namespace qpx;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;
using s32 = std::int32_t;

// ---- codes ----------------------------------------------------------------------------------

bool kind_in(std::uint32_t code, std::initializer_list<unsigned> kinds) {
    for (unsigned k : kinds)
        if ((code & 15) == k) return true;
    return false;
}

TEST(BorderCodes, AcceptanceRulesOverEveryCode) {
    for (std::uint32_t code = 0; code < 4096 + 64; ++code) {
        const bool all = (code & 0xF0) == 0xF0;
        const unsigned stage = code & 0xF00 & ~((code & 0xF0) << 4);
        const bool filter = code <= 255 && (code == 240 || kind_in(code, {1, 3, 6}));
        const bool extended = code <= 4095 && (kind_in(code, {1, 3, 5, 6}) || all);
        const bool gauss = code <= 255 && (all || kind_in(code, {1, 3, 6}));
        const bool morph = code <= 4095 && (kind_in(code, {1, 3, 5, 6}) || (all && stage == 0));
        std::uint32_t eff = 0xDEAD;
        ASSERT_EQ(accept_filter_border(code), filter) << code;
        ASSERT_EQ(accept_extended_border(code), extended) << code;
        ASSERT_EQ(accept_gaussian_border(code), gauss) << code;
        ASSERT_EQ(accept_morph_border(code, &eff), morph) << code;
        if (morph) {
            ASSERT_EQ(eff, kind_in(code, {1, 3, 5, 6}) ? code : (code & ~15u) | 5) << code;
        }
        ASSERT_EQ(Border::effective_stage(code), stage) << code;
        ASSERT_EQ(Border::fold_stages(code), (code & 255) | (stage >> 4)) << code;
    }
    // Examples read straight off the rules: code, filter, extended, gaussian, morphology.
    struct Case {
        std::uint32_t code;
        bool f, e, g, m;
    } cases[] = {{240, 1, 1, 1, 1},   {241, 1, 1, 1, 1},     {0, 0, 0, 0, 0},
                 {16, 0, 0, 0, 0},    {48, 0, 0, 0, 0},      {0xF2, 0, 1, 1, 1},
                 {2, 0, 0, 0, 0},     {0xF4, 0, 1, 1, 1},    {5, 0, 1, 0, 1},
                 {0x16, 1, 1, 1, 1},  {256 | 1, 0, 1, 0, 1}, {0x1F0, 0, 1, 0, 1},
                 {0x2D0, 0, 0, 0, 0}, {0xF07, 0, 0, 0, 0},   {4096 | 1, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        std::uint32_t eff;
        EXPECT_EQ(accept_filter_border(c.code), c.f) << c.code;
        EXPECT_EQ(accept_extended_border(c.code), c.e) << c.code;
        EXPECT_EQ(accept_gaussian_border(c.code), c.g) << c.code;
        EXPECT_EQ(accept_morph_border(c.code, &eff), c.m) << c.code;
    }
    // A stage flag under a set in-memory flag does not count, so 0x1F0 becomes the default kind.
    std::uint32_t eff = 0;
    ASSERT_TRUE(accept_morph_border(0x1F0, &eff));
    EXPECT_EQ(eff, 0x1F5u);
    EXPECT_EQ(Border::fold_stages(0x301 | 0x10), 0x31u);
}

// Mirror by reflecting until inside, the rule as a person applies it by hand.
std::int64_t reflect(std::int64_t i, std::int64_t n) {
    if (n == 1) return 0;
    while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
    return i;
}

TEST(BorderCodes, IndexMapping) {
    const int row[] = {10, 20, 30};
    const int want[] = {20, 10, 20, 30, 20, 10, 20, 30, 20, 10, 20, 30, 20};
    for (int x = -5; x < 8; ++x) EXPECT_EQ(row[map_border_index(x, 3, kBorderMirror)], want[x + 5]);
    for (std::int64_t n : {1, 2, 3, 7})
        for (std::int64_t i = -40; i < 40; ++i) {
            ASSERT_EQ(map_border_index(i, n, kBorderMirror), reflect(i, n)) << i << " " << n;
            ASSERT_EQ(map_border_index(i, n, kBorderRepl), i < 0 ? 0 : i >= n ? n - 1 : i);
            if (i < 0 || i >= n) {
                ASSERT_EQ(map_border_index(i, n, kBorderConst), kConstIndex);
            }
        }
}

// Every code the filter rule accepts, against the row/column extension rules as written.
TEST(BorderCodes, RowAndColumnExtension) {
    for (std::uint32_t code = 0; code < 256; ++code) {
        if (!accept_filter_border(code)) continue;
        for (std::int64_t n : {1, 2, 3, 6})
            for (std::int64_t x = -8; x < n + 8; ++x) {
                auto expect = [&](bool memBefore, bool memAfter) -> std::int64_t {
                    if ((x < 0 && memBefore) || (x >= n && memAfter)) return x;
                    if (x >= 0 && x < n) return x;
                    if ((code & 15) == 6) return kConstIndex;
                    if ((code & 15) == 3) return reflect(x, n);
                    return x < 0 ? 0 : n - 1;
                };
                ASSERT_EQ(RowExtension::make(code, n).map(x, n), expect(code & 0x40, code & 0x80))
                    << code << " " << n << " " << x;
                ASSERT_EQ(ColumnExtension::make(code, n).map(x, n),
                          expect(code & 0x10, code & 0x20))
                    << code << " " << n << " " << x;
            }
    }
    // A 1-pixel row replicates unless constant or a horizontal side is read from memory.
    EXPECT_EQ(RowExtension::make(kBorderMirror, 1).kind, kBorderRepl);
    EXPECT_EQ(RowExtension::make(3 | qpxBorderInMemLeft, 1).kind, kBorderMirror);
    EXPECT_EQ(RowExtension::make(kBorderConst, 1).kind, kBorderConst);
    EXPECT_EQ(ColumnExtension::make(3 | qpxBorderInMemLeft, 1).kind, kBorderRepl);
}

// ---- border copies ------------------------------------------------------------------------------

enum Kind { Repl, Mirror, Const };
enum Form { Copy = 1, CopyL = 2, InPlace = 4, InPlaceL = 8, Same = 16 };

template <class T>
T random_bits(qpxtest::Random& rnd) {
    std::uint32_t b = rnd.bits();
    T v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

template <class T>
void put(std::vector<u8>& buf, std::int64_t off, T v) {
    std::memcpy(buf.data() + off, &v, sizeof v);
}

struct Geometry {
    int sw, sh, top, left, right, bottom;
};
const Geometry kGeometries[] = {{3, 1, 0, 5, 5, 0},    {1, 1, 2, 3, 4, 1},   {1, 5, 1, 4, 3, 6},
                                {5, 1, 3, 2, 2, 3},    {4, 3, 7, 9, 10, 8},  {37, 6, 2, 3, 1, 4},
                                {20, 9, 0, 0, 0, 0},   {33, 4, 0, 17, 0, 2}, {2, 2, 5, 0, 6, 0},
                                {67, 3, 3, 33, 40, 1}, {9, 2, 0, 20, 3, 9}};

template <Kind K, int Forms, class T, int CH>
qpxStatus call(Form form, const T* src, int srcStep, qpxSize s, T* dst, int dstStep, qpxSize d,
               int top, int left, const T* value, Path path) {
    const qpxSizeL sl{s.width, s.height}, dl{d.width, d.height};
    BorderValueArg<T, CH> v;
    if constexpr (CH == 1)
        v = *value;
    else
        v = value;
    if constexpr ((Forms & (Copy | Same)) != 0) {
        if (form == Copy || form == Same) {
            if constexpr (K == Repl)
                return copy_replicate_border<T, CH>(src, srcStep, s, dst, dstStep, d, top, left,
                                                    path);
            if constexpr (K == Mirror)
                return copy_mirror_border<T, CH>(src, srcStep, s, dst, dstStep, d, top, left, path);
            if constexpr (K == Const)
                return copy_const_border<T, CH>(src, srcStep, s, dst, dstStep, d, top, left, v,
                                                path);
        }
    }
    if constexpr ((Forms & CopyL) != 0) {
        if (form == CopyL) {
            if constexpr (K == Repl)
                return copy_replicate_border_l<T, CH>(src, srcStep, sl, dst, dstStep, dl, top, left,
                                                      path);
            if constexpr (K == Mirror)
                return copy_mirror_border_l<T, CH>(src, srcStep, sl, dst, dstStep, dl, top, left,
                                                   path);
            if constexpr (K == Const)
                return copy_const_border_l<T, CH>(src, srcStep, sl, dst, dstStep, dl, top, left, v,
                                                  path);
        }
    }
    if constexpr ((Forms & InPlace) != 0)
        if (form == InPlace)
            return copy_replicate_border_inplace<T, CH>(dst, dstStep, s, d, top, left, path);
    if constexpr ((Forms & InPlaceL) != 0) {
        if (form == InPlaceL) {
            if constexpr (K == Repl)
                return copy_replicate_border_inplace_l<T, CH>(dst, dstStep, sl, dl, top, left,
                                                              path);
            else
                return copy_mirror_border_inplace_l<T, CH>(dst, dstStep, sl, dl, top, left, path);
        }
    }
    return qpxStatusBadArgument;
}

// Runs every geometry through the forms listed in `forms`, both paths and both guard
// placements, and compares the whole destination buffer (step padding included) with a
// reference built from the extension rule.
template <Kind kind, int forms, class T, int CH>
void check_kind() {
    qpxtest::Random rnd(7 * CH + kind);
    T value[CH];
    for (T& v : value) v = random_bits<T>(rnd);
    for (const Geometry& g : kGeometries)
        for (int form = 1; form <= Same; form <<= 1) {
            if (!(forms & form)) continue;
            for (Path path : {Path::Scalar, Path::Vector})
                for (Place place : {Place::Begin, Place::End}) {
                    const int dw = g.sw + g.left + g.right, dh = g.sh + g.top + g.bottom;
                    const qpxSize s{g.sw, g.sh}, d{dw, dh};
                    GuardedImage<T> src(g.sw, g.sh, CH, 3 * sizeof(T), place);
                    GuardedImage<T> dst(dw, dh, CH, 5 * sizeof(T), place);
                    src.fill([&] { return random_bits<T>(rnd); });
                    dst.fill([&] { return random_bits<T>(rnd); });
                    const bool inside = form == InPlace || form == InPlaceL || form == Same;
                    if (inside)
                        for (int y = 0; y < g.sh; ++y)
                            for (int x = 0; x < g.sw * CH; ++x)
                                dst.at(g.left, g.top + y, x) = src.at(0, y, x);
                    std::vector<u8> want = dst.snapshot();
                    const std::vector<u8> srcBefore = src.snapshot();
                    for (int y = 0; y < dh; ++y)
                        for (int x = 0; x < dw; ++x)
                            for (int c = 0; c < CH; ++c) {
                                const std::int64_t sx = kind == Mirror
                                                            ? reflect(x - g.left, g.sw)
                                                            : std::clamp(x - g.left, 0, g.sw - 1);
                                const std::int64_t sy = kind == Mirror
                                                            ? reflect(y - g.top, g.sh)
                                                            : std::clamp(y - g.top, 0, g.sh - 1);
                                const bool border = x < g.left || x >= g.left + g.sw || y < g.top ||
                                                    y >= g.top + g.sh;
                                put(want, std::int64_t(y) * dst.step() + (x * CH + c) * sizeof(T),
                                    kind == Const && border ? value[c]
                                                            : src.at(int(sx), int(sy), c));
                            }
                    T* inner = &dst.at(g.left, g.top);
                    const T* from = form == Same ? inner : src.roi();
                    T* to = inside ? inner : dst.roi();
                    const int fromStep = form == Same ? dst.step() : src.step();
                    ASSERT_EQ((call<kind, forms, T, CH>(Form(form), from, fromStep, s, to,
                                                        dst.step(), d, g.top, g.left, value, path)),
                              qpxStatusOk);
                    ASSERT_EQ(dst.snapshot(), want)
                        << "kind " << kind << " form " << form << " w " << g.sw << " h " << g.sh
                        << " vector " << (path == Path::Vector);
                    ASSERT_EQ(src.snapshot(), srcBefore);
                }
        }
}

TEST(BorderCopy, Replicate) {
    constexpr int all = Copy | CopyL | InPlace | InPlaceL | Same;
    check_kind<Repl, all, u8, 1>(), check_kind<Repl, all, u8, 3>(), check_kind<Repl, all, u8, 4>();
    check_kind<Repl, all, s16, 1>(), check_kind<Repl, all, s16, 3>(),
        check_kind<Repl, all, s16, 4>();
    check_kind<Repl, all, float, 1>(), check_kind<Repl, all, float, 3>();
    check_kind<Repl, all, float, 4>(), check_kind<Repl, all, s32, 3>();
}

TEST(BorderCopy, Mirror) {
    constexpr int all = Copy | CopyL | InPlaceL | Same;
    check_kind<Mirror, all, u8, 1>(), check_kind<Mirror, all, u8, 3>(),
        check_kind<Mirror, all, u8, 4>();
    check_kind<Mirror, all, s16, 1>(), check_kind<Mirror, all, s16, 3>();
    check_kind<Mirror, all, s16, 4>(), check_kind<Mirror, all, float, 1>();
    check_kind<Mirror, all, float, 3>(), check_kind<Mirror, all, float, 4>();
    check_kind<Mirror, InPlaceL, u16, 1>(), check_kind<Mirror, InPlaceL, s32, 4>();
}

TEST(BorderCopy, Const) {
    constexpr int all = Copy | CopyL | Same;
    check_kind<Const, all, u8, 1>(), check_kind<Const, all, u8, 3>(),
        check_kind<Const, all, u8, 4>();
    check_kind<Const, all, s16, 1>(), check_kind<Const, all, s16, 3>(),
        check_kind<Const, all, s16, 4>();
    check_kind<Const, all, float, 1>(), check_kind<Const, all, float, 3>();
    check_kind<Const, all, float, 4>(), check_kind<Const, all, u16, 1>(),
        check_kind<Const, all, s32, 1>();
}

// Pointers, then steps, then sizes, then the constant's pointer; a failed call writes nothing.
TEST(BorderCopy, ArgumentOrder) {
    GuardedImage<u8> src(4, 3, 3), dst(10, 8, 3);
    const u8 value[3] = {1, 2, 3};
    const std::vector<u8> before = dst.snapshot();
    const u8* S = src.roi();
    u8* D = dst.roi();
    const int ss = src.step(), ds = dst.step();
    struct Case {
        const u8* src;
        u8* dst;
        int srcStep, dstStep, sw, sh, dw, dh, top, left;
        const u8* value;
        qpxStatus want;
        bool constOnly;  // only the constant copy has this failure
    } cases[] = {
        {nullptr, D, 0, ds, 0, 3, 10, 8, 1, 1, value, qpxStatusNullPointer, false},
        {S, nullptr, ss, 0, 4, 3, 10, 8, -1, 1, nullptr, qpxStatusNullPointer, false},
        {S, D, 0, ds, 0, 3, 10, 8, 1, 1, nullptr, qpxStatusBadStep, false},
        {S, D, ss, -4, 4, 3, 10, 8, 1, -1, value, qpxStatusBadStep, false},
        {S, D, ss, ds, 0, 3, 10, 8, 1, 1, nullptr, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 0, 10, 8, 1, 1, value, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 3, 10, 0, 0, 0, value, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 3, 10, 8, -1, 1, value, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 3, 10, 8, 1, -1, value, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 3, 10, 8, 1, 7, value, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 3, 10, 8, 6, 1, value, qpxStatusBadSize, false},
        {S, D, ss, ds, 4, 3, 10, 8, 5, 6, nullptr, qpxStatusNullPointer, true},
    };
    for (const Case& c : cases)
        for (Path p : {Path::Scalar, Path::Vector}) {
            const qpxSize s{c.sw, c.sh}, d{c.dw, c.dh};
            EXPECT_EQ((copy_const_border<u8, 3>(c.src, c.srcStep, s, c.dst, c.dstStep, d, c.top,
                                                c.left, c.value, p)),
                      c.want);
            if (!c.constOnly) {
                EXPECT_EQ((copy_replicate_border<u8, 3>(c.src, c.srcStep, s, c.dst, c.dstStep, d,
                                                        c.top, c.left, p)),
                          c.want);
                EXPECT_EQ((copy_mirror_border_l<u8, 3>(c.src, c.srcStep, {c.sw, c.sh}, c.dst,
                                                       c.dstStep, {c.dw, c.dh}, c.top, c.left, p)),
                          c.want);
            }
            ASSERT_EQ(dst.snapshot(), before);
        }
    // In-place: its one pointer and step, then the layout.
    EXPECT_EQ((copy_replicate_border_inplace<u8, 3>(nullptr, 0, {0, 0}, {1, 1}, 0, 0)),
              qpxStatusNullPointer);
    EXPECT_EQ((copy_replicate_border_inplace<u8, 3>(D, 0, {0, 0}, {1, 1}, 0, 0)), qpxStatusBadStep);
    EXPECT_EQ((copy_mirror_border_inplace_l<u8, 3>(D, ds, {4, 3}, {10, 8}, 6, 6)),
              qpxStatusBadSize);
    // The 64-bit layout test must not overflow on extreme widths.
    EXPECT_EQ((copy_replicate_border_l<u8, 3>(S, ss, {4, 3}, D, ds, {INT64_MAX, 8}, 0, INT64_MAX)),
              qpxStatusBadSize);
    EXPECT_EQ(dst.snapshot(), before);
}

// ---- ROI copy, fill, conversion -----------------------------------------------------------------

template <class T, int CH>
void check_copy_roi() {
    qpxtest::Random rnd(CH * 31 + sizeof(T));
    for (int w : qpxtest::test_widths())
        for (Path path : {Path::Scalar, Path::Vector})
            for (StoreMode mode : {StoreMode::Auto, StoreMode::Regular, StoreMode::Streaming})
                for (Place place : {Place::Begin, Place::End}) {
                    GuardedImage<T> src(w, 3, CH, 0, place), dst(w, 3, CH, 3 * sizeof(T), place);
                    src.fill([&] { return random_bits<T>(rnd); });
                    dst.fill([&] { return random_bits<T>(rnd); });
                    std::vector<u8> want = dst.snapshot();
                    for (int y = 0; y < 3; ++y)
                        std::memcpy(want.data() + std::int64_t(y) * dst.step(), &src.at(0, y),
                                    w * CH * sizeof(T));
                    ASSERT_EQ((copy_roi<T, CH>(src.roi(), src.step(), dst.roi(), dst.step(), {w, 3},
                                               path, mode)),
                              qpxStatusOk);
                    ASSERT_EQ(dst.snapshot(), want) << w;
                }
}

TEST(RoiOps, Copy) {
    check_copy_roi<u8, 1>(), check_copy_roi<u8, 3>(), check_copy_roi<s16, 1>();
    check_copy_roi<u16, 1>(), check_copy_roi<float, 1>();
}

TEST(RoiOps, SetAndConvert) {
    qpxtest::Random rnd(3);
    for (int w : qpxtest::test_widths())
        for (Path path : {Path::Scalar, Path::Vector})
            for (StoreMode mode : {StoreMode::Auto, StoreMode::Regular, StoreMode::Streaming})
                for (Place place : {Place::Begin, Place::End}) {
                    GuardedImage<u8> b(w, 3, 1, 7, place);
                    GuardedImage<s16> h(w, 3, 1, 6, place);
                    GuardedImage<u16> src(w, 3, 1, 2, place);
                    GuardedImage<float> f(w, 3, 1, 4, place);
                    b.fill([&] { return rnd.any<u8>(); });
                    h.fill([&] { return rnd.any<s16>(); });
                    src.fill([&] { return rnd.any<u16>(); });
                    src.at(0, 0) = 65535, src.at(w - 1, 2) = 0;
                    std::vector<u8> wantB = b.snapshot(), wantH = h.snapshot(),
                                    wantF = f.snapshot();
                    for (int y = 0; y < 3; ++y)
                        for (int x = 0; x < w; ++x) {
                            put<u8>(wantB, std::int64_t(y) * b.step() + x, 0xA5);
                            put<s16>(wantH, std::int64_t(y) * h.step() + 2 * x, -12345);
                            put<float>(wantF, std::int64_t(y) * f.step() + 4 * x,
                                       float(int(src.at(x, y))));
                        }
                    ASSERT_EQ((set_roi<u8>(0xA5, b.roi(), b.step(), {w, 3}, path, mode)), 0);
                    ASSERT_EQ((set_roi<s16>(-12345, h.roi(), h.step(), {w, 3}, path, mode)), 0);
                    ASSERT_EQ(
                        (convert_roi(src.roi(), src.step(), f.roi(), f.step(), {w, 3}, path, mode)),
                        0);
                    ASSERT_EQ(b.snapshot(), wantB) << w;
                    ASSERT_EQ(h.snapshot(), wantH) << w;
                    ASSERT_EQ(f.snapshot(), wantF) << w;
                }
}

TEST(RoiOps, ArgumentOrder) {
    GuardedImage<u16> src(4, 2);
    GuardedImage<float> dst(4, 2);
    const std::vector<u8> before = dst.snapshot();
    EXPECT_EQ((convert_roi(nullptr, 0, dst.roi(), 0, {0, 0})), qpxStatusNullPointer);
    EXPECT_EQ((convert_roi(src.roi(), 0, dst.roi(), 16, {0, 0})), qpxStatusBadStep);
    EXPECT_EQ((convert_roi(src.roi(), 8, dst.roi(), 16, {4, 0})), qpxStatusBadSize);
    EXPECT_EQ((copy_roi<float, 1>(dst.roi(), 16, nullptr, 16, {4, 2})), qpxStatusNullPointer);
    EXPECT_EQ((copy_roi<float, 1>(dst.roi(), 16, dst.roi(), -16, {0, 2})), qpxStatusBadStep);
    EXPECT_EQ((set_roi<s16>(1, nullptr, 0, {0, 0})), qpxStatusNullPointer);
    EXPECT_EQ((set_roi<s16>(1, reinterpret_cast<s16*>(dst.roi()), 0, {0, 0})), qpxStatusBadStep);
    EXPECT_EQ((set_roi<s16>(1, reinterpret_cast<s16*>(dst.roi()), 16, {4, -1})), qpxStatusBadSize);
    EXPECT_EQ(dst.snapshot(), before);
}

}  // namespace
