#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "params/BankFiles.h"

namespace {

using Format = BankFiles::Format;

std::vector<std::uint8_t> snapshot(const ProgramMemory& memory) {
    std::vector<std::uint8_t> bytes(kBankBytes);
    memory.copyOut(0, kBankBytes, bytes.data());
    return bytes;
}

// Every byte differs from its neighbours, and texts and names are terminated.
void fillPattern(ProgramMemory& memory, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(kBankBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
    }
    memory.copyIn(0, bytes.data(), bytes.size());
    memory.terminateTexts();
}

std::filesystem::path userFolder() { return std::getenv("VELKOR_USER_DIR"); }

// Where each format lands in memory (a preset goes to program 3 here).
constexpr int kPresetProgram = 3;
std::size_t landing(Format format) {
    switch (format) {
        case Format::Bank:
            return 0;
        case Format::Preset:
            return ProgramMemory::offsetOf(kPresetProgram);
        case Format::ControllerMap:
            return offsetof(ProgramRecord, controllers);
    }
    return 0;
}

struct FormatCase {
    const char* name;
    Format format;
    std::size_t payload;
};

const FormatCase kFormats[] = {
    {"Bank", Format::Bank, 752128},
    {"Preset", Format::Preset, 5876},
    {"ControllerMap", Format::ControllerMap, 666},
};

class ParamsBankFiles : public ::testing::TestWithParam<FormatCase> {
protected:
    ParamsBankFiles() {
        fillPattern(source, 1);
        fillPattern(target, 100);
    }
    ProgramMemory source;
    ProgramMemory target;
};

TEST_P(ParamsBankFiles, ImageRoundTripsByteExact) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(BankFiles::payloadBytes(c.format), c.payload);
    const std::vector<std::uint8_t> file = BankFiles::image(source, c.format, kPresetProgram);
    ASSERT_EQ(file.size(), 4 + c.payload);
    EXPECT_EQ(std::memcmp(file.data(), "VLKR", 4), 0);
    const std::vector<std::uint8_t> before = snapshot(target);
    EXPECT_EQ(BankFiles::load(target, c.format, kPresetProgram, file), kLoadSucceeded);
    const std::vector<std::uint8_t> after = snapshot(target);
    const std::vector<std::uint8_t> wanted = snapshot(source);
    const std::size_t at = landing(c.format);
    EXPECT_TRUE(std::equal(after.begin() + static_cast<std::ptrdiff_t>(at),
                           after.begin() + static_cast<std::ptrdiff_t>(at + c.payload),
                           wanted.begin() + static_cast<std::ptrdiff_t>(at)));
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(at), before.begin()));
    EXPECT_TRUE(std::equal(after.begin() + static_cast<std::ptrdiff_t>(at + c.payload), after.end(),
                           before.begin() + static_cast<std::ptrdiff_t>(at + c.payload)));
    EXPECT_EQ(BankFiles::image(target, c.format, kPresetProgram), file);
}

TEST_P(ParamsBankFiles, FileRoundTripsAndAFailedSaveKeepsTheOldFile) {
    const FormatCase& c = GetParam();
    const std::filesystem::path path = userFolder() / (std::string("round-trip-") + c.name);
    ASSERT_TRUE(BankFiles::saveFile(source, c.format, kPresetProgram, path.string()));
    EXPECT_EQ(std::filesystem::file_size(path), 4 + c.payload);
    EXPECT_EQ(BankFiles::loadFile(target, c.format, kPresetProgram, path.string()), kLoadSucceeded);
    EXPECT_EQ(BankFiles::image(target, c.format, kPresetProgram), BankFiles::image(source, c.format, kPresetProgram));

    // The temporary file cannot be made: the save fails and the old file is whole.
    std::filesystem::create_directory(path.string() + ".tmp");
    EXPECT_FALSE(BankFiles::saveFile(target, c.format, 0, path.string()));
    EXPECT_EQ(std::filesystem::file_size(path), 4 + c.payload);
    std::filesystem::remove(path.string() + ".tmp");
    std::filesystem::remove(path);

    EXPECT_EQ(BankFiles::loadFile(target, c.format, kPresetProgram, path.string()), kLoadFailed);
    EXPECT_FALSE(BankFiles::saveFile(target, c.format, 0, (userFolder() / "no-such-folder" / "x").string()));
}

// A hostile file and what it may change: `held` payload bytes from the landing point on.
struct HostileCase {
    const char* name;
    std::size_t size;  // whole file, magic included
    bool magic;
    int result;
};

const HostileCase kHostileCases[] = {
    {"Empty", 0, false, kLoadFailed},
    {"ThreeBytes", 3, false, kLoadFailed},
    {"WrongMagic", 4 + 5876, false, kLoadFailed},
    {"MagicOnly", 4, true, kLoadSucceeded},
    {"OneByte", 5, true, kLoadSucceeded},
    {"RaggedWord", 4 + 7, true, kLoadSucceeded},
    {"HalfARecord", 4 + 2938, true, kLoadSucceeded},
    {"Oversized", 4 + 752128 + 4096, true, kLoadSucceeded},
};

TEST_P(ParamsBankFiles, HostileFilesChangeOnlyWhatTheyHold) {
    const FormatCase& c = GetParam();
    std::mt19937 random(7);
    for (const HostileCase& h : kHostileCases) {
        SCOPED_TRACE(h.name);
        fillPattern(target, 100);
        std::vector<std::uint8_t> file(h.size);
        for (auto& byte : file) {
            byte = static_cast<std::uint8_t>(random());
        }
        if (h.magic) {
            std::memcpy(file.data(), "VLKR", 4);
        } else if (file.size() >= 4) {
            std::memcpy(file.data(), "VLKr", 4);
        }
        const std::vector<std::uint8_t> before = snapshot(target);
        EXPECT_EQ(BankFiles::load(target, c.format, kPresetProgram, file), h.result);
        const std::vector<std::uint8_t> after = snapshot(target);
        const std::size_t held = h.result == kLoadSucceeded ? std::min(h.size - 4, c.payload) : 0;
        std::vector<std::uint8_t> expected = before;
        std::copy(file.begin() + 4, file.begin() + 4 + static_cast<std::ptrdiff_t>(held),
                  expected.begin() + static_cast<std::ptrdiff_t>(landing(c.format)));
        for (int p = 0; p < kProgramCount; ++p) {
            auto& record = reinterpret_cast<ProgramRecord*>(expected.data())[p];
            for (auto& slot : record.text) {
                slot[kTextSlotBytes - 1] = '\0';
            }
            record.name[kProgramNameBytes - 1] = '\0';
        }
        const auto differ = std::mismatch(after.begin(), after.end(), expected.begin());
        EXPECT_TRUE(differ.first == after.end()) << "first wrong byte " << (differ.first - after.begin());
    }
}

TEST_P(ParamsBankFiles, ProgramsOutsideMemoryAreRefused) {
    const FormatCase& c = GetParam();
    const std::vector<std::uint8_t> file = BankFiles::image(source, c.format, 0);
    const std::vector<std::uint8_t> before = snapshot(target);
    for (const int program : {-1, 128, 1 << 30}) {
        EXPECT_EQ(BankFiles::load(target, c.format, program, file), kLoadFailed);
        EXPECT_TRUE(BankFiles::image(target, c.format, program).empty());
    }
    EXPECT_EQ(snapshot(target), before);
}

INSTANTIATE_TEST_SUITE_P(ParamsBankFiles, ParamsBankFiles, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParamsBankDump, TheDumpIsTheBareImage) {
    ProgramMemory memory;
    fillPattern(memory, 9);
    const std::filesystem::path path = userFolder() / "dump.mem";
    ASSERT_TRUE(BankFiles::dumpFile(memory, path.string()));
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, snapshot(memory));
    std::filesystem::remove(path);
}

}  // namespace
