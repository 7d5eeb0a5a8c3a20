#include "editor/QX_GUI_Multi_Button_Hub.h"

#include <cmath>

QX_GUI_Multi_Button_Hub::QX_GUI_Multi_Button_Hub(const toolkit::Rect& rect, int tag,
                                                 toolkit::ControlListener* listener, int items)
    : Control(rect, tag, listener), items_(items) {
    setWantsIdle(true);
}

void QX_GUI_Multi_Button_Hub::addMember(int position, toolkit::Control& member) {
    if (position < 0 || position >= kMaxMembers) return;
    members_[static_cast<std::size_t>(position)] = &member;
    member.setListener(this);
    litFor_ = -1.0f;
}

int QX_GUI_Multi_Button_Hub::itemCount() const {
    if (items_ > 0) return items_;
    int count = 0;
    for (int i = 0; i < kMaxMembers; ++i) {
        if (members_[static_cast<std::size_t>(i)] != nullptr) count = i + 1;
    }
    return count;
}

int QX_GUI_Multi_Button_Hub::selectedIndex() const {
    const int last = itemCount() - 1;
    return last > 0 ? static_cast<int>(std::lround(value() * static_cast<float>(last))) : 0;
}

void QX_GUI_Multi_Button_Hub::light() {
    litFor_ = value();
    const int selected = selectedIndex();
    for (int i = 0; i < kMaxMembers; ++i) {
        toolkit::Control* member = members_[static_cast<std::size_t>(i)];
        if (member != nullptr) member->setValue(i == selected ? 1.0f : 0.0f);
    }
}

void QX_GUI_Multi_Button_Hub::onIdle() {
    if (value() != litFor_) light();
}

void QX_GUI_Multi_Button_Hub::valueChanged(toolkit::Control& member) {
    int index = 0;
    while (index < kMaxMembers && members_[static_cast<std::size_t>(index)] != &member) ++index;
    const int last = itemCount() - 1;
    if (index < kMaxMembers && index <= last && member.value() > 0.0f) {
        Control::beginEdit();
        changeValue(last > 0 ? static_cast<float>(index) / static_cast<float>(last) : 0.0f);
        Control::endEdit();
    }
    // Also puts back a lit member that was clicked off: one member is always lit.
    light();
}
