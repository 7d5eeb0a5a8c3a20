// A two-state switch, or an action button whose press is a command: value 1 while pressed, 0 on
// release, both reported so the editor can run the command. The label, when set, is drawn on it.
#pragma once

#include <string>

#include "toolkit/Control.h"

class QX_COnOffButton : public toolkit::Control {
public:
    enum class Mode { Toggle, Momentary };

    QX_COnOffButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, Mode mode);

    Mode mode() const { return mode_; }
    const std::string& label() const { return label_; }
    void setLabel(std::string label);
    bool isOn() const { return value() >= 0.5f; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;

private:
    Mode mode_;
    std::string label_;
    bool pressed_ = false;
};
