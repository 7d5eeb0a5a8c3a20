#include "params/BankFiles.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace {

constexpr std::size_t kMapOffset = offsetof(ProgramRecord, controllers);
constexpr std::size_t kMapBytes = sizeof(ProgramRecord::controllers);

std::size_t offsetIn(BankFiles::Format format, int program) {
    switch (format) {
        case BankFiles::Format::Bank:
            return 0;
        case BankFiles::Format::Preset:
            return ProgramMemory::offsetOf(program);
        case BankFiles::Format::ControllerMap:
            return kMapOffset;
    }
    return 0;
}

bool validProgram(int program) { return program >= 0 && program < kProgramCount; }

}  // namespace

std::size_t BankFiles::payloadBytes(Format format) {
    switch (format) {
        case Format::Bank:
            return kBankBytes;
        case Format::Preset:
            return kProgramBytes;
        case Format::ControllerMap:
            return kMapBytes;
    }
    return 0;
}

int BankFiles::load(ProgramMemory& memory, Format format, int program, std::span<const std::uint8_t> file) {
    if (!validProgram(program) || file.size() < sizeof kFileMagic ||
        std::memcmp(file.data(), kFileMagic, sizeof kFileMagic) != 0) {
        return kLoadFailed;
    }
    const std::span<const std::uint8_t> payload = file.subspan(sizeof kFileMagic);
    memory.copyIn(offsetIn(format, program), payload.data(), std::min(payload.size(), payloadBytes(format)));
    memory.terminateTexts();
    return kLoadSucceeded;
}

int BankFiles::loadFile(ProgramMemory& memory, Format format, int program, const std::string& path) {
    std::vector<std::uint8_t> file;
    if (!platform::readFile(path, file, sizeof kFileMagic + payloadBytes(format))) {
        return kLoadFailed;
    }
    return load(memory, format, program, file);
}

std::vector<std::uint8_t> BankFiles::image(const ProgramMemory& memory, Format format, int program) {
    if (!validProgram(program)) {
        return {};
    }
    std::vector<std::uint8_t> bytes(sizeof kFileMagic + payloadBytes(format));
    std::memcpy(bytes.data(), kFileMagic, sizeof kFileMagic);
    memory.copyOut(offsetIn(format, program), payloadBytes(format), bytes.data() + sizeof kFileMagic);
    return bytes;
}

bool BankFiles::saveFile(const ProgramMemory& memory, Format format, int program, const std::string& path) {
    const std::vector<std::uint8_t> bytes = image(memory, format, program);
    return !bytes.empty() && platform::writeFile(path, bytes);
}

bool BankFiles::dumpFile(const ProgramMemory& memory, const std::string& path) {
    std::vector<std::uint8_t> bytes(kBankBytes);
    memory.copyOut(0, kBankBytes, bytes.data());
    return platform::writeFile(path, bytes);
}
