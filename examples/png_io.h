/* Minimal PNG reading and writing for the demo (8-bit grey). */
#ifndef QPX_DEMO_PNG_IO_H
#define QPX_DEMO_PNG_IO_H

#include <stddef.h>

/* Decodes a PNG held in memory to 8-bit grey; returns malloc'ed pixels or NULL. */
unsigned char* png_decode_gray(const unsigned char* data, size_t size, int* width, int* height);
/* Writes 8-bit grey pixels with the given step; returns 0 on success. */
int png_write_gray(const char* path, const unsigned char* pixels, int width, int height, int step);

#endif
