// What the program commands ask of the user: a file to load or save, or an item of a menu. The
// editor answers with its dialogs; tests answer with a script.
#pragma once

#include <functional>
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
    std::string name = {};  // what a file to save could be called, without the extension
};

struct MenuItem {
    static constexpr int kInactive = -1;  // a line that cannot be chosen
    static constexpr int kSeparator = 0;

    const char* text;
    int command;
};

class FileChooser {
public:
    using FileChosen = std::function<void(const std::string& path)>;

    virtual ~FileChooser() = default;
    // Hands the chosen path to `chosen`, at once or later (a dialog drawn in the editor answers
    // when the user does); never when the dialog was cancelled.
    virtual void chooseFile(const FileDialog& dialog, FileChosen chosen) = 0;
    // The index of the chosen item; nothing when the menu was closed without a choice.
    virtual std::optional<int> chooseMenuItem(std::span<const MenuItem> items) = 0;
};
