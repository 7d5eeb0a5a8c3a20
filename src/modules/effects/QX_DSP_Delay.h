// The mono delay line: an audio-rate or static delay time with linear interpolation, optional
// feedback (plain or through a one-pole low-pass), bypass and a silent state. It carries the two
// echo lines and the right-hand spread of the chorus.
#pragma once

#include "engine/QX_ModuleBase.h"
#include "modules/effects/DelayLineSwitch.h"
#include "modules/effects/DelayRing.h"
#include "modules/effects/IdleCountdown.h"

class QX_DSP_Delay : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinTime = 1;       // in units of the time unit
    static constexpr int kPinFeedback = 2;
    static constexpr int kPinSmoothing = 3;  // loop low-pass coefficient at 44.1 kHz; 0 = plain loop
    static constexpr int kPinMode = 4;       // 1 interpolates, 0 reads whole samples
    static constexpr int kPinUnit = 5;       // 0: tens of seconds, 1: hundredths of a second, 2: tens of samples
    static constexpr int kPinSize = 6;
    static constexpr int kPinEnable = 7;
    static constexpr int kPinClear = 8;
    static constexpr int kPinBypass = 9;
    static constexpr int kDefaultSize = 1;
    static constexpr int kDefaultUnit = 1;

    enum class Loop { Open, Plain, Smoothed };

    using Routine = void (QX_DSP_Delay::*)(int pos, int count);

    QX_DSP_Delay(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void reset() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    template <bool Interpolate, bool MovingTime, Loop L>
    void renderLine(int pos, int count);
    virtual void renderBypass(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setDelayRoutine(Routine routine);

private:
    void restart();
    void chooseRoutine();
    void announce(int kind);
    float valueAt(const Event& event, int pos) const;

    DelayRing ring_;
    unsigned write_ = 0;
    float loopState_ = 0.0f;

    const float* input_;
    const float* time_;
    bool bufferFed_[kModulePins] = {};  // the pin reads another module's buffer

    float timeValue_ = 0.0f;  // the still delay time
    bool timeMoving_ = false;
    int whole_ = 0;  // the still delay in samples, split
    float fraction_ = 0.0f;
    float unit_ = 0.0f;  // samples per time unit
    int unitIndex_ = kDefaultUnit;
    float feedback_ = 0.0f;
    float smoothing_ = 0.0f;    // as given
    float coefficient_ = 0.0f;  // at this sample rate, bounded
    bool interpolate_ = true;
    DelayLineSwitch line_{kDefaultSize};
    bool bypass_ = false;
    int sentKind_ = -1;
    IdleCountdown silence_;
};
