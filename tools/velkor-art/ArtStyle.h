// The look of the editor in one place: every colour, font and proportion the art generator
// uses. Restyling the instrument means editing this file only.
#pragma once

namespace art {

struct Rgb {
    double r;
    double g;
    double b;
};

constexpr Rgb hex(unsigned rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

namespace style {

constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kCapHeight = 0.73;  // the font's capitals, as a fraction of its size

// Accents: amber for values and lit states, cyan for the displays and the second switch type.
constexpr Rgb kAccent = hex(0xFF9A3C);
constexpr Rgb kAccentHot = hex(0xFFD29A);
constexpr Rgb kCool = hex(0x4FD6E8);
constexpr Rgb kCoolHot = hex(0xC8F6FF);

// The face behind the sections and the top bar.
constexpr Rgb kFaceTop = hex(0x17191D);
constexpr Rgb kFaceBottom = hex(0x0F1013);
constexpr Rgb kTopBarTop = hex(0x2A2D33);
constexpr Rgb kTopBarBottom = hex(0x1C1E22);
constexpr Rgb kTopBarEdge = hex(0x050506);
constexpr double kTopBarAccentLine = 2;  // px, amber line under the top bar

constexpr Rgb kLogo = hex(0xECEEF2);
constexpr double kLogoSize = 24;        // px
constexpr double kLogoSpacing = 3.5;    // px between letters
constexpr double kLogoLeft = 46;        // px, after the mark
constexpr double kLogoMarkGap = 8;      // px between the mark and the logo
constexpr double kLogoDividerGap = 12;  // px either side of the line before the product line
constexpr Rgb kProductLine = hex(0x8A909A);
constexpr double kProductLineSize = 8.5;  // px
constexpr double kProductLineSpacing = 1.6;
constexpr const char* kProductLineText = "POLYPHONIC SYNTHESIZER";

// Section panels.
constexpr double kPanelRadius = 5;  // px
constexpr Rgb kPanelTop = hex(0x262930);
constexpr Rgb kPanelBottom = hex(0x1E2126);
constexpr Rgb kPanelBorder = hex(0x0A0B0D);
constexpr Rgb kPanelHighlight = hex(0x3A3E46);  // inner top edge catching the light
constexpr Rgb kTitleStripTop = hex(0x31353D);
constexpr Rgb kTitleStripBottom = hex(0x2A2D34);
constexpr Rgb kTitleText = hex(0xD8DCE3);
constexpr double kTitleSize = 10;  // px
constexpr double kTitleSpacing = 1.4;
constexpr double kTitleLeft = 16;    // px from the panel's edge to the title text
constexpr double kTitleMarkGap = 8;  // px from the amber mark's left edge to the title
constexpr double kTitleMarkWidth = 3;
constexpr double kTitleMarkHeight = 8;

// Knobs (proportions of the knob's side).
constexpr Rgb kKnobBodyLight = hex(0x5A5F69);
constexpr Rgb kKnobBodyDark = hex(0x24272D);
constexpr Rgb kKnobCap = hex(0x33373E);
constexpr Rgb kKnobRim = hex(0x0B0C0E);
constexpr Rgb kArcTrack = hex(0x0C0D10);
constexpr Rgb kPointer = hex(0xFFFFFF);
constexpr double kArcRadius = 0.435;
constexpr double kArcWidth = 0.07;
constexpr double kBodyRadius = 0.33;
constexpr double kCapRadius = 0.25;
constexpr double kPointerInner = 0.12;
constexpr double kPointerOuter = 0.31;
constexpr double kPointerWidth = 0.055;
constexpr double kKnobSweepDegrees = 270;

// Switches, buttons, LEDs and the slider handle.
constexpr Rgb kButtonTop = hex(0x464A53);
constexpr Rgb kButtonBottom = hex(0x2C2F35);
constexpr Rgb kButtonPressedTop = hex(0x1C1E22);
constexpr Rgb kButtonPressedBottom = hex(0x282B31);
constexpr Rgb kButtonEdge = hex(0x08090A);
constexpr Rgb kButtonShine = hex(0x5E636D);
constexpr double kButtonRadius = 3;  // px
constexpr Rgb kLedOff = hex(0x3A2A1C);
constexpr Rgb kCoolLedOff = hex(0x16323A);
constexpr Rgb kTabSelected = hex(0x3A3E47);
constexpr Rgb kTabUnselected = hex(0x1A1C20);
constexpr Rgb kHandleTop = hex(0xC9CDD4);
constexpr Rgb kHandleBottom = hex(0x7D828B);

// Waveform displays.
constexpr Rgb kScreenTop = hex(0x0C1417);
constexpr Rgb kScreenBottom = hex(0x081012);
constexpr Rgb kScreenGrid = hex(0x1A2A2F);
constexpr double kTraceWidth = 1.5;  // px
constexpr double kScreenInset = 5;   // px between the screen edge and the waveform

// Pop-up panels.
constexpr double kPanelTitleHeight = 24;  // px
constexpr double kPanelTitleSize = 11;    // px
constexpr Rgb kPopupBody = hex(0x1D2024);
constexpr Rgb kPopupFrame = hex(0x4A4F58);

}  // namespace style
}  // namespace art
