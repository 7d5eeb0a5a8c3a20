// What a control tells its owner: a new value from the user, and the start and end of a gesture
// (a drag, an open text field) so automation can be grouped.
#pragma once

namespace toolkit {

class Control;

class ControlListener {
public:
    virtual ~ControlListener() = default;
    virtual void valueChanged(Control& control) = 0;
    virtual void beginEdit(Control&) {}
    virtual void endEdit(Control&) {}
};

}  // namespace toolkit
