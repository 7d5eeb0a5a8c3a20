// Combines the voice's two oscillators by "Osc Mode": mix, the logic modes and, or and xor of the
// levelled signals against a threshold, ring, sync (a mix; oscillator 2 does the syncing) and a
// cross-wave fade.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_Velkor2_OSC_Combine : public QX_ModuleBase {
public:
    static constexpr int kPinA = 0;
    static constexpr int kPinLevelA = 1;
    static constexpr int kPinB = 2;
    static constexpr int kPinLevelB = 3;
    static constexpr int kPinCrossFade = 4;
    static constexpr int kPinMode = 5;
    static constexpr int kPinThreshold = 9;

    enum Mode : int { kMix, kAnd, kOr, kXor, kRing, kSync, kXWave, kModeCount };

    QX_DSP_Velkor2_OSC_Combine(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;

private:
    template <int M>
    void renderMode(int pos, int count);
    void chooseRender();

    static constexpr int kSignalPins = kPinThreshold + 1;
    const float* signals_[kSignalPins];  // silence when no module feeds the pin
    int mode_ = kMix;
};
