#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "modules/modulation/ControlValueRig.h"
#include "modules/modulation/QX_DSP_FdB_to_VFGain.h"
#include "modules/modulation/QX_DSP_Float_to_Volt.h"

namespace {

using FloatToVolt = QX_DSP_Float_to_Volt;

struct VoltCase {
    const char* name;
    int modePin;  // -1: mode 0 unwired
    bool square;
    float gain;   // engineering values, as the parameters send them
    float offset;
    float x;
    double expected;
};

constexpr double kSampleRate = 44100.0;

const VoltCase kVoltCases[] = {
    {"LinearGainAndOffset", -1, false, 0.2f, 0.1f, 0.5f, 2.0},
    {"LinearSquared", -1, true, 0.2f, 0.1f, 0.5f, 4.0},
    {"ReversedOne", FloatToVolt::kPinReversedMode, false, 0.1f, 0.0f, 1.0f, 1.0},
    {"ReversedTen", FloatToVolt::kPinReversedMode, false, 0.1f, 0.0f, 10.0f, 0.0},
    {"ReversedMiddle", FloatToVolt::kPinReversedMode, false, 0.5f, 0.3f, 5.5f, 0.5},
    {"Rate440", FloatToVolt::kPinRateMode, false, 0.1f, 0.0f, 0.5f, 440.0 * 0.0001},
    {"HzAtPitchZero", FloatToVolt::kPinHzMode, false, 0.1f, 0.0f, 0.0f, 1.375},
    {"Hz440", FloatToVolt::kPinHzMode, false, 0.1f, 0.0f, 0.5f, 44.0},
    {"HzBetweenEntries", FloatToVolt::kPinHzMode, false, 0.1f, 0.0f, 0.4213f, 1.375 * std::pow(2.0, 4.213)},
    {"HzBelowTheTableReadsItsEnd", FloatToVolt::kPinHzMode, false, 0.1f, 0.0f, -5.0f, 1.375 * std::pow(2.0, -30.0)},
};

class ModulesFloatToVolt : public ::testing::TestWithParam<VoltCase> {};

TEST_P(ModulesFloatToVolt, SendsTheResultAtTheEventAndHoldsItInTheBufferForOneBlock) {
    const VoltCase& c = GetParam();
    ControlValueRig<FloatToVolt> rig({});
    static constexpr float kWired = 0.0f;
    if (c.modePin >= 0) {
        rig.module->setInput(c.modePin, &kWired);
    }
    if (c.square) {
        rig.module->setInput(FloatToVolt::kPinSquare, &kWired);
    }
    rig.probeOutputs({0});
    const std::uint32_t start = rig.engine.sampleClock;
    rig.at(45, FloatToVolt::kPinGain, c.gain);
    rig.at(45, FloatToVolt::kPinOffset, c.offset);
    rig.at(45, FloatToVolt::kPinX, c.x);
    rig.engine.run(128);

    ASSERT_EQ(rig.probe->events.size(), 1u);
    const auto& sent = rig.probe->events[0];
    EXPECT_EQ(sent.time, start + 45);
    EXPECT_EQ(sent.pin, 0);
    EXPECT_EQ(sent.kind, kEventStill);
    EXPECT_NEAR(sent.fvalue, c.expected, std::abs(c.expected) * 1e-5 + 1e-12);
    EXPECT_EQ(sent.ivalue, static_cast<std::int32_t>(std::trunc(sent.fvalue)));

    const float* out = rig.module->outputs[0];
    EXPECT_EQ(out[44], 0.0f);  // before the event
    EXPECT_EQ(out[45], sent.fvalue);
    EXPECT_EQ(out[127], sent.fvalue);
    EXPECT_FALSE(rig.idle());  // the first 45 samples of the ring still hold the old value
    rig.engine.run(128);
    for (int i = 0; i < 128 + kModuleBufferSpare; ++i) {
        ASSERT_EQ(out[i], sent.fvalue) << i;
    }
    EXPECT_TRUE(rig.idle());
    EXPECT_EQ(rig.probe->events.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesFloatToVolt, ::testing::ValuesIn(kVoltCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesFloatToVoltOnOff, ReportsOnlyChangesBetweenZeroAndNonZero) {
    ControlValueRig<FloatToVolt> rig({0, FloatToVolt::kOutputOnOff});
    const std::uint32_t start = rig.engine.sampleClock;
    rig.at(0, FloatToVolt::kPinX, 0.0f);
    rig.at(10, FloatToVolt::kPinX, 0.3f);
    rig.at(20, FloatToVolt::kPinX, 0.5f);
    rig.at(30, FloatToVolt::kPinX, 0.0f);
    rig.engine.run(64);

    std::vector<ProbeModule::Handled> onOff;
    for (const auto& sent : rig.probe->events) {
        if (sent.pin == FloatToVolt::kOutputOnOff) {
            onOff.push_back(sent);
        }
    }
    EXPECT_EQ(rig.probe->events.size() - onOff.size(), 4u);
    ASSERT_EQ(onOff.size(), 2u);
    EXPECT_EQ(onOff[0].time, start + 10);
    EXPECT_EQ(onOff[0].ivalue, 1);
    EXPECT_EQ(onOff[0].fvalue, 1.0f);
    EXPECT_EQ(onOff[1].time, start + 30);
    EXPECT_EQ(onOff[1].ivalue, 0);
    EXPECT_EQ(onOff[1].fvalue, 0.0f);
}

using Gain = QX_DSP_FdB_to_VFGain;

TEST(ModulesFdBGain, LawIsZeroAtTheCentreAndOddAroundIt) {
    EXPECT_EQ(Gain::gainFor(0.0f), 0.0f);
    for (const float fader : {0.3f, 1.0f, 1.8f}) {
        const double v = fader * 1.77;
        const double spanned = 0.23529412 * v;
        const double expected = 0.5 * std::sin(v * (1.0 - 0.2014218 * spanned * spanned) / std::numbers::pi);
        EXPECT_NEAR(Gain::gainFor(fader), expected, 1e-6) << fader;
        EXPECT_EQ(Gain::gainFor(-fader), -Gain::gainFor(fader)) << fader;
    }
}

// The output buffer over the next `chunks` blocks, one block per chunk, as a reader sees it.
std::vector<float> capture(ControlValueRig<Gain>& rig, int chunks) {
    std::vector<float> timeline;
    const int block = rig.engine.engineBlockLength;
    for (int k = 0; k < chunks; ++k) {
        rig.engine.run(block);
        timeline.insert(timeline.end(), rig.module->outputs[0], rig.module->outputs[0] + block);
    }
    return timeline;
}

struct JumpCase {
    const char* name;
    bool audioRunning;
    bool programJustLoaded;
};

class ModulesFdBGainJump : public ::testing::TestWithParam<JumpCase> {};

TEST_P(ModulesFdBGainJump, JumpsAtTheEventWhileAudioIsStoppedOrAProgramWasJustApplied) {
    const JumpCase& c = GetParam();
    ControlValueRig<Gain> rig({0});
    rig.engine.prepareAll();
    if (c.audioRunning) {
        rig.startAudio();
    }
    rig.engine.programJustLoaded = c.programJustLoaded;
    const std::uint32_t start = rig.engine.sampleClock;
    rig.at(20, Gain::kPinFader, 1.2f);
    const std::vector<float> timeline = capture(rig, 2);

    const float target = Gain::gainFor(1.2f);
    ASSERT_EQ(rig.probe->events.size(), 1u);
    EXPECT_EQ(rig.probe->events[0].time, start + 20);
    EXPECT_EQ(rig.probe->events[0].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[0].fvalue, target);
    EXPECT_EQ(timeline[19], 0.0f);
    EXPECT_EQ(timeline[20], target);
    EXPECT_EQ(timeline.back(), target);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesFdBGainJump,
                         ::testing::Values(JumpCase{"AudioStopped", false, false},
                                           JumpCase{"ProgramJustLoaded", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesFdBGainRamp, RampsLinearlyOver30MsWhileAudioRunsThenHoldsOneBlockAndIdles) {
    ControlValueRig<Gain> rig({0});
    rig.engine.prepareAll();
    rig.startAudio();
    const std::uint32_t start = rig.engine.sampleClock;
    const int length = static_cast<int>(kSampleRate * 0.03);  // 1323 samples
    rig.at(10, Gain::kPinFader, -1.5f);
    const std::vector<float> timeline = capture(rig, 13);

    const float target = Gain::gainFor(-1.5f);
    ASSERT_EQ(rig.probe->events.size(), 2u);
    EXPECT_EQ(rig.probe->events[0].time, start + 10);
    EXPECT_EQ(rig.probe->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.probe->events[0].fvalue, 0.0f);
    EXPECT_EQ(rig.probe->events[1].time, start + 10 + static_cast<std::uint32_t>(length));
    EXPECT_EQ(rig.probe->events[1].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[1].fvalue, target);

    for (int j = 0; j <= length; j += 7) {
        ASSERT_NEAR(timeline[static_cast<std::size_t>(10 + j)], target * static_cast<float>(j) / length, 1e-5) << j;
    }
    EXPECT_EQ(timeline[static_cast<std::size_t>(10 + length)], target);
    EXPECT_NE(timeline[static_cast<std::size_t>(10 + length - 1)], target);
    // Idle one block after arriving, with the target everywhere in the ring.
    EXPECT_TRUE(rig.idle());
    EXPECT_EQ(timeline.back(), target);

    rig.probe->events.clear();
    rig.at(0, Gain::kPinFader, -1.5f);  // the same gain again: ignored
    rig.engine.run(128);
    EXPECT_TRUE(rig.probe->events.empty());

    rig.at(5, Gain::kPinReevaluate, 0.0f);  // nothing to move: the gain is re-sent as it stands
    rig.engine.run(128);
    ASSERT_EQ(rig.probe->events.size(), 1u);
    EXPECT_EQ(rig.probe->events[0].kind, kEventStill);
    EXPECT_EQ(rig.probe->events[0].fvalue, target);
}

TEST(ModulesFdBGainRamp, ANewTargetDuringARampStartsFromWhereTheGainIs) {
    ControlValueRig<Gain> rig({0});
    rig.engine.prepareAll();
    rig.startAudio();
    rig.at(0, Gain::kPinFader, 1.0f);
    rig.at(500, Gain::kPinFader, -1.0f);
    const std::vector<float> timeline = capture(rig, 20);

    const float first = Gain::gainFor(1.0f);
    const float second = Gain::gainFor(-1.0f);
    const float reached = first * 500.0f / 1323.0f;
    ASSERT_EQ(rig.probe->events.size(), 3u);
    EXPECT_EQ(rig.probe->events[1].kind, kEventMoving);
    EXPECT_NEAR(rig.probe->events[1].fvalue, reached, 1e-5);
    EXPECT_NEAR(timeline[500 + 1323 / 2], reached + (second - reached) * (1323 / 2) / 1323.0f, 1e-5);
    EXPECT_EQ(rig.probe->events[2].fvalue, second);
    EXPECT_EQ(timeline[500 + 1323], second);
}

}  // namespace
