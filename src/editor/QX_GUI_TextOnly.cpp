#include "editor/QX_GUI_TextOnly.h"

#include "toolkit/Frame.h"

namespace {

constexpr int kTextFontPx = 13;
constexpr toolkit::Color kTextColor{236, 236, 236};

}  // namespace

void QX_GUI_TextOnly::setText(std::string_view text) {
    if (text_ == text) return;
    text_ = text;
    invalidate();
}

void QX_GUI_TextOnly::draw(toolkit::DrawContext& context) {
    context.drawText(text_, rect(), toolkit::Font::nearest(kTextFontPx), kTextColor, toolkit::HAlign::Center);
}

bool QX_GUI_TextOnly::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Right || frame() == nullptr) return false;
    field_.open(*frame(), frameRect(), text_, [this](bool committed, const std::string& name) {
        if (!committed || name == text_) return;
        setText(name);
        if (onRename_) onRename_(name);
    });
    return true;
}
