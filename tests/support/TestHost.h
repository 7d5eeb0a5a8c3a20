// A host for tests: answers the plug-in's callbacks like a DAW, records what the plug-in asked,
// and makes the plug-in through the same factory the exported entry point uses.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "vst/VstAbi.h"

class TestHost {
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Makes the plug-in; null when the factory refuses.
    vst::AEffect* open();
    void close();

    vst::intptr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
    std::string text(vst::int32 opcode, vst::int32 index = 0);  // a string answer
    std::vector<std::uint8_t> chunk(bool preset);                // a copy of effGetChunk's answer
    void start(float sampleRate = 44100.0f, int blockSize = 128);
    // Host input is silent unless `left`/`right` hold `frames` samples.
    void process(int frames, const float* left = nullptr, const float* right = nullptr);
    void sendMidi(std::vector<std::vector<std::uint8_t>> messages, std::vector<int> deltas = {});

    vst::AEffect* effect = nullptr;
    vst::intptr versionAnswer = 2400;
    std::vector<vst::int32> opcodesAsked;
    struct Automation {
        vst::int32 index;
        float value;
    };
    std::vector<Automation> automations;
    vst::VstTimeInfo timeInfo{};
    std::vector<float> inLeft, inRight, outLeft, outRight;

private:
    std::mutex callbackMutex_;  // the audio thread calls back too
    static vst::intptr callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index, vst::intptr value,
                                void* ptr, float opt);
};

class QX_DSP_VST;
// The plug-in object behind a host's record, for tests that look inside.
QX_DSP_VST& pluginOf(vst::AEffect* effect);
