#include "modules/voice/QX_LastNoteStack.h"

#include "modules/voice/MidiWord.h"

void QX_LastNoteStack::clear() {
    for (std::int32_t& entry : entries_) {
        entry = kEmpty;
    }
    top_ = -1;
}

void QX_LastNoteStack::push(std::int32_t word) {
    if (top_ + 1 >= kCapacity) {
        return;
    }
    entries_[++top_] = word;
}

void QX_LastNoteStack::removeNote(int note) {
    for (int i = 0; i <= top_; ++i) {
        if (entries_[i] != kEmpty && midi_word::note(entries_[i]) == note) {
            for (int j = i; j < top_; ++j) {
                entries_[j] = entries_[j + 1];
            }
            entries_[top_--] = kEmpty;
            return;
        }
    }
}

std::int32_t QX_LastNoteStack::pop() {
    if (top_ < 0) {
        return kEmpty;
    }
    const std::int32_t word = entries_[top_];
    entries_[top_--] = kEmpty;
    return word;
}
