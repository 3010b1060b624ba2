// Border-building copies, ROI copy, fill and 16u to 32f conversion.
//
// Elements are moved as unsigned integers of their size, so every copy is a bit copy: float
// NaN payloads survive and 32s data runs through the same code as 32f. The vector target moves
// the same elements with wider loads and stores, so both paths write identical bits.
#include "frame/border_copy.hpp"

#include <immintrin.h>

#include <cstring>

#include "frame/border_rows.hpp"
#include "frame/cache.hpp"
#include "frame/check.hpp"

namespace qpx {
namespace {

using i64 = std::int64_t;

template <class T>
using Bits = std::conditional_t<sizeof(T) == 1, std::uint8_t,
                                std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint32_t>>;

template <class T>
Bits<T>* bits(T* p) {
    return reinterpret_cast<Bits<T>*>(p);
}
template <class T>
const Bits<T>* bits(const T* p) {
    return reinterpret_cast<const Bits<T>*>(p);
}

inline bool aligned16(const void* p) {
    return (reinterpret_cast<std::uintptr_t>(p) & 15) == 0;
}

// ---- row pieces -------------------------------------------------------------------------------

// n elements from s to d.
template <class U>
void copy_elems(U* d, const U* s, i64 n, Target target) {
    i64 x = 0;
    if (target != Target::Scalar) {
        auto* db = reinterpret_cast<char*>(d);
        auto* sb = reinterpret_cast<const char*>(s);
        const i64 bytes = n * i64(sizeof(U));
        i64 b = 0;
        for (; b + 32 <= bytes; b += 32)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(db + b),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sb + b)));
        if (b + 16 <= bytes) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(db + b),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(sb + b)));
            b += 16;
        }
        x = b / i64(sizeof(U));
    }
    for (; x < n; ++x) d[x] = s[x];
}

// n pixels at d, each a copy of the CH elements at px.
template <class U, int CH>
void fill_pixels(U* d, const U* px, i64 n, Target target) {
    // 48 bytes hold a whole number of pixels for every element size and channel count.
    constexpr int kPix = 48 / (CH * int(sizeof(U)));
    i64 x = 0;
    if (target != Target::Scalar && n >= kPix) {
        alignas(16) U pat[48 / sizeof(U)];
        for (int i = 0; i < kPix; ++i)
            for (int c = 0; c < CH; ++c) pat[i * CH + c] = px[c];
        const __m128i p0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pat));
        const __m128i p1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pat) + 1);
        const __m128i p2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pat) + 2);
        for (; x + kPix <= n; x += kPix) {
            auto* o = reinterpret_cast<__m128i*>(d + x * CH);
            _mm_storeu_si128(o, p0);
            _mm_storeu_si128(o + 1, p1);
            _mm_storeu_si128(o + 2, p2);
        }
    }
    const U v0 = px[0];
    if constexpr (CH == 1) {
        for (; x < n; ++x) d[x] = v0;
    } else {
        for (; x < n; ++x)
            for (int c = 0; c < CH; ++c) d[x * CH + c] = px[c];
    }
}

// Byte shuffle that reverses the order of the P-byte pixels of a 16-byte block.
template <int P>
__m128i reverse_mask() {
    alignas(16) std::int8_t m[16];
    for (int j = 0; j < 16; ++j) m[j] = static_cast<std::int8_t>((16 / P - 1 - j / P) * P + j % P);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(m));
}

// d[k] = s[-k] for n pixels: s is the pixel to write first, the source runs downwards from it.
template <class U, int CH>
void reverse_pixels(U* d, const U* s, i64 n, Target target) {
    constexpr int P = CH * int(sizeof(U));
    i64 k = 0;
    if constexpr (16 % P == 0) {
        if (target != Target::Scalar) {
            constexpr int per = 16 / P;
            const __m128i shuf = reverse_mask<P>();
            for (; k + per <= n; k += per) {
                __m128i v =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(s - (k + per - 1) * CH));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k * CH), _mm_shuffle_epi8(v, shuf));
            }
        }
    }
    for (; k < n; ++k)
        for (int c = 0; c < CH; ++c) d[k * CH + c] = s[-k * CH + c];
}

// The border service's moves, made of the pieces above: bit copies within one element type.
struct CopyMoves {
    Target target;
    template <class S, class U>
    void copy(U* d, const S* s, i64 n) const {
        static_assert(std::is_same_v<S, U>);
        copy_elems(d, s, n, target);
    }
    template <int CH, class S, class U>
    void fill(U* d, const S* px, i64 n) const {
        fill_pixels<U, CH>(d, px, n, target);
    }
    template <int CH, class S, class U>
    void reverse(U* d, const S* s, i64 n) const {
        reverse_pixels<U, CH>(d, s, n, target);
    }
};

// ---- border building --------------------------------------------------------------------------

enum class Build { Repl, Mirror, Const };

// `img` is the image's first pixel inside the destination rectangle. When src == img the image
// is already in place and only the border is written. Every border pixel reads the image's own
// pixels (or the constant), so the order of the pieces does not matter.
template <class U, int CH>
void build_border(Build kind, const U* src, i64 srcStep, qpxSizeL s, U* img, i64 dstStep,
                  qpxSizeL d, i64 top, i64 left, const U* value, Target target) {
    const i64 right = d.width - s.width - left;
    const int mapKind = kind == Build::Mirror  ? kBorderMirror
                        : kind == Build::Const ? kBorderConst
                                               : kBorderRepl;
    const LineExtension ext{mapKind, false, false};
    const CopyMoves mv{target};
    for (i64 y = 0; y < s.height; ++y) {
        const U* sr = row(src, srcStep, y);
        U* o = row(img, dstStep, y);
        if (sr != o) {
            baseline::extend_row<CH>(sr, s.width, ext, -left, s.width + right, value, o - left * CH,
                                     mv);
        } else {
            baseline::extend_row<CH>(sr, s.width, ext, -left, 0, value, o - left * CH, mv);
            baseline::extend_row<CH>(sr, s.width, ext, s.width, s.width + right, value,
                                     o + s.width * CH, mv);
        }
    }

    // Rows below, then rows above, each a whole destination row.
    auto line = [&](i64 y) { return row(img, dstStep, y) - left * CH; };
    auto build_row = [&](i64 y) {
        if (kind == Build::Const)
            fill_pixels<U, CH>(line(y), value, d.width, target);
        else
            copy_elems(line(y), line(ext.map(y, s.height)), d.width * CH, target);
    };
    const i64 bottom = d.height - s.height - top;
    for (i64 y = s.height; y < s.height + bottom; ++y) build_row(y);
    for (i64 y = -1; y >= -top; --y) build_row(y);
}

qpxStatus check_layout(i64 srcStep, i64 dstStep, qpxSizeL s, qpxSizeL d, i64 top, i64 left) {
    const bool sizes = s.width >= 1 && s.height >= 1 && d.width >= 1 && d.height >= 1 && top >= 0 &&
                       left >= 0 && d.width - s.width >= left && d.height - s.height >= top;
    return Check()
        .require(srcStep >= 1 && dstStep >= 1, qpxStatusBadStep)
        .require(sizes, qpxStatusBadSize);
}

template <class T, int CH>
qpxStatus run_copy(Build kind, const T* src, i64 srcStep, qpxSizeL s, T* dst, i64 dstStep,
                   qpxSizeL d, i64 top, i64 left, const T* value, Target target) {
    if (qpxStatus st = Check().ptrs(src, dst); st) return st;
    if (qpxStatus st = check_layout(srcStep, dstStep, s, d, top, left); st) return st;
    if (kind == Build::Const && value == nullptr) return qpxStatusNullPointer;
    using U = Bits<T>;
    if (src == dst) {
        // The image already lies in the buffer: the in-place form.
        build_border<U, CH>(kind, bits(src), srcStep, s, bits(dst), srcStep, d, top, left,
                            bits(value), target);
    } else {
        U* img = row(bits(dst), dstStep, top) + left * CH;
        build_border<U, CH>(kind, bits(src), srcStep, s, img, dstStep, d, top, left, bits(value),
                            target);
    }
    return qpxStatusOk;
}

template <class T, int CH>
qpxStatus run_inplace(Build kind, T* srcDst, i64 step, qpxSizeL s, qpxSizeL d, i64 top, i64 left,
                      Target target) {
    if (qpxStatus st = Check().ptrs(srcDst); st) return st;
    if (qpxStatus st = check_layout(step, step, s, d, top, left); st) return st;
    build_border<Bits<T>, CH>(kind, bits(srcDst), step, s, bits(srcDst), step, d, top, left,
                              nullptr, target);
    return qpxStatusOk;
}

qpxSizeL widen(qpxSize s) {
    return {s.width, s.height};
}

// ---- ROI copy, fill, conversion -----------------------------------------------------------------

qpxStatus check_roi(const void* src, const void* dst, i64 srcStep, i64 dstStep, qpxSize roi) {
    return Check().ptrs(src, dst).require(srcStep >= 1 && dstStep >= 1, qpxStatusBadStep).size(roi);
}

// Streaming stores need 16-byte aligned targets: a scalar head reaches the alignment (a target
// that can never reach it stays scalar), the tail is scalar too.
void stream_copy_row(std::uint8_t* d, const std::uint8_t* s, i64 n) {
    i64 x = 0;
    for (; x < n && !aligned16(d + x); ++x) d[x] = s[x];
    for (; x + 16 <= n; x += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + x),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x)));
    for (; x < n; ++x) d[x] = s[x];
}

template <class U>
void stream_fill_row(U* d, U v, i64 n) {
    i64 x = 0;
    for (; x < n && !aligned16(d + x); ++x) d[x] = v;
    const __m128i p = sizeof(U) == 1 ? _mm_set1_epi8(static_cast<char>(v))
                                     : _mm_set1_epi16(static_cast<short>(v));
    for (; x + i64(16 / sizeof(U)) <= n; x += 16 / sizeof(U))
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + x), p);
    for (; x < n; ++x) d[x] = v;
}

inline __m256 load8_u16_ps(const std::uint16_t* p) {
    __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i lo = _mm_cvtepu16_epi32(w);
    __m128i hi = _mm_cvtepu16_epi32(_mm_unpackhi_epi64(w, w));
    return _mm256_cvtepi32_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}

void convert_row(float* d, const std::uint16_t* s, i64 n, Target target, bool stream) {
    i64 x = 0;
    if (target != Target::Scalar) {
        if (stream) {
            for (; x < n && !aligned16(d + x); ++x) d[x] = static_cast<float>(s[x]);
            for (; x + 8 <= n; x += 8) {
                __m256 v = load8_u16_ps(s + x);
                _mm_stream_si128(reinterpret_cast<__m128i*>(d + x),
                                 _mm_castps_si128(_mm256_castps256_ps128(v)));
                _mm_stream_si128(reinterpret_cast<__m128i*>(d + x + 4),
                                 _mm_castps_si128(_mm256_extractf128_ps(v, 1)));
            }
        } else {
            for (; x + 8 <= n; x += 8) _mm256_storeu_ps(d + x, load8_u16_ps(s + x));
        }
    }
    for (; x < n; ++x) d[x] = static_cast<float>(s[x]);
}

}  // namespace

// ---- border copies ------------------------------------------------------------------------------

template <class T, int CH>
qpxStatus copy_replicate_border_l(const T* src, i64 srcStep, qpxSizeL srcRoi, T* dst, i64 dstStep,
                                  qpxSizeL dstRoi, i64 top, i64 left, Target target) {
    return run_copy<T, CH>(Build::Repl, src, srcStep, srcRoi, dst, dstStep, dstRoi, top, left,
                           nullptr, target);
}
template <class T, int CH>
qpxStatus copy_replicate_border(const T* src, int srcStep, qpxSize srcRoi, T* dst, int dstStep,
                                qpxSize dstRoi, int top, int left, Target target) {
    return copy_replicate_border_l<T, CH>(src, srcStep, widen(srcRoi), dst, dstStep, widen(dstRoi),
                                          top, left, target);
}
template <class T, int CH>
qpxStatus copy_replicate_border_inplace_l(T* srcDst, i64 srcDstStep, qpxSizeL srcRoi,
                                          qpxSizeL dstRoi, i64 top, i64 left, Target target) {
    return run_inplace<T, CH>(Build::Repl, srcDst, srcDstStep, srcRoi, dstRoi, top, left, target);
}
template <class T, int CH>
qpxStatus copy_replicate_border_inplace(T* srcDst, int srcDstStep, qpxSize srcRoi, qpxSize dstRoi,
                                        int top, int left, Target target) {
    return copy_replicate_border_inplace_l<T, CH>(srcDst, srcDstStep, widen(srcRoi), widen(dstRoi),
                                                  top, left, target);
}

template <class T, int CH>
qpxStatus copy_mirror_border_l(const T* src, i64 srcStep, qpxSizeL srcRoi, T* dst, i64 dstStep,
                               qpxSizeL dstRoi, i64 top, i64 left, Target target) {
    return run_copy<T, CH>(Build::Mirror, src, srcStep, srcRoi, dst, dstStep, dstRoi, top, left,
                           nullptr, target);
}
template <class T, int CH>
qpxStatus copy_mirror_border(const T* src, int srcStep, qpxSize srcRoi, T* dst, int dstStep,
                             qpxSize dstRoi, int top, int left, Target target) {
    return copy_mirror_border_l<T, CH>(src, srcStep, widen(srcRoi), dst, dstStep, widen(dstRoi),
                                       top, left, target);
}
template <class T, int CH>
qpxStatus copy_mirror_border_inplace_l(T* srcDst, i64 srcDstStep, qpxSizeL srcRoi, qpxSizeL dstRoi,
                                       i64 top, i64 left, Target target) {
    return run_inplace<T, CH>(Build::Mirror, srcDst, srcDstStep, srcRoi, dstRoi, top, left, target);
}

template <class T, int CH>
qpxStatus copy_const_border_l(const T* src, i64 srcStep, qpxSizeL srcRoi, T* dst, i64 dstStep,
                              qpxSizeL dstRoi, i64 top, i64 left, BorderValueArg<T, CH> value,
                              Target target) {
    const T* v;
    if constexpr (CH == 1)
        v = &value;
    else
        v = value;
    return run_copy<T, CH>(Build::Const, src, srcStep, srcRoi, dst, dstStep, dstRoi, top, left, v,
                           target);
}
template <class T, int CH>
qpxStatus copy_const_border(const T* src, int srcStep, qpxSize srcRoi, T* dst, int dstStep,
                            qpxSize dstRoi, int top, int left, BorderValueArg<T, CH> value,
                            Target target) {
    return copy_const_border_l<T, CH>(src, srcStep, widen(srcRoi), dst, dstStep, widen(dstRoi), top,
                                      left, value, target);
}

// ---- ROI copy, fill, conversion -----------------------------------------------------------------

template <class T, int CH>
qpxStatus copy_roi(const T* src, int srcStep, T* dst, int dstStep, qpxSize roi, Target target,
                   StoreMode store) {
    if (qpxStatus st = check_roi(src, dst, srcStep, dstStep, roi); st) return st;
    const i64 elems = i64(roi.width) * CH;
    const i64 rowBytes = elems * i64(sizeof(T));
    bool stream = false;
    if (target != Target::Scalar && store != StoreMode::Regular) {
        // Only 8-bit data has a streaming decision; the others always store normally.
        stream = store == StoreMode::Streaming ||
                 (sizeof(T) == 1 && stream_roi_copy(rowBytes * roi.height, rowBytes));
    }
    for (int y = 0; y < roi.height; ++y) {
        const T* s = row(src, srcStep, y);
        T* d = row(dst, dstStep, y);
        if (stream)
            stream_copy_row(reinterpret_cast<std::uint8_t*>(d),
                            reinterpret_cast<const std::uint8_t*>(s), rowBytes);
        else
            copy_elems(bits(d), bits(s), elems, target);
    }
    if (stream) _mm_sfence();
    return qpxStatusOk;
}

template <class T>
qpxStatus set_roi(T value, T* dst, int dstStep, qpxSize roi, Target target, StoreMode store) {
    if (qpxStatus st = Check().ptrs(dst).require(dstStep >= 1, qpxStatusBadStep).size(roi); st)
        return st;
    using U = Bits<T>;
    U v;
    std::memcpy(&v, &value, sizeof v);
    const i64 bytes = i64(roi.width) * roi.height * i64(sizeof(T));
    const bool stream = target != Target::Scalar && store != StoreMode::Regular &&
                        (store == StoreMode::Streaming || stream_roi_fill(bytes));
    for (int y = 0; y < roi.height; ++y) {
        U* d = bits(row(dst, dstStep, y));
        if (stream)
            stream_fill_row(d, v, roi.width);
        else
            fill_pixels<U, 1>(d, &v, roi.width, target);
    }
    if (stream) _mm_sfence();
    return qpxStatusOk;
}

qpxStatus convert_roi(const std::uint16_t* src, int srcStep, float* dst, int dstStep, qpxSize roi,
                      Target target, StoreMode store) {
    if (qpxStatus st = check_roi(src, dst, srcStep, dstStep, roi); st) return st;
    const i64 pixels = i64(roi.width) * roi.height;
    const bool stream = target != Target::Scalar && store != StoreMode::Regular &&
                        (store == StoreMode::Streaming || stream_convert_16u32f(pixels));
    for (int y = 0; y < roi.height; ++y)
        convert_row(row(dst, dstStep, y), row(src, srcStep, y), roi.width, target, stream);
    if (stream) _mm_sfence();
    return qpxStatusOk;
}

// ---- instantiations -----------------------------------------------------------------------------

#define QPX_REPLICATE(T, CH)                                                                       \
    template qpxStatus copy_replicate_border<T, CH>(const T*, int, qpxSize, T*, int, qpxSize, int, \
                                                    int, Target);                                  \
    template qpxStatus copy_replicate_border_inplace<T, CH>(T*, int, qpxSize, qpxSize, int, int,   \
                                                            Target);                               \
    template qpxStatus copy_replicate_border_l<T, CH>(const T*, i64, qpxSizeL, T*, i64, qpxSizeL,  \
                                                      i64, i64, Target);                           \
    template qpxStatus copy_replicate_border_inplace_l<T, CH>(T*, i64, qpxSizeL, qpxSizeL, i64,    \
                                                              i64, Target);
#define QPX_MIRROR_COPY(T, CH)                                                                  \
    template qpxStatus copy_mirror_border<T, CH>(const T*, int, qpxSize, T*, int, qpxSize, int, \
                                                 int, Target);                                  \
    template qpxStatus copy_mirror_border_l<T, CH>(const T*, i64, qpxSizeL, T*, i64, qpxSizeL,  \
                                                   i64, i64, Target);
#define QPX_MIRROR_INPLACE(T, CH)                                                                 \
    template qpxStatus copy_mirror_border_inplace_l<T, CH>(T*, i64, qpxSizeL, qpxSizeL, i64, i64, \
                                                           Target);
#define QPX_CONST(T, CH)                                                                           \
    template qpxStatus copy_const_border<T, CH>(const T*, int, qpxSize, T*, int, qpxSize, int,     \
                                                int, BorderValueArg<T, CH>, Target);               \
    template qpxStatus copy_const_border_l<T, CH>(const T*, i64, qpxSizeL, T*, i64, qpxSizeL, i64, \
                                                  i64, BorderValueArg<T, CH>, Target);
#define QPX_CHANNELS(M, T) M(T, 1) M(T, 3) M(T, 4)

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using s16 = std::int16_t;
using s32 = std::int32_t;

QPX_CHANNELS(QPX_REPLICATE, u8)
QPX_CHANNELS(QPX_REPLICATE, s16)
QPX_CHANNELS(QPX_REPLICATE, s32)
QPX_CHANNELS(QPX_REPLICATE, float)

QPX_CHANNELS(QPX_MIRROR_COPY, u8)
QPX_CHANNELS(QPX_MIRROR_COPY, s16)
QPX_CHANNELS(QPX_MIRROR_COPY, float)
QPX_CHANNELS(QPX_MIRROR_INPLACE, u8)
QPX_CHANNELS(QPX_MIRROR_INPLACE, s16)
QPX_CHANNELS(QPX_MIRROR_INPLACE, u16)
QPX_CHANNELS(QPX_MIRROR_INPLACE, s32)
QPX_CHANNELS(QPX_MIRROR_INPLACE, float)

QPX_CHANNELS(QPX_CONST, u8)
QPX_CHANNELS(QPX_CONST, s16)
QPX_CHANNELS(QPX_CONST, float)
QPX_CONST(u16, 1)
QPX_CONST(s32, 1)

template qpxStatus copy_roi<u8, 1>(const u8*, int, u8*, int, qpxSize, Target, StoreMode);
template qpxStatus copy_roi<u8, 3>(const u8*, int, u8*, int, qpxSize, Target, StoreMode);
template qpxStatus copy_roi<s16, 1>(const s16*, int, s16*, int, qpxSize, Target, StoreMode);
template qpxStatus copy_roi<u16, 1>(const u16*, int, u16*, int, qpxSize, Target, StoreMode);
template qpxStatus copy_roi<float, 1>(const float*, int, float*, int, qpxSize, Target, StoreMode);

template qpxStatus set_roi<u8>(u8, u8*, int, qpxSize, Target, StoreMode);
template qpxStatus set_roi<s16>(s16, s16*, int, qpxSize, Target, StoreMode);

}  // namespace qpx
