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
void subtract(View<const T> a, View<const T> b, View<T> dst, bool clampNeg) {
    const std::int64_t elems = dst.elements();
    for (std::int64_t y = 0; y < dst.height; ++y) {
        const T* ra = a.row(y);
        const T* rb = b.row(y);
        T* rd = dst.row(y);
        for_lanes<T>(0, elems, [&](auto w, std::int64_t x) {
            using W = decltype(w);
            w.store(rd + x, W::diff(w.load(ra + x), w.load(rb + x), clampNeg));
        });
    }
}

}  // namespace

extern const AdvKernels adv_kernels = {subtract<u8>, subtract<u16>, subtract<s16>, subtract<float>};

}  // namespace qpx::morph::QPX_TNS
