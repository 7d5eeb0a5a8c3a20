// The bank-and-preset command target: loading and saving banks, presets, section presets and
// controller maps, stepping and selecting programs, and copying and pasting whole programs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "editor/FileChooser.h"
#include "params/ProgramRecord.h"

class QX_DSP_VST;

class ProgramCommands {
public:
    // Command numbers of the linked buttons and menu items.
    enum Command {
        kLoadBank = 50,
        kSaveBank = 51,
        kLoadPreset = 55,
        kSavePreset = 56,
        kExitMenu = 58,
        kOpenMenu = 59,
        kSelectProgram = 60,
        kProgramUp = 61,
        kProgramDown = 62,
        kCopyProgram = 63,
        kPasteProgram = 64,
        kLoadControllerMap = 68,
        kSaveControllerMap = 69,
        kLoadSection = 70,  // + section 0..3
        kSaveSection = 80,  // + section 0..3
    };

    ProgramCommands(QX_DSP_VST& plugin, FileChooser& chooser);

    // A linked control sent `command` with its new value; buttons act only when pressed (value
    // above 0), the program selector on any program number.
    void command(int number, float value);

    bool clipboardFull() const { return clipboardFull_; }

private:
    void loadBank();
    void saveBank();
    void loadPreset();
    void savePreset();
    void openMenu();
    void copyProgram();
    void pasteProgram();
    void loadControllerMap();
    void saveControllerMap();
    void loadSection(int section);
    void saveSection(int section);

    using FileAction = std::function<void(const std::string& path)>;
    // Asks for a file and acts on it once chosen, with the extension added to a name to save.
    void choose(const FileDialog& dialog, FileAction action);
    // Applies the current program again after its record was replaced.
    void reapply();

    QX_DSP_VST& plugin_;
    FileChooser& chooser_;
    std::unique_ptr<ProgramRecord> clipboard_;
    bool clipboardFull_ = false;
};
