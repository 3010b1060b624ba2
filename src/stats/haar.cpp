// The cascade stage's spec: size, initialisation, feature tilting and the window it covers. The
// stage evaluation is in haar_kern.cpp, once per vector target.
#include "stats/haar.hpp"

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using i32 = std::int32_t;
using i64 = std::int64_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// Wrapping int32 arithmetic, so that corners of absurd rectangles stay defined.
i32 add(i32 a, i64 b) {
    return i32(u32(a) + u32(u64(b)));
}

void set(std::int32_t* p, i32 c, i32 r) {
    p[0] = c, p[1] = r;
}

template <class V>
void corners(HaarFeature<V>& f, const qpxRect& r, HaarCorners kind) {
    const i32 x = r.x, y = r.y, w = r.width, h = r.height;
    switch (kind) {
        case HaarCorners::Upright:
            set(f.a, add(x, w), add(y, h)), set(f.b, x, add(y, h));
            set(f.c, add(x, w), y), set(f.d, x, y);
            break;
        case HaarCorners::Tilted:
            set(f.a, add(add(x, w), -i64(h)), add(add(y, w), h));
            set(f.b, add(x, -i64(h)), add(y, h));
            set(f.c, add(x, w), add(y, w)), set(f.d, x, y);
            break;
        case HaarCorners::TiltedFlag0:
            set(f.a, x, add(y, h)), set(f.b, add(x, -i64(h)), y);
            set(f.c, add(x, w), add(add(y, h), -i64(w)));
            set(f.d, add(add(x, w), -i64(h)), add(y, -i64(w)));
            break;
    }
}

}  // namespace

std::int64_t haar_reported_size(int dataType, qpxSize roi, std::int64_t length,
                                std::int64_t total) {
    const i64 base = 32 * length + 36 * total + 64;
    if (dataType == qpx32s) return base + 16 * total + 64;
    return base + 16 * total + ((8 * i64(roi.width) + 30) & ~i64(31)) + 16 + 64;
}

float haar_to_single(std::int32_t v) {
    // Round the magnitude to 24 significant bits by integer arithmetic; the conversion of the
    // result is then exact under any rounding mode.
    const bool neg = v < 0;
    u64 m = neg ? u64(0) - u64(i64(v)) : u64(v);
    if (m >= (u64(1) << 24)) {
        int bits = 64 - __builtin_clzll(m);
        const int sh = bits - 24;
        const u64 half = u64(1) << (sh - 1), rem = m & ((u64(1) << sh) - 1);
        u64 q = m >> sh;
        if (rem > half || (rem == half && (q & 1))) ++q;
        m = q << sh;
    }
    const float f = float(i64(m));
    return neg ? -f : f;
}

template <class V>
qpxStatus haar_init(void* spec, const qpxRect* feature, const V* weight, const V* threshold,
                    const V* val1, const V* val2, const int* num, int length, bool tilted) {
    i64 total = 0;
    for (int i = 0; i < length; ++i) total += num[i];
    for (i64 i = 0; i < total; ++i) {
        const qpxRect& r = feature[i];
        if (r.x < 0 || r.y < 0 || r.width < 1 || r.height < 1) return qpxStatusBadArgument;
        if (tilted && i64(r.height) > i64(r.x) + 1) return qpxStatusBadArgument;
    }
    const auto at = haar_records(length, total).carve(spec);
    auto* head = reinterpret_cast<HaarHeader*>(at[0]);
    auto* cls = reinterpret_cast<HaarClassifier<V>*>(at[1]);
    auto* feat = reinterpret_cast<HaarFeature<V>*>(at[2]);
    const HaarCorners kind = tilted ? HaarCorners::Tilted : HaarCorners::Upright;

    // Upright specs: two-rectangle classifiers, then three, then the rest; tilted specs keep the
    // caller's order in one pass.
    int k = 0, two = 0, three = 0;
    HaarFeature<V>* next = feat;
    for (int pass = 0; pass < (tilted ? 1 : 3); ++pass) {
        i64 first = 0;
        for (int i = 0; i < length; first += num[i], ++i) {
            const int group = num[i] == 2 ? 0 : num[i] == 3 ? 1 : 2;
            if (!tilted && group != pass) continue;
            two += num[i] == 2, three += num[i] == 3;
            HaarClassifier<V>& c = cls[k++];
            c.num = num[i];
            c.position = u32(i) * 256u | (tilted ? kHaarTilted : 0u);
            c.first = next;
            c.threshold = threshold[i], c.val1 = val1[i], c.val2 = val2[i], c.pad = 0;
            for (int j = 0; j < num[i]; ++j, ++next) {
                corners(*next, feature[first + j], kind);
                next->weight = weight[first + j];
            }
        }
    }
    head->length = length;
    head->total = i32(total);
    head->two = tilted ? 0 : two;
    head->upToThree = tilted ? 0 : two + three;
    head->tilted = tilted;
    head->pad = 0;
    head->work = haar_work(total).carve(reinterpret_cast<u8*>(feat + total))[0];
    return qpxStatusOk;
}

template <class V>
qpxStatus haar_tilt(const std::uint8_t* mask, int flag, void* spec) {
    const HaarSpec<V> s = carve_haar_spec<V>(spec);
    if (s.head->tilted) return qpxStatusBadArgument;
    const HaarCorners kind = flag ? HaarCorners::Tilted : HaarCorners::TiltedFlag0;
    bool any = false;
    for (int i = 0; i < s.head->length; ++i) {
        if (!mask[i]) continue;
        for (int k = 0; k < s.head->length; ++k) {
            HaarClassifier<V>& c = s.cls[k];
            if (c.position != u32(i) * 256u) continue;
            c.position = kHaarTilted;
            for (int j = 0; j < c.num; ++j) {
                HaarFeature<V>& f = c.first[j];
                const qpxRect r{f.d[0], f.d[1], i32(u32(f.a[0]) - u32(f.d[0])),
                                i32(u32(f.a[1]) - u32(f.d[1]))};
                corners(f, r, kind);
            }
            any = true;
            break;
        }
    }
    if (any) s.head->tilted = 1;
    return qpxStatusOk;
}

template <class V>
qpxSize haar_window(const void* spec) {
    const HaarSpec<V> s = carve_haar_spec<V>(spec);
    qpxSize size{0, 0};
    bool first = true;
    for (int k = 0; k < s.head->length; ++k)
        for (int j = 0; j < s.cls[k].num; ++j) {
            const HaarFeature<V>& f = s.cls[k].first[j];
            if (first || f.c[0] > size.width) size.width = f.c[0];
            if (first || f.a[1] > size.height) size.height = f.a[1];
            first = false;
        }
    return size;
}

template qpxStatus haar_init<float>(void*, const qpxRect*, const float*, const float*, const float*,
                                    const float*, const int*, int, bool);
template qpxStatus haar_init<std::int32_t>(void*, const qpxRect*, const i32*, const i32*,
                                           const i32*, const i32*, const int*, int, bool);
template qpxStatus haar_tilt<float>(const std::uint8_t*, int, void*);
template qpxStatus haar_tilt<std::int32_t>(const std::uint8_t*, int, void*);
template qpxSize haar_window<float>(const void*);
template qpxSize haar_window<std::int32_t>(const void*);

}  // namespace qpx::stats
