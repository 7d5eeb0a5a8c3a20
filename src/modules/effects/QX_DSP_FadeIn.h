// Fade-in in front of an LFO's amount: on each trigger the signal (and an optional second one) is
// multiplied by a ramp from 0 to 1 over the fade time, then passed through.
#pragma once

#include <cstdint>

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_FadeIn : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinSignal = 0;
    static constexpr int kPinSecond = 1;  // optional; output 1 exists while it is wired
    static constexpr int kPinTrigger = 2;
    static constexpr int kPinFadeTime = 3;  // hundredths of a second
    static constexpr int kPinEnable = 9;
    static constexpr int kPinRampEnd = 63;  // the module's own reminder that a ramp is over
    static constexpr float kMaxFadeTime = 1000.0f;

    QX_DSP_FadeIn(QX_EngineHost* host, bool asleep);

    void setInput(int pin, const float* source) override;

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

private:
    void startRamp();
    bool ramping() const;

    template <unsigned Moving, bool Second>
    void renderPass(int pos, int count);
    template <unsigned Moving, bool Second>
    void renderRamp(int pos, int count);

    float still_[2] = {};
    float fadeTime_ = 0.0f;
    bool enabled_ = true;
    bool rampActive_ = false;
    std::uint32_t rampStart_ = 0;   // engine time of the ramp's first sample
    std::uint32_t rampLength_ = 0;  // samples until the signal passes unchanged
    float increment_ = 0.0f;        // gain step per sample
};
