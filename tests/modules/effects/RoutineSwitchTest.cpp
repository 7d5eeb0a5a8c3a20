#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

using Inputs = std::array<float, 8>;   // the value of every signal pin at one sample
using Outputs = std::array<float, 3>;  // what the module should write then

struct Control {
    int pin;
    float fvalue;
    std::int32_t ivalue;
};

struct SwitchCase {
    const char* name;
    int kind;  // index into kinds()
    std::vector<std::pair<int, float>> still;  // signal pins that hold one value throughout
    int switching;                             // the pin that goes still -> moving -> still
    std::vector<Control> controls;
    std::vector<int> followers;  // outputs that move while the switching pin moves
    std::function<Outputs(const Inputs&)> reference;
};

// kinds() order: Adder, ABxC, ABxCxD, AxB_CD, FX_BUS, ST_Level, Dual_Level, XMix, XMixVol, Panner, FadeIn.
const SwitchCase kSwitchCases[] = {
    {"AdderInput", 0, {{0, 0.5f}}, 1, {{56, 0.25f, 2}}, {0},
     [](const Inputs& in) { return Outputs{0.25f + 0.5f + in[1]}; }},
    {"ABxCSum", 1, {{1, 0.25f}, {2, 2.0f}}, 0, {}, {0}, [](const Inputs& in) { return Outputs{(in[0] + in[1]) * in[2]}; }},
    {"ABxCxDGain", 2, {{0, 0.5f}, {1, 0.25f}, {3, -2.0f}}, 2, {{10, 0.1f, 1}}, {0},
     [](const Inputs& in) { return Outputs{(in[0] + in[1]) * in[2] * in[2] * in[3]}; }},
    {"AxB_CDOffset", 3, {{0, 0.5f}, {1, 3.0f}, {2, 0.25f}}, 3, {}, {0},
     [](const Inputs& in) { return Outputs{in[0] * in[1] + in[2] + in[3]}; }},
    {"FxBusLevel", 4, {{0, 0.5f}, {1, -0.25f}, {2, 1.0f}, {3, 2.0f}}, 4, {}, {0, 1, 2},
     [](const Inputs& in) {
         const float l = in[0] + in[2] * in[4];
         const float r = in[1] + in[3] * in[4];
         return Outputs{l, r, (l + r) * 0.5f};
     }},
    {"StLevelLeftOnly", 5, {{1, -2.0f}, {2, 0.5f}}, 0, {}, {0},
     [](const Inputs& in) { return Outputs{in[0] * in[2] * in[2], in[1] * in[2] * in[2]}; }},
    {"DualLevelGainB", 6, {{0, 0.5f}, {1, -2.0f}, {2, 3.0f}}, 3, {}, {1},
     [](const Inputs& in) { return Outputs{in[0] * in[2], in[1] * in[3]}; }},
    {"XMixPosition", 7, {{0, 1.0f}, {1, 3.0f}}, 2, {{3, 0.1f, 1}}, {0},
     [](const Inputs& in) {
         const float t = in[2] + 0.5f;
         return Outputs{in[0] * (1.0f - t) * (1.0f + t) + in[1] * t * (2.0f - t)};
     }},
    {"XMixVolVolume", 8, {{0, 1.0f}, {1, 3.0f}, {2, 0.25f}}, 4, {}, {0},
     [](const Inputs& in) { return Outputs{(in[0] * 0.25f + in[1] * 0.75f) * in[4]}; }},
    {"PannerPosition", 9, {{0, 2.0f}, {2, 0.5f}}, 1, {}, {0, 1},
     [](const Inputs& in) {
         const float p = in[1] + 0.5f;
         return Outputs{in[0] * in[2] * (1.0f - p), in[0] * in[2] * p};
     }},
    {"FadeInSignal", 10, {{1, 0.3f}}, 0, {}, {0}, [](const Inputs& in) { return Outputs{in[0], in[1]}; }},
};

void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class ModulesMixRoutineSwitch : public ::testing::TestWithParam<SwitchCase> {};

// The switching pin holds still, moves from sample 37 and holds still again (at another value)
// from sample 300. Every sample must match the formula, the outputs that depend on the pin must
// announce moving and still at exactly those samples, the others nothing new, and once everything
// has held still for a block the module must be idle.
TEST_P(ModulesMixRoutineSwitch, AnnouncesAndSwitchesAtTheSampleTheInputDoes) {
    const SwitchCase& c = GetParam();
    const Kind& kind = kinds()[static_cast<std::size_t>(c.kind)];
    constexpr int kBlock = 64;
    constexpr std::uint32_t kMoveAt = 37;
    constexpr std::uint32_t kStillAt = 300;
    constexpr int kFrames = 600;
    Rig rig(kBlock, kind.add, kind.outputs);
    for (const auto& [pin, value] : c.still) {
        rig.feed(pin, {{rig.start, false, value}});
    }
    rig.feed(c.switching, {{rig.start, false, 0.75f},
                           {rig.start + kMoveAt, true, 0.75f, 0.5f},
                           {rig.start + kStillAt, false, 0.375f}});
    for (const Control& control : c.controls) {
        rig.control(0, control.pin, control.fvalue, control.ivalue);
    }
    rig.prepare();
    rig.engine.run(kFrames);

    for (std::uint32_t t = rig.start; t < rig.start + kFrames; ++t) {
        Inputs in{};
        for (const int pin : kind.signalPins) {
            in[static_cast<std::size_t>(pin)] = rig.source->valueAt(pin, t);
        }
        const Outputs expected = c.reference(in);
        for (int k = 0; k < kind.outputs; ++k) {
            ASSERT_NEAR(rig.recorder->at(k, t), expected[static_cast<std::size_t>(k)], 2e-6f)
                << "output " << k << " at sample " << t - rig.start;
        }
    }

    for (int k = 0; k < kind.outputs; ++k) {
        std::vector<Recorder::Announcement> seen;
        for (const auto& a : rig.recorder->announcements) {
            if (a.pin == k) {
                seen.push_back(a);
            }
        }
        const bool follows = std::find(c.followers.begin(), c.followers.end(), k) != c.followers.end();
        ASSERT_EQ(seen.size(), follows ? 3u : 1u) << "output " << k;
        EXPECT_EQ(seen[0].time, rig.start);
        EXPECT_EQ(seen[0].kind, kEventStill);
        if (follows) {
            EXPECT_EQ(seen[1].time, rig.start + kMoveAt);
            EXPECT_EQ(seen[1].kind, kEventMoving);
            EXPECT_EQ(seen[2].time, rig.start + kStillAt);
            EXPECT_EQ(seen[2].kind, kEventStill);
            EXPECT_FLOAT_EQ(seen[2].value, rig.recorder->at(k, rig.start + kStillAt));
        }
    }
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(ModulesMix, ModulesMixRoutineSwitch, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
