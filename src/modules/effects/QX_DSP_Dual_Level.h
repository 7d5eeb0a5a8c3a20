// Two independent gain stages: out0 = A * gain A, out1 = B * gain B, the gains squared with the
// square flag.
#pragma once

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_Dual_Level : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinA = 0;
    static constexpr int kPinB = 1;
    static constexpr int kPinGainA = 2;
    static constexpr int kPinGainB = 3;
    static constexpr int kPinEnable = 9;
    static constexpr int kPinSquare = 10;

    QX_DSP_Dual_Level(QX_EngineHost* host, bool asleep);

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

private:
    template <unsigned Moving, bool Square>
    void renderMoving(int pos, int count);

    float still_[4] = {};  // A, B, gain A, gain B
    bool enabled_ = true;
    bool square_ = false;
};
