#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "ArpRig.h"
#include "modules/voice/MidiWord.h"

namespace {

using namespace arp_test;

constexpr std::int64_t kStep = 22050;  // one beat at 120 BPM and 44.1 kHz
constexpr std::int64_t kFirst = 10;    // first clock pulse, off the chunk edges

// Note numbers of the note-ons on the output, in order.
std::vector<int> playedNotes(const std::vector<ArpOut>& out) {
    std::vector<int> notes;
    for (const ArpOut& o : out) {
        if (midi_word::isNoteOn(o.word)) {
            notes.push_back(midi_word::note(o.word));
        }
    }
    return notes;
}

TEST(ModulesArpeggiatorOff, PassesEveryWordAtItsSample) {
    for (const bool onWithoutMode : {false, true}) {
        ArpRig rig;
        if (onWithoutMode) {
            rig.option(0, Arp::kPinOnOff, 1);  // no mode has arrived: still a pass-through
        }
        const std::vector<ArpOut> in = {{3, noteOnWord(60)},         {77, noteOnWord(64, 90)},
                                        {200, packMidi(0xE0, 0, 70)}, {201, noteOffWord(60)},
                                        {500, noteOnWord(64, 0)},     {641, packMidi(0xB0, 1, 5)}};
        for (const ArpOut& i : in) {
            rig.midi(i.offset, i.word);
        }
        std::vector<ArpOut> out = rig.run(1024);
        if (onWithoutMode) {
            ASSERT_FALSE(out.empty());
            EXPECT_EQ(out.front(), (ArpOut{0, midi_word::kAllNotesOff}));
            out.erase(out.begin());
        }
        EXPECT_EQ(out, in);
    }
}

TEST(ModulesArpeggiatorOff, HoldSwitchActsAsSustainPedalOnlyWhileOff) {
    ArpRig rig;
    rig.option(5, Arp::kPinSustain, 1);
    rig.option(300, Arp::kPinSustain, 0);
    rig.option(400, Arp::kPinOnOff, 1);
    rig.option(500, Arp::kPinSustain, 1);
    const std::vector<ArpOut> expected = {
        {5, packMidi(0xB0, 64, 127)}, {300, packMidi(0xB0, 64, 0)}, {400, midi_word::kAllNotesOff}};
    EXPECT_EQ(rig.run(1024), expected);
}

struct OrderCase {
    const char* name;
    int mode;
    int range;
    std::vector<int> keys;  // pressed in this order
    std::vector<int> played;
};

class ModulesArpeggiatorOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ModulesArpeggiatorOrder, PlaysTheHeldChordOnePerPulseWithHalfGate) {
    const OrderCase& c = GetParam();
    ArpRig rig;
    rig.arpOn(c.mode, c.range);
    for (std::size_t k = 0; k < c.keys.size(); ++k) {
        rig.midi(kFirst - 5 + static_cast<std::int64_t>(k), noteOnWord(c.keys[k], 80 + static_cast<int>(k)));
    }
    const auto steps = static_cast<std::int64_t>(c.played.size());
    for (std::int64_t s = 0; s < steps; ++s) {
        rig.pulse(kFirst + s * kStep);
    }
    const std::vector<ArpOut> out = rig.run(static_cast<int>(steps * kStep + 100));
    // On the first sample: the all-notes-off of switching on; then note-on at each pulse and its
    // note-off half a step later.
    std::vector<ArpOut> expected = {{0, midi_word::kAllNotesOff}};
    for (std::int64_t s = 0; s < steps; ++s) {
        const int note = c.played[static_cast<std::size_t>(s)];
        int velocity = 0;
        for (std::size_t k = 0; k < c.keys.size(); ++k) {
            if ((note - c.keys[k]) % 12 == 0) {
                velocity = 80 + static_cast<int>(k);
            }
        }
        expected.push_back({kFirst + s * kStep, noteOnWord(note, velocity)});
        expected.push_back({kFirst + s * kStep + kStep / 2, noteOffWord(note, velocity)});
    }
    EXPECT_EQ(out, expected);
}

const OrderCase kOrderCases[] = {
    {"CycleUpInOrderOfArrivalOverTwoOctaves", 1, 1, {64, 60, 67}, {64, 60, 67, 76, 72, 79, 64, 60, 67}},
    {"CycleDownFirstNoteOnTopThenBackwards", 2, 1, {64, 60, 67}, {76, 67, 60, 64, 79, 72, 76, 67, 60}},
    {"CycleUpDnDoesNotRepeatTheEnds", 3, 0, {1 + 60, 2 + 60, 3 + 60}, {61, 62, 63, 62, 61, 62, 63, 62}},
    {"CycleUpDn2RepeatsTheEnds", 4, 0, {61, 62, 63}, {61, 62, 63, 63, 62, 61, 61, 62, 63}},
    {"CycleUpDnOverOctaves", 3, 1, {60, 64}, {60, 64, 72, 76, 72, 64, 60, 64, 72}},
    {"SingleNoteUpDnOverOctaves", 3, 1, {60}, {60, 72, 60, 72}},
    {"SingleNoteOneOctaveRepeats", 4, 0, {60}, {60, 60, 60}},
};

INSTANTIATE_TEST_SUITE_P(ModulesArpeggiator, ModulesArpeggiatorOrder, ::testing::ValuesIn(kOrderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesArpeggiatorRandom, PlaysOnlyHeldNotesInTheirOctaves) {
    ArpRig rig;
    rig.arpOn(5, 2);
    rig.midi(1, noteOnWord(60));
    rig.midi(2, noteOnWord(65));
    constexpr int kSteps = 64;
    for (int s = 0; s < kSteps; ++s) {
        rig.pulse(kFirst + s * 1000);
    }
    const std::vector<int> played = playedNotes(rig.run(kSteps * 1000 + 100));
    ASSERT_EQ(played.size(), static_cast<std::size_t>(kSteps));
    std::vector<int> seen(128, 0);
    for (const int n : played) {
        EXPECT_TRUE(n % 12 == 0 || n % 12 == 5) << n;
        EXPECT_GE(n, 60);
        EXPECT_LE(n, 65 + 24);
        ++seen[static_cast<std::size_t>(n)];
    }
    for (const int n : {60, 72, 84, 65, 77, 89}) {
        EXPECT_GT(seen[static_cast<std::size_t>(n)], 0) << n;
    }
}

struct GateCase {
    const char* name;
    float tempo;  // BPM / 10
    int rate;     // "Arp Rate" index
    float half;
    float gate;
    std::int64_t offAfter;  // samples from note-on to note-off
};

class ModulesArpeggiatorGate : public ::testing::TestWithParam<GateCase> {};

TEST_P(ModulesArpeggiatorGate, NoteOffComesAfterGateTimesStep) {
    const GateCase& c = GetParam();
    ArpRig rig;
    rig.arpOn(1);
    rig.param(0, Arp::kPinTempo, c.tempo);
    rig.option(0, Arp::kPinRate, c.rate);
    rig.param(0, Arp::kPinHalf, c.half);
    rig.param(0, Arp::kPinGate, c.gate);
    rig.midi(5, noteOnWord(60));
    rig.pulse(kFirst);
    const std::vector<ArpOut> out = rig.run(60000);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1], (ArpOut{kFirst, noteOnWord(60)}));
    EXPECT_EQ(out[2], (ArpOut{kFirst + c.offAfter, noteOffWord(60)}));
}

const GateCase kGateCases[] = {
    {"HalfOfOneBeatAt120", 12.0f, 3, 1.0f, 0.5f, 11025},
    // trunc(0.5 s / (1.5 * 2) * 44100) = 7350 samples, 25 % of it rounded
    {"DottedEighthsQuarterGate", 12.0f, 4, 1.5f, 0.25f, 1838},
    // 90 BPM, x2: trunc(6 / 9 / 0.5 * 44100) = 58800, 95 %
    {"SlowLongGate", 9.0f, 2, 1.0f, 0.95f, 55860},
    {"GateBelowRangeIsFivePercent", 12.0f, 3, 1.0f, 0.0f, 1103},
};

INSTANTIATE_TEST_SUITE_P(ModulesArpeggiator, ModulesArpeggiatorGate, ::testing::ValuesIn(kGateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesArpeggiatorHold, KeepsTheListAcrossReleasesAndEndsWhenSwitchedOff) {
    ArpRig rig;
    rig.arpOn(1);
    rig.option(0, Arp::kPinHold, 1);
    rig.midi(1, noteOnWord(60));
    rig.midi(2, noteOffWord(60));
    rig.pulse(kFirst);
    rig.pulse(kFirst + kStep);
    rig.midi(kFirst + kStep + 100, noteOnWord(62));  // appended to the held list
    rig.midi(kFirst + kStep + 200, noteOffWord(62));
    rig.pulse(kFirst + 2 * kStep);
    rig.pulse(kFirst + 3 * kStep);
    rig.option(kFirst + 3 * kStep + 5, Arp::kPinHold, 0);  // the sounding note ends here
    rig.pulse(kFirst + 4 * kStep);
    const std::vector<ArpOut> out = rig.run(static_cast<int>(5 * kStep));
    EXPECT_EQ(playedNotes(out), (std::vector<int>{60, 60, 62, 60}));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), (ArpOut{kFirst + 3 * kStep + 5, noteOffWord(60)}));
}

TEST(ModulesArpeggiatorRelease, LastKeyUpEndsThePhraseAndTheNoteRunsItsGate) {
    ArpRig rig;
    rig.arpOn(1);
    rig.midi(1, noteOnWord(60));
    rig.midi(2, noteOnWord(64));
    rig.pulse(kFirst);
    rig.midi(kFirst + 3, noteOffWord(60));  // removed: the walk goes on with 64 alone
    rig.pulse(kFirst + kStep);
    rig.midi(kFirst + kStep + 4, noteOffWord(64));
    rig.pulse(kFirst + 2 * kStep);  // no phrase: nothing
    const std::vector<ArpOut> expected = {{0, midi_word::kAllNotesOff},
                                          {kFirst, noteOnWord(60)},
                                          {kFirst + kStep / 2, noteOffWord(60)},
                                          {kFirst + kStep, noteOnWord(64)},
                                          {kFirst + kStep + kStep / 2, noteOffWord(64)}};
    EXPECT_EQ(rig.run(static_cast<int>(3 * kStep)), expected);
}

TEST(ModulesArpeggiatorLegato, RepeatedNoteIsNotRetriggeredOtherNotesOverlap) {
    ArpRig rig;
    rig.arpOn(1);
    rig.option(0, Arp::kPinLegato, 1);
    rig.midi(1, noteOnWord(60));
    rig.pulse(kFirst);
    rig.pulse(kFirst + kStep);  // the same note: it only lasts longer
    rig.midi(kFirst + kStep + 10, noteOnWord(67));
    rig.pulse(kFirst + 2 * kStep);  // 67: the 60 ends two samples later
    const std::int64_t overlap = std::llround(kStep * 1.05);
    const std::vector<ArpOut> expected = {{0, midi_word::kAllNotesOff},
                                          {kFirst, noteOnWord(60)},
                                          {kFirst + 2 * kStep, noteOnWord(67)},
                                          {kFirst + 2 * kStep + 2, noteOffWord(60)},
                                          {kFirst + 2 * kStep + overlap, noteOffWord(67)}};
    EXPECT_EQ(rig.run(static_cast<int>(5 * kStep)), expected);
}

TEST(ModulesArpeggiatorVelocity, ConstantModePlaysFullVelocity) {
    ArpRig rig;
    rig.arpOn(1);
    rig.option(0, Arp::kPinVelocityMode, 1);
    rig.midi(1, noteOnWord(60, 33));
    rig.pulse(kFirst);
    const std::vector<ArpOut> out = rig.run(static_cast<int>(kStep));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].word, noteOnWord(60, 127));
    EXPECT_EQ(out[2].word, noteOffWord(60, 127));
}

TEST(ModulesArpeggiatorSwitch, OnSendsAllNotesOffOnItsChannelOffEndsTheSoundingNote) {
    ArpRig rig;
    rig.event(0, Arp::kPinAllOffChannel, 3, 0.3f);
    rig.arpOn(1);
    rig.midi(1, noteOnWord(60));
    rig.pulse(kFirst);
    rig.option(kFirst + 100, Arp::kPinOnOff, 0);
    rig.midi(kFirst + 200, noteOffWord(60));  // passes through now
    const std::vector<ArpOut> expected = {{0, midi_word::kAllNotesOff + 3},
                                          {kFirst, noteOnWord(60)},
                                          {kFirst + 100, noteOffWord(60)},
                                          {kFirst + 200, noteOffWord(60)}};
    EXPECT_EQ(rig.run(static_cast<int>(kStep)), expected);
}

TEST(ModulesArpeggiatorSwitch, AllNotesOffClearsTheListAndPasses) {
    ArpRig rig;
    rig.arpOn(1);
    rig.midi(1, noteOnWord(60));
    rig.pulse(kFirst);
    rig.midi(kFirst + 100, packMidi(0xB2, 123, 0));
    rig.pulse(kFirst + kStep);  // nothing held any more
    const std::vector<ArpOut> expected = {
        {0, midi_word::kAllNotesOff}, {kFirst, noteOnWord(60)}, {kFirst + 100, packMidi(0xB2, 123, 0)}};
    EXPECT_EQ(rig.run(static_cast<int>(2 * kStep)), expected);
}

// One scripted performance with every kind of input, the same whatever the chunking.
std::vector<ArpOut> perform(int blockLength) {
    ArpRig rig(blockLength);
    rig.arpOn(3, 1);
    rig.param(0, Arp::kPinRate, 0.6f);
    rig.param(0, Arp::kPinGate, 0.7f);
    rig.midi(3, noteOnWord(60));
    rig.midi(40, noteOnWord(63));
    rig.midi(41, noteOnWord(67));
    for (int s = 0; s < 40; ++s) {
        rig.pulse(kFirst + s * 2756 + (s % 3));
    }
    rig.midi(30001, noteOffWord(63));
    rig.option(50000, Arp::kPinLegato, 1);
    rig.option(70000, Arp::kPinMode, 4);
    rig.option(90000, Arp::kPinOnOff, 0);
    rig.midi(90001, noteOnWord(70));
    return rig.run(120000);
}

TEST(ModulesArpeggiatorProperty, SplitRenderingGivesTheSameWords) {
    const std::vector<ArpOut> whole = perform(128);
    ASSERT_GT(whole.size(), 40u);
    for (const int block : {1, 7, 64, 100}) {
        EXPECT_EQ(perform(block), whole) << "block " << block;
    }
}

TEST(ModulesArpeggiatorProperty, HostileInputGivesValidWordsAndEveryNoteEnds) {
    ArpRig rig;
    rig.arpOn(1, 3);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    rig.event(1, Arp::kPinTempo, 0, nan);
    rig.event(1, Arp::kPinTempo, 0, -inf);
    rig.event(1, Arp::kPinGate, 0, inf);
    rig.event(1, Arp::kPinHalf, 0, nan);
    rig.event(1, Arp::kPinRate, 1 << 30, 0.0f);
    rig.event(1, Arp::kPinRange, -77, 0.0f);
    rig.event(1, Arp::kPinRange, 1000, 0.0f);
    rig.event(1, Arp::kPinMode, 99, 0.0f);
    rig.event(1, Arp::kPinAllOffChannel, -5, 0.0f);
    std::uint32_t x = 12345;
    for (int i = 0; i < 3000; ++i) {
        x = x * 1664525u + 1013904223u;
        rig.midi(2 + i * 7, static_cast<std::int32_t>(x));
        if (i % 5 == 0) {
            rig.pulse(3 + i * 7);
        }
    }
    rig.option(30000, Arp::kPinOnOff, 0);
    const std::vector<ArpOut> out = rig.run(200000);
    // At most one arpeggiated note sounds at a time, and each one ends.
    int sounding = 0;
    for (const ArpOut& o : out) {
        EXPECT_GE(o.offset, 0);
        if (midi_word::isNoteOn(o.word)) {
            ++sounding;
        } else if (midi_word::isNoteOff(o.word)) {
            --sounding;
        } else if (midi_word::type(o.word) == midi_word::kController && midi_word::isAllNotesOff(o.word)) {
            sounding = 0;
        }
        EXPECT_LE(sounding, 1);
        EXPECT_GE(sounding, 0);
    }
    EXPECT_EQ(sounding, 0);
}

}  // namespace
