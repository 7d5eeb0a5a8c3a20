#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

#include <sys/mman.h>

namespace platform {

namespace {

constexpr const char* kProductFolder = "Velkor_2/";
constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

}  // namespace

std::string userFolder() {
    if (const char* own = std::getenv("VELKOR_USER_DIR"); own != nullptr && *own != '\0') {
        return withSlash(own);
    }
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents != nullptr && *documents != '\0') {
        return withSlash(documents) + kProductFolder;
    }
    const char* home = std::getenv("HOME");
    return withSlash(home != nullptr ? home : ".") + "Documents/" + kProductFolder;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& contents, std::size_t maxBytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    contents.clear();
    std::uint8_t buffer[65536];
    while (contents.size() < maxBytes) {
        const std::size_t want = std::min(sizeof buffer, maxBytes - contents.size());
        const std::size_t got = std::fread(buffer, 1, want, file);
        contents.insert(contents.end(), buffer, buffer + got);
        if (got < want) {
            break;
        }
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool writeFile(const std::string& path, std::span<const std::uint8_t> contents) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void* allocateLargeBlock(std::size_t bytes) {
    const std::size_t rounded = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    void* block = std::aligned_alloc(kHugePageBytes, rounded);
    // Advice only, ignored where not offered; a ragged tail keeps small pages so it costs no
    // more memory than it uses.
    const std::size_t whole = bytes & ~(kHugePageBytes - 1);
    if (block != nullptr && whole > 0) {
        madvise(block, whole, MADV_HUGEPAGE);
    }
    return block;
}

void freeLargeBlock(void* block, std::size_t) { std::free(block); }

}  // namespace platform
