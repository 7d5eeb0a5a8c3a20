// One oscillator module between a signal source (pitch, sync, level, ratio, phase modulation and
// width, each a function of engine time) and a recorder of its output 0, set up the way the
// netlist sets up oscillator 1: one oscillator running, active, level 1, ratio 0.1.
#pragma once

#include <cmath>
#include <vector>

#include "modules/sources/QX_DSP_OSC_Multi_Out_x8.h"
#include "modules/sources/ModuleRig.h"

namespace source_rig {

class OscillatorRig : public ModuleRig<QX_DSP_OSC_Multi_Out_x8> {
public:
    using Osc = QX_DSP_OSC_Multi_Out_x8;
    enum Signal : int { kPitch, kSync, kLevel, kRatio, kPhaseMod, kWidth, kSignals };
    static constexpr int kSignalPins[kSignals] = {Osc::kPinPitch, Osc::kPinSyncSource, Osc::kPinLevel,
                                                  Osc::kPinRatio, Osc::kPinPhaseMod,   Osc::kPinWidth};
    static constexpr int kRecordedSync = 1;  // recorder pin that keeps the sync signal

    explicit OscillatorRig(int sampleRate = 44100, int blockLength = 128)
        : ModuleRig(kSignalPins, sampleRate, blockLength) {
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

    void wave(int index, int offset = 0) { event(offset, Osc::kPinWave, index); }
    void harmonicsOption(int index, int offset = 0) { event(offset, Osc::kPinHarmonics, index); }

    const std::vector<float>& sync() const { return recorder->samples[kRecordedSync]; }
};

// Pitch in volts of a frequency: 0.1 per octave, 0 at 13.75 Hz.
inline float pitchOf(double hz) { return static_cast<float>(0.1 * std::log2(hz / 13.75)); }

}  // namespace source_rig
