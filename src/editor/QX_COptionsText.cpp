#include "editor/QX_COptionsText.h"

#include <cmath>

#include "toolkit/Frame.h"

namespace {

constexpr int kTextFontPx = 10;
constexpr int kPaddingX = 4;
constexpr toolkit::Color kBoxFill{28, 30, 34};
constexpr toolkit::Color kBoxBorder{90, 94, 102};
constexpr toolkit::Color kTextColor{236, 200, 120};

std::vector<std::string> splitItems(std::string_view options) {
    std::vector<std::string> items;
    for (std::size_t comma; (comma = options.find(',')) != std::string_view::npos;
         options.remove_prefix(comma + 1)) {
        items.emplace_back(options.substr(0, comma));
    }
    return items;
}

}  // namespace

QX_COptionsText::QX_COptionsText(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener,
                                 std::string_view options)
    : Control(rect, tag, listener), items_(splitItems(options)) {}

int QX_COptionsText::selectedIndex() const {
    const int last = static_cast<int>(items_.size()) - 1;
    return last > 0 ? static_cast<int>(std::lround(value() * static_cast<float>(last))) : 0;
}

std::string_view QX_COptionsText::selectedText() const {
    return items_.empty() ? std::string_view{} : std::string_view(items_[static_cast<std::size_t>(selectedIndex())]);
}

float QX_COptionsText::valueOf(int index) const {
    const int last = static_cast<int>(items_.size()) - 1;
    return last > 0 ? static_cast<float>(index) / static_cast<float>(last) : 0.0f;
}

void QX_COptionsText::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kBoxFill);
    context.strokeRect(rect(), kBoxBorder);
    context.drawText(selectedText(), rect().inset(kPaddingX, 0), toolkit::Font::nearest(kTextFontPx), kTextColor,
                     toolkit::HAlign::Center);
}

bool QX_COptionsText::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left || items_.empty() || frame() == nullptr) return false;
    menu_.clear();
    const int selected = selectedIndex();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        menu_.addItem(items_[i], static_cast<int>(i) == selected);
    }
    const toolkit::Rect at = frameRect();
    menu_.popup(*frame(), {at.left, at.bottom}, [this](int index) { choose(index); });
    return true;
}

void QX_COptionsText::choose(int index) {
    if (index == toolkit::PopupMenu::kDismissed) return;
    beginEdit();
    changeValue(valueOf(index));
    endEdit();
}
