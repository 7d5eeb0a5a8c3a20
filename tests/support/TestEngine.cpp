#include "support/TestEngine.h"

#include <algorithm>

TestEngine::TestEngine(int blockLength, int sampleRate) {
    engineBlockLength = blockLength;
    sampleRateInt = sampleRate;
    halfSampleRate = sampleRate / 2;
    samplesPerMs = static_cast<float>(sampleRate) * 0.001f;
    buildRateTables();
    setNetlist({});
}

TestEngine::~TestEngine() { destroyEngine(); }

void TestEngine::run(int frames) {
    while (frames > 0) {
        const int chunk = std::min({frames, kMaxChunk, engineBlockLength - ringPos});
        runChunk(chunk);
        frames -= chunk;
    }
}

void TestEngine::prepareAll() {
    for (int i = 0; i < moduleCount; ++i) {
        modules[i]->prepare();
    }
}

void TestEngine::setParameterFromModule(int index, float value, bool send) {
    moduleParameters.push_back({index, value, send});
    if (index >= 0 && index < kParameterCount) {
        paramValues[index] = value;
    }
}

void TestEngine::notifyEditor(int, float) {}

bool TestEngine::readHostTime(HostTime& time) {
    time = hostTime;
    return hostTimeAvailable;
}

void TestEngine::setProgram(std::int32_t program) { programRequests.push_back(program); }

void* TestEngine::programStorage(int) { return nullptr; }
