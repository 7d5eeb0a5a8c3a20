#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

constexpr int kBlock = 64;

Rig adderRig() { return Rig(kBlock, maker<QX_DSP_Adder>(), 1); }

// Every selector misses: the offsets alone; with offsets of 0 the output is silent, and the module
// goes idle once a whole block of zeros is written (the event at sample 100 woke it).
TEST(ModulesAdder, MissedSelectorsLeaveTheOffsetsAndThenSilence) {
    Rig rig = adderRig();
    rig.feed(0, {{rig.start, true, 0.5f, 0.25f}});
    rig.feed(1, {{rig.start, false, 2.0f}});
    rig.control(0, QX_DSP_Adder::kFirstSelectorPin + 0, 0.1f, 1);
    rig.control(0, QX_DSP_Adder::kFirstSelectorPin + 1, 0.1f, 1);
    rig.control(0, QX_DSP_Adder::kFirstOffsetPin + 1, 0.75f, 7);
    rig.control(100, QX_DSP_Adder::kFirstOffsetPin + 1, 0.0f, 0);
    rig.prepare();
    rig.engine.run(100);
    EXPECT_EQ(rig.recorder->at(0, rig.start), 0.75f);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 99), 0.75f);
    rig.engine.run(kBlock);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 100), 0.0f);
    EXPECT_FALSE(rig.idle()) << "a block of zeros is not written yet";
    rig.engine.run(1);
    EXPECT_TRUE(rig.idle());
    const auto& last = rig.recorder->announcements.back();
    EXPECT_EQ(last.time, rig.start + 100);
    EXPECT_EQ(last.kind, kEventStill);
    EXPECT_EQ(last.value, 0.0f);
}

// A target selector changing at sample 50 takes the LFO-like input out of the sum at exactly that
// sample and puts another one in.
TEST(ModulesAdder, SelectorChangeReroutesAtItsSample) {
    Rig rig = adderRig();
    rig.feed(0, {{rig.start, true, 0.0f, 1.0f}});
    rig.feed(1, {{rig.start, true, 10.0f, 1.0f}});
    rig.control(0, QX_DSP_Adder::kFirstSelectorPin + 0, 0.2f, 2);
    rig.control(0, QX_DSP_Adder::kFirstMatchPin + 0, 0.2f, 2);
    rig.control(0, QX_DSP_Adder::kFirstSelectorPin + 1, 0.2f, 2);
    rig.control(0, QX_DSP_Adder::kFirstMatchPin + 1, 0.3f, 3);
    rig.control(50, QX_DSP_Adder::kFirstSelectorPin + 0, 0.3f, 3);
    rig.control(50, QX_DSP_Adder::kFirstSelectorPin + 1, 0.3f, 3);
    rig.prepare();
    rig.engine.run(2 * kBlock);
    for (std::uint32_t t = rig.start; t < rig.start + 2 * kBlock; ++t) {
        const float expected = t < rig.start + 50 ? rig.source->valueAt(0, t) : rig.source->valueAt(1, t);
        ASSERT_EQ(rig.recorder->at(0, t), expected) << t - rig.start;
    }
}

// An input forced to count as moving is read per sample even when its source never announces that
// it moves; without forcing, the value taken at the last announcement holds.
TEST(ModulesAdder, ForcedMovingInputFollowsUnannouncedChanges) {
    for (const bool forced : {false, true}) {
        SCOPED_TRACE(forced ? "forced" : "not forced");
        Rig rig = adderRig();
        rig.feed(3, {{rig.start, false, 1.0f}});
        if (forced) {
            rig.control(0, QX_DSP_Adder::kPinForcedMoving, 0.3f, 3);
        }
        rig.prepare();
        rig.engine.run(10);
        rig.source->schedule(3, {});  // the buffer drops to 0 with no announcement
        rig.engine.run(kBlock);
        EXPECT_EQ(rig.recorder->at(0, rig.start + 5), 1.0f);
        EXPECT_EQ(rig.recorder->at(0, rig.start + 20), forced ? 0.0f : 1.0f);
    }
}

// All sixteen inputs moving: the widest summing routine.
TEST(ModulesAdder, SixteenMovingInputsAreSummedPerSample) {
    Rig rig = adderRig();
    for (int pin = 0; pin < QX_DSP_Adder::kInputs; ++pin) {
        rig.feed(pin, {{rig.start, true, 0.125f * pin, 0.5f}});
    }
    rig.control(0, QX_DSP_Adder::kFirstOffsetPin + 2, -1.0f, -10);
    rig.prepare();
    rig.engine.run(kBlock);
    for (std::uint32_t t = rig.start; t < rig.start + kBlock; ++t) {
        float expected = -1.0f;
        for (int pin = 0; pin < QX_DSP_Adder::kInputs; ++pin) {
            expected += rig.source->valueAt(pin, t);
        }
        ASSERT_NEAR(rig.recorder->at(0, t), expected, 1e-5f);
    }
}

}  // namespace
