// The 64-bit entry points refuse any width, height or step beyond the 32-bit range with
// qpxStatusSizeTooLarge, before anything is computed from it. Every call runs in a child
// process against a small guarded buffer, so a call that goes ahead crashes or hangs one case
// only. Exports that declare their checks are the generic argument test's; these are the others.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "common/guard.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::in_child;
using i64 = std::int64_t;
using u8 = std::uint8_t;

const i64 kBig[] = {i64(INT32_MAX) + 1, INT64_MAX};

// Every pointer argument points into one small guarded page of zeros: a refused call reads none
// of it, and a call that goes ahead runs off it at once.
u8* scratch() {
    static GuardedBuffer page(4096);
    return page.data();
}
template <class P>
P* ptr() {
    return reinterpret_cast<P*>(scratch());
}
// A border value: a pointer for multi-channel forms, a plain value otherwise.
template <class V>
V value() {
    if constexpr (std::is_pointer_v<V>)
        return reinterpret_cast<V>(scratch());
    else
        return V{};
}

// The valid arguments that one bad value replaces: a small ROI, ample steps.
struct Args {
    qpxSizeL roi{8, 4};
    i64 step[2] = {1024, 1024};
};

struct Entry {
    std::string name;
    std::function<qpxStatus(const Args&)> call;
    int steps;  // image steps the export takes
};

const qpxBorderType kRepl = 1;

// The compositions share one shape.
template <class T, class D, class V, class S>
Entry image(const char* name,
            qpxStatus (*fn)(const T*, i64, D*, i64, qpxSizeL, qpxBorderType, V, const S*, u8*)) {
    return {name,
            [fn](const Args& a) {
                return fn(ptr<const T>(), a.step[0], ptr<D>(), a.step[1], a.roi, kRepl, value<V>(),
                          ptr<const S>(), ptr<u8>());
            },
            2};
}
template <class S>
Entry bits(const char* name, qpxStatus (*fn)(const u8*, i64, int, u8*, i64, int, qpxSizeL,
                                             qpxBorderType, u8, const S*, u8*)) {
    return {name,
            [fn](const Args& a) {
                return fn(ptr<const u8>(), a.step[0], 0, ptr<u8>(), a.step[1], 0, a.roi, kRepl, 0,
                          ptr<const S>(), ptr<u8>());
            },
            2};
}
// Queries and initialisers: `roi` stands for whichever size they take (ROI or kernel).
Entry query(const char* name, std::function<qpxStatus(qpxSizeL)> fn) {
    return {name, [fn](const Args& a) { return fn(a.roi); }, 0};
}

#define QPX_MORPH_TYPES(X, op) \
    X(op##_8u_C1R_L)           \
    X(op##_8u_C3R_L)           \
    X(op##_8u_C4R_L)           \
    X(op##_16u_C1R_L) X(op##_16s_C1R_L) X(op##_32f_C1R_L) X(op##_32f_C3R_L) X(op##_32f_C4R_L)

std::vector<Entry> entries() {
    std::vector<Entry> e;
#define IMG(fn) e.push_back(image(#fn, fn));
    QPX_MORPH_TYPES(IMG, qpxiMorphOpen)
    QPX_MORPH_TYPES(IMG, qpxiMorphClose)
    QPX_MORPH_TYPES(IMG, qpxiMorphTophat)
    QPX_MORPH_TYPES(IMG, qpxiMorphBlackhat)
    QPX_MORPH_TYPES(IMG, qpxiMorphGradient)
#undef IMG
#define BIT(fn) e.push_back(bits(#fn, fn));

    BIT(qpxiMorphOpen_1u_C1R_L)
    BIT(qpxiMorphClose_1u_C1R_L) BIT(qpxiMorphTophat_1u_C1R_L) BIT(qpxiMorphBlackhat_1u_C1R_L)
        BIT(qpxiMorphGradient_1u_C1R_L)
#undef BIT

            const qpxSizeL m{3, 3};
    auto* out = ptr<i64>();
    for (auto fn : {qpxiMorphGetSpecSize_L, qpxiMorphGetBufferSize_L}) {
        e.push_back(query("size query roi", [=](qpxSizeL r) { return fn(r, m, qpx8u, 1, out); }));
        e.push_back(query("size query mask", [=](qpxSizeL r) { return fn(m, r, qpx8u, 1, out); }));
    }
    e.push_back(query("qpxiMorphInit_L roi", [=](qpxSizeL r) {
        return qpxiMorphInit_L(r, ptr<const u8>(), m, qpx8u, 1, ptr<qpxMorphStateL>());
    }));
    return e;
}

TEST(SizeLimit, EveryWideEntryPointRefusesValuesBeyond32Bits) {
    for (const Entry& e : entries())
        for (i64 big : kBig) {
            SCOPED_TRACE(e.name + " with " + std::to_string(big));
            Args a;
            a.roi.width = big;
            EXPECT_EQ(in_child([&] { return e.call(a); }), qpxStatusSizeTooLarge) << "width";
            a = Args{};
            a.roi.height = big;
            EXPECT_EQ(in_child([&] { return e.call(a); }), qpxStatusSizeTooLarge) << "height";
            for (int s = 0; s < e.steps; ++s) {
                a = Args{};
                a.step[s] = big;
                EXPECT_EQ(in_child([&] { return e.call(a); }), qpxStatusSizeTooLarge)
                    << "step " << s;
            }
        }
}

// 2^31-1 itself fits: it passes the limit and fails (harmlessly) on the next check, except in
// the compositions, which need one more pixel of room.
TEST(SizeLimit, LargestValueFitsExceptInCompositions) {
    const i64 kMax = INT32_MAX;
    auto run = [&](auto fn, qpxBorderType border) {
        return in_child([&] {
            return fn(ptr<const u8>(), kMax, ptr<u8>(), kMax, qpxSizeL{kMax, 4}, border, u8(0),
                      ptr<const qpxMorphStateL>(), ptr<u8>());
        });
    };
    // Kind 2 is refused by the border rule, which comes before the compositions' own limit.
    EXPECT_EQ(run(qpxiErode_8u_C1R_L, 2), qpxStatusBadBorder);
    EXPECT_EQ(run(qpxiMorphOpen_8u_C1R_L, 2), qpxStatusBadBorder);
    EXPECT_EQ(run(qpxiMorphOpen_8u_C1R_L, kRepl), qpxStatusSizeTooLarge);
    EXPECT_EQ(run(qpxiMorphGradient_8u_C1R_L, kRepl), qpxStatusSizeTooLarge);
    // A negative value is the size check's.
    EXPECT_EQ(in_child([] {
                  return qpxiErode_8u_C1R_L(ptr<const u8>(), 64, ptr<u8>(), 64, qpxSizeL{-1, 4},
                                            kRepl, 0, ptr<const qpxMorphStateL>(), ptr<u8>());
              }),
              qpxStatusBadSize);
}

}  // namespace
