#include "editor/QX_GUI_Memory_Banks.h"

#include <cmath>

#include "engine/SharedRandom.h"
#include "toolkit/Control.h"

namespace {

constexpr int kShapedMode = 2;
constexpr int kCubedMembers = 5;     // members 0..4: r cubed
constexpr int kCentredMembers = 10;  // members 5..9: pulled towards the middle
constexpr int kPlainMembers = 15;    // members 10..14: r; later members 0

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
    if (position < kCubedMembers) {
        return r * r * r;
    }
    if (position < kCentredMembers) {
        const float centred = r - 0.5f;
        return std::fabs(centred) * centred + 0.5f;
    }
    return position < kPlainMembers ? r : 0.0f;
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
