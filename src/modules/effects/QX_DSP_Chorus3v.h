// The chorus core: one delay line read by up to three taps, each swept by its own modulation
// input over the common depth, with linear interpolation and optional feedback from tap 1.
#pragma once

#include <memory>

#include "engine/QX_ModuleBase.h"
#include "modules/effects/DelayLineSwitch.h"
#include "modules/effects/DelayRing.h"
#include "modules/effects/IdleCountdown.h"

class QX_DSP_Chorus3v : public QX_ModuleBase {
public:
    static constexpr int kTaps = 3;
    static constexpr int kPinInput = 0;
    static constexpr int kPinFirstBase = 1;        // base delays of taps 1..3, in time units
    static constexpr int kPinFirstModulation = 6;  // -0.5..0.5 for taps 1..3
    static constexpr int kPinDepth = 14;           // hundredths of a second
    static constexpr int kPinFeedback = 15;
    static constexpr int kPinUnit = 17;  // 1: hundredths of a second, 0: tens of seconds
    static constexpr int kPinEnable = 18;
    static constexpr int kPinTaps = 19;
    static constexpr int kPinSize = 30;
    static constexpr int kPinMinimumOffset = 31;  // hundredths of a second before the earliest read
    static constexpr int kPinClear = 32;
    static constexpr int kDefaultSize = 4;

    using Routine = void (QX_DSP_Chorus3v::*)(int pos, int count);

    QX_DSP_Chorus3v(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void reset() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    // One routine per tap count, with and without feedback.
    template <int Taps, bool Feedback>
    void renderTaps(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setChorusRoutine(Routine routine);

private:
    // The controls read per sample: depth, then the three modulations.
    static constexpr int kControls = 1 + kTaps;

    void restart();
    void placeTaps();
    void chooseRoutine();
    void announce(int activeTaps);
    int controlOf(int pin) const;
    float* stillBuffer(int control) const;

    DelayRing ring_;
    unsigned write_ = 0;
    const float* input_;
    // Each control reads its source's buffer, or one of these filled with its last value.
    std::unique_ptr<float[]> stillValues_;
    const float* controls_[kControls];
    bool bufferFed_[kControls] = {};

    float timeScale_;  // samples per hundredth of a second
    bool hundredths_ = true;
    float baseValues_[kTaps] = {};
    int bases_[kTaps] = {};  // samples
    float minimumOffset_ = 0.0f;  // samples
    float feedback_ = 0.0f;
    int taps_ = kTaps;
    DelayLineSwitch line_{kDefaultSize};
    int sentKinds_[kTaps] = {-1, -1, -1};
    IdleCountdown silence_;
};
