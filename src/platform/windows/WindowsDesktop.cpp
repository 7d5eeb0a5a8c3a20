// Links and file dialogs on Windows: the command interpreter's "start" and the common dialogs.
#include <windows.h>

#include <commdlg.h>
#include <process.h>

#include <algorithm>
#include <memory>
#include <string>

#include "editor/FileChooser.h"
#include "platform/AnsweredFileDialog.h"
#include "platform/Platform.h"

namespace platform {

void openLink(const std::string& url) {
    const std::string command = "/C start " + url;
    _spawnlp(_P_DETACH, "cmd.exe", "cmd.exe", command.c_str(), nullptr);
}

// The common dialog runs its own modal loop on the calling thread, the host's UI thread, which
// is what Windows hosts expect: it has answered by the time it returns.
std::unique_ptr<FileDialogProcess> startFileDialog(const FileDialog& dialog) {
    // Pairs of description and pattern, each ended by a zero, the list by another.
    std::string filter = std::string(dialog.filter) + '\0' + '*' + dialog.extension + '\0' + '\0';
    std::string folder = dialog.folder;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    char path[MAX_PATH] = "";

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = GetActiveWindow();
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = path;
    request.nMaxFile = sizeof path;
    request.lpstrInitialDir = folder.c_str();
    request.lpstrTitle = dialog.title;
    request.lpstrDefExt = dialog.extension[0] == '.' ? dialog.extension + 1 : dialog.extension;
    request.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (dialog.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = dialog.save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
    if (chosen == 0) {
        return std::make_unique<AnsweredFileDialog>(std::nullopt);
    }
    std::string chosenPath = path;
    std::replace(chosenPath.begin(), chosenPath.end(), '\\', '/');
    return std::make_unique<AnsweredFileDialog>(chosenPath);
}

}  // namespace platform
