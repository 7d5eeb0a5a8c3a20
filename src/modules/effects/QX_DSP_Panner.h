// The voice panner: one signal to left and right by a position x from -0.5 (left) to 0.5 (right),
// times a gain (squared with the square flag). Law 0 is linear, law 1 gives 0.75 to each side in
// the centre.
#pragma once

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_Panner : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinSignal = 0;
    static constexpr int kPinPan = 1;
    static constexpr int kPinGain = 2;
    static constexpr int kPinLaw = 3;
    static constexpr int kPinSquare = 4;
    static constexpr float kCentre = 0.5f;  // p = x + kCentre

    QX_DSP_Panner(QX_EngineHost* host, bool asleep);

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

private:
    template <unsigned Moving, unsigned Law, bool Square>
    void renderMoving(int pos, int count);

    unsigned law_ = 0;
    bool square_ = false;
    float stillSignal_ = 0.0f;
    float stillPan_ = 0.0f;
    float stillGain_ = 0.0f;
    float weights_[2] = {};  // left and right at the still position
};
