// Number fields print by their precision and take typed or dragged values; the preset name is
// renamed in place.
#include "editor/QX_CNumberEntry.h"

#include <gtest/gtest.h>

#include "editor/ControlScene.h"
#include "editor/QX_CTextEntry.h"
#include "editor/QX_GUI_TextOnly.h"
#include "editor/QX_GlobalNumberDisplay.h"

namespace {

using editor_test::ControlScene;
using toolkit::Key;
using toolkit::KeyEvent;

const toolkit::Rect kBox = toolkit::Rect::fromSize(40, 40, 60, 16);
constexpr toolkit::Point kInside{60, 48};

struct Format {
    const char* name;
    float min;
    float max;
    int decimals;
    float value;
    const char* text;
};

class EditorNumberEntryFormat : public ::testing::TestWithParam<Format> {};

TEST_P(EditorNumberEntryFormat, PrintsTheShownValueWithItsDecimals) {
    const Format& f = GetParam();
    QX_CNumberEntry entry(kBox, 1, nullptr, f.min, f.max, f.decimals);
    entry.setValue(f.value);
    EXPECT_EQ(entry.text(), f.text);
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorNumberEntryFormat,
                         ::testing::Values(Format{"None", 0, 100, 0, 0.5f, "50"},
                                           Format{"One", 0, 10, 1, 0.25f, "2.5"},
                                           Format{"TwoFalling", 1, -1, 2, 0.25f, "0.50"},
                                           Format{"Three", 0, 1, 3, 1.0f / 3.0f, "0.333"},
                                           Format{"Four", 0, 1, 4, 0.5f, "0.5000"},
                                           Format{"OtherMeansThree", 0, 1, 7, 0.5f, "0.500"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditorGlobalNumberDisplay, PrintsThreeDecimals) {
    QX_GlobalNumberDisplay display(kBox, 387, nullptr);
    for (const auto& [shown, text] :
         {std::pair{1.5f, "1.500"}, std::pair{-12.3456f, "-12.346"}, std::pair{0.0f, "0.000"}}) {
        display.setShownValue(shown);
        EXPECT_EQ(display.text(), text);
    }
}

void type(ControlScene& s, std::string_view text) {
    for (char c : text) s.frame.keyDown(KeyEvent{Key::Character, static_cast<char32_t>(c)});
}

void erase(ControlScene& s, int count) {
    for (int i = 0; i < count; ++i) s.frame.keyDown(KeyEvent{Key::Backspace});
}

TEST(EditorNumberEntry, ClickTypesAValueDragTurnsIt) {
    ControlScene s;
    auto* entry = s.add(std::make_unique<QX_CNumberEntry>(kBox, 168, &s.listener, 0.0f, 100.0f, 0));
    s.click(kInside);
    ASSERT_EQ(s.frame.modal(), &entry->field());
    erase(s, 2);
    type(s, "75");
    s.frame.keyDown(KeyEvent{Key::Enter});
    EXPECT_EQ(s.frame.modal(), nullptr);
    EXPECT_FLOAT_EQ(entry->value(), 0.75f);
    EXPECT_EQ(entry->text(), "75");

    s.click(kInside);
    type(s, "9");
    s.frame.keyDown(KeyEvent{Key::Escape});
    EXPECT_FLOAT_EQ(entry->value(), 0.75f) << "a cancelled field changes nothing";

    s.drag(kInside, {kInside.x, kInside.y + 50});
    EXPECT_FLOAT_EQ(entry->value(), 0.5f);
    EXPECT_EQ(s.frame.modal(), nullptr) << "a drag opens no field";
    EXPECT_TRUE(s.listener.paired());
    EXPECT_EQ(s.listener.values(), (std::vector<float>{0.75f, 0.5f}));
}

TEST(EditorTextOnly, RightClickRenamesInPlace) {
    ControlScene s;
    auto* name = s.add(std::make_unique<QX_GUI_TextOnly>(kBox, 401, &s.listener));
    name->setText("Init");
    std::string renamed;
    name->setOnRename([&renamed](const std::string& text) { renamed = text; });
    s.click(kInside);
    EXPECT_EQ(s.frame.modal(), nullptr) << "a left click is the editor's";
    s.click(kInside, toolkit::MouseButton::Right);
    ASSERT_EQ(s.frame.modal(), &name->field());
    erase(s, 4);
    type(s, "Pad");
    s.click({300, 300});  // elsewhere: commits
    EXPECT_EQ(renamed, "Pad");
    EXPECT_EQ(name->text(), "Pad");
    EXPECT_EQ(s.frame.modal(), nullptr);
}

TEST(EditorTextEntry, ShowsTheSourceAndHandsBackAnEditedText) {
    ControlScene s;
    std::string stored = "Bank A";
    std::vector<std::string> collected;
    auto* field = s.add(std::make_unique<QX_CTextEntry>(kBox, 1, &s.listener));
    field->setSource([&stored] { return stored; });
    field->setCommitted([&collected](const std::string& text) { collected.push_back(text); });
    field->refresh();
    EXPECT_EQ(field->text(), "Bank A");
    s.click(kInside);
    s.frame.keyDown(KeyEvent{Key::Enter});
    EXPECT_TRUE(collected.empty()) << "nothing was edited";
    s.click(kInside);
    s.frame.keyDown(KeyEvent{Key::End});
    erase(s, 1);
    type(s, "B");
    s.frame.keyDown(KeyEvent{Key::Enter});
    EXPECT_EQ(collected, (std::vector<std::string>{"Bank B"}));
    stored = "Other";
    field->refresh();
    EXPECT_EQ(field->text(), "Other");
}

}  // namespace
