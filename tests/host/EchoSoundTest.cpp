#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/PluginPlayer.h"

namespace {

// Starts of sound: the first sample above `threshold` after at least `gap` quieter ones.
std::vector<std::int64_t> onsets(const std::vector<float>& x, float threshold, int gap) {
    std::vector<std::int64_t> found;
    int quiet = gap;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold) {
            if (quiet >= gap) {
                found.push_back(static_cast<std::int64_t>(i));
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return found;
}

// A 1/4 echo of length 4 at 120 BPM: the first repeat comes exactly half a second after the note.
// With pong it sounds on the right only, and the next repeat answers on the left.
TEST(HostEcho, QuarterEchoRepeatsHalfASecondLaterAndPongAlternates) {
    constexpr std::int64_t kHalfSecond = 22050;
    for (const bool pong : {false, true}) {
        PluginPlayer player;
        player.setPlainSine();
        player.setTempo(120.0);
        player.set("Echo OnOff", 1.0f);
        player.setShown("Echo Rate", "1/4");
        player.set("Echo Length", 3.0f / 7.0f);  // 4
        player.set("Echo Shift", 0.5f);          // none
        player.set("Echo LPF", 1.0f);            // open
        player.set("Echo Level", 1.0f);
        player.set("Echo FBK", 0.5f);
        player.set("Echo Pong", pong ? 1.0f : 0.0f);
        player.start();
        player.noteOn(1000, 69);
        player.noteOff(1441, 69);  // a 10 ms blip
        player.renderUntil(1000 + 3 * kHalfSecond);

        const std::vector<std::int64_t> left = onsets(player.left, 1e-3f, 2000);
        const std::vector<std::int64_t> right = onsets(player.right, 1e-3f, 2000);
        ASSERT_GE(left.size(), 2u) << pong;
        ASSERT_GE(right.size(), 2u) << pong;
        const std::int64_t dry = right[0];
        EXPECT_EQ(left[0], dry);
        EXPECT_EQ(right[1], dry + kHalfSecond) << pong;
        if (pong) {
            EXPECT_GT(left[1], dry + kHalfSecond + 2000);  // the left waits for the next repeat
        } else {
            EXPECT_EQ(left[1], dry + kHalfSecond);
        }
    }
}

// A 1/4 echo of length 4 at 120 BPM fed from the input, the loop through the shifted copy only.
void setQuarterEcho(PluginPlayer& player, float feedback) {
    player.setPlainSine();
    player.set("Ext Input", 1.0f);
    player.setTempo(120.0);
    player.set("Echo OnOff", 1.0f);
    player.setShown("Echo Rate", "1/4");
    player.set("Echo Length", 3.0f / 7.0f);  // 4
    player.set("Echo Shift", 0.5f);          // none
    player.set("Echo LPF", 1.0f);            // open
    player.set("Echo Level", 1.0f);
    player.set("Echo FBK", feedback);
}

// Where a click came out near `around`: the loudest sample, refined by the centre of mass of
// its close neighbours (the loop filters spread a click over a few samples).
double clickNear(const std::vector<float>& x, std::int64_t around, std::int64_t reach) {
    std::int64_t loudest = around - reach;
    for (std::int64_t i = around - reach; i < around + reach; ++i) {
        if (std::fabs(x[static_cast<std::size_t>(i)]) > std::fabs(x[static_cast<std::size_t>(loudest)])) {
            loudest = i;
        }
    }
    double weight = 0.0;
    double moment = 0.0;
    for (std::int64_t i = loudest - 4; i <= loudest + 4; ++i) {
        const double a = std::fabs(x[static_cast<std::size_t>(i)]);
        weight += a;
        moment += a * static_cast<double>(i);
    }
    return moment / weight;
}

// The echo line is 48.2 hundredths long; the heard path adds 18 ms after the loop and the loop
// adds the shifter's rest delay (half its 30 ms window) and one engine block of feedback, which
// the 18 ms stand for. So the first repeat falls on the beat and each later one 4.3 samples
// (0.1 ms) early on the one before: the shifter's heads must sit at rest from the moment the echo
// runs, whether it was on when the engine started or switched on later.
TEST(HostEcho, EveryRepeatFallsOnTheBeat) {
    constexpr double kBeat = 22050.0;
    constexpr double kLoop = 21256.2 + 1323.0 / 2.0 + 128.0;
    constexpr int kRepeats = 6;
    for (const bool onAtStart : {true, false}) {
        PluginPlayer player;
        setQuarterEcho(player, 0.7f);
        const std::int64_t clickAt = onAtStart ? 1000 : 6000;
        if (!onAtStart) {
            player.set("Echo OnOff", 0.0f);
        }
        player.inputLeft.assign(static_cast<std::size_t>(clickAt + 1), 0.0f);
        player.inputLeft.back() = 1.0f;
        player.inputRight = player.inputLeft;
        player.start();
        if (!onAtStart) {
            player.renderUntil(4096);
            player.set("Echo OnOff", 1.0f);
        }
        player.renderUntil(clickAt + (kRepeats + 1) * static_cast<std::int64_t>(kBeat));

        double previous = clickNear(player.left, clickAt, 8);
        EXPECT_NEAR(previous, static_cast<double>(clickAt), 0.01);
        for (int k = 1; k <= kRepeats; ++k) {
            const auto guess = static_cast<std::int64_t>(previous + kBeat);
            const double repeat = clickNear(player.left, guess, 600);
            const double expected = k == 1 ? kBeat : kLoop;
            EXPECT_NEAR(repeat - previous, expected, 1.5) << "repeat " << k << (onAtStart ? " on at start" : " on later");
            RecordProperty((onAtStart ? "on_at_start_" : "on_later_") + std::to_string(k), std::to_string(repeat - previous));
            previous = repeat;
        }
    }
}

class HostEchoLoud : public testing::TestWithParam<float> {};

// A loud burst of noise into the echo at full "Echo FBK", with the shifted copy alone, both copies
// at 0.75 and the plain copy half mixed in. The loop gives back all it gets where the copies meet
// in phase, so the repeats ring on for many seconds; but past the first repeat (whose peak the loop
// filters may lift a little above the dry sound's, never above the input's) they never grow, and
// no sample is NaN or Inf.
TEST_P(HostEchoLoud, FullFeedbackRingsOnButNeverGrows) {
    constexpr std::int64_t kSecond = 44100;
    constexpr std::int64_t kInput = kSecond / 2;  // one beat: the first repeat starts where it ends
    constexpr std::int64_t kLine = 21256;         // 48.2 hundredths: the second repeat comes later still
    constexpr int kSeconds = 20;
    constexpr int kLastSeconds = 5;
    constexpr float kStillRinging = 0.1f;  // of the first repeat; a loop losing 10% a pass ends far below
    PluginPlayer player;
    setQuarterEcho(player, 1.0f);
    player.set("Echo Phase", GetParam());
    std::mt19937 noise(3);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    player.inputLeft.resize(kInput);
    std::generate(player.inputLeft.begin(), player.inputLeft.end(), [&] { return sample(noise); });
    player.inputRight = player.inputLeft;
    player.start();
    player.renderUntil(kSeconds * kSecond);

    float inputPeak = 0.0f;
    for (const float x : player.inputLeft) {
        inputPeak = std::max(inputPeak, std::fabs(x));
    }
    const auto finite = [](float x) { return std::isfinite(x); };
    EXPECT_TRUE(std::all_of(player.left.begin(), player.left.end(), finite));
    EXPECT_TRUE(std::all_of(player.right.begin(), player.right.end(), finite));
    const auto peakOf = [&](std::int64_t from, std::int64_t to) {
        float peak = 0.0f;
        for (std::int64_t i = from; i < to; ++i) {
            const auto at = static_cast<std::size_t>(i);
            peak = std::max({peak, std::fabs(player.left[at]), std::fabs(player.right[at])});
        }
        return peak;
    };
    const float firstRepeat = peakOf(kInput, kInput + kLine);
    const float last = peakOf((kSeconds - kLastSeconds) * kSecond, kSeconds * kSecond);
    EXPECT_LE(firstRepeat, inputPeak);
    EXPECT_LE(last, firstRepeat);
    EXPECT_GT(last, kStillRinging * firstRepeat);
    RecordProperty("first_repeat_peak", std::to_string(firstRepeat));
    RecordProperty("last_seconds_peak", std::to_string(last));
}

INSTANTIATE_TEST_SUITE_P(Host, HostEchoLoud, testing::Values(0.0f, 0.5f, 1.0f), [](const auto& info) {
    return "Phase" + std::to_string(static_cast<int>(info.param * 100.0f));
});

}  // namespace
