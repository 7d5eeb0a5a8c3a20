#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/TestHost.h"

namespace {

using namespace vst;

class HostDispatcher : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    TestHost host;
};

struct OpcodeCase {
    const char* name;
    int32 opcode;
    int32 index;
    intptr value;
    intptr expected;
};

class HostDispatcherAnswers : public HostDispatcher, public ::testing::WithParamInterface<OpcodeCase> {};

TEST_P(HostDispatcherAnswers, AnswersAsAHostExpects) {
    const OpcodeCase& c = GetParam();
    EXPECT_EQ(host.dispatch(c.opcode, c.index, c.value), c.expected);
}

const OpcodeCase kOpcodeCases[] = {
    {"Open", effOpen, 0, 0, 0},
    {"GetProgram", effGetProgram, 0, 0, 0},
    {"Identify", effIdentify, 0, 0, fourCC('N', 'v', 'E', 'f')},
    {"CanBeAutomatedFirst", effCanBeAutomated, 0, 0, 1},
    {"CanBeAutomatedLast", effCanBeAutomated, 241, 0, 1},
    {"CanBeAutomatedReserved", effCanBeAutomated, 242, 0, 0},
    {"CanBeAutomatedNegative", effCanBeAutomated, -1, 0, 0},
    {"String2Parameter", effString2Parameter, 0, 0, 0},
    {"PlugCategory", effGetPlugCategory, 0, 0, kPlugCategSynth},
    {"OfflineNotify", effOfflineNotify, 0, 0, 0},
    {"OfflinePrepare", effOfflinePrepare, 0, 0, 0},
    {"OfflineRun", effOfflineRun, 0, 0, 0},
    {"ProcessVarIo", effProcessVarIo, 0, 0, 0},
    {"SetSpeakerArrangement", effSetSpeakerArrangement, 0, 0, 0},
    {"SetBypass", effSetBypass, 0, 1, 0},
    {"VendorVersion", effGetVendorVersion, 0, 0, 2410},
    {"VendorSpecific", effVendorSpecific, 0, 0, 0},
    {"TailSize", effGetTailSize, 0, 0, 0},
    {"ParameterProperties", effGetParameterProperties, 0, 0, 0},
    {"VstVersion", effGetVstVersion, 0, 0, 2400},
    {"MidiProgramName", effGetMidiProgramName, 0, 0, 0},
    {"CurrentMidiProgram", effGetCurrentMidiProgram, 0, 0, -1},
    {"MidiProgramCategory", effGetMidiProgramCategory, 0, 0, 0},
    {"MidiProgramsChanged", effHasMidiProgramsChanged, 0, 0, 0},
    {"MidiKeyName", effGetMidiKeyName, 0, 0, 0},
    {"BeginSetProgram", effBeginSetProgram, 0, 0, 0},
    {"EndSetProgram", effEndSetProgram, 0, 0, 0},
    {"ShellNextPlugin", effShellGetNextPlugin, 0, 0, 0},
    {"StartProcess", effStartProcess, 0, 0, 0},
    {"StopProcess", effStopProcess, 0, 0, 0},
    {"TotalSampleToProcess", effSetTotalSampleToProcess, 0, 4096, 4096},
    {"PanLaw", effSetPanLaw, 0, 0, 0},
    {"BeginLoadBank", effBeginLoadBank, 0, 0, 0},
    {"BeginLoadProgram", effBeginLoadProgram, 0, 0, 0},
    {"ProcessPrecision", effSetProcessPrecision, 0, 0, 0},
    {"MidiInputChannels", effGetNumMidiInputChannels, 0, 0, 16},
    {"MidiOutputChannels", effGetNumMidiOutputChannels, 0, 0, 0},
    {"EditOpenWithoutWindow", effEditOpen, 0, 0, 1},
    {"EditClose", effEditClose, 0, 0, 0},
    {"EditIdle", effEditIdle, 0, 0, 0},
    {"EditKeyDownLeftToTheWindow", effEditKeyDown, 65, 0, 0},
    {"KnobModeUnchanged", effSetEditKnobMode, 0, 2, 0},
    {"UnknownOpcode", 999, 0, 0, 0},
    {"SetProgramOutOfRange", effSetProgram, 0, 128, 0},
};

INSTANTIATE_TEST_SUITE_P(Opcodes, HostDispatcherAnswers, ::testing::ValuesIn(kOpcodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostDispatcher, RecordDescribesASynthWithChunks) {
    const AEffect* e = host.effect;
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 128);
    EXPECT_EQ(e->numParams, 333);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth | effFlagsHasEditor);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->uniqueID, fourCC('Q', 'm', 'v', 'D'));
    EXPECT_EQ(e->version, 1);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_NE(e->process, nullptr);
}

TEST_F(HostDispatcher, IdentityStrings) {
    EXPECT_EQ(host.text(effGetEffectName), "Velkor_2_Demo");
    EXPECT_EQ(host.text(effGetVendorString), "Quillmont");
    EXPECT_EQ(host.text(effGetProductString), "Velkor_2_Demo");
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, nullptr), 0);
}

TEST_F(HostDispatcher, CanDoAnswersExactTexts) {
    const struct {
        const char* text;
        intptr answer;
    } cases[] = {{"receiveVstEvents", 1},  {"receiveVstMidiEvent", 1}, {"receiveVstTimeInfo", 1},
                 {"sendVstMidiEvent", -1}, {"sendVstEvents", -1},      {"offline", -1},
                 {"bypass", -1},           {"midiProgramNames", -1},   {"Bypass", 0},
                 {"receiveVstEvent", 0},   {"", 0},                    {"plugAsChannelInsert", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << c.text;
    }
}

TEST_F(HostDispatcher, PinsAreOneStereoPairEachWay) {
    const struct {
        int32 opcode;
        int32 index;
        const char* label;
    } pins[] = {{effGetInputProperties, 0, "Left In"},
                {effGetInputProperties, 1, "Right In"},
                {effGetOutputProperties, 0, "Left Out"},
                {effGetOutputProperties, 1, "Right Out"}};
    for (const auto& pin : pins) {
        VstPinProperties properties{};
        ASSERT_EQ(host.dispatch(pin.opcode, pin.index, 0, &properties), 1);
        EXPECT_STREQ(properties.label, pin.label);
        EXPECT_EQ(properties.flags, kVstPinIsActive | kVstPinIsStereo);
        EXPECT_EQ(properties.arrangementType, kSpeakerArrStereo);
    }
    for (int32 opcode : {effGetInputProperties, effGetOutputProperties}) {
        VstPinProperties untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        VstPinProperties properties = untouched;
        EXPECT_EQ(host.dispatch(opcode, 2, 0, &properties), 0);
        EXPECT_EQ(std::memcmp(&properties, &untouched, sizeof properties), 0);
    }
}

TEST_F(HostDispatcher, SpeakerArrangementIsStereoBothWays) {
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&input), &output), 1);
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(input->type, kSpeakerArrStereo);
    EXPECT_EQ(input->numChannels, 2);
    EXPECT_EQ(output->type, kSpeakerArrStereo);
    EXPECT_EQ(output->numChannels, 2);
}

TEST_F(HostDispatcher, ProgramsAndTheirNames) {
    char name[64];
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 127, 0, name), 1);
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 128, 0, name), 0);
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, -1, 0, name), 0);

    host.dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(host.dispatch(effGetProgram), 7);
    host.dispatch(effSetProgram, 0, 128);
    host.dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(host.dispatch(effGetProgram), 7);

    char longName[] = "A name far longer than twenty-four characters";
    host.dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(host.text(effGetProgramName), "A name far longer than t");
    host.dispatch(effGetProgramNameIndexed, 7, 0, name);
    EXPECT_STREQ(name, "A name far longer than t");
}

TEST_F(HostDispatcher, ParameterNamesAndRefusedIds) {
    EXPECT_EQ(host.text(effGetParamName, 120), "Play Mode");
    EXPECT_EQ(host.text(effGetParamName, 300), "zFuture");
    EXPECT_EQ(host.text(effGetParamName, 333), "z-");
    EXPECT_EQ(host.text(effGetParamName, 400), "z-");
    EXPECT_EQ(host.text(effGetParamName, -5), "z-");
    EXPECT_EQ(host.text(effGetParamName, 178).size(), 20u);  // names are cut to 20 characters
    EXPECT_EQ(host.text(effGetParamLabel, 120), "");
    EXPECT_EQ(host.text(effGetParamDisplay, 400), "");
    EXPECT_EQ(host.effect->getParameter(host.effect, 400), 0.0f);
    EXPECT_EQ(host.effect->getParameter(host.effect, -1), 0.0f);
}

TEST_F(HostDispatcher, ConstructionAsksForVersionThenMidi) {
    ASSERT_GE(host.opcodesAsked.size(), 2u);
    EXPECT_EQ(host.opcodesAsked[0], audioMasterVersion);
    EXPECT_NE(std::find(host.opcodesAsked.begin(), host.opcodesAsked.end(), audioMasterWantMidi),
              host.opcodesAsked.end());
}

TEST_F(HostDispatcher, CloseDestroysTheInstanceAndAnswersOne) {
    AEffect* effect = host.effect;
    host.effect = nullptr;
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(HostEntry, AHostThatAnswersNoVersionGetsNoInstance) {
    TestHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(host.open(), nullptr);
    EXPECT_EQ(host.opcodesAsked.size(), 1u);  // nothing but the version question
}

TEST(HostEntry, ProcessingBeforeResumeIsSilent) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    host.process(300);
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(host.outLeft[i], 0.0f);
        ASSERT_EQ(host.outRight[i], 0.0f);
    }
}

}  // namespace
