// An option list driven by separate buttons ("Melt System"): pressing member i sets the hub to
// item i and lights that member alone. Program changes to the hub relight the members on the
// next idle pass. The hub takes over its members' reports.
#pragma once

#include <array>

#include "editor/ControlGroup.h"
#include "toolkit/Control.h"
#include "toolkit/ControlListener.h"

class QX_GUI_Multi_Button_Hub : public toolkit::Control, public ControlGroup, private toolkit::ControlListener {
public:
    static constexpr int kMaxMembers = 8;

    // `items`: the option count; 0 takes the number of members.
    QX_GUI_Multi_Button_Hub(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int items);

    void addMember(int position, toolkit::Control& member) override;
    int selectedIndex() const;

    void onIdle() override;

private:
    void valueChanged(toolkit::Control& member) override;
    int itemCount() const;
    void light();

    int items_;
    std::array<toolkit::Control*, kMaxMembers> members_{};
    float litFor_ = -1.0f;  // the hub value the members show
};
