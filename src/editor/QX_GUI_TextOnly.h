// The preset name read-out. A right click opens a field over it to rename the preset; the new
// name goes to `onRename`.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/QX_InPlaceEdit.h"
#include "toolkit/Control.h"

class QX_GUI_TextOnly : public toolkit::Control {
public:
    using Rename = std::function<void(const std::string& name)>;

    using Control::Control;

    void setText(std::string_view text);
    const std::string& text() const { return text_; }
    void setOnRename(Rename rename) { onRename_ = std::move(rename); }
    const QX_InPlaceEdit& field() const { return field_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;

private:
    std::string text_;
    Rename onRename_;
    QX_InPlaceEdit field_;
};
