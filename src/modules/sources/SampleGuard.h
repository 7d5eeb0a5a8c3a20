// Keeps a computed audio sample finite and within reach of every reader, whatever the inputs
// held (NaN becomes silence, infinities and absurd values are clipped).
#pragma once

namespace sample_guard {

// Far above any level a voice produces, yet small enough that sums downstream stay finite.
constexpr float kOutputLimit = 1.0e4f;

inline float bounded(float sample) {
    sample = sample == sample ? sample : 0.0f;
    sample = sample < kOutputLimit ? sample : kOutputLimit;
    return sample > -kOutputLimit ? sample : -kOutputLimit;
}

}  // namespace sample_guard
