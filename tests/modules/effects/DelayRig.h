// Drives one delay-type module by time: a signal source feeds chosen pins, a recorder keeps chosen
// outputs and their announcements, and events reach the module at offsets into the next run.
// Helpers find impulses and their spread in what was recorded.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace delay_test {

using source_rig::Recorder;
using source_rig::SignalSource;
using Signal = std::function<float(std::uint32_t)>;

template <class Module>
class DelayRig {
public:
    explicit DelayRig(int sampleRate = 44100, int blockLength = 128)
        : engine(blockLength, sampleRate),
          source(engine.add<SignalSource>(false)),
          module(engine.add<Module>(false)),
          recorder(engine.add<Recorder>(false)),
          origin(engine.sampleClock) {}

    // Source output `output` follows f (engine time counted from the first recorded sample) into `pin`.
    void feed(int output, int pin, Signal f) {
        const std::uint32_t start = origin;
        source->signal[output] = [f, start](std::uint32_t t) { return f(t - start); };
        source->connect(module, module->moduleIndex, output, pin, 0, 0, 0);
    }
    void listen(int output, int recorderPin) {
        module->connect(recorder, recorder->moduleIndex, output, recorderPin, 0, 0, 0);
    }
    // Once wired: the module starts afresh and every fed pin is announced as moving.
    void prepare() {
        engine.prepareAll();
        for (int pin = 0; pin < kModulePins; ++pin) {
            if (module->inputSources[pin] == source) {
                event(0, pin, 0, 1.0f, kEventMoving);
            }
        }
    }

    void event(int offset, int pin, std::int32_t ivalue, float fvalue, int kind = kEventStill) {
        module->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, fvalue,
                             nullptr);
    }
    // A parameter-like value (its tenths travel beside it; a parameter is never NaN or infinite,
    // so hostile values go without).
    void value(int offset, int pin, float v) { event(offset, pin, std::isfinite(v) ? tenths(v) : 0, v); }
    // A netlist constant c: c as the integer, c / 10 as the value.
    void setting(int offset, int pin, int c) { event(offset, pin, c, static_cast<float>(c) * 0.1f); }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out(int recorderPin = 0) const { return recorder->samples[recorderPin]; }
    bool idle() const { return (engine.moduleFlags[module->moduleIndex] & kModuleIdle) != 0; }
    // The kinds announced on what the recorder listens to at `recorderPin`, in order.
    std::vector<int> kinds(int recorderPin = 0) const {
        std::vector<int> result;
        for (const auto& e : recorder->events) {
            if (e.pin == recorderPin) {
                result.push_back(e.kind);
            }
        }
        return result;
    }

    TestEngine engine;
    SignalSource* source;
    Module* module;
    Recorder* recorder;
    std::uint32_t origin;
};

inline Signal impulseAt(std::uint32_t at, float height = 1.0f) {
    return [=](std::uint32_t t) { return t == at ? height : 0.0f; };
}
inline Signal constant(float v) {
    return [=](std::uint32_t) { return v; };
}

// The indices of samples whose magnitude exceeds `floor`.
inline std::vector<int> nonZero(const std::vector<float>& x, float floor = 1.0e-6f) {
    std::vector<int> at;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > floor) {
            at.push_back(static_cast<int>(i));
        }
    }
    return at;
}

inline int countNonFinite(const std::vector<float>& x) {
    int count = 0;
    for (float y : x) {
        count += std::isfinite(y) ? 0 : 1;
    }
    return count;
}

inline float peakMagnitude(const std::vector<float>& x, std::size_t from = 0) {
    float peak = 0.0f;
    for (std::size_t i = from; i < x.size(); ++i) {
        peak = std::fmax(peak, std::fabs(x[i]));
    }
    return peak;
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

}  // namespace delay_test
