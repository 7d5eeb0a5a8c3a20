// The per-voice waveshaper after the filter chain: blends the dry signal with a soft-clipped copy
// driven by the drive signal; passes or silences the audio when it has nothing to shape.
#pragma once

#include "engine/QX_ModuleBase.h"
#include "modules/effects/ChannelRouting.h"
#include "modules/effects/IdleCountdown.h"
#include "modules/effects/OutputAnnouncement.h"

class QX_DSP_Saturation : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinInputRight = 1;  // attaching it makes the instance stereo
    static constexpr int kPinDrive = 2;       // 0.5..2.0
    static constexpr int kPinAmountA = 3;     // amount, first source, 0..1
    static constexpr int kPinType = 4;
    static constexpr int kPinAmountB = 5;     // amount, second source, 0..1
    static constexpr int kPinAmountSource = 6;  // 0 takes pin 3, non-zero pin 5
    static constexpr int kPinOn = 9;
    static constexpr int kPinOffMode = 10;    // when off: 0 silence, non-zero pass-through
    static constexpr int kOutputLeft = 0;
    static constexpr int kOutputRight = 1;
    static constexpr int kCurveQuartic = 5;   // the curve the netlist selects

    using Routine = void (QX_DSP_Saturation::*)(int pos, int count);

    QX_DSP_Saturation(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    virtual void renderSilence(int pos, int count);
    virtual void renderPassThrough(int pos, int count);
    virtual void renderQuartic(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setSaturationRoutine(Routine routine);

private:
    void chooseRoutine();
    Routine curveRoutine() const;
    void announce(int moving);
    void countDownToIdle(int count);
    float amountStill() const { return amountSource_ != 0 ? amountStillB_ : amountStillA_; }

    const float* input_[2];
    const float* drive_;
    const float* amount_[2];

    int type_ = 1;
    int on_ = 1;
    int offMode_ = 0;
    int amountSource_ = 0;
    float driveStill_ = 1.0f;     // the value at the last still event; kMovingValue while it moves
    float amountStillA_ = 0.0f;
    float amountStillB_ = 0.0f;
    int inputMoving_ = 0;
    OutputAnnouncement announcement_;
    IdleCountdown idle_;
    ChannelRouting routing_;
};
