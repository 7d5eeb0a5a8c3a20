// A test source with up to 16 signal outputs: output k writes level[k] + wobble[k] x ((time) & 7),
// small whole numbers when the levels and wobbles are, so that sums of them are exact in float.
#pragma once

#include "engine/QX_EngineHost.h"

namespace voice_tests {

class VoiceTestSignal : public QX_ModuleBase {
public:
    static constexpr int kOutputs = 16;

    explicit VoiceTestSignal(QX_EngineHost* owner, int outputCount = 2) : QX_ModuleBase(owner, false) {
        for (int k = 0; k < outputCount && k < kOutputs; ++k) {
            makeOutput(k);
        }
    }

    // Renders every chunk, whatever it writes.
    void render(int pos, int count) override {
        for (int k = 0; k < kOutputs; ++k) {
            if (outputs[k] == nullptr) {
                continue;
            }
            for (int i = 0; i < count; ++i) {
                outputs[k][pos + i] = valueAt(k, localTime + static_cast<std::uint32_t>(i));
            }
        }
    }

    float valueAt(int output, std::uint32_t time) const {
        return level[output] + wobble[output] * static_cast<float>(time & 7u);
    }

    float level[kOutputs] = {};
    float wobble[kOutputs] = {};
};

}  // namespace voice_tests
