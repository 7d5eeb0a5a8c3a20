// The preset name read-out. A click opens a menu of every program, the current one marked;
// the wheel steps through them; a right click opens a field over it to rename the preset.
// Choosing goes to `onChoose`, the new name to `onRename`.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/QX_InPlaceEdit.h"
#include "toolkit/Control.h"
#include "toolkit/PopupMenu.h"

class QX_GUI_TextOnly : public toolkit::Control {
public:
    using Rename = std::function<void(const std::string& name)>;
    using Choose = std::function<void(int program)>;
    using ProgramLabel = std::function<std::string(int program)>;

    using Control::Control;

    void setText(std::string_view text);
    const std::string& text() const { return text_; }
    void setOnRename(Rename rename) { onRename_ = std::move(rename); }
    const QX_InPlaceEdit& field() const { return field_; }

    // The programs offered, each item read from `label`; without them the read-out only renames.
    void setPrograms(int count, ProgramLabel label, Choose choose);
    // Shows `program`'s label and marks it in the menu.
    void showProgram(int program);
    int currentProgram() const { return current_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    bool onWheel(const toolkit::MouseEvent& event, float delta) override;

private:
    void openMenu();
    void choose(int program);

    std::string text_;
    Rename onRename_;
    QX_InPlaceEdit field_;
    int count_ = 0;
    int current_ = 0;
    bool pressed_ = false;
    ProgramLabel label_;
    Choose onChoose_;
    toolkit::PopupMenu menu_;
};
