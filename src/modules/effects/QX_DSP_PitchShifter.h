// Delay-line pitch shifter: a read head sweeps a short window behind the write position at a
// speed set by the pitch ratio, and a second head one window further back takes over around the
// wrap. Used for the melt wow and flutter and for shifting each echo repeat.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/QX_ModuleBase.h"

class QX_DSP_PitchShifter : public QX_ModuleBase {
public:
    static constexpr int kPinInput = 0;
    static constexpr int kPinBaseDelay = 1;  // tens of milliseconds (whole units)
    static constexpr int kPinPitch = 2;
    static constexpr int kPinFeedback = 3;
    static constexpr int kPinWindow = 4;  // window in units of 5 ms
    static constexpr int kPinMode = 5;
    static constexpr int kPinScale = 6;  // 0: octaves / 10, 1: units of 1/0.8333 octave, 2: direct ratio
    static constexpr int kPinEnable = 7;
    static constexpr int kPinReset = 8;
    static constexpr int kPinBypass = 9;
    static constexpr int kPinSpare = 19;

    // Crossfades between the two heads: the melt's (modes 1 and 3) and the echo's (2, 4 and 5).
    enum class Fade { Melt, Echo };

    using Routine = void (QX_DSP_PitchShifter::*)(int pos, int count);

    QX_DSP_PitchShifter(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void reset() override;
    void setInput(int pin, const float* source) override;
    void handleEvent(const Event& event, int pos) override;

    template <Fade F>
    void renderShift(int pos, int count);
    virtual void renderPassThrough(int pos, int count);
    virtual void renderSilence(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void setShifterRoutine(Routine routine);

    // Buffer length for a sample rate: 65536, doubled above 48, 96 and 192 kHz.
    static int bufferLength(int sampleRate);

private:
    template <Fade F, bool Glide>
    void shiftLoop(const float* in, float* out, int count);
    void updateIncrement(int pos);
    void clearBuffer();
    void chooseRoutine();
    void announce(int moving);
    void countDownToIdle(int count);

    const int length_;
    const int mask_;
    std::unique_ptr<float[]> buffer_;  // length_ floats and a guard of four
    const float* input_;
    const float* pitchIn_;

    int write_ = 0;
    std::uint32_t phase_ = 0;
    std::uint32_t increment_ = 0;
    std::uint32_t rest_ = 0;
    int window_ = 1;
    int baseDelay_ = 0;
    float windowFactor_ = 0.0f;
    float baseDelayValue_ = 0.0f;
    int scaleMode_ = 1;
    float feedback_ = 0.0f;
    int mode_ = 1;
    int enable_ = 1;
    int bypass_ = 0;
    float spare_ = 1.0f;
    int pitchMoving_ = 0;
    bool pitchZero_ = true;
    double ratioStep_ = 0.0;  // ratio - 1
    bool pitchChanged_ = true;
    bool windowChanged_ = true;
    int inputMoving_ = 0;
    std::int32_t idleCountdown_ = 0;
    int sentMoving_ = -1;
};
