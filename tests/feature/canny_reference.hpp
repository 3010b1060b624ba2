// A direct edge detector for the tests: per-pixel magnitudes and sectors, suppression against
// the full neighbourhood, then a breadth-first flood from the seeds. It shares no code with the
// library and ignores buffers, rings and stacks entirely.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace cannyref {

enum Sector { kH, kV, kSame, kOpp };

// Magnitudes after the low cut (0 where cut) and the direction sector of every pixel. Values are
// exact copies of the single-precision or integer magnitudes the detector works with.
struct Field {
    int w = 0, h = 0;
    std::vector<double> mag;
    std::vector<int> sector;
    double at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.0;
        return mag[std::size_t(y) * w + x];
    }
};

// Ratio test of the direction: tan(pi/8) and tan(3pi/8) rounded to single precision.
inline int sector_by_ratio(float ax, float ay, bool signsDiffer) {
    const float t1 = 0.41421357f, t2 = 2.4142137f;
    float a1 = ax * t1, a2 = ax * t2;
    if (ay < a1) return kH;
    if (a2 < ay) return kV;
    return signsDiffer ? kOpp : kSame;
}

// Angle test of the direction, for images under four rows.
inline int sector_by_angle(int dx, int dy) {
    double a = std::atan2(double(dy), double(dx));
    if (a < 0) a += M_PI;
    float f = float(a);
    if (f < 0.3926991f) return kH;
    if (f <= 1.1780972f) return kSame;
    if (f < 1.9634955f) return kV;
    if (f <= 2.7488937f) return kOpp;
    return kH;
}

inline bool candidate(const Field& f, int x, int y) {
    const double m = f.at(x, y);
    if (m == 0.0) return false;
    switch (f.sector[std::size_t(y) * f.w + x]) {
        case kH:
            return f.at(x - 1, y) < m && f.at(x + 1, y) <= m;
        case kV:
            return f.at(x, y - 1) < m && f.at(x, y + 1) <= m;
        case kSame:
            return f.at(x - 1, y - 1) < m && f.at(x + 1, y + 1) < m;
        default:
            return f.at(x + 1, y - 1) < m && f.at(x - 1, y + 1) < m;
    }
}

struct Result {
    std::vector<std::uint8_t> edges;  // 255 / 0, row-major
    long candidates = 0;
};

inline Result detect(const Field& f, double high) {
    const int w = f.w, h = f.h;
    std::vector<char> cand(std::size_t(w) * h, 0);
    Result r;
    r.edges.assign(std::size_t(w) * h, 0);
    std::vector<std::pair<int, int>> queue;  // first in, first out from `head`
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (candidate(f, x, y)) {
                cand[std::size_t(y) * w + x] = 1;
                ++r.candidates;
                if (f.at(x, y) > high) {
                    r.edges[std::size_t(y) * w + x] = 255;
                    queue.emplace_back(x, y);
                }
            }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const int x = queue[head].first, y = queue[head].second;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                std::size_t i = std::size_t(ny) * w + nx;
                if (cand[i] && r.edges[i] == 0) {
                    r.edges[i] = 255;
                    queue.emplace_back(nx, ny);
                }
            }
    }
    return r;
}

}  // namespace cannyref
