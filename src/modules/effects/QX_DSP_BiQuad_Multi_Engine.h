// One channel of the parametric EQ: runs the audio through up to five bands in series, each
// band's coefficients streamed from its coefficient module; skips inactive bands and settles to
// a held value when its output stops changing.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/effects/FilterKernels.h"

class QX_DSP_BiQuad_Multi_Engine : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinPerSample = 1;
    static constexpr int kPinOn = 2;
    static constexpr int kPinEnable = 3;  // the pre/post choice
    static constexpr int kPinGate = 4;
    static constexpr int kPinEnable2 = 5;
    static constexpr int kBands = 5;
    static constexpr int kStreams = 5;  // b0, b1, b2, a1, a2
    // Band k (0-based) takes its streams on pins 10k + 9 .. 10k + 13 and its active events on 10k + 14.
    static constexpr int kFirstBandPin = 9;
    static constexpr int kBandPinStride = 10;
    static constexpr int kActiveOffset = kStreams;
    static constexpr int streamPin(int band, int stream) { return kFirstBandPin + kBandPinStride * band + stream; }
    static constexpr int activePin(int band) { return streamPin(band, kActiveOffset); }

    using Routine = void (QX_DSP_BiQuad_Multi_Engine::*)(int pos, int count);

    QX_DSP_BiQuad_Multi_Engine(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    virtual void renderProcess(int pos, int count);
    virtual void renderConstant(int pos, int count);
    virtual void renderPassThrough(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setEngineRoutine(Routine routine);

private:
    struct Band {
        const float* streams[kStreams];
        filter_kernels::BiquadMemory memory;
        bool active;
        int moving;
    };

    void handleBandEvent(const Event& event);
    void chooseRoutine();
    void clearBands();
    bool blockIsConstant() const;
    void announce(int moving);
    void countDownToIdle(int count);

    const float* input_;
    Band bands_[kBands] = {};
    int on_ = 1;
    int enable_ = 1;
    int enable2_ = 1;
    bool perSample_ = true;
    int inputMoving_ = 0;
    float inputStillValue_ = 0.0f;
    bool stillCheck_ = false;
    float heldValue_ = 0.0f;
    std::int32_t idleCountdown_ = 0;
    int sentMoving_ = -1;
};
