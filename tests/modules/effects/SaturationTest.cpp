// The saturation stage: its quartic curve against the formula, the mirror for negative input,
// pass-through and silence with their idling, the amount source switch, sample accuracy across
// split stretches and finite output under hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/QX_DSP_Saturation.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace {

using Saturation = QX_DSP_Saturation;

enum Signal : int { kInput, kDrive, kAmountA, kAmountB };

// Source outputs 0..3 feed the input, drive and both amount pins; the netlist's settings follow:
// curve 5, amount from pin 5, on.
struct SaturationRig {
    SaturationRig()
        : source(engine.add<source_rig::SignalSource>(false)),
          saturation(engine.add<Saturation>(false)),
          recorder(engine.add<source_rig::Recorder>(false)),
          origin(engine.sampleClock) {
        const int pins[] = {Saturation::kPinInput, Saturation::kPinDrive, Saturation::kPinAmountA,
                            Saturation::kPinAmountB};
        for (int s = kInput; s <= kAmountB; ++s) {
            source->connect(saturation, saturation->moduleIndex, s, pins[s], 0, 0, 0);
            source->signal[s] = [](std::uint32_t) { return 0.0f; };
        }
        saturation->connect(recorder, recorder->moduleIndex, Saturation::kOutputLeft, 0, 0, 0, 0);
        engine.prepareAll();
        event(0, Saturation::kPinType, Saturation::kCurveQuartic);
        event(0, Saturation::kPinAmountSource, 1);
    }

    void event(int offset, int pin, std::int32_t ivalue, int kind = kEventStill) {
        saturation->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, 0.0f,
                                 nullptr);
    }

    // Signal s follows f from the next run on, announced with `kind`.
    void set(Signal s, std::function<float(std::uint32_t)> f, int kind) {
        source->signal[s] = std::move(f);
        const int pins[] = {Saturation::kPinInput, Saturation::kPinDrive, Saturation::kPinAmountA,
                            Saturation::kPinAmountB};
        event(0, pins[s], 0, kind);
    }
    void still(Signal s, float value) {
        set(s, [value](std::uint32_t) { return value; }, kEventStill);
    }

    bool idle() const { return (engine.moduleFlags[saturation->moduleIndex] & kModuleIdle) != 0; }
    const std::vector<float>& out() const { return recorder->samples[0]; }

    TestEngine engine;
    source_rig::SignalSource* source;
    Saturation* saturation;
    source_rig::Recorder* recorder;
    std::uint32_t origin;
};

double curve(double x, double d, double m) {
    double y = x * d;
    double w = m / (0.333 * d + 0.667);
    if (y < 0.0) {
        y = -y;
        w = -w;
    }
    const double s = y < 1.0 ? 1.0 - std::pow(1.0 - y, 4.0) : 1.0;
    return (1.0 - m) * x + w * s;
}

struct CurveCase {
    const char* name;
    float x;
    float drive;
    float amount;
};
const CurveCase kCurveCases[] = {
    {"FullDriveHalfInput", 0.5f, 2.0f, 1.0f}, {"Mirror", -0.5f, 2.0f, 1.0f},  {"Gentle", 0.3f, 0.5f, 1.0f},
    {"Blend", 0.7f, 1.5f, 0.4f},              {"Above", -3.0f, 1.2f, 0.8f}, {"DryOnly", 0.4f, 2.0f, 0.0f},
};

class ModulesSaturationCurve : public testing::TestWithParam<CurveCase> {};

TEST_P(ModulesSaturationCurve, FollowsTheQuarticCurve) {
    const CurveCase& c = GetParam();
    SaturationRig rig;
    rig.still(kInput, c.x);
    rig.still(kDrive, c.drive);
    rig.still(kAmountB, c.amount);
    rig.engine.run(64);
    EXPECT_NEAR(rig.out().back(), curve(c.x, c.drive, c.amount), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(ModulesSaturation, ModulesSaturationCurve, testing::ValuesIn(kCurveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesSaturation, FullDriveOfHalfInputReachesTheCeiling) {
    SaturationRig rig;
    rig.still(kInput, 0.5f);
    rig.still(kDrive, 2.0f);
    rig.still(kAmountB, 1.0f);
    rig.engine.run(16);
    EXPECT_NEAR(rig.out().back(), 1.0 / 1.333, 1e-6);
}

// Drive 1 and amount 0, both still: the input passes bit for bit, and a still input idles a block on.
TEST(ModulesSaturation, UnityDriveWithoutAmountPassesThrough) {
    SaturationRig rig;
    rig.still(kDrive, 1.0f);
    rig.still(kAmountB, 0.0f);
    rig.set(kAmountA, [](std::uint32_t) { return 1.0f; }, kEventStill);  // not the selected source
    const auto input = source_rig::sine(321.0, 44100, 0.9);
    rig.set(kInput, input, kEventMoving);
    rig.engine.run(500);
    for (std::uint32_t i = 0; i < 500; ++i) {
        ASSERT_EQ(rig.out()[i], input(rig.origin + i)) << i;
    }
    rig.still(kInput, 0.25f);
    rig.engine.run(127);
    EXPECT_FALSE(rig.idle());
    rig.engine.run(129);
    EXPECT_TRUE(rig.idle());
    EXPECT_EQ(rig.out().back(), 0.25f);
}

TEST(ModulesSaturation, OffSilencesOrPasses) {
    for (int offMode : {0, 1}) {
        SaturationRig rig;
        rig.still(kDrive, 2.0f);
        rig.still(kAmountB, 1.0f);
        rig.set(kInput, source_rig::sine(321.0, 44100, 0.9), kEventMoving);
        rig.event(0, Saturation::kPinOffMode, offMode);
        rig.event(0, Saturation::kPinOn, 0);
        rig.engine.run(300);
        EXPECT_EQ(rig.out()[200], offMode == 0 ? 0.0f : rig.source->signal[kInput](rig.origin + 200));
        EXPECT_EQ(rig.idle(), offMode == 0);
    }
}

// Cut by other events at random samples, the same signals give the same output.
TEST(ModulesSaturation, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split) {
        SaturationRig rig;
        rig.set(kDrive, [](std::uint32_t t) { return 1.25f + 0.75f * std::sin(0.003f * static_cast<float>(t)); },
                kEventMoving);
        rig.set(kAmountB, [](std::uint32_t t) { return 0.5f + 0.5f * std::sin(0.0011f * static_cast<float>(t)); },
                kEventMoving);
        rig.set(kInput, source_rig::sine(150.0, 44100, 1.5), kEventMoving);
        if (split) {
            std::mt19937 random(11);
            std::uniform_int_distribution<int> at(1, 3000);
            for (int i = 0; i < 40; ++i) {
                rig.event(at(random), Saturation::kPinInputRight, 0);
            }
        }
        rig.engine.run(3072);
        return rig.out();
    };
    const std::vector<float> whole = render(false);
    const std::vector<float> split = render(true);
    ASSERT_EQ(whole.size(), split.size());
    EXPECT_EQ(std::memcmp(whole.data(), split.data(), whole.size() * sizeof(float)), 0);
}

TEST(ModulesSaturation, HostileInputGivesFiniteOutput) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    SaturationRig rig;
    const float values[] = {kNan, kInf, -kInf, 1.0e30f, -2.003003f, 0.0f, 1.0f};
    rig.set(kDrive, [&](std::uint32_t t) { return values[(t / 7) % std::size(values)]; }, kEventMoving);
    rig.set(kAmountB, [&](std::uint32_t t) { return values[(t / 11) % std::size(values)]; }, kEventMoving);
    rig.set(kInput, [&](std::uint32_t t) { return values[(t / 3) % std::size(values)]; }, kEventMoving);
    rig.engine.run(2000);
    for (float y : rig.out()) {
        ASSERT_TRUE(std::isfinite(y));
    }
}

}  // namespace
