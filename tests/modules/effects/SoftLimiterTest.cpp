// The soft limiter: plain gain below the threshold, the knee's ceiling far above it, the gain
// compensation, the modes and silence with their idling, sample accuracy across split stretches
// and finite output under hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/QX_DSP_Soft_Limiter.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace {

using Limiter = QX_DSP_Soft_Limiter;

enum Signal : int { kInput, kThreshold, kGain, kKnee, kScale, kSignals };
constexpr int kPins[kSignals] = {Limiter::kPinInput, Limiter::kPinThreshold, Limiter::kPinGain, Limiter::kPinKnee,
                                 Limiter::kPinScale};
constexpr int kCompensationSource = 5;

// Source outputs 0..4 feed the audio, threshold, gain, knee and scale pins; all start still at 1.
struct LimiterRig {
    explicit LimiterRig(bool compensated, float base = 0.75f)
        : source(engine.add<source_rig::SignalSource>(false)),
          limiter(engine.add<Limiter>(false)),
          recorder(engine.add<source_rig::Recorder>(false)),
          origin(engine.sampleClock) {
        for (int s = kInput; s < kSignals; ++s) {
            source->connect(limiter, limiter->moduleIndex, s, kPins[s], 0, 0, 0);
        }
        if (compensated) {
            source->connect(limiter, limiter->moduleIndex, kCompensationSource, Limiter::kPinCompensation, 0, 0, 0);
        }
        limiter->connect(recorder, recorder->moduleIndex, Limiter::kOutput, 0, 0, 0, 0);
        engine.prepareAll();
        limiter->receiveEvent(engine.sampleClock, Limiter::kPinCompensationBase, kEventStill, 0, base, nullptr);
        for (int s = kInput; s < kSignals; ++s) {
            still(static_cast<Signal>(s), 1.0f);
        }
    }

    void event(int offset, int pin, std::int32_t ivalue, int kind = kEventStill) {
        limiter->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, 0.0f,
                              nullptr);
    }
    void set(Signal s, std::function<float(std::uint32_t)> f, int kind) {
        source->signal[s] = std::move(f);
        event(0, kPins[s], 0, kind);
    }
    void still(Signal s, float value) {
        set(s, [value](std::uint32_t) { return value; }, kEventStill);
    }

    bool idle() const { return (engine.moduleFlags[limiter->moduleIndex] & kModuleIdle) != 0; }
    const std::vector<float>& out() const { return recorder->samples[0]; }

    TestEngine engine;
    source_rig::SignalSource* source;
    Limiter* limiter;
    source_rig::Recorder* recorder;
    std::uint32_t origin;
};

double knee(double a, double t, double k) { return a <= t ? a : t + k * (a - t) / ((a - t) + 1.0); }

struct LimitCase {
    const char* name;
    bool compensated;
    float input;
    float threshold;
    float gain;
    float depth;
    float scale;
};
const LimitCase kLimitCases[] = {
    {"BelowPlain", false, 0.3f, 1.0f, 2.0f, 1.0f, 1.2f},  {"BelowCompensated", true, -0.3f, 1.0f, 2.0f, 1.0f, 1.0f},
    {"AbovePlain", false, 0.9f, 1.0f, 2.0f, 1.0f, 0.8f},  {"AboveCompensated", true, 0.9f, 1.5f, 3.0f, 1.0f, 1.0f},
    {"DeepKnee", false, -2.0f, 0.5f, 1.5f, 2.0f, 1.0f},
};

class ModulesSoftLimiterLaw : public testing::TestWithParam<LimitCase> {};

// Checked with every control still and with every control announced as moving.
TEST_P(ModulesSoftLimiterLaw, FollowsTheKneeFormula) {
    const LimitCase& c = GetParam();
    constexpr double kBase = 0.75;
    const double x = static_cast<double>(c.input) * c.gain;
    const double y = std::copysign(knee(std::fabs(x), c.threshold, c.depth * c.depth * 0.1), x);
    const double expected =
        c.compensated ? y / (std::sqrt(c.gain) * (1.0 - kBase) + kBase) : y * c.scale * c.scale;
    for (int kind : {kEventStill, kEventMoving}) {
        LimiterRig rig(c.compensated);
        const float values[] = {c.input, c.threshold, c.gain, c.depth, c.scale};
        for (int s = kThreshold; s < kSignals; ++s) {
            const float v = values[s];
            rig.set(static_cast<Signal>(s), [v](std::uint32_t) { return v; }, kind);
        }
        rig.still(kInput, c.input);
        rig.engine.run(64);
        EXPECT_NEAR(rig.out().back(), expected, 1e-6) << "kind " << kind;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesSoftLimiter, ModulesSoftLimiterLaw, testing::ValuesIn(kLimitCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Far above the threshold the knee approaches T + k and never passes it.
TEST(ModulesSoftLimiter, KneeNeverPassesItsCeiling) {
    for (float threshold : {1.0f, 1.5f}) {
        LimiterRig rig(false);
        rig.still(kThreshold, threshold);
        rig.set(kInput, [](std::uint32_t t) { return 1.0f + 0.5f * static_cast<float>(t % 2000); }, kEventMoving);
        rig.engine.run(2000);
        float highest = 0.0f;
        for (float y : rig.out()) {
            highest = std::max(highest, y);
        }
        EXPECT_LE(highest, threshold + 0.1f);
        EXPECT_GT(highest, threshold + 0.0995f);
    }
}

TEST(ModulesSoftLimiter, CompensatedUnityGainPassesThroughAndIdles) {
    LimiterRig rig(true, 0.4f);
    const auto input = source_rig::sine(500.0, 44100, 3.0);
    rig.set(kInput, input, kEventMoving);
    rig.engine.run(400);
    for (std::uint32_t i = 0; i < 400; ++i) {
        ASSERT_EQ(rig.out()[i], input(rig.origin + i)) << i;
    }
    rig.still(kInput, 0.5f);
    rig.engine.run(127);
    EXPECT_FALSE(rig.idle());
    rig.engine.run(129);
    EXPECT_TRUE(rig.idle());
}

struct SilenceCase {
    const char* name;
    Signal zeroed;
    int mode;
};
const SilenceCase kSilenceCases[] = {
    {"StillZeroInput", kInput, Limiter::kModeLimit},
    {"StillZeroGain", kGain, Limiter::kModeLimit},
    {"ModeSilence", kThreshold, Limiter::kModeSilence},
};

class ModulesSoftLimiterSilence : public testing::TestWithParam<SilenceCase> {};

TEST_P(ModulesSoftLimiterSilence, WritesZerosAndIdles) {
    const SilenceCase& c = GetParam();
    LimiterRig rig(false);
    rig.set(kInput, source_rig::sine(500.0, 44100, 0.5), kEventMoving);
    rig.engine.run(300);
    rig.still(c.zeroed, 0.0f);
    rig.event(0, Limiter::kPinMode, c.mode);
    rig.engine.run(127);
    EXPECT_FALSE(rig.idle());
    EXPECT_EQ(rig.out().back(), 0.0f);
    rig.engine.run(129);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(ModulesSoftLimiter, ModulesSoftLimiterSilence, testing::ValuesIn(kSilenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesSoftLimiter, PassModeCopiesTheInput) {
    LimiterRig rig(false);
    rig.still(kGain, 3.0f);
    rig.event(0, Limiter::kPinMode, Limiter::kModePass);
    const auto input = source_rig::sine(700.0, 44100, 2.0);
    rig.set(kInput, input, kEventMoving);
    rig.engine.run(256);
    for (std::uint32_t i = 0; i < 256; ++i) {
        ASSERT_EQ(rig.out()[i], input(rig.origin + i)) << i;
    }
}

TEST(ModulesSoftLimiter, SplitStretchesRenderLikeWholeOnes) {
    for (bool compensated : {false, true}) {
        const auto render = [compensated](bool split) {
            LimiterRig rig(compensated);
            rig.set(kGain, [](std::uint32_t t) { return 2.0f + std::sin(0.002f * static_cast<float>(t)); },
                    kEventMoving);
            rig.set(kInput, source_rig::sine(180.0, 44100, 1.2), kEventMoving);
            if (split) {
                std::mt19937 random(5);
                std::uniform_int_distribution<int> at(1, 3000);
                for (int i = 0; i < 40; ++i) {
                    rig.event(at(random), Limiter::kPinMode, Limiter::kModeLimit);
                }
            }
            rig.engine.run(3072);
            return rig.out();
        };
        const std::vector<float> whole = render(false);
        const std::vector<float> split = render(true);
        ASSERT_EQ(whole.size(), split.size());
        EXPECT_EQ(std::memcmp(whole.data(), split.data(), whole.size() * sizeof(float)), 0) << compensated;
    }
}

TEST(ModulesSoftLimiter, HostileInputGivesFiniteOutput) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {kNan, kInf, -kInf, 1.0e30f, -1.0f, 0.0f, 2.0f, -1.0e30f};
    for (bool compensated : {false, true}) {
        LimiterRig rig(compensated);
        for (int s = kInput; s < kSignals; ++s) {
            const std::uint32_t period = 3u + 2u * static_cast<std::uint32_t>(s);
            rig.set(static_cast<Signal>(s), [&values, period](std::uint32_t t) { return values[(t / period) % 8]; },
                    kEventMoving);
        }
        rig.engine.run(2000);
        for (float y : rig.out()) {
            ASSERT_TRUE(std::isfinite(y));
        }
    }
}

}  // namespace
