// The routing summer: up to 16 inputs, each added only while its selector equals its match value,
// plus three offsets, optionally clamped. One Adder is one row of the modulation matrix.
#pragma once

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_Adder : public QX_DSP_MixModuleBase {
public:
    static constexpr int kInputs = 16;            // summed inputs on pins 0..15
    static constexpr int kFirstSelectorPin = 20;  // selector of input i on pin 20 + i
    static constexpr int kFirstMatchPin = 40;     // match value of input i on pin 40 + i
    static constexpr int kFirstOffsetPin = 56;    // three offsets on pins 56..58
    static constexpr int kOffsets = 3;
    static constexpr int kPinMin = 59;
    static constexpr int kPinMax = 60;
    static constexpr int kPinEnable = 61;
    static constexpr int kPinForcedMoving = 62;  // index of an input that always counts as moving
    static constexpr float kDefaultMin = -1000.0f;
    static constexpr float kDefaultMax = 1000.0f;

    QX_DSP_Adder(QX_EngineHost* host, bool asleep);

    void setInput(int pin, const float* source) override;
    void prepare() override;

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

private:
    template <unsigned Count, bool Clamp>
    void renderSum(int pos, int count);

    std::int32_t selectors_[kInputs] = {};
    std::int32_t matches_[kInputs] = {};
    float offsets_[kOffsets] = {};
    float min_ = kDefaultMin;
    float max_ = kDefaultMax;
    bool enabled_ = true;
    bool clamped_ = false;  // pin 59 or 60 is wired
    int forcedMoving_ = -1;
    float sum_ = 0.0f;  // offsets and still selected inputs
    int movingInputs_[kInputs] = {};
};
