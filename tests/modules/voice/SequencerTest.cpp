#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "modules/voice/QX_DSP_Counter_Indexing.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace {

using Counter = QX_DSP_Counter_Indexing;

constexpr int kSeqA = 402;
constexpr int kSeqB = 403;
constexpr std::int64_t kClockGap = 100;

struct CounterRig {
    explicit CounterRig(int blockLength = 128) : engine(blockLength) {
        counter = engine.add<Counter>(false);
        probe = engine.add<ProbeModule>(false);
        counter->registerParameter(0, kSeqA, 0);
        counter->registerParameter(1, kSeqB, 0);
        counter->connect(probe, probe->moduleIndex, Counter::kOutputStep, 0, 0, 0, 0);
        engine.prepareAll();
        start = engine.sampleClock;
    }
    void event(std::int64_t offset, int pin, std::int32_t ivalue, float fvalue = 0.0f) {
        counter->receiveEvent(start + static_cast<std::uint32_t>(offset), pin, kEventStill, ivalue, fvalue,
                              nullptr);
    }
    void clocks(std::int64_t from, int count) {
        for (int k = 0; k < count; ++k) {
            event(from + k * kClockGap, Counter::kPinClock, 1, 1.0f);
            event(from + k * kClockGap + 1, Counter::kPinClock, 0, 0.0f);
        }
    }
    // The steps sent, each checked to leave at its clock's sample.
    std::vector<int> steps(std::int64_t from, int frames) {
        engine.run(frames);
        std::vector<int> out;
        for (const auto& e : probe->events) {
            const std::int64_t at = static_cast<std::int32_t>(e.time - start);
            EXPECT_EQ((at - from) % kClockGap, 0) << "step off its clock at " << at;
            EXPECT_EQ(e.fvalue, static_cast<float>(e.ivalue));
            out.push_back(e.ivalue);
        }
        return out;
    }

    TestEngine engine;
    Counter* counter;
    ProbeModule* probe;
    std::uint32_t start;
};

struct DirectionCase {
    const char* name;
    int length;     // "Seq Length" index: last step
    int direction;  // "Seq Dir" index
    std::vector<int> steps;
};

class ModulesSequencerDirection : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(ModulesSequencerDirection, StepsWalkTheLengthInTheChosenDirection) {
    const DirectionCase& c = GetParam();
    CounterRig rig;
    rig.event(0, Counter::kPinLength, c.length);
    rig.event(0, Counter::kPinDirection, c.direction);
    rig.clocks(10, static_cast<int>(c.steps.size()));
    EXPECT_EQ(rig.steps(10, static_cast<int>(c.steps.size()) * kClockGap + 50), c.steps);
}

const DirectionCase kDirectionCases[] = {
    {"ForwardFourSteps", 3, Counter::kForward, {0, 1, 2, 3, 0, 1}},
    {"BackFourSteps", 3, Counter::kBack, {3, 2, 1, 0, 3, 2}},
    {"FwdBackDoesNotRepeatTheEnds", 3, Counter::kForwardBack, {0, 1, 2, 3, 2, 1, 0, 1}},
    {"BackFwdStartsAtTheEnd", 3, Counter::kBackForward, {3, 2, 1, 0, 1, 2, 3, 2}},
    {"EightStepsForward", 7, Counter::kForward, {0, 1, 2, 3, 4, 5, 6, 7, 0}},
    {"OneStepPingPongStays", 0, Counter::kForwardBack, {0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(ModulesSequencer, ModulesSequencerDirection, ::testing::ValuesIn(kDirectionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesSequencerRandom, RestartReplaysTheSameOrderWithinTheLength) {
    CounterRig rig;
    rig.event(0, Counter::kPinLength, 5);
    rig.event(0, Counter::kPinDirection, Counter::kRandom);
    rig.event(1, Counter::kPinRestart, 1, 1.0f);
    rig.clocks(10, 16);
    rig.event(2000, Counter::kPinRestart, 1, 1.0f);
    rig.clocks(2010, 16);
    const std::vector<int> got = rig.steps(10, 4000);
    ASSERT_EQ(got.size(), 32u);
    const std::vector<int> first(got.begin(), got.begin() + 16);
    const std::vector<int> second(got.begin() + 16, got.end());
    EXPECT_EQ(first, second);
    std::vector<int> seen(6, 0);
    for (const int s : first) {
        ASSERT_GE(s, 0);
        ASSERT_LE(s, 5);
        ++seen[static_cast<std::size_t>(s)];
    }
    EXPECT_GE(std::count_if(seen.begin(), seen.end(), [](int n) { return n > 0; }), 4);
}

TEST(ModulesSequencerRestart, RestartGoesBackToTheStartOfTheDirection) {
    CounterRig rig;
    rig.event(0, Counter::kPinLength, 7);
    rig.event(0, Counter::kPinDirection, Counter::kBack);
    rig.clocks(10, 3);
    rig.event(400, Counter::kPinRestart, 1, 1.0f);
    rig.clocks(410, 2);
    EXPECT_EQ(rig.steps(10, 1000), (std::vector<int>{7, 6, 5, 7, 6}));
}

TEST(ModulesSequencerLength, ShorterLengthSendsAStepPastItBackToTheFirst) {
    CounterRig rig;
    rig.event(0, Counter::kPinLength, 7);
    rig.event(0, Counter::kPinDirection, Counter::kForward);
    rig.clocks(10, 6);
    rig.event(600, Counter::kPinLength, 2);
    rig.clocks(610, 4);
    EXPECT_EQ(rig.steps(10, 1200), (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 1, 2, 0}));
}

TEST(ModulesSequencerDisplay, ShowsTheStepAndNoStepWhenOff) {
    CounterRig rig;
    rig.event(0, Counter::kPinLength, 3);
    rig.event(0, Counter::kPinDirection, Counter::kForward);
    rig.clocks(10, 2);
    rig.event(300, Counter::kPinOnOff, 0);
    rig.clocks(310, 2);  // ignored while off
    rig.event(600, Counter::kPinOnOff, 1);
    rig.clocks(610, 1);  // starts over from the first step
    EXPECT_EQ(rig.steps(10, 1000), (std::vector<int>{0, 1, 0}));
    std::vector<float> seqA;
    for (const auto& p : rig.engine.moduleParameters) {
        EXPECT_FALSE(p.send);
        if (p.index == kSeqA) {
            seqA.push_back(p.value);
        }
    }
    EXPECT_EQ(seqA, (std::vector<float>{0.2f, 1.2f, -1.8f, 0.2f}));
    EXPECT_EQ(rig.engine.moduleParameters.size(), 2 * seqA.size());
}

std::vector<ProbeModule::Handled> perform(int blockLength) {
    CounterRig rig(blockLength);
    rig.event(0, Counter::kPinLength, 6);
    rig.event(0, Counter::kPinDirection, Counter::kBackForward);
    rig.clocks(3, 20);
    rig.event(777, Counter::kPinDirection, Counter::kRandom);
    rig.event(901, Counter::kPinRestart, 1, 0.37f);
    rig.event(1500, Counter::kPinLength, 3);
    rig.engine.run(2500);
    return rig.probe->events;
}

TEST(ModulesSequencerProperty, SplitRenderingGivesTheSameSteps) {
    const auto whole = perform(128);
    ASSERT_EQ(whole.size(), 20u);
    for (const int block : {1, 9, 64}) {
        const auto split = perform(block);
        ASSERT_EQ(split.size(), whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(split[i].time, whole[i].time);
            EXPECT_EQ(split[i].ivalue, whole[i].ivalue);
        }
    }
}

TEST(ModulesSequencerProperty, HostileValuesKeepStepsInRange) {
    CounterRig rig;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    rig.event(0, Counter::kPinLength, 1 << 30);
    rig.event(0, Counter::kPinDirection, -9);
    rig.event(1, Counter::kPinRestart, 5, nan);
    rig.event(2, Counter::kPinRestart, 5, -std::numeric_limits<float>::infinity());
    rig.event(3, Counter::kPinRestart, 5, 1e30f);
    rig.event(4, Counter::kPinDirection, 1 << 30);  // Random
    rig.clocks(10, 30);
    rig.event(3100, Counter::kPinLength, -50);
    rig.clocks(3110, 5);
    const std::vector<int> got = rig.steps(10, 4000);
    ASSERT_EQ(got.size(), 35u);
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_GE(got[i], 0);
        EXPECT_LE(got[i], i < 30 ? Counter::kMaxStep : 0);
    }
}

}  // namespace
