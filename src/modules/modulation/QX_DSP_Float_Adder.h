// Sums up to 29 control values with a gain and an offset, and counts the inputs that are on
// (at least 0.5).
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Float_Adder : public QX_ModuleBase {
public:
    static constexpr int kValuePins = 29;  // pins 0..28
    static constexpr int kPinGain = 29;
    static constexpr int kPinOffset = 30;
    static constexpr int kPinEnable = 31;

    QX_DSP_Float_Adder(QX_EngineHost* host, bool asleep);

    void renderAlt(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;

private:
    float values_[kValuePins] = {};
    std::uint32_t onFlags_ = 0;  // bit p: value p is at least 0.5
    float gain_ = 1.0f;
    float offset_ = 0.0f;
    std::int32_t enable_ = -1;  // nonzero = on
};
