// Erosion/dilation: the border codes the family accepts, and the sizes.
#include <climits>

#include "erode_dilate_common.hpp"
#include "morph/morph_engine.hpp"
#include "morph/morphology_state.hpp"

namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;
using qpxtest::GuardedBuffer;

TEST(ErodeDilateSizes, Queries) {
    // Worked out by hand: 3x3 on 100x50 has edge max(3*102, 3*52) = 306, rows 16 + 32 + 128*3.
    const struct {
        qpxSize roi, mask;
        int spec, buf;
        qpxStatus (*fn)(qpxSize, qpxSize, int*, int*);
    } rows[] = {
        {{100, 50}, {3, 3}, 193, 432 + 320 + 64, qpxiMorphologyBorderGetSize_8u_C1R},
        {{100, 50}, {3, 3}, 193, 3776 + 3680 + 64, qpxiMorphologyBorderGetSize_32f_C3R},
        // Mask wider than the ROI: edge (2 + 4) * (10 + 8).
        {{8, 4}, {10, 2}, 136 + 59 * 3, 160 + 224 + 64, qpxiMorphologyBorderGetSize_16u_C1R},
        // One-row mask: edge 3 * 2 * 20.
        {{30, 20}, {5, 1}, 136 + 29, 176 + 480 + 64, qpxiMorphologyBorderGetSize_8u_C4R},
        // 1u: max(416 * 6 + 16, 16 + 80 + 128 + 1480).
        {{100, 50}, {3, 3}, 192, 2512, qpxiMorphologyBorderGetSize_1u_C1R},
    };
    for (const auto& r : rows) {
        int spec = -1, buf = -1;
        ASSERT_EQ(r.fn(r.roi, r.mask, &spec, &buf), qpxStatusOk);
        EXPECT_EQ(spec, r.spec);
        EXPECT_EQ(buf, r.buf);
    }
    std::int64_t spec = 0, buf = 0;
    ASSERT_EQ(qpxiErodeGetSpecSize_L({100, 50}, {3, 3}, &spec), qpxStatusOk);
    EXPECT_EQ(spec, 160 + 19 * 3 + 2512 + 16);
    ASSERT_EQ(qpxiErodeGetBufferSize_L({100, 50}, {3, 3}, qpx32f, 3, &buf), qpxStatusOk);
    EXPECT_EQ(buf, 7520);  // the general size, larger than the 1u one
    ASSERT_EQ(qpxiDilateGetBufferSize_L({100, 50}, {3, 3}, qpx8u, 1, &buf), qpxStatusOk);
    EXPECT_EQ(buf, 2512);  // the 1u size, larger than the general one
    ASSERT_EQ(qpxiErodeGetBufferSize_L({INT32_MAX, 3}, {3, 3}, qpx32f, 4, &buf), qpxStatusOk);
    EXPECT_GT(buf, std::int64_t(INT32_MAX) * 16 * 3);
}

// The work memory a stage uses stays inside the reported buffer; specs inside their sizes.
TEST(ErodeDilateSizes, WorkMemoryFits) {
    using namespace qpx::morph;
    for (int w = 1; w <= 40; w += (w < 12 ? 1 : 7))
        for (int h = 1; h <= 40; h += (h < 12 ? 1 : 9))
            for (int mw = 1; mw <= 14; ++mw)
                for (int mh = 1; mh <= 14; ++mh) {
                    for (int s : {1, 2, 4})
                        for (int c : {1, 3, 4})
                            for (bool full : {false, true})
                                ASSERT_LE(stage_need(w, mw | 1, mh | 1, s, c, full),
                                          buffer_size(w, h, mw, mh, s, c));
                    ASSERT_LE(stage_need_1u(w, mw | 1, mh | 1), buffer_size_1u(w, h, mw, mh));
                }
    qpxtest::Random rnd(3);
    for (int mw = 1; mw <= 24; mw += 1 + mw / 4)
        for (int mh = 1; mh <= 24; mh += 1 + mh / 4) {
            // At the very end of guarded memory, from an odd address.
            const auto k = morphtest::make_mask(rnd, mw, mh, morphtest::Shape::Random);
            GuardedBuffer a(std::size_t(spec_size(mw, mh) + 3)),
                b(std::size_t(spec_size_1u(mw, mh) + 3));
            GuardedBuffer l(std::size_t(spec_size_l(5, 5, mw, mh) + 3));
            init_spec(reinterpret_cast<qpxMorphState*>(a.data() + 3), k.m.data(), {mw, mh});
            init_spec_1u(reinterpret_cast<qpxMorphState*>(b.data() + 3), k.m.data(), {mw, mh});
            init_spec_l(reinterpret_cast<qpxMorphStateL*>(l.data() + 3), {5, 5}, k.m.data(),
                        {mw, mh});
        }
}

// Border codes and values the family accepts, and the largest 64-bit width; pointers, sizes,
// steps, refused codes and the check order are the generic argument test's.
enum Null { kSrc = 1, kDst = 2, kSpec = 4, kBuf = 8, kValue = 16, kSame = 32 };
struct Bad {
    const char* what;
    int nulls;
    std::int64_t w;
    int h, srcPad, dstPad;  // pad -1: one byte short of the row
    std::uint32_t border;
    qpxStatus expect;
    qpxStatus wideType = 0, multiChannel = 0, bits = 0;  // where the result differs
};
const Bad kRows[] = {
    {"valid", 0, 5, 4, 0, 0, 1, qpxStatusOk},
    {"kind 0, stage flag under a memory side", 0, 5, 4, 0, 0, 0x3F0, qpxStatusOk},
    {"wrap with all sides in memory", 0, 5, 4, 0, 0, 0xF2, qpxStatusOk},
    {"mirror", 0, 5, 4, 0, 0, qpxBorderMirror, qpxStatusOk, 0, 0, qpxStatusBadBorder},
    {"default with stage flags", 0, 5, 4, 0, 0, qpxBorderDefault | 0xF00, qpxStatusOk},
    {"null value, not constant", kValue, 5, 4, 0, 0, 5, qpxStatusOk},
};
const Bad kWideRows[] = {
    {"width 2^31-1 reaches the step test", 0, INT32_MAX, 4, 0, 0, 1, qpxStatusBadStep},
};

qpxStatus expected(const Bad& r, int elem, int channels, bool bits) {
    if (bits && r.bits) return r.bits;
    if (channels > 1 && r.multiChannel) return r.multiChannel;
    if (elem > 1 && r.wideType) return r.wideType;
    return r.expect;
}

// Runs every row against one export: call(src, srcStep, dst, dstStep, width, height, border,
// value, spec, buffer), with memory prepared from a valid 3x3 spec.
template <class T, class Init, class Call>
void run_rows(const char* name, int channels, bool bits, bool wide, Init&& init, Call&& call) {
    std::vector<Bad> rows(std::begin(kRows), std::end(kRows));
    if (wide) rows.insert(rows.end(), std::begin(kWideRows), std::end(kWideRows));
    for (const Bad& r : rows) {
        std::vector<u8> src(2048, 7), dst(2048, 9), spec(4096), buf(1 << 16, 2);
        const u8 mask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        init(spec.data(), mask);
        const int tight = bits ? 1 : int(5 * channels * sizeof(T));
        auto step = [&](int pad) { return pad < 0 ? tight - 1 : tight + pad + (bits ? 2 : 0); };
        T value[4] = {};
        // The source sits inside its memory so that in-memory borders have rows to read.
        u8* s = src.data() + 1024;
        const auto dstBefore = dst, bufBefore = buf;
        const qpxStatus st =
            call(r.nulls & kSrc ? nullptr : s, step(r.srcPad),
                 r.nulls & kDst    ? nullptr
                 : r.nulls & kSame ? s
                                   : dst.data(),
                 step(r.dstPad), r.w, r.h, r.border, r.nulls & kValue ? nullptr : value,
                 r.nulls & kSpec ? nullptr : spec.data(), r.nulls & kBuf ? nullptr : buf.data());
        EXPECT_EQ(st, expected(r, sizeof(T), channels, bits)) << name << ": " << r.what;
        if (st != qpxStatusOk) {
            EXPECT_TRUE(dst == dstBefore && buf == bufBefore) << name << ": " << r.what;
        }
    }
}

void init32(u8* spec, const u8* mask) {
    u8 b[1];
    ASSERT_EQ(qpxiMorphologyBorderInit_8u_C1R({5, 4}, mask, {3, 3},
                                              reinterpret_cast<qpxMorphState*>(spec), b),
              qpxStatusOk);
}
void init64(u8* spec, const u8* mask) {
    ASSERT_EQ(qpxiErodeInit_L({5, 4}, mask, {3, 3}, reinterpret_cast<qpxMorphStateL*>(spec)),
              qpxStatusOk);
}

#define TYPED_ROWS(T, C, tag, VAL)                                                              \
    for (bool dil : {true, false}) {                                                            \
        run_rows<T>(#tag, C, false, false, init32,                                              \
                    [&](u8* s, int ss, u8* d, int ds, std::int64_t w, int h, std::uint32_t b,   \
                        const T* v, u8* sp, u8* buf) {                                          \
                        auto* p = reinterpret_cast<qpxMorphState*>(sp);                         \
                        const qpxSize r{int(w), h};                                             \
                        auto* a = reinterpret_cast<T*>(s);                                      \
                        auto* o = reinterpret_cast<T*>(d);                                      \
                        return dil ? qpxiDilateBorder_##tag(a, ss, o, ds, r, b, VAL, p, buf)    \
                                   : qpxiErodeBorder_##tag(a, ss, o, ds, r, b, VAL, p, buf);    \
                    });                                                                         \
        run_rows<T>(#tag "_L", C, false, true, init64,                                          \
                    [&](u8* s, int ss, u8* d, int ds, std::int64_t w, int h, std::uint32_t b,   \
                        const T* v, u8* sp, u8* buf) {                                          \
                        auto* p = reinterpret_cast<qpxMorphStateL*>(sp);                        \
                        auto* a = reinterpret_cast<T*>(s);                                      \
                        auto* o = reinterpret_cast<T*>(d);                                      \
                        return dil ? qpxiDilate_##tag##_L(a, ss, o, ds, {w, h}, b, VAL, p, buf) \
                                   : qpxiErode_##tag##_L(a, ss, o, ds, {w, h}, b, VAL, p, buf); \
                    });                                                                         \
    }

TEST(ErodeDilateArgs, AcceptedCodes) {
    TYPED_ROWS(u8, 1, 8u_C1R, (v ? *v : u8()))
    TYPED_ROWS(u8, 3, 8u_C3R, v)
    TYPED_ROWS(u8, 4, 8u_C4R, v)
    TYPED_ROWS(u16, 1, 16u_C1R, (v ? *v : u16()))
    TYPED_ROWS(s16, 1, 16s_C1R, (v ? *v : s16()))
    TYPED_ROWS(float, 1, 32f_C1R, (v ? *v : 0.0f))
    TYPED_ROWS(float, 3, 32f_C3R, v)
    TYPED_ROWS(float, 4, 32f_C4R, v)
    for (bool dil : {true, false}) {
        auto bitsInit = [](u8* spec, const u8* mask) {
            u8 b[1];
            ASSERT_EQ(qpxiMorphologyBorderInit_1u_C1R({5, 4}, mask, {3, 3},
                                                      reinterpret_cast<qpxMorphState*>(spec), b),
                      qpxStatusOk);
        };
        run_rows<u8>(
            "1u", 1, true, false, bitsInit,
            [&](u8* s, int ss, u8* d, int ds, std::int64_t w, int h, std::uint32_t b, const u8*,
                u8* sp, u8* buf) {
                auto* p = reinterpret_cast<qpxMorphState*>(sp);
                return dil ? qpxiDilateBorder_1u_C1R(s, ss, 3, d, ds, 5, {int(w), h}, b, 1, p, buf)
                           : qpxiErodeBorder_1u_C1R(s, ss, 3, d, ds, 5, {int(w), h}, b, 1, p, buf);
            });
        run_rows<u8>("1u_L", 1, true, true, init64,
                     [&](u8* s, int ss, u8* d, int ds, std::int64_t w, int h, std::uint32_t b,
                         const u8*, u8* sp, u8* buf) {
                         auto* p = reinterpret_cast<qpxMorphStateL*>(sp);
                         return dil ? qpxiDilate_1u_C1R_L(s, ss, 3, d, ds, 5, {w, h}, b, 1, p, buf)
                                    : qpxiErode_1u_C1R_L(s, ss, 3, d, ds, 5, {w, h}, b, 1, p, buf);
                     });
    }
}

}  // namespace

// In place with a mirrored bottom border, output rows are held back in the work buffer; they must
// stay aligned and correct whatever the buffer's address.
TEST(ErodeDilateInPlace, HeldBackRowsWithAnOddBuffer) {
    const qpxSize roi{37, 9}, maskSize{3, 5};
    const std::uint8_t mask[15] = {1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1};
    int specSize = 0, bufSize = 0;
    ASSERT_EQ(qpxiMorphologyBorderGetSize_16u_C1R(roi, maskSize, &specSize, &bufSize), qpxStatusOk);
    qpxtest::GuardedBuffer spec(specSize), buf(bufSize + 1, qpxtest::Place::End);
    ASSERT_EQ(
        qpxiMorphologyBorderInit_16u_C1R(
            roi, mask, maskSize, reinterpret_cast<qpxMorphState*>(spec.data()), buf.data() + 1),
        qpxStatusOk);
    qpxtest::Random rnd(4);
    qpxtest::GuardedImage<std::uint16_t> img(roi.width, roi.height), ref(roi.width, roi.height);
    img.fill([&] { return rnd.any<std::uint16_t>(); });
    auto* st = reinterpret_cast<const qpxMorphState*>(spec.data());
    ASSERT_EQ(qpxiDilateBorder_16u_C1R(img.roi(), img.step(), ref.roi(), ref.step(), roi,
                                       qpxBorderMirror, 0, st, buf.data() + 1),
              qpxStatusOk);
    ASSERT_EQ(qpxiDilateBorder_16u_C1R(img.roi(), img.step(), img.roi(), img.step(), roi,
                                       qpxBorderMirror, 0, st, buf.data() + 1),
              qpxStatusOk);
    EXPECT_EQ(img.dense(), ref.dense());
}
