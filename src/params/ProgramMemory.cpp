#include "params/ProgramMemory.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
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
    copyIn(0, image.data() + sizeof kFileMagic, image.size() - sizeof kFileMagic);
    terminateTexts();
    return true;
}

float ProgramMemory::value(const ProgramRecord& record, int index) {
    return std::atomic_ref<float>(const_cast<float&>(record.values[index])).load(std::memory_order_relaxed);
}

void ProgramMemory::setValue(ProgramRecord& record, int index, float value) {
    std::atomic_ref<float>(record.values[index]).store(value, std::memory_order_relaxed);
}

void ProgramMemory::copyIn(std::size_t offset, const void* data, std::size_t size) {
    if (offset >= kBankBytes) {
        return;
    }
    size = std::min(size, kBankBytes - offset);
    auto* words = reinterpret_cast<std::uint32_t*>(bytes());
    const auto* source = static_cast<const std::uint8_t*>(data);
    // Whole words first; a ragged end is merged into its word.
    std::size_t done = 0;
    while (done < size) {
        const std::size_t at = offset + done;
        const std::size_t word = at / 4;
        const std::size_t inWord = at % 4;
        const std::size_t take = std::min<std::size_t>(4 - inWord, size - done);
        std::atomic_ref<std::uint32_t> target(words[word]);
        std::uint32_t merged = target.load(std::memory_order_relaxed);
        std::memcpy(reinterpret_cast<std::uint8_t*>(&merged) + inWord, source + done, take);
        target.store(merged, std::memory_order_relaxed);
        done += take;
    }
}

void ProgramMemory::copyOut(std::size_t offset, std::size_t size, std::uint8_t* destination) const {
    if (offset >= kBankBytes) {
        return;
    }
    size = std::min(size, kBankBytes - offset);
    auto* words = reinterpret_cast<std::uint32_t*>(const_cast<std::uint8_t*>(bytes()));
    std::size_t done = 0;
    while (done < size) {
        const std::size_t at = offset + done;
        const std::size_t inWord = at % 4;
        const std::size_t take = std::min<std::size_t>(4 - inWord, size - done);
        const std::uint32_t word = std::atomic_ref<std::uint32_t>(words[at / 4]).load(std::memory_order_relaxed);
        std::memcpy(destination + done, reinterpret_cast<const std::uint8_t*>(&word) + inWord, take);
        done += take;
    }
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
    constexpr std::size_t kMapOffset = offsetof(ProgramRecord, controllers);
    constexpr std::size_t kMapBytes = sizeof(ProgramRecord::controllers);
    std::uint8_t map[kMapBytes];
    copyOut(kMapOffset, kMapBytes, map);
    for (int p = 1; p < kProgramCount; ++p) {
        copyIn(offsetOf(p) + kMapOffset, map, kMapBytes);
    }
}
