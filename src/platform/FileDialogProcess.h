// A desktop file dialog under way. Where the dialog is a program of its own it runs beside the
// editor, which asks now and then whether the user has answered; where the desktop's dialog
// blocks (Windows), it has answered before the caller sees it.
#pragma once

#include <optional>
#include <string>

namespace platform {

class FileDialogProcess {
public:
    // Closes a dialog still open; its answer never comes.
    virtual ~FileDialogProcess() = default;
    // Whether the user has answered; never waits.
    virtual bool finished() = 0;
    // Once finished: the path chosen; nothing when the user cancelled.
    virtual std::optional<std::string> answer() const = 0;
};

}  // namespace platform
