// Links and file dialogs on Linux, with stand-in xdg-open, zenity and kdialog scripts on the
// PATH that record how they were called and answer as a user would.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editor/FileChooser.h"
#include "support/Eventually.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Sets an environment variable (or clears it, for null) until the end of the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Running and not a zombie.
bool alive(pid_t pid) {
    const std::string stat = contentsOf("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t name = stat.rfind(')');
    return name != std::string::npos && name + 2 < stat.size() && stat[name + 2] != 'Z' && stat[name + 2] != 'X';
}

class PlatformLinuxDesktop : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velkor-desktop-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // A program on the PATH that writes its arguments, one a line, to "<name>.args".
    void addProgram(const std::string& name, const std::string& body) {
        const fs::path path = folder_ / name;
        std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                            << (folder_ / (name + ".args")).string() << "'\n"
                            << body << "\n";
        chmod(path.c_str(), 0755);
    }
    std::string argumentsOf(const std::string& name) const { return contentsOf(folder_ / (name + ".args")); }
    bool ran(const std::string& name) const { return fs::exists(folder_ / (name + ".args")); }

    FileDialog bankDialog(bool save) const {
        return FileDialog{save ? "SAVE BANK" : "LOAD BANK", "caption", "/home/u/Velkor_2/Banks/", ".Bnk",
                          "Velkor_2 Preset Banks (.Bnk)", FileDialog::kBesideButton, FileDialog::kBesideButton, save};
    }

    // What the stand-in user answers, once the dialog started without waiting for them.
    static std::optional<std::string> answerOf(const FileDialog& dialog) {
        const std::unique_ptr<FileDialogProcess> process = startFileDialog(dialog);
        if (process == nullptr) {
            ADD_FAILURE() << "no dialog started";
            return std::nullopt;
        }
        EXPECT_TRUE(eventually([&] { return process->finished(); }, 20s));
        return process->answer();
    }

    fs::path folder_;
};

TEST_F(PlatformLinuxDesktop, ZenityAsksForAFileToLoad) {
    addProgram("zenity", "echo /home/u/Velkor_2/Banks/My.Bnk");
    addProgram("kdialog", "exit 0");
    const ScopedVariable path("PATH", folder_.c_str());
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_EQ(answerOf(bankDialog(false)), "/home/u/Velkor_2/Banks/My.Bnk");
    EXPECT_EQ(argumentsOf("zenity"),
              "--file-selection\n--title=LOAD BANK\n--filename=/home/u/Velkor_2/Banks/\n"
              "--file-filter=Velkor_2 Preset Banks (.Bnk) | *.[bB][nN][kK]\n--file-filter=All files | *\n");
    EXPECT_FALSE(ran("kdialog"));
}

TEST_F(PlatformLinuxDesktop, ZenitySavesWithConfirmation) {
    addProgram("zenity", "echo '/tmp/a name with spaces.Bnk'");
    const ScopedVariable path("PATH", folder_.c_str());
    EXPECT_EQ(answerOf(bankDialog(true)), "/tmp/a name with spaces.Bnk");
    EXPECT_NE(argumentsOf("zenity").find("--save\n--confirm-overwrite\n"), std::string::npos);
}

TEST_F(PlatformLinuxDesktop, CancellingAnswersNothingAndAsksNoOneElse) {
    addProgram("zenity", "exit 1");
    addProgram("kdialog", "echo /somewhere/else.Bnk");
    const ScopedVariable path("PATH", folder_.c_str());
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", nullptr);
    EXPECT_EQ(answerOf(bankDialog(false)), std::nullopt);
    EXPECT_TRUE(ran("zenity"));
    EXPECT_FALSE(ran("kdialog"));
}

TEST_F(PlatformLinuxDesktop, KdialogServesWithoutZenityAndFirstOnKde) {
    addProgram("kdialog", "echo /home/u/Velkor_2/Banks/K.Bnk");
    const ScopedVariable path("PATH", folder_.c_str());
    EXPECT_EQ(answerOf(bankDialog(true)), "/home/u/Velkor_2/Banks/K.Bnk");
    EXPECT_EQ(argumentsOf("kdialog"), "--title\nSAVE BANK\n--getsavefilename\n/home/u/Velkor_2/Banks/\n"
                                      "*.[bB][nN][kK]|Velkor_2 Preset Banks (.Bnk)\n");

    addProgram("zenity", "echo /from/zenity.Bnk");
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(answerOf(bankDialog(false)), "/home/u/Velkor_2/Banks/K.Bnk");
    EXPECT_FALSE(ran("zenity"));
}

TEST_F(PlatformLinuxDesktop, NoDialogProgramSaysSoApartFromACancel) {
    const ScopedVariable path("PATH", folder_.c_str());
    EXPECT_EQ(startFileDialog(bankDialog(false)), nullptr);
}

TEST_F(PlatformLinuxDesktop, TheDialogRunsBesideTheCallerUntilTheUserAnswers) {
    // The stand-in user answers only once the test says so; it gives up on its own in case
    // starting waited for it.
    const fs::path go = folder_ / "go";
    addProgram("zenity", "i=0; while [ ! -e '" + go.string() + "' ] && [ $i -lt 200 ]; do /bin/sleep 0.05; i=$((i+1)); done\n"
                         "[ -e '" + go.string() + "' ] && echo /home/u/Velkor_2/Banks/Later.Bnk");
    const ScopedVariable path("PATH", folder_.c_str());
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", nullptr);
    const std::unique_ptr<FileDialogProcess> process = startFileDialog(bankDialog(false));
    ASSERT_NE(process, nullptr);
    EXPECT_FALSE(process->finished());
    EXPECT_EQ(process->answer(), std::nullopt);
    std::ofstream(go) << "";
    EXPECT_TRUE(eventually([&] { return process->finished(); }, 20s));
    EXPECT_EQ(process->answer(), "/home/u/Velkor_2/Banks/Later.Bnk");
}

TEST_F(PlatformLinuxDesktop, DroppingAnOpenDialogEndsItAndWhatItStarted) {
    addProgram("zenity", "echo $$ > '" + (folder_ / "shell").string() + "'\n/bin/sleep 60 &\necho $! > '" +
                             (folder_ / "sleeper").string() + "'\nwait");
    const ScopedVariable path("PATH", folder_.c_str());
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", nullptr);
    std::unique_ptr<FileDialogProcess> process = startFileDialog(bankDialog(false));
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(eventually([&] { return contentsOf(folder_ / "sleeper").find('\n') != std::string::npos; }, 20s));
    const pid_t shell = std::stoi(contentsOf(folder_ / "shell"));
    const pid_t sleeper = std::stoi(contentsOf(folder_ / "sleeper"));
    ASSERT_TRUE(alive(shell));
    ASSERT_TRUE(alive(sleeper));
    EXPECT_FALSE(process->finished());

    process.reset();
    int status = 0;
    EXPECT_EQ(waitpid(shell, &status, WNOHANG), -1) << "the program is reaped";
    EXPECT_EQ(errno, ECHILD);
    EXPECT_FALSE(alive(shell));
    EXPECT_TRUE(eventually([&] { return !alive(sleeper); }, 20s));
}

TEST_F(PlatformLinuxDesktop, OpenLinkReturnsBeforeTheBrowserIsDone) {
    // The stand-in browser finishes only once the test, after openLink returned, says so; it
    // gives up on its own in case openLink waited for it.
    const fs::path go = folder_ / "go";
    const fs::path opened = folder_ / "opened";
    addProgram("xdg-open", "i=0; while [ ! -e '" + go.string() + "' ] && [ $i -lt 100 ]; do /bin/sleep 0.1; i=$((i+1)); done\n"
                           "[ -e '" + go.string() + "' ] && printf '%s' \"$1\" > '" + opened.string() + "'");
    const ScopedVariable path("PATH", folder_.c_str());
    openLink("https://example.org/a?b=1&c=2");
    std::ofstream(go) << "";
    for (int i = 0; i < 1000 && contentsOf(opened).empty(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(contentsOf(opened), "https://example.org/a?b=1&c=2");
}

}  // namespace
}  // namespace platform
