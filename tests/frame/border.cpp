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
using i64 = std::int64_t;

bool kind_in(std::uint32_t code, std::initializer_list<unsigned> kinds) {
    return std::find(kinds.begin(), kinds.end(), code & 15) != kinds.end();
}

TEST(BorderCodes, AcceptanceRulesOverEveryCode) {
    for (std::uint32_t code = 0; code < 4096 + 64; ++code) {
        const bool all = (code & 0xF0) == 0xF0, usual = kind_in(code, {1, 3, 5, 6});
        const unsigned stage = code & 0xF00 & ~((code & 0xF0) << 4);
        std::uint32_t eff = 0;
        ASSERT_EQ(accept_filter_border(code),
                  code <= 255 && (code == 240 || kind_in(code, {1, 3, 6})));
        ASSERT_EQ(accept_extended_border(code), code <= 4095 && (usual || all)) << code;
        ASSERT_EQ(accept_gaussian_border(code), code <= 255 && (all || kind_in(code, {1, 3, 6})));
        ASSERT_EQ(accept_morph_border(code, &eff), code <= 4095 && (usual || (all && !stage)));
        if (code <= 4095 && (usual || all)) {
            ASSERT_EQ(eff, usual ? code : (code & ~15u) | 5);
        }
        ASSERT_EQ(Border::effective_stage(code), stage) << code;
        ASSERT_EQ(Border::fold_stages(code), (code & 255) | (stage >> 4)) << code;
    }
    // Worked examples: code and the verdicts of the filter, extended, Gaussian, morphology rules.
    const std::uint32_t cases[][5] = {{240, 1, 1, 1, 1},   {241, 1, 1, 1, 1},   {0, 0, 0, 0, 0},
                                      {16, 0, 0, 0, 0},    {48, 0, 0, 0, 0},    {0xF2, 0, 1, 1, 1},
                                      {4, 0, 0, 0, 0},     {5, 0, 1, 0, 1},     {0x101, 0, 1, 0, 1},
                                      {0x1F0, 0, 1, 0, 1}, {0x2D0, 0, 0, 0, 0}, {4097, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        std::uint32_t eff;
        EXPECT_EQ(accept_filter_border(c[0]), c[1] != 0) << c[0];
        EXPECT_EQ(accept_extended_border(c[0]), c[2] != 0) << c[0];
        EXPECT_EQ(accept_gaussian_border(c[0]), c[3] != 0) << c[0];
        EXPECT_EQ(accept_morph_border(c[0], &eff), c[4] != 0) << c[0];
    }
}

// Mirror by reflecting until inside, the rule as one applies it by hand.
i64 reflect(i64 i, i64 n) {
    while (n > 1 && (i < 0 || i >= n)) i = i < 0 ? -i : 2 * (n - 1) - i;
    return n > 1 ? i : 0;
}

TEST(BorderCodes, IndexMapping) {
    const int row[] = {10, 20, 30};
    const int want[] = {20, 10, 20, 30, 20, 10, 20, 30, 20, 10, 20, 30, 20};
    for (int x = -5; x < 8; ++x) EXPECT_EQ(row[map_border_index(x, 3, kBorderMirror)], want[x + 5]);
    for (i64 n : {1, 2, 3, 7})
        for (i64 i = -40; i < 40; ++i) {
            ASSERT_EQ(map_border_index(i, n, kBorderMirror), reflect(i, n)) << i << " " << n;
            ASSERT_EQ(map_border_index(i, n, kBorderRepl), std::clamp<i64>(i, 0, n - 1));
            ASSERT_EQ(map_border_index(i, n, kBorderConst), i < 0 || i >= n ? kConstIndex : i);
        }
}

// Every code the filter rule accepts, against the row/column extension rules as written.
TEST(BorderCodes, RowAndColumnExtension) {
    for (std::uint32_t code = 0; code < 256; ++code) {
        if (!accept_filter_border(code)) continue;
        for (i64 n : {1, 2, 3, 6})
            for (i64 x = -8; x < n + 8; ++x) {
                auto expect = [&](bool memBefore, bool memAfter) -> i64 {
                    if ((x < 0 && memBefore) || (x >= n && memAfter) || (x >= 0 && x < n)) return x;
                    if ((code & 15) == 6) return kConstIndex;
                    return (code & 15) == 3 ? reflect(x, n) : std::clamp<i64>(x, 0, n - 1);
                };
                ASSERT_EQ(RowExtension::make(code, n).map(x, n), expect(code & 64, code & 128));
                ASSERT_EQ(ColumnExtension::make(code, n).map(x, n), expect(code & 16, code & 32));
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
void put(std::vector<u8>& buf, i64 off, T v) {
    std::memcpy(buf.data() + off, &v, sizeof v);
}

// The forms of one kind behind one call; `Forms` lists those that exist for T and CH.
template <Kind K, int Forms, class T, int CH>
qpxStatus run(int form, const T* src, int ss, qpxSize s, T* dst, int ds, qpxSize d, int top,
              int left, const T* value, Target p) {
    const qpxSizeL sl{s.width, s.height}, dl{d.width, d.height};
    if constexpr ((Forms & (Copy | CopyL | Same)) != 0 && K == Repl)
        if (form != InPlace && form != InPlaceL)
            return form == CopyL
                       ? copy_replicate_border_l<T, CH>(src, ss, sl, dst, ds, dl, top, left, p)
                       : copy_replicate_border<T, CH>(src, ss, s, dst, ds, d, top, left, p);
    if constexpr ((Forms & (Copy | CopyL | Same)) != 0 && K == Mirror)
        if (form != InPlaceL)
            return form == CopyL
                       ? copy_mirror_border_l<T, CH>(src, ss, sl, dst, ds, dl, top, left, p)
                       : copy_mirror_border<T, CH>(src, ss, s, dst, ds, d, top, left, p);
    if constexpr (K == Const) {
        BorderValueArg<T, CH> v;
        if constexpr (CH == 1)
            v = *value;
        else
            v = value;
        return form == CopyL ? copy_const_border_l<T, CH>(src, ss, sl, dst, ds, dl, top, left, v, p)
                             : copy_const_border<T, CH>(src, ss, s, dst, ds, d, top, left, v, p);
    }
    if constexpr (K == Repl && (Forms & InPlace) != 0)
        if (form == InPlace)
            return copy_replicate_border_inplace<T, CH>(dst, ds, s, d, top, left, p);
    if constexpr (K == Repl && (Forms & InPlaceL) != 0)
        return copy_replicate_border_inplace_l<T, CH>(dst, ds, sl, dl, top, left, p);
    if constexpr (K == Mirror && (Forms & InPlaceL) != 0)
        return copy_mirror_border_inplace_l<T, CH>(dst, ds, sl, dl, top, left, p);
    return qpxStatusBadArgument;
}

// Source width and height, then the top, left, right and bottom border widths: single pixels,
// single rows and columns, borders many times wider than the image, runs long enough for the
// vector code.
const int kGeometries[][6] = {{3, 1, 0, 5, 5, 0},    {1, 1, 2, 3, 4, 1},   {1, 5, 1, 4, 3, 6},
                              {5, 1, 3, 2, 2, 3},    {4, 3, 7, 9, 10, 8},  {37, 6, 2, 3, 1, 4},
                              {20, 9, 0, 0, 0, 0},   {33, 4, 0, 17, 0, 2}, {2, 2, 5, 0, 6, 0},
                              {67, 3, 3, 33, 40, 1}, {9, 2, 0, 20, 3, 9}};

// Every geometry through every form in `Forms`, scalar and vector, both guard placements. The whole
// destination buffer, step padding included, must equal a reference built pixel by pixel.
template <Kind K, int Forms, class T, int CH>
void check_kind() {
    qpxtest::Random rnd(7 * CH + K);
    T value[CH];
    for (T& v : value) v = random_bits<T>(rnd);
    for (const auto& g : kGeometries)
        for (int form = 1; form <= Same; form <<= 1)
            for (Target target : {Target::Scalar, Target::Avx})
                for (Place place : {Place::Begin, Place::End}) {
                    if (!(Forms & form)) continue;
                    const int sw = g[0], sh = g[1], top = g[2], left = g[3];
                    const int dw = sw + left + g[4], dh = sh + top + g[5];
                    GuardedImage<T> src(sw, sh, CH, 3 * sizeof(T), place);
                    GuardedImage<T> dst(dw, dh, CH, 5 * sizeof(T), place);
                    src.fill([&] { return random_bits<T>(rnd); });
                    dst.fill([&] { return random_bits<T>(rnd); });
                    const bool inside = form >= InPlace;
                    for (int y = 0; y < sh && inside; ++y)
                        for (int x = 0; x < sw * CH; ++x)
                            dst.at(left, top + y, x) = src.at(0, y, x);
                    std::vector<u8> want = dst.snapshot();
                    const std::vector<u8> srcBefore = src.snapshot();
                    for (int y = 0; y < dh; ++y)
                        for (int x = 0; x < dw * CH; ++x) {
                            const int px = x / CH - left, py = y - top, c = x % CH;
                            const bool border = px < 0 || px >= sw || py < 0 || py >= sh;
                            const i64 sx =
                                K == Mirror ? reflect(px, sw) : std::clamp(px, 0, sw - 1);
                            const i64 sy =
                                K == Mirror ? reflect(py, sh) : std::clamp(py, 0, sh - 1);
                            put(want, i64(y) * dst.step() + x * sizeof(T),
                                K == Const && border ? value[c] : src.at(int(sx), int(sy), c));
                        }
                    T* inner = &dst.at(left, top);
                    const bool same = form == Same;
                    ASSERT_EQ((run<K, Forms, T, CH>(form, same ? inner : src.roi(),
                                                    same ? dst.step() : src.step(), {sw, sh},
                                                    inside ? inner : dst.roi(), dst.step(),
                                                    {dw, dh}, top, left, value, target)),
                              qpxStatusOk);
                    ASSERT_EQ(dst.snapshot(), want) << "form " << form << " w " << sw << " h " << sh
                                                    << " vector " << (target != Target::Scalar);
                    ASSERT_EQ(src.snapshot(), srcBefore);
                }
}

TEST(BorderCopy, Replicate) {
    constexpr int all = Copy | CopyL | InPlace | InPlaceL | Same;
    check_kind<Repl, all, u8, 1>(), check_kind<Repl, all, u8, 3>(), check_kind<Repl, all, u8, 4>();
    check_kind<Repl, all, s16, 1>(), check_kind<Repl, all, s16, 3>();
    check_kind<Repl, all, s16, 4>(), check_kind<Repl, all, s32, 3>();
    check_kind<Repl, all, float, 1>(), check_kind<Repl, all, float, 3>();
    check_kind<Repl, all, float, 4>();
}

TEST(BorderCopy, Mirror) {
    constexpr int all = Copy | CopyL | InPlaceL | Same;
    check_kind<Mirror, all, u8, 1>(), check_kind<Mirror, all, u8, 3>();
    check_kind<Mirror, all, u8, 4>(), check_kind<Mirror, all, s16, 1>();
    check_kind<Mirror, all, s16, 3>(), check_kind<Mirror, all, s16, 4>();
    check_kind<Mirror, all, float, 1>(), check_kind<Mirror, all, float, 3>();
    check_kind<Mirror, all, float, 4>(), check_kind<Mirror, InPlaceL, u16, 1>();
    check_kind<Mirror, InPlaceL, s32, 4>();
}

TEST(BorderCopy, Const) {
    constexpr int all = Copy | CopyL | Same;
    check_kind<Const, all, u8, 1>(), check_kind<Const, all, u8, 3>();
    check_kind<Const, all, u8, 4>(), check_kind<Const, all, s16, 1>();
    check_kind<Const, all, s16, 3>(), check_kind<Const, all, s16, 4>();
    check_kind<Const, all, float, 1>(), check_kind<Const, all, float, 3>();
    check_kind<Const, all, float, 4>(), check_kind<Const, all, u16, 1>();
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
    } cases[] = {
        {nullptr, D, 0, ds, 0, 3, 10, 8, 1, 1, value, qpxStatusNullPointer},
        {S, nullptr, ss, 0, 4, 3, 10, 8, -1, 1, nullptr, qpxStatusNullPointer},
        {S, D, 0, ds, 0, 3, 10, 8, 1, 1, nullptr, qpxStatusBadStep},
        {S, D, ss, -4, 4, 3, 10, 8, 1, -1, value, qpxStatusBadStep},
        {S, D, ss, ds, 0, 3, 10, 8, 1, 1, nullptr, qpxStatusBadSize},
        {S, D, ss, ds, 4, 3, 10, 0, 0, 0, value, qpxStatusBadSize},
        {S, D, ss, ds, 4, 3, 10, 8, -1, 1, value, qpxStatusBadSize},
        {S, D, ss, ds, 4, 3, 10, 8, 1, 7, value, qpxStatusBadSize},
        {S, D, ss, ds, 4, 3, 10, 8, 6, 1, value, qpxStatusBadSize},
    };
    for (const Case& c : cases)
        for (Target p : {Target::Scalar, Target::Avx}) {
            const qpxSize s{c.sw, c.sh}, d{c.dw, c.dh};
            EXPECT_EQ((copy_const_border<u8, 3>(c.src, c.srcStep, s, c.dst, c.dstStep, d, c.top,
                                                c.left, c.value, p)),
                      c.want);
            EXPECT_EQ((copy_replicate_border<u8, 3>(c.src, c.srcStep, s, c.dst, c.dstStep, d, c.top,
                                                    c.left, p)),
                      c.want);
            EXPECT_EQ((copy_mirror_border_l<u8, 3>(c.src, c.srcStep, {c.sw, c.sh}, c.dst, c.dstStep,
                                                   {c.dw, c.dh}, c.top, c.left, p)),
                      c.want);
            ASSERT_EQ(dst.snapshot(), before);
        }
    // The constant's pointer comes last, after a layout that is fine.
    EXPECT_EQ((copy_const_border<u8, 3>(S, ss, {4, 3}, D, ds, {10, 8}, 5, 6, nullptr)),
              qpxStatusNullPointer);
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

// Every width, scalar and vector, every store mode (streaming forced too), both guard placements;
// the destination is compared whole, padding included. `op` runs the primitive and returns the
// element the reference expects at (x, y, c).
template <class S, class D, int CH, class Op, class Ref>
void check_roi_op(Op op, Ref ref) {
    qpxtest::Random rnd(CH * 31 + sizeof(S) + sizeof(D));
    for (int w : qpxtest::test_widths())
        for (Target target : {Target::Scalar, Target::Avx})
            for (StoreMode mode : {StoreMode::Auto, StoreMode::Regular, StoreMode::Streaming})
                for (Place place : {Place::Begin, Place::End}) {
                    GuardedImage<S> src(w, 3, CH, 0, place);
                    GuardedImage<D> dst(w, 3, CH, 3 * sizeof(D), place);
                    src.fill([&] { return random_bits<S>(rnd); });
                    dst.fill([&] { return random_bits<D>(rnd); });
                    std::vector<u8> want = dst.snapshot();
                    for (int y = 0; y < 3; ++y)
                        for (int x = 0; x < w * CH; ++x)
                            put<D>(want, i64(y) * dst.step() + x * sizeof(D), ref(src.at(0, y, x)));
                    ASSERT_EQ(op(src, dst, target, mode), qpxStatusOk);
                    ASSERT_EQ(dst.snapshot(), want) << w;
                }
}

template <class T, int CH>
void check_copy_roi() {
    check_roi_op<T, T, CH>(
        [](auto& s, auto& d, Target p, StoreMode m) {
            return copy_roi<T, CH>(s.roi(), s.step(), d.roi(), d.step(), s.size(), p, m);
        },
        [](T v) { return v; });
}

TEST(RoiOps, CopySetConvert) {
    check_copy_roi<u8, 1>(), check_copy_roi<u8, 3>(), check_copy_roi<s16, 1>();
    check_copy_roi<u16, 1>(), check_copy_roi<float, 1>();
    check_roi_op<u8, u8, 1>(
        [](auto&, auto& d, Target p, StoreMode m) {
            return set_roi<u8>(0xA5, d.roi(), d.step(), d.size(), p, m);
        },
        [](u8) { return u8(0xA5); });
    check_roi_op<u8, s16, 1>(
        [](auto&, auto& d, Target p, StoreMode m) {
            return set_roi<s16>(-12345, d.roi(), d.step(), d.size(), p, m);
        },
        [](u8) { return s16(-12345); });
    check_roi_op<u16, float, 1>(
        [](auto& s, auto& d, Target p, StoreMode m) {
            return convert_roi(s.roi(), s.step(), d.roi(), d.step(), s.size(), p, m);
        },
        [](u16 v) { return float(int(v)); });
}

TEST(RoiOps, ArgumentOrder) {
    GuardedImage<u16> src(4, 2);
    GuardedImage<float> dst(4, 2);
    const std::vector<u8> before = dst.snapshot();
    EXPECT_EQ(convert_roi(nullptr, 0, dst.roi(), 0, {0, 0}), qpxStatusNullPointer);
    EXPECT_EQ(convert_roi(src.roi(), 0, dst.roi(), 16, {0, 0}), qpxStatusBadStep);
    EXPECT_EQ(convert_roi(src.roi(), 8, dst.roi(), 16, {4, 0}), qpxStatusBadSize);
    EXPECT_EQ((copy_roi<float, 1>(dst.roi(), 16, nullptr, 16, {4, 2})), qpxStatusNullPointer);
    EXPECT_EQ((copy_roi<float, 1>(dst.roi(), 16, dst.roi(), -16, {0, 2})), qpxStatusBadStep);
    s16* d16 = reinterpret_cast<s16*>(dst.roi());
    EXPECT_EQ(set_roi<s16>(1, nullptr, 0, {0, 0}), qpxStatusNullPointer);
    EXPECT_EQ(set_roi<s16>(1, d16, 0, {0, 0}), qpxStatusBadStep);
    EXPECT_EQ(set_roi<s16>(1, d16, 16, {4, -1}), qpxStatusBadSize);
    EXPECT_EQ(dst.snapshot(), before);
}

}  // namespace
