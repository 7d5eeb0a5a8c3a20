// The synth's control hub: turns parameter groups and the host tempo into derived control events
// (play-mode flags, synced LFO rates, echo time, HFO values, routing codes) and runs the random
// wobble timers of the two melt systems and the chorus melt.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/modulation/Velkor2ControlSettings.h"

class QX_DSP_Velkor2_Control : public QX_ModuleBase {
public:
    // Inputs.
    static constexpr int kPinTempo = 0;  // BPM / 10
    static constexpr int kPinHfoShape = 1;
    static constexpr int kPinSubOscWave = 2;
    static constexpr int kPinOscMode = 3;
    static constexpr int kPinEchoRate = 4;
    static constexpr int kPinEchoLength = 5;
    static constexpr int kPinLfo1Rate = 6;  // LFO k: rate, beat and sync on 6 + 3k, 7 + 3k, 8 + 3k
    static constexpr int kPinLfo1Beat = 7;
    static constexpr int kPinLfo1Sync = 8;
    static constexpr int kPinLfo3Track = 15;
    static constexpr int kPinHfoOct = 16;
    static constexpr int kPinHfoSemi = 17;
    static constexpr int kPinHfoTune = 18;
    static constexpr int kPinEchoStep = 19;
    static constexpr int kPinHfoTarget = 20;
    static constexpr int kPinHfoDepth = 21;
    static constexpr int kPinHfoLevel = 22;
    static constexpr int kPinPlayMode = 24;
    static constexpr int kPinMasterVolume = 25;
    static constexpr int kPinEchoDotted = 26;
    static constexpr int kPinMeltAMode = 29;
    static constexpr int kPinMeltAPitch = 30;
    static constexpr int kPinMeltAJump = 31;
    static constexpr int kPinMeltAAmp = 32;
    static constexpr int kPinMeltABlend = 33;
    static constexpr int kPinMeltASpeed = 34;  // Hz
    static constexpr int kPinFilter2Active = 39;
    static constexpr int kPinFilter2Offset = 40;
    static constexpr int kPinGainMode = 41;
    static constexpr int kPinResonance = 42;
    static constexpr int kPinEqActive = 44;
    static constexpr int kPinEqPost = 45;
    static constexpr int kPinChorusMode = 46;
    static constexpr int kPinChorusMix = 47;
    static constexpr int kPinChorusRate = 48;
    static constexpr int kPinChorusSep = 49;
    static constexpr int kPinChorusDepth = 50;
    static constexpr int kPinChorusMelt = 51;
    static constexpr int kPinMeltSystem = 52;  // 0 = A, 1 = B
    static constexpr int kPinMeltBWow = 53;      // Hz
    static constexpr int kPinMeltBFlutter = 54;  // Hz
    static constexpr int kPinMeltACutoff = 59;
    static constexpr int kPinMeltBCutoff = 60;

    // Outputs.
    static constexpr int kOutMasterVolume = 0;
    static constexpr int kOutHfoWave = 1;
    static constexpr int kOutSubOscWave = 2;
    static constexpr int kOutOsc2Sync = 3;
    static constexpr int kOutEchoTime = 4;
    static constexpr int kOutLfo1Rate = 5;  // LFO k rate on 5 + k
    static constexpr int kOutLfo3Tracking = 8;
    static constexpr int kOutHfoPitch = 9;
    static constexpr int kOutHfoDepth = 10;
    static constexpr int kOutHfoFilter = 11;
    static constexpr int kOutHfoLevel = 12;
    static constexpr int kOutMono = 14;
    static constexpr int kOutLegato = 15;
    static constexpr int kOutMeltAAmp = 29;
    static constexpr int kOutMeltAPitch = 30;
    static constexpr int kOutMeltABlend = 31;
    static constexpr int kOutMeltACircuit = 32;
    static constexpr int kOutMeltATape = 33;
    static constexpr int kOutMeltBWow = 34;
    static constexpr int kOutMeltBFlutter = 35;
    static constexpr int kOutMeltBWowTime = 36;
    static constexpr int kOutMeltBFlutterTime = 37;
    static constexpr int kOutMeltCutoff = 38;
    static constexpr int kOutPostLimiter = 40;
    static constexpr int kOutPreLimiter = 41;
    static constexpr int kOutResonance = 42;
    static constexpr int kOutEqFirst = 44;
    static constexpr int kOutEqSecond = 45;
    static constexpr int kOutChorusOn = 46;
    static constexpr int kOutChorusMix = 47;
    static constexpr int kOutChorusRate = 48;
    static constexpr int kOutChorusSepRate = 49;
    static constexpr int kOutChorusDepth = 50;

    static constexpr int kLfos = Velkor2ControlSettings::kLfos;

    QX_DSP_Velkor2_Control(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

    void renderMeltA(int pos, int count);
    void renderMeltB(int pos, int count);

private:
    using Settings = Velkor2ControlSettings;

    // The three wobble timers; a timer steps on the sample its count passes its period.
    enum Timer { kTimerA, kTimerB, kTimerChorus, kTimers };

    void chooseRender();
    template <bool SystemB>
    void renderStretch(int count);
    template <bool SystemB>
    void moment(std::uint32_t time, const bool (&due)[kTimers], bool stretchStart);
    std::int64_t stepPeriod(int timer) const;
    void sendDerived(std::uint32_t time);
    void sendChorusMelt(std::uint32_t time);
    void sendMeltCutoff(std::uint32_t time);
    void sendValue(std::uint32_t time, int output, float value);
    void sendCode(std::uint32_t time, int output, std::int32_t code, float value);

    Settings settings_;
    float sampleRate_;
    std::int32_t meltSystem_ = 0;  // 0 = A, 1 = B
    std::int32_t periodA_ = 0;     // samples per step
    std::int32_t periodB_ = 0;
    std::int32_t periodWow_ = 0;
    std::int32_t periodFlutter_ = 0;
    std::int64_t counters_[kTimers] = {};  // samples since each timer's last step
    float randA_ = 0.0f;
    float randB_ = 0.0f;
    float meltACutoff_ = 0.0f;
    float meltBCutoff_ = 0.0f;
    std::uint32_t dirty_ = Settings::kDirtyAll;
};
