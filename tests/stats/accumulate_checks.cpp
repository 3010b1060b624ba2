// Argument checking of the accumulation and differencing exports: the order of the checks, and
// that a failed call writes nothing and leaves the floating-point control register alone.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/guard.hpp"

namespace {

using qpxtest::GuardedImage;

// One image argument of an export: element size, channels, and whether it is the 8u mask.
struct Arg {
    int elem;
    int channels = 1;
};

struct Export {
    std::string name;
    std::vector<Arg> args;  // in argument order
    std::function<qpxStatus(void* const* p, const int* steps, qpxSize roi)> call;
};

using u8 = std::uint8_t;
using u16 = std::uint16_t;

template <class T>
T* as(void* p) {
    return static_cast<T*>(p);
}

// clang-format off
#define SRC_ACC(fn, T) {#fn, {{sizeof(T)}, {4}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<float>(p[1]), s[1], r); }}
#define SRC_MASK_ACC(fn, T) {#fn, {{sizeof(T)}, {1}, {4}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<u8>(p[1]), s[1], as<float>(p[2]), s[2], r); }}
#define W_SRC_ACC(fn, T) {#fn, {{sizeof(T)}, {4}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<float>(p[1]), s[1], r, 0.5f); }}
#define W_SRC_MASK_ACC(fn, T) {#fn, {{sizeof(T)}, {1}, {4}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<u8>(p[1]), s[1], as<float>(p[2]), s[2], r, 0.5f); }}
#define TWO_ACC(fn, T) {#fn, {{sizeof(T)}, {sizeof(T)}, {4}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<T>(p[1]), s[1], as<float>(p[2]), s[2], r); }}
#define TWO_MASK_ACC(fn, T) {#fn, {{sizeof(T)}, {sizeof(T)}, {1}, {4}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<T>(p[1]), s[1], as<u8>(p[2]), s[2], as<float>(p[3]), s[3], r); }}
#define DIFF(fn, T, ch) {#fn, {{sizeof(T), ch}, {sizeof(T), ch}, {sizeof(T), ch}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<T>(p[1]), s[1], as<T>(p[2]), s[2], r); }}
#define DIFF_C(fn, T, v) {#fn, {{sizeof(T)}, {sizeof(T)}}, [](void* const* p, const int* s, qpxSize r) { \
        return fn(as<T>(p[0]), s[0], as<T>(p[1]), s[1], r, v); }}

const std::vector<Export>& exports() {
    static const std::vector<Export> all = {
        SRC_ACC(qpxiAdd_8u32f_C1IR, u8), SRC_MASK_ACC(qpxiAdd_8u32f_C1IMR, u8),
        SRC_ACC(qpxiAdd_16u32f_C1IR, u16), SRC_MASK_ACC(qpxiAdd_16u32f_C1IMR, u16),
        SRC_MASK_ACC(qpxiAdd_32f_C1IMR, float),
        SRC_ACC(qpxiAddSquare_8u32f_C1IR, u8), SRC_MASK_ACC(qpxiAddSquare_8u32f_C1IMR, u8),
        SRC_ACC(qpxiAddSquare_16u32f_C1IR, u16), SRC_MASK_ACC(qpxiAddSquare_16u32f_C1IMR, u16),
        SRC_ACC(qpxiAddSquare_32f_C1IR, float), SRC_MASK_ACC(qpxiAddSquare_32f_C1IMR, float),
        TWO_ACC(qpxiAddProduct_8u32f_C1IR, u8), TWO_MASK_ACC(qpxiAddProduct_8u32f_C1IMR, u8),
        TWO_ACC(qpxiAddProduct_16u32f_C1IR, u16), TWO_MASK_ACC(qpxiAddProduct_16u32f_C1IMR, u16),
        TWO_ACC(qpxiAddProduct_32f_C1IR, float), TWO_MASK_ACC(qpxiAddProduct_32f_C1IMR, float),
        W_SRC_ACC(qpxiAddWeighted_8u32f_C1IR, u8), W_SRC_MASK_ACC(qpxiAddWeighted_8u32f_C1IMR, u8),
        W_SRC_ACC(qpxiAddWeighted_16u32f_C1IR, u16), W_SRC_MASK_ACC(qpxiAddWeighted_16u32f_C1IMR, u16),
        W_SRC_ACC(qpxiAddWeighted_32f_C1IR, float), W_SRC_MASK_ACC(qpxiAddWeighted_32f_C1IMR, float),
        {"qpxiAddWeighted_32f_C1R", {{4}, {4}, {4}}, [](void* const* p, const int* s, qpxSize r) {
             return qpxiAddWeighted_32f_C1R(as<float>(p[0]), s[0], as<float>(p[1]), s[1],
                                            as<float>(p[2]), s[2], r, 0.25f); }},
        DIFF(qpxiAbsDiff_8u_C1R, u8, 1), DIFF(qpxiAbsDiff_8u_C3R, u8, 3),
        DIFF(qpxiAbsDiff_16u_C1R, u16, 1), DIFF(qpxiAbsDiff_32f_C1R, float, 1),
        DIFF_C(qpxiAbsDiffC_8u_C1R, u8, 7), DIFF_C(qpxiAbsDiffC_16u_C1R, u16, 7),
        DIFF_C(qpxiAbsDiffC_32f_C1R, float, 7.0f),
    };
    return all;
}
// clang-format on

// The images of one call, each against guard pages, with valid steps to start from.
struct Fixture {
    explicit Fixture(const Export& e, qpxSize roi = {9, 3}) : roi(roi) {
        qpxtest::Random rnd(3);
        for (const Arg& a : e.args) {
            imgs.emplace_back(roi.width * a.channels * a.elem, roi.height, 1, 4);
            imgs.back().fill([&] { return static_cast<u8>(rnd.bits() & 0x3f); });
            ptrs.push_back(imgs.back().roi());
            steps.push_back(imgs.back().step());
        }
    }
    std::vector<std::vector<u8>> snapshot() const {
        std::vector<std::vector<u8>> s;
        for (const auto& i : imgs) s.push_back(i.snapshot());
        return s;
    }
    qpxSize roi;
    std::vector<GuardedImage<u8>> imgs;
    std::vector<void*> ptrs;
    std::vector<int> steps;
};

qpxStatus run(const Export& e, Fixture& f, qpxSize roi) {
    return e.call(f.ptrs.data(), f.steps.data(), roi);
}

// Runs a failing call and checks that it reports `want` and changes no byte of any image.
void expect_fails(const Export& e, Fixture& f, qpxSize roi, qpxStatus want, const char* what) {
    auto before = f.snapshot();
    unsigned csr = qpxtest::mxcsr();
    EXPECT_EQ(run(e, f, roi), want) << e.name << ": " << what;
    EXPECT_EQ(f.snapshot(), before) << e.name << " wrote on failure: " << what;
    EXPECT_EQ(qpxtest::mxcsr(), csr) << e.name;
}

TEST(AccumulateChecks, ValidCallsSucceedAndKeepTheControlRegister) {
    for (const Export& e : exports()) {
        Fixture f(e);
        unsigned csr = qpxtest::mxcsr();
        EXPECT_EQ(run(e, f, f.roi), qpxStatusOk) << e.name;
        EXPECT_EQ(qpxtest::mxcsr(), csr) << e.name;
        // Tight steps and a 1x1 ROI are valid too.
        for (std::size_t i = 0; i < e.args.size(); ++i)
            f.steps[i] = f.roi.width * e.args[i].channels * e.args[i].elem;
        EXPECT_EQ(run(e, f, f.roi), qpxStatusOk) << e.name;
        EXPECT_EQ(run(e, f, {1, 1}), qpxStatusOk) << e.name;
    }
}

TEST(AccumulateChecks, PointersComeBeforeSizesAndSizesBeforeSteps) {
    for (const Export& e : exports()) {
        for (std::size_t i = 0; i < e.args.size(); ++i) {
            Fixture f(e);
            f.ptrs[i] = nullptr;
            expect_fails(e, f, f.roi, qpxStatusNullPointer, "null pointer");
            expect_fails(e, f, {0, 0}, qpxStatusNullPointer, "null pointer with empty ROI");
        }
        Fixture f(e);
        for (qpxSize bad : {qpxSize{0, 3}, qpxSize{9, 0}, qpxSize{-1, 3}, qpxSize{9, -5}})
            expect_fails(e, f, bad, qpxStatusBadSize, "empty ROI");
        f.steps[0] = 0;
        expect_fails(e, f, {0, 1}, qpxStatusBadSize, "empty ROI before a bad step");
    }
}

TEST(AccumulateChecks, EachStepAgainstItsRowAndItsElementSize) {
    for (const Export& e : exports()) {
        for (std::size_t i = 0; i < e.args.size(); ++i) {
            Fixture f(e);
            const int row = f.roi.width * e.args[i].channels * e.args[i].elem;
            f.steps[i] = row - 1;
            expect_fails(e, f, f.roi, qpxStatusBadStep, "short step");
            f.steps[i] = -row;
            expect_fails(e, f, f.roi, qpxStatusBadStep, "negative step");
            if (e.args[i].elem > 1) {
                f.steps[i] = row + e.args[i].elem / 2;
                expect_fails(e, f, f.roi, qpxStatusStepNotMultiple, "step not a multiple");
            }
        }
    }
}

// With mixed element sizes each image is checked in full before the next; with one element size
// all row lengths come before all multiples.
TEST(AccumulateChecks, StepOrderAcrossImages) {
    for (const Export& e : exports()) {
        Fixture f(e);
        const std::size_t last = e.args.size() - 1;
        if (e.args[0].elem == 1 || e.args[last].elem == 1) continue;
        f.steps[0] = f.steps[0] + e.args[0].elem / 2;  // first image: not a multiple
        f.steps[last] = 1;                             // last image: too short
        qpxStatus want =
            e.args[0].elem != e.args[last].elem ? qpxStatusStepNotMultiple : qpxStatusBadStep;
        expect_fails(e, f, f.roi, want, "odd first step with a short last step");
    }
}

TEST(AccumulateChecks, ThreeChannelDifferenceNeedsThreeBytesPerPixel) {
    const Export& e = exports()[25];
    ASSERT_EQ(e.name, "qpxiAbsDiff_8u_C3R");
    for (int i = 0; i < 3; ++i) {
        Fixture f(e);
        f.steps[i] = 3 * f.roi.width - 1;
        expect_fails(e, f, f.roi, qpxStatusBadStep, "C3 step of 3w-1");
    }
}

}  // namespace
