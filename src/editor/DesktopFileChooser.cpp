#include "editor/DesktopFileChooser.h"

#include "toolkit/Frame.h"

void DesktopFileChooser::chooseFile(const FileDialog& dialog, FileChosen chosen) {
    if (frame_ == nullptr || dialog_ || inEditor_.isOpen()) {
        return;
    }
    dialog_ = startDialog_(dialog);
    if (!dialog_) {
        inEditor_.choose(dialog, std::move(chosen));
        return;
    }
    fileChosen_ = std::move(chosen);
    // A dialog that blocked until the user answered is done with at once.
    idle();
}

std::optional<int> DesktopFileChooser::chooseMenuItem(std::span<const MenuItem> items) {
    if (frame_ == nullptr || menu_.isOpen() || menuAsked_) {
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
    menuAsked_ = true;
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
    dialog_.reset();
    fileChosen_ = nullptr;
    inEditor_.detach();
    menuAsked_ = false;
    if (menu_.isOpen()) {
        menu_.dismiss();
    }
    frame_ = nullptr;
}

void DesktopFileChooser::idle() {
    if (dialog_ && dialog_->finished()) {
        const std::optional<std::string> path = dialog_->answer();
        const FileChosen chosen = std::move(fileChosen_);
        dialog_.reset();
        fileChosen_ = nullptr;
        if (path) {
            chosen(*path);
        }
    }
    inEditor_.idle();
    if (menuAsked_ && frame_ != nullptr && frame_->capture() == nullptr && frame_->modal() == nullptr) {
        menuAsked_ = false;
        menu_.popup(*frame_, anchor_, [this](int index) {
            if (index >= 0 && index < static_cast<int>(commands_.size()) && chosen_) {
                chosen_(commands_[static_cast<std::size_t>(index)]);
            }
        });
    }
}
