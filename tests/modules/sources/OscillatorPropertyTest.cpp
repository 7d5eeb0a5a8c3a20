#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "modules/sources/OscillatorRig.h"

using namespace source_rig;

namespace {

using Osc = QX_DSP_OSC_Multi_Out_x8;

constexpr int kSaw = 1;
constexpr int kPulse = 8;
constexpr int kUnusedPin = 63;  // an event here only splits the render

struct SplitCase {
    const char* name;
    std::function<void(OscillatorRig&)> setUp;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

float glide(std::uint32_t t) { return 0.45f + 0.15f * std::sin(static_cast<float>(t) * 0.002f); }

const SplitCase kSplitCases[] = {
    {"StillPitchChangesAndRetrigger",
     [](OscillatorRig& rig) {
         rig.wave(kSaw);
         rig.event(0, Osc::kPinDrift, 0, 0.008333f);
         rig.event(0, Osc::kPinRetrigger, 10, 1.0f);
         rig.still(OscillatorRig::kPitch, 0.93f, 700);
         rig.harmonicsOption(20, 1500);
         rig.event(2000, Osc::kPinGate, 10, 10.0f);
         rig.still(OscillatorRig::kPitch, 0.31f, 2600);
     }},
    {"MovingPitchPulseWidthModulationRatio",
     [](OscillatorRig& rig) {
         rig.wave(kPulse);
         rig.event(0, Osc::kPinDrift, 0, 0.008333f);
         rig.moving(OscillatorRig::kPitch, glide);
         rig.moving(OscillatorRig::kWidth, [](std::uint32_t t) { return 0.5f + 0.4f * std::sin(t * 0.01f); });
         rig.moving(OscillatorRig::kPhaseMod, [](std::uint32_t t) { return 0.3f * std::sin(t * 0.05f); });
         rig.moving(OscillatorRig::kRatio, [](std::uint32_t t) { return 0.1f + 0.02f * std::sin(t * 0.003f); });
         rig.still(OscillatorRig::kRatio, 0.05f, 3000);
     }},
    {"SyncWithMovingPitch",
     [](OscillatorRig& rig) {
         rig.wave(kSaw);
         rig.moving(OscillatorRig::kSync, sine(173.0, 44100));
         rig.moving(OscillatorRig::kPitch, glide);
         rig.event(0, Osc::kPinSyncOn, 1, 10.0f);
         rig.event(0, Osc::kPinDrift, 0, 0.004f);
     }},
    {"SyncWithMovingLevelAndPauses",
     [](OscillatorRig& rig) {
         rig.moving(OscillatorRig::kSync, sine(211.0, 44100));
         rig.still(OscillatorRig::kPitch, 0.62f);
         rig.event(0, Osc::kPinSyncOn, 1, 10.0f);
         rig.moving(OscillatorRig::kLevel, [](std::uint32_t t) { return 0.5f + 0.5f * std::sin(t * 0.001f); });
         rig.still(OscillatorRig::kLevel, 0.0f, 1200);
         rig.moving(OscillatorRig::kLevel, [](std::uint32_t) { return 0.7f; }, 1700);
         rig.event(2500, Osc::kPinActive, 0);
         rig.event(2900, Osc::kPinActive, 2);
     }},
};

class ModulesOscillatorSplit : public ::testing::TestWithParam<SplitCase> {};

// The same events give the same samples whether a stretch is rendered whole or cut into pieces
// at arbitrary times by other events.
TEST_P(ModulesOscillatorSplit, SplitRenderingEqualsWholeRendering) {
    constexpr int kFrames = 4096;
    OscillatorRig whole;
    OscillatorRig split;
    GetParam().setUp(whole);
    GetParam().setUp(split);
    std::mt19937 random(20240601u);
    std::uniform_int_distribution<int> at(0, kFrames - 1);
    for (int i = 0; i < 150; ++i) {
        split.event(at(random), kUnusedPin, 0);
    }
    whole.run(kFrames);
    split.run(kFrames);
    ASSERT_EQ(whole.out().size(), split.out().size());
    for (std::size_t i = 0; i < whole.out().size(); ++i) {
        ASSERT_EQ(whole.out()[i], split.out()[i]) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorSplit, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ModulesOscillatorExtremes : public ::testing::TestWithParam<int> {};

// Pitches far beyond the keyboard, non-finite signals on every input and hostile event values
// on every pin: the output stays finite and bounded, at any sample rate.
TEST_P(ModulesOscillatorExtremes, OutputStaysFiniteUnderHostileInput) {
    const int rate = GetParam();
    OscillatorRig rig(rate);
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const auto spiky = [](float base, float span) {
        return [base, span](std::uint32_t t) {
            switch (t % 97) {
                case 0:
                    return kNaN;
                case 1:
                    return kInf;
                case 2:
                    return -kInf;
                case 3:
                    return 3.0e38f;
                default:
                    return base + span * std::sin(static_cast<float>(t) * 0.0007f);
            }
        };
    };
    rig.wave(kPulse);
    rig.event(0, Osc::kPinSyncOn, 1, 10.0f);
    rig.event(0, Osc::kPinDrift, 0, 0.008333f);
    rig.moving(OscillatorRig::kPitch, spiky(0.0f, 10.0f));
    rig.moving(OscillatorRig::kSync, spiky(0.0f, 1.0f));
    rig.moving(OscillatorRig::kLevel, spiky(1.0f, 1.0e3f));
    rig.moving(OscillatorRig::kRatio, spiky(0.0f, 1.0e3f));
    rig.moving(OscillatorRig::kPhaseMod, spiky(0.0f, 1.0e9f));
    rig.moving(OscillatorRig::kWidth, spiky(0.5f, 100.0f));

    constexpr float kFloats[] = {kNaN, kInf, -kInf, 0.7f, 1.0e30f};
    constexpr std::int32_t kInts[] = {std::numeric_limits<std::int32_t>::min(), -1,
                                      std::numeric_limits<std::int32_t>::max(), 8, 3};
    int offset = 100;
    for (int round = 0; round < 5; ++round) {
        for (int pin = 0; pin < kModulePins; ++pin) {
            if (pin == Osc::kPinActive || pin == Osc::kPinCount) {
                continue;  // keep the module running
            }
            rig.event(offset + pin, pin, kInts[round], kFloats[round], round % 2);
        }
        offset += 2 * kModulePins + 500;
    }
    rig.run(8192);
    // Still pitch at the extremes too, each for a few blocks.
    for (const float pitch : {-3.5f, 3.5f, kNaN, 1.2f, -1.0f}) {
        rig.still(OscillatorRig::kPitch, pitch);
        rig.still(OscillatorRig::kLevel, 1.0f);
        rig.still(OscillatorRig::kRatio, 0.1f);
        rig.run(1024);
    }
    for (std::size_t i = 0; i < rig.out().size(); ++i) {
        ASSERT_TRUE(std::isfinite(rig.out()[i])) << i;
        ASSERT_LE(std::abs(rig.out()[i]), 1.0e4f) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorExtremes, ::testing::Values(8000, 44100, 384000));

}  // namespace
