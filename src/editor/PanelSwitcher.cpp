#include "editor/PanelSwitcher.h"

#include <algorithm>

#include "editor/ControlSlots.h"
#include "params/ParameterLookups.h"
#include "toolkit/ContainerView.h"
#include "toolkit/Control.h"

namespace {

constexpr float kOn = 0.5f;  // a button above this is on

bool isOn(const toolkit::Control* control) { return control != nullptr && control->value() > kOn; }

int shownItem(int option, float value) {
    const int count = ParameterLookups::get().optionCount(option);
    return count > 1 ? static_cast<int>((count - 1) * value + 0.5f) : 0;
}

}  // namespace

void PanelSwitcher::addPanel(int number, toolkit::ContainerView& panel) { panels_.emplace_back(number, &panel); }

void PanelSwitcher::addPanelButton(int button, std::array<int, 3> panels, bool momentary) {
    buttons_.push_back({button, panels, momentary});
}

void PanelSwitcher::addExclusiveSet(std::array<int, 4> buttons) { sets_.push_back(buttons); }

void PanelSwitcher::addOptionPanel(int option, int panel, int item) { optionPanels_.push_back({option, panel, item}); }

toolkit::ContainerView* PanelSwitcher::panel(int number) const {
    for (const auto& [n, view] : panels_) {
        if (n == number) {
            return view;
        }
    }
    return nullptr;
}

bool PanelSwitcher::isOpen(int number) const {
    const toolkit::ContainerView* view = panel(number);
    return view != nullptr && view->isOpen();
}

void PanelSwitcher::setOpen(int number, bool open) {
    if (toolkit::ContainerView* view = panel(number)) {
        if (open) {
            view->open();
        } else {
            view->close();
        }
    }
}

void PanelSwitcher::selected(const toolkit::Control& control, const ControlSlots& slots) {
    const int tag = control.tag();
    if (!isOn(&control)) {
        return;
    }
    for (const auto& set : sets_) {
        if (std::find(set.begin(), set.end(), tag) == set.end()) {
            continue;
        }
        for (const int other : set) {
            if (other != tag) {
                if (toolkit::Control* partner = slots.at(other)) {
                    partner->setValue(0.0f);
                }
            }
        }
    }
}

void PanelSwitcher::controlChanged(const toolkit::Control& control, const ControlSlots& slots) {
    const int tag = control.tag();
    selected(control, slots);
    if (isOn(&control)) {
        for (const auto& button : buttons_) {
            if (button.button == tag && button.momentary) {
                for (const int number : button.panels) {
                    setOpen(number, !isOpen(number));
                }
            }
        }
    }
    refresh(slots);
}

void PanelSwitcher::refresh(const ControlSlots& slots) {
    for (const auto& set : sets_) {
        const bool anyOn = std::any_of(set.begin(), set.end(), [&](int tag) { return isOn(slots.at(tag)); });
        if (!anyOn) {
            if (toolkit::Control* first = slots.at(set[0])) {
                first->setValue(1.0f);
            }
        }
    }
    for (const auto& button : buttons_) {
        const toolkit::Control* control = slots.at(button.button);
        if (button.momentary || control == nullptr) {
            continue;
        }
        for (const int number : button.panels) {
            setOpen(number, isOn(control));
        }
    }
    // An option panel is open when any of its items is shown; rows for one panel are read together.
    for (const auto& rule : optionPanels_) {
        const toolkit::Control* option = slots.at(rule.option);
        if (option == nullptr) {
            continue;
        }
        const int item = shownItem(rule.option, option->value());
        const bool open = std::any_of(optionPanels_.begin(), optionPanels_.end(), [&](const OptionPanel& other) {
            return other.option == rule.option && other.panel == rule.panel && other.item == item;
        });
        setOpen(rule.panel, open);
    }
}
