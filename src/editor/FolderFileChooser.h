// File dialogs drawn inside the editor, for desktops without a dialog program: a menu of the
// files in the dialog's folder to load one, a name box to save one. Both answer later, when the
// user does. One asked for by a button press opens on the idle pass after the press has ended,
// so the button gets its release first.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/FileChooser.h"
#include "editor/FileNameBox.h"
#include "toolkit/Point.h"
#include "toolkit/PopupMenu.h"

namespace toolkit {
class Frame;
}

class FolderFileChooser {
public:
    static constexpr const char* kNoFiles = "No files";
    static constexpr const char* kUntitled = "Untitled";

    // The names of the files in `folder` that end in `extension` in any case, sorted.
    static std::vector<std::string> filesIn(const std::string& folder, const char* extension);
    // Why `name` cannot name a file in the dialog's folder; empty when it can.
    static std::string refusal(const std::string& name);

    void attach(toolkit::Frame& frame, toolkit::Point anchor);
    // Closes what is open; its answer never comes.
    void detach();
    bool isOpen() const { return menu_.isOpen() || nameBox_.isOpen(); }

    // Asks for a file; nothing happens while detached or while one is asked for already.
    void choose(const FileDialog& dialog, FileChooser::FileChosen chosen);
    // The editor's idle pass: opens the dialog asked for once no gesture or other modal view
    // is under way.
    void idle();

    const toolkit::PopupMenu& menu() const { return menu_; }
    const FileNameBox& nameBox() const { return nameBox_; }

private:
    void chooseToLoad(const FileDialog& dialog, toolkit::Point at);
    void chooseToSave(const FileDialog& dialog, toolkit::Point at);
    std::string judge(const std::string& folder, const std::string& typed, const char* extension);

    toolkit::Frame* frame_ = nullptr;
    std::optional<FileDialog> asked_;  // until it opens
    toolkit::Point anchor_;
    toolkit::PopupMenu menu_;
    FileNameBox nameBox_;
    std::vector<std::string> files_;  // on show in the menu
    std::string replacing_;           // a name already there, offered once: offering it again replaces it
    FileChooser::FileChosen chosen_;
};
