#include <gtest/gtest.h>

#include <cstddef>

#include "host/QX_DSP_VST.h"
#include "params/ParameterLookups.h"
#include "support/ProbeModule.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

class HostMidiIntake : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.open(), nullptr);
        host.start(44100.0f, 128);
        probe = appendProbe(core());
        core().bindParameter(probe, probe->moduleIndex, kParamHostMidi, 0, 0, 0, 0);
        settle();
    }
    // An MPE switch sends its reset at the end of a block, into the next one.
    void settle() {
        host.process(16);
        host.process(16);
        probe->events.clear();
    }
    QX_DSP_VST& core() { return pluginOf(host.effect); }
    std::vector<std::int32_t> midiSeen() {
        std::vector<std::int32_t> seen;
        for (const auto& e : probe->events) {
            if (e.pin == 0) {
                seen.push_back(e.ivalue);
            }
        }
        return seen;
    }
    static float engineering(int id, float normalised) {
        return ParameterLookups::get().engineeringValue(id, normalised);
    }

    TestHost host;
    ProbeModule* probe = nullptr;
};

TEST(HostMidiStart, ANoteInTheFirstBlockIsNotCutByTheFirstMpeCheck) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    host.start(44100.0f, 128);
    ProbeModule* probe = appendProbe(pluginOf(host.effect));
    pluginOf(host.effect).bindParameter(probe, probe->moduleIndex, kParamHostMidi, 0, 0, 0, 0);
    host.sendMidi({{0x90, 69, 100}});
    for (int block = 0; block < 4; ++block) {
        host.process(128);
    }
    ASSERT_EQ(probe->events.size(), 1u);
    EXPECT_EQ(probe->events[0].ivalue, packMidi(0x90, 69, 100));
}

TEST_F(HostMidiIntake, MessagesReachTheEngineAtTheirOwnSample) {
    const std::uint32_t start = core().sampleClock;
    host.sendMidi({{0x90, 60, 100}, {0x80, 60, 0}, {0x90, 64, 90}}, {5, 70, 70});
    host.process(128);
    ASSERT_EQ(probe->events.size(), 3u);
    EXPECT_EQ(probe->events[0].time, start + 5);
    EXPECT_EQ(probe->events[0].ivalue, packMidi(0x90, 60, 100));
    EXPECT_EQ(probe->events[1].time, start + 70);
    EXPECT_EQ(probe->events[1].ivalue, packMidi(0x80, 60, 0));
    EXPECT_EQ(probe->events[2].pos, probe->events[1].pos);  // same sample, order kept
    EXPECT_EQ(probe->events[2].ivalue, packMidi(0x90, 64, 90));
}

TEST_F(HostMidiIntake, OmniClearsTheChannelAndAReceiveChannelFilters) {
    host.sendMidi({{0x99, 60, 100}});
    host.process(16);
    EXPECT_EQ(midiSeen(), std::vector<std::int32_t>{packMidi(0x90, 60, 100)});

    probe->events.clear();
    core().midiChannel = 3;
    host.sendMidi({{0x90, 61, 100}, {0x93, 62, 100}, {0xF8, 0, 0}});
    host.process(16);
    EXPECT_EQ(midiSeen(), std::vector<std::int32_t>{packMidi(0x93, 62, 100)});
}

TEST_F(HostMidiIntake, MpeRoutesMemberChannelsAndDropsMasterNotes) {
    core().bindParameter(probe, probe->moduleIndex, 405, 1, 0, 0, 0);
    core().mpeMode = 1;
    settle();

    const std::uint32_t start = core().sampleClock;
    host.sendMidi({{0x90, 60, 100}, {0xE2, 0x00, 0x40}, {0x92, 61, 100}, {0xB0, 7, 100}}, {0, 9, 10, 11});
    host.process(32);
    EXPECT_EQ(midiSeen(), (std::vector<std::int32_t>{packMidi(0x92, 61, 100), packMidi(0xB0, 7, 100)}));
    const auto bend = std::find_if(probe->events.begin(), probe->events.end(), [](const auto& e) { return e.pin == 1; });
    ASSERT_NE(bend, probe->events.end());
    EXPECT_EQ(bend->time, start + 9);  // at the bend's own sample
    EXPECT_FLOAT_EQ(bend->fvalue, engineering(405, 0.5f));
}

TEST_F(HostMidiIntake, LeavingMpeStopsNotesAndRecentresTheMemberChannels) {
    core().mpeMode = 1;
    settle();
    for (int id = 404; id <= 448; ++id) {
        core().paramValues[id] = 123.0f;
    }
    probe->events.clear();
    core().mpeMode = 0;
    host.process(16);
    host.process(16);
    EXPECT_EQ(midiSeen(), std::vector<std::int32_t>{0x7BB0});
    for (int id = 404; id <= 418; ++id) {
        EXPECT_FLOAT_EQ(core().paramValues[id], engineering(id, 0.5f)) << id;
    }
    for (int id = 419; id <= 448; ++id) {
        EXPECT_FLOAT_EQ(core().paramValues[id], engineering(id, 0.0f)) << id;
    }
}

TEST_F(HostMidiIntake, NrpnAndPlainControllersReachMappedParameters) {
    constexpr int kDepth = 15;
    constexpr int kLevel = 53;
    core().setParameterController(kDepth, 205);
    core().setParameterController(kLevel, 6);
    host.sendMidi({{0xB0, 99, 0}, {0xB0, 98, 5}, {0xB0, 38, 0}, {0xB0, 6, 64}});
    host.process(16);
    EXPECT_NEAR(host.effect->getParameter(host.effect, kDepth), 8192.0f / 16383.0f, 1e-6f);
    EXPECT_EQ(core().lastController, 205);
    EXPECT_EQ(host.effect->getParameter(host.effect, kLevel), 0.0f);

    TestHost fresh;  // data entry with no NRPN number before it acts as plain controller 6
    ASSERT_NE(fresh.open(), nullptr);
    fresh.start();
    pluginOf(fresh.effect).setParameterController(kLevel, 6);
    fresh.sendMidi({{0xB0, 6, 127}});
    EXPECT_EQ(fresh.effect->getParameter(fresh.effect, kLevel), 1.0f);
    EXPECT_EQ(pluginOf(fresh.effect).lastController, 6);
}

TEST_F(HostMidiIntake, EqFrequenciesFollowControllersOnAFourthPowerCurve) {
    core().setParameterController(196, 20);
    core().setParameterController(197, 20);
    host.sendMidi({{0xB0, 20, 64}});
    const float v = 64.0f / 127.0f;
    EXPECT_NEAR(host.effect->getParameter(host.effect, 196), v * v * v * v, 1e-6f);
    EXPECT_NEAR(host.effect->getParameter(host.effect, 197), ParameterLookups::get().snap(197, v), 1e-6f);
}

TEST_F(HostMidiIntake, BendPressureAndModulationBecomeParameters) {
    core().bindParameter(probe, probe->moduleIndex, kParamPitchBend, 2, 0, 0, 0);
    host.sendMidi({{0xE0, 0, 0x40}, {0xE0, 0, 0x60}, {0xD0, 127, 0}, {0xB0, 1, 127}, {0xC0, 9, 0}}, {1, 2, 3, 4, 5});
    host.process(16);
    EXPECT_FLOAT_EQ(core().paramValues[kParamPitchBend], engineering(kParamPitchBend, 0.75f));
    EXPECT_FLOAT_EQ(core().paramValues[kParamChannelPressure], engineering(kParamChannelPressure, 1.0f));
    EXPECT_FLOAT_EQ(core().paramValues[kParamModulation], engineering(kParamModulation, 1.0f));
    EXPECT_EQ(std::count_if(probe->events.begin(), probe->events.end(), [](const auto& e) { return e.pin == 2; }), 1);
    EXPECT_EQ(midiSeen(), std::vector<std::int32_t>{packMidi(0xB0, 1, 127)});
    EXPECT_EQ(host.dispatch(effGetProgram), 9);
}

TEST_F(HostMidiIntake, MalformedEventListsAreHarmless) {
    std::vector<std::uint8_t> storage(sizeof(VstEvents) + 4 * sizeof(VstEvent*));
    auto* events = reinterpret_cast<VstEvents*>(storage.data());
    VstEvent sysex{};
    sysex.type = kVstSysExType;
    events->numEvents = 3;
    auto** list = reinterpret_cast<VstEvent**>(storage.data() + offsetof(VstEvents, events));
    list[0] = nullptr;
    list[1] = &sysex;
    VstMidiEvent late{};
    late.type = kVstMidiType;
    late.deltaFrames = -40;  // before the block: taken at its start
    late.midiData[0] = static_cast<char>(0x90);
    late.midiData[1] = static_cast<char>(0xFF);  // data bytes above 127 are masked
    late.midiData[2] = 100;
    list[2] = reinterpret_cast<VstEvent*>(&late);
    EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, events), 1);
    events->numEvents = -5;
    EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, events), 1);
    host.process(16);
    EXPECT_EQ(midiSeen(), std::vector<std::int32_t>{packMidi(0x90, 0x7F, 100)});
}

}  // namespace
