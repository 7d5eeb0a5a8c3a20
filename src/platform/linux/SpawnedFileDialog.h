// A dialog program (zenity, kdialog) run as a child beside the editor; what it prints is the
// path the user chose.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialogProcess.h"

namespace platform {

class SpawnedFileDialog : public FileDialogProcess {
public:
    // Null when the program cannot start.
    static std::unique_ptr<SpawnedFileDialog> start(const std::vector<std::string>& arguments);

    SpawnedFileDialog(const SpawnedFileDialog&) = delete;
    SpawnedFileDialog& operator=(const SpawnedFileDialog&) = delete;
    // Kills a program still running, with anything it started, and reaps it.
    ~SpawnedFileDialog() override;

    bool finished() override;
    std::optional<std::string> answer() const override;

private:
    SpawnedFileDialog(pid_t child, int output) : child_(child), output_(output) {}
    void readPrinted();

    pid_t child_;
    int output_;  // the read end of the program's standard output, non-blocking
    std::string printed_;
    bool finished_ = false;
    bool accepted_ = false;
};

}  // namespace platform
