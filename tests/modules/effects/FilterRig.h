// One multi-mode filter between a signal source (input, cutoff, resonance as functions of engine
// time) and a recorder of its output, set up the way the netlist sets up filter 1: pitch cutoff,
// per-sample coefficients, a moving input. Measurement helpers and the response formulas the
// filter laws are checked against sit beside it.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

#include "engine/QX_VoiceAllocatorBase.h"
#include "modules/effects/QX_DSP_Multi_Filter.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace filter_test {

using Filter = QX_DSP_Multi_Filter;

// Records when a voice-linked filter reports its voice silent.
class SilentReports : public QX_VoiceAllocatorBase {
public:
    using QX_VoiceAllocatorBase::QX_VoiceAllocatorBase;
    void voiceSilent(int voice) override { reports.push_back({voice, host->sampleClock}); }
    struct Report {
        int voice;
        std::uint32_t time;
    };
    std::vector<Report> reports;
};

enum Signal : int { kInput, kCutoff, kResonance };

class FilterRig {
public:
    static constexpr int kVoice = 3;

    FilterRig(int type, int stages, int sampleRate = 44100, int blockLength = 128, bool voiceLinked = false)
        : engine(blockLength, sampleRate),
          owner(voiceLinked ? engine.add<SilentReports>(false) : nullptr),
          source(engine.add<source_rig::SignalSource>(false)),
          filter(voiceLinked ? engine.add<Filter>(false, owner, kVoice) : engine.add<Filter>(false)),
          recorder(engine.add<source_rig::Recorder>(false)),
          origin(engine.sampleClock) {
        source->connect(filter, filter->moduleIndex, kInput, Filter::kPinInput, 0, 0, 0);
        source->connect(filter, filter->moduleIndex, kCutoff, Filter::kPinCutoff, 0, 0, 0);
        source->connect(filter, filter->moduleIndex, kResonance, Filter::kPinResonance, 0, 0, 0);
        filter->connect(recorder, recorder->moduleIndex, Filter::kOutputLeft, 0, 0, 0, 0);
        source->signal[kInput] = [](std::uint32_t) { return 0.0f; };
        engine.prepareAll();
        event(0, Filter::kPinCutoffUnit, 0);
        event(0, Filter::kPinPerSample, 1);
        event(0, Filter::kPinMode, stages - 1);  // the event carries tenths: "24dB" is 0.1, "12dB" 0
        event(0, Filter::kPinType, type);
        still(kCutoff, 0.5f);
        still(kResonance, 0.0f);
        event(0, Filter::kPinInput, 0, kEventMoving);
    }

    // An event `offset` samples after the start of the next run.
    void event(int offset, int pin, std::int32_t ivalue, int kind = kEventStill) {
        filter->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, 0.0f,
                             nullptr);
    }

    void still(Signal s, float value, int offset = 0) {
        follow(s, [value](std::uint32_t) { return value; }, offset, kEventStill);
    }

    // The signal follows `f` from `offset` samples into the next run, announced with `kind`.
    void follow(Signal s, std::function<float(std::uint32_t)> f, int offset = 0, int kind = kEventMoving) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = source->signal[s];
        source->signal[s] = [before, from, f](std::uint32_t t) { return t >= from || !before ? f(t) : before(t); };
        static constexpr int kPins[] = {Filter::kPinInput, Filter::kPinCutoff, Filter::kPinResonance};
        event(offset, kPins[s], 0, kind);
    }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out() const { return recorder->samples[0]; }
    bool idle() const { return (engine.moduleFlags[filter->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    SilentReports* owner;
    source_rig::SignalSource* source;
    Filter* filter;
    source_rig::Recorder* recorder;
    std::uint32_t origin;  // engine time of the first recorded sample
};

// Pitch units of a frequency: 13.75 * 2^(10 c) Hz.
inline float pitchOf(double hz) { return static_cast<float>(std::log2(hz / 13.75) / 10.0); }

// Amplitude of the `hz` component of n samples from `start`, under a Hann window.
inline double amplitudeAt(const std::vector<float>& x, std::size_t start, std::size_t n, double hz,
                          int sampleRate) {
    std::complex<double> sum = 0.0;
    double weights = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        const double phase = 2.0 * std::numbers::pi * hz * static_cast<double>(start + i) / sampleRate;
        sum += w * static_cast<double>(x[start + i]) * std::polar(1.0, -phase);
        weights += w;
    }
    return 2.0 * std::abs(sum) / weights;
}

inline double decibels(double gain) { return 20.0 * std::log10(gain); }

// Response of b0 + b1 z^-1 + b2 z^-2 over 1 + a1 z^-1 + a2 z^-2 at z = e^(j omega).
inline double biquadGain(const double (&k)[5], double omega) {
    const std::complex<double> z1 = std::polar(1.0, -omega);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((k[0] + k[1] * z1 + k[2] * z2) / (1.0 + k[3] * z1 + k[4] * z2));
}

}  // namespace filter_test
