// The frame's shared pieces: the argument-check chain, the rounding helpers (independent of the
// caller's rounding mode, scalar equal to vector) and the control-register guards.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/guard.hpp"
#include "frame/check.hpp"
#include "frame/fpenv.hpp"
#include "frame/round.hpp"

namespace {

using qpx::Check;
using qpx::Rounding;

TEST(Check, FirstFailureWins) {
    int x = 0;
    const int* null = nullptr;
    EXPECT_EQ(Check().ptrs(&x, null).size(qpxSize{0, 0}), qpxStatusNullPointer);
    EXPECT_EQ(Check().ptrs(&x).size(qpxSize{0, 5}).require(false, qpxStatusBadBorder),
              qpxStatusBadSize);
    EXPECT_EQ(
        Check().ptrs(&x).size(qpxSize{1, 1}).require(false, qpxStatusBadBorder).distinct(&x, &x),
        qpxStatusBadBorder);
    EXPECT_EQ(Check().ptrs(&x).size(qpxSize{1, 1}).distinct(&x, &x), qpxStatusInPlaceNotSupported);
    EXPECT_TRUE(Check().ptrs(&x).size(qpxSize{1, 1}).ok());
}

TEST(Check, SixtyFourBitSizes) {
    EXPECT_EQ(Check().fits32(qpxSizeL{2147483648LL, 1}).size(qpxSizeL{2147483648LL, 1}),
              qpxStatusSizeTooLarge);
    EXPECT_EQ(Check().fits32(qpxSizeL{2147483647LL, 1}).size(qpxSizeL{2147483647LL, 1}),
              qpxStatusOk);
    EXPECT_EQ(Check().fits32(qpxSizeL{-1, 1}).size(qpxSizeL{-1, 1}), qpxStatusBadSize);
}

TEST(Check, StepRules) {
    // A 32f image: exactly 4w passes, 4w-1 is short, 4w+2 is not a multiple.
    const int w = 10;
    EXPECT_EQ(Check().steps({qpx::stepOf<float>(4 * w, w)}), qpxStatusOk);
    EXPECT_EQ(Check().steps({qpx::stepOf<float>(4 * w - 1, w)}), qpxStatusBadStep);
    EXPECT_EQ(Check().steps({qpx::stepOf<float>(4 * w + 2, w)}), qpxStatusStepNotMultiple);
    // Mixed 16u and 32f: the odd 16u step is reported before the short 32f step.
    EXPECT_EQ(Check().steps({qpx::stepOf<std::uint16_t>(2 * w + 1, w), qpx::stepOf<float>(1, w)}),
              qpxStatusStepNotMultiple);
    // One element size: all row lengths first.
    EXPECT_EQ(Check().steps({qpx::stepOf<float>(4 * w + 2, w), qpx::maskStepOf(w, w),
                             qpx::stepOf<float>(1, w)}),
              qpxStatusBadStep);
    EXPECT_EQ(Check().steps({qpx::stepOf<std::uint8_t>(3 * w - 1, w, 3)}), qpxStatusBadStep);
}

// Reference rounding in double precision, written out by the rules.
double ref_round(double x, Rounding mode) {
    switch (mode) {
        case Rounding::NearestEven: {
            double f = std::floor(x), d = x - f;
            if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
            return f;
        }
        case Rounding::Truncate:
            return std::trunc(x);
        case Rounding::AddHalf:
            return std::trunc(x + 0.5);
    }
    return x;
}

template <class T, Rounding mode>
void check_saturate(const std::vector<float>& values) {
    constexpr double lo = double(std::numeric_limits<T>::min());
    const double hi = sizeof(T) == 4 ? 2147483520.0 : double(std::numeric_limits<T>::max());
    for (float v : values) {
        double r = ref_round(double(v), mode);
        if (mode == Rounding::AddHalf) r = ref_round(double(v + 0.5f), Rounding::Truncate);
        const T want = static_cast<T>(r < lo ? lo : r > hi ? hi : r);
        EXPECT_EQ((qpx::saturate<T, mode>(v)), want) << v;
    }
}

TEST(Rounding, SaturatingConversionsIgnoreTheCallersMode) {
    std::vector<float> values = {0.0f,     -0.0f,      0.5f,        1.5f,   2.5f,   -0.5f,
                                 -1.5f,    -2.5f,      0.49999997f, 254.5f, 255.5f, 256.0f,
                                 -129.5f,  1e9f,       -1e9f,       3e10f,  -3e10f, 32767.5f,
                                 65535.5f, 8388607.5f, 1e-30f,      -127.5f};
    qpxtest::Random rnd(1);
    for (int i = 0; i < 200; ++i) values.push_back(rnd.next<float>(-70000.0, 70000.0));
    const unsigned saved = _mm_getcsr();
    for (unsigned mode : {0x0000u, 0x2000u, 0x4000u, 0x6000u}) {
        _mm_setcsr((saved & ~0x6000u) | mode);
        check_saturate<std::uint8_t, Rounding::NearestEven>(values);
        check_saturate<std::int8_t, Rounding::NearestEven>(values);
        check_saturate<std::uint16_t, Rounding::NearestEven>(values);
        check_saturate<std::int16_t, Rounding::NearestEven>(values);
        check_saturate<std::int32_t, Rounding::NearestEven>(values);
        check_saturate<std::uint8_t, Rounding::Truncate>(values);
        check_saturate<std::int16_t, Rounding::Truncate>(values);
        check_saturate<std::uint8_t, Rounding::AddHalf>(values);
        check_saturate<std::int16_t, Rounding::AddHalf>(values);
    }
    _mm_setcsr(saved);
}

TEST(Rounding, NaNSaturatesToTheMaximum) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(qpx::saturate<std::uint8_t>(nan), 255);
    EXPECT_EQ(qpx::saturate<std::int16_t>(nan), 32767);
}

TEST(Rounding, IntegerSaturation) {
    EXPECT_EQ((qpx::saturate_int<std::uint8_t, int>(-3)), 0);
    EXPECT_EQ((qpx::saturate_int<std::uint8_t, int>(300)), 255);
    EXPECT_EQ((qpx::saturate_int<std::int16_t, int>(-40000)), -32768);
    EXPECT_EQ((qpx::saturate_int<std::uint16_t, std::int64_t>(1LL << 40)), 65535);
    EXPECT_EQ((qpx::saturate_int<std::int32_t, std::uint32_t>(0xFFFFFFFFu)), INT32_MAX);
}

// Each guard restores what it must, and only that.
TEST(ControlRegister, GuardsRestoreTheirFields) {
    const unsigned saved = _mm_getcsr();
    const unsigned base = (saved & ~0x7FFFu) | 0x1F80u;  // default masks, nearest, no flags

    _mm_setcsr(base | 0x2000u);  // caller rounds down
    {
        qpx::RoundTowardZeroScope s;
        EXPECT_EQ(_mm_getcsr() & qpx::kMxcsrRoundMask, qpx::kMxcsrRoundTowardZero);
        _mm_setcsr(_mm_getcsr() | 0x0040u);  // a change outside the rounding field survives
    }
    EXPECT_EQ(_mm_getcsr() & 0xFFC0u, (base | 0x2000u | 0x0040u) & 0xFFC0u);

    _mm_setcsr(base | 0x4000u);
    {
        qpx::RoundTowardZeroLoopScope s;
        EXPECT_EQ(_mm_getcsr() & qpx::kMxcsrRoundMask, qpx::kMxcsrRoundTowardZero);
        _mm_setcsr(_mm_getcsr() | 0x0040u);
    }
    EXPECT_EQ(_mm_getcsr(), base | 0x4000u);  // the whole register comes back

    _mm_setcsr(base & ~qpx::kMxcsrDenormalMask);  // caller unmasked the denormal exception
    {
        qpx::DenormalMaskScope s;
        EXPECT_TRUE(_mm_getcsr() & qpx::kMxcsrDenormalMask);
    }
    EXPECT_EQ(_mm_getcsr(), base & ~qpx::kMxcsrDenormalMask);
    _mm_setcsr(base | 0x0020u);  // precision flag already set: left alone when nothing differs
    {
        qpx::DenormalMaskScope s;
        _mm_setcsr(_mm_getcsr() | 0x0010u);
    }
    EXPECT_EQ(_mm_getcsr(), base | 0x0020u | 0x0010u);

    _mm_setcsr(base | 0x6000u | qpx::kMxcsrDaz);  // toward zero, denormals are zero
    {
        qpx::RoundNearestScope s;
        EXPECT_EQ(_mm_getcsr() & (qpx::kMxcsrRoundMask | qpx::kMxcsrDaz), 0u);
    }
    EXPECT_EQ(_mm_getcsr(), base | 0x6000u);  // rounding back, DAZ stays cleared
    _mm_setcsr(base | qpx::kMxcsrDaz);        // already nearest: nothing touched
    { qpx::RoundNearestScope s; }
    EXPECT_EQ(_mm_getcsr(), base | qpx::kMxcsrDaz);

    _mm_setcsr(saved);
}

}  // namespace
