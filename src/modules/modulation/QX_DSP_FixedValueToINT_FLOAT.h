// Netlist constants as events (no buffers), plus the pins that carry the MIDI reception settings
// and program selection into the core, and the curve of pins 58 and 60.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_FixedValueToINT_FLOAT : public QX_ModuleBase {
public:
    // Input pins beyond the constants 0..55.
    static constexpr int kConstantPins = 56;
    static constexpr int kPinMpeMode = 56;
    static constexpr int kPinMpeSwapPressureSlide = 57;
    static constexpr int kPinCurveInvert = 58;
    static constexpr int kPinMidiChannel = 59;
    static constexpr int kPinCurveValue = 60;
    static constexpr int kPinProgramSelect = 61;
    static constexpr int kPinProgramUp = 62;
    static constexpr int kPinProgramDown = 63;
    static constexpr int kOutputCurve = 60;

    QX_DSP_FixedValueToINT_FLOAT(QX_EngineHost* host, bool asleep);

    void renderAlt(int pos, int count) override;
    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

private:
    float curveValue_ = 0.0f;
    bool curveInverted_ = false;
};
