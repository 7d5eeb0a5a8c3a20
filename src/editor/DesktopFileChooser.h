// The editor's answers to the program commands: the desktop's file dialogs, and menus drawn
// inside the editor. A menu answers later, when the user picks an item: its command is handed
// to the callback given at attach, and chooseMenuItem itself returns nothing. Where the desktop
// has no dialog program, the files are chosen inside the editor too.
#pragma once

#include <functional>
#include <vector>

#include "editor/FileChooser.h"
#include "editor/FolderFileChooser.h"
#include "platform/Platform.h"
#include "toolkit/Point.h"
#include "toolkit/PopupMenu.h"

namespace toolkit {
class Frame;
}

class DesktopFileChooser : public FileChooser {
public:
    using Chosen = std::function<void(int command)>;
    using DialogRunner = std::function<platform::FileDialogResult(const FileDialog& dialog)>;

    void chooseFile(const FileDialog& dialog, FileChosen chosen) override;
    std::optional<int> chooseMenuItem(std::span<const MenuItem> items) override;

    // Menus open in `frame` at `anchor` (frame coordinates) until detach.
    void attach(toolkit::Frame& frame, toolkit::Point anchor, Chosen chosen);
    void detach();
    // The editor's idle pass.
    void idle() { inEditor_.idle(); }

    // What shows the desktop's dialogs (tests stand in for the desktop).
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    const FolderFileChooser& inEditor() const { return inEditor_; }

private:
    toolkit::Frame* frame_ = nullptr;
    toolkit::Point anchor_;
    Chosen chosen_;
    toolkit::PopupMenu menu_;
    std::vector<int> commands_;  // of the items on show
    DialogRunner runDialog_ = platform::runFileDialog;
    FolderFileChooser inEditor_;
};
