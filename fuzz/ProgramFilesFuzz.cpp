// Feeds arbitrary bytes to every loader of foreign program data (bank, preset and map images,
// section presets) and to the program upgrade, and checks what memory must look like afterwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "params/BankFiles.h"
#include "params/ProgramUpgrade.h"
#include "params/SectionPresets.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkTerminated(const ProgramMemory& memory) {
    for (int p = 0; p < kProgramCount; ++p) {
        const ProgramRecord& record = memory.record(p);
        for (const auto& slot : record.text) {
            require(slot[kTextSlotBytes - 1] == '\0');
        }
        require(record.name[kProgramNameBytes - 1] == '\0');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ProgramMemory memory;
    const std::span<const std::uint8_t> bytes(data, size);
    const int program = size > 0 ? data[size - 1] % kProgramCount : 0;
    for (const BankFiles::Format format :
         {BankFiles::Format::Bank, BankFiles::Format::Preset, BankFiles::Format::ControllerMap}) {
        const int result = BankFiles::load(memory, format, program, bytes);
        require(result == kLoadSucceeded || result == kLoadFailed);
        checkTerminated(memory);
    }
    ProgramRecord& record = memory.record(program);
    for (int section = -1; section <= SectionPresets::kSections; ++section) {
        SectionPresets::load(record, section, bytes);
    }
    ProgramUpgrade::upgradeProgram(record);
    require(ProgramUpgrade::versionOf(record) >= ProgramUpgrade::kCurrentVersion);
    return 0;
}
