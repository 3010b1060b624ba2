// The differences of the composed morphology operations, compiled once per vector target:
// saturating for integers, plain single-precision subtraction for floats, with negative results
// optionally replaced by 0.
#include "frame/vec.hpp"
#include "morph/morph_adv.hpp"
#include "morph/morph_vec.hpp"

namespace qpx::morph::QPX_TNS {
namespace {

using namespace qpx::QPX_TNS;

template <class T>
void subtract(const T* a, std::int64_t aStep, const T* b, std::int64_t bStep, T* dst,
              std::int64_t dstStep, std::int64_t elems, std::int64_t height, bool clampNeg) {
    for (std::int64_t y = 0; y < height; ++y) {
        const T* ra = row(a, aStep, y);
        const T* rb = row(b, bStep, y);
        T* rd = row(dst, dstStep, y);
        for_lanes<T>(0, elems, [&](auto w, std::int64_t x) {
            using W = decltype(w);
            w.store(rd + x, W::diff(w.load(ra + x), w.load(rb + x), clampNeg));
        });
    }
}

}  // namespace

extern const AdvKernels adv_kernels = {subtract<u8>, subtract<u16>, subtract<s16>, subtract<float>};

}  // namespace qpx::morph::QPX_TNS
