#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "modules/modulation/GlideRig.h"
#include "modules/modulation/QX_DSP_GUItoV_Glide_Multi.h"

namespace {

using Multi = QX_DSP_GUItoV_Glide_Multi;
using Rig = GlideRig<Multi>;

struct RateCase {
    const char* name;
    int sampleRate;
    int blockLength;
    std::int32_t rampSamples;  // 30 ms
    std::int32_t tailSamples;  // 100 ms
};

const RateCase kRates[] = {
    {"At44k1", 44100, 128, 1323, 4410},
    {"At96k", 96000, 128, 2880, 9600},
    {"At48kOddBlock", 48000, 100, 1440, 4800},
};

class ModulesGlideMultiRamp : public ::testing::TestWithParam<RateCase> {};

// The sample of the change keeps the old value; the target is reached exactly 30 ms later and
// every sample between lies on the straight line.
TEST_P(ModulesGlideMultiRamp, StepGlidesLinearlyOverThirtyMsToTheSample) {
    const RateCase& c = GetParam();
    Rig rig({3}, c.sampleRate, c.blockLength);
    rig.wire(3);
    rig.at(0, 3, 0.25f);
    rig.run(c.blockLength);  // audio not running yet: jumps to 0.25
    rig.probe->events.clear();
    const std::uint32_t t = rig.now() + 37;
    rig.at(t, 3, 0.75f);
    rig.run(c.rampSamples + 3 * c.tailSamples);

    EXPECT_EQ(rig.valueAt(3, t - 1), 0.25f);
    EXPECT_EQ(rig.valueAt(3, t), 0.25f);
    for (std::int32_t i = 1; i < c.rampSamples; ++i) {
        ASSERT_NEAR(rig.valueAt(3, t + i), 0.25 + 0.5 * i / c.rampSamples, 1e-6) << i;
    }
    EXPECT_LT(rig.valueAt(3, t + c.rampSamples - 1), 0.75f);
    EXPECT_EQ(rig.valueAt(3, t + c.rampSamples), 0.75f);
    EXPECT_EQ(rig.signal[3].back(), 0.75f);

    ASSERT_EQ(rig.probe->events.size(), 2u);
    EXPECT_EQ(rig.probe->events[0].time, t);
    EXPECT_EQ(rig.probe->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.probe->events[0].fvalue, 1.0f);
    const std::int32_t settle = std::max(c.rampSamples + c.blockLength + 1, c.tailSamples);
    EXPECT_EQ(rig.probe->events[1].time, t + static_cast<std::uint32_t>(settle));
    EXPECT_EQ(rig.probe->events[1].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[1].fvalue, 0.75f);
    EXPECT_EQ(rig.probe->events[1].ivalue, 1);
    EXPECT_TRUE(rig.idle());
    for (int i = 0; i < c.blockLength + kModuleBufferSpare; ++i) {
        ASSERT_EQ(rig.module->outputs[3][i], 0.75f) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGlideMultiRamp, ::testing::ValuesIn(kRates),
                         [](const auto& info) { return std::string(info.param.name); });

struct JumpCase {
    const char* name;
    bool audioRunning;
    bool programJustLoaded;
};

const JumpCase kJumps[] = {
    {"BeforeAudioRuns", false, false},
    {"AfterAProgramWasApplied", true, true},
};

class ModulesGlideMultiJump : public ::testing::TestWithParam<JumpCase> {};

// While the core reports either flag, a change lands at its own sample and is announced still
// with its value at once, even in the middle of a running ramp.
TEST_P(ModulesGlideMultiJump, JumpsToTheTargetAtTheEventSample) {
    const JumpCase& c = GetParam();
    Rig rig({0, 1});
    rig.wire(0);
    rig.wire(1);
    if (c.audioRunning) {
        rig.startAudio();
        rig.at(rig.now() + 5, 1, 2.0f);  // a ramp under way when the program arrives
        rig.run(128);
        rig.probe->events.clear();
    }
    rig.engine.programJustLoaded = c.programJustLoaded;
    const std::uint32_t t = rig.now() + 20;
    rig.at(t, 0, -0.5f);
    rig.at(t, 1, 3.0f);
    rig.run(1024);

    EXPECT_EQ(rig.valueAt(0, t - 1), 0.0f);
    EXPECT_EQ(rig.valueAt(0, t), -0.5f);
    EXPECT_EQ(rig.signal[0].back(), -0.5f);
    EXPECT_EQ(rig.valueAt(1, t), 3.0f);
    EXPECT_EQ(rig.signal[1].back(), 3.0f);
    ASSERT_EQ(rig.probe->events.size(), 2u);
    for (const auto& sent : rig.probe->events) {
        EXPECT_EQ(sent.time, t);
        EXPECT_EQ(sent.kind, kEventStill);
    }
    EXPECT_EQ(rig.probe->events[0].fvalue, -0.5f);
    EXPECT_EQ(rig.probe->events[0].ivalue, 0);
    EXPECT_EQ(rig.probe->events[1].fvalue, 3.0f);
    EXPECT_EQ(rig.probe->events[1].ivalue, 1);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGlideMultiJump, ::testing::ValuesIn(kJumps),
                         [](const auto& info) { return std::string(info.param.name); });

struct ScaleCase {
    const char* name;
    float scaleA;  // engineering values: the module uses them x 10
    float scaleB;
    float offset;
    std::int32_t gate;
    float raw;
    float expected;
};

const ScaleCase kScales[] = {
    {"Unscaled", 0.1f, 0.1f, 0.0f, 1, 0.3f, 0.3f},
    {"BendDepth", 0.4f, 0.1f, 0.0f, 1, 0.5f, 2.0f},
    {"BothScalesAndOffset", 0.2f, 0.3f, -0.1f, 1, 0.5f, 2.0f},
    {"GateClosedLeavesTheOffset", 0.4f, 0.1f, 0.05f, 0, 0.5f, 0.5f},
    {"MpeActiveOffMultipliesByZero", 0.4f, 0.1f, 0.0f, 0, 0.7f, 0.0f},
};

class ModulesGlideMultiScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ModulesGlideMultiScale, EveryChannelIsValueTimesScalesTimesGatePlusOffset) {
    const ScaleCase& c = GetParam();
    Rig rig({0, 7});
    rig.wire(0);
    rig.wire(7);
    rig.at(0, 0, c.raw);
    rig.at(0, 7, -c.raw);
    rig.run(128);
    // Scale, offset and gate reach the channels already set, and glide them like any change.
    rig.startAudio();
    const std::uint32_t t = rig.now() + 3;
    rig.at(t, Multi::kPinScaleA, c.scaleA);
    rig.at(t, Multi::kPinScaleB, c.scaleB);
    rig.at(t, Multi::kPinOffset, c.offset);
    rig.at(t, Multi::kPinGate, 0.1f * static_cast<float>(c.gate), c.gate);
    rig.run(6000);

    EXPECT_NEAR(rig.valueAt(0, t + 1323), c.expected, 1e-6);
    EXPECT_NEAR(rig.signal[0].back(), c.expected, 1e-6);
    const float mirrored = -c.raw * c.scaleA * c.scaleB * 100.0f * static_cast<float>(c.gate) + c.offset * 10.0f;
    EXPECT_NEAR(rig.signal[7].back(), mirrored, 1e-6);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGlideMultiScale, ::testing::ValuesIn(kScales),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesGlideMulti, RampTimeInputSetsTheLengthOfLaterRamps) {
    EXPECT_EQ(Multi::rampSamples(10.0f, 44100), 4411);   // fixed value 100: 100 ms
    EXPECT_EQ(Multi::rampSamples(0.1f, 44100), 45);      // "Seq Glide" at its least, 1 ms
    EXPECT_EQ(Multi::rampSamples(15.0f, 96000), 14401);  // fixed value 150
    EXPECT_EQ(Multi::rampSamples(-5.0f, 44100), 0);

    Rig rig({2});
    rig.wire(2);
    rig.startAudio();
    rig.at(rig.now(), Multi::kPinRampTime, 10.0f);
    const std::uint32_t t = rig.now() + 10;
    rig.at(t, 2, 1.0f);
    rig.run(6000);
    EXPECT_LT(rig.valueAt(2, t + 4410), 1.0f);
    EXPECT_EQ(rig.valueAt(2, t + 4411), 1.0f);
    EXPECT_NEAR(rig.valueAt(2, t + 2000), 2000.0 / 4411.0, 1e-6);
}

// A new value during a ramp starts a fresh ramp from where the output is, without a second moving
// announcement; the still announcement follows the last ramp.
TEST(ModulesGlideMulti, ChangeDuringARampContinuesFromTheCurrentValue) {
    Rig rig({5});
    rig.wire(5);
    rig.startAudio();
    const std::uint32_t t = rig.now() + 1;
    rig.at(t, 5, 1.0f);
    rig.at(t + 500, 5, -1.0f);
    rig.run(12000);
    const float at500 = 500.0f / 1323.0f;
    EXPECT_NEAR(rig.valueAt(5, t + 500), at500, 1e-6);
    EXPECT_NEAR(rig.valueAt(5, t + 500 + 600), at500 + (-1.0f - at500) * 600.0f / 1323.0f, 1e-6);
    EXPECT_EQ(rig.valueAt(5, t + 500 + 1323), -1.0f);
    ASSERT_EQ(rig.probe->events.size(), 2u);
    EXPECT_EQ(rig.probe->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.probe->events[1].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[1].time, t + 500 + 4410);
    EXPECT_EQ(rig.probe->events[1].fvalue, -1.0f);
}

TEST(ModulesGlideMulti, UnwiredPinsAndRepeatedValuesDoNothing) {
    Rig rig({0, 1});
    rig.wire(0);
    rig.startAudio();
    rig.at(rig.now() + 4, 1, 3.0f);   // output 1 has no wired input
    rig.at(rig.now() + 8, 0, 0.0f);   // the value it already has
    rig.run(256);
    EXPECT_TRUE(rig.probe->events.empty());
    EXPECT_EQ(rig.signal[1].back(), 0.0f);
    EXPECT_TRUE(rig.idle());
}

// The same events give the same samples whether the chunks are whole or cut short, and whether
// stray events split the render pieces.
TEST(ModulesGlideMulti, SplitRenderingMatchesWholeRendering) {
    auto play = [](bool split) {
        Rig rig({0, 1, 2});
        for (int k = 0; k < 3; ++k) {
            rig.wire(k);
        }
        rig.startAudio();
        const std::uint32_t t = rig.now();
        rig.at(t + 3, 0, 0.8f);
        rig.at(t + 77, 1, -0.3f);
        rig.at(t + 700, 0, 0.1f);
        rig.at(t + 901, Multi::kPinRampTime, 0.7f);
        rig.at(t + 1500, 2, 5.0f);
        rig.at(t + 2100, Multi::kPinScaleA, 0.2f);
        if (split) {
            for (std::uint32_t s = 5; s < 9000; s += 97 + s % 13) {
                rig.at(t + s, 63, 1.0f);
            }
        }
        rig.run(9000, split ? 29 : kMaxChunk);
        return std::make_pair(rig.signal, rig.probe->events);
    };
    const auto whole = play(false);
    const auto split = play(true);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(whole.first.at(k), split.first.at(k)) << k;
    }
    ASSERT_EQ(whole.second.size(), split.second.size());
    for (std::size_t i = 0; i < whole.second.size(); ++i) {
        EXPECT_EQ(whole.second[i].time, split.second[i].time) << i;
        EXPECT_EQ(whole.second[i].kind, split.second[i].kind) << i;
        EXPECT_EQ(whole.second[i].fvalue, split.second[i].fvalue) << i;
    }
}

TEST(ModulesGlideMulti, HostileValuesNeverReachTheOutputs) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float values[] = {kNan, kInf, -kInf, 3.0e38f, -3.0e38f, 1.0e-40f};
    Rig rig({0, 1, 47});
    rig.wire(0);
    rig.wire(1);
    rig.wire(47);
    rig.startAudio();
    std::uint32_t t = rig.now();
    for (const float v : values) {
        rig.at(t + 1, 0, v);
        rig.at(t + 2, 1, -v);
        rig.at(t + 3, 47, v);
        rig.at(t + 40, Multi::kPinRampTime, v);
        rig.at(t + 50, Multi::kPinScaleA, v, std::numeric_limits<std::int32_t>::min());
        rig.at(t + 60, Multi::kPinOffset, v);
        rig.at(t + 70, Multi::kPinGate, v, std::numeric_limits<std::int32_t>::max());
        rig.at(t + 80, 0xFFFF, v);
        t += 3000;
    }
    rig.run(static_cast<int>(t - rig.now()) + 20000);
    for (const auto& [output, samples] : rig.signal) {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            ASSERT_TRUE(std::isfinite(samples[i])) << output << " " << i;
        }
    }
    for (const auto& sent : rig.probe->events) {
        ASSERT_TRUE(std::isfinite(sent.fvalue));
    }
}

}  // namespace

namespace {

// With a ramp shorter than one sample the value lands at once, but readers are told it moves until
// the tail has passed.
TEST(ModulesGlideMulti, RampBelowOneSampleLandsAtOnceAndSettlesAfterTheTail) {
    Rig rig({4});
    rig.wire(4);
    rig.startAudio();
    rig.at(rig.now(), Multi::kPinRampTime, -1.0f);
    const std::uint32_t t = rig.now() + 12;
    rig.at(t, 4, 0.6f);
    rig.run(6000);
    EXPECT_EQ(rig.valueAt(4, t - 1), 0.0f);
    EXPECT_EQ(rig.valueAt(4, t), 0.6f);
    ASSERT_EQ(rig.probe->events.size(), 2u);
    EXPECT_EQ(rig.probe->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.probe->events[0].time, t);
    EXPECT_EQ(rig.probe->events[1].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[1].time, t + 4410);
    EXPECT_TRUE(rig.idle());
}

}  // namespace
