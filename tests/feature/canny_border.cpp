// Canny on 8u images with the detector's own Sobel or Scharr derivatives: results against a
// direct reference over kernels, norms, borders and thin images, scalar against vector, the
// size query, the argument-check order, memory bounds and the worst-case edge count.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "common/guard.hpp"
#include "feature/canny.hpp"
#include "feature/canny_reference.hpp"
#include "filter/derivative.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Margins;
using qpxtest::Place;
using u8 = std::uint8_t;

struct Kernel {
    int filter, mask;
};
const Kernel kKernels[] = {{qpxFilterSobel, 33}, {qpxFilterSobel, 55}, {qpxFilterScharr, 33}};

// Whether the call reads the pixels of the flagged sides from memory: a thin image is copied with
// a built border first unless every side lies in memory.
bool reads_memory(int w, int h, int k, unsigned border) {
    return border == 240 || std::min(w, h) >= k;
}

// Direct derivatives (border pixels built or read from the margins as the call would) and
// detection.
cannyref::Result reference(const GuardedImage<u8>& src, Kernel kn, unsigned border, u8 value,
                           int norm, float low, float high) {
    const int w = src.width(), h = src.height();
    const int k = kn.mask == 55 ? 5 : 3, r = k / 2;
    const bool mem = reads_memory(w, h, k, border);
    const unsigned kind = border == 240 ? 0 : border & 15;
    const bool inT = mem && (border & 0x10), inB = mem && (border & 0x20);
    const bool inL = mem && (border & 0x40), inR = mem && (border & 0x80);
    auto pix = [&](int x, int y) -> int {
        bool constant = false;
        if (x < 0 && !inL) x = 0, constant = true;
        if (x >= w && !inR) x = w - 1, constant = true;
        if (y < 0 && !inT) y = 0, constant = true;
        if (y >= h && !inB) y = h - 1, constant = true;
        if (constant && kind == 6) return value;
        return src.at(x, y);
    };
    std::vector<int> der, smo;
    if (kn.filter == qpxFilterScharr)
        der = {-1, 0, 1}, smo = {3, 10, 3};
    else if (k == 3)
        der = {-1, 0, 1}, smo = {1, 2, 1};
    else
        der = {-1, -2, 0, 2, 1}, smo = {1, 4, 6, 4, 1};

    cannyref::Field f;
    f.w = w;
    f.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int dx = 0, dy = 0;
            for (int j = 0; j < k; ++j)
                for (int i = 0; i < k; ++i) {
                    int p = pix(x + i - r, y + j - r);
                    dx += smo[j] * der[i] * p;
                    dy += der[j] * smo[i] * p;
                }
            float m = norm == qpxEdgeNormL1 ? float(std::abs(dx) + std::abs(dy))
                                            : std::sqrt(float(dx * dx + dy * dy));
            f.mag.push_back(m > low ? m : 0.0);
            f.sector.push_back(h < 4 ? cannyref::sector_by_angle(dx, dy)
                                     : cannyref::sector_by_ratio(float(std::abs(dx)),
                                                                 float(std::abs(dy)),
                                                                 (dx < 0) != (dy < 0)));
        }
    return cannyref::detect(f, high);
}

int buffer_size(int w, int h, int mask) {
    int size = 0;
    EXPECT_EQ(qpxiCannyBorderGetSize({w, h}, qpxFilterSobel, mask, qpx8u, &size), qpxStatusOk);
    return size;
}

// Runs the export with guarded memory (the source readable exactly where the border allows)
// and compares with the reference; returns the reference result.
cannyref::Result run_checked(const std::function<u8(int, int)>& img, int w, int h, Kernel kn,
                             unsigned border, u8 value, int norm, float low, float high,
                             Place place) {
    const int k = kn.mask == 55 ? 5 : 3, r = k / 2;
    Margins m;
    if (reads_memory(w, h, k, border)) {
        m.top = border & 0x10 ? r : 0;
        m.bottom = border & 0x20 ? r : 0;
        m.left = border & 0x40 ? r : 0;
        m.right = border & 0x80 ? r : 0;
    }
    GuardedImage<u8> src(w, h, 1, 0, place, m);
    for (int y = -m.top; y < h + m.bottom; ++y)
        for (int x = -m.left; x < w + m.right; ++x) src.at(x, y) = img(x, y);
    GuardedImage<u8> dst(w, h, 1, 0, place);
    dst.fill([] { return u8(7); });
    GuardedBuffer buf(std::size_t(buffer_size(w, h, kn.mask)), place);
    EXPECT_EQ(
        qpxiCannyBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), src.size(), kn.filter,
                               kn.mask, border, value, norm, low, high, buf.data()),
        qpxStatusOk);
    cannyref::Result ref = reference(src, kn, border, value, norm, low, high);
    EXPECT_EQ(dst.dense(), ref.edges) << w << "x" << h << " filter " << kn.filter << " mask "
                                      << kn.mask << " border " << border << " norm " << norm;
    return ref;
}

using Picture = std::function<u8(int, int)>;

std::vector<std::pair<std::string, Picture>> pictures(qpxtest::Random& rng) {
    auto noise = std::make_shared<std::vector<u8>>();
    for (int i = 0; i < 4096; ++i) noise->push_back(rng.next<u8>(0, 255));
    auto at = [noise](int x, int y) { return (*noise)[std::size_t((y + 8) * 61 + x + 8) % 4096]; };
    return {
        {"noise", at},
        {"steps", [](int x, int y) { return u8((x > 2 ? 90 : 10) + (y > 3 ? 60 : 0)); }},
        {"ramp_noise", [at](int x, int y) { return u8(4 * x + 3 * y + 40 + at(x, y) % 5); }},
        {"checker", [](int x, int y) { return u8((((x + 8) / 2 + (y + 8) / 2) & 1) * 200); }},
        {"disc",
         [](int x, int y) { return u8((x - 6) * (x - 6) + (y - 5) * (y - 5) < 20 ? 180 : 30); }},
    };
}

TEST(CannyBorder, MatchesReference) {
    qpxtest::Random rng(77);
    const auto pics = pictures(rng);
    const unsigned borders[] = {1, 6, 1 | 0x10 | 0x40, 6 | 0x20 | 0x80, 1 | 0xF0, 240};
    const int widths[] = {1, 2, 3, 4, 5, 8, 9, 17, 33};
    const int heights[] = {1, 2, 3, 4, 5, 11, 65};  // 65: strips, the last one short
    int n = 0;
    for (const Kernel& kn : kKernels)
        for (int w : widths)
            for (int h : heights)
                for (unsigned b : borders) {
                    ++n;
                    const auto& pic = pics[std::size_t(n) % pics.size()].second;
                    const int norm = n % 2 ? qpxEdgeNormL1 : qpxEdgeNormL2;
                    const float low = kn.filter == qpxFilterScharr ? 300.f : 60.f;
                    const float high = 4 * low;
                    run_checked(pic, w, h, kn, b, u8(n * 37), norm, low, high,
                                n % 3 ? Place::End : Place::Begin);
                }
}

TEST(CannyBorder, ScalarEqualsVector) {
    qpxtest::Random rng(5);
    for (const Kernel& kn : kKernels)
        for (int w : qpxtest::test_widths())
            for (int h : {2, 3, 7}) {
                std::vector<u8> src(std::size_t(w) * h);
                for (u8& v : src) v = rng.next<u8>(0, 255);
                std::vector<u8> buf(std::size_t(buffer_size(w, h, kn.mask)));
                std::vector<u8> a(src.size()), b(src.size());
                for (int norm : {qpxEdgeNormL1, qpxEdgeNormL2}) {
                    qpx::feature::canny_border(qpx::Path::Scalar, src.data(), w, a.data(), w,
                                               {w, h}, kn.filter, kn.mask, 1, 0, norm, 50.f, 300.f,
                                               buf.data());
                    qpx::feature::canny_border(qpx::Path::Vector, src.data(), w, b.data(), w,
                                               {w, h}, kn.filter, kn.mask, 1, 0, norm, 50.f, 300.f,
                                               buf.data());
                    EXPECT_EQ(a, b) << w << "x" << h;
                }
            }
}

// A vertical step gives a one-pixel line on its left side; a uniform image gives nothing.
TEST(CannyBorder, StepAndUniform) {
    const int w = 12, h = 9;
    for (const Kernel& kn : kKernels) {
        GuardedImage<u8> src(w, h), dst(w, h);
        src.fill([] { return u8(0); });
        for (int y = 0; y < h; ++y)
            for (int x = 6; x < w; ++x) src.at(x, y) = 100;
        std::vector<u8> buf(std::size_t(buffer_size(w, h, kn.mask)));
        ASSERT_EQ(
            qpxiCannyBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {w, h}, kn.filter,
                                   kn.mask, 1, 0, qpxEdgeNormL2, 10.f, 50.f, buf.data()),
            qpxStatusOk);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) EXPECT_EQ(dst.at(x, y), x == 5 ? 255 : 0) << x << "," << y;

        src.fill([] { return u8(123); });
        ASSERT_EQ(
            qpxiCannyBorder_8u_C1R(src.roi(), src.step(), dst.roi(), dst.step(), {w, h}, kn.filter,
                                   kn.mask, 6, 123, qpxEdgeNormL1, 0.f, 0.f, buf.data()),
            qpxStatusOk);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) EXPECT_EQ(dst.at(x, y), 0);
    }
}

// Edges almost everywhere: a 4x4 tile (found by search) makes three pixels in four edges, so
// far more than half of the pixels are pushed. The buffer is exactly sized, against guard pages.
TEST(CannyBorder, WorstCaseEdgeCount) {
    for (const Kernel& kn : kKernels)
        for (Place place : {Place::Begin, Place::End}) {
            const unsigned tile = kn.filter == qpxFilterSobel && kn.mask == 33 ? 0x22f2 : 0x22d2;
            auto pic = [tile](int x, int y) {
                return u8(((tile >> ((y % 4) * 4 + x % 4)) & 1) * 255);
            };
            const int w = 44, h = 36;
            cannyref::Result ref = run_checked(pic, w, h, kn, 1, 0, qpxEdgeNormL1, 0.f, 0.f, place);
            long edges = std::count(ref.edges.begin(), ref.edges.end(), 255);
            EXPECT_GT(edges * 3, long(w) * h * 2) << kn.filter << " " << kn.mask;
        }
}

TEST(CannyBorder, SizeQuery) {
    auto R = [](long long n) { return (n + 31) / 32 * 32; };
    auto formula = [&](long long w, long long h, int k) {
        long long W = w + k - 1, A = (h + k - 1) * W;
        return R(16 * W) + R(A) + R(4 * A) + 64 + (std::min(w, h) < k ? R(A) : 0);
    };
    const int sizes[][2] = {{1, 1}, {2, 9}, {3, 3}, {4, 4}, {5, 5}, {640, 480}, {1920, 2}};
    for (auto& s : sizes)
        for (int mask : {33, 55}) {
            int got = 0;
            ASSERT_EQ(qpxiCannyBorderGetSize({s[0], s[1]}, 99, mask, 123, &got), qpxStatusOk);
            EXPECT_EQ(got, formula(s[0], s[1], mask == 55 ? 5 : 3)) << s[0] << "x" << s[1];
        }
    int got = 0;
    EXPECT_EQ(qpxiCannyBorderGetSize({0, 0}, 2, 35, 1, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiCannyBorderGetSize({0, 5}, 2, 35, 1, &got), qpxStatusBadSize);
    EXPECT_EQ(qpxiCannyBorderGetSize({5, 5}, 2, 35, 1, &got), qpxStatusBadMaskSize);
    EXPECT_EQ(qpxiCannyBorderGetSize({5, 5}, 5, 55, 1, &got), qpxStatusOk);
}

// The derivative filters' scratch fits where the detector puts it, for every thin shape and for
// strips (at most two strips' worth of rows at once).
TEST(CannyBorder, ScratchFitsLayout) {
    // The reference comparisons above run the strip path on their 65-row images.
    EXPECT_GT(qpx::feature::canny_border_layout(17, 65, 3).strip, 0);
    EXPECT_GT(qpx::feature::canny_border_layout(17, 65, 5).strip, 0);
    for (int k : {3, 5})
        for (int w = 1; w < 70; ++w)
            for (int h = 1; h < 200; h += (h < 12 ? 1 : 7)) {
                auto l = qpx::feature::canny_border_layout(w, h, k);
                const int rows = l.strip ? std::min<int>(h, 2 * int(l.strip)) : h;
                int need = 0;
                ASSERT_EQ(qpx::filter::derivative_buffer_size(qpx::filter::DerivKind::SobelNegV,
                                                              {w, rows}, k == 3 ? 33 : 55, qpx8u,
                                                              qpx16s, 1, &need),
                          qpxStatusOk);
                EXPECT_LE(l.scratch + need, l.scratchEnd) << w << "x" << h << " k " << k;
                EXPECT_LE(l.end + 31, qpx::feature::canny_border_buffer_size(w, h, k));
            }
}

// Each row breaks one or two arguments of a valid call (3x3 Sobel, Repl, L2, 10/20); the first
// check in order wins, and a failed call writes neither the output nor the buffer.
TEST(CannyBorder, CheckOrderAndNothingWritten) {
    struct Row {
        const char* what;
        int null;  // 0 src, 1 dst, 2 buffer, -1 none
        int w, filter, mask;
        unsigned border;
        int norm;
        float low, high;
        qpxStatus expect;
    };
    const qpxStatus N = qpxStatusNullPointer, Z = qpxStatusBadSize, A = qpxStatusBadArgument,
                    B = qpxStatusBadBorder, K = qpxStatusOk;
    const Row rows[] = {
        {"mask 35 before null", 0, 9, 2, 35, 1, 4, 10, 20, qpxStatusBadMaskSize},
        {"Scharr 5x5 before size", -1, 0, 5, 55, 1, 4, 10, 20, qpxStatusBadMaskSize},
        {"null src before size", 0, 0, 2, 33, 1, 4, 10, 20, N},
        {"null dst", 1, 9, 2, 33, 1, 4, 10, 20, N},
        {"null buffer", 2, 9, 2, 33, 1, 4, 10, 20, N},
        {"bad size before filter", -1, -2, 8, 33, 1, 4, 10, 20, Z},
        {"filter before norm", -1, 9, 8, 33, 1, 3, 10, 20, A},
        {"norm before border", -1, 9, 2, 33, 3, 1, 10, 20, A},
        {"negative low", -1, 9, 2, 33, 1, 4, -1, 20, A},
        {"high below low", -1, 9, 2, 33, 1, 4, 9, 8, A},
        {"NaN thresholds pass", -1, 9, 2, 33, 1, 4, NAN, NAN, K},
        {"mirror", -1, 9, 2, 33, 3, 4, 10, 20, B},
        {"256", -1, 9, 2, 33, 256 | 1, 4, 10, 20, B},
        {"kind 0 with some sides", -1, 9, 2, 33, 0x70, 4, 10, 20, B},
        {"default kind", -1, 9, 2, 33, 5, 4, 10, 20, B},
        {"wrap in memory", -1, 9, 2, 33, 0xF2, 4, 10, 20, B},
        {"all in memory", -1, 9, 2, 33, 240, 4, 10, 20, K},
        {"const with sides", -1, 9, 2, 55, 6 | 0xF0, 2, 10, 20, K},
        {"Scharr 3x3", -1, 9, 5, 33, 1, 4, 10, 20, K},
    };
    const int w = 9, h = 6;
    GuardedImage<u8> src(w, h, 1, 0, Place::End, {2, 2, 2, 2});
    src.fill([] { return u8(50); });
    src.at(4, 3) = 250;
    for (const Row& r : rows) {
        GuardedImage<u8> dst(w, h, 1, 4);
        dst.fill([] { return u8(3); });
        std::vector<u8> buf(std::size_t(buffer_size(w, h, 55)), 0xCD);
        const auto before = dst.snapshot();
        qpxStatus st = qpxiCannyBorder_8u_C1R(r.null == 0 ? nullptr : src.roi(), src.step(),
                                              r.null == 1 ? nullptr : dst.roi(), dst.step(),
                                              {r.w, h}, r.filter, r.mask, r.border, 0, r.norm,
                                              r.low, r.high, r.null == 2 ? nullptr : buf.data());
        EXPECT_EQ(st, r.expect) << r.what;
        if (st != qpxStatusOk) {
            EXPECT_EQ(dst.snapshot(), before) << r.what;
            EXPECT_EQ(std::count(buf.begin(), buf.end(), 0xCD), long(buf.size())) << r.what;
        }
    }
}

}  // namespace

namespace {
// A source step the derivative filters refuse (short, negative) is reported, on thin images too,
// after the detector's own checks, and nothing reaches dst or the buffer.
TEST(CannyBorder, RefusedSourceStep) {
    for (int h : {6, 2})
        for (int step : {8, -9, 0})
            for (unsigned border : {1u, 240u, 3u}) {
                const int w = 9;
                GuardedImage<u8> src(w, h, 1, 0, Place::End, {2, 2, 2, 2}), dst(w, h, 1, 4);
                src.fill([] { return u8(50); });
                dst.fill([] { return u8(3); });
                std::vector<u8> buf(std::size_t(buffer_size(w, h, 33)), 0xCD);
                const auto before = dst.snapshot();
                const u8* s = step < 0 ? &src.at(0, h - 1) : src.roi();
                EXPECT_EQ(qpxiCannyBorder_8u_C1R(s, step, dst.roi(), dst.step(), {w, h}, 2, 33,
                                                 border, 0, 4, 10.f, 20.f, buf.data()),
                          border == 3 ? qpxStatusBadBorder : qpxStatusBadStep);
                EXPECT_EQ(dst.snapshot(), before);
                EXPECT_EQ(std::count(buf.begin(), buf.end(), 0xCD), long(buf.size()));
                // The detector itself reports what the filters refuse and leaves dst alone.
                if (border == 240 && h == 6) {
                    EXPECT_EQ(qpx::feature::canny_border(qpx::Path::Scalar, s, step, dst.roi(),
                                                         dst.step(), {w, h}, 2, 33, border, 0, 4,
                                                         10.f, 20.f, buf.data()),
                              qpxStatusBadStep);
                    EXPECT_EQ(dst.snapshot(), before);
                }
            }
}
}  // namespace
