/* Corner measures of the sample: the Harris response, and the minimum-eigenvalue response with
 * its strongest local maxima marked as small squares on a dimmed copy of the picture. */
#include <stdlib.h>
#include <string.h>

#include "demo.h"

#define MAX_CORNERS 400

static float max_of(const float* v, int n) {
    float m = 0.0f;
    for (int i = 0; i < n; ++i)
        if (v[i] > m) m = v[i];
    return m;
}

static void mark(unsigned char* view, int w, int h, qpxPoint p) {
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            int x = p.x + dx, y = p.y + dy;
            int edge = dx == -3 || dx == 3 || dy == -3 || dy == 3;
            if (edge && x >= 0 && x < w && y >= 0 && y < h) view[y * w + x] = 255;
        }
}

int demo_corners(const unsigned char* img, int w, int h) {
    qpxSize roi = {w, h};
    int eigSize = 0, harrisSize = 0, peakSize = 0, found = 0;
    int bad = demo_check(qpxiMinEigenValGetBufferSize_8u32f_C1R(roi, 3, 5, &eigSize),
                         "MinEigenValGetBufferSize");
    bad |= demo_check(qpxiHarrisCornerGetBufferSize(roi, qpxMskSize3x3, 5, qpx8u, 1, &harrisSize),
                      "HarrisCornerGetBufferSize");
    bad |=
        demo_check(qpxiFindPeaks3x3GetBufferSize_32f_C1R(w, &peakSize), "FindPeaksGetBufferSize");
    if (bad) return 1;
    int size = eigSize > harrisSize ? eigSize : harrisSize;
    if (peakSize > size) size = peakSize;
    unsigned char* buf = malloc((size_t)size);
    float* resp = malloc((size_t)w * h * sizeof(float));
    unsigned char* view = malloc((size_t)w * h);
    qpxPoint* peaks = malloc(MAX_CORNERS * sizeof(qpxPoint));
    bad = !buf || !resp || !view || !peaks;

    if (!bad)
        bad = demo_check(
            qpxiHarrisCorner_8u32f_C1R(img, w, resp, w * 4, roi, qpxFilterSobel, qpxMskSize3x3, 5,
                                       0.04f, 1.0f, qpxBorderRepl, 0, buf),
            "HarrisCorner");
    if (!bad) {
        /* The response spans many orders of magnitude: show a tenth of the maximum as white. */
        float m = max_of(resp, w * h);
        demo_to_bytes(resp, w * h, m > 0 ? 2550.0f / m : 0.0f, 0.0f, view);
        bad = demo_save("corners_harris", view, w, h, w);
    }

    if (!bad)
        bad = demo_check(qpxiMinEigenValBorder_8u32f_C1R(img, w, resp, w * 4, roi, qpxKernelSobel,
                                                         3, 5, qpxBorderMirror, 0, buf),
                         "MinEigenValBorder");
    if (!bad) {
        float m = max_of(resp, w * h);
        demo_to_bytes(resp, w * h, m > 0 ? 1020.0f / m : 0.0f, 0.0f, view);
        bad = demo_save("corners_min_eigen", view, w, h, w);
        /* Local maxima above a fifth of the strongest response. */
        if (!bad)
            bad = demo_check(qpxiFindPeaks3x3_32f_C1R(resp, w * 4, roi, 0.2f * m, peaks,
                                                      MAX_CORNERS, &found, 0, 1, buf),
                             "FindPeaks3x3");
    }
    if (!bad) {
        for (int i = 0; i < w * h; ++i) view[i] = (unsigned char)(img[i] / 2);
        for (int i = 0; i < found; ++i) mark(view, w, h, peaks[i]);
        bad = demo_save("corners_marked", view, w, h, w);
    }
    free(buf);
    free(resp);
    free(view);
    free(peaks);
    return bad;
}
