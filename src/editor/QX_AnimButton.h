// A button that steps through the frames of its strip: each click shows the next frame and sets
// the value of that frame, wrapping after the last.
#pragma once

#include "toolkit/Control.h"

class QX_AnimButton : public toolkit::Control {
public:
    QX_AnimButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int frames);

    int frames() const { return frames_; }
    int frame() const;

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;

private:
    int frames_;
};
