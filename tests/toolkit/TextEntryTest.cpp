// Text entry: editing keys, committing and cancelling, caret placement by click, and the
// listener's view of an edit.
#include "toolkit/TextEntry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Frame.h"

namespace toolkit {
namespace {

struct Recorder : ControlListener {
    void valueChanged(Control& c) override {
        events.push_back("changed " + static_cast<TextEntry&>(c).text());
    }
    void beginEdit(Control&) override { events.push_back("begin"); }
    void endEdit(Control&) override { events.push_back("end"); }
    std::vector<std::string> events;
};

struct EntryScene {
    Frame frame{200, 40};
    Recorder recorder;
    TextEntry* entry = nullptr;
    View* elsewhere = nullptr;

    explicit EntryScene(std::string text) {
        entry = frame.addView(std::make_unique<TextEntry>(Rect{10, 10, 150, 26}, 57, &recorder));
        entry->setText(std::move(text));
        elsewhere = frame.addView(std::make_unique<View>(Rect{160, 0, 200, 40}));
    }
    void clickAt(int x) {
        frame.mouseDown(MouseEvent{{x, 18}});
        frame.mouseUp(MouseEvent{{x, 18}});
    }
    void type(std::u32string_view keys) {
        for (char32_t c : keys) {
            frame.keyDown(KeyEvent{Key::Character, c});
        }
    }
    void press(Key key) { frame.keyDown(KeyEvent{key}); }
};

// Scripts: 'H' Home, 'E' End, '<' Left, '>' Right, 'B' Backspace, 'D' Delete; other
// characters are typed.
struct EditCase {
    const char* name;
    std::string initial;
    std::u32string script;
    std::string text;
    std::size_t caret;
};

class ToolkitTextEntryEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(ToolkitTextEntryEdit, KeysEditAtTheCaret) {
    const EditCase& c = GetParam();
    EntryScene s(c.initial);
    s.clickAt(149);  // past the text: caret at the end
    ASSERT_EQ(s.entry->caret(), c.initial.size());
    for (char32_t k : c.script) {
        switch (k) {
            case U'H': s.press(Key::Home); break;
            case U'E': s.press(Key::End); break;
            case U'<': s.press(Key::Left); break;
            case U'>': s.press(Key::Right); break;
            case U'B': s.press(Key::Backspace); break;
            case U'D': s.press(Key::Delete); break;
            default: s.type(std::u32string(1, k)); break;
        }
    }
    EXPECT_EQ(s.entry->text(), c.text);
    EXPECT_EQ(s.entry->caret(), c.caret);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolkitTextEntryEdit,
    ::testing::Values(
        EditCase{"TypeIntoEmpty", "", U"pad 1", "pad 1", 5},
        EditCase{"BackspaceInMiddle", "Lead", U"<<B", "Lad", 1},
        EditCase{"DeleteAtEndDoesNothing", "Bass", U"D", "Bass", 4},
        EditCase{"HomeThenType", "Keys", U"HOld ", "Old Keys", 4},
        EditCase{"DeleteAfterHome", "xPad", U"HD", "Pad", 0},
        EditCase{"BackspaceAtStartDoesNothing", "ab", U"HB<", "ab", 0},
        EditCase{"MultiByteStepsAsOne", "5\u00B0C", U"<<B", "\u00B0C", 0},
        EditCase{"TypedSymbol", "3", U"\u00D7" U"2", "3\u00D72", 4},
        EditCase{"ControlCharactersIgnored", "a", U"\t\x7F\x1B", "a", 1},
        EditCase{"RightStopsAtEnd", "ab", U"H>>>>", "ab", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitTextEntry, EnterCommitsOnceAndReleasesFocus) {
    EntryScene s("Init");
    s.clickAt(149);
    EXPECT_TRUE(s.entry->isEditingText());
    EXPECT_EQ(s.frame.focus(), s.entry);
    s.type(U"ial");
    s.press(Key::Enter);
    EXPECT_FALSE(s.entry->isEditingText());
    EXPECT_EQ(s.frame.focus(), nullptr);
    EXPECT_EQ(s.recorder.events, (std::vector<std::string>{"begin", "changed Initial", "end"}));
    EXPECT_FALSE(s.frame.keyDown(KeyEvent{Key::Character, U'x'})) << "keys no longer edit";
    EXPECT_EQ(s.entry->text(), "Initial");
}

TEST(ToolkitTextEntry, EscapeRestoresTheTextAndReportsNoChange) {
    EntryScene s("Init");
    s.clickAt(149);
    s.type(U"xyz");
    s.press(Key::Escape);
    EXPECT_EQ(s.entry->text(), "Init");
    EXPECT_EQ(s.frame.focus(), nullptr);
    EXPECT_EQ(s.recorder.events, (std::vector<std::string>{"begin", "end"}));
}

TEST(ToolkitTextEntry, ClickingElsewhereCommitsAndUnchangedTextIsNotReported) {
    EntryScene s("Init");
    s.clickAt(149);
    s.press(Key::Enter);  // nothing typed
    s.clickAt(149);
    s.type(U"!");
    s.frame.mouseDown(MouseEvent{{180, 20}});
    EXPECT_EQ(s.recorder.events,
              (std::vector<std::string>{"begin", "end", "begin", "changed Init!", "end"}));
}

TEST(ToolkitTextEntry, ClickPlacesTheCaretAtTheNearestCharacterBoundary) {
    EntryScene s("Filter Env");
    const Font font = Font::nearest(11);
    const int textLeft = 10 + 3;
    const std::string text = "Filter Env";
    for (std::size_t n = 0; n <= text.size(); ++n) {
        const int edge = textLeft + font.textWidth(std::string_view(text).substr(0, n));
        s.clickAt(edge);
        EXPECT_EQ(s.entry->caret(), n) << "clicked on boundary " << n;
    }
}

TEST(ToolkitTextEntry, LengthLimitAndProgramSideText) {
    EntryScene s("");
    s.entry->setMaxBytes(4);
    s.clickAt(149);
    s.type(U"abc\u00B0d");  // the degree sign needs two bytes: only one left
    EXPECT_EQ(s.entry->text(), "abcd");
    s.entry->setText("Preset 12");  // a program change while typing ends the edit unsaved
    EXPECT_FALSE(s.entry->isEditingText());
    EXPECT_EQ(s.frame.focus(), nullptr);
    EXPECT_EQ(s.recorder.events, (std::vector<std::string>{"begin", "end"}));
}

}  // namespace
}  // namespace toolkit
