// Knobs: drag, fine drag, wheel and double click with their gesture brackets (the wheel and the
// double click on every control set by dragging), and the frame drawn through the value curve.
#include "editor/QX_Knob.h"

#include <gtest/gtest.h>

#include "editor/ControlScene.h"
#include "editor/QX_HV_Slider.h"
#include "editor/QX_Rotate_Knob.h"
#include "params/ParameterLookups.h"

namespace {

using editor_test::ControlScene;
using editor_test::Report;
using toolkit::Point;

constexpr int kTag = 83;
const toolkit::Rect kDial = toolkit::Rect::fromSize(100, 100, 41, 41);
constexpr Point kCentre{120, 120};

struct Gesture {
    const char* name;
    float start;
    int dy;              // pointer travel, down positive
    bool shift;
    float expected;
};

class EditorKnobDrag : public ::testing::TestWithParam<Gesture> {};

TEST_P(EditorKnobDrag, ValueFollowsTheDragInsideOneGesture) {
    const Gesture& g = GetParam();
    ControlScene s;
    auto* knob = s.add(std::make_unique<QX_Knob>(kDial, kTag, &s.listener, 0, "LPF Cutoff"));
    knob->setValue(g.start);
    s.drag(kCentre, {kCentre.x, kCentre.y + g.dy}, {.shift = g.shift});
    EXPECT_NEAR(knob->value(), g.expected, 1e-5f);
    EXPECT_TRUE(s.listener.paired());
    EXPECT_EQ(s.listener.count(Report::Begin), 1);
    ASSERT_FALSE(s.listener.values().empty());
    EXPECT_NEAR(s.listener.values().back(), g.expected, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorKnobDrag,
                         ::testing::Values(Gesture{"HalfUp", 0.0f, -100, false, 0.5f},
                                           Gesture{"FullDown", 1.0f, 200, false, 0.0f},
                                           Gesture{"FineUp", 0.5f, -100, true, 0.55f},
                                           Gesture{"ClampedAtTop", 0.9f, -150, false, 1.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DragKind {
    const char* name;
    std::unique_ptr<DragControl> (*make)(toolkit::ControlListener* listener);
};

class EditorDragControl : public ::testing::TestWithParam<DragKind> {};

TEST_P(EditorDragControl, WheelStepsAHundredthAndDoubleClickRestoresTheDefault) {
    ControlScene s;
    auto* control = s.add(GetParam().make(&s.listener));
    control->setValue(0.3f);
    control->setDefaultValue(0.75f);
    s.frame.wheel(toolkit::MouseEvent{kCentre}, 2.0f);
    EXPECT_NEAR(control->value(), 0.32f, 1e-6f);
    s.press(kCentre, {}, 2);
    s.release(kCentre);
    EXPECT_FLOAT_EQ(control->value(), 0.75f);
    EXPECT_TRUE(s.listener.paired());
    EXPECT_EQ(s.listener.count(Report::Begin), 2);
    EXPECT_EQ(s.listener.count(Report::Value), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, EditorDragControl,
    ::testing::Values(
        DragKind{"Knob", [](toolkit::ControlListener* l) -> std::unique_ptr<DragControl> {
                     return std::make_unique<QX_Knob>(kDial, kTag, l, 0);
                 }},
        DragKind{"RotateKnob", [](toolkit::ControlListener* l) -> std::unique_ptr<DragControl> {
                     return std::make_unique<QX_Rotate_Knob>(kDial, kTag, l, 0);
                 }},
        DragKind{"Slider", [](toolkit::ControlListener* l) -> std::unique_ptr<DragControl> {
                     return std::make_unique<QX_HV_Slider>(kDial, kTag, l, 0);
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditorKnob, FrameFollowsTheCurveAndItsInversion) {
    std::vector<std::uint8_t> clear(41 * 41 * 29 * 4, 0);
    auto strip = std::make_shared<toolkit::Bitmap>(toolkit::Bitmap::fromStraightRgba(41, 41 * 29, clear));
    strip->setFrames(29);
    struct Case {
        int curve;
        float value;
        int frame;
    };
    // Curve 3 squares: 0.5 shows a quarter turn, frame 7 of 0..28; inverted, three quarters.
    for (const Case c : {Case{0, 0.5f, 14}, Case{3, 0.5f, 7}, Case{3 + kInvertedCurve, 0.5f, 21},
                         Case{2, 0.5f, 2}}) {
        QX_Knob knob(kDial, kTag, nullptr, c.curve);
        knob.setBitmap(strip);
        knob.setValue(c.value);
        EXPECT_EQ(knob.shownFrame(), c.frame) << "curve " << c.curve;
    }
}

TEST(EditorKnob, CaptionWidensTheDrawingButNotTheGrip) {
    ControlScene s;
    auto* knob = s.add(std::make_unique<QX_Knob>(kDial, kTag, &s.listener, 0, "Melt Depth"));
    EXPECT_GT(knob->rect().height(), kDial.height());
    EXPECT_NE(s.frame.viewAt({kDial.left + 20, kDial.bottom + 4}), knob) << "the caption takes no clicks";
    EXPECT_EQ(s.frame.viewAt(kCentre), knob);
}

TEST(EditorRotateKnob, PointerAngleIsTheValue) {
    ControlScene s;
    auto* knob = s.add(std::make_unique<QX_Rotate_Knob>(kDial, kTag, &s.listener, 7 - 7));
    s.drag({kCentre.x, kCentre.y - 15}, {kCentre.x + 15, kCentre.y});  // up, then right
    EXPECT_NEAR(knob->value(), 0.5f + 1.0f / 3.0f, 0.02f) << "a quarter turn right of the top";
    EXPECT_TRUE(s.listener.paired());
}

}  // namespace
