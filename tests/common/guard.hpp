// Test images placed against inaccessible pages, so that any read or write outside what a
// function may touch faults at once.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <type_traits>
#include <vector>

#include "frame/view.hpp"
#include "qpxcv.h"

namespace qpxtest {

// Which end of the accessible region touches a guard page. Rows in between always have the
// padding of the step, which cannot be guarded; running a test with both placements catches
// overruns past either end.
enum class Place { Begin, End };

// Pixels around the ROI that a function may read (in-memory borders).
struct Margins {
    int top = 0, bottom = 0, left = 0, right = 0;
};

// Raw pages with PROT_NONE neighbours on both sides.
class GuardedBuffer {
  public:
    GuardedBuffer() = default;
    explicit GuardedBuffer(std::size_t bytes, Place place = Place::End);
    ~GuardedBuffer();
    GuardedBuffer(GuardedBuffer&& o) noexcept { *this = static_cast<GuardedBuffer&&>(o); }
    GuardedBuffer& operator=(GuardedBuffer&& o) noexcept;
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return bytes_; }

  private:
    std::uint8_t* base_ = nullptr;
    std::size_t mapped_ = 0;
    std::uint8_t* data_ = nullptr;
    std::size_t bytes_ = 0;
};

template <class T>
class GuardedImage {
  public:
    GuardedImage() = default;
    // padBytes is added to the tight step; it must keep the step a multiple of sizeof(T).
    GuardedImage(int width, int height, int channels = 1, int padBytes = 0,
                 Place place = Place::End, Margins m = {})
        : w_(width), h_(height), ch_(channels), m_(m) {
        const std::int64_t rowElems = std::int64_t(m.left + width + m.right) * channels;
        step_ = static_cast<int>(rowElems * sizeof(T) + padBytes);
        const std::int64_t rows = m.top + height + m.bottom;
        const std::size_t span =
            static_cast<std::size_t>((rows - 1) * step_ + rowElems * std::int64_t(sizeof(T)));
        buf_ = GuardedBuffer(span, place);
        origin_ = reinterpret_cast<T*>(buf_.data() + std::int64_t(m.top) * step_) +
                  std::int64_t(m.left) * channels;
    }

    T* roi() const { return origin_; }
    int step() const { return step_; }
    int width() const { return w_; }
    int height() const { return h_; }
    int channels() const { return ch_; }
    qpxSize size() const { return {w_, h_}; }
    qpx::View<T> view() const { return qpx::view(origin_, step_, size(), ch_); }

    // x and y are ROI coordinates; the margins are reachable with negative or large values.
    T& at(int x, int y, int c = 0) const {
        return reinterpret_cast<T*>(reinterpret_cast<std::uint8_t*>(origin_) +
                                    std::int64_t(y) * step_)[std::int64_t(x) * ch_ + c];
    }

    // Every accessible element, margins included, from a generator of T values.
    template <class Gen>
    void fill(Gen&& gen) {
        for (int y = -m_.top; y < h_ + m_.bottom; ++y)
            for (int x = -m_.left; x < w_ + m_.right; ++x)
                for (int c = 0; c < ch_; ++c) at(x, y, c) = gen();
    }
    // The whole buffer, step padding included, as bytes: for "nothing written" checks.
    std::vector<std::uint8_t> snapshot() const {
        return std::vector<std::uint8_t>(buf_.data(), buf_.data() + buf_.size());
    }
    // The ROI as a dense vector, row-major.
    std::vector<T> dense() const {
        std::vector<T> v;
        v.reserve(std::size_t(w_) * h_ * ch_);
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_ * ch_; ++x) v.push_back(at(0, y, x));
        return v;
    }

  private:
    int w_ = 0, h_ = 0, ch_ = 1;
    Margins m_;
    int step_ = 0;
    GuardedBuffer buf_;
    T* origin_ = nullptr;
};

// Deterministic random values of every element type.
class Random {
  public:
    explicit Random(std::uint32_t seed = 12345) : eng_(seed) {}
    template <class T>
    T next(double lo, double hi) {
        if constexpr (std::is_floating_point_v<T>) {
            return static_cast<T>(std::uniform_real_distribution<double>(lo, hi)(eng_));
        } else {
            return static_cast<T>(std::uniform_int_distribution<long long>(
                static_cast<long long>(lo), static_cast<long long>(hi))(eng_));
        }
    }
    // A value over T's natural range (0..255 for 8u, -1000..1000 for floats).
    template <class T>
    T any() {
        if constexpr (std::is_floating_point_v<T>)
            return next<T>(-1000.0, 1000.0);
        else
            return next<T>(double(std::numeric_limits<T>::min()),
                           double(std::numeric_limits<T>::max()));
    }
    std::uint32_t bits() { return eng_(); }

  private:
    std::mt19937 eng_;
};

// Widths around the vector lengths of the kernels (8 floats, 16 bytes, 32 bytes) and odd ones.
inline const std::vector<int>& test_widths() {
    static const std::vector<int> w = {1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 23, 31, 32, 33, 47, 64, 67};
    return w;
}

// Bitwise equality of floats, so that NaN payloads and the sign of zero count.
inline bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs `call` in a child process and returns its status, so that a call that crashes or hangs
// fails the one case that made it instead of the whole program. A crash or a hang (no answer
// within `seconds`) gives kChildDied.
inline constexpr qpxStatus kChildDied = INT32_MIN;
qpxStatus in_child(qpxStatus (*call)(const void*), const void* arg, unsigned seconds = 20);
template <class F>
qpxStatus in_child(const F& f, unsigned seconds = 20) {
    return in_child([](const void* p) { return (*static_cast<const F*>(p))(); }, &f, seconds);
}

// The control fields of the MXCSR (rounding, masks, DAZ, FZ), which a call must leave as it found
// them. The exception flags (bits 0-5) are excluded: arithmetic sets them as a matter of course.
inline unsigned mxcsr() {
    return _mm_getcsr() & ~0x3Fu;
}

}  // namespace qpxtest
