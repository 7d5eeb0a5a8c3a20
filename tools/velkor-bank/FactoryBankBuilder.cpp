#include "velkor-bank/FactoryBankBuilder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <sstream>

#include "params/ProgramMemory.h"
#include "velkor-bank/ProgramSourceReader.h"

namespace bank {

namespace {

// The image is the in-memory record layout byte for byte, which is little-endian by definition.
static_assert(std::endian::native == std::endian::little);

constexpr std::size_t kNumberDigits = 3;

// "017-warm-pad.txt" -> 17; -1 when the name does not follow that pattern.
int programOf(const std::string& fileName) {
    if (fileName.size() <= kNumberDigits + 1 || fileName[kNumberDigits] != '-') {
        return -1;
    }
    int program = 0;
    for (std::size_t i = 0; i < kNumberDigits; ++i) {
        const char digit = fileName[i];
        if (digit < '0' || digit > '9') {
            return -1;
        }
        program = program * 10 + (digit - '0');
    }
    return program < kProgramCount ? program : -1;
}

void applySource(ProgramRecord& record, const ProgramSource& source) {
    for (const ProgramSource::Assignment& a : source.assignments) {
        record.values[a.id] = a.normalised;
    }
}

}  // namespace

void FactoryBankBuilder::readFolder(const std::filesystem::path& folder, std::vector<SourceError>& errors) {
    std::error_code fault;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, fault)) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt") {
            files.push_back(entry.path());
        }
    }
    if (fault) {
        errors.push_back({folder.string(), 0, "cannot read the folder: " + fault.message()});
        return;
    }
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
        const std::string file = path.string();
        const int program = programOf(path.filename().string());
        if (program < 0) {
            errors.push_back({file, 0, "a program source is named NNN-name.txt with NNN from 000 to 127"});
            continue;
        }
        if (sources_[program]) {
            errors.push_back({file, 0, "program " + std::to_string(program) + " already comes from " +
                                           sources_[program]->file});
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) {
            errors.push_back({file, 0, "cannot read the file"});
            continue;
        }
        add(program, ProgramSourceReader::read(text.str(), file, errors));
    }
}

void FactoryBankBuilder::add(int program, ProgramSource source) { sources_.at(program) = std::move(source); }

void FactoryBankBuilder::check(std::vector<SourceError>& errors) const {
    if (!sources_[kInitProgram]) {
        errors.push_back({"000-*.txt", 0, "the init program (program 000) has no source"});
    }
    for (const auto& source : sources_) {
        if (source && source->name.empty()) {
            errors.push_back({source->file, 0, "no \"program: Name\" line"});
        }
    }
}

ProgramRecord FactoryBankBuilder::record(int program) const {
    ProgramRecord record;
    std::memset(&record, 0, sizeof record);
    std::fill(std::begin(record.controllers), std::end(record.controllers), kNoController);
    // A program without a source is the init program, name and all.
    const std::optional<ProgramSource>& init = sources_[kInitProgram];
    const std::optional<ProgramSource>& own = sources_.at(program) ? sources_[program] : init;
    for (const std::optional<ProgramSource>* source : {&init, &own}) {
        if (*source) {
            applySource(record, **source);
        }
    }
    if (own) {
        std::memcpy(record.name, own->name.data(), std::min<std::size_t>(own->name.size(), kProgramNameChars));
    }
    record.values[kVersionParameter] = kCurrentVersion;
    return record;
}

std::vector<std::uint8_t> FactoryBankBuilder::image() const {
    std::vector<std::uint8_t> bytes(sizeof kFileMagic + kBankBytes);
    std::memcpy(bytes.data(), kFileMagic, sizeof kFileMagic);
    for (int program = 0; program < kProgramCount; ++program) {
        const ProgramRecord r = record(program);
        std::memcpy(bytes.data() + sizeof kFileMagic + ProgramMemory::offsetOf(program), &r, sizeof r);
    }
    return bytes;
}

}  // namespace bank
