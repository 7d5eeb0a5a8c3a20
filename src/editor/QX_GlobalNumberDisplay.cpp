#include "editor/QX_GlobalNumberDisplay.h"

#include <cstdio>

namespace {

constexpr int kTextFontPx = 10;
constexpr toolkit::Color kTextColor{236, 200, 120};

}  // namespace

void QX_GlobalNumberDisplay::setShownValue(float shown) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%4.3f", static_cast<double>(shown));
    if (text_ == buffer) return;
    text_ = buffer;
    invalidate();
}

void QX_GlobalNumberDisplay::draw(toolkit::DrawContext& context) {
    context.drawText(text_, rect(), toolkit::Font::nearest(kTextFontPx), kTextColor, toolkit::HAlign::Center);
}
