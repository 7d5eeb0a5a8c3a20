// The factory makes the class each control kind asks for, with the row's tag, place and
// settings, and nothing for the kinds the editor handles itself.
#include "editor/ControlFactory.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "editor/BitmapCache.h"
#include "editor/QX_AnimButton.h"
#include "editor/QX_CNumberEntry.h"
#include "editor/QX_COnOffButton.h"
#include "editor/QX_COptionsImage.h"
#include "editor/QX_CTextEntry.h"
#include "editor/QX_ExclusiveButton.h"
#include "editor/QX_GUI_EQ_Window.h"
#include "editor/QX_GUI_Image.h"
#include "editor/QX_GUI_Joystick.h"
#include "editor/QX_GUI_Multi_Button_Hub.h"
#include "editor/QX_GUI_TextOnly.h"
#include "editor/QX_GUI_dBMeter.h"
#include "editor/QX_GlobalNameDisplay.h"
#include "editor/QX_GlobalNumberDisplay.h"
#include "editor/QX_HV_Slider.h"
#include "editor/QX_ImagePopUp.h"
#include "editor/QX_Multi_Lev.h"
#include "editor/QX_Rotate_Knob.h"
#include "params/ParameterLookups.h"

namespace {

ControlDescriptor rowOf(std::uint16_t kind, std::uint32_t id = 120, std::int16_t arg = -1) {
    return {.id = id, .kind = kind, .arg = arg, .x = 30, .y = 40, .bitmap = "NoSuchArt.png", .min = 0, .max = 10,
            .engMin = 0, .engMax = 10, .name = "Some Name", .options = "A,B,C,", .tooltip = "Tip"};
}

struct Made {
    std::uint16_t kind;
    const std::type_info& type;
};

TEST(EditorControlFactory, EachKindMakesItsClass) {
    const Made table[] = {
        {0, typeid(QX_Knob)},           {3, typeid(QX_Knob)},          {6, typeid(QX_Knob)},
        {7, typeid(QX_Rotate_Knob)},    {12, typeid(QX_Rotate_Knob)},  {13, typeid(QX_HV_Slider)},
        {19, typeid(QX_AnimButton)},    {26, typeid(QX_COnOffButton)}, {27, typeid(QX_COnOffButton)},
        {29, typeid(QX_GUI_Multi_Button_Hub)}, {30, typeid(QX_ExclusiveButton)},
        {32, typeid(QX_COptionsText)},  {33, typeid(QX_COptionsImage)}, {42, typeid(QX_COptionsImage)},
        {43, typeid(QX_CNumberEntry)},  {52, typeid(QX_CNumberEntry)}, {55, typeid(QX_GlobalNumberDisplay)},
        {56, typeid(QX_GlobalNameDisplay)}, {57, typeid(QX_CTextEntry)}, {77, typeid(QX_ImagePopUp)},
        {78, typeid(QX_GUI_Image)},     {83, typeid(QX_GUI_TextOnly)}, {90, typeid(QX_GUI_dBMeter)},
        {114, typeid(QX_GUI_EQ_Window)}, {122, typeid(QX_Multi_Lev)},  {134, typeid(QX_GUI_Joystick)},
    };
    BitmapCache bitmaps;
    for (const Made& m : table) {
        const auto made = makeControl(rowOf(m.kind), ControlStyle{}, bitmaps, nullptr);
        ASSERT_NE(made, nullptr) << "kind " << m.kind;
        const toolkit::Control& control = *made;
        EXPECT_EQ(typeid(control), m.type) << "kind " << m.kind;
        EXPECT_EQ(made->tag(), 120);
        EXPECT_EQ(made->tooltip(), "Tip");
    }
}

TEST(EditorControlFactory, KindsWithoutAControlMakeNothing) {
    BitmapCache bitmaps;
    for (std::uint16_t kind : {53, 67, 69, 72, 73, 74, 76, 84, 135, 138, 139, 149, 161}) {
        EXPECT_EQ(makeControl(rowOf(kind), ControlStyle{}, bitmaps, nullptr), nullptr) << "kind " << kind;
    }
}

TEST(EditorControlFactory, RowSettingsReachTheControl) {
    BitmapCache bitmaps;
    const ControlStyle sized{.textWidth = 87, .textHeight = 24};
    auto entry = makeControl(rowOf(45), sized, bitmaps, nullptr);
    EXPECT_EQ(dynamic_cast<QX_CNumberEntry&>(*entry).decimals(), 2) << "the kind gives the precision";
    EXPECT_EQ(entry->rect(), toolkit::Rect::fromSize(30, 40, 87, 24));
    auto byArg = makeControl(rowOf(43, 120, 4), sized, bitmaps, nullptr);
    EXPECT_EQ(dynamic_cast<QX_CNumberEntry&>(*byArg).decimals(), 4) << "the row's argument wins";

    auto inverted = makeControl(rowOf(10, 120 | control::kInvertCurve), ControlStyle{}, bitmaps, nullptr);
    EXPECT_EQ(dynamic_cast<QX_Knob&>(*inverted).curve(), 3 + kInvertedCurve);
    EXPECT_EQ(dynamic_cast<QX_Knob&>(*inverted).dial(), toolkit::Rect::fromSize(30, 40, 41, 41));
    auto button = makeControl(rowOf(control::kActionButton), ControlStyle{}, bitmaps, nullptr);
    EXPECT_EQ(dynamic_cast<QX_COnOffButton&>(*button).label(), "Some Name");
    auto options = makeControl(rowOf(32), ControlStyle{}, bitmaps, nullptr);
    EXPECT_EQ(dynamic_cast<QX_COptionsText&>(*options).items().size(), 3u);
}

struct Captioned {
    const char* name;
    const char* caption;
};

class EditorSwitchCaption : public ::testing::TestWithParam<Captioned> {};

TEST_P(EditorSwitchCaption, SwitchesShowTheWordThatTellsThemApart) {
    BitmapCache bitmaps;
    ControlDescriptor row = rowOf(control::kOnOffSwitch);
    row.name = GetParam().name;
    auto made = makeControl(row, ControlStyle{}, bitmaps, nullptr);
    auto& button = dynamic_cast<QX_COnOffButton&>(*made);
    EXPECT_EQ(button.caption(), GetParam().caption);
    EXPECT_TRUE(button.label().empty());
    EXPECT_EQ(button.rect().height(), 16 + QX_COnOffButton::kCaptionHeight) << "the rectangle holds the caption";
    EXPECT_EQ(button.viewAt({35, 45}), &button);
    EXPECT_EQ(button.viewAt({35, 60}), nullptr) << "the caption takes no clicks";
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorSwitchCaption,
                         ::testing::Values(Captioned{"Lfo1 On/Off", "On"}, Captioned{"Arp OnOff", "On"},
                                           Captioned{"Lfo2 Sync", "Sync"}, Captioned{"SeqA 3", "3"},
                                           Captioned{"Retrig", "Retrig"}));

}  // namespace
