#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "modules/modulation/LfoRig.h"

using namespace lfo_rig;

namespace {

constexpr int kCycle = 1024;
constexpr double kStep = 1.0 / kCycle;
constexpr int kUnusedPin = 63;  // an event here only splits the render

struct SecondCase {
    const char* name;
    int invertValue;  // pin 6; -1 leaves the default
    float sign;
};

void PrintTo(const SecondCase& c, std::ostream* os) { *os << c.name; }

class ModulesLfoSecondOutput : public ::testing::TestWithParam<SecondCase> {};

// Output 0 is the shape times the amount at every sample; output 1 is its exact negation by
// default and a copy when pin 6 is 0.
TEST_P(ModulesLfoSecondOutput, NegatesOrCopiesTheScaledShape) {
    const SecondCase& c = GetParam();
    LfoRig rig(44100, true);
    rig.shape(kSaw1);
    rig.still(LfoRig::kRate, rateFor(kStep, 44100));
    if (c.invertValue >= 0) {
        rig.event(0, Lfo::kPinInvertSecond, c.invertValue);
    }
    const std::uint32_t start = rig.engine.sampleClock;
    const auto amountAt = [start](std::uint32_t t) { return 2.0f * std::sin(static_cast<float>(t - start) * 0.003f); };
    rig.moving(LfoRig::kAmount, amountAt);
    rig.run(3000);
    ASSERT_EQ(rig.second().size(), rig.out().size());
    for (std::size_t n = 0; n < rig.out().size(); ++n) {
        const float amount = amountAt(start + static_cast<std::uint32_t>(n));
        ASSERT_FLOAT_EQ(rig.out()[n], static_cast<float>(saw(n * kStep)) * amount) << n;
        ASSERT_EQ(rig.second()[n], c.sign * rig.out()[n]) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoSecondOutput,
                         ::testing::Values(SecondCase{"NegatedByDefault", -1, -1.0f},
                                           SecondCase{"NegatedWhenNonZero", 3, -1.0f},
                                           SecondCase{"CopiedWhenZero", 0, 1.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<int> kindsOn(const Recorder& recorder, int pin) {
    std::vector<int> kinds;
    for (const auto& e : recorder.events) {
        if (e.pin == pin) {
            kinds.push_back(e.kind);
        }
    }
    return kinds;
}

// Announcements on both outputs: moving after prepare, still while the amount is a still 0,
// moving again when it moves; switched off the outputs fall to 0 at the event's sample, still is
// announced once and the module idles after one block; switched on it resumes where it stopped.
TEST(ModulesLfoLifecycle, AnnouncesAmountAndOnOffAndIdlesWhenOff) {
    constexpr int kBlock = 128;
    LfoRig rig(44100, true, kBlock);
    rig.shape(kSaw1);
    rig.still(LfoRig::kRate, rateFor(kStep, 44100));
    rig.still(LfoRig::kAmount, 0.0f, 100);
    rig.still(LfoRig::kAmount, 1.0f, 300);
    rig.event(500, Lfo::kPinOnOff, 0, 0.0f);
    rig.run(500 + kBlock + 1);
    EXPECT_TRUE(rig.idle());
    EXPECT_EQ(kindsOn(*rig.recorder, 0), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(kindsOn(*rig.recorder, 1), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(rig.recorder->events[2].time, rig.timeOf(100));
    EXPECT_EQ(rig.recorder->events[6].time, rig.timeOf(500));
    for (int n = 100; n < 300; ++n) {
        ASSERT_EQ(rig.out()[static_cast<std::size_t>(n)], 0.0f);
    }
    EXPECT_NEAR(rig.out()[499], saw(499 * kStep), 1.0e-6);
    for (std::size_t n = 500; n < rig.out().size(); ++n) {
        ASSERT_EQ(rig.out()[n], 0.0f) << n;
        ASSERT_EQ(rig.second()[n], 0.0f) << n;
    }

    const std::size_t onAt = rig.out().size() + 40;
    rig.event(40, Lfo::kPinOnOff, 10, 1.0f);
    rig.run(200);
    EXPECT_FALSE(rig.idle());
    EXPECT_EQ(kindsOn(*rig.recorder, 0).back(), 1);
    for (std::size_t n = onAt - 40; n < rig.out().size(); ++n) {
        const double expected = n < onAt ? 0.0 : saw((500.0 + static_cast<double>(n - onAt)) * kStep);
        ASSERT_NEAR(rig.out()[n], expected, 1.0e-6) << n;
    }
}

struct SplitCase {
    const char* name;
    std::function<void(LfoRig&)> setUp;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

float wobble(std::uint32_t t) { return 0.2f + 0.15f * std::sin(static_cast<float>(t) * 0.002f); }

const SplitCase kSplitCases[] = {
    {"StillRateShapesAndRetrigger",
     [](LfoRig& rig) {
         rig.shape(kSine);
         rig.still(LfoRig::kRate, 0.37f);
         rig.still(LfoRig::kOffset, 0.3f, 500);
         rig.shape(kPulse, 900);
         rig.event(1300, Lfo::kPinRetrigger, 10, 10.0f);
         rig.shape(kTrap, 2100);
         rig.event(3000, Lfo::kPinTransport, 10, 1.0f);
     }},
    {"MovingPitchRateMovingOffset",
     [](LfoRig& rig) {
         rig.shape(kPeak);
         rig.event(0, Lfo::kPinRateUnit, 0);
         rig.moving(LfoRig::kRate, [](std::uint32_t t) { return 0.3f + 0.1f * std::sin(static_cast<float>(t) * 0.001f); });
         rig.moving(LfoRig::kOffset, wobble);
         rig.moving(LfoRig::kAmount, wobble);
     }},
    {"RandomWithMovingFrequencyRate",
     [](LfoRig& rig) {
         rig.shape(kRandom);
         rig.moving(LfoRig::kRate, [](std::uint32_t t) { return 20.0f + 15.0f * std::sin(static_cast<float>(t) * 0.003f); });
         rig.moving(LfoRig::kOffset, wobble, 1000);
     }},
    {"OffsetWidthPulseAndOnOff",
     [](LfoRig& rig) {
         rig.shape(kWidthPulse);
         rig.still(LfoRig::kRate, 3.1f);
         rig.moving(LfoRig::kOffset, wobble);
         rig.event(1500, Lfo::kPinOnOff, 0, 0.0f);
         rig.event(1900, Lfo::kPinOnOff, 10, 1.0f);
     }},
};

class ModulesLfoSplit : public ::testing::TestWithParam<SplitCase> {};

// The same events give the same samples on both outputs whether a stretch is rendered whole or
// cut into pieces at arbitrary times by other events.
TEST_P(ModulesLfoSplit, SplitRenderingEqualsWholeRendering) {
    constexpr int kFrames = 4096;
    LfoRig whole(44100, true);
    LfoRig split(44100, true);
    GetParam().setUp(whole);
    GetParam().setUp(split);
    std::mt19937 random(20241210u);
    std::uniform_int_distribution<int> at(0, kFrames - 1);
    for (int i = 0; i < 150; ++i) {
        split.event(at(random), kUnusedPin, 0);
    }
    whole.run(kFrames);
    split.run(kFrames);
    ASSERT_EQ(whole.out(), split.out());
    ASSERT_EQ(whole.second(), split.second());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoSplit, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ModulesLfoExtremes : public ::testing::TestWithParam<int> {};

// Non-finite and absurd signals on every input and hostile values on every event pin: both outputs
// stay finite, in either rate unit, at any sample rate.
TEST_P(ModulesLfoExtremes, OutputStaysFiniteUnderHostileInput) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    LfoRig rig(GetParam(), true);
    const auto spiky = [](float base, float span) {
        return [base, span](std::uint32_t t) {
            switch (t % 89) {
                case 0:
                    return kNaN;
                case 1:
                    return kInf;
                case 2:
                    return -kInf;
                case 3:
                    return -3.0e38f;
                default:
                    return base + span * std::sin(static_cast<float>(t) * 0.0007f);
            }
        };
    };
    rig.moving(LfoRig::kRate, spiky(0.0f, 1.0e6f));
    rig.moving(LfoRig::kOffset, spiky(0.0f, 1.0e12f));
    rig.moving(LfoRig::kAmount, spiky(1.0f, 1.0e30f));
    constexpr float kFloats[] = {kNaN, kInf, -kInf, 1.0e30f, -0.0f};
    constexpr std::int32_t kInts[] = {std::numeric_limits<std::int32_t>::min(), -1,
                                      std::numeric_limits<std::int32_t>::max(), 11, 0};
    int offset = 50;
    for (int round = 0; round < 5; ++round) {
        for (int pin = 0; pin < kModulePins; ++pin) {
            if (pin == Lfo::kPinOnOff || pin == LfoRig::kSignalPins[LfoRig::kRate] ||
                pin == LfoRig::kSignalPins[LfoRig::kOffset] || pin == LfoRig::kSignalPins[LfoRig::kAmount]) {
                continue;  // keep the module running on its moving inputs
            }
            rig.event(offset + pin, pin, kInts[round], kFloats[round], round % 2);
        }
        offset += 2 * kModulePins + 700;
    }
    rig.run(6000);
    for (const float rate : {kNaN, 1.0e30f, -1.0e30f, 3.5f}) {
        for (const int unit : {0, 1}) {
            rig.event(0, Lfo::kPinRateUnit, unit);
            rig.still(LfoRig::kRate, rate);
            rig.still(LfoRig::kAmount, 1.0f);
            rig.still(LfoRig::kOffset, kInf);
            rig.run(512);
        }
    }
    for (std::size_t n = 0; n < rig.out().size(); ++n) {
        ASSERT_TRUE(std::isfinite(rig.out()[n])) << n;
        ASSERT_TRUE(std::isfinite(rig.second()[n])) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoExtremes, ::testing::Values(8000, 44100, 384000));

}  // namespace
