#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "host/QX_DSP_VST.h"
#include "params/ParameterLookups.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

class HostProgramStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    QX_DSP_VST& core() { return pluginOf(host.effect); }
    std::vector<std::uint8_t> chunk(bool preset) { return host.chunk(preset); }
    float value(int id) { return host.effect->getParameter(host.effect, id); }

    TestHost host;
};

TEST_F(HostProgramStore, AnOlderProgramIsUpgradedWhenApplied) {
    constexpr int kVersion = 207;
    constexpr int kBendDepth = 184;
    std::vector<std::uint8_t> preset = chunk(true);
    auto* record = reinterpret_cast<ProgramRecord*>(preset.data());
    record->values[kVersion] = 0.24f;
    record->values[kBendDepth] = 1.0f;
    host.dispatch(effSetProgram, 0, 2);
    host.dispatch(effSetChunk, 1, static_cast<intptr>(preset.size()), preset.data());
    const float upgraded = ParameterLookups::get().snap(kBendDepth, 0.23404256f + 0.00021276595f);
    EXPECT_FLOAT_EQ(value(kBendDepth), upgraded);
    EXPECT_EQ(value(kVersion), 0.241f);
    // Applying it again changes nothing more, and the chunk now round-trips byte-exact.
    host.dispatch(effSetProgram, 0, 2);
    EXPECT_FLOAT_EQ(value(kBendDepth), upgraded);
    const std::vector<std::uint8_t> once = chunk(false);
    std::vector<std::uint8_t> copy = once;
    host.dispatch(effSetChunk, 0, static_cast<intptr>(copy.size()), copy.data());
    EXPECT_EQ(chunk(false), once);
}

TEST_F(HostProgramStore, RandomChunksOfEverySizeLeaveASafeProgramMemory) {
    std::mt19937 random(11);
    for (const std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{5875}, std::size_t{5876},
                                   std::size_t{5877}, std::size_t{400000}, kBankBytes, kBankBytes + 9}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> bytes(size);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        host.dispatch(effSetChunk, 0, static_cast<intptr>(size), bytes.data());
        const std::vector<std::uint8_t> bank = chunk(false);
        for (int p = 0; p < kProgramCount; ++p) {
            const auto& r = reinterpret_cast<const ProgramRecord*>(bank.data())[p];
            ASSERT_EQ(r.name[kProgramNameBytes - 1], '\0');
            ASSERT_EQ(std::memcmp(r.controllers, bank.data() + offsetof(ProgramRecord, controllers),
                                  sizeof r.controllers),
                      0);
        }
        for (int id = 0; id < kProgramParameters; ++id) {
            const float v = value(id);
            ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << id << " " << v;
        }
        char text[64];
        host.dispatch(effGetProgramName, 0, 0, text);
        EXPECT_LE(std::strlen(text), 24u);
    }
}

TEST_F(HostProgramStore, TheMemoryDumpIsTheBankChunk) {
    ASSERT_TRUE(core().dumpProgramMemory());
    const std::filesystem::path file = std::filesystem::path(std::getenv("VELKOR_USER_DIR")) / "VST_PatchMemoryBanks.mem";
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> dumped((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(dumped, chunk(false));
    std::filesystem::remove(file);
}

TEST_F(HostProgramStore, SectionCopyPasteAndRandomiseWorkThroughTheInstrument) {
    constexpr int kSeqCopy = 366;
    constexpr int kSeqPaste = 367;
    constexpr int kSeqA1 = 135;
    constexpr int kSeqLength = 134;
    constexpr int kOscRandomise = 212;
    const int oscGroup[] = {64, 65, 73, 66, 71};
    host.start();
    host.process(64);
    const auto press = [&](int id) {
        core().setParameter(id, 1.0f);
        host.process(64);
        core().setParameter(id, 0.0f);
        host.process(64);
    };
    host.effect->setParameter(host.effect, kSeqA1, 1.0f);
    host.effect->setParameter(host.effect, kSeqLength, 0.5f);
    host.process(64);
    const float length = value(kSeqLength);
    press(kSeqCopy);
    host.effect->setParameter(host.effect, kSeqA1, 0.0f);
    host.effect->setParameter(host.effect, kSeqLength, 1.0f);
    host.process(64);
    press(kSeqPaste);
    EXPECT_EQ(value(kSeqA1), 1.0f);
    EXPECT_NEAR(value(kSeqLength), length, 1e-6f);

    std::vector<float> before;
    for (const int id : oscGroup) {
        before.push_back(value(id));
    }
    press(kOscRandomise);
    int changed = 0;
    for (std::size_t i = 0; i < std::size(oscGroup); ++i) {
        const float now = value(oscGroup[i]);
        EXPECT_TRUE(now >= 0.0f && now <= 1.0f);
        changed += now != before[i] ? 1 : 0;
    }
    EXPECT_GE(changed, 3);  // five fresh draws rarely meet the old option
}

// Controllers as the MIDI thread meets them, and the normalised values the mapped parameters take.
struct ControllerCase {
    const char* name;
    std::vector<std::vector<std::uint8_t>> messages;
    int code;       // mapped to both parameters
    float value;    // expected for a plain parameter
    int last;       // lastController afterwards
};

const ControllerCase kControllerCases[] = {
    {"FullScale", {{0xB0, 20, 127}}, 20, 1.0f, 20},
    {"Middle", {{0xB0, 20, 64}}, 20, 64.0f / 127.0f, 20},
    {"OtherChannelInOmni", {{0xB5, 21, 32}}, 21, 32.0f / 127.0f, 21},
    {"DataEntryWithoutNrpnIsPlain", {{0xB0, 6, 127}}, 6, 1.0f, 6},
    {"FourteenBitNrpn", {{0xB0, 99, 1}, {0xB0, 98, 2}, {0xB0, 38, 100}, {0xB0, 6, 3}}, 200 + 130, (3 * 128 + 100) / 16383.0f, 330},
    {"HighestNrpn", {{0xB0, 99, 127}, {0xB0, 98, 127}, {0xB0, 38, 127}, {0xB0, 6, 127}}, 200 + 16383, 1.0f, 16583},
};

class HostControllerMap : public HostProgramStore, public ::testing::WithParamInterface<ControllerCase> {};

TEST_P(HostControllerMap, MappedParametersFollowTheirController) {
    const ControllerCase& c = GetParam();
    constexpr int kPlain = 15;      // "Lfo1 Depth", continuous
    constexpr int kAlsoPlain = 26;  // "Lfo2 Depth"
    constexpr int kEqFrequency = 199;
    host.start();
    for (int id = 0; id < kProgramParameters; ++id) {
        core().setParameterController(id, kNoController);
    }
    for (const int id : {kPlain, kAlsoPlain, kEqFrequency}) {
        core().setParameterController(id, c.code);
        host.effect->setParameter(host.effect, id, 0.0f);
    }
    host.sendMidi(c.messages);
    host.process(32);
    EXPECT_NEAR(value(kPlain), c.value, 1e-6f);
    EXPECT_NEAR(value(kAlsoPlain), c.value, 1e-6f);
    EXPECT_NEAR(value(kEqFrequency), c.value * c.value * c.value * c.value, 1e-6f);
    EXPECT_EQ(core().lastController.load(), c.last);
    EXPECT_EQ(core().getParameterController(kPlain), c.code);
    EXPECT_EQ(core().programMemory().record(127).controllers[kPlain], c.code);
}

INSTANTIATE_TEST_SUITE_P(HostControllerMap, HostControllerMap, ::testing::ValuesIn(kControllerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostProgramStore, AssignmentsOutsideTheHostParametersAreRefused) {
    core().setParameterController(333, 5);
    core().setParameterController(-1, 5);
    EXPECT_EQ(core().getParameterController(333), -1);
    EXPECT_EQ(core().getParameterController(-1), -1);
    EXPECT_EQ(core().getParameterController(332), core().programMemory().record(0).controllers[332]);
}

}  // namespace
