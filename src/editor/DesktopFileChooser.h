// The editor's answers to the program commands: the desktop's file dialogs, and menus drawn
// inside the editor. A menu answers later, when the user picks an item: its command is handed
// to the callback given at attach, and chooseMenuItem itself returns nothing.
#pragma once

#include <functional>
#include <vector>

#include "editor/FileChooser.h"
#include "toolkit/Point.h"
#include "toolkit/PopupMenu.h"

namespace toolkit {
class Frame;
}

class DesktopFileChooser : public FileChooser {
public:
    using Chosen = std::function<void(int command)>;

    std::optional<std::string> chooseFile(const FileDialog& dialog) override;
    std::optional<int> chooseMenuItem(std::span<const MenuItem> items) override;

    // Menus open in `frame` at `anchor` (frame coordinates) until detach.
    void attach(toolkit::Frame& frame, toolkit::Point anchor, Chosen chosen);
    void detach();

private:
    toolkit::Frame* frame_ = nullptr;
    toolkit::Point anchor_;
    Chosen chosen_;
    toolkit::PopupMenu menu_;
    std::vector<int> commands_;  // of the items on show
};
