// The sample memory of a delay line: a power-of-two ring whose room for the largest size at the
// engine's sample rate is taken once, when the module is made; a size index picks how much of it
// is in use, so changing size or switching the line on never allocates on the audio thread.
#pragma once

#include <cstdlib>
#include <memory>

class DelayRing {
public:
    explicit DelayRing(int sampleRate);
    DelayRing(const DelayRing&) = delete;
    DelayRing& operator=(const DelayRing&) = delete;

    // Chooses the length for a size index (clamped to the table); the contents are not cleared.
    void select(int sizeIndex);
    // Zeroes the part in use.
    void clear();

    float* data() const { return samples_; }
    unsigned mask() const { return mask_; }
    int length() const { return length_; }
    // The longest read offset, in samples.
    float longest() const { return static_cast<float>(length_ - 1); }

private:
    // Should the room not be had, a short ring keeps the line working.
    static constexpr int kFallbackLength = 256;

    struct Release {
        void operator()(float* p) const { std::free(p); }
    };

    std::unique_ptr<float, Release> owned_;
    float fallback_[kFallbackLength] = {};
    float* samples_;
    int sampleRate_;
    int capacity_;
    int length_ = 0;
    unsigned mask_ = 0;
};
