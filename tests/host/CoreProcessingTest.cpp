#include <gtest/gtest.h>

#include <cmath>

#include "host/QX_DSP_VST.h"
#include "params/ParameterLookups.h"
#include "support/ProbeModule.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

// A running plug-in whose engine output is a probe module added after the shipped graph.
class HostCore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.open(), nullptr);
        host.start(44100.0f, 128);
        probe = appendProbe(core());
    }
    QX_DSP_VST& core() { return pluginOf(host.effect); }

    TestHost host;
    ProbeModule* probe = nullptr;
};

TEST_F(HostCore, BlocksAreCutIntoChunksThatFollowTheRing) {
    host.process(300);
    ASSERT_EQ(probe->pieces.size(), 3u);
    EXPECT_EQ(probe->pieces[0].count, 128);
    EXPECT_EQ(probe->pieces[1].count, 128);
    EXPECT_EQ(probe->pieces[2].count, 44);
    EXPECT_EQ(probe->pieces[2].pos, 0);
    EXPECT_EQ(core().ringPos, 44);

    probe->pieces.clear();
    host.process(300);
    ASSERT_GE(probe->pieces.size(), 2u);
    EXPECT_EQ(probe->pieces[0].pos, 44);
    EXPECT_EQ(probe->pieces[0].count, 84);
    // The host sees one unbroken stream of engine time across both blocks.
    const float first = host.outLeft[0];
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(host.outLeft[i], first + static_cast<float>(i)) << i;
        ASSERT_EQ(host.outRight[i], host.outLeft[i]);
    }
    EXPECT_EQ(first, static_cast<float>(1 + 300));
}

TEST_F(HostCore, OddBlockSizesKeepTheStreamContinuous) {
    std::uint32_t expected = core().sampleClock;
    for (int frames : {1, 7, 8192, 129, 1, 300}) {
        host.process(frames);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(host.outLeft[static_cast<std::size_t>(i)], static_cast<float>(expected + static_cast<std::uint32_t>(i)));
        }
        expected += static_cast<std::uint32_t>(frames);
    }
}

TEST_F(HostCore, ProgramChangeFadesOutAppliesAndFadesIn) {
    probe->constantOutput = 1.0f;
    core().bindParameter(probe, probe->moduleIndex, kParamHostMidi, 0, 0, 0, 0);
    host.process(128);  // audio is running now
    probe->events.clear();
    const int resetsBefore = probe->resets;

    host.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(host.dispatch(effGetProgram), 5);
    host.process(128);
    for (float v : host.outLeft) {
        ASSERT_EQ(v, 1.0f);  // the first block after the request is not scaled
    }
    EXPECT_TRUE(probe->events.empty());
    const std::uint32_t nextBlock = core().sampleClock;

    // Gain falls by 1000 / (44100 * 21) per sample: silence after about 21 ms.
    std::vector<float> out;
    while (core().fadeStateNow() == 1 && out.size() < 44100) {
        host.process(128);
        out.insert(out.end(), host.outLeft.begin(), host.outLeft.end());
    }
    const double step = 1000.0 / (44100.0 * 21.0);
    const std::size_t silentAt = static_cast<std::size_t>(std::find(out.begin(), out.end(), 0.0f) - out.begin());
    EXPECT_NEAR(static_cast<double>(silentAt), 1.0 / step - 1.0, 2.0);
    for (std::size_t i = 1; i < silentAt; ++i) {
        ASSERT_LT(out[i], out[i - 1]);
    }
    EXPECT_EQ(core().fadeStateNow(), 2);
    EXPECT_EQ(probe->resets, resetsBefore + 1);  // applied once, at silence
    // The request's all-notes-off is taken at the first sample of the block after it.
    ASSERT_FALSE(probe->events.empty());
    EXPECT_EQ(probe->events[0].ivalue, 0x7BB0);
    EXPECT_EQ(probe->events[0].time, nextBlock);

    std::vector<float> in;
    while (core().fadeStateNow() == 2 && in.size() < 44100) {
        host.process(128);
        in.insert(in.end(), host.outLeft.begin(), host.outLeft.end());
    }
    EXPECT_EQ(core().fadeStateNow(), 0);
    const std::size_t fullAt = static_cast<std::size_t>(std::find(in.begin(), in.end(), 1.0f) - in.begin());
    EXPECT_NEAR(static_cast<double>(fullAt), 1.0 / step, 2.0);
    host.process(128);
    EXPECT_EQ(host.outLeft[0], 1.0f);
}

TEST_F(HostCore, ProgramChangeBeforeAudioAppliesAtOnce) {
    TestHost fresh;
    ASSERT_NE(fresh.open(), nullptr);
    QX_DSP_VST& plugin = pluginOf(fresh.effect);
    plugin.programMemory().record(5).values[120] = 1.0f;  // "Play Mode" Poly in program 5
    fresh.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(fresh.effect->getParameter(fresh.effect, 120), 1.0f);
    EXPECT_EQ(plugin.fadeStateNow(), 0);
}

TEST_F(HostCore, UnchangedResumeKeepsTheEngineAndAChangedBlockLengthRebuildsIt) {
    QX_ModuleBase* first = core().modules[0];
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(core().modules[0], first);
    EXPECT_EQ(core().moduleCount, 1379 + 1);

    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effSetBlockSize, 0, 512);
    EXPECT_EQ(core().engineBlockLength, 128);
    host.dispatch(effSetBlockSize, 0, 64);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(core().moduleCount, 1379);  // rebuilt from the netlist: the probe is gone
    EXPECT_EQ(core().builtBlockLength, 64);
    EXPECT_NEAR(core().blockMs, 64.0f * 1000.0f / 44100.0f, 1e-4f);
}

TEST_F(HostCore, ExtremeRatesAndBlocksStayFinite) {
    for (const auto& [rate, block] : {std::pair{8000.0f, 1}, {384000.0f, 8192}, {0.0f, 0}, {NAN, 64}}) {
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        host.dispatch(effSetBlockSize, 0, block);
        host.dispatch(effMainsChanged, 0, 1);
        EXPECT_GE(core().sampleRateInt, 200);
        EXPECT_GE(core().engineBlockLength, 1);
        host.process(1000);
        for (float v : host.outLeft) {
            ASSERT_TRUE(std::isfinite(v));
        }
    }
}

TEST_F(HostCore, HostParameterValuesAreSnappedStoredAndSentAtTheirSample) {
    core().bindParameter(probe, probe->moduleIndex, 120, 3, 0, 0, 0);
    host.effect->setParameter(host.effect, 120, 0.4f);  // "Play Mode": three options
    EXPECT_EQ(host.effect->getParameter(host.effect, 120), 0.5f);
    EXPECT_EQ(host.text(effGetParamDisplay, 120), "Legato");
    host.effect->setParameter(host.effect, 120, NAN);
    EXPECT_EQ(host.effect->getParameter(host.effect, 120), 0.0f);
    host.effect->setParameter(host.effect, 120, 0.75f);
    EXPECT_EQ(host.text(effGetParamDisplay, 120), "Poly");
    host.process(64);
    // Outside the audio callbacks only the latest value travels, at the next block's start.
    ASSERT_EQ(probe->events.size(), 1u);
    EXPECT_EQ(probe->events[0].ivalue, 2);
    EXPECT_EQ(probe->events[0].pos, 0);
}

TEST_F(HostCore, ParametersFromAnotherThreadArriveAtTheNextBlock) {
    core().bindParameter(probe, probe->moduleIndex, 15, 1, 0, 0, 0);
    host.process(128);
    probe->events.clear();
    std::thread other([&] {
        for (int i = 1; i <= 100; ++i) {
            host.effect->setParameter(host.effect, 15, static_cast<float>(i) / 100.0f);
        }
    });
    other.join();
    EXPECT_EQ(host.effect->getParameter(host.effect, 15), 1.0f);
    EXPECT_TRUE(probe->events.empty());  // no other thread touches the event lists
    host.process(128);
    ASSERT_EQ(probe->events.size(), 1u);  // the latest value, once
    EXPECT_EQ(probe->events[0].pos, 0);
    EXPECT_FLOAT_EQ(probe->events[0].fvalue, ParameterLookups::get().engineeringValue(15, 1.0f));
}

TEST_F(HostCore, ModuleValuesReadBackThroughTheInverseCurve) {
    const ControlDescriptor* rate = ParameterLookups::get().descriptor(11);  // "Lfo1 Rate(Hz)", curve 3
    ASSERT_NE(rate, nullptr);
    const float middle = (rate->engMin + rate->engMax) * 0.05f;
    core().setParameterFromModule(11, middle, false);
    EXPECT_NEAR(host.effect->getParameter(host.effect, 11), 0.7071f, 1e-4f);
    host.process(16);  // another thread's engineering values arrive with the next block
    EXPECT_EQ(core().paramValues[11], middle);
}

}  // namespace
