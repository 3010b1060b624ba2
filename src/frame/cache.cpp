#include "frame/cache.hpp"

#include "qpxcore.h"

namespace qpx {

std::int64_t max_cache_bytes() {
    int size = 0;
    if (qpxGetMaxCacheSizeB(&size) != 0 || size <= 0) return 0;
    return size;
}

bool stream_roi_copy(std::int64_t bytes, std::int64_t rowBytes) {
    if (bytes <= 0x200000) return false;
    std::int64_t cache = max_cache_bytes();
    return cache > 0 && 2 * bytes > cache && rowBytes >= 128;
}

bool stream_roi_fill(std::int64_t bytes) {
    if (bytes < 0x80001) return false;
    std::int64_t cache = max_cache_bytes();
    return cache > 0 && bytes >= cache;
}

bool stream_convert_16u32f(std::int64_t pixels) {
    if (pixels <= 87381) return false;
    std::int64_t cache = max_cache_bytes();
    return cache > 0 && 6 * pixels >= cache;
}

bool stream_gaussian(std::int64_t workBytes) {
    if (workBytes < 0x80000) return false;
    std::int64_t cache = max_cache_bytes();
    return cache > 0 && workBytes >= cache;
}

bool fits_half_cache(std::int64_t pixels) {
    std::int64_t cache = max_cache_bytes();
    return cache == 0 || pixels <= cache / 2;
}

}  // namespace qpx
