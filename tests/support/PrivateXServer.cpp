#include "support/PrivateXServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

PrivateXServer::PrivateXServer() {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], kReadyFd);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // -noreset: between tests no client is left, and a resetting server refuses the next. The
    // screen holds the whole editor.
    char* argv[] = {const_cast<char*>("Xvfb"),     const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                    const_cast<char*>("-nolisten"), const_cast<char*>("tcp"),        const_cast<char*>("-noreset"),
                    const_cast<char*>("-screen"),   const_cast<char*>("0"),          const_cast<char*>("1024x768x24"),
                    nullptr};
    installed_ = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (installed_) {
        readDisplayNumber(ready[0]);
    }
    close(ready[0]);
}

PrivateXServer::~PrivateXServer() {
    if (installed_) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

void PrivateXServer::readDisplayNumber(int fd) {
    std::string number;
    pollfd ready = {fd, POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, 10000) > 0 && read(fd, &c, 1) == 1 && c != '\n') {
        number += c;
    }
    if (!number.empty() && c == '\n') {
        name_ = ":" + number;
    }
}

PrivateXServer& sharedXServer() {
    static PrivateXServer server;
    return server;
}
