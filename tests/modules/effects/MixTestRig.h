// Drives the level, mix and pan modules by time: a source whose outputs follow a schedule of still
// and moving stretches (announcing each), and a recorder that keeps every sample and announcement
// of the outputs it listens to.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/QX_EngineHost.h"
#include "support/TestEngine.h"

namespace mix_test {

// From `start` on, an output holds `value` (still) or value + wobble * sin(...) (moving).
struct Stretch {
    std::uint32_t start;
    bool moving;
    float value;
    float wobble = 0.0f;
};

class SignalSource : public QX_ModuleBase {
public:
    explicit SignalSource(QX_EngineHost* host, bool asleep = false) : QX_ModuleBase(host, asleep) {}

    void schedule(int output, std::vector<Stretch> stretches) {
        if (outputs[output] == nullptr) {
            makeOutput(output);
        }
        plans_[output] = std::move(stretches);
        next_[output] = 0;
    }

    // What output k holds at engine time t.
    float valueAt(int output, std::uint32_t time) const {
        const Stretch* active = nullptr;
        for (const Stretch& s : plans_[output]) {
            if (static_cast<std::int32_t>(time - s.start) >= 0) {
                active = &s;
            }
        }
        if (active == nullptr) {
            return 0.0f;
        }
        if (!active->moving) {
            return active->value;
        }
        const double phase = 0.0123 * (output + 1) * static_cast<double>(time);
        return active->value + active->wobble * static_cast<float>(std::sin(phase));
    }

    void render(int pos, int count) override {
        const std::uint32_t end = localTime + static_cast<std::uint32_t>(count);
        for (int k = 0; k < kModulePins; ++k) {
            if (outputs[k] == nullptr) {
                continue;
            }
            for (int i = 0; i < count; ++i) {
                outputs[k][pos + i] = valueAt(k, localTime + static_cast<std::uint32_t>(i));
            }
            std::size_t& next = next_[k];
            while (next < plans_[k].size() && static_cast<std::int32_t>(plans_[k][next].start - end) < 0) {
                const Stretch& s = plans_[k][next];
                const std::uint32_t at = static_cast<std::int32_t>(s.start - localTime) > 0 ? s.start : localTime;
                sendEvent(at, k, s.moving ? kEventMoving : kEventStill, 0, s.value, nullptr);
                ++next;
            }
        }
    }

private:
    std::vector<Stretch> plans_[kModulePins];
    std::size_t next_[kModulePins] = {};
};

class Recorder : public QX_ModuleBase {
public:
    explicit Recorder(QX_EngineHost* host, bool asleep = false) : QX_ModuleBase(host, asleep) {}

    void render(int pos, int count) override {
        if (!started_) {
            started_ = true;
            firstTime = localTime;
        }
        for (int k = 0; k < kPins; ++k) {
            if (inputs[k] == nullptr) {
                continue;
            }
            samples[k].insert(samples[k].end(), inputs[k] + pos, inputs[k] + pos + count);
        }
    }

    void handleEvent(const Event& event, int) override {
        announcements.push_back({localTime, event.pin, event.kind, event.fvalue});
    }

    // The sample of pin k at engine time t.
    float at(int pin, std::uint32_t time) const { return samples[pin][time - firstTime]; }

    struct Announcement {
        std::uint32_t time;
        int pin;
        int kind;
        float value;
    };
    static constexpr int kPins = 3;
    std::vector<float> samples[kPins];
    std::vector<Announcement> announcements;
    std::uint32_t firstTime = 0;

private:
    bool started_ = false;
};

// source -> module -> recorder in one engine; the module's signal pins read the source output of
// the same number, its outputs feed the recorder pins of the same number.
struct Rig {
    Rig(int blockLength, const std::function<QX_ModuleBase*(TestEngine&)>& add, int outputCount)
        : engine(blockLength), source(engine.add<SignalSource>()), module(add(engine)),
          recorder(engine.add<Recorder>()), outputCount_(outputCount) {
        start = engine.sampleClock;
    }

    // Wires the module's outputs to the recorder (after its inputs, as the builder does: an output
    // may only exist once its input is wired) and prepares the engine.
    void prepare() {
        for (int k = 0; k < outputCount_; ++k) {
            module->connect(recorder, recorder->moduleIndex, k, k, 0, 0, 0);
        }
        engine.prepareAll();
    }

    void feed(int pin, std::vector<Stretch> stretches) {
        source->schedule(pin, std::move(stretches));
        source->connect(module, module->moduleIndex, pin, pin, 0, 0, 0);
    }

    // A control value the way the core sends a parameter, `offset` samples after the start.
    void control(std::uint32_t offset, int pin, float fvalue, std::int32_t ivalue) {
        module->receiveEvent(start + offset, pin, kEventStill, ivalue, fvalue, nullptr);
    }

    bool idle() const { return (engine.moduleFlags[module->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    SignalSource* source;
    QX_ModuleBase* module;
    Recorder* recorder;
    std::uint32_t start;

private:
    int outputCount_;
};

}  // namespace mix_test
