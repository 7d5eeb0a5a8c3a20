// The desktop's file dialog through the real plug-in's headless editor, with a stand-in zenity on
// the PATH: the dialog runs beside the editor, which keeps ticking, and its answer comes on an
// idle pass.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "params/BankFiles.h"
#include "platform/Platform.h"
#include "support/Eventually.h"
#include "support/TestHost.h"
#include "toolkit/Frame.h"

namespace {

using namespace vst;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kLoadPreset = 398;
constexpr int kSavePreset = 399;
constexpr int kShownParameter = 83;

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Sets an environment variable until the end of the test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class EditorDesktopFileChooser : public ::testing::Test {
protected:
    static std::string makeFolder() {
        std::string pattern = (fs::temp_directory_path() / "velkor-desktop-chooser-XXXXXX").string();
        return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }

    void SetUp() override {
        ASSERT_FALSE(folder_.empty());
        fs::create_directories(folder_ / "Presets");
        ASSERT_NE(host.open(), nullptr);
        host.start(44100.0f, 128);
        open();
    }
    void TearDown() override {
        host.close();
        fs::remove_all(folder_);
    }

    void open() {
        ASSERT_EQ(host.dispatch(effEditOpen), 1);
        editor().fileChooser().setDialogStarter([this](const FileDialog& dialog) {
            ++dialogsStarted;
            return platform::startFileDialog(dialog);
        });
    }
    QX_DSP_VST& plugin() { return pluginOf(host.effect); }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(plugin().getEditor()); }
    std::string programName() { return host.text(effGetProgramName); }
    void idle() { host.dispatch(effEditIdle); }
    void press(int tag) {
        const toolkit::Rect r = editor().control(tag)->frameRect();
        const toolkit::Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        editor().frame()->mouseDown(toolkit::MouseEvent(centre));
        editor().frame()->mouseUp(toolkit::MouseEvent(centre));
        idle();
    }

    // A stand-in zenity running `body`.
    void addZenity(const std::string& body) {
        const fs::path path = folder_ / "bin" / "zenity";
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        chmod(path.c_str(), 0755);
    }
    // A zenity whose user answers `printed` and `status` once the test says so.
    void addWaitingZenity(const std::string& printed, int status) {
        addZenity("i=0; while [ ! -e '" + go().string() + "' ] && [ $i -lt 200 ]; do /bin/sleep 0.05; i=$((i+1)); done\n"
                  "echo '" + printed + "'\nexit " + std::to_string(status));
    }
    fs::path go() const { return folder_ / "go"; }
    // Idle passes until the running dialog has answered.
    bool answered() {
        return eventually([&] {
            idle();
            return !editor().fileChooser().dialogRunning();
        }, 20s);
    }

    // A preset file of the current program renamed `name`.
    fs::path writePreset(const std::string& file, const char* name) {
        const int program = plugin().getProgram();
        const std::string kept = plugin().programName(program);
        std::strcpy(plugin().programName(program), name);
        const std::vector<std::uint8_t> image =
            BankFiles::image(plugin().programMemory(), BankFiles::Format::Preset, program);
        std::strcpy(plugin().programName(program), kept.c_str());
        const fs::path path = folder_ / "Presets" / file;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        return path;
    }

    fs::path folder_ = makeFolder();
    const ScopedVariable userFolder_{"VELKOR_USER_DIR", folder_.string()};
    const ScopedVariable path_{"PATH", (folder_ / "bin").string()};
    const ScopedVariable desktop_{"XDG_CURRENT_DESKTOP", "GNOME"};
    TestHost host;
    int dialogsStarted = 0;
};

TEST_F(EditorDesktopFileChooser, TheEditorKeepsTickingWhileTheDialogIsOpenThenLoadsTheAnswer) {
    const fs::path preset = writePreset("Chosen.pst", "From Zenity");
    std::strcpy(plugin().programName(0), "Before");
    addWaitingZenity(preset.string(), 0);

    press(kLoadPreset);
    EXPECT_EQ(dialogsStarted, 1);
    EXPECT_TRUE(editor().fileChooser().dialogRunning());
    host.effect->setParameter(host.effect, kShownParameter, 0.25f);
    idle();
    EXPECT_FLOAT_EQ(editor().control(kShownParameter)->value(), 0.25f);
    EXPECT_EQ(editor().control(kLoadPreset)->value(), 0.0f);

    press(kLoadPreset);
    press(kSavePreset);
    EXPECT_EQ(dialogsStarted, 1) << "one dialog at a time";
    EXPECT_EQ(programName(), "Before");

    std::ofstream(go()) << "";
    ASSERT_TRUE(answered());
    EXPECT_EQ(programName(), "From Zenity");
}

TEST_F(EditorDesktopFileChooser, ACancelledDialogChangesNothing) {
    const fs::path preset = writePreset("Chosen.pst", "From Zenity");
    std::strcpy(plugin().programName(0), "Before");
    addWaitingZenity(preset.string(), 1);
    std::ofstream(go()) << "";
    press(kLoadPreset);
    ASSERT_TRUE(answered());
    EXPECT_EQ(programName(), "Before");
    EXPECT_EQ(editor().frame()->modal(), nullptr) << "a cancel is an answer: no chooser of the editor's own";

    press(kLoadPreset);
    EXPECT_EQ(dialogsStarted, 2) << "the next command asks again";
    ASSERT_TRUE(answered());
}

TEST_F(EditorDesktopFileChooser, ClosingTheEditorEndsTheDialogAndDropsItsAnswer) {
    const fs::path preset = writePreset("Chosen.pst", "From Zenity");
    std::strcpy(plugin().programName(0), "Before");
    const fs::path pidFile = folder_ / "pid";
    // Answers only if it lives long enough to.
    addZenity("echo $$ > '" + pidFile.string() + "'\n/bin/sleep 60\necho '" + preset.string() + "'");

    press(kLoadPreset);
    ASSERT_TRUE(eventually([&] { return contentsOf(pidFile).find('\n') != std::string::npos; }, 20s));
    const pid_t dialog = std::stoi(contentsOf(pidFile));
    EXPECT_EQ(kill(dialog, 0), 0);

    host.dispatch(effEditClose);
    int status = 0;
    EXPECT_EQ(waitpid(dialog, &status, WNOHANG), -1) << "killed and reaped";
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(kill(dialog, 0), -1);

    open();
    idle();
    EXPECT_EQ(programName(), "Before");
    EXPECT_FALSE(editor().fileChooser().dialogRunning());
}

}  // namespace
