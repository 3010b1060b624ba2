/* Core services shared by the qpx libraries. */
#ifndef QPXCORE_H
#define QPXCORE_H

#ifdef __cplusplus
extern "C" {
#endif

/* Writes the size in bytes of the largest processor cache. Returns 0 on success and a
 * non-zero status when the size cannot be determined (nothing is written then). */
__attribute__((visibility("default"))) int qpxGetMaxCacheSizeB(int* sizeInBytes);

#ifdef __cplusplus
}
#endif

#endif
