/* Derivative images of the sample: the mixed second derivative and the Laplacian (signed,
 * shown around mid-grey), the 5x5 mean, and the three derivatives combined into one
 * magnitude per pixel by the L2 colour-gradient reduction. */
#include <stdint.h>
#include <stdlib.h>

#include "demo.h"

/* Runs one 8u -> 16s fixed filter and saves it as bytes: value * scale + 128. */
static int save_signed(const char* name, const int16_t* d, int w, int h, float scale, float* tmp,
                       unsigned char* view) {
    for (int i = 0; i < w * h; ++i) tmp[i] = d[i];
    demo_to_bytes(tmp, w * h, scale, 128.0f, view);
    return demo_save(name, view, w, h, w);
}

int demo_derivatives(const unsigned char* img, int w, int h) {
    qpxSize roi = {w, h};
    int s1 = 0, s2 = 0, s3 = 0, s4 = 0, bad = 0;
    bad |= demo_check(qpxiFilterSobelCrossGetBufferSize_8u16s_C1R(roi, qpxMskSize3x3, &s1), "SobelCross size");
    bad |= demo_check(qpxiFilterLaplacianGetBufferSize_8u16s_C1R(roi, qpxMskSize5x5, &s2), "Laplacian size");
    bad |= demo_check(qpxiFilterLowpassGetBufferSize_8u_C1R(roi, qpxMskSize5x5, &s3), "Lowpass size");
    bad |= demo_check(qpxiFilterLaplacianGetBufferSize_8u16s_C1R(roi, qpxMskSize3x3, &s4), "Laplacian size");
    if (bad) return 1;
    int size = s1;
    if (s2 > size) size = s2;
    if (s3 > size) size = s3;
    if (s4 > size) size = s4;
    uint8_t* buf = malloc((size_t)size);
    int16_t* cross = malloc((size_t)w * h * sizeof(int16_t));
    int16_t* lap3 = malloc((size_t)w * h * sizeof(int16_t));
    int16_t* lap5 = malloc((size_t)w * h * sizeof(int16_t));
    float* tmp = malloc((size_t)w * h * 3 * sizeof(float));
    float* mag = malloc((size_t)w * h * sizeof(float));
    unsigned char* view = malloc((size_t)w * h);
    bad = !buf || !cross || !lap3 || !lap5 || !tmp || !mag || !view;
    const int s16 = w * (int)sizeof(int16_t);
    if (!bad) {
        bad |= demo_check(qpxiFilterSobelCrossBorder_8u16s_C1R(img, w, cross, s16, roi, qpxMskSize3x3,
                                                               qpxBorderRepl, 0, buf), "SobelCross");
        bad |= demo_check(qpxiFilterLaplacianBorder_8u16s_C1R(img, w, lap3, s16, roi, qpxMskSize3x3,
                                                              qpxBorderMirror, 0, buf), "Laplacian 3x3");
        bad |= demo_check(qpxiFilterLaplacianBorder_8u16s_C1R(img, w, lap5, s16, roi, qpxMskSize5x5,
                                                              qpxBorderMirror, 0, buf), "Laplacian 5x5");
        bad |= demo_check(qpxiFilterLowpassBorder_8u_C1R(img, w, view, w, roi, qpxMskSize5x5,
                                                         qpxBorderRepl, 0, buf), "Lowpass");
    }
    if (!bad) {
        bad |= demo_save("lowpass_5x5", view, w, h, w);
        bad |= save_signed("sobel_cross_3x3", cross, w, h, 0.5f, tmp, view);
        bad |= save_signed("laplacian_3x3", lap3, w, h, 0.25f, tmp, view);
        bad |= save_signed("laplacian_5x5", lap5, w, h, 0.0625f, tmp, view);
        /* Three derivative channels per pixel, brought to similar ranges, then one magnitude. */
        for (int i = 0; i < w * h; ++i) {
            tmp[3 * i] = cross[i] * 2.0f;
            tmp[3 * i + 1] = lap3[i] * 1.0f;
            tmp[3 * i + 2] = lap5[i] * 0.25f;
        }
        bad |= demo_check(qpxiGradientColorToGray_32f_C3C1R(tmp, w * 3 * (int)sizeof(float), mag,
                                                            w * (int)sizeof(float), roi, qpxNormL2),
                          "GradientColorToGray");
        if (!bad) {
            demo_to_bytes(mag, w * h, 0.5f, 0.0f, view);
            bad |= demo_save("derivative_magnitude", view, w, h, w);
        }
    }
    free(buf);
    free(cross);
    free(lap3);
    free(lap5);
    free(tmp);
    free(mag);
    free(view);
    return bad;
}
