#include "platform/linux/SpawnedFileDialog.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/ArgumentVector.h"

extern char** environ;

namespace platform {

std::unique_ptr<SpawnedFileDialog> SpawnedFileDialog::start(const std::vector<std::string>& arguments) {
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        return nullptr;
    }
    // Only our end: the program writes its answer the ordinary, blocking way.
    fcntl(channel[0], F_SETFL, fcntl(channel[0], F_GETFL) | O_NONBLOCK);

    std::vector<char*> argv = argumentVector(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, channel[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // A group of its own, so closing the editor can end whatever the program started too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    if (failed != 0) {
        close(channel[0]);
        return nullptr;
    }
    return std::unique_ptr<SpawnedFileDialog>(new SpawnedFileDialog(child, channel[0]));
}

SpawnedFileDialog::~SpawnedFileDialog() {
    if (!finished_) {
        kill(-child_, SIGKILL);
        int status = 0;
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    close(output_);
}

bool SpawnedFileDialog::finished() {
    if (finished_) {
        return true;
    }
    readPrinted();
    int status = 0;
    pid_t ended = 0;
    do {
        ended = waitpid(child_, &status, WNOHANG);
    } while (ended < 0 && errno == EINTR);
    if (ended == 0) {
        return false;
    }
    // A host that ignores SIGCHLD has the child reaped for it: the status is lost, and what it
    // printed must speak alone.
    accepted_ = ended == child_ ? WIFEXITED(status) && WEXITSTATUS(status) == 0 : true;
    readPrinted();
    finished_ = true;
    return true;
}

std::optional<std::string> SpawnedFileDialog::answer() const {
    std::string path = printed_;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) {
        path.pop_back();
    }
    if (!finished_ || !accepted_ || path.empty()) {
        return std::nullopt;
    }
    return path;
}

void SpawnedFileDialog::readPrinted() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(output_, buffer, sizeof buffer);
        if (got > 0) {
            printed_.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            return;
        }
    }
}

}  // namespace platform
