/* Statistics of the sample: a summary printed to the console (mean, standard deviation, extrema
 * and norms), and the local contrast as a picture, the standard deviation over a 9x9 window
 * computed from the integral and squared integral images. */
#include <stdio.h>
#include <stdlib.h>

#include "demo.h"

/* The whole-picture figures, and the norms of the picture's bright half through a mask. */
static int summary(const unsigned char* img, int w, int h) {
    qpxSize roi = {w, h};
    double mean = 0, dev = 0, l1 = 0, l2 = 0, inf = 0;
    float lo = 0, hi = 0;
    qpxPoint at_lo = {0, 0}, at_hi = {0, 0};
    unsigned char* mask = malloc((size_t)w * h);
    if (!mask) return 1;
    for (int i = 0; i < w * h; ++i) mask[i] = img[i] >= 128;
    int bad = demo_check(qpxiMean_StdDev_8u_C1R(img, w, roi, &mean, &dev), "Mean_StdDev_8u_C1R");
    bad |= demo_check(qpxiMinMaxIndx_8u_C1R(img, w, roi, &lo, &hi, &at_lo, &at_hi),
                      "MinMaxIndx_8u_C1R");
    bad |= demo_check(qpxiNorm_L1_8u_C1MR(img, w, mask, w, roi, &l1), "Norm_L1_8u_C1MR");
    bad |= demo_check(qpxiNorm_L2_8u_C1MR(img, w, mask, w, roi, &l2), "Norm_L2_8u_C1MR");
    bad |= demo_check(qpxiNorm_Inf_8u_C1MR(img, w, mask, w, roi, &inf), "Norm_Inf_8u_C1MR");
    if (!bad) {
        printf("sample %dx%d: mean %.3f, standard deviation %.3f\n", w, h, mean, dev);
        printf("  minimum %.0f at (%d, %d), maximum %.0f at (%d, %d)\n", lo, at_lo.x, at_lo.y, hi,
               at_hi.x, at_hi.y);
        printf("  pixels >= 128: L1 norm %.0f, L2 norm %.3f, largest %.0f\n", l1, l2, inf);
    }
    free(mask);
    return bad;
}

/* Standard deviation over k x k windows: out is (w - k + 1) x (h - k + 1). */
static int local_contrast(const unsigned char* img, int w, int h, int k) {
    const int iw = w + 1, ih = h + 1, ow = w - k + 1, oh = h - k + 1;
    float* sum = malloc((size_t)iw * ih * sizeof(float));
    double* sqr = malloc((size_t)iw * ih * sizeof(double));
    float* dev = malloc((size_t)ow * oh * sizeof(float));
    unsigned char* view = malloc((size_t)ow * oh);
    int bad = !sum || !sqr || !dev || !view;
    if (!bad)
        bad = demo_check(qpxiSqrIntegral_8u32f64f_C1R(img, w, sum, iw * 4, sqr, iw * 8,
                                                      (qpxSize){w, h}, 0.0f, 0.0),
                         "SqrIntegral_8u32f64f_C1R");
    if (!bad)
        bad = demo_check(qpxiRectStdDev_32f_C1R(sum, iw * 4, sqr, iw * 8, dev, ow * 4,
                                                (qpxSize){ow, oh}, (qpxRect){0, 0, k, k}),
                         "RectStdDev_32f_C1R");
    if (!bad) {
        /* Deviations of a few tens of grey levels fill the range. */
        demo_to_bytes(dev, ow * oh, 4.0f, 0.0f, view);
        bad = demo_save("local_contrast_9x9", view, ow, oh, ow);
    }
    free(sum);
    free(sqr);
    free(dev);
    free(view);
    return bad;
}

int demo_stats(const unsigned char* img, int w, int h) {
    return summary(img, w, h) | local_contrast(img, w, h, 9);
}
