#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "modules/modulation/GlideRig.h"
#include "modules/modulation/QX_DSP_Glide_F.h"

namespace {

using Glide = QX_DSP_Glide_F;
using Rig = GlideRig<Glide>;

float pitchOf(int note) { return static_cast<float>(note - 9) / 120.0f; }

struct PortamentoCase {
    const char* name;
    int sampleRate;
    float portamentoMs;  // the knob; the module receives ms / 10
    int fromNote;
    int toNote;
    std::uint32_t arrival;  // samples from the note's sample to the first sample at the new pitch
};

const PortamentoCase kPortamentos[] = {
    {"OctaveUpIn100ms", 44100, 100.0f, 48, 60, 4410},
    {"TwoOctavesUpIn200ms", 44100, 100.0f, 48, 72, 8820},
    {"OctaveDownIn100ms", 44100, 100.0f, 72, 60, 4410},
    {"FifthUpAtTheOctaveRate", 44100, 100.0f, 60, 67, 2572},  // 7/12 of 4410.1, rounded up, minus 1
    {"OctaveUpIn100msAt96k", 96000, 100.0f, 48, 60, 9600},
    {"OctaveIn1sAt96k", 96000, 1000.0f, 60, 72, 96000},
    {"ZeroTimeTakesOneSample", 44100, 0.0f, 48, 72, 0},
};

class ModulesGlideFPortamento : public ::testing::TestWithParam<PortamentoCase> {};

// The voice allocator sends the pitch and then the glide start at the note's sample; the output
// leaves the old pitch at a constant rate and lands on the new one at its sample.
TEST_P(ModulesGlideFPortamento, GlidesAtAConstantRateOfOneOctavePerPortamentoTime) {
    const PortamentoCase& c = GetParam();
    Rig rig({0}, c.sampleRate);
    rig.startAudio();
    const float time = c.portamentoMs / 10.0f;
    const std::uint32_t t = rig.now() + 17;
    rig.at(t - 10, Glide::kPinTimeUp, time);
    rig.at(t - 10, Glide::kPinTimeDown, time);
    rig.at(t - 10, Glide::kPinValue, pitchOf(c.fromNote));
    rig.at(t, Glide::kPinValue, pitchOf(c.toNote));
    rig.at(t, Glide::kPinGlideStart, pitchOf(c.fromNote));
    rig.run(static_cast<int>(c.arrival) + 2000);

    const float from = pitchOf(c.fromNote);
    const float to = pitchOf(c.toNote);
    EXPECT_EQ(rig.valueAt(0, t - 1), from);
    EXPECT_EQ(rig.valueAt(0, c.arrival > 0 ? t + c.arrival : t), to);
    if (c.arrival > 0) {
        EXPECT_NE(rig.valueAt(0, t + c.arrival - 1), to);
        const double rate = 0.1 / (time * c.sampleRate * 0.01 + 0.1) * (to > from ? 1 : -1);
        const std::uint32_t half = c.arrival / 2;
        EXPECT_NEAR(rig.valueAt(0, t + half), from + rate * (half + 1), 1e-5);
    }
    EXPECT_EQ(rig.signal[0].back(), to);

    // Moving from the note's sample, still with the new pitch from the arrival on.
    const auto& events = rig.probe->events;
    ASSERT_GE(events.size(), 2u);
    const auto& last = events.back();
    EXPECT_EQ(last.kind, kEventStill);
    EXPECT_EQ(last.time, t + c.arrival);
    EXPECT_EQ(last.fvalue, to);
    const auto& moving = events[events.size() - 2];
    EXPECT_EQ(moving.kind, kEventMoving);
    EXPECT_EQ(moving.time, t);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesGlideFPortamento, ::testing::ValuesIn(kPortamentos),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a glide start the pitch jumps, and the new still value is announced at once so that
// readers holding the old pitch take the new one.
TEST(ModulesGlideF, PitchWithoutGlideStartJumpsAndIsAnnounced) {
    Rig rig({0});
    rig.startAudio();
    const std::uint32_t t = rig.now() + 9;
    rig.at(t, Glide::kPinTimeUp, 10.0f);
    rig.at(t, Glide::kPinValue, pitchOf(60));
    rig.at(t + 300, Glide::kPinValue, pitchOf(64));
    rig.run(600);
    EXPECT_EQ(rig.valueAt(0, t), pitchOf(60));
    EXPECT_EQ(rig.valueAt(0, t + 299), pitchOf(60));
    EXPECT_EQ(rig.valueAt(0, t + 300), pitchOf(64));
    ASSERT_EQ(rig.probe->events.size(), 2u);
    for (const auto& sent : rig.probe->events) {
        EXPECT_EQ(sent.kind, kEventStill);
    }
    EXPECT_EQ(rig.probe->events[0].time, t);
    EXPECT_EQ(rig.probe->events[1].time, t + 300);
    EXPECT_EQ(rig.probe->events[1].fvalue, pitchOf(64));
}

// A new time during a glide changes the rate from that sample on, continuing from where it is.
TEST(ModulesGlideF, TimeChangeDuringAGlideChangesTheRateThere) {
    Rig rig({0});
    rig.startAudio();
    const std::uint32_t t = rig.now() + 1;
    rig.at(t, Glide::kPinTimeUp, 10.0f);
    rig.at(t, Glide::kPinValue, 0.2f);
    rig.at(t, Glide::kPinGlideStart, 0.0f);
    rig.at(t + 1000, Glide::kPinTimeUp, 5.0f);
    rig.run(8000);
    const double slow = 0.1 / 4410.1;
    const double fast = 0.1 / 2205.1;
    const double at1000 = 1000 * slow;
    EXPECT_NEAR(rig.valueAt(0, t + 999), at1000, 1e-6);
    EXPECT_NEAR(rig.valueAt(0, t + 1999), at1000 + 1000 * fast, 1e-6);
    const auto arrival = static_cast<std::uint32_t>(std::ceil((0.2 - at1000) / fast));
    EXPECT_EQ(rig.valueAt(0, t + 999 + arrival), 0.2f);
    EXPECT_LT(rig.valueAt(0, t + 998 + arrival), 0.2f);
}

TEST(ModulesGlideF, DisabledIgnoresGlideStarts) {
    Rig rig({0});
    rig.startAudio();
    const std::uint32_t t = rig.now() + 4;
    rig.at(t, Glide::kPinEnable, 0.0f, 0);
    rig.at(t, Glide::kPinTimeUp, 10.0f);
    rig.at(t, Glide::kPinValue, 0.5f);
    rig.at(t, Glide::kPinGlideStart, 0.1f);
    rig.run(256);
    EXPECT_EQ(rig.valueAt(0, t), 0.5f);
}

TEST(ModulesGlideF, SplitRenderingMatchesWholeRendering) {
    auto play = [](bool split) {
        Rig rig({0});
        rig.startAudio();
        const std::uint32_t t = rig.now();
        rig.at(t + 2, Glide::kPinTimeUp, 3.0f);
        rig.at(t + 2, Glide::kPinTimeDown, 7.0f);
        rig.at(t + 5, Glide::kPinValue, 0.4f);
        rig.at(t + 5, Glide::kPinGlideStart, 0.1f);
        rig.at(t + 2000, Glide::kPinValue, -0.1f);
        rig.at(t + 2000, Glide::kPinGlideStart, 0.3f);
        rig.at(t + 2500, Glide::kPinTimeDown, 1.5f);
        if (split) {
            for (std::uint32_t s = 3; s < 7000; s += 89 + s % 11) {
                rig.at(t + s, 30, 10.0f, 10);  // gate events change nothing but cut the pieces
            }
        }
        rig.run(7000, split ? 31 : kMaxChunk);
        return std::make_pair(rig.signal[0], rig.probe->events);
    };
    const auto whole = play(false);
    const auto split = play(true);
    ASSERT_EQ(whole.first, split.first);
    ASSERT_EQ(whole.second.size(), split.second.size());
    for (std::size_t i = 0; i < whole.second.size(); ++i) {
        EXPECT_EQ(whole.second[i].time, split.second[i].time) << i;
        EXPECT_EQ(whole.second[i].kind, split.second[i].kind) << i;
        EXPECT_EQ(whole.second[i].fvalue, split.second[i].fvalue) << i;
    }
}

TEST(ModulesGlideF, HostileValuesNeverReachTheOutput) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float values[] = {kNan, kInf, -kInf, 3.0e38f, -3.0e38f, -5.0f, 1.0e-40f};
    Rig rig({0});
    rig.startAudio();
    std::uint32_t t = rig.now();
    for (const float v : values) {
        for (const int pin : {Glide::kPinTimeUp, Glide::kPinTimeDown, Glide::kPinScale, Glide::kPinOffset}) {
            rig.at(t, pin, v);
            rig.at(t + 400, pin, 0.5f);
        }
        rig.at(t + 1, Glide::kPinValue, v);
        rig.at(t + 1, Glide::kPinGlideStart, -v);
        rig.at(t + 200, Glide::kPinValue, 0.3f);
        rig.at(t + 200, Glide::kPinGlideStart, v);
        rig.at(t + 300, 0xFFFF, v);
        t += 1000;
    }
    rig.run(static_cast<int>(t - rig.now()) + 1000);
    for (std::size_t i = 0; i < rig.signal[0].size(); ++i) {
        ASSERT_TRUE(std::isfinite(rig.signal[0][i])) << i;
    }
    for (const auto& sent : rig.probe->events) {
        ASSERT_TRUE(std::isfinite(sent.fvalue));
    }
}

}  // namespace
