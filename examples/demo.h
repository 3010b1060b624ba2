/* Shared pieces of the demo: each family's part lives in its own file. */
#ifndef QPX_DEMO_H
#define QPX_DEMO_H

#include <qpxcv.h>

/* Writes 8-bit grey pixels as <out_dir>/<name>.png; returns 0 on success. */
int demo_save(const char* name, const unsigned char* pixels, int width, int height, int step);
/* Scales n floats into bytes for viewing: value * scale + offset, rounded and clamped. */
void demo_to_bytes(const float* src, int n, float scale, float offset, unsigned char* dst);
/* Reports a failed call; returns non-zero when st is not qpxStatusOk. */
int demo_check(qpxStatus st, const char* what);

/* The parts of the demo, each on the grey sample picture (w x h, tight rows). */
int demo_motion(const unsigned char* img, int w, int h);
int demo_separable(const unsigned char* img, int w, int h);
int demo_derivatives(const unsigned char* img, int w, int h);
int demo_edges(const unsigned char* img, int w, int h);
int demo_gaussian(const unsigned char* img, int w, int h);
int demo_corners(const unsigned char* img, int w, int h);
int demo_morphology(const unsigned char* img, int w, int h);
int demo_erode_dilate(const unsigned char* img, int w, int h);
int demo_stats(const unsigned char* img, int w, int h);
/* @@DEMO_DECLS@@ */

#endif
