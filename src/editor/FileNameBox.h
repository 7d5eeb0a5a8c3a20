// A name asked for inside the editor, as a modal box: a title, a text field holding the name and
// a line telling why a name was refused. Return offers the name, Escape or a click outside the
// box gives up.
#pragma once

#include <functional>
#include <string>

#include "toolkit/ContainerView.h"
#include "toolkit/Font.h"

namespace toolkit {
class Frame;
class TextEntry;
}  // namespace toolkit

class FileNameBox : public toolkit::ContainerView {
public:
    // Why a name cannot be taken; empty when it can.
    using Judge = std::function<std::string(const std::string& name)>;
    using Taken = std::function<void(const std::string& name)>;

    FileNameBox();
    ~FileNameBox() override;

    // Opens at `at` (frame coordinates, moved to fit the frame) with `name` ready to edit.
    // `taken` runs after the box has closed, and only for a name `judge` accepted.
    void popup(toolkit::Frame& frame, toolkit::Point at, std::string title, std::string name, Judge judge,
               Taken taken);
    bool isOpen() const;
    // Closes without a name.
    void dismiss();

    toolkit::TextEntry& entry() const { return *entry_; }
    const std::string& refusal() const { return refusal_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    bool onKeyDown(const toolkit::KeyEvent& event) override;

private:
    void offer();
    void close();

    toolkit::TextEntry* entry_;  // a child
    toolkit::Font font_;
    std::string title_;
    std::string refusal_;
    Judge judge_;
    Taken taken_;
};
