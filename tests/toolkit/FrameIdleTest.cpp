// The frame's idle pass reaches exactly the shown views that want it, however views come, go,
// hide or change their wish, also from inside a pass; a pass with nothing changed draws nothing.
#include "toolkit/Frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "toolkit/ViewProbe.h"

namespace toolkit {
namespace {

using test::ViewProbe;

// Counts its idle calls and may act during one.
class IdleHook : public ViewProbe {
public:
    explicit IdleHook(const Rect& rect) : ViewProbe(rect, Color{0, 0, 200}) { setWantsIdle(true); }
    void onIdle() override {
        ViewProbe::onIdle();
        if (action) {
            std::exchange(action, {})();
        }
    }
    std::function<void()> action;
};

struct IdleScene {
    Frame frame{100, 60, [] { return std::int64_t{0}; }};
    ContainerView* panel = nullptr;
    IdleHook* onFrame = nullptr;
    IdleHook* inPanel = nullptr;
    ViewProbe* still = nullptr;  // wants no idle

    IdleScene() {
        onFrame = frame.addView(std::make_unique<IdleHook>(Rect{0, 0, 10, 10}));
        // Built before it is added, as the editor builds its panels.
        auto built = std::make_unique<ContainerView>(Rect{20, 0, 60, 40});
        inPanel = built->addView(std::make_unique<IdleHook>(Rect{0, 0, 10, 10}));
        panel = frame.addView(std::move(built));
        still = frame.addView(std::make_unique<ViewProbe>(Rect{70, 0, 80, 10}, Color{9, 9, 9}));
        frame.redraw();
    }
};

TEST(ToolkitFrameIdle, ReachesTheShownViewsThatWantIt) {
    IdleScene s;
    s.frame.idle();
    EXPECT_EQ(s.onFrame->idles, 1);
    EXPECT_EQ(s.inPanel->idles, 1);
    EXPECT_EQ(s.still->idles, 0);

    s.panel->close();
    s.still->setWantsIdle(true);
    s.onFrame->setWantsIdle(false);
    s.frame.idle();
    EXPECT_EQ(s.onFrame->idles, 1) << "no longer wants it";
    EXPECT_EQ(s.inPanel->idles, 1) << "its panel is closed";
    EXPECT_EQ(s.still->idles, 1) << "wants it now";

    s.panel->open();
    std::unique_ptr<View> removed = s.frame.removeView(s.still);
    auto* late = s.panel->addView(std::make_unique<IdleHook>(Rect{0, 20, 10, 30}));
    s.frame.idle();
    EXPECT_EQ(s.inPanel->idles, 2);
    EXPECT_EQ(s.still->idles, 1) << "removed from the frame";
    EXPECT_EQ(late->idles, 1) << "added to a shown panel";

    // Back in the frame it wants idle again; destroyed, it is forgotten.
    s.frame.addView(std::move(removed));
    s.frame.idle();
    EXPECT_EQ(s.still->idles, 2);
    s.panel->removeView(late);  // the returned pointer dies here
    s.frame.idle();
    EXPECT_EQ(s.inPanel->idles, 4);
}

// Changes made by a hook during a pass: a view removed before its turn gets none, one added
// gets its turn in the same pass, and the views after a removed one still get theirs.
TEST(ToolkitFrameIdle, HooksMayAddAndRemoveViewsDuringAPass) {
    IdleScene s;
    auto* last = s.frame.addView(std::make_unique<IdleHook>(Rect{0, 40, 10, 50}));
    IdleHook* added = nullptr;
    std::unique_ptr<View> removed;
    s.onFrame->action = [&] {
        removed = s.panel->removeView(s.inPanel);
        added = s.frame.addView(std::make_unique<IdleHook>(Rect{0, 50, 10, 60}));
    };
    s.frame.idle();
    EXPECT_EQ(s.inPanel->idles, 0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->idles, 1);
    EXPECT_EQ(last->idles, 1);

    // A hook that removes itself, and the one after it, in the middle of a pass.
    std::unique_ptr<View> self;
    s.onFrame->action = [&] { self = s.frame.removeView(s.onFrame); };
    last->action = [&] { s.frame.removeView(added); };
    s.frame.idle();
    EXPECT_EQ(last->idles, 2);
    s.frame.idle();
    EXPECT_EQ(static_cast<IdleHook&>(*self).idles, 2) << "out of the frame";
    EXPECT_EQ(last->idles, 3);
}

TEST(ToolkitFrameIdle, APassWithNothingChangedDrawsNothing) {
    IdleScene s;
    const std::vector<Pixel> before(s.frame.framebuffer().pixels().begin(), s.frame.framebuffer().pixels().end());
    EXPECT_TRUE(s.frame.idle().empty());
    EXPECT_TRUE(std::ranges::equal(s.frame.framebuffer().pixels(), before));

    s.inPanel->action = [&] { s.inPanel->invalidate(); };
    const std::vector<Rect> drawn = s.frame.idle();
    EXPECT_EQ(drawn, (std::vector<Rect>{Rect{20, 0, 30, 10}}));
    EXPECT_TRUE(s.frame.idle().empty()) << "drawn once";
}

}  // namespace
}  // namespace toolkit
