// The per-voice multi-mode filter: biquad low-pass laws A to D, two-pole laws E to H, Acid, Milk
// and the high-pass, in 12 or 24 dB, with coefficient streams computed per sample or per call.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/effects/ChannelRouting.h"
#include "modules/effects/FilterKernels.h"
#include "modules/effects/IdleCountdown.h"
#include "modules/effects/OutputAnnouncement.h"

class QX_VoiceAllocatorBase;

class QX_DSP_Multi_Filter : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinInputRight = 1;  // attaching it makes the instance stereo
    static constexpr int kPinCutoff = 2;      // pitch units, or Hz / 10 in frequency mode
    static constexpr int kPinResonance = 3;   // 0..0.9
    static constexpr int kPinAux = 4;
    static constexpr int kPinType = 5;
    static constexpr int kPinMode = 6;        // stages - 1: "24dB" sends 1 (tenths of 0.1), "12dB" 0
    static constexpr int kPinCutoffUnit = 7;  // 0 pitch, non-zero frequency
    static constexpr int kPinPerSample = 8;   // non-zero: coefficients for every sample
    static constexpr int kPinHeldA = 9;
    static constexpr int kPinOn = 10;
    static constexpr int kPinGate = 11;
    static constexpr int kPinHeldB = 19;
    static constexpr int kPinSwap = 20;
    static constexpr int kPinFreeze = 29;
    static constexpr int kOutputLeft = 0;
    static constexpr int kOutputRight = 1;
    static constexpr int kFirstStream = 2;  // outputs 2..9 hold the coefficient streams c0..c7
    static constexpr int kHighPassType = 11;

    using Routine = void (QX_DSP_Multi_Filter::*)(int pos, int count);

    // An owner (the voice-linked variant) is told when this voice's filter has gone silent.
    QX_DSP_Multi_Filter(QX_EngineHost* host, bool asleep, QX_VoiceAllocatorBase* owner = nullptr,
                        int voiceNumber = 0);

    void prepare() override;
    void suspendHook() override;
    void reset() override;
    void sleep() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    // One routine per law and stage count.
    template <filter_kernels::Law L, int Stages>
    void renderLaw(int pos, int count);
    virtual void renderPassThrough(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderSettle(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setFilterRoutine(Routine routine);

private:
    enum class Streams { Fixed, PerSample };

    void chooseRoutine();
    Routine lawRoutine() const;
    template <filter_kernels::Law L, int Stages>
    Streams refreshCoefficients(int pos, int count);
    template <filter_kernels::Law L, int Stages, class Cutoff>
    void fillStreams(const Cutoff& cutoff, int pos, int count);
    template <filter_kernels::Law L, int Stages, class Source>
    void runChannel(const float* in, float* out, int count, filter_kernels::ChannelMemory& memory,
                    const Source& coefficients, float resonance);
    bool settledSilent() const;
    void announce(int moving);
    void countDownToSettle(int count);

    QX_VoiceAllocatorBase* owner_;
    int voiceNumber_;

    const float* input_[2];
    const float* cutoffIn_;
    const float* resonanceIn_;

    int type_ = 0;
    int stages_ = 1;
    bool hzMode_ = true;
    bool perSample_ = true;
    filter_kernels::ChannelMemory memory_[2] = {};
    filter_kernels::Coefficients current_ = {};  // in use once the countdown has run out
    std::int32_t recomputeCountdown_ = 0;
    int cutoffMoving_ = 0;
    int resonanceMoving_ = 0;
    int auxMoving_ = 0;
    int anyMoving_ = 0;
    int inputMoving_ = 0;
    float inputStillValue_ = 0.0f;
    bool inputSilent_ = false;
    IdleCountdown idle_;
    bool clearRequest_ = false;
    OutputAnnouncement announcement_;
    int on_ = 1;
    int heldA_ = 1;
    int heldB_ = 0;
    int lastType_ = -1;
    ChannelRouting routing_;
    bool frozen_ = false;
};
