#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "engine/ShippedNetlist.h"
#include "modules/modulation/QX_DSP_HAHDSR_Env.h"
#include "modules/voice/QX_DSP_Midi_Adder.h"
#include "modules/voice/QX_DSP_Midi_to_Poly_Gen2.h"
#include "modules/voice/QX_DSP_Poly_to_Mono.h"
#include "support/TestEngine.h"

namespace {

using Allocator = QX_DSP_Midi_to_Poly_Gen2;
using Env = QX_DSP_HAHDSR_Env;
using Signal = std::array<float, kMaxChunk + kModuleBufferSpare>;

constexpr int kVoices = 3;

// The allocator with the real amplitude envelope as the whole voice and the real voice mixer
// after the group: the mixer's steal fade and the envelope's silence drive the voices' lives.
struct LifeCycleRig {
    LifeCycleRig() {
        adder = engine.add<QX_DSP_Midi_Adder>(false);
        allocator = engine.add<Allocator>(false);
        allocator->setVoiceGroup(engine.moduleCount, kVoices, 1);
        attack.fill(0.0f);
        decay.fill(0.0f);
        sustain.fill(1.0f);
        release.fill(0.001f);  // 10 ms
        amount.fill(1.0f);
        for (int v = 0; v < kVoices; ++v) {
            Env* env = engine.add<Env>(true, allocator, v);
            const std::pair<int, Signal*> wiring[] = {{Env::kPinAttack, &attack},   {Env::kPinDecay, &decay},
                                                     {Env::kPinSustain, &sustain}, {Env::kPinRelease, &release},
                                                     {Env::kPinAmount, &amount}};
            for (const auto& [pin, signal] : wiring) {
                env->setInput(pin, signal->data());
            }
            envs.push_back(env);
        }
        mixer = engine.add<QX_DSP_Poly_to_Mono>(false);
        mixer->connectVoiceSource(allocator, envs[0]->moduleIndex, kVoices, 1, Env::kOutput, 0);
        adder->connect(allocator, allocator->moduleIndex, QX_DSP_Midi_Adder::kOutputMidi, Allocator::kPinMidi, 0,
                       0, 0);
        adder->connect(allocator, allocator->moduleIndex, QX_DSP_Midi_Adder::kOutputReposted,
                       Allocator::kPinRepostedMidi, 0, 0, 0);
        for (const auto& [output, pin] : {std::pair{Allocator::kOutputGate, Env::kPinGate},
                                          std::pair{Allocator::kOutputVelocity, Env::kPinVelocity}}) {
            allocator->connect(envs[0], envs[0]->moduleIndex, output, pin, kVoices, 1, 0);
            for (int v = 0; v < kVoices; ++v) {
                allocator->registerVoiceModule(envs[v], output, pin, v);
            }
        }
        engine.prepareAll();
        start = engine.sampleClock;
        for (Env* env : envs) {
            env->receiveEvent(start, Env::kPinHold, kEventStill, 0, 0.0f, nullptr);
            env->receiveEvent(start, Env::kPinAmount, kEventStill, 10, 1.0f, nullptr);
            env->receiveEvent(start, Env::kPinSustain, kEventStill, 10, 1.0f, nullptr);
        }
    }

    // Host MIDI into the input stage.
    void midi(int offset, int status, int data1, int data2) {
        adder->receiveEvent(start + static_cast<std::uint32_t>(offset), QX_DSP_Midi_Adder::kPinMidi, kEventStill,
                            packMidi(status, data1, data2), 0.0f, nullptr);
    }
    void runTo(int offset) {
        engine.run(static_cast<int>(start + static_cast<std::uint32_t>(offset) - engine.sampleClock));
    }
    bool asleep(int voice) const { return (engine.moduleFlags[envs[voice]->moduleIndex] & kModuleAsleep) != 0; }
    // The mixer's last sample.
    float mixed() const {
        return mixer->outputs[0][engine.ringPos == 0 ? engine.engineBlockLength - 1 : engine.ringPos - 1];
    }

    TestEngine engine;
    QX_DSP_Midi_Adder* adder = nullptr;
    Allocator* allocator = nullptr;
    std::vector<Env*> envs;
    QX_DSP_Poly_to_Mono* mixer = nullptr;
    Signal attack, decay, sustain, release, amount;
    std::uint32_t start = 0;
};

TEST(ModulesVoiceLifeCycle, StolenVoiceRestartsAfterTheMixerFadeAndSilentVoicesSleep) {
    LifeCycleRig rig;
    rig.midi(100, 0x90, 60, 127);
    rig.midi(200, 0x90, 62, 127);
    rig.midi(300, 0x90, 64, 127);
    rig.midi(400, 0x90, 65, 127);  // every voice busy: voice 0, the oldest, is stolen
    rig.runTo(401);
    EXPECT_NE(rig.allocator->voiceState(0) & QX_VoiceTable::kStealFlags, 0U);
    EXPECT_GT(rig.mixed(), 0.5f);
    rig.runTo(1200);
    EXPECT_EQ(rig.allocator->voiceState(0), QX_VoiceTable::kSounding + 65);
    for (int v = 0; v < kVoices; ++v) {
        EXPECT_FALSE(rig.asleep(v)) << v;
    }
    EXPECT_NEAR(rig.mixed(), 3.0f, 1e-3f) << "three voices at full sustain";

    // The stolen key's note-off finds no voice; the others release and fall silent.
    rig.midi(2000, 0x80, 60, 0);
    rig.midi(2000, 0x80, 62, 0);
    rig.runTo(3000);
    EXPECT_TRUE(rig.asleep(1));
    EXPECT_EQ(rig.allocator->voiceState(1), QX_VoiceTable::kFree);
    EXPECT_FALSE(rig.asleep(0));
    EXPECT_FALSE(rig.asleep(2));
    rig.midi(3000, 0x80, 64, 0);
    rig.midi(3000, 0x80, 65, 0);
    rig.runTo(30000);
    for (int v = 0; v < kVoices; ++v) {
        EXPECT_TRUE(rig.asleep(v)) << v;
        EXPECT_EQ(rig.allocator->voiceState(v), QX_VoiceTable::kFree) << v;
    }
    EXPECT_EQ(rig.mixed(), 0.0f);
    // The freed voices are taken again from the lowest.
    rig.midi(30000, 0x90, 70, 100);
    rig.runTo(30100);
    EXPECT_EQ(rig.allocator->voiceState(0), QX_VoiceTable::kSounding + 70);
    EXPECT_FALSE(rig.asleep(0));
    EXPECT_TRUE(rig.asleep(1));
}

// In the shipped engine a note wakes exactly the 64 modules of its voice copy and its silence puts
// them back to sleep.
TEST(ModulesVoiceLifeCycle, ShippedEngineWakesAndSleepsOneVoiceCopy) {
    constexpr int kBodyStart = 57;
    constexpr int kBodyLength = 64;
    TestEngine engine;
    engine.setNetlist(shippedNetlist());
    ASSERT_GT(engine.buildEngine(), kBodyStart + 20 * kBodyLength);
    engine.prepareAll();
    auto* allocator = dynamic_cast<Allocator*>(engine.modules[engine.moduleIndexById[6543 - kFirstModuleId]]);
    ASSERT_NE(allocator, nullptr);
    ASSERT_EQ(allocator->voiceCount(), 20);
    auto voiceAsleep = [&](int voice, bool asleep) {
        for (int m = kBodyStart + voice * kBodyLength; m < kBodyStart + (voice + 1) * kBodyLength; ++m) {
            if (((engine.moduleFlags[m] & kModuleAsleep) != 0) != asleep) {
                return false;
            }
        }
        return true;
    };
    engine.run(256);
    allocator->receiveEvent(engine.sampleClock + 10, Allocator::kPinMidi, kEventStill, packMidi(0x90, 60, 100), 0.0f,
                            nullptr);
    engine.run(128);
    EXPECT_TRUE(voiceAsleep(0, false));
    EXPECT_TRUE(voiceAsleep(1, true));
    EXPECT_TRUE(voiceAsleep(19, true));
    EXPECT_EQ(engine.moduleFlags[kBodyStart - 1] & kModuleAsleep, 0U) << "the allocator";
    EXPECT_EQ(engine.moduleFlags[kBodyStart + 20 * kBodyLength] & kModuleAsleep, 0U) << "the voice mixer";
    allocator->receiveEvent(engine.sampleClock, Allocator::kPinMidi, kEventStill, packMidi(0x80, 60, 0), 0.0f,
                            nullptr);
    engine.run(44100);  // the amplitude envelope's release ends well within a second
    EXPECT_TRUE(voiceAsleep(0, true));
    EXPECT_EQ(allocator->voiceState(0), QX_VoiceTable::kFree);
}

}  // namespace
