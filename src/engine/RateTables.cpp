#include "engine/RateTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kTwoPi = 2.0L * kPi;

constexpr float kExpStepsPerUnit = 2560.0f;
constexpr double kBaseHz = 13.75;             // pitch 0
constexpr double kOctaveHzScale = 1.375;      // 13.75 Hz in Hz / 10
constexpr double kOctaveKHzScale = 0.001375;  // 13.75 Hz in kHz / 10
constexpr int kLinearDivisions = 4096;        // linear tables: i / 4096 of the sample rate
constexpr double kPitchSpanOctaves = 23.0;
constexpr double kPitchLowestOctave = -10.0;  // point 0 = 13.75 / 1024 Hz
constexpr double kNyquistMargin = 0.99;
constexpr double kSemitoneBase = 0.1;
constexpr int kSemitonesPerOctave = 12;

long double sine512At(int i) {
    return 0.5L * std::sin(kTwoPi * i / RateTables::kSine512Points);
}

// Value and slope of a table point from a formula sampled at i and i + 1 (the last point's
// slope continues the formula past the table's end).
template <typename Formula>
InterpolationPair pairAt(int i, Formula formula) {
    const auto value = formula(i);
    return {static_cast<float>(formula(i + 1) - value), static_cast<float>(value)};
}

}  // namespace

void RateTables::build(int sampleRateInt) {
    sampleRate_ = sampleRateInt;
    const double sampleRate = sampleRateInt;
    const double halfSampleRate = 0.5 * sampleRate;

    for (int i = 0; i < kSine512Size; ++i) {
        sine512[i] = static_cast<float>(sine512At(i));
        sine512Pairs[i] = pairAt(i, sine512At);
    }

    expStepsPerUnit = kExpStepsPerUnit;
    for (int k = 0; k < kOctaveCount; ++k) {
        const double scale = std::pow(2.0, k - kOctaveOffset);
        octaveScale[k] = static_cast<float>(scale);
        octaveScaleHz[k] = static_cast<float>(kOctaveHzScale * scale);
        octaveScaleKHz[k] = static_cast<float>(kOctaveKHzScale * scale);
    }

    const auto increment = [sampleRate](int i) {
        return kBaseHz * std::pow(2.0, static_cast<double>(i) / kFineSteps) / sampleRate;
    };
    const auto ratio = [](int i) { return std::pow(2.0, static_cast<double>(i) / kFineSteps); };
    for (int i = 0; i < kFineSize; ++i) {
        fineIncrement[i] = pairAt(i, increment);
        fineRatio[i] = pairAt(i, ratio);
    }

    for (int i = 0; i < kFrequencyPoints; ++i) {
        const long double angle = kPi * std::max(i, 1) / kLinearDivisions;
        const long double tangent = std::tan(angle);
        linearTan[i] = static_cast<float>(tangent);
        linearCot[i] = static_cast<float>(1.0L / tangent);
        linearSin[i] = static_cast<float>(std::sin(2.0L * angle));
        linearCos[i] = static_cast<float>(std::cos(2.0L * angle));
    }

    const double highest = kNyquistMargin * halfSampleRate;
    for (int i = 0; i < kFrequencyPoints; ++i) {
        const double octaves = kPitchSpanOctaves * i / (kFrequencyPoints - 1) + kPitchLowestOctave;
        const double hz = std::min(kBaseHz * std::pow(2.0, octaves), highest);
        const long double angle = kPi * hz / sampleRate;
        const long double tangent = std::tan(angle);
        pitchFreqNorm[i] = static_cast<float>(hz / halfSampleRate);
        pitchTan[i] = static_cast<float>(tangent);
        pitchCot[i] = static_cast<float>(1.0L / tangent);
        pitchSin2[i] = static_cast<float>(std::sin(2.0L * angle));
        pitchCos2[i] = static_cast<float>(std::cos(2.0L * angle));
    }

    for (int i = 0; i < kSemitoneRatioSize; ++i) {
        const int semitones = i < kSemitoneRatioSize / 2 ? i : i - kSemitoneRatioSize;
        semitoneRatio[i] = static_cast<float>(
            kSemitoneBase * std::pow(2.0, static_cast<double>(semitones) / kSemitonesPerOctave));
    }
}
