// One oscillator module between a signal source (pitch, sync, level, ratio, phase modulation and
// width, each a function of engine time) and a recorder of its output 0, set up the way the
// netlist sets up oscillator 1: one oscillator running, active, level 1, ratio 0.1.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "modules/sources/QX_DSP_OSC_Multi_Out_x8.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace source_rig {

class OscillatorRig {
public:
    using Osc = QX_DSP_OSC_Multi_Out_x8;
    enum Signal : int { kPitch, kSync, kLevel, kRatio, kPhaseMod, kWidth, kSignals };
    static constexpr int kSignalPins[kSignals] = {Osc::kPinPitch, Osc::kPinSyncSource, Osc::kPinLevel,
                                                  Osc::kPinRatio, Osc::kPinPhaseMod,   Osc::kPinWidth};
    static constexpr int kRecordedSync = 1;  // recorder pin that keeps the sync signal

    explicit OscillatorRig(int sampleRate = 44100, int blockLength = 128)
        : engine(blockLength, sampleRate),
          source(engine.add<SignalSource>(false)),
          osc(engine.add<Osc>(false)),
          recorder(engine.add<Recorder>(false)) {
        for (int s = 0; s < kSignals; ++s) {
            source->connect(osc, osc->moduleIndex, s, kSignalPins[s], 0, 0, 0);
        }
        osc->connect(recorder, recorder->moduleIndex, 0, 0, 0, 0, 0);
        source->connect(recorder, recorder->moduleIndex, kSync, kRecordedSync, 0, 0, 0);
        engine.prepareAll();
        event(0, Osc::kPinCount, 1);
        event(0, Osc::kPinActive, 2);
        still(kPitch, 0.5f);
        still(kLevel, 1.0f);
        still(kRatio, 0.1f);
        still(kPhaseMod, 0.0f);
        still(kWidth, 0.0f);
    }

    // An event `offset` samples after the start of the next run.
    void event(int offset, int pin, std::int32_t ivalue, float fvalue = 0.0f, int kind = kEventStill) {
        osc->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, fvalue,
                          nullptr);
    }

    // The signal becomes a constant from engine time `from` (`offset` samples into the next run)
    // and the oscillator is told it holds still there.
    void still(Signal s, float value, int offset = 0) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = source->signal[s];
        source->signal[s] = [before, from, value](std::uint32_t t) {
            return t >= from || !before ? value : before(t);
        };
        event(offset, kSignalPins[s], 0, value, kEventStill);
    }

    // The signal follows `f` from `offset` samples into the next run and is announced as moving.
    void moving(Signal s, std::function<float(std::uint32_t)> f, int offset = 0) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = source->signal[s];
        source->signal[s] = [before, from, f](std::uint32_t t) { return t >= from || !before ? f(t) : before(t); };
        event(offset, kSignalPins[s], 0, 0.0f, kEventMoving);
    }

    void wave(int index, int offset = 0) { event(offset, Osc::kPinWave, index); }
    void harmonicsOption(int index, int offset = 0) { event(offset, Osc::kPinHarmonics, index); }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out() const { return recorder->samples[0]; }
    const std::vector<float>& sync() const { return recorder->samples[kRecordedSync]; }
    bool idle() const { return (engine.moduleFlags[osc->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    SignalSource* source;
    Osc* osc;
    Recorder* recorder;
};

// Pitch in volts of a frequency: 0.1 per octave, 0 at 13.75 Hz.
inline float pitchOf(double hz) { return static_cast<float>(0.1 * std::log2(hz / 13.75)); }

}  // namespace source_rig
