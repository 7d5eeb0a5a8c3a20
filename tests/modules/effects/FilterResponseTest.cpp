// Measured gain of sines through each filter law against the law's own response, at the cutoff
// and an octave above, at two sample rates and in both slopes.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "modules/effects/FilterRig.h"

using namespace filter_test;

namespace {

constexpr double kCutoffHz = 1000.0;
constexpr int kSettle = 16384;   // samples before measuring: the most resonant law has rung out
constexpr int kMeasure = 16384;  // Hann window: the image at -f lies hundreds of bins away
constexpr double kToleranceDb = 0.1;

// Damping tables per law, 12 dB then 24 dB.
double damping(int type, int stages) {
    const double table[][2] = {{0.902, 0.812}, {0.456, 0.323}, {0.294, 0.2506}, {0.754, 0.682}};
    const double highPass[2] = {0.907, 0.817};
    return type == Filter::kHighPassType ? highPass[stages - 1] : table[type - 1][stages - 1];
}

// One stage of a biquad law at cutoff f0.
double biquadStage(int type, int stages, double f0, double res, int sr, double omega) {
    const double r = damping(type, stages) * res;
    const double w0 = std::numbers::pi * f0 / sr;
    double k[5];
    if (type == 1 || type == Filter::kHighPassType) {
        const double d = 1.5 * (1.01 - r);
        const double kk = type == 1 ? 1.0 / std::tan(w0) : std::tan(w0);
        const double a0 = kk * kk + d * kk + 1.0;
        const double sign = type == 1 ? 1.0 : -1.0;
        const double a1 = type == 1 ? 2.0 * (1.0 - kk * kk) / a0 : 2.0 * (kk * kk - 1.0) / a0;
        const double set[5] = {1.0 / a0, sign * 2.0 / a0, 1.0 / a0, a1, (kk * kk - d * kk + 1.0) / a0};
        std::copy(std::begin(set), std::end(set), k);
    } else if (type == 2 || type == 4) {
        const double d = type == 2 ? 1.0 / std::pow(r + 0.9, 4) : 1.0 / std::pow(r + 0.45, 8);
        const double t = std::tan(w0);
        const double a0 = t * t + d * t + 1.0;
        const double set[5] = {t * t / a0, 2.0 * t * t / a0, t * t / a0, (2.0 * t * t - 2.0) / a0,
                               (t * t - d * t + 1.0) / a0};
        std::copy(std::begin(set), std::end(set), k);
    } else {
        const double alpha = std::sin(2.0 * w0) * std::pow(1.0 + r, -8.0);
        const double c = std::cos(2.0 * w0);
        const double a0 = 1.0 + alpha;
        const double set[5] = {(1.0 - c) / (2.0 * a0), (1.0 - c) / a0, (1.0 - c) / (2.0 * a0), -2.0 * c / a0,
                               (1.0 - alpha) / a0};
        std::copy(std::begin(set), std::end(set), k);
    }
    return biquadGain(k, omega);
}

// p += f (x - p + fb (p - q)); q += f (p - q), as a transfer function.
std::complex<double> twoPoleSection(double f, double fb, std::complex<double> z1) {
    const double a = 1.0 - f + f * fb;
    return f * f / ((1.0 - (1.0 - f) * z1) * (1.0 - a * z1) + f * f * fb * z1);
}

double twoPoleStage(int type, int stages, double f0, double res, int sr, double omega) {
    const double g = std::min(2.0 * f0 / sr, 1.0);
    const double s = (type == 6 ? 10.0 - stages : 11.0 - stages) / 10.0;
    const double amount = res * s * s;
    const double f1 = 1.0 - std::pow(1.0 - g, 3.0);
    const double fb1 = type == 5 ? amount * (2.0 - f1 * f1) : amount * (2.0 - f1);
    const std::complex<double> z1 = std::polar(1.0, -omega);
    std::complex<double> h = twoPoleSection(f1, fb1, z1);
    if (type == 6) {
        h *= twoPoleSection(f1, fb1, z1);
    } else if (type == 7 || type == 8) {
        const double f2 = type == 7 ? f1 - 0.5 * f1 * (1.0 - f1) : 0.6667 * amount * (1.0 - f1) + f1;
        h *= twoPoleSection(f2, amount * (2.0 - f2), z1);
    }
    return std::abs(h);
}

// Four bilinear one-poles with the last output fed back one sample late (small-signal Milk).
double milkStage(double f0, double res, int sr, double omega) {
    const double g = std::min(2.0 * f0 / sr, 1.0);
    const double p = g + 0.55 * g * (1.0 - g);
    const double rr = 4.5 * (1.0 - g) * (1.0 - g) * res;
    const std::complex<double> z1 = std::polar(1.0, -omega);
    const std::complex<double> one = p * (1.0 + z1) / (1.0 + (2.0 * p - 1.0) * z1);
    const std::complex<double> four = one * one * one * one;
    return std::abs(four / (1.0 + rr * z1 * four));
}

// Acid's loop holds a clip, so its response is measured on the recurrence itself, run in double.
double acidGain(int stages, double f0, double res, int sr, double hz, double amplitude) {
    const double w = 2.0 * std::numbers::pi * f0 / sr;
    const double h = 2.0 * w + 1.0;
    const double c5 = 1.0 / (2.0 * std::pow(w, 4.0) - 4.0 * w * w * h * h + std::pow(h, 4.0));
    const double c[8] = {w, w * w * w, w * w * h, (h * h - 2.0 * w * w) * w, (h * h - 3.0 * w * w) * h,
                         c5, c5 * 2.0 * std::pow(w, 4.0), h};
    const double c6 = c[6];
    const double k = 20.0 * res;
    std::vector<float> out(kSettle + kMeasure);
    double state[2][5] = {};
    for (std::size_t i = 0; i < out.size(); ++i) {
        double x = amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / sr);
        for (int s = 0; s < stages; ++s) {
            auto& [a, b, cc, d, e] = state[s];
            const double sum = (c[1] * a + c[2] * b + c[3] * cc + c[4] * d) * c[5];
            const double t = sum - e;
            double u = x - k * (c6 * x + t) / (1.0 + k * c6);
            u = u / (1.0 + std::fabs(u));
            const double y = c6 * u + sum;
            e = y - (c6 * u + t);
            const double p = (c[7] * y - d) / c[0];
            const double q = (c[7] * p - c[0] * y - cc) / c[0];
            const double r = (c[7] * q - c[0] * p - b) / c[0];
            a += 4.0 * c[0] * (u - r + q);
            b += 2.0 * c[0] * (r - 2.0 * q + p);
            cc += 2.0 * c[0] * (q - 2.0 * p + y);
            d += 2.0 * c[0] * (p - 2.0 * y);
            x = (0.5 * k + 1.666) * y;
        }
        out[i] = static_cast<float>(x);
    }
    return amplitudeAt(out, kSettle, kMeasure, hz, sr) / amplitude;
}

double expectedGain(int type, int stages, double res, int sr, double hz, double amplitude) {
    if (type == 9) {
        return acidGain(stages, kCutoffHz, res, sr, hz, amplitude);
    }
    const double omega = 2.0 * std::numbers::pi * hz / sr;
    double stage = 0.0;
    if (type <= 4 || type == Filter::kHighPassType) {
        stage = biquadStage(type, stages, kCutoffHz, res, sr, omega);
    } else if (type <= 8) {
        stage = twoPoleStage(type, stages, kCutoffHz, res, sr, omega);
    } else {
        stage = milkStage(kCutoffHz, res, sr, omega);
    }
    return std::pow(stage, stages);
}

struct ResponseCase {
    const char* name;
    int type;
    int stages;
    float resonance;
    float amplitude;  // small where a clip sits in the loop
};

const ResponseCase kResponseCases[] = {
    {"A12", 1, 1, 0.0f, 0.1f},       {"A24", 1, 2, 0.0f, 0.1f},       {"A12Peak", 1, 1, 0.9f, 0.1f},
    {"B12", 2, 1, 0.5f, 0.1f},       {"B24", 2, 2, 0.5f, 0.1f},       {"C12", 3, 1, 0.5f, 0.1f},
    {"C24", 3, 2, 0.9f, 0.1f},       {"D12", 4, 1, 0.9f, 0.1f},       {"D24", 4, 2, 0.5f, 0.1f},
    {"E12", 5, 1, 0.5f, 0.1f},       {"E24", 5, 2, 0.5f, 0.1f},       {"F12", 6, 1, 0.5f, 0.1f},
    {"F24", 6, 2, 0.9f, 0.1f},       {"G12", 7, 1, 0.5f, 0.1f},       {"G24", 7, 2, 0.5f, 0.1f},
    {"H12", 8, 1, 0.9f, 0.1f},       {"H24", 8, 2, 0.5f, 0.1f},       {"Milk12", 10, 1, 0.5f, 0.01f},
    {"Milk24", 10, 2, 0.2f, 0.01f},  {"Acid12", 9, 1, 0.0f, 0.01f},     {"Acid12Peak", 9, 1, 0.3f, 0.01f},
    {"Acid24", 9, 2, 0.2f, 0.01f},  {"HighPass12", 11, 1, 0.5f, 0.1f}, {"HighPass24", 11, 2, 0.9f, 0.1f},
};

class ModulesFilterResponse : public testing::TestWithParam<std::tuple<ResponseCase, int>> {};

TEST_P(ModulesFilterResponse, GainAtCutoffAndOctaveAboveFollowsTheLaw) {
    const auto& [c, sampleRate] = GetParam();
    for (double hz : {kCutoffHz, 2.0 * kCutoffHz}) {
        FilterRig rig(c.type, c.stages, sampleRate);
        rig.still(kCutoff, pitchOf(kCutoffHz));
        rig.still(kResonance, c.resonance);
        rig.follow(kInput, source_rig::sine(hz, sampleRate, c.amplitude));
        rig.run(kSettle + kMeasure);
        const double measured = amplitudeAt(rig.out(), kSettle, kMeasure, hz, sampleRate) / c.amplitude;
        EXPECT_NEAR(decibels(measured), decibels(expectedGain(c.type, c.stages, c.resonance, sampleRate, hz, c.amplitude)),
                    kToleranceDb)
            << hz << " Hz";
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesFilter, ModulesFilterResponse,
                         testing::Combine(testing::ValuesIn(kResponseCases), testing::Values(44100, 96000)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

double gainThrough(int type, int stages, double hz, float resonance = 0.0f, int sampleRate = 44100) {
    FilterRig rig(type, stages, sampleRate);
    rig.still(kCutoff, pitchOf(kCutoffHz));
    rig.still(kResonance, resonance);
    rig.follow(kInput, source_rig::sine(hz, sampleRate, 0.01));
    rig.run(kSettle + kMeasure);
    return amplitudeAt(rig.out(), kSettle, kMeasure, hz, sampleRate) / 0.01;
}

// At resonance 0 both slopes share one stage, so the 24 dB fall is twice the 12 dB one.
TEST(ModulesFilterSlope, TwentyFourDecibelsFallsTwiceAsFast) {
    for (int type : {1, 2, 5}) {
        const double twelve = decibels(gainThrough(type, 1, 4.0 * kCutoffHz) / gainThrough(type, 1, kCutoffHz));
        const double twentyFour =
            decibels(gainThrough(type, 2, 4.0 * kCutoffHz) / gainThrough(type, 2, kCutoffHz));
        EXPECT_LT(twelve, -15.0) << type;
        EXPECT_NEAR(twentyFour, 2.0 * twelve, 0.1) << type;
    }
}

TEST(ModulesFilterHighPass, VeryLowCutoffPassesAlmostUnchanged) {
    FilterRig rig(Filter::kHighPassType, 1);
    rig.still(kCutoff, -1.0f);
    rig.follow(kInput, source_rig::sine(kCutoffHz, 44100, 0.5));
    rig.run(kSettle + kMeasure);
    EXPECT_NEAR(amplitudeAt(rig.out(), kSettle, kMeasure, kCutoffHz, 44100), 0.5, 0.5e-3);
}

// Frequency mode reads the cutoff in Hz / 10 from the linear columns.
TEST(ModulesFilterCutoffUnit, FrequencyModeMatchesPitchMode) {
    for (int type : {1, 3, 5}) {
        FilterRig rig(type, 1);
        rig.event(0, Filter::kPinCutoffUnit, 1);
        rig.still(kCutoff, static_cast<float>(kCutoffHz / 10.0));
        rig.still(kResonance, 0.5f);
        rig.follow(kInput, source_rig::sine(2.0 * kCutoffHz, 44100, 0.1));
        rig.run(kSettle + kMeasure);
        const double measured = amplitudeAt(rig.out(), kSettle, kMeasure, 2.0 * kCutoffHz, 44100) / 0.1;
        EXPECT_NEAR(decibels(measured), decibels(expectedGain(type, 1, 0.5, 44100, 2.0 * kCutoffHz, 0.1)), kToleranceDb)
            << type;
    }
}

}  // namespace
