#include "frame/target.hpp"

#include <cpuid.h>

namespace qpx {
namespace {

// -1 until the first call. Every thread that races computes the same value, so a relaxed
// store is enough and no lock (or C++ runtime guard) is needed.
int g_target = -1;

unsigned long long xgetbv0() {
    unsigned lo, hi;
    asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<unsigned long long>(hi) << 32) | lo;
}

int detect() {
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return int(Target::Scalar);
    const bool osxsave = c & (1u << 27), avx = c & (1u << 28);
    if (!osxsave || !avx) return int(Target::Scalar);
    const unsigned long long xcr0 = xgetbv0();
    if ((xcr0 & 0x6) != 0x6) return int(Target::Scalar);  // XMM and YMM state
    if (__get_cpuid_max(0, nullptr) < 7) return int(Target::Avx);
    __cpuid_count(7, 0, a, b, c, d);
    const bool avx2 = b & (1u << 5);
    const bool f = b & (1u << 16), dq = b & (1u << 17), bw = b & (1u << 30), vl = b & (1u << 31);
    if (!avx2) return int(Target::Avx);
    // Opmask, upper ZMM0-15 and ZMM16-31 state as well.
    if (f && dq && bw && vl && (xcr0 & 0xE6) == 0xE6) return int(Target::Avx512);
    return int(Target::Avx2);
}

}  // namespace

Target cpu_target() {
    int t = __atomic_load_n(&g_target, __ATOMIC_RELAXED);
    if (t < 0) {
        t = detect();
        __atomic_store_n(&g_target, t, __ATOMIC_RELAXED);
    }
    return static_cast<Target>(t);
}

const char* target_name(Target t) {
    switch (t) {
        case Target::Avx:
            return "avx";
        case Target::Avx2:
            return "avx2";
        case Target::Avx512:
            return "avx512";
        default:
            return "scalar";
    }
}

}  // namespace qpx
