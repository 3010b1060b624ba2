// The internal first-derivative filters against a direct 2-D correlation of the extended source,
// over every accepted border code and small ROIs, with the image against guard pages so that
// reads beyond what the border code allows fault.
#include <gtest/gtest.h>

#include <cmath>

#include "filter/derivative.hpp"
#include "filter/fixed_reference.hpp"

namespace {

using qpx::Path;
using qpx::filter::DerivKind;
using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;
using namespace fixedtest;
using u8 = std::uint8_t;
using i16 = std::int16_t;

struct Case {
    DerivKind kind;
    int mask;
    std::vector<double> row, col;  // horizontal kernel, vertical kernel
    const char* name;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> c = {
        {DerivKind::SobelV, 33, {1, 0, -1}, {1, 2, 1}, "SobelV3"},
        {DerivKind::SobelV, 55, {1, 2, 0, -2, -1}, {1, 4, 6, 4, 1}, "SobelV5"},
        {DerivKind::SobelNegV, 33, {-1, 0, 1}, {1, 2, 1}, "SobelNegV3"},
        {DerivKind::SobelNegV, 55, {-1, -2, 0, 2, 1}, {1, 4, 6, 4, 1}, "SobelNegV5"},
        {DerivKind::SobelH, 33, {1, 2, 1}, {-1, 0, 1}, "SobelH3"},
        {DerivKind::SobelH, 55, {1, 4, 6, 4, 1}, {-1, -2, 0, 2, 1}, "SobelH5"},
        {DerivKind::ScharrV, 33, {-1, 0, 1}, {3, 10, 3}, "ScharrV3"},
        {DerivKind::ScharrH, 33, {3, 10, 3}, {-1, 0, 1}, "ScharrH3"},
    };
    return c;
}

int query(const Case& c, qpxSize roi, qpxDataType s, qpxDataType d) {
    int size = -1;
    EXPECT_EQ(qpx::filter::derivative_buffer_size(c.kind, roi, c.mask, s, d, 1, &size), 0);
    return size;
}

// Runs one filter on one ROI and border over both paths and both guard placements and compares
// with the reference. Float sources hold small integers, so every sum is exact.
template <class Src, class Dst>
void check_one(const Case& c, qpxSize roi, unsigned border, qpxtest::Random& rnd) {
    const int reach = (c.mask == 55) ? 2 : 1;
    const Margins m = margins_for(border, reach);
    const Src value = static_cast<Src>(rnd.next<int>(0, 255));
    const qpxDataType st = std::is_same_v<Src, float> ? qpx32f : qpx8u;
    const qpxDataType dt = std::is_same_v<Src, float> ? qpx32f : qpx16s;
    for (Place place : {Place::Begin, Place::End}) {
        GuardedImage<Src> src(roi.width, roi.height, 1, 0, place, m);
        src.fill([&] { return static_cast<Src>(rnd.next<int>(0, 255)); });
        GuardedBuffer buf(std::size_t(query(c, roi, st, dt)), place);
        GuardedImage<Dst> vec(roi.width, roi.height, 1, 2 * sizeof(Dst), place);
        GuardedImage<Dst> sca(roi.width, roi.height, 1, 0, place);
        const Mask mask = outer(c.col, c.row);
        for (Path path : {Path::Vector, Path::Scalar}) {
            GuardedImage<Dst>& out = path == Path::Vector ? vec : sca;
            ASSERT_EQ(qpx::filter::derivative(c.kind, src.roi(), src.step(), out.roi(), out.step(),
                                              roi, c.mask, border, value, buf.data(), path),
                      0);
        }
        for (int y = 0; y < roi.height; ++y)
            for (int x = 0; x < roi.width; ++x) {
                const double want = correlate(src, mask, x, y, border, double(value));
                ASSERT_EQ(double(vec.at(x, y)), want)
                    << c.name << " border " << border << " roi " << roi.width << "x" << roi.height
                    << " at " << x << "," << y;
                ASSERT_EQ(0, std::memcmp(&vec.at(x, y), &sca.at(x, y), sizeof(Dst)));
            }
    }
}

TEST(Derivative, MatchesDirectCorrelationForEveryBorder8u) {
    qpxtest::Random rnd(3);
    for (const Case& c : cases())
        for (unsigned border : accepted_borders())
            for (qpxSize roi : roi_sizes()) check_one<u8, i16>(c, roi, border, rnd);
}

TEST(Derivative, MatchesDirectCorrelationForEveryBorder32f) {
    qpxtest::Random rnd(4);
    for (const Case& c : cases())
        for (unsigned border : accepted_borders())
            for (qpxSize roi : roi_sizes()) check_one<float, float>(c, roi, border, rnd);
}

// Extreme 8u inputs reach the largest magnitudes; wide rows run the vector loop many times.
TEST(Derivative, ExtremeValuesAndWideRowsStayExact) {
    qpxtest::Random rnd(5);
    for (const Case& c : cases())
        for (int w : qpxtest::test_widths()) {
            const qpxSize roi{w + 40, 6};
            GuardedImage<u8> src(roi.width, roi.height);
            src.fill([&] { return static_cast<u8>(rnd.bits() & 1 ? 255 : 0); });
            GuardedBuffer buf(std::size_t(query(c, roi, qpx8u, qpx16s)));
            GuardedImage<i16> dst(roi.width, roi.height);
            ASSERT_EQ(qpx::filter::derivative(c.kind, src.roi(), src.step(), dst.roi(), dst.step(),
                                              roi, c.mask, qpxBorderMirror, u8(0), buf.data()),
                      0);
            const Mask mask = outer(c.col, c.row);
            for (int y = 0; y < roi.height; ++y)
                for (int x = 0; x < roi.width; ++x)
                    ASSERT_EQ(dst.at(x, y), correlate(src, mask, x, y, qpxBorderMirror, 0));
        }
}

// Real-valued float sources: vector and scalar agree bit for bit, and both stay close to the
// exact correlation.
TEST(Derivative, FloatPathsAgreeBitForBit) {
    qpxtest::Random rnd(6);
    for (const Case& c : cases()) {
        const qpxSize roi{45, 5};
        GuardedImage<float> src(roi.width, roi.height);
        src.fill([&] { return rnd.next<float>(-1000.0, 1000.0); });
        GuardedBuffer buf(std::size_t(query(c, roi, qpx32f, qpx32f)));
        GuardedImage<float> v(roi.width, roi.height), s(roi.width, roi.height);
        for (auto* out : {&v, &s})
            ASSERT_EQ(qpx::filter::derivative(c.kind, src.roi(), src.step(), out->roi(),
                                              out->step(), roi, c.mask, qpxBorderRepl, 0.0f,
                                              buf.data(), out == &v ? Path::Vector : Path::Scalar),
                      0);
        const Mask mask = outer(c.col, c.row);
        for (int y = 0; y < roi.height; ++y)
            for (int x = 0; x < roi.width; ++x) {
                ASSERT_TRUE(qpxtest::same_bits(v.at(x, y), s.at(x, y)));
                EXPECT_NEAR(v.at(x, y), correlate(src, mask, x, y, qpxBorderRepl, 0), 0.05);
            }
    }
}

// Sign conventions: a unit step, left-to-right or top-to-bottom.
TEST(Derivative, UnitStepSigns) {
    struct Step {
        DerivKind kind;
        bool vertical;  // the step runs from top to bottom
        int expect;
    };
    const Step steps[] = {{DerivKind::SobelV, false, -4},
                          {DerivKind::SobelNegV, false, 4},
                          {DerivKind::SobelH, true, 4},
                          {DerivKind::ScharrV, false, 16},
                          {DerivKind::ScharrH, true, 16}};
    for (const Step& s : steps) {
        GuardedImage<float> src(6, 6), dst(6, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) src.at(x, y) = (s.vertical ? y : x) >= 3 ? 1.0f : 0.0f;
        std::vector<std::uint8_t> buf(4096);
        ASSERT_EQ(qpx::filter::derivative(s.kind, src.roi(), src.step(), dst.roi(), dst.step(),
                                          {6, 6}, 33, qpxBorderRepl, 0.0f, buf.data()),
                  0);
        EXPECT_EQ(s.vertical ? dst.at(1, 3) : dst.at(3, 1), float(s.expect));
        EXPECT_EQ(s.vertical ? dst.at(1, 2) : dst.at(2, 1), float(s.expect));
        EXPECT_EQ(dst.at(0, 0), 0.0f);
    }
}

TEST(Derivative, BufferSizeFormulaAndChecks) {
    struct Row {
        DerivKind kind;
        qpxSize roi;
        int mask, src, dst, ch;
        int status, size;
    };
    const Row rows[] = {
        {DerivKind::SobelV, {10, 20}, 33, qpx8u, qpx16s, 1, 0, 128},
        {DerivKind::SobelH, {10, 20}, 55, qpx8u, qpx16s, 1, 0, 224},
        {DerivKind::SobelV, {31, 2}, 33, qpx8u, qpx16s, 1, 0, 160},
        {DerivKind::ScharrV, {10, 20}, 33, qpx32f, qpx32f, 1, 0, 704},
        {DerivKind::SobelV, {10, 20}, 55, qpx32f, qpx32f, 1, 0, 1440},
        {DerivKind::SobelH, {10, 20}, 33, qpx16s, qpx16s, 1, 0, 448},
        {DerivKind::SobelV, {0, 20}, 99, 99, 99, 9, qpxStatusBadSize, -1},
        {DerivKind::SobelV, {10, 20}, 35, 99, 99, 9, qpxStatusBadMaskSize, -1},
        {DerivKind::ScharrH, {10, 20}, 55, qpx8u, qpx16s, 1, qpxStatusBadMaskSize, -1},
        {DerivKind::SobelV, {10, 20}, 55, qpx8u, qpx8u, 9, qpxStatusBadDataType, -1},
        {DerivKind::SobelNegV, {10, 20}, 33, qpx16s, qpx16s, 1, qpxStatusBadDataType, -1},
        {DerivKind::SobelNegV, {10, 20}, 33, qpx32f, qpx16s, 1, qpxStatusBadDataType, -1},
        {DerivKind::SobelV, {10, 20}, 33, qpx8u, qpx16s, 3, qpxStatusBadChannelCount, -1},
    };
    for (const Row& r : rows) {
        int size = -1;
        EXPECT_EQ(
            qpx::filter::derivative_buffer_size(r.kind, r.roi, r.mask, r.src, r.dst, r.ch, &size),
            r.status);
        EXPECT_EQ(size, r.size);
    }
    EXPECT_EQ(qpx::filter::derivative_buffer_size(DerivKind::SobelV, {0, 0}, 0, 0, 0, 0, nullptr),
              qpxStatusNullPointer);
}

// Argument checks come in a fixed order, and a failed call writes nothing.
TEST(Derivative, ArgumentCheckOrder) {
    GuardedImage<u8> src(8, 4);
    GuardedImage<i16> dst(8, 4);
    std::vector<std::uint8_t> buf(1024, 0xA5);
    src.fill([] { return u8(7); });
    dst.fill([] { return i16(-3); });
    struct Args {
        const u8* s = nullptr;
        int ss = 8;
        i16* d = nullptr;
        int ds = 16;
        qpxSize roi{8, 4};
        int mask = 33;
        unsigned border = qpxBorderRepl;
        std::uint8_t* b = nullptr;
    };
    Args ok;
    ok.s = src.roi();
    ok.d = dst.roi();
    ok.b = buf.data();
    auto with = [&](auto f) {
        Args a = ok;
        f(a);
        return a;
    };
    const struct {
        Args a;
        qpxStatus st;
        DerivKind kind;
    } rows[] = {
        {with([](Args& a) {
             a.s = nullptr, a.roi = {0, 0};
         }),
         qpxStatusNullPointer, DerivKind::SobelV},
        {with([](Args& a) { a.d = nullptr; }), qpxStatusNullPointer, DerivKind::SobelV},
        {with([](Args& a) { a.b = nullptr, a.ss = 0; }), qpxStatusNullPointer, DerivKind::SobelV},
        {with([](Args& a) {
             a.roi = {8, 0}, a.ss = 1;
         }),
         qpxStatusBadSize, DerivKind::SobelV},
        {with([](Args& a) { a.ss = 7, a.ds = 15; }), qpxStatusBadStep, DerivKind::SobelV},
        {with([](Args& a) { a.ds = 15; }), qpxStatusBadStep, DerivKind::SobelV},
        {with([](Args& a) { a.ds = 17, a.border = 2; }), qpxStatusStepNotMultiple,
         DerivKind::SobelV},
        {with([](Args& a) { a.border = 16, a.mask = 35; }), qpxStatusBadBorder, DerivKind::SobelV},
        {with([](Args& a) { a.border = 256; }), qpxStatusBadBorder, DerivKind::SobelH},
        {with([](Args& a) { a.mask = 35; }), qpxStatusBadMaskSize, DerivKind::SobelV},
        {with([](Args& a) { a.mask = 55; }), qpxStatusBadMaskSize, DerivKind::ScharrV},
    };
    const auto before = dst.snapshot();
    const std::vector<std::uint8_t> bufBefore = buf;
    for (const auto& r : rows) {
        EXPECT_EQ(qpx::filter::derivative(r.kind, r.a.s, r.a.ss, r.a.d, r.a.ds, r.a.roi, r.a.mask,
                                          r.a.border, u8(0), r.a.b),
                  r.st);
        EXPECT_EQ(dst.snapshot(), before);
        EXPECT_EQ(buf, bufBefore);
    }
    // 32f: both row-length tests come before both multiple-of-4 tests.
    GuardedImage<float> fs(8, 4), fd(8, 4);
    EXPECT_EQ(qpx::filter::derivative(DerivKind::SobelV, fs.roi(), 34, fd.roi(), 31, {8, 4}, 33, 1u,
                                      0.0f, buf.data()),
              qpxStatusBadStep);
    EXPECT_EQ(qpx::filter::derivative(DerivKind::SobelV, fs.roi(), 34, fd.roi(), 32, {8, 4}, 33, 1u,
                                      0.0f, buf.data()),
              qpxStatusStepNotMultiple);
    for (unsigned border : rejected_borders())
        EXPECT_EQ(qpx::filter::derivative(DerivKind::SobelV, fs.roi(), 32, fd.roi(), 32, {8, 4}, 33,
                                          border, 0.0f, buf.data()),
                  qpxStatusBadBorder)
            << border;
}

}  // namespace
