#include "toolkit/TextEntry.h"

#include <cstdlib>

#include "toolkit/Frame.h"
#include "toolkit/Utf8.h"

namespace toolkit {

namespace {

constexpr int kEntryFontPx = 11;

std::string encodeUtf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool printable(char32_t cp) {
    return cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp < 0xA0) && cp <= 0x10FFFF &&
           !(cp >= 0xD800 && cp < 0xE000);
}

}  // namespace

TextEntry::TextEntry(const Rect& rect, int tag, ControlListener* listener)
    : Control(rect, tag, listener), font_(Font::nearest(kEntryFontPx)) {}

void TextEntry::setText(std::string text) {
    if (editingText_) {
        editingText_ = false;
        endEdit();
        if (frame() != nullptr && frame()->focus() == this) {
            frame()->setFocus(nullptr);
        }
    }
    text_ = std::move(text);
    caret_ = text_.size();
    invalidate();
}

void TextEntry::setFont(const Font& font) {
    font_ = font;
    invalidate();
}

void TextEntry::setColors(Color text, Color background, Color caret) {
    textColor_ = text;
    background_ = background;
    caretColor_ = caret;
    invalidate();
}

void TextEntry::setCaret(std::size_t caret) {
    caret_ = std::min(caret, text_.size());
    invalidate();
}

std::size_t TextEntry::caretAt(int x) const {
    // The character boundary nearest to x.
    std::size_t best = 0;
    int bestDistance = std::abs(x - textLeft());
    for (std::size_t pos = 0; pos < text_.size();) {
        nextCodepoint(text_, pos);
        const int edge = textLeft() + font_.textWidth(std::string_view(text_).substr(0, pos));
        if (std::abs(x - edge) < bestDistance) {
            bestDistance = std::abs(x - edge);
            best = pos;
        }
    }
    return best;
}

void TextEntry::startEditing() {
    if (!editingText_) {
        editingText_ = true;
        original_ = text_;
        beginEdit();
    }
}

void TextEntry::stopEditing(bool commit) {
    if (!editingText_) {
        return;
    }
    editingText_ = false;
    if (!commit) {
        text_ = original_;
    }
    caret_ = std::min(caret_, text_.size());
    invalidate();
    if (commit && text_ != original_) {
        notifyValueChanged();
    }
    endEdit();
}

bool TextEntry::onMouseDown(const MouseEvent& event) {
    if (event.button != MouseButton::Left) {
        return false;
    }
    startEditing();
    if (frame() != nullptr) {
        frame()->setFocus(this);
    }
    setCaret(caretAt(event.position.x));
    return true;
}

void TextEntry::insert(char32_t codepoint) {
    const std::string bytes = encodeUtf8(codepoint);
    if (text_.size() + bytes.size() > maxBytes_) {
        return;
    }
    text_.insert(caret_, bytes);
    setCaret(caret_ + bytes.size());
}

bool TextEntry::onKeyDown(const KeyEvent& event) {
    if (!editingText_) {
        return false;
    }
    switch (event.key) {
        case Key::Character:
            if (!printable(event.character)) {
                return false;
            }
            insert(event.character);
            return true;
        case Key::Backspace:
            if (caret_ > 0) {
                const std::size_t start = previousCodepointStart(text_, caret_);
                text_.erase(start, caret_ - start);
                setCaret(start);
            }
            return true;
        case Key::Delete:
            if (caret_ < text_.size()) {
                std::size_t end = caret_;
                nextCodepoint(text_, end);
                text_.erase(caret_, end - caret_);
                invalidate();
            }
            return true;
        case Key::Left:
            setCaret(previousCodepointStart(text_, caret_));
            return true;
        case Key::Right:
            if (caret_ < text_.size()) {
                std::size_t next = caret_;
                nextCodepoint(text_, next);
                setCaret(next);
            }
            return true;
        case Key::Home:
            setCaret(0);
            return true;
        case Key::End:
            setCaret(text_.size());
            return true;
        case Key::Enter:
        case Key::Escape:
            stopEditing(event.key == Key::Enter);
            if (frame() != nullptr && frame()->focus() == this) {
                frame()->setFocus(nullptr);
            }
            return true;
        default:
            return false;
    }
}

void TextEntry::onFocusChanged(bool focused) {
    if (!focused) {
        stopEditing(true);
    }
}

void TextEntry::draw(DrawContext& context) {
    context.fillRect(rect(), background_);
    const Rect box{textLeft(), rect().top, rect().right - kPaddingX, rect().bottom};
    context.drawText(text_, box, font_, textColor_);
    if (editingText_) {
        const int x = textLeft() + font_.textWidth(std::string_view(text_).substr(0, caret_));
        const int top = rect().top + (rect().height() - font_.ascent() - font_.descent()) / 2;
        context.save();
        context.clipTo(rect());
        context.drawLine({x, top}, {x, top + font_.ascent() + font_.descent() - 1}, caretColor_);
        context.restore();
    }
}

}  // namespace toolkit
