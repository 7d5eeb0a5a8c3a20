#include "params/SectionPresets.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "params/ParameterLookups.h"
#include "params/ProgramMemory.h"
#include "params/ProgramUpgrade.h"
#include "platform/Platform.h"

namespace {

constexpr std::uint16_t kSeqEntries[] = {132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144,
                                         145, 146, 147, 148, 149, 150, 151, 152, 153, 175, 195, 131};
constexpr std::uint16_t kOscEntries[] = {64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 75, 76, 77, 78, 79, 80, 164, 177};
constexpr std::uint16_t kFilterEntries[] = {81,  82,  83,  84,  85, 86, 178, 179, 180, 181, 182, 183,
                                            208, 209, 88,  89,  90, 91, 92,  93,  94,  87,  174, 121};
constexpr std::uint16_t kEchoEntries[] = {163, 165, 166, 167, 168, 169, 170, 171, 172, 173, 210, 162};

constexpr SectionDefinition kSectionTable[SectionPresets::kSections] = {
    {"SEQ", ".SQp", "LOAD SEQ PRESET", "SAVE SEQ PRESET", "Velkor SEQ Preset (.SQp)", 500, 262, kSeqEntries},
    {"OSC", ".OSp", "LOAD OSC PRESET", "SAVE OSC PRESET", "Velkor OSC Preset (.OSp)", 126, 203, kOscEntries},
    {"FILTER", ".FLp", "LOAD FILTER PRESET", "SAVE FILTER PRESET", "Velkor FILTER Preset (.FLp)", 720, 16,
     kFilterEntries},
    {"ECHO", ".ECp", "LOAD ECHO PRESET", "SAVE ECHO PRESET", "Velkor ECHO Preset (.ECp)", 500, 462, kEchoEntries},
};

constexpr std::size_t kVersionBytes = sizeof(std::uint32_t);
constexpr std::size_t kValueBytes = sizeof(float);
constexpr std::size_t kHeaderBytes = sizeof kFileMagic + kVersionBytes;

std::size_t entryBytes(std::uint16_t entry) {
    return (entry & SectionPresets::kTextEntry) ? static_cast<std::size_t>(kTextSlotBytes) : kValueBytes;
}

// The text slot of a text entry in `record`; null when the id has none.
char* textOf(ProgramRecord& record, int id) {
    const int slot = ParameterLookups::get().textSlot(id);
    if (slot == kNoTextSlot || (slot & ~kGlobalTextSlot) >= kTextSlots) {
        return nullptr;
    }
    return record.text[slot & ~kGlobalTextSlot];
}

const char* textOf(const ProgramRecord& record, int id) { return textOf(const_cast<ProgramRecord&>(record), id); }

float storable(float value) { return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f; }

}  // namespace

const SectionDefinition* SectionPresets::section(int number) {
    return number >= 0 && number < kSections ? &kSectionTable[number] : nullptr;
}

std::size_t SectionPresets::fileBytes(int number) {
    const SectionDefinition* definition = section(number);
    if (definition == nullptr) {
        return 0;
    }
    std::size_t bytes = kHeaderBytes;
    for (const std::uint16_t entry : definition->entries) {
        bytes += entryBytes(entry);
    }
    return bytes;
}

bool SectionPresets::load(ProgramRecord& record, int number, std::span<const std::uint8_t> file) {
    const SectionDefinition* definition = section(number);
    if (definition == nullptr || file.size() < sizeof kFileMagic ||
        std::memcmp(file.data(), kFileMagic, sizeof kFileMagic) != 0) {
        return false;
    }
    if (file.size() < kHeaderBytes) {
        return true;  // the magic alone: nothing to fill
    }
    std::uint32_t version = 0;
    std::memcpy(&version, file.data() + sizeof kFileMagic, kVersionBytes);
    const int fileVersion = static_cast<int>(std::min<std::uint32_t>(version, ProgramUpgrade::kCurrentVersion));
    std::size_t at = kHeaderBytes;
    for (const std::uint16_t entry : definition->entries) {
        const int id = entry & kIdMask;
        const std::size_t bytes = entryBytes(entry);
        if (file.size() - at < bytes) {
            break;
        }
        if (entry & kTextEntry) {
            if (char* text = textOf(record, id)) {
                std::memcpy(text, file.data() + at, bytes);
                text[kTextSlotBytes - 1] = '\0';
            }
        } else if (id < kProgramParameters) {
            float value = 0.0f;
            std::memcpy(&value, file.data() + at, kValueBytes);
            value = ProgramUpgrade::convertSectionValue(id, storable(value), fileVersion);
            ProgramMemory::setValue(record, id, storable(value));
        }
        at += bytes;
    }
    return true;
}

bool SectionPresets::loadFile(ProgramRecord& record, int number, const std::string& path) {
    std::vector<std::uint8_t> file;
    return section(number) != nullptr && platform::readFile(path, file, fileBytes(number)) &&
           load(record, number, file);
}

std::vector<std::uint8_t> SectionPresets::image(const ProgramRecord& record, int number) {
    const SectionDefinition* definition = section(number);
    if (definition == nullptr) {
        return {};
    }
    std::vector<std::uint8_t> bytes(fileBytes(number), 0);
    std::memcpy(bytes.data(), kFileMagic, sizeof kFileMagic);
    const std::uint32_t version = ProgramUpgrade::kCurrentVersion;
    std::memcpy(bytes.data() + sizeof kFileMagic, &version, kVersionBytes);
    std::size_t at = kHeaderBytes;
    for (const std::uint16_t entry : definition->entries) {
        const int id = entry & kIdMask;
        if (entry & kTextEntry) {
            if (const char* text = textOf(record, id)) {
                std::memcpy(bytes.data() + at, text, kTextSlotBytes - 1);
            }
        } else if (id < kProgramParameters) {
            const float value = ProgramMemory::value(record, id);
            std::memcpy(bytes.data() + at, &value, kValueBytes);
        }
        at += entryBytes(entry);
    }
    return bytes;
}

bool SectionPresets::saveFile(const ProgramRecord& record, int number, const std::string& path) {
    const std::vector<std::uint8_t> bytes = image(record, number);
    return !bytes.empty() && platform::writeFile(path, bytes);
}
