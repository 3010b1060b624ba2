// Vector targets. Every kernel is compiled once per target, each in its own namespace with its
// own instruction-set flags; the exports call the kernels of the target that the processor
// supports, chosen on first use. All targets give identical results, bit for bit.
#pragma once

namespace qpx {

enum class Target : int {
    Scalar = 0,  // one lane of the same operations: the reference every target is tested against
    Avx = 1,     // the baseline the library is built for
    Avx2 = 2,
    Avx512 = 3,  // F, BW, VL and DQ
};
inline constexpr int kTargetCount = 4;

// The widest target the processor and the operating system support (the OS must save the
// registers the target uses). Read from the processor once; the answer never changes.
Target cpu_target();

// Whether `t` can run here: the tests and benchmarks walk every target up to cpu_target().
inline bool target_runs(Target t) {
    return static_cast<int>(t) <= static_cast<int>(cpu_target());
}

const char* target_name(Target t);

// A kernel table per target. `Table` is a struct of function pointers; each target's kernel
// file defines `qpx::<target>::name` of that type. QPX_TARGET_TABLE(Table, name) declares the
// four and defines `const Table& name(Target)`.
#define QPX_TARGET_TABLE(Table, name)           \
    namespace scalar {                          \
    extern const Table name;                    \
    }                                           \
    namespace avx {                             \
    extern const Table name;                    \
    }                                           \
    namespace avx2 {                            \
    extern const Table name;                    \
    }                                           \
    namespace avx512 {                          \
    extern const Table name;                    \
    }                                           \
    inline const Table& name(::qpx::Target t) { \
        switch (t) {                            \
            case ::qpx::Target::Avx:            \
                return avx::name;               \
            case ::qpx::Target::Avx2:           \
                return avx2::name;              \
            case ::qpx::Target::Avx512:         \
                return avx512::name;            \
            default:                            \
                return scalar::name;            \
        }                                       \
    }                                           \
    inline const Table& name() {                \
        return name(::qpx::cpu_target());       \
    }

}  // namespace qpx
