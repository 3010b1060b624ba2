// Argument checks of the fixed-filter exports: the order in which failures are reported, that a
// failed call writes nothing, and the buffer-size queries against their formulas.
#include <gtest/gtest.h>

#include <functional>

#include "common/guard.hpp"
#include "filter/fixed_reference.hpp"

namespace {

using qpxtest::GuardedImage;
using u8 = std::uint8_t;
using i16 = std::int16_t;

// One call with every argument in untyped form, so that one table drives all six filters.
struct Args {
    bool srcNull = false, dstNull = false, bufNull = false;
    qpxSize roi{8, 4};
    int srcStep = 0, dstStep = 0;  // 0: tight
    int mask = 33;
    unsigned border = qpxBorderRepl;
};

using Call = std::function<qpxStatus(const Args&, void* src, void* dst, u8* buf)>;

struct Filter {
    const char* name;
    int srcElem, dstElem;
    Call call;
};

template <class S, class D, class F>
Call wrap(F f) {
    return [f](const Args& a, void* s, void* d, u8* b) {
        const int ss = a.srcStep ? a.srcStep : 8 * int(sizeof(S));
        const int ds = a.dstStep ? a.dstStep : 8 * int(sizeof(D));
        return f(a.srcNull ? nullptr : static_cast<const S*>(s), ss,
                 a.dstNull ? nullptr : static_cast<D*>(d), ds, a.roi, a.mask, a.border, S(0),
                 a.bufNull ? nullptr : b);
    };
}

const std::vector<Filter>& filters() {
    static const std::vector<Filter> f = {
        {"SobelCross8u16s", 1, 2, wrap<u8, i16>(qpxiFilterSobelCrossBorder_8u16s_C1R)},
        {"SobelCross32f", 4, 4, wrap<float, float>(qpxiFilterSobelCrossBorder_32f_C1R)},
        {"Laplacian8u16s", 1, 2, wrap<u8, i16>(qpxiFilterLaplacianBorder_8u16s_C1R)},
        {"Laplacian32f", 4, 4, wrap<float, float>(qpxiFilterLaplacianBorder_32f_C1R)},
        {"Lowpass8u", 1, 1, wrap<u8, u8>(qpxiFilterLowpassBorder_8u_C1R)},
        {"Lowpass32f", 4, 4, wrap<float, float>(qpxiFilterLowpassBorder_32f_C1R)},
    };
    return f;
}

TEST(FixedChecks, FilterCheckOrder) {
    for (const Filter& f : filters()) {
        const int sRow = 8 * f.srcElem, dRow = 8 * f.dstElem;
        // A step one byte past the row: a multiple-of failure for 16- and 32-bit images only.
        const int sOdd = sRow + 1, dOdd = dRow + 1;
        struct Row {
            Args a;
            qpxStatus st;
        };
        std::vector<Row> rows;
        auto add = [&](qpxStatus st, auto edit) {
            Args a;
            edit(a);
            rows.push_back({a, st});
        };
        add(qpxStatusNullPointer, [](Args& a) { a.srcNull = true, a.roi = {0, 0}, a.mask = 0; });
        add(qpxStatusNullPointer, [](Args& a) { a.dstNull = true, a.border = 999; });
        add(qpxStatusNullPointer, [](Args& a) { a.bufNull = true, a.srcStep = 1; });
        add(qpxStatusBadSize, [](Args& a) { a.roi = {8, 0}, a.srcStep = 1, a.mask = 0; });
        add(qpxStatusBadSize, [](Args& a) { a.roi = {-1, 4}; });
        add(qpxStatusBadStep,
            [&](Args& a) { a.srcStep = sRow - 1, a.dstStep = dOdd, a.border = 2; });
        add(qpxStatusBadStep, [&](Args& a) { a.dstStep = dRow - 1, a.srcStep = sOdd; });
        if (f.srcElem > 1)
            add(qpxStatusStepNotMultiple, [&](Args& a) { a.srcStep = sOdd, a.border = 2; });
        if (f.dstElem > 1)
            add(qpxStatusStepNotMultiple, [&](Args& a) { a.dstStep = dOdd, a.mask = 35; });
        else
            add(qpxStatusBadBorder,
                [&](Args& a) { a.dstStep = dOdd, a.srcStep = sOdd, a.border = 0; });
        for (unsigned b : fixedtest::rejected_borders())
            add(qpxStatusBadBorder, [&](Args& a) { a.border = b, a.mask = 35; });
        for (int m : {35, 0, 3, 5, 34, 54}) add(qpxStatusBadMaskSize, [&](Args& a) { a.mask = m; });
        add(qpxStatusOk, [](Args& a) { a.border = qpxBorderConst, a.mask = 55; });

        GuardedImage<std::uint32_t> src(8, 4), dst(8, 4);
        src.fill([] { return 0x01010101u; });
        dst.fill([] { return 0xA5A5A5A5u; });
        std::vector<u8> buf(1 << 14, 0x5A);
        const auto dstBefore = dst.snapshot();
        const auto bufBefore = buf;
        for (const Row& r : rows) {
            ASSERT_EQ(f.call(r.a, src.roi(), dst.roi(), buf.data()), r.st)
                << f.name << " border " << r.a.border << " mask " << r.a.mask;
            if (r.st != qpxStatusOk) {
                ASSERT_EQ(dst.snapshot(), dstBefore) << f.name;
                ASSERT_EQ(buf, bufBefore) << f.name;
            }
        }
    }
}

TEST(FixedChecks, BufferSizeFormulas) {
    using Q = qpxStatus (*)(qpxSize, qpxMaskSize, int*);
    struct Row {
        Q q;
        qpxSize roi;
        int mask, size;
    };
    // Hand-computed from the size rules; the height never matters.
    const Row rows[] = {
        {qpxiFilterSobelCrossGetBufferSize_8u16s_C1R, {10, 3}, 33, 1572},
        {qpxiFilterSobelCrossGetBufferSize_32f_C1R, {10, 700}, 55, 2856},
        {qpxiFilterLaplacianGetBufferSize_8u16s_C1R, {17, 1}, 55, 4644},
        {qpxiFilterLaplacianGetBufferSize_32f_C1R, {1, 1}, 33, 3920},
        {qpxiFilterLowpassGetBufferSize_8u_C1R, {16, 9}, 33, 1620},
        {qpxiFilterLowpassGetBufferSize_32f_C1R, {33, 2}, 55, 5992},
    };
    for (const Row& r : rows) {
        int size = -1;
        EXPECT_EQ(r.q(r.roi, r.mask, &size), qpxStatusOk);
        EXPECT_EQ(size, r.size);
        // Checks: output pointer, then ROI, then mask; a failure leaves the output alone.
        size = -1;
        EXPECT_EQ(r.q({0, 0}, 0, nullptr), qpxStatusNullPointer);
        EXPECT_EQ(r.q({0, 5}, 0, &size), qpxStatusBadSize);
        EXPECT_EQ(r.q({5, -1}, 33, &size), qpxStatusBadSize);
        EXPECT_EQ(r.q({5, 5}, 35, &size), qpxStatusBadMaskSize);
        EXPECT_EQ(size, -1);
    }
}

}  // namespace
