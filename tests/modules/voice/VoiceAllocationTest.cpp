#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "modules/voice/VoiceRig.h"

namespace {

using Allocator = QX_DSP_Midi_to_Poly_Gen2;

constexpr int kGate = Allocator::kOutputGate;
constexpr int kPitch = Allocator::kOutputPitch;
constexpr int kVelocity = Allocator::kOutputVelocity;
constexpr int kChannel = Allocator::kOutputChannel;
constexpr int kGlide = Allocator::kOutputGlideStart;
constexpr int kTwoTenMs = 2 * (44100 / 100 + 1);  // the note-off retry delay at 44.1 kHz
constexpr int kAnyTime = -1;

VoiceRig::Options withVoices(int voices) {
    VoiceRig::Options options;
    options.voices = voices;
    return options;
}

TEST(ModulesVoiceAllocation, NotesReachTheirVoicesAtTheirSample) {
    VoiceRig rig(withVoices(4));
    rig.midi(5, 0x90, 69, 100);
    rig.midi(130, 0x90, 60, 127);
    rig.midi(131, 0x93, 9, 1);
    rig.midi(300, 0x80, 69, 0);
    rig.runTo(400);
    struct Expected {
        int offset;
        int voice;
        int output;
        std::int32_t ivalue;
        float fvalue;
    };
    const Expected expected[] = {
        {5, 0, kPitch, 69, 0.5f},   {5, 0, kVelocity, 100, 100.0f / 127.0f}, {5, 0, kGate, 10, 10.0f},
        {130, 1, kPitch, 60, pitchOfNote(60)}, {130, 1, kVelocity, 127, 1.0f}, {130, 1, kGate, 10, 10.0f},
        {131, 2, kPitch, 9, 0.0f},  {131, 2, kVelocity, 1, 1.0f / 127.0f},   {131, 2, kGate, 10, 10.0f},
        {300, 0, kGate, 0, 0.0f},
    };
    const auto got = rig.voiceEvents();
    ASSERT_EQ(got.size(), std::size(expected));
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].time, rig.at(expected[i].offset)) << i;
        EXPECT_EQ(got[i].voice, expected[i].voice) << i;
        EXPECT_EQ(got[i].output, expected[i].output) << i;
        EXPECT_EQ(got[i].ivalue, expected[i].ivalue) << i;
        EXPECT_EQ(got[i].fvalue, expected[i].fvalue) << i;
    }
    for (int v = 0; v < 3; ++v) {
        EXPECT_TRUE(rig.voiceAwake(v)) << v;
    }
    EXPECT_TRUE(rig.voiceAsleep(3));
    EXPECT_EQ(rig.allocator->voiceState(0), QX_VoiceTable::kReleased);
    EXPECT_EQ(rig.allocator->voiceState(1), QX_VoiceTable::kSounding + 60);
}

TEST(ModulesVoiceAllocation, UnreportedOutputsAreNotComputed) {
    VoiceRig::Options options = withVoices(2);
    options.registerOutputs = false;
    VoiceRig rig(options);
    rig.setting(0, Allocator::kPinPortamento, 500, 50.0f);
    rig.setting(0, Allocator::kPinMpeActive, 1, 0.1f);
    rig.setting(0, Allocator::kPinMpeA74, 1, 0.1f);
    rig.midi(10, 0x90, 60, 100);
    rig.midi(20, 0x92, 64, 100);
    rig.runTo(100);
    const auto got = rig.voiceEvents();
    // Gate and channel are always sent; the channel is the MIDI channel nibble minus one.
    ASSERT_EQ(got.size(), 4U);
    EXPECT_EQ(got[0].output, kChannel);
    EXPECT_EQ(got[0].ivalue, -1);
    EXPECT_EQ(got[1].output, kGate);
    EXPECT_EQ(got[2].output, kChannel);
    EXPECT_EQ(got[2].ivalue, 1);
    EXPECT_EQ(got[3].output, kGate);
    EXPECT_EQ(rig.engine.mpeMode, 1);
    EXPECT_EQ(rig.engine.mpeSwapPressureSlide, 1);
}

// ---------------------------------------------------------------- stealing

struct StealCase {
    const char* name;
    std::vector<int> releasedVoices;  // note-offs before the 21st note, in this order
    int victim;
};

class ModulesVoiceAllocationSteal : public ::testing::TestWithParam<StealCase> {};

TEST_P(ModulesVoiceAllocationSteal, TheTwentyFirstNoteTakesTheRightVoiceAfterItsFade) {
    VoiceRig rig(withVoices(20));
    for (int v = 0; v < 20; ++v) {
        rig.midi(10 * v, 0x90, 40 + v, 100);
    }
    int offset = 300;
    for (const int v : GetParam().releasedVoices) {
        rig.midi(offset, 0x80, 40 + v, 0);
        offset += 10;
    }
    rig.midi(500, 0x90, 90, 77);
    rig.runTo(501);
    const int victim = GetParam().victim;
    EXPECT_EQ(rig.allocator->voiceState(victim) & kVoiceStealMarked, 0U) << "the fade began";
    EXPECT_EQ(rig.allocator->voiceState(victim) & kVoiceStealFading, kVoiceStealFading);
    const std::size_t before = rig.listeners[victim]->events.size();
    rig.runTo(2000);
    ASSERT_EQ(rig.fader->finished.size(), 1U);
    const std::uint32_t fadeEnd = rig.fader->finished[0].time;
    EXPECT_EQ(rig.fader->finished[0].voice, victim);
    // The mixer fades whole stretches, so the fade counts from the start of the chunk that saw the mark.
    EXPECT_GT(fadeEnd, rig.at(500));
    EXPECT_LE(fadeEnd, rig.at(500) + StealFader::kFadeLength + kMaxChunk);
    const auto& events = rig.listeners[victim]->events;
    ASSERT_EQ(events.size(), before + 3);
    EXPECT_EQ(events[before].pin, kPitch);
    EXPECT_EQ(events[before].ivalue, 90);
    EXPECT_EQ(events[before + 1].pin, kVelocity);
    EXPECT_EQ(events[before + 1].ivalue, 77);
    EXPECT_EQ(events[before + 2].pin, kGate);
    for (std::size_t i = before; i < events.size(); ++i) {
        EXPECT_EQ(events[i].time, fadeEnd);
    }
    EXPECT_EQ(rig.allocator->voiceState(victim), QX_VoiceTable::kSounding + 90);
    // The stolen key's note-off no longer reaches the voice.
    rig.midi(2100, 0x80, 40 + victim, 0);
    rig.runTo(2200);
    EXPECT_EQ(events.size(), before + 3);
}

const StealCase kStealCases[] = {
    {"AllHeldStealsTheOldest", {}, 0},
    {"OldestReleasedBeforeAnyHeld", {7, 3, 12}, 3},
    {"ReleasedEvenWhenNewer", {19}, 19},
};

INSTANTIATE_TEST_SUITE_P(ModulesVoiceAllocation, ModulesVoiceAllocationSteal, ::testing::ValuesIn(kStealCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- play rules

struct Midi {
    int offset;
    int status;
    int data1;
    int data2;
};

struct Heard {
    int voice;
    int output;
    std::int32_t ivalue;
    float fvalue;
    int offset = kAnyTime;
};

struct PlayCase {
    const char* name;
    std::int32_t mono;
    std::int32_t legato;
    std::int32_t lastNote;
    float portamento;
    std::vector<Midi> midi;
    std::vector<Heard> expected;
};

class ModulesVoiceAllocationPlay : public ::testing::TestWithParam<PlayCase> {};

TEST_P(ModulesVoiceAllocationPlay, VoicesHearWhatTheModeAllows) {
    const PlayCase& c = GetParam();
    VoiceRig rig(withVoices(4));
    rig.setting(0, Allocator::kPinMono, c.mono, 0.0f);
    rig.setting(0, Allocator::kPinLegato, c.legato, 0.0f);
    rig.setting(0, Allocator::kPinLastNoteMode, c.lastNote, 0.0f);
    rig.setting(0, Allocator::kPinPortamento, 0, c.portamento);
    for (const Midi& m : c.midi) {
        rig.midi(m.offset, m.status, m.data1, m.data2);
    }
    rig.runTo(12000);
    const auto got = rig.voiceEvents();
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        const Heard& e = c.expected[i];
        EXPECT_EQ(got[i].voice, e.voice) << i;
        EXPECT_EQ(got[i].output, e.output) << i;
        EXPECT_EQ(got[i].ivalue, e.ivalue) << i;
        EXPECT_EQ(got[i].fvalue, e.fvalue) << i;
        if (e.offset != kAnyTime) {
            EXPECT_EQ(got[i].time, rig.at(e.offset)) << i;
        }
    }
}

constexpr float v100 = 100.0f / 127.0f;
constexpr float v90 = 90.0f / 127.0f;

const PlayCase kPlayCases[] = {
    {"MonoLastNoteBringsBackTheHeldKey", 1, 0, 1, 5.0f,
     {{1000, 0x90, 60, 100}, {2000, 0x90, 64, 90}, {4000, 0x80, 64, 0}, {6000, 0x80, 60, 0}},
     {{0, kPitch, 60, pitchOfNote(60), 1000}, {0, kVelocity, 100, v100, 1000}, {0, kGate, 10, 10.0f, 1000},
      {0, kPitch, 64, pitchOfNote(64)}, {0, kGlide, 64, pitchOfNote(60)}, {0, kVelocity, 90, v90},
      {0, kGate, 10, 10.0f},
      {0, kPitch, 60, pitchOfNote(60)}, {0, kGlide, 60, pitchOfNote(64)}, {0, kVelocity, 100, v100},
      {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 6000}}},
    {"MonoWithoutLastNoteReleasesWithTheNewestKey", 1, 0, 0, 0.0f,
     {{1000, 0x90, 60, 100}, {2000, 0x90, 64, 90}, {4000, 0x80, 64, 0}, {6000, 0x80, 60, 0}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {0, kPitch, 64, pitchOfNote(64)}, {0, kVelocity, 90, v90}, {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 4000}}},
    {"LegatoMovesOnlyThePitch", 1, 1, 1, 5.0f,
     {{1000, 0x90, 62, 100}, {2000, 0x90, 67, 90}, {4000, 0x80, 67, 0}, {6000, 0x80, 62, 0}},
     {{0, kPitch, 62, pitchOfNote(62), 1000}, {0, kVelocity, 100, v100, 1000}, {0, kGate, 10, 10.0f, 1000},
      {0, kPitch, 67, pitchOfNote(67), 2000}, {0, kGlide, 67, pitchOfNote(62), 2000},
      {0, kPitch, 62, pitchOfNote(62), 4000}, {0, kGlide, 62, pitchOfNote(67), 4000},
      {0, kGate, 0, 0.0f, 6000}}},
    {"MonoIgnoresAKeyWithinTwentyMs", 1, 0, 1, 0.0f,
     {{1000, 0x90, 60, 100}, {1100, 0x90, 64, 90}, {1500, 0x80, 64, 0}, {3000, 0x80, 60, 0}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 3000}}},
    {"PolyGlidesFromThePreviousNote", 0, 0, 1, 5.0f,
     {{1000, 0x90, 60, 100}, {1100, 0x90, 64, 90}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {1, kPitch, 64, pitchOfNote(64)}, {1, kGlide, 64, pitchOfNote(60)}, {1, kVelocity, 90, v90},
      {1, kGate, 10, 10.0f}}},
    {"PolyDuplicateNoteOnIgnored", 0, 0, 1, 0.0f,
     {{1000, 0x90, 60, 100}, {1100, 0x90, 60, 90}, {1200, 0x80, 60, 0}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 1200}}},
    {"NoteDroppedWhenNoVoiceStartedBeforeIt", 0, 0, 1, 0.0f,
     {{1000, 0x90, 60, 100}, {1000, 0x90, 61, 100}, {1000, 0x90, 62, 100}, {1000, 0x90, 63, 100},
      {1000, 0x90, 64, 100}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {1, kPitch, 61, pitchOfNote(61)}, {1, kVelocity, 100, v100}, {1, kGate, 10, 10.0f},
      {2, kPitch, 62, pitchOfNote(62)}, {2, kVelocity, 100, v100}, {2, kGate, 10, 10.0f},
      {3, kPitch, 63, pitchOfNote(63)}, {3, kVelocity, 100, v100}, {3, kGate, 10, 10.0f}}},
    {"NoteOffInItsStartSampleIsRetriedLater", 0, 0, 1, 0.0f,
     {{1000, 0x90, 60, 100}, {1000, 0x80, 60, 0}},
     {{0, kPitch, 60, pitchOfNote(60), 1000}, {0, kVelocity, 100, v100, 1000}, {0, kGate, 10, 10.0f, 1000},
      {0, kGate, 0, 0.0f, 1000 + kTwoTenMs}}},
    {"PedalHoldsUntilLifted", 0, 0, 1, 0.0f,
     {{1000, 0xB0, 64, 127}, {1100, 0x90, 60, 100}, {1300, 0x80, 60, 0}, {2000, 0xB0, 64, 0}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 2000}}},
    {"ReStrikeUnderThePedalRestartsTheSameVoice", 0, 0, 1, 0.0f,
     {{1000, 0xB0, 64, 127}, {1100, 0x90, 60, 100}, {1300, 0x80, 60, 0}, {2000, 0x90, 60, 90},
      {4000, 0xB0, 64, 0}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 90, v90}, {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 4000}}},
    {"PedalLiftedDuringAReStrikeFadeReleasesAfterIt", 0, 0, 1, 0.0f,
     {{1000, 0xB0, 64, 127}, {1100, 0x90, 60, 100}, {1300, 0x80, 60, 0}, {2000, 0x90, 60, 90},
      {2100, 0xB0, 64, 0}},
     {{0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 100, v100}, {0, kGate, 10, 10.0f},
      {0, kPitch, 60, pitchOfNote(60)}, {0, kVelocity, 90, v90}, {0, kGate, 10, 10.0f},
      {0, kGate, 0, 0.0f, 2100 + kTwoTenMs}}},
};

INSTANTIATE_TEST_SUITE_P(ModulesVoiceAllocation, ModulesVoiceAllocationPlay, ::testing::ValuesIn(kPlayCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- voice life cycle

TEST(ModulesVoiceAllocation, SilentVoiceSleepsExactlyItsModulesAndIsReused) {
    VoiceRig rig(withVoices(4));
    rig.midi(10, 0x90, 60, 100);
    rig.midi(20, 0x90, 62, 100);
    rig.midi(30, 0x90, 64, 100);
    rig.midi(40, 0x80, 62, 0);
    rig.runTo(100);
    rig.allocator->voiceSilent(1);
    EXPECT_TRUE(rig.voiceAsleep(1));
    EXPECT_TRUE(rig.voiceAwake(0));
    EXPECT_TRUE(rig.voiceAwake(2));
    EXPECT_TRUE(rig.voiceAsleep(3));
    EXPECT_FALSE(rig.asleep(rig.outside));
    EXPECT_FALSE(rig.asleep(rig.allocator));
    EXPECT_EQ(rig.allocator->voiceState(1), QX_VoiceTable::kFree);
    rig.midi(200, 0x90, 70, 100);
    rig.runTo(300);
    EXPECT_TRUE(rig.voiceAwake(1));
    EXPECT_EQ(rig.allocator->voiceState(1), QX_VoiceTable::kSounding + 70);
    EXPECT_EQ(rig.listeners[1]->events.back().time, rig.at(200));
}

TEST(ModulesVoiceAllocation, AllNotesOffGatesEveryVoiceAndFadesTheAwakeOnes) {
    VoiceRig rig(withVoices(3));
    rig.setting(0, Allocator::kPinMono, 1, 0.0f);
    rig.midi(1000, 0x90, 60, 100);
    rig.midi(2000, 0x90, 64, 100);  // restarts voice 0 through a fade; the new note waits for it
    rig.midi(2010, 0xB0, 123, 0);
    rig.midi(2020, 0x80, 64, 0);
    rig.runTo(4000);
    for (int v = 0; v < 3; ++v) {
        const auto& events = rig.listeners[v]->events;
        ASSERT_FALSE(events.empty()) << v;
        EXPECT_EQ(events.back().pin, kGate) << v;
        EXPECT_EQ(events.back().ivalue, 0) << v;
        EXPECT_EQ(events.back().time, rig.at(2010)) << v;
    }
    EXPECT_EQ(rig.listeners[0]->events.size(), 4U) << "the waiting note never starts";
    EXPECT_EQ(rig.listeners[0]->fadeRequests, 1);
    EXPECT_EQ(rig.others[0]->fadeRequests, 1);
    EXPECT_EQ(rig.listeners[1]->fadeRequests, 0) << "asleep";
    EXPECT_EQ(rig.others[2]->fadeRequests, 0) << "asleep";
    EXPECT_EQ(rig.outside->fadeRequests, 0);
    ASSERT_EQ(rig.fader->finished.size(), 1U);
    EXPECT_TRUE(rig.voiceAsleep(0));
    EXPECT_EQ(rig.allocator->voiceState(0), QX_VoiceTable::kFree);
    rig.midi(5000, 0x90, 50, 100);
    rig.runTo(5100);
    EXPECT_EQ(rig.listeners[0]->events.back().time, rig.at(5000));
    EXPECT_EQ(rig.allocator->voiceState(0), QX_VoiceTable::kSounding + 50);
}

TEST(ModulesVoiceAllocation, MonoFlagChangeFadesOutAndFreesEveryVoice) {
    VoiceRig rig(withVoices(4));
    rig.midi(10, 0x90, 60, 100);
    rig.midi(20, 0x90, 62, 100);
    rig.midi(30, 0x90, 64, 100);
    rig.midi(40, 0x80, 64, 0);
    rig.setting(100, Allocator::kPinMono, 1, 0.1f);
    rig.runTo(100);
    const std::size_t heard = rig.voiceEvents().size();
    rig.runTo(101);
    for (int v = 0; v < 3; ++v) {
        EXPECT_NE(rig.allocator->voiceState(v) & QX_VoiceTable::kStealFlags, 0U) << v;
    }
    rig.runTo(2000);
    EXPECT_EQ(rig.fader->finished.size(), 3U);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(rig.allocator->voiceState(v), QX_VoiceTable::kFree) << v;
        EXPECT_TRUE(rig.voiceAsleep(v)) << v;
    }
    EXPECT_EQ(rig.voiceEvents().size(), heard) << "nothing restarts";
    // The keys still held end quietly; mono plays in voice 0.
    rig.midi(2100, 0x80, 60, 0);
    rig.midi(2200, 0x90, 70, 100);
    rig.runTo(2300);
    EXPECT_EQ(rig.allocator->voiceState(0), QX_VoiceTable::kSounding + 70);
}

// ---------------------------------------------------------------- hostile input and chunking

// A fixed stream of MIDI with hostile words mixed in: out-of-range notes, velocity-0 note-ons,
// running all-notes-off, garbage status bytes, pedal changes and mode switches.
struct Step {
    int offset;
    int pin;
    std::int32_t ivalue;
    float fvalue;
};

std::vector<Step> hostileStream() {
    std::vector<Step> steps;
    std::uint32_t a = 0x61253047U;
    std::uint32_t b = 0xC89DB3F6U;
    auto draw = [&](int range) {
        a ^= b;
        b += a;
        return static_cast<int>(b % static_cast<std::uint32_t>(range));
    };
    int offset = 0;
    for (int i = 0; i < 600; ++i) {
        offset += draw(3) == 0 ? 0 : draw(90);
        const int kind = draw(20);
        const int note = draw(256);  // notes above 127 are masked to 0..127
        if (kind < 8) {
            steps.push_back({offset, Allocator::kPinMidi, packMidi(0x90 | draw(16), note, draw(128)), 0.0f});
        } else if (kind < 15) {
            steps.push_back({offset, Allocator::kPinMidi, packMidi(0x80, note, draw(128)), 0.0f});
        } else if (kind == 15) {
            steps.push_back({offset, Allocator::kPinMidi, packMidi(0xB0, 64, draw(2) * 127), 0.0f});
        } else if (kind == 16) {
            steps.push_back({offset, Allocator::kPinMidi, packMidi(0xB0, draw(2) != 0 ? 123 : 120, 0), 0.0f});
        } else if (kind == 17) {
            steps.push_back({offset, Allocator::kPinMidi, static_cast<std::int32_t>(b), 0.0f});
        } else if (kind == 18) {
            steps.push_back({offset, Allocator::kPinMono, draw(2), 0.0f});
            steps.push_back({offset, Allocator::kPinLegato, draw(2), 0.0f});
        } else {
            steps.push_back({offset, Allocator::kPinPortamento, 0, draw(2) != 0 ? NAN : INFINITY});
        }
    }
    return steps;
}

std::vector<VoiceRig::VoiceEvent> playHostile(int blockLength) {
    VoiceRig::Options options;
    options.voices = 6;
    options.blockLength = blockLength;
    options.fader = false;  // the mixer reports fade ends per stretch, which depends on chunking
    VoiceRig rig(options);
    rig.setting(0, Allocator::kPinMpeActive, 1, 0.1f);
    for (const Step& s : hostileStream()) {
        rig.setting(s.offset, s.pin, s.ivalue, s.fvalue);
    }
    rig.runTo(hostileStream().back().offset + 4 * kTwoTenMs);
    return rig.voiceEvents();
}

TEST(ModulesVoiceAllocation, HostileMidiIsSafeAndChunkingDoesNotMoveAnyEvent) {
    const auto whole = playHostile(128);
    ASSERT_GT(whole.size(), 100U);
    for (const auto& e : whole) {
        ASSERT_TRUE(std::isfinite(e.fvalue));
        if (e.output == kPitch) {
            ASSERT_GE(e.ivalue, 0);
            ASSERT_LE(e.ivalue, 127);
            ASSERT_EQ(e.fvalue, pitchOfNote(e.ivalue));
        }
    }
    for (const int blockLength : {37, 5}) {
        const auto split = playHostile(blockLength);
        ASSERT_EQ(split.size(), whole.size()) << blockLength;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            ASSERT_EQ(split[i].time, whole[i].time) << blockLength << " event " << i;
            ASSERT_EQ(split[i].voice, whole[i].voice) << i;
            ASSERT_EQ(split[i].output, whole[i].output) << i;
            ASSERT_EQ(split[i].ivalue, whole[i].ivalue) << i;
        }
    }
}

TEST(ModulesVoiceAllocation, OutOfRangeCallsAndFiguresAreIgnored) {
    VoiceRig rig(withVoices(2));
    rig.allocator->setVoiceGroup(rig.bodyStart, 1000, VoiceRig::kModulesPerVoice);
    EXPECT_EQ(rig.allocator->voiceCount(), QX_VoiceTable::kMaxVoices);
    rig.allocator->setVoiceGroup(rig.bodyStart, 2, VoiceRig::kModulesPerVoice);
    for (const int voice : {-1, 2, 1 << 30}) {
        rig.allocator->voiceSilent(voice);
        rig.allocator->voiceFinished(voice, rig.engine.sampleClock);
        rig.allocator->markVoiceFading(voice);
        EXPECT_EQ(rig.allocator->voiceState(voice), QX_VoiceTable::kFree);
    }
    rig.setting(0, 63, 5, NAN);
    rig.midi(10, 0x90, 200, 100);  // note 200 is note 72 once masked
    rig.runTo(20);
    ASSERT_EQ(rig.listeners[0]->events.size(), 3U);
    EXPECT_EQ(rig.listeners[0]->events[0].ivalue, 72);
    EXPECT_EQ(rig.listeners[0]->events[0].fvalue, pitchOfNote(72));
}

TEST(ModulesVoiceAllocation, SuspendFreesAndSleepsEveryVoice) {
    VoiceRig rig(withVoices(3));
    rig.midi(10, 0x90, 60, 100);
    rig.midi(20, 0x90, 62, 100);
    rig.runTo(50);
    rig.allocator->suspendHook();
    for (int v = 0; v < 3; ++v) {
        EXPECT_TRUE(rig.voiceAsleep(v)) << v;
        EXPECT_EQ(rig.allocator->voiceState(v), QX_VoiceTable::kFree) << v;
    }
    rig.midi(60, 0x80, 60, 0);  // its key was forgotten
    rig.midi(70, 0x90, 62, 100);
    rig.runTo(100);
    EXPECT_EQ(rig.listeners[0]->events.back().ivalue, 10);
    EXPECT_EQ(rig.listeners[0]->events.back().time, rig.at(70));
}

}  // namespace
