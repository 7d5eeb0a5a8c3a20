#include "editor/QX_CNumberEntry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "toolkit/Frame.h"

namespace {

constexpr const char* kFormats[] = {"%1.0f", "%1.1f", "%1.2f", "%1.3f", "%1.4f"};
constexpr int kFallbackDecimals = 3;  // settings outside 0..4 print three decimals
constexpr int kTextFontPx = 10;
constexpr toolkit::Color kFill{28, 30, 34};
constexpr toolkit::Color kBorder{90, 94, 102};
constexpr toolkit::Color kTextColor{236, 200, 120};

}  // namespace

QX_CNumberEntry::QX_CNumberEntry(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, float min,
                                 float max, int decimals)
    : Control(rect, tag, listener),
      min_(min),
      max_(max),
      decimals_(decimals >= 0 && decimals < static_cast<int>(std::size(kFormats)) ? decimals : kFallbackDecimals) {}

std::string QX_CNumberEntry::text() const {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, kFormats[decimals_], static_cast<double>(min_ + (max_ - min_) * value()));
    return buffer;
}

float QX_CNumberEntry::valueForText(const std::string& typed) const {
    char* end = nullptr;
    const float shown = std::strtof(typed.c_str(), &end);
    if (end == typed.c_str() || max_ == min_) return value();
    return std::clamp((shown - min_) / (max_ - min_), 0.0f, 1.0f);
}

void QX_CNumberEntry::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kFill);
    context.strokeRect(rect(), kBorder);
    context.drawText(text(), rect(), toolkit::Font::nearest(kTextFontPx), kTextColor, toolkit::HAlign::Center);
}

bool QX_CNumberEntry::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left) return false;
    pressed_ = true;
    dragging_ = false;
    pressY_ = event.position.y;
    drag_.start(event.position.y, value());
    return true;
}

void QX_CNumberEntry::onMouseMove(const toolkit::MouseEvent& event) {
    if (!pressed_) return;
    if (!dragging_ && std::abs(event.position.y - pressY_) < kDragThresholdPx) return;
    if (!dragging_) {
        dragging_ = true;
        beginEdit();
    }
    changeValue(drag_.moveTo(event.position.y, event.modifiers.shift));
}

void QX_CNumberEntry::onMouseUp(const toolkit::MouseEvent&) {
    if (!pressed_) return;
    pressed_ = false;
    if (dragging_) {
        dragging_ = false;
        endEdit();
        return;
    }
    openField();
}

void QX_CNumberEntry::openField() {
    if (frame() == nullptr) return;
    beginEdit();
    field_.open(*frame(), frameRect(), text(), [this](bool committed, const std::string& typed) {
        if (committed) changeValue(valueForText(typed));
        endEdit();
    });
}
