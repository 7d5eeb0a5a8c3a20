#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <numbers>
#include <string>

#include "modules/sources/OscillatorRig.h"

using namespace source_rig;

namespace {

using Osc = QX_DSP_OSC_Multi_Out_x8;

struct SyncCase {
    const char* name;
    bool syncOn;
    bool pitchMoving;  // same constant pitch, but announced as moving (the per-sample routine)
    int blockLength;
};

void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

const SyncCase kSyncCases[] = {
    {"BlockPitch", true, false, 128},
    {"PerSamplePitch", true, true, 128},
    {"OddBlockLength", true, false, 37},
    {"SyncSwitchedOff", false, false, 128},
};

class ModulesOscillatorSync : public ::testing::TestWithParam<SyncCase> {};

// The slave's sine restarts at every rising zero crossing of the master (s[i-1] <= 0 < s[i]) with
// the part of the sample after the crossing already played; between crossings it runs freely.
// A slave that resets one sample early or late differs from this model by far more than the
// tolerance.
TEST_P(ModulesOscillatorSync, SlaveRestartsAtTheMastersRisingZeroCrossingsToTheSample) {
    const SyncCase& c = GetParam();
    constexpr int kRate = 48000;
    constexpr double kSlaveHz = 570.0;
    OscillatorRig rig(kRate, c.blockLength);
    // A master of 151.3 Hz that also passes exactly through 0 now and then (the rounding to a
    // 1/64 grid makes small values 0), so both sides of the <= are exercised.
    const auto master = sine(151.3, kRate);
    rig.moving(OscillatorRig::kSync, [master](std::uint32_t t) { return std::round(master(t) * 64.0f) / 64.0f; });
    if (c.pitchMoving) {
        rig.moving(OscillatorRig::kPitch, [](std::uint32_t) { return pitchOf(kSlaveHz); });
    } else {
        rig.still(OscillatorRig::kPitch, pitchOf(kSlaveHz));
    }
    rig.event(0, Osc::kPinSyncOn, c.syncOn ? 1 : 0, c.syncOn ? 10.0f : 0.0f);
    rig.run(kRate / 4);

    const std::vector<float>& s = rig.sync();
    const std::vector<float>& out = rig.out();
    ASSERT_EQ(s.size(), out.size());
    const double increment = kSlaveHz / kRate;
    double phase = 0.0;
    float before = 0.0f;
    int resets = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (c.syncOn && before <= 0.0f && s[i] > 0.0f) {
            phase = s[i] / (static_cast<double>(s[i]) - before) * increment;
            ++resets;
        }
        const double expected = 0.5 * std::sin(2.0 * std::numbers::pi * phase);
        ASSERT_NEAR(out[i], expected, 2e-3) << "sample " << i;
        phase += increment;
        before = s[i];
    }
    EXPECT_EQ(resets, c.syncOn ? 38 : 0);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorSync, ::testing::ValuesIn(kSyncCases),
                         [](const auto& info) { return std::string(info.param.name); });

// With "Osc Retrig" on a gate restarts the cycle at its own sample; with it off (or on a gate of
// 0) the phase runs on.
TEST(ModulesOscillatorRetrigger, GateRestartsThePhaseOnlyWhenRetriggerIsOn) {
    constexpr int kGateAt = 1000;
    OscillatorRig on;
    OscillatorRig off;
    on.event(0, Osc::kPinRetrigger, 10, 1.0f);
    for (OscillatorRig* rig : {&on, &off}) {
        rig->event(kGateAt - 300, Osc::kPinGate, 0, 0.0f);
        rig->event(kGateAt, Osc::kPinGate, 10, 10.0f);
        rig->run(2048);
    }
    const double increment = 440.0 / 44100.0;
    for (int i = kGateAt; i < kGateAt + 200; ++i) {
        const double sinceGate = 0.5 * std::sin(2.0 * std::numbers::pi * increment * (i - kGateAt));
        const double sinceStart = 0.5 * std::sin(2.0 * std::numbers::pi * increment * i);
        ASSERT_NEAR(on.out()[i], sinceGate, 1e-3) << i;
        ASSERT_NEAR(off.out()[i], sinceStart, 1e-3) << i;
    }
}

// Output 0 announces itself moving when it starts and still when its level drops to 0; one
// block of zeros later the module is idle, and a new level wakes it again.
TEST(ModulesOscillatorLevel, LevelZeroStopsAnnouncesAndIdlesAfterOneBlock) {
    constexpr int kBlock = 64;
    constexpr int kOffAt = 300;
    OscillatorRig rig(44100, kBlock);
    const std::uint32_t start = rig.engine.sampleClock;
    rig.still(OscillatorRig::kLevel, 0.0f, kOffAt);
    rig.run(kOffAt + kBlock);
    EXPECT_FALSE(rig.idle());
    rig.run(1);
    EXPECT_TRUE(rig.idle());
    rig.run(kBlock);

    const auto& events = rig.recorder->events;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, kEventMoving);
    EXPECT_EQ(events[0].time, start);
    EXPECT_EQ(events[1].kind, kEventStill);
    EXPECT_EQ(events[1].time, start + kOffAt);
    const std::vector<float>& out = rig.out();
    EXPECT_NE(out[kOffAt - 10], 0.0f);
    for (std::size_t i = kOffAt; i < out.size(); ++i) {
        ASSERT_EQ(out[i], 0.0f) << i;
    }

    rig.moving(OscillatorRig::kLevel, [](std::uint32_t) { return 0.25f; });
    rig.run(kBlock);
    EXPECT_FALSE(rig.idle());
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].kind, kEventMoving);
    float peak = 0.0f;
    for (std::size_t i = out.size() - kBlock; i < out.size(); ++i) {
        peak = std::max(peak, std::abs(out[i]));
    }
    EXPECT_NEAR(peak, 0.125f, 0.01f);
}

// "active" 0 silences the module the same way, and a count of 1 leaves the other outputs silent.
TEST(ModulesOscillatorLevel, InactiveModuleFallsSilentAndIdle) {
    OscillatorRig rig(44100, 128);
    rig.event(500, Osc::kPinActive, 0);
    rig.run(1024);
    EXPECT_TRUE(rig.idle());
    const std::vector<float>& out = rig.out();
    EXPECT_NE(out[490], 0.0f);
    for (std::size_t i = 500; i < out.size(); ++i) {
        ASSERT_EQ(out[i], 0.0f) << i;
    }
    for (int k = 1; k < Osc::kOscillators; ++k) {
        for (int i = 0; i < 128; ++i) {
            ASSERT_EQ(rig.module->outputs[k][i], 0.0f);
        }
    }
}

}  // namespace
