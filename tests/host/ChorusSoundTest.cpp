#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/PluginPlayer.h"

namespace {

// The chorus alone and fully wet: the taps and the spread line are all that is heard.
void setWetChorus(PluginPlayer& player, float depth, float spread) {
    player.setPlainSine();
    player.set("Ext Input", 1.0f);
    player.set("Cho Mode", 1.0f);
    player.set("Chorus Mix %", 1.0f);
    player.set("Chorus Depth (ms)", depth);
    player.set("Chorus Spread (ms)", spread);
    player.set("Chorus Rate (Hz)", 0.4f);
    player.set("Chorus Sep %", 0.5f);
}

double shownValue(PluginPlayer& player, const char* name) {
    return std::stod(player.host.text(vst::effGetParamDisplay, player.parameterIndex(name)));
}

// Where a click came out, in samples after `from`: the centre of mass of |x| over `length`
// samples, which for a click read between two samples is exactly the fractional read position.
double clickDelay(const std::vector<float>& x, std::int64_t from, std::int64_t length) {
    double weight = 0.0;
    double moment = 0.0;
    for (std::int64_t i = 0; i < length; ++i) {
        const double a = std::fabs(x[static_cast<std::size_t>(from + i)]);
        weight += a;
        moment += a * static_cast<double>(i);
    }
    return weight > 0.0 ? moment / weight : -1.0;
}

struct TapCase {
    float sampleRate;
    float spread;  // normalised "Chorus Spread (ms)"
};

class HostChorusTaps : public testing::TestWithParam<TapCase> {};

// With no depth the left tap reads one sample behind the write position and the right one adds
// the spread, the same number of milliseconds at every sample rate, whose buffers double.
TEST_P(HostChorusTaps, ClickComesOutAtTheSetDelays) {
    const TapCase c = GetParam();
    PluginPlayer player(c.sampleRate);
    setWetChorus(player, 0.0f, c.spread);
    const double spreadMs = shownValue(player, "Chorus Spread (ms)");
    const auto clickAt = static_cast<std::int64_t>(c.sampleRate / 4);
    player.inputLeft.assign(static_cast<std::size_t>(clickAt + 1), 0.0f);
    player.inputLeft.back() = 1.0f;
    player.inputRight = player.inputLeft;
    const auto window = static_cast<std::int64_t>(c.sampleRate / 10);  // past the longest spread
    player.start();
    player.renderUntil(clickAt + window);

    EXPECT_NEAR(clickDelay(player.left, clickAt, window), 1.0, 1e-6);
    const double rightMs = (clickDelay(player.right, clickAt, window) - 1.0) * 1000.0 / c.sampleRate;
    EXPECT_NEAR(rightMs, spreadMs, 1e-4) << c.sampleRate;
    RecordProperty("right_ms", std::to_string(rightMs));
}

INSTANTIATE_TEST_SUITE_P(Host, HostChorusTaps,
                         testing::Values(TapCase{44100.0f, 0.0f}, TapCase{44100.0f, 0.6f}, TapCase{44100.0f, 1.0f},
                                         TapCase{96000.0f, 0.6f}, TapCase{96000.0f, 1.0f},
                                         TapCase{192000.0f, 0.6f}, TapCase{192000.0f, 1.0f}));

// With depth the LFOs sweep each tap between the minimum delay and the minimum plus the depth:
// a train of clicks comes out at delays that stay inside that range and cover most of it.
TEST(HostChorus, TapsSweepThroughTheDepth) {
    constexpr float kRate = 44100.0f;
    PluginPlayer player(kRate);
    setWetChorus(player, 1.0f, 0.0f);
    player.set("Chorus Rate (Hz)", 0.8f);
    const double depthSamples = shownValue(player, "Chorus Depth (ms)") * kRate / 1000.0;
    constexpr std::int64_t kSpacing = 1103;  // 25 ms, longer than the deepest read
    constexpr int kClicks = 160;
    player.inputLeft.assign(static_cast<std::size_t>(kSpacing * kClicks), 0.0f);
    for (int k = 1; k < kClicks; ++k) {
        player.inputLeft[static_cast<std::size_t>(k * kSpacing)] = 1.0f;
    }
    player.inputRight = player.inputLeft;
    player.start();
    player.renderUntil(kSpacing * kClicks);

    for (const std::vector<float>* side : {&player.left, &player.right}) {
        double shortest = 1e9;
        double longest = -1e9;
        for (int k = 1; k < kClicks - 1; ++k) {
            const double delay = clickDelay(*side, k * kSpacing, kSpacing);
            shortest = std::min(shortest, delay);
            longest = std::max(longest, delay);
        }
        EXPECT_GE(shortest, 1.0 - 1e-6);
        EXPECT_LE(longest, 1.0 + depthSamples + 1e-3);
        EXPECT_LT(shortest, 1.0 + 0.1 * depthSamples);
        EXPECT_GT(longest, 1.0 + 0.9 * depthSamples);
        RecordProperty(side == &player.left ? "left_range" : "right_range",
                       std::to_string(shortest) + ".." + std::to_string(longest) + " of 1.." +
                           std::to_string(1.0 + depthSamples));
    }
}

// Switching the chorus off and on while its lines still hold sound starts them again from
// silence: nothing of what was playing before comes out of the spread line afterwards.
TEST(HostChorus, SwitchingOffAndOnStartsFromSilence) {
    constexpr float kRate = 44100.0f;
    constexpr int kBlock = 128;
    constexpr std::int64_t kEnd = 22016;  // the noise stops on a block boundary
    double heard[2] = {};
    for (const int restart : {0, 1}) {
        PluginPlayer player(kRate, kBlock);
        setWetChorus(player, 0.0f, 1.0f);  // the right line is 50 ms long
        std::mt19937 noise(7);
        std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
        player.inputLeft.resize(kEnd);
        std::generate(player.inputLeft.begin(), player.inputLeft.end(), [&] { return sample(noise); });
        player.inputRight = player.inputLeft;
        player.start();
        player.renderUntil(kEnd);
        if (restart != 0) {
            player.set("Cho Mode", 0.0f);
            player.renderUntil(kEnd + kBlock);
            player.set("Cho Mode", 1.0f);
        }
        player.renderUntil(kEnd + 4410);
        heard[restart] = rmsOf(player.right, kEnd + 2 * kBlock, kEnd + 1800);
        if (restart != 0) {
            EXPECT_EQ(firstAbove(player.left, 1e-9f, kEnd + 2 * kBlock), -1);
        }
    }
    EXPECT_GT(heard[0], 0.05) << "the spread line still sounds without a restart";
    EXPECT_EQ(heard[1], 0.0);
    RecordProperty("spread_rms_without_restart", std::to_string(heard[0]));
}

}  // namespace
