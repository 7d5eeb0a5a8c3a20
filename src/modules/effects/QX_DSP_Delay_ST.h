// The stereo whole-sample delay: both channels delayed alike by block copies, optionally crossed.
// The echo uses it to restore the time taken off its lines, so that the heard repeat falls on the beat.
#pragma once

#include "engine/QX_ModuleBase.h"
#include "modules/effects/DelayLineSwitch.h"
#include "modules/effects/DelayRing.h"
#include "modules/effects/IdleCountdown.h"

class QX_DSP_Delay_ST : public QX_ModuleBase {
public:
    static constexpr int kPinLeft = 0;
    static constexpr int kPinRight = 1;
    static constexpr int kPinTime = 2;  // in units of the time unit
    static constexpr int kPinUnit = 3;  // as the mono delay line's
    static constexpr int kPinSize = 4;
    static constexpr int kPinEnable = 5;
    static constexpr int kPinSwap = 6;
    static constexpr int kPinClear = 9;
    static constexpr int kDefaultSize = 4;
    static constexpr int kDefaultUnit = 1;

    using Routine = void (QX_DSP_Delay_ST::*)(int pos, int count);

    QX_DSP_Delay_ST(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void reset() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    virtual void renderDelay(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setDelayRoutine(Routine routine);

private:
    void restart();
    void chooseRoutine();
    void announce(int kind);

    DelayRing rings_[2];
    unsigned write_ = 0;  // where the next block goes; moves up
    const float* input_[2];
    float timeValue_ = 0.0f;
    int unitIndex_ = kDefaultUnit;
    int delay_ = 0;  // whole samples
    DelayLineSwitch line_{kDefaultSize};
    bool swapped_ = false;
    int sentKind_ = -1;
    IdleCountdown silence_;
};
