#include "modules/voice/QX_DSP_Host_Tempo.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"

namespace {

constexpr double kMaxBpm = 999.0;  // keeps the clocks' step lengths above a sample at any rate
constexpr std::int32_t kPlayingInteger = 10;
constexpr double kSecondsPerMinuteTenth = 6.0;  // 60 s over BPM / 10
constexpr float kBeatsPerSecondPerTenth = 0.16666667f;

}  // namespace

QX_DSP_Host_Tempo::QX_DSP_Host_Tempo(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Host_Tempo::prepare() {
    lastTempo_ = 0.0;
    tempoValue_ = 0.0f;
    playing_ = -1;
}

void QX_DSP_Host_Tempo::suspendHook() { playing_ = -1; }

void QX_DSP_Host_Tempo::render(int, int) {
    HostTime time;
    if (!host->readHostTime(time)) {
        return;
    }
    // A host without a tempo, or one that reports 0, plays at the default.
    double tempo = time.tempo;
    if (!std::isfinite(tempo) || tempo <= 0.0) {
        tempo = kDefaultBpm;
    }
    tempo = std::min(tempo, kMaxBpm);
    if (tempo != lastTempo_) {
        lastTempo_ = tempo;
        tempoValue_ = static_cast<float>(tempo * 0.1);
        sendEvent(localTime, kOutputTempo, kEventStill, static_cast<std::int32_t>(tempo), tempoValue_, nullptr);
        const float secondsPerBeat = static_cast<float>(kSecondsPerMinuteTenth / (tempo * 0.1));
        sendEvent(localTime, kOutputSecondsPerBeat, kEventStill, tenths(secondsPerBeat), secondsPerBeat, nullptr);
        const float beatsPerSecond = tempoValue_ * kBeatsPerSecondPerTenth;
        sendEvent(localTime, kOutputBeatsPerSecond, kEventStill, tenths(beatsPerSecond), beatsPerSecond, nullptr);
    }
    const int playing = time.playing ? 1 : 0;
    if (playing != playing_) {
        playing_ = playing;
        sendEvent(localTime, kOutputTransport, kEventStill, playing * kPlayingInteger,
                  static_cast<float>(playing), nullptr);
    }
}
