#include "editor/ProgramCommands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>

#include "host/QX_DSP_VST.h"
#include "params/BankFiles.h"
#include "params/SectionPresets.h"
#include "platform/Platform.h"

namespace {

constexpr const char* kBanksFolder = "Banks/";
constexpr const char* kPresetsFolder = "Presets/";
constexpr const char* kBankExtension = ".Bnk";
constexpr const char* kPresetExtension = ".pst";
constexpr const char* kMapExtension = ".mmp";
constexpr const char* kBankFilter = "Velkor_2 Preset Banks (.Bnk)";
constexpr const char* kPresetFilter = "Velkor_2 Preset (.pst)";
constexpr const char* kMapFilter = "Velkor MIDI CC Map (.mmp)";
constexpr char kPastedMark = '*';
constexpr std::size_t kPastedNameLimit = 25;  // a name this long gets no mark

struct FileKind {
    const char* loadTitle;
    const char* loadCaption;
    const char* saveTitle;
    const char* saveCaption;
    const char* folder;
    const char* extension;
    const char* filter;
};

constexpr FileKind kBankKind = {"LOAD BANK",      "LOAD Velkor_2 Preset Bank", "SAVE BANK",
                                "SAVE Velkor_2 Preset Bank", kBanksFolder, kBankExtension, kBankFilter};
constexpr FileKind kPresetKind = {"LOAD PRESET", "LOAD Velkor_2 Preset", "SAVE PRESET", "SAVE Velkor_2 Preset",
                                  kPresetsFolder, kPresetExtension, kPresetFilter};
constexpr FileKind kMapKind = {"LOAD MIDI CC MAP", "LOAD Velkor MIDI CC Map", "SAVE MIDI CC MAP",
                               "SAVE Velkor MIDI CC Map", kPresetsFolder, kMapExtension, kMapFilter};

constexpr MenuItem kMenu[] = {
    {"Bank and Midi:CC Options", MenuItem::kInactive},
    {"Load Bank", ProgramCommands::kLoadBank},
    {"Save Bank", ProgramCommands::kSaveBank},
    {"", MenuItem::kSeparator},
    {"Load Midi CC Map", ProgramCommands::kLoadControllerMap},
    {"Save Midi CC Map", ProgramCommands::kSaveControllerMap},
    {"Exit", ProgramCommands::kExitMenu},
};

bool endsWithNoCase(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    if (text.size() < length) {
        return false;
    }
    return std::equal(text.end() - static_cast<std::ptrdiff_t>(length), text.end(), suffix, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

FileDialog dialogFor(const FileKind& kind, bool save, std::string name = {}) {
    return FileDialog{save ? kind.saveTitle : kind.loadTitle,
                      save ? kind.saveCaption : kind.loadCaption,
                      platform::userFolder() + kind.folder,
                      kind.extension,
                      kind.filter,
                      FileDialog::kBesideButton,
                      FileDialog::kBesideButton,
                      save,
                      std::move(name)};
}

FileDialog dialogFor(const SectionDefinition& section, bool save, std::string name = {}) {
    const char* title = save ? section.saveTitle : section.loadTitle;
    return FileDialog{title,           title,          platform::userFolder() + kPresetsFolder,
                      section.extension, section.filter, section.dialogX,
                      section.dialogY,   save,           std::move(name)};
}

// The bank file's name without its folder and extension, as a name to save the bank under.
std::string bankName(const char* bankFile) {
    if (bankFile == nullptr) {
        return {};
    }
    const std::string path = bankFile;
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (endsWithNoCase(name, kBankExtension)) {
        name.resize(name.size() - std::strlen(kBankExtension));
    }
    return name;
}

// Keeps the "BankFile" text across a load that replaces the record it lives in.
class BankFileKeeper {
public:
    explicit BankFileKeeper(QX_DSP_VST& plugin) : slot_(plugin.bankFileText()) {
        if (slot_ != nullptr) {
            std::memcpy(saved_, slot_, kTextSlotBytes);
        }
    }
    ~BankFileKeeper() {
        if (slot_ != nullptr) {
            std::memcpy(slot_, saved_, kTextSlotBytes);
            slot_[kTextSlotBytes - 1] = '\0';
        }
    }
    BankFileKeeper(const BankFileKeeper&) = delete;
    BankFileKeeper& operator=(const BankFileKeeper&) = delete;

private:
    char* slot_;
    char saved_[kTextSlotBytes] = {};
};

void setBankFile(QX_DSP_VST& plugin, const std::string& path) {
    if (char* slot = plugin.bankFileText()) {
        const std::size_t length = std::min(path.size(), static_cast<std::size_t>(kTextSlotBytes - 1));
        std::memcpy(slot, path.data(), length);
        slot[length] = '\0';
    }
}

}  // namespace

ProgramCommands::ProgramCommands(QX_DSP_VST& plugin, FileChooser& chooser)
    : plugin_(plugin), chooser_(chooser), clipboard_(std::make_unique<ProgramRecord>()) {}

void ProgramCommands::command(int number, float value) {
    if (!std::isfinite(value)) {
        return;
    }
    if (number == kSelectProgram) {
        // The selector's value is the program number itself, so program 0 arrives as 0.
        if (value >= 0.0f && value < static_cast<float>(kProgramCount)) {
            plugin_.setProgram(static_cast<int>(value));
        }
        return;
    }
    if (value <= 0.0f) {
        return;
    }
    if (number >= kLoadSection && number < kLoadSection + SectionPresets::kSections) {
        loadSection(number - kLoadSection);
        return;
    }
    if (number >= kSaveSection && number < kSaveSection + SectionPresets::kSections) {
        saveSection(number - kSaveSection);
        return;
    }
    switch (number) {
        case kLoadBank:
            loadBank();
            break;
        case kSaveBank:
            saveBank();
            break;
        case kLoadPreset:
            loadPreset();
            break;
        case kSavePreset:
            savePreset();
            break;
        case kOpenMenu:
            openMenu();
            break;
        case kProgramUp:
            plugin_.nextProgram();
            break;
        case kProgramDown:
            plugin_.previousProgram();
            break;
        case kCopyProgram:
            copyProgram();
            break;
        case kPasteProgram:
            pasteProgram();
            break;
        case kLoadControllerMap:
            loadControllerMap();
            break;
        case kSaveControllerMap:
            saveControllerMap();
            break;
        default:
            break;  // the menu's Exit and unknown commands
    }
}

void ProgramCommands::choose(const FileDialog& dialog, FileAction action) {
    // The extension and the dialog's texts are constants, so they outlive a later answer.
    chooser_.chooseFile(dialog, [extension = dialog.extension, save = dialog.save,
                                 action = std::move(action)](const std::string& chosen) {
        if (chosen.empty()) {
            return;
        }
        std::string path = chosen;
        if (save && !endsWithNoCase(path, extension)) {
            path += extension;
        }
        action(path);
    });
}

void ProgramCommands::reapply() { plugin_.setProgram(plugin_.getProgram()); }

void ProgramCommands::loadBank() {
    choose(dialogFor(kBankKind, false), [this](const std::string& path) {
        ProgramMemory& memory = plugin_.programMemory();
        if (BankFiles::loadFile(memory, BankFiles::Format::Bank, 0, path) == kLoadSucceeded) {
            setBankFile(plugin_, path);
        }
        memory.spreadControllerMap();
        memory.terminateTexts();
        reapply();
    });
}

void ProgramCommands::saveBank() {
    choose(dialogFor(kBankKind, true, bankName(plugin_.bankFileText())), [this](const std::string& path) {
        BankFiles::saveFile(plugin_.programMemory(), BankFiles::Format::Bank, 0, path);
    });
}

void ProgramCommands::loadPreset() {
    choose(dialogFor(kPresetKind, false), [this](const std::string& path) {
        ProgramMemory& memory = plugin_.programMemory();
        {
            BankFileKeeper keeper(plugin_);
            if (BankFiles::loadFile(memory, BankFiles::Format::Preset, plugin_.getProgram(), path) != kLoadSucceeded) {
                return;
            }
            // Into program 0 the preset's map becomes everyone's; into any other program the
            // shared map is kept, so every program still carries program 0's.
            memory.spreadControllerMap();
        }
        reapply();
    });
}

void ProgramCommands::savePreset() {
    choose(dialogFor(kPresetKind, true, plugin_.programName(plugin_.getProgram())), [this](const std::string& path) {
        BankFiles::saveFile(plugin_.programMemory(), BankFiles::Format::Preset, plugin_.getProgram(), path);
    });
}

void ProgramCommands::openMenu() {
    const std::optional<int> chosen = chooser_.chooseMenuItem(kMenu);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(std::size(kMenu))) {
        return;
    }
    const int number = kMenu[*chosen].command;
    if (number != MenuItem::kInactive && number != MenuItem::kSeparator && number != kOpenMenu) {
        command(number, 1.0f);
    }
}

void ProgramCommands::copyProgram() {
    plugin_.programMemory().copyOut(ProgramMemory::offsetOf(plugin_.getProgram()), kProgramBytes,
                                    reinterpret_cast<std::uint8_t*>(clipboard_.get()));
    clipboardFull_ = true;
}

void ProgramCommands::pasteProgram() {
    if (!clipboardFull_) {
        return;
    }
    ProgramMemory& memory = plugin_.programMemory();
    const int program = plugin_.getProgram();
    ProgramRecord pasted = *clipboard_;
    // Assignments made since the copy stay: the map is shared by all programs.
    std::memcpy(pasted.controllers, memory.record(0).controllers, sizeof pasted.controllers);
    pasted.name[kProgramNameBytes - 1] = '\0';
    const std::size_t length = std::strlen(pasted.name);
    if (length < kPastedNameLimit) {
        pasted.name[length] = kPastedMark;
        pasted.name[length + 1] = '\0';
    }
    {
        BankFileKeeper keeper(plugin_);
        memory.copyIn(ProgramMemory::offsetOf(program), &pasted, kProgramBytes);
    }
    reapply();
}

void ProgramCommands::loadControllerMap() {
    choose(dialogFor(kMapKind, false), [this](const std::string& path) {
        ProgramMemory& memory = plugin_.programMemory();
        if (BankFiles::loadFile(memory, BankFiles::Format::ControllerMap, 0, path) == kLoadSucceeded) {
            memory.spreadControllerMap();
        }
    });
}

void ProgramCommands::saveControllerMap() {
    choose(dialogFor(kMapKind, true), [this](const std::string& path) {
        BankFiles::saveFile(plugin_.programMemory(), BankFiles::Format::ControllerMap, 0, path);
    });
}

void ProgramCommands::loadSection(int section) {
    const SectionDefinition* definition = SectionPresets::section(section);
    choose(dialogFor(*definition, false), [this, section, definition](const std::string& path) {
        ProgramRecord& record = plugin_.programMemory().record(plugin_.getProgram());
        if (!SectionPresets::loadFile(record, section, path)) {
            return;
        }
        for (const std::uint16_t entry : definition->entries) {
            const int id = entry & SectionPresets::kIdMask;
            if ((entry & SectionPresets::kTextEntry) == 0 && id < kProgramParameters) {
                plugin_.setParameterAutomated(id, ProgramMemory::value(record, id));
            }
        }
    });
}

void ProgramCommands::saveSection(int section) {
    const char* program = plugin_.programName(plugin_.getProgram());
    choose(dialogFor(*SectionPresets::section(section), true, program), [this, section](const std::string& path) {
        SectionPresets::saveFile(plugin_.programMemory().record(plugin_.getProgram()), section, path);
    });
}
