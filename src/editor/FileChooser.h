// What the program commands ask of the user: a file to load or save, or an item of a menu. The
// editor answers with its dialogs; tests answer with a script.
#pragma once

#include <optional>
#include <span>
#include <string>

struct FileDialog {
    static constexpr int kBesideButton = -1;  // position: next to the pressed button

    const char* title;
    const char* caption;
    std::string folder;     // absolute, with a trailing slash
    const char* extension;  // with its dot, ".Bnk"
    const char* filter;
    int x = kBesideButton;
    int y = kBesideButton;
    bool save = false;
};

struct MenuItem {
    static constexpr int kInactive = -1;  // a line that cannot be chosen
    static constexpr int kSeparator = 0;

    const char* text;
    int command;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path; nothing when the dialog was cancelled.
    virtual std::optional<std::string> chooseFile(const FileDialog& dialog) = 0;
    // The index of the chosen item; nothing when the menu was closed without a choice.
    virtual std::optional<int> chooseMenuItem(std::span<const MenuItem> items) = 0;
};
