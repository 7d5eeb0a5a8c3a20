#include "toolkit/PopupMenu.h"

#include <algorithm>

#include "toolkit/Frame.h"

namespace toolkit {

namespace {

constexpr int kMenuFontPx = 11;
constexpr int kItemPadding = 2;        // above and below the text
constexpr int kSeparatorHeight = 7;
constexpr int kCheckColumn = 16;       // left margin holding the check mark
constexpr int kRightMargin = 10;
constexpr int kBorder = 1;
constexpr char kCheckMark[] = "\u2713";
constexpr Color kFill{245, 245, 245};
constexpr Color kBorderColor{80, 80, 80};
constexpr Color kTextColor{0, 0, 0};
constexpr Color kDisabledText{150, 150, 150};
constexpr Color kHighlightFill{50, 100, 200};
constexpr Color kHighlightText{255, 255, 255};
constexpr Color kSeparatorColor{190, 190, 190};

}  // namespace

PopupMenu::PopupMenu() : View(Rect{}), font_(Font::nearest(kMenuFontPx)) {}

PopupMenu::~PopupMenu() {
    if (isOpen()) {
        frame()->endModal(*this);
    }
}

void PopupMenu::addItem(std::string text, bool checked, bool enabled) {
    items_.push_back({std::move(text), checked, enabled, false});
}

void PopupMenu::addSeparator() { items_.push_back({{}, false, false, true}); }

void PopupMenu::clear() { items_.clear(); }

int PopupMenu::itemHeight(const MenuItem& item) const {
    return item.separator ? kSeparatorHeight : font_.lineHeight() + 2 * kItemPadding;
}

bool PopupMenu::isOpen() const { return frame() != nullptr && frame()->modal() == this; }

void PopupMenu::popup(Frame& frame, Point at, Chosen chosen) {
    int width = 0;
    for (const MenuItem& item : items_) {
        width = std::max(width, font_.textWidth(item.text));
    }
    const int columnWidth = width + kCheckColumn + kRightMargin;
    // Items that would run past the frame's bottom continue in another column to the right.
    const int columnHeight = frame.rect().height() - 2 * kBorder;
    layout_.clear();
    int column = 0;
    int top = 0;
    int height = 0;
    for (const MenuItem& item : items_) {
        const int h = itemHeight(item);
        if (top > 0 && top + h > columnHeight) {
            ++column;
            top = 0;
        }
        layout_.push_back(Rect::fromSize(kBorder + column * columnWidth, kBorder + top, columnWidth, h));
        top += h;
        height = std::max(height, top);
    }
    Rect box = Rect::fromSize(at.x, at.y, (column + 1) * columnWidth + 2 * kBorder, height + 2 * kBorder);
    const Rect bounds = frame.rect();
    box = box.offset(std::min(0, bounds.right - box.right), std::min(0, bounds.bottom - box.bottom));
    box = box.offset(std::max(0, bounds.left - box.left), std::max(0, bounds.top - box.top));
    chosen_ = std::move(chosen);
    highlighted_ = kDismissed;
    setRect(box);
    frame.beginModal(*this);
}

void PopupMenu::dismiss() { finish(kDismissed); }

void PopupMenu::finish(int index) {
    if (!isOpen()) {
        return;
    }
    frame()->endModal(*this);
    // Moved out first: the callback may reopen this menu with a new one.
    Chosen chosen = std::move(chosen_);
    chosen_ = nullptr;
    if (chosen) {
        chosen(index);
    }
}

Rect PopupMenu::itemRect(int index) const {
    if (index < 0 || index >= static_cast<int>(layout_.size())) {
        return {};
    }
    return layout_[static_cast<std::size_t>(index)].offset(rect().topLeft());
}

int PopupMenu::itemAt(Point p) const {
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (itemRect(i).contains(p)) {
            return i;
        }
    }
    return kDismissed;
}

bool PopupMenu::selectable(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        return false;
    }
    const MenuItem& item = items_[static_cast<std::size_t>(index)];
    return item.enabled && !item.separator;
}

void PopupMenu::setHighlighted(int index) {
    if (index != highlighted_) {
        invalidate(itemRect(highlighted_));
        highlighted_ = index;
        invalidate(itemRect(highlighted_));
    }
}

void PopupMenu::moveHighlight(int step) {
    const int count = static_cast<int>(items_.size());
    int index = highlighted_;
    for (int tries = 0; tries < count; ++tries) {
        index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
        if (selectable(index)) {
            setHighlighted(index);
            return;
        }
    }
}

bool PopupMenu::onMouseDown(const MouseEvent& event) {
    if (!rect().contains(event.position)) {
        dismiss();
        return true;
    }
    const int index = itemAt(event.position);
    setHighlighted(selectable(index) ? index : kDismissed);
    return true;
}

void PopupMenu::onMouseMove(const MouseEvent& event) {
    const int index = itemAt(event.position);
    setHighlighted(selectable(index) ? index : kDismissed);
}

void PopupMenu::onMouseUp(const MouseEvent& event) {
    // A release outside the items (for instance over the control that opened the menu) keeps
    // the menu open for a click.
    const int index = itemAt(event.position);
    if (selectable(index)) {
        finish(index);
    }
}

bool PopupMenu::onKeyDown(const KeyEvent& event) {
    switch (event.key) {
        case Key::Up:
            moveHighlight(-1);
            return true;
        case Key::Down:
            moveHighlight(1);
            return true;
        case Key::Enter:
            if (selectable(highlighted_)) {
                finish(highlighted_);
            }
            return true;
        case Key::Escape:
            dismiss();
            return true;
        default:
            return false;
    }
}

void PopupMenu::draw(DrawContext& context) {
    context.fillRect(rect(), kFill);
    context.strokeRect(rect(), kBorderColor, kBorder);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const MenuItem& item = items_[static_cast<std::size_t>(i)];
        const Rect r = itemRect(i);
        if (!context.isVisible(r)) {
            continue;
        }
        if (item.separator) {
            const int y = r.top + r.height() / 2;
            context.drawLine({r.left + 2, y}, {r.right - 3, y}, kSeparatorColor);
            continue;
        }
        const bool lit = i == highlighted_;
        if (lit) {
            context.fillRect(r, kHighlightFill);
        }
        const Color text = !item.enabled ? kDisabledText : lit ? kHighlightText : kTextColor;
        if (item.checked) {
            context.drawText(kCheckMark, {r.left, r.top, r.left + kCheckColumn, r.bottom}, font_,
                             text, HAlign::Center);
        }
        context.drawText(item.text, {r.left + kCheckColumn, r.top, r.right, r.bottom}, font_, text);
    }
}

}  // namespace toolkit
