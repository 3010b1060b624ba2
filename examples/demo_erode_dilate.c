/* Flat erosion and dilation on the sample: a 9x9 square dilation (bright regions grow), a 5x5
 * rounded erosion (dark regions grow), and the same erosion on a bit-packed threshold image. */
#include <stdlib.h>
#include <string.h>

#include "demo.h"

typedef qpxStatus (*MorphFn)(const uint8_t*, int, uint8_t*, int, qpxSize, qpxBorderType, uint8_t,
                             const qpxMorphState*, uint8_t*);

static int run_8u(MorphFn fn, const char* what, const unsigned char* img, unsigned char* out, int w,
                  int h, const unsigned char* mask, int side) {
    qpxSize roi = {w, h}, msz = {side, side};
    int specSize = 0, bufSize = 0;
    if (demo_check(qpxiMorphologyBorderGetSize_8u_C1R(roi, msz, &specSize, &bufSize),
                   "MorphologyBorderGetSize"))
        return 1;
    unsigned char* spec = malloc((size_t)specSize);
    unsigned char* buf = malloc((size_t)bufSize);
    int bad = !spec || !buf;
    if (!bad)
        bad = demo_check(qpxiMorphologyBorderInit_8u_C1R(roi, mask, msz, (qpxMorphState*)spec, buf),
                         "MorphologyBorderInit");
    if (!bad)
        bad = demo_check(fn(img, w, out, w, roi, qpxBorderDefault, 0, (qpxMorphState*)spec, buf),
                         what);
    free(spec);
    free(buf);
    return bad;
}

/* Erodes a bit-packed threshold of the sample and unpacks the result for viewing. */
static int run_1u(const unsigned char* img, unsigned char* out, int w, int h,
                  const unsigned char* mask, int side) {
    const int bytes = (w + 7) / 8;
    qpxSize roi = {w, h}, msz = {side, side};
    unsigned char* bits = calloc((size_t)bytes * h, 1);
    unsigned char* eroded = calloc((size_t)bytes * h, 1);
    int specSize = 0, bufSize = 0, bad = !bits || !eroded;
    for (int y = 0; y < h && !bad; ++y)
        for (int x = 0; x < w; ++x)
            if (img[y * w + x] > 100) bits[y * bytes + x / 8] |= (unsigned char)(1u << (x % 8));
    if (!bad)
        bad = demo_check(qpxiMorphologyBorderGetSize_1u_C1R(roi, msz, &specSize, &bufSize),
                         "MorphologyBorderGetSize_1u");
    unsigned char* spec = bad ? NULL : malloc((size_t)specSize);
    unsigned char* buf = bad ? NULL : malloc((size_t)bufSize);
    if (!bad && (!spec || !buf)) bad = 1;
    if (!bad)
        bad = demo_check(qpxiMorphologyBorderInit_1u_C1R(roi, mask, msz, (qpxMorphState*)spec, buf),
                         "MorphologyBorderInit_1u");
    if (!bad)
        bad = demo_check(qpxiErodeBorder_1u_C1R(bits, bytes, 0, eroded, bytes, 0, roi,
                                                qpxBorderRepl, 0, (qpxMorphState*)spec, buf),
                         "ErodeBorder_1u");
    for (int y = 0; y < h && !bad; ++y)
        for (int x = 0; x < w; ++x)
            out[y * w + x] = (eroded[y * bytes + x / 8] >> (x % 8)) & 1 ? 255 : 0;
    free(spec);
    free(buf);
    free(bits);
    free(eroded);
    return bad;
}

int demo_erode_dilate(const unsigned char* img, int w, int h) {
    unsigned char square[81];
    const unsigned char round[25] = {0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 1, 1, 1,
                                     1, 1, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0};
    unsigned char* out = malloc((size_t)w * h);
    int bad = !out;
    memset(square, 1, sizeof square);
    if (!bad) bad |= run_8u(qpxiDilateBorder_8u_C1R, "DilateBorder", img, out, w, h, square, 9);
    if (!bad) bad |= demo_save("dilate_square9", out, w, h, w);
    if (!bad) bad |= run_8u(qpxiErodeBorder_8u_C1R, "ErodeBorder", img, out, w, h, round, 5);
    if (!bad) bad |= demo_save("erode_round5", out, w, h, w);
    if (!bad) bad |= run_1u(img, out, w, h, round, 5);
    if (!bad) bad |= demo_save("erode_bits_round5", out, w, h, w);
    free(out);
    return bad;
}
