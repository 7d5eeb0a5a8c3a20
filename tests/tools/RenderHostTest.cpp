#include <gtest/gtest.h>

#include <string>

#include "velkor-render/RenderHost.h"

namespace {

using render::RenderHost;

constexpr double kRate = 1000.0;
constexpr int kBlock = 64;

struct OpcodeCase {
    const char* name;
    vst::int32 opcode;
    vst::intptr answer;
};

class ToolsRenderHostAnswers : public testing::TestWithParam<OpcodeCase> {};

TEST_P(ToolsRenderHostAnswers, Opcode) {
    RenderHost host(kRate, kBlock);
    EXPECT_EQ(host.answer(GetParam().opcode, 0, 0, nullptr, 0.0f), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsRenderHostAnswers,
    testing::Values(OpcodeCase{"Version", vst::audioMasterVersion, 2400},
                    OpcodeCase{"SampleRate", vst::audioMasterGetSampleRate, 1000},
                    OpcodeCase{"BlockSize", vst::audioMasterGetBlockSize, kBlock},
                    OpcodeCase{"WantMidi", vst::audioMasterWantMidi, 1},
                    OpcodeCase{"Automate", vst::audioMasterAutomate, 1},
                    OpcodeCase{"Idle", vst::audioMasterIdle, 0},
                    OpcodeCase{"ProcessLevel", vst::audioMasterGetCurrentProcessLevel, 0},
                    OpcodeCase{"SizeWindow", vst::audioMasterSizeWindow, 0}),
    [](const testing::TestParamInfo<OpcodeCase>& info) { return std::string(info.param.name); });

TEST(ToolsRenderHost, NamesItself) {
    RenderHost host(kRate, kBlock);
    char text[64] = {};
    EXPECT_EQ(host.answer(vst::audioMasterGetVendorString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "Velkor");
    EXPECT_EQ(host.answer(vst::audioMasterGetProductString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "velkor-render");
}

TEST(ToolsRenderHost, CanDoAnswers) {
    RenderHost host(kRate, kBlock);
    const auto canDo = [&](const char* text) {
        return host.answer(vst::audioMasterCanDo, 0, 0, const_cast<char*>(text), 0.0f);
    };
    EXPECT_EQ(canDo("sendVstEvents"), 1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
    EXPECT_EQ(canDo("sendVstTimeInfo"), 1);
    EXPECT_EQ(canDo("receiveVstEvents"), -1);
    EXPECT_EQ(canDo("sizeWindow"), -1);
    EXPECT_EQ(canDo("sendVstEventsX"), 0);
}

const vst::VstTimeInfo& timeAt(RenderHost& host, std::int64_t samplePos) {
    host.setPosition(samplePos);
    return *reinterpret_cast<const vst::VstTimeInfo*>(
        host.answer(vst::audioMasterGetTime, 0, vst::kVstTempoValid, nullptr, 0.0f));
}

TEST(ToolsRenderHost, TimeInfoFollowsPositionAndTempoChanges) {
    RenderHost host(kRate, kBlock);
    render::TempoMap tempo(120.0);
    tempo.addChange(1.0, 240.0);
    host.setTempoMap(tempo);

    const vst::VstTimeInfo& stopped = timeAt(host, 500);
    EXPECT_EQ(stopped.flags & vst::kVstTransportPlaying, 0);

    host.setPlaying(true);
    const vst::VstTimeInfo& before = timeAt(host, 500);  // 0.5 s at 2 beats per second
    EXPECT_DOUBLE_EQ(before.samplePos, 500.0);
    EXPECT_DOUBLE_EQ(before.sampleRate, kRate);
    EXPECT_DOUBLE_EQ(before.tempo, 120.0);
    EXPECT_DOUBLE_EQ(before.ppqPos, 1.0);
    EXPECT_EQ(before.flags, vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid);

    const vst::VstTimeInfo& after = timeAt(host, 1500);  // 2 beats, then 0.5 s at 4 per second
    EXPECT_DOUBLE_EQ(after.tempo, 240.0);
    EXPECT_DOUBLE_EQ(after.ppqPos, 4.0);
}

TEST(ToolsRenderHost, CallbackFindsItsHostThroughTheEffect) {
    RenderHost host(48000.0, kBlock);
    vst::AEffect effect{};
    EXPECT_EQ(RenderHost::callback(&effect, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 0)
        << "an effect no host claims gets no answers";
    EXPECT_EQ(RenderHost::callback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    effect.user = &host;
    EXPECT_EQ(RenderHost::callback(&effect, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0.0f),
              48000);
}

}  // namespace
