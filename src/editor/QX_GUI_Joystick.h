// A two-axis pad: the horizontal position is the control's value, the vertical one that of its
// member at position 0. Dragging sets both.
#pragma once

#include "editor/ControlGroup.h"
#include "toolkit/Control.h"

class QX_GUI_Joystick : public toolkit::Control, public ControlGroup {
public:
    static constexpr int kDotRadius = 4;

    QX_GUI_Joystick(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener);

    void addMember(int position, toolkit::Control& member) override;
    float xAt(int x) const;
    float yAt(int y) const;

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMove(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    void onIdle() override;

private:
    void moveTo(toolkit::Point p);

    toolkit::Control* vertical_ = nullptr;
    float drawnY_ = 0.0f;
    bool dragging_ = false;
};
