// The voice's drive stage: a gain with a soft knee above a threshold, optionally compensated so
// that louder drive does not mean a louder voice; passes or silences the audio by mode.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Soft_Limiter : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinThreshold = 1;
    static constexpr int kPinGain = 2;
    static constexpr int kPinKnee = 3;         // knee depth h; the ceiling above the threshold is h^2 / 10
    static constexpr int kPinScale = 4;        // output scale o; the output is multiplied by o^2
    static constexpr int kPinMode = 5;         // 0 silence, 1 pass-through, 2 limit
    static constexpr int kPinCompensation = 19;  // attaching anything switches compensation on
    static constexpr int kPinCompensationBase = 20;
    static constexpr int kOutput = 0;
    static constexpr int kModeSilence = 0;
    static constexpr int kModePass = 1;
    static constexpr int kModeLimit = 2;

    using Routine = void (QX_DSP_Soft_Limiter::*)(int pos, int count);

    QX_DSP_Soft_Limiter(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    virtual void renderPassThrough(int pos, int count);
    // Still: gain, threshold and scale from their last events; Moving: from their pins per sample.
    template <bool Moving>
    void renderLimit(int pos, int count);
    template <bool Moving>
    void renderCompensatedLimit(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setLimiterRoutine(Routine routine);

private:
    void chooseRoutine();
    void updateMakeup();
    void announce(int moving);
    void countDownToIdle(int count);

    const float* input_;
    const float* threshold_;
    const float* gain_;
    const float* knee_;
    const float* scale_;

    int mode_ = kModeLimit;
    bool compensated_ = false;
    float base_ = 0.75f;   // b; the slope of the compensation is c = 1 - b
    float slope_ = 0.25f;
    float stillInput_ = 1.0f;
    float stillThreshold_ = 1.0f;
    float stillGain_ = 1.0f;
    float stillScale_ = 1.0f;
    int kinds_[kPinScale + 1] = {};  // last kind per pin 0..4
    int anyMoving_ = 0;
    int outputMoving_ = 0;           // what the limit routines announce
    float makeup_ = 1.0f;
    int sentMoving_ = -1;
    std::int32_t idleCountdown_ = 0;
};
