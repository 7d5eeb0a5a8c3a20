// Which of the editor's hidden panels are open: panel buttons open and close their panels, the
// buttons of an exclusive set (tabs) select one of them, and an option parameter can open a panel
// for some of its values ("Osc Mode" shows the logic controls only for the logic modes).
#pragma once

#include <array>
#include <vector>

namespace toolkit {
class ContainerView;
class Control;
}  // namespace toolkit

class ControlSlots;

class PanelSwitcher {
public:
    void addPanel(int number, toolkit::ContainerView& panel);
    // `button` opens the panels while it is on; a momentary button toggles them at each press.
    void addPanelButton(int button, std::array<int, 3> panels, bool momentary);
    // Selecting one button of the set turns the others off.
    void addExclusiveSet(std::array<int, 4> buttons);
    // `panel` is open while option parameter `option` shows item `item`.
    void addOptionPanel(int option, int panel, int item);

    // A user changed `control`: exclusive partners follow, momentary panel buttons toggle.
    void controlChanged(const toolkit::Control& control, const ControlSlots& slots);
    // `control` was set on: its exclusive partners go off.
    void selected(const toolkit::Control& control, const ControlSlots& slots);
    // Brings every panel in line with the controls' values; a set with nothing selected selects
    // its first button.
    void refresh(const ControlSlots& slots);

    bool isOpen(int number) const;

private:
    struct PanelButton {
        int button;
        std::array<int, 3> panels;
        bool momentary;
    };
    struct OptionPanel {
        int option;
        int panel;
        int item;
    };

    toolkit::ContainerView* panel(int number) const;
    void setOpen(int number, bool open);

    std::vector<std::pair<int, toolkit::ContainerView*>> panels_;
    std::vector<PanelButton> buttons_;
    std::vector<std::array<int, 4>> sets_;
    std::vector<OptionPanel> optionPanels_;
};
