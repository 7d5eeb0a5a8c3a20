// Controls that work through member controls: the button hub, the step bars, exclusive sets and
// the EQ response view with its response law.
#include "editor/QX_GUI_EQ_Window.h"

#include <gtest/gtest.h>

#include <cmath>

#include "editor/ControlScene.h"
#include "editor/QX_COnOffButton.h"
#include "editor/QX_ExclusiveButton.h"
#include "editor/QX_GUI_Multi_Button_Hub.h"
#include "editor/QX_Multi_Lev.h"

namespace {

using editor_test::ControlScene;
using editor_test::RecordingListener;
using toolkit::Point;
using toolkit::Rect;

TEST(EditorButtonHub, PressingAMemberSelectsItAndLightsItAlone) {
    ControlScene s;
    auto* hub = s.add(std::make_unique<QX_GUI_Multi_Button_Hub>(Rect{}, 223, &s.listener, 2));
    QX_COnOffButton* members[2];
    for (int i = 0; i < 2; ++i) {
        members[i] = s.add(std::make_unique<QX_COnOffButton>(Rect::fromSize(10 + 50 * i, 10, 40, 16), 360 + i, nullptr,
                                                             QX_COnOffButton::Mode::Toggle));
        hub->addMember(i, *members[i]);
    }
    s.click({70, 15});
    EXPECT_FLOAT_EQ(hub->value(), 1.0f);
    EXPECT_TRUE(members[1]->isOn());
    EXPECT_FALSE(members[0]->isOn());
    s.click({70, 15});  // the lit one again: stays selected
    EXPECT_TRUE(members[1]->isOn());
    s.click({20, 15});
    EXPECT_FLOAT_EQ(hub->value(), 0.0f);
    EXPECT_TRUE(members[0]->isOn());
    EXPECT_FALSE(members[1]->isOn());
    EXPECT_EQ(s.listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_TRUE(s.listener.paired());

    hub->setValue(1.0f);  // from the program
    s.frame.idle();
    EXPECT_TRUE(members[1]->isOn());
    EXPECT_FALSE(members[0]->isOn());
}

TEST(EditorExclusiveButton, SelectingOneClearsTheOthers) {
    ControlScene s;
    QX_ExclusiveButton* buttons[3];
    for (int i = 0; i < 3; ++i) {
        buttons[i] = s.add(std::make_unique<QX_ExclusiveButton>(Rect::fromSize(10 + 40 * i, 10, 30, 16), 355 + i,
                                                                &s.listener));
    }
    buttons[0]->joinSet(*buttons[1]);
    buttons[2]->joinSet(*buttons[1]);
    s.click({15, 15});
    s.click({95, 15});
    EXPECT_FALSE(buttons[0]->isSelected());
    EXPECT_FALSE(buttons[1]->isSelected());
    EXPECT_TRUE(buttons[2]->isSelected());
    EXPECT_TRUE(s.listener.paired());
}

TEST(EditorMultiLev, DragAcrossSetsTheBarsUnderThePointer) {
    ControlScene s;
    RecordingListener members;
    const Rect row = Rect::fromSize(20, 20, 160, 101);
    auto* bars = s.add(std::make_unique<QX_Multi_Lev>(row, 402, &s.listener));
    std::vector<std::unique_ptr<toolkit::Control>> steps;
    for (int i = 0; i < 8; ++i) {
        steps.push_back(std::make_unique<toolkit::Control>(Rect{}, 144 + i, &members));
        bars->addMember(i, *steps.back());
    }
    // Bars are 20 px wide; heights run from 0 at y = 120 to 1 at y = 20.
    s.press({25, 20});
    s.moveTo({45, 45});
    s.moveTo({65, 70});
    s.release({65, 70});
    EXPECT_FLOAT_EQ(steps[0]->value(), 1.0f);
    EXPECT_FLOAT_EQ(steps[1]->value(), 0.75f);
    EXPECT_FLOAT_EQ(steps[2]->value(), 0.5f);
    EXPECT_FLOAT_EQ(steps[3]->value(), 0.0f);
    EXPECT_EQ(bars->tooltip(), "Level 3: 0.500");
    EXPECT_TRUE(members.paired());
    EXPECT_EQ(members.values(), (std::vector<float>{1.0f, 0.75f, 0.5f}));
    EXPECT_TRUE(s.listener.reports.empty()) << "the bars report through the steps";

    s.drag({25, 120}, {165, 20});  // one fast sweep from bar 0 to bar 7
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(steps[static_cast<std::size_t>(i)]->value(), i / 7.0f, 1e-5f) << i;
}

struct Peak {
    const char* name;
    float hz;
    float db;
    float width;
};

class EditorEqResponse : public ::testing::TestWithParam<Peak> {};

TEST_P(EditorEqResponse, PeaksAtTheBandFrequencyWithTheBandGain) {
    const Peak& p = GetParam();
    const QX_GUI_EQ_Window::Band band[] = {QX_GUI_EQ_Window::bandFor(p.hz, p.db, p.width)};
    // Sweep a sixth of an octave either side in small steps and find the extreme.
    float extremeHz = 0.0f;
    float extremeDb = 0.0f;
    for (int i = -40; i <= 40; ++i) {
        const float hz = p.hz * std::pow(2.0f, static_cast<float>(i) / 240.0f);
        const float db = QX_GUI_EQ_Window::responseDb(band, hz);
        if (std::abs(db) > std::abs(extremeDb)) {
            extremeDb = db;
            extremeHz = hz;
        }
    }
    EXPECT_NEAR(extremeHz / p.hz, 1.0f, 0.01f);
    // The converter's law makes the centre gain G / (1.001 - G) come within half a dB of the knob.
    EXPECT_NEAR(extremeDb, p.db, 0.5f);
    EXPECT_NEAR(QX_GUI_EQ_Window::responseDb(band, 20.0f), 0.0f, std::abs(p.db) * 0.2f) << "far from the band";
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorEqResponse,
                         ::testing::Values(Peak{"Boost1k", 1000.0f, 12.0f, 0.5f}, Peak{"Cut5k", 5000.0f, -9.0f, 0.8f},
                                           Peak{"FullBoost300", 300.0f, 18.0f, 0.7f},
                                           Peak{"Mild8k", 8000.0f, 6.0f, 0.6f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditorEqResponse, FlatBandIsSkipped) {
    const QX_GUI_EQ_Window::Band band[] = {QX_GUI_EQ_Window::bandFor(1000.0f, 0.0f, 0.5f)};
    EXPECT_EQ(QX_GUI_EQ_Window::responseDb(band, 1000.0f), 0.0f);
}

TEST(EditorEqWindow, DraggingAHandleMovesItsFrequencyAndGain) {
    ControlScene s;
    RecordingListener knobs;
    auto* eq = s.add(std::make_unique<QX_GUI_EQ_Window>(Rect::fromSize(10, 10, 301, 121), 390, &s.listener));
    std::vector<std::unique_ptr<toolkit::Control>> members;
    for (int band = 0; band < 3; ++band) {
        for (int part = 0; part < 3; ++part) {  // frequency, gain, width: ids 196 + 3 band + part
            members.push_back(std::make_unique<toolkit::Control>(Rect{}, 196 + 3 * band + part, &knobs));
            members.back()->setValue(part == 1 ? 0.5f : 0.05f + 0.25f * static_cast<float>(band));
            eq->addMember(band + QX_GUI_EQ_Window::kFirstGain * part, *members.back());
        }
    }
    const Point from = eq->handle(1);
    EXPECT_EQ(from.y, 70) << "0 dB lies mid-height";
    const Point to{200, 40};
    s.press(from);
    EXPECT_EQ(eq->draggedBand(), 1);
    s.moveTo(to);
    EXPECT_EQ(eq->readOut(1).rfind("Freq: ", 0), 0u);
    s.release(to);
    const float hz = 20.0f + 20460.0f * members[3]->value();
    const float db = -18.0f + 36.0f * members[4]->value();
    EXPECT_NEAR(hz, eq->hzForX(to.x), 1.0f);
    EXPECT_NEAR(db, 9.0f, 1e-4f) << "a quarter height above the middle";
    EXPECT_EQ(eq->handle(1), to);
    EXPECT_TRUE(knobs.paired());
    EXPECT_EQ(eq->draggedBand(), -1);
}

}  // namespace
