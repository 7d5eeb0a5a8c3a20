#include "FakePlugin.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "params/ProgramRecord.h"

namespace {

constexpr int kPrograms = 2;
constexpr int kParams = 2;
constexpr int kKeys = 128;
constexpr int kMaxPendingEvents = 4096;
constexpr std::size_t kBankChunkBytes = kBankBytes;
constexpr std::size_t kPresetChunkBytes = kProgramBytes;
constexpr const char* kParamNames[kParams] = {"Gain", "Sine Level"};
constexpr float kVelocityScale = 1.0f / 127.0f;

struct PendingEvent {
    int delta;
    std::array<std::uint8_t, 3> bytes;
};

class FakePlugin {
public:
    explicit FakePlugin(vst::HostCallback host) : host_(host) {
        effect_.magic = vst::kEffectMagic;
        effect_.dispatcher = &FakePlugin::dispatchThunk;
        effect_.process = [](vst::AEffect*, float**, float**, vst::int32) {};
        effect_.setParameter = [](vst::AEffect* e, vst::int32 index, float value) {
            self(e)->setParameter(index, value);
        };
        effect_.getParameter = [](vst::AEffect* e, vst::int32 index) {
            return self(e)->getParameter(index);
        };
        effect_.numPrograms = kPrograms;
        effect_.numParams = kParams;
        effect_.numInputs = 2;
        effect_.numOutputs = 2;
        effect_.flags =
            vst::effFlagsCanReplacing | vst::effFlagsProgramChunks | vst::effFlagsIsSynth;
        effect_.ioRatio = 1.0f;
        effect_.object = this;
        effect_.uniqueID = vst::fourCC('F', 'a', 'k', 'e');
        effect_.version = 1;
        effect_.processReplacing = [](vst::AEffect* e, float** in, float** out, vst::int32 frames) {
            self(e)->processReplacing(in, out, frames);
        };
        for (int p = 0; p < kPrograms; ++p) {
            values_[p] = {kFakeProgramGains[p], 1.0f};
        }
        pending_.reserve(kMaxPendingEvents);
        host_(&effect_, vst::audioMasterWantMidi, 0, 1, nullptr, 0.0f);
        constructionRate_ = static_cast<double>(
            host_(&effect_, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0.0f));
    }

    vst::AEffect* effect() { return &effect_; }

private:
    static FakePlugin* self(vst::AEffect* e) { return static_cast<FakePlugin*>(e->object); }

    static vst::intptr dispatchThunk(vst::AEffect* e, vst::int32 opcode, vst::int32 index,
                                     vst::intptr value, void* ptr, float opt) {
        FakePlugin* plugin = self(e);
        if (opcode == vst::effClose) {
            delete plugin;
            return 1;
        }
        return plugin->dispatch(opcode, index, value, ptr, opt);
    }

    static vst::intptr copy(void* ptr, std::string_view text) {
        std::memcpy(ptr, text.data(), text.size());
        static_cast<char*>(ptr)[text.size()] = '\0';
        return 1;
    }

    vst::intptr dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                         float opt) {
        switch (opcode) {
            case vst::effSetProgram:
                if (value >= 0 && value < kPrograms) program_ = static_cast<int>(value);
                return 0;
            case vst::effGetProgram:
                return program_;
            case vst::effGetParamName:
                return index < kParams ? copy(ptr, kParamNames[index]) : 0;
            case vst::effGetParamDisplay: {
                char text[16];
                std::snprintf(text, sizeof text, "%.3f", static_cast<double>(getParameter(index)));
                return copy(ptr, text);
            }
            case vst::effGetParamLabel:
                return copy(ptr, index == kFakeParamGain ? "x" : "");
            case vst::effSetSampleRate:
                sampleRate_ = opt;
                return 0;
            case vst::effSetBlockSize:
                blockSize_ = static_cast<int>(value);
                return 0;
            case vst::effMainsChanged:
                resumed_ = value != 0;
                framesSinceResume_ = 0;
                held_.fill(0.0f);
                pending_.clear();
                return 0;
            case vst::effGetChunk:
                return getChunk(ptr, index != 0);
            case vst::effSetChunk:
                return setChunk(ptr, static_cast<std::size_t>(value), index != 0);
            case vst::effProcessEvents:
                processEvents(static_cast<const vst::VstEvents*>(ptr));
                return 1;
            case vst::effGetEffectName:
                return copy(ptr, kFakeEffectName);
            case vst::effGetVendorString:
                return copy(ptr, kFakeVendor);
            case vst::effGetProductString:
                return copy(ptr, kFakeProduct);
            case vst::effGetVendorVersion:
                return kFakeVendorVersion;
            case vst::effGetVstVersion:
                return 2400;
            default:
                return 0;
        }
    }

    void setParameter(vst::int32 index, float value) {
        if (index >= 0 && index < kParams) values_[program_][index] = value;
    }
    float getParameter(vst::int32 index) const {
        return index >= 0 && index < kParams ? values_[program_][index] : 0.0f;
    }

    // The bank holds every program's values, a preset the current program's, each at the start
    // of a chunk of the real plug-in's sizes.
    vst::intptr getChunk(void* ptr, bool preset) {
        chunk_.assign(preset ? kPresetChunkBytes : kBankChunkBytes, 0);
        const std::size_t bytes = preset ? sizeof values_[0] : sizeof values_;
        std::memcpy(chunk_.data(), preset ? values_[program_].data() : values_[0].data(), bytes);
        *static_cast<void**>(ptr) = chunk_.data();
        return static_cast<vst::intptr>(chunk_.size());
    }
    vst::intptr setChunk(const void* data, std::size_t size, bool preset) {
        if (size != (preset ? kPresetChunkBytes : kBankChunkBytes)) return 0;
        if (preset) {
            std::memcpy(values_[program_].data(), data, sizeof values_[0]);
        } else {
            std::memcpy(values_[0].data(), data, sizeof values_);
        }
        return 1;
    }

    void processEvents(const vst::VstEvents* events) {
        for (int i = 0; i < events->numEvents; ++i) {
            const vst::VstEvent* event = events->events[i];
            if (event->type != vst::kVstMidiType || pending_.size() >= kMaxPendingEvents) continue;
            const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
            pending_.push_back({midi->deltaFrames,
                                {static_cast<std::uint8_t>(midi->midiData[0]),
                                 static_cast<std::uint8_t>(midi->midiData[1]),
                                 static_cast<std::uint8_t>(midi->midiData[2])}});
        }
    }

    bool hostIsSane(vst::int32 frames) {
        const auto* time = reinterpret_cast<const vst::VstTimeInfo*>(
            host_(&effect_, vst::audioMasterGetTime, 0, vst::kVstTempoValid, nullptr, 0.0f));
        return resumed_ && frames <= blockSize_ && sampleRate_ == constructionRate_ &&
               time != nullptr && time->samplePos == static_cast<double>(framesSinceResume_) &&
               time->sampleRate == sampleRate_ && (time->flags & vst::kVstTempoValid) != 0 &&
               (time->flags & vst::kVstTransportPlaying) != 0;
    }

    void apply(const PendingEvent& event) {
        const std::uint8_t type = event.bytes[0] & 0xF0u;
        const int key = event.bytes[1] & 0x7F;
        if (type == 0x90 && event.bytes[2] != 0) {
            held_[key] = event.bytes[2] * kVelocityScale;
            sineKey_ = key;
            sineVelocity_ = held_[key];
            phase_ = 0.0;
        } else if (type == 0x80 || type == 0x90) {
            held_[key] = 0.0f;
            if (key == sineKey_) sineVelocity_ = 0.0f;
        }
    }

    void processReplacing(float** /*inputs*/, float** outputs, vst::int32 frames) {
        float* left = outputs[0];
        float* right = outputs[1];
        if (!hostIsSane(frames)) {
            std::fill(left, left + frames, kFakeFaultMarker);
            std::fill(right, right + frames, kFakeFaultMarker);
            framesSinceResume_ += frames;
            pending_.clear();
            return;
        }
        std::stable_sort(
            pending_.begin(), pending_.end(),
            [](const PendingEvent& a, const PendingEvent& b) { return a.delta < b.delta; });
        const float gain = values_[program_][kFakeParamGain];
        const float sineLevel = values_[program_][kFakeParamSineLevel];
        std::size_t next = 0;
        for (int i = 0; i < frames; ++i) {
            while (next < pending_.size() && pending_[next].delta <= i) {
                apply(pending_[next++]);
            }
            float sum = 0.0f;
            for (float velocity : held_) sum += velocity;
            left[i] = gain * sineLevel * sineVelocity_ * static_cast<float>(std::sin(phase_));
            right[i] = gain * sum;
            phase_ += fakeSinePhaseStep(sineKey_, sampleRate_);
        }
        pending_.clear();
        framesSinceResume_ += frames;
    }

    vst::HostCallback host_;
    vst::AEffect effect_{};
    std::array<std::array<float, kParams>, kPrograms> values_{};
    int program_ = 0;
    double sampleRate_ = 44100.0;
    double constructionRate_ = 0.0;
    int blockSize_ = 1024;
    bool resumed_ = false;
    long long framesSinceResume_ = 0;
    std::array<float, kKeys> held_{};
    int sineKey_ = 69;
    float sineVelocity_ = 0.0f;
    double phase_ = 0.0;
    std::vector<PendingEvent> pending_;
    std::vector<unsigned char> chunk_;
};

}  // namespace

vst::AEffect* createFakePlugin(vst::HostCallback host) {
    if (host == nullptr || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    auto* plugin = new FakePlugin(host);
    return plugin->effect();
}
