// The frame: dirty regions and partial redraw, input routing (hit testing through containers,
// capture while dragging, focus, wheel), panels, tooltips through idle(), idle hooks.
#include "toolkit/Frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/PixelProbe.h"
#include "toolkit/ViewProbe.h"

namespace toolkit {
namespace {

using test::ViewProbe;
using Log = std::vector<std::string>;

constexpr Color kBackground{20, 20, 20};
constexpr Color kPanelColor{0, 0, 120};
constexpr Pixel kSentinel{255, 0, 255, 255};

// A 100 x 60 frame: view `a` at (10,10)-(30,30) on the frame; a panel at (40,5)-(90,55)
// holding view `b` at (5,5)-(25,20) in panel coordinates, i.e. (45,10)-(65,25) on the frame.
struct Scene {
    std::int64_t now = 0;
    Frame frame{100, 60, [this] { return now; }};
    ViewProbe* a = nullptr;
    ContainerView* panel = nullptr;
    ViewProbe* b = nullptr;

    Scene() {
        frame.setBackgroundColor(kBackground);
        a = frame.addView(std::make_unique<ViewProbe>(Rect{10, 10, 30, 30}, Color{200, 0, 0}));
        panel = frame.addView(std::make_unique<ContainerView>(Rect{40, 5, 90, 55}));
        panel->setBackgroundColor(kPanelColor);
        b = panel->addView(std::make_unique<ViewProbe>(Rect{5, 5, 25, 20}, Color{0, 200, 0}));
        frame.redraw();
    }
};

MouseEvent mouseAt(int x, int y) { return MouseEvent{{x, y}}; }

// Pixels that differ from the sentinel after a redraw over a framebuffer filled with it.
test::Ink redrawOverSentinel(Frame& frame) {
    frame.framebuffer().fill(kSentinel);
    frame.redraw();
    return test::inkOn(frame.framebuffer(), kSentinel);
}

TEST(ToolkitFrame, RedrawTouchesOnlyDirtyPixels) {
    Scene s;
    EXPECT_TRUE(s.frame.dirtyRegions().empty());
    EXPECT_EQ(redrawOverSentinel(s.frame).count, 0) << "nothing dirty, nothing drawn";

    s.a->color = Color{255, 255, 0};
    s.a->invalidate();
    const auto ink = redrawOverSentinel(s.frame);
    EXPECT_EQ(ink.box, (Rect{10, 10, 30, 30}));
    EXPECT_EQ(ink.count, 400);
    EXPECT_EQ(s.frame.framebuffer().at(20, 20), (Color{255, 255, 0}.premultiplied()));

    // A view inside a panel invalidates its place on the frame; the panel's background and the
    // view are redrawn there, nothing else.
    s.b->invalidate();
    const auto nested = redrawOverSentinel(s.frame);
    EXPECT_EQ(nested.box, (Rect{45, 10, 65, 25}));
    EXPECT_EQ(nested.count, 20 * 15);
    EXPECT_EQ(s.frame.framebuffer().at(45, 10), (Color{0, 200, 0}.premultiplied()));

    // Part of a view.
    s.b->invalidate(Rect{10, 10, 12, 30});
    EXPECT_EQ(redrawOverSentinel(s.frame).box, (Rect{50, 15, 52, 25}));
}

TEST(ToolkitFrame, RepeatedRedrawsOfTranslucentViewsDoNotAccumulate) {
    Frame frame(20, 20);  // no background
    auto* glass = frame.addView(
        std::make_unique<ViewProbe>(Rect{2, 2, 18, 18}, Color{255, 255, 255, 100}));
    frame.redraw();
    const Pixel once = frame.framebuffer().at(10, 10);
    for (int i = 0; i < 3; ++i) {
        glass->invalidate();
        frame.redraw();
    }
    EXPECT_EQ(frame.framebuffer().at(10, 10), once);
}

struct RegionCase {
    const char* name;
    std::vector<Rect> invalidated;
    std::vector<Rect> expected;
};

class ToolkitFrameRegions : public ::testing::TestWithParam<RegionCase> {};

TEST_P(ToolkitFrameRegions, MergesOverlapsAndClipsToTheFrame) {
    Frame frame(100, 60);
    frame.redraw();
    for (const Rect& r : GetParam().invalidated) {
        frame.invalidateRegion(r);
    }
    EXPECT_EQ(frame.dirtyRegions(), GetParam().expected);
    EXPECT_EQ(frame.redraw(), GetParam().expected);
    EXPECT_TRUE(frame.dirtyRegions().empty());
}

std::vector<Rect> manySmallRegions() {
    std::vector<Rect> regions;
    for (int i = 0; i < 17; ++i) {
        regions.push_back(Rect::fromSize(5 * i, i % 2 * 10, 2, 2));
    }
    return regions;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolkitFrameRegions,
    ::testing::Values(
        RegionCase{"Disjoint", {{0, 0, 10, 10}, {20, 0, 30, 10}}, {{0, 0, 10, 10}, {20, 0, 30, 10}}},
        RegionCase{"Overlapping", {{0, 0, 10, 10}, {5, 5, 15, 15}}, {{0, 0, 15, 15}}},
        RegionCase{"Contained", {{0, 0, 20, 20}, {5, 5, 10, 10}}, {{0, 0, 20, 20}}},
        RegionCase{"Bridged",
                   {{0, 0, 10, 10}, {40, 0, 50, 10}, {5, 2, 45, 4}},
                   {{0, 0, 50, 10}}},
        RegionCase{"Clipped", {{90, 50, 200, 200}, {-5, -5, 0, 10}}, {{90, 50, 100, 60}}},
        RegionCase{"TooMany", manySmallRegions(), {{0, 0, 82, 12}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitFrame, ClickGoesToTheDeepestViewInItsParentsCoordinates) {
    Scene s;
    s.frame.mouseDown(mouseAt(50, 12));
    s.frame.mouseUp(mouseAt(50, 12));
    EXPECT_EQ(s.b->log, (Log{"down 10,7", "up 10,7"}));
    EXPECT_TRUE(s.a->log.empty());
    s.frame.mouseDown(mouseAt(5, 5));  // the bare frame
    EXPECT_EQ(s.frame.capture(), nullptr);
}

TEST(ToolkitFrame, ClickBubblesToAContainerThatTakesIt) {
    struct ClickablePanel : ContainerView {
        using ContainerView::ContainerView;
        bool onMouseDown(const MouseEvent& event) override {
            clicks.push_back(ViewProbe::at(event.position));
            return true;
        }
        Log clicks;
    };
    Frame frame(100, 60);
    auto* panel = frame.addView(std::make_unique<ClickablePanel>(Rect{40, 5, 90, 55}));
    auto* label =
        panel->addView(std::make_unique<ViewProbe>(Rect{5, 5, 25, 20}, Color{}, false));
    frame.mouseDown(mouseAt(50, 12));
    EXPECT_EQ(label->log, (Log{"down 10,7"}));
    EXPECT_EQ(panel->clicks, (Log{"50,12"}));
    EXPECT_EQ(frame.capture(), panel);
}

TEST(ToolkitFrame, CaptureKeepsADragOnItsViewUntilRelease) {
    Scene s;
    s.frame.mouseDown(mouseAt(12, 12));
    ASSERT_EQ(s.frame.capture(), s.a);
    s.frame.mouseMove(mouseAt(50, 12));  // over b
    s.frame.mouseMove(mouseAt(-20, 500));  // outside the frame
    s.frame.mouseUp(mouseAt(-20, 500));
    EXPECT_EQ(s.a->log, (Log{"down 12,12", "move 50,12", "move -20,500", "up -20,500"}));
    EXPECT_TRUE(s.b->log.empty());
    EXPECT_EQ(s.frame.capture(), nullptr);
    s.frame.mouseMove(mouseAt(50, 12));
    EXPECT_EQ(s.b->log, (Log{"move 10,7"})) << "after release, moves hover again";

    // A view that declines the click does not capture.
    s.a->takesClicks = false;
    s.frame.mouseDown(mouseAt(12, 12));
    EXPECT_EQ(s.frame.capture(), nullptr);
}

TEST(ToolkitFrame, KeysGoToTheFocusWhichAClickElsewhereOrAClosedPanelTakesAway) {
    Scene s;
    EXPECT_FALSE(s.frame.keyDown(KeyEvent{Key::Character, U'x'})) << "no focus";
    s.frame.setFocus(s.b);
    EXPECT_TRUE(s.frame.keyDown(KeyEvent{Key::Character, U'x'}));
    s.frame.mouseDown(mouseAt(50, 12));  // on the focused view: focus stays
    EXPECT_EQ(s.frame.focus(), s.b);
    s.frame.mouseUp(mouseAt(50, 12));
    s.frame.mouseDown(mouseAt(12, 12));  // elsewhere
    s.frame.mouseUp(mouseAt(12, 12));
    EXPECT_EQ(s.frame.focus(), nullptr);
    EXPECT_EQ(s.b->log, (Log{"focus", "key 120", "down 10,7", "up 10,7", "blur"}));

    s.frame.setFocus(s.b);
    s.frame.mouseDown(mouseAt(50, 12));
    ASSERT_EQ(s.frame.capture(), s.b);
    s.panel->close();
    EXPECT_EQ(s.frame.focus(), nullptr);
    EXPECT_EQ(s.frame.capture(), nullptr);
    s.frame.mouseUp(mouseAt(50, 12));
    EXPECT_EQ(s.b->log.back(), "blur") << "a hidden view gets no release";
}

TEST(ToolkitFrame, ClosedPanelIsRedrawnAwayAndNoLongerHit) {
    Scene s;
    s.panel->close();
    EXPECT_FALSE(s.b->isShown());
    const auto ink = redrawOverSentinel(s.frame);
    EXPECT_EQ(ink.box, (Rect{40, 5, 90, 55}));
    EXPECT_EQ(s.frame.framebuffer().at(50, 12), kBackground.premultiplied());
    s.frame.mouseDown(mouseAt(50, 12));
    EXPECT_TRUE(s.b->log.empty());
    s.panel->open();
    EXPECT_EQ(redrawOverSentinel(s.frame).box, (Rect{40, 5, 90, 55}));
    EXPECT_EQ(s.frame.framebuffer().at(50, 12), (Color{0, 200, 0}.premultiplied()));
    EXPECT_EQ(s.frame.framebuffer().at(42, 50), kPanelColor.premultiplied());
}

TEST(ToolkitFrame, WheelBubblesUntilTaken) {
    Scene s;
    EXPECT_FALSE(s.frame.wheel(mouseAt(50, 12), 3.0f));
    s.b->takesWheel = true;
    EXPECT_TRUE(s.frame.wheel(mouseAt(50, 12), -2.0f));
    EXPECT_EQ(s.b->log, (Log{"wheel 3", "wheel -2"}));
}

TEST(ToolkitFrame, IdleRunsTheHooksOfShownViewsOnly) {
    Scene s;
    s.a->setWantsIdle(true);
    s.b->setWantsIdle(true);
    s.frame.idle();
    s.panel->close();
    s.frame.idle();
    EXPECT_EQ(s.a->idles, 2);
    EXPECT_EQ(s.b->idles, 1);
}

TEST(ToolkitTooltip, AppearsAfterTheDelayOfRestingOnAView) {
    Scene s;
    s.a->setTooltip("Cutoff\nin Hz");
    s.now = 1000;
    s.frame.mouseMove(mouseAt(12, 12));
    const std::vector<Pixel> before(s.frame.framebuffer().pixels().begin(),
                                    s.frame.framebuffer().pixels().end());
    s.now = 1000 + Frame::kTooltipDelayMs - 1;
    s.frame.idle();
    EXPECT_TRUE(s.frame.shownTooltip().empty());
    s.frame.mouseMove(mouseAt(20, 20));  // moving within the view keeps the timer
    s.now = 1000 + Frame::kTooltipDelayMs;
    const std::vector<Rect> drawn = s.frame.idle();
    EXPECT_EQ(s.frame.shownTooltip(), "Cutoff\nin Hz");
    const Rect tip = s.frame.tooltipRect();
    ASSERT_FALSE(tip.empty());
    EXPECT_TRUE(s.frame.rect().contains(tip));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(drawn[0].contains(tip));
    EXPECT_FALSE(std::ranges::equal(s.frame.framebuffer().pixels(), before));
    const Font font = Font::nearest(11);
    EXPECT_GE(tip.height(), 2 * font.lineHeight()) << "two lines";
    EXPECT_GE(tip.width(), font.textWidth("Cutoff"));

    // Leaving for a view without a tooltip takes it away at once, and the redraw restores
    // what it covered.
    s.frame.mouseMove(mouseAt(5, 5));
    EXPECT_TRUE(s.frame.shownTooltip().empty());
    s.frame.redraw();
    EXPECT_TRUE(std::ranges::equal(s.frame.framebuffer().pixels(), before));
}

TEST(ToolkitTooltip, AClickHidesItUntilThePointerMovesToAnotherView) {
    Scene s;
    s.a->setTooltip("A");
    s.b->setTooltip("B");
    s.frame.mouseMove(mouseAt(12, 12));
    s.now = Frame::kTooltipDelayMs;
    s.frame.idle();
    ASSERT_EQ(s.frame.shownTooltip(), "A");
    s.frame.mouseDown(mouseAt(12, 12));
    EXPECT_TRUE(s.frame.shownTooltip().empty());
    s.frame.mouseUp(mouseAt(12, 12));
    s.now += 10 * Frame::kTooltipDelayMs;
    s.frame.idle();
    EXPECT_TRUE(s.frame.shownTooltip().empty());
    s.frame.mouseMove(mouseAt(50, 12));
    s.now += Frame::kTooltipDelayMs;
    s.frame.idle();
    EXPECT_EQ(s.frame.shownTooltip(), "B");
}

TEST(ToolkitTooltip, AViewWithoutOneShowsItsContainersAndStaysInsideTheFrame) {
    Scene s;
    s.panel->setTooltip("Panel");
    s.frame.mouseMove(mouseAt(88, 53));  // panel corner, near the frame's
    s.now = Frame::kTooltipDelayMs;
    s.frame.idle();
    EXPECT_EQ(s.frame.shownTooltip(), "Panel");
    EXPECT_TRUE(s.frame.rect().contains(s.frame.tooltipRect()));
    EXPECT_LE(s.frame.tooltipRect().bottom, 53) << "above the pointer near the bottom edge";
}

}  // namespace
}  // namespace toolkit
