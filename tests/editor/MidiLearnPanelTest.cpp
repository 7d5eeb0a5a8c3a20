// The MIDI-learn panel: where it opens, what it learns and shows, what its menu and confirm
// area assign, what it ignores; the right-click request from the parameter controls; and one
// assignment through the plug-in's own controller map.
#include "editor/QX_AssignMidiCC.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>

#include "editor/ControlScene.h"
#include "editor/EditorLayout.h"
#include "editor/MidiLearnRequests.h"
#include "editor/MidiLearnTargetVst.h"
#include "editor/QX_COnOffButton.h"
#include "editor/QX_HV_Slider.h"
#include "editor/QX_Knob.h"
#include "editor/QX_Rotate_Knob.h"
#include "host/QX_DSP_VST.h"
#include "params/ProgramMemory.h"
#include "support/TestHost.h"
#include "toolkit/Frame.h"

namespace {

using toolkit::Point;
using toolkit::Rect;

constexpr int kParameter = 53;
constexpr int kPanelWidth = layout::kLearnPanel.width;
constexpr int kPanelHeight = layout::kLearnPanel.height;

class FakeTarget : public MidiLearnTarget {
public:
    int assignedCode(int id) override { return codes.contains(id) ? codes[id] : -1; }
    void assign(int id, int code) override {
        codes[id] = code;
        assignments.emplace_back(id, code);
    }
    int lastController() override { return last; }
    void clearLastController() override { last = -1; }
    std::string_view parameterName(int) override { return name; }

    std::string name = "Filter Cutoff";
    std::map<int, int> codes;
    std::vector<std::pair<int, int>> assignments;
    int last = -1;
};

Point centreOf(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct PanelScene {
    PanelScene() {
        panel = frame.addView(std::make_unique<QX_AssignMidiCC>(target, nullptr));
        frame.redraw();
    }
    void open(int code, Point at = {400, 300}) { panel->openFor(kParameter, code, at, frame.rect()); }
    Point inPanel(const Rect& area) const { return centreOf(area.offset(panel->rect().topLeft())); }
    void click(Point p, toolkit::MouseButton button = toolkit::MouseButton::Left) {
        frame.mouseDown(toolkit::MouseEvent{p, button});
        frame.mouseUp(toolkit::MouseEvent{p, button});
    }
    void chooseMenuItem(int item) { click(centreOf(panel->menu().itemRect(item))); }

    toolkit::Frame frame{layout::kEditorWidth, layout::kEditorHeight};
    FakeTarget target;
    QX_AssignMidiCC* panel = nullptr;
};

struct Placement {
    const char* name;
    Point clicked;
    Point topLeft;
};

class EditorMidiLearnPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(EditorMidiLearnPlacement, OpensCentredOnTheClickAndInsideTheEditor) {
    const Placement& c = GetParam();
    PanelScene s;
    s.target.last = 12;
    ASSERT_FALSE(s.panel->isVisible());
    s.panel->openFor(kParameter, 7, c.clicked, s.frame.rect());
    EXPECT_EQ(s.panel->rect(), Rect::fromSize(c.topLeft.x, c.topLeft.y, kPanelWidth, kPanelHeight));
    EXPECT_TRUE(s.frame.rect().contains(s.panel->rect()));
    EXPECT_TRUE(s.panel->isShown());
    EXPECT_EQ(s.panel->parameterId(), kParameter);
    EXPECT_EQ(s.panel->pendingCode(), 7);
    EXPECT_EQ(s.target.last, -1) << "a controller moved before opening is not learnt";
}

constexpr int kRightmost = layout::kEditorWidth - kPanelWidth;
constexpr int kLowest = layout::kEditorHeight - kPanelHeight;

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorMidiLearnPlacement,
    ::testing::Values(Placement{"Centre", {495, 350}, {495 - kPanelWidth / 2, 350 - kPanelHeight / 2}},
                      Placement{"TopLeft", {4, 6}, {0, 0}},
                      Placement{"TopRight", {985, 30}, {kRightmost, 0}},
                      Placement{"BottomLeft", {12, 698}, {0, kLowest}},
                      Placement{"BottomRight", {990, 700}, {kRightmost, kLowest}},
                      Placement{"BottomEdge", {400, 690}, {400 - kPanelWidth / 2, kLowest}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditorMidiLearnPanel, CodeFieldTexts) {
    struct Case {
        int code;
        const char* text;
    };
    for (const Case c : {Case{-1, " None "}, Case{0, "CC: 0"}, Case{74, "CC: 74"}, Case{127, "CC: 127"},
                         Case{200, "nrpn: 0"}, Case{205, "nrpn: 5"}, Case{16583, "nrpn: 16383"}}) {
        EXPECT_EQ(QX_AssignMidiCC::codeText(c.code), c.text) << c.code;
    }
}

TEST(EditorMidiLearnPanel, LearnsTheControllerThatMovesAndRedrawsItsCodeField) {
    PanelScene s;
    s.open(-1);
    s.frame.idle();
    EXPECT_EQ(s.panel->pendingCode(), -1) << "nothing moved yet";

    s.target.last = 74;
    const std::vector<Rect> redrawn = s.frame.idle();
    EXPECT_EQ(QX_AssignMidiCC::codeText(s.panel->pendingCode()), "CC: 74");
    const Rect field = QX_AssignMidiCC::kCodeField.offset(s.panel->rect().topLeft());
    EXPECT_TRUE(std::any_of(redrawn.begin(), redrawn.end(), [&](const Rect& r) { return r.contains(field); }));

    s.target.last = 205;
    s.frame.idle();
    EXPECT_EQ(QX_AssignMidiCC::codeText(s.panel->pendingCode()), "nrpn: 5");
    EXPECT_TRUE(s.target.assignments.empty()) << "learning alone assigns nothing";

    s.click(s.inPanel(QX_AssignMidiCC::kConfirmArea));
    s.target.last = 9;
    s.frame.idle();
    EXPECT_EQ(s.panel->pendingCode(), 205) << "a closed panel learns nothing";
}

// The pixels of one area of the panel as drawn.
std::vector<toolkit::Pixel> drawnArea(PanelScene& s, const Rect& area) {
    s.frame.redraw();
    const Rect r = area.offset(s.panel->rect().topLeft());
    std::vector<toolkit::Pixel> pixels;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) pixels.push_back(s.frame.framebuffer().at(x, y));
    }
    return pixels;
}

TEST(EditorMidiLearnPanel, DrawsTheParameterNameAndTheCode) {
    PanelScene cutoff;
    PanelScene volume;
    volume.target.name = "Master Volume";
    cutoff.open(74);
    volume.open(74);
    EXPECT_NE(drawnArea(cutoff, QX_AssignMidiCC::kTitleArea), drawnArea(volume, QX_AssignMidiCC::kTitleArea));
    EXPECT_EQ(drawnArea(cutoff, QX_AssignMidiCC::kCodeField), drawnArea(volume, QX_AssignMidiCC::kCodeField));
    volume.target.last = 205;
    volume.frame.idle();
    EXPECT_NE(drawnArea(cutoff, QX_AssignMidiCC::kCodeField), drawnArea(volume, QX_AssignMidiCC::kCodeField));
}

struct MenuChoice {
    const char* name;
    int openedWith;
    int item;
    int assigned;
};

class EditorMidiLearnMenu : public ::testing::TestWithParam<MenuChoice> {};

TEST_P(EditorMidiLearnMenu, ChoiceThenConfirmAssignsAndCloses) {
    const MenuChoice& c = GetParam();
    PanelScene s;
    s.open(c.openedWith);
    s.target.last = 33;
    s.click(s.inPanel(QX_AssignMidiCC::kCodeField));
    ASSERT_TRUE(s.panel->menu().isOpen());
    EXPECT_EQ(s.target.last, -1);
    const auto& items = s.panel->menu().items();
    ASSERT_EQ(items.size(), 129u);
    EXPECT_EQ(items[0].text, "None");
    EXPECT_EQ(items[1].text, "CC 0");
    EXPECT_EQ(items[128].text, "CC 127");
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].checked, static_cast<int>(i) == c.openedWith + 1) << "item " << i;
        // Every controller must be reachable inside the editor, however long the list.
        EXPECT_TRUE(s.frame.rect().contains(s.panel->menu().itemRect(static_cast<int>(i)))) << "item " << i;
    }

    s.chooseMenuItem(c.item);
    ASSERT_FALSE(s.panel->menu().isOpen());
    EXPECT_EQ(s.panel->pendingCode(), c.assigned);
    EXPECT_TRUE(s.target.assignments.empty());

    s.click(s.inPanel(QX_AssignMidiCC::kConfirmArea));
    EXPECT_EQ(s.target.assignments, (std::vector<std::pair<int, int>>{{kParameter, c.assigned}}));
    EXPECT_FALSE(s.panel->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorMidiLearnMenu,
                         ::testing::Values(MenuChoice{"NoneToCc5", -1, 6, 5}, MenuChoice{"Cc74ToNone", 74, 0, -1},
                                           MenuChoice{"Cc0ToCc1", 0, 2, 1},
                                           MenuChoice{"NoneToCc127", -1, 128, 127}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditorMidiLearnPanel, DismissedMenuKeepsTheCode) {
    PanelScene s;
    s.open(21);
    s.click(s.inPanel(QX_AssignMidiCC::kCodeField));
    ASSERT_TRUE(s.panel->menu().isOpen());
    s.frame.keyDown(toolkit::KeyEvent{toolkit::Key::Escape});
    EXPECT_FALSE(s.panel->menu().isOpen());
    EXPECT_EQ(s.panel->pendingCode(), 21);
    EXPECT_TRUE(s.panel->isVisible());
}

TEST(EditorMidiLearnPanel, RightClicksAndClicksOutsideTheAreasDoNothing) {
    PanelScene s;
    s.open(40);
    const Point body = s.inPanel(Rect::fromSize(20, 130, 60, 30));  // left of the confirm area
    const Point title = s.inPanel(QX_AssignMidiCC::kTitleArea);
    const Point field = s.inPanel(QX_AssignMidiCC::kCodeField);
    const Point confirm = s.inPanel(QX_AssignMidiCC::kConfirmArea);
    for (const Point p : {body, title}) s.click(p);
    for (const Point p : {field, confirm}) s.click(p, toolkit::MouseButton::Right);
    EXPECT_FALSE(s.panel->menu().isOpen());
    EXPECT_EQ(s.frame.modal(), nullptr);
    EXPECT_TRUE(s.target.assignments.empty());
    EXPECT_TRUE(s.panel->isVisible());
    EXPECT_EQ(s.panel->pendingCode(), 40);
}

// A listener that records values and learn requests, as the editor would receive them.
class LearnListener : public editor_test::RecordingListener, public MidiLearnRequests {
public:
    void learnRequested(toolkit::Control& control, Point where) override {
        requests.emplace_back(control.tag(), where);
    }
    std::vector<std::pair<int, Point>> requests;
};

struct RightClicked {
    const char* name;
    std::unique_ptr<toolkit::Control> (*make)(toolkit::ControlListener* listener);
};

constexpr int kControlTag = 118;
const Rect kControlRect = Rect::fromSize(10, 10, 41, 41);

class EditorMidiLearnRequest : public ::testing::TestWithParam<RightClicked> {};

TEST_P(EditorMidiLearnRequest, RightPressAsksForLearningAndChangesNothing) {
    toolkit::Frame frame{300, 200};
    LearnListener listener;
    // Inside a container, so the reported point must be turned into frame coordinates.
    auto* box = frame.addView(std::make_unique<toolkit::ContainerView>(Rect::fromSize(100, 50, 120, 120)));
    toolkit::Control* control = box->addView(GetParam().make(&listener));
    control->setValue(0.25f);
    const Point at{125, 75};
    frame.mouseDown(toolkit::MouseEvent{at, toolkit::MouseButton::Right});
    frame.mouseMove(toolkit::MouseEvent{{125, 20}, toolkit::MouseButton::Right});
    frame.mouseUp(toolkit::MouseEvent{{125, 20}, toolkit::MouseButton::Right});
    EXPECT_EQ(listener.requests, (std::vector<std::pair<int, Point>>{{kControlTag, at}}));
    EXPECT_FLOAT_EQ(control->value(), 0.25f);
    EXPECT_TRUE(listener.reports.empty());

    // A listener that takes no requests gets nothing, and the press stays unanswered.
    editor_test::RecordingListener plain;
    control->setListener(&plain);
    frame.mouseDown(toolkit::MouseEvent{at, toolkit::MouseButton::Right});
    frame.mouseUp(toolkit::MouseEvent{at, toolkit::MouseButton::Right});
    EXPECT_EQ(listener.requests.size(), 1u);
    EXPECT_TRUE(plain.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorMidiLearnRequest,
    ::testing::Values(
        RightClicked{"Knob",
                     [](toolkit::ControlListener* l) -> std::unique_ptr<toolkit::Control> {
                         return std::make_unique<QX_Knob>(kControlRect, kControlTag, l, 0);
                     }},
        RightClicked{"RotateKnob",
                     [](toolkit::ControlListener* l) -> std::unique_ptr<toolkit::Control> {
                         return std::make_unique<QX_Rotate_Knob>(kControlRect, kControlTag, l, 0);
                     }},
        RightClicked{"Slider",
                     [](toolkit::ControlListener* l) -> std::unique_ptr<toolkit::Control> {
                         return std::make_unique<QX_HV_Slider>(Rect::fromSize(10, 10, 20, 80), kControlTag, l, 0);
                     }},
        RightClicked{"Switch",
                     [](toolkit::ControlListener* l) -> std::unique_ptr<toolkit::Control> {
                         return std::make_unique<QX_COnOffButton>(kControlRect, kControlTag, l,
                                                                  QX_COnOffButton::Mode::Toggle);
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditorMidiLearnPanel, LearntControllerDrivesTheParameterThroughThePlugin) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    host.start();
    QX_DSP_VST& plugin = pluginOf(host.effect);
    MidiLearnTargetVst target(plugin);
    toolkit::Frame frame{layout::kEditorWidth, layout::kEditorHeight};
    auto* panel = frame.addView(std::make_unique<QX_AssignMidiCC>(target, nullptr));
    const auto confirm = [&] {
        const Point at = centreOf(QX_AssignMidiCC::kConfirmArea.offset(panel->rect().topLeft()));
        frame.mouseDown(toolkit::MouseEvent{at});
        frame.mouseUp(toolkit::MouseEvent{at});
    };
    constexpr int kController = 20;

    panel->openFor(kParameter, target.assignedCode(kParameter), {300, 300}, frame.rect());
    host.sendMidi({{0xB0, kController, 64}});
    frame.idle();
    ASSERT_EQ(panel->pendingCode(), kController);
    confirm();
    EXPECT_EQ(plugin.getParameterController(kParameter), kController);
    EXPECT_EQ(plugin.programMemory().record(kProgramCount - 1).controllers[kParameter], kController);

    host.sendMidi({{0xB0, kController, 127}});
    EXPECT_EQ(host.effect->getParameter(host.effect, kParameter), 1.0f);

    // "None" stores the empty code, and the controller lets go of the parameter.
    panel->openFor(kParameter, target.assignedCode(kParameter), {300, 300}, frame.rect());
    const Point field = centreOf(QX_AssignMidiCC::kCodeField.offset(panel->rect().topLeft()));
    frame.mouseDown(toolkit::MouseEvent{field});
    frame.mouseUp(toolkit::MouseEvent{field});
    ASSERT_TRUE(panel->menu().isOpen());
    ASSERT_TRUE(panel->menu().items()[kController + 1].checked);
    const Point none = centreOf(panel->menu().itemRect(0));
    frame.mouseDown(toolkit::MouseEvent{none});
    frame.mouseUp(toolkit::MouseEvent{none});
    confirm();
    EXPECT_EQ(plugin.getParameterController(kParameter), 0xFFFF);
    EXPECT_EQ(target.assignedCode(kParameter), -1);
    host.sendMidi({{0xB0, kController, 0}});
    EXPECT_EQ(host.effect->getParameter(host.effect, kParameter), 1.0f);
}

}  // namespace
