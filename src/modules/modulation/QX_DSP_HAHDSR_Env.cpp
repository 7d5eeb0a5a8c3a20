#include "modules/modulation/QX_DSP_HAHDSR_Env.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/QX_EngineHost.h"
#include "engine/QX_VoiceAllocatorBase.h"

using namespace envelope_kernels;

namespace {

constexpr int kLastShape = static_cast<int>(std::size(kShapes)) - 1;
constexpr int kLastInvert = static_cast<int>(std::size(kInverts)) - 1;

// Sample counts are float products, as the stage times arrive: 0.0001 (1 ms) at 96 kHz is 96 samples,
// where a double product would land just below and truncate to 95.
constexpr float kTimeUnitsPerSecond = 10.0f;  // engine times are seconds / 10
constexpr float kDefaultHoldTime = 3000.0f;   // engine time: without a hold event the peak holds 30000 s
constexpr double kTimeModOctaves = 10.0;      // a time modulation of +0.1 doubles the time
constexpr int kTailBlocks = 2;                // blocks a still envelope keeps writing before it idles
constexpr double kFadeSeconds = 0.019;
constexpr double kFadePerSecond = 52.631577;  // share of the start value the fast fade removes per second

}  // namespace

QX_DSP_HAHDSR_Env::QX_DSP_HAHDSR_Env(QX_EngineHost* engine, bool asleep, QX_VoiceAllocatorBase* owner,
                                     int voiceNumber)
    : QX_ModuleBase(engine, asleep),
      owner_(owner),
      voiceNumber_(voiceNumber),
      attackIn_(engine->silence),
      decayIn_(engine->silence),
      sustainIn_(engine->silence),
      releaseIn_(engine->silence),
      amountIn_(engine->silence),
      attackModIn_(engine->silence),
      decayModIn_(engine->silence) {
    makeOutput(kOutput);
    initialise();
}

void QX_DSP_HAHDSR_Env::initialise() {
    tenSr_ = kTimeUnitsPerSecond * static_cast<float>(host->sampleRateInt);
    level_ = 0.0;
    releaseStart_ = 1.0;
    velocity_ = 1.0f;
    velocityAmount_ = 1.0f;
    timeScale_ = 1.0f;
    enabled_ = 1.0f;
    delaySamples_ = 0;
    holdSamples_ = sampleCount(tenSr_ * kDefaultHoldTime);
    minAttackSamples_ = 1;
    counter_ = 0;
    tailCounter_ = kTailBlocks * blockLength;
    shape_ = 0;
    invert_ = 0;
    gated_ = false;
    frozen_ = false;
    voiceSounding_ = false;
    sentMoving_ = -1;
    movingWhenRunning_ = 1;
    sustainMoving_ = 0;
    amountMoving_ = 0;
    fadeCounter_ = 0;
    fadeElapsed_ = 0;
    fadeFrom_ = 0.0f;
    fadeStep_ = 0.0;
    clearHeld();
    updateLaw();
    setStage(&QX_DSP_HAHDSR_Env::renderIdle);
}

// The modulation flags come from the wiring, which is done before prepare, so they stay.
void QX_DSP_HAHDSR_Env::prepare() { initialise(); }

void QX_DSP_HAHDSR_Env::suspendHook() {
    clearHeld();
    needsClear_ = true;
    zeroOutput();
}

void QX_DSP_HAHDSR_Env::sleep() {
    clearHeld();
    if (owner_ != nullptr) {
        needsClear_ = true;
    }
    QX_ModuleBase::sleep();
}

// Only the amplitude envelope fades, and only while something is still sounding: an idle one has
// already reported its voice.
void QX_DSP_HAHDSR_Env::fadeRequest() {
    if (owner_ == nullptr || inStage(&QX_DSP_HAHDSR_Env::renderIdle)) {
        return;
    }
    clearHeld();
    fadeCounter_ = blockLength + sampleCount(kFadeSeconds * host->sampleRateInt);
    fadeElapsed_ = 0;
    fadeStep_ = kFadePerSecond / host->sampleRateInt;
    setStage(&QX_DSP_HAHDSR_Env::renderFade);
    clearIdle();  // a still envelope may have idled; the fade has to run
}

void QX_DSP_HAHDSR_Env::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    switch (pin) {
        case kPinAttack:
            attackIn_ = signal;
            break;
        case kPinDecay:
            decayIn_ = signal;
            break;
        case kPinSustain:
            sustainIn_ = signal;
            break;
        case kPinRelease:
            releaseIn_ = signal;
            break;
        case kPinAmount:
            amountIn_ = signal;
            break;
        case kPinAttackMod:
            attackModIn_ = signal;
            hasAttackMod_ = source != nullptr;
            break;
        case kPinDecayMod:
            decayModIn_ = signal;
            hasDecayMod_ = source != nullptr;
            break;
        default:
            break;
    }
}

void QX_DSP_HAHDSR_Env::handleEvent(const Event& event, int pos) {
    tailCounter_ = kTailBlocks * blockLength;
    switch (event.pin) {
        case kPinGate:
            if (enabled_ != 0.0f) {
                handleGate(event.ivalue);
            }
            break;
        case kPinDelay:
            delaySamples_ = samplesFor(event.fvalue);
            break;
        case kPinHold:
            holdSamples_ = samplesFor(event.fvalue);
            break;
        case kPinSustain:
            sustainMoving_ = event.kind != kEventStill ? 1 : 0;
            break;
        case kPinAmount:
            amountMoving_ = event.kind != kEventStill ? 1 : 0;
            movingWhenRunning_ = amountMoving_ == 0 && amountIn_[pos] == 0.0f ? 0 : 1;
            break;
        case kPinShape:
            shape_ = std::clamp(event.ivalue, 0, kLastShape);
            updateLaw();
            break;
        case kPinOnOff:
            enabled_ = event.fvalue;
            if (enabled_ == 0.0f) {
                sentMoving_ = -1;
                setStage(&QX_DSP_HAHDSR_Env::renderTail);
            }
            break;
        case kPinInvert:
            invert_ = std::clamp(event.ivalue, 0, kLastInvert);
            updateLaw();
            if (sentMoving_ == 0) {
                sentMoving_ = -1;
            }
            // The rest value has changed: an idle envelope writes the new one before it idles again.
            if (inStage(&QX_DSP_HAHDSR_Env::renderIdle)) {
                setStage(&QX_DSP_HAHDSR_Env::renderTail);
            }
            break;
        case kPinVelocity:
            if (!std::isnan(event.fvalue)) {
                velocity_ = unitLevel(event.fvalue);
                updateLaw();
            }
            break;
        case kPinVelocityAmount:
            if (!std::isnan(event.fvalue)) {
                velocityAmount_ = unitLevel(event.fvalue);
                updateLaw();
            }
            break;
        case kPinTimeScale:
            if (!std::isnan(event.fvalue)) {
                timeScale_ = std::max(0.0f, kTimeUnitsPerSecond * event.fvalue);
            }
            break;
        case kPinMinAttack:
            minAttackSamples_ = std::max<std::int32_t>(1, sampleCount(tenSr_ * event.fvalue));
            break;
        case kPinHeldA:
        case kPinHeldB:
            (event.pin == kPinHeldA ? heldA_ : heldB_) = event.kind;
            if (heldA_ == kEventStill && heldB_ == kEventStill) {
                fadeRequest();
            }
            break;
        case kPinFreeze:
            frozen_ = event.ivalue != 0;
            break;
        default:
            break;
    }
}

void QX_DSP_HAHDSR_Env::handleGate(std::int32_t value) {
    if (value < 1) {
        if (gated_) {
            releaseStart_ = level_;
            gated_ = false;
            setStage(&QX_DSP_HAHDSR_Env::renderRelease);
        }
        return;
    }
    if (frozen_) {
        return;
    }
    gated_ = true;
    fadeCounter_ = 0;
    if (needsClear_) {
        needsClear_ = false;
        zeroOutput();
    }
    counter_ = delaySamples_;
    level_ = 0.0;  // every note-on restarts the attack, also while the voice still sounds
    voiceSounding_ = true;
    if (delaySamples_ > 1) {
        sentMoving_ = -1;
        setStage(&QX_DSP_HAHDSR_Env::renderDelay);
    } else {
        setStage(&QX_DSP_HAHDSR_Env::renderAttack);
    }
}

void QX_DSP_HAHDSR_Env::renderDelay(int pos, int count) {
    announce(kEventStill);
    const int used = std::min(std::max(counter_, 0), count);
    writeRest(pos, used);
    counter_ -= used;
    if (counter_ > 0) {
        return;
    }
    continueWith(&QX_DSP_HAHDSR_Env::renderAttack, pos, used, count);
}

void QX_DSP_HAHDSR_Env::renderAttack(int pos, int count) {
    announce(movingWhenRunning_);
    const double length =
        modulatedLength(attackIn_, hasAttackMod_ ? attackModIn_ : nullptr, pos, minAttackSamples_);
    const int used = attackRamp(law_, level_, 1.0 / length, amountIn_ + pos, outputs[kOutput] + pos, count);
    if (used == count) {
        return;
    }
    level_ = 1.0;
    counter_ = holdSamples_;
    continueWith(&QX_DSP_HAHDSR_Env::renderHold, pos, used, count);
}

void QX_DSP_HAHDSR_Env::renderHold(int pos, int count) {
    level_ = 1.0;
    const int used = std::min(std::max(counter_, 0), count);
    if (used > 0) {
        // The peak is amount × velocity: it moves exactly when the amount does.
        announce(amountMoving_);
        holdPeak(law_, amountIn_ + pos, outputs[kOutput] + pos, used);
        counter_ -= used;
        if (counter_ > 0) {
            return;
        }
    }
    continueWith(&QX_DSP_HAHDSR_Env::renderDecay, pos, used, count);
}

// The switch to Sustain comes at the end of the stretch in which the sustain level was reached;
// the rest of that stretch already follows the sustain signal.
void QX_DSP_HAHDSR_Env::renderDecay(int pos, int count) {
    announce(movingWhenRunning_);
    const double length = modulatedLength(decayIn_, hasDecayMod_ ? decayModIn_ : nullptr, pos, 1.0);
    const double step = (1.0 - unitLevel(sustainIn_[pos])) / length;
    if (decayRamp(law_, level_, step, sustainIn_ + pos, amountIn_ + pos, outputs[kOutput] + pos, count)) {
        setStage(&QX_DSP_HAHDSR_Env::renderSustain);
    }
}

// The stored level is left as Decay left it, so a later release starts from there.
void QX_DSP_HAHDSR_Env::renderSustain(int pos, int count) {
    announce(sustainMoving_ | amountMoving_);
    followSustain(law_, sustainIn_ + pos, amountIn_ + pos, outputs[kOutput] + pos, count);
    if (sentMoving_ == kEventStill) {
        tailCounter_ -= count;
        if (tailCounter_ < 0) {
            setIdle();
        }
    }
}

void QX_DSP_HAHDSR_Env::renderRelease(int pos, int count) {
    announce(movingWhenRunning_);
    const double length = modulatedLength(releaseIn_, nullptr, pos, 1.0);
    releaseRamp(law_, level_, releaseStart_ / length, amountIn_ + pos, outputs[kOutput] + pos, count);
    if (level_ == 0.0) {
        setStage(&QX_DSP_HAHDSR_Env::renderTail);
    }
}

void QX_DSP_HAHDSR_Env::renderTail(int pos, int count) {
    announce(kEventStill);
    writeRest(pos, count);
    tailCounter_ -= count;
    if (tailCounter_ >= 0) {
        return;
    }
    setStage(&QX_DSP_HAHDSR_Env::renderIdle);
    setIdle();
    reportSilent();
    needsClear_ = false;
}

void QX_DSP_HAHDSR_Env::renderIdle(int pos, int count) { QX_ModuleBase::render(pos, count); }

// Ramps the value the readers saw last down to 0 over 19 ms, then holds 0 for one more block, so
// that the whole ring reads 0 when the voice is reported free.
void QX_DSP_HAHDSR_Env::renderFade(int pos, int count) {
    announce(kEventMoving);
    if (fadeElapsed_ == 0) {
        fadeFrom_ = outputs[kOutput][pos > 0 ? pos - 1 : blockLength - 1];
    }
    const int used = std::min(fadeCounter_, count);
    fadeRamp(fadeFrom_, fadeStep_, fadeElapsed_, outputs[kOutput] + pos, used);
    fadeCounter_ -= used;
    if (fadeCounter_ > 0) {
        return;
    }
    fadeCounter_ = 0;
    level_ = 0.0;
    sendMoving(localTime + static_cast<std::uint32_t>(used), kEventStill);
    setStage(&QX_DSP_HAHDSR_Env::renderIdle);
    setIdle();
    reportSilent();
}

void QX_DSP_HAHDSR_Env::setStage(Stage stage) {
    useRender(fadeCounter_ != 0 ? &QX_DSP_HAHDSR_Env::renderFade : stage);
}

bool QX_DSP_HAHDSR_Env::inStage(Stage stage) const {
    return renderRoutine == static_cast<RenderRoutine>(stage);
}

void QX_DSP_HAHDSR_Env::updateLaw() {
    velFactor_ = 1.0f - (1.0f - velocity_) * velocityAmount_;
    const InvertLaw& invert = kInverts[invert_];
    const ShapeLaw& shape = kShapes[shape_];
    law_ = OutputLaw{invert.rest, invert.sign * velFactor_, shape.linear, shape.square};
}

void QX_DSP_HAHDSR_Env::announce(int moving) {
    if (moving != sentMoving_) {
        sendMoving(localTime, moving);
    }
}

void QX_DSP_HAHDSR_Env::sendMoving(std::uint32_t time, int moving) {
    sentMoving_ = moving;
    sendEvent(time, kOutput, moving, moving, static_cast<float>(moving), nullptr);
}

// Hands the rest of the stretch, from `used` on, to the next stage at its own time.
void QX_DSP_HAHDSR_Env::continueWith(Stage stage, int pos, int used, int count) {
    setStage(stage);
    if (used >= count) {
        return;
    }
    const auto advance = static_cast<std::uint32_t>(used);
    localTime += advance;
    (this->*stage)(pos + used, count - used);
    localTime -= advance;
}

void QX_DSP_HAHDSR_Env::reportSilent() {
    if (owner_ != nullptr && voiceSounding_) {
        voiceSounding_ = false;
        owner_->voiceSilent(voiceNumber_);
    }
}

void QX_DSP_HAHDSR_Env::clearHeld() {
    heldA_ = -1;
    heldB_ = -1;
}

void QX_DSP_HAHDSR_Env::zeroOutput() {
    const auto length = static_cast<std::size_t>(blockLength + kModuleBufferSpare);
    std::memset(outputs[kOutput], 0, sizeof(float) * length);
}

void QX_DSP_HAHDSR_Env::writeRest(int pos, int count) {
    std::fill_n(outputs[kOutput] + pos, count, law_.rest);
}

// A stage length in samples; NaN, negative and too short lengths give the minimum.
double QX_DSP_HAHDSR_Env::modulatedLength(const float* time, const float* modulation, int pos,
                                          double minimum) const {
    double length = time[pos] * tenSr_ * timeScale_;
    if (modulation != nullptr) {
        length *= std::exp2(kTimeModOctaves * modulation[pos]);
    }
    return length >= minimum ? length : minimum;
}

std::int32_t QX_DSP_HAHDSR_Env::samplesFor(float engineTime) const {
    return sampleCount(tenSr_ * engineTime * timeScale_);
}
