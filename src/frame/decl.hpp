// Argument checks as data. Each export declares its parameters by role, in the order it checks
// them, and `check_args` runs the declaration; a failed check stops the walk with the entry's
// status. The declaration also carries what the generic argument test needs to make each
// argument bad (a valid and some refused values of a code), and a registry maps each export's
// name to its declaration:
//
//   constexpr const Decl& kCopy = decl<ptr(0), ptr(2), size(4), step<float>(1, 4),
//                                      step<float>(3, 4), distinct(0, 2)>;
//   QPX_DECLARE(qpxiCopy_32f_C1R, kCopy)
//   ... if (qpxStatus st = check_args(kCopy, src, srcStep, dst, dstStep, roi)) return st;
#pragma once

#include <cstdint>
#include <type_traits>

#include "frame/base.hpp"

namespace qpx {

// The 32-bit and the 64-bit (`_L`) form of an operation.
enum class Form : bool { Narrow, Wide };

// One argument as the checks see it: integers, codes and pointers in `i`; a size record's width
// (a point's x) in `i` and height (y) in `h`; floating-point values in `f`. A rectangle keeps its
// corner in `i`, `h` and its width and height in `w`, `rh`.
struct Val {
    std::int64_t i = 0, h = 0;
    double f = 0;
    std::int64_t w = 0, rh = 0;
};

template <class A>
constexpr Val val(const A& a) {
    if constexpr (std::is_same_v<A, qpxSize> || std::is_same_v<A, qpxSizeL>)
        return {a.width, a.height, 0};
    else if constexpr (std::is_same_v<A, qpxPoint>)
        return {a.x, a.y, 0};
    else if constexpr (std::is_same_v<A, qpxRect>)
        return {a.x, a.y, 0, a.width, a.height};
    else if constexpr (std::is_pointer_v<A>)
        return {std::int64_t(reinterpret_cast<std::uintptr_t>(a)), 0, 0};
    else if constexpr (std::is_floating_point_v<A>)
        return {0, 0, double(a)};
    else
        return {std::int64_t(a), 0, 0};
}

enum class Role : std::uint8_t {
    Ptr,       // non-null pointer
    Size,      // size record (or width and height, or one count) of at least `least`
    Limit32,   // 64-bit value within the 32-bit range (width, height or step)
    Step,      // row step of an image: at least one row, a multiple of the element size
    Row,       // the row test of a step alone, for families that split the step rule
    Multiple,  // the multiple test of a step alone
    Code,      // operation-specific value with an acceptance rule
    Border,    // border code with the family's acceptance rule
    InPlace,   // two pointers that must differ
};

inline constexpr std::uint8_t kNone = 0xFF;

// Acceptance rule of a code: `a` holds every argument, `k` is the index of the one declared.
// Declarations refer to a rule through a constant variable holding it:
//   constexpr Rule odd = [](const Val* a, int k) { return a[k].i % 2 != 0; };
using Rule = bool (*)(const Val* a, int k);

struct Param {
    Role role{};
    std::uint8_t arg = 0;  // the argument checked
    // Size: the height argument of a (width, height) pair, kNone for a size record or a count.
    // Limit32: 0 for the value or a record's width, 1 for a record's height.
    // Step: the size argument whose width the row spans. InPlace: the other pointer.
    std::uint8_t other = kNone;
    std::uint8_t image = kNone;   // Step: the image pointer
    std::int32_t pixelBytes = 0;  // Step: bytes a pixel (0: bit-packed rows); Size: the least
    std::int32_t elem = 1;        // Step: the element size the step is a multiple of
    qpxStatus status = qpxStatusOk;
    const Rule* ok = nullptr;  // Code, Border
    // For the generic argument test: a value that passes, and up to three that are refused
    // when every other argument is valid.
    double good = 0;
    double bad[3] = {0, 0, 0};
    std::uint8_t nbad = 0;
    // Step, Row, Multiple: images larger than the size argument (integral images, the windows
    // read around each output pixel). The row spans `cols` more pixels and the image `rows` more
    // rows; with `rect` (a rectangle argument) both grow by the rectangle's reach as well.
    std::int8_t cols = 0, rows = 0;
    std::uint8_t rect = kNone;
    bool tilted = false;  // reach of a 45-degree window: x + y + w + h both ways
};

constexpr Param ptr(int arg) {
    Param p;
    p.role = Role::Ptr, p.arg = std::uint8_t(arg), p.status = qpxStatusNullPointer;
    return p;
}
// A size record, or with `height` a (width, height) pair.
constexpr Param size(int arg, int height = kNone, qpxStatus st = qpxStatusBadSize) {
    Param p;
    p.role = Role::Size, p.arg = std::uint8_t(arg), p.other = std::uint8_t(height);
    p.pixelBytes = 1, p.status = st;
    return p;
}
// One count of at least `least`.
constexpr Param count(int arg, int least = 1, qpxStatus st = qpxStatusBadSize) {
    Param p = size(arg, kNone, st);
    p.pixelBytes = least, p.elem = 0;  // elem 0 marks a plain count
    return p;
}
// `field` 1 selects the height of a size record.
constexpr Param limit32(int arg, int field = 0) {
    Param p;
    p.role = Role::Limit32, p.arg = std::uint8_t(arg), p.other = std::uint8_t(field);
    p.status = qpxStatusSizeTooLarge;
    return p;
}
// The step argument `arg` of the image at `arg - 1`, whose rows hold `sizeArg`'s width in pixels
// of `pixelBytes` bytes. Consecutive steps share the step rule of check_args.
constexpr Param step(int arg, int sizeArg, int pixelBytes, int elem) {
    Param p;
    p.role = Role::Step, p.arg = std::uint8_t(arg), p.other = std::uint8_t(sizeArg);
    p.image = std::uint8_t(arg - 1), p.pixelBytes = pixelBytes, p.elem = elem;
    p.status = qpxStatusBadStep;
    return p;
}
template <class T>
constexpr Param step(int arg, int sizeArg, int channels = 1) {
    return step(arg, sizeArg, channels * int(sizeof(T)), int(sizeof(T)));
}
// The two halves of a step entry, for a family that puts other checks between them.
template <class T>
constexpr Param step_row(int arg, int sizeArg, int channels = 1) {
    Param p = step<T>(arg, sizeArg, channels);
    p.role = Role::Row;
    return p;
}
template <class T>
constexpr Param step_multiple(int arg, int sizeArg, int channels = 1) {
    Param p = step<T>(arg, sizeArg, channels);
    p.role = Role::Multiple, p.status = qpxStatusStepNotMultiple;
    return p;
}
// A step entry whose image exceeds the size argument, see Param::cols.
constexpr Param grown(Param p, int cols, int rows, int rect = kNone, bool tilted = false) {
    p.cols = std::int8_t(cols), p.rows = std::int8_t(rows), p.rect = std::uint8_t(rect);
    p.tilted = tilted;
    return p;
}
constexpr Param code(int arg, const Rule& ok, qpxStatus st, double good, double bad0,
                     double bad1 = 0, double bad2 = 0, int nbad = 1) {
    Param p;
    p.role = Role::Code, p.arg = std::uint8_t(arg), p.ok = &ok, p.status = st, p.good = good;
    p.bad[0] = bad0, p.bad[1] = bad1, p.bad[2] = bad2, p.nbad = std::uint8_t(nbad);
    return p;
}
constexpr Param border(int arg, const Rule& ok, double good, double bad0, double bad1,
                       double bad2) {
    Param p = code(arg, ok, qpxStatusBadBorder, good, bad0, bad1, bad2, 3);
    p.role = Role::Border;
    return p;
}
constexpr Param distinct(int a, int b) {
    Param p;
    p.role = Role::InPlace, p.arg = std::uint8_t(a), p.other = std::uint8_t(b);
    p.status = qpxStatusInPlaceNotSupported;
    return p;
}

struct Decl {
    const Param* params;
    int count;
};

template <Param... P>
struct Declared {
    static constexpr Param params[] = {P...};
};
template <Param... P>
inline constexpr Decl decl{Declared<P...>::params, int(sizeof...(P))};

// The pixels a step entry's rows span, and the rows its image has beyond the size's height.
inline std::int64_t span_cols(const Param& p, const Val* a) {
    std::int64_t c = a[p.other].i + p.cols;
    if (p.rect != kNone) {
        const Val& r = a[p.rect];
        c += p.tilted ? r.i + r.h + r.w + r.rh : r.i + r.w;
    }
    return c;
}
inline std::int64_t extra_rows(const Param& p, const Val* a) {
    std::int64_t n = p.rows;
    if (p.rect != kNone) {
        const Val& r = a[p.rect];
        n += p.tilted ? r.i + r.h + r.w + r.rh : r.h + r.rh;
    }
    return n;
}

// Runs a declaration over the arguments of one call; the first failed entry's status, else Ok.
qpxStatus run_checks(const Decl& d, const Val* args);

template <class... A>
inline qpxStatus check_args(const Decl& d, const A&... a) {
    const Val v[] = {val(a)...};
    return run_checks(d, v);
}

// The registry: every export's declaration, in constant data of its own section.
struct alignas(16) DeclEntry {
    const char* name;
    const Decl* decl;
};
const Decl* find_decl(const char* name);

// Rules shared by several families.
constexpr bool one_of(std::int64_t v, std::int64_t a, std::int64_t b) {
    return v == a || v == b;
}

}  // namespace qpx

#define QPX_DECLARE(fn, d)                                                                   \
    [[gnu::used,                                                                             \
      gnu::section("qpx_decls")]] static constexpr ::qpx::DeclEntry qpx_decl_entry_##fn{#fn, \
                                                                                        &(d)};
