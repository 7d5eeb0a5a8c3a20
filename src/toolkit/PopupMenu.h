// A pop-up list of items drawn inside the frame as a modal overlay: checked marks, disabled
// items and separators; chosen by click, by press-drag-release from the control that opened it,
// or by the arrow keys and Enter. Escape or a click outside dismisses it. A list taller than the
// frame wraps into columns.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Font.h"
#include "toolkit/View.h"

namespace toolkit {

struct MenuItem {
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool separator = false;
};

class PopupMenu : public View {
public:
    using Chosen = std::function<void(int index)>;  // -1 when dismissed
    static constexpr int kDismissed = -1;

    PopupMenu();
    ~PopupMenu() override;

    void addItem(std::string text, bool checked = false, bool enabled = true);
    void addSeparator();
    void clear();
    const std::vector<MenuItem>& items() const { return items_; }
    void setFont(const Font& font) { font_ = font; }

    // Opens with its top-left at `at` (frame coordinates), moved as needed to fit the frame.
    // `chosen` runs after the menu has closed.
    void popup(Frame& frame, Point at, Chosen chosen);
    bool isOpen() const;
    // Closes as if dismissed.
    void dismiss();

    int highlighted() const { return highlighted_; }
    // Frame coordinates of an item while open.
    Rect itemRect(int index) const;

    void draw(DrawContext& context) override;
    bool onMouseDown(const MouseEvent& event) override;
    void onMouseMove(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onKeyDown(const KeyEvent& event) override;

private:
    int itemHeight(const MenuItem& item) const;
    int itemAt(Point p) const;
    bool selectable(int index) const;
    void moveHighlight(int step);
    void setHighlighted(int index);
    void finish(int index);

    std::vector<MenuItem> items_;
    std::vector<Rect> layout_;  // each item's place in the open menu, relative to its top-left
    Font font_;
    Chosen chosen_;
    int highlighted_ = kDismissed;
};

}  // namespace toolkit
