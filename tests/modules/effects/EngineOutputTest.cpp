#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "host/QX_DSP_VST.h"
#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"
#include "support/TestHost.h"

namespace {

using namespace mix_test;

constexpr int kShippedModules = 1379;
constexpr int kMasterLevelId = 6230;

// The shipped engine ends with the stereo level 6230, and what the host receives is exactly that
// module's outputs: left * level^2 and right * level^2, sample for sample.
TEST(ModulesLevelEngineOutput, HostHearsTheLastStereoLevel) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    host.start(44100.0f, 128);
    QX_DSP_VST& core = pluginOf(host.effect);
    ASSERT_EQ(core.moduleCount, kShippedModules);
    QX_ModuleBase* last = core.modules[core.moduleCount - 1];
    EXPECT_EQ(last->moduleId, kMasterLevelId);
    ASSERT_NE(dynamic_cast<QX_DSP_ST_Level*>(last), nullptr);
    host.process(256);

    // Cut the module off from its netlist sources (whatever they send from now on) and feed it
    // from buffers of the test's own. The source is not in the module list, so the engine never
    // runs it, and it counts as a later module: still values come with the events.
    for (int m = 0; m < core.moduleCount - 1; ++m) {
        for (FanOutNode*& head : core.modules[m]->fanOut) {
            for (FanOutNode** node = &head; *node != nullptr;) {
                if ((*node)->moduleIndex == last->moduleIndex) {
                    *node = (*node)->next;
                } else {
                    node = &(*node)->next;
                }
            }
        }
    }
    SignalSource source(&core);
    for (int k = 0; k < 3; ++k) {
        source.schedule(k, {});
        source.connect(last, last->moduleIndex, k, k, 0, 0, 0);
    }
    const int ring = core.engineBlockLength;
    for (int i = 0; i < ring; ++i) {
        source.outputs[0][i] = 0.01f * static_cast<float>(i) - 0.5f;
        source.outputs[1][i] = 0.3f - 0.002f * static_cast<float>(i);
    }
    last->receiveEvent(core.sampleClock, 0, kEventMoving, 1, 1.0f, nullptr);
    last->receiveEvent(core.sampleClock, 1, kEventMoving, 1, 1.0f, nullptr);
    last->receiveEvent(core.sampleClock, 2, kEventStill, 1, 0.5f, nullptr);

    const int first = core.ringPos;
    host.process(200);
    for (int i = 0; i < 200; ++i) {
        const int p = (first + i) % ring;
        ASSERT_EQ(host.outLeft[static_cast<std::size_t>(i)], source.outputs[0][p] * 0.25f) << i;
        ASSERT_EQ(host.outRight[static_cast<std::size_t>(i)], source.outputs[1][p] * 0.25f) << i;
    }
}

// The two crossfaders inside the echo's feedback loop (6245, 6246) are cleared when a program is
// applied; the other crossfaders keep their output.
TEST(ModulesLevelEngineOutput, FeedbackCrossfadersClearOnReset) {
    for (const int id : {6245, 6246, 6247}) {
        Rig rig(64, maker<QX_DSP_XMixVol>(), 1);
        rig.module->moduleId = id;
        rig.feed(QX_DSP_XMix::kPinA, {{rig.start, true, 0.5f, 0.25f}});
        rig.feed(QX_DSP_XMix::kPinVolume, {{rig.start, false, 1.0f}});
        rig.control(0, QX_DSP_XMix::kPinMix, -0.5f, -5);
        rig.prepare();
        rig.engine.run(64);
        rig.module->reset();
        const float* out = rig.module->getOutput(0);
        const bool cleared = std::all_of(out, out + 64, [](float v) { return v == 0.0f; });
        EXPECT_EQ(cleared, id != 6247) << id;
    }
}

}  // namespace
