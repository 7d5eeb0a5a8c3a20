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

// 0.1 cent is a frequency ratio of 5.8e-5; two seconds of zero crossings resolve far finer.
constexpr double kCentTolerance = 0.1;
constexpr int kSine = 0;
constexpr int kSaw = 1;

struct PitchCase {
    const char* name;
    int sampleRate;
    float pitch;
    float ratio;
    int wave;
    double expectedHz;
};

void PrintTo(const PitchCase& c, std::ostream* os) { *os << c.name; }

const PitchCase kPitchCases[] = {
    {"A440At44k", 44100, 0.5f, 0.1f, kSine, 440.0},
    {"A440At48k", 48000, 0.5f, 0.1f, kSine, 440.0},
    {"A440At8k", 8000, 0.5f, 0.1f, kSine, 440.0},
    {"A440At384k", 384000, 0.5f, 0.1f, kSine, 440.0},
    {"SawA440At48k", 48000, 0.5f, 0.1f, kSaw, 440.0},
    {"OctaveUp", 44100, 0.6f, 0.1f, kSine, 880.0},
    {"TwoOctavesDown", 48000, 0.3f, 0.1f, kSine, 110.0},
    {"FifthUp", 44100, 0.5f + 7.0f / 120.0f, 0.1f, kSine, 440.0 * std::pow(2.0, 7.0 / 12.0)},
    {"SemitoneDown", 48000, 0.5f - 1.0f / 120.0f, 0.1f, kSine, 440.0 * std::pow(2.0, -1.0 / 12.0)},
    {"TuneUp50Cents", 44100, 0.5f + 0.5f / 120.0f, 0.1f, kSine, 440.0 * std::pow(2.0, 0.5 / 12.0)},
    {"SubOctaveRatio", 44100, 0.5f, 0.05f, kSine, 220.0},
    {"MiddleC", 44100, 0.425f, 0.1f, kSine, 440.0 * std::pow(2.0, -9.0 / 12.0)},
};

class ModulesOscillatorPitch : public ::testing::TestWithParam<PitchCase> {};

TEST_P(ModulesOscillatorPitch, MeasuresTheFrequencyOfItsPitchAndRatio) {
    const PitchCase& c = GetParam();
    OscillatorRig rig(c.sampleRate);
    rig.still(OscillatorRig::kPitch, c.pitch);
    rig.still(OscillatorRig::kRatio, c.ratio);
    rig.wave(c.wave);
    rig.run(2 * c.sampleRate);

    const double hz = crossingFrequency(rig.out(), c.sampleRate);
    const double error = cents(hz, c.expectedHz);
    RecordProperty("errorCents", std::to_string(error));
    EXPECT_LT(std::abs(error), kCentTolerance) << hz << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorPitch, ::testing::ValuesIn(kPitchCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A pitch that moves sample by sample is followed per sample: a sweep of one octave per second
// matches a sine whose phase adds up each sample's own frequency. Reading the pitch one sample
// late would put the phase 0.006 cycles behind by the end, four times the tolerance.
TEST(ModulesOscillatorPitchMoving, FollowsAMovingPitchSampleBySample) {
    constexpr int kRate = 48000;
    OscillatorRig rig(kRate);
    const std::uint32_t start = rig.engine.sampleClock;
    const auto pitchAt = [](double seconds) { return 0.4 + 0.1 * seconds; };
    rig.moving(OscillatorRig::kPitch, [start, pitchAt](std::uint32_t t) {
        return static_cast<float>(pitchAt(static_cast<double>(t - start) / kRate));
    });
    rig.run(kRate);

    double phase = 0.0;
    for (std::size_t i = 0; i < rig.out().size(); ++i) {
        ASSERT_NEAR(rig.out()[i], 0.5 * std::sin(2.0 * std::numbers::pi * phase), 5e-3) << i;
        phase += 13.75 * std::pow(2.0, 10.0 * pitchAt(static_cast<double>(i) / kRate)) / kRate;
    }
}

// The drift rule: every four seconds a draw r of the oscillators' own generator (seeds
// 0xD74A3516, 0xE9B820CF; a ^= b, b += a, r = b as signed) sets a linear glide of the frequency
// factor, block by block, towards 1 + amount * r / 2^32. Two oscillators of one engine take
// consecutive draws, so they drift apart.
TEST(ModulesOscillatorDrift, GlidesTowardsTargetsFromTheSharedGeneratorInProcessingOrder) {
    constexpr int kRate = 44100;
    constexpr int kBlock = 128;
    constexpr float kDrift = 0.008333f;  // "Osc Drift" at 100 %
    OscillatorRig rig(kRate, kBlock);
    // A second oscillator after the first one, wired to the same signals, recorded on pin 2.
    auto* second = rig.engine.add<Osc>(false);
    for (int s = 0; s < OscillatorRig::kSignals; ++s) {
        rig.source->connect(second, second->moduleIndex, s, OscillatorRig::kSignalPins[s], 0, 0, 0);
    }
    second->connect(rig.recorder, rig.recorder->moduleIndex, 0, 2, 0, 0, 0);
    second->prepare();
    rig.module->prepare();
    for (Osc* osc : {rig.module, second}) {
        const std::uint32_t now = rig.engine.sampleClock;
        osc->receiveEvent(now, Osc::kPinCount, kEventStill, 1, 0.0f, nullptr);
        osc->receiveEvent(now, Osc::kPinActive, kEventStill, 2, 0.0f, nullptr);
        osc->receiveEvent(now, Osc::kPinLevel, kEventStill, 0, 1.0f, nullptr);
        osc->receiveEvent(now, Osc::kPinRatio, kEventStill, 0, 0.1f, nullptr);
        osc->receiveEvent(now, Osc::kPinPitch, kEventStill, 0, 0.5f, nullptr);
        osc->receiveEvent(now, Osc::kPinDrift, kEventStill, 0, kDrift, nullptr);
    }
    constexpr int kBlocks = 400;
    rig.run(kBlocks * kBlock);

    std::uint32_t a = 0xD74A3516u;
    std::uint32_t b = 0xE9B820CFu;
    const int period = kRate * 4 / kBlock;
    const std::vector<float>* outputs[] = {&rig.recorder->samples[0], &rig.recorder->samples[2]};
    double measured[2] = {};
    for (int k = 0; k < 2; ++k) {
        a ^= b;
        b += a;
        const double target = 1.0 + kDrift * 10.0 * static_cast<std::int32_t>(b) / 4294967296.0;
        const double step = (target - 1.0) / period;
        // Block n (from 0) plays factor 1 + (n + 1) * step; blocks 100..399 average n = 249.5.
        const double expectedHz = 440.0 * (1.0 + 250.5 * step);
        const std::vector<float> window(outputs[k]->begin() + 100 * kBlock, outputs[k]->end());
        measured[k] = crossingFrequency(window, kRate);
        EXPECT_LT(std::abs(cents(measured[k], expectedHz)), 0.2) << "oscillator " << k << " " << measured[k];
    }
    EXPECT_GT(std::abs(cents(measured[0], measured[1])), 0.5);
}

TEST(ModulesOscillatorDrift, ZeroDriftKeepsTheFrequencyExact) {
    OscillatorRig rig(44100);
    rig.event(0, Osc::kPinDrift, 0, 0.008333f);
    rig.event(4410, Osc::kPinDrift, 0, 0.0f);
    rig.run(44100 * 3);
    const std::vector<float> window(rig.out().begin() + 4410, rig.out().end());
    EXPECT_LT(std::abs(cents(crossingFrequency(window, 44100), 440.0)), kCentTolerance);
}

}  // namespace
