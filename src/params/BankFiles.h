// Bank, single-preset and MIDI controller-map files: the magic, then a raw image of one part of
// program memory. Foreign bytes are checked here before they reach memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "params/ProgramMemory.h"

// What the file loaders report.
constexpr int kLoadSucceeded = -1;
constexpr int kLoadFailed = -2;

class BankFiles {
public:
    enum class Format {
        Bank,           // 128 program records
        Preset,         // one program record
        ControllerMap,  // program 0's controller map
    };

    // The bytes after the magic.
    static std::size_t payloadBytes(Format format);

    // Copies a file image over memory (a preset over `program`). A wrong magic changes nothing;
    // a short file fills as much as it holds; a long one is cut. Every stored text is left
    // terminated. Spreading the controller map is the caller's step: it depends on the command.
    static int load(ProgramMemory& memory, Format format, int program, std::span<const std::uint8_t> file);
    static int loadFile(ProgramMemory& memory, Format format, int program, const std::string& path);

    // The magic followed by the image the matching load reads.
    static std::vector<std::uint8_t> image(const ProgramMemory& memory, Format format, int program);
    // Writes through a temporary file, so a failed save leaves an existing file whole.
    static bool saveFile(const ProgramMemory& memory, Format format, int program, const std::string& path);

    // The whole program memory without magic, for inspection.
    static bool dumpFile(const ProgramMemory& memory, const std::string& path);
};
