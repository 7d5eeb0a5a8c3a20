#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/QX_VoiceAllocatorBase.h"
#include "modules/modulation/QX_DSP_HAHDSR_Env.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace {

using Env = QX_DSP_HAHDSR_Env;

constexpr int kBlock = 128;
constexpr int kVoice = 7;
constexpr double kFadePerSecond = 52.631577;

// Records every voiceSilent with the start of the chunk it came in; can put the voice to sleep as
// the real allocator does.
class CountingAllocator : public QX_VoiceAllocatorBase {
public:
    using QX_VoiceAllocatorBase::QX_VoiceAllocatorBase;

    void voiceSilent(int voice) override {
        calls.push_back({voice, host->sampleClock});
        if (sleeper != nullptr) {
            sleeper->sleep();
        }
    }

    struct Call {
        int voice;
        std::uint32_t chunkStart;
    };
    std::vector<Call> calls;
    QX_ModuleBase* sleeper = nullptr;
};

using Signal = std::array<float, kMaxChunk + kModuleBufferSpare>;

// One envelope fed from constant signal buffers, its output listened to by a probe. Times given to
// the rig count samples from its start, which is a chunk boundary.
struct EnvelopeRig {
    explicit EnvelopeRig(int sampleRate = 44100, bool owned = false)
        : engine(kBlock, sampleRate), allocator(engine.add<CountingAllocator>(false)) {
        env = owned ? engine.add<Env>(false, allocator, kVoice) : engine.add<Env>(false);
        probe = engine.add<ProbeModule>(false);
        env->connect(probe, probe->moduleIndex, Env::kOutput, 0, 0, 0, 0);
        const std::pair<int, Signal*> wiring[] = {{Env::kPinAttack, &attack},   {Env::kPinDecay, &decay},
                                                 {Env::kPinSustain, &sustain}, {Env::kPinRelease, &release},
                                                 {Env::kPinAmount, &amount}};
        for (const auto& [pin, signal] : wiring) {
            env->setInput(pin, signal->data());
        }
        attack.fill(0.0f);
        decay.fill(0.0f);
        sustain.fill(0.0f);
        release.fill(0.0f);
        amount.fill(1.0f);
        engine.prepareAll();
        start = engine.sampleClock;
        // What the shipped wiring delivers at start-up: hold 0, a still amount and sustain.
        send(0, Env::kPinHold, 0.0f);
        send(0, Env::kPinAmount, 1.0f);
        send(0, Env::kPinSustain, 0.0f);
    }

    void wireModulation(int pin, Signal& signal) { env->setInput(pin, signal.data()); }

    void times(double attackSeconds, double decaySeconds, float sustainLevel, double releaseSeconds) {
        attack.fill(static_cast<float>(attackSeconds * 0.1));
        decay.fill(static_cast<float>(decaySeconds * 0.1));
        sustain.fill(sustainLevel);
        release.fill(static_cast<float>(releaseSeconds * 0.1));
    }

    void send(std::uint32_t at, int pin, float fvalue, std::int32_t ivalue = 0, int kind = kEventStill) {
        env->receiveEvent(start + at, pin, kind, ivalue, fvalue, nullptr);
    }
    void noteOn(std::uint32_t at) { send(at, Env::kPinGate, 10.0f, 10); }
    void noteOff(std::uint32_t at) { send(at, Env::kPinGate, 0.0f, 0); }

    // Runs until `until` samples after the start, keeping what the output held at each sample.
    void runTo(std::uint32_t until) {
        while (out.size() < until) {
            const int chunk = std::min<int>({static_cast<int>(until - out.size()), kMaxChunk,
                                             engine.engineBlockLength - engine.ringPos});
            const int pos = engine.ringPos;
            engine.run(chunk);
            out.insert(out.end(), env->outputs[Env::kOutput] + pos, env->outputs[Env::kOutput] + pos + chunk);
        }
    }

    struct Announcement {
        std::uint32_t at;
        int kind;
    };
    std::vector<Announcement> announcements() const {
        std::vector<Announcement> list;
        for (const auto& e : probe->events) {
            list.push_back({e.time - start, e.kind});
        }
        return list;
    }

    bool idle() const { return (engine.moduleFlags[env->moduleIndex] & kModuleIdle) != 0; }

    TestEngine engine;
    CountingAllocator* allocator;
    Env* env = nullptr;
    ProbeModule* probe = nullptr;
    Signal attack{}, decay{}, sustain{}, release{}, amount{};
    std::uint32_t start = 0;
    std::vector<float> out;
};

// The shapes as the option list "Lin,Exp,I.Exp," names them.
double shaped(int shape, double x) {
    switch (shape) {
        case 1:
            return x * x;
        case 2:
            return (2.0 - x) * x;
        default:
            return x;
    }
}

// Samples of a stage: engine time (seconds / 10, as a float signal) x 10 x rate x time scale.
double stageSamples(double seconds, int sampleRate, double scale = 1.0) {
    return static_cast<double>(static_cast<float>(seconds * 0.1)) * 10.0 * sampleRate * scale;
}

struct TimingCase {
    const char* name;
    int sampleRate;
    int shape;
    float timeScale;  // as the "... Time Scale %" parameter sends it: 0.4 is 400 %
    float attackMod;  // 0: pin left unwired
    float decayMod;
};

constexpr double kAttackSeconds = 0.0123;
constexpr double kDecaySeconds = 0.0217;
constexpr float kSustain = 0.4f;
constexpr double kReleaseSeconds = 0.0331;
constexpr std::uint32_t kNoteOn = 100;

const TimingCase kTimingCases[] = {
    {"Lin44k", 44100, 0, 0.1f, 0.0f, 0.0f},
    {"Exp44k", 44100, 1, 0.1f, 0.0f, 0.0f},
    {"IExp44k", 44100, 2, 0.1f, 0.0f, 0.0f},
    {"Lin96k", 96000, 0, 0.1f, 0.0f, 0.0f},
    {"Exp96k", 96000, 1, 0.1f, 0.0f, 0.0f},
    {"IExp96k", 96000, 2, 0.1f, 0.0f, 0.0f},
    {"TimeScale400", 44100, 0, 0.4f, 0.0f, 0.0f},
    {"TimeScale25At96k", 96000, 2, 0.025f, 0.0f, 0.0f},
    {"AttackModDoubles", 44100, 1, 0.1f, 0.1f, 0.0f},
    {"DecayModHalves", 96000, 0, 0.1f, 0.0f, -0.1f},
};

class ModulesEnvelopeTiming : public ::testing::TestWithParam<TimingCase> {};

// Every stage boundary is checked on both of its sides, so a stage one sample early or late fails
// by at least a whole step (more than 1e-4 here), far above the 2e-6 allowed.
TEST_P(ModulesEnvelopeTiming, StagesEndAtTheirSampleForEveryShape) {
    const TimingCase& c = GetParam();
    EnvelopeRig rig(c.sampleRate);
    rig.times(kAttackSeconds, kDecaySeconds, kSustain, kReleaseSeconds);
    Signal attackMod{}, decayMod{};
    attackMod.fill(c.attackMod);
    decayMod.fill(c.decayMod);
    if (c.attackMod != 0.0f) {
        rig.wireModulation(Env::kPinAttackMod, attackMod);
    }
    if (c.decayMod != 0.0f) {
        rig.wireModulation(Env::kPinDecayMod, decayMod);
    }
    rig.send(0, Env::kPinShape, 0.1f * c.shape, c.shape);
    rig.send(0, Env::kPinTimeScale, c.timeScale);
    const double scale = 10.0 * c.timeScale;
    const double attack = stageSamples(kAttackSeconds, c.sampleRate, scale) * std::exp2(10.0 * c.attackMod);
    const double decay = stageSamples(kDecaySeconds, c.sampleRate, scale) * std::exp2(10.0 * c.decayMod);
    const double release = stageSamples(kReleaseSeconds, c.sampleRate, scale);
    const auto attackEnd = kNoteOn + static_cast<std::uint32_t>(std::floor(attack));  // first decay sample
    const auto sustainAt = attackEnd + static_cast<std::uint32_t>(std::ceil(decay)) - 1;
    const std::uint32_t noteOff = sustainAt + 500;
    const auto silentAt = noteOff + static_cast<std::uint32_t>(std::ceil(release)) - 1;
    rig.noteOn(kNoteOn);
    rig.noteOff(noteOff);
    rig.runTo(silentAt + 1000);

    const auto y = [&](double x) { return shaped(c.shape, x); };
    const double drop = 1.0 - kSustain;
    const auto& out = rig.out;
    constexpr double kTolerance = 2e-6;
    EXPECT_EQ(out[kNoteOn - 1], 0.0f);
    EXPECT_NEAR(out[kNoteOn], y(1.0 / attack), kTolerance);
    EXPECT_NEAR(out[kNoteOn + 200], y(201.0 / attack), kTolerance);
    EXPECT_NEAR(out[attackEnd - 1], y(std::floor(attack) / attack), kTolerance);
    EXPECT_NEAR(out[attackEnd], y(1.0 - drop / decay), kTolerance);
    EXPECT_NEAR(out[sustainAt - 1], y(1.0 - (std::ceil(decay) - 1.0) * drop / decay), kTolerance);
    EXPECT_GT(out[sustainAt - 1], y(kSustain) + 1e-5);
    EXPECT_FLOAT_EQ(out[sustainAt], static_cast<float>(y(kSustain)));
    EXPECT_FLOAT_EQ(out[noteOff - 1], static_cast<float>(y(kSustain)));
    EXPECT_NEAR(out[noteOff], y(kSustain * (1.0 - 1.0 / release)), kTolerance);
    EXPECT_NEAR(out[silentAt - 1], y(kSustain * (1.0 - (std::ceil(release) - 1.0) / release)), kTolerance);
    EXPECT_GT(out[silentAt - 1], 0.0f);
    EXPECT_EQ(out[silentAt], 0.0f);
    EXPECT_EQ(out.back(), 0.0f);
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(ModulesEnvelope, ModulesEnvelopeTiming, ::testing::ValuesIn(kTimingCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ShortStageCase {
    const char* name;
    int sampleRate;
    float minAttack;  // pin 14 event, seconds / 10; < 0: not sent
    std::uint32_t attackSamples;
};

// A zero attack still lasts the minimum attack; zero decay and release last one sample.
const ShortStageCase kShortStageCases[] = {
    {"Default44k", 44100, -1.0f, 1},
    {"AmpMinimum44k", 44100, 0.0001f, 44},
    {"AmpMinimum96k", 96000, 0.0001f, 96},
};

class ModulesEnvelopeShortStages : public ::testing::TestWithParam<ShortStageCase> {};

TEST_P(ModulesEnvelopeShortStages, ZeroTimesLastTheirMinimum) {
    const ShortStageCase& c = GetParam();
    EnvelopeRig rig(c.sampleRate);
    rig.times(0.0, 0.0, 0.5f, 0.0);
    if (c.minAttack >= 0.0f) {
        rig.send(0, Env::kPinMinAttack, c.minAttack);
    }
    rig.noteOn(kNoteOn);
    const std::uint32_t decayAt = kNoteOn + c.attackSamples;
    rig.noteOff(decayAt + 10);
    rig.runTo(decayAt + 300);
    const auto& out = rig.out;
    EXPECT_FLOAT_EQ(out[kNoteOn], 1.0f / static_cast<float>(c.attackSamples));
    EXPECT_FLOAT_EQ(out[decayAt - 1], 1.0f);
    EXPECT_FLOAT_EQ(out[decayAt], 0.5f);  // decay: one sample
    EXPECT_FLOAT_EQ(out[decayAt + 9], 0.5f);
    EXPECT_EQ(out[decayAt + 10], 0.0f);  // release: one sample
}

INSTANTIATE_TEST_SUITE_P(ModulesEnvelope, ModulesEnvelopeShortStages, ::testing::ValuesIn(kShortStageCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct LevelCase {
    const char* name;
    int invert;
    float velocity;
    float velocityAmount;
    float amount;
    double rest;   // output before the note and after its tail
    double scale;  // output per shaped level while running
};

const LevelCase kLevelCases[] = {
    {"PlainFullVelocity", 0, 1.0f, 1.0f, 1.0f, 0.0, 1.0},
    {"VelocityAmountZeroIgnoresVelocity", 0, 0.3f, 0.0f, 1.0f, 0.0, 1.0},
    {"VelocityAmountOneIsVelocity", 0, 0.3f, 1.0f, 1.0f, 0.0, 0.3},
    {"PartialVelocityAmount", 0, 0.25f, 0.8f, 0.5f, 0.0, 0.5 * 0.4},
    {"InvertOneNegates", 1, 0.5f, 1.0f, 0.8f, 0.0, -0.4},
    {"InvertTwoHangsFromOne", 2, 0.5f, 1.0f, 0.8f, 1.0, -0.4},
};

class ModulesEnvelopeLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ModulesEnvelopeLevels, SustainAndRestFollowVelocityAmountAndInvert) {
    const LevelCase& c = GetParam();
    EnvelopeRig rig;
    rig.times(0.002, 0.003, kSustain, 0.004);
    rig.amount.fill(c.amount);
    rig.send(0, Env::kPinAmount, c.amount);
    rig.send(0, Env::kPinShape, 0.2f, 2);
    rig.send(0, Env::kPinInvert, 0.1f * c.invert, c.invert);
    rig.send(0, Env::kPinVelocityAmount, c.velocityAmount);
    rig.send(kNoteOn, Env::kPinVelocity, c.velocity);
    rig.noteOn(kNoteOn);
    rig.noteOff(2000);
    rig.runTo(3000);
    EXPECT_FLOAT_EQ(rig.out[kNoteOn - 1], static_cast<float>(c.rest));
    EXPECT_NEAR(rig.out[1999], c.rest + c.scale * shaped(2, kSustain), 1e-6);
    EXPECT_FLOAT_EQ(rig.out.back(), static_cast<float>(c.rest));
}

INSTANTIATE_TEST_SUITE_P(ModulesEnvelope, ModulesEnvelopeLevels, ::testing::ValuesIn(kLevelCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesEnvelope, GateOffDuringAttackReleasesFromThePositionReached) {
    EnvelopeRig rig;
    rig.times(kAttackSeconds, kDecaySeconds, kSustain, kReleaseSeconds);
    const double attack = stageSamples(kAttackSeconds, 44100);
    const double release = stageSamples(kReleaseSeconds, 44100);
    rig.noteOn(kNoteOn);
    rig.noteOff(kNoteOn + 200);
    rig.runTo(4000);
    const double reached = 200.0 / attack;
    const auto silentAt = kNoteOn + 200 + static_cast<std::uint32_t>(std::ceil(release)) - 1;
    EXPECT_NEAR(rig.out[kNoteOn + 199], reached, 1e-6);
    EXPECT_NEAR(rig.out[kNoteOn + 200], reached * (1.0 - 1.0 / release), 1e-6);
    EXPECT_GT(rig.out[silentAt - 1], 0.0f);
    EXPECT_EQ(rig.out[silentAt], 0.0f);
}

TEST(ModulesEnvelope, RetriggerRestartsTheAttackFromZero) {
    EnvelopeRig rig;
    rig.times(kAttackSeconds, kDecaySeconds, kSustain, kReleaseSeconds);
    constexpr std::uint32_t kSecond = 3000;
    rig.noteOn(kNoteOn);
    rig.noteOn(kSecond);  // while sustaining
    rig.noteOff(kSecond + 300);
    rig.noteOn(kSecond + 400);  // while releasing
    rig.runTo(kSecond + 3000);
    for (std::uint32_t i = 0; i < 300; ++i) {
        ASSERT_EQ(rig.out[kSecond + i], rig.out[kNoteOn + i]) << i;
    }
    for (std::uint32_t i = 0; i < 2000; ++i) {
        ASSERT_EQ(rig.out[kSecond + 400 + i], rig.out[kNoteOn + i]) << i;
    }
}

TEST(ModulesEnvelope, ASustainChangeShowsAtOnceButTheReleaseStartsWhereDecayLeft) {
    EnvelopeRig rig;
    rig.times(0.001, 0.001, kSustain, kReleaseSeconds);
    const double release = stageSamples(kReleaseSeconds, 44100);
    rig.noteOn(kNoteOn);
    rig.runTo(1000);
    rig.sustain.fill(0.8f);
    rig.send(1000, Env::kPinSustain, 0.8f, 8, kEventMoving);
    rig.noteOff(1500);
    rig.runTo(2000);
    EXPECT_FLOAT_EQ(rig.out[999], kSustain);
    EXPECT_FLOAT_EQ(rig.out[1000], 0.8f);
    EXPECT_FLOAT_EQ(rig.out[1499], 0.8f);
    EXPECT_NEAR(rig.out[1500], kSustain * (1.0 - 1.0 / release), 1e-6);
}

TEST(ModulesEnvelope, DelayAndHoldCountSamplesAtTheTimeScaleOfTheirEvent) {
    EnvelopeRig rig;
    rig.times(0.001, 0.01, kSustain, 0.01);
    rig.send(0, Env::kPinTimeScale, 0.2f);                     // 200 %
    rig.send(0, Env::kPinDelay, static_cast<float>(0.0005));   // 5 ms x 2 = 441 samples
    rig.send(0, Env::kPinHold, static_cast<float>(0.0002));    // 2 ms x 2 = 176 samples
    rig.noteOn(kNoteOn);
    rig.runTo(2000);
    const std::uint32_t attackAt = kNoteOn + 441;
    const std::uint32_t holdAt = attackAt + 88;  // attack 1 ms x 2 = 88.2 samples
    EXPECT_EQ(rig.out[attackAt - 1], 0.0f);
    EXPECT_GT(rig.out[attackAt], 0.0f);
    EXPECT_LT(rig.out[holdAt - 1], 1.0f);
    for (std::uint32_t i = holdAt; i < holdAt + 176; ++i) {
        ASSERT_EQ(rig.out[i], 1.0f) << i;
    }
    EXPECT_LT(rig.out[holdAt + 176], 1.0f);
}

TEST(ModulesEnvelope, AnnouncesMovingAndStillAtTheirSamples) {
    EnvelopeRig rig;
    rig.times(0.002, 0.003, kSustain, 0.004);
    rig.send(0, Env::kPinDelay, static_cast<float>(0.0001));  // 44 samples
    rig.noteOn(kNoteOn);
    rig.noteOff(1000);
    rig.runTo(2500);
    // Attack 88 samples from 144, decay 132.3 reaches the sustain at 364 and leaves at the end of
    // that chunk (384); release 176.4 reaches 0 at 1176 and leaves at 1280.
    const std::vector<std::pair<std::uint32_t, int>> expected = {
        {100, 0}, {144, 1}, {384, 0}, {1000, 1}, {1280, 0}};
    const auto got = rig.announcements();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got[i].at, expected[i].first) << i;
        EXPECT_EQ(got[i].kind, expected[i].second) << i;
    }
    EXPECT_NEAR(rig.out[363], 0.4 + 0.6 * (1.0 - 132.0 / 132.3), 1e-6);
    EXPECT_FLOAT_EQ(rig.out[364], kSustain);
    EXPECT_EQ(rig.out[1176], 0.0f);
    EXPECT_TRUE(rig.idle());
}

// The peak is amount x velocity, so under a moving amount Hold is announced as moving too.
TEST(ModulesEnvelope, AMovingAmountKeepsTheHeldPeakMoving) {
    EnvelopeRig rig;
    rig.times(0.001, 0.002, kSustain, 0.002);
    for (std::size_t i = 0; i < rig.amount.size(); ++i) {
        rig.amount[i] = 0.5f + 0.001f * static_cast<float>(i);
    }
    rig.send(0, Env::kPinAmount, 0.5f, 5, kEventMoving);
    rig.send(0, Env::kPinHold, static_cast<float>(0.001));  // 441 samples
    rig.noteOn(kNoteOn);
    rig.runTo(1000);
    const std::uint32_t holdAt = kNoteOn + 44;
    for (std::uint32_t i = holdAt; i < holdAt + 441; ++i) {
        ASSERT_EQ(rig.out[i], rig.amount[i % kBlock]) << i;
    }
    const auto got = rig.announcements();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].at, kNoteOn);
    EXPECT_EQ(got[0].kind, 1);
}

TEST(ModulesEnvelope, AStillZeroAmountRunsWithoutAnnouncingMovement) {
    EnvelopeRig rig;
    rig.times(0.002, 0.003, kSustain, 0.004);
    rig.amount.fill(0.0f);
    rig.send(0, Env::kPinAmount, 0.0f);
    rig.noteOn(kNoteOn);
    rig.noteOff(1000);
    rig.runTo(2000);
    for (const auto& a : rig.announcements()) {
        EXPECT_EQ(a.kind, 0) << a.at;
    }
    EXPECT_TRUE(std::all_of(rig.out.begin(), rig.out.end(), [](float v) { return v == 0.0f; }));
}

TEST(ModulesEnvelope, AStillSustainIdlesWhenItsTwoBlockCountdownRunsOut) {
    EnvelopeRig rig;
    rig.times(0.001, 0.001, kSustain, 0.004);
    rig.noteOn(0);
    rig.runTo(kBlock);  // reaches the sustain in the first chunk, switches at the second
    rig.runTo(kBlock * 3);
    EXPECT_FALSE(rig.idle());
    rig.runTo(kBlock * 4);  // the third still chunk takes the countdown below 0
    EXPECT_TRUE(rig.idle());
    const float* ring = rig.env->outputs[Env::kOutput];
    EXPECT_TRUE(std::all_of(ring, ring + kBlock, [](float v) { return v == kSustain; }));
}

TEST(ModulesEnvelope, TheAmplitudeEnvelopeReportsItsVoiceSilentOncePerRelease) {
    EnvelopeRig rig(44100, true);
    rig.allocator->sleeper = rig.env;
    rig.times(0.001, 0.001, kSustain, 0.002);
    rig.noteOn(kNoteOn);
    rig.noteOff(500);  // release ends at 588, the tail runs from 640 for three chunks
    rig.runTo(1100);
    ASSERT_EQ(rig.allocator->calls.size(), 1u);
    EXPECT_EQ(rig.allocator->calls[0].voice, kVoice);
    EXPECT_EQ(rig.allocator->calls[0].chunkStart - rig.start, 896u);
    EXPECT_NE(rig.env->flags() & kModuleAsleep, 0u);
    rig.send(1200, Env::kPinShape, 0.1f, 1);  // events to a sleeping voice render nothing
    rig.runTo(3000);
    EXPECT_EQ(rig.allocator->calls.size(), 1u);

    rig.engine.moduleFlags[rig.env->moduleIndex] &= ~kModuleAsleep;  // the allocator wakes the voice
    rig.noteOn(3000);
    rig.noteOff(3500);
    rig.runTo(6000);
    EXPECT_EQ(rig.allocator->calls.size(), 2u);
    EXPECT_EQ(rig.out.back(), 0.0f);
}

TEST(ModulesEnvelope, OnlyTheAmplitudeEnvelopeReportsAndOnlyWhenSomethingSounded) {
    EnvelopeRig owned(44100, true);
    owned.send(10, Env::kPinInvert, 0.0f, 0);  // a tail without a note frees nothing
    owned.runTo(1000);
    EXPECT_TRUE(owned.allocator->calls.empty());

    EnvelopeRig plain;  // without an owner the fast fade does not start either
    plain.times(0.001, 0.001, kSustain, 0.001);
    plain.noteOn(10);
    plain.send(400, Env::kPinHeldA, 0.0f);
    plain.send(400, Env::kPinHeldB, 0.0f);
    plain.noteOff(1500);
    plain.runTo(2000);
    EXPECT_FLOAT_EQ(plain.out[1499], kSustain);
    EXPECT_EQ(plain.out.back(), 0.0f);
    EXPECT_TRUE(plain.allocator->calls.empty());
}

struct FadeCase {
    const char* name;
    int sampleRate;
    int shape;
    float velocity;
    std::uint32_t fadeAt;
};

const FadeCase kFadeCases[] = {
    {"Lin44k", 44100, 0, 1.0f, 1000},
    {"ExpSoft44k", 44100, 1, 0.5f, 1037},
    {"IExp96k", 96000, 2, 0.7f, 2000},
};

class ModulesEnvelopeFade : public ::testing::TestWithParam<FadeCase> {};

// The fade lasts 19 ms plus one block; it ramps the value the envelope showed, so a soft or curved
// envelope never jumps up before it fades.
TEST_P(ModulesEnvelopeFade, FadesNineteenMillisecondsAndOneBlockThenReportsOnce) {
    const FadeCase& c = GetParam();
    EnvelopeRig rig(c.sampleRate, true);
    rig.times(0.001, 0.001, 0.6f, 0.5);
    rig.send(0, Env::kPinShape, 0.1f * c.shape, c.shape);
    rig.send(kNoteOn, Env::kPinVelocity, c.velocity);
    rig.noteOn(kNoteOn);
    rig.send(c.fadeAt, Env::kPinHeldA, 0.0f);
    rig.send(c.fadeAt, Env::kPinHeldB, 0.0f);
    const auto length = static_cast<std::uint32_t>(kBlock + std::trunc(0.019 * c.sampleRate));
    const std::uint32_t fadeEnd = c.fadeAt + length;
    rig.runTo(fadeEnd + 1000);

    const double step = kFadePerSecond / c.sampleRate;
    const auto zeroAt = c.fadeAt + static_cast<std::uint32_t>(std::ceil(1.0 / step)) - 1;
    const double from = rig.out[c.fadeAt - 1];
    EXPECT_NEAR(from, c.velocity * shaped(c.shape, 0.6), 1e-6);
    EXPECT_NEAR(rig.out[c.fadeAt], from * (1.0 - step), 1e-6);
    EXPECT_NEAR(rig.out[c.fadeAt + 100], from * (1.0 - 101 * step), 1e-6);
    EXPECT_GT(rig.out[zeroAt - 1], 0.0f);
    for (std::uint32_t i = zeroAt; i < static_cast<std::uint32_t>(rig.out.size()); ++i) {
        ASSERT_EQ(rig.out[i], 0.0f) << i;
    }
    ASSERT_GE(fadeEnd - zeroAt, static_cast<std::uint32_t>(kBlock));  // the whole ring reads 0

    const auto got = rig.announcements();
    ASSERT_EQ(got.size(), 4u);  // attack, sustain, fade, fade end
    EXPECT_EQ(got[2].at, c.fadeAt);
    EXPECT_EQ(got[2].kind, 1);
    EXPECT_EQ(got[3].at, fadeEnd);
    EXPECT_EQ(got[3].kind, 0);
    ASSERT_EQ(rig.allocator->calls.size(), 1u);
    const std::uint32_t chunk = rig.allocator->calls[0].chunkStart - rig.start;
    EXPECT_LT(fadeEnd - 1 - chunk, static_cast<std::uint32_t>(kBlock));
    EXPECT_TRUE(rig.idle());
}

INSTANTIATE_TEST_SUITE_P(ModulesEnvelope, ModulesEnvelopeFade, ::testing::ValuesIn(kFadeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesEnvelope, AFadeRequestedFromOutsideWakesAStillEnvelopeAndANoteOnCancelsIt) {
    EnvelopeRig rig(44100, true);
    rig.times(0.001, 0.001, 0.5f, 0.01);
    rig.noteOn(0);
    rig.runTo(kBlock * 6);
    ASSERT_TRUE(rig.idle());
    rig.env->fadeRequest();
    rig.runTo(kBlock * 7);
    EXPECT_LT(rig.out.back(), 0.5f);
    rig.noteOn(kBlock * 7 + 5);
    rig.runTo(kBlock * 20);
    EXPECT_TRUE(rig.allocator->calls.empty());
    EXPECT_FLOAT_EQ(rig.out.back(), 0.5f);
}

// Drives the same notes into two envelopes, one of which also gets events that change nothing at
// odd samples: the outputs must agree sample for sample.
struct SplitCase {
    const char* name;
    bool owned;
    int shape;
    int invert;
};

const SplitCase kSplitCases[] = {
    {"IExpInvertedWithHoldAndDelay", false, 2, 2},
    {"ExpAmplitudeWithFade", true, 1, 0},
};

class ModulesEnvelopeSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ModulesEnvelopeSplit, SplittingAStretchChangesNothing) {
    const SplitCase& c = GetParam();
    auto play = [&](bool split) {
        EnvelopeRig rig(44100, c.owned);
        rig.times(0.0071, 0.0093, 0.35f, 0.0123);
        rig.send(0, Env::kPinShape, 0.1f * c.shape, c.shape);
        rig.send(0, Env::kPinInvert, 0.1f * c.invert, c.invert);
        rig.send(0, Env::kPinVelocityAmount, 0.6f);
        rig.send(0, Env::kPinDelay, static_cast<float>(0.00031));
        rig.send(0, Env::kPinHold, static_cast<float>(0.00017));
        rig.send(50, Env::kPinVelocity, 0.7f);
        rig.noteOn(50);
        rig.noteOff(1700);
        rig.noteOn(2100);
        if (c.owned) {
            rig.send(2500, Env::kPinHeldA, 0.0f);
            rig.send(2500, Env::kPinHeldB, 0.0f);
        } else {
            rig.noteOff(2600);
        }
        if (split) {
            for (std::uint32_t at = 7; at < 5000; at += 97) {
                rig.send(at, Env::kPinVelocityAmount, 0.6f);
            }
        }
        rig.runTo(6000);
        return rig.out;
    };
    const std::vector<float> whole = play(false);
    const std::vector<float> split = play(true);
    ASSERT_EQ(whole.size(), split.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        ASSERT_EQ(whole[i], split[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesEnvelope, ModulesEnvelopeSplit, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesEnvelope, StaysFiniteUnderExtremeTimesAndHostileValues) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float hostile[] = {0.0f, kNaN, kInf, -kInf, 1.0e30f, -1.0e30f, 1.0e-30f, 3.0e3f};
    for (int round = 0; round < 2; ++round) {
        EnvelopeRig rig(96000, true);
        Signal modulation{};
        rig.wireModulation(Env::kPinAttackMod, modulation);
        rig.wireModulation(Env::kPinDecayMod, modulation);
        std::uint32_t at = 0;
        for (const float a : hostile) {
            for (const float b : hostile) {
                rig.attack.fill(a);
                rig.decay.fill(b);
                rig.release.fill(round == 0 ? a : b);
                rig.sustain.fill(round == 0 ? b : a);
                rig.amount.fill(round == 0 ? a : 1.0f);
                modulation.fill(b);
                rig.send(at, Env::kPinTimeScale, a);
                rig.send(at, Env::kPinVelocity, b);
                rig.send(at, Env::kPinShape, b, static_cast<std::int32_t>(at) - 500);
                rig.send(at, Env::kPinInvert, a, static_cast<std::int32_t>(at));
                rig.send(at, Env::kPinMinAttack, b);
                rig.send(at, Env::kPinDelay, a);
                rig.send(at, Env::kPinHold, b);
                rig.noteOn(at + 1);
                rig.noteOff(at + 40);
                rig.runTo(at + 70);
                at += 70;
            }
        }
        rig.send(at, Env::kPinHeldA, 0.0f);
        rig.send(at, Env::kPinHeldB, 0.0f);
        rig.runTo(at + 5000);
        for (std::size_t i = 0; i < rig.out.size(); ++i) {
            ASSERT_TRUE(std::isfinite(rig.out[i])) << round << " " << i;
        }
    }
}

}  // namespace
