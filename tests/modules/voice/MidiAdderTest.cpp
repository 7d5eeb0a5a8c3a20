#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "modules/voice/QX_DSP_Midi_Adder.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace {

using Adder = QX_DSP_Midi_Adder;

constexpr std::int32_t on(int note, int velocity = 100) { return packMidi(0x90, note, velocity); }
constexpr std::int32_t off(int note, int velocity = 64) { return packMidi(0x80, note, velocity); }
constexpr std::int32_t cc(int controller, int value) { return packMidi(0xB0, controller, value); }
constexpr std::int32_t kAllNotesOffWord = 0x7BB0;

// An input event `offset` samples into the run.
struct In {
    int offset;
    std::int32_t ivalue;
    int pin = Adder::kPinMidi;
};

// A word leaving output 0 at the sample of the input at `offset`.
struct Out {
    int offset;
    std::int32_t word;
};

struct FilterCase {
    const char* name;
    std::vector<In> inputs;
    std::vector<Out> expected;
};

class ModulesMidiAdderFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ModulesMidiAdderFilter, PassesOnlyWhatTheKeyTableAllows) {
    TestEngine engine;
    auto* adder = engine.add<Adder>(false);
    auto* probe = engine.add<ProbeModule>(false);
    adder->connect(probe, probe->moduleIndex, Adder::kOutputMidi, 0, 0, 0, 0);
    engine.prepareAll();
    const std::uint32_t start = engine.sampleClock;
    for (const In& in : GetParam().inputs) {
        adder->receiveEvent(start + static_cast<std::uint32_t>(in.offset), in.pin, kEventStill, in.ivalue, 0.0f,
                            nullptr);
    }
    engine.run(1024);
    const auto& got = probe->events;
    const auto& expected = GetParam().expected;
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got[i].ivalue, expected[i].word) << "word " << i;
        EXPECT_EQ(got[i].time, start + static_cast<std::uint32_t>(expected[i].offset)) << "word " << i;
    }
}

const FilterCase kFilterCases[] = {
    {"DuplicateNoteOnDropped", {{3, on(60)}, {7, on(60, 90)}, {9, off(60)}}, {{3, on(60)}, {9, off(60)}}},
    {"OrphanNoteOffsDropped", {{1, off(61)}, {2, on(60)}, {300, off(60)}, {301, off(60)}},
     {{2, on(60)}, {300, off(60)}}},
    {"VelocityZeroNoteOnEndsTheKey", {{1, on(60)}, {2, on(60, 0)}, {3, on(60, 0)}, {4, on(60)}},
     {{1, on(60)}, {2, on(60, 0)}, {4, on(60)}}},
    {"AllNotesOffClearsTheKeysAndIsPassedOn",
     {{1, on(60)}, {129, cc(123, 0) | 0x05}, {130, off(60)}, {131, on(60)}, {140, cc(120, 0)}, {141, off(60)}},
     {{1, on(60)}, {129, kAllNotesOffWord}, {129, cc(123, 0) | 0x05}, {131, on(60)}, {140, kAllNotesOffWord},
      {140, cc(120, 0)}}},
    {"OtherMessagesPassUnchanged",
     {{1, cc(1, 64)}, {2, packMidi(0xE0, 0, 64)}, {3, packMidi(0xD0, 99, 0)}, {4, cc(64, 127)}},
     {{1, cc(1, 64)}, {2, packMidi(0xE0, 0, 64)}, {3, packMidi(0xD0, 99, 0)}, {4, cc(64, 127)}}},
    {"TransposeFollowsTheKeyToItsNoteOff",
     {{0, 12, Adder::kPinTranspose}, {1, on(60)}, {2, 0, Adder::kPinTranspose}, {3, off(60)}},
     {{1, on(72)}, {3, off(72)}}},
    {"TransposedOutOfRangeDropsBothEnds",
     {{0, 12, Adder::kPinTranspose}, {1, on(120)}, {2, off(120)}, {3, -1000, Adder::kPinTranspose}, {4, on(5)},
      {5, off(5)}},
     {}},
    {"PanicKeyBecomesAllNotesOff", {{0, 64, Adder::kPinPanicKey}, {1, on(60)}, {2, on(64)}, {3, off(60)}, {4, off(64)}},
     {{1, on(60)}, {2, kAllNotesOffWord}}},
    {"DisabledDropsNoteOnsAndControllers",
     {{0, 0, Adder::kPinEnable}, {1, on(60)}, {2, cc(1, 5)}, {3, off(60)}, {4, cc(123, 0)}},
     {{3, off(60)}, {4, kAllNotesOffWord}, {4, cc(123, 0)}}},
};

INSTANTIATE_TEST_SUITE_P(ModulesMidiAdder, ModulesMidiAdderFilter, ::testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesMidiAdder, DelayLineSendsEachPostedWordAtItsSample) {
    TestEngine engine(64);
    auto* adder = engine.add<Adder>(false);
    auto* probe = engine.add<ProbeModule>(false);
    adder->connect(probe, probe->moduleIndex, Adder::kOutputReposted, 31, 0, 0, 0);
    engine.prepareAll();
    const std::uint32_t start = engine.sampleClock;
    adder->post(start + 884, off(60));
    adder->post(start + 3, on(61));
    adder->post(start + 884, off(62));
    engine.run(63);
    ASSERT_EQ(probe->events.size(), 1U);
    engine.run(1000);
    ASSERT_EQ(probe->events.size(), 3U);
    const std::uint32_t times[] = {start + 3, start + 884, start + 884};
    const std::int32_t words[] = {on(61), off(60), off(62)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(probe->events[i].time, times[i]);
        EXPECT_EQ(probe->events[i].ivalue, words[i]);
        EXPECT_EQ(probe->events[i].pin, 31);
    }
}

TEST(ModulesMidiAdder, SuspendForgetsTheKeys) {
    TestEngine engine;
    auto* adder = engine.add<Adder>(false);
    auto* probe = engine.add<ProbeModule>(false);
    adder->connect(probe, probe->moduleIndex, Adder::kOutputMidi, 0, 0, 0, 0);
    engine.prepareAll();
    adder->receiveEvent(engine.sampleClock, Adder::kPinMidi, kEventStill, on(60), 0.0f, nullptr);
    engine.run(16);
    adder->suspendHook();
    adder->receiveEvent(engine.sampleClock, Adder::kPinMidi, kEventStill, off(60), 0.0f, nullptr);
    adder->receiveEvent(engine.sampleClock + 1, Adder::kPinMidi, kEventStill, on(60), 0.0f, nullptr);
    engine.run(16);
    ASSERT_EQ(probe->events.size(), 2U);
    EXPECT_EQ(probe->events[1].ivalue, on(60));
}

}  // namespace
