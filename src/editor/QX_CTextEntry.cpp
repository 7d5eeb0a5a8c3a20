#include "editor/QX_CTextEntry.h"

void QX_CTextEntry::refresh() {
    if (!source_) return;
    shown_ = source_();
    setText(shown_);
}

bool QX_CTextEntry::onKeyDown(const toolkit::KeyEvent& event) {
    const bool wasEditing = isEditingText();
    const bool handled = TextEntry::onKeyDown(event);
    collectIfEdited(wasEditing);
    return handled;
}

void QX_CTextEntry::onFocusChanged(bool focused) {
    const bool wasEditing = isEditingText();
    TextEntry::onFocusChanged(focused);
    collectIfEdited(wasEditing);
}

void QX_CTextEntry::collectIfEdited(bool wasEditing) {
    if (!wasEditing || isEditingText() || text() == shown_) return;
    shown_ = text();
    if (committed_) committed_(shown_);
}
