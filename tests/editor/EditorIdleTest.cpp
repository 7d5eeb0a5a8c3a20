// The open editor's idle pass with nothing to do leaves the picture alone and draws nothing;
// values posted from other threads, even while the owner collects, all arrive.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "editor/ParameterMailbox.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "support/TestHost.h"
#include "toolkit/Control.h"

namespace {

using namespace vst;

constexpr int kLpfCutoff = 83;
constexpr int kSettlePasses = 400;  // meters fall to the floor, the hub lights, panels follow

TEST(EditorMailboxThreads, EveryPostArrivesWhileTheOwnerCollects) {
    constexpr int kPosters = 4;
    constexpr int kPosts = 20000;
    constexpr std::array<int, kPosters> kSlots{3, 31, 32, 450};
    ParameterMailbox mailbox;
    std::array<float, ParameterMailbox::kSlots> seen{};
    const auto collect = [&] { mailbox.collect([&](int index, float value) { seen[index] = value; }); };
    std::atomic<int> running{kPosters};
    std::vector<std::thread> posters;
    for (const int slot : kSlots) {
        posters.emplace_back([&, slot] {
            for (int i = 1; i <= kPosts; ++i) {
                mailbox.post(slot, static_cast<float>(i));
            }
            running.fetch_sub(1);
        });
    }
    while (running.load() > 0) {
        collect();
    }
    for (std::thread& poster : posters) {
        poster.join();
    }
    collect();
    for (const int slot : kSlots) {
        EXPECT_EQ(seen[slot], static_cast<float>(kPosts)) << "slot " << slot;
    }
    int more = 0;
    mailbox.collect([&](int, float) { ++more; });
    EXPECT_EQ(more, 0);
}

class EditorIdle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.open(), nullptr);
        ASSERT_EQ(host.dispatch(effEditOpen), 1);
        for (int i = 0; i < kSettlePasses; ++i) {
            idle();
        }
    }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(pluginOf(host.effect).getEditor()); }
    void idle() { host.dispatch(effEditIdle); }
    std::vector<toolkit::Pixel> picture() {
        const auto pixels = editor().frame()->framebuffer().pixels();
        return {pixels.begin(), pixels.end()};
    }

    TestHost host;
};

TEST_F(EditorIdle, NothingChangedDrawsNothing) {
    const std::vector<toolkit::Pixel> before = picture();
    for (int i = 0; i < 3; ++i) {
        idle();
    }
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(editor().frame()->idle().empty());
}

TEST_F(EditorIdle, AValueFromAnotherThreadShowsOnceAndOnlyWhereItsKnobIs) {
    toolkit::Control* knob = editor().control(kLpfCutoff);
    ASSERT_NE(knob, nullptr);
    const float value = knob->value() < 0.5f ? 0.9f : 0.1f;
    const std::vector<toolkit::Pixel> before = picture();
    std::thread([&] { host.effect->setParameter(host.effect, kLpfCutoff, value); }).join();
    idle();
    EXPECT_FLOAT_EQ(knob->value(), value);
    const std::vector<toolkit::Pixel> after = picture();
    const toolkit::Rect area = knob->frameRect();
    const int width = editor().frame()->framebuffer().width();
    int changed = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            ++changed;
            const toolkit::Point at{static_cast<int>(i) % width, static_cast<int>(i) / width};
            ASSERT_TRUE(area.contains(at)) << "pixel " << at.x << "," << at.y << " outside the knob";
        }
    }
    EXPECT_GT(changed, 0);
    EXPECT_TRUE(editor().frame()->idle().empty()) << "drawn in the pass that took the value";
}

}  // namespace
