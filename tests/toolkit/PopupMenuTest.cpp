// Pop-up menus: placement inside the frame, choosing by click, by press-drag-release and by
// keys, dismissal, items that cannot be chosen, and drawing above the views.
#include "toolkit/PopupMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Frame.h"
#include "toolkit/PixelProbe.h"
#include "toolkit/ViewProbe.h"

namespace toolkit {
namespace {

using test::ViewProbe;

constexpr int kNone = -2;  // no callback yet

// Opens its menu under itself on a press, the way an option control does.
class Opener : public ViewProbe {
public:
    Opener(const Rect& rect, PopupMenu& menu, int& chosen)
        : ViewProbe(rect, Color{90, 90, 90}), menu_(menu), chosen_(chosen) {}
    bool onMouseDown(const MouseEvent&) override {
        menu_.popup(*frame(), {rect().left, rect().bottom}, [this](int i) { chosen_ = i; });
        return true;
    }

private:
    PopupMenu& menu_;
    int& chosen_;
};

// Items: 0 "Saw", 1 "Square" (checked), 2 separator, 3 "Noise" (disabled), 4 "Sine".
struct MenuScene {
    Frame frame{300, 200};
    PopupMenu menu;
    int chosen = kNone;
    ViewProbe* under = nullptr;
    Opener* opener = nullptr;

    MenuScene() {
        menu.addItem("Saw");
        menu.addItem("Square", true);
        menu.addSeparator();
        menu.addItem("Noise", false, false);
        menu.addItem("Sine");
        under = frame.addView(std::make_unique<ViewProbe>(Rect{0, 0, 300, 200}, Color{0, 60, 0}));
        opener = frame.addView(std::make_unique<Opener>(Rect{20, 20, 80, 34}, menu, chosen));
        frame.redraw();
    }
    Point centre(int item) const {
        const Rect r = menu.itemRect(item);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void open() { menu.popup(frame, {100, 50}, [this](int i) { chosen = i; }); }
    void click(Point p) {
        frame.mouseDown(MouseEvent{p});
        frame.mouseUp(MouseEvent{p});
    }
};

TEST(ToolkitPopupMenu, ClickOnAnItemChoosesItAndCloses) {
    MenuScene s;
    s.open();
    ASSERT_TRUE(s.menu.isOpen());
    EXPECT_EQ(s.frame.modal(), &s.menu);
    EXPECT_EQ(s.menu.rect().topLeft(), (Point{100, 50}));
    s.click(s.centre(4));
    EXPECT_EQ(s.chosen, 4);
    EXPECT_FALSE(s.menu.isOpen());
    EXPECT_EQ(s.frame.modal(), nullptr);
    EXPECT_TRUE(s.under->log.empty()) << "the views below saw nothing";
}

TEST(ToolkitPopupMenu, PressDragReleaseFromTheOpener) {
    MenuScene s;
    s.frame.mouseDown(MouseEvent{{30, 25}});
    ASSERT_TRUE(s.menu.isOpen());
    EXPECT_EQ(s.frame.capture(), nullptr) << "the menu takes over the gesture";
    s.frame.mouseMove(MouseEvent{s.centre(1)});
    EXPECT_EQ(s.menu.highlighted(), 1);
    s.frame.mouseUp(MouseEvent{s.centre(1)});
    EXPECT_EQ(s.chosen, 1);

    // Released over the opener: the menu stays open for a click.
    s.chosen = kNone;
    s.frame.mouseDown(MouseEvent{{30, 25}});
    s.frame.mouseUp(MouseEvent{{30, 25}});
    EXPECT_TRUE(s.menu.isOpen());
    EXPECT_EQ(s.chosen, kNone);
    s.click(s.centre(0));
    EXPECT_EQ(s.chosen, 0);
}

TEST(ToolkitPopupMenu, SeparatorsAndDisabledItemsCannotBeChosen) {
    MenuScene s;
    s.open();
    s.click(s.centre(2));
    s.click(s.centre(3));
    EXPECT_TRUE(s.menu.isOpen());
    EXPECT_EQ(s.chosen, kNone);
    EXPECT_EQ(s.menu.highlighted(), -1);
}

struct KeyCase {
    const char* name;
    std::vector<Key> keys;
    int chosen;
};

class ToolkitPopupMenuKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ToolkitPopupMenuKeys, ArrowsSkipWhatCannotBeChosen) {
    MenuScene s;
    s.open();
    for (Key key : GetParam().keys) {
        EXPECT_TRUE(s.frame.keyDown(KeyEvent{key}));
    }
    EXPECT_EQ(s.chosen, GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolkitPopupMenuKeys,
    ::testing::Values(KeyCase{"FirstDown", {Key::Down, Key::Enter}, 0},
                      KeyCase{"PastSeparatorAndDisabled", {Key::Down, Key::Down, Key::Down, Key::Enter}, 4},
                      KeyCase{"UpWrapsToLast", {Key::Up, Key::Enter}, 4},
                      KeyCase{"DownWraps", {Key::Down, Key::Down, Key::Down, Key::Down, Key::Enter}, 0},
                      KeyCase{"BackUp", {Key::Up, Key::Up, Key::Enter}, 1},
                      KeyCase{"EnterWithoutHighlight", {Key::Enter}, kNone},
                      KeyCase{"Escape", {Key::Down, Key::Escape}, PopupMenu::kDismissed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitPopupMenu, AClickOutsideDismissesAndIsNotPassedOn) {
    MenuScene s;
    s.open();
    s.click({5, 190});
    EXPECT_EQ(s.chosen, PopupMenu::kDismissed);
    EXPECT_FALSE(s.menu.isOpen());
    EXPECT_TRUE(s.under->log.empty());
}

struct PlaceCase {
    const char* name;
    Point at;
};

class ToolkitPopupMenuPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(ToolkitPopupMenuPlace, StaysInsideTheFrame) {
    MenuScene s;
    s.menu.popup(s.frame, GetParam().at, {});
    EXPECT_TRUE(s.frame.rect().contains(s.menu.rect()));
    EXPECT_GT(s.menu.rect().height(), 4 * Font::nearest(11).lineHeight());
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolkitPopupMenuPlace,
                         ::testing::Values(PlaceCase{"TopLeft", {0, 0}},
                                           PlaceCase{"BottomRight", {299, 199}},
                                           PlaceCase{"Negative", {-40, -40}},
                                           PlaceCase{"RightEdge", {290, 10}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitPopupMenu, DrawnAboveTheViewsAndGoneAfterClosing) {
    MenuScene s;
    const std::vector<Pixel> before(s.frame.framebuffer().pixels().begin(),
                                    s.frame.framebuffer().pixels().end());
    s.open();
    s.frame.redraw();
    const Framebuffer& fb = s.frame.framebuffer();
    const Rect menu = s.menu.rect();
    EXPECT_EQ(fb.at(menu.right - 3, menu.top + 3), (Color{245, 245, 245}.premultiplied()));
    // The checked item carries a mark in its left column, the unchecked one does not.
    const auto inkInColumn = [&](int item) {
        const Rect r = s.menu.itemRect(item);
        int ink = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.left + 14; ++x) {
                ink += fb.at(x, y) == fb.at(r.right - 2, r.top + 1) ? 0 : 1;
            }
        }
        return ink;
    };
    EXPECT_GT(inkInColumn(1), 5);
    EXPECT_EQ(inkInColumn(0), 0);
    s.frame.keyDown(KeyEvent{Key::Escape});
    s.frame.redraw();
    EXPECT_TRUE(std::ranges::equal(s.frame.framebuffer().pixels(), before));
}

}  // namespace
}  // namespace toolkit
