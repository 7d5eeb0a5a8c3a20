// One module between a signal source and a recorder of its output 0. Source output k feeds the
// module's pin pins[k] and follows a function of engine time; the rig switches a signal at an
// exact sample and tells the module whether it moves or holds still from there. Rigs for one
// module kind add their wiring and settings, then prepare the engine.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace source_rig {

template <class Module>
class ModuleRig {
public:
    ModuleRig(std::span<const int> pins, int sampleRate, int blockLength)
        : engine(blockLength, sampleRate),
          source(engine.add<SignalSource>(false)),
          module(engine.add<Module>(false)),
          recorder(engine.add<Recorder>(false)),
          start_(engine.sampleClock),
          pins_(pins) {
        for (std::size_t s = 0; s < pins_.size(); ++s) {
            source->connect(module, module->moduleIndex, static_cast<int>(s), pins_[s], 0, 0, 0);
        }
        module->connect(recorder, recorder->moduleIndex, 0, 0, 0, 0, 0);
    }

    // An event `offset` samples after the start of the next run.
    void event(int offset, int pin, std::int32_t ivalue, float fvalue = 0.0f, int kind = kEventStill) {
        module->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, fvalue,
                             nullptr);
    }

    // Signal `s` becomes a constant `offset` samples into the next run, announced as still.
    void still(int s, float value, int offset = 0) {
        switchTo(s, [value](std::uint32_t) { return value; }, offset);
        event(offset, pins_[static_cast<std::size_t>(s)], 0, value, kEventStill);
    }

    // Signal `s` follows `f` from `offset` samples into the next run, announced as moving.
    void moving(int s, std::function<float(std::uint32_t)> f, int offset = 0) {
        switchTo(s, std::move(f), offset);
        event(offset, pins_[static_cast<std::size_t>(s)], 0, 0.0f, kEventMoving);
    }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out() const { return recorder->samples[0]; }
    bool idle() const { return (engine.moduleFlags[module->moduleIndex] & kModuleIdle) != 0; }
    // Engine time of the n-th recorded sample.
    std::uint32_t timeOf(std::size_t n) const { return start_ + static_cast<std::uint32_t>(n); }

    TestEngine engine;
    SignalSource* source;
    Module* module;
    Recorder* recorder;

private:
    void switchTo(int s, std::function<float(std::uint32_t)> f, int offset) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = source->signal[s];
        source->signal[s] = [before, from, f](std::uint32_t t) { return t >= from || !before ? f(t) : before(t); };
    }

    std::uint32_t start_;
    std::span<const int> pins_;
};

}  // namespace source_rig
