/* Composed morphology on the sample: an opening with a disc, the white top-hat that keeps the
 * small bright details the opening removed, the morphological gradient (outline of every
 * object), and an opening by reconstruction that restores the shapes the opening kept. */
#include <stdlib.h>
#include <string.h>

#include "demo.h"

/* A filled disc of the given radius in a (2r+1) x (2r+1) mask. */
static void make_disc(unsigned char* mask, int r) {
    int n = 2 * r + 1;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            mask[y * n + x] = (x - r) * (x - r) + (y - r) * (y - r) <= r * r;
}

/* One composed operation with its own spec and buffer. */
typedef qpxStatus (*AdvFn)(const uint8_t*, int, uint8_t*, int, qpxSize, qpxBorderType, uint8_t,
                           const qpxMorphAdvState*, uint8_t*);

static int run_adv(AdvFn fn, const char* what, const unsigned char* img, unsigned char* out, int w,
                   int h, const unsigned char* mask, int side) {
    qpxSize roi = {w, h}, msz = {side, side};
    int specSize = 0, bufSize = 0;
    if (demo_check(qpxiMorphAdvGetSize_8u_C1R(roi, msz, &specSize, &bufSize), "MorphAdvGetSize"))
        return 1;
    unsigned char* spec = malloc((size_t)specSize);
    unsigned char* buf = malloc((size_t)bufSize);
    int bad = !spec || !buf;
    if (!bad)
        bad = demo_check(qpxiMorphAdvInit_8u_C1R(roi, mask, msz, (qpxMorphAdvState*)spec, buf),
                         "MorphAdvInit");
    if (!bad)
        bad = demo_check(fn(img, w, out, w, roi, qpxBorderRepl, 0, (qpxMorphAdvState*)spec, buf),
                         what);
    free(spec);
    free(buf);
    return bad;
}

int demo_morphology(const unsigned char* img, int w, int h) {
    const int r = 7, side = 2 * r + 1;
    unsigned char disc[15 * 15];
    unsigned char cross[9] = {0, 1, 0, 1, 1, 1, 0, 1, 0};
    unsigned char* out = malloc((size_t)w * h);
    unsigned char* rec = malloc((size_t)w * h);
    int bad = !out || !rec;
    make_disc(disc, r);
    if (!bad)
        bad |= run_adv(qpxiMorphOpenBorder_8u_C1R, "MorphOpenBorder", img, out, w, h, disc, side);
    if (!bad) bad |= demo_save("morph_open", out, w, h, w);
    if (!bad) {
        /* Grow the opening back under the original: shapes that survived get their outline back. */
        int size = 0;
        memcpy(rec, out, (size_t)w * h);
        bad |= demo_check(qpxiMorphReconstructGetBufferSize((qpxSize){w, h}, qpx8u, 1, &size),
                          "MorphReconstructGetBufferSize");
        unsigned char* buf = bad ? NULL : malloc((size_t)size);
        if (buf)
            bad |= demo_check(qpxiMorphReconstructDilate_8u_C1IR(img, w, rec, w, (qpxSize){w, h},
                                                                 buf, qpxNormInf),
                              "MorphReconstructDilate");
        else
            bad = 1;
        free(buf);
        if (!bad) bad |= demo_save("morph_open_by_reconstruction", rec, w, h, w);
    }
    if (!bad)
        bad |=
            run_adv(qpxiMorphTophatBorder_8u_C1R, "MorphTophatBorder", img, out, w, h, disc, side);
    if (!bad) {
        /* The top-hat is dark; stretch it for viewing. */
        for (int i = 0; i < w * h; ++i) out[i] = (unsigned char)(out[i] > 127 ? 255 : out[i] * 2);
        bad |= demo_save("morph_tophat", out, w, h, w);
    }
    if (!bad)
        bad |= run_adv(qpxiMorphGradientBorder_8u_C1R, "MorphGradientBorder", img, out, w, h, cross,
                       3);
    if (!bad) bad |= demo_save("morph_gradient", out, w, h, w);
    free(out);
    free(rec);
    return bad;
}
