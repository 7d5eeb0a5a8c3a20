// An engine without the VST side for benchmarks: modules are added by hand and run directly.
#pragma once

#include <cstdint>

#include "engine/QX_EngineHost.h"

class BenchEngine : public QX_EngineHost {
public:
    BenchEngine(int blockLength, int sampleRate) {
        engineBlockLength = blockLength;
        sampleRateInt = sampleRate;
        halfSampleRate = sampleRate / 2;
        samplesPerMs = static_cast<float>(sampleRate) * 0.001f;
        buildRateTables();
    }
    void setParameterFromModule(int, float, bool) override {}
    void notifyEditor(int, float) override {}
    bool readHostTime(HostTime&) override { return false; }
    void setProgram(std::int32_t) override {}
    std::int32_t getProgram() override { return 0; }

protected:
    void* programStorage(int) override { return nullptr; }
};
