#include <gtest/gtest.h>

#include <limits>

#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace {

class EngineModuleEvents : public ::testing::Test {
protected:
    TestEngine engine{128};
    ProbeModule* probe = engine.add<ProbeModule>(false);
};

TEST_F(EngineModuleEvents, RendersInPiecesThatEndAtEventTimes) {
    const std::uint32_t start = engine.sampleClock;
    probe->receiveEvent(start + 50, 3, 0, 2, 0.2f, nullptr);
    probe->receiveEvent(start + 10, 4, 0, 1, 0.1f, nullptr);
    engine.run(128);

    ASSERT_EQ(probe->pieces.size(), 3u);
    EXPECT_EQ(probe->pieces[0].pos, 0);
    EXPECT_EQ(probe->pieces[0].count, 10);
    EXPECT_EQ(probe->pieces[1].pos, 10);
    EXPECT_EQ(probe->pieces[1].count, 40);
    EXPECT_EQ(probe->pieces[2].pos, 50);
    EXPECT_EQ(probe->pieces[2].count, 78);
    ASSERT_EQ(probe->events.size(), 2u);
    EXPECT_EQ(probe->events[0].pin, 4);
    EXPECT_EQ(probe->events[0].time, start + 10);
    EXPECT_EQ(probe->events[0].pos, 10);
    EXPECT_EQ(probe->events[1].pin, 3);
    EXPECT_EQ(probe->events[1].pos, 50);
    // Every sample of the chunk was written exactly once, with its own time.
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(probe->outputs[0][i], static_cast<float>(start + static_cast<std::uint32_t>(i)));
    }
}

TEST_F(EngineModuleEvents, EventsAtTheSameTimeKeepTheirOrder) {
    const std::uint32_t at = engine.sampleClock + 7;
    for (int pin = 0; pin < 5; ++pin) {
        probe->receiveEvent(at, pin, 0, pin, 0.0f, nullptr);
    }
    probe->receiveEvent(at - 3, 9, 0, 0, 0.0f, nullptr);
    engine.run(16);
    ASSERT_EQ(probe->events.size(), 6u);
    EXPECT_EQ(probe->events[0].pin, 9);
    for (int pin = 0; pin < 5; ++pin) {
        EXPECT_EQ(probe->events[static_cast<std::size_t>(pin) + 1].pin, pin);
        EXPECT_EQ(probe->events[static_cast<std::size_t>(pin) + 1].pos, 7);
    }
}

TEST_F(EngineModuleEvents, PastEventsAreHandledAtTheChunkStartWithoutRendering) {
    engine.run(64);
    probe->pieces.clear();
    probe->receiveEvent(0, 1, 0, 0, 0.0f, nullptr);                    // "at once"
    probe->receiveEvent(engine.sampleClock - 20, 2, 0, 0, 0.0f, nullptr);  // already passed
    engine.run(32);
    ASSERT_EQ(probe->events.size(), 2u);
    EXPECT_EQ(probe->events[0].pos, 64);
    EXPECT_EQ(probe->events[1].pos, 64);
    ASSERT_EQ(probe->pieces.size(), 1u);
    EXPECT_EQ(probe->pieces[0].pos, 64);
    EXPECT_EQ(probe->pieces[0].count, 32);
}

TEST_F(EngineModuleEvents, FutureEventsWaitForTheirChunk) {
    probe->receiveEvent(engine.sampleClock + 200, 1, 0, 0, 0.0f, nullptr);
    engine.run(128);
    EXPECT_TRUE(probe->events.empty());
    engine.run(128);
    ASSERT_EQ(probe->events.size(), 1u);
    EXPECT_EQ(probe->events[0].pos, 72);
}

TEST_F(EngineModuleEvents, AnAsleepModuleHandlesEventsButDoesNotRender) {
    auto* sleeper = engine.add<ProbeModule>(true);
    EXPECT_EQ(engine.moduleFlags[sleeper->moduleIndex], kModuleAsleep);
    engine.run(128);
    EXPECT_TRUE(sleeper->pieces.empty());

    engine.moduleFlags[sleeper->moduleIndex] |= kModuleIdle;
    sleeper->receiveEvent(engine.sampleClock + 5, 0, 0, 0, 0.0f, nullptr);
    engine.run(128);
    ASSERT_EQ(sleeper->events.size(), 1u);
    EXPECT_EQ(sleeper->events[0].pos, 5);
    EXPECT_TRUE(sleeper->pieces.empty());
    EXPECT_EQ(engine.moduleFlags[sleeper->moduleIndex], kModuleAsleep);

    engine.moduleFlags[sleeper->moduleIndex] = 0;  // the voice allocator wakes the voice
    engine.run(128);
    ASSERT_EQ(sleeper->pieces.size(), 1u);
    EXPECT_EQ(sleeper->pieces[0].count, 128);
}

TEST_F(EngineModuleEvents, IdleModulesAreSkippedUntilAnEventArrives) {
    auto* idle = engine.add<QX_ModuleBase>(false);
    engine.run(128);  // the base render sets the idle bit
    EXPECT_EQ(idle->flags(), kModuleIdle);
    probe->pieces.clear();
    engine.moduleFlags[probe->moduleIndex] = kModuleIdle;
    engine.run(128);
    EXPECT_TRUE(probe->pieces.empty());
    probe->receiveEvent(engine.sampleClock + 100, 0, 0, 0, 0.0f, nullptr);
    engine.run(128);
    ASSERT_EQ(probe->pieces.size(), 1u);  // idle until the event, rendering after it
    EXPECT_EQ(probe->pieces[0].pos, 100);
}

TEST_F(EngineModuleEvents, SendEventReachesEveryCopyOfAVoiceGroupNode) {
    constexpr int kCopies = 4;
    constexpr int kStride = 2;
    ProbeModule* copies[kCopies * kStride];
    for (auto& copy : copies) {
        copy = engine.add<ProbeModule>(false);
    }
    for (int k = 0; k < kCopies; ++k) {
        probe->connect(copies[k * kStride], copies[0]->moduleIndex, 1, 6, kCopies, kStride, k);
    }
    ASSERT_NE(probe->fanOut[1], nullptr);
    EXPECT_EQ(probe->fanOut[1]->next, nullptr);  // later copies add no node
    EXPECT_EQ(copies[2 * kStride]->inputs[6], probe->outputs[1]);
    EXPECT_EQ(copies[2 * kStride]->inputSources[6], probe);

    probe->sendEvent(engine.sampleClock, 1, kEventMoving, 3, 0.5f, nullptr);
    engine.run(8);
    for (int i = 0; i < kCopies * kStride; ++i) {
        EXPECT_EQ(copies[i]->events.size(), i % kStride == 0 ? 1u : 0u) << i;
    }
}

TEST_F(EngineModuleEvents, ResetClearsOnlyTheFeedbackMixers) {
    auto* feedback = engine.add<ProbeModule>(false);
    engine.run(128);
    feedback->moduleId = 6245;
    feedback->QX_ModuleBase::reset();
    probe->moduleId = 6240;
    probe->QX_ModuleBase::reset();
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(feedback->outputs[0][i], 0.0f);
        EXPECT_EQ(feedback->outputs[1][i], 0.0f);
    }
    EXPECT_NE(probe->outputs[0][100], 0.0f);
}

TEST_F(EngineModuleEvents, AFullEventPoolDefersParameterChangesWithoutLosingThem) {
    constexpr int kParameter = 15;
    engine.bindParameter(probe, probe->moduleIndex, kParameter, 2, 0, 0, 0);
    std::vector<Event*> taken;
    while (Event* event = engine.eventPool.take()) {
        taken.push_back(event);
    }
    engine.paramValues[kParameter] = 0.25f;
    engine.sendParameterEvent(engine.sampleClock, kParameter, 0, tenths(0.25f), 0.25f);
    engine.paramValues[kParameter] = 0.75f;  // a later change while the pool is still full
    engine.sendParameterEvent(engine.sampleClock, kParameter, 0, tenths(0.75f), 0.75f);
    engine.run(16);
    EXPECT_TRUE(probe->events.empty());
    EXPECT_EQ(*probe->inputs[2], 0.75f);  // the pin always reads the latest value

    for (Event* event : taken) {
        engine.eventPool.give(event);
    }
    engine.sendPendingParameters();
    engine.run(16);
    ASSERT_EQ(probe->events.size(), 1u);
    EXPECT_EQ(probe->events[0].fvalue, 0.75f);
    EXPECT_EQ(probe->events[0].ivalue, 8);
    EXPECT_EQ(probe->events[0].pos, 16);
}

TEST_F(EngineModuleEvents, ClockWrapKeepsEventsInOrder) {
    engine.sampleClock = 0xFFFFFFF0u;
    probe->receiveEvent(0xFFFFFFF8u, 1, 0, 0, 0.0f, nullptr);
    probe->receiveEvent(0x00000004u, 2, 0, 0, 0.0f, nullptr);  // after the wrap
    engine.run(32);
    ASSERT_EQ(probe->events.size(), 2u);
    EXPECT_EQ(probe->events[0].pos, 8);
    EXPECT_EQ(probe->events[1].pos, 20);
}

}  // namespace

namespace {

struct TenthsCase {
    float engineering;
    std::int32_t expected;
};

TEST(EngineTenths, RoundsToTenthsAndSaturatesWhatNoIntegerHolds) {
    const TenthsCase cases[] = {
        {0.25f, 3},
        {-0.25f, -2},  // half a tenth rounds up
        {12.0f, 120},
        {std::numeric_limits<float>::infinity(), 2000000000 - 1000},
        {-std::numeric_limits<float>::infinity(), -2000000000 - 1000},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {-std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const TenthsCase& c : cases) {
        EXPECT_EQ(tenths(c.engineering), c.expected) << c.engineering;
    }
}

}  // namespace
