// Every export's argument checks, driven by its declaration. For each export of the public
// header the test finds the declaration, builds a valid call (images against guard pages, as a
// sub-ROI of a larger image and tight), and then makes each declared argument bad in each way its
// role allows. It asserts the status, that nothing was written and that the control register is
// unchanged; on the valid call, that no byte outside the destination ROIs changed. Everything
// runs under the four rounding modes, with and without FTZ/DAZ.
#include <gtest/gtest.h>

#include <immintrin.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/guard.hpp"
#include "frame/check.hpp"
#include "frame/decl.hpp"

namespace {

using qpx::Decl;
using qpx::Param;
using qpx::Role;
using qpx::Val;
using qpxtest::GuardedBuffer;
using i64 = std::int64_t;
using u8 = std::uint8_t;

constexpr int kW = 9, kH = 6;

// What the test knows of one parameter from the prototype alone.
enum class Kind { Ptr, Int32, Int64, Size, SizeL, Rect, Float, Other };
struct Arg {
    Kind kind;
    bool constPointee;
};

template <class A>
constexpr Arg describe() {
    if constexpr (std::is_pointer_v<A>)
        return {Kind::Ptr, std::is_const_v<std::remove_pointer_t<A>>};
    else if constexpr (std::is_same_v<A, qpxSize>)
        return {Kind::Size, false};
    else if constexpr (std::is_same_v<A, qpxSizeL>)
        return {Kind::SizeL, false};
    else if constexpr (std::is_same_v<A, qpxRect>)
        return {Kind::Rect, false};
    else if constexpr (std::is_floating_point_v<A>)
        return {Kind::Float, false};
    else if constexpr (std::is_integral_v<A> && sizeof(A) == 8)
        return {Kind::Int64, false};
    else if constexpr (std::is_integral_v<A> || std::is_enum_v<A>)
        return {Kind::Int32, false};
    else
        return {Kind::Other, false};
}

template <class T>
T from(const Val& v) {
    if constexpr (std::is_same_v<T, qpxSize>)
        return {int(v.i), int(v.h)};
    else if constexpr (std::is_same_v<T, qpxSizeL>)
        return {v.i, v.h};
    else if constexpr (std::is_same_v<T, qpxPoint>)
        return {int(v.i), int(v.h)};
    else if constexpr (std::is_same_v<T, qpxRect>)
        return {int(v.i), int(v.h), int(v.w), int(v.rh)};
    else if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<T>(static_cast<std::uintptr_t>(v.i));
    else if constexpr (std::is_floating_point_v<T>)
        return T(v.f);
    else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
        return static_cast<T>(v.i);
    else {
        T t;
        std::memset(&t, 0, sizeof t);
        return t;
    }
}

struct Export {
    std::string name;
    std::vector<Arg> args;
    qpxStatus (*invoke)(const void* fn, const Val* a);
    const void* fn;
    qpxStatus call(const std::vector<Val>& a) const { return invoke(fn, a.data()); }
};

template <class... A, std::size_t... I>
qpxStatus invoke_with(qpxStatus (*fn)(A...), const Val* a, std::index_sequence<I...>) {
    return fn(from<A>(a[I])...);
}

template <class... A>
Export make_export(const char* name, qpxStatus (*fn)(A...)) {
    return {name,
            {describe<A>()...},
            [](const void* f, const Val* a) {
                auto typed = reinterpret_cast<qpxStatus (*)(A...)>(const_cast<void*>(f));
                return invoke_with(typed, a, std::index_sequence_for<A...>{});
            },
            reinterpret_cast<const void*>(fn)};
}

std::vector<Export> all_exports() {
    return {
#define X(fn) make_export(#fn, fn),
#include "all_exports.inc"
#undef X
    };
}

// The caller's floating-point environments: four rounding modes, with and without FTZ/DAZ.
std::vector<unsigned> fp_modes() {
    std::vector<unsigned> m;
    for (unsigned round : {0x0000u, 0x2000u, 0x4000u, 0x6000u})
        for (unsigned flush : {0u, 0x8040u}) m.push_back(0x1F80u | round | flush);
    return m;
}

class FpMode {
  public:
    explicit FpMode(unsigned csr) : saved_(_mm_getcsr()) { _mm_setcsr(csr); }
    ~FpMode() { _mm_setcsr(saved_); }

  private:
    unsigned saved_;
};

// One image of a call: its memory, its ROI's place in it, and the row length the ROI spans.
struct Image {
    GuardedBuffer mem;
    std::size_t offset = 0;
    i64 step = 0, row = 0, height = 0;
    bool dst = false;
};

// The arguments of a valid call and the memory they point to.
struct Call {
    std::vector<Val> args;
    std::vector<Image> images;
    GuardedBuffer scratch{1 << 16};
    GuardedBuffer spec{1 << 13};  // an initialised spec, where the export takes one

    // Whether any byte differs from the copy that `save` took.
    void save() {
        saved.clear();
        saved.emplace_back(scratch.data(), scratch.data() + scratch.size());
        saved.emplace_back(spec.data(), spec.data() + spec.size());
        for (const Image& im : images)
            saved.emplace_back(im.mem.data(), im.mem.data() + im.mem.size());
    }
    bool changed() const {
        bool diff = std::memcmp(saved[0].data(), scratch.data(), scratch.size()) != 0;
        diff |= std::memcmp(saved[1].data(), spec.data(), spec.size()) != 0;
        for (std::size_t i = 0; i < images.size(); ++i)
            diff |=
                std::memcmp(saved[i + 2].data(), images[i].mem.data(), images[i].mem.size()) != 0;
        return diff;
    }
    std::vector<std::vector<u8>> saved;
    std::vector<void*> rows;  // the row pointers of a pipeline stage
};

// The height of the rows an image's step argument spans.
i64 height_of(const Decl& d, const std::vector<Val>& a, int sizeArg) {
    for (int k = 0; k < d.count; ++k) {
        const Param& p = d.params[k];
        if (p.role == Role::Size && p.arg == sizeArg && p.other != qpx::kNone) return a[p.other].i;
    }
    return a[std::size_t(sizeArg)].h;
}

i64 row_of(const Param& p, const std::vector<Val>& a) {
    const i64 w = qpx::span_cols(p, a.data());
    return p.pixelBytes == 0 ? qpx::bit_row_bytes(w) : qpx::row_bytes(w, p.pixelBytes);
}

int type_of(const std::string& name) {
    for (auto [tag, code] :
         {std::pair{"_8u_", qpx8u}, {"_16u_", qpx16u}, {"_16s_", qpx16s}, {"_32f_", qpx32f}})
        if (name.find(tag) != std::string::npos) return code;
    return 0;
}
int channels_of(const std::string& name) {
    return name.find("_C3R") != std::string::npos ? 3 : 1;
}
void* ptr_of(const GuardedBuffer& b) {
    return b.data();
}

// Family setup beyond the declaration: the spec a filtering call reads, from its initialiser.
void prepare(const Export& e, Call& c) {
    const std::string& n = e.name;
    if (n.rfind("qpxiFilterGaussian_", 0) == 0 || n.rfind("qpxiFilterGaussianBorder_", 0) == 0) {
        const int type = type_of(n), ch = channels_of(n);
        auto* spec = static_cast<qpxFilterGaussianSpec*>(ptr_of(c.spec));
        std::size_t at = 7;  // the spec argument of the 32-bit forms
        if (n.size() > 2 && n.compare(n.size() - 2, 2, "_L") == 0) {
            ASSERT_EQ(
                qpxiFilterGaussianInit_L(kW, kH, 3, 1.5f, 1, type, ch, spec, c.scratch.data()),
                qpxStatusOk);
            at = 8;
        } else {
            ASSERT_EQ(
                qpxiFilterGaussianInit({kW, kH}, 3, 1.5f, 1, type, ch, spec, c.scratch.data()),
                qpxStatusOk);
            if (n.rfind("qpxiFilterGaussianBorder_", 0) == 0) at = 6;
        }
        c.args[at].i = i64(reinterpret_cast<std::uintptr_t>(spec));
    }
    const bool morph32 =
        n.rfind("qpxiErodeBorder_", 0) == 0 || n.rfind("qpxiDilateBorder_", 0) == 0;
    const bool morph64 = (n.rfind("qpxiErode_", 0) == 0 || n.rfind("qpxiDilate_", 0) == 0) &&
                         n.compare(n.size() - 2, 2, "_L") == 0;
    if (morph32 || morph64) {
        static const u8 mask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        const bool bits = n.find("_1u_") != std::string::npos;
        void* spec = ptr_of(c.spec);
        if (morph64) {
            ASSERT_EQ(qpxiErodeInit_L({kW, kH}, mask, {3, 3}, static_cast<qpxMorphStateL*>(spec)),
                      qpxStatusOk);
        } else {
            auto init = bits ? qpxiMorphologyBorderInit_1u_C1R : qpxiMorphologyBorderInit_8u_C1R;
            ASSERT_EQ(
                init({kW, kH}, mask, {3, 3}, static_cast<qpxMorphState*>(spec), c.scratch.data()),
                qpxStatusOk);
        }
        c.args[bits ? 9 : 7].i = i64(reinterpret_cast<std::uintptr_t>(spec));
    }
    const bool adv =
        n.rfind("qpxiMorph", 0) == 0 &&
        (n.find("Open") != std::string::npos || n.find("Close") != std::string::npos ||
         n.find("hat") != std::string::npos || n.find("Gradient") != std::string::npos);
    if (adv || n.rfind("qpxiMorphSetMode", 0) == 0) {
        static const u8 mask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        const bool bits = n.find("_1u_") != std::string::npos;
        const bool wide = n.compare(n.size() - 2, 2, "_L") == 0;
        void* spec = ptr_of(c.spec);
        if (wide) {
            const int ch = n.find("_C4R") != std::string::npos ? 4 : channels_of(n);
            ASSERT_EQ(qpxiMorphInit_L({kW, kH}, mask, {3, 3},
                                      bits         ? qpx1u
                                      : type_of(n) ? type_of(n)
                                                   : qpx8u,
                                      ch, static_cast<qpxMorphStateL*>(spec)),
                      qpxStatusOk);
        } else {
            auto init = bits ? qpxiMorphAdvInit_1u_C1R : qpxiMorphAdvInit_8u_C1R;
            ASSERT_EQ(init({kW, kH}, mask, {3, 3}, static_cast<qpxMorphAdvState*>(spec),
                           c.scratch.data()),
                      qpxStatusOk);
        }
        const std::size_t at = n.rfind("qpxiMorphSetMode", 0) == 0 ? 1 : bits ? 9 : 7;
        c.args[at].i = i64(reinterpret_cast<std::uintptr_t>(spec));
    }
    const bool rowStage = n.rfind("qpxiFilterRowBorderPipeline_", 0) == 0;
    if (rowStage || n.rfind("qpxiFilterColumnPipeline_", 0) == 0) {
        // Rows of 1 KiB inside the scratch memory, and a kernel of zeros at its end that the
        // stage's work buffer cannot reach.
        for (int i = 0; i < 32; ++i) c.rows.push_back(c.scratch.data() + 8192 + 1024 * i);
        c.args[rowStage ? 2 : 0].i = i64(reinterpret_cast<std::uintptr_t>(c.rows.data()));
        c.args[4].i = i64(reinterpret_cast<std::uintptr_t>(c.scratch.data() + 61440));
    }
    if (n.rfind("qpxiFilterSeparable_", 0) == 0) {
        // Integer kernels for the 16-bit signed results, float kernels otherwise.
        auto* spec = static_cast<qpxFilterSeparableSpec*>(ptr_of(c.spec));
        const bool wide = n.compare(n.size() - 2, 2, "_L") == 0;
        const auto* k16 = reinterpret_cast<const std::int16_t*>(c.scratch.data());
        const auto* k32 = reinterpret_cast<const float*>(c.scratch.data());
        const int ch = n.find("_C4R") != std::string::npos ? 4 : channels_of(n);
        qpxStatus st;
        if (n.find("_16s_") != std::string::npos || n.find("_8u16s_") != std::string::npos) {
            const int type = n.find("_16s_") != std::string::npos ? qpx16s : qpx8u;
            st = wide ? qpxiFilterSeparableInit_16s_L(k16, k16, {3, 3}, 1, 0, type, ch, spec)
                      : qpxiFilterSeparableInit_16s(k16, k16, {3, 3}, 1, 0, type, ch, spec);
        } else {
            const int type = type_of(n);
            st = wide ? qpxiFilterSeparableInit_32f_L(k32, k32, {3, 3}, type, ch, spec)
                      : qpxiFilterSeparableInit_32f(k32, k32, {3, 3}, type, ch, spec);
        }
        ASSERT_EQ(st, qpxStatusOk);
        c.args[7].i = i64(reinterpret_cast<std::uintptr_t>(spec));
    }
    if (n.rfind("qpxiGrayErodeBorder_", 0) == 0 || n.rfind("qpxiGrayDilateBorder_", 0) == 0) {
        auto* spec = static_cast<qpxMorphGrayState*>(ptr_of(c.spec));
        const qpxStatus st =
            type_of(n) == qpx8u
                ? qpxiMorphGrayInit_8u_C1R(spec, {kW, kH},
                                           reinterpret_cast<const std::int32_t*>(c.scratch.data()),
                                           {3, 3}, {1, 1})
                : qpxiMorphGrayInit_32f_C1R(spec, {kW, kH},
                                            reinterpret_cast<const float*>(c.scratch.data()),
                                            {3, 3}, {1, 1});
        ASSERT_EQ(st, qpxStatusOk);
        c.args[6].i = i64(reinterpret_cast<std::uintptr_t>(spec));
    }
    if (n.find("Haar") != std::string::npos) {
        // Every array the stage functions read is the scratch's ints of 1: one rectangle
        // {1, 1, 1, 1} per classifier.
        auto* ones = reinterpret_cast<std::int32_t*>(c.scratch.data());
        for (int i = 0; i < 1024; ++i) ones[i] = 1;
        if (n == "qpxiHaarClassifierGetSize") {
            // The size goes beside the counts, not over them.
            c.args[4].i = i64(reinterpret_cast<std::uintptr_t>(c.scratch.data() + 16384));
            return;
        }
        const bool f32 = n.find("_32s_") == std::string::npos && n.find("_32s") + 4 != n.size();
        void* spec = ptr_of(c.spec);
        const std::int32_t* i32s = ones;
        const qpxStatus st =
            f32 ? qpxiHaarClassifierInit_32f(
                      static_cast<qpxHaarClassifier_32f*>(spec),
                      reinterpret_cast<const qpxRect*>(ones), reinterpret_cast<const float*>(ones),
                      reinterpret_cast<const float*>(ones), reinterpret_cast<const float*>(ones),
                      reinterpret_cast<const float*>(ones), ones, kW)
                : qpxiHaarClassifierInit_32s(static_cast<qpxHaarClassifier_32s*>(spec),
                                             reinterpret_cast<const qpxRect*>(ones), i32s, i32s,
                                             i32s, i32s, ones, kW);
        ASSERT_EQ(st, qpxStatusOk);
        const bool apply = n.find("Apply") != std::string::npos;
        std::size_t at = 0;  // the init functions write a spec of their own
        if (n.rfind("qpxiTiltHaarFeatures", 0) == 0) {
            at = 2;
            // A mask that selects nothing, so that the spec stays open to the repeated calls.
            c.args[0].i = i64(reinterpret_cast<std::uintptr_t>(c.scratch.data() + 32768));
        }
        if (n.rfind("qpxiGetHaarClassifierSize_", 0) == 0) at = 0;
        if (apply) {
            at = n.find("Mixed") != std::string::npos ? 11 : 9;
            // The windows would sample beyond these small images: an empty mask evaluates none.
            const Image& m = c.images.back();
            for (i64 y = 0; y < m.height; ++y)
                std::memset(m.mem.data() + m.offset + std::size_t(y * m.step), 0,
                            std::size_t(m.row));
        }
        c.args[at].i = i64(reinterpret_cast<std::uintptr_t>(spec));
    }
}

// A valid call. With `framed`, each image is a sub-ROI of a larger one with a margin of three
// pixels and padding at the end of each row; otherwise rows are tight and the last row ends at a
// guard page.
void build(const Export& e, const Decl& d, bool framed, Call& c) {
    c.args.assign(e.args.size(), Val{});
    for (std::size_t k = 0; k < e.args.size(); ++k) {
        switch (e.args[k].kind) {
            case Kind::Ptr:
                c.args[k].i = i64(reinterpret_cast<std::uintptr_t>(c.scratch.data()));
                break;
            case Kind::Size:
            case Kind::SizeL:
                c.args[k] = {kW, kH, 0};
                break;
            case Kind::Float:
                c.args[k].f = 1;
                break;
            case Kind::Rect:
                // A window whose 45-degree form stays right of the image's first column too.
                c.args[k] = {1, 0, 0, 1, 1};
                break;
            default:
                c.args[k].i = 1;
        }
    }
    for (int k = 0; k < d.count; ++k) {
        const Param& p = d.params[k];
        // A pointer keeps its valid target (its code is refused as null), a size its size.
        const Kind kind = e.args[p.arg].kind;
        if ((p.role == Role::Code || p.role == Role::Border) &&
            (kind == Kind::Int32 || kind == Kind::Int64 || kind == Kind::Float))
            c.args[p.arg] = {i64(p.good), 0, p.good};
        if (p.role == Role::Size && p.other != qpx::kNone)
            c.args[p.arg].i = kW, c.args[p.other].i = kH;
        if (p.role == Role::Size && p.elem == 0) c.args[p.arg].i = kW;
    }
    qpxtest::Random rnd(7);
    std::vector<int> built;
    for (int k = 0; k < d.count; ++k) {
        const Param& p = d.params[k];
        if (p.role != Role::Step && p.role != Role::Row) continue;
        if (std::find(built.begin(), built.end(), p.arg) != built.end()) continue;
        built.push_back(p.arg);
        Image im;
        im.row = row_of(p, c.args);
        im.height = height_of(d, c.args, p.other) + qpx::extra_rows(p, c.args.data());
        const i64 margin = framed ? 3 * std::max(p.pixelBytes, 1) : 0;
        const i64 pad = framed ? 2 * p.elem : 0;
        im.step = im.row + 2 * margin + pad;
        const i64 rows = im.height + (framed ? 6 : 0);
        im.mem = GuardedBuffer(std::size_t(im.step * (rows - 1) + im.row + 2 * margin));
        im.offset = std::size_t((framed ? 3 * im.step : 0) + margin);
        for (std::size_t b = 0; b < im.mem.size(); ++b) im.mem.data()[b] = u8(rnd.bits() & 0x3f);
        im.dst = !e.args[p.image].constPointee;
        c.args[p.image].i = i64(reinterpret_cast<std::uintptr_t>(im.mem.data() + im.offset));
        c.args[p.arg].i = im.step;
        c.images.push_back(std::move(im));
    }
    prepare(e, c);
}

// One way to make an argument bad: the value replaced (field 1: a size record's height).
struct Change {
    int arg;
    int field;
    Val v;
};
struct Way {
    std::vector<Change> changes;
    qpxStatus want;
    std::string what;
};

Val num(double v) {
    return {v == v ? i64(v) : 0, 0, v};  // NaN: a float argument only
}

bool is64(const Export& e, int arg) {
    const Kind k = e.args[std::size_t(arg)].kind;
    return k == Kind::Int64 || k == Kind::SizeL;
}

// Every way the role of `p` names, against the valid arguments `a`.
std::vector<Way> ways(const Export& e, const Param& p, const std::vector<Val>& a) {
    std::vector<Way> w;
    const int k = p.arg;
    switch (p.role) {
        case Role::Ptr:
            w.push_back(Way{{Change{k, 0, {}}}, p.status, "null pointer"});
            break;
        case Role::Size:
            if (p.elem == 0) {
                for (i64 v : {i64(p.pixelBytes) - 1, i64(-1)})
                    w.push_back(Way{{Change{k, 0, num(double(v))}}, p.status, "count below least"});
            } else if (p.other != qpx::kNone) {
                w.push_back(Way{{Change{k, 0, num(0)}}, p.status, "zero width"});
                w.push_back(Way{{Change{p.other, 0, num(0)}}, p.status, "zero height"});
                w.push_back(Way{{Change{k, 0, num(-1)}}, p.status, "negative width"});
            } else {
                w.push_back(Way{{Change{k, 0, num(0)}}, p.status, "zero width"});
                w.push_back(Way{{Change{k, 1, num(0)}}, p.status, "zero height"});
                w.push_back(Way{{Change{k, 0, num(-1)}}, p.status, "negative width"});
                w.push_back(Way{{Change{k, 1, num(-5)}}, p.status, "negative height"});
            }
            break;
        case Role::Limit32:
            if (is64(e, k))
                for (i64 big : {i64(INT32_MAX) + 1, INT64_MAX})
                    w.push_back(Way{{Change{k, p.other, num(0)}}, p.status, "beyond 32 bits"}),
                        w.back().changes[0].v.i = big;
            break;
        case Role::Step:
        case Role::Row:
        case Role::Multiple: {
            const i64 row = row_of(p, a);
            if (p.role != Role::Multiple)
                for (i64 s : {i64(0), -row, row - 1})
                    w.push_back(Way{
                        {Change{k, 0, num(double(s))}}, qpxStatusBadStep, "step short of a row"});
            if (p.elem > 1 && p.role != Role::Row)
                w.push_back(Way{{Change{k, 0, num(double(row + 1))}},
                                qpxStatusStepNotMultiple,
                                "step not a multiple"});
            break;
        }
        case Role::Code:
        case Role::Border:
            if (e.args[std::size_t(k)].kind == Kind::Rect) {
                // A rectangle: a negative corner, an empty width or height.
                for (int f = 0; f < 4; ++f)
                    w.push_back(Way{{Change{k, f, num(f < 2 ? -1 : 0)}}, p.status, "refused rect"});
                break;
            }
            for (int b = 0; b < p.nbad; ++b)
                w.push_back(Way{{Change{k, 0, num(p.bad[b])}}, p.status, "refused code"});
            break;
        case Role::InPlace:
            w.push_back(Way{{Change{k, 0, a[p.other]}}, p.status, "in place"});
            break;
    }
    return w;
}

std::vector<Val> with_changes(std::vector<Val> a, const std::vector<Change>& changes) {
    for (const Change& c : changes) {
        if (c.field == 1)
            a[std::size_t(c.arg)].h = c.v.i;
        else if (c.field == 2)
            a[std::size_t(c.arg)].w = c.v.i;
        else if (c.field == 3)
            a[std::size_t(c.arg)].rh = c.v.i;
        else
            a[std::size_t(c.arg)].i = c.v.i, a[std::size_t(c.arg)].f = c.v.f;
    }
    return a;
}

constexpr qpxStatus kWrote = 0x7fff0001, kRegister = 0x7fff0002;

// Runs a call that must fail; a write or a changed control register turns into a status of its
// own. Calls with a value beyond 32 bits run in a child process, where going ahead would crash
// or hang one case only.
qpxStatus run_failing(const Export& e, const Call& c, const std::vector<Val>& a, bool child) {
    auto once = [&]() -> qpxStatus {
        const unsigned csr = qpxtest::mxcsr();
        const qpxStatus st = e.call(a);
        if (qpxtest::mxcsr() != csr) return kRegister;
        if (c.changed()) return kWrote;
        return st;
    };
    return child ? qpxtest::in_child(once) : once();
}

bool has_limit(const Way& w, const Export& e) {
    for (const Change& c : w.changes)
        if (is64(e, c.arg) && (c.v.i > INT32_MAX)) return true;
    return false;
}

// What a bad argument gives when an entry before `k` reads it too (a row test reads the width
// that a later limit test refuses): that entry's status, else `want`.
qpxStatus earlier(const Decl& d, int k, const std::vector<Val>& a, qpxStatus want) {
    const qpxStatus st = qpx::run_checks(Decl{d.params, k}, a.data());
    return st != qpxStatusOk ? st : want;
}

struct Walk {
    Export e;
    const Decl* d;
};

std::vector<Walk> declared() {
    std::vector<Walk> w;
    for (const Export& e : all_exports()) {
        const Decl* d = qpx::find_decl(e.name.c_str());
        if (d) w.push_back({e, d});
    }
    return w;
}

TEST(Arguments, EveryExportDeclaresItsChecks) {
    for (const Export& e : all_exports()) {
        const Decl* d = qpx::find_decl(e.name.c_str());
        ASSERT_NE(d, nullptr) << e.name << " has no declaration";
        for (int k = 0; k < d->count; ++k) {
            const Param& p = d->params[k];
            EXPECT_LT(p.arg, e.args.size()) << e.name;
            if (p.role == Role::Ptr || p.role == Role::InPlace) {
                EXPECT_EQ(e.args[p.arg].kind, Kind::Ptr) << e.name << " entry " << k;
            }
            if (p.role == Role::Step) {
                EXPECT_EQ(e.args[p.image].kind, Kind::Ptr) << e.name << " entry " << k;
                EXPECT_TRUE(e.args[p.arg].kind == Kind::Int32 || e.args[p.arg].kind == Kind::Int64);
            }
            if (p.role == Role::Code || p.role == Role::Border) {
                EXPECT_GT(p.nbad, 0) << e.name;
            }
        }
    }
}

const char* status_name(qpxStatus st) {
    switch (st) {
#define S(n)           \
    case qpxStatus##n: \
        return #n;
        S(BadArgument)
        S(BadSize)
        S(NullPointer)
        S(BadStep)
        S(BadMaskSize)
        S(BadChannelCount)
        S(BadDataType)
        S(StepNotMultiple)
        S(BadBorder)
        S(BadNorm)
        S(BadFilterType)
        S(SizeTooLarge)
        S(InPlaceNotSupported) S(BadChannel) S(DivisorZero) S(BadAnchor) S(BadMode) S(BadCoi)
#undef S
    }
    return "?";
}

// A declaration in words: each entry's role, argument and status, in check order.
std::string signature(const Decl& d) {
    std::ostringstream o;
    for (int k = 0; k < d.count; ++k) {
        const Param& p = d.params[k];
        const int a = p.arg;
        switch (p.role) {
            case Role::Ptr:
                o << " ptr" << a;
                break;
            case Role::Size:
                o << (p.elem == 0 ? " count" : " size") << a;
                if (p.other != qpx::kNone) o << "," << int(p.other);
                if (p.pixelBytes != 1) o << ">=" << p.pixelBytes;
                break;
            case Role::Limit32:
                o << " limit" << a << (p.other == 1 ? "h" : "");
                break;
            case Role::Step:
            case Role::Row:
            case Role::Multiple:
                o << (p.role == Role::Step  ? " step"
                      : p.role == Role::Row ? " row"
                                            : " multiple")
                  << a << "[" << int(p.other) << "x" << p.pixelBytes << "%" << p.elem;
                if (p.cols != 0 || p.rows != 0) o << "+" << int(p.cols) << "," << int(p.rows);
                if (p.rect != qpx::kNone) o << (p.tilted ? "+tilt" : "+rect") << int(p.rect);
                o << "]";
                break;
            case Role::Code:
                o << " code" << a;
                break;
            case Role::Border:
                o << " border" << a;
                break;
            case Role::InPlace:
                o << " distinct" << a << "," << int(p.other);
                break;
        }
        if (p.role == Role::Code || p.role == Role::Size) o << ":" << status_name(p.status);
    }
    return o.str();
}

// The declarations against the check order the contract gives each export, kept in
// frame/check_orders.txt (one line an export). QPX_PRINT_ORDERS=1 prints the current table.
TEST(Arguments, DeclarationsFollowTheContractOrder) {
    std::map<std::string, std::string> want;
    std::ifstream in(QPX_TEST_DIR "/frame/check_orders.txt");
    ASSERT_TRUE(in) << "missing frame/check_orders.txt";
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
        want[line.substr(0, colon)] = line.substr(colon + 1);
    }
    const bool print = std::getenv("QPX_PRINT_ORDERS") != nullptr;
    for (const Walk& w : declared()) {
        const std::string got = signature(*w.d);
        if (print) std::printf("%s:%s\n", w.e.name.c_str(), got.c_str());
        EXPECT_EQ(got, want[w.e.name]) << w.e.name;
    }
}

// The valid call succeeds in every floating-point environment, keeps the control register and
// writes nothing outside the destination ROIs: no row padding, no pixel beside the ROI.
TEST(Arguments, ValidCallsWriteOnlyTheirDestinations) {
    for (const Walk& w : declared()) {
        SCOPED_TRACE(w.e.name);
        for (bool framed : {true, false}) {
            Call c;
            build(w.e, *w.d, framed, c);
            for (unsigned mode : fp_modes()) {
                FpMode fp(mode);
                std::vector<std::vector<u8>> before;
                for (const Image& im : c.images)
                    before.emplace_back(im.mem.data(), im.mem.data() + im.mem.size());
                const unsigned csr = qpxtest::mxcsr();
                ASSERT_EQ(w.e.call(c.args), qpxStatusOk) << "mode " << std::hex << mode;
                EXPECT_EQ(qpxtest::mxcsr(), csr) << "mode " << std::hex << mode;
                for (std::size_t i = 0; i < c.images.size(); ++i) {
                    const Image& im = c.images[i];
                    std::vector<u8> now(im.mem.data(), im.mem.data() + im.mem.size());
                    if (im.dst) {
                        // The ROI's bytes may change; put them back to compare the rest.
                        for (i64 y = 0; y < im.height; ++y) {
                            const std::size_t at = im.offset + std::size_t(y * im.step);
                            std::memcpy(now.data() + at, before[i].data() + at,
                                        std::size_t(im.row));
                        }
                    }
                    EXPECT_TRUE(now == before[i]) << "image " << i << " written outside its ROI";
                }
            }
        }
    }
}

// Each bad argument alone gives its status, writes nothing and keeps the control register.
TEST(Arguments, EachBadArgumentGivesItsStatus) {
    int cases = 0;
    for (const Walk& w : declared()) {
        SCOPED_TRACE(w.e.name);
        Call c;
        build(w.e, *w.d, true, c);
        c.save();
        for (int k = 0; k < w.d->count; ++k) {
            for (const Way& way : ways(w.e, w.d->params[k], c.args)) {
                const bool child = has_limit(way, w.e);
                const std::vector<Val> bad = with_changes(c.args, way.changes);
                const qpxStatus want = earlier(*w.d, k, bad, way.want);
                for (unsigned mode : child ? std::vector<unsigned>{0x1F80u} : fp_modes()) {
                    FpMode fp(mode);
                    EXPECT_EQ(run_failing(w.e, c, bad, child), want)
                        << "entry " << k << ": " << way.what << ", mode " << std::hex << mode;
                    ++cases;
                }
            }
        }
    }
    EXPECT_GT(cases, 2000);
}

// With two bad arguments the one declared first decides: the check order.
TEST(Arguments, TheFirstDeclaredCheckDecides) {
    for (const Walk& w : declared()) {
        SCOPED_TRACE(w.e.name);
        Call c;
        build(w.e, *w.d, true, c);
        c.save();
        for (int i = 0; i < w.d->count; ++i) {
            for (int j = i + 1; j < w.d->count; ++j) {
                const Param &p = w.d->params[i], &q = w.d->params[j];
                // A step of -1 is short whatever the width, so that a bad size cannot mend it.
                auto pick = [&](const Param& r) {
                    std::vector<Way> v = ways(w.e, r, c.args);
                    if (r.role == Role::Step || r.role == Role::Row)
                        v = {Way{{Change{r.arg, 0, num(-1)}}, qpxStatusBadStep, ""}};
                    return v;
                };
                const std::vector<Way> a = pick(p), b = pick(q);
                bool done = false;
                for (const Way& x : a)
                    for (const Way& y : b) {
                        if (done) break;
                        bool clash = false;
                        for (const Change& cx : x.changes)
                            for (const Change& cy : y.changes)
                                clash |= cx.arg == cy.arg && cx.field == cy.field;
                        if (clash) continue;
                        std::vector<Change> both = x.changes;
                        both.insert(both.end(), y.changes.begin(), y.changes.end());
                        // A rule that reads the other argument may pass once it changed.
                        const Decl first{&p, 1};
                        if (qpx::run_checks(first, with_changes(c.args, both).data()) ==
                            qpxStatusOk)
                            continue;
                        const bool child = has_limit(x, w.e) || has_limit(y, w.e);
                        const std::vector<Val> bad = with_changes(c.args, both);
                        EXPECT_EQ(run_failing(w.e, c, bad, child), earlier(*w.d, i, bad, x.want))
                            << "entries " << i << " (" << x.what << ") and " << j << " (" << y.what
                            << ")";
                        done = true;
                    }
            }
        }
    }
}

// The step rule across the images of one call: with one element size all row tests come before
// all multiple tests; with mixed sizes each image is checked in full before the next.
TEST(Arguments, StepRuleAcrossImages) {
    int runs = 0;
    for (const Walk& w : declared()) {
        SCOPED_TRACE(w.e.name);
        Call c;
        build(w.e, *w.d, true, c);
        c.save();
        for (int b = 0; b < w.d->count; ++b) {
            if (w.d->params[b].role != Role::Step) continue;
            int e = b;
            std::vector<const Param*> multi;
            for (; e < w.d->count && w.d->params[e].role == Role::Step; ++e)
                if (w.d->params[e].elem > 1) multi.push_back(&w.d->params[e]);
            if (multi.size() >= 2) {
                const Param &first = *multi.front(), &last = *multi.back();
                bool mixed = false;
                for (const Param* m : multi) mixed |= m->elem != first.elem;
                std::vector<Val> a = c.args;
                a[first.arg].i += first.elem / 2 > 0 ? first.elem / 2 : 1;
                a[last.arg].i = row_of(last, a) - 1;
                EXPECT_EQ(run_failing(w.e, c, a, false),
                          mixed ? qpxStatusStepNotMultiple : qpxStatusBadStep);
                ++runs;
            }
            b = e;
        }
    }
    EXPECT_GT(runs, 10);
}

}  // namespace
