#include "editor/QX_GUI_Joystick.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr toolkit::Color kPad{22, 24, 28};
constexpr toolkit::Color kCross{60, 64, 72};
constexpr toolkit::Color kDot{250, 196, 90};

}  // namespace

QX_GUI_Joystick::QX_GUI_Joystick(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener)
    : Control(rect, tag, listener) {
    setWantsIdle(true);
}

void QX_GUI_Joystick::addMember(int position, toolkit::Control& member) {
    if (position == 0) vertical_ = &member;
}

float QX_GUI_Joystick::xAt(int x) const {
    return std::clamp(static_cast<float>(x - rect().left) / static_cast<float>(std::max(1, rect().width() - 1)), 0.0f,
                      1.0f);
}

float QX_GUI_Joystick::yAt(int y) const {
    return std::clamp(static_cast<float>(rect().bottom - 1 - y) / static_cast<float>(std::max(1, rect().height() - 1)),
                      0.0f, 1.0f);
}

void QX_GUI_Joystick::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kPad);
    const int midX = (rect().left + rect().right) / 2;
    const int midY = (rect().top + rect().bottom) / 2;
    context.drawLine({midX, rect().top}, {midX, rect().bottom - 1}, kCross);
    context.drawLine({rect().left, midY}, {rect().right - 1, midY}, kCross);
    drawnY_ = vertical_ != nullptr ? vertical_->value() : 0.0f;
    const int x = rect().left + static_cast<int>(std::lround(value() * static_cast<float>(rect().width() - 1)));
    const int y = rect().bottom - 1 - static_cast<int>(std::lround(drawnY_ * static_cast<float>(rect().height() - 1)));
    context.fillRoundedRect({x - kDotRadius, y - kDotRadius, x + kDotRadius + 1, y + kDotRadius + 1}, kDotRadius, kDot);
}

bool QX_GUI_Joystick::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left) return false;
    dragging_ = true;
    beginEdit();
    if (vertical_ != nullptr) vertical_->beginEdit();
    moveTo(event.position);
    return true;
}

void QX_GUI_Joystick::onMouseMove(const toolkit::MouseEvent& event) {
    if (dragging_) moveTo(event.position);
}

void QX_GUI_Joystick::onMouseUp(const toolkit::MouseEvent&) {
    if (!dragging_) return;
    dragging_ = false;
    if (vertical_ != nullptr) vertical_->endEdit();
    endEdit();
}

void QX_GUI_Joystick::moveTo(toolkit::Point p) {
    changeValue(xAt(p.x));
    if (vertical_ != nullptr) vertical_->changeValue(yAt(p.y));
    invalidate();
}

void QX_GUI_Joystick::onIdle() {
    if (vertical_ != nullptr && vertical_->value() != drawnY_) invalidate();
}
