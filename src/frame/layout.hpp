// Work buffers and specs as data. A family describes its buffer once, as an ordered list of
// slots with a byte size and an alignment; the run carves the caller's memory with that list and
// the size query either reports its total or, where the reported size is a fixed formula, is
// tested to cover it. Nothing else in the library rounds pointers or sizes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qpx {

// n rounded up to a multiple of a (a power of two).
constexpr std::int64_t align_up(std::int64_t n, std::int64_t a) {
    return (n + a - 1) & ~(a - 1);
}
// The first address at or after p that is a multiple of a (a power of two).
template <class T = std::uint8_t, class P>
inline T* align_up(P* p, std::int64_t a) {
    const auto v = reinterpret_cast<std::uintptr_t>(p);
    const auto m = static_cast<std::uintptr_t>(a) - 1;
    return reinterpret_cast<T*>((v + m) & ~m);
}

struct Slot {
    std::int64_t bytes;
    std::int64_t align = 32;
};

// Slots laid out one after another from a base rounded up to the largest slot alignment. A slot
// of zero bytes takes no room and carves to the address where it would start.
template <std::size_t N>
struct Layout {
    std::array<Slot, N> slots;

    constexpr std::int64_t base_align() const {
        std::int64_t a = 1;
        for (const Slot& s : slots) a = s.align > a ? s.align : a;
        return a;
    }
    // Offset of slot i from the aligned base.
    constexpr std::int64_t offset(std::size_t i) const {
        std::int64_t at = 0;
        for (std::size_t k = 0; k < i; ++k) at = align_up(at, slots[k].align) + slots[k].bytes;
        return align_up(at, slots[i].align);
    }
    // Bytes from the aligned base to the end of the last slot.
    constexpr std::int64_t span() const { return N == 0 ? 0 : offset(N - 1) + slots[N - 1].bytes; }
    // Bytes a caller's buffer of any alignment must hold.
    constexpr std::int64_t bytes() const { return span() + base_align() - 1; }

    // The slots' addresses in a caller's buffer of at least bytes().
    template <class P>
    std::array<std::uint8_t*, N> carve(P* buffer) const {
        auto* base = align_up(
            const_cast<std::uint8_t*>(reinterpret_cast<const std::uint8_t*>(buffer)), base_align());
        std::array<std::uint8_t*, N> at{};
        for (std::size_t i = 0; i < N; ++i) at[i] = base + offset(i);
        return at;
    }
};

template <class... S>
constexpr Layout<sizeof...(S)> layout(S... s) {
    return {{Slot(s)...}};
}

}  // namespace qpx
