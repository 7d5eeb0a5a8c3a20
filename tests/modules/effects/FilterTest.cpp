// The multi-mode filter's life: memory cleared on a note and on a type change, the denormal guards
// over long silent tails, pass-through, silence, settling and idling to the sample, moving
// announcements, sample accuracy across split stretches and finite output under hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/FilterRig.h"

using namespace filter_test;

namespace {

constexpr int kTypes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, Filter::kHighPassType};
constexpr int kHistory = 3000;  // samples of a loud sine before the moment under test
constexpr int kAfter = 2000;

std::string typeName(const testing::TestParamInfo<int>& info) { return "Type" + std::to_string(info.param); }

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

enum class At { Nothing, Gate, SameType, OtherType };

// Output from sample kHistory on: a loud sine (or silence) before it, `action` at it, then a second
// sine. The filter starts as `type`; OtherType switches it to `otherType`.
std::vector<float> afterMoment(int type, bool history, At action, int otherType = 2) {
    FilterRig rig(type, 2);
    rig.still(kCutoff, pitchOf(800.0));
    rig.still(kResonance, 0.7f);
    const auto loud = source_rig::sine(300.0, 44100, 0.5);
    const auto second = source_rig::sine(700.0, 44100, 0.3);
    const std::uint32_t moment = rig.engine.sampleClock + kHistory;
    rig.source->signal[kInput] = [=](std::uint32_t t) { return t >= moment ? second(t) : history ? loud(t) : 0.0f; };
    switch (action) {
        case At::Nothing:
            break;
        case At::Gate:
            rig.event(kHistory, Filter::kPinGate, 1);
            break;
        case At::SameType:
            rig.event(kHistory, Filter::kPinType, type);
            break;
        case At::OtherType:
            rig.event(kHistory, Filter::kPinType, otherType);
            break;
    }
    rig.run(kHistory + kAfter);
    return {rig.out().begin() + kHistory, rig.out().end()};
}

class ModulesFilterPerType : public testing::TestWithParam<int> {};

// A note starts from rest: whatever rang before, the output equals that of a filter that heard nothing.
TEST_P(ModulesFilterPerType, NoteClearsTheMemory) {
    const int type = GetParam();
    const std::vector<float> fromRest = afterMoment(type, false, At::Gate);
    EXPECT_TRUE(sameBits(afterMoment(type, true, At::Gate), fromRest));
    EXPECT_FALSE(sameBits(afterMoment(type, true, At::Nothing), fromRest));
}

// A long silent tail after a loud note never leaves finite, normal numbers (nor exact zeros for
// the laws whose guards keep them off zero). The input stays announced as moving, so Acid and Milk
// keep running instead of falling silent.
TEST_P(ModulesFilterPerType, SilentTailNeverGoesSubnormal) {
    constexpr int kTail = 10 * 44100;
    FilterRig rig(GetParam(), 2);
    rig.still(kCutoff, pitchOf(2000.0));
    rig.still(kResonance, 0.8f);
    const std::uint32_t end = rig.engine.sampleClock + 2000;
    const auto loud = source_rig::sine(300.0, 44100, 0.8);
    rig.source->signal[kInput] = [=](std::uint32_t t) { return t < end ? loud(t) : 0.0f; };
    rig.run(2000 + kTail);
    int offenders = 0;
    for (float y : rig.out()) {
        offenders += std::isfinite(y) && std::fpclassify(y) != FP_SUBNORMAL ? 0 : 1;
    }
    EXPECT_EQ(offenders, 0);
}

// The same events give the same samples however the stretch is cut by other events.
TEST_P(ModulesFilterPerType, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [&](bool split) {
        FilterRig rig(GetParam(), 2);
        rig.still(kResonance, 0.6f);
        rig.follow(kCutoff, [](std::uint32_t t) { return 0.6f + 0.25f * std::sin(0.0021f * static_cast<float>(t)); });
        rig.follow(kInput, source_rig::sine(220.0, 44100, 0.4));
        if (split) {
            std::mt19937 random(7);
            std::uniform_int_distribution<int> at(1, 4000);
            for (int i = 0; i < 60; ++i) {
                rig.event(at(random), i % 2 == 0 ? Filter::kPinFreeze : Filter::kPinInputRight, 0);
            }
        }
        rig.run(4096);
        return rig.out();
    };
    EXPECT_TRUE(sameBits(render(false), render(true)));
}

TEST_P(ModulesFilterPerType, HostileInputGivesFiniteOutput) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const float cutoffs[] = {kNan, kInf, -kInf, 1.0e30f, -1.0e30f, 5.0f, -5.0f};
    const float resonances[] = {kNan, 100.0f, -5.0f, 1.0f};
    for (int unit : {0, 1}) {
        FilterRig rig(GetParam(), 2);
        rig.event(0, Filter::kPinCutoffUnit, unit);
        rig.follow(kCutoff, [&](std::uint32_t t) { return cutoffs[(t / 97) % std::size(cutoffs)]; });
        rig.follow(kResonance, [&](std::uint32_t t) { return resonances[(t / 131) % std::size(resonances)]; });
        rig.follow(kInput, [](std::uint32_t t) {
            const float spikes[] = {1.0e30f, -1.0e30f, kNan, kInf, 0.5f, -0.5f, 1.0e-40f, 3.0f};
            return spikes[(t * 7919u) % std::size(spikes)];
        });
        rig.run(6000);
        int offenders = 0;
        for (float y : rig.out()) {
            offenders += std::isfinite(y) ? 0 : 1;
        }
        EXPECT_EQ(offenders, 0) << "unit " << unit;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesFilter, ModulesFilterPerType, testing::ValuesIn(kTypes), typeName);

// Resending the type leaves the memory; a new type clears it.
TEST(ModulesFilterType, OnlyAChangedTypeClearsTheMemory) {
    EXPECT_TRUE(sameBits(afterMoment(1, true, At::SameType), afterMoment(1, true, At::Nothing)));
    EXPECT_TRUE(sameBits(afterMoment(1, true, At::OtherType, 3), afterMoment(3, false, At::Gate)));
    EXPECT_FALSE(sameBits(afterMoment(1, true, At::OtherType, 3), afterMoment(3, true, At::Nothing)));
}

struct PassCase {
    const char* name;
    int type;
    int on;
};
const PassCase kPassCases[] = {{"Off", 1, 0}, {"NoType", 0, 1}, {"UnusedType", 30, 1}};

class ModulesFilterPassThrough : public testing::TestWithParam<PassCase> {};

TEST_P(ModulesFilterPassThrough, CopiesTheInputBitForBit) {
    const PassCase& c = GetParam();
    FilterRig rig(c.type, 1);
    rig.event(0, Filter::kPinOn, c.on);
    const auto input = source_rig::sine(431.0, 44100, 0.7);
    rig.follow(kInput, input);
    const std::uint32_t start = rig.engine.sampleClock;
    rig.run(1000);
    std::vector<float> expected;
    for (std::uint32_t t = start; t < start + 1000; ++t) {
        expected.push_back(input(t));
    }
    EXPECT_TRUE(sameBits(rig.out(), expected));
}

INSTANTIATE_TEST_SUITE_P(ModulesFilter, ModulesFilterPassThrough, testing::ValuesIn(kPassCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Silence (both held values 0) settles one block after its event: the voice is reported silent at
// the first chunk that starts a block or more later, and the filter idles there.
class ModulesFilterSettle : public testing::TestWithParam<int> {};

TEST_P(ModulesFilterSettle, SilenceReportsTheVoiceOneBlockLater) {
    constexpr int kBlock = 128;
    const int offset = GetParam();
    FilterRig rig(1, 1, 44100, kBlock, true);
    rig.follow(kInput, source_rig::sine(300.0, 44100, 0.5));
    rig.run(4 * kBlock);
    const std::uint32_t moment = rig.engine.sampleClock + static_cast<std::uint32_t>(offset);
    rig.event(offset, Filter::kPinHeldA, 0);
    const std::uint32_t due = rig.engine.sampleClock + (offset == 0 ? kBlock : 2 * kBlock);
    while (rig.engine.sampleClock < due) {
        rig.run(kBlock);
        EXPECT_FALSE(rig.idle());
    }
    EXPECT_TRUE(rig.owner->reports.empty());
    rig.run(1);
    ASSERT_EQ(rig.owner->reports.size(), 1u);
    EXPECT_EQ(rig.owner->reports[0].voice, FilterRig::kVoice);
    EXPECT_EQ(rig.owner->reports[0].time, due);
    EXPECT_TRUE(rig.idle());
    for (std::size_t i = moment - rig.origin; i < rig.out().size(); ++i) {
        ASSERT_EQ(rig.out()[i], 0.0f) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesFilter, ModulesFilterSettle, testing::Values(0, 10, 127));

// Pass-through of a still input holds it and idles a block later; freezing keeps it awake.
TEST(ModulesFilterIdle, StillPassThroughIdlesUnlessFrozen) {
    for (bool frozen : {false, true}) {
        FilterRig rig(1, 1);
        rig.event(0, Filter::kPinOn, 0);
        rig.still(kInput, 0.25f);
        if (frozen) {
            rig.event(0, Filter::kPinFreeze, 0, kEventMoving);
        }
        rig.run(128);
        EXPECT_FALSE(rig.idle());
        rig.run(256);
        EXPECT_EQ(rig.idle(), !frozen);
        EXPECT_EQ(rig.out().back(), 0.25f);
    }
}

// Acid and Milk on a still, zero input fall silent once their ringing is below 1e-6 and then
// idle; a biquad keeps running.
TEST(ModulesFilterIdle, AcidAndMilkFallSilentOnSilentInput) {
    for (int type : {9, 10, 1}) {
        FilterRig rig(type, 1);
        rig.still(kResonance, 0.5f);
        rig.follow(kInput, source_rig::sine(300.0, 44100, 0.5));
        rig.run(1000);
        rig.still(kInput, 0.0f);
        rig.run(44100);
        EXPECT_EQ(rig.idle(), type != 1) << type;
        if (type != 1) {
            EXPECT_EQ(rig.out().back(), 0.0f);
        }
    }
}

// A stereo instance filters both channels alike, and the swap exchanges its outputs.
TEST(ModulesFilterStereo, ChannelsFilterAlikeAndSwap) {
    constexpr int kRight = 3;  // source output feeding the right input
    for (bool swapped : {false, true}) {
        FilterRig rig(2, 2);
        rig.source->connect(rig.filter, rig.filter->moduleIndex, kRight, Filter::kPinInputRight, 0, 0, 0);
        rig.filter->connect(rig.recorder, rig.recorder->moduleIndex, Filter::kOutputRight, 1, 0, 0, 0);
        FilterRig mono(2, 2);
        const auto left = source_rig::sine(300.0, 44100, 0.5);
        const auto right = source_rig::sine(1700.0, 44100, 0.5);
        for (FilterRig* r : {&rig, &mono}) {
            r->still(kResonance, 0.4f);
            r->follow(kInput, left);
        }
        rig.source->signal[kRight] = right;
        rig.event(0, Filter::kPinSwap, swapped ? 1 : 0);
        rig.run(2048);
        mono.run(2048);
        const std::vector<float>& first = rig.recorder->samples[swapped ? 1 : 0];
        const std::vector<float>& second = rig.recorder->samples[swapped ? 0 : 1];
        EXPECT_TRUE(sameBits(first, mono.out()));
        EXPECT_FALSE(sameBits(second, mono.out()));
        EXPECT_LT(amplitudeAt(second, 1024, 1024, 1700.0, 44100), 0.2);
    }
}

// A filtering routine announces a moving output; pass-through repeats what its input says.
TEST(ModulesFilterAnnouncements, FollowTheRoutine) {
    FilterRig rig(1, 1);
    rig.run(256);
    rig.event(0, Filter::kPinOn, 0);
    rig.still(kInput, 0.5f);
    rig.run(256);
    std::vector<int> kinds;
    for (const auto& e : rig.recorder->events) {
        kinds.push_back(e.kind);
    }
    EXPECT_EQ(kinds, (std::vector<int>{kEventMoving, kEventStill}));
}

}  // namespace
