// Canny on caller derivatives (16s and 32f, with and without 64-bit sizes): results against a
// direct reference, scalar against vector, thresholds at their boundaries, the size queries,
// the argument-check order, and memory bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/guard.hpp"
#include "feature/canny.hpp"
#include "feature/canny_reference.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::GuardedImage;
using qpxtest::Place;
using u8 = std::uint8_t;
using i16 = std::int16_t;

// The six derivative-input forms.
enum class Form { F32, S16, F32L_L1, F32L_L2, S16L_L1, S16L_L2 };
const Form kForms[] = {Form::F32,     Form::S16,     Form::F32L_L1,
                       Form::F32L_L2, Form::S16L_L1, Form::S16L_L2};

bool is16(Form f) {
    return f == Form::S16 || f == Form::S16L_L1 || f == Form::S16L_L2;
}
bool isLong(Form f) {
    return f != Form::F32 && f != Form::S16;
}
int normOf(Form f) {
    return f == Form::F32L_L2 || f == Form::S16L_L2 ? 4 : 2;
}

// The detector's view of (dx, dy) under `form`: magnitude after the low cut, and the seed level.
cannyref::Field reference_field(Form form, const std::vector<float>& dx,
                                const std::vector<float>& dy, int w, int h, float low) {
    cannyref::Field f;
    f.w = w;
    f.h = h;
    for (std::size_t i = 0; i < dx.size(); ++i) {
        const float x = dx[i], y = dy[i];
        double m = 0;
        bool keep = false;
        if (is16(form)) {
            long long ix = (long long)x, iy = (long long)y;
            if (form == Form::S16L_L2) {
                std::uint32_t sq = std::uint32_t(ix * ix) + std::uint32_t(iy * iy);
                m = double(std::int32_t(sq));
                keep = m > double(std::int32_t(low * low));
            } else {
                m = double(std::min<long long>(std::llabs(ix) + std::llabs(iy), 65535));
                keep = m > double(std::int32_t(low));
            }
        } else if (form == Form::F32L_L2) {
            float a = x * x, b = y * y;
            m = a + b;
            keep = float(m) > low * low;
        } else {
            float s = std::fabs(x) + std::fabs(y);
            m = s;
            keep = form == Form::F32 ? s >= low : s > low;
        }
        f.mag.push_back(keep ? m : 0.0);
        f.sector.push_back(cannyref::sector_by_ratio(std::fabs(x), std::fabs(y),
                                                     std::signbit(x) != std::signbit(y)));
    }
    return f;
}

double seed_level(Form form, float high) {
    switch (form) {
        case Form::S16:
        case Form::S16L_L1:
            return std::int32_t(high);
        case Form::S16L_L2:
            return std::int32_t(high * high);
        case Form::F32L_L2:
            return high * high;
        default:
            return high;
    }
}

// Derivative images of either element type, placed against guard pages.
struct Deriv {
    GuardedImage<float> fx, fy;
    GuardedImage<i16> sx, sy;
    Deriv(Form form, int w, int h, Place place, int pad = 0) {
        if (is16(form)) {
            sx = GuardedImage<i16>(w, h, 1, pad, place);
            sy = GuardedImage<i16>(w, h, 1, pad, place);
        } else {
            fx = GuardedImage<float>(w, h, 1, pad * 2, place);
            fy = GuardedImage<float>(w, h, 1, pad * 2, place);
        }
    }
    void set(bool s16, const std::vector<float>& dx, const std::vector<float>& dy, int w) {
        for (std::size_t i = 0; i < dx.size(); ++i) {
            int x = int(i % w), y = int(i / w);
            if (s16) {
                sx.at(x, y) = i16(dx[i]);
                sy.at(x, y) = i16(dy[i]);
            } else {
                fx.at(x, y) = dx[i];
                fy.at(x, y) = dy[i];
            }
        }
    }
};

qpxStatus call(Form form, const Deriv& d, u8* dst, int dstStep, qpxSizeL roi, float low, float high,
               u8* buf, int norm = 0) {
    if (norm == 0) norm = normOf(form);
    qpxSize r32{int(roi.width), int(roi.height)};
    switch (form) {
        case Form::F32:
            return qpxiCanny_32f8u_C1R(d.fx.roi(), d.fx.step(), d.fy.roi(), d.fy.step(), dst,
                                       dstStep, r32, low, high, buf);
        case Form::S16:
            return qpxiCanny_16s8u_C1R(d.sx.roi(), d.sx.step(), d.sy.roi(), d.sy.step(), dst,
                                       dstStep, r32, low, high, buf);
        case Form::F32L_L1:
        case Form::F32L_L2:
            return qpxiCanny_32f8u_C1R_L(d.fx.roi(), d.fx.step(), d.fy.roi(), d.fy.step(), dst,
                                         dstStep, roi, low, high, norm, buf);
        default:
            return qpxiCanny_16s8u_C1R_L(d.sx.roi(), d.sx.step(), d.sy.roi(), d.sy.step(), dst,
                                         dstStep, roi, low, high, norm, buf);
    }
}

int buffer_size(int w, int h) {
    int size = 0;
    EXPECT_EQ(qpxiCannyGetSize({w, h}, &size), qpxStatusOk);
    return size;
}

// Runs `form` on (dx, dy) with guarded images and an exactly sized guarded buffer, and checks
// the result against the reference. Returns the reference's candidate count.
long check_against_reference(Form form, const std::vector<float>& dx, const std::vector<float>& dy,
                             int w, int h, float low, float high, Place place) {
    Deriv d(form, w, h, place);
    d.set(is16(form), dx, dy, w);
    GuardedImage<u8> dst(w, h, 1, 3, place);
    dst.fill([] { return u8(77); });
    GuardedBuffer buf(std::size_t(buffer_size(w, h)), place);
    EXPECT_EQ(call(form, d, dst.roi(), dst.step(), {w, h}, low, high, buf.data()), qpxStatusOk);
    cannyref::Result ref =
        cannyref::detect(reference_field(form, dx, dy, w, h, low), seed_level(form, high));
    EXPECT_EQ(dst.dense(), ref.edges) << "form " << int(form) << " size " << w << "x" << h;
    return ref.candidates;
}

// Derivative generators: small integers (many ties), wide ranges, and central differences of
// structured pictures.
using Gen =
    std::function<void(int, int, qpxtest::Random&, std::vector<float>&, std::vector<float>&)>;

void from_picture(int w, int h, const std::function<int(int, int)>& img, std::vector<float>& dx,
                  std::vector<float>& dy) {
    auto p = [&](int x, int y) { return img(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            dx.push_back(float(p(x + 1, y) - p(x - 1, y)));
            dy.push_back(float(p(x, y + 1) - p(x, y - 1)));
        }
}

const std::vector<std::pair<std::string, Gen>>& generators() {
    static const std::vector<std::pair<std::string, Gen>> g = {
        {"small",
         [](int w, int h, qpxtest::Random& r, auto& dx, auto& dy) {
             for (int i = 0; i < w * h; ++i) {
                 dx.push_back(float(r.next<int>(-12, 12)));
                 dy.push_back(float(r.next<int>(-12, 12)));
             }
         }},
        {"wide",
         [](int w, int h, qpxtest::Random& r, auto& dx, auto& dy) {
             const float ext[] = {-32768.f, 32767.f, 0.f};
             for (int i = 0; i < w * h; ++i) {
                 bool e = r.next<int>(0, 9) == 0;
                 dx.push_back(e ? ext[r.next<int>(0, 2)] : float(r.next<int>(-32768, 32767)));
                 dy.push_back(e ? ext[r.next<int>(0, 2)] : float(r.next<int>(-32768, 32767)));
             }
         }},
        {"steps",
         [](int w, int h, qpxtest::Random&, auto& dx, auto& dy) {
             from_picture(
                 w, h, [](int x, int y) { return (x > 3 ? 60 : 0) + (y > 2 ? 30 : 0); }, dx, dy);
         }},
        {"ramp_noise",
         [](int w, int h, qpxtest::Random& r, auto& dx, auto& dy) {
             std::vector<int> noise(std::size_t(w) * h);
             for (int& v : noise) v = r.next<int>(0, 6);
             from_picture(
                 w, h, [&](int x, int y) { return 3 * x + 2 * y + noise[std::size_t(y) * w + x]; },
                 dx, dy);
         }},
        {"checker",
         [](int w, int h, qpxtest::Random&, auto& dx, auto& dy) {
             from_picture(
                 w, h, [](int x, int y) { return ((x / 2 + y / 3) & 1) * 100; }, dx, dy);
         }},
    };
    return g;
}

TEST(CannyDeriv, MatchesReference) {
    qpxtest::Random rng(4242);
    const int heights[] = {1, 2, 3, 6, 13};
    for (Form form : kForms)
        for (const auto& [name, gen] : generators())
            for (int w : qpxtest::test_widths())
                for (int h : heights) {
                    std::vector<float> dx, dy;
                    gen(w, h, rng, dx, dy);
                    const bool wide = name == "wide";
                    float low = wide ? 9000.f : 3.f, high = wide ? 30000.f : 14.f;
                    if (form == Form::F32L_L2 || form == Form::S16L_L2) {
                        low = wide ? 20000.f : 3.5f;
                        high = wide ? 40000.f : 11.f;
                    }
                    Place place = (w + h) % 2 ? Place::Begin : Place::End;
                    check_against_reference(form, dx, dy, w, h, low, high, place);
                }
}

// The scalar and the vector kernels give the same map, on float specials too.
TEST(CannyDeriv, ScalarEqualsVector) {
    using qpx::Path;
    using qpx::feature::EdgeMag;
    using qpx::feature::EdgeThresholds;
    qpxtest::Random rng(99);
    const float specials[] = {0.0f, -0.0f, INFINITY, -INFINITY, NAN, 1e-40f, -3.0f, 3.0f};
    for (int w : qpxtest::test_widths()) {
        const int h = 9;
        std::vector<float> fx, fy;
        std::vector<i16> sx, sy;
        for (int i = 0; i < w * h; ++i) {
            bool sp = rng.next<int>(0, 5) == 0;
            fx.push_back(sp ? specials[rng.next<int>(0, 7)] : rng.next<float>(-50, 50));
            fy.push_back(sp ? specials[rng.next<int>(0, 7)] : rng.next<float>(-50, 50));
            sx.push_back(rng.any<i16>());
            sy.push_back(i16(rng.next<int>(-40, 40)));
        }
        std::vector<u8> buf(std::size_t(qpx::feature::canny_buffer_size(w, h)));
        std::vector<u8> a(std::size_t(w) * h), b(a.size());
        auto both = [&](auto fn) {
            fn(Path::Scalar, a.data());
            fn(Path::Vector, b.data());
            EXPECT_EQ(a, b) << "width " << w;
        };
        both([&](Path p, u8* d) {
            qpx::feature::canny_deriv<float, float, EdgeMag::L1>(
                p, fx.data(), 4 * w, fy.data(), 4 * w, d, w, w, h,
                EdgeThresholds<float>{5, 20, true}, buf.data());
        });
        both([&](Path p, u8* d) {
            qpx::feature::canny_deriv<float, float, EdgeMag::L2Square>(
                p, fx.data(), 4 * w, fy.data(), 4 * w, d, w, w, h,
                EdgeThresholds<float>{25, 900, false}, buf.data());
        });
        both([&](Path p, u8* d) {
            qpx::feature::canny_deriv<i16, std::int32_t, EdgeMag::L1>(
                p, sx.data(), 2 * w, sy.data(), 2 * w, d, w, w, h,
                EdgeThresholds<std::int32_t>{2000, 20000, false}, buf.data());
        });
        both([&](Path p, u8* d) {
            qpx::feature::canny_deriv<i16, std::int32_t, EdgeMag::L2Square>(
                p, sx.data(), 2 * w, sy.data(), 2 * w, d, w, w, h,
                EdgeThresholds<std::int32_t>{1 << 20, 1 << 28, false}, buf.data());
        });
    }
}

// Two vertical-gradient pixels side by side: A (magnitude 20) is a seed and B (magnitude `mB`)
// joins the edge exactly when it passes the low cut. Returns whether B is an edge.
bool b_is_edge(Form form, float mB, float low, float high) {
    const int w = 5, h = 5;
    std::vector<float> dx(w * h, 0.0f), dy(w * h, 0.0f);
    dy[2 * w + 1] = 20.0f;
    dy[2 * w + 2] = mB;
    Deriv d(form, w, h, Place::End);
    d.set(is16(form), dx, dy, w);
    std::vector<u8> dst(w * h, 1);
    std::vector<u8> buf(std::size_t(buffer_size(w, h)));
    EXPECT_EQ(call(form, d, dst.data(), w, {w, h}, low, high, buf.data()), qpxStatusOk);
    EXPECT_EQ(dst[2 * w + 1], 255);
    return dst[2 * w + 2] == 255;
}

TEST(CannyDeriv, LowThresholdBoundaries) {
    struct Row {
        Form form;
        float m, low;
        bool kept;
    };
    const Row rows[] = {
        {Form::F32, 10, 10, true},        {Form::F32L_L1, 10, 10, false},
        {Form::S16, 10, 10, false},       {Form::S16, 11, 10.5f, true},
        {Form::S16, 10, 10.5f, false},    {Form::S16L_L1, 11, 10.9f, true},
        {Form::F32L_L2, 10, 10, false},   {Form::F32L_L2, 10.5f, 10.4f, true},
        {Form::S16L_L2, 10, 9.99f, true},  // 100 > trunc(99.8)
    };
    for (const Row& r : rows) {
        EXPECT_EQ(b_is_edge(r.form, r.m, r.low, 15.0f), r.kept)
            << "form " << int(r.form) << " m " << r.m << " low " << r.low;
    }
}

// A magnitude equal to the high threshold is a candidate, not a seed.
TEST(CannyDeriv, HighThresholdIsStrict) {
    for (Form form : kForms) {
        const int w = 4, h = 3;
        std::vector<float> dx(w * h, 0.0f), dy(w * h, 0.0f);
        dy[w + 1] = 12.0f;
        Deriv d(form, w, h, Place::End);
        d.set(is16(form), dx, dy, w);
        std::vector<u8> dst(w * h, 1), buf(std::size_t(buffer_size(w, h)));
        ASSERT_EQ(call(form, d, dst.data(), w, {w, h}, 12.0f, 12.0f, buf.data()), qpxStatusOk);
        EXPECT_EQ(dst[w + 1], 0) << int(form);
        ASSERT_EQ(call(form, d, dst.data(), w, {w, h}, 11.0f, 11.9f, buf.data()), qpxStatusOk);
        EXPECT_EQ(dst[w + 1], 255) << int(form);
    }
}

TEST(CannyDeriv, SizeQueries) {
    struct Row {
        int w, h;
        long long expect;
    };
    const Row rows[] = {
        {1, 1, 16 * 7 + 5 * 9 + 64},
        {640, 480, 16 * 646 + 5LL * 642 * 482 + 64},
        {65532, 3, 16 * 65538 + 5LL * 65534 * 5 + 64},
        {65533, 3, 16 * 65539 + 9LL * 65535 * 5 + 64},
        {3, 65533, 16 * 9 + 9LL * 5 * 65535 + 64},
    };
    for (const Row& r : rows) {
        int s = 0;
        ASSERT_EQ(qpxiCannyGetSize({r.w, r.h}, &s), qpxStatusOk);
        EXPECT_EQ(s, int(r.expect)) << r.w << "x" << r.h;
        std::int64_t sl = 0;
        ASSERT_EQ(qpxiCannyGetSize_L({r.w, r.h}, &sl), qpxStatusOk);
        EXPECT_EQ(sl, r.expect);
    }
    std::int64_t sl = 0;
    EXPECT_EQ(qpxiCannyGetSize_L({100000, 100000}, &sl), qpxStatusOk);
    EXPECT_EQ(sl, 16 * 100000 + 160 + 9LL * 100002 * 100002);
    int s = 0;
    EXPECT_EQ(qpxiCannyGetSize({0, 5}, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiCannyGetSize({0, 5}, &s), qpxStatusBadSize);
    EXPECT_EQ(qpxiCannyGetSize({5, -1}, &s), qpxStatusBadSize);
    EXPECT_EQ(qpxiCannyGetSize_L({1LL << 31, 0}, nullptr), qpxStatusNullPointer);
    EXPECT_EQ(qpxiCannyGetSize_L({1LL << 31, 0}, &sl), qpxStatusSizeTooLarge);
    EXPECT_EQ(qpxiCannyGetSize_L({-1, 1LL << 31}, &sl), qpxStatusSizeTooLarge);
    EXPECT_EQ(qpxiCannyGetSize_L({-1, 5}, &sl), qpxStatusBadSize);
}

// Each row breaks one argument of an otherwise valid call; the first failing check wins.
TEST(CannyDeriv, CheckOrderAndNothingWritten) {
    struct Row {
        std::string what;
        std::function<void(Form, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL&, float&, float&,
                           int&)>
            breakIt;
        qpxStatus s32, s16;  // 32f and 16s result (-1: same as s32)
        bool longOnly = false;
    };
    using F = Form;
    const std::vector<Row> rows = {
        {"null dx + bad size",
         [](F, void*& dx, void*&, u8*&, u8*&, long long*, qpxSizeL& r, float&, float&, int&) {
             dx = nullptr;
             r.width = 0;
         },
         qpxStatusNullPointer, -1},
        {"null buffer + bad step",
         [](F, void*&, void*&, u8*&, u8*& b, long long* s, qpxSizeL&, float&, float&, int&) {
             b = nullptr;
             s[0] = 1;
         },
         qpxStatusNullPointer, -1},
        {"null dst",
         [](F, void*&, void*&, u8*& d, u8*&, long long*, qpxSizeL&, float&, float&, int&) {
             d = nullptr;
         },
         qpxStatusNullPointer, -1},
        {"huge width before bad size",
         [](F, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL& r, float&, float&, int&) {
             r.width = 1LL << 31;
             r.height = 0;
         },
         qpxStatusSizeTooLarge, -1, true},
        {"huge step before bad size",
         [](F, void*&, void*&, u8*&, u8*&, long long* s, qpxSizeL& r, float&, float&, int&) {
             s[2] = 1LL << 31;
             r.height = -1;
         },
         qpxStatusSizeTooLarge, -1, true},
        {"bad size before step",
         [](F, void*&, void*&, u8*&, u8*&, long long* s, qpxSizeL& r, float&, float&, int&) {
             r.height = 0;
             s[1] = 0;
         },
         qpxStatusBadSize, -1},
        {"short dst step before odd dx step",
         [](F, void*&, void*&, u8*&, u8*&, long long* s, qpxSizeL&, float&, float&, int&) {
             s[2] = 7;
             s[0] += 1;
         },
         qpxStatusBadStep, -1},
        {"short dy step",
         [](F f, void*&, void*&, u8*&, u8*&, long long* s, qpxSizeL& r, float&, float&, int&) {
             s[1] = r.width * (is16(f) ? 2 : 4) - 1;
         },
         qpxStatusBadStep, -1},
        {"dx step not a multiple",
         [](F, void*&, void*&, u8*&, u8*&, long long* s, qpxSizeL&, float&, float&, int& n) {
             s[0] += 2;
             n = 3;
         },
         qpxStatusStepNotMultiple, qpxStatusOk},
        {"dy step odd before thresholds",
         [](F, void*&, void*&, u8*&, u8*&, long long* s, qpxSizeL&, float& lo, float&, int&) {
             s[1] += 1;
             lo = -1;
         },
         qpxStatusStepNotMultiple, -1},
        {"low negative",
         [](F, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL&, float& lo, float& hi, int&) {
             lo = -0.5f;
             hi = 0.1f;  // squared, high falls below low too
         },
         qpxStatusBadArgument, -1},
        {"high below low before norm",
         [](F, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL&, float& lo, float& hi, int& n) {
             lo = 5;
             hi = 4;
             n = 3;
         },
         qpxStatusBadArgument, -1},
        {"NaN low",
         [](F, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL&, float& lo, float&, int&) {
             lo = NAN;
         },
         qpxStatusBadArgument, -1},
        {"NaN high",
         [](F, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL&, float&, float& hi, int&) {
             hi = NAN;
         },
         qpxStatusBadArgument, -1},
        {"bad norm",
         [](F, void*&, void*&, u8*&, u8*&, long long*, qpxSizeL&, float&, float&, int& n) {
             n = 1;
         },
         qpxStatusBadNorm, -1, true},
    };
    const int w = 8, h = 5;
    for (Form form : kForms)
        for (const Row& row : rows) {
            if (row.longOnly && !isLong(form)) continue;
            const int e = is16(form) ? 2 : 4;
            Deriv d(form, w, h, Place::End, 16);
            GuardedImage<u8> dst(w, h, 1, 8);
            dst.fill([] { return u8(9); });
            std::vector<u8> bufv(std::size_t(buffer_size(w, h)), 0xAB);
            void* dx = is16(form) ? (void*)d.sx.roi() : (void*)d.fx.roi();
            void* dy = is16(form) ? (void*)d.sy.roi() : (void*)d.fy.roi();
            u8* dp = dst.roi();
            u8* bp = bufv.data();
            long long steps[3] = {w * e + 8, w * e + 8, dst.step()};
            qpxSizeL roi{w, h};
            float lo = 1, hi = 2;
            int norm = normOf(form);
            row.breakIt(form, dx, dy, dp, bp, steps, roi, lo, hi, norm);
            if (!isLong(form) && (roi.width > INT32_MAX || steps[2] > INT32_MAX)) continue;
            const auto before = dst.snapshot();
            qpxStatus st;
            qpxSize r32{int(roi.width), int(roi.height)};
            switch (form) {
                case Form::F32:
                    st = qpxiCanny_32f8u_C1R((float*)dx, int(steps[0]), (float*)dy, int(steps[1]),
                                             dp, int(steps[2]), r32, lo, hi, bp);
                    break;
                case Form::S16:
                    st = qpxiCanny_16s8u_C1R((i16*)dx, int(steps[0]), (i16*)dy, int(steps[1]), dp,
                                             int(steps[2]), r32, lo, hi, bp);
                    break;
                case Form::F32L_L1:
                case Form::F32L_L2:
                    st = qpxiCanny_32f8u_C1R_L((float*)dx, steps[0], (float*)dy, steps[1], dp,
                                               steps[2], roi, lo, hi, norm, bp);
                    break;
                default:
                    st = qpxiCanny_16s8u_C1R_L((i16*)dx, steps[0], (i16*)dy, steps[1], dp, steps[2],
                                               roi, lo, hi, norm, bp);
            }
            qpxStatus expect = is16(form) && row.s16 != -1 ? row.s16 : row.s32;
            // Norm 3 only matters to the long forms.
            if (expect == qpxStatusOk && isLong(form)) expect = qpxStatusBadNorm;
            EXPECT_EQ(st, expect) << row.what << " form " << int(form);
            if (st != qpxStatusOk) {
                EXPECT_EQ(dst.snapshot(), before) << row.what;
                EXPECT_TRUE(std::all_of(bufv.begin(), bufv.end(), [](u8 v) { return v == 0xAB; }))
                    << row.what;
            }
        }
}

// With L2 the 16-bit long form tests the squared thresholds: -3, 2 passes, 3, -4 does not.
TEST(CannyDeriv, SquaredThresholdTest) {
    const int w = 4, h = 4;
    Deriv d(Form::S16L_L2, w, h, Place::End);
    d.set(true, std::vector<float>(w * h, 0), std::vector<float>(w * h, 0), w);
    std::vector<u8> dst(w * h), buf(std::size_t(buffer_size(w, h)));
    EXPECT_EQ(call(Form::S16L_L2, d, dst.data(), w, {w, h}, -1.0f, 2.0f, buf.data()), qpxStatusOk);
    EXPECT_EQ(call(Form::S16L_L2, d, dst.data(), w, {w, h}, -3.0f, 2.0f, buf.data()),
              qpxStatusBadArgument);
    EXPECT_EQ(call(Form::S16L_L1, d, dst.data(), w, {w, h}, -1.0f, 2.0f, buf.data()),
              qpxStatusBadArgument);
    Deriv f(Form::F32L_L2, w, h, Place::End);
    EXPECT_EQ(call(Form::F32L_L2, f, dst.data(), w, {w, h}, -1.0f, 2.0f, buf.data()),
              qpxStatusBadArgument);
}

// Dense candidates: every pixel of alternate rows survives and seeds, and the rows between are
// candidates joined through the hysteresis. The buffer is exactly what the query reports.
TEST(CannyDeriv, DenseCandidatesStayInBuffer) {
    for (Form form : {Form::F32, Form::S16L_L1})
        for (Place place : {Place::Begin, Place::End}) {
            const int w = 37, h = 29;
            std::vector<float> dx, dy;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    // Odd rows: strong vertical gradient; even rows: horizontal gradient whose
                    // magnitude alternates along the row.
                    dx.push_back(y % 2 ? 0.0f : (x % 2 ? 30.0f : 5.0f));
                    dy.push_back(y % 2 ? 100.0f : 0.0f);
                }
            long cand = check_against_reference(form, dx, dy, w, h, 1.0f, 20.0f, place);
            EXPECT_GT(cand * 2, long(w) * h);
        }
}

}  // namespace
