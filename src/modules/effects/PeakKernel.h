// The peak (bell) coefficient law shared by the EQ band and the static filter: a band of
// frequency f, width w and gain value g (centre gain G / (1.001 - G) with G = g + 0.5).
#pragma once

#include "modules/effects/FilterKernels.h"

namespace peak_kernel {

constexpr float kGainOffset = 0.5f;     // G = g + 0.5; 0.5005 is flat
constexpr float kCutCeiling = 1.001f;   // B = (1.001 - G) d
constexpr float kWidthScale = 10.0f;    // d = K / (10 w^4 + 0.01)
constexpr float kWidthFloor = 0.01f;
// The tangent column ends at Nyquist, where K is unbounded; the last step below it is the limit.
constexpr float kHighestPosition = filter_kernels::kLastColumnPoint - 1.0f;

inline float finiteOr(float value, float fallback) { return value - value == 0.0f ? value : fallback; }

// K = tan(pi f / sampleRate) read from the columns at the frequency's position.
inline float peakTangent(const filter_kernels::BiquadColumns& columns, float frequency) {
    const float position = columns.position(finiteOr(frequency, 0.0f));
    return filter_kernels::columnRead(columns.tan, position < kHighestPosition ? position : kHighestPosition);
}

inline filter_kernels::Coefficients peakLaw(float k, float width, float gain) {
    width = finiteOr(width, 0.0f);
    const float w2 = width * width;
    const float d = k / (kWidthScale * w2 * w2 + kWidthFloor);
    // The converter's gains stay within -0.5..0.5; beyond, B would turn negative and the band unstable.
    float g = finiteOr(gain, 0.0f) + kGainOffset;
    g = g > 0.0f ? g : 0.0f;
    g = g < 1.0f ? g : 1.0f;
    const float a = g * d;
    const float b = (kCutCeiling - g) * d;
    const float k2 = k * k;
    const float n = 1.0f / (1.0f + b + k2);
    const float feedForward = 2.0f * (k2 - 1.0f) * n;
    return {{(1.0f + k2 + a) * n, feedForward, (1.0f + k2 - a) * n, feedForward, (1.0f + k2 - b) * n}};
}

}  // namespace peak_kernel
