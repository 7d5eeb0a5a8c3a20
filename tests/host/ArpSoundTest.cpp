#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "modules/sources/SourceRig.h"
#include "support/PluginPlayer.h"

namespace {

using source_rig::cents;
using source_rig::crossingFrequency;

void arpPatch(PluginPlayer& player) {
    player.setPlainSine();
    player.set("Arp OnOff", 1.0f);
    player.setShown("Arp Rate", "1");
    player.setShown("Arp Mode", "Cycle Up");
    player.setShown("Arp Range", "1");
    player.set("Arp Gate %", 0.5f);  // 50 %
}

// Starts of sound: the first sample that is not silent after at least `gap` silent ones.
std::vector<std::int64_t> onsets(const std::vector<float>& x, int gap) {
    std::vector<std::int64_t> found;
    int silent = gap;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > 1e-6f) {
            if (silent >= gap) {
                found.push_back(static_cast<std::int64_t>(i));
            }
            silent = 0;
        } else {
            ++silent;
        }
    }
    return found;
}

struct ArpTimingCase {
    const char* name;
    float rate;
    double bpm;
};

void PrintTo(const ArpTimingCase& c, std::ostream* os) { *os << c.name; }

const ArpTimingCase kArpTimingCases[] = {
    {"At44k1And120", 44100.0f, 120.0},
    {"At48kAnd120", 48000.0f, 120.0},
    {"At44k1And97", 44100.0f, 97.0},
    {"At48kAnd97", 48000.0f, 97.0},
};

class HostArpTiming : public ::testing::TestWithParam<ArpTimingCase> {};

TEST_P(HostArpTiming, StepsFallOnTheBeatInOrderWithTheirGate) {
    const ArpTimingCase& c = GetParam();
    PluginPlayer player(c.rate, 256);
    arpPatch(player);
    player.setTempo(c.bpm);
    player.start();
    constexpr std::int64_t kPress = 1000;
    for (int key : {60, 64, 67}) {
        player.noteOn(kPress, key);
    }
    const double step = c.rate * 60.0 / c.bpm;  // rate "1": one step a beat
    constexpr int kSteps = 6;
    player.renderUntil(kPress + static_cast<std::int64_t>(step * kSteps) + 100);

    const std::vector<std::int64_t> starts = onsets(player.left, 400);
    ASSERT_GE(starts.size(), static_cast<std::size_t>(kSteps));
    const double hz[] = {261.6256, 329.6276, 391.9954};
    for (int k = 0; k < kSteps; ++k) {
        const double expected = static_cast<double>(starts[0]) + step * k;
        EXPECT_NEAR(static_cast<double>(starts[static_cast<std::size_t>(k)]), expected, 1.0) << "step " << k;
        // Sound for half the step, then silence until the next one.
        const auto begin = player.left.begin() + starts[static_cast<std::size_t>(k)];
        const std::vector<float> sounding(begin + 500, begin + static_cast<std::ptrdiff_t>(step * 0.5) - 500);
        EXPECT_NEAR(cents(crossingFrequency(sounding, static_cast<int>(c.rate)), hz[k % 3]), 0.0, 2.0) << "step " << k;
        EXPECT_LT(rmsOf(player.left, starts[static_cast<std::size_t>(k)] + static_cast<std::int64_t>(step * 0.5) + 200,
                        starts[static_cast<std::size_t>(k)] + static_cast<std::int64_t>(step) - 10),
                  1e-6)
            << "step " << k;
    }
    EXPECT_LT(starts[0] - kPress, 64);
}

INSTANTIATE_TEST_SUITE_P(Host, HostArpTiming, ::testing::ValuesIn(kArpTimingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostArpHold, HoldSustainsReleasedKeysWhileTheArpeggiatorIsOff) {
    for (const float hold : {0.0f, 1.0f}) {
        PluginPlayer player;
        arpPatch(player);
        player.set("Arp OnOff", 0.0f);
        player.set("Arp Hold", hold);
        player.start();
        player.noteOn(0, 69);
        player.noteOff(4410, 69);
        player.renderUntil(22050);
        const double late = rmsOf(player.left, 17640, 22050);
        if (hold == 0.0f) {
            EXPECT_LT(late, 1e-6);
        } else {
            EXPECT_GT(late, 0.01);
        }
    }
}

}  // namespace
