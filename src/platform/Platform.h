// The few operating-system services the plug-in needs: its own resources, the user folder,
// whole-file reading and writing, links and file dialogs. Everything that knows Linux from
// Windows sits behind this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/FileDialogProcess.h"

struct FileDialog;

namespace platform {

// The library's own resource `name`; empty when it has none.
std::span<const std::uint8_t> findResource(const char* name);

// "<Public documents>/Velkor_2/" with forward slashes and a trailing slash.
std::string userFolder();

// Reads at most `maxBytes` of the file; false when it cannot be opened.
bool readFile(const std::string& path, std::vector<std::uint8_t>& contents, std::size_t maxBytes);

// Writes through a temporary file and a rename, so a failed write leaves the old file whole.
bool writeFile(const std::string& path, std::span<const std::uint8_t> contents);

// A large block for data built once and read often (the wavetables): on Linux backed by huge
// pages where the system offers them, which makes filling it many times faster. Null on failure.
void* allocateLargeBlock(std::size_t bytes);
void freeLargeBlock(void* block, std::size_t bytes);

// Hands `url` to the desktop (browser, mail program) and returns without waiting for it.
void openLink(const std::string& url);

// Starts the desktop's own open or save dialog and returns without waiting for the user; null
// when the desktop offers no dialog at all.
std::unique_ptr<FileDialogProcess> startFileDialog(const FileDialog& dialog);

}  // namespace platform
