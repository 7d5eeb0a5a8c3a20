// A control-value module under test with a probe wired after it: output k of the module feeds
// probe pin k, so the probe's record names the output, the sample and the values of every send.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "support/ProbeModule.h"
#include "support/TestEngine.h"

template <class Module>
class ControlValueRig {
public:
    explicit ControlValueRig(std::initializer_list<int> probedOutputs, int blockLength = 128)
        : engine(blockLength), module(engine.add<Module>(false)), probe(engine.add<ProbeModule>(false)) {
        probeOutputs(probedOutputs);
    }

    void probeOutputs(std::initializer_list<int> outputs) {
        for (const int output : outputs) {
            module->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
        }
    }

    // An event `offset` samples after the start of the next run.
    void at(int offset, int pin, float fvalue, std::int32_t ivalue = 0) {
        module->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kEventStill, ivalue,
                             fvalue, nullptr);
    }

    // Runs one chunk first, so that the core no longer reports audio as stopped.
    void startAudio() {
        engine.run(engine.engineBlockLength);
        probe->events.clear();
    }

    bool idle() const { return (engine.moduleFlags[module->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    Module* module;
    ProbeModule* probe;
};
