// Lookup tables of one plug-in instance that depend on its integer sample rate: exponential
// pitch to increment, filter coefficient columns and a small sine. Remade on every rate change.
#pragma once

// One point of a table read with linear interpolation: value + difference * fraction.
struct InterpolationPair {
    float difference;  // the next point's value minus this one's
    float value;
};

static_assert(sizeof(InterpolationPair) == 2 * sizeof(float));

class RateTables {
public:
    static constexpr int kSine512Points = 512;
    static constexpr int kSine512Size = kSine512Points + 1;
    // Octave tables hold j = -30..30 at index j + kOctaveOffset. An exponential position
    // (x + 3) * expStepsPerUnit shifted right by 8 is already that index.
    static constexpr int kOctaveOffset = 30;
    static constexpr int kOctaveCount = 2 * kOctaveOffset + 1;
    static constexpr int kFineSteps = 256;  // per octave
    static constexpr int kFineSize = kFineSteps + 1;
    static constexpr int kFrequencyPoints = 2049;
    static constexpr int kSemitoneRatioSize = 256;  // indexed by a signed byte's bit pattern

    // Fills every table for the given rate; a default-constructed object holds no values.
    void build(int sampleRateInt);
    int sampleRate() const { return sampleRate_; }

    float sine512[kSine512Size];
    InterpolationPair sine512Pairs[kSine512Size];
    float expStepsPerUnit;  // positions per unit of pitch: 256 fine steps per 0.1
    float octaveScale[kOctaveCount];
    float octaveScaleHz[kOctaveCount];
    float octaveScaleKHz[kOctaveCount];
    InterpolationPair fineIncrement[kFineSize];  // cycles per sample in the octave at 13.75 Hz
    InterpolationPair fineRatio[kFineSize];
    // Index i is a frequency of i / 4096 of the sample rate (index 0 reads as 1).
    float linearTan[kFrequencyPoints];
    float linearCot[kFrequencyPoints];
    float linearSin[kFrequencyPoints];
    float linearCos[kFrequencyPoints];
    // Point i is 13.75 * 2^(23 i / 2048 - 10) Hz, clamped to 0.99 of half the sample rate.
    float pitchFreqNorm[kFrequencyPoints];
    float pitchTan[kFrequencyPoints];
    float pitchCot[kFrequencyPoints];
    float pitchSin2[kFrequencyPoints];
    float pitchCos2[kFrequencyPoints];
    float semitoneRatio[kSemitoneRatioSize];

private:
    int sampleRate_ = 0;
};
