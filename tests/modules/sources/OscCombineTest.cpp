#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "modules/sources/QX_DSP_Velkor2_OSC_Combine.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

using namespace source_rig;

namespace {

using Combine = QX_DSP_Velkor2_OSC_Combine;

// Signals a, la, b, lb, c and T on source outputs 0..5, wired to the combiner's pins.
constexpr int kCombinePins[] = {Combine::kPinA,         Combine::kPinLevelA, Combine::kPinB,
                                Combine::kPinLevelB,    Combine::kPinCrossFade, Combine::kPinThreshold};

struct Inputs {
    float a, la, b, lb, c, t;
};

// Known inputs that sweep every comparison both ways: two unrelated waves, levels that move,
// a cross-fade control over its whole range and a threshold that moves a little.
Inputs inputsAt(std::uint32_t t) {
    const float time = static_cast<float>(t);
    return {0.5f * std::sin(time * 0.031f),
            0.6f + 0.4f * std::sin(time * 0.0021f),
            0.5f * std::sin(time * 0.047f + 1.0f),
            0.9f - 0.3f * std::cos(time * 0.0017f),
            0.5f * std::sin(time * 0.0093f),
            0.1f + 0.05f * std::sin(time * 0.013f)};
}

class CombineRig {
public:
    explicit CombineRig(int blockLength = 128)
        : engine(blockLength),
          source(engine.add<SignalSource>(false)),
          combine(engine.add<Combine>(false)),
          recorder(engine.add<Recorder>(false)) {
        for (int i = 0; i < 6; ++i) {
            source->signal[i] = [i](std::uint32_t t) {
                const Inputs in = inputsAt(t);
                const float values[] = {in.a, in.la, in.b, in.lb, in.c, in.t};
                return values[i];
            };
            source->connect(combine, combine->moduleIndex, i, kCombinePins[i], 0, 0, 0);
        }
        combine->connect(recorder, recorder->moduleIndex, 0, 0, 0, 0, 0);
        engine.prepareAll();
    }

    void mode(int value, int offset = 0) {
        combine->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), Combine::kPinMode,
                              kEventStill, value, static_cast<float>(value) * 0.1f, nullptr);
    }
    const std::vector<float>& out() const { return recorder->samples[0]; }

    TestEngine engine;
    SignalSource* source;
    Combine* combine;
    Recorder* recorder;
};

double expectedOutput(int mode, const Inputs& in) {
    const double a = static_cast<double>(in.a) * in.la;
    const double b = static_cast<double>(in.b) * in.lb;
    const bool aHigh = a > in.t;
    const bool bHigh = b > in.t;
    switch (mode) {
        case Combine::kAnd:
            return aHigh && bHigh ? 0.5 : -0.5;
        case Combine::kOr:
            return aHigh || bHigh ? 0.5 : -0.5;
        case Combine::kXor:
            return aHigh != bHigh ? 0.5 : -0.5;
        case Combine::kRing:
            return a * b;
        case Combine::kXWave: {
            const double x = in.c + 0.5;
            const double w = x * (1.0 - x);
            return b * (x + w) + a * ((1.0 - x) + w);
        }
        default:
            return a + b;
    }
}

struct ModeCase {
    const char* name;
    int mode;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

const ModeCase kModeCases[] = {{"Mix", Combine::kMix}, {"And", Combine::kAnd},   {"Or", Combine::kOr},
                               {"Xor", Combine::kXor}, {"Ring", Combine::kRing}, {"Sync", Combine::kSync},
                               {"XWave", Combine::kXWave}};

class ModulesOscCombineModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModulesOscCombineModes, OutputFollowsTheModesFormulaSampleBySample) {
    CombineRig rig(100);
    const std::uint32_t start = rig.engine.sampleClock;
    rig.mode(GetParam().mode);
    rig.engine.run(3000);
    int highs = 0;
    for (std::size_t i = 0; i < rig.out().size(); ++i) {
        const Inputs in = inputsAt(start + static_cast<std::uint32_t>(i));
        ASSERT_NEAR(rig.out()[i], expectedOutput(GetParam().mode, in), 1e-6) << "sample " << i;
        highs += rig.out()[i] > 0.0f ? 1 : 0;
    }
    EXPECT_GT(highs, 0);
    EXPECT_LT(highs, static_cast<int>(rig.out().size()));
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscCombineModes, ::testing::ValuesIn(kModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesOscCombine, AndWithThresholdHalfIsAlwaysLowForLevelsUpToOne) {
    CombineRig rig;
    rig.source->signal[5] = [](std::uint32_t) { return 0.5f; };
    rig.mode(Combine::kAnd);
    rig.engine.run(2000);
    for (const float x : rig.out()) {
        ASSERT_EQ(x, -0.5f);
    }
}

// A mode change takes effect at its own sample; prepare announces the output as moving once;
// modes outside the list leave the mode as it was.
TEST(ModulesOscCombine, ModeChangesAtItsSampleAndIgnoresUnknownModes) {
    CombineRig rig;
    const std::uint32_t start = rig.engine.sampleClock;
    rig.mode(Combine::kRing, 0);
    rig.mode(Combine::kMix, 77);
    rig.mode(7, 90);
    rig.mode(-1, 91);
    rig.engine.run(256);
    ASSERT_EQ(rig.recorder->events.size(), 1u);
    EXPECT_EQ(rig.recorder->events[0].kind, kEventMoving);
    for (std::size_t i = 0; i < rig.out().size(); ++i) {
        const int mode = i < 77 ? Combine::kRing : Combine::kMix;
        ASSERT_NEAR(rig.out()[i], expectedOutput(mode, inputsAt(start + static_cast<std::uint32_t>(i))), 1e-6) << i;
    }
}

TEST(ModulesOscCombine, SplitRenderingEqualsWholeRendering) {
    CombineRig whole;
    CombineRig split;
    std::mt19937 random(7u);
    std::uniform_int_distribution<int> at(0, 3999);
    for (CombineRig* rig : {&whole, &split}) {
        for (int i = 0; i < 7; ++i) {
            rig->mode(i, 500 * i + 13);
        }
    }
    for (int i = 0; i < 200; ++i) {
        split.combine->receiveEvent(split.engine.sampleClock + static_cast<std::uint32_t>(at(random)), 63,
                                    kEventStill, 0, 0.0f, nullptr);
    }
    whole.engine.run(4000);
    split.engine.run(4000);
    ASSERT_EQ(whole.out(), split.out());
}

TEST(ModulesOscCombine, NonFiniteAndHugeInputsGiveBoundedOutput) {
    CombineRig rig;
    constexpr float kSpikes[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(), 3.0e38f, -3.0e38f};
    for (int i = 0; i < 6; ++i) {
        rig.source->signal[i] = [i, kSpikes](std::uint32_t t) {
            return kSpikes[(t + static_cast<std::uint32_t>(i) * 3) % std::size(kSpikes)];
        };
    }
    for (int mode = 0; mode < Combine::kModeCount; ++mode) {
        rig.mode(mode, mode * 300);
    }
    rig.engine.run(2400);
    for (const float x : rig.out()) {
        ASSERT_TRUE(std::isfinite(x));
        ASSERT_LE(std::abs(x), 1.0e4f);
    }
}

}  // namespace
