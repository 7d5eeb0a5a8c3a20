#include "params/ProgramMemory.h"

#include <algorithm>
#include <cstring>

ProgramMemory::ProgramMemory() : block_(std::make_unique<Block>()) {
    std::memset(block_.get(), 0, sizeof(Block));
    block_->count = kProgramCount;
}

ProgramRecord& ProgramMemory::record(int program) {
    return block_->records[std::clamp(program, 0, kProgramCount - 1)];
}

const ProgramRecord& ProgramMemory::record(int program) const {
    return block_->records[std::clamp(program, 0, kProgramCount - 1)];
}

std::uint8_t* ProgramMemory::bytes() { return reinterpret_cast<std::uint8_t*>(block_->records); }

const std::uint8_t* ProgramMemory::bytes() const {
    return reinterpret_cast<const std::uint8_t*>(block_->records);
}

bool ProgramMemory::loadImage(std::span<const std::uint8_t> image) {
    if (image.size() < sizeof kFileMagic || std::memcmp(image.data(), kFileMagic, sizeof kFileMagic) != 0) {
        return false;
    }
    const std::size_t size = std::min(image.size() - sizeof kFileMagic, kBankBytes);
    std::memcpy(bytes(), image.data() + sizeof kFileMagic, size);
    terminateTexts();
    return true;
}

void ProgramMemory::terminateTexts() {
    for (ProgramRecord& program : block_->records) {
        for (auto& slot : program.text) {
            slot[kTextSlotBytes - 1] = '\0';
        }
        program.name[kProgramNameBytes - 1] = '\0';
    }
}

void ProgramMemory::spreadControllerMap() {
    const ProgramRecord& first = block_->records[0];
    for (int p = 1; p < kProgramCount; ++p) {
        std::memcpy(block_->records[p].controllers, first.controllers, sizeof first.controllers);
    }
}
