// A knob turned by circling the pointer around its centre instead of dragging up and down:
// the pointer's angle, from down-left (0) to down-right (1), is the value.
#pragma once

#include "editor/QX_Knob.h"

class QX_Rotate_Knob : public QX_Knob {
public:
    using QX_Knob::QX_Knob;

    // The value for a pointer at `p` (parent coordinates).
    float valueAt(toolkit::Point p) const;

protected:
    void startDrag(const toolkit::MouseEvent& event) override;
    float dragValue(const toolkit::MouseEvent& event) override;
};
