#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "ArpRig.h"
#include "modules/voice/MidiWord.h"
#include "modules/voice/QX_DSP_Host_Tempo.h"
#include "modules/voice/QX_DSP_Midi_Sync_Tempo.h"

namespace {

using namespace arp_test;

using Clock = QX_DSP_Midi_Sync_Tempo;
using HostTempo = QX_DSP_Host_Tempo;

struct HostTempoCase {
    const char* name;
    double hostBpm;
    std::int32_t ivalue;
    float fvalue;
};

class ModulesHostTempo : public ::testing::TestWithParam<HostTempoCase> {};

TEST_P(ModulesHostTempo, SendsTempoAndTransportOnceAndOnChange) {
    const HostTempoCase& c = GetParam();
    TestEngine engine;
    auto* tempo = engine.add<HostTempo>(false);
    auto* probe = engine.add<ProbeModule>(false);
    for (const int output : {HostTempo::kOutputTransport, HostTempo::kOutputTempo}) {
        tempo->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
    }
    engine.hostTime.tempo = c.hostBpm;
    engine.hostTime.playing = true;
    engine.prepareAll();
    const std::uint32_t start = engine.sampleClock;
    engine.run(512);
    engine.hostTime.playing = false;
    engine.run(128);
    ASSERT_EQ(probe->events.size(), 3u);
    EXPECT_EQ(probe->events[0].pin, HostTempo::kOutputTempo);
    EXPECT_EQ(probe->events[0].ivalue, c.ivalue);
    EXPECT_FLOAT_EQ(probe->events[0].fvalue, c.fvalue);
    EXPECT_EQ(probe->events[0].time, start);
    EXPECT_EQ(probe->events[1].pin, HostTempo::kOutputTransport);
    EXPECT_EQ(probe->events[1].ivalue, 10);
    EXPECT_EQ(probe->events[1].fvalue, 1.0f);
    EXPECT_EQ(probe->events[2].pin, HostTempo::kOutputTransport);
    EXPECT_EQ(probe->events[2].ivalue, 0);
    EXPECT_EQ(probe->events[2].time, start + 512);
}

const HostTempoCase kHostTempoCases[] = {
    {"Plain", 140.0, 140, 14.0f},
    {"Fractional", 97.5, 97, 9.75f},
    {"ZeroIsTheDefault", 0.0, 120, 12.0f},
    {"NegativeIsTheDefault", -30.0, 120, 12.0f},
    {"NotANumberIsTheDefault", std::numeric_limits<double>::quiet_NaN(), 120, 12.0f},
};

INSTANTIATE_TEST_SUITE_P(ModulesHostTempo, ModulesHostTempo, ::testing::ValuesIn(kHostTempoCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesHostTempoAbsent, SendsNothingWithoutHostTime) {
    TestEngine engine;
    auto* tempo = engine.add<HostTempo>(false);
    auto* probe = engine.add<ProbeModule>(false);
    tempo->connect(probe, probe->moduleIndex, HostTempo::kOutputTempo, 1, 0, 0, 0);
    engine.hostTimeAvailable = false;
    engine.prepareAll();
    engine.run(1024);
    EXPECT_TRUE(probe->events.empty());
}

// The tempo clock with both wired rate inputs, a probe on every output, pulses as sample offsets.
struct ClockRig {
    explicit ClockRig(int blockLength = 128) : engine(blockLength) {
        clock = engine.add<Clock>(false);
        probe = engine.add<ProbeModule>(false);
        clock->setInput(Clock::kPinRate, &wired);
        clock->setInput(Clock::kPinRate + 1, &wired);
        for (const int output : {Clock::kOutputPhrase, Clock::kOutputClock, Clock::kOutputClock + 1,
                                 Clock::kOutputRestart, Clock::kOutputRestart + 1}) {
            clock->connect(probe, probe->moduleIndex, output, output, 0, 0, 0);
        }
        engine.prepareAll();
        start = engine.sampleClock;
    }
    void event(std::int64_t offset, int pin, std::int32_t ivalue, float fvalue) {
        clock->receiveEvent(start + static_cast<std::uint32_t>(offset), pin, kEventStill, ivalue, fvalue, nullptr);
    }
    // Sample offsets of the rising edges on `output`; every edge must fall one sample later.
    std::vector<std::int64_t> edges(int output) const {
        std::vector<std::int64_t> rising;
        std::int64_t lastRise = -1;
        for (const auto& e : probe->events) {
            if (e.pin != output) {
                continue;
            }
            const std::int64_t at = static_cast<std::int32_t>(e.time - start);
            if (e.ivalue == 1) {
                rising.push_back(at);
                lastRise = at;
            } else {
                EXPECT_EQ(at, lastRise + 1) << "fall on output " << output;
            }
        }
        return rising;
    }

    TestEngine engine;
    Clock* clock;
    ProbeModule* probe;
    std::uint32_t start;
    float wired = 0.0f;
};

struct ClockCase {
    const char* name;
    float tempo;  // BPM / 10
    int rate;     // option index
    float half;
    std::int64_t step;  // samples
};

class ModulesTempoClock : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ModulesTempoClock, StepsLandOnTheFirstKeysGrid) {
    const ClockCase& c = GetParam();
    ClockRig rig;
    rig.event(0, Clock::kPinTempo, tenths(c.tempo), c.tempo);
    rig.event(0, Clock::kPinRate + 1, c.rate, 0.1f * static_cast<float>(c.rate));
    rig.event(0, Clock::kPinFactor + 1, tenths(c.half), c.half);
    constexpr std::int64_t kKey = 1000;
    rig.event(kKey, Clock::kPinMidi, noteOnWord(60), 0.0f);
    constexpr int kSteps = 6;
    rig.engine.run(static_cast<int>(kKey + kSteps * c.step - c.step / 2));
    std::vector<std::int64_t> expected;
    for (int k = 0; k < kSteps; ++k) {
        expected.push_back(kKey + k * c.step);
    }
    const std::vector<std::int64_t> got = rig.edges(Clock::kOutputClock + 1);
    ASSERT_GE(got.size(), expected.size());
    // Before the key the clock runs free; from the key on it follows the key's grid.
    const std::vector<std::int64_t> fromKey(got.end() - static_cast<std::ptrdiff_t>(kSteps), got.end());
    EXPECT_EQ(fromKey, expected);
    EXPECT_EQ(rig.edges(Clock::kOutputPhrase), std::vector<std::int64_t>{kKey});
    EXPECT_EQ(rig.edges(Clock::kOutputRestart + 1), std::vector<std::int64_t>{kKey});
}

const ClockCase kClockCases[] = {
    {"OneBeatAt120", 12.0f, 3, 1.0f, 22050},
    {"DottedEighthsAt120", 12.0f, 4, 1.5f, 7350},
    {"HalfNotesAt90", 9.0f, 2, 1.0f, 58800},
    {"SixteenthsAt150", 15.0f, 5, 1.0f, 4410},
};

INSTANTIATE_TEST_SUITE_P(ModulesTempoClock, ModulesTempoClock, ::testing::ValuesIn(kClockCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesTempoClockChange, NewTempoKeepsThePhraseGrid) {
    ClockRig rig;
    rig.event(0, Clock::kPinTempo, 120, 12.0f);
    rig.event(0, Clock::kPinRate, 3, 0.3f);
    rig.event(100, Clock::kPinMidi, noteOnWord(60), 0.0f);
    rig.event(30000, Clock::kPinTempo, 240, 24.0f);  // 11025 samples a step from here on
    rig.engine.run(60000);
    EXPECT_EQ(rig.edges(Clock::kOutputClock),
              (std::vector<std::int64_t>{100, 22150, 100 + 3 * 11025, 100 + 4 * 11025, 100 + 5 * 11025}));
}

TEST(ModulesTempoClockHold, HeldClockRestartsOnceAndRunsFreeAcrossPhrases) {
    ClockRig rig;
    rig.event(0, Clock::kPinTempo, 120, 12.0f);
    rig.event(0, Clock::kPinRate, 3, 0.3f);
    rig.event(0, Clock::kPinHold, 1, 0.1f);
    rig.event(100, Clock::kPinMidi, noteOnWord(60), 0.0f);
    rig.event(200, Clock::kPinMidi, noteOffWord(60), 0.0f);
    rig.event(5000, Clock::kPinMidi, noteOnWord(62), 0.0f);  // a new phrase: no restart, no re-phase
    rig.event(5100, Clock::kPinMidi, noteOffWord(62), 0.0f);
    rig.event(6000, Clock::kPinMidi, packMidi(0x90, 64, 0), 0.0f);  // an orphan release stays at zero keys
    rig.event(7000, Clock::kPinMidi, noteOnWord(64), 0.0f);
    rig.engine.run(30000);
    EXPECT_EQ(rig.edges(Clock::kOutputPhrase), (std::vector<std::int64_t>{100, 5000, 7000}));
    EXPECT_EQ(rig.edges(Clock::kOutputRestart), std::vector<std::int64_t>{100});
    // The held clock keeps no grid of the later keys: its steps come from its own phase.
    const std::vector<std::int64_t> steps = rig.edges(Clock::kOutputClock);
    ASSERT_FALSE(steps.empty());
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(steps[i] - steps[i - 1]), 22050.0, 1.0);
    }
}

std::vector<ProbeModule::Handled> clockRun(int blockLength) {
    ClockRig rig(blockLength);
    rig.event(0, Clock::kPinTempo, 133, 13.3f);
    rig.event(0, Clock::kPinRate, 6, 0.6f);
    rig.event(0, Clock::kPinRate + 1, 5, 0.5f);
    rig.event(7, Clock::kPinMidi, noteOnWord(60), 0.0f);
    rig.event(5001, Clock::kPinFactor, 15, 1.5f);
    rig.event(9000, Clock::kPinMidi, noteOffWord(60), 0.0f);
    rig.event(9001, Clock::kPinMidi, noteOnWord(61), 0.0f);
    rig.event(12345, Clock::kPinTempo, 77, 7.7f);
    rig.engine.run(30000);
    return rig.probe->events;
}

TEST(ModulesTempoClockProperty, SplitRenderingGivesTheSamePulses) {
    const auto whole = clockRun(128);
    ASSERT_GT(whole.size(), 40u);
    for (const int block : {1, 13, 100}) {
        const auto split = clockRun(block);
        ASSERT_EQ(split.size(), whole.size()) << block;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(split[i].time, whole[i].time) << block << " event " << i;
            EXPECT_EQ(split[i].pin, whole[i].pin) << block << " event " << i;
            EXPECT_EQ(split[i].ivalue, whole[i].ivalue) << block << " event " << i;
        }
    }
}

TEST(ModulesTempoClockProperty, HostileValuesKeepTheClockWithinItsRange) {
    ClockRig rig;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    rig.event(0, Clock::kPinTempo, 0, nan);
    rig.event(0, Clock::kPinTempo, 0, 1e9f);                                      // fastest tempo
    rig.event(0, Clock::kPinRate, 1 << 30, 0.0f);                                // fastest rate
    rig.event(0, Clock::kPinRate + 1, -1000, 0.0f);                              // slowest rate
    rig.event(0, Clock::kPinFactor, 0, 1e30f);
    rig.event(0, Clock::kPinFactor + 1, 0, nan);
    rig.event(0, 63, 5, 5.0f);
    for (int i = 0; i < 50; ++i) {
        rig.event(10 + i, Clock::kPinMidi, noteOffWord(60), 0.0f);
    }
    rig.event(100, Clock::kPinMidi, noteOnWord(60), 0.0f);
    rig.engine.run(20000);
    // 1000 BPM x 32 x 1.5 steps per beat: a step every 55.125 samples, on the key's grid.
    std::vector<std::int64_t> fast;
    for (const std::int64_t at : rig.edges(Clock::kOutputClock)) {
        if (at >= 100) {
            fast.push_back(at);
        }
    }
    ASSERT_GE(fast.size(), 300u);
    for (std::size_t k = 0; k < fast.size(); ++k) {
        EXPECT_EQ(fast[k], 100 + static_cast<std::int64_t>(std::ceil(static_cast<double>(k) * 55.125))) << k;
    }
    EXPECT_EQ(rig.edges(Clock::kOutputClock + 1), std::vector<std::int64_t>{100});
    EXPECT_EQ(rig.edges(Clock::kOutputPhrase), std::vector<std::int64_t>{100});
}

// The whole chain as the netlist wires it, with a host that reports tempo 0.
TEST(ModulesTempoChain, HostTempoZeroDrivesTheArpeggiatorAt120) {
    TestEngine engine;
    engine.hostTime.tempo = 0.0;
    auto* tempo = engine.add<HostTempo>(false);
    auto* clock = engine.add<Clock>(false);
    auto* arp = engine.add<Arp>(false);
    auto* probe = engine.add<ProbeModule>(false);
    float seqRate = 0.3f;
    float arpRate = 0.3f;
    clock->setInput(Clock::kPinRate, &seqRate);
    clock->setInput(Clock::kPinRate + 1, &arpRate);
    tempo->connect(clock, clock->moduleIndex, HostTempo::kOutputTempo, Clock::kPinTempo, 0, 0, 0);
    tempo->connect(arp, arp->moduleIndex, HostTempo::kOutputTempo, Arp::kPinTempo, 0, 0, 0);
    clock->connect(arp, arp->moduleIndex, Clock::kOutputClock + 1, Arp::kPinClock, 0, 0, 0);
    arp->connect(probe, probe->moduleIndex, Arp::kOutputMidi, 0, 0, 0, 0);
    engine.prepareAll();
    const std::uint32_t start = engine.sampleClock;
    auto send = [&](QX_ModuleBase* m, std::int64_t offset, int pin, std::int32_t i, float f) {
        m->receiveEvent(start + static_cast<std::uint32_t>(offset), pin, kEventStill, i, f, nullptr);
    };
    for (QX_ModuleBase* m : std::vector<QX_ModuleBase*>{clock, arp}) {
        send(m, 0, m == clock ? Clock::kPinRate + 1 : Arp::kPinRate, 3, 0.3f);
    }
    send(arp, 0, Arp::kPinMode, 1, 0.1f);
    send(arp, 0, Arp::kPinGate, 5, 0.5f);
    send(arp, 0, Arp::kPinOnOff, 1, 0.1f);
    constexpr std::int64_t kKey = 3000;
    for (const int note : {60, 67}) {
        send(clock, kKey, Clock::kPinMidi, noteOnWord(note), 0.0f);
        send(arp, kKey, Arp::kPinMidi, noteOnWord(note), 0.0f);
    }
    engine.run(static_cast<int>(kKey + 4 * 22050));
    std::vector<ArpOut> got;
    for (const auto& e : probe->events) {
        got.push_back({static_cast<std::int32_t>(e.time - start), e.ivalue});
    }
    const std::vector<ArpOut> expected = {
        {0, midi_word::kAllNotesOff},
        {kKey, noteOnWord(60)},
        {kKey + 11025, noteOffWord(60)},
        {kKey + 22050, noteOnWord(67)},
        {kKey + 22050 + 11025, noteOffWord(67)},
        {kKey + 2 * 22050, noteOnWord(60)},
        {kKey + 2 * 22050 + 11025, noteOffWord(60)},
        {kKey + 3 * 22050, noteOnWord(67)},
        {kKey + 3 * 22050 + 11025, noteOffWord(67)},
    };
    EXPECT_EQ(got, expected);
}

}  // namespace
