#include "modules/voice/QX_KeyTable.h"

#include <algorithm>
#include <iterator>

QX_KeyTable::QX_KeyTable() {
    clearKeys();
    clearVoices();
}

void QX_KeyTable::clearKeys() {
    std::fill(std::begin(state_), std::end(state_), kUp);
    held_ = 0;
}

void QX_KeyTable::clearVoices() { std::fill(std::begin(voice_), std::end(voice_), -1); }

void QX_KeyTable::dropHeld() { held_ = std::max(held_ - 1, 0); }

void QX_KeyTable::unmap(int note, int voice) {
    if (voice_[note] == voice) {
        voice_[note] = -1;
    }
}
