// The platform services on Windows: the DLL's own RCDATA resources, the public documents folder,
// whole-file reading and writing, and large blocks from VirtualAlloc.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/Platform.h"

namespace platform {

namespace {

constexpr const char* kUserFolderPattern = "%Public%/Documents/Velkor_2/";
constexpr DWORD kPieceBytes = 1 << 16;  // per ReadFile / WriteFile call

// The module that holds this code: the plug-in DLL, not the host's executable.
HMODULE ownModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ownModule), &module);
    return module;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        const bool closed = !isOpen() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

}  // namespace

std::span<const std::uint8_t> findResource(const char* name) {
    const HMODULE module = ownModule();
    HRSRC info = module != nullptr ? FindResourceA(module, name, RT_RCDATA) : nullptr;
    if (info == nullptr) {
        return {};
    }
    // Resources of a loaded module stay mapped while it is loaded; nothing to release.
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, info)};
}

std::string userFolder() {
    char expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(kUserFolderPattern, expanded, sizeof expanded);
    std::string folder = length > 0 && length <= sizeof expanded ? std::string(expanded) : kUserFolderPattern;
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return folder;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& contents, std::size_t maxBytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isOpen()) {
        return false;
    }
    contents.clear();
    while (contents.size() < maxBytes) {
        const std::size_t before = contents.size();
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPieceBytes, maxBytes - before));
        contents.resize(before + want);
        DWORD got = 0;
        if (ReadFile(file.get(), contents.data() + before, want, &got, nullptr) == 0) {
            contents.resize(before);
            return false;
        }
        contents.resize(before + got);
        if (got < want) {
            break;
        }
    }
    return true;
}

bool writeFile(const std::string& path, std::span<const std::uint8_t> contents) {
    const std::string temporary = path + ".tmp";
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isOpen()) {
        return false;
    }
    bool written = true;
    for (std::size_t done = 0; written && done < contents.size();) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPieceBytes, contents.size() - done));
        DWORD put = 0;
        written = WriteFile(file.get(), contents.data() + done, want, &put, nullptr) != 0 && put == want;
        done += put;
    }
    const bool closed = file.close();
    if (!written || !closed ||
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

void* allocateLargeBlock(std::size_t bytes) {
    // Large pages need the lock-memory privilege, which few users hold; without it the request
    // fails at once and ordinary pages serve.
    const SIZE_T largePage = GetLargePageMinimum();
    if (largePage > 0 && bytes >= largePage) {
        const SIZE_T rounded = (bytes + largePage - 1) / largePage * largePage;
        if (void* block = VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE)) {
            return block;
        }
    }
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void freeLargeBlock(void* block, std::size_t) {
    if (block != nullptr) {
        VirtualFree(block, 0, MEM_RELEASE);
    }
}

}  // namespace platform
