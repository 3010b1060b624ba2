#include "qpxcore.h"

#include <cpuid.h>
#include <unistd.h>

/* Largest cache reported by the deterministic cache parameters leaf; 0 when unavailable. */
static long cpuid_max_cache(void) {
    unsigned a, b, c, d;
    if (__get_cpuid_max(0, 0) < 4) return 0;
    long best = 0;
    for (unsigned i = 0; i < 16; ++i) {
        __cpuid_count(4, i, a, b, c, d);
        unsigned type = a & 0x1f;
        if (type == 0) break;
        long ways = ((b >> 22) & 0x3ff) + 1;
        long parts = ((b >> 12) & 0x3ff) + 1;
        long line = (b & 0xfff) + 1;
        long sets = (long)c + 1;
        long size = ways * parts * line * sets;
        if (size > best) best = size;
    }
    return best;
}

int qpxGetMaxCacheSizeB(int* sizeInBytes) {
    if (!sizeInBytes) return -8;
    long size = cpuid_max_cache();
    if (size <= 0) {
        const int names[] = {_SC_LEVEL4_CACHE_SIZE, _SC_LEVEL3_CACHE_SIZE, _SC_LEVEL2_CACHE_SIZE,
                             _SC_LEVEL1_DCACHE_SIZE};
        for (unsigned i = 0; i < sizeof names / sizeof names[0] && size <= 0; ++i) {
            long v = sysconf(names[i]);
            if (v > 0) size = v;
        }
    }
    if (size <= 0) return -1;
    if (size > 0x7fffffffL) size = 0x7fffffffL;
    *sizeInBytes = (int)size;
    return 0;
}
