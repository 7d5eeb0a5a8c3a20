// The periodic modulation source: the three LFOs, the chorus modulators and, at audio rate with its
// pitch following the note, the HFO. It integrates a phase, shapes it and scales it by the amount.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/QX_ModuleBase.h"
#include "modules/modulation/LfoKernels.h"

class QX_DSP_LFO : public QX_ModuleBase {
public:
    static constexpr int kPinRate = 0;         // signal: a pitch, or a frequency in Hz / 10
    static constexpr int kPinPhaseOffset = 1;  // signal: cycles
    static constexpr int kPinRetrigger = 2;    // events: a positive value restarts the phase
    static constexpr int kPinShape = 3;
    static constexpr int kPinRateUnit = 4;  // 0: the rate is a pitch; otherwise a frequency
    static constexpr int kPinOnOff = 5;
    static constexpr int kPinInvertSecond = 6;  // 0: output 1 copies output 0; otherwise it negates it
    static constexpr int kPinAmount = 7;        // signal
    static constexpr int kPinRetriggerOn = 8;
    static constexpr int kPinPerSampleRate = 9;
    static constexpr int kPinTransport = 10;  // a non-zero value restarts the phase

    static constexpr int kOutput = 0;
    static constexpr int kOutputSecond = 1;  // exists once something is wired to it

    QX_DSP_LFO(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void resumeHook() override;
    void onOutputConnected(int output) override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    // Render routines, in slot order after the base's operations.
    virtual void renderSilence(int pos, int count);
    virtual void renderSteady(int pos, int count);
    virtual void renderMovingPhase(int pos, int count);

private:
    void chooseRender();
    void announce(int kind);
    template <bool MovingOffset>
    void renderRunning(int pos, int count);
    void fillIncrements(int pos, int count);
    lfo_kernels::Phase stretchStep(float rate) const;

    // Unwired signal pins read zeros.
    std::unique_ptr<float[]> zeros_;
    const float* rate_;
    const float* offset_;
    const float* amount_;

    lfo_kernels::State state_;
    float hzScale_;  // cycles per sample of one unit of frequency (10 Hz), for per-sample rates
    std::int32_t shape_ = lfo_kernels::kSine;
    std::int32_t pitchMode_ = 1;
    std::int32_t on_ = 1;
    std::int32_t invertSecond_ = -1;
    std::int32_t retrigger_ = -1;
    std::int32_t perSampleRate_ = -1;
    std::int32_t rateMoving_ = 0;
    std::int32_t phaseMoving_ = 0;
    std::int32_t amountMoving_ = 1;
    std::int32_t sentMoving_ = -1;
    std::int32_t idleCountdown_ = 0;
};
