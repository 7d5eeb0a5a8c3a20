#include "editor/FolderFileChooser.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "toolkit/Frame.h"

namespace {

namespace fs = std::filesystem;

bool endsWithNoCase(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length &&
           std::equal(text.end() - static_cast<std::ptrdiff_t>(length), text.end(), suffix, [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

// A program name as a file name: no folder separators, no surrounding blanks.
std::string suggestedName(const std::string& name) {
    std::string cleaned = name;
    std::replace_if(cleaned.begin(), cleaned.end(), [](char c) { return c == '/' || c == '\\'; }, '-');
    const std::size_t first = cleaned.find_first_not_of(' ');
    const std::size_t last = cleaned.find_last_not_of(' ');
    cleaned = first == std::string::npos ? std::string() : cleaned.substr(first, last - first + 1);
    if (cleaned.empty() || !FolderFileChooser::refusal(cleaned).empty()) {
        return FolderFileChooser::kUntitled;
    }
    return cleaned;
}

}  // namespace

std::vector<std::string> FolderFileChooser::filesIn(const std::string& folder, const char* extension) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(ignored) && endsWithNoCase(name, extension)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lowered(a);
        const std::string lb = lowered(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string FolderFileChooser::refusal(const std::string& name) {
    if (name.find_first_not_of(' ') == std::string::npos) {
        return "Type a name";
    }
    if (name.find_first_of("/\\") != std::string::npos || name.find("..") != std::string::npos) {
        return "A name without / \\ or ..";
    }
    return {};
}

void FolderFileChooser::attach(toolkit::Frame& frame, toolkit::Point anchor) {
    frame_ = &frame;
    anchor_ = anchor;
}

void FolderFileChooser::detach() {
    chosen_ = nullptr;
    asked_.reset();
    if (menu_.isOpen()) {
        menu_.dismiss();
    }
    nameBox_.dismiss();
    frame_ = nullptr;
}

void FolderFileChooser::choose(const FileDialog& dialog, FileChooser::FileChosen chosen) {
    if (frame_ == nullptr || isOpen() || asked_) {
        return;
    }
    chosen_ = std::move(chosen);
    asked_ = dialog;
}

void FolderFileChooser::idle() {
    if (!asked_ || frame_ == nullptr || frame_->capture() != nullptr || frame_->modal() != nullptr) {
        return;
    }
    const FileDialog dialog = std::move(*asked_);
    asked_.reset();
    const toolkit::Point at = dialog.x != FileDialog::kBesideButton && dialog.y != FileDialog::kBesideButton
                                  ? toolkit::Point{dialog.x, dialog.y}
                                  : anchor_;
    dialog.save ? chooseToSave(dialog, at) : chooseToLoad(dialog, at);
}

void FolderFileChooser::chooseToLoad(const FileDialog& dialog, toolkit::Point at) {
    files_ = filesIn(dialog.folder, dialog.extension);
    menu_.clear();
    for (const std::string& name : files_) {
        menu_.addItem(name);
    }
    if (files_.empty()) {
        menu_.addItem(kNoFiles, false, false);
    }
    menu_.popup(*frame_, at, [this, folder = dialog.folder](int index) {
        FileChooser::FileChosen chosen = std::move(chosen_);
        chosen_ = nullptr;
        if (index >= 0 && index < static_cast<int>(files_.size()) && chosen) {
            chosen(folder + files_[static_cast<std::size_t>(index)]);
        }
    });
}

void FolderFileChooser::chooseToSave(const FileDialog& dialog, toolkit::Point at) {
    std::string name = suggestedName(dialog.name);
    if (!endsWithNoCase(name, dialog.extension)) {
        name += dialog.extension;
    }
    replacing_.clear();
    nameBox_.popup(
        *frame_, at, dialog.title, std::move(name),
        [this, folder = dialog.folder, extension = dialog.extension](const std::string& typed) {
            return judge(folder, typed, extension);
        },
        [this, folder = dialog.folder](const std::string& typed) {
            FileChooser::FileChosen chosen = std::move(chosen_);
            chosen_ = nullptr;
            // A desktop dialog can make the folder; here the user cannot, so it is made for them.
            std::error_code ignored;
            fs::create_directories(folder, ignored);
            if (chosen) {
                chosen(folder + typed);
            }
        });
}

std::string FolderFileChooser::judge(const std::string& folder, const std::string& typed, const char* extension) {
    if (std::string why = refusal(typed); !why.empty()) {
        return why;
    }
    // The name as the save will complete it.
    const std::string name = endsWithNoCase(typed, extension) ? typed : typed + extension;
    std::error_code ignored;
    if (fs::exists(folder + name, ignored) && replacing_ != name) {
        replacing_ = name;
        return name + " exists: Return replaces it";
    }
    return {};
}
