#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

using F = QX_DSP_FadeIn;

constexpr int kBlock = 128;
constexpr std::uint32_t kTrigger = 10;
// A fade time of 1 (hundredths of a second) at 44100 Hz: the ramp lasts 441 samples.
constexpr float kFadeTime = 1.0f;
constexpr std::uint32_t kRampSamples = 441;

// Both signals still, the second on pin 1 (which makes output 1), and the fade time set.
void feedStill(Rig& rig, float signal, float second) {
    rig.feed(F::kPinSignal, {{rig.start, false, signal}});
    rig.feed(F::kPinSecond, {{rig.start, false, second}});
    rig.control(0, F::kPinFadeTime, kFadeTime, 10);
}

// The tempo pulse: 1 at its sample, 0 one sample later.
void trigger(Rig& rig, std::uint32_t offset) {
    rig.control(offset, F::kPinTrigger, 1.0f, 1);
    rig.control(offset + 1, F::kPinTrigger, 0.0f, 0);
}

std::vector<Recorder::Announcement> announcementsOf(const Rig& rig, int output) {
    std::vector<Recorder::Announcement> seen;
    for (const auto& a : rig.recorder->announcements) {
        if (a.pin == output) {
            seen.push_back(a);
        }
    }
    return seen;
}

// Both signals are multiplied by k / 441 on the k-th sample after the trigger and pass unchanged
// from the 441st on; the output moves exactly over the ramp.
TEST(ModulesFadeIn, RampRisesOverTheFadeTimeThenPasses) {
    Rig rig(kBlock, maker<F>(), 2);
    feedStill(rig, 0.8f, -0.4f);
    trigger(rig, kTrigger);
    rig.prepare();
    rig.engine.run(5 * kBlock);
    const std::uint32_t ramp = rig.start + kTrigger;
    for (std::uint32_t t = rig.start; t < rig.start + 5 * kBlock; ++t) {
        const float gain = t < ramp ? 1.0f
                           : t < ramp + kRampSamples ? static_cast<float>(t - ramp) / static_cast<float>(kRampSamples)
                                                     : 1.0f;
        ASSERT_NEAR(rig.recorder->at(0, t), 0.8f * gain, 1e-6f) << t - rig.start;
        ASSERT_NEAR(rig.recorder->at(1, t), -0.4f * gain, 1e-6f) << t - rig.start;
    }
    EXPECT_EQ(rig.recorder->at(0, ramp + kRampSamples), 0.8f);
    const auto seen = announcementsOf(rig, 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].time, ramp);
    EXPECT_EQ(seen[1].kind, kEventMoving);
    EXPECT_EQ(seen[2].time, ramp + kRampSamples);
    EXPECT_EQ(seen[2].kind, kEventStill);
    EXPECT_EQ(seen[2].value, 0.8f);
}

TEST(ModulesFadeIn, RetriggerRestartsTheRampFromZero) {
    Rig rig(kBlock, maker<F>(), 2);
    feedStill(rig, 1.0f, 0.0f);
    trigger(rig, kTrigger);
    trigger(rig, 200);
    rig.prepare();
    rig.engine.run(6 * kBlock);
    EXPECT_NEAR(rig.recorder->at(0, rig.start + 199), 189.0f / kRampSamples, 1e-6f);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 200), 0.0f);
    EXPECT_NEAR(rig.recorder->at(0, rig.start + 200 + kRampSamples - 1), 440.0f / kRampSamples, 1e-6f);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 200 + kRampSamples), 1.0f);
}

// With a fade time of 0 a trigger changes nothing: the signal passes as it is, without a ramp.
TEST(ModulesFadeIn, ZeroFadeTimePassesTheSignal) {
    Rig rig(kBlock, maker<F>(), 2);
    rig.feed(F::kPinSignal, {{rig.start, true, 0.5f, 0.25f}});
    rig.control(0, F::kPinFadeTime, 0.0f, 0);
    trigger(rig, kTrigger);
    rig.prepare();
    rig.engine.run(2 * kBlock);
    for (std::uint32_t t = rig.start; t < rig.start + 2 * kBlock; ++t) {
        ASSERT_EQ(rig.recorder->at(0, t), rig.source->valueAt(F::kPinSignal, t));
    }
}

// Disabled: silence, and triggers are ignored; enabling again passes the signal without a ramp.
TEST(ModulesFadeIn, DisabledIsSilentAndIgnoresTriggers) {
    Rig rig(kBlock, maker<F>(), 2);
    feedStill(rig, 0.8f, 0.0f);
    rig.control(0, F::kPinEnable, 0.0f, 0);
    trigger(rig, kTrigger);
    rig.control(100, F::kPinEnable, 0.1f, 1);
    rig.prepare();
    rig.engine.run(2 * kBlock);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 50), 0.0f);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 99), 0.0f);
    EXPECT_EQ(rig.recorder->at(0, rig.start + 100), 0.8f);
}

}  // namespace
