/* Edge maps of the sample: the 3x3 Sobel with the L2 norm, and the 5x5 Sobel with L1, whose
 * wider smoothing keeps fewer texture edges. */
#include <stdlib.h>

#include "demo.h"

static int canny_one(const unsigned char* img, int w, int h, qpxMaskSize mask, qpxEdgeNorm norm,
                     float low, float high, const char* name) {
    qpxSize roi = {w, h};
    int size = 0;
    if (demo_check(qpxiCannyBorderGetSize(roi, qpxFilterSobel, mask, qpx8u, &size),
                   "CannyBorderGetSize"))
        return 1;
    unsigned char* buf = malloc((size_t)size);
    unsigned char* edges = malloc((size_t)w * h);
    int bad = !buf || !edges;
    if (!bad)
        bad = demo_check(qpxiCannyBorder_8u_C1R(img, w, edges, w, roi, qpxFilterSobel, mask,
                                                qpxBorderRepl, 0, norm, low, high, buf),
                         "CannyBorder");
    if (!bad) bad = demo_save(name, edges, w, h, w);
    free(buf);
    free(edges);
    return bad;
}

int demo_edges(const unsigned char* img, int w, int h) {
    int bad = canny_one(img, w, h, qpxMskSize3x3, qpxEdgeNormL2, 80.0f, 200.0f, "edges_sobel3_l2");
    bad |= canny_one(img, w, h, qpxMskSize5x5, qpxEdgeNormL1, 1200.0f, 3000.0f, "edges_sobel5_l1");
    return bad;
}
