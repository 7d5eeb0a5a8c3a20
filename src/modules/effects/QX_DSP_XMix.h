// Crossfader between A and B by a position x from -0.5 (all A) to 0.5 (all B), linear (law 0) or
// with 0.75 of each in the centre (law 1). The base of the crossfader with a volume. One whose
// output feeds an earlier module closes a loop and is held at unity gain.
#pragma once

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_XMix : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinA = 0;
    static constexpr int kPinB = 1;
    static constexpr int kPinMix = 2;
    static constexpr int kPinLaw = 3;
    static constexpr int kPinVolume = 4;  // read by the volume variant only
    static constexpr float kCentre = 0.5f;  // t = x + kCentre

    QX_DSP_XMix(QX_EngineHost* host, bool asleep);

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

    // The volume the crossfade is multiplied by: still at 1 here.
    virtual Signal volume() const;

private:
    template <unsigned Moving, unsigned Law, bool Held>
    void renderMoving(int pos, int count);
    // The output reaches a module that runs before this one: a feedback loop.
    bool feedsBack() const;

    unsigned law_ = 0;
    float stillA_ = 0.0f;
    float stillB_ = 0.0f;
    float stillMix_ = 0.0f;
    float stillVolume_ = 1.0f;
    float weightA_ = 0.0f;  // crossfade weights at the still position
    float weightB_ = 0.0f;
};
