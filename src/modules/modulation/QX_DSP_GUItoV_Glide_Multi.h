// Up to 48 control values smoothed into 48 signals: each change ramps linearly over a ramp time
// common to all channels (30 ms unless wired), through one common scale, offset and gate.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_GUItoV_Glide_Multi : public QX_ModuleBase {
public:
    static constexpr int kChannels = 48;       // value pins 0..47 feed outputs 0..47
    static constexpr int kPinRampTime = 49;    // fvalue x 10 = ms
    static constexpr int kPinScaleA = 50;      // fvalue x 10
    static constexpr int kPinOffset = 51;      // fvalue x 10
    static constexpr int kPinScaleB = 52;      // fvalue x 10
    static constexpr int kPinGate = 60;        // ivalue 0 closes every channel

    QX_DSP_GUItoV_Glide_Multi(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;

    // Ramp length in samples for a ramp-time value (ms / 10) at a sample rate.
    static std::int32_t rampSamples(float value, int sampleRate);

private:
    struct Channel {
        float raw = 0.0f;     // last value received
        float target = 0.0f;
        float start = 0.0f;   // value at the first sample of the ramp
        float step = 0.0f;    // per sample
        float lo = 0.0f;      // the ramp stays within lo..hi, so it never passes the target
        float hi = 0.0f;
        std::int32_t elapsed = 0;   // ramp samples written
        std::int32_t rampLeft = 0;  // ramp samples still to write
        std::int32_t holdLeft = 0;  // samples of the target still to write after the ramp
        std::uint32_t end = 0;      // when the output is announced still
        int sentKind = kEventStill;
    };

    void renderChannels(int pos, int count);
    void applyChanges();
    void retarget(int k, float target, bool jump);
    void writeChannel(Channel& channel, float* out, int count);
    float valueNow(const Channel& channel) const;

    Channel channels_[kChannels];
    std::uint64_t connected_ = 0;  // value pins wired to a parameter or an output
    std::uint64_t changed_ = 0;    // channels whose value changed since the last render
    std::uint64_t active_ = 0;     // channels still writing or still to announce
    bool allDirty_ = false;        // scale, offset or gate changed
    std::int32_t rampLength_ = 0;
    std::int32_t tailLength_ = 0;
    float scaleA_ = 1.0f;
    float scaleB_ = 1.0f;
    float offset_ = 0.0f;
    float gate_ = 1.0f;
};
