// The size and the on/off switch of a delay line. Its ring starts afresh when a new size comes
// while the line runs and when the line is switched on, so it never replays what it held before.
#pragma once

#include <cstdint>

class DelayLineSwitch {
public:
    explicit DelayLineSwitch(int defaultSize) : defaultSize_(defaultSize), size_(defaultSize) {}

    // Back to the default size, switched on.
    void prepare();
    // Each returns true when the ring must start afresh.
    bool resize(std::int32_t requested);
    bool switchOn(bool on);

    int size() const { return size_; }
    bool enabled() const { return enabled_; }

private:
    int defaultSize_;
    int size_;
    bool enabled_ = true;
};
