// Sliders, frame-cycling buttons, the image chooser, the two-axis pad and the level meter; and
// every control kind with a face draws it without its art (the read-outs start empty).
#include <gtest/gtest.h>

#include "editor/BitmapCache.h"
#include "editor/ControlFactory.h"
#include "editor/ControlScene.h"
#include "editor/QX_AnimButton.h"
#include "editor/QX_GUI_Joystick.h"
#include "editor/QX_GUI_dBMeter.h"
#include "editor/QX_HV_Slider.h"
#include "editor/QX_ImagePopUp.h"
#include "params/ParameterLookups.h"

namespace {

using editor_test::ControlScene;
using editor_test::RecordingListener;
using toolkit::Point;
using toolkit::Rect;

TEST(EditorSlider, HandleFollowsThePointerThroughTheCurve) {
    ControlScene s;
    // 112 px tall with a 12 px handle: 100 px of travel, rising.
    auto* slider = s.add(std::make_unique<QX_HV_Slider>(Rect::fromSize(10, 10, 20, 112), 1, &s.listener, 3));
    s.drag({20, 116}, {20, 66});  // handle centre to the middle of its travel
    EXPECT_NEAR(slider->value(), ParameterLookups::inverseCurve(3, 0.5f), 1e-4f);
    EXPECT_EQ(slider->handleRect().top, 10 + 50);
    EXPECT_TRUE(s.listener.paired());
    const QX_HV_Slider wide(Rect::fromSize(0, 0, 112, 20), 2, nullptr, 0);
    EXPECT_TRUE(wide.isHorizontal());
    EXPECT_FLOAT_EQ(wide.valueAt({6 + 25, 10}), 0.25f);
}

TEST(EditorAnimButton, ClicksCycleThroughTheFrames) {
    ControlScene s;
    auto* button = s.add(std::make_unique<QX_AnimButton>(Rect::fromSize(10, 10, 30, 16), 1, &s.listener, 3));
    std::vector<int> frames;
    for (int i = 0; i < 4; ++i) {
        s.click({20, 15});
        frames.push_back(button->frame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(s.listener.values(), (std::vector<float>{0.5f, 1.0f, 0.0f, 0.5f}));
}

TEST(EditorImagePopUp, ChoosingACellSetsItsValue) {
    ControlScene s;
    auto* popup = s.add(std::make_unique<QX_ImagePopUp>(Rect::fromSize(10, 10, 30, 30), 1, &s.listener, 9));
    s.click({20, 20});
    ASSERT_EQ(s.frame.modal(), &popup->grid());
    const Rect cell = popup->grid().cellRect(5);
    s.click({cell.left + 2, cell.top + 2});
    EXPECT_EQ(s.frame.modal(), nullptr);
    EXPECT_EQ(popup->selectedCell(), 5);
    EXPECT_FLOAT_EQ(popup->value(), 5.0f / 8.0f);
    s.click({20, 20});
    s.frame.keyDown(toolkit::KeyEvent{toolkit::Key::Escape});
    EXPECT_EQ(popup->selectedCell(), 5);
    EXPECT_TRUE(s.listener.paired());
}

TEST(EditorJoystick, DragSetsBothAxes) {
    ControlScene s;
    RecordingListener yReports;
    auto* pad = s.add(std::make_unique<QX_GUI_Joystick>(Rect::fromSize(10, 10, 101, 101), 1, &s.listener));
    toolkit::Control y(Rect{}, 2, &yReports);
    pad->addMember(0, y);
    s.drag({60, 60}, {85, 35});
    EXPECT_FLOAT_EQ(pad->value(), 0.75f);
    EXPECT_FLOAT_EQ(y.value(), 0.75f);
    EXPECT_TRUE(s.listener.paired());
    EXPECT_TRUE(yReports.paired());
}

TEST(EditorDbMeter, FallsBackAndHoldsItsPeak) {
    ControlScene s;
    auto* meter = s.add(std::make_unique<QX_GUI_dBMeter>(Rect::fromSize(10, 10, 8, 60), 1, nullptr));
    meter->setValue(0.5f);
    s.frame.idle();
    EXPECT_NEAR(meter->shownDb(), -6.0206f, 1e-3f);
    meter->setValue(0.0f);
    for (int i = 0; i < 4; ++i) s.frame.idle();
    EXPECT_NEAR(meter->shownDb(), -6.0206f - 4 * QX_GUI_dBMeter::kFalloffDbPerIdle, 1e-3f);
    EXPECT_NEAR(meter->peakDb(), -6.0206f, 1e-3f) << "held";
    for (int i = 0; i < QX_GUI_dBMeter::kPeakHoldIdles + 10; ++i) s.frame.idle();
    EXPECT_LT(meter->peakDb(), -6.5f) << "released after the hold";
}

class EditorControlDrawing : public ::testing::TestWithParam<int> {};

TEST_P(EditorControlDrawing, DrawsWithoutItsArt) {
    const ControlDescriptor row{.id = 197, .kind = static_cast<std::uint16_t>(GetParam()), .arg = -1, .x = 20,
                                .y = 20, .bitmap = nullptr, .min = -18, .max = 18, .engMin = -18, .engMax = 18,
                                .name = "EQ 1 Gain dB", .options = "Pre,Post,", .tooltip = nullptr};
    BitmapCache bitmaps;
    ControlScene s;
    auto made = makeControl(row, ControlStyle{}, bitmaps, nullptr);
    ASSERT_NE(made, nullptr);
    made->setValue(0.7f);
    const Rect area = made->rect();
    s.frame.idle();
    const toolkit::Framebuffer empty = s.frame.framebuffer();
    s.add(std::move(made));
    s.frame.idle();
    int changed = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            changed += s.frame.framebuffer().at(x, y) == empty.at(x, y) ? 0 : 1;
        }
    }
    EXPECT_GT(changed, 0);
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorControlDrawing,
                         ::testing::Values(0, 7, 13, 19, 26, 27, 30, 32, 33, 43, 57, 77, 90, 114, 122, 134));

}  // namespace
