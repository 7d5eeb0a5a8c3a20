// A randomise group: when its trigger button sends a new non-zero value, every member control
// gets a fresh value from the plug-in's shared random generator, set like a user change so the
// program, the engine and the host's automation all follow.
#pragma once

#include <array>

#include "editor/ControlGroup.h"

class SharedRandom;

class QX_GUI_Memory_Banks : public ControlGroup {
public:
    static constexpr int kMaxMembers = 48;

    // Mode 0 and 1 keep the drawn value; mode 2 shapes it by member position.
    explicit QX_GUI_Memory_Banks(int mode) : mode_(mode) {}

    void addMember(int position, toolkit::Control& member) override;

    // The trigger button sent `value`.
    void triggered(float value, SharedRandom& random);

    static float shaped(int mode, int position, float r);

private:
    int mode_;
    float lastSent_ = 0.0f;
    std::array<toolkit::Control*, kMaxMembers> members_{};
};
