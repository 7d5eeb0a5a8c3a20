// Reads the host's tempo and transport once per engine block and announces changes to the LFOs,
// the control logic, the tempo clock and the arpeggiator.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_Host_Tempo : public QX_ModuleBase {
public:
    static constexpr int kOutputTransport = 0;       // 10 / 1.0 playing, 0 / 0.0 stopped
    static constexpr int kOutputTempo = 1;           // trunc(BPM) / BPM x 0.1
    static constexpr int kOutputSecondsPerBeat = 4;
    static constexpr int kOutputBeatsPerSecond = 5;

    static constexpr double kDefaultBpm = 120.0;  // what a tempo of 0 means

    QX_DSP_Host_Tempo(QX_EngineHost* host, bool asleep);

    void render(int pos, int count) override;
    void prepare() override;
    void suspendHook() override;

private:
    double lastTempo_ = 0.0;  // BPM
    float tempoValue_ = 0.0f;  // BPM / 10
    int playing_ = -1;        // -1: not read yet
};
