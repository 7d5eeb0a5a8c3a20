#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <numbers>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "modules/sources/QX_DSP_Noise.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

using namespace source_rig;

namespace {

using Noise = QX_DSP_Noise;

class NoiseRig {
public:
    explicit NoiseRig(int sampleRate = 44100)
        : engine(128, sampleRate), noise(engine.add<Noise>(false)), recorder(engine.add<Recorder>(false)) {
        noise->connect(recorder, recorder->moduleIndex, Noise::kOutput, 0, 0, 0, 0);
        engine.prepareAll();
    }

    void event(int offset, int pin, float value) {
        // The module reads only the value; tenths() has no answer for NaN.
        const std::int32_t integer = std::isnan(value) ? 0 : tenths(value);
        noise->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kEventStill, integer, value,
                            nullptr);
    }
    void filters(float lowpass, float highpass) {
        event(0, Noise::kPinLowpass, lowpass);
        event(0, Noise::kPinHighpass, highpass);
    }
    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out() const { return recorder->samples[0]; }

    TestEngine engine;
    Noise* noise;
    Recorder* recorder;
};

// The generator as described, with the two filters after it when either coefficient is non-zero.
std::vector<float> describedNoise(int frames, float lpCoef, float hpCoef) {
    std::uint32_t x = 0xFCDAB89Eu;
    std::uint32_t y = 1697777473u;
    const bool filtered = lpCoef + hpCoef != 0.0f;
    float lp = 0.0f;
    float hp = 0.0f;
    std::vector<float> out;
    for (int i = 0; i < frames; ++i) {
        y ^= filtered ? x : x << 8;
        x += y;
        const float r = static_cast<float>(static_cast<std::int32_t>(x)) / 4294967296.0f;
        if (!filtered) {
            out.push_back(r);
            continue;
        }
        lp = r - (r - lp) * lpCoef;
        hp = hp + (lp - hp) * hpCoef;
        out.push_back(lp - hp);
    }
    return out;
}

struct GeneratorCase {
    const char* name;
    float lowpass;
    float highpass;
    bool silent;
};

void PrintTo(const GeneratorCase& c, std::ostream* os) { *os << c.name; }

const GeneratorCase kGeneratorCases[] = {
    {"PlainWhenBothFiltersAreOpen", 0.0f, 0.0f, false},
    {"OwnStepWhileFiltering", 0.6f, 0.02f, false},
    {"OwnStepWithOnlyTheHighpass", 0.0f, 0.3f, false},
    {"LowpassClosedHoldsZero", 1.0f, 0.0f, true},
    {"HighpassClosedRemovesEverything", 0.2f, 1.0f, true},
};

class ModulesNoiseGenerator : public ::testing::TestWithParam<GeneratorCase> {};

// The output follows the generator step of its path from the start values: the plain step while
// both filters are open, the filtering path's own step otherwise; closed filters give silence.
TEST_P(ModulesNoiseGenerator, FollowsTheGeneratorOfItsPath) {
    const GeneratorCase& c = GetParam();
    NoiseRig rig;
    rig.filters(c.lowpass, c.highpass);
    rig.run(2000);
    const std::vector<float> expected = describedNoise(2000, c.lowpass, c.highpass);
    for (std::size_t n = 0; n < expected.size(); ++n) {
        ASSERT_NEAR(rig.out()[n], expected[n], 1.0e-6) << n;
        if (c.silent) {
            ASSERT_EQ(rig.out()[n], 0.0f) << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesNoiseGenerator, ::testing::ValuesIn(kGeneratorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Welch's average of Hann-windowed 1024-point power spectra of the whole signal.
std::vector<double> averagePower(const std::vector<float>& x) {
    constexpr std::size_t kSize = 1024;
    std::vector<double> power(kSize / 2 + 1, 0.0);
    for (std::size_t start = 0; start + kSize <= x.size(); start += kSize / 2) {
        std::vector<std::complex<double>> data(kSize);
        for (std::size_t i = 0; i < kSize; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kSize);
            data[i] = w * x[start + i];
        }
        fft(data);
        for (std::size_t k = 0; k < power.size(); ++k) {
            power[k] += std::norm(data[k]);
        }
    }
    return power;
}

double bandMean(const std::vector<double>& power, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t k = from; k < to; ++k) {
        sum += power[k];
    }
    return sum / static_cast<double>(to - from);
}

// |H|^2 of the lowpass followed by "input minus its smoothed copy" at bin k of 1024.
double filterPower(double lpCoef, double hpCoef, std::size_t k) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k) / 1024.0);
    const std::complex<double> lowpass = (1.0 - lpCoef) / (1.0 - lpCoef * z1);
    const std::complex<double> smoothed = hpCoef / (1.0 - (1.0 - hpCoef) * z1);
    return std::norm(lowpass * (1.0 - smoothed));
}

struct TiltCase {
    const char* name;
    float lowpass;
    float highpass;
};

void PrintTo(const TiltCase& c, std::ostream* os) { *os << c.name; }

class ModulesNoiseSpectrum : public ::testing::TestWithParam<TiltCase> {};

// Measured band levels relative to the top octave match the one-pole responses within 0.5 dB,
// and white noise stays flat at the level of a uniform draw over [-0.5, 0.5).
TEST_P(ModulesNoiseSpectrum, FiltersTiltTheSpectrumAsTheirResponses) {
    const TiltCase& c = GetParam();
    NoiseRig rig;
    rig.filters(c.lowpass, c.highpass);
    rig.run(1 << 19);
    const std::vector<double> power = averagePower(rig.out());
    constexpr std::size_t kBands[][2] = {{2, 8}, {8, 32}, {32, 128}, {128, 256}};
    constexpr std::size_t kTop[2] = {256, 512};
    const auto theory = [&c](std::size_t from, std::size_t to) {
        double sum = 0.0;
        for (std::size_t k = from; k < to; ++k) {
            sum += filterPower(c.lowpass, c.highpass, k);
        }
        return sum / static_cast<double>(to - from);
    };
    const double measuredTop = bandMean(power, kTop[0], kTop[1]);
    const double theoryTop = theory(kTop[0], kTop[1]);
    for (const auto& band : kBands) {
        const double measured = 10.0 * std::log10(bandMean(power, band[0], band[1]) / measuredTop);
        const double expected = 10.0 * std::log10(theory(band[0], band[1]) / theoryTop);
        EXPECT_NEAR(measured, expected, 0.5) << "bins " << band[0] << ".." << band[1];
    }
    if (c.lowpass == 0.0f && c.highpass == 0.0f) {
        double sum = 0.0;
        double squares = 0.0;
        for (const float v : rig.out()) {
            ASSERT_GE(v, -0.5f);
            ASSERT_LT(v, 0.5f);
            sum += v;
            squares += static_cast<double>(v) * v;
        }
        const double n = static_cast<double>(rig.out().size());
        EXPECT_NEAR(sum / n, 0.0, 0.002);
        EXPECT_NEAR(std::sqrt(squares / n), 0.5 / std::sqrt(3.0), 0.002);
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesNoiseSpectrum,
                         ::testing::Values(TiltCase{"White", 0.0f, 0.0f}, TiltCase{"Lowpass", 0.9f, 0.0f},
                                           TiltCase{"Highpass", 0.0f, 0.05f}, TiltCase{"BandPass", 0.7f, 0.01f}),
                         [](const auto& info) { return std::string(info.param.name); });

struct HoldCase {
    int sampleRate;
    float tone;
    int period;  // samples per drawn value
};

void PrintTo(const HoldCase& c, std::ostream* os) { *os << "tone " << c.tone << " at " << c.sampleRate; }

class ModulesNoiseHold : public ::testing::TestWithParam<HoldCase> {};

// "Noise Tone" holds each value for that many samples at 44.1 kHz, scaled with the sample rate;
// below 2 samples there is no hold.
TEST_P(ModulesNoiseHold, HoldsEachValueForThePeriod) {
    const HoldCase& c = GetParam();
    NoiseRig rig(c.sampleRate);
    rig.event(0, Noise::kPinTone, c.tone);
    rig.run(4000);
    const auto& out = rig.out();
    std::vector<int> runs;
    int length = 1;
    for (std::size_t n = 1; n < out.size(); ++n) {
        if (out[n] == out[n - 1]) {
            ++length;
        } else {
            runs.push_back(length);
            length = 1;
        }
    }
    ASSERT_GT(runs.size(), 4u);
    // The first run is the start value; every later complete run is one held draw.
    for (std::size_t k = 1; k < runs.size(); ++k) {
        ASSERT_EQ(runs[k], c.period) << "run " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesNoiseHold,
                         ::testing::Values(HoldCase{44100, 10.0f, 10}, HoldCase{44100, 50.0f, 50},
                                           HoldCase{48000, 10.0f, 10}, HoldCase{96000, 10.0f, 21},
                                           HoldCase{22050, 4.0f, 2}, HoldCase{44100, 1.5f, 1}));

// Held values still pass both filters every sample: the output then changes every sample.
TEST(ModulesNoiseHoldFiltered, FiltersRunOnHeldValues) {
    NoiseRig rig;
    rig.filters(0.5f, 0.01f);
    rig.event(0, Noise::kPinTone, 8.0f);
    rig.run(1000);
    for (std::size_t n = 100; n < rig.out().size(); ++n) {
        ASSERT_NE(rig.out()[n], rig.out()[n - 1]) << n;
    }
}

// Moving is announced once; switched off the output falls to zero at the event's sample, still
// is announced and the module idles after one block.
TEST(ModulesNoiseOnOff, SilencesAnnouncesAndIdles) {
    NoiseRig rig;
    rig.event(300, Noise::kPinOnOff, 0.0f);
    rig.run(300 + 129);
    ASSERT_EQ(rig.recorder->events.size(), 2u);
    EXPECT_EQ(rig.recorder->events[0].kind, kEventMoving);
    EXPECT_EQ(rig.recorder->events[1].kind, kEventStill);
    EXPECT_NE(rig.out()[299], 0.0f);
    for (std::size_t n = 300; n < rig.out().size(); ++n) {
        ASSERT_EQ(rig.out()[n], 0.0f) << n;
    }
    EXPECT_NE(rig.engine.moduleFlags[rig.noise->moduleIndex] & kModuleIdle, 0u);
    rig.event(10, Noise::kPinOnOff, 1.0f);
    rig.run(100);
    EXPECT_EQ(rig.recorder->events.back().kind, kEventMoving);
    EXPECT_NE(rig.out().back(), 0.0f);
}

// The same events give the same samples whether rendered whole or split at arbitrary times, and
// hostile values on every pin leave the output finite and within [-1, 1].
TEST(ModulesNoiseProperties, SplitEqualsWholeAndHostileValuesStayBounded) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr int kUnusedPin = 63;
    NoiseRig whole;
    NoiseRig split;
    for (NoiseRig* rig : {&whole, &split}) {
        rig->filters(0.3f, 0.02f);
        rig->event(700, Noise::kPinTone, 7.0f);
        rig->event(1500, Noise::kPinLowpass, 0.0f);
        rig->event(1500, Noise::kPinHighpass, 0.0f);
        rig->event(2300, Noise::kPinTone, 0.0f);
        int at = 3000;
        for (const float hostile : {kNaN, kInf, -kInf, 1.0e30f, -1.0e30f, 2.0f, -3.0f}) {
            for (const int pin : {Noise::kPinLowpass, Noise::kPinHighpass, Noise::kPinTone}) {
                rig->event(at, pin, hostile);
                at += 37;
            }
        }
    }
    std::mt19937 random(20241210u);
    std::uniform_int_distribution<int> at(0, 3999);
    for (int i = 0; i < 150; ++i) {
        split.event(at(random), kUnusedPin, 0.0f);
    }
    whole.run(4000);
    split.run(4000);
    ASSERT_EQ(whole.out(), split.out());
    for (const float v : whole.out()) {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_LE(std::abs(v), 1.0f);
    }
}

}  // namespace
