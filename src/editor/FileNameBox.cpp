#include "editor/FileNameBox.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "toolkit/Frame.h"
#include "toolkit/TextEntry.h"

namespace {

constexpr int kFontPx = 11;
constexpr int kWidth = 280;
constexpr int kPadding = 6;
constexpr int kEntryHeight = 18;
constexpr std::size_t kMaxNameBytes = 120;
constexpr toolkit::Color kFill{245, 245, 245};
constexpr toolkit::Color kBorder{80, 80, 80};
constexpr toolkit::Color kTitleColor{0, 0, 0};
constexpr toolkit::Color kRefusalColor{180, 20, 20};
constexpr toolkit::Color kEntryText{0, 0, 0};
constexpr toolkit::Color kEntryFill{255, 255, 255};

}  // namespace

FileNameBox::FileNameBox() : ContainerView(toolkit::Rect{}), font_(toolkit::Font::nearest(kFontPx)) {
    const int line = font_.lineHeight();
    setRect(toolkit::Rect::fromSize(0, 0, kWidth, 3 * kPadding + kEntryHeight + 2 * line));
    entry_ = addView(std::make_unique<toolkit::TextEntry>(
        toolkit::Rect::fromSize(kPadding, kPadding + line + kPadding / 2, kWidth - 2 * kPadding, kEntryHeight), 0));
    entry_->setMaxBytes(kMaxNameBytes);
    entry_->setColors(kEntryText, kEntryFill, kEntryText);
    setBackgroundColor(kFill);
}

FileNameBox::~FileNameBox() { close(); }

bool FileNameBox::isOpen() const { return frame() != nullptr && frame()->modal() == this; }

void FileNameBox::popup(toolkit::Frame& frame, toolkit::Point at, std::string title, std::string name, Judge judge,
                        Taken taken) {
    close();
    title_ = std::move(title);
    refusal_.clear();
    judge_ = std::move(judge);
    taken_ = std::move(taken);
    const toolkit::Rect bounds = frame.rect();
    const int x = std::clamp(at.x, bounds.left, std::max(bounds.left, bounds.right - rect().width()));
    const int y = std::clamp(at.y, bounds.top, std::max(bounds.top, bounds.bottom - rect().height()));
    setRect(toolkit::Rect::fromSize(x, y, rect().width(), rect().height()));
    entry_->setText(std::move(name));
    frame.beginModal(*this);
    // The field edits only after a click; one at its right end puts the caret after the name.
    const toolkit::Rect field = entry_->rect();
    entry_->onMouseDown(toolkit::MouseEvent({field.right - 1, (field.top + field.bottom) / 2}));
}

void FileNameBox::dismiss() { close(); }

void FileNameBox::close() {
    judge_ = nullptr;
    taken_ = nullptr;
    if (isOpen()) {
        // Drops the field's focus as well, so the frame keeps no pointer into a closed box.
        frame()->forget(*this);
    }
}

void FileNameBox::offer() {
    const std::string name = entry_->text();
    refusal_ = judge_ ? judge_(name) : std::string();
    if (!refusal_.empty()) {
        invalidate();
        return;
    }
    Taken taken = std::move(taken_);
    close();
    if (taken) {
        taken(name);
    }
}

bool FileNameBox::onMouseDown(const toolkit::MouseEvent& event) {
    if (!rect().contains(event.position)) {
        dismiss();
        return true;
    }
    toolkit::MouseEvent inside = event;
    inside.position = event.position - rect().topLeft();
    if (entry_->rect().contains(inside.position)) {
        entry_->onMouseDown(inside);
    }
    return true;
}

bool FileNameBox::onKeyDown(const toolkit::KeyEvent& event) {
    switch (event.key) {
        case toolkit::Key::Enter:
            offer();
            return true;
        case toolkit::Key::Escape:
            dismiss();
            return true;
        default:
            return entry_->onKeyDown(event);
    }
}

void FileNameBox::draw(toolkit::DrawContext& context) {
    ContainerView::draw(context);
    context.strokeRect(rect(), kBorder);
    const int line = font_.lineHeight();
    const toolkit::Rect inner = rect().inset(kPadding, 0);
    context.drawText(title_, {inner.left, rect().top + kPadding, inner.right, rect().top + kPadding + line}, font_,
                     kTitleColor);
    const int below = rect().top + entry_->rect().bottom + kPadding / 2;
    context.drawText(refusal_, {inner.left, below, inner.right, below + line}, font_, kRefusalColor);
}
