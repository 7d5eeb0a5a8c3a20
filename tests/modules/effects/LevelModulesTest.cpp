#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

struct Input {
    int pin;
    float value;
};

struct Control {
    int pin;
    float fvalue;
    std::int32_t ivalue;
};

struct Expect {
    int output;
    float value;
};

struct FormulaCase {
    const char* name;
    const char* kind;
    std::vector<Input> inputs;
    std::vector<Control> controls;
    std::vector<Expect> expected;
    std::vector<int> wired = {};  // pins bound like parameters (the clamp bounds count only when wired)
};

const Kind& kindNamed(const std::string& name) {
    for (const Kind& kind : kinds()) {
        if (kind.name == name) {
            return kind;
        }
    }
    throw std::invalid_argument(name);
}

// Values are chosen so that every result is exact in float.
const FormulaCase kFormulaCases[] = {
    {"AdderSumsMatchingInputsAndOffsets", "Adder", {{0, 0.25f}, {1, 0.5f}, {2, 2.0f}},
     {{20, 0.3f, 3}, {40, 0.3f, 3}, {21, 0.1f, 1}, {41, 0.2f, 2}, {56, 0.125f, 1}, {57, 0.0625f, 1}, {58, 1.0f, 10}},
     {{0, 3.4375f}}},
    {"AdderClampsWhenBoundsAreWired", "Adder", {{0, 3.0f}, {1, 2.0f}}, {{59, -1.0f, -10}, {60, 4.0f, 40}},
     {{0, 4.0f}}, {59, 60}},
    {"AdderMinimumAloneKeepsDefaultMaximum", "Adder", {{0, 1500.0f}, {1, 2.0f}}, {{59, -2.0f, -20}}, {{0, 1000.0f}},
     {59}},
    {"AdderUnclampedWithoutBounds", "Adder", {{0, 1500.0f}, {1, -0.5f}}, {}, {{0, 1499.5f}}},
    {"AdderDisabledGivesZero", "Adder", {{0, 1.0f}, {1, 2.0f}}, {{61, 0.0f, 0}}, {{0, 0.0f}}},
    {"ABxC", "Level_ABxC", {{0, 0.5f}, {1, 0.25f}, {2, 2.0f}}, {}, {{0, 1.5f}}},
    {"ABxCSquared", "Level_ABxC", {{0, 0.5f}, {1, 0.25f}, {2, 2.0f}}, {{10, 0.1f, 1}}, {{0, 3.0f}}},
    {"ABxCClamped", "Level_ABxC", {{0, 0.5f}, {1, 0.25f}, {2, 2.0f}}, {{19, -1.0f, -10}, {20, 1.0f, 10}},
     {{0, 1.0f}}, {19, 20}},
    {"ABxCDisabled", "Level_ABxC", {{0, 0.5f}, {1, 0.25f}, {2, 2.0f}}, {{9, 0.0f, 0}}, {{0, 0.0f}}},
    {"ABxCxD", "Level_ABxCxD", {{0, 0.5f}, {1, 0.25f}, {2, 2.0f}, {3, -3.0f}}, {}, {{0, -4.5f}}},
    {"ABxCxDSquared", "Level_ABxCxD", {{0, 0.5f}, {1, 0.25f}, {2, 2.0f}, {3, -3.0f}}, {{10, 0.1f, 1}},
     {{0, -9.0f}}},
    {"ABxCxDZeroGain", "Level_ABxCxD", {{0, 0.5f}, {1, 0.25f}, {2, 0.0f}, {3, -3.0f}}, {}, {{0, 0.0f}}},
    {"AxB_CD", "Level_AxB_CD", {{0, 0.5f}, {1, 3.0f}, {2, 0.25f}, {3, 1.0f}}, {}, {{0, 2.75f}}},
    {"AxB_CDSquared", "Level_AxB_CD", {{0, 0.5f}, {1, 3.0f}, {2, 0.25f}, {3, 1.0f}}, {{10, 0.1f, 1}},
     {{0, 5.75f}}},
    {"AxB_CDZeroProductLeavesCPlusD", "Level_AxB_CD", {{0, 0.0f}, {1, 7.0f}, {2, 1.0f}, {3, 2.0f}}, {},
     {{0, 3.0f}}},
    {"FxBusAddsReturnAtLevel", "Level_FX_BUS", {{0, 0.5f}, {1, -0.25f}, {2, 1.0f}, {3, 2.0f}, {4, 0.5f}}, {},
     {{0, 1.0f}, {1, 0.75f}, {2, 0.875f}}},
    {"FxBusSquaredLevel", "Level_FX_BUS", {{0, 0.5f}, {1, -0.25f}, {2, 1.0f}, {3, 2.0f}, {4, 0.5f}},
     {{10, 0.9f, 9}}, {{0, 0.75f}, {1, 0.25f}, {2, 0.5f}}},
    {"FxBusReturnOff", "Level_FX_BUS", {{0, 0.5f}, {1, -0.25f}, {2, 1.0f}, {3, 2.0f}, {4, 0.5f}},
     {{9, 0.0f, 0}}, {{0, 0.5f}, {1, -0.25f}, {2, 0.125f}}},
    {"FxBusUnityLevel", "Level_FX_BUS", {{0, 0.5f}, {1, -0.25f}, {2, 1.0f}, {3, 2.0f}, {4, 1.0f}},
     {{19, 0.1f, 1}}, {{0, 1.5f}, {1, 1.75f}, {2, 1.625f}}},
    {"StLevelSquaresTheLevel", "ST_Level", {{0, 0.5f}, {1, -2.0f}, {2, 0.5f}}, {}, {{0, 0.125f}, {1, -0.5f}}},
    {"StLevelDisabled", "ST_Level", {{0, 0.5f}, {1, -2.0f}, {2, 0.5f}}, {{9, 0.0f, 0}}, {{0, 0.0f}, {1, 0.0f}}},
    {"DualLevel", "Dual_Level", {{0, 0.5f}, {1, -2.0f}, {2, 3.0f}, {3, 0.25f}}, {}, {{0, 1.5f}, {1, -0.5f}}},
    {"DualLevelSquared", "Dual_Level", {{0, 0.5f}, {1, -2.0f}, {2, 3.0f}, {3, 0.25f}}, {{10, 0.1f, 1}},
     {{0, 4.5f}, {1, -0.125f}}},
    {"XMixLinear", "XMix", {{0, 1.0f}, {1, 3.0f}, {2, 0.25f}}, {}, {{0, 2.5f}}},
    {"XMixLawOne", "XMix", {{0, 1.0f}, {1, 3.0f}, {2, 0.25f}}, {{3, 0.1f, 1}}, {{0, 3.25f}}},
    {"XMixLawOneCentreIsThreeQuartersOfBoth", "XMix", {{0, 1.0f}, {1, 3.0f}, {2, 0.0f}}, {{3, 0.1f, 1}},
     {{0, 3.0f}}},
    {"XMixAllA", "XMix", {{0, 1.0f}, {1, 3.0f}, {2, -0.5f}}, {}, {{0, 1.0f}}},
    {"XMixVolScalesTheMix", "XMixVol", {{0, 1.0f}, {1, 3.0f}, {2, 0.25f}, {4, 2.0f}}, {}, {{0, 5.0f}}},
    {"XMixVolLawOne", "XMixVol", {{0, 1.0f}, {1, 3.0f}, {2, 0.25f}, {4, 0.5f}}, {{3, 0.1f, 1}}, {{0, 1.625f}}},
    {"PannerLinear", "Panner", {{0, 2.0f}, {1, -0.25f}, {2, 0.5f}}, {}, {{0, 0.75f}, {1, 0.25f}}},
    {"PannerLawOne", "Panner", {{0, 2.0f}, {1, -0.25f}, {2, 0.5f}}, {{3, 0.1f, 1}}, {{0, 0.9375f}, {1, 0.4375f}}},
    {"PannerSquaredGain", "Panner", {{0, 2.0f}, {1, -0.25f}, {2, 0.5f}}, {{4, 0.1f, 1}},
     {{0, 0.375f}, {1, 0.125f}}},
    {"PannerHardRight", "Panner", {{0, 2.0f}, {1, 0.5f}, {2, 0.5f}}, {}, {{0, 0.0f}, {1, 1.0f}}},
    {"FadeInPassesWithoutTrigger", "FadeIn", {{0, 0.7f}, {1, -0.3f}}, {}, {{0, 0.7f}, {1, -0.3f}}},
    {"FadeInDisabled", "FadeIn", {{0, 0.7f}, {1, -0.3f}}, {{9, 0.0f, 0}}, {{0, 0.0f}, {1, 0.0f}}},
};

void PrintTo(const FormulaCase& c, std::ostream* os) { *os << c.name; }

class ModulesLevelFormula : public ::testing::TestWithParam<FormulaCase> {};

// Every combination of still and moving inputs (the per-block and the per-sample routines) gives
// the formula's value from the first sample on. Moving inputs carry constant values here, so the
// expected numbers stay simple.
TEST_P(ModulesLevelFormula, EveryMixOfStillAndMovingInputsGivesTheFormula) {
    const FormulaCase& c = GetParam();
    const Kind& kind = kindNamed(c.kind);
    constexpr int kBlock = 64;
    static constexpr float kWiredValue = 0.0f;
    for (unsigned mask = 0; mask < (1u << c.inputs.size()); ++mask) {
        SCOPED_TRACE("moving inputs mask " + std::to_string(mask));
        Rig rig(kBlock, kind.add, kind.outputs);
        for (const int pin : c.wired) {
            rig.module->setInput(pin, &kWiredValue);
        }
        for (std::size_t i = 0; i < c.inputs.size(); ++i) {
            rig.feed(c.inputs[i].pin, {{rig.start, ((mask >> i) & 1u) != 0, c.inputs[i].value}});
        }
        for (const Control& control : c.controls) {
            rig.control(0, control.pin, control.fvalue, control.ivalue);
        }
        rig.prepare();
        rig.engine.run(3 * kBlock);
        for (const Expect& e : c.expected) {
            const std::vector<float>& out = rig.recorder->samples[e.output];
            ASSERT_EQ(out.size(), 3u * kBlock);
            for (std::size_t t = 0; t < out.size(); ++t) {
                ASSERT_NEAR(out[t], e.value, 1e-6f * std::max(1.0f, std::fabs(e.value)))
                    << "output " << e.output << " sample " << t;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesLevel, ModulesLevelFormula, ::testing::ValuesIn(kFormulaCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
