// The tempo clock: one-sample pulses at the sequencer's and the arpeggiator's step rates, locked to
// the first key of a phrase, plus a phrase pulse and per-clock restart pulses at that key.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Midi_Sync_Tempo : public QX_ModuleBase {
public:
    static constexpr int kClocks = 4;
    static constexpr int kPinMidi = 0;
    static constexpr int kPinTempo = 1;
    static constexpr int kPinRate = 2;     // + clock index 0..3
    static constexpr int kPinHold = 12;    // + clock index
    static constexpr int kPinFactor = 22;  // + clock index
    static constexpr int kOutputPhrase = 0;
    static constexpr int kOutputClock = 1;     // + clock index
    static constexpr int kOutputRestart = 11;  // + clock index

    QX_DSP_Midi_Sync_Tempo(QX_EngineHost* host, bool asleep);

    void render(int pos, int count) override;
    void prepare() override;
    void suspendHook() override;
    void handleEvent(const Event& event, int pos) override;

private:
    void midiIn(std::int32_t word);
    void firstKey();
    void recompute(int c);
    void pulse(std::uint32_t time, int output);

    double tempo_ = 12.0;  // BPM / 10
    double rate_[kClocks] = {};
    double factor_[kClocks] = {1.0, 1.0, 1.0, 1.0};
    double inc_[kClocks] = {};
    double phase_[kClocks] = {};
    bool dirty_[kClocks] = {};
    bool active_[kClocks] = {};
    bool hold_[kClocks] = {};
    bool restart_[kClocks] = {};
    int keysDown_ = 0;
    std::uint32_t startTime_ = 0;
    int channel_ = 0;  // whose CC 123 / CC 120 forget the keys
};
