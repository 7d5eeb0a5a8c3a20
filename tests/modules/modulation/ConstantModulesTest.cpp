#include <gtest/gtest.h>

#include <cmath>

#include "modules/modulation/QX_DSP_FixedValueToINT_FLOAT.h"
#include "modules/modulation/QX_DSP_FixedValueToVolt.h"
#include "modules/modulation/ControlValueRig.h"

namespace {

// Constants as the netlist stores them (ten times the value meant) and what they become.
struct ConstantCase {
    float stored;
    std::int32_t ivalue;
    float fvalue;
};

constexpr ConstantCase kConstants[] = {
    {120.0f, 120, 12.0f},
    {-4.25f, -4, -0.425f},
    {0.00133f, 0, 0.000133f},
    {5000.0f, 5000, 500.0f},
};
constexpr int kConstantCount = static_cast<int>(std::size(kConstants));

TEST(ModulesConstantValues, FixedValueToVoltFillsABufferPerWiredPinAndSendsEachConstantAtPrepare) {
    ControlValueRig<QX_DSP_FixedValueToVolt> rig({});
    for (int pin = 0; pin < kConstantCount; ++pin) {
        rig.module->setInput(pin, &kConstants[pin].stored);
    }
    rig.probeOutputs({0, 1, 2, 3, 5});
    EXPECT_EQ(rig.probe->inputs[0], rig.module->outputs[0]);
    EXPECT_EQ(rig.module->outputs[kConstantCount], nullptr);  // an unwired pin has no buffer

    const std::uint32_t start = rig.engine.sampleClock;
    rig.engine.prepareAll();
    rig.engine.run(64);

    ASSERT_EQ(rig.probe->events.size(), std::size(kConstants));
    for (int pin = 0; pin < kConstantCount; ++pin) {
        SCOPED_TRACE(pin);
        const auto& sent = rig.probe->events[static_cast<std::size_t>(pin)];
        EXPECT_EQ(sent.pin, pin);
        EXPECT_EQ(sent.time, start);
        EXPECT_EQ(sent.kind, kEventStill);
        EXPECT_EQ(sent.ivalue, kConstants[pin].ivalue);
        EXPECT_FLOAT_EQ(sent.fvalue, kConstants[pin].fvalue);
        const float* buffer = rig.module->outputs[pin];
        ASSERT_NE(buffer, nullptr);
        for (int i = 0; i < rig.engine.engineBlockLength + kModuleBufferSpare; ++i) {
            ASSERT_FLOAT_EQ(buffer[i], kConstants[pin].fvalue) << i;
        }
    }
    EXPECT_TRUE(rig.idle());
}

class ModulesIntFloatConstants : public ::testing::Test {
protected:
    static constexpr int kCurve = QX_DSP_FixedValueToINT_FLOAT::kOutputCurve;
    ControlValueRig<QX_DSP_FixedValueToINT_FLOAT> rig{{0, 3, 55, 59, kCurve}};
};

TEST_F(ModulesIntFloatConstants, SendsOnlyTheConstantPinsAndMakesNoBuffers) {
    static constexpr float kStored[] = {7.0f, -10.0f, 1500.0f};
    rig.module->setInput(0, &kStored[0]);
    rig.module->setInput(3, &kStored[1]);
    rig.module->setInput(55, &kStored[2]);
    rig.engine.bindParameter(rig.module, rig.module->moduleIndex, 211, QX_DSP_FixedValueToINT_FLOAT::kPinMidiChannel,
                             0, 0, 0);
    rig.engine.prepareAll();
    rig.engine.run(16);

    ASSERT_EQ(rig.probe->events.size(), 3u);
    const int expectedPins[] = {0, 3, 55};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rig.probe->events[i].pin, expectedPins[i]);
        EXPECT_EQ(rig.probe->events[i].ivalue, static_cast<std::int32_t>(kStored[i]));
        EXPECT_FLOAT_EQ(rig.probe->events[i].fvalue, kStored[i] * 0.1f);
    }
    for (float* output : rig.module->outputs) {
        EXPECT_EQ(output, nullptr);
    }
}

TEST_F(ModulesIntFloatConstants, CarriesTheMidiReceptionSettingsIntoTheCore) {
    rig.at(0, QX_DSP_FixedValueToINT_FLOAT::kPinMpeMode, 0.0f, 1);
    rig.at(1, QX_DSP_FixedValueToINT_FLOAT::kPinMpeSwapPressureSlide, 0.0f, 1);
    rig.at(2, QX_DSP_FixedValueToINT_FLOAT::kPinMidiChannel, 0.3f, 3);
    rig.engine.run(16);
    EXPECT_EQ(rig.engine.mpeMode, 1);
    EXPECT_EQ(rig.engine.mpeSwapPressureSlide, 1);
    EXPECT_EQ(rig.engine.midiChannel, 3);
    EXPECT_TRUE(rig.probe->events.empty());

    rig.at(0, QX_DSP_FixedValueToINT_FLOAT::kPinMidiChannel, -0.1f, -1);
    rig.engine.run(16);
    EXPECT_EQ(rig.engine.midiChannel, -1);
}

struct CurveCase {
    const char* name;
    float x;
    std::int32_t inverted;
};

class ModulesIntFloatCurve : public ModulesIntFloatConstants, public ::testing::WithParamInterface<CurveCase> {};

TEST_P(ModulesIntFloatCurve, SendsTheCurveOnOutput60AtTheSampleOfTheChange) {
    const CurveCase& c = GetParam();
    const std::uint32_t start = rig.engine.sampleClock;
    rig.at(37, QX_DSP_FixedValueToINT_FLOAT::kPinCurveInvert, 0.0f, c.inverted);
    rig.at(37, QX_DSP_FixedValueToINT_FLOAT::kPinCurveValue, c.x);
    rig.engine.run(128);

    const double x = c.inverted != 0 ? 1.0 - c.x : c.x;
    const double expected = std::pow(1.02 - 0.835 * x, 4.0) * 1200.0;
    ASSERT_EQ(rig.probe->events.size(), 1u);  // two changes at one sample give one result
    const auto& sent = rig.probe->events[0];
    EXPECT_EQ(sent.pin, kCurve);
    EXPECT_EQ(sent.time, start + 37);
    EXPECT_EQ(sent.ivalue, 0);
    EXPECT_NEAR(sent.fvalue, expected, expected * 1e-5);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesIntFloatCurve,
                         ::testing::Values(CurveCase{"Zero", 0.0f, 0}, CurveCase{"One", 1.0f, 0},
                                           CurveCase{"Middle", 0.4f, 0}, CurveCase{"InvertedOne", 1.0f, 1},
                                           CurveCase{"InvertedMiddle", 0.4f, 1}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ModulesIntFloatConstants, ProgramSelectAsksTheCoreUnlessAProgramIsBeingApplied) {
    rig.at(0, QX_DSP_FixedValueToINT_FLOAT::kPinProgramSelect, 5.0f, 5);
    rig.engine.run(16);
    ASSERT_EQ(rig.engine.programRequests, std::vector<int>{5});

    rig.engine.programLoading = true;
    rig.at(0, QX_DSP_FixedValueToINT_FLOAT::kPinProgramSelect, 9.0f, 9);
    rig.engine.run(16);
    EXPECT_EQ(rig.engine.programRequests, std::vector<int>{5});
}

TEST_F(ModulesIntFloatConstants, ProgramStepsMoveFromTheCurrentProgram) {
    rig.engine.currentProgram = 7;
    rig.at(0, QX_DSP_FixedValueToINT_FLOAT::kPinProgramUp, 1.0f, 1);
    rig.at(3, QX_DSP_FixedValueToINT_FLOAT::kPinProgramDown, 1.0f, 1);
    rig.at(5, QX_DSP_FixedValueToINT_FLOAT::kPinProgramDown, 0.0f, 0);  // released: nothing
    rig.engine.run(16);
    EXPECT_EQ(rig.engine.programRequests, (std::vector<int>{8, 6}));

    rig.engine.programLoading = true;
    rig.at(0, QX_DSP_FixedValueToINT_FLOAT::kPinProgramUp, 1.0f, 1);
    rig.engine.run(16);
    EXPECT_EQ(rig.engine.programRequests, (std::vector<int>{8, 6}));
}

}  // namespace
