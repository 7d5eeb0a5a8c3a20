// Drives a glide module through events and records its outputs sample by sample across chunks,
// with a probe listening to the announcements of every recorded output.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "support/ProbeModule.h"
#include "support/TestEngine.h"

template <class Module>
class GlideRig {
public:
    GlideRig(std::vector<int> recorded, int sampleRate = 44100, int blockLength = 128)
        : engine(blockLength, sampleRate), module(engine.add<Module>(false)), probe(engine.add<ProbeModule>(false)),
          recorded_(std::move(recorded)) {
        for (const int output : recorded_) {
            module->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
        }
        engine.prepareAll();
    }

    // Marks a value pin as wired, the way a parameter binding does.
    void wire(int pin) { module->setInput(pin, &engine.paramValues[0]); }

    std::uint32_t now() const { return engine.sampleClock; }

    void at(std::uint32_t time, int pin, float fvalue, std::int32_t ivalue = 0) {
        module->receiveEvent(time, pin, kEventStill, ivalue, fvalue, nullptr);
    }

    // Runs one block so that the core no longer reports audio as stopped; the record starts after it.
    void startAudio() {
        engine.run(engine.engineBlockLength);
        probe->events.clear();
        signal.clear();
        origin = engine.sampleClock;
    }

    // Runs `frames` samples in pieces of at most `piece`, appending every recorded output.
    void run(int frames, int piece = kMaxChunk) {
        while (frames > 0) {
            const int n = std::min({frames, piece, engine.engineBlockLength - engine.ringPos});
            const int pos = engine.ringPos;
            engine.run(n);
            for (const int output : recorded_) {
                const float* out = module->outputs[output];
                if (out == nullptr) {
                    continue;  // an output that only sends events
                }
                signal[output].insert(signal[output].end(), out + pos, out + pos + n);
            }
            frames -= n;
        }
    }

    // The recorded value of an output at an engine time.
    float valueAt(int output, std::uint32_t time) { return signal[output].at(time - origin); }

    bool idle() const { return (engine.moduleFlags[module->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    Module* module;
    ProbeModule* probe;
    std::uint32_t origin = 1;  // engine time of the first recorded sample
    std::map<int, std::vector<float>> signal;

private:
    std::vector<int> recorded_;
};
