// An option list shown as the selected item's text in a box; a click opens a pop-up menu of the
// items. Item k of n is the value k / (n - 1).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Control.h"
#include "toolkit/PopupMenu.h"

class QX_COptionsText : public toolkit::Control {
public:
    // `options`: items each followed by a comma.
    QX_COptionsText(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener,
                    std::string_view options);

    const std::vector<std::string>& items() const { return items_; }
    int selectedIndex() const;
    std::string_view selectedText() const;
    // The value of item `index`.
    float valueOf(int index) const;

    const toolkit::PopupMenu& menu() const { return menu_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;

private:
    void choose(int index);

    std::vector<std::string> items_;
    toolkit::PopupMenu menu_;
};
