#include "modules/voice/QX_DSP_Midi_Adder.h"

#include <algorithm>
#include <cstring>

using namespace midi_word;

namespace {

// A key that is down although its transposed note fell outside 0..127: its note-off is dropped
// too, so that no note-off for a note that was never sent leaves this module.
constexpr std::uint8_t kDownNotSent = 0xFF;
constexpr int kHighestNote = kNotes - 1;

}  // namespace

QX_DSP_Midi_Adder::QX_DSP_Midi_Adder(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Midi_Adder::prepare() { clearKeys(); }

void QX_DSP_Midi_Adder::suspendHook() { clearKeys(); }

void QX_DSP_Midi_Adder::post(std::uint32_t time, std::int32_t word) {
    receiveEvent(time, kPinRepost, kEventStill, word, 0.0f, nullptr);
}

void QX_DSP_Midi_Adder::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinMidi:
            filter(event.ivalue);
            break;
        case kPinTranspose:
            transpose_ = std::clamp(event.ivalue, -kHighestNote, kHighestNote);
            break;
        case kPinPanicKey:
            panicKey_ = event.ivalue;
            break;
        case kPinRepost:
            sendEvent(localTime, kOutputReposted, kEventStill, event.ivalue, 0.0f, nullptr);
            break;
        case kPinEnable:
            enabled_ = event.ivalue;
            break;
        default:
            break;
    }
}

void QX_DSP_Midi_Adder::filter(std::int32_t word) {
    const int key = note(word);
    if (isNoteOff(word)) {
        noteOff(word, key);
    } else if (type(word) == kNoteOn) {
        noteOn(word, key);
    } else if (type(word) == kController) {
        if (isAllNotesOff(word)) {
            clearKeys();
            sendEvent(localTime, kOutputMidi, kEventStill, kAllNotesOff, 0.0f, nullptr);
            sendEvent(localTime, kOutputMidi, kEventStill, word, 0.0f, nullptr);
        } else if (enabled_ != 0) {
            sendEvent(localTime, kOutputMidi, kEventStill, word, 0.0f, nullptr);
        }
    } else {
        sendEvent(localTime, kOutputMidi, kEventStill, word, 0.0f, nullptr);
    }
}

void QX_DSP_Midi_Adder::noteOff(std::int32_t word, int key) {
    const std::uint8_t entry = keyTable_[key];
    keyTable_[key] = 0;
    if (entry == 0 || entry == kDownNotSent) {
        return;
    }
    sendEvent(localTime, kOutputMidi, kEventStill, withNote(word, entry - 1), 0.0f, nullptr);
}

void QX_DSP_Midi_Adder::noteOn(std::int32_t word, int key) {
    if (keyTable_[key] != 0) {
        return;
    }
    const int transposed = transpose_ + key;
    if (transposed < 0 || transposed > kHighestNote) {
        keyTable_[key] = kDownNotSent;
        return;
    }
    keyTable_[key] = static_cast<std::uint8_t>(transposed + 1);
    if (enabled_ == 0) {
        return;
    }
    if (transposed == panicKey_) {
        clearKeys();
        sendEvent(localTime, kOutputMidi, kEventStill, kAllNotesOff, 0.0f, nullptr);
        return;
    }
    sendEvent(localTime, kOutputMidi, kEventStill, withNote(word, transposed), 0.0f, nullptr);
}

void QX_DSP_Midi_Adder::clearKeys() { std::memset(keyTable_, 0, sizeof keyTable_); }
