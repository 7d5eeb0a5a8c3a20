// Per voice: passes on the MPE bend, pressure and CC 74 signals of the member channel the voice's
// note arrived on, one output per group of fifteen channel inputs.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_MPE_Switch : public QX_ModuleBase {
public:
    static constexpr int kMemberChannels = 15;                     // member channels 1..15 per group
    static constexpr int kGroups = 4;                              // inputs 15g .. 15g + 14 -> output g
    static constexpr int kSignalPins = kGroups * kMemberChannels;  // pins 0..59
    static constexpr int kPinChannel = 61;                         // the voice's channel nibble - 1
    static constexpr int kMultipliedGroups = 3;
    static constexpr int kMultiplierPins[kMultipliedGroups] = {60, 62, 63};  // per-group factor, groups 0..2

    QX_DSP_MPE_Switch(QX_EngineHost* host, bool asleep);

    void render(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;
    // Only module outputs count as signals here; a parameter or constant on a signal pin is ignored.
    void setInput(int pin, const float* source) override;

private:
    void refreshGroup(int group);

    int channel_ = 0;
    const float* signals_[kSignalPins] = {};
    const float* multipliers_[kMultipliedGroups] = {};
    int kinds_[kSignalPins] = {};
    int multiplierKinds_[kMultipliedGroups] = {};
    int countdowns_[kGroups] = {};  // samples of copying left per output
    int sentKinds_[kGroups] = {-1, -1, -1, -1};
};
