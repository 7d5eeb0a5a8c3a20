// The editor's answers to the program commands: the desktop's file dialogs, and menus drawn
// inside the editor. A menu answers later, when the user picks an item: its command is handed
// to the callback given at attach, and chooseMenuItem itself returns nothing. Where the desktop
// has no dialog program, the files are chosen inside the editor too.
//
// Nothing here waits for the user: a desktop dialog runs beside the editor, which keeps drawing
// and asks on each idle pass whether it has answered. A menu asked for by a button press opens
// on the idle pass after the press has ended, so the button gets its release first.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "editor/FileChooser.h"
#include "editor/FolderFileChooser.h"
#include "platform/FileDialogProcess.h"
#include "platform/Platform.h"
#include "toolkit/Point.h"
#include "toolkit/PopupMenu.h"

namespace toolkit {
class Frame;
}

class DesktopFileChooser : public FileChooser {
public:
    using Chosen = std::function<void(int command)>;
    using DialogStarter = std::function<std::unique_ptr<platform::FileDialogProcess>(const FileDialog& dialog)>;

    // Nothing happens while detached or while another file is being chosen.
    void chooseFile(const FileDialog& dialog, FileChosen chosen) override;
    std::optional<int> chooseMenuItem(std::span<const MenuItem> items) override;

    // Menus open in `frame` at `anchor` (frame coordinates) until detach.
    void attach(toolkit::Frame& frame, toolkit::Point anchor, Chosen chosen);
    // Closes what is open, the desktop's dialog too; no answer comes after this.
    void detach();
    // The editor's idle pass: hands on the desktop dialog's answer, opens what was asked for.
    void idle();

    // What starts the desktop's dialogs (tests stand in for the desktop).
    void setDialogStarter(DialogStarter starter) { startDialog_ = std::move(starter); }
    bool dialogRunning() const { return dialog_ != nullptr; }
    const FolderFileChooser& inEditor() const { return inEditor_; }

private:
    toolkit::Frame* frame_ = nullptr;
    toolkit::Point anchor_;
    Chosen chosen_;
    toolkit::PopupMenu menu_;
    bool menuAsked_ = false;     // until it opens
    std::vector<int> commands_;  // of the items asked for or on show
    DialogStarter startDialog_ = platform::startFileDialog;
    std::unique_ptr<platform::FileDialogProcess> dialog_;
    FileChosen fileChosen_;  // what the running dialog's answer goes to
    FolderFileChooser inEditor_;
};
