// Section preset files: one section's values (sequencer, oscillators, filter, echo) of a
// program, written as a version word and the listed values in list order.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "params/ProgramRecord.h"

struct SectionDefinition {
    const char* name;
    const char* extension;
    const char* loadTitle;
    const char* saveTitle;
    const char* filter;
    int dialogX;
    int dialogY;
    std::span<const std::uint16_t> entries;  // parameter ids with the flags below
};

class SectionPresets {
public:
    static constexpr int kSections = 4;
    static constexpr std::uint16_t kTextEntry = 0x8000;
    static constexpr std::uint16_t kNotRandomised = 0x4000;
    static constexpr std::uint16_t kIdMask = 0x1FFF;

    // Null for a section number outside 0..3.
    static const SectionDefinition* section(int number);

    static std::size_t fileBytes(int number);

    // Reads a section preset over `record`, converting values of older versions. False, with
    // nothing changed, for a wrong magic or an unknown section; a short file fills the entries it
    // holds. Stored values are kept inside 0..1 and texts terminated.
    static bool load(ProgramRecord& record, int number, std::span<const std::uint8_t> file);
    static bool loadFile(ProgramRecord& record, int number, const std::string& path);

    // The magic, the current version and the listed values of `record`; empty for an unknown section.
    static std::vector<std::uint8_t> image(const ProgramRecord& record, int number);
    static bool saveFile(const ProgramRecord& record, int number, const std::string& path);
};
