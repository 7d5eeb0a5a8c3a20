// The editor's controls by tag while it is open: one slot per parameter id, empty where the
// table makes no visible control.
#pragma once

#include <array>

namespace toolkit {
class Control;
}

class ControlSlots {
public:
    static constexpr int kSlots = 451;

    // Null for an empty slot or a tag outside 0..450.
    toolkit::Control* at(int tag) const {
        return tag >= 0 && tag < kSlots ? slots_[static_cast<unsigned>(tag)] : nullptr;
    }
    void set(int tag, toolkit::Control* control) {
        if (tag >= 0 && tag < kSlots) slots_[static_cast<unsigned>(tag)] = control;
    }
    void clear() { slots_.fill(nullptr); }

private:
    std::array<toolkit::Control*, kSlots> slots_{};
};
