// A control that works through other controls: the EQ window draws and drags the band knobs,
// the step editors edit the step parameters, the "Melt System" hub follows its two buttons. The
// editor ties the members to it from the table's group-membership rows.
#pragma once

namespace toolkit {
class Control;
}

class ControlGroup {
public:
    virtual ~ControlGroup() = default;
    // `member` is member number `position` of the group; it outlives the group's use of it.
    virtual void addMember(int position, toolkit::Control& member) = 0;
};
