// Which control a right click learns for: a knob, slider or switch learns its own parameter; an
// editor-only one learns through the first parameter attached to it, or opens nothing.
#include <gtest/gtest.h>

#include <string>

#include "editor/QX_AssignMidiCC.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "support/TestHost.h"
#include "toolkit/ContainerView.h"
#include "toolkit/Frame.h"

namespace {

using namespace vst;

constexpr int kNothing = -1;

struct Opening {
    const char* name;
    int tag;
    int learns;  // the parameter the panel opens for, or kNothing
};

class LearnFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.open(), nullptr);
        ASSERT_EQ(host.dispatch(effEditOpen), 1);
    }
    void TearDown() override { host.dispatch(effEditClose); }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(pluginOf(host.effect).getEditor()); }
    // The control with its panels open, so a click can reach it.
    toolkit::Control& reachable(int tag) {
        toolkit::Control* control = editor().control(tag);
        EXPECT_NE(control, nullptr) << tag;
        for (toolkit::ContainerView* c = control->parent(); c != nullptr; c = c->parent()) c->open();
        return *control;
    }
    int learnedFor() {
        const QX_AssignMidiCC& panel = *editor().learnPanel();
        return panel.isShown() ? panel.parameterId() : kNothing;
    }

    TestHost host;
};

class EditorLearnOpening : public LearnFixture, public ::testing::WithParamInterface<Opening> {};

TEST_P(EditorLearnOpening, ARightClickLearnsWhatTheControlStandsFor) {
    const Opening& c = GetParam();
    toolkit::Control& control = reachable(c.tag);
    const toolkit::Rect box = control.frameRect();
    const toolkit::Point at{(box.left + box.right) / 2, box.top + 4};
    const float before = control.value();
    toolkit::Frame& frame = *editor().frame();
    frame.mouseDown(toolkit::MouseEvent(at, toolkit::MouseButton::Right));
    frame.mouseUp(toolkit::MouseEvent(at, toolkit::MouseButton::Right));
    EXPECT_EQ(learnedFor(), c.learns);
    EXPECT_EQ(control.value(), before) << "a right click changes no value";
}

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorLearnOpening,
    ::testing::Values(Opening{"Knob", 83, 83}, Opening{"Switch", 74, 74}, Opening{"RetrigSwitch", 164, 164},
                      Opening{"SyncButtonOfNoSet", 13, 13}, Opening{"RandomiseButton", 212, 212},
                      Opening{"TabOfASet", 356, kNothing}, Opening{"SelectedTab", 355, kNothing},
                      Opening{"MeltTab", 352, kNothing}, Opening{"SectionCopy", 370, kNothing},
                      Opening{"PresetUp", 392, kNothing}, Opening{"SinglePresetLoad", 398, kNothing},
                      Opening{"BankMenu", 400, kNothing}, Opening{"StepEditor", 402, kNothing},
                      Opening{"EqResponse", 360, kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

struct Attached {
    const char* name;
    int tag;
    int learns;
};

class EditorLearnThroughMembers : public LearnFixture {};

// Editor-only controls with parameters attached learn for the first of them in attach order.
TEST_F(EditorLearnThroughMembers, AnEditorOnlyControlLearnsItsFirstAttachedParameter) {
    for (const Attached c : {Attached{"EqResponse", 360, 196}, Attached{"StepsA", 402, 135},
                             Attached{"StepsB", 403, 144}, Attached{"SectionCopy", 370, kNothing}}) {
        toolkit::Control& control = reachable(c.tag);
        editor().learnRequested(control, control.frameRect().topLeft());
        EXPECT_EQ(learnedFor(), c.learns) << c.name;
        editor().learnPanel()->setVisible(false);
    }
}

}  // namespace
