#include "editor/QX_ImageGrid.h"

#include <algorithm>
#include <string>

#include "toolkit/Frame.h"

namespace {

constexpr int kDrawnCellPx = 30;  // cells without a strip
constexpr int kTextFontPx = 10;
constexpr toolkit::Color kBackground{12, 13, 15};
constexpr toolkit::Color kCellFill{50, 52, 58};
constexpr toolkit::Color kSelectedOutline{250, 196, 90};
constexpr toolkit::Color kTextColor{220, 220, 220};

}  // namespace

QX_ImageGrid::QX_ImageGrid() : View(toolkit::Rect{}) {}

QX_ImageGrid::~QX_ImageGrid() {
    if (isOpen()) frame()->endModal(*this);
}

bool QX_ImageGrid::isOpen() const { return frame() != nullptr && frame()->modal() == this; }

int QX_ImageGrid::cellWidth() const { return strip_ ? strip_->frameWidth() : kDrawnCellPx; }

int QX_ImageGrid::cellHeight() const { return strip_ ? strip_->frameHeight() : kDrawnCellPx; }

void QX_ImageGrid::open(toolkit::Frame& frame, toolkit::Point at, std::shared_ptr<const toolkit::Bitmap> strip,
                        int cells, int columns, int selected, Chosen chosen) {
    strip_ = std::move(strip);
    cells_ = std::max(cells, 1);
    columns_ = std::clamp(columns, 1, cells_);
    selected_ = selected;
    chosen_ = std::move(chosen);
    const int rows = (cells_ + columns_ - 1) / columns_;
    toolkit::Rect box = toolkit::Rect::fromSize(at.x, at.y, columns_ * (cellWidth() + kCellGap) + kCellGap,
                                                rows * (cellHeight() + kCellGap) + kCellGap);
    const toolkit::Rect bounds = frame.rect();
    box = box.offset(std::min(0, bounds.right - box.right), std::min(0, bounds.bottom - box.bottom));
    box = box.offset(std::max(0, bounds.left - box.left), std::max(0, bounds.top - box.top));
    setRect(box);
    frame.beginModal(*this);
}

toolkit::Rect QX_ImageGrid::cellRect(int cell) const {
    const int column = cell % columns_;
    const int row = cell / columns_;
    return toolkit::Rect::fromSize(rect().left + kCellGap + column * (cellWidth() + kCellGap),
                                   rect().top + kCellGap + row * (cellHeight() + kCellGap), cellWidth(), cellHeight());
}

void QX_ImageGrid::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kBackground);
    const toolkit::Font font = toolkit::Font::nearest(kTextFontPx);
    for (int i = 0; i < cells_; ++i) {
        const toolkit::Rect cell = cellRect(i);
        if (strip_) {
            context.drawBitmapFrame(*strip_, i, cell.topLeft());
        } else {
            context.fillRect(cell, kCellFill);
            context.drawText(std::to_string(i + 1), cell, font, kTextColor, toolkit::HAlign::Center);
        }
        if (i == selected_) context.strokeRect(cell.inset(-1, -1), kSelectedOutline);
    }
}

bool QX_ImageGrid::onMouseDown(const toolkit::MouseEvent& event) {
    for (int i = 0; i < cells_; ++i) {
        if (cellRect(i).contains(event.position)) {
            finish(i);
            return true;
        }
    }
    if (!rect().contains(event.position)) finish(kDismissed);
    return true;
}

bool QX_ImageGrid::onKeyDown(const toolkit::KeyEvent& event) {
    if (event.key != toolkit::Key::Escape) return false;
    finish(kDismissed);
    return true;
}

void QX_ImageGrid::finish(int cell) {
    if (!isOpen()) return;
    frame()->endModal(*this);
    Chosen chosen = std::move(chosen_);
    chosen_ = nullptr;
    if (chosen) chosen(cell);
}
