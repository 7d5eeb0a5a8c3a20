// The read-out of the value of the control touched last, printed "%4.3f".
#pragma once

#include <string>

#include "toolkit/Control.h"

class QX_GlobalNumberDisplay : public toolkit::Control {
public:
    using Control::Control;

    void setShownValue(float shown);
    const std::string& text() const { return text_; }

    void draw(toolkit::DrawContext& context) override;

private:
    std::string text_;
};
