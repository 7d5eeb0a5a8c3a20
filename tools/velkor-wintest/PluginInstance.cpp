#include "PluginInstance.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr std::size_t kTextBytes = 256;  // beyond the longest field (64 characters) of any opcode

// The callback cannot carry state, so the answer to audioMasterVersion is passed by choosing
// one of two functions.
vst::intptr VSTCALLBACK answeringHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float) {
    return opcode == vst::audioMasterVersion ? PluginInstance::kHostVersion : 0;
}

vst::intptr VSTCALLBACK silentHost(vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*, float) { return 0; }

}  // namespace

PluginInstance::PluginInstance(PluginLibrary::EntryPoint entry, vst::intptr hostVersion)
    : effect_(entry != nullptr ? entry(hostVersion != 0 ? answeringHost : silentHost) : nullptr) {}

PluginInstance::~PluginInstance() { close(); }

vst::intptr PluginInstance::dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt) {
    return effect_ != nullptr ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

std::string PluginInstance::text(vst::int32 opcode, vst::int32 index) {
    std::array<char, kTextBytes> buffer{};
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

int PluginInstance::parameterIndex(const std::string& name) {
    for (int i = 0; effect_ != nullptr && i < effect_->numParams; ++i) {
        if (text(vst::effGetParamName, i) == name) {
            return i;
        }
    }
    return -1;
}

void PluginInstance::setParameter(int index, float value) { effect_->setParameter(effect_, index, value); }

float PluginInstance::parameter(int index) { return effect_->getParameter(effect_, index); }

std::vector<std::uint8_t> PluginInstance::chunk(bool program) {
    void* data = nullptr;
    const vst::intptr bytes = dispatch(vst::effGetChunk, program ? 1 : 0, 0, &data);
    if (data == nullptr || bytes <= 0) {
        return {};
    }
    const auto* begin = static_cast<const std::uint8_t*>(data);
    return {begin, begin + bytes};
}

vst::intptr PluginInstance::setChunk(std::vector<std::uint8_t> bytes, bool program) {
    return dispatch(vst::effSetChunk, program ? 1 : 0, static_cast<vst::intptr>(bytes.size()), bytes.data());
}

void PluginInstance::start(float sampleRate, int blockSize) {
    blockSize_ = blockSize;
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(vst::effSetBlockSize, 0, blockSize);
    dispatch(vst::effMainsChanged, 0, 1);
}

void PluginInstance::midi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    vst::VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof event;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    pending_.push_back(event);
}

void PluginInstance::render(int frames, std::vector<float>& left, std::vector<float>& right) {
    std::vector<float> inLeft(blockSize_, 0.0f), inRight(blockSize_, 0.0f);
    std::vector<float> outLeft(blockSize_), outRight(blockSize_);
    float* inputs[] = {inLeft.data(), inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (int done = 0; done < frames;) {
        if (!pending_.empty()) {
            // VstEvents declares two pointers and is allocated longer, as hosts do.
            constexpr std::size_t kHead = offsetof(vst::VstEvents, events) / sizeof(vst::intptr);
            std::vector<vst::intptr> storage(kHead + std::max<std::size_t>(2, pending_.size()));
            auto* events = reinterpret_cast<vst::VstEvents*>(storage.data());
            events->numEvents = static_cast<vst::int32>(pending_.size());
            for (std::size_t i = 0; i < pending_.size(); ++i) {
                storage[kHead + i] = reinterpret_cast<vst::intptr>(&pending_[i]);
            }
            dispatch(vst::effProcessEvents, 0, 0, events);
            pending_.clear();
        }
        const int block = std::min(blockSize_, frames - done);
        effect_->processReplacing(effect_, inputs, outputs, block);
        left.insert(left.end(), outLeft.begin(), outLeft.begin() + block);
        right.insert(right.end(), outRight.begin(), outRight.begin() + block);
        done += block;
    }
}

vst::intptr PluginInstance::close() {
    const vst::intptr answer = dispatch(vst::effClose);
    effect_ = nullptr;
    return answer;
}
