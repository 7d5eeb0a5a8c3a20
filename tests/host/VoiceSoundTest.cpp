#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

#include "modules/sources/SourceRig.h"
#include "support/PluginPlayer.h"

namespace {

using source_rig::cents;
using source_rig::crossingFrequency;

constexpr float kRate = 44100.0f;
constexpr int kSecond = 44100;

struct PitchCase {
    const char* name;
    const char* octave;
    const char* semi;    // "Wave 2 Semi"
    const char* source;  // the mixer level that is up
    int key;
    double hz;
};

void PrintTo(const PitchCase& c, std::ostream* os) { *os << c.name; }

const PitchCase kPitchCases[] = {
    {"Osc1Note69", "0", "0", "Osc1 Mix", 69, 440.0},
    {"Osc1OctaveUp", "1", "0", "Osc1 Mix", 69, 880.0},
    {"Osc1OctaveDown2", "-2", "0", "Osc1 Mix", 69, 110.0},
    {"SubOscillatorOctaveBelow", "0", "0", "SubOsc Mix", 69, 220.0},
    {"Osc2FifthAbove", "0", "7", "Osc2 Mix", 69, 440.0 * std::pow(2.0, 7.0 / 12.0)},
    {"Osc2OctaveBelowAtSemiMinus12", "0", "-12", "Osc2 Mix", 69, 220.0},
    {"Osc1Note60", "0", "0", "Osc1 Mix", 60, 440.0 * std::pow(2.0, -9.0 / 12.0)},
};

class HostVoicePitch : public ::testing::TestWithParam<PitchCase> {};

TEST_P(HostVoicePitch, SustainedNoteSoundsAtItsFrequency) {
    const PitchCase& c = GetParam();
    PluginPlayer player(kRate);
    player.setPlainSine();
    player.set("Osc1 Mix", 0.0f);
    player.set(c.source, 1.0f);
    player.setShown("Osc Octave", c.octave);
    player.setShown("Wave 2 Semi", c.semi);
    player.start();
    player.noteOn(0, c.key);
    player.renderUntil(kSecond);

    EXPECT_NEAR(cents(crossingFrequency(player.left, kSecond, kSecond / 10), c.hz), 0.0, 0.1);
    EXPECT_EQ(player.left, player.right);  // centred
}

INSTANTIATE_TEST_SUITE_P(Host, HostVoicePitch, ::testing::ValuesIn(kPitchCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

constexpr std::size_t kFftSize = 65536;

// Level of the strongest bin within `reach` bins of `hz`.
double peakNear(const std::vector<double>& bins, double hz, double rate, int reach) {
    const auto centre = static_cast<long>(std::lround(hz * kFftSize / rate));
    double peak = 0.0;
    for (long i = std::max(0L, centre - reach); i <= std::min<long>(centre + reach, bins.size() - 1); ++i) {
        peak = std::max(peak, bins[static_cast<std::size_t>(i)]);
    }
    return peak;
}

// At 96 kHz harmonic 5 (20.9 kHz) and the next ones would lie in band, unfolded.
TEST(HostVoiceHarmonics, SawAtNote108CarriesOnlyHarmonicsBelow20kHz) {
    constexpr double kHighRate = 96000.0;
    PluginPlayer player(static_cast<float>(kHighRate));
    player.setPlainSine();
    player.setShown("Osc1 Wave", "Saw");
    player.setShown("Osc Harmonics", "1024");
    player.set("Filter Track", 1.0f);  // the cutoff rises with the note
    player.setShown("LPF Mode", "12dB");
    player.set("Gain", 0.1f);  // below the voice saturation, whose own harmonics would fold back
    player.start();
    player.noteOn(0, 108);
    player.renderUntil(8192 + kFftSize);

    const std::vector<double> bins = source_rig::spectrum(player.left, 8192, kFftSize);
    const double f0 = 440.0 * std::pow(2.0, 39.0 / 12.0);
    const double fundamental = peakNear(bins, f0, kHighRate, 4);
    // Harmonics 2 to 4 sound, softened only by the open filter's slope.
    for (int n = 2; n <= 4; ++n) {
        EXPECT_GT(20.0 * std::log10(peakNear(bins, f0 * n, kHighRate, 4) / fundamental), -30.0) << "harmonic " << n;
    }
    // Everything else (harmonics from 5 on, folded ones, interpolation residue) stays far below
    // the fundamental.
    double residue = 0.0;
    const double binHz = kHighRate / kFftSize;
    for (std::size_t i = 8; i < bins.size(); ++i) {
        const double hz = static_cast<double>(i) * binHz;
        const double nearest = std::round(hz / f0);
        if (nearest >= 1.0 && nearest <= 4.0 && std::fabs(hz - nearest * f0) < 16.0 * binHz) {
            continue;
        }
        residue = std::max(residue, bins[i]);
    }
    const double residueDb = 20.0 * std::log10(residue / fundamental);
    RecordProperty("ResidueDbBelowFundamental", std::to_string(residueDb));
    EXPECT_LT(residueDb, -90.0);
}

// Held notes that have decayed to silence keep their voices busy, so the stolen voice's new note
// is the first sound after the key press.
TEST(HostVoiceSteal, TwentyFirstNoteStartsAtTheEndOfTheStolenVoicesFade) {
    PluginPlayer player(kRate);
    player.setPlainSine();
    player.set("Amp Sustain %", 0.0f);
    player.set("Amp Decay (s)", 0.1f);
    player.start();
    for (int k = 0; k < 20; ++k) {
        player.noteOn(k * 16, 40 + k);
    }
    constexpr std::int64_t kPress = 8000;
    player.noteOn(kPress, 90);
    player.renderUntil(kPress + 2000);

    ASSERT_GT(rmsOf(player.left, 0, 2000), 0.01);
    EXPECT_EQ(rmsOf(player.left, kPress - 2000, kPress), 0.0);
    // The fade lasts 441 samples; the allocator hears of its end at the end of the engine chunk
    // (128 samples here) in which it runs out, and the new note starts right there.
    constexpr std::int64_t kFade = 441;
    constexpr std::int64_t kChunk = 128;
    const std::int64_t fadeEnd = (kPress + kFade + kChunk - 1) / kChunk * kChunk;
    EXPECT_EQ(firstAbove(player.left, 0.0f, kPress), fadeEnd);
}

TEST(HostVoiceSteal, NoteOnAndOffInOneSampleSoundsForAboutTwentyMilliseconds) {
    PluginPlayer player(kRate);
    player.setPlainSine();
    player.start();
    constexpr std::int64_t kPress = 1000;
    player.noteOn(kPress, 69);
    player.noteOff(kPress, 69);
    player.renderUntil(kPress + kSecond / 4);

    const std::int64_t first = firstAbove(player.left, 1e-4f, 0);
    std::int64_t last = first;
    for (std::int64_t i = first; i < player.rendered(); ++i) {
        if (std::fabs(player.left[static_cast<std::size_t>(i)]) > 1e-4f) {
            last = i;
        }
    }
    ASSERT_GE(first, kPress);
    EXPECT_NEAR(static_cast<double>(last - first), 2.0 * 441.0, 60.0);
}

struct MonoCase {
    const char* name;
    const char* mode;
    bool lastNote;  // "Mono Note Mode" at "Last Note"
    std::int64_t secondPress;  // note 64 pressed over a held 60
    std::int64_t secondRelease;  // -1: held
    double hz;                   // pitch heard after the last event; 0: silence
    bool restarts;               // the amplitude dips to nothing right after the last event
};

void PrintTo(const MonoCase& c, std::ostream* os) { *os << c.name; }

constexpr double kC4 = 261.6256;
constexpr double kE4 = 329.6276;

const MonoCase kMonoCases[] = {
    {"MonoRestartsOnTheNewNote", "Mono", false, 22050, -1, kE4, true},
    {"LegatoOnlyMovesThePitch", "Legato", false, 22050, -1, kE4, false},
    {"MonoLastNoteReturnsThroughARestart", "Mono", true, 22050, 44100, kC4, true},
    {"LegatoLastNoteReturnsWithoutGate", "Legato", true, 22050, 44100, kC4, false},
    {"MonoWithoutLastNoteFallsSilent", "Mono", false, 22050, 44100, 0.0, false},
    {"MonoIgnoresASecondKeyWithin20ms", "Mono", false, 441, -1, kC4, false},
};

class HostVoiceMono : public ::testing::TestWithParam<MonoCase> {};

TEST_P(HostVoiceMono, KeysOverAHeldNoteBehaveAsTheModeSays) {
    const MonoCase& c = GetParam();
    PluginPlayer player(kRate);
    player.setPlainSine();
    player.setShown("Play Mode", c.mode);
    player.set("Mono Note Mode", c.lastNote ? 1.0f : 0.0f);
    player.start();
    // Start well into the stream: the mono 20 ms rule looks back at the previous note start.
    constexpr std::int64_t kStart = 4410;
    player.noteOn(kStart, 60);
    player.noteOn(kStart + c.secondPress, 64);
    if (c.secondRelease >= 0) {
        player.noteOff(kStart + c.secondRelease, 64);
    }
    const std::int64_t last = kStart + std::max(c.secondPress, c.secondRelease);
    player.renderUntil(last + kSecond / 2);

    const double steady = rmsOf(player.left, kStart + 2000, kStart + 20000);
    ASSERT_GT(steady, 0.01);
    const std::vector<float> after(player.left.begin() + last + kSecond / 10, player.left.end());
    if (c.hz == 0.0) {
        EXPECT_LT(rmsOf(after, 0, static_cast<std::int64_t>(after.size())), steady * 1e-3);
        return;
    }
    EXPECT_NEAR(cents(crossingFrequency(after, kSecond), c.hz), 0.0, 1.0);
    double quietest = steady;
    for (std::int64_t at = last; at < last + 1323; at += 22) {
        quietest = std::min(quietest, rmsOf(player.left, at, at + 44));
    }
    if (c.restarts) {
        EXPECT_LT(quietest, steady * 0.1);
    } else {
        EXPECT_GT(quietest, steady * 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Host, HostVoiceMono, ::testing::ValuesIn(kMonoCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostVoiceSleep, ReleasedVoiceGoesBackToSleep) {
    PluginPlayer player(kRate);
    player.setPlainSine();
    player.set("Amp Release (s)", 0.1f);
    player.start();
    player.renderUntil(1024);
    const int idle = player.awakeModules();

    player.noteOn(player.rendered(), 69);
    player.renderUntil(player.rendered() + 4096);
    const int playing = player.awakeModules();
    EXPECT_GT(playing, idle);

    player.noteOff(player.rendered(), 69);
    player.renderUntil(player.rendered() + kSecond);
    EXPECT_EQ(player.awakeModules(), idle);
    EXPECT_LT(rmsOf(player.left, player.rendered() - 1024, player.rendered()), 1e-6);
}

}  // namespace
