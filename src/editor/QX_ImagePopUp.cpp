#include "editor/QX_ImagePopUp.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/Frame.h"

namespace {

constexpr int kTextFontPx = 10;
constexpr toolkit::Color kFill{50, 52, 58};
constexpr toolkit::Color kTextColor{220, 220, 220};

}  // namespace

QX_ImagePopUp::QX_ImagePopUp(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int cells)
    : Control(rect, tag, listener), cells_(std::max(cells, 1)) {}

int QX_ImagePopUp::selectedCell() const {
    return cells_ > 1 ? static_cast<int>(std::lround(value() * static_cast<float>(cells_ - 1))) : 0;
}

void QX_ImagePopUp::draw(toolkit::DrawContext& context) {
    if (bitmap()) {
        context.drawBitmapFrame(*bitmap(), selectedCell(), rect().topLeft());
        return;
    }
    context.fillRect(rect(), kFill);
    context.drawText(std::to_string(selectedCell() + 1), rect(), toolkit::Font::nearest(kTextFontPx), kTextColor,
                     toolkit::HAlign::Center);
}

bool QX_ImagePopUp::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left || frame() == nullptr) return false;
    // A roughly square grid.
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(cells_))));
    grid_.open(*frame(), frameRect().topLeft(), bitmap(), cells_, columns, selectedCell(), [this](int cell) {
        if (cell == QX_ImageGrid::kDismissed) return;
        beginEdit();
        changeValue(cells_ > 1 ? static_cast<float>(cell) / static_cast<float>(cells_ - 1) : 0.0f);
        endEdit();
    });
    return true;
}
