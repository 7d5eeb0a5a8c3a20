// Reads the text source of one factory program:
//   # a comment, to the end of the line
//   program: Fat Bass              the program name, at most 24 characters
//   Amp Release (s) = 0.35         a parameter by its display name, its value as the display shows it
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "velkor-bank/ProgramSource.h"

namespace bank {

class ProgramSourceReader {
public:
    // Faults are appended to `errors`, one per bad line; the good lines still count.
    static ProgramSource read(std::string_view text, const std::string& file, std::vector<SourceError>& errors);
};

}  // namespace bank
