#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/QX_VoiceAllocatorBase.h"
#include "modules/voice/QX_DSP_Poly_to_Mono.h"
#include "modules/voice/VoiceTestRecorder.h"
#include "modules/voice/VoiceTestSignal.h"
#include "support/TestEngine.h"

namespace {

using voice_tests::VoiceTestRecorder;
using voice_tests::VoiceTestSignal;

constexpr int kVoices = 20;
constexpr std::uint32_t kNote = 60;
constexpr std::uint32_t kSounding = 0x80000000u + kNote;
constexpr std::uint32_t kReleased = 0x0000F000u;
constexpr int kFadeLead = 4;

// Stands for the voice allocator: the test sets the state words, the mixer's calls are recorded.
class TestAllocator : public QX_VoiceAllocatorBase {
public:
    using QX_VoiceAllocatorBase::QX_VoiceAllocatorBase;

    std::uint32_t voiceState(int voice) const override { return voice >= 0 && voice < kVoices ? states[voice] : 0; }
    void markVoiceFading(int voice) override {
        ++fadesBegun;
        states[voice] = (states[voice] & ~kVoiceStealMarked) | kVoiceStealFading;
    }
    void voiceFinished(int voice, std::uint32_t time) override {
        finished.push_back({voice, time});
        states[voice] = afterFinish[voice];
    }

    struct Finished {
        int voice;
        std::uint32_t time;
        bool operator==(const Finished&) const = default;
    };
    std::uint32_t states[kVoices] = {};
    std::uint32_t afterFinish[kVoices] = {};  // the state a finished fade leaves (a pending note, or free)
    std::vector<Finished> finished;
    int fadesBegun = 0;
};

float fadeGain(int sample, int fadeLength) {
    return std::max(0.0f, 1.0f - static_cast<float>(sample + kFadeLead) * (1.0f / static_cast<float>(fadeLength)));
}

// Twenty voice outputs two module slots apart (a decoy in between must never be heard), the mixer,
// and a recorder of the mixer's left and right outputs.
struct MixerRig {
    static constexpr int kStride = 2;

    explicit MixerRig(int blockLength = 128, int sampleRate = 44100)
        : engine(blockLength, sampleRate), allocator(engine.add<TestAllocator>(false)) {
        for (int v = 0; v < kVoices; ++v) {
            voices[v] = engine.add<VoiceTestSignal>();
            voices[v]->level[0] = static_cast<float>(v + 1);
            voices[v]->wobble[0] = static_cast<float>(v % 3);
            voices[v]->level[1] = -0.5f * static_cast<float>(v + 1);
            auto* decoy = engine.add<VoiceTestSignal>();
            decoy->level[0] = decoy->level[1] = 1.0e4f;
        }
        mixer = engine.add<QX_DSP_Poly_to_Mono>(false);
        for (int channel = 0; channel < 2; ++channel) {
            mixer->connectVoiceSource(allocator, voices[0]->moduleIndex, kVoices, kStride, channel, channel);
        }
        recorder = engine.add<VoiceTestRecorder>();
        for (int channel = 0; channel < 2; ++channel) {
            mixer->connect(recorder, recorder->moduleIndex, channel, channel, 0, 0, 0);
        }
        engine.prepareAll();
    }

    // Sample of `channel` recorded at engine time `time` (the first run starts at time 1).
    float recorded(int channel, std::uint32_t time) const { return recorder->samples[channel].at(time - 1); }

    TestEngine engine;
    TestAllocator* allocator;
    VoiceTestSignal* voices[kVoices] = {};
    QX_DSP_Poly_to_Mono* mixer = nullptr;
    VoiceTestRecorder* recorder = nullptr;
};

struct SumCase {
    const char* name;
    std::uint32_t sounding;  // bit v: voice v holds its key
    std::uint32_t released;  // bit v: voice v is in its release
};

constexpr SumCase kSumCases[] = {
    {"SingleVoice", 1u << 7, 0},
    {"ReleasedVoicesStillSound", 1u << 4, (1u << 0) | (1u << 19)},
    {"AllVoices", (1u << kVoices) - 1, 0},
    {"EveryThirdVoice", 0x49249u, 0},
};

class ModulesPolyToMonoSum : public ::testing::TestWithParam<SumCase> {};

// Free voices keep writing their buffers here, so any of them leaking into the sum shows.
TEST_P(ModulesPolyToMonoSum, SumsExactlyTheVoicesWithAState) {
    MixerRig rig;
    const SumCase& c = GetParam();
    for (int v = 0; v < kVoices; ++v) {
        rig.allocator->states[v] = (c.sounding >> v & 1u) ? kSounding : (c.released >> v & 1u) ? kReleased : 0;
    }
    rig.engine.run(300);

    for (std::uint32_t t = 1; t <= 300; ++t) {
        float left = 0.0f;
        float right = 0.0f;
        for (int v = 0; v < kVoices; ++v) {
            if (rig.allocator->states[v] != 0) {
                left += rig.voices[v]->valueAt(0, t);
                right += rig.voices[v]->valueAt(1, t);
            }
        }
        ASSERT_EQ(rig.recorded(0, t), left) << "time " << t;
        ASSERT_EQ(rig.recorded(1, t), right) << "time " << t;
    }
    EXPECT_TRUE(rig.allocator->finished.empty());
    EXPECT_EQ(rig.allocator->fadesBegun, 0);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesPolyToMonoSum, ::testing::ValuesIn(kSumCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FadeCase {
    const char* name;
    int sampleRate;
    int blockLength;
    int fadeLength;     // 10 ms in samples, or 220 when the rate gives less than one
    int finishedAfter;  // samples from the fade's start to the end of the stretch it runs out in
};

constexpr FadeCase kFadeCases[] = {
    {"At44100", 44100, 128, 441, 512},
    {"At48000SmallBlocks", 48000, 64, 480, 512},
    {"At96000", 96000, 128, 960, 1024},
    {"RateBelowOneSamplePerTenMs", 99, 32, 220, 224},
};

class ModulesPolyToMonoFade : public ::testing::TestWithParam<FadeCase> {};

TEST_P(ModulesPolyToMonoFade, StolenVoiceFadesWithLeadAndIsReportedOnceAtItsStretchEnd) {
    const FadeCase& c = GetParam();
    MixerRig rig(c.blockLength, c.sampleRate);
    constexpr int kStolen = 5;
    rig.voices[kStolen]->level[0] = 1.0f;
    rig.voices[kStolen]->wobble[0] = 0.0f;
    rig.voices[kStolen]->level[1] = -2.0f;
    rig.allocator->states[kStolen] = kSounding;
    rig.engine.run(c.blockLength);

    rig.allocator->states[kStolen] = kVoiceStealMarked + kNote;
    const std::uint32_t start = rig.engine.sampleClock;
    rig.engine.run(c.blockLength);
    EXPECT_EQ(rig.allocator->states[kStolen], kVoiceStealFading + kNote) << "the fade has begun";
    rig.engine.run(c.finishedAfter + 2 * c.blockLength);

    for (int i = 0; i < c.fadeLength; ++i) {
        const std::uint32_t t = start + static_cast<std::uint32_t>(i);
        ASSERT_EQ(rig.recorded(0, t), fadeGain(i, c.fadeLength)) << "fade sample " << i;
        ASSERT_EQ(rig.recorded(1, t), -2.0f * fadeGain(i, c.fadeLength)) << "fade sample " << i;
    }
    EXPECT_NEAR(rig.recorded(0, start + static_cast<std::uint32_t>(c.fadeLength - kFadeLead)), 0.0f, 1e-6f);
    for (std::uint32_t t = start + static_cast<std::uint32_t>(c.fadeLength); t < rig.engine.sampleClock; ++t) {
        ASSERT_EQ(rig.recorded(0, t), 0.0f) << "time " << t;
    }
    const std::vector<TestAllocator::Finished> expected = {
        {kStolen, start + static_cast<std::uint32_t>(c.finishedAfter)}};
    EXPECT_EQ(rig.allocator->finished, expected);
    EXPECT_EQ(rig.allocator->fadesBegun, 1);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesPolyToMonoFade, ::testing::ValuesIn(kFadeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The pending note starts in the faded voice, which is then mixed at full level again, while the
// other voices are summed throughout.
TEST(ModulesPolyToMono, VoiceRestartedAfterItsFadeSoundsAtFullLevelBesideTheOthers) {
    MixerRig rig;
    constexpr int kKept = 2;
    constexpr int kStolen = 9;
    rig.allocator->states[kKept] = kSounding;
    rig.allocator->states[kStolen] = kVoiceStealMarked + kNote;
    rig.allocator->afterFinish[kStolen] = 0x80000000u + 64;
    rig.engine.run(1024);

    ASSERT_EQ(rig.allocator->finished.size(), 1u);
    EXPECT_EQ(rig.allocator->finished[0].time, 1u + 512u);
    for (std::uint32_t t = 1; t <= 1024; ++t) {
        const float kept = rig.voices[kKept]->valueAt(0, t);
        const float stolen = rig.voices[kStolen]->valueAt(0, t);
        const int i = static_cast<int>(t - 1);
        const float expected = t < 1u + 512u ? kept + stolen * fadeGain(i, 441) : kept + stolen;
        ASSERT_EQ(rig.recorded(0, t), expected) << "time " << t;
    }
}

// Announces moving while voices sound and still once they have all ended, zeroes its outputs for
// the block after the last one and then leaves them alone.
TEST(ModulesPolyToMono, ClearsAfterTheLastVoiceThenLeavesItsOutputsUntouched) {
    MixerRig rig;
    rig.engine.run(128);
    rig.allocator->states[3] = kSounding;
    rig.engine.run(256);
    rig.allocator->states[3] = 0;
    rig.engine.run(256);

    for (std::uint32_t t = 129; t <= 384; ++t) {
        ASSERT_EQ(rig.recorded(0, t), rig.voices[3]->valueAt(0, t));
    }
    for (std::uint32_t t = 385; t <= 640; ++t) {
        ASSERT_EQ(rig.recorded(0, t), 0.0f);
        ASSERT_EQ(rig.recorded(1, t), 0.0f);
    }
    constexpr float kScribble = 7.0f;
    std::fill(rig.mixer->outputs[0], rig.mixer->outputs[0] + 128, kScribble);
    rig.engine.run(128);
    for (std::uint32_t t = 641; t <= 768; ++t) {
        ASSERT_EQ(rig.recorded(0, t), kScribble) << "written while silent at " << t;
    }

    std::vector<std::pair<std::uint32_t, int>> left;
    for (const auto& e : rig.recorder->events) {
        if (e.pin == 0) {
            left.emplace_back(e.time, e.kind);
        }
    }
    const std::vector<std::pair<std::uint32_t, int>> expected = {{1, 0}, {129, 1}, {385, 0}};
    EXPECT_EQ(left, expected);
    EXPECT_EQ(rig.recorder->events.size(), 6u) << "both outputs announce";
}

// The same state changes at block starts, rendered in one chunk per block or in pieces: the fade
// position is counted in samples, so the output is the same to the bit.
TEST(ModulesPolyToMono, SplitChunksRenderTheSameAsWholeBlocks) {
    struct Change {
        int block;
        int voice;
        std::uint32_t state;
    };
    constexpr Change kScript[] = {
        {0, 1, kSounding},  {0, 4, kSounding},
        {2, 7, kReleased},  {3, 4, kVoiceStealMarked + kNote},
        {5, 1, 0},          {6, 7, kVoiceStealMarked + kNote},
        {9, 12, kSounding}, {11, 12, 0},
    };
    constexpr int kBlocks = 14;
    constexpr int kBlock = 128;

    const auto render = [&](bool split) {
        MixerRig rig;
        std::mt19937 random(1234);
        for (int block = 0; block < kBlocks; ++block) {
            for (const Change& change : kScript) {
                if (change.block == block) {
                    rig.allocator->states[change.voice] = change.state;
                }
            }
            int left = kBlock;
            while (left > 0) {
                const int piece = split ? std::min(left, 1 + static_cast<int>(random() % 50)) : left;
                rig.engine.run(piece);
                left -= piece;
            }
        }
        return std::vector<float>(rig.recorder->samples[0]);
    };

    const std::vector<float> whole = render(false);
    const std::vector<float> pieces = render(true);
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(kBlocks * kBlock));
    EXPECT_EQ(whole, pieces);
}

TEST(ModulesPolyToMono, ExtremeVoiceSignalsAndHostileWiringGiveFiniteOutput) {
    MixerRig rig(64);
    constexpr float kExtremes[] = {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                                   std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN()};
    for (int v = 0; v < kVoices; ++v) {
        rig.voices[v]->level[0] = kExtremes[v % std::size(kExtremes)];
        rig.voices[v]->level[1] = kExtremes[(v + 2) % std::size(kExtremes)];
        rig.voices[v]->wobble[0] = std::numeric_limits<float>::max();
        rig.allocator->states[v] = v % 4 == 0 ? kVoiceStealMarked + kNote : kSounding;
    }
    // Wiring no builder would make must be ignored, not followed.
    rig.mixer->connectVoiceSource(rig.allocator, rig.voices[0]->moduleIndex, kVoices, 2, 0, 7);
    rig.mixer->connectVoiceSource(rig.allocator, rig.voices[0]->moduleIndex, kVoices, 2, 0, -1);
    rig.mixer->connectVoiceSource(rig.allocator, rig.voices[0]->moduleIndex, -3, 2, 0, 0);
    rig.engine.run(2000);

    for (int channel = 0; channel < 2; ++channel) {
        ASSERT_EQ(rig.recorder->samples[channel].size(), 2000u);
        for (const float x : rig.recorder->samples[channel]) {
            ASSERT_TRUE(std::isfinite(x));
        }
    }

    // A mixer given no allocator, or a module that is not one, and sources out of the engine.
    TestEngine engine(64);
    auto* notAllocator = engine.add<VoiceTestSignal>();
    auto* mixer = engine.add<QX_DSP_Poly_to_Mono>(false);
    mixer->connectVoiceSource(nullptr, 0, 4, 1, 0, 0);
    mixer->connectVoiceSource(notAllocator, 5000, 255, 64, 63, 1);
    engine.prepareAll();
    engine.run(256);
    for (int channel = 0; channel < 2; ++channel) {
        for (int i = 0; i < 64 + kModuleBufferSpare; ++i) {
            ASSERT_EQ(mixer->outputs[channel][i], 0.0f);
        }
    }
}

}  // namespace
