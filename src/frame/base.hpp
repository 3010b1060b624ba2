// Shared definitions for every translation unit of the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "qpxcv.h"

// Defines an exported C entry point. The library is built with hidden visibility, so only
// functions defined through this macro (and listed in the version script) are visible.
#define QPX_EXPORT extern "C" __attribute__((visibility("default")))

namespace qpx {

// Pointer arithmetic on rows: images are addressed in bytes through signed steps.
template <class T>
inline T* row(T* base, std::int64_t step, std::int64_t y) {
    using Byte = std::conditional_t<std::is_const_v<T>, const char, char>;
    return reinterpret_cast<T*>(reinterpret_cast<Byte*>(base) + step * y);
}

}  // namespace qpx
