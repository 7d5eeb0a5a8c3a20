// The sample loops of the envelope stages and the output law they share. Shape, invert mode and
// velocity are folded into the law's coefficients, so no loop tests a mode.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace envelope_kernels {

// A ramp within this share of a step of its target has arrived: double rounding accumulated over a
// long ramp must not move a stage end by a sample.
constexpr double kArrivalTolerance = 1.0e-3;
constexpr float kAmountLimit = 1.0e6f;  // amounts beyond this (and NaN) read as 0

// Lin x, Exp x², I.Exp (2 − x)·x, each written as x (linear + square x).
struct ShapeLaw {
    float linear;
    float square;
};
constexpr ShapeLaw kShapes[] = {
    {1.0f, 0.0f},
    {0.0f, 1.0f},
    {2.0f, -1.0f},
};

// Invert 0: amount·y, 1: −amount·y, 2: 1 − amount·y. The rest value is what Delay, Tail and Idle show.
struct InvertLaw {
    float rest;
    float sign;
};
constexpr InvertLaw kInverts[] = {
    {0.0f, 1.0f},
    {0.0f, -1.0f},
    {1.0f, -1.0f},
};

// A sustain level: 0..1, NaN reads as 0.
inline float unitLevel(float x) { return std::min(std::max(0.0f, x), 1.0f); }

inline float safeAmount(float amount) {
    return amount >= -kAmountLimit && amount <= kAmountLimit ? amount : 0.0f;
}

// A sample count from a length in samples: truncated, NaN and negatives give 0, saturating.
inline std::int32_t sampleCount(double samples) {
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    if (!(samples > 0.0)) {
        return 0;
    }
    return samples < static_cast<double>(kMost) ? static_cast<std::int32_t>(samples) : kMost;
}

// out = rest + gain × amount × x (linear + square x) for a stage position x; gain carries the
// invert sign and the velocity factor.
struct OutputLaw {
    float rest;
    float gain;
    float linear;
    float square;

    float at(float x, float amount) const {
        return rest + gain * safeAmount(amount) * (x * (linear + square * x));
    }
};

// Rises by `step` per sample; returns how many samples it wrote before the level passed 1.
inline int attackRamp(const OutputLaw& law, double& level, double step, const float* amount, float* out,
                      int count) {
    const double peak = 1.0 + kArrivalTolerance * step;
    double x = level;
    int i = 0;
    for (; i < count; ++i) {
        x += step;
        if (x > peak) {
            break;
        }
        out[i] = law.at(static_cast<float>(std::min(x, 1.0)), amount[i]);
    }
    level = x;
    return i;
}

inline void holdPeak(const OutputLaw& law, const float* amount, float* out, int count) {
    for (int i = 0; i < count; ++i) {
        out[i] = law.at(1.0f, amount[i]);
    }
}

// Falls by `step` per sample and stops at the sustain signal; true once it got there.
inline bool decayRamp(const OutputLaw& law, double& level, double step, const float* sustain,
                      const float* amount, float* out, int count) {
    const double snap = kArrivalTolerance * step;
    double x = level;
    bool reached = false;
    for (int i = 0; i < count; ++i) {
        const double target = unitLevel(sustain[i]);
        x -= step;
        const bool arrived = x <= target + snap;
        x = arrived ? target : x;
        reached |= arrived;
        out[i] = law.at(static_cast<float>(x), amount[i]);
    }
    level = x;
    return reached;
}

inline void followSustain(const OutputLaw& law, const float* sustain, const float* amount, float* out,
                          int count) {
    for (int i = 0; i < count; ++i) {
        out[i] = law.at(unitLevel(sustain[i]), amount[i]);
    }
}

// Falls by `step` per sample and stops at 0.
inline void releaseRamp(const OutputLaw& law, double& level, double step, const float* amount, float* out,
                        int count) {
    const double snap = kArrivalTolerance * step;
    double x = level;
    for (int i = 0; i < count; ++i) {
        x -= step;
        x = x > snap ? x : 0.0;
        out[i] = law.at(static_cast<float>(x), amount[i]);
    }
    level = x;
}

// Writes from × (1 − k × step), floored at 0, for the k-th sample since the fade began.
inline void fadeRamp(double from, double step, std::int32_t& elapsed, float* out, int count) {
    std::int32_t k = elapsed;
    for (int i = 0; i < count; ++i) {
        ++k;
        out[i] = static_cast<float>(from * std::max(0.0, 1.0 - k * step));
    }
    elapsed = k;
}

}  // namespace envelope_kernels
