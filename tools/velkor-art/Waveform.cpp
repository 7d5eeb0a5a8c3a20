#include "Waveform.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace art {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * kPi;

double sine(double p) { return std::sin(kTwoPi * p); }
double rampUp(double p) { return 2 * p - 1; }
double rampDown(double p) { return 1 - 2 * p; }
double square(double p) { return p < 0.5 ? 1 : -1; }
double pulse(double p) { return p < 0.2 ? 1 : -1; }
double triangle(double p) { return std::asin(std::sin(kTwoPi * p)) / (kTwoPi / 4); }

// Ramps as oscillator displays show them: the reset in the middle of the period.
double centredRampUp(double p) { return rampUp(p + 0.5 - std::floor(p + 0.5)); }
double centredRampDown(double p) { return -centredRampUp(p); }

// A rising ramp from its first harmonics, each softened by its sigma factor: rounded corners
// and a smooth reset instead of a sharp one.
double softRamp(double p) {
    constexpr int kHarmonics = 6;
    double sum = 0;
    for (int k = 1; k <= kHarmonics; ++k) {
        const double x = kPi * k / (kHarmonics + 1);
        sum += (k % 2 == 1 ? 1 : -1) * std::sin(kTwoPi * k * p) / k * std::sin(x) / x;
    }
    return sum;
}

double cluster(double p) {
    return sine(p) + 0.7 * std::sin(kTwoPi * 2 * p + 0.6) + 0.5 * std::sin(kTwoPi * 3 * p + 1.9) +
           0.4 * std::sin(kTwoPi * 5 * p + 0.3);
}

// Drawbar-like harmonic ladder.
double organ(double p) {
    constexpr double kDrawbars[] = {1, 0.6, 0.45, 0.3, 0, 0.25, 0, 0.2};
    double sum = 0;
    for (int k = 0; k < static_cast<int>(std::size(kDrawbars)); ++k) {
        sum += kDrawbars[k] * std::sin(kTwoPi * (k + 1) * p);
    }
    return sum;
}

double bell(double p) { return std::sin(kTwoPi * p + 2.0 * std::sin(kTwoPi * 3 * p)); }

// Vocal waves: a glottal pulse at the start of the period ringing at formant frequencies.
double vox(double p) { return std::exp(-4 * p) * std::sin(kTwoPi * 6 * p); }
double vox2(double p) {
    return std::exp(-3 * p) * (std::sin(kTwoPi * 4 * p) + 0.5 * std::sin(kTwoPi * 9 * p));
}
double vox3(double p) {
    return std::exp(-5 * p) * std::sin(kTwoPi * 10 * p) + 0.6 * std::exp(-2 * p) * std::sin(kTwoPi * 3 * p);
}

// A hard-synced ramp: the slave restarts with the master's period.
double funk(double p) {
    const double slave = 2.6 * p;
    return 2 * (slave - std::floor(slave)) - 1;
}

double curvedFall(double p) { return 2 * (1 - p) * (1 - p) - 1; }
double steepFall(double p) { return 2 * std::pow(1 - p, 4) - 1; }
double curvedRise(double p) { return 2 * p * p - 1; }
double steepRise(double p) { return 2 * std::pow(p, 4) - 1; }
double peak(double p) { return 2 * std::exp(-std::pow((p - 0.5) / 0.12, 2)) - 1; }
double dip(double p) { return -peak(p); }

// Sample and hold over fixed values, so the art stays the same from build to build.
double random(double p) {
    constexpr double kSteps[] = {0.35, -0.7, 0.9, -0.15, 0.55, -0.95, 0.1, 0.75};
    constexpr int kCount = static_cast<int>(std::size(kSteps));
    return kSteps[std::min(kCount - 1, static_cast<int>(p * kCount))];
}

constexpr Waveform kWaveforms[] = {
    {"Sine", sine},
    {"Saw", centredRampUp},
    {"Soft Ramp", softRamp},
    {"Triangle", triangle},
    {"Peak", peak},
    {"Cluster", cluster},
    {"Organ", organ},
    {"Square", square},
    {"Pulse", pulse},
    {"Inv.Saw", centredRampDown},
    {"Bell", bell},
    {"Vox", vox},
    {"Vox2", vox2},
    {"Vox3", vox3},
    {"Funk", funk},
    // LFO shapes show one whole cycle from its start.
    {"Saw 1", rampDown},
    {"Saw 2", curvedFall},
    {"Saw 3", steepFall},
    {"Ramp 1", rampUp},
    {"Ramp 2", curvedRise},
    {"Ramp 3", steepRise},
    {"Dip", dip},
    {"Random", random},
};

}  // namespace

const Waveform* findWaveform(std::string_view name) {
    for (const Waveform& w : kWaveforms) {
        if (name == w.name) {
            return &w;
        }
    }
    return nullptr;
}

}  // namespace art
