#include "editor/QX_GlobalNameDisplay.h"

namespace {

constexpr int kTextFontPx = 10;
constexpr toolkit::Color kTextColor{220, 220, 220};

}  // namespace

void QX_GlobalNameDisplay::setText(std::string_view text) {
    if (text_ == text) return;
    text_ = text;
    invalidate();
}

void QX_GlobalNameDisplay::draw(toolkit::DrawContext& context) {
    context.drawText(text_, rect(), toolkit::Font::nearest(kTextFontPx), kTextColor, toolkit::HAlign::Center);
}
