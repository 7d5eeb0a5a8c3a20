#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

#include "modules/modulation/LfoRig.h"
#include "modules/voice/QX_DSP_Host_Tempo.h"

using namespace lfo_rig;

namespace {

constexpr int kCycle = 1024;  // samples per cycle: the phase at sample n is n / 1024 exactly
constexpr double kStep = 1.0 / kCycle;

void sawAt1024(LfoRig& rig) {
    rig.shape(kSaw1);
    rig.still(LfoRig::kRate, rateFor(kStep, 44100));
}

class ModulesLfoStillOffset : public ::testing::TestWithParam<float> {};

// A still offset shifts the wave by that many cycles; -0.5 and +0.5 give the same wave.
TEST_P(ModulesLfoStillOffset, ShiftsTheWaveByTheOffset) {
    const float offset = GetParam();
    LfoRig rig;
    sawAt1024(rig);
    rig.still(LfoRig::kOffset, offset);
    rig.run(2 * kCycle);
    for (int n = 0; n < 2 * kCycle; n += 7) {
        ASSERT_NEAR(rig.out()[static_cast<std::size_t>(n)], saw(n * kStep + offset), 1.0e-6) << "sample " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoStillOffset, ::testing::Values(0.25f, -0.25f, 0.5f, -0.5f, 1.125f));

// A moving offset is applied sample by sample; the running phase underneath never takes it in,
// so when the offset holds still at 0 again the wave is where it would have been without it.
TEST(ModulesLfoMovingOffset, AppliesPerSampleAndLeavesTheRunningPhaseAlone) {
    LfoRig rig;
    sawAt1024(rig);
    const std::uint32_t start = rig.engine.sampleClock;
    const auto offsetAt = [start](std::uint32_t t) { return 0.3f * std::sin(static_cast<float>(t - start) * 0.01f); };
    rig.moving(LfoRig::kOffset, offsetAt);
    rig.still(LfoRig::kOffset, 0.0f, 1500);
    rig.run(3000);
    for (int n = 0; n < 3000; ++n) {
        const double offset = n < 1500 ? offsetAt(start + static_cast<std::uint32_t>(n)) : 0.0;
        ASSERT_NEAR(rig.out()[static_cast<std::size_t>(n)], saw(n * kStep + offset), 1.0e-6) << "sample " << n;
    }
}

struct RetriggerCase {
    const char* name;
    int switchValue;  // "Retrig" switch; -1 leaves the default
    std::int32_t trigger;
    bool restarts;
};

void PrintTo(const RetriggerCase& c, std::ostream* os) { *os << c.name; }

const RetriggerCase kRetriggerCases[] = {
    {"NoteOnWithTheDefaultSwitch", -1, 10, true},
    {"NoteOnWithTheSwitchOn", 1, 10, true},
    {"NoteOnWithTheSwitchOff", 0, 10, false},
    {"ReleaseDoesNotRestart", 1, 0, false},
    {"NegativeValueDoesNotRestart", 1, -5, false},
};

class ModulesLfoRetrigger : public ::testing::TestWithParam<RetriggerCase> {};

TEST_P(ModulesLfoRetrigger, RestartsThePhaseAtTheEventsSampleOnlyWhenSwitchedOn) {
    const RetriggerCase& c = GetParam();
    constexpr int kAt = 300;
    LfoRig rig;
    sawAt1024(rig);
    rig.still(LfoRig::kOffset, 0.125f);
    if (c.switchValue >= 0) {
        rig.event(0, Lfo::kPinRetriggerOn, c.switchValue);
    }
    rig.event(kAt, Lfo::kPinRetrigger, c.trigger, static_cast<float>(c.trigger));
    rig.run(kCycle);
    const int from = c.restarts ? kAt : 0;
    EXPECT_NEAR(rig.out()[kAt - 1], saw((kAt - 1) * kStep + 0.125), 1.0e-6);
    for (int n = kAt; n < kCycle; ++n) {
        ASSERT_NEAR(rig.out()[static_cast<std::size_t>(n)], saw((n - from) * kStep + 0.125), 1.0e-6) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoRetrigger, ::testing::ValuesIn(kRetriggerCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The host starting its transport restarts the phase at the first sample of that block, whatever
// the retrigger switch says; the transport stopping changes nothing.
TEST(ModulesLfoTransport, HostPlayRestartsThePhase) {
    TestEngine engine;
    auto* tempo = engine.add<QX_DSP_Host_Tempo>(false);
    auto* source = engine.add<SignalSource>(false);
    auto* lfo = engine.add<Lfo>(false);
    auto* recorder = engine.add<Recorder>(false);
    tempo->connect(lfo, lfo->moduleIndex, QX_DSP_Host_Tempo::kOutputTransport, Lfo::kPinTransport, 0, 0, 0);
    source->connect(lfo, lfo->moduleIndex, 0, Lfo::kPinRate, 0, 0, 0);
    source->connect(lfo, lfo->moduleIndex, 1, Lfo::kPinAmount, 0, 0, 0);
    lfo->connect(recorder, recorder->moduleIndex, Lfo::kOutput, 0, 0, 0, 0);
    engine.prepareAll();
    const float rate = rateFor(kStep, 44100);
    source->signal[0] = [rate](std::uint32_t) { return rate; };
    source->signal[1] = [](std::uint32_t) { return 1.0f; };
    lfo->receiveEvent(engine.sampleClock, Lfo::kPinShape, kEventStill, kSaw1, 0.0f, nullptr);
    lfo->receiveEvent(engine.sampleClock, Lfo::kPinRetriggerOn, kEventStill, 0, 0.0f, nullptr);
    for (const bool playing : {false, true, false}) {
        engine.hostTime.playing = playing;
        engine.run(512);
    }
    const auto& out = recorder->samples[0];
    for (std::size_t n = 0; n < out.size(); ++n) {
        const double phase = n < 512 ? n * kStep : (n - 512.0) * kStep;
        ASSERT_NEAR(out[n], saw(phase), 1.0e-6) << "sample " << n;
    }
}

TEST(ModulesLfoTransport, ResumeRestartsThePhase) {
    LfoRig rig;
    sawAt1024(rig);
    rig.run(200);
    rig.module->resumeHook();
    rig.run(10);
    EXPECT_FLOAT_EQ(rig.out()[200], -0.5f);
}

}  // namespace
