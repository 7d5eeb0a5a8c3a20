// Loading and saving through the real plug-in's headless editor on a desktop with no dialog
// program: the editor lists the folder's files in a menu to load one, and asks for a name in a
// box of its own to save one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "editor/FileNameBox.h"
#include "editor/FolderFileChooser.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "params/BankFiles.h"
#include "support/TestHost.h"
#include "toolkit/Frame.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/TextEntry.h"

namespace {

using namespace vst;
namespace fs = std::filesystem;

constexpr int kLoadPreset = 398;
constexpr int kSavePreset = 399;
constexpr int kBankMenu = 400;

toolkit::Point centreOf(const toolkit::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::vector<std::string> filesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class EditorFolderFileChooser : public ::testing::Test {
protected:
    void SetUp() override {
        // A user folder of this test's own, so the files listed are only the ones made here.
        if (const char* old = std::getenv("VELKOR_USER_DIR")) {
            oldUserFolder_ = old;
        }
        std::string pattern = (fs::temp_directory_path() / "velkor-chooser-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        setenv("VELKOR_USER_DIR", folder_.c_str(), 1);
        fs::create_directories(presets());

        ASSERT_NE(host.open(), nullptr);
        host.start(44100.0f, 128);
        ASSERT_EQ(host.dispatch(effEditOpen), 1);
        editor().fileChooser().setDialogStarter([this](const FileDialog&) {
            ++dialogsAsked;
            return std::unique_ptr<platform::FileDialogProcess>();
        });
    }
    void TearDown() override {
        host.close();
        oldUserFolder_ ? setenv("VELKOR_USER_DIR", oldUserFolder_->c_str(), 1) : unsetenv("VELKOR_USER_DIR");
        fs::remove_all(folder_);
    }

    QX_DSP_VST& plugin() { return pluginOf(host.effect); }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(plugin().getEditor()); }
    toolkit::Frame& frame() { return *editor().frame(); }
    fs::path userFolder() const { return folder_; }
    fs::path presets() const { return folder_ / "Presets"; }
    std::string programName() { return host.text(effGetProgramName); }

    void click(toolkit::Point p) {
        frame().mouseDown(toolkit::MouseEvent(p));
        frame().mouseUp(toolkit::MouseEvent(p));
        host.dispatch(effEditIdle);
    }
    void press(int tag) {
        toolkit::Control* button = editor().control(tag);
        ASSERT_NE(button, nullptr);
        click(centreOf(button->frameRect()));
    }
    // A point of the frame outside the open modal view.
    toolkit::Point beside() {
        const toolkit::Rect shown = frame().modal()->frameRect();
        const toolkit::Rect whole = frame().rect();
        for (const toolkit::Point p : {toolkit::Point{whole.left, whole.bottom - 1}, toolkit::Point{whole.right - 1, 0}}) {
            if (!shown.contains(p)) {
                return p;
            }
        }
        ADD_FAILURE() << "no room beside the modal view";
        return {};
    }
    toolkit::PopupMenu* fileMenu() { return dynamic_cast<toolkit::PopupMenu*>(frame().modal()); }
    FileNameBox* nameBox() { return dynamic_cast<FileNameBox*>(frame().modal()); }
    void key(toolkit::Key which) { frame().keyDown(toolkit::KeyEvent(which)); }
    void type(const std::string& text) {
        for (const char c : text) {
            frame().keyDown(toolkit::KeyEvent(toolkit::Key::Character, static_cast<char32_t>(c)));
        }
    }
    // Replaces the name in the open box.
    void retype(const std::string& name) {
        key(toolkit::Key::End);
        for (std::size_t i = nameBox()->entry().text().size(); i > 0; --i) {
            key(toolkit::Key::Backspace);
        }
        type(name);
    }
    // A preset file of the current program renamed `name`; the program keeps its own name.
    void writePreset(const std::string& file, const char* name) {
        const int program = plugin().getProgram();
        std::string kept = plugin().programName(program);
        std::strcpy(plugin().programName(program), name);
        const std::vector<std::uint8_t> image =
            BankFiles::image(plugin().programMemory(), BankFiles::Format::Preset, program);
        std::strcpy(plugin().programName(program), kept.c_str());
        std::ofstream out(presets() / file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    TestHost host;
    int dialogsAsked = 0;

private:
    fs::path folder_;
    std::optional<std::string> oldUserFolder_;
};

TEST_F(EditorFolderFileChooser, LoadListsTheFolderPresetsAndLoadsTheChosenOne) {
    writePreset("b.pst", "Bee");
    writePreset("A.PST", "Upper");
    writePreset("Zed.pst", "From Zed");
    writePreset("c.pst.txt", "Not a preset name");
    writePreset("d.Bnk", "Not a preset either");
    fs::create_directories(presets() / "folder.pst");
    std::strcpy(plugin().programName(0), "Before");

    frame().mouseDown(toolkit::MouseEvent(centreOf(editor().control(kLoadPreset)->frameRect())));
    EXPECT_EQ(dialogsAsked, 1) << "the desktop was asked first";
    EXPECT_EQ(frame().modal(), nullptr) << "the menu waits for the button's release";
    frame().mouseUp(toolkit::MouseEvent(centreOf(editor().control(kLoadPreset)->frameRect())));
    host.dispatch(effEditIdle);
    EXPECT_EQ(editor().control(kLoadPreset)->value(), 0.0f);
    toolkit::PopupMenu* menu = fileMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> listed;
    for (const toolkit::MenuItem& item : menu->items()) {
        listed.push_back(item.text);
        EXPECT_TRUE(item.enabled);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"A.PST", "b.pst", "Zed.pst"}));
    EXPECT_EQ(programName(), "Before");

    click(centreOf(menu->itemRect(2)));
    EXPECT_EQ(frame().modal(), nullptr);
    EXPECT_EQ(programName(), "From Zed");

    press(kLoadPreset);
    ASSERT_NE(fileMenu(), nullptr);
    click(centreOf(fileMenu()->itemRect(0)));
    EXPECT_EQ(programName(), "Upper");
}

TEST_F(EditorFolderFileChooser, AnEmptyFolderSaysSoAndEscapeOrAClickBesideCancels) {
    std::strcpy(plugin().programName(0), "Kept");
    for (const bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "Escape" : "click beside");
        press(kLoadPreset);
        toolkit::PopupMenu* menu = fileMenu();
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->items().size(), 1u);
        EXPECT_EQ(menu->items()[0].text, FolderFileChooser::kNoFiles);
        EXPECT_FALSE(menu->items()[0].enabled);
        click(centreOf(menu->itemRect(0)));
        EXPECT_EQ(frame().modal(), menu) << "the line cannot be chosen";
        byKey ? key(toolkit::Key::Escape) : click(beside());
        EXPECT_EQ(frame().modal(), nullptr);
    }
    EXPECT_EQ(programName(), "Kept");
}

TEST_F(EditorFolderFileChooser, SaveAsksForANameStartingFromTheProgramName) {
    std::strcpy(plugin().programName(0), "Warm Pad");
    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    EXPECT_EQ(nameBox()->entry().text(), "Warm Pad.pst");
    key(toolkit::Key::Enter);
    EXPECT_EQ(frame().modal(), nullptr);
    ASSERT_TRUE(fs::exists(presets() / "Warm Pad.pst"));
    EXPECT_EQ(fs::file_size(presets() / "Warm Pad.pst"), 4u + kProgramBytes);

    // A typed name gets the extension; the file holds the program as it is.
    std::strcpy(plugin().programName(0), "Renamed");
    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    retype("Mine");
    key(toolkit::Key::Enter);
    EXPECT_EQ(frame().modal(), nullptr);
    EXPECT_EQ(filesOf(presets()), (std::vector<std::string>{"Mine.pst", "Warm Pad.pst"}));
    std::strcpy(plugin().programName(0), "Changed");
    press(kLoadPreset);
    ASSERT_NE(fileMenu(), nullptr);
    click(centreOf(fileMenu()->itemRect(0)));
    EXPECT_EQ(programName(), "Renamed");
}

TEST_F(EditorFolderFileChooser, AProgramNameThatCannotNameAFileStartsAsUntitled) {
    std::strcpy(plugin().programName(0), "A/B");
    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    EXPECT_EQ(nameBox()->entry().text(), "A-B.pst");
    key(toolkit::Key::Escape);
    std::strcpy(plugin().programName(0), " .. ");
    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    EXPECT_EQ(nameBox()->entry().text(), "Untitled.pst");
    key(toolkit::Key::Escape);
    EXPECT_TRUE(fs::is_empty(presets()));
}

TEST_F(EditorFolderFileChooser, RefusedNamesSaveNothingAndCancelsLeaveNoFile) {
    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    for (const char* name : {"", "   ", "a/b", "a\\b", "..", "up..pst", "/abs"}) {
        SCOPED_TRACE(name);
        retype(name);
        key(toolkit::Key::Enter);
        ASSERT_NE(nameBox(), nullptr) << "the box stays for another name";
        EXPECT_FALSE(nameBox()->refusal().empty());
    }
    key(toolkit::Key::Escape);
    EXPECT_EQ(frame().modal(), nullptr);

    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    retype("Clicked away");
    click(beside());
    EXPECT_EQ(frame().modal(), nullptr);
    EXPECT_TRUE(fs::is_empty(presets()));
}

TEST_F(EditorFolderFileChooser, AnExistingFileIsReplacedOnlyWhenAskedTwice) {
    writePreset("Old.pst", "Old one");
    const auto before = fs::file_size(presets() / "Old.pst");
    std::ofstream(presets() / "Old.pst", std::ios::app) << "marker";
    std::strcpy(plugin().programName(0), "New one");
    press(kSavePreset);
    ASSERT_NE(nameBox(), nullptr);
    retype("Old");
    key(toolkit::Key::Enter);
    ASSERT_NE(nameBox(), nullptr);
    EXPECT_NE(nameBox()->refusal().find("Old.pst"), std::string::npos);
    EXPECT_EQ(fs::file_size(presets() / "Old.pst"), before + 6);
    key(toolkit::Key::Enter);
    EXPECT_EQ(frame().modal(), nullptr);
    EXPECT_EQ(fs::file_size(presets() / "Old.pst"), before);
}

TEST_F(EditorFolderFileChooser, TheBankMenuLeadsToTheFileMenuAndTheBankSaveMakesItsFolder) {
    ASSERT_FALSE(fs::exists(userFolder() / "Banks"));
    press(kBankMenu);
    toolkit::PopupMenu* options = fileMenu();
    ASSERT_NE(options, nullptr);
    ASSERT_EQ(options->items()[2].text, "Save Bank");
    click(centreOf(options->itemRect(2)));
    ASSERT_NE(nameBox(), nullptr) << "the bank menu's choice opens the name box";
    EXPECT_EQ(nameBox()->entry().text(), "Untitled.Bnk");
    retype("Set");
    key(toolkit::Key::Enter);
    EXPECT_EQ(fs::file_size(userFolder() / "Banks" / "Set.Bnk"), 4u + kBankBytes);

    std::strcpy(plugin().bankFileText(), "");
    press(kBankMenu);
    ASSERT_NE(fileMenu(), nullptr);
    click(centreOf(fileMenu()->itemRect(1)));  // "Load Bank"
    toolkit::PopupMenu* files = fileMenu();
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->items().size(), 1u);
    EXPECT_EQ(files->items()[0].text, "Set.Bnk");
    click(centreOf(files->itemRect(0)));
    EXPECT_EQ(std::string(plugin().bankFileText()), (userFolder() / "Banks" / "Set.Bnk").string());
}

// Closing the editor with a chooser asked for or open leaves nothing behind that could answer
// later.
TEST_F(EditorFolderFileChooser, ClosingTheEditorDropsAChooser) {
    writePreset("Later.pst", "Later");
    std::strcpy(plugin().programName(0), "Now");
    for (const int button : {kLoadPreset, kSavePreset}) {
        for (const bool opened : {true, false}) {
            SCOPED_TRACE(testing::Message() << button << (opened ? " open" : " asked for"));
            if (opened) {
                press(button);
                ASSERT_NE(frame().modal(), nullptr);
            } else {
                const toolkit::Point at = centreOf(editor().control(button)->frameRect());
                frame().mouseDown(toolkit::MouseEvent(at));
                frame().mouseUp(toolkit::MouseEvent(at));
            }
            host.dispatch(effEditClose);
            EXPECT_FALSE(editor().fileChooser().inEditor().isOpen());
            ASSERT_EQ(host.dispatch(effEditOpen), 1);
            host.dispatch(effEditIdle);
            EXPECT_EQ(frame().modal(), nullptr);
            key(toolkit::Key::Enter);
            EXPECT_EQ(programName(), "Now");
            EXPECT_EQ(filesOf(presets()), std::vector<std::string>{"Later.pst"});
        }
    }
}

}  // namespace
