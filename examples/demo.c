/* qpxCV demo: runs the library on an embedded sample picture and writes the results as PNG
 * files into the directory given as the first argument (default: the current directory). */
#include <qpxcv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "demo.h"
#include "png_io.h"
#include "sample_image.h"

static const char* out_dir = ".";

int demo_save(const char* name, const unsigned char* pixels, int width, int height, int step) {
    char path[1024];
    snprintf(path, sizeof path, "%s/%s.png", out_dir, name);
    if (png_write_gray(path, pixels, width, height, step) != 0) {
        fprintf(stderr, "cannot write %s\n", path);
        return -1;
    }
    printf("wrote %s\n", path);
    return 0;
}

/* Scales a float image into 8 bits for viewing: value * scale + offset, clamped. */
void demo_to_bytes(const float* src, int n, float scale, float offset, unsigned char* dst) {
    for (int i = 0; i < n; ++i) {
        float v = src[i] * scale + offset;
        dst[i] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v + 0.5f);
    }
}

int demo_check(qpxStatus st, const char* what) {
    if (st != qpxStatusOk) fprintf(stderr, "%s failed: %d\n", what, st);
    return st != qpxStatusOk;
}

/* Frame differencing and running averages over frames made by shifting the sample. */
int demo_motion(const unsigned char* img, int w, int h) {
    const int fw = w - 16, fh = h, frames = 8;
    qpxSize roi = {fw, fh};
    float* avg = calloc((size_t)fw * fh, sizeof(float));
    float* sum = calloc((size_t)fw * fh, sizeof(float));
    unsigned char* diff = calloc((size_t)fw * fh, 1);
    unsigned char* view = malloc((size_t)fw * fh);
    int bad = !avg || !sum || !diff || !view;
    /* The first frame seeds the running average. */
    for (int i = 0; i < fw * fh && !bad; ++i) avg[i] = img[(i / fw) * w + i % fw];
    for (int f = 0; f < frames && !bad; ++f) {
        const unsigned char* frame = img + 2 * f; /* the scene pans right by two pixels a frame */
        bad |= demo_check(qpxiAdd_8u32f_C1IR(frame, w, sum, fw * 4, roi), "Add");
        bad |= demo_check(qpxiAddWeighted_8u32f_C1IR(frame, w, avg, fw * 4, roi, 0.25f),
                          "AddWeighted");
        if (f == frames - 1)
            bad |= demo_check(qpxiAbsDiff_8u_C1R(frame, w, frame - 2, w, diff, fw, roi), "AbsDiff");
    }
    if (!bad) {
        bad |= demo_save("frame_difference", diff, fw, fh, fw);
        demo_to_bytes(avg, fw * fh, 1.0f, 0.0f, view);
        bad |= demo_save("running_average", view, fw, fh, fw);
        demo_to_bytes(sum, fw * fh, 1.0f / frames, 0.0f, view);
        bad |= demo_save("frame_mean", view, fw, fh, fw);
    }
    free(avg);
    free(sum);
    free(diff);
    free(view);
    return bad;
}

int main(int argc, char** argv) {
    if (argc > 1) out_dir = argv[1];
    const qpxLibraryVersion* v = qpxcvGetLibVersion();
    printf("%s, version %s\n", v->Name, v->Version);
    int w, h;
    unsigned char* img = png_decode_gray(sample_png, sizeof sample_png, &w, &h);
    if (!img) {
        fprintf(stderr, "cannot decode the embedded sample\n");
        return 1;
    }
    int bad = demo_save("input", img, w, h, w);
    bad |= demo_motion(img, w, h);
    bad |= demo_separable(img, w, h);
    bad |= demo_derivatives(img, w, h);
    bad |= demo_edges(img, w, h);
    bad |= demo_gaussian(img, w, h);
    bad |= demo_corners(img, w, h);
    bad |= demo_morphology(img, w, h);
    bad |= demo_erode_dilate(img, w, h);
    bad |= demo_stats(img, w, h);
    /* @@DEMO_CALLS@@ */
    free(img);
    return bad ? 1 : 0;
}
