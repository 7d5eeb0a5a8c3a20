#include "editor/QX_AnimButton.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int kTextFontPx = 9;
constexpr int kCornerRadius = 3;
constexpr toolkit::Color kFill{58, 60, 66};
constexpr toolkit::Color kTextColor{236, 200, 120};

}  // namespace

QX_AnimButton::QX_AnimButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int frames)
    : Control(rect, tag, listener), frames_(std::max(frames, 2)) {}

int QX_AnimButton::frame() const { return static_cast<int>(std::lround(value() * static_cast<float>(frames_ - 1))); }

void QX_AnimButton::draw(toolkit::DrawContext& context) {
    if (bitmap()) {
        context.drawBitmapFrame(*bitmap(), frame(), rect().topLeft());
        return;
    }
    context.fillRoundedRect(rect(), kCornerRadius, kFill);
    context.drawText(std::to_string(frame() + 1), rect(), toolkit::Font::nearest(kTextFontPx), kTextColor,
                     toolkit::HAlign::Center);
}

bool QX_AnimButton::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left) return false;
    const int next = (frame() + 1) % frames_;
    beginEdit();
    changeValue(static_cast<float>(next) / static_cast<float>(frames_ - 1));
    endEdit();
    return true;
}
