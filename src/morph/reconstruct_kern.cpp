// Morphological reconstruction by sweeps. A forward pass carries values down and along each row,
// then checking passes alternate direction until no row changes. Only rows that changed or
// whose neighbours changed are revisited, so the cost follows how far the marker actually
// travels.
//
// Along a row the sweep J(x) = down(up(J(x), J(x-1)), I(x)) is a chain of clamps; a composition
// of clamps is again a clamp, so the integer vector path evaluates a whole vector of the chain
// with a logarithmic prefix scan. Integer min/max are exact and associative, so this gives the
// scalar result bit for bit. Floating-point min/max are exact too, but associative only without
// NaN and signed zeros, so a float row that holds either is swept sequentially. The scalar
// target sweeps every row sequentially; the others scan 16 bytes at a time.
#include "frame/vec.hpp"
#include "morph/reconstruct.hpp"

#include <cstring>
#include <initializer_list>
#include <limits>

namespace qpx::morph::QPX_TNS {
namespace {

// Whether rows are scanned in vectors: every target but the scalar one.
constexpr bool kVector = QPX_TARGET != 0;

using u8 = std::uint8_t;
using u16 = std::uint16_t;

// The two lattice operations. `up` moves a value towards the neighbour (max for dilation),
// `down` clamps it by the mask (min for dilation). Ties keep the pixel's own value, so equal
// values never count as a change.
template <Recon op, class T>
struct Lattice {
    // The maximum and minimum rule of the vector instructions (the second operand wins ties and
    // NaN), which a single-element comparison compiles to without a branch.
    static T up(T own, T other) {
        return op == Recon::Dilate ? (other > own ? other : own) : (other < own ? other : own);
    }
    static T down(T v, T m) { return op == Recon::Dilate ? (m < v ? m : v) : (m > v ? m : v); }
    // The neutral element of `up`: a value no pixel loses to.
    static T none() {
        if constexpr (std::is_floating_point_v<T>) {
            T inf = std::numeric_limits<T>::infinity();
            return op == Recon::Dilate ? -inf : inf;
        } else {
            return op == Recon::Dilate ? std::numeric_limits<T>::min()
                                       : std::numeric_limits<T>::max();
        }
    }
};

// ---- vector pieces -----------------------------------------------------------------------

template <Recon op, class T>
struct Vec;

// 16 bytes or 8 halves of unsigned integers.
template <Recon op, class T>
struct IntVec {
    using V = __m128i;
    static constexpr int L = 16 / int(sizeof(T));
    static V load(const T* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(T* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V vmax(V a, V b) { return sizeof(T) == 1 ? _mm_max_epu8(a, b) : _mm_max_epu16(a, b); }
    static V vmin(V a, V b) { return sizeof(T) == 1 ? _mm_min_epu8(a, b) : _mm_min_epu16(a, b); }
    static V up(V own, V other) {
        return op == Recon::Dilate ? vmax(own, other) : vmin(own, other);
    }
    static V down(V v, V m) { return op == Recon::Dilate ? vmin(v, m) : vmax(v, m); }
    static V set1(T v) {
        return sizeof(T) == 1 ? _mm_set1_epi8(static_cast<char>(v))
                              : _mm_set1_epi16(static_cast<short>(v));
    }
};
template <Recon op>
struct Vec<op, u8> : IntVec<op, u8> {};
template <Recon op>
struct Vec<op, u16> : IntVec<op, u16> {};

// 8 floats or 4 doubles; the operand order reproduces the scalar ties.
template <Recon op>
struct Vec<op, float> {
    using V = __m256;
    static constexpr int L = 8;
    static V load(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, V v) { _mm256_storeu_ps(p, v); }
    static V up(V own, V other) {
        return op == Recon::Dilate ? _mm256_max_ps(other, own) : _mm256_min_ps(other, own);
    }
};
template <Recon op>
struct Vec<op, double> {
    using V = __m256d;
    static constexpr int L = 4;
    static V load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
    static V up(V own, V other) {
        return op == Recon::Dilate ? _mm256_max_pd(other, own) : _mm256_min_pd(other, own);
    }
};

// ---- the vertical step: combine a row with one neighbouring row ----------------------------

template <Recon op, class T>
inline T combine_at(T* j, const T* nb, int x, int w, bool eight) {
    using Lat = Lattice<op, T>;
    T v = j[x];
    if (eight && x > 0) v = Lat::up(v, nb[x - 1]);
    v = Lat::up(v, nb[x]);
    if (eight && x + 1 < w) v = Lat::up(v, nb[x + 1]);
    return v;
}

template <Recon op, class T>
void combine(T* j, const T* nb, int w, bool eight) {
    using Vc = Vec<op, T>;
    int x = 0;
    if (kVector && w >= Vc::L + 2) {
        // The first and last pixels lack a diagonal neighbour; the vector loop covers the rest.
        const int first = eight ? 1 : 0, last = eight ? w - 1 : w;
        for (; x < first; ++x) j[x] = combine_at<op>(j, nb, x, w, eight);
        for (; x + Vc::L <= last; x += Vc::L) {
            auto v = Vc::load(j + x);
            if (eight) v = Vc::up(v, Vc::load(nb + x - 1));
            v = Vc::up(v, Vc::load(nb + x));
            if (eight) v = Vc::up(v, Vc::load(nb + x + 1));
            Vc::store(j + x, v);
        }
    }
    for (; x < w; ++x) j[x] = combine_at<op>(j, nb, x, w, eight);
}

// ---- the horizontal sweeps ----------------------------------------------------------------

// The 128-bit lanes of a sweep, for every type; floating-point values travel as __m128i so that
// one scan serves all four types.
template <Recon op, class T>
struct ScanVec : IntVec<op, T> {
    // The identity of `down`: a bound that never clamps.
    static __m128i all() {
        return IntVec<op, T>::set1(op == Recon::Dilate ? std::numeric_limits<T>::max()
                                                       : std::numeric_limits<T>::min());
    }
    template <bool forward>
    static __m128i edge(__m128i v) {
        if constexpr (sizeof(T) == 1)
            return _mm_shuffle_epi8(v, _mm_set1_epi8(forward ? 15 : 0));
        else
            return _mm_shuffle_epi8(v, _mm_set1_epi16(forward ? 0x0F0E : 0x0100));
    }
};
template <Recon op, class F>
struct FloatScan {
    using V = __m128i;
    static constexpr int L = 16 / int(sizeof(F));
    static constexpr bool dbl = sizeof(F) == 8;
    static V load(const F* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(F* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V vmax(V a, V b) {
        if constexpr (dbl)
            return _mm_castpd_si128(_mm_max_pd(_mm_castsi128_pd(a), _mm_castsi128_pd(b)));
        else
            return _mm_castps_si128(_mm_max_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b)));
    }
    static V vmin(V a, V b) {
        if constexpr (dbl)
            return _mm_castpd_si128(_mm_min_pd(_mm_castsi128_pd(a), _mm_castsi128_pd(b)));
        else
            return _mm_castps_si128(_mm_min_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b)));
    }
    static V up(V own, V other) {
        return op == Recon::Dilate ? vmax(other, own) : vmin(other, own);
    }
    static V down(V v, V m) { return op == Recon::Dilate ? vmin(m, v) : vmax(m, v); }
    static V set1(F v) {
        if constexpr (dbl)
            return _mm_castpd_si128(_mm_set1_pd(v));
        else
            return _mm_castps_si128(_mm_set1_ps(v));
    }
    static V all() { return set1(-Lattice<op, F>::none()); }
    template <bool forward>
    static __m128i edge(__m128i v) {
        if constexpr (dbl)
            return _mm_shuffle_epi32(v, forward ? 0xEE : 0x44);
        else
            return _mm_shuffle_epi32(v, forward ? 0xFF : 0x00);
    }
};
template <Recon op>
struct ScanVec<op, float> : FloatScan<op, float> {};
template <Recon op>
struct ScanVec<op, double> : FloatScan<op, double> {};

// One step of the prefix scan of clamps: lane i composes its clamp with the one s lanes before
// it (after it, going right to left). Lanes without a partner take the identity clamp, which is
// (none, all) in (A, B) terms.
template <Recon op, class T, bool forward, int s>
inline void scan_step(__m128i& A, __m128i& B, __m128i noneV, __m128i allV) {
    using Vc = ScanVec<op, T>;
    constexpr int k = s * int(sizeof(T));
    if constexpr (k < 16) {
        __m128i ash, bsh;
        if constexpr (forward) {
            ash = _mm_alignr_epi8(A, noneV, 16 - k);
            bsh = _mm_alignr_epi8(B, allV, 16 - k);
        } else {
            ash = _mm_alignr_epi8(noneV, A, k);
            bsh = _mm_alignr_epi8(allV, B, k);
        }
        B = Vc::down(Vc::up(bsh, A), B);
        A = Vc::up(ash, A);
    }
}

template <Recon op, class T, bool forward>
inline __m128i sweep_block(__m128i A, __m128i B, __m128i carry, __m128i noneV, __m128i allV) {
    using Vc = ScanVec<op, T>;
    scan_step<op, T, forward, 1>(A, B, noneV, allV);
    scan_step<op, T, forward, 2>(A, B, noneV, allV);
    scan_step<op, T, forward, 4>(A, B, noneV, allV);
    scan_step<op, T, forward, 8>(A, B, noneV, allV);
    return Vc::down(Vc::up(A, carry), B);
}

// Floating-point min/max pick the same bits in any order as long as no NaN takes part and
// zeros come with one sign only: then equal values are identical. Rows with NaN or -0 are swept
// sequentially.
template <class T>
bool plain_values(const T* a, const T* b, int w) {
    using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
    constexpr Bits sign = Bits(1) << (8 * sizeof(T) - 1);
    constexpr Bits inf = sizeof(T) == 4 ? Bits(0x7f800000u) : Bits(0x7ff0000000000000ull);
    bool ok = true;
    for (const T* p : {a, b})
        for (int x = 0; x < w; ++x) {
            Bits v;
            std::memcpy(&v, p + x, sizeof v);
            ok &= ((v & ~sign) <= inf) & (v != sign);
        }
    return ok;
}

template <Recon op, class T>
void sweep_right(bool vec, T* j, const T* m, int w) {
    using Lat = Lattice<op, T>;
    using Vc = ScanVec<op, T>;
    int x = 0;
    T carry = Lat::none();
    if (vec && w >= Vc::L) {
        const __m128i noneV = Vc::set1(Lat::none()), allV = Vc::all();
        __m128i c = noneV;
        for (; x + Vc::L <= w; x += Vc::L) {
            __m128i r = sweep_block<op, T, true>(Vc::load(j + x), Vc::load(m + x), c, noneV, allV);
            Vc::store(j + x, r);
            c = Vc::template edge<true>(r);
        }
        carry = j[x - 1];
    }
    for (; x < w; ++x) carry = j[x] = Lat::down(Lat::up(j[x], carry), m[x]);
}

template <Recon op, class T>
void sweep_left(bool vec, T* j, const T* m, int w) {
    using Lat = Lattice<op, T>;
    using Vc = ScanVec<op, T>;
    int x = w;
    T carry = Lat::none();
    if (vec && w >= Vc::L) {
        const __m128i noneV = Vc::set1(Lat::none()), allV = Vc::all();
        __m128i c = noneV;
        for (; x - Vc::L >= 0; x -= Vc::L) {
            __m128i r = sweep_block<op, T, false>(Vc::load(j + x - Vc::L), Vc::load(m + x - Vc::L),
                                                  c, noneV, allV);
            Vc::store(j + x - Vc::L, r);
            c = Vc::template edge<false>(r);
        }
        carry = j[x];
    }
    for (--x; x >= 0; --x) carry = j[x] = Lat::down(Lat::up(j[x], carry), m[x]);
}

// Brings a row into balance with its already combined vertical neighbours.
template <Recon op, class T>
inline void settle_row(T* j, const T* m, int w) {
    bool vec = kVector;
    if constexpr (std::is_floating_point_v<T>) vec = vec && plain_values(j, m, w);
    sweep_right<op>(vec, j, m, w);
    sweep_left<op>(vec, j, m, w);
}

template <Recon op, class T>
void reconstruct(View<const T> mask, View<T> marker, std::uint8_t* buffer, bool eightConn) {
    const int w = int(marker.width), h = int(marker.height);
    // Only checked sizes reach this point; testing them here lets the compiler see that the row
    // and flag counts below never come from a negative value.
    if (w < 1 || h < 1) return;
    const std::size_t rowBytes = std::size_t(w) * sizeof(T);
    const auto at = reconstruct_slots(w, h, int(sizeof(T))).carve(buffer);
    T* saved = reinterpret_cast<T*>(at[0]);
    u8* dirty = at[1];

    // Forward pass: each row takes what the finished row above offers, then settles. After it
    // every value lies under the mask.
    for (int y = 0; y < h; ++y) {
        T* j = marker.row(y);
        if (y > 0) combine<op>(j, marker.row(y - 1), w, eightConn);
        settle_row<op>(j, mask.row(y), w);
    }

    // Checking passes: a settled row is stable until a vertical neighbour changes, so only
    // flagged rows are revisited, against both neighbours.
    std::memset(dirty, 1, std::size_t(h));
    bool changed = true;
    for (bool backward = true; changed; backward = !backward) {
        changed = false;
        for (int i = 0; i < h; ++i) {
            const int y = backward ? h - 1 - i : i;
            if (!dirty[y]) continue;
            dirty[y] = 0;
            T* j = marker.row(y);
            std::memcpy(saved, j, rowBytes);
            if (y > 0) combine<op>(j, marker.row(y - 1), w, eightConn);
            if (y + 1 < h) combine<op>(j, marker.row(y + 1), w, eightConn);
            settle_row<op>(j, mask.row(y), w);
            if (std::memcmp(saved, j, rowBytes) != 0) {
                changed = true;
                if (y > 0) dirty[y - 1] = 1;
                if (y + 1 < h) dirty[y + 1] = 1;
            }
        }
    }
}

}  // namespace

extern const ReconKernels recon_kernels = {
    {reconstruct<Recon::Dilate, u8>, reconstruct<Recon::Erode, u8>},
    {reconstruct<Recon::Dilate, u16>, reconstruct<Recon::Erode, u16>},
    {reconstruct<Recon::Dilate, float>, reconstruct<Recon::Erode, float>},
    {reconstruct<Recon::Dilate, double>, reconstruct<Recon::Erode, double>},
};

}  // namespace qpx::morph::QPX_TNS
