#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/voice/QX_DSP_MPE_Switch.h"
#include "modules/voice/VoiceTestRecorder.h"
#include "modules/voice/VoiceTestSignal.h"
#include "support/TestEngine.h"

namespace {

using voice_tests::VoiceTestRecorder;
using voice_tests::VoiceTestSignal;

constexpr int kChannels = QX_DSP_MPE_Switch::kMemberChannels;
constexpr int kGroups = QX_DSP_MPE_Switch::kGroups;
constexpr int kPinChannel = QX_DSP_MPE_Switch::kPinChannel;

// Four sources of fifteen member-channel signals (bend, pressure, CC 74, the fourth group) wired
// to the switch as the netlist wires the smoothers, and a recorder of the switch's four outputs.
// Member channel k of group g carries 100 g + k + 1, plus a wobble while it "moves".
struct SwitchRig {
    explicit SwitchRig(int blockLength = 128, bool asleep = false) : engine(blockLength) {
        for (int g = 0; g < kGroups; ++g) {
            groups[g] = engine.add<VoiceTestSignal>(kChannels);
            for (int k = 0; k < kChannels; ++k) {
                groups[g]->level[k] = static_cast<float>(100 * g + k + 1);
            }
        }
        mpeSwitch = engine.add<QX_DSP_MPE_Switch>(asleep);
        for (int g = 0; g < kGroups; ++g) {
            for (int k = 0; k < kChannels; ++k) {
                groups[g]->connect(mpeSwitch, mpeSwitch->moduleIndex, k, g * kChannels + k, 0, 0, 0);
            }
        }
        recorder = engine.add<VoiceTestRecorder>();
        for (int g = 0; g < kGroups; ++g) {
            mpeSwitch->connect(recorder, recorder->moduleIndex, g, g, 0, 0, 0);
        }
        engine.prepareAll();
        // The smoothers announce every channel once their first values arrive.
        for (int pin = 0; pin < QX_DSP_MPE_Switch::kSignalPins; ++pin) {
            at(0, pin, kEventStill);
        }
    }

    void at(std::uint32_t offset, int pin, int kind, std::int32_t ivalue = 0) {
        mpeSwitch->receiveEvent(engine.sampleClock + offset, pin, kind, ivalue, 0.0f, nullptr);
    }
    void channelAt(std::uint32_t offset, std::int32_t channel) { at(offset, kPinChannel, kEventStill, channel); }

    // Output g as recorded at engine time `time` (the first run starts at time 1).
    float recorded(int group, std::uint32_t time) const { return recorder->samples[group].at(time - 1); }
    float source(int group, int member, std::uint32_t time) const { return groups[group]->valueAt(member, time); }
    bool idle() const { return (engine.moduleFlags[mpeSwitch->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    VoiceTestSignal* groups[kGroups] = {};
    QX_DSP_MPE_Switch* mpeSwitch = nullptr;
    VoiceTestRecorder* recorder = nullptr;
};

struct ChannelCase {
    const char* name;
    std::int32_t channel;  // allocator output 8: MIDI channel nibble - 1
    int member;            // member channel read, 0 = member channel 1
};

constexpr ChannelCase kChannelCases[] = {
    {"FirstMidiChannelReadsMember1", -1, 0},
    {"Member1", 0, 0},
    {"Member6", 5, 5},
    {"Member15", 14, 14},
    {"BeyondMember15", 15, 14},
    {"MostNegative", std::numeric_limits<std::int32_t>::min(), 0},
    {"MostPositive", std::numeric_limits<std::int32_t>::max(), 14},
};

class ModulesMpeSwitchChannel : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(ModulesMpeSwitchChannel, EveryGroupPassesTheSignalOfTheVoicesChannel) {
    SwitchRig rig;
    const ChannelCase& c = GetParam();
    rig.channelAt(0, c.channel);
    rig.engine.run(128);
    for (std::uint32_t t = 1; t <= 128; ++t) {
        for (int g = 0; g < kGroups; ++g) {
            ASSERT_EQ(rig.recorded(g, t), rig.source(g, c.member, t)) << "group " << g << " time " << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesMpeSwitchChannel, ::testing::ValuesIn(kChannelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A voice restarted on another member channel changes source at that very sample.
TEST(ModulesMpeSwitch, ChannelChangeTakesEffectAtItsSample) {
    SwitchRig rig;
    rig.channelAt(10, 2);
    rig.channelAt(77, 9);
    rig.engine.run(256);
    for (std::uint32_t t = 11; t <= 256; ++t) {
        const int member = t < 1 + 77 ? 2 : 9;
        for (int g = 0; g < kGroups; ++g) {
            ASSERT_EQ(rig.recorded(g, t), rig.source(g, member, t)) << "group " << g << " time " << t;
        }
    }
}

// The selected input announces moving: the output follows it and says so; another channel's
// announcements change nothing; a block after the input goes still, the output says so too and
// the switch goes idle, its outputs holding the last value.
TEST(ModulesMpeSwitch, FollowsAMovingChannelAndSettlesOneBlockAfterIt) {
    SwitchRig rig;
    rig.channelAt(0, 3);
    rig.engine.run(128);
    ASSERT_TRUE(rig.idle());

    rig.groups[0]->wobble[3] = 1.0f;
    rig.groups[0]->wobble[4] = 50.0f;
    rig.at(5, 3, kEventMoving);
    rig.at(6, 4, kEventMoving);  // not this voice's channel
    rig.engine.run(600);
    ASSERT_FALSE(rig.idle());
    for (std::uint32_t t = 129 + 5; t <= 728; ++t) {
        ASSERT_EQ(rig.recorded(0, t), rig.source(0, 3, t)) << "time " << t;
    }

    rig.groups[0]->wobble[3] = 0.0f;
    rig.at(0, 3, kEventStill);
    rig.engine.run(384);
    EXPECT_TRUE(rig.idle());
    for (std::uint32_t t = 729; t <= 729 + 256; ++t) {
        ASSERT_EQ(rig.recorded(0, t), 4.0f) << "time " << t;
    }
    std::vector<std::pair<std::uint32_t, int>> output0;
    for (const auto& e : rig.recorder->events) {
        if (e.pin == 0) {
            output0.emplace_back(e.time, e.kind);
        }
    }
    const std::vector<std::pair<std::uint32_t, int>> expected = {{1, 0}, {134, 1}, {729, 0}};
    EXPECT_EQ(output0, expected);
}

// Once settled the output holds; a still announcement of the selected input (a jump, as the
// smoothers make while audio is stopped) copies the new value and announces it again, so that
// readers sampling the still value see it.
TEST(ModulesMpeSwitch, StillAnnouncementOfTheSelectedInputRefreshesTheOutput) {
    SwitchRig rig;
    rig.channelAt(0, 6);
    rig.engine.run(256);
    rig.groups[1]->level[6] = 42.0f;
    rig.groups[1]->level[7] = 43.0f;
    rig.at(0, 1 * kChannels + 7, kEventStill);  // not this voice's channel
    rig.engine.run(128);
    EXPECT_EQ(rig.recorded(1, 384), 107.0f) << "held without an announcement";

    rig.at(20, 1 * kChannels + 6, kEventStill);
    rig.engine.run(256);
    EXPECT_EQ(rig.recorded(1, 384 + 21), 42.0f);
    EXPECT_EQ(rig.recorded(1, 640), 42.0f);
    EXPECT_TRUE(rig.idle());
    int stillAnnouncements = 0;
    for (const auto& e : rig.recorder->events) {
        if (e.pin == 1) {
            ++stillAnnouncements;
            EXPECT_EQ(e.kind, kEventStill);
        }
    }
    EXPECT_EQ(stillAnnouncements, 2);
    EXPECT_EQ(rig.recorder->events.back().fvalue, 42.0f);
}

// Events reach a sleeping voice's switch; it renders their outcome once the voice wakes.
TEST(ModulesMpeSwitch, ChannelSetWhileAsleepIsCopiedOnWaking) {
    SwitchRig rig(128, true);
    rig.channelAt(0, 11);
    rig.engine.run(128);
    EXPECT_EQ(rig.recorded(2, 100), 0.0f);
    rig.engine.moduleFlags[rig.mpeSwitch->moduleIndex] &= ~kModuleAsleep;
    rig.engine.run(128);
    EXPECT_EQ(rig.recorded(2, 129), 212.0f);
}

// Pins 60, 62 and 63 scale groups 0, 1 and 2 when a module feeds them; group 3 has none.
TEST(ModulesMpeSwitch, MultiplierInputsScaleTheirGroups) {
    SwitchRig rig;
    constexpr int kMultiplierPins[] = {60, 62, 63};
    auto* factors = rig.engine.add<VoiceTestSignal>(3);
    for (int g = 0; g < 3; ++g) {
        factors->level[g] = static_cast<float>(g + 2);
        factors->connect(rig.mpeSwitch, rig.mpeSwitch->moduleIndex, g, kMultiplierPins[g], 0, 0, 0);
    }
    // The factors run after the switch, so it reads them one block late; give them a block.
    rig.engine.run(128);
    rig.channelAt(0, 1);
    rig.engine.run(128);
    for (int g = 0; g < kGroups; ++g) {
        const float factor = g < 3 ? static_cast<float>(g + 2) : 1.0f;
        EXPECT_EQ(rig.recorded(g, 200), rig.source(g, 1, 200) * factor) << "group " << g;
    }
}

// Signal pins bound to something other than a module output are not read as buffers.
TEST(ModulesMpeSwitch, ParameterOnASignalPinIsIgnored) {
    TestEngine engine(64);
    auto* mpeSwitch = engine.add<QX_DSP_MPE_Switch>(false);
    engine.paramValues[404] = 3.0f;
    engine.bindParameter(mpeSwitch, mpeSwitch->moduleIndex, 404, 0, 0, 0, 0);
    engine.prepareAll();
    mpeSwitch->receiveEvent(engine.sampleClock, kPinChannel, kEventStill, 0, 0.0f, nullptr);
    engine.run(128);
    EXPECT_EQ(mpeSwitch->outputs[0][10], 0.0f);
    EXPECT_TRUE((engine.moduleFlags[mpeSwitch->moduleIndex] & kModuleIdle) != 0);
}

// Channel changes and announcements at scattered samples, rendered in whole blocks or in
// arbitrary pieces, give the same output to the bit.
TEST(ModulesMpeSwitch, SplitChunksRenderTheSameAsWholeBlocks) {
    struct Scheduled {
        std::uint32_t time;
        int pin;
        int kind;
        std::int32_t ivalue;
    };
    const Scheduled kScript[] = {
        {3, kPinChannel, 0, 4}, {40, 4, 1, 0},   {41, 19, 1, 0},   {190, kPinChannel, 0, 8},
        {191, 8, 1, 0},         {300, 4, 0, 0},  {520, 8, 0, 0},   {777, kPinChannel, 0, -1},
        {900, 0, 1, 0},         {1300, 0, 0, 0}, {1301, 34, 1, 0},
    };
    const auto render = [&](bool split) {
        SwitchRig rig;
        for (int g = 0; g < kGroups; ++g) {
            for (int k = 0; k < kChannels; ++k) {
                rig.groups[g]->wobble[k] = static_cast<float>(k % 4);
            }
        }
        for (const Scheduled& e : kScript) {
            rig.at(e.time, e.pin, e.kind, e.ivalue);
        }
        std::mt19937 random(99);
        int left = 1664;
        while (left > 0) {
            const int piece = split ? std::min(left, 1 + static_cast<int>(random() % 70)) : std::min(left, 128);
            rig.engine.run(piece);
            left -= piece;
        }
        std::vector<float> all;
        for (const auto& samples : rig.recorder->samples) {
            all.insert(all.end(), samples.begin(), samples.end());
        }
        return all;
    };
    const std::vector<float> whole = render(false);
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(kGroups * 1664));
    EXPECT_EQ(whole, render(true));
}

TEST(ModulesMpeSwitch, ExtremeSignalsAndHostileEventsGiveFiniteOutput) {
    SwitchRig rig(64);
    constexpr float kExtremes[] = {std::numeric_limits<float>::max(), -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    auto* factors = rig.engine.add<VoiceTestSignal>(3);
    factors->connect(rig.mpeSwitch, rig.mpeSwitch->moduleIndex, 0, 60, 0, 0, 0);
    factors->level[0] = std::numeric_limits<float>::max();
    for (int g = 0; g < kGroups; ++g) {
        for (int k = 0; k < kChannels; ++k) {
            rig.groups[g]->level[k] = kExtremes[(g + k) % std::size(kExtremes)];
            rig.groups[g]->wobble[k] = std::numeric_limits<float>::max();
        }
    }
    constexpr std::int32_t kInts[] = {std::numeric_limits<std::int32_t>::min(), -1, 7,
                                      std::numeric_limits<std::int32_t>::max()};
    constexpr int kKinds[] = {0, 1, 2, 0xFFFF};
    constexpr int kStrayPins[] = {61, 64, 200, 0xFFFF};
    for (std::uint32_t i = 0; i < 64; ++i) {
        rig.at(3 * i, static_cast<int>(i), kKinds[i % 4], kInts[i % 4]);
        rig.at(3 * i + 1, kStrayPins[i % 4], kKinds[(i + 1) % 4], kInts[(i + 2) % 4]);
    }
    rig.engine.run(1000);
    for (int g = 0; g < kGroups; ++g) {
        for (const float x : rig.recorder->samples[g]) {
            ASSERT_TRUE(std::isfinite(x)) << "group " << g;
        }
    }
    for (const auto& e : rig.recorder->events) {
        ASSERT_TRUE(std::isfinite(e.fvalue));
        ASSERT_TRUE(e.kind == kEventStill || e.kind == kEventMoving);
    }
}

}  // namespace
