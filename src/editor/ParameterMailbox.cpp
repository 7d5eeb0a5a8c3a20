#include "editor/ParameterMailbox.h"

void ParameterMailbox::post(int index, float value) {
    if (index < 0 || index >= kSlots) {
        return;
    }
    values_[index].store(value, std::memory_order_relaxed);
    known_[index].store(true, std::memory_order_release);
    // The release orders the value before the mark, so a collector that sees the mark sees it.
    dirty_[index / 32].fetch_or(1u << (index % 32), std::memory_order_release);
    pending_.store(true, std::memory_order_release);
}

void ParameterMailbox::discardPending() {
    // The flag first: a post between the two keeps both its mark and the flag.
    pending_.store(false, std::memory_order_relaxed);
    for (auto& word : dirty_) {
        word.store(0, std::memory_order_relaxed);
    }
}
