// Every family whose reported buffer or spec size is a fixed formula carves its memory from a
// layout; the formula must cover that layout, worst-case alignment of the caller's pointer
// included, for every size. A sweep over small and awkward sizes (and some large ones, which
// cost nothing here because only the arithmetic runs) finds the shapes where a rounding in
// the formula and a rounding in the layout disagree.
#include <gtest/gtest.h>

#include <vector>

#include "feature/canny.hpp"
#include "feature/corner.hpp"
#include "filter/derivative.hpp"
#include "filter/fixed.hpp"
#include "filter/gaussian.hpp"
#include "filter/separable.hpp"
#include "morph/reconstruct.hpp"
#include "stats/haar.hpp"

namespace {

using i64 = std::int64_t;
namespace feature = qpx::feature;
namespace filter = qpx::filter;

std::vector<i64> sides() {
    std::vector<i64> v;
    for (i64 n = 1; n <= 70; ++n) v.push_back(n);
    for (i64 n : {95, 96, 97, 127, 128, 129, 255, 257, 1000, 1023, 1920, 4097}) v.push_back(n);
    return v;
}

TEST(Layouts, AlignmentSlackAndOffsets) {
    const auto l = qpx::layout(qpx::Slot{5, 1}, qpx::Slot{3, 64}, qpx::Slot{0, 8});
    EXPECT_EQ(l.offset(1), 64);
    EXPECT_EQ(l.span(), 72);  // an empty slot still starts aligned
    EXPECT_EQ(l.bytes(), 72 + 63);
    alignas(64) unsigned char mem[256];
    for (int shift = 0; shift < 64; ++shift) {
        const auto at = l.carve(mem + shift);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(at[1]) % 64, 0u);
        EXPECT_LE(at[2], mem + shift + l.bytes());
        EXPECT_GE(at[0], mem + shift);
    }
}

TEST(Layouts, CannyBuffersCoverTheirSlots) {
    for (i64 w : sides())
        for (i64 h : {1, 2, 3, 4, 5, 7, 33, 64, 65, 1080}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h);
            const i64 size = feature::canny_buffer_size(w, h);
            EXPECT_GE(size, (feature::canny_slots<std::uint32_t, float>(w, h).bytes()));
            EXPECT_GE(size, (feature::canny_slots<std::uint32_t, std::int32_t>(w, h).bytes()));
            for (int k : {3, 5}) {
                const i64 b = feature::canny_border_buffer_size(w, h, k);
                EXPECT_GE(b, feature::canny_border_slots(w, h, k).bytes());
                const feature::BorderLayout l = feature::canny_border_layout(w, h, k);
                EXPECT_LE(l.scratchEnd, l.copy);
                EXPECT_LE(l.seeds, l.copy);
            }
        }
    // Past 65532 a stack entry takes 8 bytes.
    EXPECT_GE(feature::canny_buffer_size(70000, 3),
              (feature::canny_slots<std::uint64_t, float>(70000, 3).bytes()));
}

TEST(Layouts, CornerBuffersCoverTheirSlots) {
    for (i64 w : sides())
        for (int h : {1, 2, 5, 17, 100, 301}) {
            const qpxSize roi{int(w), h};
            for (int n : {1, 2, 3, 5, 8, 15})
                for (int mask : {qpxMskSize3x3, qpxMskSize5x5}) {
                    SCOPED_TRACE(testing::Message() << w << "x" << h << " n " << n);
                    EXPECT_GE(feature::harris_buffer_size(roi, mask, n, true),
                              feature::harris_buffer_need<std::uint8_t>(roi, mask, n));
                    EXPECT_GE(feature::harris_buffer_size(roi, mask, n, false),
                              feature::harris_buffer_need<float>(roi, mask, n));
                    EXPECT_GE(feature::harris_buffer_size(roi, mask, n, true),
                              feature::line_buffer_need(roi, mask, n, false));
                }
            for (int aperture : {3, 5})
                for (int n : {3, 5}) {
                    EXPECT_GE(feature::eigen_buffer_size<std::uint8_t>(roi, aperture),
                              feature::eigen_buffer_need<std::uint8_t>(roi, aperture, n));
                    EXPECT_GE(feature::eigen_buffer_size<float>(roi, aperture),
                              feature::eigen_buffer_need<float>(roi, aperture, n));
                }
        }
}

TEST(Layouts, FilterBuffersCoverTheirSlots) {
    for (i64 w : sides()) {
        SCOPED_TRACE(w);
        for (i64 k : {1, 2, 3, 5, 7, 11, 31})
            for (int ch : {1, 3, 4}) {
                EXPECT_GE(filter::separable_buffer_size(w, k, k + 2, qpx16s, ch),
                          filter::separable_buffer_slots(w, k, k + 2, ch).bytes());
                EXPECT_GE(filter::separable_buffer_size(w, k + 1, k, qpx32f, ch),
                          filter::separable_buffer_slots(w, k + 1, k, ch).bytes());
                if (k % 2) {
                    EXPECT_GE(filter::gauss_engine_buffer_size(w, k, ch),
                              filter::gauss_engine_slots(w, k, ch).bytes());
                }
            }
        for (i64 k : {1, 3, 9})
            EXPECT_GE(filter::separable_spec_size(k, k + 4, qpx16s),
                      i64(sizeof(qpxFilterSeparableSpec)) +
                          filter::separable_coeff_slots(k, k + 4, qpx16s).bytes());
        for (int h : {1, 4, 100}) {
            const qpxSize roi{int(w), h};
            for (auto [mask, ks] : {std::pair{qpxMskSize3x3, 3}, std::pair{qpxMskSize5x5, 5}}) {
                const i64 floats =
                    filter::fixed_ring_slots(w, ks, ks * filter::kFixedMaxRows).bytes();
                const i64 ints = filter::fixed_int_slots(w, ks, filter::kFixedMaxRows).bytes();
                using filter::FixedOp;
                for (int f : {0, 1}) {
                    const i64 need = f ? floats : ints;
                    EXPECT_GE(filter::fixed_buffer_size<FixedOp::SobelCross>(roi, mask, f), need);
                    EXPECT_GE(filter::fixed_buffer_size<FixedOp::Laplacian>(roi, mask, f), need);
                    EXPECT_GE(filter::fixed_buffer_size<FixedOp::Lowpass>(roi, mask, f), need);
                }
                // The derivative filters run one-pass kernels through the same engine.
                int d8 = 0, d32 = 0;
                ASSERT_EQ(filter::derivative_buffer_size(filter::DerivKind::SobelV, roi, mask,
                                                         qpx8u, qpx16s, 1, &d8),
                          qpxStatusOk);
                ASSERT_EQ(filter::derivative_buffer_size(filter::DerivKind::SobelV, roi, mask,
                                                         qpx32f, qpx32f, 1, &d32),
                          qpxStatusOk);
                EXPECT_GE(d8, filter::fixed_int_slots(w, ks, 1).bytes());
                EXPECT_GE(d32, filter::fixed_ring_slots(w, ks, ks).bytes());
            }
        }
    }
}

TEST(Layouts, ReconstructionBuffersCoverTheirSlots) {
    for (i64 w : sides())
        for (int h : {1, 2, 7, 64, 1000}) {
            const qpxSize roi{int(w), h};
            for (auto [type, e] : {std::pair{qpx8u, 1}, std::pair{qpx16u, 2}, std::pair{qpx32f, 4},
                                   std::pair{qpx64f, 8}})
                EXPECT_GE(qpx::morph::reconstruct_buffer_bytes(type, roi),
                          qpx::morph::reconstruct_slots(w, h, e).bytes())
                    << w << "x" << h << " type " << type;
        }
}

TEST(Layouts, HaarSpecsCoverTheirSlots) {
    // The records, the features and the work area for every classifier and rectangle count.
    for (i64 length : sides())
        for (i64 total = length; total <= 5 * length; total += (total < 2 * length ? 1 : length))
            for (int type : {qpx32s, qpx32f})
                for (int w : {1, 2, 33, 4097}) {
                    const i64 size = qpx::stats::haar_reported_size(type, {w, 1}, length, total);
                    EXPECT_GE(size, qpx::stats::haar_spec_bytes(length, total))
                        << length << " classifiers, " << total << " rectangles";
                }
}

}  // namespace
