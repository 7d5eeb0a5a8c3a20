#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "modules/modulation/GlideRig.h"
#include "modules/modulation/QX_DSP_GUItoV_Glide.h"

namespace {

using Glide = QX_DSP_GUItoV_Glide;
using Rig = GlideRig<Glide>;

constexpr float kWired = 0.0f;

struct ConversionCase {
    const char* name;
    int modePin;  // -1: plain
    float scale;  // engineering values: the module uses them x 10
    float offset;
    float value;
    float expected;
};

const ConversionCase kConversions[] = {
    {"PlainScaleAndOffset", -1, 0.2f, 0.1f, 0.5f, 2.0f},
    {"SquaredMasterVolume", Glide::kPinSquaredMode, 0.1f, 0.0f, 0.8f, 0.64f},
    {"SquaredScaleAndOffset", Glide::kPinSquaredMode, 0.2f, 0.1f, -0.5f, 1.5f},
    {"WidthAtOne", Glide::kPinWidthMode, 0.2f, 0.1f, 1.0f, 1.0f},
    {"WidthAtTen", Glide::kPinWidthMode, 0.2f, 0.1f, 10.0f, 0.0f},
    {"WidthInTheMiddle", Glide::kPinWidthMode, 0.2f, 0.1f, 5.5f, 0.5f},
};

class ModulesGUItoVGlideConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ModulesGUItoVGlideConversion, ConvertsTheValueByTheWiredMode) {
    const ConversionCase& c = GetParam();
    Rig rig({0});
    if (c.modePin >= 0) {
        rig.module->setInput(c.modePin, &kWired);
    }
    rig.at(0, Glide::kPinScale, c.scale);
    rig.at(0, Glide::kPinOffset, c.offset);
    rig.at(0, Glide::kPinValue, c.value);
    rig.run(256);
    EXPECT_NEAR(rig.signal[0].back(), c.expected, 1e-6);
    ASSERT_FALSE(rig.probe->events.empty());
    EXPECT_NEAR(rig.probe->events.back().fvalue, c.expected, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGUItoVGlideConversion, ::testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

struct RampCase {
    const char* name;
    int sampleRate;
    float rampTime;          // < 0: unwired, 30 ms
    std::int32_t rampSamples;
    std::int32_t tailSamples;
};

const RampCase kRamps[] = {
    {"ThirtyMsAt44k1", 44100, -1.0f, 1323, 4410},
    {"ThirtyMsAt96k", 96000, -1.0f, 2880, 9600},
    {"MasterVolume1500ms", 44100, 150.0f, 66150, 4410},
};

class ModulesGUItoVGlideRamp : public ::testing::TestWithParam<RampCase> {};

TEST_P(ModulesGUItoVGlideRamp, StepRampsLinearlyToTheSampleAndThenSettles) {
    const RampCase& c = GetParam();
    Rig rig({0}, c.sampleRate);
    if (c.rampTime >= 0.0f) {
        rig.at(0, Glide::kPinRampTime, c.rampTime);
    }
    rig.at(0, Glide::kPinValue, 2.0f);
    rig.run(128);
    rig.startAudio();
    const std::uint32_t t = rig.now() + 50;
    rig.at(t, Glide::kPinValue, -1.0f);
    rig.run(c.rampSamples + c.tailSamples + 1000);

    EXPECT_EQ(rig.valueAt(0, t), 2.0f);
    for (std::int32_t i = 1; i < c.rampSamples; i += 7) {
        ASSERT_NEAR(rig.valueAt(0, t + i), 2.0 - 3.0 * i / c.rampSamples, 2e-5) << i;
    }
    EXPECT_GT(rig.valueAt(0, t + c.rampSamples - 1), -1.0f);
    EXPECT_EQ(rig.valueAt(0, t + c.rampSamples), -1.0f);
    EXPECT_EQ(rig.signal[0].back(), -1.0f);

    ASSERT_EQ(rig.probe->events.size(), 2u);
    EXPECT_EQ(rig.probe->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.probe->events[0].time, t);
    EXPECT_EQ(rig.probe->events[1].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[1].time, t + c.rampSamples + c.tailSamples);
    EXPECT_EQ(rig.probe->events[1].fvalue, -1.0f);
    EXPECT_EQ(rig.probe->events[1].ivalue, 0);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGUItoVGlideRamp, ::testing::ValuesIn(kRamps),
                         [](const auto& info) { return std::string(info.param.name); });

struct JumpCase {
    const char* name;
    int pin;
    bool programJustLoaded;
};

const JumpCase kJumps[] = {
    {"JumpPin", Glide::kPinJumpValue, false},
    {"SetPin", Glide::kPinSetValue, false},
    {"ProgramJustApplied", Glide::kPinValue, true},
};

class ModulesGUItoVGlideJump : public ::testing::TestWithParam<JumpCase> {};

// In the middle of a ramp, the value lands at its own sample and is announced still at once.
TEST_P(ModulesGUItoVGlideJump, LandsAtTheEventSampleAndIsAnnouncedStill) {
    const JumpCase& c = GetParam();
    Rig rig({0});
    rig.startAudio();
    rig.at(rig.now() + 1, Glide::kPinValue, 1.0f);
    rig.run(128);
    rig.engine.programJustLoaded = c.programJustLoaded;
    const std::uint32_t t = rig.now() + 30;
    rig.at(t, c.pin, 0.25f);
    rig.run(1000);
    EXPECT_LT(rig.valueAt(0, t - 1), 0.25f);
    EXPECT_EQ(rig.valueAt(0, t), 0.25f);
    EXPECT_EQ(rig.signal[0].back(), 0.25f);
    const auto& last = rig.probe->events.back();
    EXPECT_EQ(last.time, t);
    EXPECT_EQ(last.kind, kEventStill);
    EXPECT_EQ(last.fvalue, 0.25f);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGUItoVGlideJump, ::testing::ValuesIn(kJumps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesGUItoVGlide, OnOffOutputReportsCrossingsOfZero) {
    Rig rig({0, 1});
    rig.startAudio();
    const std::uint32_t t = rig.now();
    rig.at(t + 10, Glide::kPinValue, 0.5f);
    rig.at(t + 20, Glide::kPinValue, 0.7f);
    rig.at(t + 30, Glide::kPinValue, 0.0f);
    rig.at(t + 40, Glide::kPinValue, 0.0f);
    rig.run(256);
    std::vector<ProbeModule::Handled> onOff;
    for (const auto& sent : rig.probe->events) {
        if (sent.pin == Glide::kOutputOnOff) {
            onOff.push_back(sent);
        }
    }
    ASSERT_EQ(onOff.size(), 2u);
    EXPECT_EQ(onOff[0].time, t + 10);
    EXPECT_EQ(onOff[0].ivalue, 1);
    EXPECT_EQ(onOff[0].fvalue, 1.0f);
    EXPECT_EQ(onOff[1].time, t + 30);
    EXPECT_EQ(onOff[1].ivalue, 0);
    EXPECT_EQ(onOff[1].fvalue, 0.0f);
}

TEST(ModulesGUItoVGlide, SplitRenderingMatchesWholeRendering) {
    auto play = [](bool split) {
        Rig rig({0});
        rig.module->setInput(Glide::kPinSquaredMode, &kWired);
        rig.startAudio();
        const std::uint32_t t = rig.now();
        rig.at(t + 3, Glide::kPinValue, 0.9f);
        rig.at(t + 800, Glide::kPinValue, 0.2f);
        rig.at(t + 1000, Glide::kPinRampTime, 0.5f);
        rig.at(t + 3000, Glide::kPinValue, 1.3f);
        rig.at(t + 3100, Glide::kPinScale, 0.3f);
        if (split) {
            for (std::uint32_t s = 7; s < 12000; s += 83 + s % 17) {
                rig.at(t + s, Glide::kPinWidthMode - 1, 1.0f);  // an unused pin cuts the pieces
            }
        }
        rig.run(12000, split ? 23 : kMaxChunk);
        return std::make_pair(rig.signal[0], rig.probe->events);
    };
    const auto whole = play(false);
    const auto split = play(true);
    ASSERT_EQ(whole.first, split.first);
    ASSERT_EQ(whole.second.size(), split.second.size());
    for (std::size_t i = 0; i < whole.second.size(); ++i) {
        EXPECT_EQ(whole.second[i].time, split.second[i].time) << i;
        EXPECT_EQ(whole.second[i].kind, split.second[i].kind) << i;
        EXPECT_EQ(whole.second[i].fvalue, split.second[i].fvalue) << i;
    }
}

TEST(ModulesGUItoVGlide, HostileValuesNeverReachTheOutput) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float values[] = {kNan, kInf, -kInf, 3.0e38f, -3.0e38f, -5.0f, 1.0e-40f};
    for (const int modePin : {-1, Glide::kPinSquaredMode, Glide::kPinWidthMode}) {
        Rig rig({0, 1});
        if (modePin >= 0) {
            rig.module->setInput(modePin, &kWired);
        }
        rig.startAudio();
        std::uint32_t t = rig.now();
        for (const float v : values) {
            for (const int pin : {Glide::kPinRampTime, Glide::kPinScale, Glide::kPinOffset, Glide::kPinValue,
                                  Glide::kPinJumpValue, Glide::kPinSetValue, 0xFFFF}) {
                rig.at(t, pin, v);
                rig.at(t + 300, pin, 0.5f);
            }
            rig.at(t + 600, Glide::kPinValue, -v);
            t += 1000;
        }
        rig.run(static_cast<int>(t - rig.now()) + 6000);
        for (std::size_t i = 0; i < rig.signal[0].size(); ++i) {
            ASSERT_TRUE(std::isfinite(rig.signal[0][i])) << modePin << " " << i;
        }
        for (const auto& sent : rig.probe->events) {
            ASSERT_TRUE(std::isfinite(sent.fvalue));
        }
    }
}

}  // namespace

namespace {

TEST(ModulesGUItoVGlide, ZeroRampTimeLandsAtOnceAndSettlesAfterTheTail) {
    Rig rig({0});
    rig.startAudio();
    rig.at(rig.now(), Glide::kPinRampTime, 0.0f);
    const std::uint32_t t = rig.now() + 12;
    rig.at(t, Glide::kPinValue, 0.6f);
    rig.run(6000);
    EXPECT_EQ(rig.valueAt(0, t - 1), 0.0f);
    EXPECT_EQ(rig.valueAt(0, t), 0.6f);
    ASSERT_EQ(rig.probe->events.size(), 2u);
    EXPECT_EQ(rig.probe->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.probe->events[0].time, t);
    EXPECT_EQ(rig.probe->events[1].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[1].time, t + 4410);
    EXPECT_EQ(rig.probe->events[1].fvalue, 0.6f);
    EXPECT_TRUE(rig.idle());
}

}  // namespace
