// The voice's wavetable oscillators: band-limited table reading with a harmonic limit, pulse from
// two saw readings, phase modulation, hard sync at the sync signal's rising zero crossings, a
// slow random drift of the frequency and a phase reset on the gate.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/QX_ModuleBase.h"

class SharedSynthTables;

class QX_DSP_OSC_Multi_Out_x8 : public QX_ModuleBase {
public:
    static constexpr int kOscillators = 8;  // oscillator k writes output k

    // Input pins. Wave, harmonics, level, ratio and phase modulation are numbered for
    // oscillator 0; oscillator k reads the pin plus k.
    static constexpr int kPinPitch = 0;
    static constexpr int kPinGate = 1;
    static constexpr int kPinSyncSource = 2;
    static constexpr int kPinCount = 3;
    static constexpr int kPinActive = 4;
    static constexpr int kPinDrift = 7;
    static constexpr int kPinWave = 9;
    static constexpr int kPinHarmonics = 19;
    static constexpr int kPinLevel = 29;
    static constexpr int kPinRatio = 39;
    static constexpr int kPinPhaseMod = 49;
    static constexpr int kPinWidth = 57;
    static constexpr int kPinSyncOn = 61;
    static constexpr int kPinRetrigger = 62;

    // While pitch or ratio moves, the harmonic count is chosen again at every multiple of this
    // many ring positions, so where events split a block never changes the sound.
    static constexpr int kHarmonicGrid = 16;

    QX_DSP_OSC_Multi_Out_x8(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void resumeHook() override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;

private:
    struct Oscillator {
        std::uint32_t phase = 0;  // fraction of a cycle in units of 2^-32
        int wave = 0;
        int harmonics = 0;
        float levelOn = 0.0f;  // level at the last still level event; 1 while the level moves
        int ratioMoving = 0;
        int phaseModMoving = 0;
        int outputOn = -1;  // -1: nothing announced yet
        int clearCountdown = 0;
    };

    // The drift's random words. One pair serves every oscillator of the engine, so voices and
    // oscillators drift apart instead of together.
    struct DriftSource {
        std::uint32_t a;
        std::uint32_t b;
        void reset();
        std::int32_t draw();
    };

    template <bool PerSamplePitch, bool Sync>
    void renderOscillators(int pos, int count);
    void renderSilenced(int pos, int count);

    void chooseRender();
    void handleOscillatorEvent(const Event& event, int pos);
    void setDrift(float amount);
    void stepDrift();
    // The off path of oscillator k: announces the stop once, then zeroes one block of output.
    // Returns whether it wrote anything.
    bool silence(int k, int pos, int count);
    void announceOn(int k);
    int harmonicCount(const Oscillator& osc, float pitch, float ratio) const;
    const float* tableRow(int wave, int harmonics) const;
    float syncBefore(int i) const;
    int nextCrossing(int from, int end) const;
    std::uint32_t crossingPhase(int i, float increment) const;

    const SharedSynthTables* tables_;
    const float* signals_[kModulePins];  // what each input reads; silence when no module feeds it
    Oscillator oscillators_[kOscillators];
    std::vector<float> scratch_;  // per-sample increments of the stretch

    double increment_ = 0.0;  // cycles per sample at ratio 0.1, without drift
    float syncIncrement_ = 0.0f;
    int pitchMoving_ = 0;
    int recompute_ = 0;  // 1: per sample, -1: once at the next stretch
    float harmonicCeilingHz_ = 0.0f;

    float driftAmount_ = 0.0f;
    float driftFactor_ = 1.0f;
    float driftStep_ = 0.0f;
    int driftPeriod_ = 1;  // blocks
    int driftCountdown_ = 0;
    DriftSource ownDrift_{};
    DriftSource* drift_ = &ownDrift_;

    int syncOn_ = 0;
    int syncMoving_ = 0;
    float lastSync_ = 0.0f;  // the sync input's last sample of the last ring pass played
    int retrigger_ = 0;
    int count_ = kOscillators;
    int active_ = 1;
};
