// A single-line text field. A click focuses it and places the caret; typing edits the text;
// Enter (or leaving the field) commits and tells the listener, Escape restores the text it had.
#pragma once

#include <cstddef>
#include <string>

#include "toolkit/Control.h"
#include "toolkit/Font.h"

namespace toolkit {

class TextEntry : public Control {
public:
    static constexpr std::size_t kDefaultMaxBytes = 63;

    TextEntry(const Rect& rect, int tag, ControlListener* listener = nullptr);

    const std::string& text() const { return text_; }
    // From the program side: no report; ends an edit in progress without committing it.
    void setText(std::string text);

    // UTF-8 bytes; typing that would pass it is ignored.
    void setMaxBytes(std::size_t bytes) { maxBytes_ = bytes; }
    void setFont(const Font& font);
    void setColors(Color text, Color background, Color caret);

    bool isEditingText() const { return editingText_; }
    std::size_t caret() const { return caret_; }  // byte offset into text()

    void draw(DrawContext& context) override;
    bool onMouseDown(const MouseEvent& event) override;
    bool onKeyDown(const KeyEvent& event) override;
    void onFocusChanged(bool focused) override;

private:
    static constexpr int kPaddingX = 3;

    void startEditing();
    void stopEditing(bool commit);
    void insert(char32_t codepoint);
    void setCaret(std::size_t caret);
    std::size_t caretAt(int x) const;
    int textLeft() const { return rect().left + kPaddingX; }

    std::string text_;
    std::string original_;
    std::size_t caret_ = 0;
    std::size_t maxBytes_ = kDefaultMaxBytes;
    bool editingText_ = false;
    Font font_;
    Color textColor_{0, 0, 0};
    Color background_{255, 255, 255};
    Color caretColor_{0, 0, 0};
};

}  // namespace toolkit
