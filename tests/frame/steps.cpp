// Every export that takes a row step refuses a step shorter than a row (0, negative, one byte
// short) with qpxStatusBadStep and, for 16- and 32-bit images, a step that is not a multiple of
// the element size with qpxStatusStepNotMultiple, and writes nothing. The list of exports is
// read from the public header at configure time; the arguments are derived from each
// prototype's parameter types, so a new export joins the table by being declared.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/guard.hpp"
#include "frame/decl.hpp"

namespace {

using qpxtest::GuardedBuffer;
using i64 = std::int64_t;
using u8 = std::uint8_t;

constexpr int kW = 8, kH = 4;

// What the harness makes of one parameter, decided from its type and its neighbours.
enum class Role { Image, Step, Roi, Width, Height, Border, Pointer, PointerArray, Scalar };

template <class A>
constexpr bool is_pixel_ptr() {
    if constexpr (!std::is_pointer_v<A>)
        return false;
    else
        return std::is_arithmetic_v<std::remove_cv_t<std::remove_pointer_t<A>>>;
}
template <class A>
constexpr bool is_step_int() {
    return std::is_same_v<A, int> || std::is_same_v<A, i64>;
}

struct Param {
    bool pixelPtr, pointer, pointerArray, stepInt, size, border;
    int elemSize;
};
template <class A>
constexpr Param describe() {
    using P = std::remove_cv_t<std::remove_pointer_t<A>>;
    int e = 0;
    if constexpr (is_pixel_ptr<A>()) e = int(sizeof(P));
    return {is_pixel_ptr<A>(),
            std::is_pointer_v<A>,
            std::is_pointer_v<A> && std::is_pointer_v<P>,
            is_step_int<A>(),
            std::is_same_v<A, qpxSize> || std::is_same_v<A, qpxSizeL>,
            std::is_same_v<A, qpxBorderType>,
            e};
}

// Images are (pixel pointer, step) pairs before the ROI; a function without a size record
// takes the width and height as the two integers after its images.
std::vector<Role> roles(const std::vector<Param>& p) {
    std::vector<Role> r(p.size(), Role::Scalar);
    bool hasSize = false, afterRoi = false;
    int loose = 0;
    for (const Param& q : p) hasSize |= q.size;
    for (std::size_t k = 0; k < p.size(); ++k) {
        if (p[k].size) {
            r[k] = Role::Roi, afterRoi = true;
        } else if (!afterRoi && p[k].pixelPtr && k + 1 < p.size() && p[k + 1].stepInt) {
            r[k] = Role::Image, r[++k] = Role::Step;
        } else if (p[k].pointerArray) {
            r[k] = Role::PointerArray;
        } else if (p[k].pointer) {
            r[k] = Role::Pointer;
        } else if (p[k].border) {
            r[k] = Role::Border;
        } else if (!hasSize && p[k].stepInt && loose < 2) {
            r[k] = loose++ ? Role::Height : Role::Width, afterRoi = loose == 2;
        }
    }
    return r;
}

// Channels of the images, from the name: "_C3R" gives 3 for all, "_C3C1R" 3 for the source and
// 1 for the destination, "C3CMR" (channel of interest) 3.
std::vector<int> channels(const std::string& name, int images) {
    std::vector<int> c(std::size_t(images), 1);
    const std::size_t at = name.find("_C");
    if (at == std::string::npos) return c;
    const int first = name[at + 2] - '0';
    for (int& v : c) v = first;
    if (name.size() > at + 4 && name[at + 3] == 'C' && std::isdigit(name[at + 4]))
        c.back() = name[at + 4] - '0';
    return c;
}

// One call of an export with every argument valid except, possibly, one step.
struct Call {
    std::string name;
    std::vector<Param> params;
    qpxStatus (*invoke)(const void* fn, const std::vector<std::uintptr_t>& args);
    const void* fn;
};

template <class... A, std::size_t... I>
qpxStatus invoke_with(qpxStatus (*fn)(A...), const std::vector<std::uintptr_t>& a,
                      std::index_sequence<I...>) {
    // Each argument is stored as the bits of a pointer-sized slot.
    auto get = [&](auto tag, std::size_t k) {
        using T = typename decltype(tag)::type;
        T v;
        if constexpr (std::is_same_v<T, qpxSizeL>)
            v = qpxSizeL{i64(a[k]), kH};
        else if constexpr (std::is_same_v<T, qpxSize>)
            v = qpxSize{int(a[k]), kH};
        else if constexpr (std::is_pointer_v<T>)
            v = reinterpret_cast<T>(a[k]);
        else if constexpr (std::is_floating_point_v<T>)
            v = T(1);
        else if constexpr (std::is_arithmetic_v<T>)
            v = static_cast<T>(static_cast<i64>(a[k]));
        else
            std::memset(&v, 0, sizeof v);
        return v;
    };
    return fn(get(std::type_identity<A>{}, I)...);
}

template <class... A>
Call make_call(const char* name, qpxStatus (*fn)(A...)) {
    return {name,
            {describe<A>()...},
            [](const void* f, const std::vector<std::uintptr_t>& a) {
                auto typed = reinterpret_cast<qpxStatus (*)(A...)>(const_cast<void*>(f));
                return invoke_with(typed, a, std::index_sequence_for<A...>{});
            },
            reinterpret_cast<const void*>(fn)};
}

std::vector<Call> step_exports() {
    return {
#define X(fn) make_call(#fn, fn),
#include "step_exports.inc"
#undef X
    };
}

// Integer arguments the check order reaches before the steps, where 1 would be refused.
i64 scalar_for(const std::string& name, std::size_t index, const std::vector<Role>& r) {
    if (name.find("RowBorderPipeline") != std::string::npos && index + 2 < r.size() &&
        r[index + 1] == Role::Border)
        return 0;  // xAnchor, just before the border type
    return 1;
}

TEST(Steps, EveryExportRefusesShortAndOddSteps) {
    static GuardedBuffer scratch(1 << 16);
    std::vector<u8*> rows(64, scratch.data());
    int tested = 0;
    for (const Call& c : step_exports()) {
        // Exports that declare their checks are the generic argument test's.
        if (qpx::find_decl(c.name.c_str())) continue;
        SCOPED_TRACE(c.name);
        const std::vector<Role> r = roles(c.params);
        std::vector<std::size_t> images;
        for (std::size_t k = 0; k < r.size(); ++k)
            if (r[k] == Role::Image) images.push_back(k);
        ASSERT_FALSE(images.empty());
        std::vector<int> ch = channels(c.name, int(images.size()));
        const bool bits = c.name.find("_1u_") != std::string::npos;
        // Tight row lengths and valid steps (16 spare bytes keep every multiple rule).
        std::vector<i64> row(images.size()), step(images.size());
        std::vector<GuardedBuffer> mem;
        for (std::size_t i = 0; i < images.size(); ++i) {
            const int e = c.params[images[i]].elemSize;
            row[i] = bits ? (kW + 7) / 8 : i64(kW) * ch[i] * e;
            step[i] = row[i] + 16;
            mem.emplace_back(std::size_t(step[i] * (kH - 1) + row[i]), qpxtest::Place::Begin);
            std::memset(mem.back().data(), 0x5A, mem.back().size());
        }
        std::vector<std::uintptr_t> args(r.size(), 0);
        auto fill = [&](std::size_t bad, i64 badStep) {
            for (std::size_t k = 0, img = 0; k < r.size(); ++k) {
                switch (r[k]) {
                    case Role::Image: {
                        args[k] = reinterpret_cast<std::uintptr_t>(mem[img].data());
                        const i64 s = img == bad ? badStep : step[img];
                        args[k + 1] = std::uintptr_t(s);
                        ++img, ++k;
                        break;
                    }
                    case Role::Roi:
                    case Role::Width:
                        args[k] = kW;
                        break;
                    case Role::Height:
                        args[k] = kH;
                        break;
                    case Role::Border:
                        args[k] = 1;  // replicate: every family takes it
                        break;
                    case Role::Pointer:
                        args[k] = reinterpret_cast<std::uintptr_t>(scratch.data());
                        break;
                    case Role::PointerArray:
                        args[k] = reinterpret_cast<std::uintptr_t>(rows.data());
                        break;
                    default:
                        args[k] = std::uintptr_t(scalar_for(c.name, k, r));
                }
            }
        };
        for (std::size_t i = 0; i < images.size(); ++i) {
            const int e = bits ? 1 : c.params[images[i]].elemSize;
            std::vector<std::pair<i64, qpxStatus>> cases = {
                {0, qpxStatusBadStep}, {-row[i], qpxStatusBadStep}, {row[i] - 1, qpxStatusBadStep}};
            if (e > 1) cases.push_back({row[i] + 1, qpxStatusStepNotMultiple});
            for (auto [bad, want] : cases) {
                fill(i, bad);
                std::vector<std::vector<u8>> before;
                for (const GuardedBuffer& b : mem)
                    before.emplace_back(b.data(), b.data() + b.size());
                EXPECT_EQ(c.invoke(c.fn, args), want) << "image " << i << " step " << bad;
                for (std::size_t j = 0; j < mem.size(); ++j)
                    EXPECT_EQ(0, std::memcmp(before[j].data(), mem[j].data(), mem[j].size()))
                        << "image " << j << " written";
                ++tested;
            }
        }
    }
    EXPECT_GT(tested, 50);
}

}  // namespace
