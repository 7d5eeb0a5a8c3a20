#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "modules/modulation/LfoRig.h"
#include "modules/modulation/QX_DSP_Velkor2_Control.h"
#include "modules/voice/QX_DSP_Host_Tempo.h"

using namespace lfo_rig;

namespace {

// Records where a rising saw on input 0 falls back, counting samples from its first render.
class WrapCounter : public QX_ModuleBase {
public:
    explicit WrapCounter(QX_EngineHost* host) : QX_ModuleBase(host, false) {}

    void render(int pos, int count) override {
        for (int i = pos; i < pos + count; ++i) {
            const float x = inputs[0][i];
            if (x < last_ - 0.5f) {
                wraps.push_back(samples_);
            }
            last_ = x;
            ++samples_;
        }
    }

    std::vector<std::int64_t> wraps;

private:
    float last_ = 0.0f;
    std::int64_t samples_ = 0;
};

// Holds the last value received on pin 0 as a still signal on output 0, as the control glides do
// while audio is stopped.
class HeldValue : public QX_ModuleBase {
public:
    explicit HeldValue(QX_EngineHost* host) : QX_ModuleBase(host, false) { makeOutput(0); }

    void handleEvent(const Event& event, int) override {
        value_ = event.fvalue;
        sendEvent(localTime, 0, kEventStill, 0, value_, nullptr);
    }
    void render(int pos, int count) override { std::fill_n(outputs[0] + pos, count, value_); }

private:
    float value_ = 0.0f;
};

struct FreeCase {
    double hz;
    int sampleRate;
};

void PrintTo(const FreeCase& c, std::ostream* os) { *os << c.hz << " Hz at " << c.sampleRate; }

class ModulesLfoFreeRate : public ::testing::TestWithParam<FreeCase> {};

// Every wrap lands within one sample of where whole periods put it, so the phase gains or loses
// less than a sample over all the periods measured.
TEST_P(ModulesLfoFreeRate, PeriodIsExactToTheSample) {
    const FreeCase& c = GetParam();
    const double period = c.sampleRate / c.hz;
    TestEngine engine(128, c.sampleRate);
    auto* source = engine.add<SignalSource>(false);
    auto* lfo = engine.add<Lfo>(false);
    auto* counter = engine.add<WrapCounter>();
    source->connect(lfo, lfo->moduleIndex, 0, Lfo::kPinRate, 0, 0, 0);
    source->connect(lfo, lfo->moduleIndex, 1, Lfo::kPinAmount, 0, 0, 0);
    lfo->connect(counter, counter->moduleIndex, Lfo::kOutput, 0, 0, 0, 0);
    engine.prepareAll();
    const auto rate = static_cast<float>(c.hz / 10.0);
    source->signal[0] = [rate](std::uint32_t) { return rate; };
    source->signal[1] = [](std::uint32_t) { return 1.0f; };
    lfo->receiveEvent(engine.sampleClock, Lfo::kPinShape, kEventStill, kSaw1, 0.0f, nullptr);
    // At least two wraps; for fast rates thirty, so any drift would add up past a sample.
    engine.run(static_cast<int>(std::max(2.2 * period, std::min(30.0 * period, 1.0e6))));
    ASSERT_GE(counter->wraps.size(), 2u);
    for (std::size_t k = 0; k < counter->wraps.size(); ++k) {
        EXPECT_NEAR(static_cast<double>(counter->wraps[k]), (k + 1) * period, 1.0) << "wrap " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoFreeRate,
                         ::testing::Values(FreeCase{0.1, 44100}, FreeCase{3.7, 48000}, FreeCase{19.3, 96000},
                                           FreeCase{440.0, 44100}));

// "Lfo1 Beat" options and the beats each one lasts.
struct BeatValue {
    const char* option;
    int index;
    double beats;
};

constexpr BeatValue kBeatValues[] = {
    {"16b", 0, 64.0}, {"8b", 1, 32.0},  {"4b", 2, 16.0},   {"2b", 3, 8.0},     {"1b", 4, 4.0},      {"2/1", 5, 2.0},
    {"1/1", 6, 1.0},  {"1/2", 7, 0.5},  {"1/4", 8, 0.25},  {"1/8", 9, 0.125}, {"1/16", 10, 0.0625},
};

struct SyncCase {
    BeatValue beat;
    double bpm;
};

std::vector<SyncCase> syncCases() {
    std::vector<SyncCase> cases;
    for (const double bpm : {120.0, 97.0}) {
        for (const BeatValue& beat : kBeatValues) {
            cases.push_back({beat, bpm});
        }
    }
    return cases;
}

class ModulesLfoTempoSync : public ::testing::TestWithParam<SyncCase> {};

// The host tempo through the control logic's synced rate into the LFO: the first two cycles each
// last the option's beats at the host tempo, to the sample.
TEST_P(ModulesLfoTempoSync, CycleLastsTheBeatValueToTheSample) {
    constexpr int kRate = 44100;
    const SyncCase& c = GetParam();
    TestEngine engine(128, kRate);
    engine.hostTime.tempo = c.bpm;
    engine.hostTime.tempoValid = true;
    auto* tempo = engine.add<QX_DSP_Host_Tempo>(false);
    auto* control = engine.add<QX_DSP_Velkor2_Control>(false);
    auto* held = engine.add<HeldValue>();
    auto* amount = engine.add<SignalSource>(false);
    auto* lfo = engine.add<Lfo>(false);
    auto* counter = engine.add<WrapCounter>();
    tempo->connect(control, control->moduleIndex, QX_DSP_Host_Tempo::kOutputTempo,
                   QX_DSP_Velkor2_Control::kPinTempo, 0, 0, 0);
    control->connect(held, held->moduleIndex, QX_DSP_Velkor2_Control::kOutLfo1Rate, 0, 0, 0, 0);
    held->connect(lfo, lfo->moduleIndex, 0, Lfo::kPinRate, 0, 0, 0);
    amount->connect(lfo, lfo->moduleIndex, 0, Lfo::kPinAmount, 0, 0, 0);
    lfo->connect(counter, counter->moduleIndex, Lfo::kOutput, 0, 0, 0, 0);
    engine.prepareAll();
    amount->signal[0] = [](std::uint32_t) { return 1.0f; };
    const std::uint32_t now = engine.sampleClock;
    control->receiveEvent(now, QX_DSP_Velkor2_Control::kPinLfo1Beat, kEventStill, c.beat.index,
                          static_cast<float>(c.beat.index) * 0.1f, nullptr);
    control->receiveEvent(now, QX_DSP_Velkor2_Control::kPinLfo1Sync, kEventStill, 0, 0.0f, nullptr);
    lfo->receiveEvent(now, Lfo::kPinShape, kEventStill, kSaw1, 0.0f, nullptr);

    const double period = c.beat.beats * 60.0 / c.bpm * kRate;
    engine.run(static_cast<int>(2.0 * period) + 2);
    ASSERT_EQ(counter->wraps.size(), 2u);
    EXPECT_NEAR(static_cast<double>(counter->wraps[0]), period, 1.0);
    EXPECT_NEAR(static_cast<double>(counter->wraps[1]), 2.0 * period, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoTempoSync, ::testing::ValuesIn(syncCases()), [](const auto& info) {
    std::string name = info.param.beat.option;
    for (char& ch : name) {
        ch = ch == '/' ? '_' : ch;
    }
    return "Beat" + name + "At" + std::to_string(static_cast<int>(info.param.bpm)) + "Bpm";
});

struct PitchCase {
    int note;
    int sampleRate;
    bool moving;  // the pitch announced as moving: converted sample by sample
};

void PrintTo(const PitchCase& c, std::ostream* os) {
    *os << "note " << c.note << " at " << c.sampleRate << (c.moving ? " moving" : " still");
}

class ModulesHfoPitch : public ::testing::TestWithParam<PitchCase> {};

// With the rate unit set to pitch, the oscillator sounds the note's frequency.
TEST_P(ModulesHfoPitch, FollowsTheNotePitch) {
    const PitchCase& c = GetParam();
    LfoRig rig(c.sampleRate);
    rig.event(0, Lfo::kPinRateUnit, 0);
    const auto pitch = static_cast<float>((c.note - 9) / 120.0);
    if (c.moving) {
        rig.moving(LfoRig::kRate, [pitch](std::uint32_t) { return pitch; });
    } else {
        rig.still(LfoRig::kRate, pitch);
    }
    rig.run(c.sampleRate);
    const double expected = 440.0 * std::pow(2.0, (c.note - 69) / 12.0);
    EXPECT_NEAR(source_rig::cents(source_rig::crossingFrequency(rig.out(), c.sampleRate), expected), 0.0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesHfoPitch,
                         ::testing::Values(PitchCase{21, 44100, false}, PitchCase{60, 44100, false},
                                           PitchCase{69, 44100, true}, PitchCase{93, 48000, false},
                                           PitchCase{108, 96000, true}, PitchCase{120, 44100, true}));

class ModulesLfoPerSampleRate : public ::testing::TestWithParam<bool> {};

// A moving rate is followed sample by sample, or, with per-sample rates switched off, taken from
// the first sample of each stretch (here the engine's chunks of 128).
TEST_P(ModulesLfoPerSampleRate, PhaseIntegratesTheRateAsChosen) {
    constexpr int kRate = 44100;
    constexpr int kFrames = 4096;
    constexpr int kChunk = 128;
    const bool perSample = GetParam();
    LfoRig rig(kRate);
    rig.shape(kSaw1);
    rig.event(0, Lfo::kPinPerSampleRate, perSample ? 1 : 0);
    const std::uint32_t start = rig.engine.sampleClock;
    const auto rateAt = [start](std::uint32_t t) {
        return rateFor(1.0 / 2000.0 + (t - start) * (1.0 / 200.0 - 1.0 / 2000.0) / kFrames, kRate);
    };
    rig.moving(LfoRig::kRate, rateAt);
    rig.run(kFrames);
    double phase = 0.0;
    for (int n = 0; n < kFrames; ++n) {
        ASSERT_NEAR(rig.out()[static_cast<std::size_t>(n)], saw(phase), 1.0e-5) << "sample " << n;
        const int from = perSample ? n : n - n % kChunk;
        phase += rateAt(start + static_cast<std::uint32_t>(from)) * 10.0 / kRate;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoPerSampleRate, ::testing::Bool());

}  // namespace
