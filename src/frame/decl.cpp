#include "frame/decl.hpp"

#include <cstring>

#include "frame/check.hpp"

// Bounds of the registry's section, defined by the linker.
extern "C" const qpx::DeclEntry __start_qpx_decls[];
extern "C" const qpx::DeclEntry __stop_qpx_decls[];

namespace qpx {
namespace {

bool size_ok(const Param& p, const Val* a) {
    const Val& v = a[p.arg];
    if (p.elem == 0) return v.i >= p.pixelBytes;  // a count
    const std::int64_t h = p.other == kNone ? v.h : a[p.other].i;
    return v.i >= p.pixelBytes && h >= p.pixelBytes;
}

std::int64_t row_of(const Param& p, const Val* a) {
    const std::int64_t w = span_cols(p, a);
    return p.pixelBytes == 0 ? bit_row_bytes(w) : row_bytes(w, p.pixelBytes);
}

bool row_ok(const Param& p, const Val* a) {
    return a[p.arg].i >= row_of(p, a);
}
bool multiple_ok(const Param& p, const Val* a) {
    return p.elem <= 1 || a[p.arg].i % p.elem == 0;
}

// The step rule for a run of consecutive steps [b, e): when every multi-byte image has the same
// element size, all row-length tests come first and then all multiple tests; with mixed element
// sizes each image gets its row test followed by its multiple test.
qpxStatus run_steps(const Param* b, const Param* e, const Val* a) {
    int elem = 0;
    bool mixed = false;
    for (const Param* p = b; p != e; ++p) {
        if (p->elem <= 1) continue;
        if (elem != 0 && elem != p->elem) mixed = true;
        elem = p->elem;
    }
    for (const Param* p = b; p != e; ++p) {
        if (!row_ok(*p, a)) return qpxStatusBadStep;
        if (mixed && !multiple_ok(*p, a)) return qpxStatusStepNotMultiple;
    }
    for (const Param* p = b; p != e; ++p)
        if (!multiple_ok(*p, a)) return qpxStatusStepNotMultiple;
    return qpxStatusOk;
}

bool passes(const Param& p, const Val* a) {
    const Val& v = a[p.arg];
    switch (p.role) {
        case Role::Ptr:
            return v.i != 0;
        case Role::Size:
            return size_ok(p, a);
        case Role::Limit32:
            // Signed: a negative value is left to the size test.
            return (p.other == 1 ? v.h : v.i) <= INT32_MAX;
        case Role::Code:
        case Role::Border:
            return (*p.ok)(a, p.arg);
        case Role::InPlace:
            return v.i != a[p.other].i;
        case Role::Row:
            return row_ok(p, a);
        case Role::Multiple:
            return multiple_ok(p, a);
        case Role::Step:
            break;
    }
    return true;
}

}  // namespace

qpxStatus run_checks(const Decl& d, const Val* a) {
    const Param* end = d.params + d.count;
    for (const Param* p = d.params; p != end; ++p) {
        if (p->role == Role::Step) {
            const Param* e = p;
            while (e != end && e->role == Role::Step) ++e;
            if (qpxStatus st = run_steps(p, e, a)) return st;
            p = e - 1;
        } else if (!passes(*p, a)) {
            return p->status;
        }
    }
    return qpxStatusOk;
}

const Decl* find_decl(const char* name) {
    for (const DeclEntry* e = __start_qpx_decls; e != __stop_qpx_decls; ++e)
        if (std::strcmp(e->name, name) == 0) return e->decl;
    return nullptr;
}

}  // namespace qpx
