// One EQ band's coefficient generator: turns the band's frequency, width and gain signals into the
// five biquad coefficient streams, and tells the engines whether the band is active.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/effects/FilterKernels.h"

class QX_DSP_BiQuad_Coeff : public QX_ModuleBase {
public:
    static constexpr int kPinFrequency = 0;  // Hz / 10 in frequency mode, pitch otherwise
    static constexpr int kPinWidth = 1;
    static constexpr int kPinGain = 2;  // from the dB-to-gain converter: 0 is 0 dB
    static constexpr int kPinType = 3;
    static constexpr int kPinPerSample = 5;
    static constexpr int kPinOn = 6;
    static constexpr int kPinFrequencyUnit = 7;  // 0 pitch, non-zero frequency
    static constexpr int kStreams = 5;           // outputs 0..4: b0, b1, b2, a1, a2
    static constexpr int kOutputActive = 5;      // events only: band active (1) or inactive (0)
    static constexpr int kPeakType = 11;

    using Routine = void (QX_DSP_BiQuad_Coeff::*)(int pos, int count);

    QX_DSP_BiQuad_Coeff(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    virtual void renderOff(int pos, int count);
    virtual void renderPeak(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setCoeffRoutine(Routine routine);

private:
    void chooseRoutine(int pos);
    void announceMoving(int moving);
    void announceActive(int active);
    void fillStreams(int pos, int count, int computed);
    void countDownToIdle(int count);

    const float* frequencyIn_;
    const float* widthIn_;
    const float* gainIn_;

    int type_ = kPeakType;
    bool perSample_ = true;
    int on_ = 1;
    bool hzMode_ = true;
    int frequencyMoving_ = 0;
    int widthMoving_ = 0;
    int gainMoving_ = 0;
    bool gainSilent_ = false;  // still at exactly 0 dB: the engines skip the band
    std::int32_t idleCountdown_ = 0;
    int sentMoving_ = -1;
    int sentActive_ = -1;
};
