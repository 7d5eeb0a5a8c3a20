// Builds the factory bank image ("VLKR" and 128 program records) from the program sources:
// one "NNN-name.txt" per program, NNN = 000..127. Program 000 is the init program: every other
// program starts from its values, and a program without a source is a copy of it.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "params/ProgramRecord.h"
#include "velkor-bank/ProgramSource.h"

namespace bank {

class FactoryBankBuilder {
public:
    // Reads every ".txt" file of `folder`; other files are left alone. Faults go to `errors`.
    void readFolder(const std::filesystem::path& folder, std::vector<SourceError>& errors);
    void add(int program, ProgramSource source);

    // Faults of the set as a whole: no init program, a program without a name.
    void check(std::vector<SourceError>& errors) const;
    ProgramRecord record(int program) const;
    std::vector<std::uint8_t> image() const;  // 4 + 752128 bytes

    static constexpr int kInitProgram = 0;

private:
    std::array<std::optional<ProgramSource>, kProgramCount> sources_;
};

}  // namespace bank
