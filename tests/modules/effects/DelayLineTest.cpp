// The mono delay line measured from outside: where an impulse comes out for each time unit, mode
// and sample rate, the pitch bend of a sweeping time, repeats of the feedback loop, the longest
// delay each size holds, silence and restart, clearing, split rendering and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/DelayRig.h"
#include "modules/effects/QX_DSP_Delay.h"
#include "modules/sources/SampleGuard.h"

using namespace delay_test;

namespace {

using Delay = QX_DSP_Delay;
using Rig = DelayRig<Delay>;

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int kOffNoOpPin = 40;  // an unused pin: its events only cut the stretch

// An impulse at sample 0 into a line with a still delay time; records output 0.
Rig& impulseRig(Rig& rig, int unit, float time, int mode = 1) {
    rig.feed(0, Delay::kPinInput, impulseAt(0));
    rig.listen(0, 0);
    rig.prepare();
    rig.setting(0, Delay::kPinUnit, unit);
    rig.setting(0, Delay::kPinMode, mode);
    rig.value(0, Delay::kPinTime, time);
    return rig;
}

struct ImpulseCase {
    const char* name;
    int sampleRate;
    int unit;
    float time;
    int mode;
    int whole;  // the impulse comes out here with weight 1 - fraction, and fraction one later
    float fraction;
};

constexpr ImpulseCase kImpulseCases[] = {
    {"ZeroTimeReadsTheNewSample", 44100, 1, 0.0f, 1, 0, 0.0f},
    {"HundredthsAt48k", 48000, 1, 1.0f, 1, 480, 0.0f},
    {"HundredthsAt96k", 96000, 1, 2.25f, 1, 2160, 0.0f},
    {"HalfSampleInterpolates", 44100, 1, 0.5f, 1, 220, 0.5f},
    {"WholeSampleModeDropsTheFraction", 44100, 1, 0.5f, 0, 220, 0.0f},
    {"TensOfSeconds", 44100, 0, 0.001f, 1, 441, 0.0f},
    {"TensOfSamples", 44100, 2, 3.7f, 1, 37, 0.0f},
    {"NegativeTimeReadsTheNewSample", 44100, 1, -3.0f, 1, 0, 0.0f},
    {"NaNTimeReadsTheNewSample", 44100, 1, kNan, 1, 0, 0.0f},
    {"UnknownUnitFallsBackToHundredths", 44100, 7, 1.0f, 1, 441, 0.0f},
};

class ModulesDelayImpulse : public testing::TestWithParam<ImpulseCase> {};

TEST_P(ModulesDelayImpulse, ComesOutAtTheDelayTime) {
    const ImpulseCase& c = GetParam();
    Rig rig(c.sampleRate);
    impulseRig(rig, c.unit, c.time, c.mode).run(c.whole + 300);
    const std::vector<float>& out = rig.out();
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const float expected = i == c.whole ? 1.0f - c.fraction : i == c.whole + 1 ? c.fraction : 0.0f;
        ASSERT_NEAR(out[i], expected, 1.0e-4f) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesDelay, ModulesDelayImpulse, testing::ValuesIn(kImpulseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A delay that shortens by r samples per sample plays the input r times faster: 1000 Hz becomes
// 1000 * (1 + r). A still delay leaves the pitch alone.
TEST(ModulesDelay, SweepingTimeBendsThePitch) {
    struct Sweep {
        double rate;  // samples of delay lost per sample
        double hz;
    };
    for (const Sweep& sweep : {Sweep{0.0, 1000.0}, Sweep{0.05, 1050.0}, Sweep{-0.02, 980.0}}) {
        Rig rig;
        rig.feed(0, Delay::kPinInput, source_rig::sine(1000.0, 44100));
        const double rate = sweep.rate;
        rig.feed(1, Delay::kPinTime, [rate](std::uint32_t t) {
            return static_cast<float>((1500.0 - rate * static_cast<double>(t)) / 441.0);  // hundredths
        });
        rig.listen(0, 0);
        rig.prepare();
        rig.run(12000);
        EXPECT_NEAR(source_rig::crossingFrequency(rig.out(), 44100, 2000), sweep.hz, 0.2) << "rate " << rate;
    }
}

struct LoopCase {
    const char* name;
    float feedback;
    float ratio;  // each repeat is this times the one before
};

constexpr LoopCase kLoopCases[] = {
    {"Half", 0.5f, 0.5f},
    {"Inverted", -0.5f, -0.5f},
    {"Long", 0.9f, 0.9f},
    {"FullHoldsForever", 1.0f, 1.0f},
    {"BeyondFullIsHeldAtFull", 40.0f, 1.0f},
    {"NaNOpensTheLoop", kNan, 0.0f},
};

class ModulesDelayLoop : public testing::TestWithParam<LoopCase> {};

// An impulse through a 100-sample line comes back every 100 samples, scaled by the feedback.
TEST_P(ModulesDelayLoop, RepeatsScaleByTheFeedback) {
    const LoopCase& c = GetParam();
    Rig rig;
    impulseRig(rig, 2, 10.0f);
    rig.value(0, Delay::kPinFeedback, c.feedback);
    rig.run(1050);
    float expected = 1.0f;
    for (int i = 0; i < 1050; ++i) {
        const bool repeat = i > 0 && i % 100 == 0;
        ASSERT_NEAR(rig.out()[i], repeat ? expected : 0.0f, 1.0e-5f) << "sample " << i;
        expected *= repeat ? c.ratio : 1.0f;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesDelay, ModulesDelayLoop, testing::ValuesIn(kLoopCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The smoothed loop low-passes every pass: repeats lose energy faster than in the plain loop, and
// the impulse spreads.
TEST(ModulesDelay, SmoothedLoopDarkensEachRepeat) {
    const auto repeatEnergies = [](float smoothing) {
        Rig rig;
        impulseRig(rig, 2, 10.0f);
        rig.value(0, Delay::kPinFeedback, 0.9f);
        rig.value(0, Delay::kPinSmoothing, smoothing);
        rig.run(600);
        std::vector<double> energy(5, 0.0);
        for (int i = 50; i < 550; ++i) {
            energy[static_cast<std::size_t>((i - 50) / 100)] += static_cast<double>(rig.out()[i]) * rig.out()[i];
        }
        return energy;
    };
    const std::vector<double> plain = repeatEnergies(0.0f);
    const std::vector<double> smoothed = repeatEnergies(0.5f);
    EXPECT_DOUBLE_EQ(smoothed[0], plain[0]);  // the first pass has not been round the loop yet
    for (std::size_t k = 1; k < plain.size(); ++k) {
        EXPECT_LT(smoothed[k], 0.8 * plain[k]) << "repeat " << k;
        EXPECT_LT(smoothed[k], smoothed[k - 1]) << "repeat " << k;
    }
}

// The longest delay a size holds: a time far beyond it reads the oldest sample, length - 1 back.
struct SizeCase {
    const char* name;
    int sampleRate;
    int size;
    int length;
};

constexpr SizeCase kSizeCases[] = {
    {"Smallest", 44100, 11, 256},         {"SmallestAt48k", 48000, 11, 256},
    {"DoubledAbove48k", 96000, 11, 512},  {"TwiceDoubledAbove96k", 192000, 11, 1024},
    {"ThriceDoubledAbove192k", 384000, 11, 2048}, {"Default", 44100, Delay::kDefaultSize, 262144},
    {"LargestAt96k", 96000, 0, 1048576},  {"OutOfRangeIsTheSmallest", 44100, 99, 256},
};

class ModulesDelaySize : public testing::TestWithParam<SizeCase> {};

TEST_P(ModulesDelaySize, HoldsItsLengthLessOne) {
    const SizeCase& c = GetParam();
    Rig rig(c.sampleRate);
    impulseRig(rig, 1, 1.0e9f);
    if (c.size != Delay::kDefaultSize) {
        rig.setting(0, Delay::kPinSize, c.size);
    }
    rig.run(c.length + 100);
    EXPECT_EQ(nonZero(rig.out()), std::vector<int>{c.length - 1});
}

INSTANTIATE_TEST_SUITE_P(ModulesDelay, ModulesDelaySize, testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Switched off, the line is silent, says so and goes idle; switched on again it starts from an
// empty line: what went in before (enough to fill the ring many times over) never comes out.
TEST(ModulesDelay, OffAndOnRestartsFromSilence) {
    Rig rig;
    rig.feed(0, Delay::kPinInput, [](std::uint32_t t) { return t < 600 || t == 900 ? 1.0f : 0.0f; });
    rig.listen(0, 0);
    rig.prepare();
    rig.setting(0, Delay::kPinSize, 11);
    rig.setting(0, Delay::kPinUnit, 2);
    rig.value(0, Delay::kPinTime, 10.0f);  // 100 samples
    rig.value(0, Delay::kPinFeedback, 0.5f);
    rig.value(600, Delay::kPinEnable, 0.0f);
    rig.run(780);
    EXPECT_TRUE(rig.idle());
    rig.value(20, Delay::kPinEnable, 1.0f);
    rig.run(470);
    const std::vector<float> after(rig.out().begin() + 600, rig.out().end());
    EXPECT_EQ(nonZero(after), (std::vector<int>{400, 500, 600}));
    EXPECT_EQ(rig.kinds(), (std::vector<int>{kEventMoving, kEventStill, kEventMoving}));
}

// A clear empties the line without moving it: later input keeps its delay.
TEST(ModulesDelay, ClearEmptiesTheLineInPlace) {
    Rig rig;
    rig.feed(0, Delay::kPinInput, [](std::uint32_t t) { return t == 0 || t == 600 ? 1.0f : 0.0f; });
    rig.listen(0, 0);
    rig.prepare();
    rig.setting(0, Delay::kPinUnit, 2);
    rig.value(0, Delay::kPinTime, 100.0f);  // 1000 samples
    rig.setting(500, Delay::kPinClear, 1);
    rig.run(2000);
    EXPECT_EQ(nonZero(rig.out()), std::vector<int>{1600});
}

TEST(ModulesDelay, BypassPassesTheInput) {
    Rig rig;
    impulseRig(rig, 1, 1.0f);
    rig.setting(0, Delay::kPinBypass, 1);
    rig.run(1000);
    EXPECT_EQ(nonZero(rig.out()), std::vector<int>{0});
}

// The same events give the same samples however the stretch is cut by other events.
TEST(ModulesDelay, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split, bool movingTime) {
        Rig rig;
        rig.feed(0, Delay::kPinInput, source_rig::sine(330.0, 44100, 0.4));
        if (movingTime) {
            rig.feed(1, Delay::kPinTime,
                     [](std::uint32_t t) { return 2.0f + std::sin(0.003f * static_cast<float>(t)); });
        }
        rig.listen(0, 0);
        rig.prepare();
        if (!movingTime) {
            rig.value(0, Delay::kPinTime, 2.3f);
        }
        rig.value(0, Delay::kPinFeedback, 0.6f);
        rig.value(0, Delay::kPinSmoothing, movingTime ? 0.3f : 0.0f);
        if (split) {
            std::mt19937 random(11);
            std::uniform_int_distribution<int> at(1, 5000);
            for (int i = 0; i < 80; ++i) {
                rig.value(at(random), i % 2 == 0 ? kOffNoOpPin : Delay::kPinFeedback, 0.6f);
            }
        }
        rig.run(6000);
        return rig.out();
    };
    for (bool moving : {false, true}) {
        EXPECT_TRUE(sameBits(render(false, moving), render(true, moving))) << "moving time " << moving;
    }
}

// Loud, broken input into a full loop, with broken times and feedback: every sample stays finite
// and inside the bound the line keeps.
TEST(ModulesDelay, HostileInputGivesBoundedOutput) {
    Rig rig;
    rig.feed(0, Delay::kPinInput, [](std::uint32_t t) {
        const float spikes[] = {1.0e30f, -1.0e30f, kNan, kInf, -kInf, 1.0e6f, -1.0e6f, 1.0e-40f};
        return spikes[(t * 7919u) % std::size(spikes)];
    });
    rig.feed(1, Delay::kPinTime, [](std::uint32_t t) {
        const float times[] = {kNan, kInf, -kInf, 1.0e30f, -5.0f, 0.3f, 1.7f};
        return times[(t / 97) % std::size(times)];
    });
    rig.listen(0, 0);
    rig.prepare();
    const float feedbacks[] = {1.0f, kInf, -1.0e30f, kNan, 1.0f};
    for (int k = 0; k < 5; ++k) {
        rig.value(k * 4000, Delay::kPinFeedback, feedbacks[k]);
        rig.value(k * 4000, Delay::kPinSmoothing, k % 2 == 0 ? 0.0f : kNan);
    }
    rig.run(20000);
    EXPECT_EQ(countNonFinite(rig.out()), 0);
    EXPECT_LE(peakMagnitude(rig.out()), sample_guard::kOutputLimit);
}

}  // namespace
