// The last-note priority stack of the mono play modes: the MIDI words of the keys held, newest on
// top, so that releasing the newest key can bring back the one pressed before it.
#pragma once

#include <cstdint>

class QX_LastNoteStack {
public:
    static constexpr int kCapacity = 129;
    static constexpr std::int32_t kEmpty = -1;

    QX_LastNoteStack() { clear(); }

    void clear();
    // Dropped when the stack is full.
    void push(std::int32_t word);
    // Removes the lowest entry that holds `note`, moving the entries above it down.
    void removeNote(int note);
    // The top entry, or kEmpty.
    std::int32_t pop();
    int size() const { return top_ + 1; }

private:
    std::int32_t entries_[kCapacity];
    int top_ = -1;
};
