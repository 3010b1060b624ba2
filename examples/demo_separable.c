/* Separable filtering: a binomial blur through the spec-based filter, and a horizontal
 * derivative run as a row stage and a column stage, with the vertical border built by the caller
 * as repeated row pointers. */
#include <stdlib.h>

#include "demo.h"

static int separable_blur(const unsigned char* img, int w, int h) {
    const int16_t k[5] = {1, 4, 6, 4, 1};
    const qpxSize roi = {w, h}, ks = {5, 5};
    int specSize = 0, bufSize = 0;
    int bad = demo_check(qpxiFilterSeparableGetSpecSize(ks, qpx16s, 1, &specSize), "GetSpecSize");
    bad |= demo_check(qpxiFilterSeparableGetBufferSize(roi, ks, qpx8u, qpx16s, 1, &bufSize),
                      "GetBufferSize");
    if (bad) return bad;
    qpxFilterSeparableSpec* spec = malloc((size_t)specSize);
    uint8_t* buf = malloc((size_t)bufSize);
    unsigned char* out = malloc((size_t)w * h);
    bad = !spec || !buf || !out;
    if (!bad)
        bad |= demo_check(qpxiFilterSeparableInit_16s(k, k, ks, 16, 0, qpx8u, 1, spec),
                          "FilterSeparableInit_16s");
    /* Each pass divides by 16, so a pixel becomes its weighted 5x5 sum divided by 256 and
     * rounded down: flat areas keep their level, the picture as a whole is about half a level
     * darker. */
    if (!bad)
        bad |= demo_check(
            qpxiFilterSeparable_8u_C1R(img, w, out, w, roi, qpxBorderMirror, 0, spec, buf),
            "FilterSeparable_8u_C1R");
    if (!bad) bad |= demo_save("separable_blur", out, w, h, w);
    free(spec);
    free(buf);
    free(out);
    return bad;
}

static int separable_stages(const unsigned char* img, int w, int h) {
    const int16_t dx[3] = {-1, 0, 1}, smooth[3] = {1, 2, 1};
    const qpxSize roi = {w, h};
    int16_t* mid = malloc((size_t)w * h * sizeof(int16_t));
    int16_t** rows = malloc((size_t)h * sizeof(int16_t*));
    const int16_t** cols = malloc((size_t)(h + 2) * sizeof(int16_t*));
    unsigned char* out = malloc((size_t)w * h);
    int rowSize = 0, colSize = 0;
    int bad = !mid || !rows || !cols || !out;
    bad = bad || demo_check(qpxiFilterRowBorderPipelineGetBufferSize_8u16s_C1R(roi, 3, &rowSize),
                            "RowBorderPipelineGetBufferSize");
    bad = bad || demo_check(qpxiFilterColumnPipelineGetBufferSize_16s8u_C1R(roi, 3, &colSize),
                            "ColumnPipelineGetBufferSize");
    uint8_t* buf = bad ? NULL : malloc((size_t)(rowSize > colSize ? rowSize : colSize));
    bad = bad || !buf;
    if (!bad) {
        for (int y = 0; y < h; ++y) rows[y] = mid + (size_t)y * w;
        bad |= demo_check(qpxiFilterRowBorderPipeline_8u16s_C1R(img, w, rows, roi, dx, 3, 1,
                                                                qpxBorderRepl, 0, 1, buf),
                          "RowBorderPipeline_8u16s_C1R");
    }
    if (!bad) {
        /* Replicated top and bottom rows: the first and last pointers repeat the edge rows. */
        cols[0] = rows[0];
        for (int y = 0; y < h; ++y) cols[y + 1] = rows[y];
        cols[h + 1] = rows[h - 1];
        bad |= demo_check(qpxiFilterColumnPipeline_16s8u_C1R(cols, out, w, roi, smooth, 3, 4, buf),
                          "ColumnPipeline_16s8u_C1R");
    }
    /* Negative slopes saturate to 0: the picture shows edges that brighten to the right. */
    if (!bad) bad |= demo_save("separable_dx_stages", out, w, h, w);
    free(mid);
    free(rows);
    free(cols);
    free(out);
    free(buf);
    return bad;
}

int demo_separable(const unsigned char* img, int w, int h) {
    return separable_blur(img, w, h) | separable_stages(img, w, h);
}
