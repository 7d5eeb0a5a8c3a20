// The chorus core measured from outside: where each tap reads (an impulse in comes out at each
// tap's delay), tap counts, the minimum delay and the time unit, the buffer length per size and
// sample rate, off and on, split rendering and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "modules/effects/DelayRig.h"
#include "modules/effects/QX_DSP_Chorus3v.h"

using namespace delay_test;

namespace {

using Chorus = QX_DSP_Chorus3v;
using Rig = DelayRig<Chorus>;

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int kNoOpPin = 40;
constexpr int kDepthSource = 1;       // source output feeding the depth
constexpr int kFirstModSource = 2;    // source outputs feeding the three modulations
constexpr int kLeaveAlone = -1;

// Input, depth and the three modulations fed from the source; the three taps recorded.
Rig& wired(Rig& rig, Signal input, Signal depth, const Signal (&mods)[Chorus::kTaps]) {
    rig.feed(0, Chorus::kPinInput, std::move(input));
    rig.feed(kDepthSource, Chorus::kPinDepth, std::move(depth));
    for (int tap = 0; tap < Chorus::kTaps; ++tap) {
        rig.feed(kFirstModSource + tap, Chorus::kPinFirstModulation + tap, mods[tap]);
        rig.listen(tap, tap);
    }
    rig.prepare();
    return rig;
}

struct TapCase {
    const char* name;
    int sampleRate;
    int taps;  // kLeaveAlone: the default, three
    float depth;  // hundredths of a second
    float mods[Chorus::kTaps];
    float bases[Chorus::kTaps];
    int unit;           // kLeaveAlone: hundredths
    int minimumOffset;  // netlist constant (tenths of a hundredth); kLeaveAlone: one millisecond
    int whole[Chorus::kTaps];  // -1: the tap is silent
    float fraction[Chorus::kTaps];
};

// At 44.1 kHz the minimum delay is 44.1 samples (one millisecond), whole, plus one: 45.
constexpr TapCase kTapCases[] = {
    {"DepthZeroReadsAtTheMinimum", 44100, kLeaveAlone, 0.0f, {0.3f, -0.2f, 0.5f}, {}, kLeaveAlone, kLeaveAlone,
     {45, 45, 45}, {}},
    {"LowEndOfTheSweepAddsNothing", 44100, kLeaveAlone, 1.0f, {-0.5f, -0.5f, -0.5f}, {}, kLeaveAlone, kLeaveAlone,
     {45, 45, 45}, {}},
    {"HighEndAddsTheFullDepth", 44100, kLeaveAlone, 1.0f, {0.5f, 0.5f, 0.5f}, {}, kLeaveAlone, kLeaveAlone,
     {486, 486, 486}, {}},
    {"EachTapFollowsItsOwnSweep", 44100, kLeaveAlone, 1.0f, {-0.5f, 0.0f, 0.5f}, {}, kLeaveAlone, kLeaveAlone,
     {45, 265, 486}, {0.0f, 0.5f, 0.0f}},
    {"BaseDelaysAddToTheMinimumInWholeSamples", 44100, kLeaveAlone, 0.0f, {}, {1.0f, 2.0f, 0.5f}, kLeaveAlone,
     kLeaveAlone, {486, 927, 265}, {}},
    {"TwoTapsLeaveTheThirdSilent", 44100, 2, 1.0f, {0.5f, 0.5f, 0.5f}, {}, kLeaveAlone, kLeaveAlone,
     {486, 486, -1}, {}},
    {"OneTap", 44100, 1, 0.0f, {}, {}, kLeaveAlone, kLeaveAlone, {45, -1, -1}, {}},
    {"TooManyTapsMeansThree", 44100, 9, 0.0f, {}, {}, kLeaveAlone, kLeaveAlone, {45, 45, 45}, {}},
    {"NoTapsMeansOne", 44100, 0, 0.0f, {}, {}, kLeaveAlone, kLeaveAlone, {45, -1, -1}, {}},
    {"MinimumAt48k", 48000, kLeaveAlone, 0.0f, {}, {}, kLeaveAlone, kLeaveAlone, {49, 49, 49}, {}},
    {"ZeroMinimumOffsetLeavesOneSample", 44100, kLeaveAlone, 0.0f, {}, {}, kLeaveAlone, 0, {1, 1, 1}, {}},
    {"MinimumOffsetInHundredths", 44100, kLeaveAlone, 0.0f, {}, {}, kLeaveAlone, 5, {221, 221, 221}, {}},
    {"TensOfSecondsUnit", 44100, kLeaveAlone, 0.0f, {}, {0.0001f, 0.0f, 0.0f}, 0, kLeaveAlone, {89, 45, 45}, {}},
};

class ModulesChorusTaps : public testing::TestWithParam<TapCase> {};

TEST_P(ModulesChorusTaps, ImpulseComesOutAtEachTapsDelay) {
    const TapCase& c = GetParam();
    Rig rig(c.sampleRate);
    const Signal mods[] = {constant(c.mods[0]), constant(c.mods[1]), constant(c.mods[2])};
    wired(rig, impulseAt(0), constant(c.depth), mods);
    if (c.taps != kLeaveAlone) {
        rig.setting(0, Chorus::kPinTaps, c.taps);
    }
    if (c.unit != kLeaveAlone) {
        rig.setting(0, Chorus::kPinUnit, c.unit);
    }
    if (c.minimumOffset != kLeaveAlone) {
        rig.setting(0, Chorus::kPinMinimumOffset, c.minimumOffset);
    }
    for (int tap = 0; tap < Chorus::kTaps; ++tap) {
        rig.value(0, Chorus::kPinFirstBase + tap, c.bases[tap]);
    }
    rig.run(1200);
    for (int tap = 0; tap < Chorus::kTaps; ++tap) {
        const std::vector<float>& out = rig.out(tap);
        for (int i = 0; i < static_cast<int>(out.size()); ++i) {
            const float f = c.fraction[tap];
            const float expected = i == c.whole[tap] ? 1.0f - f : i == c.whole[tap] + 1 ? f : 0.0f;
            ASSERT_NEAR(out[i], expected, 1.0e-5f) << "tap " << tap + 1 << ", sample " << i;
        }
        const int kind = c.whole[tap] >= 0 ? kEventMoving : kEventStill;
        EXPECT_EQ(rig.kinds(tap), std::vector<int>{kind}) << "tap " << tap + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesChorus, ModulesChorusTaps, testing::ValuesIn(kTapCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    int sampleRate;
    int size;  // kLeaveAlone: the default
    int length;
};

constexpr SizeCase kSizeCases[] = {
    {"DefaultAt44k", 44100, kLeaveAlone, 32768},     {"DefaultAt48k", 48000, kLeaveAlone, 32768},
    {"DefaultDoubledAt96k", 96000, kLeaveAlone, 65536}, {"DefaultTwiceDoubledAt192k", 192000, kLeaveAlone, 131072},
    {"Smallest", 44100, 11, 256},                    {"SmallestAt192k", 192000, 11, 1024},
};

class ModulesChorusSize : public testing::TestWithParam<SizeCase> {};

// A base delay far beyond the buffer reads its oldest sample, length - 1 back.
TEST_P(ModulesChorusSize, HoldsItsLengthLessOne) {
    const SizeCase& c = GetParam();
    Rig rig(c.sampleRate);
    const Signal mods[] = {constant(0.0f), constant(0.0f), constant(0.0f)};
    wired(rig, impulseAt(0), constant(0.0f), mods);
    if (c.size != kLeaveAlone) {
        rig.setting(0, Chorus::kPinSize, c.size);
    }
    rig.value(0, Chorus::kPinFirstBase, 1.0e9f);
    rig.run(c.length + 100);
    EXPECT_EQ(nonZero(rig.out(0)), std::vector<int>{c.length - 1});
}

INSTANTIATE_TEST_SUITE_P(ModulesChorus, ModulesChorusSize, testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Off: silent, announced still, idle. On again: the line starts empty, so what went in before
// (enough to fill the ring many times over) never comes out, and what comes in after keeps its delay.
TEST(ModulesChorus, OffAndOnRestartsFromSilence) {
    Rig rig;
    const Signal mods[] = {constant(-0.5f), constant(-0.5f), constant(-0.5f)};
    wired(rig, [](std::uint32_t t) { return t < 1000 || t == 1400 ? 1.0f : 0.0f; }, constant(0.1f), mods);
    rig.setting(0, Chorus::kPinSize, 11);
    rig.setting(0, Chorus::kPinTaps, 2);
    rig.value(1000, Chorus::kPinEnable, 0.0f);
    rig.run(1250);
    EXPECT_TRUE(rig.idle());
    rig.value(50, Chorus::kPinEnable, 1.0f);
    rig.run(450);
    for (int tap = 0; tap < 2; ++tap) {
        const std::vector<float> after(rig.out(tap).begin() + 1000, rig.out(tap).end());
        EXPECT_EQ(nonZero(after), std::vector<int>{445}) << "tap " << tap + 1;
    }
    EXPECT_EQ(rig.kinds(1), (std::vector<int>{kEventMoving, kEventStill, kEventMoving}));
    EXPECT_EQ(rig.kinds(2), std::vector<int>{kEventStill});
}

TEST(ModulesChorus, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split) {
        Rig rig;
        const Signal mods[] = {
            [](std::uint32_t t) { return 0.5f * std::sin(0.0011f * static_cast<float>(t)); },
            [](std::uint32_t t) { return 0.5f * std::cos(0.0017f * static_cast<float>(t)); },
            [](std::uint32_t t) { return 0.4f * std::sin(0.0023f * static_cast<float>(t)); },
        };
        wired(rig, source_rig::sine(440.0, 44100), [](std::uint32_t t) { return 0.3f + 0.1f * std::sin(0.0005f * t); },
              mods);
        rig.value(0, Chorus::kPinFeedback, 0.4f);
        if (split) {
            std::mt19937 random(13);
            std::uniform_int_distribution<int> at(1, 5000);
            for (int i = 0; i < 80; ++i) {
                rig.value(at(random), i % 2 == 0 ? kNoOpPin : Chorus::kPinFeedback, 0.4f);
            }
        }
        rig.run(6000);
        std::vector<float> all;
        for (int tap = 0; tap < Chorus::kTaps; ++tap) {
            all.insert(all.end(), rig.out(tap).begin(), rig.out(tap).end());
        }
        return all;
    };
    EXPECT_TRUE(sameBits(render(false), render(true)));
}

TEST(ModulesChorus, HostileInputGivesFiniteOutput) {
    Rig rig;
    const float wild[] = {kNan, kInf, -kInf, 1.0e30f, -1.0e30f, 0.5f, -0.5f};
    const auto pick = [&wild](unsigned period) {
        return [&wild, period](std::uint32_t t) { return wild[(t / period) % std::size(wild)]; };
    };
    const Signal mods[] = {pick(89), pick(101), pick(113)};
    wired(rig, [](std::uint32_t t) {
        const float spikes[] = {1.0e30f, -1.0e30f, kNan, kInf, 0.5f, -0.5f, 1.0e-40f, 3.0f};
        return spikes[(t * 7919u) % std::size(spikes)];
    }, pick(97), mods);
    for (int k = 0; k < 7; ++k) {
        const int at = k * 900;
        rig.value(at, Chorus::kPinFeedback, wild[k]);
        rig.value(at, Chorus::kPinFirstBase + k % Chorus::kTaps, wild[(k + 3) % 7]);
        rig.value(at, Chorus::kPinMinimumOffset, wild[(k + 5) % 7]);
        rig.setting(at, Chorus::kPinTaps, k - 2);
        rig.setting(at, Chorus::kPinSize, 13 - 3 * k);
    }
    rig.run(7000);
    for (int tap = 0; tap < Chorus::kTaps; ++tap) {
        EXPECT_EQ(countNonFinite(rig.out(tap)), 0) << "tap " << tap + 1;
    }
}

}  // namespace
