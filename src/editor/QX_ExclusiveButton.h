// A button of a set of which one is selected (value 1); selecting it clears the others, each
// change reported. A button in no set toggles.
#pragma once

#include <vector>

#include "editor/QX_COnOffButton.h"

class QX_ExclusiveButton : public QX_COnOffButton {
public:
    QX_ExclusiveButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener);

    // Puts both buttons, and the sets they are in, into one set.
    void joinSet(QX_ExclusiveButton& other);
    bool isSelected() const { return isOn(); }

    bool onMouseDown(const toolkit::MouseEvent& event) override;

private:
    std::vector<QX_ExclusiveButton*> set_;  // every member, this one included
};
