// The static biquad filter measured with sines, set up as the echo's low- and high-pass pair and
// as the HFO filter: each law's gain against its formula, stages, sections in series, the held
// value that silences it, the stereo swap, settling to idle, split stretches and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/EqRig.h"
#include "modules/effects/FilterRig.h"
#include "modules/effects/QX_DSP_BiQuad_Static.h"

using filter_test::amplitudeAt;
using filter_test::biquadGain;
using filter_test::decibels;
using filter_test::pitchOf;

namespace {

using Static = QX_DSP_BiQuad_Static;

constexpr int kRate = 44100;
constexpr int kSettle = 8192;
constexpr int kMeasure = 16384;
constexpr double kToleranceDb = 0.05;
constexpr float kLevel = 0.25f;

// Source outputs and the pins they feed: audio left and right, then cutoff, resonance and
// auxiliary of sections 1 and 2.
enum Signal : int { kLeft, kRight, kCutoff1, kResonance1, kAux1, kCutoff2, kResonance2, kAux2 };
constexpr int kSignalPins[] = {Static::kPinInput, Static::kPinInputRight, 2, 3, 4, 29, 30, 31};

struct SectionSetup {
    int type;  // 0: the section is not used
    double hz;
    float resonance;
    float aux;
    int stages;
};

class StaticRig {
public:
    explicit StaticRig(bool stereo = false)
        : engine(128, kRate),
          source(engine.add<source_rig::SignalSource>(false)),
          filter(engine.add<Static>(false)),
          recorder(engine.add<source_rig::Recorder>(false)) {
        for (int s = 0; s < source_rig::SignalSource::kOutputs; ++s) {
            if (s != kRight || stereo) {
                source->connect(filter, filter->moduleIndex, s, kSignalPins[s], 0, 0, 0);
            }
            source->signal[s] = [](std::uint32_t) { return 0.0f; };
        }
        filter->connect(recorder, recorder->moduleIndex, Static::kOutputLeft, 0, 0, 0, 0);
        filter->connect(recorder, recorder->moduleIndex, Static::kOutputRight, 1, 0, 0, 0);
        engine.prepareAll();
        event(0, Static::kPinCutoffUnit, 0);
    }

    void event(int offset, int pin, std::int32_t ivalue, int kind = kEventStill) {
        filter->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue,
                             static_cast<float>(ivalue), nullptr);
    }

    void set(int section, const SectionSetup& setup) {
        const int base = Static::kSectionBase[section];
        const Signal first = section == 0 ? kCutoff1 : kCutoff2;
        still(first, pitchOf(setup.hz));
        still(static_cast<Signal>(first + 1), setup.resonance);
        still(static_cast<Signal>(first + 2), setup.aux);
        event(0, base + Static::kStagesOffset, setup.stages - 1);
        event(0, base + Static::kTypeOffset, setup.type);
    }

    void still(Signal s, float value, int offset = 0) {
        follow(s, [value](std::uint32_t) { return value; }, offset, kEventStill);
    }

    void follow(Signal s, std::function<float(std::uint32_t)> f, int offset = 0, int kind = kEventMoving) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = source->signal[s];
        source->signal[s] = [before, from, f](std::uint32_t t) { return t >= from ? f(t) : before(t); };
        event(offset, kSignalPins[s], 0, kind);
    }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out(int channel = 0) const { return recorder->samples[channel]; }
    bool idle() const { return (engine.moduleFlags[filter->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    source_rig::SignalSource* source;
    Static* filter;
    source_rig::Recorder* recorder;
};

// One section's response at `hz` from its law in double precision.
double sectionResponse(const SectionSetup& s, double hz) {
    const double omega = 2.0 * std::numbers::pi * hz / kRate;
    if (s.type == Static::kPeakType) {
        return eq_test::peakResponse({s.hz, s.resonance, s.aux}, hz, kRate);
    }
    const double w0 = std::numbers::pi * s.hz / kRate;
    double k[5];
    if (s.type == 1 || s.type == Static::kHighPassType) {
        const double table = s.type == 1 ? (s.stages == 1 ? 0.902 : 0.812) : (s.stages == 1 ? 0.907 : 0.817);
        const double d = 1.5 * (1.01 - table * s.resonance);
        const double kk = s.type == 1 ? 1.0 / std::tan(w0) : std::tan(w0);
        const double a0 = kk * kk + d * kk + 1.0;
        const double sign = s.type == 1 ? 1.0 : -1.0;
        const double a1 = s.type == 1 ? 2.0 * (1.0 - kk * kk) / a0 : 2.0 * (kk * kk - 1.0) / a0;
        const double set[5] = {1.0 / a0, sign * 2.0 / a0, 1.0 / a0, a1, (kk * kk - d * kk + 1.0) / a0};
        std::copy(std::begin(set), std::end(set), k);
    } else {  // law B
        const double r = (s.stages == 1 ? 0.456 : 0.323) * s.resonance;
        const double d = 1.0 / std::pow(r + 0.9, 4);
        const double t = std::tan(w0);
        const double a0 = t * t + d * t + 1.0;
        const double set[5] = {t * t / a0, 2.0 * t * t / a0, t * t / a0, (2.0 * t * t - 2.0) / a0,
                               (t * t - d * t + 1.0) / a0};
        std::copy(std::begin(set), std::end(set), k);
    }
    return std::pow(biquadGain(k, omega), s.stages);
}

struct ResponseCase {
    const char* name;
    SectionSetup first;
    SectionSetup second;
    double probes[3];  // Hz
};

const ResponseCase kResponseCases[] = {
    {"EchoLowPass", {1, 3000.0, 0.0f, 0.0f, 1}, {}, {3000.0, 6000.0, 500.0}},
    {"EchoHighPass", {}, {Static::kHighPassType, 500.0, 0.0f, 0.0f, 1}, {500.0, 250.0, 3000.0}},
    {"EchoPair", {1, 5000.0, 0.0f, 0.0f, 1}, {Static::kHighPassType, 300.0, 0.0f, 0.0f, 1}, {1000.0, 5000.0, 300.0}},
    {"HfoSmoothing", {1, 1760.0, 0.0f, 0.0f, 1}, {}, {1760.0, 3520.0, 220.0}},
    {"ResonantTwentyFour", {1, 1200.0, 0.7f, 0.0f, 2}, {}, {1200.0, 2400.0, 600.0}},
    {"LawBTwelve", {2, 2000.0, 0.5f, 0.0f, 1}, {}, {2000.0, 4000.0, 1000.0}},
    {"PeakSection", {Static::kPeakType, 1500.0, 0.7f, 0.3f, 1}, {}, {1500.0, 2000.0, 1000.0}},
};

class ModulesBiQuadStaticResponse : public testing::TestWithParam<ResponseCase> {};

TEST_P(ModulesBiQuadStaticResponse, GainFollowsTheSectionLaws) {
    const ResponseCase& c = GetParam();
    for (double hz : c.probes) {
        StaticRig rig;
        double expected = 1.0;
        if (c.first.type != 0) {
            rig.set(0, c.first);
            expected *= sectionResponse(c.first, hz);
        }
        if (c.second.type != 0) {
            rig.set(1, c.second);
            expected *= sectionResponse(c.second, hz);
        }
        rig.follow(kLeft, source_rig::sine(hz, kRate, kLevel));
        rig.run(kSettle + kMeasure);
        const double measured = amplitudeAt(rig.out(), kSettle, kMeasure, hz, kRate) / kLevel;
        EXPECT_NEAR(decibels(measured), decibels(expected), kToleranceDb) << hz << " Hz";
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesBiQuadStatic, ModulesBiQuadStaticResponse, testing::ValuesIn(kResponseCases),
                         [](const testing::TestParamInfo<ResponseCase>& info) { return std::string(info.param.name); });

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// The echo's pong swaps the filtered channels: with it, output 0 carries what output 1 carried.
TEST(ModulesBiQuadStatic, SwapExchangesTheFilteredChannels) {
    const auto render = [](bool swap) {
        StaticRig rig(true);
        rig.set(0, {1, 2000.0, 0.3f, 0.0f, 1});
        rig.follow(kLeft, source_rig::sine(700.0, kRate, kLevel));
        rig.follow(kRight, source_rig::sine(3100.0, kRate, kLevel));
        rig.event(0, Static::kPinSwap, swap ? 1 : 0);
        rig.run(4000);
        return std::vector<std::vector<float>>{rig.out(0), rig.out(1)};
    };
    const auto plain = render(false);
    const auto swapped = render(true);
    EXPECT_TRUE(sameBits(plain[0], swapped[1]));
    EXPECT_TRUE(sameBits(plain[1], swapped[0]));
    EXPECT_GT(amplitudeAt(plain[1], 2000, 2000, 3100.0, kRate), 0.01);
}

// Held value 0 ("Echo OnOff" off, or the HFO aimed elsewhere) silences the filter and clears it;
// back on, it starts from rest like a fresh one.
TEST(ModulesBiQuadStatic, HeldValueZeroSilencesAndClears) {
    constexpr int kOff = 3000;
    constexpr int kOn = 6000;
    constexpr int kEnd = 9000;
    const auto render = [](bool history) {
        StaticRig rig;
        rig.set(0, {1, 1760.0, 0.6f, 0.0f, 2});
        const auto sine = source_rig::sine(900.0, kRate, kLevel);
        rig.follow(kLeft, [=](std::uint32_t t) { return t < kOff && !history ? 0.0f : sine(t); });
        rig.event(kOff, Static::kPinHeldA, 0);
        rig.event(kOn, Static::kPinHeldA, 1);
        rig.run(kEnd);
        return rig.out();
    };
    const std::vector<float> out = render(true);
    for (int i = kOff; i < kOn; ++i) {
        ASSERT_EQ(out[static_cast<std::size_t>(i)], 0.0f) << i;
    }
    const std::vector<float> quietBefore = render(false);
    EXPECT_TRUE(sameBits(std::vector<float>(out.begin() + kOn, out.end()),
                         std::vector<float>(quietBefore.begin() + kOn, quietBefore.end())));
}

// After the input falls still at 0 the ringing dies away and the filter settles to idle.
TEST(ModulesBiQuadStatic, SilentInputSettlesToIdle) {
    StaticRig rig;
    rig.set(0, {1, 1000.0, 0.9f, 0.0f, 2});
    rig.follow(kLeft, source_rig::sine(1000.0, kRate, kLevel));
    rig.run(2000);
    EXPECT_FALSE(rig.idle());
    rig.still(kLeft, 0.0f);
    rig.run(kRate / 2);
    EXPECT_TRUE(rig.idle());
    EXPECT_EQ(rig.out().back(), 0.0f);
}

TEST(ModulesBiQuadStatic, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split) {
        StaticRig rig(true);
        rig.set(0, {1, 3000.0, 0.4f, 0.0f, 2});
        rig.set(1, {Static::kHighPassType, 300.0, 0.2f, 0.0f, 1});
        rig.follow(kCutoff1, [](std::uint32_t t) { return 0.65f + 0.1f * std::sin(0.002f * static_cast<float>(t)); });
        rig.follow(kLeft, source_rig::sine(440.0, kRate, 0.4));
        rig.follow(kRight, source_rig::sine(1234.0, kRate, 0.3));
        if (split) {
            std::mt19937 random(5);
            std::uniform_int_distribution<int> at(1, 5000);
            for (int i = 0; i < 60; ++i) {
                rig.event(at(random), i % 2 == 0 ? Static::kPinInputRight : Static::kPinGate, 0);
            }
        }
        rig.run(6000);
        return rig.out(0);
    };
    EXPECT_TRUE(sameBits(render(false), render(true)));
}

TEST(ModulesBiQuadStatic, HostileInputGivesFiniteOutput) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const float cutoffs[] = {kNan, kInf, -kInf, 1.0e30f, -1.0e30f, 5.0f, -5.0f, 0.6f};
    const float resonances[] = {kNan, 100.0f, -5.0f, 1.0f, kInf};
    for (std::int32_t unit : {0, 1}) {
        for (int type : {1, 2, 3, 4, Static::kHighPassType, Static::kPeakType}) {
            StaticRig rig;
            rig.set(0, {type, 1000.0, 0.5f, 0.3f, 2});
            rig.event(0, Static::kPinCutoffUnit, unit);
            rig.follow(kCutoff1, [&](std::uint32_t t) { return cutoffs[(t / 97) % std::size(cutoffs)]; });
            rig.follow(kResonance1, [&](std::uint32_t t) { return resonances[(t / 131) % std::size(resonances)]; });
            rig.follow(kAux1, [&](std::uint32_t t) { return resonances[(t / 61) % std::size(resonances)]; });
            rig.follow(kLeft, [](std::uint32_t t) {
                const float spikes[] = {1.0e30f, -1.0e30f, kNan, kInf, 0.5f, -0.5f, 1.0e-40f, 3.0f};
                return spikes[(t * 7919u) % std::size(spikes)];
            });
            rig.run(6000);
            const bool finite =
                std::all_of(rig.out().begin(), rig.out().end(), [](float y) { return std::isfinite(y); });
            EXPECT_TRUE(finite) << "unit " << unit << " type " << type;
        }
    }
}

}  // namespace
