// A slider: a handle bitmap on a drawn track, vertical or horizontal by the control's shape.
// The handle follows the pointer (the value curve applied), the wheel steps it by 1/100 and a
// double click restores the default.
#pragma once

#include "editor/DragControl.h"

class QX_HV_Slider : public DragControl {
public:
    static constexpr int kDrawnHandlePx = 12;  // handle length without its bitmap

    QX_HV_Slider(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int curve);

    bool isHorizontal() const { return rect().width() > rect().height(); }
    // The handle's rectangle for the current value.
    toolkit::Rect handleRect() const;
    // The value for a pointer at `p` (parent coordinates).
    float valueAt(toolkit::Point p) const;

    void draw(toolkit::DrawContext& context) override;

protected:
    void startDrag(const toolkit::MouseEvent& event) override;
    float dragValue(const toolkit::MouseEvent& event) override;

private:
    int handleLength() const;
    int travel() const;

    int curve_;
};
