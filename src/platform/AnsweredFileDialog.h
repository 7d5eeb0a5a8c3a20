// A file dialog whose answer is known when it starts: the desktop's own blocking dialog, or a
// user stood in for by a test.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/FileDialogProcess.h"

namespace platform {

class AnsweredFileDialog : public FileDialogProcess {
public:
    explicit AnsweredFileDialog(std::optional<std::string> answer) : answer_(std::move(answer)) {}

    bool finished() override { return true; }
    std::optional<std::string> answer() const override { return answer_; }

private:
    std::optional<std::string> answer_;
};

}  // namespace platform
