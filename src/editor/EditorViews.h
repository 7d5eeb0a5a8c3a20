// What the editor builds at open from the control table: the controls by tag, the panels and
// their switching, the command links and the randomise groups, and where the bank menu opens.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "editor/ControlSlots.h"
#include "editor/PanelSwitcher.h"
#include "editor/QX_GUI_Memory_Banks.h"
#include "toolkit/Point.h"

struct CommandLink {
    int button;   // pressing it ...
    int command;  // ... sends this command ...
    int target;   // ... to this control
};

struct EditorViews {
    ControlSlots slots;
    PanelSwitcher panels;
    std::vector<CommandLink> links;
    std::map<int, std::unique_ptr<QX_GUI_Memory_Banks>> randomGroups;  // by group id
    std::map<int, std::vector<int>> groupMembers;  // member ids by group id, in the order attached
    int commandTarget = -1;  // the id of the bank-and-preset command target, -1 when none
    toolkit::Point menuAnchor;  // frame coordinates of the target, where its menu opens
};
