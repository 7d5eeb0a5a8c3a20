// Reading and rewriting the engine's packed MIDI word (status | data1 << 8 | data2 << 16), shared
// by the MIDI input stage and the voice allocator.
#pragma once

#include <cstdint>

namespace midi_word {

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kController = 0xB0;
constexpr int kNotes = 128;

// Controller words compared with the channel nibble masked off (word & kControllerMask).
constexpr std::int32_t kControllerMask = 0xFFF0;
constexpr std::int32_t kAllNotesOff = 0x7BB0;  // CC 123 on the first channel
constexpr std::int32_t kAllSoundOff = 0x78B0;  // CC 120
constexpr std::int32_t kSustainPedal = 0x40B0;  // CC 64

constexpr int type(std::int32_t word) { return word & 0xF0; }
constexpr int channelNibble(std::int32_t word) { return word & 0x0F; }
constexpr int note(std::int32_t word) { return (word >> 8) & 0x7F; }
constexpr int data2(std::int32_t word) { return (word >> 16) & 0x7F; }

constexpr bool isNoteOn(std::int32_t word) { return type(word) == kNoteOn && data2(word) > 0; }
// A note-on with velocity 0 is a note-off.
constexpr bool isNoteOff(std::int32_t word) {
    return type(word) == kNoteOff || (type(word) == kNoteOn && data2(word) == 0);
}
constexpr bool isAllNotesOff(std::int32_t word) {
    return (word & kControllerMask) == kAllNotesOff || (word & kControllerMask) == kAllSoundOff;
}

constexpr std::int32_t withNote(std::int32_t word, int newNote) {
    return (word & ~std::int32_t{0xFF00}) | ((newNote & 0x7F) << 8);
}

}  // namespace midi_word
