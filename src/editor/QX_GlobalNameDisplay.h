// The read-out of the name of the control touched last.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/Control.h"

class QX_GlobalNameDisplay : public toolkit::Control {
public:
    using Control::Control;

    void setText(std::string_view text);
    const std::string& text() const { return text_; }

    void draw(toolkit::DrawContext& context) override;

private:
    std::string text_;
};
