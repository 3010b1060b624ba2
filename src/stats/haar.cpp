// The cascade stage: spec initialisation, feature tilting and the stage evaluation, window by
// window or a row of windows at a time. Both strategies evaluate each window's classifiers in
// stored order with the same operations, so they agree to the bit.
#include "stats/haar.hpp"

#include <climits>

namespace qpx::stats {
namespace {

using u8 = std::uint8_t;
using i32 = std::int32_t;
using i64 = std::int64_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

template <class V>
struct Spec {
    HaarHeader* head;
    HaarClassifier<V>* cls;
    HaarFeature<V>* feat;
};

template <class V>
Spec<V> carve_spec(const void* spec) {
    // Only the feature slot's offset depends on the counts, and it follows the records.
    const auto at = haar_records(0, 0).carve(spec);
    auto* head = reinterpret_cast<HaarHeader*>(at[0]);
    auto* cls = reinterpret_cast<HaarClassifier<V>*>(at[1]);
    return {head, cls, reinterpret_cast<HaarFeature<V>*>(cls + head->length)};
}

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
    const Spec<V> s = carve_spec<V>(spec);
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
    const Spec<V> s = carve_spec<V>(spec);
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

namespace {

// Per member arithmetic. F is the feature sum, A the stage sum.
template <class J, class V>
struct Arith;

template <>
struct Arith<float, float> {
    using F = float;
    using A = float;
    static F rect(float a, float b, float c, float d) { return ((a - b) - c) + d; }
    static F add(F f, float w, F r) { return f + w * r; }
    static bool pass(F f, float t, float sigma, int) { return f >= t * sigma; }
    static A stage(A s, float v) { return s + v; }
};

template <>
struct Arith<i32, float> {
    using F = float;
    using A = float;
    static F rect(i32 a, i32 b, i32 c, i32 d) {
        return haar_to_single(i32(((u32(a) - u32(b)) - u32(c)) + u32(d)));
    }
    static F add(F f, float w, F r) { return f + w * r; }
    static bool pass(F f, float t, float sigma, int) { return f >= t * sigma; }
    static A stage(A s, float v) { return s + v; }
};

template <>
struct Arith<i32, i32> {
    using F = i64;
    using A = i32;
    static F rect(i32 a, i32 b, i32 c, i32 d) {
        return i64(i32(u32(a) - (u32(b) + u32(c)))) + i64(d);
    }
    static F add(F f, i32 w, F r) { return i64(u64(f) + u64(i64(w)) * u64(r)); }
    static bool pass(F f, i32 t, i32 sigma, int shift) {
        // f x 2^shift wraps in 64 bits; past 63 every bit has left.
        const i64 lhs = shift >= 64 ? 0 : i64(u64(f) << shift);
        return lhs >= i64(t) * i64(sigma);
    }
    static A stage(A s, i32 v) { return i32(u32(s) + u32(v)); }
};

// Sample offsets of one feature: precomputed in the work area, or formed on the way where a
// feature reaches too far for 32 bits.
template <bool Pre>
struct Offsets;
template <>
struct Offsets<true> {
    const i32* off;
    i64 stepE;
    template <class V>
    i64 at(const HaarFeature<V>&, int f, int j) const {
        return off[4 * f + j];
    }
};
template <>
struct Offsets<false> {
    const i32* off;
    i64 stepE;
    template <class V>
    i64 at(const HaarFeature<V>& ft, int, int j) const {
        const std::int32_t* p = j == 0 ? ft.a : j == 1 ? ft.b : j == 2 ? ft.c : ft.d;
        return i64(p[1]) * stepE + p[0];
    }
};

template <class J, class V, int N, bool Pre>
typename Arith<J, V>::F feature_sum(const J* p, const HaarFeature<V>* ft, int n, int f0,
                                    Offsets<Pre> o) {
    using Ar = Arith<J, V>;
    typename Ar::F f{};
    const int count = N ? N : n;
    for (int i = 0; i < count; ++i) {
        const HaarFeature<V>& t = ft[i];
        const int fi = f0 + i;
        const auto r =
            Ar::rect(p[o.at(t, fi, 0)], p[o.at(t, fi, 1)], p[o.at(t, fi, 2)], p[o.at(t, fi, 3)]);
        f = Ar::add(f, t.weight, r);
    }
    return f;
}

template <class J, class V, class N, class S, bool Pre>
struct Stage {
    using Ar = Arith<J, V>;
    const HaarImages<J, N>& im;
    const HaarClassifier<V>* cls;
    const HaarFeature<V>* feat;
    const i32* off;
    int length, shift;
    S thr;

    Offsets<Pre> offsets(const HaarClassifier<V>& c) const {
        const bool t = c.position & kHaarTilted;
        return {off, (t ? im.tilt.step : im.src.step) / i64(sizeof(J))};
    }

    template <int K>
    typename Ar::A add_one(typename Ar::A s, const HaarClassifier<V>& c, const J* p, int f0,
                           N sigma) const {
        const auto f = feature_sum<J, V, K, Pre>(p, feat + f0, c.num, f0, offsets(c));
        return Ar::stage(s, Ar::pass(f, c.threshold, V(sigma), shift) ? c.val2 : c.val1);
    }

    // Window by window.
    int windows() const {
        int count = 0;
        for (i64 y = 0; y < im.mask.height; ++y) {
            u8* m = im.mask.row(y);
            const J* ps = im.src.row(y);
            const J* pt = im.tilt.row(y);
            const N* sg = im.norm.row(y);
            for (i64 x = 0; x < im.mask.width; ++x) {
                if (!m[x]) continue;
                typename Ar::A s{};
                for (int k = 0, f0 = 0; k < length; f0 += cls[k].num, ++k) {
                    const HaarClassifier<V>& c = cls[k];
                    const J* p = ((c.position & kHaarTilted) ? pt : ps) + x;
                    s = c.num == 2   ? add_one<2>(s, c, p, f0, sg[x])
                        : c.num == 3 ? add_one<3>(s, c, p, f0, sg[x])
                                     : add_one<0>(s, c, p, f0, sg[x]);
                }
                if (s >= thr)
                    ++count;
                else
                    m[x] = 0;
            }
        }
        return count;
    }

    template <int K>
    void classifier_over(const HaarClassifier<V>& c, int f0, const J* base, const N* sg,
                         const i32* idx, typename Ar::A* sum, int n) const {
        const Offsets<Pre> o = offsets(c);
        const HaarFeature<V>* ft = feat + f0;
        for (int i = 0; i < n; ++i) {
            const auto f = feature_sum<J, V, K, Pre>(base + idx[i], ft, c.num, f0, o);
            sum[i] =
                Ar::stage(sum[i], Ar::pass(f, c.threshold, V(sg[idx[i]]), shift) ? c.val2 : c.val1);
        }
    }

    // A row of windows at a time: each classifier runs over every set window of a run of the
    // row before the next classifier starts.
    int dense() const {
        constexpr int kRun = 512;
        i32 idx[kRun];
        typename Ar::A sum[kRun];
        int count = 0;
        for (i64 y = 0; y < im.mask.height; ++y) {
            u8* m = im.mask.row(y);
            const J* ps = im.src.row(y);
            const J* pt = im.tilt.row(y);
            const N* sg = im.norm.row(y);
            for (i64 x0 = 0; x0 < im.mask.width;) {
                int n = 0;
                for (; x0 < im.mask.width && n < kRun; ++x0)
                    if (m[x0]) idx[n] = i32(x0), sum[n] = {}, ++n;
                if (n == 0) break;
                for (int k = 0, f0 = 0; k < length; f0 += cls[k].num, ++k) {
                    const HaarClassifier<V>& c = cls[k];
                    const J* base = (c.position & kHaarTilted) ? pt : ps;
                    if (c.num == 2)
                        classifier_over<2>(c, f0, base, sg, idx, sum, n);
                    else if (c.num == 3)
                        classifier_over<3>(c, f0, base, sg, idx, sum, n);
                    else
                        classifier_over<0>(c, f0, base, sg, idx, sum, n);
                }
                for (int i = 0; i < n; ++i) {
                    if (sum[i] >= thr)
                        ++count;
                    else
                        m[idx[i]] = 0;
                }
            }
        }
        return count;
    }
};

}  // namespace

template <class J, class V, class N, class S>
int haar_apply(const HaarImages<J, N>& im, S stageThreshold, void* spec, int hint, int scale,
               HaarStrategy strategy) {
    const Spec<V> s = carve_spec<V>(spec);
    auto* off = reinterpret_cast<i32*>(s.head->work);
    // Sample offsets for this call's steps, in elements from the window's corner.
    bool fits = true;
    for (int k = 0, f0 = 0; k < s.head->length; f0 += s.cls[k].num, ++k) {
        const HaarClassifier<V>& c = s.cls[k];
        const i64 stepE =
            ((c.position & kHaarTilted) ? im.tilt.step : im.src.step) / i64(sizeof(J));
        for (int j = 0; j < c.num; ++j) {
            const HaarFeature<V>& f = s.feat[f0 + j];
            const std::int32_t* p[4] = {f.a, f.b, f.c, f.d};
            for (int q = 0; q < 4; ++q) {
                const i64 o = i64(p[q][1]) * stepE + p[q][0];
                fits &= o >= INT32_MIN && o <= INT32_MAX;
                off[4 * (f0 + j) + q] = i32(u32(u64(o)));
            }
        }
    }
    if (strategy == HaarStrategy::Hint)
        strategy = i64(hint) >= im.mask.width * im.mask.height / 4 ? HaarStrategy::Dense
                                                                   : HaarStrategy::Windows;
    if (!fits)
        return Stage<J, V, N, S, false>{im,    s.cls,         s.feat, off, s.head->length,
                                        scale, stageThreshold}
            .windows();
    const Stage<J, V, N, S, true> st{im, s.cls, s.feat, off, s.head->length, scale, stageThreshold};
    return strategy == HaarStrategy::Dense ? st.dense() : st.windows();
}

template qpxStatus haar_init<float>(void*, const qpxRect*, const float*, const float*, const float*,
                                    const float*, const int*, int, bool);
template qpxStatus haar_init<std::int32_t>(void*, const qpxRect*, const i32*, const i32*,
                                           const i32*, const i32*, const int*, int, bool);
template qpxStatus haar_tilt<float>(const std::uint8_t*, int, void*);
template qpxStatus haar_tilt<std::int32_t>(const std::uint8_t*, int, void*);
template qpxSize haar_window<float>(const void*);
template qpxSize haar_window<std::int32_t>(const void*);
template int haar_apply<float, float, float, float>(const HaarImages<float, float>&, float, void*,
                                                    int, int, HaarStrategy);
template int haar_apply<i32, float, float, float>(const HaarImages<i32, float>&, float, void*, int,
                                                  int, HaarStrategy);
template int haar_apply<i32, i32, i32, i32>(const HaarImages<i32, i32>&, i32, void*, int, int,
                                            HaarStrategy);

}  // namespace qpx::stats
