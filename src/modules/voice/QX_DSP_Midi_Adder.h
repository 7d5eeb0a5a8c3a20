// The MIDI input stage: tracks which keys are down so that duplicate note-ons and orphan
// note-offs never reach the voices, and re-posts messages for a later sample on output 1.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/voice/MidiWord.h"

class QX_DSP_Midi_Adder : public QX_ModuleBase {
public:
    static constexpr int kPinMidi = 0;
    static constexpr int kPinTranspose = 17;
    static constexpr int kPinPanicKey = 18;
    static constexpr int kPinRepost = 19;
    static constexpr int kPinEnable = 29;
    static constexpr int kOutputMidi = 0;
    static constexpr int kOutputReposted = 1;

    QX_DSP_Midi_Adder(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void suspendHook() override;
    void handleEvent(const Event& event, int pos) override;

    // The delay line: `word` leaves on output 1 at sample `time`.
    void post(std::uint32_t time, std::int32_t word);

private:
    void filter(std::int32_t word);
    void noteOff(std::int32_t word, int key);
    void noteOn(std::int32_t word, int key);
    void clearKeys();

    int transpose_ = 0;
    int panicKey_ = -1;
    int enabled_ = -1;
    // Per received key: 0 = up, else the transposed note sent + 1 (or kDownNotSent).
    std::uint8_t keyTable_[midi_word::kNotes] = {};
};
