// The stereo echo measured from outside: the stereo whole-sample delay on its own, then the echo
// loop wired as the instrument wires it (loop adders, two lines, feedback crossfaders, the stereo
// delay that restores the time taken off the lines): repeats on the beat, ping-pong, decay, a loop
// at full feedback that holds, and one under loud input that stays bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/DelayRig.h"
#include "modules/effects/QX_DSP_Adder.h"
#include "modules/effects/QX_DSP_Delay.h"
#include "modules/effects/QX_DSP_Delay_ST.h"
#include "modules/effects/QX_DSP_XMixVol.h"

using namespace delay_test;

namespace {

using StereoDelay = QX_DSP_Delay_ST;
using StereoRig = DelayRig<StereoDelay>;

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// Left impulse at 0 and right impulse at 10; both outputs recorded.
StereoRig& stereoImpulses(StereoRig& rig) {
    rig.feed(0, StereoDelay::kPinLeft, impulseAt(0));
    rig.feed(1, StereoDelay::kPinRight, impulseAt(10));
    rig.listen(0, 0);
    rig.listen(1, 1);
    rig.prepare();
    return rig;
}

struct StereoCase {
    const char* name;
    int sampleRate;
    int size;
    float time;  // hundredths of a second
    int delay;   // samples
};

constexpr StereoCase kStereoCases[] = {
    {"EighteenMsAt44k", 44100, 8, 1.8f, 794},  // 793.8 samples, to the nearest
    {"EighteenMsAt48k", 48000, 8, 1.8f, 864},
    {"EighteenMsAt96k", 96000, 8, 1.8f, 1728},
    {"Zero", 44100, 8, 0.0f, 0},
    {"ShorterThanABlock", 44100, 8, 0.1f, 44},
    {"NaNIsZero", 44100, 8, kNan, 0},
    {"TooLongStopsABlockShortOfTheSize", 44100, 11, 100.0f, 256 - 128},
};

class ModulesStereoDelay : public testing::TestWithParam<StereoCase> {};

TEST_P(ModulesStereoDelay, DelaysBothChannelsByWholeSamples) {
    const StereoCase& c = GetParam();
    StereoRig rig(c.sampleRate);
    stereoImpulses(rig);
    rig.setting(0, StereoDelay::kPinSize, c.size);
    rig.value(0, StereoDelay::kPinTime, c.time);
    rig.run(c.delay + 400);
    EXPECT_EQ(nonZero(rig.out(0)), std::vector<int>{c.delay});
    EXPECT_EQ(nonZero(rig.out(1)), std::vector<int>{c.delay + 10});
    EXPECT_EQ(rig.kinds(0), std::vector<int>{kEventMoving});
}

INSTANTIATE_TEST_SUITE_P(ModulesEcho, ModulesStereoDelay, testing::ValuesIn(kStereoCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesEchoStereoDelay, SwapCrossesTheChannels) {
    StereoRig rig;
    stereoImpulses(rig);
    rig.value(0, StereoDelay::kPinTime, 1.0f);
    rig.setting(0, StereoDelay::kPinSwap, 1);
    rig.run(1000);
    EXPECT_EQ(nonZero(rig.out(0)), std::vector<int>{451});
    EXPECT_EQ(nonZero(rig.out(1)), std::vector<int>{441});
}

// Off: silent, announced still, idle. On again: nothing from before (enough to fill the buffers
// many times over) comes out, and what comes in after keeps its delay.
TEST(ModulesEchoStereoDelay, OffAndOnRestartsFromSilence) {
    StereoRig rig;
    rig.feed(0, StereoDelay::kPinLeft, [](std::uint32_t t) { return t < 500 || t == 800 ? 1.0f : 0.0f; });
    rig.feed(1, StereoDelay::kPinRight, [](std::uint32_t t) { return t < 500 || t == 810 ? 1.0f : 0.0f; });
    rig.listen(0, 0);
    rig.listen(1, 1);
    rig.prepare();
    rig.setting(0, StereoDelay::kPinSize, 11);
    rig.value(0, StereoDelay::kPinTime, 0.2f);  // 88.2 samples
    rig.setting(500, StereoDelay::kPinEnable, 0);
    rig.run(680);
    EXPECT_TRUE(rig.idle());
    rig.setting(20, StereoDelay::kPinEnable, 1);
    rig.run(420);
    for (int side = 0; side < 2; ++side) {
        const std::vector<float> after(rig.out(side).begin() + 500, rig.out(side).end());
        EXPECT_EQ(nonZero(after), std::vector<int>{388 + 10 * side}) << "side " << side;
    }
    EXPECT_EQ(rig.kinds(1), (std::vector<int>{kEventMoving, kEventStill, kEventMoving}));
}

TEST(ModulesEchoStereoDelay, SplitStretchesRenderLikeWholeOnes) {
    const auto render = [](bool split) {
        StereoRig rig;
        rig.feed(0, StereoDelay::kPinLeft, source_rig::sine(300.0, 44100));
        rig.feed(1, StereoDelay::kPinRight, [](std::uint32_t t) { return t % 50 == 0 ? 1.0f : kNan; });
        rig.listen(0, 0);
        rig.listen(1, 1);
        rig.prepare();
        rig.value(0, StereoDelay::kPinTime, 0.7f);
        if (split) {
            std::mt19937 random(5);
            std::uniform_int_distribution<int> at(1, 3000);
            for (int i = 0; i < 50; ++i) {
                rig.value(at(random), StereoDelay::kPinTime, 0.7f);
            }
        }
        rig.run(3500);
        std::vector<float> both = rig.out(0);
        both.insert(both.end(), rig.out(1).begin(), rig.out(1).end());
        return both;
    };
    EXPECT_TRUE(sameBits(render(false), render(true)));
}

// The echo loop as the instrument wires it. The filter between the loop adders and the lines is
// left out; with ping-pong it swaps the lines, so the rig wires the adders crossed instead.
class EchoLoop {
public:
    // (600 / 12) * 1 beat * length 4 * 0.25 - 1.8: the line time at 120 BPM, rate 1/4, length 4.
    static constexpr float kLineTime = 48.2f;
    static constexpr float kRestoredTime = 1.8f;
    static constexpr int kPongOn = 10;  // the switch's integer that the adders' match values expect
    static constexpr float kClamp = 20.0f;

    EchoLoop(int sampleRate, bool pong, float feedback, float phase, std::function<float(std::uint32_t)> dry)
        : engine(128, sampleRate) {
        source = engine.add<SignalSource>(false);
        for (auto*& adder : adders) {
            adder = engine.add<QX_DSP_Adder>(false);
        }
        for (auto*& line : lines) {
            line = engine.add<QX_DSP_Delay>(false);
        }
        for (auto*& mix : mixes) {
            mix = engine.add<QX_DSP_XMixVol>(false);
        }
        restore = engine.add<QX_DSP_Delay_ST>(false);
        recorder = engine.add<Recorder>(false);

        const std::uint32_t origin = engine.sampleClock;
        source->signal[0] = [dry, origin](std::uint32_t t) { return dry(t - origin); };
        source->signal[1] = source->signal[0];
        wire(source, 0, adders[0], 0);
        wire(source, 1, adders[0], 2);
        wire(source, 1, adders[1], 0);
        for (int side = 0; side < 2; ++side) {
            wire(mixes[side], 0, adders[side], 1);
            adders[side]->setInput(QX_DSP_Adder::kPinMin, engine.silence);
            adders[side]->setInput(QX_DSP_Adder::kPinMax, engine.silence);
            wire(adders[side], 0, lines[pong ? 1 - side : side], QX_DSP_Delay::kPinInput);
            wire(lines[side], 0, mixes[side], QX_DSP_XMixVol::kPinA);
            wire(lines[side], 0, mixes[side], QX_DSP_XMixVol::kPinB);
            wire(lines[side], 0, restore, side);
            wire(restore, side, recorder, side);
        }
        engine.prepareAll();

        for (int side = 0; side < 2; ++side) {
            send(adders[side], QX_DSP_Adder::kPinMin, -200, -kClamp);
            send(adders[side], QX_DSP_Adder::kPinMax, 200, kClamp);
            send(lines[side], QX_DSP_Delay::kPinSize, 0, 0.0f);
            send(lines[side], QX_DSP_Delay::kPinTime, tenths(kLineTime), kLineTime);
            send(mixes[side], QX_DSP_XMixVol::kPinLaw, 1, 0.1f);
            send(mixes[side], QX_DSP_XMixVol::kPinMix, tenths(phase), phase);
            send(mixes[side], QX_DSP_XMixVol::kPinVolume, tenths(feedback), feedback);
        }
        // The left adder takes the right dry signal with ping-pong on; the right one only with it off.
        send(adders[0], QX_DSP_Adder::kFirstSelectorPin + 2, pong ? kPongOn : 0, 0.0f);
        send(adders[0], QX_DSP_Adder::kFirstMatchPin + 2, kPongOn, 1.0f);
        send(adders[1], QX_DSP_Adder::kFirstSelectorPin, pong ? kPongOn : 0, 0.0f);
        send(adders[1], QX_DSP_Adder::kFirstMatchPin, 0, 0.0f);
        send(adders[0], 0, 1, 1.0f, kEventMoving);
        send(adders[0], 2, 1, 1.0f, kEventMoving);
        send(adders[1], 0, 1, 1.0f, kEventMoving);
        send(restore, QX_DSP_Delay_ST::kPinSize, 8, 0.8f);
        send(restore, QX_DSP_Delay_ST::kPinTime, 18, kRestoredTime);
    }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& heard(int side) const { return recorder->samples[side]; }

    TestEngine engine;
    SignalSource* source;
    QX_DSP_Adder* adders[2];
    QX_DSP_Delay* lines[2];
    QX_DSP_XMixVol* mixes[2];
    QX_DSP_Delay_ST* restore;
    Recorder* recorder;

private:
    static void wire(QX_ModuleBase* from, int output, QX_ModuleBase* to, int pin) {
        from->connect(to, to->moduleIndex, output, pin, 0, 0, 0);
    }
    void send(QX_ModuleBase* to, int pin, std::int32_t ivalue, float fvalue, int kind = kEventStill) {
        to->receiveEvent(engine.sampleClock, pin, kind, ivalue, fvalue, nullptr);
    }
};

// One repeat as heard on one side: where it starts, its peak and the sum of its samples (which
// linear interpolation keeps, however it spreads the impulse).
struct Repeat {
    int side;
    int start;
    int peakAt;
    double sum;
};

std::vector<Repeat> repeats(const EchoLoop& echo) {
    std::vector<Repeat> found;
    for (int side = 0; side < 2; ++side) {
        const std::vector<int> at = nonZero(echo.heard(side), 1.0e-4f);
        for (std::size_t i = 0; i < at.size(); ++i) {
            if (i == 0 || at[i] > at[i - 1] + 1) {
                found.push_back({side, at[i], at[i], 0.0});
            }
            Repeat& r = found.back();
            const float y = echo.heard(side)[static_cast<std::size_t>(at[i])];
            r.sum += y;
            if (std::fabs(y) > std::fabs(echo.heard(side)[static_cast<std::size_t>(r.peakAt)])) {
                r.peakAt = at[i];
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Repeat& a, const Repeat& b) { return a.start < b.start; });
    return found;
}

class ModulesEchoBeat : public testing::TestWithParam<int> {};

// 120 BPM, 1/4, length 4: the first repeat peaks half a second after the note, to the sample.
TEST_P(ModulesEchoBeat, FirstRepeatFallsOnTheBeat) {
    const int sampleRate = GetParam();
    EchoLoop echo(sampleRate, false, 0.0f, 0.5f, impulseAt(0));
    echo.run(sampleRate * 6 / 10);
    const std::vector<Repeat> heard = repeats(echo);
    ASSERT_EQ(heard.size(), 2u);
    for (const Repeat& r : heard) {
        EXPECT_EQ(r.peakAt, sampleRate / 2) << "side " << r.side;
        EXPECT_NEAR(r.sum, 1.0, 1.0e-5);
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesEcho, ModulesEchoBeat, testing::Values(44100, 48000, 96000),
                         [](const auto& info) { return std::to_string(info.param) + "Hz"; });

// Feedback 0.5 with the crossfader on the shifted copy alone: every repeat holds half the one
// before. Ping-pong moves each repeat to the other side, starting on the right; without it both
// sides repeat together.
TEST(ModulesEcho, PingPongAlternatesAndRepeatsDecay) {
    for (bool pong : {false, true}) {
        EchoLoop echo(48000, pong, 0.5f, 0.5f, impulseAt(0));
        echo.run(48000 * 5 / 2);
        const std::vector<Repeat> heard = repeats(echo);
        ASSERT_EQ(heard.size(), pong ? 5u : 10u) << "pong " << pong;
        for (std::size_t k = 0; k < heard.size(); ++k) {
            const std::size_t round = pong ? k : k / 2;
            const double dry = pong ? 2.0 : 1.0;  // with ping-pong one line takes both dry sides
            EXPECT_NEAR(heard[k].sum, dry * std::pow(0.5, static_cast<double>(round)), 1.0e-5) << "repeat " << k;
            if (pong) {
                EXPECT_EQ(heard[k].side, k % 2 == 0 ? 1 : 0) << "repeat " << k;
            } else {
                EXPECT_EQ(heard[k].start, heard[k - k % 2].start) << "repeat " << k;
            }
        }
    }
}

// Full feedback with the crossfader in the centre would give both copies 0.75, 1.5 per pass where
// they meet in phase (here, the same line twice); the crossfaders close the loop, so they are held
// at unity and every repeat of a click carries the click's whole sum, no more.
TEST(ModulesEcho, FullFeedbackInTheCentreHoldsEveryRepeat) {
    EchoLoop echo(48000, false, 1.0f, 0.0f, impulseAt(0));
    echo.run(48000 * 5 / 2);
    const std::vector<Repeat> heard = repeats(echo);
    ASSERT_EQ(heard.size(), 10u);
    for (std::size_t k = 0; k < heard.size(); ++k) {
        EXPECT_NEAR(heard[k].sum, 1.0, 1.0e-5) << "repeat " << k;
    }
}

// Under loud, never-ending input the loop holds at the adders' clamp and every sample stays finite.
TEST(ModulesEcho, FullFeedbackUnderLoudInputStaysBounded) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-100.0f, 100.0f);
    std::vector<float> loud(200000);
    for (float& x : loud) {
        x = noise(random);
    }
    EchoLoop echo(44100, true, 1.0f, 0.0f, [&loud](std::uint32_t t) { return loud[t % loud.size()]; });
    echo.run(150000);
    for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(countNonFinite(echo.heard(side)), 0);
        EXPECT_LE(peakMagnitude(echo.heard(side)), EchoLoop::kClamp);
        EXPECT_GT(peakMagnitude(echo.heard(side), 100000), 0.5f * EchoLoop::kClamp);
    }
}

}  // namespace
