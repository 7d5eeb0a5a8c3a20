// A text field opened over a control as a modal overlay, for typing a value or a name: Enter or
// a click elsewhere commits, Escape cancels. Either way it closes itself.
#pragma once

#include <functional>
#include <string>

#include "toolkit/TextEntry.h"

namespace toolkit {
class Frame;
}

class QX_InPlaceEdit : public toolkit::TextEntry {
public:
    // Runs after the field has closed; `committed` is false when it was cancelled.
    using Closed = std::function<void(bool committed, const std::string& text)>;

    QX_InPlaceEdit();
    ~QX_InPlaceEdit() override;

    // `box` in frame coordinates.
    void open(toolkit::Frame& frame, const toolkit::Rect& box, std::string text, Closed closed);
    bool isOpen() const;

    bool onMouseDown(const toolkit::MouseEvent& event) override;
    bool onKeyDown(const toolkit::KeyEvent& event) override;

private:
    void close(bool commit);

    Closed closed_;
};
