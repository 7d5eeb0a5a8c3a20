// A self-contained stereo filter of up to three biquad sections (low-pass laws A to D, the law-A
// high-pass and the peak), each with one coefficient set per chunk from its pin values: the
// echo's low- and high-pass pair and the HFO's smoothing filter.
#pragma once

#include "engine/QX_ModuleBase.h"
#include "modules/effects/ChannelRouting.h"
#include "modules/effects/FilterKernels.h"
#include "modules/effects/IdleCountdown.h"
#include "modules/effects/OutputAnnouncement.h"

class QX_DSP_BiQuad_Static : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinInputRight = 1;  // attaching it makes the instance stereo
    static constexpr int kPinCutoffUnit = 7;  // 0 pitch, non-zero frequency (Hz / 10)
    static constexpr int kPinHeldA = 9;
    static constexpr int kPinOn = 10;
    static constexpr int kPinGate = 11;
    static constexpr int kPinHeldB = 19;
    static constexpr int kPinSwap = 20;
    static constexpr int kSections = 3;
    // Each section's pins, from its base: cutoff, resonance, auxiliary, type (ivalue), stages - 1.
    static constexpr int kSectionBase[kSections] = {2, 29, 39};
    static constexpr int kCutoffOffset = 0;
    static constexpr int kResonanceOffset = 1;
    static constexpr int kAuxOffset = 2;
    static constexpr int kTypeOffset = 3;
    static constexpr int kStagesOffset = 4;
    static constexpr int kSignalPins = 3;  // cutoff, resonance, auxiliary
    static constexpr int kHighPassType = 5;
    static constexpr int kPeakType = 11;  // resonance is the width, auxiliary the gain value
    static constexpr int kOutputLeft = 0;
    static constexpr int kOutputRight = 1;

    using Routine = void (QX_DSP_BiQuad_Static::*)(int pos, int count);

    QX_DSP_BiQuad_Static(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void suspendHook() override;
    void reset() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    virtual void renderProcess(int pos, int count);
    virtual void renderPassThrough(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setStaticRoutine(Routine routine);

private:
    struct Section {
        const float* signal[kSignalPins];
        int moving[kSignalPins];
        int type;
        int stages;
        bool recompute;
        filter_kernels::Coefficients set;
        filter_kernels::BiquadMemory memory[2][filter_kernels::kMaxStages];
    };

    bool handleSectionEvent(const Event& event);
    void chooseRoutine();
    bool computeSet(Section& section, int pos);
    bool settledSilent() const;
    // The input, guarded, straight to the outputs.
    void passBounded(int pos, int count);
    void announce(int moving);
    void countDownToIdle(int count);

    const float* input_[2];
    Section sections_[kSections] = {};
    bool hzMode_ = true;
    int heldA_ = 1;
    int heldB_ = 0;
    int on_ = 1;
    bool clearRequest_ = false;
    ChannelRouting routing_;
    int inputMoving_ = 0;
    float inputStillValue_ = 0.0f;
    bool inputSilent_ = false;
    IdleCountdown idle_;
    OutputAnnouncement announcement_;
};
