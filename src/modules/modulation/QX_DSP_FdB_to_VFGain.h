// The output-gain law of the EQ faders: a fader position becomes a gain that ramps over 30 ms
// while audio runs and jumps while it does not or a program was just applied.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_FdB_to_VFGain : public QX_ModuleBase {
public:
    static constexpr int kPinFader = 0;
    static constexpr int kPinReevaluate = 1;

    QX_DSP_FdB_to_VFGain(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

    // The gain for a fader position (the fader's engineering value).
    static float gainFor(float fader);

private:
    void renderStart(int pos, int count);
    void renderRamp(int pos, int count);
    void renderHold(int pos, int count);

    float fader_ = 0.0f;
    float target_ = 0.0f;
    float current_ = 0.0f;
    float step_ = 0.0f;
    int rampLeft_ = 0;  // samples until the target is reached
    int holdLeft_ = 0;  // samples of the buffer still to be written with the target
};
