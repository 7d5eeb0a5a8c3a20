#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "host/QX_DSP_VST.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

class HostChunks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    QX_DSP_VST& core() { return pluginOf(host.effect); }
    std::vector<std::uint8_t> chunk(bool preset) { return host.chunk(preset); }
    // A bank whose every byte is known: program p's values all p / 128, names "Pnn", controller
    // maps differing per program, text slots without terminators.
    static std::vector<std::uint8_t> patternBank() {
        std::vector<ProgramRecord> records(kProgramCount);
        for (int p = 0; p < kProgramCount; ++p) {
            ProgramRecord& r = records[static_cast<std::size_t>(p)];
            std::memset(&r, 'x', sizeof r);
            for (float& v : r.values) {
                v = static_cast<float>(p) / 128.0f;
            }
            for (auto& c : r.controllers) {
                c = static_cast<std::uint16_t>(p);
            }
            std::snprintf(r.name, sizeof r.name, "P%02d", p);
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(records.data());
        return {bytes, bytes + kBankBytes};
    }

    TestHost host;
};

TEST_F(HostChunks, BankAndPresetSizes) {
    EXPECT_EQ(chunk(false).size(), 752128u);
    EXPECT_EQ(chunk(true).size(), 5876u);
}

TEST_F(HostChunks, BankChunkRoundTripsAndIsMadeSafe) {
    std::vector<std::uint8_t> bank = patternBank();
    EXPECT_EQ(host.dispatch(effSetChunk, 0, static_cast<intptr>(bank.size()), bank.data()), 752128);
    const std::vector<std::uint8_t> read = chunk(false);
    ASSERT_EQ(read.size(), bank.size());
    for (int p = 0; p < kProgramCount; ++p) {
        const auto& r = reinterpret_cast<const ProgramRecord*>(read.data())[p];
        EXPECT_EQ(r.values[10], static_cast<float>(p) / 128.0f);
        EXPECT_EQ(r.controllers[100], 0) << "program 0's controller map everywhere";
        for (const auto& slot : r.text) {
            EXPECT_EQ(slot[kTextSlotBytes - 1], '\0');
        }
    }
    EXPECT_EQ(host.text(effGetProgramName), "P00");
    // A second round trip is byte-exact.
    std::vector<std::uint8_t> again = read;
    host.dispatch(effSetChunk, 0, static_cast<intptr>(again.size()), again.data());
    EXPECT_EQ(chunk(false), read);
}

TEST_F(HostChunks, PresetChunkReplacesTheCurrentProgramButKeepsTheBankFile) {
    std::strcpy(core().programMemory().record(0).text[0], "/banks/Mine.Bnk");
    host.dispatch(effSetProgram, 0, 3);
    std::vector<std::uint8_t> bank = patternBank();
    std::vector<std::uint8_t> preset(bank.begin() + 7 * kProgramBytes, bank.begin() + 8 * kProgramBytes);
    EXPECT_EQ(host.dispatch(effSetChunk, 1, static_cast<intptr>(preset.size()), preset.data()), 5876);
    EXPECT_EQ(host.text(effGetProgramName), "P07");
    EXPECT_EQ(host.dispatch(effGetProgram), 3);
    EXPECT_EQ(host.effect->getParameter(host.effect, 15), 7.0f / 128.0f);  // "Lfo1 Depth", continuous
    EXPECT_STREQ(core().programMemory().record(0).text[0], "/banks/Mine.Bnk");
    EXPECT_EQ(core().programMemory().record(3).controllers[5], core().programMemory().record(0).controllers[5]);
    EXPECT_EQ(core().programMemory().record(1).values[10], 0.0f);  // other programs untouched
}

TEST_F(HostChunks, ShortLongAndEmptyChunks) {
    std::vector<std::uint8_t> bank = patternBank();
    bank.resize(bank.size() + 1000, 0xEE);
    const auto program = [&](int p) { return core().programMemory().record(p); };

    host.dispatch(effSetChunk, 0, 1000, bank.data());  // only the start of program 0 changes
    EXPECT_EQ(program(0).values[100], 0.0f);
    EXPECT_EQ(program(0).values[249], 0.0f);
    EXPECT_EQ(program(1).values[0], 0.0f);

    EXPECT_EQ(host.dispatch(effSetChunk, 0, static_cast<intptr>(bank.size()), bank.data()),
              static_cast<intptr>(bank.size()));  // longer: cut to the bank
    EXPECT_EQ(program(127).values[0], 127.0f / 128.0f);

    const std::vector<std::uint8_t> before = chunk(false);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 0, bank.data()), 0);
    EXPECT_EQ(chunk(false), before);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, -20, bank.data()), -20);
    EXPECT_EQ(chunk(false), before);
}

TEST(HostStartUp, TheDefaultBankFileReplacesTheFactoryBank) {
    const char* folder = std::getenv("VELKOR_USER_DIR");
    ASSERT_NE(folder, nullptr);
    const std::filesystem::path banks = std::filesystem::path(folder) / "Banks";
    std::filesystem::create_directories(banks);
    const std::filesystem::path file = banks / "Default.Bnk";
    {
        std::vector<ProgramRecord> records(kProgramCount);
        std::memset(records.data(), 0, kBankBytes);
        std::strcpy(records[0].name, "From the user");
        records[0].values[120] = 0.5f;
        std::ofstream out(file, std::ios::binary);
        out.write("VLKR", 4);
        out.write(reinterpret_cast<const char*>(records.data()), static_cast<std::streamsize>(kBankBytes));
    }
    {
        TestHost host;
        ASSERT_NE(host.open(), nullptr);
        EXPECT_EQ(host.text(effGetProgramName), "From the user");
        EXPECT_EQ(host.effect->getParameter(host.effect, 120), 0.5f);
        EXPECT_EQ(host.text(effGetParamDisplay, 0), std::string(file.string()).substr(0, 8));
        EXPECT_STREQ(pluginOf(host.effect).programMemory().record(0).text[0], file.string().c_str());
    }
    {
        std::ofstream out(file, std::ios::binary);
        out.write("NOPE and more bytes", 19);
    }
    {
        TestHost host;
        ASSERT_NE(host.open(), nullptr);
        EXPECT_EQ(host.text(effGetProgramName), "Init");  // a file without the magic leaves the factory bank
    }
    std::filesystem::remove(file);
}

}  // namespace
