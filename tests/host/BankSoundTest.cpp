#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/PluginPlayer.h"

namespace {

using namespace vst;

// A sound with movement in it (LFO, envelope, echo), so that any value lost on the way shows.
void movingPatch(PluginPlayer& player) {
    player.setPlainSine();
    player.setShown("Osc1 Wave", "Saw");
    player.setShown("Osc Harmonics", "1024");
    player.set("LPF Cutoff", 0.5f);
    player.set("LPF Resonance", 0.4f);
    player.set("Lfo1 On/Off", 1.0f);
    player.setShown("Lfo1 Target", "Filter Cutoff");
    player.set("Lfo1 Rate(Hz)", 0.4f);
    player.set("Lfo1 Depth", 0.6f);
    player.set("Echo OnOff", 1.0f);
    player.set("Echo Level", 0.5f);
    player.set("Echo FBK", 0.4f);
}

std::vector<float> play(PluginPlayer& player) {
    player.start();
    player.noteOn(100, 57);
    player.noteOn(100, 64);
    player.noteOff(30000, 57);
    player.noteOff(30000, 64);
    player.renderUntil(44100);
    return player.left;
}

TEST(HostBankSound, ABankChunkSoundsTheSameInAFreshInstance) {
    std::vector<std::uint8_t> bank;
    std::vector<float> original;
    {
        PluginPlayer player;
        movingPatch(player);
        bank = player.host.chunk(false);
        ASSERT_FALSE(bank.empty());
        original = play(player);
    }
    PluginPlayer fresh;  // starts blank: everything comes from the chunk
    ASSERT_EQ(fresh.host.dispatch(effSetChunk, 0, static_cast<intptr>(bank.size()), bank.data()),
              static_cast<intptr>(bank.size()));
    const std::vector<float> restored = play(fresh);
    ASSERT_GT(rmsOf(original, 0, static_cast<std::int64_t>(original.size())), 0.01);
    EXPECT_EQ(restored, original);
}

}  // namespace
