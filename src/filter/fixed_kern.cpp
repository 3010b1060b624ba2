// Fixed-mask filters (mixed second derivative, Laplacian, box low-pass), the first-derivative
// filters and the colour-gradient reduction, compiled once per vector target.
#include "frame/vec.hpp"
#include "filter/filter_vec.hpp"
#include "filter/fixed.hpp"
#include "filter/fixed_engine.hpp"

namespace qpx::filter::QPX_TNS {
namespace {

using namespace fixed;

// Each kernel has exact integer terms for 8-bit sources, and for floats a row stage (row(r):
// one extended source row, r(i) read at x + i) followed by a column stage (col(h): h(t, j) is
// row output t of window row j).

// ---- fixed filters ------------------------------------------------------------------------------

// Mixed second derivative: rows (1 0 -1) / (1 2 0 -2 -1), then columns (-1 0 1) /
// (-1 -2 0 2 1).
struct SobelCross3 {
    static constexpr IntKernel<3, 1> kInt{{{-1, 0, 1}}, {{1, 0, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return r(0) - r(2);
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff3(h(0, 0), h(0, 2));
    }
};
struct SobelCross5 {
    static constexpr IntKernel<5, 1> kInt{{{-1, -2, 0, 2, 1}}, {{1, 2, 0, -2, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return (r(0) - r(4)) + mulk(2, r(1) - r(3));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff5(h(0, 0), h(0, 1), h(0, 3), h(0, 4));
    }
};

// 3x3: the row stage gives the neighbour sum and 8 x centre; the column stage
// 2 x (sum above + sum below) - 8 x centre.
struct Laplacian3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 0, 1}}, {{2, 0, 2}}, -8};
    static constexpr int kRows = 2;
    template <class V, class R>
    static V row(const R& r, int t) {
        return t == 0 ? r(0) + r(2) : mulk(8, r(1));
    }
    template <class V, class H>
    static V col(const H& h) {
        return mulk(2, h(0, 0) + h(0, 2)) - h(1, 1);
    }
};
// 5x5: rows smoothed and columns differenced twice, plus rows differenced twice and columns
// smoothed.
struct Laplacian5 {
    static constexpr IntKernel<5, 2> kInt{{{1, 0, -2, 0, 1}, {1, 4, 6, 4, 1}},
                                          {{1, 4, 6, 4, 1}, {1, 0, -2, 0, 1}}};
    static constexpr int kRows = 2;
    template <class V, class R>
    static V row(const R& r, int t) {
        return t == 0 ? smooth5(r(0), r(1), r(2), r(3), r(4)) : second5(r(0), r(2), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        V first = second5(h(0, 0), h(0, 2), h(0, 4));
        V second = smooth5(h(1, 0), h(1, 1), h(1, 2), h(1, 3), h(1, 4));
        return first + second;
    }
};

struct Box3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 1, 1}}, {{1, 1, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return box3(r(0), r(1), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return box3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct Box5 {
    static constexpr IntKernel<5, 1> kInt{{{1, 1, 1, 1, 1}}, {{1, 1, 1, 1, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return box5(r(0), r(1), r(2), r(3), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        return box5(h(0, 0), h(0, 1), h(0, 2), h(0, 3), h(0, 4));
    }
};

// ---- first-derivative filters -------------------------------------------------------------------

template <class V, class R>
inline V neg3(const R& r) {  // 1 0 -1
    return r(0) - r(2);
}
template <class V, class R>
inline V neg5(const R& r) {  // 1 2 0 -2 -1
    return (r(0) - r(4)) + mulk(2, r(1) - r(3));
}

struct SobelV3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 2, 1}}, {{1, 0, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return neg3<V>(r);
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct SobelNegV3 {
    static constexpr IntKernel<3, 1> kInt{{{1, 2, 1}}, {{-1, 0, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return diff3(r(0), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct SobelH3 {
    static constexpr IntKernel<3, 1> kInt{{{-1, 0, 1}}, {{1, 2, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return smooth3(r(0), r(1), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff3(h(0, 0), h(0, 2));
    }
};
struct ScharrV3 {
    static constexpr IntKernel<3, 1> kInt{{{3, 10, 3}}, {{-1, 0, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return diff3(r(0), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return scharr3(h(0, 0), h(0, 1), h(0, 2));
    }
};
struct ScharrH3 {
    static constexpr IntKernel<3, 1> kInt{{{-1, 0, 1}}, {{3, 10, 3}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return scharr3(r(0), r(1), r(2));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff3(h(0, 0), h(0, 2));
    }
};
struct SobelV5 {
    static constexpr IntKernel<5, 1> kInt{{{1, 4, 6, 4, 1}}, {{1, 2, 0, -2, -1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return neg5<V>(r);
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth5(h(0, 0), h(0, 1), h(0, 2), h(0, 3), h(0, 4));
    }
};
struct SobelNegV5 {
    static constexpr IntKernel<5, 1> kInt{{{1, 4, 6, 4, 1}}, {{-1, -2, 0, 2, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return diff5(r(0), r(1), r(3), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        return smooth5(h(0, 0), h(0, 1), h(0, 2), h(0, 3), h(0, 4));
    }
};
struct SobelH5 {
    static constexpr IntKernel<5, 1> kInt{{{-1, -2, 0, 2, 1}}, {{1, 4, 6, 4, 1}}};
    template <class V, class R>
    static V row(const R& r, int) {
        return smooth5(r(0), r(1), r(2), r(3), r(4));
    }
    template <class V, class H>
    static V col(const H& h) {
        return diff5(h(0, 0), h(0, 1), h(0, 3), h(0, 4));
    }
};

template <int KS, class K, class Store, class Src>
void filter(View<const Src> src, View<typename Store::Dst> dst, std::uint32_t border, Src value,
            std::uint8_t* buffer, bool prefetch) {
    run<KS, K, Store>(src, dst, border, value, buffer, prefetch);
}

// ---- colour gradient to grey -------------------------------------------------------------------

constexpr float kThird = 0.33333334f;

template <class L>
inline typename L::F mean_sq_root(typename L::F c0, typename L::F c1, typename L::F c2) {
    const auto m = L::add(L::add(L::mul(c0, c0), L::mul(c1, c1)), L::mul(c2, c2));
    return L::sqrt(L::mul(m, L::setf(kThird)));
}

// Integer Inf and L1 norms; the L1 sum is divided by 3 in fixed point.
template <class T, class L>
void gray_int_span(const T* s, T* d, int& x, int w, int norm) {
    using O = FiltOps<L>;
    for (; w - x >= O::k32; x += O::k32) {
        typename O::I32 c0, c1, c2, r;
        O::split3(s + 3 * x, c0, c1, c2);
        if (norm == 0) {
            r = O::max32(O::max32(c0, c1), c2);
        } else {
            const auto sum = O::add32(O::add32(c0, c1), c2);
            constexpr bool b8 = sizeof(T) == 1;
            r = O::sra32(
                O::add32(O::mul32(sum, O::set32(b8 ? 1365 : 5461)), O::set32(b8 ? 2048 : 8192)),
                b8 ? 12 : 14);
        }
        O::store_sat(d + x, r);
    }
}

template <class L>
void gray_float_span(const float* s, float* d, int& x, int w, int norm) {
    using O = FiltOps<L>;
    for (; w - x >= O::k32; x += O::k32) {
        typename L::F c0, c1, c2, r;
        O::split3(s + 3 * x, c0, c1, c2);
        if (norm == 2) {
            r = mean_sq_root<L>(c0, c1, c2);
        } else {
            c0 = L::abs(c0), c1 = L::abs(c1), c2 = L::abs(c2);
            r = norm == 0 ? O::maxf(O::maxf(c0, c1), c2) : L::add(L::add(c0, c1), c2);
        }
        L::storef(d + x, r);
    }
}

template <class T>
void gray(View<const T> src, View<T> dst, int norm) {
    const int w = int(dst.width);
    for (std::int64_t y = 0; y < dst.height; ++y) {
        const T* s = src.row(y);
        T* d = dst.row(y);
        int x = 0;
        if constexpr (std::is_same_v<T, float>) {
            gray_float_span<Wide>(s, d, x, w, norm);
            gray_float_span<One>(s, d, x, w, norm);
        } else {
            gray_int_span<T, Wide>(s, d, x, w, norm);
            gray_int_span<T, One>(s, d, x, w, norm);
        }
    }
}

template <class T, class L>
void roots_span(const T* s, float* m, int& x, int n) {
    using O = FiltOps<L>;
    for (; n - x >= O::k32; x += O::k32) {
        typename O::I32 c0, c1, c2;
        O::split3(s + 3 * x, c0, c1, c2);
        L::storef(m + x, mean_sq_root<L>(O::to_float(c0), O::to_float(c1), O::to_float(c2)));
    }
}
template <class T>
void roots(const T* s, float* m, int n) {
    int x = 0;
    roots_span<T, Wide>(s, m, x, n);
    roots_span<T, One>(s, m, x, n);
}

// The conversion's out-of-range marker (INT_MIN) saturates to 0, like any negative value.
template <class T, class L>
void round_span(const float* m, T* d, int& x, int n) {
    constexpr int N = L::template lanes<float>;
    for (; n - x >= N; x += N) L::store_sat(d + x, L::cvt32(L::loadf(m + x)));
}
template <class T>
void round_roots(const float* m, T* d, int n) {
    int x = 0;
    round_span<T, Wide>(m, d, x, n);
    round_span<T, One>(m, d, x, n);
}

using u8 = std::uint8_t;

}  // namespace

extern const FixedKernels fixed_kernels = {
    {filter<3, SobelCross3, Store16s, u8>, filter<5, SobelCross5, Store16s, u8>},
    {filter<3, Laplacian3, Store16s, u8>, filter<5, Laplacian5, Store16s, u8>},
    {filter<3, Box3, StoreMean8u<9>, u8>, filter<5, Box5, StoreMean8u<25>, u8>},
    {{filter<3, SobelCross3, Store32f, float>, filter<5, SobelCross5, Store32f, float>},
     {filter<3, Laplacian3, Store32f, float>, filter<5, Laplacian5, Store32f, float>},
     {filter<3, Box3, StoreMean32f<9>, float>, filter<5, Box5, StoreMean32f<25>, float>}},
    {{filter<3, SobelV3, Store16s, u8>, filter<5, SobelV5, Store16s, u8>},
     {filter<3, SobelNegV3, Store16s, u8>, filter<5, SobelNegV5, Store16s, u8>},
     {filter<3, SobelH3, Store16s, u8>, filter<5, SobelH5, Store16s, u8>},
     {filter<3, ScharrV3, Store16s, u8>, nullptr},
     {filter<3, ScharrH3, Store16s, u8>, nullptr}},
    {{filter<3, SobelV3, Store32f, float>, filter<5, SobelV5, Store32f, float>},
     {filter<3, SobelNegV3, Store32f, float>, filter<5, SobelNegV5, Store32f, float>},
     {filter<3, SobelH3, Store32f, float>, filter<5, SobelH5, Store32f, float>},
     {filter<3, ScharrV3, Store32f, float>, nullptr},
     {filter<3, ScharrH3, Store32f, float>, nullptr}},
    gray<std::uint8_t>,
    gray<std::uint16_t>,
    gray<float>,
    roots<std::uint8_t>,
    roots<std::uint16_t>,
    round_roots<std::uint8_t>,
    round_roots<std::uint16_t>,
};

}  // namespace qpx::filter::QPX_TNS
