/* Gaussian smoothing of the sample at two strengths, through the 32-bit interface on bytes and
 * the 64-bit interface on floats, with a mirrored border. */
#include <stdlib.h>

#include "demo.h"

/* Smooths the 8-bit picture with a kernel of the given size and sigma into out. */
static int smooth_8u(const unsigned char* img, int w, int h, int ks, float sigma,
                     unsigned char* out) {
    qpxSize roi = {w, h};
    int specSize = 0, bufSize = 0;
    if (demo_check(qpxiFilterGaussianGetBufferSize(roi, ks, qpx8u, 1, &specSize, &bufSize),
                   "FilterGaussianGetBufferSize"))
        return 1;
    unsigned char* spec = malloc((size_t)specSize);
    unsigned char* buf = malloc((size_t)bufSize);
    int bad = !spec || !buf;
    if (!bad)
        bad = demo_check(qpxiFilterGaussianInit(roi, ks, sigma, qpxBorderMirror, qpx8u, 1,
                                                (qpxFilterGaussianSpec*)spec, buf),
                         "FilterGaussianInit");
    if (!bad)
        bad = demo_check(qpxiFilterGaussianBorder_8u_C1R(img, w, out, w, roi, 0,
                                                         (const qpxFilterGaussianSpec*)spec, buf),
                         "FilterGaussianBorder_8u_C1R");
    free(spec);
    free(buf);
    return bad;
}

/* The same picture as floats through the 64-bit interface. */
static int smooth_32f(const unsigned char* img, int w, int h, int ks, float sigma,
                      unsigned char* out) {
    int64_t specSize = 0, initSize = 0, bufSize = 0;
    float* src = malloc((size_t)w * h * sizeof(float));
    float* dst = malloc((size_t)w * h * sizeof(float));
    int bad = !src || !dst;
    bad = bad || demo_check(qpxiFilterGaussianGetSpecSize_L(ks, qpx32f, 1, &specSize, &initSize),
                            "FilterGaussianGetSpecSize_L");
    bad = bad || demo_check(qpxiFilterGaussianGetBufferSize_L(w, h, ks, qpx32f, qpxBorderMirror, 1,
                                                              &bufSize),
                            "FilterGaussianGetBufferSize_L");
    unsigned char* spec = bad ? NULL : malloc((size_t)specSize);
    unsigned char* init = bad ? NULL : malloc((size_t)initSize);
    unsigned char* buf = bad ? NULL : malloc((size_t)bufSize);
    bad = bad || !spec || !init || !buf;
    if (!bad) {
        for (int i = 0; i < w * h; ++i) src[i] = img[i];
        qpxFilterGaussianSpec* s = (qpxFilterGaussianSpec*)spec;
        bad = demo_check(
            qpxiFilterGaussianInit_L(w, h, ks, sigma, qpxBorderMirror, qpx32f, 1, s, init),
            "FilterGaussianInit_L");
        bad =
            bad || demo_check(qpxiFilterGaussian_32f_C1R_L(src, (int64_t)w * 4, dst, (int64_t)w * 4,
                                                           w, h, qpxBorderMirror, NULL, s, buf),
                              "FilterGaussian_32f_C1R_L");
    }
    if (!bad) demo_to_bytes(dst, w * h, 1.0f, 0.0f, out);
    free(src);
    free(dst);
    free(spec);
    free(init);
    free(buf);
    return bad;
}

int demo_gaussian(const unsigned char* img, int w, int h) {
    unsigned char* out = malloc((size_t)w * h);
    if (!out) return 1;
    int bad = smooth_8u(img, w, h, 7, 1.0f, out);
    if (!bad) bad = demo_save("gaussian_sigma1", out, w, h, w);
    if (!bad) bad = smooth_32f(img, w, h, 19, 3.0f, out);
    if (!bad) bad = demo_save("gaussian_sigma3", out, w, h, w);
    free(out);
    return bad;
}
