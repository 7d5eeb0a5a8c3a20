#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "support/PluginPlayer.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr double kToneHz = 1000.0;
constexpr std::int64_t kFrame = 441;                // one pitch reading per 10 ms
constexpr std::int64_t kSettle = 22050;             // the first knob values have arrived
constexpr std::int64_t kLength = kSettle + 264600;  // six seconds of wobble

double shownValue(PluginPlayer& player, const char* name) {
    return std::stod(player.host.text(vst::effGetParamDisplay, player.parameterIndex(name)));
}

// A steady tone on the input through the tape melt, which bends the whole output's pitch.
PluginPlayer& tapeMelt(PluginPlayer& player, bool systemB, float depth) {
    player.setPlainSine();
    player.set("Ext Input", 1.0f);
    player.setShown("Melt A Mode", "Tape");
    player.set("Melt System", systemB ? 1.0f : 0.0f);
    player.set("Melt Depth", depth);
    player.set("Melt Buffer", 1.0f);
    player.inputLeft.resize(kLength);
    for (std::int64_t i = 0; i < kLength; ++i) {
        player.inputLeft[static_cast<std::size_t>(i)] =
            0.2f * static_cast<float>(std::sin(2.0 * std::numbers::pi * kToneHz * static_cast<double>(i) / kRate));
    }
    player.inputRight = player.inputLeft;
    return player;
}

// Pitch deviation from the tone, in cents, one value per frame after the settling time: the
// mean period between the frame's rising zero crossings, each placed by linear interpolation.
std::vector<double> deviationCents(const std::vector<float>& x) {
    std::vector<double> cents;
    for (std::int64_t from = kSettle; from + kFrame < static_cast<std::int64_t>(x.size()); from += kFrame) {
        double first = -1.0;
        double last = -1.0;
        int crossings = 0;
        for (std::int64_t i = from + 1; i < from + kFrame; ++i) {
            const float a = x[static_cast<std::size_t>(i - 1)];
            const float b = x[static_cast<std::size_t>(i)];
            if (a <= 0.0f && b > 0.0f) {
                const double at = static_cast<double>(i - 1) + a / (static_cast<double>(a) - b);
                first = first < 0.0 ? at : first;
                last = at;
                ++crossings;
            }
        }
        const double hz = (crossings - 1) * static_cast<double>(kRate) / (last - first);
        cents.push_back(1200.0 * std::log2(hz / kToneHz));
    }
    return cents;
}

double largestOf(const std::vector<double>& cents) {
    double largest = 0.0;
    for (double c : cents) {
        largest = std::max(largest, std::fabs(c));
    }
    return largest;
}

// Least-squares factor from `reference` to `other`, frame by frame.
double scaleBetween(const std::vector<double>& reference, const std::vector<double>& other) {
    double cross = 0.0;
    double power = 0.0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        cross += reference[i] * other[i];
        power += reference[i] * reference[i];
    }
    return cross / power;
}

struct MeltACase {
    const char* name;
    float depth;
    float pitch;  // normalised "Melt A Pitch"
};

// System A draws the same random steps in every fresh instance, so the deviation it causes is one
// curve scaled by "Melt Depth" times the "Melt A Pitch" value (0.5..1.5), up to 12000 cents per
// unit of (pitch x 0.5 x 0.03 x depth) at the extremes of its random draw.
TEST(HostMelt, SystemADeviationFollowsDepthAndPitch) {
    const MeltACase cases[] = {{"Reference", 0.05f, 0.0f},  {"DoubleDepth", 0.1f, 0.0f},
                               {"MiddlePitch", 0.05f, 0.5f}, {"HighPitch", 0.05f, 1.0f},
                               {"NoDepth", 0.0f, 1.0f}};
    std::vector<double> reference;
    for (const MeltACase& c : cases) {
        PluginPlayer player;
        tapeMelt(player, false, c.depth);
        player.set("Melt A Pitch", c.pitch);
        player.start();
        player.renderUntil(kLength);
        const std::vector<double> cents = deviationCents(player.left);
        const double pitch = 0.5 + c.pitch;  // the knob's engineering range
        const double bound = 12000.0 * pitch * 0.5 * 0.03 * c.depth;
        EXPECT_LE(largestOf(cents), bound * 1.02 + 0.05) << c.name;
        if (c.depth == 0.0f) {
            continue;
        }
        EXPECT_GE(largestOf(cents), bound * 0.6) << c.name;
        if (reference.empty()) {
            reference = cents;
        }
        const double expected = (c.depth / cases[0].depth) * pitch / 0.5;
        EXPECT_NEAR(scaleBetween(reference, cents), expected, 0.03 * expected) << c.name;
        RecordProperty(std::string(c.name) + "_largest_cents", std::to_string(largestOf(cents)));
        RecordProperty(std::string(c.name) + "_scale", std::to_string(scaleBetween(reference, cents)));
    }
}

// Strength (0..1) with which the pitch curve's bends line up on a grid of `period` samples: its
// second differences are spikes where a new random target starts and flat in between.
double bendAlignment(const std::vector<double>& cents, double period) {
    std::complex<double> sum = 0.0;
    double total = 0.0;
    for (std::size_t k = 1; k + 1 < cents.size(); ++k) {
        const double bend = std::fabs(cents[k + 1] - 2.0 * cents[k] + cents[k - 1]);
        const double turns = static_cast<double>(k) * static_cast<double>(kFrame) / period;
        sum += bend * std::polar(1.0, 2.0 * std::numbers::pi * turns);
        total += bend;
    }
    return std::abs(sum) / total;
}

struct WowCase {
    float wow;      // normalised "Melt B Wow (Hz)"
    float toPitch;  // normalised "Melt B to Pitch %"
};

class HostMeltWow : public testing::TestWithParam<WowCase> {};

// System B's wow glides from one random target to the next once per period of "Melt B Wow (Hz)":
// the bends of the pitch curve fall on that period and on no other nearby, and the deviation
// scales with "Melt B to Pitch %".
TEST_P(HostMeltWow, WobblesAtTheSetRate) {
    const WowCase c = GetParam();
    std::vector<double> curves[2];
    double hz = 0.0;
    double shownPercent[2] = {};
    for (const int half : {0, 1}) {
        PluginPlayer player;
        tapeMelt(player, true, 1.0f);
        player.set("Melt B Wow (Hz)", c.wow);
        player.set("Melt B to Pitch %", half != 0 ? c.toPitch * 0.5f : c.toPitch);
        hz = shownValue(player, "Melt B Wow (Hz)");
        shownPercent[half] = shownValue(player, "Melt B to Pitch %");
        player.start();
        player.renderUntil(kLength);
        curves[half] = deviationCents(player.left);
    }
    const double period = kRate / hz;
    double best = period;
    double bestStrength = 0.0;
    for (double candidate = 0.75 * period; candidate < 1.4 * period; candidate += 0.002 * period) {
        const double strength = bendAlignment(curves[0], candidate);
        if (strength > bestStrength) {
            best = candidate;
            bestStrength = strength;
        }
    }
    EXPECT_GT(bestStrength, 0.8) << hz;
    // The draws wait for the end of the block in which the period ends.
    EXPECT_NEAR(best, period, 0.01 * period) << hz;
    EXPECT_LT(bendAlignment(curves[0], 1.2 * period), 0.4) << hz;
    const double expected = shownPercent[1] / shownPercent[0];
    EXPECT_NEAR(scaleBetween(curves[0], curves[1]), expected, 0.03 * expected);
    RecordProperty("wow_hz", std::to_string(hz));
    RecordProperty("bend_period_samples", std::to_string(best));
    RecordProperty("alignment", std::to_string(bestStrength));
    RecordProperty("alignment_at_1_2_periods", std::to_string(bendAlignment(curves[0], 1.2 * period)));
    RecordProperty("largest_cents", std::to_string(largestOf(curves[0])));
    RecordProperty("half_pitch_scale", std::to_string(scaleBetween(curves[0], curves[1])));
}

INSTANTIATE_TEST_SUITE_P(Host, HostMeltWow, testing::Values(WowCase{0.45f, 0.5f}, WowCase{0.7f, 0.7f}));

}  // namespace
