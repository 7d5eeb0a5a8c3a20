// Switches and action buttons, and option lists chosen from their pop-up menus.
#include "editor/QX_COnOffButton.h"

#include <gtest/gtest.h>

#include "editor/ControlScene.h"
#include "editor/QX_COptionsText.h"

namespace {

using editor_test::ControlScene;
using editor_test::Report;
using toolkit::Point;

const toolkit::Rect kBox = toolkit::Rect::fromSize(50, 50, 44, 18);
constexpr Point kInside{60, 58};

TEST(EditorOnOffButton, ToggleFlipsOnEachClick) {
    ControlScene s;
    auto* button = s.add(std::make_unique<QX_COnOffButton>(kBox, 6, &s.listener, QX_COnOffButton::Mode::Toggle));
    s.click(kInside);
    EXPECT_TRUE(button->isOn());
    s.click(kInside);
    EXPECT_FALSE(button->isOn());
    EXPECT_EQ(s.listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_TRUE(s.listener.paired());
}

TEST(EditorOnOffButton, ActionReportsPressAndRelease) {
    ControlScene s;
    auto* button = s.add(std::make_unique<QX_COnOffButton>(kBox, 366, &s.listener, QX_COnOffButton::Mode::Momentary));
    button->setValue(1.0f);  // left high by the program: the press must still be heard
    s.press(kInside);
    EXPECT_TRUE(button->isOn());
    s.release(kInside);
    EXPECT_FALSE(button->isOn());
    EXPECT_EQ(s.listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_TRUE(s.listener.paired());
}

struct Shortening {
    const char* label;
    int width;
    const char* shown;
};

class EditorButtonLabel : public ::testing::TestWithParam<Shortening> {};

TEST_P(EditorButtonLabel, ShowsAReadingThatFits) {
    const Shortening& c = GetParam();
    QX_COnOffButton button(toolkit::Rect::fromSize(0, 0, c.width, 18), 366, nullptr, QX_COnOffButton::Mode::Momentary);
    button.setLabel(c.label);
    EXPECT_EQ(button.shownLabel(), c.shown);
    EXPECT_EQ(button.label(), c.label);
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorButtonLabel,
                         ::testing::Values(Shortening{"Copy", 44, "Copy"}, Shortening{"LoadFILTER", 44, "Load"},
                                           Shortening{"SaveECHO", 44, "Save"}, Shortening{"Filter Rnd", 44, "Rnd"},
                                           Shortening{"Melt:A Rnd", 44, "Rnd"},
                                           Shortening{"Load Single Sound Preset", 44, "Load P"},
                                           Shortening{"Load Single Sound Preset", 90, "Load Preset"},
                                           Shortening{"Bank and Midi:CC Options", 44, "Bank"},
                                           Shortening{"Preset Down", 16, "<"}, Shortening{"Preset Up", 16, ">"}));

struct Pick {
    const char* name;
    const char* options;
    int item;
    float value;
};

class EditorOptionsText : public ::testing::TestWithParam<Pick> {};

TEST_P(EditorOptionsText, PickingAnItemSetsItsValueAndShowsIt) {
    const Pick& p = GetParam();
    ControlScene s;
    auto* list = s.add(std::make_unique<QX_COptionsText>(toolkit::Rect::fromSize(20, 20, 80, 16), 120, &s.listener,
                                                         p.options));
    s.click({40, 28});
    ASSERT_EQ(s.frame.modal(), &list->menu());
    const toolkit::Rect item = list->menu().itemRect(p.item);
    s.click({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    EXPECT_EQ(s.frame.modal(), nullptr);
    EXPECT_FLOAT_EQ(list->value(), p.value);
    EXPECT_EQ(list->selectedIndex(), p.item);
    EXPECT_EQ(list->selectedText(), list->items()[static_cast<std::size_t>(p.item)]);
    EXPECT_EQ(s.listener.values(), (std::vector<float>{p.value}));
    EXPECT_TRUE(s.listener.paired());
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorOptionsText,
                         ::testing::Values(Pick{"Legato", "Mono,Legato,Poly,", 1, 0.5f},
                                           Pick{"Poly", "Mono,Legato,Poly,", 2, 1.0f},
                                           Pick{"FourthOfNine", "x8,x4,x2,1,2,4,8,16,32,", 3, 3.0f / 8.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditorOptionsText, DismissingTheMenuChangesNothing) {
    ControlScene s;
    auto* list = s.add(std::make_unique<QX_COptionsText>(toolkit::Rect::fromSize(20, 20, 80, 16), 120, &s.listener,
                                                         "Mono,Legato,Poly,"));
    list->setValue(0.5f);
    s.click({40, 28});
    s.frame.keyDown(toolkit::KeyEvent{toolkit::Key::Escape});
    EXPECT_EQ(list->selectedText(), "Legato");
    EXPECT_TRUE(s.listener.reports.empty());
}

}  // namespace
