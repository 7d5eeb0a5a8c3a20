#include "editor/QX_ExclusiveButton.h"

#include <algorithm>

QX_ExclusiveButton::QX_ExclusiveButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener)
    : QX_COnOffButton(rect, tag, listener, Mode::Toggle), set_{this} {}

void QX_ExclusiveButton::joinSet(QX_ExclusiveButton& other) {
    if (std::find(set_.begin(), set_.end(), &other) != set_.end()) return;
    std::vector<QX_ExclusiveButton*> joined = set_;
    joined.insert(joined.end(), other.set_.begin(), other.set_.end());
    for (QX_ExclusiveButton* member : joined) member->set_ = joined;
}

bool QX_ExclusiveButton::onMouseDown(const toolkit::MouseEvent& event) {
    // A right click asks for MIDI learn as on any switch; only the left button selects.
    if (set_.size() == 1 || event.button != toolkit::MouseButton::Left) return QX_COnOffButton::onMouseDown(event);
    if (isSelected()) return true;
    for (QX_ExclusiveButton* member : set_) {
        if (member == this) continue;
        member->beginEdit();
        member->changeValue(0.0f);
        member->endEdit();
    }
    beginEdit();
    changeValue(1.0f);
    endEdit();
    return true;
}
