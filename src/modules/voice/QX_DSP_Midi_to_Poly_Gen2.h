// The voice allocator: gives each note one voice copy of the following voice group (stealing
// through a 10 ms fade when all are busy), plays the Mono, Legato and Poly modes with last-note
// priority and the sustain pedal, and sends each voice its gate, pitch, velocity and glide start.
#pragma once

#include <cstdint>

#include "engine/QX_VoiceAllocatorBase.h"
#include "modules/voice/QX_KeyTable.h"
#include "modules/voice/QX_LastNoteStack.h"
#include "modules/voice/QX_VoiceTable.h"

class QX_DSP_Midi_Adder;

class QX_DSP_Midi_to_Poly_Gen2 : public QX_VoiceAllocatorBase {
public:
    static constexpr int kPinMidi = 0;
    static constexpr int kPinPortamento = 2;
    static constexpr int kPinLegato = 3;
    static constexpr int kPinMono = 4;
    static constexpr int kPinLastNoteMode = 28;
    static constexpr int kPinRepostedMidi = 31;  // from the MIDI input stage, whose delay line retries note-offs
    static constexpr int kPinMpeActive = 59;
    static constexpr int kPinMpeA74 = 60;

    static constexpr int kOutputGate = 0;
    static constexpr int kOutputPitch = 1;
    static constexpr int kOutputVelocity = 2;
    static constexpr int kOutputChannel = 8;
    static constexpr int kOutputGlideStart = 19;

    static constexpr float kGateOn = 10.0f;

    QX_DSP_Midi_to_Poly_Gen2(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void suspendHook() override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;
    void onOutputConnected(int output) override;
    void registerVoiceModule(QX_ModuleBase* module, int output, int pin, int copyIndex) override;
    void setVoiceGroup(int bodyStart, int copies, int bodyLength) override;
    void voiceFinished(int voice, std::uint32_t time) override;
    void voiceSilent(int voice) override;
    std::uint32_t voiceState(int voice) const override;
    void markVoiceFading(int voice) override;

    int voiceCount() const { return voices_.count(); }

private:
    // Where a note-on comes from: an input, the last-note stack, or (>= 0) the voice whose steal
    // fade has ended and which now starts its pending note.
    static constexpr int kFromInput = -1;
    static constexpr int kFromStack = -2;

    void handleMidi(std::int32_t word);
    void noteOn(std::int32_t word, int origin);
    void noteOff(std::int32_t word);
    void sustainPedal(int value);
    void allNotesOff();
    void changeMono(std::int32_t value);

    void steal(int voice, std::int32_t word);
    void start(int voice, std::int32_t word);
    void freeVoice(int voice);
    void unmapVoiceNote(int voice);
    bool startPending(int voice) const;
    void retryLater(std::int32_t word);

    void sendToVoice(int voice, int output, std::int32_t ivalue, float fvalue);
    bool outputUsed(int output) const { return (usedOutputs_ >> output) & 1U; }
    // Indices of the voice's modules in the core's list, clamped to the modules that exist.
    int voiceModuleBegin(int voice) const;
    int voiceModuleEnd(int voice) const;
    void wakeVoice(int voice);
    void sleepVoice(int voice);

    QX_DSP_Midi_Adder* repostStage_ = nullptr;
    std::uint64_t usedOutputs_ = 0;

    QX_VoiceTable voices_;
    QX_KeyTable keys_;
    QX_LastNoteStack stack_;
    int stackNote_ = -1;  // note of the newest note-on
    std::uint32_t lastStartTime_ = 0;
    int glideFromNote_ = 60;
    std::int32_t mono_ = 0;
    std::int32_t legato_ = 0;
    std::int32_t lastNoteMode_ = -1;  // last-note priority is on until the parameter says otherwise
    int sustain_ = 0;
    float portamentoMs_ = 0.0f;
    std::int32_t mpe_ = 0;
    std::uint32_t tenMs_ = 1;
    std::uint32_t now_ = 0;
};
