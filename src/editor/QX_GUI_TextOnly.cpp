#include "editor/QX_GUI_TextOnly.h"

#include <utility>

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

void QX_GUI_TextOnly::setPrograms(int count, ProgramLabel label, Choose choose) {
    count_ = count;
    label_ = std::move(label);
    onChoose_ = std::move(choose);
}

void QX_GUI_TextOnly::showProgram(int program) {
    if (program < 0 || program >= count_) return;
    current_ = program;
    setText(label_(program));
}

void QX_GUI_TextOnly::draw(toolkit::DrawContext& context) {
    context.drawText(text_, rect(), toolkit::Font::nearest(kTextFontPx), kTextColor, toolkit::HAlign::Center);
}

bool QX_GUI_TextOnly::onMouseDown(const toolkit::MouseEvent& event) {
    if (frame() == nullptr) return false;
    if (event.button == toolkit::MouseButton::Left) {
        // The list opens on the release: a list as tall as the editor covers the name, and a
        // release over it would choose whatever program lies there.
        pressed_ = count_ > 0;
        return pressed_;
    }
    if (event.button != toolkit::MouseButton::Right) return false;
    field_.open(*frame(), frameRect(), text_, [this](bool committed, const std::string& name) {
        if (!committed || name == text_) return;
        setText(name);
        if (onRename_) onRename_(name);
    });
    return true;
}

void QX_GUI_TextOnly::onMouseUp(const toolkit::MouseEvent& event) {
    if (!std::exchange(pressed_, false) || !rect().contains(event.position) || frame() == nullptr) return;
    openMenu();
}

bool QX_GUI_TextOnly::onWheel(const toolkit::MouseEvent&, float delta) {
    if (count_ == 0 || delta == 0.0f) return false;
    // Up steps forward, as "Preset Up" does; the ends do not wrap.
    const int next = current_ + (delta > 0.0f ? 1 : -1);
    if (next >= 0 && next < count_) choose(next);
    return true;
}

void QX_GUI_TextOnly::openMenu() {
    menu_.clear();
    for (int program = 0; program < count_; ++program) {
        menu_.addItem(label_(program), program == current_);
    }
    const toolkit::Rect at = frameRect();
    menu_.popup(*frame(), {at.left, at.bottom}, [this](int index) {
        if (index != toolkit::PopupMenu::kDismissed) choose(index);
    });
}

void QX_GUI_TextOnly::choose(int program) {
    if (onChoose_) onChoose_(program);
}
