#include "editor/QX_COnOffButton.h"

#include "editor/MidiLearnRequests.h"

namespace {

constexpr int kLabelFontPx = 9;
constexpr int kCornerRadius = 3;
constexpr toolkit::Color kOffFill{58, 60, 66};
constexpr toolkit::Color kOnFill{214, 128, 40};
constexpr toolkit::Color kBorder{20, 20, 22};
constexpr toolkit::Color kLabelOff{220, 220, 220};
constexpr toolkit::Color kLabelOn{20, 20, 20};

}  // namespace

QX_COnOffButton::QX_COnOffButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener,
                                 Mode mode)
    : Control(rect, tag, listener), mode_(mode) {}

void QX_COnOffButton::setLabel(std::string label) {
    label_ = std::move(label);
    invalidate();
}

void QX_COnOffButton::draw(toolkit::DrawContext& context) {
    if (bitmap()) {
        context.drawBitmapFrame(*bitmap(), isOn() ? bitmap()->frameCount() - 1 : 0, rect().topLeft());
    } else {
        context.fillRoundedRect(rect(), kCornerRadius, isOn() ? kOnFill : kOffFill);
        context.strokeRoundedRect(rect(), kCornerRadius, kBorder);
    }
    if (!label_.empty()) {
        context.drawText(label_, rect(), toolkit::Font::nearest(kLabelFontPx), isOn() ? kLabelOn : kLabelOff,
                         toolkit::HAlign::Center);
    }
}

bool QX_COnOffButton::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button == toolkit::MouseButton::Right) return requestMidiLearn(*this, event);
    if (event.button != toolkit::MouseButton::Left) return false;
    beginEdit();
    if (mode_ == Mode::Toggle) {
        changeValue(isOn() ? 0.0f : 1.0f);
        endEdit();
        return true;
    }
    // A command must be heard even when the program left the button at 1.
    setValue(0.0f);
    changeValue(1.0f);
    pressed_ = true;
    return true;
}

void QX_COnOffButton::onMouseUp(const toolkit::MouseEvent&) {
    if (!pressed_) return;
    pressed_ = false;
    changeValue(0.0f);
    endEdit();
}
