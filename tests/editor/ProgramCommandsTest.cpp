#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/ProgramCommands.h"
#include "host/QX_DSP_VST.h"
#include "params/BankFiles.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

// Answers the dialogs from a script and remembers what was asked.
class ScriptedChooser : public FileChooser {
public:
    void chooseFile(const FileDialog& dialog, FileChosen chosen) override {
        asked.push_back(dialog);
        if (answers.empty()) {
            return;
        }
        const std::optional<std::string> answer = answers.front();
        answers.pop_front();
        if (answer) {
            chosen(*answer);
        }
    }
    std::optional<int> chooseMenuItem(std::span<const MenuItem> items) override {
        menu.assign(items.begin(), items.end());
        return menuAnswer;
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<FileDialog> asked;
    std::vector<MenuItem> menu;
    std::optional<int> menuAnswer;
};

std::filesystem::path userFolder() { return std::getenv("VELKOR_USER_DIR"); }

class EditorProgramCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.open(), nullptr);
        std::filesystem::create_directories(userFolder() / "Banks");
        std::filesystem::create_directories(userFolder() / "Presets");
        commands = std::make_unique<ProgramCommands>(core(), chooser);
    }
    QX_DSP_VST& core() { return pluginOf(host.effect); }
    ProgramMemory& memory() { return core().programMemory(); }
    std::vector<std::uint8_t> bank() {
        std::vector<std::uint8_t> bytes(kBankBytes);
        memory().copyOut(0, kBankBytes, bytes.data());
        return bytes;
    }
    void run(int command, std::optional<std::string> answer = std::nullopt) {
        chooser.answers.push_back(std::move(answer));
        commands->command(command, 1.0f);
    }
    std::string path(const char* name) { return (userFolder() / name).string(); }

    TestHost host;
    ScriptedChooser chooser;
    std::unique_ptr<ProgramCommands> commands;
};

struct DialogCase {
    int command;
    const char* title;
    const char* caption;
    const char* folder;
    const char* extension;
    int x;
    int y;
    bool save;
};

const DialogCase kDialogs[] = {
    {50, "LOAD BANK", "LOAD Velkor_2 Preset Bank", "Banks/", ".Bnk", -1, -1, false},
    {51, "SAVE BANK", "SAVE Velkor_2 Preset Bank", "Banks/", ".Bnk", -1, -1, true},
    {55, "LOAD PRESET", "LOAD Velkor_2 Preset", "Presets/", ".pst", -1, -1, false},
    {56, "SAVE PRESET", "SAVE Velkor_2 Preset", "Presets/", ".pst", -1, -1, true},
    {68, "LOAD MIDI CC MAP", "LOAD Velkor MIDI CC Map", "Presets/", ".mmp", -1, -1, false},
    {69, "SAVE MIDI CC MAP", "SAVE Velkor MIDI CC Map", "Presets/", ".mmp", -1, -1, true},
    {70, "LOAD SEQ PRESET", "LOAD SEQ PRESET", "Presets/", ".SQp", 500, 262, false},
    {71, "LOAD OSC PRESET", "LOAD OSC PRESET", "Presets/", ".OSp", 126, 203, false},
    {72, "LOAD FILTER PRESET", "LOAD FILTER PRESET", "Presets/", ".FLp", 720, 16, false},
    {73, "LOAD ECHO PRESET", "LOAD ECHO PRESET", "Presets/", ".ECp", 500, 462, false},
    {80, "SAVE SEQ PRESET", "SAVE SEQ PRESET", "Presets/", ".SQp", 500, 262, true},
    {83, "SAVE ECHO PRESET", "SAVE ECHO PRESET", "Presets/", ".ECp", 500, 462, true},
};

TEST_F(EditorProgramCommands, EachFileCommandAsksItsDialogAndACancelChangesNothing) {
    const std::vector<std::uint8_t> before = bank();
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(c.command);
        chooser.asked.clear();
        run(c.command);  // cancelled
        ASSERT_EQ(chooser.asked.size(), 1u);
        const FileDialog& d = chooser.asked[0];
        EXPECT_STREQ(d.title, c.title);
        EXPECT_STREQ(d.caption, c.caption);
        EXPECT_EQ(d.folder, (userFolder() / c.folder).string());
        EXPECT_STREQ(d.extension, c.extension);
        EXPECT_EQ(d.x, c.x);
        EXPECT_EQ(d.y, c.y);
        EXPECT_EQ(d.save, c.save);
    }
    EXPECT_EQ(bank(), before);
    EXPECT_TRUE(std::filesystem::is_empty(userFolder() / "Presets"));
}

// A save dialog starts from the name the file would naturally get.
TEST_F(EditorProgramCommands, ASaveSuggestsTheProgramOrTheBankName) {
    host.dispatch(effSetProgram, 0, 2);
    std::strcpy(core().programName(2), "Two");
    std::strcpy(core().bankFileText(), "/x/y/My Set.bnk");
    struct NameCase {
        int command;
        const char* name;
    };
    const NameCase cases[] = {{56, "Two"}, {80, "Two"}, {51, "My Set"}, {69, ""}, {55, ""}, {50, ""}, {70, ""}};
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.command);
        chooser.asked.clear();
        run(c.command);
        ASSERT_EQ(chooser.asked.size(), 1u);
        EXPECT_EQ(chooser.asked[0].name, c.name);
    }
}

TEST_F(EditorProgramCommands, ReleasesAndUnknownCommandsDoNothing) {
    for (const int command : {50, 51, 55, 59, 61, 63, 70, 83}) {
        commands->command(command, 0.0f);
        commands->command(command, std::numeric_limits<float>::quiet_NaN());
    }
    for (const int command : {52, 57, 58, 65, 74, 84, 100, -1}) {
        commands->command(command, 1.0f);
    }
    EXPECT_TRUE(chooser.asked.empty());
    EXPECT_TRUE(chooser.menu.empty());
    EXPECT_FALSE(commands->clipboardFull());
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
}

TEST_F(EditorProgramCommands, ABankSavedLoadsBackAndNamesItselfTheBankFile) {
    std::strcpy(core().programName(5), "Saved five");
    run(51, path("Banks/Mine"));  // the extension is added
    ASSERT_TRUE(std::filesystem::exists(path("Banks/Mine.Bnk")));
    const std::vector<std::uint8_t> saved = bank();

    std::strcpy(core().programName(5), "Changed");
    memory().record(7).values[15] = 0.25f;
    run(50, path("Banks/Mine.Bnk"));
    EXPECT_STREQ(core().programName(5), "Saved five");
    EXPECT_STREQ(core().bankFileText(), path("Banks/Mine.Bnk").c_str());
    const std::vector<std::uint8_t> loaded = bank();
    EXPECT_EQ(std::memcmp(loaded.data() + ProgramMemory::offsetOf(1), saved.data() + ProgramMemory::offsetOf(1),
                          kBankBytes - kProgramBytes),
              0);

    // A fresh instance starting from this bank as its default holds the same programs.
    std::filesystem::copy_file(path("Banks/Mine.Bnk"), path("Banks/Default.Bnk"));
    TestHost fresh;
    ASSERT_NE(fresh.open(), nullptr);
    std::vector<std::uint8_t> theirs(kBankBytes);
    pluginOf(fresh.effect).programMemory().copyOut(0, kBankBytes, theirs.data());
    EXPECT_EQ(std::memcmp(theirs.data() + kProgramBytes, loaded.data() + kProgramBytes, kBankBytes - kProgramBytes),
              0);
    std::filesystem::remove(path("Banks/Default.Bnk"));
}

TEST_F(EditorProgramCommands, ABankWithoutTheMagicKeepsMemoryAndTheBankFileName) {
    {
        std::ofstream out(path("Banks/Bad.Bnk"), std::ios::binary);
        out << "XLKR" << std::string(9000, 'z');
    }
    std::strcpy(core().bankFileText(), "/earlier.Bnk");
    memory().record(9).controllers[20] = 77;  // not program 0's map: the load puts that back
    const std::uint16_t shared = memory().record(0).controllers[20];
    run(50, path("Banks/Bad.Bnk"));
    EXPECT_STREQ(core().bankFileText(), "/earlier.Bnk");
    EXPECT_EQ(memory().record(9).controllers[20], shared);
    run(50, path("Banks/Missing.Bnk"));
    EXPECT_STREQ(core().bankFileText(), "/earlier.Bnk");
}

TEST_F(EditorProgramCommands, APresetGoesIntoTheCurrentProgramAndTheMapStaysShared) {
    core().setParameterController(15, kNoController);
    host.dispatch(effSetProgram, 0, 3);
    std::strcpy(core().programName(3), "Three");
    memory().record(3).values[15] = 0.75f;
    run(56, path("Presets/Three.pst"));
    ASSERT_EQ(std::filesystem::file_size(path("Presets/Three.pst")), 4u + kProgramBytes);

    // Its map differs from the shared one: into program 3 the shared map stays.
    std::vector<std::uint8_t> file = BankFiles::image(memory(), BankFiles::Format::Preset, 3);
    auto* record = reinterpret_cast<ProgramRecord*>(file.data() + 4);
    record->controllers[15] = 40;
    {
        std::ofstream out(path("Presets/Mapped.pst"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    std::strcpy(core().bankFileText(), "/kept.Bnk");
    host.dispatch(effSetProgram, 0, 8);
    run(55, path("Presets/Mapped.pst"));
    EXPECT_EQ(host.text(effGetProgramName), "Three");
    EXPECT_EQ(host.effect->getParameter(host.effect, 15), 0.75f);
    EXPECT_EQ(core().getParameterController(15), kNoController);
    EXPECT_EQ(memory().record(8).controllers[15], kNoController);

    // Into program 0 the preset's map becomes everyone's, and the bank file name stays.
    host.dispatch(effSetProgram, 0, 0);
    run(55, path("Presets/Mapped.pst"));
    EXPECT_EQ(core().getParameterController(15), 40);
    EXPECT_EQ(memory().record(127).controllers[15], 40);
    EXPECT_STREQ(core().bankFileText(), "/kept.Bnk");
}

TEST_F(EditorProgramCommands, PasteMarksTheNameAndKeepsWhatIsShared) {
    const std::vector<std::uint8_t> before = bank();
    commands->command(ProgramCommands::kPasteProgram, 1.0f);  // empty clipboard
    EXPECT_EQ(bank(), before);

    struct NameCase {
        const char* name;
        const char* pasted;
    };
    const NameCase names[] = {
        {"Lead", "Lead*"},
        {"", "*"},
        {"ABCDEFGHIJKLMNOPQRSTUVWX", "ABCDEFGHIJKLMNOPQRSTUVWX*"},
    };
    for (const NameCase& c : names) {
        SCOPED_TRACE(c.name);
        host.dispatch(effSetProgram, 0, 2);
        std::strcpy(core().programName(2), c.name);
        memory().record(2).values[15] = 0.125f;
        commands->command(ProgramCommands::kCopyProgram, 1.0f);
        EXPECT_TRUE(commands->clipboardFull());
        host.dispatch(effSetProgram, 0, 6);
        core().setParameterController(30, 99);  // assigned after the copy
        std::strcpy(core().bankFileText(), "/bank.Bnk");
        commands->command(ProgramCommands::kPasteProgram, 1.0f);
        EXPECT_STREQ(core().programName(6), c.pasted);
        EXPECT_EQ(host.text(effGetProgramName), std::string(c.pasted).substr(0, 24));
        EXPECT_EQ(host.effect->getParameter(host.effect, 15), 0.125f);
        EXPECT_EQ(memory().record(6).controllers[30], 99);
        EXPECT_STREQ(core().bankFileText(), "/bank.Bnk");
    }
    std::strcpy(core().programName(6), "ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25: no room for a mark
    commands->command(ProgramCommands::kCopyProgram, 1.0f);
    commands->command(ProgramCommands::kPasteProgram, 1.0f);
    EXPECT_STREQ(core().programName(6), "ABCDEFGHIJKLMNOPQRSTUVWXY");
}

TEST_F(EditorProgramCommands, ProgramsStepAndSelectWithoutWrapping) {
    struct StepCase {
        int from;
        int command;
        float value;
        int to;
    };
    const StepCase steps[] = {
        {0, 61, 1.0f, 1}, {127, 61, 1.0f, 127}, {5, 62, 1.0f, 4},     {0, 62, 1.0f, 0},
        {0, 60, 5.7f, 5}, {9, 60, 0.0f, 0},     {9, 60, 128.0f, 9},   {9, 60, -1.0f, 9},
    };
    for (const StepCase& s : steps) {
        host.dispatch(effSetProgram, 0, s.from);
        commands->command(s.command, s.value);
        EXPECT_EQ(host.dispatch(effGetProgram), s.to) << s.from << " " << s.command << " " << s.value;
    }
}

TEST_F(EditorProgramCommands, TheMenuIssuesTheChosenCommand) {
    chooser.menuAnswer = 4;  // "Load Midi CC Map"
    commands->command(ProgramCommands::kOpenMenu, 1.0f);
    ASSERT_EQ(chooser.menu.size(), 7u);
    EXPECT_EQ(chooser.menu[0].command, MenuItem::kInactive);
    const char* texts[] = {"Load Bank", "Save Bank", "", "Load Midi CC Map", "Save Midi CC Map", "Exit"};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_STREQ(chooser.menu[i + 1].text, texts[i]);
    }
    ASSERT_EQ(chooser.asked.size(), 1u);
    EXPECT_STREQ(chooser.asked[0].title, "LOAD MIDI CC MAP");
    for (const int item : {0, 3, 6, 7, -1}) {  // inactive, separator, exit, outside
        chooser.menuAnswer = item;
        commands->command(ProgramCommands::kOpenMenu, 1.0f);
    }
    chooser.menuAnswer.reset();
    commands->command(ProgramCommands::kOpenMenu, 1.0f);
    EXPECT_EQ(chooser.asked.size(), 1u);
}

TEST_F(EditorProgramCommands, AControllerMapRoundTripsIntoEveryProgram) {
    core().setParameterController(15, 21);
    core().setParameterController(53, 205);
    run(69, path("Presets/Map.mmp"));
    ASSERT_EQ(std::filesystem::file_size(path("Presets/Map.mmp")), 4u + 666u);
    core().setParameterController(15, kNoController);
    core().setParameterController(53, 7);
    run(68, path("Presets/Map.mmp"));
    for (const int program : {0, 1, 64, 127}) {
        EXPECT_EQ(memory().record(program).controllers[15], 21);
        EXPECT_EQ(memory().record(program).controllers[53], 205);
    }
}

TEST_F(EditorProgramCommands, ASectionPresetLoadsIntoTheCurrentProgramAndTellsTheHost) {
    constexpr int kEcho = 3;
    host.dispatch(effSetProgram, 0, 4);
    host.effect->setParameter(host.effect, 169, 0.625f);  // "Echo FBK"
    run(ProgramCommands::kSaveSection + kEcho, path("Presets/Echo"));
    ASSERT_TRUE(std::filesystem::exists(path("Presets/Echo.ECp")));
    host.effect->setParameter(host.effect, 169, 0.0f);
    host.effect->setParameter(host.effect, 83, 0.5f);  // not in the echo list
    host.automations.clear();
    run(ProgramCommands::kLoadSection + kEcho, path("Presets/Echo.ECp"));
    EXPECT_EQ(host.effect->getParameter(host.effect, 169), 0.625f);
    EXPECT_EQ(host.effect->getParameter(host.effect, 83), 0.5f);
    std::vector<int> told;
    for (const auto& a : host.automations) {
        told.push_back(a.index);
    }
    EXPECT_EQ(told, (std::vector<int>{163, 165, 166, 167, 168, 169, 170, 171, 172, 173, 210, 162}));
}

}  // namespace
