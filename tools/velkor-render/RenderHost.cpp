#include "velkor-render/RenderHost.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

namespace render {

namespace {

constexpr std::size_t kMaxVendorStringBytes = 64;  // kVstMaxVendorStrLen
constexpr vst::intptr kCanDoYes = 1;
constexpr vst::intptr kCanDoNo = -1;

struct CanDoAnswer {
    std::string_view text;
    vst::intptr answer;
};
// What this host does (sends MIDI and time) and what it does not (take events back, resize
// windows, offline processing or process start/stop calls).
constexpr CanDoAnswer kCanDo[] = {
    {"sendVstEvents", kCanDoYes},
    {"sendVstMidiEvent", kCanDoYes},
    {"sendVstTimeInfo", kCanDoYes},
    {"receiveVstEvents", kCanDoNo},
    {"receiveVstMidiEvent", kCanDoNo},
    {"sizeWindow", kCanDoNo},
    {"offline", kCanDoNo},
    {"startStopProcess", kCanDoNo},
};

// The plug-in's entry point may call back before its AEffect exists to carry our address.
thread_local RenderHost* hostBeingInstantiated = nullptr;

vst::intptr copyString(void* ptr, const char* text) {
    if (ptr == nullptr) {
        return 0;
    }
    auto* out = static_cast<char*>(ptr);
    const std::size_t length = std::min(std::strlen(text), kMaxVendorStringBytes - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
    return 1;
}

}  // namespace

RenderHost::RenderHost(double sampleRate, int blockSize)
    : sampleRate_(sampleRate), blockSize_(blockSize) {}

vst::AEffect* RenderHost::instantiate(const PluginLoader& loader) {
    struct Binding {
        explicit Binding(RenderHost* host) { hostBeingInstantiated = host; }
        ~Binding() { hostBeingInstantiated = nullptr; }
    } binding(this);
    vst::AEffect* effect = loader.instantiate(&RenderHost::callback);
    effect->user = this;
    return effect;
}

vst::intptr RenderHost::callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                 vst::intptr value, void* ptr, float opt) {
    RenderHost* host = effect != nullptr && effect->user != nullptr
                           ? static_cast<RenderHost*>(effect->user)
                           : hostBeingInstantiated;
    if (host == nullptr) {
        return opcode == vst::audioMasterVersion ? kHostVersion : 0;
    }
    return host->answer(opcode, index, value, ptr, opt);
}

vst::intptr RenderHost::answer(vst::int32 opcode, vst::int32 /*index*/, vst::intptr /*value*/,
                               void* ptr, float /*opt*/) {
    switch (opcode) {
        case vst::audioMasterVersion:
            return kHostVersion;
        case vst::audioMasterGetTime:
            return reinterpret_cast<vst::intptr>(timeInfo());
        case vst::audioMasterGetSampleRate:
            return static_cast<vst::intptr>(sampleRate_);
        case vst::audioMasterGetBlockSize:
            return blockSize_;
        case vst::audioMasterWantMidi:
        case vst::audioMasterAutomate:
            return 1;
        case vst::audioMasterGetVendorString:
            return copyString(ptr, kVendor);
        case vst::audioMasterGetProductString:
            return copyString(ptr, kProduct);
        case vst::audioMasterCanDo: {
            if (ptr == nullptr) {
                return 0;
            }
            const std::string_view text(static_cast<const char*>(ptr));
            const auto* found =
                std::find_if(std::begin(kCanDo), std::end(kCanDo),
                             [text](const CanDoAnswer& c) { return c.text == text; });
            return found == std::end(kCanDo) ? 0 : found->answer;
        }
        default:
            return 0;
    }
}

// Every field the flags name is filled whatever the plug-in asked for; that is allowed and keeps
// the answer independent of the request mask.
const vst::VstTimeInfo* RenderHost::timeInfo() {
    const double seconds = static_cast<double>(samplePos_) / sampleRate_;
    timeInfo_ = vst::VstTimeInfo{};
    timeInfo_.samplePos = static_cast<double>(samplePos_);
    timeInfo_.sampleRate = sampleRate_;
    timeInfo_.tempo = tempo_.bpmAt(seconds);
    timeInfo_.ppqPos = tempo_.quarterNotesAt(seconds);
    timeInfo_.flags =
        vst::kVstPpqPosValid | vst::kVstTempoValid | (playing_ ? vst::kVstTransportPlaying : 0);
    return &timeInfo_;
}

}  // namespace render
