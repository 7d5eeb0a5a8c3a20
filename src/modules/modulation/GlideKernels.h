// Pieces shared by the glide and smoothing modules: the core's jump flags, the value guard and
// the clamped linear ramp, written so that a ramp rendered in pieces equals the ramp rendered whole.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/QX_EngineHost.h"

namespace glide_kernels {

constexpr double kSecondsPerMs = 0.001;
constexpr int kDefaultRampMs = 30;
constexpr int kTailMs = 100;
// Far beyond any control value, small enough that differences and products stay finite.
constexpr float kValueLimit = 1.0e9f;
// About 25 minutes at 44.1 kHz; longer ramps are held at this length.
constexpr std::int32_t kMaxRampSamples = std::int32_t{1} << 26;

// While no audio has run yet or a program was just applied, smoothers jump instead of ramping.
inline bool mustJump(const QX_EngineHost& host) {
    return host.audioNotRunning.load(std::memory_order_relaxed) ||
           host.programJustLoaded.load(std::memory_order_relaxed);
}

// NaN becomes 0, everything else is held inside +-kValueLimit.
inline float guard(float x) {
    x = x == x ? x : 0.0f;
    return std::clamp(x, -kValueLimit, kValueLimit);
}

// trunc(ms x rate x 0.001), held inside 0..kMaxRampSamples.
inline std::int32_t samplesFor(double ms, int sampleRate) {
    const double samples = std::trunc(ms * static_cast<double>(sampleRate) * kSecondsPerMs);
    return samples >= 0.0 ? static_cast<std::int32_t>(std::min(samples, double{kMaxRampSamples})) : 0;
}

// out[i] = start + (from + i) x step, held inside lo..hi. Every sample depends only on its own
// index, so where a render piece begins changes nothing.
inline void writeRamp(float* __restrict out, int count, float start, float step, std::int32_t from, float lo,
                      float hi) {
    for (int i = 0; i < count; ++i) {
        float v = start + static_cast<float>(from + i) * step;
        v = v > lo ? v : lo;
        out[i] = v < hi ? v : hi;
    }
}

// Has `time` come by the end of the piece [now, now + count)?
inline bool dueWithin(std::uint32_t time, std::uint32_t now, int count) {
    return static_cast<std::int32_t>(time - now) < count;
}

}  // namespace glide_kernels
