#include "modules/effects/QX_DSP_Saturation.h"

#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/sources/SampleGuard.h"

namespace {

constexpr float kMovingValue = 1000.0f;  // a still value no drive or amount takes
constexpr float kUnityDrive = 1.0f;

// Drive 1 maps the curve's ceiling to 1; the weight falls as the drive rises.
constexpr float kWeightPerDrive = 0.333f;
constexpr float kWeightBase = 0.667f;

}  // namespace

QX_DSP_Saturation::QX_DSP_Saturation(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep),
      input_{engine->silence, engine->silence},
      drive_(engine->silence),
      amount_{engine->silence, engine->silence} {
    makeOutput(kOutputLeft);
    makeOutput(kOutputRight);
    prepare();
}

// Stereo comes from the wiring, which is done before prepare, so it stays.
void QX_DSP_Saturation::prepare() {
    type_ = 1;
    on_ = 1;
    offMode_ = 0;
    amountSource_ = 0;
    driveStill_ = kUnityDrive;
    amountStillA_ = 0.0f;
    amountStillB_ = 0.0f;
    inputMoving_ = 0;
    announcement_.forget();
    idle_.restart(blockLength);
    setSaturationRoutine(&QX_DSP_Saturation::renderIdle);
}

void QX_DSP_Saturation::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    switch (pin) {
        case kPinInput:
            input_[0] = signal;
            break;
        case kPinInputRight:
            input_[1] = signal;
            routing_.setStereo(source != nullptr);
            break;
        case kPinDrive:
            drive_ = signal;
            break;
        case kPinAmountA:
            amount_[0] = signal;
            break;
        case kPinAmountB:
            amount_[1] = signal;
            break;
        default:
            break;
    }
}

void QX_DSP_Saturation::handleEvent(const Event& event, int pos) {
    idle_.restart(blockLength);
    const bool moving = event.kind != kEventStill;
    switch (event.pin) {
        case kPinInputRight:
            return;
        case kPinInput:
            inputMoving_ = moving ? 1 : 0;
            break;
        case kPinDrive:
            driveStill_ = moving ? kMovingValue : drive_[pos];
            break;
        case kPinAmountA:
            amountStillA_ = moving ? kMovingValue : amount_[0][pos];
            break;
        case kPinAmountB:
            amountStillB_ = moving ? kMovingValue : amount_[1][pos];
            break;
        case kPinType:
            type_ = event.ivalue;
            break;
        case kPinAmountSource:
            amountSource_ = event.ivalue != 0 ? 1 : 0;
            break;
        case kPinOn:
            on_ = event.ivalue;
            break;
        case kPinOffMode:
            offMode_ = event.ivalue;
            break;
        default:
            break;
    }
    chooseRoutine();
}

// Curve 5 is the one any record selects; the others are not built, so they keep the routine.
QX_DSP_Saturation::Routine QX_DSP_Saturation::curveRoutine() const {
    return type_ == kCurveQuartic ? &QX_DSP_Saturation::renderQuartic : nullptr;
}

void QX_DSP_Saturation::chooseRoutine() {
    if (on_ == 0) {
        setSaturationRoutine(offMode_ == 0 ? &QX_DSP_Saturation::renderSilence
                                           : &QX_DSP_Saturation::renderPassThrough);
        return;
    }
    if (type_ != 0 && (driveStill_ != kUnityDrive || amountStill() != 0.0f)) {
        const Routine curve = curveRoutine();
        if (curve != nullptr) {
            setSaturationRoutine(curve);
        }
        return;
    }
    announcement_.forget();
    setSaturationRoutine(&QX_DSP_Saturation::renderPassThrough);
}

void QX_DSP_Saturation::setSaturationRoutine(Routine routine) { useRender(routine); }

void QX_DSP_Saturation::announce(int moving) {
    announcement_.send(*this, moving, routing_.stereo(), kOutputLeft, kOutputRight);
}

void QX_DSP_Saturation::countDownToIdle(int count) {
    if (idle_.runDown(count)) {
        setSaturationRoutine(&QX_DSP_Saturation::renderIdle);
        setIdle();
    }
}

void QX_DSP_Saturation::renderSilence(int pos, int count) {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        std::memset(outputs[channel] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    }
    announce(0);
    countDownToIdle(count);
}

void QX_DSP_Saturation::renderPassThrough(int pos, int count) {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        std::memcpy(outputs[channel] + pos, input_[channel] + pos, sizeof(float) * static_cast<std::size_t>(count));
    }
    announce(inputMoving_);
    if (inputMoving_ == 0) {
        countDownToIdle(count);
    }
}

// out = (1 - m) x + w s, with s = 1 - (1 - |x D|)^4 below 1 and 1 above, carrying x's sign.
void QX_DSP_Saturation::renderQuartic(int pos, int count) {
    const float* drive = drive_ + pos;
    const float* amount = amount_[amountSource_] + pos;
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        const float* in = input_[channel] + pos;
        float* out = outputs[channel] + pos;
        for (int i = 0; i < count; ++i) {
            const float x = in[i];
            const float d = drive[i];
            const float m = amount[i];
            float y = x * d;
            float w = m / (kWeightPerDrive * d + kWeightBase);
            w = y < 0.0f ? -w : w;
            y = y < 0.0f ? -y : y;
            const float rest = y < 1.0f ? 1.0f - y : 0.0f;
            const float rest2 = rest * rest;
            out[i] = sample_guard::bounded((1.0f - m) * x + w * (1.0f - rest2 * rest2));
        }
    }
    announce(inputMoving_);
}

void QX_DSP_Saturation::renderIdle(int, int) { setIdle(); }
