// The synthesizer's one noise generator, read by every voice: white noise from a two-word integer
// generator through a one-pole lowpass and highpass, optionally held for several samples.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Noise : public QX_ModuleBase {
public:
    static constexpr int kPinLowpass = 4;   // 1 passes nothing new, 0 leaves the noise alone
    static constexpr int kPinHighpass = 5;  // 0 passes everything, 1 removes everything
    static constexpr int kPinTone = 6;      // samples per drawn value at 44.1 kHz
    static constexpr int kPinOnOff = 9;

    static constexpr int kOutput = 0;

    QX_DSP_Noise(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

private:
    void chooseRender();
    template <bool Filtered, bool Hold>
    void renderNoise(int pos, int count);
    void renderSilence(int pos, int count);

    std::uint32_t x_ = 0;
    std::uint32_t y_ = 0;
    float lpCoef_ = 0.0f;
    float hpCoef_ = 0.0f;
    float lp_ = 0.0f;
    float hp_ = 0.0f;
    std::int32_t holdPeriod_ = 1;
    std::int32_t holdCounter_ = 0;
    float held_ = 0.0f;
    bool on_ = true;
    std::int32_t movingSent_ = -1;
    std::int32_t idleCountdown_ = 0;
};
