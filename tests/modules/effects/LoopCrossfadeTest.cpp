// A crossfader whose output feeds an earlier module closes a loop: wherever A and B in phase would
// come out louder than they went in, it is held at unity; elsewhere it is the plain crossfader.
#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

struct LoopCase {
    const char* name;
    bool feedsBack;
    float a;
    float b;
    float mix;     // -0.5 all A .. 0.5 all B
    float volume;
    float expected;
};

// Law 1 throughout: the centre gives 0.75 of each, a mix of 0.25 gives 0.4375 A and 0.9375 B.
constexpr LoopCase kLoopCases[] = {
    {"CentreAtFullVolumeIsHeldAtUnity", true, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f},
    {"NegativeVolumeIsHeldAlike", true, 1.0f, 1.0f, 0.0f, -1.0f, -1.0f},
    {"HeldKeepsTheBalanceOfTheCopies", true, 0.5f, 1.0f, 0.25f, 1.0f, (0.5f * 0.4375f + 0.9375f) / 1.375f},
    {"AtUnityOrBelowIsUntouched", true, 1.0f, 1.0f, 0.0f, 0.5f, 0.75f},
    {"OneCopyAloneIsUntouched", true, 0.3f, 1.0f, 0.5f, 1.0f, 1.0f},
    {"OutsideALoopIsNeverHeld", false, 1.0f, 1.0f, 0.0f, 1.0f, 1.5f},
};

void PrintTo(const LoopCase& c, std::ostream* os) { *os << c.name; }

class ModulesLoopCrossfade : public testing::TestWithParam<LoopCase> {};

// Every combination of still and moving inputs (the still output, the per-stretch gains and the
// per-sample weights) gives the same value from the first sample on.
TEST_P(ModulesLoopCrossfade, HeldAtUnityOnlyInsideALoop) {
    const LoopCase& c = GetParam();
    constexpr int kBlock = 64;
    constexpr int kLaw = 1;
    constexpr int kUnusedSourcePin = 40;
    const int pins[] = {QX_DSP_XMix::kPinA, QX_DSP_XMix::kPinB, QX_DSP_XMix::kPinMix, QX_DSP_XMix::kPinVolume};
    const float values[] = {c.a, c.b, c.mix, c.volume};
    constexpr std::size_t kInputs = std::size(pins);
    for (unsigned mask = 0; mask < (1u << kInputs); ++mask) {
        SCOPED_TRACE("moving inputs mask " + std::to_string(mask));
        Rig rig(kBlock, maker<QX_DSP_XMixVol>(), 1);
        for (std::size_t i = 0; i < kInputs; ++i) {
            rig.feed(pins[i], {{rig.start, ((mask >> i) & 1u) != 0, values[i]}});
        }
        if (c.feedsBack) {
            rig.module->connect(rig.source, rig.source->moduleIndex, 0, kUnusedSourcePin, 0, 0, 0);
        }
        rig.control(0, QX_DSP_XMix::kPinLaw, 0.1f, kLaw);
        rig.prepare();
        rig.engine.run(3 * kBlock);
        const std::vector<float>& out = rig.recorder->samples[0];
        ASSERT_EQ(out.size(), 3u * kBlock);
        for (std::size_t t = 0; t < out.size(); ++t) {
            ASSERT_NEAR(out[t], c.expected, 1e-6f) << "sample " << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLoopCrossfade, testing::ValuesIn(kLoopCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
