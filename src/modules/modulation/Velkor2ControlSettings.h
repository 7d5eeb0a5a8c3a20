// What the control hub's parameters currently say, and the values it derives from them: the
// stored side of the synth control logic, free of timing and sending.
#pragma once

#include <cstdint>

#include "modules/modulation/Velkor2ControlTables.h"

struct Velkor2ControlSettings {
    // Groups whose derived outputs are due at the next render.
    enum Dirty : std::uint32_t {
        kDirtyTempo = 1u << 0,
        kDirtyEcho = 1u << 1,
        kDirtyLfo1 = 1u << 2,  // LFO k on kDirtyLfo1 << k
        kDirtyHfoPitch = 1u << 5,
        kDirtyHfoLevel = 1u << 6,
        kDirtyFilter = 1u << 7,
        kDirtyGain = 1u << 8,
        kDirtyEq = 1u << 9,
        kDirtyChorusMode = 1u << 10,
        kDirtyChorusMelt = 1u << 11,
        kDirtyMeltA = 1u << 12,
        kDirtyAll = ~0u,
    };
    static constexpr int kLfos = 3;
    static constexpr float kChorusOffMix = -0.5f;  // the chorus mix sent while the chorus is off

    Velkor2ControlSettings();

    // The values a prepared module starts from.
    void restart();
    // Stores an input that only feeds derived outputs; returns the groups it makes due, or 0 when
    // the pin is not one of them (or the value is refused).
    std::uint32_t store(int pin, std::int32_t option, float value);

    float echoTime() const;
    float lfoRate(int lfo) const;
    std::int32_t lfo3Tracking() const;
    float hfoPitch() const { return hfoOct + hfoSemi + hfoTune; }
    float hfoScale() const;  // depth and level are doubled for the four FM targets
    float resonanceOut() const;
    std::int32_t eqFirstCode() const;
    std::int32_t eqSecondCode() const;
    const velkor2_control::LimiterRouting& limiterRouting() const;

    float tempo;  // BPM / 10
    float echoBeats;
    float echoLength;
    std::int32_t echoStep;
    std::int32_t echoDotted;
    float lfoRates[kLfos] = {};
    float lfoTicks[kLfos];
    std::int32_t lfoSync[kLfos] = {};
    std::int32_t lfo3Track = 0;
    float hfoOct = 0.0f;
    float hfoSemi = 0.0f;
    float hfoTune = 0.0f;
    std::int32_t hfoTarget = 0;
    float hfoDepth = 0.0f;
    float hfoLevel = 0.0f;
    float meltAPitch = 0.0f;
    float meltAJump = 0.0f;
    float meltAAmp = 0.0f;
    float meltABlend = 0.0f;
    std::int32_t filter2Active;
    float filter2Offset;
    float resonance = 0.0f;
    std::int32_t gainMode;
    std::int32_t eqActive;
    std::int32_t eqPost;
    std::int32_t chorusMode;
    float chorusMix;
    float chorusRate;
    float chorusSep;
    float chorusDepth;
    float chorusMelt;
};
