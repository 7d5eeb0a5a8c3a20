#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "modules/modulation/QX_DSP_Copy_Paste.h"
#include "params/ParameterLookups.h"
#include "support/TestEngine.h"

namespace {

using Module = QX_DSP_Copy_Paste;

// A module wired as the netlist wires a group: registered ids and their live values on the pins.
class ModulesCopyPaste : public ::testing::Test {
protected:
    void wire(const std::vector<int>& ids) {
        for (std::size_t j = 0; j < ids.size(); ++j) {
            module->registerParameter(static_cast<int>(j), ids[j], 0);
            module->setInput(Module::kFirstValuePin + static_cast<int>(j), &engine.paramValues[ids[j]]);
        }
        engine.prepareAll();
    }
    void send(int pin, std::int32_t ivalue, float fvalue) {
        module->receiveEvent(engine.sampleClock, pin, kEventStill, ivalue, fvalue, nullptr);
        engine.run(8);
    }
    void press(int pin) {
        send(pin, 10, 1.0f);
        send(pin, 0, 0.0f);
    }
    std::vector<TestEngine::ModuleParameter> takeSent() {
        std::vector<TestEngine::ModuleParameter> sent;
        sent.swap(engine.moduleParameters);
        return sent;
    }

    TestEngine engine;
    Module* module = engine.add<Module>(false);
    const ParameterLookups& lookups = ParameterLookups::get();
};

TEST_F(ModulesCopyPaste, PasteSendsTheValuesKeptAtCopyToTheRegisteredParameters) {
    const std::vector<int> ids = {135, 136, 132, 143};
    wire(ids);
    press(Module::kPinPaste);  // nothing kept yet
    EXPECT_TRUE(takeSent().empty());

    for (std::size_t j = 0; j < ids.size(); ++j) {
        engine.paramValues[ids[j]] = 0.1f * static_cast<float>(j + 1);
    }
    press(Module::kPinCopy);
    for (const int id : ids) {
        engine.paramValues[id] = 0.9f;
    }
    press(Module::kPinPaste);
    const auto sent = takeSent();
    ASSERT_EQ(sent.size(), ids.size());
    for (std::size_t j = 0; j < ids.size(); ++j) {
        EXPECT_EQ(sent[j].index, ids[j]);
        EXPECT_FLOAT_EQ(sent[j].value, 0.1f * static_cast<float>(j + 1));
        EXPECT_TRUE(sent[j].send);
    }
    press(Module::kPinPaste);  // the clipboard stays full
    EXPECT_EQ(takeSent().size(), ids.size());
}

TEST_F(ModulesCopyPaste, ValuesThatAreNotNumbersAreNotPasted) {
    wire({64, 65});
    engine.paramValues[64] = std::numeric_limits<float>::quiet_NaN();
    engine.paramValues[65] = 0.3f;
    press(Module::kPinCopy);
    press(Module::kPinPaste);
    const auto sent = takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].index, 65);
}

TEST_F(ModulesCopyPaste, StoredButtonStatesReSentWithAProgramAreNoPresses) {
    wire({64});
    engine.programJustLoaded = true;  // each processed chunk clears it again
    send(Module::kPinCopy, 10, 1.0f);
    engine.programJustLoaded = true;
    send(Module::kPinRandomise, 10, 1.0f);
    send(Module::kPinPaste, 10, 1.0f);
    EXPECT_TRUE(takeSent().empty());
    send(Module::kPinRandomise, 10, 1.0f);  // still high: no new rising edge
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(ModulesCopyPaste, WholeProgramModeKeepsAndRestoresEveryProgramValue) {
    wire({64});
    send(Module::kPinWholeProgram, 1, 0.1f);
    for (int p = 0; p < kHostParameterCount; ++p) {
        engine.paramValues[p] = static_cast<float>(p) * 0.001f;
    }
    press(Module::kPinCopy);
    std::fill(engine.paramValues, engine.paramValues + kHostParameterCount, 0.5f);
    engine.currentProgram = 9;
    press(Module::kPinPaste);
    const auto sent = takeSent();
    std::vector<int> restored;
    for (const auto& s : sent) {
        EXPECT_FLOAT_EQ(s.value, static_cast<float>(s.index) * 0.001f);
        EXPECT_TRUE(s.send);
        restored.push_back(s.index);
    }
    EXPECT_EQ(std::count(restored.begin(), restored.end(), 15), 1);      // a program value
    EXPECT_EQ(std::count(restored.begin(), restored.end(), 212), 0);     // a global button
    EXPECT_EQ(std::count(restored.begin(), restored.end(), 0), 0);       // the bank file text
    EXPECT_EQ(engine.programRequests, std::vector<int>{9});
}

struct RandomiseCase {
    const char* name;
    int mode;
    float (*shape)(int position, float r);
};

float unchanged(int, float r) { return r; }
float onOff(int, float r) { return r > 0.5f ? 1.0f : 0.0f; }
float shapedGroups(int j, float r) {
    if (j < 5) {
        return r * r * r;
    }
    if (j < 10) {
        return std::fabs(r - 0.5f) * (r - 0.5f) + 0.5f;
    }
    return j < 15 ? r : 0.0f;
}

const RandomiseCase kRandomiseCases[] = {
    {"Plain", 0, unchanged},
    {"OnOffSteps", 3, onOff},
    {"ShapedGroups", 2, shapedGroups},
    {"UnknownMode", 77, unchanged},
};

class ModulesCopyPasteRandomise : public ModulesCopyPaste, public ::testing::WithParamInterface<RandomiseCase> {};

TEST_P(ModulesCopyPasteRandomise, EachRisingTriggerDrawsOneShapedValuePerMember) {
    const RandomiseCase& c = GetParam();
    // Seventeen continuous members, so every group of the shaped mode is met.
    std::vector<int> ids;
    for (int id = 242; id < 259; ++id) {
        ids.push_back(id);
    }
    wire(ids);
    send(Module::kPinRandomMode, c.mode, static_cast<float>(c.mode) * 0.1f);
    SharedRandom expected;
    for (int round = 0; round < 2; ++round) {
        send(Module::kPinRandomise, 10, 1.0f);
        send(Module::kPinRandomise, 8, 0.8f);  // no new edge while high
        const auto sent = takeSent();
        ASSERT_EQ(sent.size(), ids.size());
        for (std::size_t j = 0; j < ids.size(); ++j) {
            const float normalised = c.shape(static_cast<int>(j), expected.next(1.0f));
            EXPECT_EQ(sent[j].index, ids[j]);
            EXPECT_NEAR(sent[j].value, lookups.engineeringValue(ids[j], normalised), 1e-6f) << j;
        }
        send(Module::kPinRandomise, 0, 0.0f);
    }
    EXPECT_EQ(engine.sharedRandom.a(), expected.a());
}

INSTANTIATE_TEST_SUITE_P(ModulesCopyPaste, ModulesCopyPasteRandomise, ::testing::ValuesIn(kRandomiseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModulesCopyPaste, OnOffStepsLandOnTheStepsOptions) {
    wire({135, 136, 137, 138, 139, 140, 141, 142});
    send(Module::kPinRandomMode, 3, 0.3f);
    send(Module::kPinRandomise, 10, 1.0f);
    for (const auto& s : takeSent()) {
        const float normalised = lookups.normalisedFromEngineering(s.index, s.value);
        EXPECT_TRUE(normalised == 0.0f || normalised == 1.0f) << s.index << " " << normalised;
    }
}

TEST_F(ModulesCopyPaste, HostileValuesNeitherTriggerNorBreak) {
    wire({64});
    for (const float hostile : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        send(Module::kPinRandomise, 0, hostile);  // read as released
    }
    EXPECT_TRUE(takeSent().empty());
    module->registerParameter(kParameterSlots, 70, 0);  // outside the slots: ignored
    module->registerParameter(1, 5000, 0);              // no such parameter: not a member
    send(Module::kPinRandomMode, 1 << 30, 1.0e30f);
    send(Module::kPinRandomise, 10, 1.0f);
    const auto sent = takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(std::isfinite(sent[0].value));
    EXPECT_TRUE(engine.moduleFlags[module->moduleIndex] & kModuleIdle);
}

}  // namespace
