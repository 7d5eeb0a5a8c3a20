// The preset name chooses programs, driven through the real plug-in while it plays: a click opens
// the list of every program, a choice selects that program without telling the host's automation,
// and the name follows once the program is in.
#include <gtest/gtest.h>

#include <string>

#include "editor/QX_GUI_Editor.h"
#include "editor/QX_GUI_TextOnly.h"
#include "engine/QX_EngineHost.h"
#include "host/QX_DSP_VST.h"
#include "support/PluginPlayer.h"
#include "toolkit/Frame.h"
#include "toolkit/PopupMenu.h"

namespace {

using namespace vst;

constexpr int kPrograms = 128;
// Long enough for the fade out, the program and the fade back in (21 ms each way at 44.1 kHz).
constexpr std::int64_t kSettleFrames = 8192;

toolkit::Point centreOf(const toolkit::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class EditorPresetMenuBase {
protected:
    void openPlaying() {
        player.start();
        player.renderUntil(player.blockSize);
        ASSERT_EQ(player.host.dispatch(effEditOpen), 1);
        preset = dynamic_cast<QX_GUI_TextOnly*>(editor().control(kParamPresetName));
        ASSERT_NE(preset, nullptr);
    }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(pluginOf(player.host.effect).getEditor()); }
    toolkit::Frame& frame() { return *editor().frame(); }
    int program() { return static_cast<int>(player.host.dispatch(effGetProgram)); }
    std::string nameShownFor(int number) {
        const std::string digits = std::to_string(number + 1);
        return std::string(3 - digits.size(), '0') + digits + " " + player.host.text(effGetProgramNameIndexed, number);
    }
    void click(toolkit::Point p) {
        frame().mouseDown(toolkit::MouseEvent(p));
        frame().mouseUp(toolkit::MouseEvent(p));
    }
    toolkit::PopupMenu* clickName() {
        click(centreOf(preset->frameRect()));
        return dynamic_cast<toolkit::PopupMenu*>(frame().modal());
    }
    void settle() {
        player.renderUntil(player.rendered() + kSettleFrames);
        player.host.dispatch(effEditIdle);
    }
    bool heardPresetAutomation() const {
        for (const auto& automation : player.host.automations) {
            if (automation.index == kParamPresetName) return true;
        }
        return false;
    }

    PluginPlayer player;
    QX_GUI_TextOnly* preset = nullptr;
};

struct Choice {
    const char* name;
    int from;
    int to;
};

class EditorPresetMenu : public EditorPresetMenuBase, public ::testing::TestWithParam<Choice> {};

TEST_P(EditorPresetMenu, AChoiceSelectsThatProgram) {
    const Choice& c = GetParam();
    openPlaying();
    player.host.dispatch(effSetProgram, 0, c.from);
    settle();
    ASSERT_EQ(program(), c.from);
    player.host.automations.clear();

    toolkit::PopupMenu* menu = clickName();
    ASSERT_NE(menu, nullptr) << "a left click on the name opens the program list";
    ASSERT_EQ(menu->items().size(), static_cast<std::size_t>(kPrograms));
    for (int i = 0; i < kPrograms; ++i) {
        EXPECT_EQ(menu->items()[i].text, nameShownFor(i));
        EXPECT_EQ(menu->items()[i].checked, i == c.from) << i;
    }
    const toolkit::Rect item = menu->itemRect(c.to);
    EXPECT_TRUE(frame().rect().contains(item)) << "every program can be reached";
    click(centreOf(item));
    EXPECT_EQ(frame().modal(), nullptr);
    settle();

    EXPECT_EQ(program(), c.to);
    EXPECT_EQ(preset->text(), nameShownFor(c.to));
    EXPECT_EQ(preset->currentProgram(), c.to);
    EXPECT_FALSE(heardPresetAutomation());
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorPresetMenu,
                         ::testing::Values(Choice{"Next", 0, 1}, Choice{"Middle", 0, 63}, Choice{"Last", 0, 127},
                                           Choice{"BackToFirst", 9, 0}, Choice{"Same", 5, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

class EditorPresetMenuGestures : public EditorPresetMenuBase, public ::testing::Test {};

// Escape or a click beside the list closes it and leaves the program as it was.
TEST_F(EditorPresetMenuGestures, CancellingChangesNothing) {
    openPlaying();
    player.host.dispatch(effSetProgram, 0, 3);
    settle();
    const std::string shown = preset->text();
    player.host.automations.clear();
    for (const bool byKey : {true, false}) {
        toolkit::PopupMenu* menu = clickName();
        ASSERT_NE(menu, nullptr);
        if (byKey) {
            frame().keyDown(toolkit::KeyEvent(toolkit::Key::Escape));
        } else {
            const toolkit::Rect list = menu->frameRect();
            const toolkit::Rect whole = frame().rect();
            toolkit::Point beside{whole.left, whole.bottom - 1};
            if (list.contains(beside)) beside = {whole.right - 1, whole.bottom - 1};
            ASSERT_FALSE(list.contains(beside)) << "room beside the list for the click";
            click(beside);
        }
        EXPECT_EQ(frame().modal(), nullptr);
        settle();
        EXPECT_EQ(program(), 3);
        EXPECT_EQ(preset->text(), shown);
    }
    EXPECT_TRUE(player.host.automations.empty());
}

// The wheel steps like "Preset Up" and "Preset Down", without wrapping at the ends.
TEST_F(EditorPresetMenuGestures, TheWheelStepsPrograms) {
    openPlaying();
    const toolkit::MouseEvent over(centreOf(preset->frameRect()));
    frame().wheel(over, -1.0f);
    settle();
    EXPECT_EQ(program(), 0);
    frame().wheel(over, 1.0f);
    settle();
    EXPECT_EQ(program(), 1);
    EXPECT_EQ(preset->text(), nameShownFor(1));
    player.host.dispatch(effSetProgram, 0, kPrograms - 1);
    settle();
    frame().wheel(over, 1.0f);
    settle();
    EXPECT_EQ(program(), kPrograms - 1);
    EXPECT_FALSE(heardPresetAutomation());
}

}  // namespace
