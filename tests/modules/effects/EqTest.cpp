// The parametric EQ measured with sines: each band's gain at its centre and on its skirts against
// the peak law, bands in series, skipped bands, the pre/post engine pairs, gain moves without
// clicks, the held constant, sample accuracy across split stretches and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/EqRig.h"
#include "modules/effects/FilterRig.h"

using namespace eq_test;
using filter_test::amplitudeAt;
using filter_test::decibels;

namespace {

constexpr int kSettle = 8192;    // samples: the narrowest band tested has rung out well before
constexpr int kMeasure = 16384;  // Hann window: the image at -f lies far below the tolerance
constexpr double kToleranceDb = 0.05;
constexpr float kLevel = 0.25f;

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

std::vector<float> tail(const std::vector<float>& x, std::size_t from) {
    return {x.begin() + static_cast<std::ptrdiff_t>(from), x.end()};
}

// Measured gain of one band at `hz`: a sine at that frequency through a single engine.
double measuredGain(const Band& band, double hz, int sampleRate, bool pitchUnits = false) {
    EqRig rig(1, 1, sampleRate);
    if (pitchUnits) {
        rig.send(rig.coeffs[0], 0, Coeff::kPinFrequencyUnit, 0);
        rig.setBand(0, band);
        rig.still(0, kFrequency, filter_test::pitchOf(band.hz));
    } else {
        rig.setBand(0, band);
    }
    rig.play(source_rig::sine(hz, sampleRate, kLevel));
    rig.run(kSettle + kMeasure);
    return amplitudeAt(rig.out(), kSettle, kMeasure, hz, sampleRate) / kLevel;
}

struct ResponseCase {
    const char* name;
    Band band;
    int sampleRate;
    bool pitchUnits;
};

const ResponseCase kResponseCases[] = {
    {"Boost1kNarrow", {1000.0, 1.0f, 0.3f}, 44100, false},
    {"Cut200Wide", {200.0, 0.3f, -0.4f}, 44100, false},
    {"Boost8kAt48k", {8000.0, 0.6f, 0.45f}, 48000, false},
    {"Cut3kAt96k", {3000.0, 0.8f, -0.25f}, 96000, false},
    {"Boost440PitchUnits", {440.0, 0.7f, 0.2f}, 44100, true},
};

class ModulesEqBand : public testing::TestWithParam<ResponseCase> {};

// The centre gain is the law's G / (1.001 - G); the skirts follow the law's response, which
// places the bandwidth.
TEST_P(ModulesEqBand, GainAtCentreAndSkirtsFollowsTheLaw) {
    const ResponseCase& c = GetParam();
    const double centre = measuredGain(c.band, c.band.hz, c.sampleRate, c.pitchUnits);
    EXPECT_NEAR(decibels(centre), decibels(centreGain(c.band.gain)), kToleranceDb);
    for (double ratio : {1.3, 1.0 / 1.5, 2.0}) {
        const double hz = c.band.hz * ratio;
        const double measured = measuredGain(c.band, hz, c.sampleRate, c.pitchUnits);
        EXPECT_NEAR(decibels(measured), decibels(peakResponse(c.band, hz, c.sampleRate)), kToleranceDb)
            << "at " << hz << " Hz";
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesEq, ModulesEqBand, testing::ValuesIn(kResponseCases),
                         [](const testing::TestParamInfo<ResponseCase>& info) { return std::string(info.param.name); });

TEST(ModulesEq, ThreeBandsMultiplyInSeries) {
    const Band bands[] = {{200.0, 0.6f, 0.35f}, {1000.0, 0.9f, -0.3f}, {5000.0, 0.5f, 0.2f}};
    for (double hz : {200.0, 1000.0, 5000.0, 2200.0}) {
        EqRig rig(3);
        for (int b = 0; b < 3; ++b) {
            rig.setBand(b, bands[b]);
        }
        rig.play(source_rig::sine(hz, 44100, kLevel));
        rig.run(kSettle + kMeasure);
        double expected = 1.0;
        for (const Band& band : bands) {
            expected *= peakResponse(band, hz, 44100);
        }
        const double measured = amplitudeAt(rig.out(), kSettle, kMeasure, hz, 44100) / kLevel;
        EXPECT_NEAR(decibels(measured), decibels(expected), kToleranceDb) << hz << " Hz";
    }
}

// A band at 0 dB, or the whole EQ off, leaves the audio bit for bit; any gain brings it back.
struct SkipCase {
    const char* name;
    int pin;               // coefficient pin that takes the band out
    float signalValue;     // the gain signal meanwhile
    std::int32_t offValue;  // the event on `pin` that takes it out
    std::int32_t onValue;   // the event that brings the band back
};

const SkipCase kSkipCases[] = {
    {"ZeroDbGain", Coeff::kPinGain, 0.0f, 0, 0},
    {"EqActiveOff", Coeff::kPinOn, 0.3f, 0, 1},
};

class ModulesEqSkip : public testing::TestWithParam<SkipCase> {};

TEST_P(ModulesEqSkip, InactiveBandPassesTheInputUnchanged) {
    constexpr int kBack = 6000;  // where the band comes back
    const SkipCase& c = GetParam();
    EqRig rig(1);
    rig.setBand(0, {1000.0, 0.7f, c.signalValue});
    if (c.pin == Coeff::kPinOn) {
        rig.send(rig.coeffs[0], 0, Coeff::kPinOn, c.offValue);
        rig.send(rig.coeffs[0], kBack, Coeff::kPinOn, c.onValue);
    } else {
        rig.still(0, kGain, 0.3f, kBack);
    }
    const auto input = [](std::uint32_t t) {
        return static_cast<float>(0.3 * std::sin(0.142 * t) + 0.2 * std::sin(0.0031 * t * t * 1e-3));
    };
    const std::uint32_t origin = rig.engine.sampleClock;
    rig.play(input);
    rig.run(kBack + kSettle);
    std::vector<float> expected(kBack + kSettle);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i] = input(origin + static_cast<std::uint32_t>(i));
    }
    EXPECT_TRUE(sameBits(std::vector<float>(rig.out().begin(), rig.out().begin() + kBack),
                         std::vector<float>(expected.begin(), expected.begin() + kBack)));
    int changed = 0;
    for (std::size_t i = kBack; i < expected.size(); ++i) {
        changed += std::fabs(rig.out()[i] - expected[i]) > 1.0e-3f ? 1 : 0;
    }
    EXPECT_GT(changed, kSettle / 4) << "the band did not come back";
}

INSTANTIATE_TEST_SUITE_P(ModulesEq, ModulesEqSkip, testing::ValuesIn(kSkipCases),
                         [](const testing::TestParamInfo<SkipCase>& info) { return std::string(info.param.name); });

// Two engines share the band, as the pre and post pairs do; one is enabled at a time. A pair
// that was disabled starts again from rest.
TEST(ModulesEq, PrePostPairsFilterOnlyWhileEnabled) {
    constexpr int kSwap = 20000;
    constexpr int kBack = 40000;
    constexpr int kEnd = 60000;
    const Band band{1000.0, 0.8f, 0.4f};
    const auto sine = source_rig::sine(1000.0, 44100, kLevel);
    struct Outputs {
        std::vector<float> first, second;
        std::uint32_t origin;
    };
    const auto render = [&](bool swapping) {
        EqRig rig(1, 2);
        const std::uint32_t origin = rig.engine.sampleClock;
        rig.setBand(0, band);
        rig.send(rig.eqs[1], 0, EqEngine::kPinEnable, 0);
        rig.send(rig.eqs[0], swapping ? kSwap : 0, EqEngine::kPinEnable, 0);
        if (swapping) {
            rig.send(rig.eqs[1], kSwap, EqEngine::kPinEnable, 1);
        }
        rig.send(rig.eqs[0], kBack, EqEngine::kPinEnable, 1);
        rig.send(rig.eqs[1], kBack, EqEngine::kPinEnable, 0);
        rig.play(sine);
        rig.run(kEnd);
        return Outputs{rig.out(0), rig.out(1), origin};
    };
    const auto within = [](const std::vector<float>& x, int from, int to) {
        return std::vector<float>(x.begin() + from, x.begin() + to);
    };
    const Outputs swapped = render(true);
    std::vector<float> input(kEnd);
    for (int i = 0; i < kEnd; ++i) {
        input[static_cast<std::size_t>(i)] = sine(swapped.origin + static_cast<std::uint32_t>(i));
    }
    const double boost = centreGain(band.gain);
    EXPECT_NEAR(amplitudeAt(swapped.first, kSettle, kMeasure / 2, 1000.0, 44100) / kLevel, boost, boost * 0.01);
    EXPECT_TRUE(sameBits(within(swapped.second, 0, kSwap), within(input, 0, kSwap)));
    EXPECT_TRUE(sameBits(within(swapped.first, kSwap, kBack), within(input, kSwap, kBack)));
    EXPECT_NEAR(amplitudeAt(swapped.second, kSwap + kSettle, kMeasure / 2, 1000.0, 44100) / kLevel, boost,
                boost * 0.01);
    EXPECT_TRUE(sameBits(within(swapped.second, kBack, kEnd), within(input, kBack, kEnd)));
    // Engine 0 filtered before the swap; back on, it must sound like one that never had.
    const Outputs fresh = render(false);
    EXPECT_TRUE(sameBits(within(swapped.first, kBack, kEnd), within(fresh.first, kBack, kEnd)));
}

double largestStep(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double largest = 0.0;
    for (std::size_t i = from + 1; i < to; ++i) {
        largest = std::max(largest, std::fabs(static_cast<double>(x[i]) - x[i - 1]));
    }
    return largest;
}

// Largest second difference: a kink shows here long before it shows as a step.
double largestBend(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double largest = 0.0;
    for (std::size_t i = from + 2; i < to; ++i) {
        largest = std::max(largest, std::fabs(static_cast<double>(x[i]) - 2.0 * x[i - 1] + x[i - 2]));
    }
    return largest;
}

// The gain sweeps from a cut to a boost over 30 ms while a sine plays; the largest step between
// samples, and the largest bend, may not exceed what the boosted band gives at rest.
TEST(ModulesEq, MovingGainDoesNotClick) {
    constexpr int kStart = 8000;
    constexpr int kRamp = 1323;  // 30 ms, the converter's ramp
    constexpr float kFrom = -0.3f;
    constexpr float kTo = 0.4f;
    const Band band{1000.0, 0.6f, kFrom};
    const auto render = [&](bool moving, std::int32_t perSample) {
        EqRig rig(1);
        rig.send(rig.eqs[0], 0, EqEngine::kPinPerSample, perSample);
        rig.setBand(0, {band.hz, band.width, moving ? kFrom : kTo});
        if (moving) {
            const std::uint32_t from = rig.engine.sampleClock + kStart;
            rig.follow(0, kGain, [=](std::uint32_t t) {
                const float x = std::min(static_cast<float>(t - from) / kRamp, 1.0f);
                return kFrom + (kTo - kFrom) * x;
            }, kStart);
            rig.still(0, kGain, kTo, kStart + kRamp);
        }
        rig.play(source_rig::sine(1000.0, 44100, kLevel));
        rig.run(kStart + kRamp + kSettle);
        return rig.out();
    };
    const std::vector<float> still = render(false, 1);
    const double atRest = largestStep(still, kSettle, still.size());
    const std::vector<float> swept = render(true, 1);
    const std::size_t sweepEnd = kStart + kRamp + 256;  // the ramp and the band's response to its end
    const double sweeping = largestStep(swept, kStart - 1, sweepEnd);
    const std::vector<float> blockwise = render(true, 0);
    const double blockSteps = largestStep(blockwise, kStart - 1, sweepEnd);
    RecordProperty("largestStepAtRest", std::to_string(atRest));
    RecordProperty("largestStepPerSample", std::to_string(sweeping));
    RecordProperty("largestStepPerBlock", std::to_string(blockSteps));
    const double bendAtRest = largestBend(still, kSettle, still.size());
    const double bendSweeping = largestBend(swept, kStart - 2, sweepEnd);
    RecordProperty("largestBendAtRest", std::to_string(bendAtRest));
    RecordProperty("largestBendPerSample", std::to_string(bendSweeping));
    RecordProperty("largestBendPerBlock", std::to_string(largestBend(blockwise, kStart - 2, sweepEnd)));
    EXPECT_LE(sweeping, atRest * 1.02) << "per block: " << blockSteps;
    EXPECT_LE(bendSweeping, bendAtRest * 1.02);
}

// A constant input settles the engine on that constant (the peak passes DC unchanged), which it
// then holds without filtering and goes idle; a moving input filters again.
TEST(ModulesEq, ConstantInputIsHeldAndIdle) {
    constexpr int kSettleConstant = 22050;
    constexpr float kConstant = 0.25f;
    EqRig rig(1);
    rig.setBand(0, {1000.0, 0.6f, 0.4f});
    rig.play([](std::uint32_t) { return kConstant; }, 0, kEventStill);
    rig.run(kSettleConstant);
    EXPECT_TRUE(rig.idle(rig.eqs[0]));
    const std::vector<float> last = tail(rig.out(), kSettleConstant - 128);
    for (float y : last) {
        ASSERT_EQ(y, last[0]);
    }
    EXPECT_NEAR(last[0], kConstant, 1.0e-6f);
    rig.play(source_rig::sine(1000.0, 44100, kLevel));
    rig.run(kSettle + kMeasure);
    const double gain = amplitudeAt(rig.out(), kSettleConstant + kSettle, kMeasure, 1000.0, 44100) / kLevel;
    EXPECT_NEAR(decibels(gain), decibels(centreGain(0.4f)), kToleranceDb);
}

bool allFinite(const std::vector<float>& x) {
    return std::all_of(x.begin(), x.end(), [](float y) { return std::isfinite(y); });
}

TEST(ModulesEq, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split) {
        EqRig rig(3);
        rig.setBand(0, {300.0, 0.5f, 0.3f});
        rig.setBand(1, {2000.0, 0.8f, -0.2f});
        rig.setBand(2, {6000.0, 0.4f, 0.0f});
        rig.follow(0, kFrequency,
                   [](std::uint32_t t) { return 30.0f + 20.0f * std::sin(0.0013f * static_cast<float>(t)); });
        rig.follow(1, kGain, [](std::uint32_t t) { return 0.4f * std::sin(0.0021f * static_cast<float>(t)); }, 700);
        rig.still(2, kGain, 0.25f, 2500);
        rig.play(source_rig::sine(523.0, 44100, 0.4));
        if (split) {
            std::mt19937 random(11);
            std::uniform_int_distribution<int> at(1, 5000);
            for (int i = 0; i < 60; ++i) {
                rig.send(rig.eqs[0], at(random), EqEngine::kPinGate, 0);
                rig.send(rig.coeffs[static_cast<std::size_t>(i % 3)], at(random), 4, 0);
            }
        }
        rig.run(6000);
        return rig.out();
    };
    EXPECT_TRUE(sameBits(render(false), render(true)));
}

TEST(ModulesEq, HostileInputGivesFiniteOutput) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const float frequencies[] = {kNan, kInf, -kInf, 1.0e30f, -1.0e30f, 0.0f, 5000.0f, 2.0f};
    const float widths[] = {kNan, kInf, -3.0f, 1.0e20f, 0.0f};
    const float gains[] = {kNan, kInf, -kInf, 5.0f, -5.0f, 0.5f, -0.5f};
    for (std::int32_t unit : {0, 1}) {
        EqRig rig(2);
        rig.setBand(1, {1000.0, 0.5f, 0.3f});
        rig.send(rig.coeffs[0], 0, Coeff::kPinFrequencyUnit, unit);
        rig.follow(0, kFrequency, [&](std::uint32_t t) { return frequencies[(t / 97) % std::size(frequencies)]; });
        rig.follow(0, kWidth, [&](std::uint32_t t) { return widths[(t / 131) % std::size(widths)]; });
        rig.follow(0, kGain, [&](std::uint32_t t) { return gains[(t / 71) % std::size(gains)]; });
        rig.play([](std::uint32_t t) {
            const float spikes[] = {1.0e30f, -1.0e30f, kNan, kInf, 0.5f, -0.5f, 1.0e-40f, 3.0f};
            return spikes[(t * 7919u) % std::size(spikes)];
        });
        rig.run(8000);
        EXPECT_TRUE(allFinite(rig.out())) << "unit " << unit;
        for (int k = 0; k < Coeff::kStreams; ++k) {
            EXPECT_TRUE(allFinite(std::vector<float>(rig.coeffs[0]->outputs[k], rig.coeffs[0]->outputs[k] + 128)));
        }
    }
}

}  // namespace
