// Test modules for the sound sources: a signal generator whose outputs are functions of engine
// time, and a recorder that keeps every sample and event reaching its inputs. Measurement
// helpers (frequency from zero crossings, spectra) sit beside them.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

#include "engine/QX_EngineHost.h"

namespace source_rig {

// Writes signal[k](time) to output k for every sample; outputs without a function hold 0.
class SignalSource : public QX_ModuleBase {
public:
    static constexpr int kOutputs = 8;

    explicit SignalSource(QX_EngineHost* host, bool asleep = false) : QX_ModuleBase(host, asleep) {
        for (int k = 0; k < kOutputs; ++k) {
            makeOutput(k);
        }
    }

    void render(int pos, int count) override {
        for (int k = 0; k < kOutputs; ++k) {
            if (!signal[k]) {
                continue;
            }
            for (int i = 0; i < count; ++i) {
                outputs[k][pos + i] = signal[k](localTime + static_cast<std::uint32_t>(i));
            }
        }
    }

    std::function<float(std::uint32_t)> signal[kOutputs];
};

// Appends what arrives on inputs 0..kInputs-1 (when wired) and every event it receives.
class Recorder : public QX_ModuleBase {
public:
    static constexpr int kInputs = 8;

    explicit Recorder(QX_EngineHost* host, bool asleep = false) : QX_ModuleBase(host, asleep) {}

    void render(int pos, int count) override {
        for (int pin = 0; pin < kInputs; ++pin) {
            if (inputs[pin] != nullptr) {
                samples[pin].insert(samples[pin].end(), inputs[pin] + pos, inputs[pin] + pos + count);
            }
        }
    }

    void handleEvent(const Event& event, int) override { events.push_back({localTime, event.pin, event.kind}); }

    struct Received {
        std::uint32_t time;
        int pin;
        int kind;
    };
    std::vector<float> samples[kInputs];
    std::vector<Received> events;
};

inline float constant(float value, std::uint32_t) { return value; }

// A sine of `hz` at `sampleRate` and amplitude 0.5, its phase counted from engine time 0.
inline std::function<float(std::uint32_t)> sine(double hz, int sampleRate, double amplitude = 0.5) {
    return [=](std::uint32_t t) {
        return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t / sampleRate));
    };
}

// Average frequency from the first to the last rising zero crossing, each placed between its two
// samples by linear interpolation. Samples before `skip` are ignored.
inline double crossingFrequency(const std::vector<float>& x, int sampleRate, std::size_t skip = 0) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (std::size_t i = std::max<std::size_t>(skip, 1); i < x.size(); ++i) {
        if (x[i - 1] <= 0.0f && x[i] > 0.0f) {
            const double at = static_cast<double>(i - 1) + x[i - 1] / (static_cast<double>(x[i - 1]) - x[i]);
            if (first < 0.0) {
                first = at;
            }
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) {
        return 0.0;
    }
    return (crossings - 1) * static_cast<double>(sampleRate) / (last - first);
}

inline double cents(double hz, double reference) { return 1200.0 * std::log2(hz / reference); }

// In-place radix-2 FFT; the size must be a power of two.
inline void fft(std::vector<std::complex<double>>& data) {
    const std::size_t n = data.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
        const std::complex<double> unit(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += length) {
            std::complex<double> w(1.0, 0.0);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> u = data[i + k];
                const std::complex<double> v = data[i + k + length / 2] * w;
                data[i + k] = u + v;
                data[i + k + length / 2] = u - v;
                w *= unit;
            }
        }
    }
}

// Magnitude spectrum (bins 0..n/2) of n samples from `start` under a 4-term Blackman-Harris
// window, whose side lobes (-92 dB, falling away from the peak) set the floor of what it shows.
inline std::vector<double> spectrum(const std::vector<float>& x, std::size_t start, std::size_t n) {
    constexpr double kA0 = 0.35875;
    constexpr double kA1 = 0.48829;
    constexpr double kA2 = 0.14128;
    constexpr double kA3 = 0.01168;
    std::vector<std::complex<double>> data(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double phase = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        const double w = kA0 - kA1 * std::cos(phase) + kA2 * std::cos(2 * phase) - kA3 * std::cos(3 * phase);
        data[i] = w * x[start + i];
    }
    fft(data);
    std::vector<double> magnitude(n / 2 + 1);
    for (std::size_t i = 0; i < magnitude.size(); ++i) {
        magnitude[i] = std::abs(data[i]);
    }
    return magnitude;
}

}  // namespace source_rig
