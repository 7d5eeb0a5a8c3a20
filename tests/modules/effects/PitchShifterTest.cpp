// The pitch shifter measured with sines: the shift set in the melt and echo scales, the delay at
// rest after the heads glide home, enable and bypass, sample accuracy across split stretches and
// hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/QX_DSP_PitchShifter.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace {

using Shifter = QX_DSP_PitchShifter;

constexpr int kRate = 44100;
enum Signal : int { kAudio, kPitch };

class ShifterRig {
public:
    ShifterRig(int mode, int scale, int sampleRate = kRate)
        : engine(128, sampleRate),
          source(engine.add<source_rig::SignalSource>(false)),
          shifter(engine.add<Shifter>(false)),
          recorder(engine.add<source_rig::Recorder>(false)) {
        source->connect(shifter, shifter->moduleIndex, kAudio, Shifter::kPinInput, 0, 0, 0);
        source->connect(shifter, shifter->moduleIndex, kPitch, Shifter::kPinPitch, 0, 0, 0);
        shifter->connect(recorder, recorder->moduleIndex, 0, 0, 0, 0, 0);
        source->signal[kAudio] = [](std::uint32_t) { return 0.0f; };
        source->signal[kPitch] = [](std::uint32_t) { return 0.0f; };
        engine.prepareAll();
        event(0, Shifter::kPinMode, mode);
        event(0, Shifter::kPinScale, scale);
    }

    void event(int offset, int pin, std::int32_t ivalue, float fvalue = 0.0f, int kind = kEventStill) {
        shifter->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue, fvalue,
                              nullptr);
    }

    // Value pins read fvalue; the integer beside a non-finite value is left at 0.
    void value(int offset, int pin, float fvalue) {
        event(offset, pin, std::isfinite(fvalue) ? tenths(fvalue) : 0, fvalue);
    }

    void follow(Signal s, std::function<float(std::uint32_t)> f, int offset = 0, int kind = kEventMoving) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = source->signal[s];
        source->signal[s] = [before, from, f](std::uint32_t t) { return t >= from ? f(t) : before(t); };
        event(offset, s == kAudio ? Shifter::kPinInput : Shifter::kPinPitch, 0, 0.0f, kind);
    }

    void still(Signal s, float v, int offset = 0) {
        follow(s, [v](std::uint32_t) { return v; }, offset, kEventStill);
    }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out() const { return recorder->samples[0]; }

    TestEngine engine;
    source_rig::SignalSource* source;
    Shifter* shifter;
    source_rig::Recorder* recorder;
};

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

struct PitchCase {
    const char* name;
    int mode;
    int scale;
    float pitch;  // the modulation input, held
    double cents;
};

const PitchCase kPitchCases[] = {
    {"MeltUp60Cents", 1, 0, 0.005f, 60.0},
    {"MeltDown120Cents", 1, 0, -0.01f, -120.0},
    {"EchoShiftSemitoneUp", 4, 1, 0.1f, 100.0},
    {"EchoShiftQuarterToneDown", 4, 1, -0.05f, -50.0},
    {"DirectRatioFifth", 4, 2, 0.15f, 1200.0 * std::log2(1.5)},
};

class ModulesPitchShifterShift : public testing::TestWithParam<PitchCase> {};

// Frequency of every run of `cycles` periods (from rising zero crossings placed by linear
// interpolation), and the median of them: runs inside a crossfade are the minority.
double medianFrequency(const std::vector<float>& x, std::size_t skip, int cycles) {
    std::vector<double> crossings;
    for (std::size_t i = skip + 1; i < x.size(); ++i) {
        if (x[i - 1] <= 0.0f && x[i] > 0.0f) {
            crossings.push_back(static_cast<double>(i - 1) + x[i - 1] / (static_cast<double>(x[i - 1]) - x[i]));
        }
    }
    const auto step = static_cast<std::size_t>(cycles);
    std::vector<double> runs;
    for (std::size_t k = step; k < crossings.size(); k += step) {
        runs.push_back(cycles * static_cast<double>(kRate) / (crossings[k] - crossings[k - step]));
    }
    std::nth_element(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(runs.size() / 2), runs.end());
    return runs.empty() ? 0.0 : runs[runs.size() / 2];
}

// A sustained sine comes out shifted by the set amount while a head sweeps; the crossfades
// between heads (a jump of a window's phase) are left out by taking the median over short runs.
TEST_P(ModulesPitchShifterShift, SineDeviatesByTheSetAmount) {
    constexpr double kHz = 440.0;
    constexpr int kSkip = kRate / 2;
    constexpr int kLength = 4 * kRate;
    constexpr int kCycles = 4;
    const PitchCase& c = GetParam();
    ShifterRig rig(c.mode, c.scale);
    rig.still(kPitch, c.pitch);
    rig.follow(kAudio, source_rig::sine(kHz, kRate));
    rig.run(kSkip + kLength);
    const double measured = source_rig::cents(medianFrequency(rig.out(), kSkip, kCycles), kHz);
    RecordProperty("measuredCents", std::to_string(measured));
    EXPECT_NEAR(measured, c.cents, 0.1);
}

INSTANTIATE_TEST_SUITE_P(ModulesPitchShifter, ModulesPitchShifterShift, testing::ValuesIn(kPitchCases),
                         [](const testing::TestParamInfo<PitchCase>& info) { return std::string(info.param.name); });

// With the pitch input at exactly 0 the heads glide home and the output is the input delayed by
// the rest position: the base delay (pin value 2: 20 ms) plus one window (melt) or half a window
// (echo). "Melt Buffer" 5 makes the window 1102 samples at 44.1 kHz and 2400 at 96 kHz.
struct RestCase {
    const char* name;
    int mode;
    int sampleRate;
    int restDelay;
    float tolerance;  // the echo fade keeps (1/2)^24 of the second head at rest
};

const RestCase kRestCases[] = {
    {"MeltRestsOneWindowBack", 1, kRate, 882 + 1102, 0.0f},
    {"EchoRestsHalfAWindowBack", 4, kRate, 882 + 551, 1.0e-7f},
    {"MeltAt96kHz", 1, 96000, 1920 + 2400, 0.0f},
};

class ModulesPitchShifterRest : public testing::TestWithParam<RestCase> {};

TEST_P(ModulesPitchShifterRest, ZeroPitchGlidesHomeToAPlainDelay) {
    constexpr int kSwept = 10000;
    constexpr int kGlide = 140000;  // half the phase range at 0x4000 per sample, and some
    constexpr int kCheck = 10000;
    const RestCase& c = GetParam();
    ShifterRig rig(c.mode, 0, c.sampleRate);
    rig.value(0, Shifter::kPinWindow, 5.0f);
    rig.value(0, Shifter::kPinBaseDelay, 2.0f);
    rig.still(kPitch, 0.013f);
    rig.still(kPitch, 0.0f, kSwept);
    const auto input = [](std::uint32_t t) {
        return static_cast<float>(0.4 * std::sin(0.031 * t) + 0.2 * std::sin(0.0007 * t));
    };
    const std::uint32_t origin = rig.engine.sampleClock;
    rig.follow(kAudio, input);
    rig.run(kSwept + kGlide + kCheck);
    std::vector<float> expected(kCheck);
    for (int i = 0; i < kCheck; ++i) {
        expected[static_cast<std::size_t>(i)] =
            input(origin + static_cast<std::uint32_t>(kSwept + kGlide + i - c.restDelay));
    }
    float worst = 0.0f;
    for (int i = 0; i < kCheck; ++i) {
        const std::size_t at = rig.out().size() - kCheck + static_cast<std::size_t>(i);
        worst = std::max(worst, std::fabs(rig.out()[at] - expected[static_cast<std::size_t>(i)]));
    }
    EXPECT_LE(worst, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(ModulesPitchShifter, ModulesPitchShifterRest, testing::ValuesIn(kRestCases),
                         [](const testing::TestParamInfo<RestCase>& info) { return std::string(info.param.name); });

// Disabled, the shifter is silent; enabled again it starts from an empty line, so nothing comes
// out until the rest delay has passed. Bypassed, it passes the input unchanged.
TEST(ModulesPitchShifter, EnableSilencesAndBypassPasses) {
    constexpr int kOff = 5000;
    constexpr int kOn = 8000;
    constexpr int kBypass = 12000;
    constexpr int kEnd = 14000;
    constexpr int kRestDelay = 1323;  // the default window, 30 ms
    ShifterRig rig(1, 0);
    const auto input = source_rig::sine(300.0, kRate);
    const std::uint32_t origin = rig.engine.sampleClock;
    rig.follow(kAudio, input);
    rig.event(kOff, Shifter::kPinEnable, 0);
    rig.event(kOn, Shifter::kPinEnable, 1);
    rig.event(kBypass, Shifter::kPinBypass, 1);
    rig.run(kEnd);
    const std::vector<float>& out = rig.out();
    const auto at = [&](int i) { return out[static_cast<std::size_t>(i)]; };
    EXPECT_GT(std::fabs(at(kOff - 100)), 0.0f);
    for (int i = kOff; i < kOn + kRestDelay; ++i) {
        ASSERT_EQ(at(i), 0.0f) << i;
    }
    EXPECT_EQ(at(kOn + kRestDelay + 5), input(origin + kOn + 5));
    for (int i = kBypass; i < kEnd; ++i) {
        ASSERT_EQ(at(i), input(origin + static_cast<std::uint32_t>(i))) << i;
    }
}

TEST(ModulesPitchShifter, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split) {
        ShifterRig rig(1, 0);
        rig.value(0, Shifter::kPinWindow, 4.0f);
        rig.follow(kPitch, [](std::uint32_t t) { return 0.01f * std::sin(0.0005f * static_cast<float>(t)); });
        rig.follow(kAudio, source_rig::sine(523.0, kRate));
        if (split) {
            std::mt19937 random(3);
            std::uniform_int_distribution<int> at(1, 20000);
            for (int i = 0; i < 80; ++i) {
                rig.value(at(random), i % 2 == 0 ? Shifter::kPinSpare : Shifter::kPinFeedback, 0.0f);
            }
        }
        rig.run(20000);
        return rig.out();
    };
    EXPECT_TRUE(sameBits(render(false), render(true)));
}

TEST(ModulesPitchShifter, HostileInputGivesFiniteOutput) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const float pitches[] = {kNan, kInf, -kInf, 1.0e30f, -1.0e30f, 3.0f, -3.0f, 0.0f};
    const float settings[] = {kNan, kInf, -kInf, 0.0f, -4.0f, 1.0e9f, 0.5f, 6.0f};
    for (int scale : {0, 1, 2}) {
        for (int mode : {1, 4}) {
            ShifterRig rig(mode, scale);
            rig.follow(kPitch, [&](std::uint32_t t) { return pitches[(t / 251) % std::size(pitches)]; });
            rig.follow(kAudio, [](std::uint32_t t) {
                const float spikes[] = {1.0e30f, -1.0e30f, kNan, kInf, 0.5f, -0.5f, 1.0e-40f, 3.0f};
                return spikes[(t * 7919u) % std::size(spikes)];
            });
            for (int i = 0; i < 40; ++i) {
                const float v = settings[static_cast<std::size_t>(i) % std::size(settings)];
                const int pins[] = {Shifter::kPinWindow, Shifter::kPinBaseDelay, Shifter::kPinFeedback};
                rig.value(i * 300, pins[i % 3], v);
            }
            rig.run(14000);
            const bool finite =
                std::all_of(rig.out().begin(), rig.out().end(), [](float y) { return std::isfinite(y); });
            EXPECT_TRUE(finite) << "scale " << scale << " mode " << mode;
        }
    }
}

}  // namespace
