// The stereo bus that adds an effect return (or the host's audio input) to the signal at a return
// level, and also gives the mono sum that feeds the chorus.
#pragma once

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_Level_FX_BUS : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinLeft = 0;
    static constexpr int kPinRight = 1;
    static constexpr int kPinReturnLeft = 2;
    static constexpr int kPinReturnRight = 3;
    static constexpr int kPinReturnLevel = 4;
    static constexpr int kPinReturnOn = 9;
    static constexpr int kPinSquare = 10;
    static constexpr int kPinUnity = 19;
    static constexpr int kOutputMono = 2;  // (left + right) * 0.5

    QX_DSP_Level_FX_BUS(QX_EngineHost* host, bool asleep);

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

private:
    // Inputs passed on, the return left out.
    template <unsigned Moving>
    void renderPass(int pos, int count);
    // The return added at its level; Variant 0 level, 1 level squared, 2 a still level of 1 (no
    // multiplication).
    template <unsigned Moving, unsigned Variant>
    void renderReturn(int pos, int count);

    float still_[5] = {};  // both inputs, both returns, the level
    bool returnOn_ = true;
    bool square_ = false;
    bool unity_ = false;
};
