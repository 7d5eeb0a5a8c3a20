// The editor driven through the real plug-in as a host drives it, headless: effEditOpen with no
// parent window, effEditIdle for the idle pass.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include "editor/EditorPicture.h"
#include "editor/MidiLearnTargetVst.h"
#include "editor/QX_AssignMidiCC.h"
#include "editor/QX_CTextEntry.h"
#include "editor/QX_GUI_TextOnly.h"
#include "editor/QX_GlobalNameDisplay.h"
#include "editor/QX_GlobalNumberDisplay.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "params/ControlTable.h"
#include "params/ParameterLookups.h"
#include "support/TestHost.h"
#include "toolkit/Control.h"
#include "toolkit/Frame.h"
#include "toolkit/PopupMenu.h"

namespace {

using namespace vst;

constexpr int kOscRandomise = 212;
constexpr int kOscRandomiseMembers[] = {64, 65, 73, 66, 71};
constexpr int kLfoTabs[] = {355, 356, 357};
constexpr int kLfoPanels[] = {4, 5, 6};
constexpr int kLogicPanel = 1;
constexpr int kOscMode = 66;
constexpr int kPresetUp = 392;

int tagOf(const ControlDescriptor& row) { return static_cast<int>(row.id & control::kIdMask); }

// Rows the editor shows as a control of their own.
bool makesControl(const ControlDescriptor& row) {
    const unsigned kind = row.kind;
    return kind < control::kFirstDirectiveKind && kind != control::kFloatStore && kind != control::kTextEntry &&
           kind != control::kDataStore512Kind && kind != control::kDataStore2048Kind &&
           !(kind >= control::kMemoryBanks && kind <= control::kWebLinks) && kind != control::kAssignMidiCC &&
           kind != control::kButtonHub;  // the hub shows itself through its member buttons
}

class EditorHeadless : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }

    QX_DSP_VST& plugin() { return pluginOf(host.effect); }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(plugin().getEditor()); }
    void open() { ASSERT_EQ(host.dispatch(effEditOpen), 1); }
    void idle() { host.dispatch(effEditIdle); }
    void close() { host.dispatch(effEditClose); }
    toolkit::Control& shown(int tag) {
        toolkit::Control* control = editor().control(tag);
        EXPECT_NE(control, nullptr) << "no control for tag " << tag;
        static toolkit::Control none(toolkit::Rect{}, -1);
        return control != nullptr ? *control : none;
    }
    // A user gesture: press and release, as a button sends them.
    void press(int tag) {
        shown(tag).changeValue(1.0f);
        shown(tag).changeValue(0.0f);
    }
    float snapped(int id, float value) { return ParameterLookups::get().snap(id, value); }

    TestHost host;
};

TEST_F(EditorHeadless, AnswersTheBackgroundRectangle) {
    EXPECT_NE(host.effect->flags & effFlagsHasEditor, 0);
    ERect* rect = nullptr;
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 701);
    EXPECT_EQ(rect->right, 991);
}

// Every row the table shows is a control inside the window, reachable by opening the panels it
// sits in; within one container no two controls share a pixel.
TEST_F(EditorHeadless, EveryShownParameterHasAControlAndNoneOverlap) {
    open();
    const toolkit::Frame* frame = editor().frame();
    ASSERT_NE(frame, nullptr);
    std::set<int> expected;
    for (const ControlDescriptor& row : controlTable().subspan(1)) {
        if (row.kind == control::kEndOfTable) {
            break;
        }
        if (makesControl(row)) {
            expected.insert(tagOf(row));
        }
    }
    for (int id = 6; id <= 241; ++id) {
        if (id != 207) {
            EXPECT_TRUE(expected.contains(id) || editor().control(id) != nullptr)
                << "host parameter " << id << " is not shown";
        }
    }
    for (const int tag : expected) {
        toolkit::Control& control = shown(tag);
        if (control.tag() != tag) {
            continue;
        }
        EXPECT_EQ(control.frame(), frame) << tag;
        EXPECT_FALSE(control.rect().empty()) << tag;
        EXPECT_TRUE(frame->rect().contains(control.frameRect())) << tag;
        for (toolkit::ContainerView* c = control.parent(); c != nullptr; c = c->parent()) {
            c->open();
        }
        EXPECT_TRUE(control.isShown()) << tag;
        EXPECT_FALSE(control.tooltip().empty()) << tag;
    }
    EXPECT_EQ(shown(kParamPresetName).tooltip(), "Preset Selection\nRight Click To Change Preset Name");
    EXPECT_EQ(shown(kOscMode).tooltip(), "Osc Mode");
    std::vector<const toolkit::ContainerView*> containers{frame};
    for (std::size_t i = 0; i < containers.size(); ++i) {
        std::vector<toolkit::Rect> rects;
        std::vector<int> tags;
        for (const auto& child : containers[i]->children()) {
            if (const auto* inner = dynamic_cast<const toolkit::ContainerView*>(child.get())) {
                containers.push_back(inner);
            } else if (const auto* control = dynamic_cast<const toolkit::Control*>(child.get())) {
                rects.push_back(control->rect());  // a knob's rectangle holds its caption
                tags.push_back(control->tag());
            }
        }
        for (std::size_t a = 0; a < rects.size(); ++a) {
            for (std::size_t b = a + 1; b < rects.size(); ++b) {
                EXPECT_FALSE(rects[a].intersects(rects[b])) << "tags " << tags[a] << " and " << tags[b] << " overlap";
            }
        }
    }
}

TEST_F(EditorHeadless, OpeningShowsTheProgramWithoutAutomation) {
    host.effect->setParameter(host.effect, 83, 0.25f);  // while closed
    host.automations.clear();
    open();
    idle();
    EXPECT_TRUE(host.automations.empty());
    EXPECT_FLOAT_EQ(shown(83).value(), 0.25f);
    EXPECT_FLOAT_EQ(shown(kOscMode).value(), plugin().getParameter(kOscMode));
    // Changed while closed, then shown at the next open.
    close();
    EXPECT_EQ(editor().frame(), nullptr);
    host.effect->setParameter(host.effect, 83, 0.75f);
    host.effect->setParameter(host.effect, 120, 0.4f);  // "Play Mode" snaps to "Legato"
    open();
    EXPECT_FLOAT_EQ(shown(83).value(), 0.75f);
    EXPECT_FLOAT_EQ(shown(120).value(), 0.5f);
    EXPECT_TRUE(host.automations.empty());
}

TEST_F(EditorHeadless, HostChangesWhileOpenShowAtTheNextIdle) {
    open();
    host.effect->setParameter(host.effect, 84, 0.6f);
    EXPECT_NE(shown(84).value(), 0.6f);  // views change on the thread that owns them only
    idle();
    EXPECT_FLOAT_EQ(shown(84).value(), 0.6f);
}

TEST_F(EditorHeadless, AGestureReachesTheProgramAndTheHost) {
    open();
    host.automations.clear();
    shown(83).changeValue(0.3f);
    EXPECT_FLOAT_EQ(plugin().getParameter(83), 0.3f);
    ASSERT_EQ(host.automations.size(), 1u);
    EXPECT_EQ(host.automations[0].index, 83);
    EXPECT_FLOAT_EQ(host.automations[0].value, 0.3f);
    // Editor-only controls reach the plug-in but never the host's automation.
    shown(kLfoTabs[1]).changeValue(1.0f);
    press(kPresetUp);
    for (const auto& automation : host.automations) {
        EXPECT_LT(automation.index, control::kHostParameterCount);
    }
}

// The read-outs name the control touched last and print its shown value, through its curve.
TEST_F(EditorHeadless, ReadOutsFollowTheControlTouchedLast) {
    open();
    shown(72).changeValue(0.5f);  // "Portamento (ms)" 0..1000 on curve 3: 250 at the middle
    auto* name = dynamic_cast<QX_GlobalNameDisplay*>(editor().control(386));
    auto* number = dynamic_cast<QX_GlobalNumberDisplay*>(editor().control(387));
    ASSERT_NE(name, nullptr);
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(name->text(), "Portamento (ms)");
    EXPECT_EQ(number->text(), "250.000");
}

// The preset read-out shows the current program and follows program changes; renaming it
// renames the program.
TEST_F(EditorHeadless, PresetNameFollowsTheProgramAndRenamesIt) {
    open();
    auto* preset = dynamic_cast<QX_GUI_TextOnly*>(editor().control(kParamPresetName));
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->text(), "001 " + host.text(effGetProgramName));
    host.dispatch(effSetProgram, 0, 5);
    idle();
    EXPECT_EQ(preset->text(), "006 " + host.text(effGetProgramName));
    char renamed[] = "Glass Stack";
    host.dispatch(effSetProgramName, 0, 0, renamed);
    idle();
    EXPECT_EQ(preset->text(), "006 Glass Stack");
}

// The program's notes show in their fields, follow program changes and take edits.
TEST_F(EditorHeadless, ProgramTextsShowAndTakeEdits) {
    constexpr int kText1 = 1;
    plugin().setProgramText("first notes", kText1);
    open();
    auto* field = dynamic_cast<QX_CTextEntry*>(editor().control(kText1));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), "first notes");
    host.dispatch(effSetProgram, 0, 2);
    plugin().setProgramText("third notes", kText1);
    host.dispatch(effSetProgram, 0, 2);
    idle();
    EXPECT_EQ(field->text(), "third notes");
    const toolkit::Rect box = field->frameRect();
    for (toolkit::ContainerView* c = field->parent(); c != nullptr; c = c->parent()) {
        c->open();
    }
    editor().frame()->mouseDown(toolkit::MouseEvent(toolkit::Point{box.left + 2, box.top + 2}));
    editor().frame()->mouseUp(toolkit::MouseEvent(toolkit::Point{box.left + 2, box.top + 2}));
    editor().frame()->keyDown(toolkit::KeyEvent(toolkit::Key::End));
    editor().frame()->keyDown(toolkit::KeyEvent(toolkit::Key::Character, U'!'));
    editor().frame()->keyDown(toolkit::KeyEvent(toolkit::Key::Enter));
    char text[kTextSlotBytes];
    plugin().getProgramText(text, kText1);
    EXPECT_STREQ(text, "third notes!");
}

TEST_F(EditorHeadless, TabsShowOnePanelOfTheirSet) {
    open();
    EXPECT_TRUE(editor().isPanelOpen(kLfoPanels[0]));  // selected at every open
    EXPECT_FALSE(editor().isPanelOpen(kLfoPanels[1]));
    shown(kLfoTabs[2]).changeValue(1.0f);
    EXPECT_FLOAT_EQ(shown(kLfoTabs[0]).value(), 0.0f);
    EXPECT_FALSE(editor().isPanelOpen(kLfoPanels[0]));
    EXPECT_TRUE(editor().isPanelOpen(kLfoPanels[2]));
    // Clicking the tab on show keeps it.
    const toolkit::Point centre{(shown(kLfoTabs[2]).frameRect().left + shown(kLfoTabs[2]).frameRect().right) / 2,
                                (shown(kLfoTabs[2]).frameRect().top + shown(kLfoTabs[2]).frameRect().bottom) / 2};
    editor().frame()->mouseDown(toolkit::MouseEvent(centre));
    editor().frame()->mouseUp(toolkit::MouseEvent(centre));
    EXPECT_TRUE(editor().isPanelOpen(kLfoPanels[2]));
    EXPECT_FLOAT_EQ(shown(kLfoTabs[2]).value(), 1.0f);
    // Every open starts on the first tab again.
    close();
    open();
    EXPECT_TRUE(editor().isPanelOpen(kLfoPanels[0]));
    EXPECT_FALSE(editor().isPanelOpen(kLfoPanels[2]));
}

TEST_F(EditorHeadless, CreditsOpenAndCloseFromTheirButtons) {
    constexpr int kCreditsButton = 394;
    constexpr int kCloseButton = 395;
    constexpr int kCreditsPanel = 9;
    open();
    EXPECT_FALSE(editor().isPanelOpen(kCreditsPanel));
    press(kCreditsButton);
    EXPECT_TRUE(editor().isPanelOpen(kCreditsPanel));
    EXPECT_TRUE(shown(kCloseButton).isShown());
    press(kCloseButton);
    EXPECT_FALSE(editor().isPanelOpen(kCreditsPanel));
}

// The melt tabs choose the melt system of the program and show its panel.
TEST_F(EditorHeadless, MeltTabsChooseTheMeltSystem) {
    constexpr int kMeltSystem = 223;
    constexpr int kMeltB = 353;
    constexpr int kMeltPanels[] = {7, 8};
    open();
    EXPECT_TRUE(editor().isPanelOpen(kMeltPanels[0]));
    const toolkit::Rect tab = shown(kMeltB).frameRect();
    const toolkit::Point centre{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    editor().frame()->mouseDown(toolkit::MouseEvent(centre));
    editor().frame()->mouseUp(toolkit::MouseEvent(centre));
    // The hub relights its buttons in one idle pass, the panels follow them in the next.
    idle();
    idle();
    EXPECT_FLOAT_EQ(plugin().getParameter(kMeltSystem), 1.0f);
    EXPECT_FALSE(editor().isPanelOpen(kMeltPanels[0]));
    EXPECT_TRUE(editor().isPanelOpen(kMeltPanels[1]));
    // A program with system A shows panel A again.
    host.effect->setParameter(host.effect, kMeltSystem, 0.0f);
    idle();
    idle();
    EXPECT_TRUE(editor().isPanelOpen(kMeltPanels[0]));
    EXPECT_FALSE(editor().isPanelOpen(kMeltPanels[1]));
}

// The logic controls are there only for the logic modes of "Osc Mode".
TEST_F(EditorHeadless, OscModeOpensTheLogicPanelForLogicModes) {
    open();
    const int items = ParameterLookups::get().optionCount(kOscMode);
    for (int item = 0; item < items; ++item) {
        host.effect->setParameter(host.effect, kOscMode, static_cast<float>(item) / static_cast<float>(items - 1));
        idle();
        EXPECT_EQ(editor().isPanelOpen(kLogicPanel), item >= 1 && item <= 3) << "item " << item;
    }
}

TEST_F(EditorHeadless, RandomiseDrawsEachMemberFromTheSharedGenerator) {
    open();
    SharedRandom expected = plugin().sharedRandom;
    host.automations.clear();
    press(kOscRandomise);
    std::vector<int> heard;
    for (const auto& automation : host.automations) {
        heard.push_back(automation.index);
    }
    EXPECT_EQ(heard, std::vector<int>(std::begin(kOscRandomiseMembers), std::end(kOscRandomiseMembers)));
    for (const int member : kOscRandomiseMembers) {
        EXPECT_FLOAT_EQ(plugin().getParameter(member), snapped(member, expected.next(1.0f))) << member;
    }
    // Pressed again: fresh values.
    press(kOscRandomise);
    EXPECT_FLOAT_EQ(plugin().getParameter(kOscRandomiseMembers[0]),
                    snapped(kOscRandomiseMembers[0], [&] {
                        float first = expected.next(1.0f);
                        for (std::size_t i = 1; i < std::size(kOscRandomiseMembers); ++i) {
                            expected.next(1.0f);
                        }
                        return first;
                    }()));
}

TEST_F(EditorHeadless, ButtonsSendTheirProgramCommands) {
    open();
    ASSERT_EQ(plugin().getProgram(), 0);
    press(kPresetUp);
    EXPECT_EQ(plugin().getProgram(), 1);
}

// The bank button opens the bank menu inside the editor; Escape closes it without a command.
TEST_F(EditorHeadless, TheBankButtonOpensTheBankMenu) {
    open();
    constexpr int kBankButton = 400;
    const toolkit::Rect button = shown(kBankButton).frameRect();
    const toolkit::Point centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    editor().frame()->mouseDown(toolkit::MouseEvent(centre));
    idle();
    EXPECT_EQ(editor().frame()->modal(), nullptr) << "the menu waits for the button's release";
    editor().frame()->mouseUp(toolkit::MouseEvent(centre));
    idle();
    auto* menu = dynamic_cast<toolkit::PopupMenu*>(editor().frame()->modal());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(shown(kBankButton).value(), 0.0f) << "the button is up";
    std::vector<std::string> texts;
    for (const auto& item : menu->items()) {
        texts.push_back(item.separator ? "-" : item.text);
    }
    const std::vector<std::string> expected = {"Bank and Midi:CC Options", "Load Bank", "Save Bank", "-",
                                               "Load Midi CC Map", "Save Midi CC Map", "Exit"};
    EXPECT_EQ(texts, expected);
    EXPECT_FALSE(menu->items()[0].enabled);
    editor().frame()->keyDown(toolkit::KeyEvent(toolkit::Key::Escape));
    EXPECT_EQ(editor().frame()->modal(), nullptr);
}

// Values arrive from other threads while the idle pass runs; the last one of each is shown.
TEST_F(EditorHeadless, ValuesFromOtherThreadsArriveWhole) {
    open();
    constexpr int kRounds = 2000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i <= kRounds; ++i) {
            host.effect->setParameter(host.effect, 83, static_cast<float>(i) / kRounds);
            host.effect->setParameter(host.effect, 84, 1.0f - static_cast<float>(i) / kRounds);
        }
        done = true;
    });
    while (!done) {
        idle();
    }
    writer.join();
    idle();
    EXPECT_FLOAT_EQ(shown(83).value(), 1.0f);
    EXPECT_FLOAT_EQ(shown(84).value(), 0.0f);
}

// The picture call draws the editor of the current program without opening it for the host.
TEST_F(EditorHeadless, RightClickOnAKnobLearnsItsController) {
    constexpr int kCutoff = 83;
    open();
    toolkit::Frame& frame = *editor().frame();
    const toolkit::Point dial = shown(kCutoff).frameRect().topLeft() + toolkit::Point{20, 20};
    frame.mouseDown(toolkit::MouseEvent(dial, toolkit::MouseButton::Right));
    frame.mouseUp(toolkit::MouseEvent(dial, toolkit::MouseButton::Right));
    QX_AssignMidiCC& panel = *editor().learnPanel();
    ASSERT_TRUE(panel.isShown());
    EXPECT_EQ(panel.parameterId(), kCutoff);
    EXPECT_TRUE(frame.rect().contains(panel.frameRect()));
    EXPECT_TRUE(panel.frameRect().contains(dial));

    plugin().lastController = 74;  // a controller moved on the keyboard
    idle();
    EXPECT_EQ(panel.pendingCode(), 74);
    const toolkit::Point confirm = QX_AssignMidiCC::kConfirmArea.offset(panel.frameRect().topLeft()).topLeft() +
                                   toolkit::Point{5, 5};
    frame.mouseDown(toolkit::MouseEvent(confirm));
    frame.mouseUp(toolkit::MouseEvent(confirm));
    EXPECT_FALSE(panel.isShown());
    EXPECT_EQ(MidiLearnTargetVst(plugin()).assignedCode(kCutoff), 74);
    close();
}

TEST_F(EditorHeadless, DrawsItsPictureForATool) {
    EditorPicture picture;
    EXPECT_EQ(host.dispatch(effVendorSpecific, EditorPicture::kCall, 0, &picture), 0);  // no buffer yet
    ASSERT_EQ(picture.width, 991);
    ASSERT_EQ(picture.height, 701);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(picture.width * picture.height * 4));
    picture.rgba = pixels.data();
    picture.capacity = static_cast<std::int64_t>(pixels.size());
    EXPECT_EQ(host.dispatch(effVendorSpecific, EditorPicture::kCall, 0, &picture), 1);
    EXPECT_FALSE(editor().isOpen());
    for (std::size_t i = 3; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i], 255) << "pixel " << i / 4 << " is not opaque";
    }
    EXPECT_TRUE(host.automations.empty());
    EXPECT_EQ(host.dispatch(effVendorSpecific, EditorPicture::kCall + 1, 0, &picture), 0);
}

TEST_F(EditorHeadless, OpensAndClosesManyTimes) {
    for (int i = 0; i < 100; ++i) {
        open();
        if (i % 2 == 0) open();  // a second open replaces the first
        idle();
        close();
        close();
        ASSERT_EQ(editor().frame(), nullptr);
    }
}

}  // namespace
