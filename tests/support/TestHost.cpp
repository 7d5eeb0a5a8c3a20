#include "support/TestHost.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "host/PluginFactory.h"
#include "host/QX_DSP_VST.h"

namespace {

// The callback carries no user pointer before the plug-in exists, so the host under test is
// found here; tests run one host at a time.
std::atomic<TestHost*> currentHost{nullptr};

}  // namespace

TestHost::TestHost() {
    currentHost = this;
    timeInfo.sampleRate = 44100.0;
    timeInfo.tempo = 120.0;
    timeInfo.flags = vst::kVstTempoValid | vst::kVstTransportPlaying;
}

TestHost::~TestHost() {
    close();
    TestHost* self = this;
    currentHost.compare_exchange_strong(self, nullptr);
}

vst::AEffect* TestHost::open() {
    currentHost = this;
    effect = createVelkorEffect(&TestHost::callback);
    return effect;
}

void TestHost::close() {
    if (effect != nullptr) {
        effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
        effect = nullptr;
    }
}

vst::intptr TestHost::dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string TestHost::text(vst::int32 opcode, vst::int32 index) {
    char buffer[256];
    std::memset(buffer, 0x7F, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

std::vector<std::uint8_t> TestHost::chunk(bool preset) {
    void* data = nullptr;
    const auto size = dispatch(vst::effGetChunk, preset ? 1 : 0, 0, &data);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return size > 0 ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
}

void TestHost::start(float sampleRate, int blockSize) {
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(vst::effSetBlockSize, 0, blockSize);
    dispatch(vst::effMainsChanged, 0, 1);
}

void TestHost::process(int frames, const float* left, const float* right) {
    inLeft.assign(static_cast<std::size_t>(frames), 0.0f);
    inRight.assign(static_cast<std::size_t>(frames), 0.0f);
    if (left != nullptr && right != nullptr) {
        std::copy(left, left + frames, inLeft.begin());
        std::copy(right, right + frames, inRight.begin());
    }
    outLeft.assign(static_cast<std::size_t>(frames), 12345.0f);
    outRight.assign(static_cast<std::size_t>(frames), 12345.0f);
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
}

void TestHost::sendMidi(std::vector<std::vector<std::uint8_t>> messages, std::vector<int> deltas) {
    std::vector<vst::VstMidiEvent> midi(messages.size());
    std::vector<vst::VstEvent*> pointers;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        vst::VstMidiEvent& event = midi[i];
        std::memset(&event, 0, sizeof event);
        event.type = vst::kVstMidiType;
        event.byteSize = sizeof event;
        event.deltaFrames = i < deltas.size() ? deltas[i] : 0;
        for (std::size_t b = 0; b < std::min<std::size_t>(messages[i].size(), 3); ++b) {
            event.midiData[b] = static_cast<char>(messages[i][b]);
        }
        pointers.push_back(reinterpret_cast<vst::VstEvent*>(&event));
    }
    std::vector<std::uint8_t> storage(sizeof(vst::VstEvents) + sizeof(vst::VstEvent*) * pointers.size());
    auto* events = reinterpret_cast<vst::VstEvents*>(storage.data());
    events->numEvents = static_cast<vst::int32>(pointers.size());
    std::copy(pointers.begin(), pointers.end(), events->events);
    dispatch(vst::effProcessEvents, 0, 0, events);
}

vst::intptr TestHost::callback(vst::AEffect*, vst::int32 opcode, vst::int32 index, vst::intptr, void*, float opt) {
    TestHost* host = currentHost;
    if (host == nullptr) {
        return 0;
    }
    if (opcode == vst::audioMasterGetTime) {
        // Asked from the audio thread every block: answered but not recorded, so that the host
        // itself takes no memory there.
        return reinterpret_cast<vst::intptr>(&host->timeInfo);
    }
    std::lock_guard<std::mutex> lock(host->callbackMutex_);
    host->opcodesAsked.push_back(opcode);
    switch (opcode) {
        case vst::audioMasterVersion:
            return host->versionAnswer;
        case vst::audioMasterAutomate:
            host->automations.push_back({index, opt});
            return 0;
        default:
            return 0;
    }
}

QX_DSP_VST& pluginOf(vst::AEffect* effect) {
    return *static_cast<QX_DSP_VST*>(static_cast<AudioEffect*>(effect->object));
}
