// Controls: value range, what reaches the listener, gesture brackets, and the strip frame drawn
// for the value.
#include "toolkit/Control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "toolkit/Frame.h"

namespace toolkit {
namespace {

struct Recorder : ControlListener {
    void valueChanged(Control& c) override {
        events.push_back("value " + std::to_string(c.tag()) + " " + std::to_string(c.value()));
    }
    void beginEdit(Control& c) override { events.push_back("begin " + std::to_string(c.tag())); }
    void endEdit(Control& c) override { events.push_back("end " + std::to_string(c.tag())); }
    std::vector<std::string> events;
};

struct ClampCase {
    float in;
    float out;
};

class ToolkitControlClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ToolkitControlClamp, ValuesStayInTheUnitRange) {
    Control control(Rect{0, 0, 10, 10}, 7);
    control.setValue(0.5f);
    control.setValue(GetParam().in);
    EXPECT_EQ(control.value(), GetParam().out);
    control.setDefaultValue(GetParam().in);
    EXPECT_EQ(control.defaultValue(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolkitControlClamp,
                         ::testing::Values(ClampCase{0.25f, 0.25f}, ClampCase{-0.1f, 0.0f},
                                           ClampCase{1.5f, 1.0f}, ClampCase{1.0f, 1.0f},
                                           ClampCase{std::numeric_limits<float>::quiet_NaN(), 0.0f},
                                           ClampCase{std::numeric_limits<float>::infinity(), 1.0f}));

TEST(ToolkitControl, OnlyUserChangesThatChangeSomethingReachTheListener) {
    Recorder recorder;
    Control control(Rect{0, 0, 10, 10}, 42, &recorder);
    control.setValue(0.3f);  // program side
    control.changeValue(0.3f);  // no change
    control.beginEdit();
    control.beginEdit();  // nested: still one gesture
    control.changeValue(0.75f);
    control.changeValue(2.0f);
    control.changeValue(1.0f);
    control.endEdit();
    EXPECT_TRUE(control.isEditing());
    control.endEdit();
    control.endEdit();  // unbalanced: ignored
    EXPECT_FALSE(control.isEditing());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"begin 42", "value 42 0.750000",
                                                         "value 42 1.000000", "end 42"}));
}

TEST(ToolkitControl, DrawsTheStripFrameOfItsValueAndRedrawsOnChange) {
    // Five frames of 2 x 2, frame n grey level 50 * n.
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 2; ++x) {
            const auto level = static_cast<std::uint8_t>(50 * (y / 2));
            rgba.insert(rgba.end(), {level, level, level, 255});
        }
    }
    auto strip = std::make_shared<Bitmap>(Bitmap::fromStraightRgba(2, 10, rgba));
    strip->setFrames(5);
    Frame frame(20, 20);
    auto* control = frame.addView(std::make_unique<Control>(Rect{4, 6, 6, 8}, 1));
    control->setBitmap(strip);
    struct Case {
        float value;
        std::uint8_t level;
    };
    for (const Case c : {Case{0.0f, 0}, Case{0.5f, 100}, Case{0.9f, 200}, Case{0.3f, 50}}) {
        control->setValue(c.value);
        frame.redraw();
        EXPECT_EQ(frame.framebuffer().at(5, 7), (Pixel{c.level, c.level, c.level, 255})) << c.value;
    }
    control->setValue(0.3f);
    EXPECT_TRUE(frame.dirtyRegions().empty()) << "an unchanged value redraws nothing";
}

}  // namespace
}  // namespace toolkit
