// A test sink that keeps every sample its signal inputs carried, in engine order, and every event
// it received.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/QX_EngineHost.h"

namespace voice_tests {

class VoiceTestRecorder : public QX_ModuleBase {
public:
    static constexpr int kPins = 4;

    explicit VoiceTestRecorder(QX_EngineHost* owner) : QX_ModuleBase(owner, false) {}

    void render(int pos, int count) override {
        for (int pin = 0; pin < kPins; ++pin) {
            if (inputs[pin] == nullptr) {
                continue;
            }
            for (int i = 0; i < count; ++i) {
                samples[pin].push_back(inputs[pin][pos + i]);
            }
        }
    }

    void handleEvent(const Event& event, int) override {
        events.push_back({event.time, event.pin, event.kind, event.fvalue});
    }

    struct Received {
        std::uint32_t time;
        int pin;
        int kind;
        float fvalue;
    };
    std::vector<float> samples[kPins];
    std::vector<Received> events;
};

}  // namespace voice_tests
