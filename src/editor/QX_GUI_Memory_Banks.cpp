#include "editor/QX_GUI_Memory_Banks.h"

#include "engine/SharedRandom.h"
#include "params/ShapedRandom.h"
#include "toolkit/Control.h"

namespace {

constexpr int kShapedMode = 2;

}  // namespace

void QX_GUI_Memory_Banks::addMember(int position, toolkit::Control& member) {
    if (position >= 0 && position < kMaxMembers) {
        members_[static_cast<unsigned>(position)] = &member;
    }
}

float QX_GUI_Memory_Banks::shaped(int mode, int position, float r) {
    if (mode != kShapedMode) {
        return r;
    }
    return shaped_random::value(position, r);
}

void QX_GUI_Memory_Banks::triggered(float value, SharedRandom& random) {
    const bool fresh = value != 0.0f && value != lastSent_;
    lastSent_ = value;
    if (!fresh) {
        return;
    }
    for (int position = 0; position < kMaxMembers; ++position) {
        if (toolkit::Control* member = members_[static_cast<unsigned>(position)]) {
            member->changeValue(shaped(mode_, position, random.next(1.0f)));
        }
    }
}
