/* Smooths a small 8-bit image with a 3x3 Gaussian filter and prints the result. */
#include <qpxcv.h>
#include <stdio.h>
#include <stdlib.h>

enum { W = 7, H = 5 };

int main(void) {
    const qpxLibraryVersion* version = qpxcvGetLibVersion();
    printf("%s, version %s\n", version->Name, version->Version);

    uint8_t src[H][W] = {{0}}, dst[H][W];
    src[2][3] = 160; /* one bright pixel in the middle */
    qpxSize roi = {W, H};

    /* Ask for the sizes, allocate, fill the spec, then filter. */
    int specSize = 0, bufferSize = 0;
    qpxStatus status = qpxiFilterGaussianGetBufferSize(roi, 3, qpx8u, 1, &specSize, &bufferSize);
    if (status < 0) {
        fprintf(stderr, "qpxiFilterGaussianGetBufferSize failed: status %d\n", (int)status);
        return 1;
    }
    qpxFilterGaussianSpec* spec = malloc((size_t)specSize);
    uint8_t* buffer = malloc((size_t)bufferSize);
    if (!spec || !buffer) {
        fprintf(stderr, "out of memory\n");
        free(spec);
        free(buffer);
        return 1;
    }
    status = qpxiFilterGaussianInit(roi, 3, 1.0f, qpxBorderRepl, qpx8u, 1, spec, buffer);
    if (status >= 0)
        status =
            qpxiFilterGaussianBorder_8u_C1R(&src[0][0], W, &dst[0][0], W, roi, 0, spec, buffer);
    free(spec);
    free(buffer);
    if (status < 0) { /* negative: an error, nothing was written */
        fprintf(stderr, "Gaussian filter failed: status %d\n", (int)status);
        return 1;
    }
    if (status > 0) /* positive: a warning, the result is still valid */
        fprintf(stderr, "Gaussian filter warning: status %d\n", (int)status);

    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) printf("%4d", dst[y][x]);
        printf("\n");
    }
    return 0;
}
