#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "modules/sources/SourceRig.h"
#include "support/PluginPlayer.h"

namespace {

using source_rig::crossingFrequency;

constexpr int kStep = 22050;  // rate "1" at 120 BPM and 44.1 kHz

void seqPatch(PluginPlayer& player, int length, const char* direction, std::initializer_list<float> steps) {
    player.setPlainSine();
    player.setTempo(120.0);
    player.set("Seq OnOff", 1.0f);
    player.setShown("Seq Rate", "1");
    player.setShown("Seq Length", std::to_string(length));
    player.setShown("Seq Dir", direction);
    player.setShown("Seq Range", "12");
    int k = 1;
    for (float value : steps) {
        player.set("SeqA " + std::to_string(k++), value);
    }
}

// Semitones from A4 heard in the middle half of each step after `from`.
std::vector<double> stepPitches(const PluginPlayer& player, std::int64_t from, int steps) {
    std::vector<double> pitches;
    for (int k = 0; k < steps; ++k) {
        const auto begin = player.left.begin() + from + static_cast<std::int64_t>(k) * kStep;
        const std::vector<float> middle(begin + kStep / 4, begin + 3 * kStep / 4);
        pitches.push_back(12.0 * std::log2(crossingFrequency(middle, 44100) / 440.0));
    }
    return pitches;
}

// SeqA k holds k / 8, so with "Seq Range" 12 step k raises the pitch by 1.5 k semitones.
std::vector<int> stepIndices(const std::vector<double>& pitches) {
    std::vector<int> steps;
    for (double semitones : pitches) {
        steps.push_back(static_cast<int>(std::lround(semitones / 1.5)));
    }
    return steps;
}

struct SeqCase {
    const char* name;
    const char* direction;
    int length;
    std::vector<int> steps;
};

void PrintTo(const SeqCase& c, std::ostream* os) { *os << c.name; }

const SeqCase kSeqCases[] = {
    {"ForwardThree", "Forward", 3, {0, 1, 2, 0, 1, 2, 0}},
    {"BackFour", "Back", 4, {3, 2, 1, 0, 3, 2, 1}},
    {"FwdBackFour", "Fwd/Back", 4, {0, 1, 2, 3, 2, 1, 0}},
    {"BackFwdFour", "Back/Fwd", 4, {3, 2, 1, 0, 1, 2, 3}},
    {"ForwardEight", "Forward", 8, {0, 1, 2, 3, 4, 5, 6}},
};

class HostSequencerSteps : public ::testing::TestWithParam<SeqCase> {};

TEST_P(HostSequencerSteps, StepValuesReachThePitchInTheDirectionsOrder) {
    const SeqCase& c = GetParam();
    PluginPlayer player;
    seqPatch(player, c.length, c.direction, {0.0f, 0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f});
    player.start();
    player.noteOn(1000, 69);
    const int steps = static_cast<int>(c.steps.size());
    player.renderUntil(1000 + static_cast<std::int64_t>(steps) * kStep);

    const std::vector<double> pitches = stepPitches(player, 1000, steps);
    EXPECT_EQ(stepIndices(pitches), c.steps);
    for (std::size_t k = 0; k < pitches.size(); ++k) {
        EXPECT_NEAR(pitches[k], 1.5 * c.steps[k], 0.01) << "step " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Host, HostSequencerSteps, ::testing::ValuesIn(kSeqCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostSequencer, RandomReplaysTheSameOrderAfterARestart) {
    PluginPlayer player;
    seqPatch(player, 8, "Random", {0.0f, 0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f});
    player.start();
    constexpr int kSteps = 8;
    constexpr std::int64_t kFirst = 1000;
    constexpr std::int64_t kSecond = kFirst + (kSteps + 2) * kStep;
    player.noteOn(kFirst, 69);
    player.noteOff(kFirst + kSteps * kStep, 69);
    player.noteOn(kSecond, 69);  // a new phrase restarts the sequence
    player.renderUntil(kSecond + kSteps * kStep);

    const std::vector<int> first = stepIndices(stepPitches(player, kFirst, kSteps));
    const std::vector<int> second = stepIndices(stepPitches(player, kSecond, kSteps));
    EXPECT_EQ(first, second);
    EXPECT_GE(std::set<int>(first.begin(), first.end()).size(), 4u);  // it does wander
}

TEST(HostSequencer, SeqBStepsReachTheAmplitude) {
    PluginPlayer player;
    seqPatch(player, 2, "Forward", {0.0f, 0.0f});
    player.set("SeqB 1", 0.0f);
    player.set("SeqB 2", 1.0f);
    player.set("Seq Amp", 0.0f);  // -100: the full step value takes the level down
    player.start();
    player.noteOn(1000, 69);
    player.renderUntil(1000 + 4 * kStep);

    const double step1 = rmsOf(player.left, 1000 + kStep / 4, 1000 + 3 * kStep / 4);
    const double step2 = rmsOf(player.left, 1000 + kStep + kStep / 4, 1000 + kStep + 3 * kStep / 4);
    const double step3 = rmsOf(player.left, 1000 + 2 * kStep + kStep / 4, 1000 + 2 * kStep + 3 * kStep / 4);
    EXPECT_NEAR(step3, step1, step1 * 0.01);
    EXPECT_LT(step2, step1 * 0.5);
}

// Share of the signal's energy in its slope: rises as the filter opens.
double brightness(const std::vector<float>& x, std::int64_t from, std::int64_t to) {
    std::vector<float> slope;
    for (std::int64_t i = from + 1; i < to; ++i) {
        slope.push_back(x[static_cast<std::size_t>(i)] - x[static_cast<std::size_t>(i - 1)]);
    }
    return rmsOf(slope, 0, static_cast<std::int64_t>(slope.size())) / rmsOf(x, from, to);
}

TEST(HostSequencer, SeqBStepsReachTheFilterCutoff) {
    PluginPlayer player;
    seqPatch(player, 2, "Forward", {0.0f, 0.0f});
    player.setShown("Osc1 Wave", "Saw");
    player.setShown("Osc Harmonics", "1024");
    player.set("LPF Cutoff", 0.4f);
    player.set("SeqB 1", 0.0f);
    player.set("SeqB 2", 1.0f);
    player.set("Seq Amp", 0.5f);     // 0: the level stays
    player.set("Seq Filter", 1.0f);  // +100
    player.start();
    player.noteOn(1000, 45);
    player.renderUntil(1000 + 3 * kStep);

    const double closed = brightness(player.left, 1000 + kStep / 4, 1000 + 3 * kStep / 4);
    const double opened = brightness(player.left, 1000 + kStep + kStep / 4, 1000 + kStep + 3 * kStep / 4);
    const double closedAgain = brightness(player.left, 1000 + 2 * kStep + kStep / 4, 1000 + 2 * kStep + 3 * kStep / 4);
    EXPECT_GT(opened, closed * 2.0);
    EXPECT_NEAR(closedAgain, closed, closed * 0.02);
}

}  // namespace
