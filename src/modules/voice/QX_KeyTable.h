// The voice allocator's keys: whether each key is up, down or released under the sustain pedal,
// which voice plays each note, and how many keys are down.
#pragma once

#include <cstdint>

#include "modules/voice/MidiWord.h"

class QX_KeyTable {
public:
    static constexpr std::uint8_t kUp = 0;
    static constexpr std::uint8_t kDown = 0xFF;
    // 1..128: released under the pedal, release velocity + 1.

    QX_KeyTable();

    // Every key up, none held.
    void clearKeys();
    // No note mapped to a voice.
    void clearVoices();

    std::uint8_t state(int note) const { return state_[note]; }
    bool up(int note) const { return state_[note] == kUp; }
    bool sustained(int note) const { return state_[note] != kUp && state_[note] != kDown; }
    void setState(int note, std::uint8_t state) { state_[note] = state; }

    int held() const { return held_; }
    void addHeld() { ++held_; }
    // Never below 0.
    void dropHeld();

    // The voice playing `note`, or -1.
    int voice(int note) const { return voice_[note]; }
    void setVoice(int note, int voice) { voice_[note] = voice; }
    // Forgets the note's voice if it is still `voice`.
    void unmap(int note, int voice);

private:
    std::uint8_t state_[midi_word::kNotes];
    int voice_[midi_word::kNotes];
    int held_ = 0;
};
