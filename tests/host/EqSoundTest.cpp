#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "support/PluginPlayer.h"

namespace {

constexpr double kRate = 44100.0;
constexpr std::int64_t kClickAt = 22050;  // half a second in: every glide has long arrived
constexpr std::int64_t kResponseLength = 32768;  // the narrowest band here rings below -90 dB by then

struct Band {
    int number;  // 1..3
    double hz;
    double db;
    double width;  // 0 (widest) .. 1 (narrowest): the normalised "EQ n Width"
};

std::string bandName(const Band& band, const char* what) { return "EQ " + std::to_string(band.number) + " " + what; }

void setBand(PluginPlayer& player, const Band& band) {
    player.set(bandName(band, "Freq Hz"), static_cast<float>((band.hz - 20.0) / 20460.0));
    player.set(bandName(band, "Gain dB"), static_cast<float>((band.db + 18.0) / 36.0));
    player.set(bandName(band, "Width"), static_cast<float>(band.width));
}

// The peak band as its coefficient law defines it, from the same knob values: the fader's gain
// curve, then K, d, G and the biquad; evaluated at `hz`.
double lawGain(const Band& band, double hz) {
    const double fader = band.db * 0.1 * 1.77;
    const double g = 0.5 * std::sin(fader * (1.0 - 0.2014218 * std::pow(0.23529412 * fader, 2.0)) / std::numbers::pi);
    const double k = std::tan(std::numbers::pi * band.hz / kRate);
    const double d = k / (10.0 * std::pow(band.width, 4.0) + 0.01);
    const double big = g + 0.5;
    const double a = big * d;
    const double b = (1.001 - big) * d;
    const double n = 1.0 / (1.0 + b + k * k);
    const double b0 = (1.0 + k * k + a) * n;
    const double b1 = 2.0 * (k * k - 1.0) * n;
    const double b2 = (1.0 + k * k - a) * n;
    const double a2 = (1.0 + k * k - b) * n;
    const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * hz / kRate);
    return std::abs((b0 + b1 * z + b2 * z * z) / (1.0 + b1 * z + a2 * z * z));
}

std::complex<double> transformAt(const std::vector<float>& x, std::int64_t from, double hz) {
    std::complex<double> sum = 0.0;
    const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi * hz / kRate);
    std::complex<double> turn = 1.0;
    for (std::int64_t i = 0; i < kResponseLength; ++i) {
        sum += static_cast<double>(x[static_cast<std::size_t>(from + i)]) * turn;
        turn *= step;
    }
    return sum;
}

// The left output for a unit click on both inputs, from the click on.
std::vector<float> clickResponse(bool eqActive, const std::vector<Band>& bands) {
    PluginPlayer player;
    player.setPlainSine();
    player.set("Ext Input", 1.0f);
    player.set("EQ Active", eqActive ? 1.0f : 0.0f);
    for (const Band& band : bands) {
        setBand(player, band);
    }
    player.inputLeft.assign(kClickAt + 1, 0.0f);
    player.inputLeft[kClickAt] = 1.0f;
    player.inputRight = player.inputLeft;
    player.start();
    player.renderUntil(kClickAt + kResponseLength);
    return {player.left.begin() + kClickAt, player.left.end()};
}

// The two frequencies where the response has come 3 dB back towards 0 dB from its centre value,
// searched outwards from the centre in steps of 0.1 %.
struct Edges {
    double low, high;
};

template <typename Gain>
Edges edgesOf(double centre, double peakDb, Gain gainDb) {
    const double target = peakDb > 0.0 ? peakDb - 3.0 : peakDb + 3.0;
    const auto beyond = [&](double hz) { return peakDb > 0.0 ? gainDb(hz) < target : gainDb(hz) > target; };
    Edges edges{centre, centre};
    while (!beyond(edges.low) && edges.low > 5.0) {
        edges.low /= 1.001;
    }
    while (!beyond(edges.high) && edges.high < kRate * 0.49) {
        edges.high *= 1.001;
    }
    return edges;
}

class HostEqBand : public testing::TestWithParam<Band> {};

// Each band's measured response (click in, spectrum of what comes out against the same path with
// the EQ off) matches its coefficient law at the centre and in the width of its -3 dB region.
TEST_P(HostEqBand, ResponseFollowsThePeakLaw) {
    const Band band = GetParam();
    const std::vector<float> plain = clickResponse(false, {band});
    const std::vector<float> shaped = clickResponse(true, {band});
    const auto measuredDb = [&](double hz) {
        return 20.0 * std::log10(std::abs(transformAt(shaped, 0, hz) / transformAt(plain, 0, hz)));
    };
    const auto lawDb = [&](double hz) { return 20.0 * std::log10(lawGain(band, hz)); };

    const double centreDb = measuredDb(band.hz);
    EXPECT_NEAR(centreDb, lawDb(band.hz), 0.05) << band.hz;
    EXPECT_NEAR(centreDb, band.db, 0.6) << "the knob's dB is the band's gain";

    const Edges measured = edgesOf(band.hz, centreDb, measuredDb);
    const Edges law = edgesOf(band.hz, lawDb(band.hz), lawDb);
    const double measuredOctaves = std::log2(measured.high / measured.low);
    const double lawOctaves = std::log2(law.high / law.low);
    EXPECT_NEAR(measuredOctaves, lawOctaves, 0.02 * lawOctaves) << band.hz;
    RecordProperty("centre_db", std::to_string(centreDb));
    RecordProperty("law_centre_db", std::to_string(lawDb(band.hz)));
    RecordProperty("width_octaves", std::to_string(measuredOctaves));
    RecordProperty("law_width_octaves", std::to_string(lawOctaves));
}

INSTANTIATE_TEST_SUITE_P(Host, HostEqBand,
                         testing::Values(Band{1, 1000.0, 12.0, 0.5}, Band{1, 150.0, -9.0, 0.8},
                                         Band{2, 3000.0, 6.0, 0.3}, Band{2, 500.0, -15.0, 0.6},
                                         Band{3, 8000.0, 18.0, 0.7}, Band{3, 2000.0, -6.0, 1.0}));

// Switched off, the EQ leaves the sound exactly as a flat EQ does, whatever its bands say.
TEST(HostEq, InactivePassesTheSoundUnchanged) {
    const std::vector<Band> loud{{1, 300.0, 15.0, 0.4}, {2, 2000.0, -12.0, 0.6}, {3, 9000.0, 9.0, 0.2}};
    const std::vector<Band> flat{{1, 300.0, 0.0, 0.4}, {2, 2000.0, 0.0, 0.6}, {3, 9000.0, 0.0, 0.2}};
    const std::vector<float> off = clickResponse(false, loud);
    const std::vector<float> flatOn = clickResponse(true, flat);
    EXPECT_EQ(off, flatOn);
    EXPECT_GT(std::fabs(off[0]), 0.1f);
    EXPECT_EQ(std::count(off.begin() + 1, off.end(), 0.0f), static_cast<long>(off.size()) - 1);
}

// A burst of `hz` on both inputs from `from` for `frames`, amplitude `level`.
void feedBurst(PluginPlayer& player, double hz, std::int64_t from, std::int64_t frames, float level) {
    player.inputLeft.assign(static_cast<std::size_t>(from + frames), 0.0f);
    for (std::int64_t i = 0; i < frames; ++i) {
        player.inputLeft[static_cast<std::size_t>(from + i)] =
            level * static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate));
    }
    player.inputRight = player.inputLeft;
}

// Pre sits before the echo, Post after it. The echo's shifter moves the second repeat a semitone
// up, so before the echo the narrow band lifts that repeat at the played pitch, and after it only
// at the shifted one: the repeat-to-repeat ratios of the two routes differ by the band's gain at
// those two pitches.
TEST(HostEq, PreListensBeforeTheEchoShiftAndPostAfterIt) {
    const Band band{1, 1000.0, 18.0, 1.0};
    const double shifted = band.hz * std::exp2(1.0 / 12.0);
    constexpr std::int64_t kBurstAt = 4410;
    constexpr std::int64_t kBurst = 13230;  // 300 ms: the band settles well inside it
    constexpr std::int64_t kRepeat = 22050;  // a 1/4 echo at 120 BPM
    double ratioDb[2] = {};
    for (const int post : {0, 1}) {
        PluginPlayer player;
        player.setPlainSine();
        player.set("Ext Input", 1.0f);
        player.set("EQ Active", 1.0f);
        player.setShown("Pre-Post EQ", post != 0 ? "Post" : "Pre");
        setBand(player, band);
        player.setTempo(120.0);
        player.set("Echo OnOff", 1.0f);
        player.setShown("Echo Rate", "1/4");
        player.set("Echo Length", 3.0f / 7.0f);  // 4
        player.set("Echo Shift", 1.0f);          // +100 cents on every pass through the loop
        player.set("Echo FBK", 1.0f);
        player.set("Echo LPF", 1.0f);
        player.set("Echo Level", 1.0f);
        feedBurst(player, band.hz, kBurstAt, kBurst, 0.02f);
        player.start();
        player.renderUntil(kBurstAt + 2 * kRepeat + kBurst + 2000);
        // The loop runs a little longer than the heard delay, so the windows keep clear of both ends.
        const auto window = [&](int repeat) {
            const std::int64_t from = kBurstAt + repeat * kRepeat + 3000;
            return rmsOf(player.left, from, from + 8000);
        };
        ratioDb[post] = 20.0 * std::log10(window(2) / window(1));
    }
    const double expected = 20.0 * std::log10(lawGain(band, band.hz) / lawGain(band, shifted));
    EXPECT_GT(expected, 10.0);
    EXPECT_NEAR(ratioDb[0] - ratioDb[1], expected, 1.0) << "pre " << ratioDb[0] << " post " << ratioDb[1];
    RecordProperty("pre_minus_post_db", std::to_string(ratioDb[0] - ratioDb[1]));
    RecordProperty("law_db", std::to_string(expected));
}

struct GainMove {
    const char* name;
    double fromDb;
};

class HostEqGainMove : public testing::TestWithParam<GainMove> {};

// Turning a band's gain while a tone plays glides the sound there: over the 100 ms after the turn
// no sample-to-sample step is larger than the tone already makes at the final gain.
TEST_P(HostEqGainMove, MovesWithoutAClick) {
    const Band target{1, 1000.0, 12.0, 0.5};
    constexpr std::int64_t kTurnAt = 22050;
    constexpr std::int64_t kLength = kTurnAt + 4410;
    const auto largestStep = [&](bool turn) {
        PluginPlayer player;
        player.setPlainSine();
        player.set("Ext Input", 1.0f);
        player.set("EQ Active", 1.0f);
        setBand(player, turn ? Band{1, target.hz, GetParam().fromDb, target.width} : target);
        feedBurst(player, target.hz, 0, kLength, 0.1f);
        player.start();
        player.renderUntil(kTurnAt);
        setBand(player, target);
        player.renderUntil(kLength);
        float largest = 0.0f;
        for (std::int64_t i = kTurnAt; i < kLength; ++i) {
            const auto at = static_cast<std::size_t>(i);
            largest = std::max(largest, std::fabs(player.left[at] - player.left[at - 1]));
        }
        return largest;
    };
    const float moving = largestStep(true);
    const float still = largestStep(false);
    EXPECT_LE(moving, 1.02f * still) << GetParam().name;
    RecordProperty("largest_step_ratio", std::to_string(moving / still));
}

INSTANTIATE_TEST_SUITE_P(Host, HostEqGainMove,
                         testing::Values(GainMove{"FromCut", -12.0}, GainMove{"FromFlat", 0.0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
