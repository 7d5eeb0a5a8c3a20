// A control set by dragging: a left press starts a gesture (a double click restores the default
// instead), the pointer drives the value until release, the wheel steps it by 1/100 and a right
// click asks for MIDI learn. Subclasses say how the pointer maps to a value.
#pragma once

#include "toolkit/Control.h"

class DragControl : public toolkit::Control {
public:
    static constexpr float kWheelStep = 0.01f;

    using Control::Control;

    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMove(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    bool onWheel(const toolkit::MouseEvent& event, float delta) override;

protected:
    // The press that opens a drag, inside the gesture bracket.
    virtual void startDrag(const toolkit::MouseEvent& event) = 0;
    // The value for the pointer during the drag.
    virtual float dragValue(const toolkit::MouseEvent& event) = 0;

private:
    bool dragging_ = false;
};
