#include "png_io.h"

#include <png.h>
#include <stdlib.h>
#include <string.h>

unsigned char* png_decode_gray(const unsigned char* data, size_t size, int* width, int* height) {
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, data, size)) return NULL;
    img.format = PNG_FORMAT_GRAY;
    unsigned char* pixels = malloc(PNG_IMAGE_SIZE(img));
    if (!pixels || !png_image_finish_read(&img, NULL, pixels, 0, NULL)) {
        free(pixels);
        png_image_free(&img);
        return NULL;
    }
    *width = (int)img.width;
    *height = (int)img.height;
    return pixels;
}

int png_write_gray(const char* path, const unsigned char* pixels, int width, int height, int step) {
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = (png_uint_32)width;
    img.height = (png_uint_32)height;
    img.format = PNG_FORMAT_GRAY;
    return png_image_write_to_file(&img, path, 0, pixels, step, NULL) ? 0 : -1;
}
