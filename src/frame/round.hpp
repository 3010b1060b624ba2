// Conversions of floating-point results to integer elements. Each rounding rule is independent
// of the caller's rounding mode, and the scalar helpers use the same instruction semantics as
// the vector code (min/max order, explicit rounding immediates) so the two paths agree bit for
// bit, NaN included: NaN saturates to the type's maximum.
#pragma once

#include <immintrin.h>

#include <limits>
#include <type_traits>

#include "frame/base.hpp"

namespace qpx {

enum class Rounding { NearestEven, Truncate, AddHalf };

namespace detail {
template <class T>
inline float sat_hi() {
    // The largest float that converts to a value inside T: for 32-bit integers that is
    // 2^31 - 128, since 2^31 - 1 has no float.
    if constexpr (sizeof(T) >= 4)
        return 2147483520.0f;
    else
        return static_cast<float>(std::numeric_limits<T>::max());
}
template <class T>
inline float sat_lo() {
    return static_cast<float>(std::numeric_limits<T>::min());
}
}  // namespace detail

// Rounds to an integral float by `mode` without looking at the control register.
inline float round_f32(float x, Rounding mode) {
    __m128 v = _mm_set_ss(x);
    switch (mode) {
        case Rounding::NearestEven:
            v = _mm_round_ss(v, v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
            break;
        case Rounding::Truncate:
            v = _mm_round_ss(v, v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
            break;
        case Rounding::AddHalf:
            v = _mm_add_ss(v, _mm_set_ss(0.5f));
            v = _mm_round_ss(v, v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
            break;
    }
    return _mm_cvtss_f32(v);
}

// Float to integer element: round by `mode`, then saturate to T's range.
template <class T, Rounding mode = Rounding::NearestEven>
inline T saturate(float x) {
    static_assert(std::is_integral_v<T>);
    __m128 v = _mm_set_ss(round_f32(x, mode));
    v = _mm_min_ss(v, _mm_set_ss(detail::sat_hi<T>()));  // NaN picks the bound here
    v = _mm_max_ss(v, _mm_set_ss(detail::sat_lo<T>()));
    return static_cast<T>(_mm_cvttss_si32(v));
}

// Integer to narrower integer with saturation.
template <class T, class S>
constexpr T saturate_int(S v) {
    if constexpr (std::is_signed_v<S> && !std::is_signed_v<T>) {
        if (v < 0) return 0;
    }
    using W = std::common_type_t<S, long long>;
    if (static_cast<W>(v) > static_cast<W>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    if constexpr (std::is_signed_v<T>) {
        if (static_cast<W>(v) < static_cast<W>(std::numeric_limits<T>::min()))
            return std::numeric_limits<T>::min();
    }
    return static_cast<T>(v);
}

}  // namespace qpx
