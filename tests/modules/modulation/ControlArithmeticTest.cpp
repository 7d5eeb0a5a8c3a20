#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "modules/modulation/ControlValueRig.h"
#include "modules/modulation/QX_DSP_Float_Adder.h"
#include "modules/modulation/QX_DSP_Float_Converter.h"
#include "modules/modulation/QX_DSP_Float_Converter_Switch.h"
#include "modules/modulation/QX_DSP_GUI_Multi_ABxC.h"
#include "modules/modulation/QX_DSP_GUI_Multi_AxB_C.h"

namespace {

// One parameter-style event: pin, value and the integer beside it.
struct In {
    int pin;
    float fvalue;
    std::int32_t ivalue = 0;
};

// What output 0 (or the named output) carries after the inputs, all sent at one sample.
struct Out {
    int output;
    float fvalue;
    std::int32_t ivalue;
};

struct ArithmeticCase {
    const char* name;
    std::function<void(TestEngine&, QX_ModuleBase*&, ProbeModule*&)> make;
    std::vector<In> inputs;
    std::vector<Out> expected;
};

template <class Module>
std::function<void(TestEngine&, QX_ModuleBase*&, ProbeModule*&)> rigFor(std::vector<int> outputs,
                                                                         std::vector<int> wiredPins = {}) {
    return [outputs, wiredPins](TestEngine& engine, QX_ModuleBase*& module, ProbeModule*& probe) {
        module = engine.add<Module>(false);
        probe = engine.add<ProbeModule>(false);
        static constexpr float kWired = 0.0f;
        for (const int pin : wiredPins) {
            module->setInput(pin, &kWired);
        }
        for (const int output : outputs) {
            module->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
        }
    };
}

using Adder = QX_DSP_Float_Adder;
using Converter = QX_DSP_Float_Converter;
using Switch = QX_DSP_Float_Converter_Switch;

const ArithmeticCase kArithmeticCases[] = {
    {"AdderSumsAndCountsOnInputs", rigFor<Adder>({0}), {{0, 0.7f}, {1, 0.2f}}, {{0, 0.9f, 1}}},
    {"AdderGainAndOffsetInTableUnits", rigFor<Adder>({0}),
     {{0, 0.7f}, {1, 0.6f}, {Adder::kPinGain, 0.2f}, {Adder::kPinOffset, 0.1f}}, {{0, 3.6f, 2}}},
    {"AdderDisabled", rigFor<Adder>({0}), {{0, 0.7f}, {Adder::kPinEnable, 0.0f, 0}}, {{0, 0.0f, 0}}},
    {"AdderLastValuePin", rigFor<Adder>({0}), {{28, 2.5f}}, {{0, 2.5f, 1}}},
    {"ConverterScalesChangedChannelsInOrder", rigFor<Converter>({0, 3, 15}),
     {{Converter::kFirstGainPin + 2 * 3, 0.2f}, {Converter::kFirstGainPin + 2 * 3 + 1, 0.1f}, {15, 4.0f}, {3, 0.5f}},
     {{3, 2.0f, 2}, {15, 0.0f, 0}}},
    {"ConverterGainAloneSendsNothing", rigFor<Converter>({0}), {{Converter::kFirstGainPin, 0.5f}}, {}},
    {"SwitchQuantisesToSemitonesWhenPin5IsWired", rigFor<Switch>({0}, {Switch::kPinSemitoneQuantum}),
     {{Switch::kPinComputeMode, 0.1f, 1}, {Switch::kPinSelect, 0.0f, 0}, {Switch::kFirstValuePin, 0.26f}},
     {{0, 0.25f, 0}}},
    {"SwitchQuantumGainAndOffset", rigFor<Switch>({0}),
     {{Switch::kPinComputeMode, 0.1f, 1},
      {Switch::kPinQuantum, 0.5f},
      {Switch::kPinGain, 0.3f},
      {Switch::kPinOffset, 0.1f},
      {Switch::kPinSelect, 0.2f, 2},
      {Switch::kFirstValuePin + 2, 1.3f}},
     {{0, 4.0f, 4}}},
    {"SwitchModeZeroSendsTheOffset", rigFor<Switch>({0}),
     {{Switch::kPinOffset, 0.05f}, {Switch::kPinSelect, 0.0f, 0}, {Switch::kFirstValuePin, 0.7f}}, {{0, 0.5f, 0}}},
    {"SwitchWithNothingSelectedSendsZero", rigFor<Switch>({0}),
     {{Switch::kPinComputeMode, 0.1f, 1}, {Switch::kPinOffset, 0.05f}}, {{0, 0.0f, 0}}},
    {"SwitchBeyondTheStoredValuesReadsZero", rigFor<Switch>({0}),
     {{Switch::kPinComputeMode, 0.1f, 1}, {Switch::kPinOffset, 0.05f}, {Switch::kPinSelect, 6.0f, 60}},
     {{0, 0.5f, 0}}},
    {"SwitchIgnoresValuesOfOtherInputs", rigFor<Switch>({0}), {{Switch::kFirstValuePin + 1, 0.7f}}, {}},
    {"ABxCClampsToTheUpperLimit", rigFor<QX_DSP_GUI_Multi_ABxC>({0}),
     {{0, 2.0f}, {20, 3.0f}, {40, 4.0f}, {QX_DSP_GUI_Multi_Base::kPinUpperLimit, 10.0f}}, {{0, 10.0f, 10}}},
    {"ABxCStartsWithCOne", rigFor<QX_DSP_GUI_Multi_ABxC>({19}), {{19, 2.0f}, {39, 0.5f}}, {{19, 2.5f, 2}}},
    {"ABxCClampsToTheLowerLimit", rigFor<QX_DSP_GUI_Multi_ABxC>({4}),
     {{QX_DSP_GUI_Multi_Base::kPinLowerLimit, -1.0f}, {44, -3.0f}, {4, 1.0f}}, {{4, -1.0f, -1}}},
    {"AxBCCombines", rigFor<QX_DSP_GUI_Multi_AxB_C>({7}), {{7, 2.0f}, {27, 3.0f}, {47, 4.0f}}, {{7, 10.0f, 10}}},
    {"AxBCStartsWithBOne", rigFor<QX_DSP_GUI_Multi_AxB_C>({0, 1}), {{1, -2.5f}}, {{1, -2.5f, -2}}},
    {"AxBCSendsChangedChannelsInOrder", rigFor<QX_DSP_GUI_Multi_AxB_C>({2, 5}), {{45, 1.0f}, {2, 3.0f}},
     {{2, 3.0f, 3}, {5, 1.0f, 1}}},
};

class ModulesControlArithmetic : public ::testing::TestWithParam<ArithmeticCase> {};

// All inputs arrive at one sample; the results must leave at that sample, once.
TEST_P(ModulesControlArithmetic, SendsTheResultAtTheSampleOfTheInputs) {
    const ArithmeticCase& c = GetParam();
    TestEngine engine(128);
    QX_ModuleBase* module = nullptr;
    ProbeModule* probe = nullptr;
    c.make(engine, module, probe);
    engine.run(16);  // settles to idle with nothing sent
    ASSERT_TRUE(probe->events.empty());

    const std::uint32_t at = engine.sampleClock + 45;
    for (const In& in : c.inputs) {
        module->receiveEvent(at, in.pin, kEventStill, in.ivalue, in.fvalue, nullptr);
    }
    engine.run(128);

    ASSERT_EQ(probe->events.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& sent = probe->events[i];
        EXPECT_EQ(sent.pin, c.expected[i].output);
        EXPECT_EQ(sent.time, at);
        EXPECT_EQ(sent.kind, kEventStill);
        EXPECT_FLOAT_EQ(sent.fvalue, c.expected[i].fvalue);
        EXPECT_EQ(sent.ivalue, c.expected[i].ivalue);
    }
    EXPECT_NE(engine.moduleFlags[module->moduleIndex] & kModuleIdle, 0u);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesControlArithmetic, ::testing::ValuesIn(kArithmeticCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesControlArithmeticSwitch, OnlyOnChangeDropsARepeatedValueButKeepsOtherTriggers) {
    ControlValueRig<Switch> rig({0});
    rig.at(0, Switch::kPinComputeMode, 0.1f, 1);
    rig.at(0, Switch::kPinOnlyOnChange, 0.1f, 1);
    rig.at(0, Switch::kPinSelect, 0.0f, 0);
    rig.at(0, Switch::kFirstValuePin, 0.5f);
    rig.at(10, Switch::kFirstValuePin, 0.5f);  // unchanged: nothing
    rig.at(20, Switch::kFirstValuePin, 0.75f);
    rig.at(30, Switch::kPinSelect, 0.0f, 0);  // not a value pin: always computes
    const std::uint32_t start = rig.engine.sampleClock;
    rig.engine.run(64);

    ASSERT_EQ(rig.probe->events.size(), 3u);
    EXPECT_EQ(rig.probe->events[0].time, start);
    EXPECT_FLOAT_EQ(rig.probe->events[0].fvalue, 0.5f);
    EXPECT_EQ(rig.probe->events[1].time, start + 20);
    EXPECT_FLOAT_EQ(rig.probe->events[1].fvalue, 0.75f);
    EXPECT_EQ(rig.probe->events[2].time, start + 30);
    EXPECT_FLOAT_EQ(rig.probe->events[2].fvalue, 0.75f);
}

}  // namespace
