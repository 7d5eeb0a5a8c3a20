// Building blocks shared by the delay lines: the buffer size table and its sample-rate doubling,
// how an input pin is fed, and the guards that keep stored samples and read offsets defined.
#pragma once

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/QX_ModuleBase.h"
#include "modules/sources/SampleGuard.h"

namespace delay_kernels {

struct BufferSize {
    int index;
    int samples;  // at 48 kHz and below
};

constexpr BufferSize kBufferSizes[] = {
    {0, 524288}, {1, 262144}, {2, 131072}, {3, 65536}, {4, 32768}, {5, 16384},
    {6, 8192},   {7, 4096},   {8, 2048},   {9, 1024},  {10, 512},  {11, 256},
};
constexpr int kSizeCount = static_cast<int>(std::size(kBufferSizes));

// Sample rates above which every length doubles once more, so that a size holds the same time.
constexpr int kDoublingRates[] = {48000, 96000, 192000};

constexpr int rateFactor(int sampleRate) {
    int factor = 1;
    for (int rate : kDoublingRates) {
        factor *= sampleRate > rate ? 2 : 1;
    }
    return factor;
}

constexpr int sizeIndex(int requested) { return std::clamp(requested, 0, kSizeCount - 1); }

constexpr int bufferLength(int index, int sampleRate) {
    return kBufferSizes[sizeIndex(index)].samples * rateFactor(sampleRate);
}

// Samples per unit of a delay time: perRate * sample rate + fixed.
struct TimeUnit {
    int index;
    float perRate;
    float fixed;
};

constexpr TimeUnit kTimeUnits[] = {
    {0, 10.0f, 0.0f},  // tens of seconds
    {1, 0.01f, 0.0f},  // hundredths of a second
    {2, 0.0f, 10.0f},  // tens of samples
};

// An unknown unit falls back to the default one.
constexpr int timeUnit(int requested, int fallback) {
    return requested >= 0 && requested < static_cast<int>(std::size(kTimeUnits)) ? requested : fallback;
}

inline float samplesPerUnit(int unit, int sampleRate) {
    return kTimeUnits[unit].perRate * static_cast<float>(sampleRate) + kTimeUnits[unit].fixed;
}

// Below this a decaying loop holds zeros instead of wandering into subnormal numbers.
constexpr float kTiny = 1.0e-30f;

// What a delay line stores: finite, bounded, and never subnormal.
inline float stored(float x) {
    x = sample_guard::bounded(x);
    return x > kTiny || x < -kTiny ? x : 0.0f;
}

// A read offset in samples: NaN and negatives read the newest sample, too long reads the oldest.
inline float readOffset(float x, float longest) {
    x = x > 0.0f ? x : 0.0f;
    return x < longest ? x : longest;
}

// A control value: NaN becomes 0, infinities the largest finite floats.
inline float finite(float x) { return x == x ? std::clamp(x, -3.0e38f, 3.0e38f) : 0.0f; }

// A switch pin: on when its integer or its (finite) value is nonzero.
inline bool isOn(const Event& event) {
    return event.ivalue != 0 || (std::isfinite(event.fvalue) && event.fvalue != 0.0f);
}

// The pin reads one of the source module's output buffers, rather than a parameter, a constant
// or the shared silence handed over by an output without buffer.
inline bool readsBuffer(const QX_ModuleBase& module, int pin, const float* source) {
    const QX_ModuleBase* from = module.inputSources[pin];
    if (source == nullptr || from == nullptr) {
        return false;
    }
    return std::find(std::begin(from->outputs), std::end(from->outputs), source) != std::end(from->outputs);
}

}  // namespace delay_kernels
