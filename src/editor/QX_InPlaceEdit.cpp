#include "editor/QX_InPlaceEdit.h"

#include "toolkit/Frame.h"

QX_InPlaceEdit::QX_InPlaceEdit() : TextEntry(toolkit::Rect{}, -1) {}

QX_InPlaceEdit::~QX_InPlaceEdit() {
    if (isOpen()) frame()->endModal(*this);
}

bool QX_InPlaceEdit::isOpen() const { return frame() != nullptr && frame()->modal() == this; }

void QX_InPlaceEdit::open(toolkit::Frame& frame, const toolkit::Rect& box, std::string text, Closed closed) {
    setRect(box);
    setText(std::move(text));
    closed_ = std::move(closed);
    frame.beginModal(*this);
    // A press at the far end starts editing with the caret after the text.
    TextEntry::onMouseDown(toolkit::MouseEvent{{box.right - 1, box.top}});
}

bool QX_InPlaceEdit::onMouseDown(const toolkit::MouseEvent& event) {
    if (!rect().contains(event.position)) {
        close(true);
        return true;
    }
    return TextEntry::onMouseDown(event);
}

bool QX_InPlaceEdit::onKeyDown(const toolkit::KeyEvent& event) {
    if (event.key == toolkit::Key::Enter || event.key == toolkit::Key::Escape) {
        close(event.key == toolkit::Key::Enter);
        return true;
    }
    return TextEntry::onKeyDown(event);
}

void QX_InPlaceEdit::close(bool commit) {
    if (!isOpen()) return;
    toolkit::Frame& owner = *frame();
    // Enter through the field itself ends its edit and drops the focus it took.
    TextEntry::onKeyDown(toolkit::KeyEvent{commit ? toolkit::Key::Enter : toolkit::Key::Escape});
    owner.endModal(*this);
    Closed closed = std::move(closed_);
    closed_ = nullptr;
    if (closed) closed(commit, text());
}
