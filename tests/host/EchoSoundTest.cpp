#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/PluginPlayer.h"

namespace {

// Starts of sound: the first sample above `threshold` after at least `gap` quieter ones.
std::vector<std::int64_t> onsets(const std::vector<float>& x, float threshold, int gap) {
    std::vector<std::int64_t> found;
    int quiet = gap;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold) {
            if (quiet >= gap) {
                found.push_back(static_cast<std::int64_t>(i));
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return found;
}

// A 1/4 echo of length 4 at 120 BPM: the first repeat comes exactly half a second after the note.
// With pong it sounds on the right only, and the next repeat answers on the left.
TEST(HostEcho, QuarterEchoRepeatsHalfASecondLaterAndPongAlternates) {
    constexpr std::int64_t kHalfSecond = 22050;
    for (const bool pong : {false, true}) {
        PluginPlayer player;
        player.setPlainSine();
        player.setTempo(120.0);
        player.set("Echo OnOff", 1.0f);
        player.setShown("Echo Rate", "1/4");
        player.set("Echo Length", 3.0f / 7.0f);  // 4
        player.set("Echo Shift", 0.5f);          // none
        player.set("Echo LPF", 1.0f);            // open
        player.set("Echo Level", 1.0f);
        player.set("Echo FBK", 0.5f);
        player.set("Echo Pong", pong ? 1.0f : 0.0f);
        player.start();
        player.noteOn(1000, 69);
        player.noteOff(1441, 69);  // a 10 ms blip
        player.renderUntil(1000 + 3 * kHalfSecond);

        const std::vector<std::int64_t> left = onsets(player.left, 1e-3f, 2000);
        const std::vector<std::int64_t> right = onsets(player.right, 1e-3f, 2000);
        ASSERT_GE(left.size(), 2u) << pong;
        ASSERT_GE(right.size(), 2u) << pong;
        const std::int64_t dry = right[0];
        EXPECT_EQ(left[0], dry);
        EXPECT_EQ(right[1], dry + kHalfSecond) << pong;
        if (pong) {
            EXPECT_GT(left[1], dry + kHalfSecond + 2000);  // the left waits for the next repeat
        } else {
            EXPECT_EQ(left[1], dry + kHalfSecond);
        }
    }
}

}  // namespace
