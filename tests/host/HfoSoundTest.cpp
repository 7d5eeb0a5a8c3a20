#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "modules/sources/SourceRig.h"
#include "support/PluginPlayer.h"

namespace {

constexpr double kRate = 44100.0;
// 1.35 Hz bins: the Blackman-Harris main lobe (+-4 bins) stays clear of every neighbouring line below.
constexpr std::size_t kFftSize = 32768;
constexpr std::int64_t kSettle = 8192;  // the HFO envelope and the control glides have arrived
constexpr double kPeakSearchBins = 3;

double semitones(double hz, double count) { return hz * std::pow(2.0, count / 12.0); }

// Three sines that never share a line: Osc1 on note 69, Osc2 a fifth above, the Sub an octave below,
// and the HFO three octaves and three semitones below the note, so that no low-order sideband of one
// oscillator lands on another's.
const double kOsc1Hz = 440.0;
const double kOsc2Hz = semitones(440.0, 7.0);
const double kSubHz = 220.0;
const double kHfoHz = semitones(55.0, 3.0);

enum class Sound { Sines, Osc1Pulse, FilteredSines };

void sound(PluginPlayer& player, Sound kind) {
    player.setPlainSine();
    player.setShown("Gain Mode", "Off");  // no limiter: its intermodulation would put lines everywhere
    player.set("Osc1 Mix", 0.5f);
    player.set("Osc2 Mix", 0.5f);
    player.set("SubOsc Mix", 0.5f);
    player.setShown("Wave 2 Semi", "7");
    if (kind == Sound::Osc1Pulse) {
        player.setShown("Osc1 Wave", "Pulse");
        player.setShown("Osc Harmonics", "1024");
        player.set("Osc Width %", 0.5f);
    } else if (kind == Sound::FilteredSines) {
        player.set("LPF Cutoff", 0.45f);
    }
}

// The HFO at `depth` (0: not modulating) aimed at `target`; the magnitude spectrum of the held note.
std::vector<double> hfoSpectrum(Sound kind, const char* target, float depth) {
    PluginPlayer player;
    sound(player, kind);
    player.set("Hfo On/Off", 1.0f);
    player.setShown("HFO Target", target);
    player.setShown("HFO Oct", "-3");
    player.setShown("HFO Semi", "3");
    player.set("HFO Tune (cents)", 0.5f);  // 0 cents
    player.set("HFO Sustain %", 1.0f);
    player.set("HFO Depth", depth);
    player.start();
    player.noteOn(0, 69);
    player.renderUntil(kSettle + static_cast<std::int64_t>(kFftSize));
    return source_rig::spectrum(player.left, kSettle, kFftSize);
}

// Level in dB of the strongest bin within a few bins of `hz`.
double lineDb(const std::vector<double>& magnitude, double hz) {
    const double bin = hz * static_cast<double>(kFftSize) / kRate;
    double strongest = 0.0;
    for (double b = std::round(bin - kPeakSearchBins); b <= bin + kPeakSearchBins; ++b) {
        strongest = std::max(strongest, magnitude[static_cast<std::size_t>(b)]);
    }
    return 20.0 * std::log10(strongest + 1e-30);
}

double sidebandDb(const std::vector<double>& magnitude, double carrierHz) {
    return std::max(lineDb(magnitude, carrierHz - kHfoHz), lineDb(magnitude, carrierHz + kHfoHz));
}

enum Oscillator : unsigned { kOsc1 = 1, kOsc2 = 2, kSub = 4 };
constexpr unsigned kAll = kOsc1 | kOsc2 | kSub;

struct HfoTargetCase {
    const char* name;
    const char* target;  // as the option list shows it
    Sound sound;
    float depth;
    unsigned modulated;  // the oscillators that must grow sidebands at +-the HFO frequency
    bool keepsCarrier;   // amplitude modulation: the carrier line stays where it was
};

void PrintTo(const HfoTargetCase& c, std::ostream* os) { *os << c.name; }

// Sidebands of a modulated oscillator relative to its unmodulated line; the others stay at the
// floor of the window and the arithmetic, far below.
constexpr double kSidebandDb = -45.0;
constexpr double kUntouchedDb = -95.0;
constexpr double kCarrierKeptDb = 0.5;

const HfoTargetCase kHfoCases[] = {
    {"MainPitch", "Main Pitch", Sound::Sines, 0.15f, kAll, false},
    {"Osc1Pitch", "Osc1 - Pitch", Sound::Sines, 0.15f, kOsc1, false},
    {"Osc2Pitch", "Osc2 - Pitch", Sound::Sines, 0.15f, kOsc2, false},
    {"SubPitch", "Sub - Pitch", Sound::Sines, 0.15f, kSub, false},
    {"FilterCutoff", "Filter Cutoff", Sound::FilteredSines, 0.3f, kAll, false},
    {"MainFm", "Main FM", Sound::Sines, 0.3f, kAll, false},
    {"Osc1Fm", "Osc1 - FM", Sound::Sines, 0.3f, kOsc1, false},
    {"Osc2Fm", "Osc2 - FM", Sound::Sines, 0.3f, kOsc2, false},
    {"SubFm", "Sub - FM", Sound::Sines, 0.3f, kSub, false},
    {"MainAm", "Main - AM", Sound::Sines, 0.5f, kOsc1 | kOsc2, true},
    {"Osc1Am", "Osc1 - AM", Sound::Sines, 0.5f, kOsc1, true},
    {"Osc2Am", "Osc2 - AM", Sound::Sines, 0.5f, kOsc2, true},
    {"PulseWidth", "Pulse Width", Sound::Osc1Pulse, 0.5f, kOsc1, false},
};

class HostHfoTargets : public ::testing::TestWithParam<HfoTargetCase> {};

// The HFO writes its frequency around exactly the oscillators its target names.
TEST_P(HostHfoTargets, SidebandsAppearOnWhatTheTargetNames) {
    const HfoTargetCase& c = GetParam();
    const std::vector<double> still = hfoSpectrum(c.sound, c.target, 0.0f);
    const std::vector<double> moved = hfoSpectrum(c.sound, c.target, c.depth);
    const struct {
        Oscillator oscillator;
        double hz;
    } lines[] = {{kOsc1, kOsc1Hz}, {kOsc2, kOsc2Hz}, {kSub, kSubHz}};
    for (const auto& line : lines) {
        const double carrier = lineDb(still, line.hz);
        const double sideband = sidebandDb(moved, line.hz) - carrier;
        const double kept = lineDb(moved, line.hz) - carrier;
        if ((c.modulated & line.oscillator) != 0) {
            EXPECT_GT(sideband, kSidebandDb) << line.hz << " Hz";
            if (c.keepsCarrier) {
                EXPECT_NEAR(kept, 0.0, kCarrierKeptDb) << line.hz << " Hz";
            }
        } else {
            EXPECT_LT(sideband, kUntouchedDb) << line.hz << " Hz";
            EXPECT_NEAR(kept, 0.0, kCarrierKeptDb) << line.hz << " Hz";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Host, HostHfoTargets, ::testing::ValuesIn(kHfoCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Frequency of the peak at bin k, from a parabola through the log magnitudes around it.
double peakHz(const std::vector<double>& magnitude, std::size_t k) {
    const double before = std::log(magnitude[k - 1]);
    const double at = std::log(magnitude[k]);
    const double after = std::log(magnitude[k + 1]);
    const double offset = 0.5 * (before - after) / (before - 2.0 * at + after);
    return (static_cast<double>(k) + offset) * kRate / static_cast<double>(kFftSize);
}

// Strongest bin away from the listed ones (and from DC) by more than a main lobe and its skirt.
std::size_t strongestBinBesides(const std::vector<double>& magnitude, const std::vector<std::size_t>& taken) {
    constexpr std::size_t kClearBins = 12;
    std::size_t best = 0;
    for (std::size_t k = kClearBins; k + 1 < magnitude.size(); ++k) {
        const bool clear = std::all_of(taken.begin(), taken.end(), [&](std::size_t t) {
            return k + kClearBins < t || k > t + kClearBins;
        });
        if (clear && (best == 0 || magnitude[k] > magnitude[best])) {
            best = k;
        }
    }
    return best;
}

struct HfoPitchCase {
    const char* name;
    int note;
    const char* octave;  // as "HFO Oct" shows it
    const char* semitones;
    double cents;
};

void PrintTo(const HfoPitchCase& c, std::ostream* os) { *os << c.name; }

const HfoPitchCase kHfoPitchCases[] = {
    {"OnTheNote", 69, "0", "0", 0.0},
    {"FollowsTheNote", 57, "0", "0", 0.0},
    {"OctaveUp", 69, "1", "0", 0.0},
    {"ThreeOctavesDown", 69, "-3", "0", 0.0},
    {"FifthUp", 69, "0", "7", 0.0},
    {"TwelveSemitonesDown", 69, "0", "-12", 0.0},
    {"HalfASemitoneUp", 69, "0", "0", 50.0},
    {"AllThreeDown", 69, "-1", "-5", -25.0},
};

// Osc1 two octaves above the note, amplitude-modulated by the HFO with `setup` applied: the upper
// sideband lies the HFO frequency above the carrier.
double hfoHz(int note, const std::function<void(PluginPlayer&)>& setup) {
    PluginPlayer player;
    player.setPlainSine();
    player.setShown("Gain Mode", "Off");
    player.setShown("Osc Octave", "2");
    player.set("Hfo On/Off", 1.0f);
    player.setShown("HFO Target", "Osc1 - AM");
    player.setShown("HFO Oct", "0");
    player.setShown("HFO Semi", "0");
    player.set("HFO Tune (cents)", 0.5f);  // 0 cents
    player.set("HFO Sustain %", 1.0f);
    player.set("HFO Depth", 0.5f);
    setup(player);
    player.start();
    player.noteOn(0, note);
    player.renderUntil(kSettle + static_cast<std::int64_t>(kFftSize));
    const std::vector<double> magnitude = source_rig::spectrum(player.left, kSettle, kFftSize);

    const std::size_t carrier = strongestBinBesides(magnitude, {});
    const std::size_t side1 = strongestBinBesides(magnitude, {carrier});
    const std::size_t side2 = strongestBinBesides(magnitude, {carrier, side1});
    return peakHz(magnitude, std::max(side1, side2)) - peakHz(magnitude, carrier);
}

constexpr double kCentsPerOctave = 1200.0;
constexpr double kToleranceCents = 0.5;

class HostHfoPitch : public ::testing::TestWithParam<HfoPitchCase> {};

// The HFO frequency is the note moved by "HFO Oct", "HFO Semi" and "HFO Tune (cents)".
TEST_P(HostHfoPitch, TheHfoFollowsTheNoteWithItsOffsets) {
    const HfoPitchCase& c = GetParam();
    constexpr double kTuneSpanCents = 200.0;  // the knob runs from -100 to +100 cents
    const double measured = hfoHz(c.note, [&](PluginPlayer& player) {
        player.setShown("HFO Oct", c.octave);
        player.setShown("HFO Semi", c.semitones);
        player.set("HFO Tune (cents)", static_cast<float>(0.5 + c.cents / kTuneSpanCents));
    });
    const double noteHz = 440.0 * std::pow(2.0, (c.note - 69) / 12.0);
    const double expected = noteHz * std::pow(2.0, std::stod(c.octave) + std::stod(c.semitones) / 12.0 +
                                                       c.cents / kCentsPerOctave);
    EXPECT_NEAR(kCentsPerOctave * std::log2(measured / expected), 0.0, kToleranceCents)
        << "measured " << measured << " Hz, expected " << expected << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Host, HostHfoPitch, ::testing::ValuesIn(kHfoPitchCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct HfoPitchTargetCase {
    const char* name;
    std::function<void(PluginPlayer&)> modulate;  // a constant +0.1 (one octave) on "HFO - Pitch"
};

void PrintTo(const HfoPitchTargetCase& c, std::ostream* os) { *os << c.name; }

const HfoPitchTargetCase kHfoPitchTargetCases[] = {
    {"Lfo1",
     [](PluginPlayer& player) {
         // A pulse at the slowest free rate holds its upper half (+0.5 x depth) for 25 seconds.
         player.set("Lfo1 On/Off", 1.0f);
         player.setShown("Lfo1 Target", "HFO - Pitch");
         player.setShown("Lfo1 Shape", "Pulse");
         player.set("Lfo1 Sync", 1.0f);
         player.set("Lfo1 Rate(Hz)", 0.0f);
         player.set("Lfo1 Phase %", 0.5f);  // 0 %
         player.set("Lfo1 Depth", 0.2f);
     }},
    {"Envelope1",
     [](PluginPlayer& player) {
         // Full sustain at once: the envelope holds its level, 0.1 (a squared knob at sqrt(0.1)).
         player.set("Env On/Off", 1.0f);
         player.setShown("Env1 Target", "HFO - Pitch");
         player.set("Env1 Sustain %", 1.0f);
         player.set("Env1 Level", static_cast<float>(std::sqrt(0.1)));
     }},
};

class HostHfoPitchTargets : public ::testing::TestWithParam<HfoPitchTargetCase> {};

TEST_P(HostHfoPitchTargets, AConstantTenthRaisesTheHfoByAnOctave) {
    const double still = hfoHz(69, [](PluginPlayer&) {});
    const double moved = hfoHz(69, GetParam().modulate);
    EXPECT_NEAR(kCentsPerOctave * std::log2(moved / still), kCentsPerOctave, kToleranceCents)
        << still << " Hz to " << moved << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Host, HostHfoPitchTargets, ::testing::ValuesIn(kHfoPitchTargetCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
