// Erosion/dilation argument checks (order, and nothing written on failure) and the size queries.
#include <climits>
#include <cstring>
#include <algorithm>
#include <functional>

#include "erode_dilate_common.hpp"
#include "morph/morph_engine.hpp"
#include "morph/morphology_state.hpp"

using qpxtest::GuardedBuffer;

namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;

// ---- sizes ------------------------------------------------------------------------------------

TEST(ErodeDilateSizes, ThirtyTwoBitQueries) {
    struct Row {
        qpxSize roi, mask;
        int spec, buf;  // worked out by hand from the formulas
        qpxStatus (*fn)(qpxSize, qpxSize, int*, int*);
    };
    const Row rows[] = {
        // 3x3 on 100x50: edge max(3*102, 3*52) = 306; rows 16 + 32 + 128*3 = 432; + 320 + 64.
        {{100, 50}, {3, 3}, 193, 816, qpxiMorphologyBorderGetSize_8u_C1R},
        // 32f C3: s*c = 12; rows 64 + A(36)=64 + A(1200)=1216*3 = 3776; edge 306*12 = 3672 -> 3680.
        {{100, 50}, {3, 3}, 193, 7520, qpxiMorphologyBorderGetSize_32f_C3R},
        // Mask wider than the ROI: edge (2*1 + 4) * (2*5 + 8) = 108; rows 32 + 32 + 32*3; 16u.
        {{8, 4},
         {10, 2},
         136 + 59 * 3,
         32 + 32 + 32 * 3 + 224 + 64,
         qpxiMorphologyBorderGetSize_16u_C1R},
        // One-row mask: ky = 0, edge = 3*2*(0+20) = 120; rows 16 + 32 + 32*1; 8u C4 (s*c = 4).
        {{30, 20}, {5, 1}, 136 + 29, 16 + 32 + 128 + 480 + 64, qpxiMorphologyBorderGetSize_8u_C4R},
        // 1u, 3x3 on 100x50: spec 3*16 + 144; buffer max(416*6 + 16, 16 + 80 + 128 + 1480).
        {{100, 50}, {3, 3}, 192, 2512, qpxiMorphologyBorderGetSize_1u_C1R},
    };
    for (const Row& r : rows) {
        int spec = -1, buf = -1;
        ASSERT_EQ(r.fn(r.roi, r.mask, &spec, &buf), qpxStatusOk);
        EXPECT_EQ(spec, r.spec);
        EXPECT_EQ(buf, r.buf);
    }
}

TEST(ErodeDilateSizes, SixtyFourBitQueries) {
    std::int64_t spec = 0, buf = 0;
    // general 160 + 19*3 = 217, 1u part 2512 (as above), + 16.
    ASSERT_EQ(qpxiErodeGetSpecSize_L({100, 50}, {3, 3}, &spec), qpxStatusOk);
    EXPECT_EQ(spec, 217 + 2512 + 16);
    ASSERT_EQ(qpxiDilateGetSpecSize_L({100, 50}, {3, 3}, &spec), qpxStatusOk);
    EXPECT_EQ(spec, 217 + 2512 + 16);
    // The larger of the general size and the 1u work size.
    ASSERT_EQ(qpxiErodeGetBufferSize_L({100, 50}, {3, 3}, qpx32f, 3, &buf), qpxStatusOk);
    EXPECT_EQ(buf, 7520);
    ASSERT_EQ(qpxiDilateGetBufferSize_L({100, 50}, {3, 3}, qpx8u, 1, &buf), qpxStatusOk);
    EXPECT_EQ(buf, 2512);
    // Sizes beyond 32 bits are computed in 64 bits.
    ASSERT_EQ(qpxiErodeGetBufferSize_L({INT32_MAX, 3}, {3, 3}, qpx32f, 4, &buf), qpxStatusOk);
    EXPECT_GT(buf, std::int64_t(INT32_MAX) * 16 * 3);
}

// The work memory a stage uses, and the specs, stay inside the reported sizes.
TEST(ErodeDilateSizes, WorkMemoryFitsTheReportedSizes) {
    using namespace qpx::morph;
    for (int w = 1; w <= 40; w += (w < 12 ? 1 : 7))
        for (int h = 1; h <= 40; h += (h < 12 ? 1 : 9))
            for (int mw = 1; mw <= 14; ++mw)
                for (int mh = 1; mh <= 14; ++mh)
                    for (int sc : {1, 2, 3, 4, 12, 16}) {
                        const int s = sc % 4 == 0 ? 4 : sc % 2 == 0 ? 2 : 1, c = sc / s;
                        const std::int64_t size = buffer_size(w, h, mw, mh, s, c);
                        for (bool full : {false, true})
                            ASSERT_LE(stage_need(w, mw | 1, mh | 1, s, c, full), size)
                                << w << "x" << h << " mask " << mw << "x" << mh << " s*c " << sc;
                        ASSERT_LE(stage_need_1u(w, mw | 1, mh | 1), buffer_size_1u(w, h, mw, mh));
                    }
    // Specs initialised at the end of exactly sized guarded memory, at odd alignments too.
    qpxtest::Random rnd(3);
    for (int mw = 1; mw <= 24; mw += 1 + mw / 4)
        for (int mh = 1; mh <= 24; mh += 1 + mh / 4)
            for (int shift = 0; shift < 8; shift += 3) {
                const auto k = morphtest::make_mask(rnd, mw, mh, morphtest::Shape::Random);
                GuardedBuffer a(std::size_t(spec_size(mw, mh) + shift));
                init_spec(reinterpret_cast<qpxMorphState*>(a.data() + shift), k.m.data(), {mw, mh});
                GuardedBuffer b(std::size_t(spec_size_1u(mw, mh) + shift));
                init_spec_1u(reinterpret_cast<qpxMorphState*>(b.data() + shift), k.m.data(),
                             {mw, mh});
                GuardedBuffer l(std::size_t(spec_size_l(5, 5, mw, mh) + shift));
                init_spec_l(reinterpret_cast<qpxMorphStateL*>(l.data() + shift), {5, 5}, k.m.data(),
                            {mw, mh});
            }
}

// ---- argument checks ----------------------------------------------------------------------------

// One call with all arguments valid that a table entry can break one or two at a time.
struct Call {
    int W = 5, H = 4;
    int srcStep = 0, dstStep = 0;  // 0: tight
    bool nullSrc = false, nullDst = false, nullSpec = false, nullBuf = false, nullValue = false;
    bool inPlace = false;
    std::uint32_t border = qpxBorderRepl;
    int srcOff = 0, dstOff = 0;
    std::int64_t wideW = 0;  // 64-bit family: replaces the width when set
};

struct Row {
    const char* what;
    std::function<void(Call&)> change;
    qpxStatus expect;
};

// Runs the table against one export, checking that failures leave every output untouched.
template <class T, int C, class Fn>
void check_table(const char* name, const std::vector<Row>& rows, Fn&& fn) {
    for (const Row& r : rows) {
        Call c;
        r.change(c);
        const int tight = int(c.W * C * sizeof(T));
        std::vector<u8> src(4096, 7), dst(4096, 9), spec(4096, 1), buf(1 << 16, 2);
        std::vector<T> value(4, T(3));
        // A valid spec from a 3x3 mask, so that only the argument under test can fail.
        const u8 mask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        auto dstBefore = dst;
        auto specBefore = spec;
        auto bufBefore = buf;
        // The source sits inside its memory so that in-memory borders have rows to read.
        const qpxStatus st = fn(c, tight, src.data() + 1024, dst.data(), spec.data(), buf.data(),
                                value.data(), mask);
        EXPECT_EQ(st, r.expect) << name << ": " << r.what;
        if (st != qpxStatusOk && r.expect != qpxStatusOk) {
            EXPECT_TRUE(dst == dstBefore) << name << ": " << r.what << " wrote the destination";
            EXPECT_TRUE(buf == bufBefore) << name << ": " << r.what << " wrote the buffer";
            (void)specBefore;
        }
    }
}

// The rows every element-type apply export shares.
template <class T, int C>
std::vector<Row> typed_rows(bool wide) {
    std::vector<Row> rows = {
        {"valid", [](Call&) {}, qpxStatusOk},
        {"null src", [](Call& c) { c.nullSrc = true; }, qpxStatusNullPointer},
        {"null dst", [](Call& c) { c.nullDst = true; }, qpxStatusNullPointer},
        {"null spec", [](Call& c) { c.nullSpec = true; }, qpxStatusNullPointer},
        {"null buffer", [](Call& c) { c.nullBuf = true; }, qpxStatusNullPointer},
        {"null before size", [](Call& c) { c.nullDst = true, c.W = 0; }, qpxStatusNullPointer},
        {"zero width", [](Call& c) { c.W = 0; }, qpxStatusBadSize},
        {"zero height", [](Call& c) { c.H = 0; }, qpxStatusBadSize},
        {"size before step", [](Call& c) { c.H = -1, c.srcStep = 1; }, qpxStatusBadSize},
        {"short src step", [](Call& c) { c.srcStep = -1; }, qpxStatusBadStep},
        {"short dst step", [](Call& c) { c.dstStep = -1; }, qpxStatusBadStep},
        {"step before border", [](Call& c) { c.dstStep = -1, c.border = 4096; }, qpxStatusBadStep},
        {"border 4096", [](Call& c) { c.border = 4096; }, qpxStatusBadBorder},
        {"wrap", [](Call& c) { c.border = qpxBorderWrap; }, qpxStatusBadBorder},
        {"mirror r", [](Call& c) { c.border = qpxBorderMirrorR; }, qpxStatusBadBorder},
        {"kind 0 without all sides", [](Call& c) { c.border = 0x70; }, qpxStatusBadBorder},
        {"kind 0 with stage flag", [](Call& c) { c.border = 0x2F0 | 0x100; }, qpxStatusOk},
        {"wrap with all sides", [](Call& c) { c.border = 0xF2; }, qpxStatusOk},
        {"mirror", [](Call& c) { c.border = qpxBorderMirror; }, qpxStatusOk},
        {"default", [](Call& c) { c.border = qpxBorderDefault | 0xF00; }, qpxStatusOk},
        {"const", [](Call& c) { c.border = qpxBorderConst; }, qpxStatusOk},
        {"in place", [](Call& c) { c.inPlace = true; }, qpxStatusOk},
        {"1x1", [](Call& c) { c.W = 1, c.H = 1; }, qpxStatusOk},
    };
    if (sizeof(T) > 1) {
        rows.push_back(
            {"step not a multiple", [](Call& c) { c.srcStep = 1; }, qpxStatusStepNotMultiple});
        rows.push_back(
            {"dst step not a multiple", [](Call& c) { c.dstStep = 1; }, qpxStatusStepNotMultiple});
        rows.push_back({"short step before multiple",
                        [](Call& c) { c.srcStep = 1, c.dstStep = -1; }, qpxStatusBadStep});
    }
    if (C > 1) {
        rows.push_back({"null constant",
                        [](Call& c) { c.border = qpxBorderConst, c.nullValue = true; },
                        qpxStatusNullPointer});
        rows.push_back(
            {"null constant first",
             [](Call& c) { c.border = qpxBorderConst | 0x1000, c.nullValue = true, c.W = 0; },
             qpxStatusNullPointer});
        rows.push_back(
            {"null value, not constant", [](Call& c) { c.nullValue = true; }, qpxStatusOk});
    }
    if (wide) {
        rows.push_back({"width 2^31", [](Call& c) { c.wideW = std::int64_t(1) << 31; },
                        qpxStatusSizeTooLarge});
        rows.push_back({"width 2^31-1 passes the size test", [](Call& c) { c.wideW = INT32_MAX; },
                        qpxStatusBadStep});
        rows.push_back({"width -1", [](Call& c) { c.wideW = -1; }, qpxStatusBadSize});
    }
    return rows;
}

// Steps: 0 keeps the tight step, -1 one byte short, any other value is added to the tight step.
inline int step_of(int req, int tight) {
    return req == 0 ? tight : req < 0 ? tight - 1 : tight + req;
}

template <class T, int C, class Init, class Run>
void check_typed(const char* name, bool wide, Init&& init, Run&& run) {
    check_table<T, C>(
        name, typed_rows<T, C>(wide),
        [&](const Call& c, int tight, u8* s, u8* d, u8* spec, u8* buf, T* value, const u8* mask) {
            init(spec, mask);
            T* src = reinterpret_cast<T*>(s);
            T* dst = c.inPlace ? src : reinterpret_cast<T*>(d);
            return run(c.nullSrc ? nullptr : src, step_of(c.srcStep, tight),
                       c.nullDst ? nullptr : dst, step_of(c.dstStep, tight),
                       c.wideW ? c.wideW : c.W, c.H, c.border, c.nullValue ? nullptr : value,
                       c.nullSpec ? nullptr : spec, c.nullBuf ? nullptr : buf);
        });
}

#define CHECK_TYPED(T, C, tag, VAL)                                                              \
    {                                                                                            \
        auto init = [](u8* spec, const u8* mask) {                                               \
            u8 b[1];                                                                             \
            ASSERT_EQ(qpxiMorphologyBorderInit_##tag({5, 4}, mask, {3, 3},                       \
                                                     reinterpret_cast<qpxMorphState*>(spec), b), \
                      qpxStatusOk);                                                              \
        };                                                                                       \
        auto initL = [](u8* spec, const u8* mask) {                                              \
            ASSERT_EQ(                                                                           \
                qpxiErodeInit_L({5, 4}, mask, {3, 3}, reinterpret_cast<qpxMorphStateL*>(spec)),  \
                qpxStatusOk);                                                                    \
        };                                                                                       \
        for (bool dil : {true, false}) {                                                         \
            check_typed<T, C>(                                                                   \
                #tag, false, init,                                                               \
                [&](const T* s, int ss, T* d, int ds, std::int64_t w, int h, std::uint32_t b,    \
                    const T* v, u8* sp, u8* buf) {                                               \
                    auto* p = reinterpret_cast<qpxMorphState*>(sp);                              \
                    const qpxSize r{int(w), h};                                                  \
                    return dil ? qpxiDilateBorder_##tag(s, ss, d, ds, r, b, VAL, p, buf)         \
                               : qpxiErodeBorder_##tag(s, ss, d, ds, r, b, VAL, p, buf);         \
                });                                                                              \
            check_typed<T, C>(                                                                   \
                #tag "_L", true, initL,                                                          \
                [&](const T* s, int ss, T* d, int ds, std::int64_t w, int h, std::uint32_t b,    \
                    const T* v, u8* sp, u8* buf) {                                               \
                    auto* p = reinterpret_cast<qpxMorphStateL*>(sp);                             \
                    const qpxSizeL r{w, h};                                                      \
                    return dil ? qpxiDilate_##tag##_L(s, ss, d, ds, r, b, VAL, p, buf)           \
                               : qpxiErode_##tag##_L(s, ss, d, ds, r, b, VAL, p, buf);           \
                });                                                                              \
        }                                                                                        \
    }

TEST(ErodeDilateArgs, ElementTypeExports){
    CHECK_TYPED(u8, 1, 8u_C1R, (v ? *v : u8())) CHECK_TYPED(u8, 3, 8u_C3R, v)
        CHECK_TYPED(u8, 4, 8u_C4R, v) CHECK_TYPED(u16, 1, 16u_C1R, (v ? *v : u16()))
            CHECK_TYPED(s16, 1, 16s_C1R, (v ? *v : s16()))
                CHECK_TYPED(float, 1, 32f_C1R, (v ? *v : 0.0f)) CHECK_TYPED(float, 3, 32f_C3R, v)
                    CHECK_TYPED(float, 4, 32f_C4R, v)}

TEST(ErodeDilateArgs, BitPackedExports) {
    std::vector<Row> rows = {
        {"valid", [](Call&) {}, qpxStatusOk},
        {"null src", [](Call& c) { c.nullSrc = true; }, qpxStatusNullPointer},
        {"null dst", [](Call& c) { c.nullDst = true; }, qpxStatusNullPointer},
        {"null spec", [](Call& c) { c.nullSpec = true; }, qpxStatusNullPointer},
        {"null buffer", [](Call& c) { c.nullBuf = true, c.W = 0; }, qpxStatusNullPointer},
        {"zero width", [](Call& c) { c.W = 0; }, qpxStatusBadSize},
        {"negative src offset", [](Call& c) { c.srcOff = -1, c.srcStep = -1; }, qpxStatusBadSize},
        {"negative dst offset", [](Call& c) { c.dstOff = -1; }, qpxStatusBadSize},
        {"large offsets", [](Call& c) { c.srcOff = 13, c.dstOff = 7; }, qpxStatusOk},
        {"short step", [](Call& c) { c.srcStep = -1, c.border = 3; }, qpxStatusBadStep},
        {"mirror", [](Call& c) { c.border = qpxBorderMirror; }, qpxStatusBadBorder},
        {"mirror before in place", [](Call& c) { c.border = 3, c.inPlace = true; },
         qpxStatusBadBorder},
        {"border 4096", [](Call& c) { c.border = 4096 | 1; }, qpxStatusBadBorder},
        {"all in memory", [](Call& c) { c.border = 0xF0; }, qpxStatusOk},
        {"in place", [](Call& c) { c.inPlace = true; }, qpxStatusInPlaceNotSupported},
    };
    for (bool wide : {false, true})
        for (bool dil : {true, false}) {
            std::vector<Row> all = rows;
            if (wide) {
                all.push_back({"width 2^31", [](Call& c) { c.wideW = std::int64_t(1) << 31; },
                               qpxStatusSizeTooLarge});
                all.push_back({"width -1", [](Call& c) { c.wideW = -1; }, qpxStatusBadSize});
            }
            check_table<u8, 1>(
                wide ? "1u_L" : "1u", all,
                [&](const Call& c, int, u8* s, u8* d, u8* sp, u8* buf, u8*, const u8* mask) {
                    const int tight = (c.W + 7) >> 3;
                    const int ss = step_of(c.srcStep, tight) + 4;
                    const int ds = step_of(c.dstStep, tight) + 4;
                    const int sStep = c.srcStep < 0 ? tight - 1 : ss;
                    const int dStep = c.dstStep < 0 ? tight - 1 : ds;
                    const u8* src = c.nullSrc ? nullptr : s;
                    u8* dst = c.nullDst ? nullptr : c.inPlace ? s : d;
                    u8* b = c.nullBuf ? nullptr : buf;
                    if (wide) {
                        auto* p = reinterpret_cast<qpxMorphStateL*>(sp);
                        EXPECT_EQ(qpxiErodeInit_L({5, 4}, mask, {3, 3}, p), 0);
                        const qpxSizeL r{c.wideW ? c.wideW : c.W, c.H};
                        if (c.nullSpec) p = nullptr;
                        return dil ? qpxiDilate_1u_C1R_L(src, sStep, c.srcOff, dst, dStep, c.dstOff,
                                                         r, c.border, 1, p, b)
                                   : qpxiErode_1u_C1R_L(src, sStep, c.srcOff, dst, dStep, c.dstOff,
                                                        r, c.border, 1, p, b);
                    }
                    auto* p = reinterpret_cast<qpxMorphState*>(sp);
                    EXPECT_EQ(qpxiMorphologyBorderInit_1u_C1R({5, 4}, mask, {3, 3}, p, buf), 0);
                    if (c.nullSpec) p = nullptr;
                    const qpxSize r{c.W, c.H};
                    return dil ? qpxiDilateBorder_1u_C1R(src, sStep, c.srcOff, dst, dStep, c.dstOff,
                                                         r, c.border, 1, p, b)
                               : qpxiErodeBorder_1u_C1R(src, sStep, c.srcOff, dst, dStep, c.dstOff,
                                                        r, c.border, 1, p, b);
                });
        }
}

TEST(ErodeDilateArgs, SizeQueriesAndInit) {
    using GetSize = qpxStatus (*)(qpxSize, qpxSize, int*, int*);
    using Init = qpxStatus (*)(qpxSize, const u8*, qpxSize, qpxMorphState*, u8*);
    const GetSize sizes[] = {
        qpxiMorphologyBorderGetSize_8u_C1R,  qpxiMorphologyBorderGetSize_8u_C3R,
        qpxiMorphologyBorderGetSize_8u_C4R,  qpxiMorphologyBorderGetSize_16u_C1R,
        qpxiMorphologyBorderGetSize_16s_C1R, qpxiMorphologyBorderGetSize_32f_C1R,
        qpxiMorphologyBorderGetSize_32f_C3R, qpxiMorphologyBorderGetSize_32f_C4R,
        qpxiMorphologyBorderGetSize_1u_C1R};
    const Init inits[] = {qpxiMorphologyBorderInit_8u_C1R,  qpxiMorphologyBorderInit_8u_C3R,
                          qpxiMorphologyBorderInit_8u_C4R,  qpxiMorphologyBorderInit_16u_C1R,
                          qpxiMorphologyBorderInit_16s_C1R, qpxiMorphologyBorderInit_32f_C1R,
                          qpxiMorphologyBorderInit_32f_C3R, qpxiMorphologyBorderInit_32f_C4R,
                          qpxiMorphologyBorderInit_1u_C1R};
    int a = -5, b = -5;
    const u8 mask[4] = {1, 0, 1, 1};
    std::vector<u8> spec(512, 0xAB);
    u8 buf[4];
    auto* sp = reinterpret_cast<qpxMorphState*>(spec.data());
    for (GetSize f : sizes) {
        EXPECT_EQ(f({4, 4}, {3, 3}, nullptr, &b), qpxStatusNullPointer);
        EXPECT_EQ(f({0, 4}, {3, 3}, &a, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(f({0, 4}, {3, 3}, &a, &b), qpxStatusBadSize);
        EXPECT_EQ(f({4, 4}, {3, 0}, &a, &b), qpxStatusBadSize);
        EXPECT_EQ(a, -5);
        EXPECT_EQ(b, -5);
    }
    for (Init f : inits) {
        EXPECT_EQ(f({4, 4}, nullptr, {2, 2}, sp, buf), qpxStatusNullPointer);
        EXPECT_EQ(f({4, 4}, mask, {2, 2}, nullptr, buf), qpxStatusNullPointer);
        EXPECT_EQ(f({0, 4}, mask, {2, 2}, sp, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(f({4, 0}, mask, {2, 2}, sp, buf), qpxStatusBadSize);
        EXPECT_EQ(f({4, 4}, mask, {0, 2}, sp, buf), qpxStatusBadSize);
        EXPECT_TRUE(std::all_of(spec.begin(), spec.end(), [](u8 v) { return v == 0xAB; }));
    }

    using SpecL = qpxStatus (*)(qpxSizeL, qpxSizeL, std::int64_t*);
    using BufL = qpxStatus (*)(qpxSizeL, qpxSizeL, qpxDataType, int, std::int64_t*);
    using InitL = qpxStatus (*)(qpxSizeL, const u8*, qpxSizeL, qpxMorphStateL*);
    const std::int64_t big = std::int64_t(1) << 31;
    std::int64_t v = -5;
    for (SpecL f : {qpxiErodeGetSpecSize_L, qpxiDilateGetSpecSize_L}) {
        EXPECT_EQ(f({0, 4}, {3, 3}, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(f({big, -1}, {3, 3}, &v), qpxStatusSizeTooLarge);
        EXPECT_EQ(f({4, -1}, {3, 3}, &v), qpxStatusBadSize);
        EXPECT_EQ(v, -5);
    }
    for (BufL f : {qpxiErodeGetBufferSize_L, qpxiDilateGetBufferSize_L}) {
        v = -5;
        EXPECT_EQ(f({0, 4}, {3, 3}, 99, 2, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(f({4, big}, {0, 3}, 99, 2, &v), qpxStatusSizeTooLarge);
        EXPECT_EQ(f({4, 4}, {0, 3}, 99, 2, &v), qpxStatusBadSize);
        EXPECT_EQ(f({4, 4}, {3, 3}, qpx32s, 2, &v), qpxStatusBadDataType);
        EXPECT_EQ(f({4, 4}, {3, 3}, qpx64f, 1, &v), qpxStatusBadDataType);
        EXPECT_EQ(f({4, 4}, {3, 3}, qpx16s, 2, &v), qpxStatusBadChannel);
        EXPECT_EQ(v, -5);
        for (qpxDataType t : {qpx1u, qpx8u, qpx16u, qpx16s, qpx32f})
            for (int ch : {1, 3, 4}) EXPECT_EQ(f({4, 4}, {3, 3}, t, ch, &v), qpxStatusOk);
    }
    std::vector<u8> specL(4096, 0xAB);
    auto* spl = reinterpret_cast<qpxMorphStateL*>(specL.data());
    for (InitL f : {qpxiErodeInit_L, qpxiDilateInit_L}) {
        std::fill(specL.begin(), specL.end(), u8(0xAB));
        EXPECT_EQ(f({big, 4}, nullptr, {2, 2}, spl), qpxStatusNullPointer);
        EXPECT_EQ(f({4, 4}, mask, {2, 2}, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(f({big, 0}, mask, {2, 2}, spl), qpxStatusBadSize);
        EXPECT_EQ(f({big, 4}, mask, {2, 2}, spl), qpxStatusSizeTooLarge);
        EXPECT_TRUE(std::all_of(specL.begin(), specL.end(), [](u8 x) { return x == 0xAB; }));
        EXPECT_EQ(f({4, 4}, mask, {2, 2}, spl), qpxStatusOk);
    }
}

}  // namespace
