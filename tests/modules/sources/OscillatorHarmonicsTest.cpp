#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

#include "modules/sources/OscillatorRig.h"

using namespace source_rig;

namespace {

using Osc = QX_DSP_OSC_Multi_Out_x8;

constexpr int kSaw = 1;
constexpr int kPulse = 8;
constexpr std::size_t kFftSize = 65536;
constexpr std::size_t kSettle = 1024;  // skip the start, so the window sees a steady tone

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

// Level of the strongest bin within `reach` bins of `hz`.
double peakNear(const std::vector<double>& bins, double hz, int sampleRate, int reach) {
    const auto centre = static_cast<long>(std::lround(hz * kFftSize / sampleRate));
    double peak = 0.0;
    for (long i = std::max(0L, centre - reach); i <= std::min<long>(centre + reach, bins.size() - 1); ++i) {
        peak = std::max(peak, bins[static_cast<std::size_t>(i)]);
    }
    return peak;
}

struct HarmonicsCase {
    const char* name;
    double hz;
    int option;        // "Osc Harmonics" option index
    int expectedCount;  // harmonics that must sound; the next one must not
};

void PrintTo(const HarmonicsCase& c, std::ostream* os) { *os << c.name; }

// 440 Hz with the option labelled 1024 keeps trunc(20000 / 440) = 45; the option labelled 512
// gives 256 where the ceiling allows more; low options give their own number.
const HarmonicsCase kHarmonicsCases[] = {
    {"Limit45At440", 440.0, 37, 45},
    {"Option512Gives256", 55.0, 36, 256},
    {"FourHarmonics", 440.0, 3, 4},
    {"Option48", 220.0, 32, 48},
};

class ModulesOscillatorHarmonics : public ::testing::TestWithParam<HarmonicsCase> {};

TEST_P(ModulesOscillatorHarmonics, SawStopsAtTheChosenHarmonicCount) {
    const HarmonicsCase& c = GetParam();
    constexpr int kRate = 48000;
    OscillatorRig rig(kRate);
    rig.still(OscillatorRig::kPitch, pitchOf(c.hz));
    rig.wave(kSaw);
    rig.harmonicsOption(c.option);
    rig.run(static_cast<int>(kSettle + kFftSize));

    const std::vector<double> bins = spectrum(rig.out(), kSettle, kFftSize);
    const double fundamental = peakNear(bins, c.hz, kRate, 4);
    const double last = peakNear(bins, c.hz * c.expectedCount, kRate, 4);
    const double beyond = peakNear(bins, c.hz * (c.expectedCount + 1), kRate, 4);
    // A saw's harmonic n is 1/n of the fundamental.
    EXPECT_NEAR(decibels(last / fundamental), decibels(1.0 / c.expectedCount), 1.0);
    EXPECT_LT(decibels(beyond / fundamental), -90.0);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorHarmonics, ::testing::ValuesIn(kHarmonicsCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct AliasCase {
    const char* name;
    int sampleRate;
    double hz;
};

void PrintTo(const AliasCase& c, std::ostream* os) { *os << c.name; }

const AliasCase kAliasCases[] = {
    {"Note100At44k", 44100, 2637.02},
    {"Note112At44k", 44100, 5274.04},
    {"Note100At48k", 48000, 2637.02},
    {"Note124At96k", 96000, 10548.08},
    {"Note84At8k", 8000, 1046.50},
};

class ModulesOscillatorAliasing : public ::testing::TestWithParam<AliasCase> {};

// Everything in the spectrum that is not one of the saw's own harmonics below the Nyquist-safe
// ceiling is residue: folded harmonics, interpolation images and rounding. The window's side
// lobes bound what can be seen at about -92 dB next to the peaks, which is why the guard around
// each harmonic is 12 bins.
TEST_P(ModulesOscillatorAliasing, HighSawCarriesNoHarmonicAboveTheCeiling) {
    const AliasCase& c = GetParam();
    OscillatorRig rig(c.sampleRate);
    rig.still(OscillatorRig::kPitch, pitchOf(c.hz));
    rig.wave(kSaw);
    rig.harmonicsOption(37);
    rig.run(static_cast<int>(kSettle + kFftSize));

    const std::vector<double> bins = spectrum(rig.out(), kSettle, kFftSize);
    const double ceilingHz = 20000.0 * std::min(1.0, c.sampleRate / 44100.0);
    const int allowed = static_cast<int>(ceilingHz / c.hz);
    std::vector<bool> own(bins.size(), false);
    constexpr long kGuard = 12;
    for (int n = 1; n <= allowed; ++n) {
        const auto centre = static_cast<long>(std::lround(n * c.hz * kFftSize / c.sampleRate));
        for (long i = std::max(0L, centre - kGuard); i <= std::min<long>(centre + kGuard, bins.size() - 1); ++i) {
            own[static_cast<std::size_t>(i)] = true;
        }
    }
    double residue = 0.0;
    for (std::size_t i = kGuard; i < bins.size(); ++i) {
        if (!own[i]) {
            residue = std::max(residue, bins[i]);
        }
    }
    const double residueDb = decibels(residue / peakNear(bins, c.hz, c.sampleRate, 4));
    RecordProperty("residueDb", std::to_string(residueDb));
    EXPECT_LT(residueDb, -90.0);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorAliasing, ::testing::ValuesIn(kAliasCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ModulesOscillatorPulseWidth : public ::testing::TestWithParam<float> {};

// The pulse is the difference of two saw readings `width` cycles apart: low for `width` of the
// cycle, high for the rest, with no DC.
TEST_P(ModulesOscillatorPulseWidth, LowPartLastsTheWidth) {
    const float width = GetParam();
    constexpr int kRate = 48000;
    OscillatorRig rig(kRate);
    rig.still(OscillatorRig::kPitch, pitchOf(100.0));
    rig.still(OscillatorRig::kWidth, width);
    rig.wave(kPulse);
    rig.run(kRate);

    const std::vector<float>& out = rig.out();
    double low = 0.0;
    double sum = 0.0;
    for (const float x : out) {
        low += x < 0.0f ? 1.0 : 0.0;
        sum += x;
    }
    EXPECT_NEAR(low / out.size(), width, 0.01);
    EXPECT_NEAR(sum / out.size(), 0.0, 0.005);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesOscillatorPulseWidth, ::testing::Values(0.1f, 0.25f, 0.5f, 0.8f));

// A quarter cycle of phase modulation turns the sine into a cosine: the two outputs together
// trace a circle of radius 0.5.
TEST(ModulesOscillatorPhaseModulation, QuarterCycleShiftsTheSineByNinetyDegrees) {
    OscillatorRig plain;
    OscillatorRig shifted;
    shifted.still(OscillatorRig::kPhaseMod, 0.25f);
    plain.run(4096);
    shifted.run(4096);
    for (std::size_t i = 0; i < plain.out().size(); ++i) {
        const double radius = std::hypot(plain.out()[i], shifted.out()[i]);
        ASSERT_NEAR(radius, 0.5, 1e-3) << i;
    }
}

// Modulation far below -8 cycles still reads the table at the same point of the cycle.
TEST(ModulesOscillatorPhaseModulation, LargeNegativeModulationReadsTheSameCycle) {
    OscillatorRig near;
    OscillatorRig far;
    near.still(OscillatorRig::kPhaseMod, -0.3f);
    far.still(OscillatorRig::kPhaseMod, -20.3f);
    near.wave(kSaw);
    far.wave(kSaw);
    near.run(4096);
    far.run(4096);
    for (std::size_t i = 0; i < near.out().size(); ++i) {
        ASSERT_NEAR(far.out()[i], near.out()[i], 1e-3) << i;
    }
}

// A moving modulation is read per sample: a modulating sine gives sidebands at the carrier
// plus and minus the modulator.
TEST(ModulesOscillatorPhaseModulation, MovingModulationMakesSidebands) {
    constexpr int kRate = 48000;
    OscillatorRig rig(kRate);
    rig.moving(OscillatorRig::kPhaseMod, sine(110.0, kRate, 0.1));
    rig.run(static_cast<int>(kSettle + kFftSize));
    const std::vector<double> bins = spectrum(rig.out(), kSettle, kFftSize);
    const double carrier = peakNear(bins, 440.0, kRate, 4);
    // Index 2 pi 0.1: the first sidebands are J1(0.628) / J0(0.628), about -9.6 dB.
    EXPECT_NEAR(decibels(peakNear(bins, 550.0, kRate, 4) / carrier), -9.6, 0.5);
    EXPECT_NEAR(decibels(peakNear(bins, 330.0, kRate, 4) / carrier), -9.6, 0.5);
}

}  // namespace
