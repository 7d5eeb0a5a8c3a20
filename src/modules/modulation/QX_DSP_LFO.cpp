#include "modules/modulation/QX_DSP_LFO.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/QX_EngineHost.h"
#include "modules/sources/OscillatorKernels.h"

using namespace lfo_kernels;

namespace {

// The Random shape's generator words at construction; they are never reseeded.
constexpr std::uint32_t kRandomSeed1 = 3019672022u;
constexpr std::uint32_t kRandomSeed2 = 21374263u;
constexpr double kFrequencyUnitHz = 10.0;  // frequencies arrive as Hz / 10

}  // namespace

QX_DSP_LFO::QX_DSP_LFO(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep),
      zeros_(std::make_unique<float[]>(static_cast<std::size_t>(blockLength + kModuleBufferSpare))),
      rate_(zeros_.get()),
      offset_(zeros_.get()),
      amount_(zeros_.get()),
      state_{0, 0.0f, kRandomSeed1, kRandomSeed2},
      hzScale_(static_cast<float>(kFrequencyUnitHz / owner->sampleRateInt)) {
    makeOutput(kOutput);
}

void QX_DSP_LFO::prepare() {
    state_.phase = 0;
    state_.randomValue = 0.0f;
    hzScale_ = static_cast<float>(kFrequencyUnitHz / host->sampleRateInt);
    shape_ = kSine;
    pitchMode_ = 1;
    on_ = 1;
    invertSecond_ = -1;
    retrigger_ = -1;
    perSampleRate_ = -1;
    rateMoving_ = 0;
    phaseMoving_ = 0;
    amountMoving_ = 1;
    announce(kEventMoving);
    useRender(&QX_DSP_LFO::renderSteady);
}

void QX_DSP_LFO::resumeHook() { state_.phase = 0; }

void QX_DSP_LFO::onOutputConnected(int output) {
    if (output == kOutputSecond && outputs[kOutputSecond] == nullptr) {
        makeOutput(kOutputSecond);
    }
}

void QX_DSP_LFO::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : zeros_.get();
    switch (pin) {
        case kPinRate:
            rate_ = signal;
            break;
        case kPinPhaseOffset:
            offset_ = signal;
            break;
        case kPinAmount:
            amount_ = signal;
            break;
        default:
            break;
    }
}

void QX_DSP_LFO::handleEvent(const Event& event, int pos) {
    switch (event.pin) {
        case kPinRate:
            rateMoving_ = event.kind;
            break;
        case kPinPhaseOffset:
            phaseMoving_ = event.kind;
            break;
        case kPinRetrigger:
            if (retrigger_ != 0 && event.ivalue > 0) {
                state_.phase = 0;
            }
            break;
        case kPinShape:
            // Shapes beyond the list are ignored, as out-of-range indices are everywhere.
            if (event.ivalue >= 0 && event.ivalue < kShapeCount) {
                shape_ = event.ivalue;
            }
            break;
        case kPinRateUnit:
            pitchMode_ = event.ivalue;
            break;
        case kPinOnOff:
            if (event.fvalue == 0.0f) {
                on_ = 0;
                idleCountdown_ = blockLength;
                useRender(&QX_DSP_LFO::renderSilence);
            } else {
                on_ = 1;
            }
            break;
        case kPinInvertSecond:
            invertSecond_ = event.ivalue;
            break;
        case kPinAmount:
            // A still amount of exactly 0 lets readers treat this LFO as a constant.
            amountMoving_ = event.kind == kEventStill && amount_[pos] == 0.0f ? 0 : 1;
            break;
        case kPinRetriggerOn:
            retrigger_ = event.ivalue;
            break;
        case kPinPerSampleRate:
            perSampleRate_ = event.ivalue != 0 ? -1 : 0;
            break;
        case kPinTransport:
            if (event.ivalue != 0) {
                state_.phase = 0;
            }
            break;
        default:
            break;
    }
    chooseRender();
}

void QX_DSP_LFO::chooseRender() {
    if (on_ == 0) {
        return;
    }
    if (phaseMoving_ != 0) {
        useRender(&QX_DSP_LFO::renderMovingPhase);
    } else {
        useRender(&QX_DSP_LFO::renderSteady);
    }
}

void QX_DSP_LFO::announce(int kind) {
    sentMoving_ = kind;
    sendEvent(localTime, kOutput, kind, 0, 0.0f, nullptr);
    if (outputs[kOutputSecond] != nullptr) {
        sendEvent(localTime, kOutputSecond, kind, 0, 0.0f, nullptr);
    }
}

void QX_DSP_LFO::renderSilence(int pos, int count) {
    if (sentMoving_ != 0) {
        announce(kEventStill);
    }
    for (const int k : {kOutput, kOutputSecond}) {
        if (outputs[k] != nullptr) {
            std::fill_n(outputs[k] + pos, count, 0.0f);
        }
    }
    idleCountdown_ -= count;
    if (idleCountdown_ < 0) {
        setRenderRoutine(&QX_ModuleBase::render);
        setIdle();
    }
}

void QX_DSP_LFO::renderSteady(int pos, int count) { renderRunning<false>(pos, count); }

void QX_DSP_LFO::renderMovingPhase(int pos, int count) { renderRunning<true>(pos, count); }

Phase QX_DSP_LFO::stretchStep(float rate) const {
    if (pitchMode_ == 0) {
        return toPhase(oscillator_kernels::incrementAt(host->rates, rate));
    }
    // Dividing last keeps rates of whole binary fractions of a cycle exact.
    return toPhase(static_cast<double>(rate) * kFrequencyUnitHz / host->sampleRateInt);
}

// Per-sample increments in cycles, written where the shape loop reads them before it overwrites
// each one with the output sample.
void QX_DSP_LFO::fillIncrements(int pos, int count) {
    float* out = outputs[kOutput];
    const float* rate = rate_;
    if (pitchMode_ == 0) {
        const RateTables& rates = host->rates;
        for (int i = pos; i < pos + count; ++i) {
            out[i] = oscillator_kernels::incrementAt(rates, rate[i]);
        }
    } else {
        const float scale = hzScale_;
        for (int i = pos; i < pos + count; ++i) {
            out[i] = rate[i] * scale;
        }
    }
}

template <bool MovingOffset>
void QX_DSP_LFO::renderRunning(int pos, int count) {
    if (amountMoving_ != sentMoving_) {
        announce(amountMoving_);
    }
    const bool perSample = rateMoving_ != 0 && perSampleRate_ != 0;
    KernelArgs args{host->rates.sine512Pairs,
                    outputs[kOutput],
                    amount_,
                    offset_,
                    toPhase(offset_[pos]),
                    std::abs(offset_[pos]),
                    perSample ? Phase{0} : stretchStep(rate_[pos])};
    if (perSample) {
        fillIncrements(pos, count);
    }
    const int variant = (MovingOffset ? kMovingOffsetVariant : 0) + (perSample ? kPerSampleVariant : 0);
    state_ = kKernels[static_cast<std::size_t>(shape_ * kVariantsPerShape + variant)](args, pos, count, state_);

    float* second = outputs[kOutputSecond];
    if (second != nullptr) {
        const float* first = outputs[kOutput];
        const float sign = invertSecond_ != 0 ? -1.0f : 1.0f;
        for (int i = pos; i < pos + count; ++i) {
            second[i] = sign * first[i];
        }
    }
}
