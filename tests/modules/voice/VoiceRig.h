// Voice allocation under test: the MIDI input stage and the allocator, a small voice group of two
// probes per voice (the first listens to the allocator's outputs on pins of the same numbers), a
// stand-in for the voice mixer's steal fade, and a probe outside the group.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "modules/voice/QX_DSP_Midi_Adder.h"
#include "modules/voice/QX_DSP_Midi_to_Poly_Gen2.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

// Counts fade requests besides recording events.
class VoiceProbe : public ProbeModule {
public:
    using ProbeModule::ProbeModule;
    void fadeRequest() override { ++fadeRequests; }
    int fadeRequests = 0;
};

// Does what the voice mixer does with steal marks: the fade begins in the first stretch that sees
// the mark, lasts kFadeLength samples, and the allocator is told at the end of the stretch in
// which it runs out.
class StealFader : public QX_ModuleBase {
public:
    static constexpr int kFadeLength = 441;  // 10 ms at 44.1 kHz

    StealFader(QX_EngineHost* owner, QX_DSP_Midi_to_Poly_Gen2* allocator)
        : QX_ModuleBase(owner, false), allocator_(allocator) {}

    void render(int, int count) override {
        for (int v = 0; v < allocator_->voiceCount(); ++v) {
            if (allocator_->voiceState(v) & kVoiceStealMarked) {
                allocator_->markVoiceFading(v);
                fadeLeft_[v] = kFadeLength;
            }
            if (fadeLeft_[v] == 0) {
                continue;
            }
            fadeLeft_[v] -= count;
            if (fadeLeft_[v] < 1) {
                fadeLeft_[v] = 0;
                const std::uint32_t end = localTime + static_cast<std::uint32_t>(count);
                finished.push_back({v, end});
                allocator_->voiceFinished(v, end);
            }
        }
    }

    struct Finished {
        int voice;
        std::uint32_t time;
    };
    std::vector<Finished> finished;

private:
    QX_DSP_Midi_to_Poly_Gen2* allocator_;
    int fadeLeft_[QX_VoiceTable::kMaxVoices] = {};
};

struct VoiceRig {
    static constexpr int kModulesPerVoice = 2;
    static constexpr int kListenedOutputs[] = {
        QX_DSP_Midi_to_Poly_Gen2::kOutputGate, QX_DSP_Midi_to_Poly_Gen2::kOutputPitch,
        QX_DSP_Midi_to_Poly_Gen2::kOutputVelocity, QX_DSP_Midi_to_Poly_Gen2::kOutputChannel,
        QX_DSP_Midi_to_Poly_Gen2::kOutputGlideStart};

    struct Options {
        int voices = 20;
        int blockLength = 128;
        bool fader = true;
        bool registerOutputs = true;  // report the listeners' wiring as the graph builder does
    };

    explicit VoiceRig(Options options) : engine(options.blockLength) {
        adder = engine.add<QX_DSP_Midi_Adder>(false);
        allocator = engine.add<QX_DSP_Midi_to_Poly_Gen2>(false);
        bodyStart = engine.moduleCount;
        allocator->setVoiceGroup(bodyStart, options.voices, kModulesPerVoice);
        for (int v = 0; v < options.voices; ++v) {
            listeners.push_back(engine.add<VoiceProbe>(true));
            others.push_back(engine.add<VoiceProbe>(true));
        }
        if (options.fader) {
            fader = engine.add<StealFader>(allocator);
        }
        outside = engine.add<VoiceProbe>(false);
        adder->connect(allocator, allocator->moduleIndex, QX_DSP_Midi_Adder::kOutputMidi,
                       QX_DSP_Midi_to_Poly_Gen2::kPinMidi, 0, 0, 0);
        adder->connect(allocator, allocator->moduleIndex, QX_DSP_Midi_Adder::kOutputReposted,
                       QX_DSP_Midi_to_Poly_Gen2::kPinRepostedMidi, 0, 0, 0);
        for (const int output : kListenedOutputs) {
            allocator->connect(listeners[0], listeners[0]->moduleIndex, output, output, options.voices,
                               kModulesPerVoice, 0);
            for (int v = 0; options.registerOutputs && v < options.voices; ++v) {
                allocator->registerVoiceModule(listeners[v], output, output, v);
            }
        }
        engine.prepareAll();
    }

    std::uint32_t at(int offset) const { return start + static_cast<std::uint32_t>(offset); }

    // MIDI as the arpeggiator passes it on: straight into the allocator.
    void midi(int offset, int status, int data1, int data2) {
        allocator->receiveEvent(at(offset), QX_DSP_Midi_to_Poly_Gen2::kPinMidi, kEventStill,
                                packMidi(status, data1, data2), 0.0f, nullptr);
    }
    void setting(int offset, int pin, std::int32_t ivalue, float fvalue) {
        allocator->receiveEvent(at(offset), pin, kEventStill, ivalue, fvalue, nullptr);
    }
    // Runs until `offset` samples after the start.
    void runTo(int offset) { engine.run(static_cast<int>(at(offset) - engine.sampleClock)); }

    bool asleep(const QX_ModuleBase* module) const {
        return (engine.moduleFlags[module->moduleIndex] & kModuleAsleep) != 0;
    }
    bool voiceAsleep(int voice) const { return asleep(listeners[voice]) && asleep(others[voice]); }
    bool voiceAwake(int voice) const { return !asleep(listeners[voice]) && !asleep(others[voice]); }

    // Every event the listeners received, in time order, then voice order, then arrival.
    struct VoiceEvent {
        std::uint32_t time;
        int voice;
        int output;
        std::int32_t ivalue;
        float fvalue;
    };
    std::vector<VoiceEvent> voiceEvents() const {
        std::vector<VoiceEvent> all;
        for (int v = 0; v < static_cast<int>(listeners.size()); ++v) {
            for (const ProbeModule::Handled& e : listeners[v]->events) {
                all.push_back({e.time, v, e.pin, e.ivalue, e.fvalue});
            }
        }
        std::stable_sort(all.begin(), all.end(), [](const VoiceEvent& a, const VoiceEvent& b) {
            return a.time != b.time ? a.time < b.time : a.voice < b.voice;
        });
        return all;
    }

    TestEngine engine;
    QX_DSP_Midi_Adder* adder = nullptr;
    QX_DSP_Midi_to_Poly_Gen2* allocator = nullptr;
    int bodyStart = 0;
    std::vector<VoiceProbe*> listeners;
    std::vector<VoiceProbe*> others;
    StealFader* fader = nullptr;
    VoiceProbe* outside = nullptr;
    std::uint32_t start = engine.sampleClock;
};

inline float pitchOfNote(int note) { return static_cast<float>(note - 9) / 120.0f; }
