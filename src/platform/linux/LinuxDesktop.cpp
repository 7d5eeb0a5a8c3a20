// Links and file dialogs on a Linux desktop, through the programs desktops ship for scripts:
// xdg-open, and zenity or kdialog.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/FileChooser.h"
#include "platform/Platform.h"
#include "platform/linux/ArgumentVector.h"
#include "platform/linux/SpawnedFileDialog.h"

extern char** environ;

namespace platform {

namespace {

// Starts `arguments` with no input and no output. False when the program cannot start.
bool spawn(const std::vector<std::string>& arguments, pid_t& child) {
    std::vector<char*> argv = argumentVector(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0;
}

// Returns at once when the child was reaped already (a host that ignores SIGCHLD).
void reap(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

// ".Bnk" -> "*.[bB][nN][kK]": files saved on Windows come in any case.
std::string patternFor(const char* extension) {
    std::string pattern = "*";
    for (const char* c = extension; *c != '\0'; ++c) {
        const auto letter = static_cast<unsigned char>(*c);
        if (std::isalpha(letter) != 0) {
            pattern += {'[', static_cast<char>(std::tolower(letter)), static_cast<char>(std::toupper(letter)), ']'};
        } else {
            pattern += *c;
        }
    }
    return pattern;
}

std::vector<std::string> zenityArguments(const FileDialog& dialog) {
    std::vector<std::string> arguments = {"zenity", "--file-selection", std::string("--title=") + dialog.title,
                                          "--filename=" + dialog.folder};
    if (dialog.save) {
        arguments.insert(arguments.end(), {"--save", "--confirm-overwrite"});
    }
    arguments.push_back(std::string("--file-filter=") + dialog.filter + " | " + patternFor(dialog.extension));
    arguments.push_back("--file-filter=All files | *");
    return arguments;
}

std::vector<std::string> kdialogArguments(const FileDialog& dialog) {
    return {"kdialog", "--title", dialog.title, dialog.save ? "--getsavefilename" : "--getopenfilename",
            dialog.folder, patternFor(dialog.extension) + "|" + dialog.filter};
}

bool onKde() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop != nullptr && std::strstr(desktop, "KDE") != nullptr;
}

}  // namespace

void openLink(const std::string& url) {
    // The shell starts xdg-open in the background and exits at once: we reap only the shell,
    // and xdg-open, left to init, takes as long as it likes.
    pid_t shell = 0;
    if (spawn({"/bin/sh", "-c", "xdg-open \"$1\" &", "sh", url}, shell)) {
        reap(shell);
    }
}

std::unique_ptr<FileDialogProcess> startFileDialog(const FileDialog& dialog) {
    const std::vector<std::string> zenity = zenityArguments(dialog);
    const std::vector<std::string> kdialog = kdialogArguments(dialog);
    const bool kdeFirst = onKde();
    // Only a missing program sends us to the other one.
    std::unique_ptr<FileDialogProcess> started = SpawnedFileDialog::start(kdeFirst ? kdialog : zenity);
    if (!started) {
        started = SpawnedFileDialog::start(kdeFirst ? zenity : kdialog);
    }
    return started;
}

}  // namespace platform
