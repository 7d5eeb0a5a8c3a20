// An Xvfb of our own on the first free display number, which the server itself picks and
// reports once it accepts connections; one per test program, stopped at exit.
#pragma once

#include <sys/types.h>

#include <string>

class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool installed() const { return installed_; }
    const std::string& name() const { return name_; }  // empty when the server did not come up

private:
    static constexpr int kReadyFd = 3;

    void readDisplayNumber(int fd);

    pid_t pid_ = 0;
    bool installed_ = false;
    std::string name_;
};

PrivateXServer& sharedXServer();
