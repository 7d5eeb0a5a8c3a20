// One LFO between a signal source (rate, phase offset and amount, each a function of engine time)
// and a recorder of its outputs, set up the way the netlist sets up LFO 1: frequency rate unit,
// retrigger on, amount 1, offset 0. Helpers give rates of exact increments and the shapes' values.
#pragma once

#include <cmath>
#include <vector>

#include "modules/modulation/QX_DSP_LFO.h"
#include "modules/sources/ModuleRig.h"

namespace lfo_rig {

using source_rig::Recorder;
using source_rig::SignalSource;
using Lfo = QX_DSP_LFO;

enum ShapeNumber : int {
    kSine = 0,
    kTriangle = 1,
    kPulse = 2,
    kSaw1 = 3,
    kSaw2 = 4,
    kSaw3 = 5,
    kRamp1 = 6,
    kRamp2 = 7,
    kRamp3 = 8,
    kPeak = 9,
    kDip = 10,
    kRandom = 11,
    kHump = 12,
    kWidthPulse = 13,
    kSquare = 14,
    kStepSine = 15,
    kTrap = 16,
};

// A frequency-unit rate (Hz / 10) that advances the phase by `cycles` per sample.
inline float rateFor(double cyclesPerSample, int sampleRate) {
    return static_cast<float>(cyclesPerSample * sampleRate / 10.0);
}

// Saw 1 at phase p (cycles, any value): its fraction minus 0.5.
inline double saw(double p) { return p - std::floor(p) - 0.5; }

class LfoRig : public source_rig::ModuleRig<Lfo> {
public:
    enum Signal : int { kRate, kOffset, kAmount, kSignals };
    static constexpr int kSignalPins[kSignals] = {Lfo::kPinRate, Lfo::kPinPhaseOffset, Lfo::kPinAmount};

    explicit LfoRig(int sampleRate = 44100, bool second = false, int blockLength = 128)
        : ModuleRig(kSignalPins, sampleRate, blockLength) {
        if (second) {
            module->connect(recorder, recorder->moduleIndex, Lfo::kOutputSecond, 1, 0, 0, 0);
        }
        engine.prepareAll();
        still(kAmount, 1.0f);
        still(kOffset, 0.0f);
        still(kRate, 0.0f);
    }

    void shape(int number, int offset = 0) { event(offset, Lfo::kPinShape, number); }

    const std::vector<float>& second() const { return recorder->samples[1]; }
};

// Sample indices at which a rising saw falls back (its value drops by more than half).
inline std::vector<std::size_t> wraps(const std::vector<float>& x) {
    std::vector<std::size_t> at;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i] < x[i - 1] - 0.5f) {
            at.push_back(i);
        }
    }
    return at;
}

}  // namespace lfo_rig
