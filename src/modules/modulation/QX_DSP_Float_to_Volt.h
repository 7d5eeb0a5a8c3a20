// Turns one control value into a value and a one-block constant buffer: scaled and offset
// (optionally squared), reversed onto 1..0, or an exponential rate. The mode is fixed by wiring.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_Float_to_Volt : public QX_ModuleBase {
public:
    static constexpr int kPinX = 0;
    static constexpr int kPinGain = 9;
    static constexpr int kPinOffset = 10;
    static constexpr int kPinReversedMode = 19;  // wiring selects mode 1
    static constexpr int kPinRateMode = 20;      // mode 2
    static constexpr int kPinHzMode = 21;        // mode 3
    static constexpr int kPinSquare = 29;        // wiring squares the mode 0 result
    static constexpr int kOutputOnOff = 1;

    enum class Mode { Linear, Reversed, Rate, Hz };

    QX_DSP_Float_to_Volt(QX_EngineHost* host, bool asleep);

    void renderAlt(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;
    void onOutputConnected(int output) override;
    void setInput(int pin, const float* source) override;

private:
    float compute() const;
    void renderHold(int pos, int count);

    float x_ = 0.0f;
    float gain_ = 1.0f;
    float offset_ = 0.0f;
    Mode mode_ = Mode::Linear;
    bool square_ = false;
    float result_ = 0.0f;
    bool onOffEnabled_ = false;
    bool on_ = false;      // last state sent on the on/off output
    int holdLeft_ = 0;     // samples of the buffer still to be written with the result
};
