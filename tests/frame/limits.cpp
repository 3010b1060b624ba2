// The edge of the 32-bit range in the 64-bit morphology: 2^31-1 itself fits, except in the
// compositions. Values beyond the range are the generic argument test's. Every call runs in a
// child process against a small guarded buffer, so a call that goes ahead crashes or hangs one
// case only.
#include <gtest/gtest.h>

#include <climits>

#include "common/guard.hpp"

namespace {

using qpxtest::GuardedBuffer;
using qpxtest::in_child;
using i64 = std::int64_t;
using u8 = std::uint8_t;

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

const qpxBorderType kRepl = 1;

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
