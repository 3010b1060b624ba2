#include "frame/base.hpp"

namespace {
constexpr qpxLibraryVersion kVersion = {
    2022,
    0,
    0,
    0x131e93b0,
    {'e', '9', '\0', '\0'},
    "qpxCV AVX (e9)",
    "2022.0.0 (r0x131e93b0)",
    "Sep  4 2024",
};
}  // namespace

QPX_EXPORT const qpxLibraryVersion* qpxcvGetLibVersion(void) {
    return &kVersion;
}
