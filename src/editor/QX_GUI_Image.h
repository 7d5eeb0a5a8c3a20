// A static picture: the row's whole bitmap, taking no input.
#pragma once

#include "toolkit/Control.h"

class QX_GUI_Image : public toolkit::Control {
public:
    using Control::Control;

    View* viewAt(toolkit::Point p) override;
    void draw(toolkit::DrawContext& context) override;
};
