#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include "modules/sources/SourceRig.h"
#include "support/PluginPlayer.h"

namespace {

using source_rig::crossingFrequency;

constexpr int kRate = 44100;
constexpr int kWindow = 2205;  // 50 ms

enum class Source { Osc1, Osc2, Sub, Noise, Pulse, FilteredSaw, Logic, MeltCircuit, MeltStill, Lfo3Tremolo };

void sound(PluginPlayer& player, Source source) {
    player.setPlainSine();
    player.setShown("Gain Mode", "Off");  // the driven limiter would squash every level change
    switch (source) {
        case Source::Osc1:
            break;
        case Source::Osc2:
            player.set("Osc1 Mix", 0.0f);
            player.set("Osc2 Mix", 1.0f);
            break;
        case Source::Sub:
            player.set("Osc1 Mix", 0.0f);
            player.set("SubOsc Mix", 1.0f);
            break;
        case Source::Noise:
            player.set("Osc1 Mix", 0.0f);
            player.set("Noise Mix", 1.0f);
            player.set("Noise LPF", 1.0f);  // the low-pass open
            break;
        case Source::Pulse:
            player.setShown("Osc1 Wave", "Pulse");
            player.setShown("Osc Harmonics", "1024");
            player.set("Osc Width %", 0.5f);
            break;
        case Source::FilteredSaw:
            player.setShown("Osc1 Wave", "Saw");
            player.setShown("Osc Harmonics", "1024");
            player.set("LPF Cutoff", 0.45f);
            break;
        case Source::Logic:  // both oscillators alike: a square high while the sine is above the switch
            player.set("Osc2 Mix", 1.0f);
            player.setShown("Osc Mode", "And");
            break;
        case Source::MeltCircuit:  // the circuit's pitch wobble, with no depth of its own
            player.setShown("Melt System", "A");
            player.setShown("Melt A Mode", "Circuit");
            player.set("Melt A Pitch", 1.0f);
            player.set("Melt A Speed (Hz)", 0.5f);
            break;
        case Source::MeltStill:  // system B sending none of its wow to the pitch: nothing to scale
            player.setShown("Melt System", "B");
            player.set("Melt B to Pitch %", 0.0f);
            break;
        case Source::Lfo3Tremolo:  // LFO 3 on Osc1's level, with no depth of its own
            player.set("Lfo3 On/Off", 1.0f);
            player.setShown("Lfo3 Target", "Osc1 - Level");
            player.set("Lfo3 Sync", 1.0f);
            player.set("Lfo3 Rate", 0.45f);
            break;
    }
}

// What a target changes, measured per 50 ms window: the spread between the extreme windows.
using Feature = std::function<double(const PluginPlayer&, std::int64_t from)>;

double pitchCents(const PluginPlayer& player, std::int64_t from) {
    const std::vector<float> window(player.left.begin() + from, player.left.begin() + from + kWindow);
    return 1200.0 * std::log2(crossingFrequency(window, kRate));
}

double levelDb(const PluginPlayer& player, std::int64_t from) {
    return 20.0 * std::log10(rmsOf(player.left, from, from + kWindow) + 1e-12);
}

// Share of the signal's energy in its slope, in dB: rises with the high harmonics.
double brightness(const PluginPlayer& player, std::int64_t from, std::int64_t length) {
    double slope = 0.0;
    for (std::int64_t i = from + 1; i < from + length; ++i) {
        const double d = player.left[static_cast<std::size_t>(i)] - player.left[static_cast<std::size_t>(i - 1)];
        slope += d * d;
    }
    const double rms = rmsOf(player.left, from, from + length);
    return 10.0 * std::log10(slope / static_cast<double>(length - 1) + 1e-24) - 20.0 * std::log10(rms + 1e-12);
}

double brightnessDb(const PluginPlayer& player, std::int64_t from) { return brightness(player, from, kWindow); }

// Share of the window's samples above its mean: the duty of a two-level signal, whatever its offset.
double dutyPercent(const PluginPlayer& player, std::int64_t from) {
    const auto begin = player.left.begin() + from;
    const double mean = std::accumulate(begin, begin + kWindow, 0.0) / kWindow;
    return 100.0 * static_cast<double>(std::count_if(begin, begin + kWindow, [&](float x) { return x > mean; })) /
           kWindow;
}

double panDb(const PluginPlayer& player, std::int64_t from) {
    return 20.0 * std::log10((rmsOf(player.left, from, from + kWindow) + 1e-12) /
                             (rmsOf(player.right, from, from + kWindow) + 1e-12));
}

double spread(const PluginPlayer& player, const Feature& feature, std::int64_t from, std::int64_t to) {
    double low = 1e300;
    double high = -1e300;
    for (std::int64_t at = from; at + kWindow <= to; at += kWindow) {
        const double value = feature(player, at);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    return high - low;
}

struct TargetCase {
    const char* name;
    const char* target;  // as the option list shows it
    Source source;
    Feature feature;
    double minimumSpread;  // cents, dB or duty points beyond the unmodulated spread; 0: none at all
    bool subtle = false;   // "Lfo1 Subtle": a tenth of the depth, so that a pitch sweep stays within +-6 semitones
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

constexpr double kUnmoved = 0.0;

// Note 69 on the case's sound with `modulate` applied: the feature's spread from `from` to `length`.
double spreadOf(const TargetCase& c, const std::function<void(PluginPlayer&)>& modulate, std::int64_t from,
                std::int64_t length) {
    PluginPlayer player;
    sound(player, c.source);
    modulate(player);
    player.start();
    player.noteOn(0, 69);
    player.renderUntil(length);
    return spread(player, c.feature, from, length);
}

void expectMoved(const TargetCase& c, double still, double moved) {
    if (c.minimumSpread == kUnmoved) {
        EXPECT_NEAR(moved, still, 1e-3);
    } else {
        EXPECT_GT(moved, still + c.minimumSpread) << "still " << still << ", moved " << moved;
    }
}

// Sources that a target does not name stay put: the routing reaches only what it says.
const TargetCase kLfoCases[] = {
    {"MainPitch", "Main Pitch", Source::Osc1, pitchCents, 500.0, true},
    {"Osc1Pitch", "Osc1 - Pitch", Source::Osc1, pitchCents, 500.0, true},
    {"Osc1PitchLeavesOsc2", "Osc1 - Pitch", Source::Osc2, pitchCents, kUnmoved, true},
    {"Osc2Pitch", "Osc2 - Pitch", Source::Osc2, pitchCents, 500.0, true},
    {"PulseWidth", "Pulse Width", Source::Pulse, brightnessDb, 3.0},
    {"Osc1Level", "Osc1 - Level", Source::Osc1, levelDb, 4.0},
    {"Osc2Level", "Osc2 - Level", Source::Osc2, levelDb, 4.0},
    {"SubLevel", "Sub - Level", Source::Sub, levelDb, 4.0},
    {"NoiseLevel", "Noise - Level", Source::Noise, levelDb, 4.0},
    {"FilterCutoff", "Filter Cutoff", Source::FilteredSaw, brightnessDb, 10.0},
    {"Panning", "Panning", Source::Osc1, panDb, 20.0},
    {"Volume", "Volume", Source::Osc1, levelDb, 8.0},
    {"Melt", "Melt", Source::MeltCircuit, pitchCents, 50.0},
    {"MeltScalesOnlyTheWobble", "Melt", Source::MeltStill, pitchCents, kUnmoved},
    {"LogicSwitch", "Logic Switch", Source::Logic, dutyPercent, 25.0},
};

// A free-running 4 Hz sine LFO at full depth sweeps its target; the same sound without it stays put.
class HostLfoTargets : public ::testing::TestWithParam<TargetCase> {
protected:
    static double measure(const TargetCase& c, float depth) {
        return spreadOf(
            c,
            [&](PluginPlayer& player) {
                player.set("Lfo1 On/Off", 1.0f);
                player.setShown("Lfo1 Target", c.target);
                player.setShown("Lfo1 Shape", "Sine");
                player.set("Lfo1 Sync", 1.0f);  // 0 would lock the rate to the tempo (16 beats)
                player.set("Lfo1 Rate(Hz)", 0.45f);
                player.set("Lfo1 Depth", depth);
                player.set("Lfo1 Subtle", c.subtle ? 1.0f : 0.0f);
            },
            kRate / 2, kRate * 3 / 2);
    }
};

TEST_P(HostLfoTargets, FullDepthMovesWhatTheTargetNames) {
    expectMoved(GetParam(), measure(GetParam(), 0.0f), measure(GetParam(), 1.0f));
}

INSTANTIATE_TEST_SUITE_P(Host, HostLfoTargets, ::testing::ValuesIn(kLfoCases),
                         [](const auto& info) { return std::string(info.param.name); });

const TargetCase kEnvelopeCases[] = {
    {"MainPitch", "Main Pitch", Source::Osc1, pitchCents, 3000.0},
    {"Osc1Pitch", "Osc1 - Pitch", Source::Osc1, pitchCents, 3000.0},
    {"Osc2Pitch", "Osc2 - Pitch", Source::Osc2, pitchCents, 3000.0},
    {"Osc2PitchLeavesOsc1", "Osc2 - Pitch", Source::Osc1, pitchCents, kUnmoved},
    {"PulseWidth", "Pulse Width", Source::Pulse, brightnessDb, 6.0},
    {"FilterCutoff", "Filter Cutoff", Source::FilteredSaw, brightnessDb, 6.0},
    {"Osc1Level", "Osc1 - Level", Source::Osc1, levelDb, 3.0},
    {"Osc2Level", "Osc2 - Level", Source::Osc2, levelDb, 3.0},
    {"SubLevel", "Sub - Level", Source::Sub, levelDb, 3.0},
    {"NoiseLevel", "Noise - Level", Source::Noise, levelDb, 3.0},
    {"Lfo3Depth", "LFO 3 - Depth", Source::Lfo3Tremolo, levelDb, 3.0},
    {"Lfo3DepthNeedsLfo3", "LFO 3 - Depth", Source::Osc1, levelDb, kUnmoved},
    {"MeltCircuit", "Melt - Circuit", Source::MeltCircuit, pitchCents, 50.0},
    {"MeltCircuitScalesOnlyTheWobble", "Melt - Circuit", Source::MeltStill, pitchCents, kUnmoved},
    {"LogicSwitch", "Logic Switch", Source::Logic, dutyPercent, 25.0},
};

// Envelope 1 falls from full to nothing over the note's first moments and moves its target with it.
class HostEnvelopeTargets : public ::testing::TestWithParam<TargetCase> {
protected:
    static double measure(const TargetCase& c, float level) {
        return spreadOf(
            c,
            [&](PluginPlayer& player) {
                player.set("Env On/Off", 1.0f);
                player.setShown("Env1 Target", c.target);
                player.set("Env1 Decay (s)", 0.6f);
                player.set("Env1 Level", level);
            },
            kWindow, kRate);
    }
};

TEST_P(HostEnvelopeTargets, TheEnvelopeMovesWhatTheTargetNames) {
    expectMoved(GetParam(), measure(GetParam(), 0.0f), measure(GetParam(), 1.0f));
}

INSTANTIATE_TEST_SUITE_P(Host, HostEnvelopeTargets, ::testing::ValuesIn(kEnvelopeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The level targets add to the mix knob's level instead of scaling it, so a source whose mix is at 0
// sounds as loud as its modulation while the source beside it, on its own line, stays where it was.
struct LevelCase {
    const char* name;
    const char* target;       // "Lfo1 Target" and "Env1 Target" both list it
    const char* silentMix;    // at 0
    double silentHz;
    const char* playingMix;   // at full
    double playingHz;
};

void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.name; }

const double kFifthAboveHz = 440.0 * std::pow(2.0, 7.0 / 12.0);  // Osc2 with "Wave 2 Semi" at 7

const LevelCase kLevelCases[] = {
    {"Osc1OnASilentOsc1", "Osc1 - Level", "Osc1 Mix", 440.0, "Osc2 Mix", kFifthAboveHz},
    {"Osc2OnASilentOsc2", "Osc2 - Level", "Osc2 Mix", kFifthAboveHz, "Osc1 Mix", 440.0},
    {"SubOnASilentSub", "Sub - Level", "SubOsc Mix", 220.0, "Osc1 Mix", 440.0},
};

enum class Modulator { Lfo, Envelope };

struct LineLevels {
    double silentLoudest;  // dB, relative to the playing line
    double playingSpread;  // dB across the windows
};

LineLevels lineLevels(const LevelCase& c, Modulator modulator, float amount) {
    constexpr std::size_t kSpectrumSize = 4096;  // 10.8 Hz bins: the lines lie 20 bins and more apart
    constexpr std::size_t kStep = kSpectrumSize / 2;
    constexpr double kSearchHz = 20.0;
    PluginPlayer player;
    player.setPlainSine();
    player.setShown("Gain Mode", "Off");
    player.setShown("Wave 2 Semi", "7");
    player.set(c.silentMix, 0.0f);
    player.set(c.playingMix, 1.0f);
    if (modulator == Modulator::Lfo) {
        player.set("Lfo1 On/Off", 1.0f);
        player.setShown("Lfo1 Target", c.target);
        player.set("Lfo1 Sync", 1.0f);
        player.set("Lfo1 Rate(Hz)", 0.45f);
        player.set("Lfo1 Depth", amount);
    } else {
        player.set("Env On/Off", 1.0f);
        player.setShown("Env1 Target", c.target);
        player.set("Env1 Decay (s)", 0.6f);
        player.set("Env1 Level", amount);
    }
    player.start();
    player.noteOn(0, 69);
    player.renderUntil(kRate);

    const auto lineDb = [&](const std::vector<double>& magnitude, double hz) {
        double strongest = 0.0;
        for (std::size_t k = static_cast<std::size_t>((hz - kSearchHz) * kSpectrumSize / kRate);
             k <= static_cast<std::size_t>((hz + kSearchHz) * kSpectrumSize / kRate); ++k) {
            strongest = std::max(strongest, magnitude[k]);
        }
        return 20.0 * std::log10(strongest + 1e-30);
    };
    LineLevels levels{-1e300, 0.0};
    double playingLow = 1e300;
    double playingHigh = -1e300;
    for (std::size_t at = kWindow; at + kSpectrumSize <= player.left.size(); at += kStep) {
        const std::vector<double> magnitude = source_rig::spectrum(player.left, at, kSpectrumSize);
        const double playing = lineDb(magnitude, c.playingHz);
        levels.silentLoudest = std::max(levels.silentLoudest, lineDb(magnitude, c.silentHz) - playing);
        playingLow = std::min(playingLow, playing);
        playingHigh = std::max(playingHigh, playing);
    }
    levels.playingSpread = playingHigh - playingLow;
    return levels;
}

class HostLevelTargets : public ::testing::TestWithParam<LevelCase> {};

TEST_P(HostLevelTargets, AddToTheMixSoASilentSourceSoundsAndItsNeighbourStaysPut) {
    constexpr double kHeardDb = -12.0;     // the LFO swings the level to +-0.5 of a full mix
    constexpr double kSilentDb = -100.0;
    constexpr double kPutDb = 0.05;
    for (const Modulator modulator : {Modulator::Lfo, Modulator::Envelope}) {
        const LineLevels still = lineLevels(GetParam(), modulator, 0.0f);
        const LineLevels moved = lineLevels(GetParam(), modulator, 1.0f);
        const bool lfo = modulator == Modulator::Lfo;
        EXPECT_LT(still.silentLoudest, kSilentDb) << lfo;
        EXPECT_GT(moved.silentLoudest, kHeardDb) << lfo;
        EXPECT_LT(moved.playingSpread, kPutDb) << lfo;
    }
}

INSTANTIATE_TEST_SUITE_P(Host, HostLevelTargets, ::testing::ValuesIn(kLevelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// "Filter - Attack" and "Filter - Decay" read alike in a display's eight characters, so these
// cases choose the "Lfo1 Target" option by its number: the engine takes option n at n / 18.
constexpr int kLfoTargetSteps = 19;

// A pulse LFO at the slowest free rate holds its upper half, +0.5 x depth, for 25 seconds.
void holdLfo1(PluginPlayer& player, int targetOption, float depth) {
    player.set("Lfo1 On/Off", 1.0f);
    player.set("Lfo1 Target", static_cast<float>(targetOption) / (kLfoTargetSteps - 1));
    player.setShown("Lfo1 Shape", "Pulse");
    player.set("Lfo1 Sync", 1.0f);
    player.set("Lfo1 Rate(Hz)", 0.0f);
    player.set("Lfo1 Phase %", 0.5f);  // 0 %
    player.set("Lfo1 Depth", depth);
}

enum class Envelope { Amp, Filter };

struct EnvelopeTimeCase {
    const char* name;
    int targetOption;
    Envelope envelope;
    double attackStretch;  // how much longer the attack grows under a constant +0.1
    double decayStretch;
};

void PrintTo(const EnvelopeTimeCase& c, std::ostream* os) { *os << c.name; }

// At 44 kHz the 440 Hz note repeats every 100 samples, so each one-cycle window measures it whole.
constexpr int kCycleRate = 44000;
constexpr int kCycle = 100;

struct EnvelopeTimes {
    int attack;  // cycles from the note to the peak
    int decay;   // cycles from the peak to halfway (in dB) down to where the note settles
};

// Amp: the level of a sine; Filter: the brightness of a saw under a closed low-pass that its
// envelope opens. Attack, decay and sustain alike, so that a stretch shows on one stage only.
EnvelopeTimes envelopeTimes(Envelope envelope, int targetOption, float depth) {
    constexpr float kTime = 0.25f;  // 0.63 s on the squared knobs, 0.16 s at the lowest time scale (25 %)
    constexpr double kPeakDb = 0.1;
    PluginPlayer player(static_cast<float>(kCycleRate));
    player.setPlainSine();
    player.setShown("Gain Mode", "Off");
    const char* stage[] = {"Amp Attack (s)", "Amp Decay (s)", "Amp Sustain %"};
    if (envelope == Envelope::Filter) {
        player.setShown("Osc1 Wave", "Saw");
        player.setShown("Osc Harmonics", "1024");
        player.set("LPF Cutoff", 0.3f);
        player.set("Filter Env Level", 0.5f);
        stage[0] = "LPF Attack (s)";
        stage[1] = "LPF Decay (s)";
        stage[2] = "LPF Sustain %";
    }
    player.set(stage[0], kTime);
    player.set(stage[1], kTime);
    player.set(stage[2], 0.7f);  // 0.49 on the squared knob
    holdLfo1(player, targetOption, depth);
    player.start();
    player.noteOn(0, 69);
    player.renderUntil(kCycleRate);

    std::vector<double> curve;
    for (std::int64_t at = 0; at + kCycle <= player.rendered(); at += kCycle) {
        curve.push_back(envelope == Envelope::Amp ? 20.0 * std::log10(rmsOf(player.left, at, at + kCycle) + 1e-12)
                                                  : brightness(player, at, kCycle));
    }
    const double peak = *std::max_element(curve.begin(), curve.end());
    const auto top = std::find_if(curve.begin(), curve.end(), [&](double v) { return v >= peak - kPeakDb; });
    const double halfway = 0.5 * (peak + curve.back());
    const auto down = std::find_if(top, curve.end(), [&](double v) { return v <= halfway; });
    return {static_cast<int>(top - curve.begin()), static_cast<int>(down - top)};
}

const EnvelopeTimeCase kEnvelopeTimeCases[] = {
    {"AmpAttack", 11, Envelope::Amp, 2.0, 1.0},
    {"AmpDecay", 12, Envelope::Amp, 1.0, 2.0},
    {"FilterAttack", 13, Envelope::Filter, 2.0, 1.0},
    {"FilterDecay", 14, Envelope::Filter, 1.0, 2.0},
};

class HostEnvelopeTimeTargets : public ::testing::TestWithParam<EnvelopeTimeCase> {};

// An LFO holding +0.1 on a stage time doubles that stage (2^(10 x 0.1)) and leaves the other alone.
TEST_P(HostEnvelopeTimeTargets, AConstantTenthDoublesTheStageItNames) {
    constexpr double kTolerance = 0.08;  // a cycle in the 28 of the shortest stage, and some
    const EnvelopeTimeCase& c = GetParam();
    const EnvelopeTimes still = envelopeTimes(c.envelope, c.targetOption, 0.0f);
    const EnvelopeTimes moved = envelopeTimes(c.envelope, c.targetOption, 0.2f);
    ASSERT_GT(still.attack, 0);
    ASSERT_GT(still.decay, 0);
    EXPECT_NEAR(static_cast<double>(moved.attack) / still.attack, c.attackStretch, kTolerance * c.attackStretch)
        << still.attack << " to " << moved.attack << " cycles";
    EXPECT_NEAR(static_cast<double>(moved.decay) / still.decay, c.decayStretch, kTolerance * c.decayStretch)
        << still.decay << " to " << moved.decay << " cycles";
}

INSTANTIATE_TEST_SUITE_P(Host, HostEnvelopeTimeTargets, ::testing::ValuesIn(kEnvelopeTimeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Pitch in cents against A 440 over most of a 0.2 s sound starting at `onset`: the shifter's
// crossfade comes round with its 30 ms window, so a short stretch would catch it at one place.
double centsAt(const PluginPlayer& player, std::int64_t onset) {
    constexpr std::int64_t kSkip = 500;
    constexpr std::int64_t kLength = kRate / 6;
    const std::vector<float> middle(player.left.begin() + onset + kSkip, player.left.begin() + onset + kSkip + kLength);
    return source_rig::cents(crossingFrequency(middle, kRate), 440.0);
}

// Each trip round the echo's feedback passes its pitch shifter, so the first repeat (the plain delay)
// keeps the note's pitch and the second carries "Echo Shift" plus a held LFO on "Echo - Tune":
// +0.1 is 100 cents (the shifter's 1/0.8333-octave unit).
TEST(HostEchoTune, AHeldLfoShiftsEveryTripRoundTheFeedback) {
    constexpr int kEchoTuneOption = 17;
    constexpr std::int64_t kNote = 1000;
    constexpr std::int64_t kRepeat = kRate / 2;   // 1/4 of length 4 at 120 BPM
    constexpr double kToleranceCents = 1.0;
    for (const float depth : {0.0f, 0.2f}) {
        PluginPlayer player;
        player.setPlainSine();
        player.setShown("Gain Mode", "Off");
        player.setTempo(120.0);
        player.set("Echo OnOff", 1.0f);
        player.setShown("Echo Rate", "1/4");
        player.set("Echo Length", 3.0f / 7.0f);  // 4
        player.set("Echo Shift", 0.25f);         // -50 cents
        player.set("Echo LPF", 1.0f);            // open
        player.set("Echo Level", 1.0f);
        player.set("Echo FBK", 0.5f);
        holdLfo1(player, kEchoTuneOption, depth);
        player.start();
        player.noteOn(kNote, 69);
        player.noteOff(kNote + kRate / 5, 69);
        player.renderUntil(kNote + 2 * kRepeat + kRate / 4);

        const double dry = centsAt(player, kNote);
        EXPECT_NEAR(centsAt(player, kNote + kRepeat) - dry, 0.0, kToleranceCents) << depth;
        EXPECT_NEAR(centsAt(player, kNote + 2 * kRepeat) - dry, depth == 0.0f ? -50.0 : 50.0,
                    kToleranceCents)
            << depth;
    }
}

}  // namespace
