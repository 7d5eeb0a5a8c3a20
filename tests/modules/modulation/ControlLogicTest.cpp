#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/ModuleRegistry.h"
#include "engine/SharedRandom.h"
#include "modules/modulation/QX_DSP_Velkor2_Control.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace {

using Control = QX_DSP_Velkor2_Control;

constexpr int kSampleRate = 44100;
constexpr int kBlock = 128;

struct Input {
    int offset;  // samples after the start of the next run
    int pin;
    std::int32_t ivalue;
    float fvalue;
};

struct Sent {
    int output;
    std::int32_t ivalue;
    float fvalue;
};

// The control module with every output wired to the same pin of a probe.
struct ControlRig {
    explicit ControlRig(int blockLength = kBlock)
        : engine(blockLength, kSampleRate), control(engine.add<Control>(false)), probe(engine.add<ProbeModule>(false)) {
        for (int output = 0; output < kModulePins; ++output) {
            control->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
        }
        engine.prepareAll();
        start = engine.sampleClock;
    }

    void send(const Input& input) {
        control->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(input.offset), input.pin, kEventStill,
                              input.ivalue, input.fvalue, nullptr);
    }
    void send(const std::vector<Input>& inputs) {
        for (const Input& input : inputs) {
            send(input);
        }
    }

    // Runs past the first block, whose start sends every derived output, and forgets what it sent.
    void settle() {
        engine.run(kBlock);
        probe->events.clear();
    }

    std::vector<ProbeModule::Handled> on(int output) const {
        std::vector<ProbeModule::Handled> found;
        for (const auto& event : probe->events) {
            if (event.pin == output) {
                found.push_back(event);
            }
        }
        return found;
    }

    TestEngine engine;
    Control* control;
    ProbeModule* probe;
    std::uint32_t start;
};

// ---- the shared random source ----

TEST(ModulesSharedRandom, DrawsTheXorAddSequenceFromItsSeeds) {
    // By hand: a = 61253047 ^ C89DB3F6 = A9B883B1, b = C89DB3F6 + A9B883B1 = 725637A7 (mod 2^32);
    // a = A9B883B1 ^ 725637A7 = DBEEB416, b = 4E44EBBD; a = 95AA5FAB, b = E3EF4B68.
    constexpr std::uint32_t kWords[] = {0x725637A7u, 0x4E44EBBDu, 0xE3EF4B68u};
    constexpr std::uint32_t kA[] = {0xA9B883B1u, 0xDBEEB416u, 0x95AA5FABu};
    constexpr float kScales[] = {1.0f, 1.5f, 100.0f};
    SharedRandom random;
    for (int i = 0; i < 3; ++i) {
        const float expected = static_cast<float>(static_cast<double>(kWords[i]) / 4294967296.0) * kScales[i];
        EXPECT_FLOAT_EQ(random.next(kScales[i]), expected) << i;
        EXPECT_EQ(random.a(), kA[i]) << i;
        EXPECT_EQ(random.b(), kWords[i]) << i;
    }
    EXPECT_NEAR(SharedRandom{}.next(1.0f), 0.4466281f, 1e-6f);
}

TEST(ModulesSharedRandom, StaysBelowItsScaleAndRestartsAtItsSeeds) {
    SharedRandom random;
    for (int i = 0; i < 100000; ++i) {
        const float value = random.next(1.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
    random.restart();
    EXPECT_EQ(random.a(), SharedRandom::kStartA);
    EXPECT_EQ(random.b(), SharedRandom::kStartB);
}

TEST(ModulesControlLogic, TheRegistryMakesTheControlModuleFor6529) {
    const ModuleClass* row = findModuleClass(6529);
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->standIn);
    TestEngine engine;
    std::unique_ptr<QX_ModuleBase> module(row->make(ModuleContext{&engine, false, nullptr, 0}));
    EXPECT_NE(dynamic_cast<Control*>(module.get()), nullptr);
}

// ---- outputs answered by the event itself, or by the render at the event's sample ----

struct OutputCase {
    const char* name;
    std::vector<Input> inputs;  // all at offset 37
    std::vector<Sent> expected;  // the last send on each named output, at the inputs' sample
    std::vector<int> silent;     // outputs that send nothing
};

constexpr int kAt = 37;

const OutputCase kOutputCases[] = {
    {"HfoShapeTrap", {{kAt, Control::kPinHfoShape, 4, 0.4f}}, {{Control::kOutHfoWave, 16, 0.0f}}, {}},
    {"HfoShapeRandom", {{kAt, Control::kPinHfoShape, 6, 0.6f}}, {{Control::kOutHfoWave, 11, 0.0f}}, {}},
    {"HfoShapeBeyondTheList", {{kAt, Control::kPinHfoShape, 7, 0.7f}}, {}, {Control::kOutHfoWave}},
    {"SubOscSquare", {{kAt, Control::kPinSubOscWave, 1, 0.1f}}, {{Control::kOutSubOscWave, 7, 0.0f}}, {}},
    {"SubOscFunk", {{kAt, Control::kPinSubOscWave, 6, 0.6f}}, {{Control::kOutSubOscWave, 14, 0.0f}}, {}},
    {"OscModeSync", {{kAt, Control::kPinOscMode, 5, 0.5f}}, {{Control::kOutOsc2Sync, 1, 10.0f}}, {}},
    {"OscModeRing", {{kAt, Control::kPinOscMode, 4, 0.4f}}, {{Control::kOutOsc2Sync, 0, 0.0f}}, {}},
    {"PlayModeMono", {{kAt, Control::kPinPlayMode, 0, 0.0f}},
     {{Control::kOutMono, 1, 1.0f}, {Control::kOutLegato, 0, 0.0f}}, {}},
    {"PlayModeLegato", {{kAt, Control::kPinPlayMode, 1, 0.1f}},
     {{Control::kOutMono, 1, 1.0f}, {Control::kOutLegato, 1, 1.0f}}, {}},
    {"PlayModePoly", {{kAt, Control::kPinPlayMode, 2, 0.2f}},
     {{Control::kOutMono, 0, 0.0f}, {Control::kOutLegato, 0, 0.0f}}, {}},
    {"MasterVolumeTruncates", {{kAt, Control::kPinMasterVolume, 0, 2.75f}}, {{Control::kOutMasterVolume, 2, 2.75f}}, {}},
    {"MeltCircuit", {{kAt, Control::kPinMeltAMode, 0, 0.0f}},
     {{Control::kOutMeltACircuit, 1, 1.0f}, {Control::kOutMeltATape, 0, 0.0f}}, {}},
    {"MeltTape", {{kAt, Control::kPinMeltAMode, 1, 0.1f}},
     {{Control::kOutMeltACircuit, 0, 0.0f}, {Control::kOutMeltATape, 1, 1.0f}}, {}},
    {"MeltBWowGlideTime", {{kAt, Control::kPinMeltBWow, 40, 4.0f}}, {{Control::kOutMeltBWowTime, 25, 25.0f}}, {}},
    {"MeltBFlutterGlideTime", {{kAt, Control::kPinMeltBFlutter, 200, 20.0f}},
     {{Control::kOutMeltBFlutterTime, 5, 5.0f}}, {}},
    {"MeltCutoffOfSystemA", {{kAt, Control::kPinMeltACutoff, 80, 8.0f}, {kAt, Control::kPinMeltBCutoff, 150, 15.0f}},
     {{Control::kOutMeltCutoff, 8, 8.0f}}, {}},
    {"MeltCutoffOfSystemB",
     {{kAt, Control::kPinMeltACutoff, 80, 8.0f}, {kAt, Control::kPinMeltBCutoff, 150, 15.0f},
      {kAt, Control::kPinMeltSystem, 1, 0.1f}},
     {{Control::kOutMeltCutoff, 15, 15.0f}}, {}},
    {"HfoTargetFilterCutoff", {{kAt, Control::kPinHfoTarget, 4, 0.4f}}, {{Control::kOutHfoFilter, 1, 10.0f}}, {}},
    {"HfoTargetMainPitch", {{kAt, Control::kPinHfoTarget, 0, 0.0f}}, {{Control::kOutHfoFilter, 0, 0.0f}}, {}},
    {"HfoLevelsPlain",
     {{kAt, Control::kPinHfoDepth, 3, 0.3f}, {kAt, Control::kPinHfoLevel, 6, 0.6f}, {kAt, Control::kPinHfoTarget, 4, 0.4f}},
     {{Control::kOutHfoDepth, 0, 0.3f}, {Control::kOutHfoLevel, 0, 0.6f}}, {}},
    {"HfoLevelsDoubledForOsc1Fm",
     {{kAt, Control::kPinHfoDepth, 3, 0.3f}, {kAt, Control::kPinHfoLevel, 6, 0.6f}, {kAt, Control::kPinHfoTarget, 6, 0.6f}},
     {{Control::kOutHfoDepth, 0, 0.6f}, {Control::kOutHfoLevel, 1, 1.2f}}, {}},
    {"HfoLevelsPlainForAm", {{kAt, Control::kPinHfoLevel, 6, 0.6f}, {kAt, Control::kPinHfoTarget, 9, 0.9f}},
     {{Control::kOutHfoLevel, 0, 0.6f}}, {}},
    {"HfoPitchSums",
     {{kAt, Control::kPinHfoOct, -1, -0.1f}, {kAt, Control::kPinHfoSemi, 0, 0.05f},
      {kAt, Control::kPinHfoTune, 0, 0.004f}},
     {{Control::kOutHfoPitch, 0, -0.046f}}, {}},
    {"ResonanceAlone", {{kAt, Control::kPinResonance, 5, 0.5f}, {kAt, Control::kPinFilter2Offset, -1, -0.1f}},
     {{Control::kOutResonance, 0, 0.5f}}, {}},
    {"ResonanceWithFilter2",
     {{kAt, Control::kPinResonance, 5, 0.5f}, {kAt, Control::kPinFilter2Offset, -1, -0.1f},
      {kAt, Control::kPinFilter2Active, 1, 0.1f}},
     {{Control::kOutResonance, 0, 0.45f}}, {}},
    {"GainPost", {{kAt, Control::kPinGainMode, 0, 0.0f}},
     {{Control::kOutPostLimiter, 1, 1.0f}, {Control::kOutPreLimiter, 2, 2.0f}}, {}},
    {"GainPre", {{kAt, Control::kPinGainMode, 1, 0.1f}},
     {{Control::kOutPostLimiter, 2, 2.0f}, {Control::kOutPreLimiter, 1, 1.0f}}, {}},
    {"GainOff", {{kAt, Control::kPinGainMode, 2, 0.2f}},
     {{Control::kOutPostLimiter, 1, 1.0f}, {Control::kOutPreLimiter, 1, 1.0f}}, {}},
    {"GainBeyondTheList", {{kAt, Control::kPinGainMode, 3, 0.3f}}, {},
     {Control::kOutPostLimiter, Control::kOutPreLimiter}},
    {"EqOff", {{kAt, Control::kPinEqActive, 0, 0.0f}, {kAt, Control::kPinEqPost, 1, 0.1f}},
     {{Control::kOutEqFirst, 1, 1.0f}, {Control::kOutEqSecond, 1, 1.0f}}, {}},
    {"EqPre", {{kAt, Control::kPinEqActive, 10, 1.0f}, {kAt, Control::kPinEqPost, 0, 0.0f}},
     {{Control::kOutEqFirst, 1, 1.0f}, {Control::kOutEqSecond, 0, 0.0f}}, {}},
    {"EqPost", {{kAt, Control::kPinEqActive, 10, 1.0f}, {kAt, Control::kPinEqPost, 1, 0.1f}},
     {{Control::kOutEqFirst, 0, 0.0f}, {Control::kOutEqSecond, 1, 1.0f}}, {}},
    {"ChorusOffHoldsMixAtMinusHalf", {{kAt, Control::kPinChorusMix, 3, 0.3f}, {kAt, Control::kPinChorusMode, 0, 0.0f}},
     {{Control::kOutChorusOn, 0, 0.0f}, {Control::kOutChorusMix, 0, -0.5f}}, {}},
    {"ChorusOnSendsItsMix", {{kAt, Control::kPinChorusMix, 3, 0.3f}, {kAt, Control::kPinChorusMode, 1, 0.1f}},
     {{Control::kOutChorusOn, 1, 1.0f}, {Control::kOutChorusMix, 0, 0.3f}}, {}},
    {"ChorusModeThreeSendsNothing", {{kAt, Control::kPinChorusMode, 3, 0.3f}}, {},
     {Control::kOutChorusOn, Control::kOutChorusMix}},
    {"IgnoredMeltBInputs",
     {{kAt, 55, 5, 0.5f}, {kAt, 56, 5, 0.5f}, {kAt, 57, 5, 0.5f}, {kAt, 58, 5, 0.5f}}, {},
     {Control::kOutMeltBWow, Control::kOutMeltBFlutter, Control::kOutMeltBWowTime, Control::kOutMeltBFlutterTime}},
};

class ModulesControlOutputs : public ::testing::TestWithParam<OutputCase> {};

TEST_P(ModulesControlOutputs, SendsAtTheInputsSample) {
    const OutputCase& c = GetParam();
    ControlRig rig;
    rig.settle();
    const std::uint32_t at = rig.engine.sampleClock + kAt;
    rig.send(c.inputs);
    rig.engine.run(kBlock);
    for (const Sent& expected : c.expected) {
        const auto sent = rig.on(expected.output);
        ASSERT_FALSE(sent.empty()) << "output " << expected.output;
        EXPECT_EQ(sent.back().time, at) << "output " << expected.output;
        EXPECT_EQ(sent.back().kind, kEventStill);
        EXPECT_EQ(sent.back().ivalue, expected.ivalue) << "output " << expected.output;
        EXPECT_NEAR(sent.back().fvalue, expected.fvalue, 1e-6f) << "output " << expected.output;
    }
    for (const int output : c.silent) {
        EXPECT_TRUE(rig.on(output).empty()) << "output " << output;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesControlLogic, ModulesControlOutputs, ::testing::ValuesIn(kOutputCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- tempo: synced LFO rates and echo times ----

struct TempoCase {
    float tempo;  // BPM / 10
    int beat;     // option of "Lfo1 Beat"
    double ticks;
};

class ModulesControlSyncedRates : public ::testing::TestWithParam<TempoCase> {};

TEST_P(ModulesControlSyncedRates, FollowTheTempoWhileSyncIsZero) {
    const TempoCase& c = GetParam();
    ControlRig rig;
    rig.settle();
    for (int lfo = 0; lfo < Control::kLfos; ++lfo) {
        rig.send({10, Control::kPinLfo1Beat + 3 * lfo, c.beat, 0.1f * static_cast<float>(c.beat)});
        rig.send({10, Control::kPinLfo1Sync + 3 * lfo, 0, 0.0f});
        rig.send({10, Control::kPinLfo1Rate + 3 * lfo, 3, 0.35f});
    }
    rig.send({20, Control::kPinTempo, 0, c.tempo});
    rig.engine.run(kBlock);
    const double expected = c.tempo / c.ticks * 4.0;
    for (int lfo = 0; lfo < Control::kLfos; ++lfo) {
        const auto sent = rig.on(Control::kOutLfo1Rate + lfo);
        ASSERT_EQ(sent.size(), 2u) << lfo;  // at the beat change, then at the tempo change
        EXPECT_EQ(sent[1].time, rig.start + kBlock + 20);
        EXPECT_NEAR(sent[1].fvalue, expected, expected * 1e-6) << lfo;
    }
    // Any sync value but 0 runs free at the rate knob, the tempo notwithstanding.
    rig.send({0, Control::kPinLfo1Sync, 10, 1.0f});
    rig.send({5, Control::kPinTempo, 0, c.tempo * 2.0f});
    rig.engine.run(kBlock);
    EXPECT_FLOAT_EQ(rig.on(Control::kOutLfo1Rate).back().fvalue, 0.35f);
    EXPECT_NEAR(rig.on(Control::kOutLfo1Rate + 1).back().fvalue, expected * 2.0, expected * 2e-6);
}

INSTANTIATE_TEST_SUITE_P(ModulesControlLogic, ModulesControlSyncedRates,
                         ::testing::Values(TempoCase{12.0f, 4, 960.0}, TempoCase{12.0f, 0, 15360.0},
                                           TempoCase{17.5f, 10, 15.0}, TempoCase{6.0f, 7, 120.0},
                                           TempoCase{14.0f, 5, 480.0}));

TEST(ModulesControlLogic, Lfo1AtOneBeatAndOneTwentyIsFiveHundredths) {
    ControlRig rig;
    rig.send({0, Control::kPinLfo1Beat, 4, 0.4f});
    rig.send({0, Control::kPinLfo1Sync, 0, 0.0f});
    rig.engine.run(kBlock);
    EXPECT_NEAR(rig.on(Control::kOutLfo1Rate).back().fvalue, 0.05f, 1e-7f);
}

TEST(ModulesControlLogic, Lfo3TrackingIsZeroWhileSynced) {
    ControlRig rig;
    rig.send({0, Control::kPinLfo3Track, 10, 1.0f});
    rig.send({0, Control::kPinLfo1Sync + 6, 0, 0.0f});
    rig.send({64, Control::kPinLfo1Sync + 6, 10, 1.0f});
    rig.engine.run(kBlock);
    const auto sent = rig.on(Control::kOutLfo3Tracking);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].ivalue, 0);
    EXPECT_EQ(sent[1].time, rig.start + 64);
    EXPECT_EQ(sent[1].ivalue, 10);
    EXPECT_FLOAT_EQ(sent[1].fvalue, 10.0f);
}

struct EchoCase {
    const char* name;
    float tempo;
    int rate;  // option of "Echo Rate"
    float length;
    int step;
    int dotted;
    double expected;
};

const EchoCase kEchoCases[] = {
    {"QuarterOfFourAt120", 12.0f, 2, 4.0f, 0, 0, 48.2},
    {"DottedQuarterOfFourAt120", 12.0f, 2, 4.0f, 0, 10, 73.2},
    {"WholeAt140SteppedLength", 14.0f, 0, 2.5f, 10, 0, 600.0 / 14.0 * 4.0 * 2.0 * 0.25 - 1.8000001},
    {"EighthAt90", 9.0f, 3, 3.0f, 0, 0, 600.0 / 9.0 * 0.5 * 3.0 * 0.25 - 1.8000001},
    {"SixteenthDottedSteppedAt200", 20.0f, 4, 7.9f, 10, 10, 600.0 / 20.0 * 0.25 * 7.0 * 1.5 * 0.25 - 1.8000001},
    {"TooShortIsZero", 30.0f, 4, 1.0f, 0, 0, 0.0},
};

class ModulesControlEcho : public ::testing::TestWithParam<EchoCase> {};

TEST_P(ModulesControlEcho, TimeFollowsTempoRateAndLength) {
    const EchoCase& c = GetParam();
    ControlRig rig;
    rig.settle();
    rig.send({3, Control::kPinEchoRate, c.rate, 0.1f * static_cast<float>(c.rate)});
    rig.send({3, Control::kPinEchoLength, static_cast<std::int32_t>(c.length * 10.0f), c.length});
    rig.send({3, Control::kPinEchoStep, c.step, 0.1f * static_cast<float>(c.step)});
    rig.send({3, Control::kPinEchoDotted, c.dotted, 0.1f * static_cast<float>(c.dotted)});
    rig.send({90, Control::kPinTempo, 0, c.tempo});
    rig.engine.run(kBlock);
    const auto sent = rig.on(Control::kOutEchoTime);
    ASSERT_EQ(sent.size(), 2u);  // at the switch changes, and again at the tempo's sample
    EXPECT_EQ(sent[1].time, rig.start + kBlock + 90);
    EXPECT_NEAR(sent[1].fvalue, c.expected, 1e-4);
    EXPECT_EQ(sent[1].ivalue, static_cast<std::int32_t>(std::trunc(sent[1].fvalue)));
}

INSTANTIATE_TEST_SUITE_P(ModulesControlLogic, ModulesControlEcho, ::testing::ValuesIn(kEchoCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesControlLogic, FirstBlockSendsEveryDerivedOutputOnce) {
    ControlRig rig;
    rig.engine.run(kBlock);
    const int derived[] = {Control::kOutEchoTime, Control::kOutLfo1Rate, Control::kOutLfo1Rate + 1,
                           Control::kOutLfo1Rate + 2, Control::kOutLfo3Tracking, Control::kOutHfoPitch,
                           Control::kOutHfoDepth, Control::kOutHfoLevel, Control::kOutMeltAAmp,
                           Control::kOutMeltAPitch, Control::kOutMeltABlend, Control::kOutPostLimiter,
                           Control::kOutPreLimiter, Control::kOutResonance, Control::kOutEqFirst,
                           Control::kOutEqSecond, Control::kOutChorusOn, Control::kOutChorusMix};
    for (const int output : derived) {
        const auto sent = rig.on(output);
        ASSERT_FALSE(sent.empty()) << output;
        EXPECT_EQ(sent[0].time, rig.start) << output;
    }
    EXPECT_FLOAT_EQ(rig.on(Control::kOutChorusMix)[0].fvalue, -0.5f);
    EXPECT_EQ(rig.on(Control::kOutEqFirst)[0].ivalue, 1);
    EXPECT_EQ(rig.on(Control::kOutPostLimiter)[0].ivalue, 1);
    EXPECT_EQ(rig.on(Control::kOutPreLimiter)[0].ivalue, 2);
    // Chorus melt waits for the chorus to be switched on.
    EXPECT_TRUE(rig.on(Control::kOutChorusRate).empty());
}

// ---- timers ----

std::vector<std::uint32_t> timesOf(const std::vector<ProbeModule::Handled>& events) {
    std::vector<std::uint32_t> times;
    for (const auto& event : events) {
        times.push_back(event.time);
    }
    return times;
}

TEST(ModulesControlLogic, MeltATimersStepOnTheirSamplesWithTheSharedDraws) {
    ControlRig rig;
    rig.send({0, Control::kPinMeltASpeed, 300, 30.0f});  // 1470 samples per step
    rig.send({0, Control::kPinMeltAAmp, 10, 1.0f});
    rig.send({0, Control::kPinMeltAPitch, 10, 1.0f});
    rig.send({0, Control::kPinMeltAJump, 2, 0.25f});
    rig.send({0, Control::kPinMeltABlend, 300, 30.0f});
    rig.engine.run(16000);

    // A steps every 1471 samples from sample 1470; B (0.35 s, 15435 samples) once at 15435.
    const auto amp = rig.on(Control::kOutMeltAAmp);
    std::vector<std::uint32_t> expectedTimes = {rig.start};
    for (std::uint32_t t = 1470; t < 16000; t += 1471) {
        expectedTimes.push_back(rig.start + t);
        if (t < 15435 && t + 1471 > 15435) {
            expectedTimes.push_back(rig.start + 15435);
        }
    }
    EXPECT_EQ(timesOf(amp), expectedTimes);

    // The draws are the shared sequence in time order: A's ten steps, then B, then A again.
    SharedRandom replica;
    float randA = 0.0f;
    float randB = 0.0f;
    for (std::size_t i = 1; i < amp.size(); ++i) {
        const bool stepB = amp[i].time == rig.start + 15435;
        (stepB ? randB : randA) = replica.next(1.0f) - 0.5f;
        EXPECT_FLOAT_EQ(amp[i].fvalue, randA) << i;
        EXPECT_FLOAT_EQ(rig.on(Control::kOutMeltAPitch)[i].fvalue, (randB * 0.25f + 1.0f) * randA * 0.03f) << i;
        EXPECT_FLOAT_EQ(rig.on(Control::kOutMeltABlend)[i].fvalue, randB * 0.25f * 200.0f + 30.0f) << i;
    }
    EXPECT_NE(randB, 0.0f);
    EXPECT_EQ(rig.engine.sharedRandom.b(), replica.b());
}

TEST(ModulesControlLogic, MeltAWithoutASpeedStepsOncePerBlock) {
    ControlRig rig;
    rig.engine.run(4 * kBlock);
    const auto amp = rig.on(Control::kOutMeltAAmp);
    const std::vector<std::uint32_t> expected = {rig.start, rig.start + 127, rig.start + 255, rig.start + 383,
                                                 rig.start + 511};
    EXPECT_EQ(timesOf(amp), expected);
}

TEST(ModulesControlLogic, MeltBSendsWowAndFlutterOnTheirOwnPeriods) {
    ControlRig rig;
    rig.send({0, Control::kPinMeltSystem, 1, 0.1f});
    rig.send({0, Control::kPinMeltBWow, 40, 4.0f});         // 11025 samples
    rig.send({0, Control::kPinMeltBFlutter, 200, 20.0f});  // 2205 samples
    rig.engine.run(12000);
    EXPECT_EQ(timesOf(rig.on(Control::kOutMeltBWow)), std::vector<std::uint32_t>{rig.start + 11025});
    const std::vector<std::uint32_t> flutter = {rig.start + 2205, rig.start + 4411, rig.start + 6617,
                                                rig.start + 8823, rig.start + 11029};
    EXPECT_EQ(timesOf(rig.on(Control::kOutMeltBFlutter)), flutter);
    EXPECT_TRUE(timesOf(rig.on(Control::kOutMeltAAmp)).empty());

    SharedRandom replica;
    for (const std::uint32_t t : {2205, 4411, 6617, 8823}) {
        const auto sent = rig.on(Control::kOutMeltBFlutter);
        EXPECT_FLOAT_EQ(sent[(t - 2205) / 2206].fvalue, replica.next(1.0f) - 0.5f);
    }
    EXPECT_FLOAT_EQ(rig.on(Control::kOutMeltBWow)[0].fvalue, replica.next(1.0f) - 0.5f);
}

TEST(ModulesControlLogic, ChorusMeltRenewsAtTheMeltAStepWhileTheChorusRuns) {
    ControlRig rig;
    rig.send({0, Control::kPinMeltASpeed, 300, 30.0f});
    rig.send({0, Control::kPinChorusRate, 5, 0.5f});
    rig.send({0, Control::kPinChorusSep, 5, 0.5f});
    rig.send({0, Control::kPinChorusDepth, 2, 0.25f});
    rig.send({0, Control::kPinChorusMelt, 5, 0.5f});
    rig.send({100, Control::kPinChorusMode, 1, 0.1f});
    rig.engine.run(3100);
    const auto rate = rig.on(Control::kOutChorusRate);
    const std::vector<std::uint32_t> expected = {rig.start + 100, rig.start + 1570, rig.start + 3041};
    ASSERT_EQ(timesOf(rate), expected);

    // The melt-A draws come first at shared samples; replay the sequence in time order.
    SharedRandom replica;
    std::vector<std::uint32_t> meltSteps = timesOf(rig.on(Control::kOutMeltAAmp));
    std::size_t melt = 1;  // the first send is the start's flag, with no draw
    for (std::size_t i = 0; i < rate.size(); ++i) {
        while (melt < meltSteps.size() && meltSteps[melt] <= rate[i].time) {
            replica.next(1.0f);
            ++melt;
        }
        const float m = (replica.next(1.5f) - 0.5f) * 0.5f + 1.0f;
        const float m2 = 1.0f + (replica.next(1.5f) - 0.5f) * 0.5f;
        EXPECT_FLOAT_EQ(rate[i].fvalue, 0.5f * m) << i;
        EXPECT_FLOAT_EQ(rig.on(Control::kOutChorusSepRate)[i].fvalue, 0.5f * 0.5f * m) << i;
        EXPECT_FLOAT_EQ(rig.on(Control::kOutChorusDepth)[i].fvalue, m2 * 0.25f) << i;
    }
}

// ---- properties ----

const std::vector<Input> kBusyScript = {
    {0, Control::kPinMeltASpeed, 300, 30.0f},   {0, Control::kPinMeltAAmp, 10, 1.0f},
    {0, Control::kPinMeltAJump, 2, 0.25f},      {0, Control::kPinMeltBWow, 40, 4.0f},
    {0, Control::kPinMeltBFlutter, 200, 20.0f}, {0, Control::kPinChorusMelt, 5, 0.5f},
    {0, Control::kPinChorusRate, 5, 0.5f},      {77, Control::kPinChorusMode, 1, 0.1f},
    {301, Control::kPinTempo, 0, 13.3f},        {302, Control::kPinEchoRate, 2, 0.2f},
    {1999, Control::kPinMeltSystem, 1, 0.1f},   {2500, Control::kPinHfoTarget, 6, 0.6f},
    {4100, Control::kPinMeltSystem, 0, 0.0f},   {4101, Control::kPinMeltASpeed, 100, 10.0f},
    {5000, Control::kPinChorusMode, 0, 0.0f},   {6000, Control::kPinPlayMode, 1, 0.1f},
};

TEST(ModulesControlLogic, SplitChunksSendTheSameEventsAsWholeOnes) {
    ControlRig whole;
    ControlRig split;
    whole.send(kBusyScript);
    split.send(kBusyScript);
    whole.engine.run(8000);
    const int pieces[] = {1, 37, 90, 128, 3, 64, 5, 77, 111, 2};
    int done = 0;
    for (int i = 0; done < 8000; ++i) {
        const int n = std::min(pieces[i % 10], 8000 - done);
        split.engine.run(n);
        done += n;
    }
    ASSERT_EQ(whole.probe->events.size(), split.probe->events.size());
    for (std::size_t i = 0; i < whole.probe->events.size(); ++i) {
        const auto& a = whole.probe->events[i];
        const auto& b = split.probe->events[i];
        ASSERT_EQ(a.time, b.time) << i;
        ASSERT_EQ(a.pin, b.pin) << i;
        ASSERT_EQ(a.ivalue, b.ivalue) << i;
        ASSERT_EQ(a.fvalue, b.fvalue) << i;
    }
    EXPECT_GT(whole.probe->events.size(), 50u);
}

TEST(ModulesControlLogic, HostileInputsGiveFiniteOutputsAndAreIgnored) {
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), 3.0e38f, -3.0e38f, 0.0f, -1.0f, 1.0e-30f};
    const std::int32_t options[] = {-2147483647 - 1, -1, 99, 2147483647, 0, 5, 7, 10};
    ControlRig rig;
    rig.settle();
    int offset = 0;
    for (int pin = 0; pin < kModulePins; ++pin) {
        for (int i = 0; i < 8; ++i) {
            rig.send({offset, pin, options[i], hostile[i]});
            offset = (offset + 13) % 4000;
        }
    }
    rig.engine.run(8000);
    for (const auto& event : rig.probe->events) {
        ASSERT_TRUE(std::isfinite(event.fvalue)) << "output " << event.pin;
    }
    // Afterwards ordinary values still give ordinary results.
    rig.probe->events.clear();
    rig.send({0, Control::kPinEchoRate, 2, 0.2f});
    rig.send({0, Control::kPinEchoLength, 40, 4.0f});
    rig.send({0, Control::kPinEchoStep, 0, 0.0f});
    rig.send({0, Control::kPinEchoDotted, 0, 0.0f});
    rig.send({0, Control::kPinTempo, 0, 12.0f});
    rig.engine.run(kBlock);
    EXPECT_NEAR(rig.on(Control::kOutEchoTime).back().fvalue, 48.2f, 1e-4f);
}

}  // namespace
