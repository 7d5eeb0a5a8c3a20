// The per-voice envelope generator: gate and velocity in, one control value per sample out through
// Delay, Attack, Hold, Decay, Sustain, Release and Tail. The amplitude envelope also frees its voice.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/modulation/EnvelopeKernels.h"

class QX_VoiceAllocatorBase;

class QX_DSP_HAHDSR_Env : public QX_ModuleBase {
public:
    static constexpr int kPinGate = 0;
    static constexpr int kPinDelay = 1;          // event, seconds / 10
    static constexpr int kPinAttack = 2;         // signal, seconds / 10
    static constexpr int kPinHold = 3;           // event, seconds / 10
    static constexpr int kPinDecay = 4;          // signal, seconds / 10
    static constexpr int kPinSustain = 5;        // signal 0..1, its events say whether it moves
    static constexpr int kPinRelease = 6;        // signal, seconds / 10
    static constexpr int kPinAmount = 7;         // signal, its events say whether it moves
    static constexpr int kPinShape = 8;          // 0 Lin, 1 Exp, 2 I.Exp
    static constexpr int kPinOnOff = 9;
    static constexpr int kPinInvert = 10;        // 0, 1, 2
    static constexpr int kPinVelocity = 11;      // 0..1
    static constexpr int kPinVelocityAmount = 12;
    static constexpr int kPinTimeScale = 13;     // fvalue x 10 is the factor
    static constexpr int kPinMinAttack = 14;     // event, seconds / 10
    static constexpr int kPinAttackMod = 15;     // signal, +0.1 doubles the attack
    static constexpr int kPinDecayMod = 16;      // signal, +0.1 doubles the decay
    static constexpr int kPinHeldA = 19;         // both reporting still starts the fast fade
    static constexpr int kPinHeldB = 20;
    static constexpr int kPinFreeze = 29;        // non-zero ignores note-ons
    static constexpr int kOutput = 0;

    using Stage = void (QX_DSP_HAHDSR_Env::*)(int pos, int count);

    // An owner makes this the voice's amplitude envelope: it reports the voice silent to it.
    QX_DSP_HAHDSR_Env(QX_EngineHost* host, bool asleep, QX_VoiceAllocatorBase* owner = nullptr,
                      int voiceNumber = 0);

    void prepare() override;
    void suspendHook() override;
    void sleep() override;
    void fadeRequest() override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;

    // Stage routines in their slot order; each renders its stretch and hands the rest of it to the
    // next stage on a transition.
    virtual void renderDelay(int pos, int count);
    virtual void renderAttack(int pos, int count);
    virtual void renderHold(int pos, int count);
    virtual void renderDecay(int pos, int count);
    virtual void renderSustain(int pos, int count);
    virtual void renderRelease(int pos, int count);
    virtual void renderTail(int pos, int count);
    virtual void renderIdle(int pos, int count);
    virtual void renderFade(int pos, int count);
    // Chooses the stage; while the fast fade runs, the fade stays in charge.
    virtual void setStage(Stage stage);

private:
    bool inStage(Stage stage) const;
    void handleGate(std::int32_t value);
    void updateLaw();
    void announce(int moving);
    void sendMoving(std::uint32_t time, int moving);
    void initialise();
    void continueWith(Stage stage, int pos, int used, int count);
    void reportSilent();
    void clearHeld();
    void zeroOutput();
    void writeRest(int pos, int count);
    double modulatedLength(const float* time, const float* modulation, int pos, double minimum) const;
    std::int32_t samplesFor(float engineTime) const;

    QX_VoiceAllocatorBase* owner_;
    int voiceNumber_;

    const float* attackIn_;
    const float* decayIn_;
    const float* sustainIn_;
    const float* releaseIn_;
    const float* amountIn_;
    const float* attackModIn_;
    const float* decayModIn_;
    bool hasAttackMod_ = false;
    bool hasDecayMod_ = false;

    float tenSr_ = 0.0f;          // engine time x tenSr_ = samples
    double level_ = 0.0;          // stage position 0..1
    double releaseStart_ = 1.0;   // level at note-off
    float velocity_ = 1.0f;
    float velocityAmount_ = 1.0f;
    float velFactor_ = 1.0f;
    float timeScale_ = 1.0f;
    float enabled_ = 1.0f;
    std::int32_t delaySamples_ = 0;
    std::int32_t holdSamples_ = 0;
    std::int32_t minAttackSamples_ = 1;
    std::int32_t counter_ = 0;      // samples left in Delay or Hold
    std::int32_t tailCounter_ = 0;  // countdown before a still envelope sets its idle bit
    int shape_ = 0;
    int invert_ = 0;
    envelope_kernels::OutputLaw law_{};  // of the current shape, invert mode and velocity
    bool gated_ = false;
    bool frozen_ = false;
    bool needsClear_ = false;
    bool voiceSounding_ = false;    // a note started since the voice was last reported silent
    int sentMoving_ = -1;           // last kind sent on the output; -1 forces the next send
    int movingWhenRunning_ = 1;     // 0 while the amount is a still 0
    int sustainMoving_ = 0;
    int amountMoving_ = 0;
    int heldA_ = -1;                // kinds last reported on pins 19 and 20; -1: none since cleared
    int heldB_ = -1;

    // The fast fade ramps the value the readers last saw down to 0.
    std::int32_t fadeCounter_ = 0;  // samples left; non-zero means fading
    std::int32_t fadeElapsed_ = 0;
    float fadeFrom_ = 0.0f;
    double fadeStep_ = 0.0;         // share of fadeFrom_ taken away per sample
};
