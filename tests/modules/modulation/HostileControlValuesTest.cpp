#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "modules/modulation/QX_DSP_FdB_to_VFGain.h"
#include "modules/modulation/QX_DSP_FixedValueToINT_FLOAT.h"
#include "modules/modulation/QX_DSP_FixedValueToVolt.h"
#include "modules/modulation/QX_DSP_Float_Adder.h"
#include "modules/modulation/QX_DSP_Float_Converter.h"
#include "modules/modulation/QX_DSP_Float_Converter_Switch.h"
#include "modules/modulation/QX_DSP_Float_to_Volt.h"
#include "modules/modulation/QX_DSP_GUI_Multi_ABxC.h"
#include "modules/modulation/QX_DSP_GUI_Multi_AxB_C.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace {

struct ModuleKind {
    const char* name;
    std::function<QX_ModuleBase*(TestEngine&)> add;
};

template <class Module>
ModuleKind kind(const char* name) {
    return {name, [](TestEngine& engine) -> QX_ModuleBase* { return engine.add<Module>(false); }};
}

const ModuleKind kKinds[] = {
    kind<QX_DSP_FixedValueToVolt>("FixedValueToVolt"),
    kind<QX_DSP_FixedValueToINT_FLOAT>("FixedValueToINT_FLOAT"),
    kind<QX_DSP_Float_Adder>("Float_Adder"),
    kind<QX_DSP_Float_Converter>("Float_Converter"),
    kind<QX_DSP_Float_Converter_Switch>("Float_Converter_Switch"),
    kind<QX_DSP_GUI_Multi_ABxC>("GUI_Multi_ABxC"),
    kind<QX_DSP_GUI_Multi_AxB_C>("GUI_Multi_AxB_C"),
    kind<QX_DSP_Float_to_Volt>("Float_to_Volt"),
    kind<QX_DSP_FdB_to_VFGain>("FdB_to_VFGain"),
};

class ModulesControlHostile : public ::testing::TestWithParam<ModuleKind> {};

// Non-finite values and extreme integers on every pin, and pins no module has, must leave the
// module sending only numbers (never NaN) and its buffers free of NaN.
TEST_P(ModulesControlHostile, NonFiniteValuesAndStrayPinsNeverProduceNaN) {
    TestEngine engine(64);
    QX_ModuleBase* module = GetParam().add(engine);
    auto* probe = engine.add<ProbeModule>(false);
    for (int output = 0; output < kModulePins; ++output) {
        module->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
    }
    engine.prepareAll();
    engine.run(64);

    constexpr float kFloats[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(), 0.7f};
    constexpr std::int32_t kInts[] = {std::numeric_limits<std::int32_t>::min(), -1,
                                      std::numeric_limits<std::int32_t>::max(), 3};
    constexpr int kStrayPins[] = {64, 200, 0xFFFF};
    std::uint32_t at = engine.sampleClock;
    for (int round = 0; round < 4; ++round) {
        for (int pin = 0; pin < kModulePins; ++pin) {
            module->receiveEvent(at + static_cast<std::uint32_t>(pin), pin, kEventStill, kInts[round], kFloats[round],
                                 nullptr);
        }
        for (const int pin : kStrayPins) {
            module->receiveEvent(at, pin, kEventStill, kInts[round], kFloats[round], nullptr);
        }
        at += 2 * kModulePins;
    }
    engine.run(2048);

    for (const auto& sent : probe->events) {
        ASSERT_FALSE(std::isnan(sent.fvalue)) << "output " << sent.pin << " at " << sent.time;
    }
    for (int output = 0; output < kModulePins; ++output) {
        if (const float* buffer = module->outputs[output]) {
            for (int i = 0; i < engine.engineBlockLength + kModuleBufferSpare; ++i) {
                ASSERT_FALSE(std::isnan(buffer[i])) << output << " " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesControlHostile, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
