#include "editor/DesktopFileChooser.h"

#include "toolkit/Frame.h"

void DesktopFileChooser::chooseFile(const FileDialog& dialog, FileChosen chosen) {
    platform::FileDialogResult result = runDialog_(dialog);
    if (!result.shown) {
        inEditor_.choose(dialog, std::move(chosen));
    } else if (result.path) {
        chosen(*result.path);
    }
}

std::optional<int> DesktopFileChooser::chooseMenuItem(std::span<const MenuItem> items) {
    if (frame_ == nullptr || menu_.isOpen()) {
        return std::nullopt;
    }
    menu_.clear();
    commands_.clear();
    for (const MenuItem& item : items) {
        if (item.command == MenuItem::kSeparator) {
            menu_.addSeparator();
        } else {
            menu_.addItem(item.text, false, item.command != MenuItem::kInactive);
        }
        commands_.push_back(item.command);
    }
    menu_.popup(*frame_, anchor_, [this](int index) {
        if (index >= 0 && index < static_cast<int>(commands_.size()) && chosen_) {
            chosen_(commands_[static_cast<std::size_t>(index)]);
        }
    });
    return std::nullopt;
}

void DesktopFileChooser::attach(toolkit::Frame& frame, toolkit::Point anchor, Chosen chosen) {
    frame_ = &frame;
    anchor_ = anchor;
    chosen_ = std::move(chosen);
    inEditor_.attach(frame, anchor);
}

void DesktopFileChooser::detach() {
    chosen_ = nullptr;
    inEditor_.detach();
    if (menu_.isOpen()) {
        menu_.dismiss();
    }
    frame_ = nullptr;
}
