#include "modules/effects/QX_DSP_BiQuad_Coeff.h"

#include <algorithm>

#include "engine/QX_EngineHost.h"
#include "modules/effects/PeakKernel.h"

using namespace filter_kernels;

QX_DSP_BiQuad_Coeff::QX_DSP_BiQuad_Coeff(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep),
      frequencyIn_(engine->silence),
      widthIn_(engine->silence),
      gainIn_(engine->silence) {
    for (int output = 0; output < kStreams; ++output) {
        makeOutput(output);
    }
    prepare();
}

void QX_DSP_BiQuad_Coeff::prepare() {
    type_ = kPeakType;
    perSample_ = true;
    on_ = 1;
    hzMode_ = true;
    frequencyMoving_ = 0;
    widthMoving_ = 0;
    gainMoving_ = 0;
    gainSilent_ = false;
    idleCountdown_ = blockLength;
    sentMoving_ = -1;
    sentActive_ = -1;
    setCoeffRoutine(&QX_DSP_BiQuad_Coeff::renderIdle);
}

void QX_DSP_BiQuad_Coeff::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    switch (pin) {
        case kPinFrequency:
            frequencyIn_ = signal;
            break;
        case kPinWidth:
            widthIn_ = signal;
            break;
        case kPinGain:
            gainIn_ = signal;
            break;
        default:
            break;
    }
}

void QX_DSP_BiQuad_Coeff::handleEvent(const Event& event, int pos) {
    idleCountdown_ = blockLength;
    const int moving = event.kind != kEventStill ? 1 : 0;
    switch (event.pin) {
        case kPinFrequency:
            frequencyMoving_ = moving;
            break;
        case kPinWidth:
            widthMoving_ = moving;
            break;
        case kPinGain:
            gainMoving_ = moving;
            break;
        case kPinType:
            type_ = event.ivalue;
            break;
        case kPinPerSample:
            perSample_ = event.ivalue != 0;
            break;
        case kPinOn:
            on_ = event.ivalue;
            break;
        case kPinFrequencyUnit:
            hzMode_ = event.ivalue != 0;
            break;
        default:
            break;
    }
    chooseRoutine(pos);
}

void QX_DSP_BiQuad_Coeff::chooseRoutine(int pos) {
    gainSilent_ = gainMoving_ == 0 && gainIn_[pos] == 0.0f;
    // Only the peak is wired anywhere; any other type leaves the band out rather than guess.
    if (on_ == 0 || type_ != kPeakType) {
        setCoeffRoutine(&QX_DSP_BiQuad_Coeff::renderOff);
        return;
    }
    setCoeffRoutine(&QX_DSP_BiQuad_Coeff::renderPeak);
}

void QX_DSP_BiQuad_Coeff::setCoeffRoutine(Routine routine) { useRender(routine); }

void QX_DSP_BiQuad_Coeff::announceMoving(int moving) {
    if (sentMoving_ != moving) {
        sentMoving_ = moving;
        sendEvent(localTime, 0, moving, 0, 0.0f, nullptr);
    }
}

void QX_DSP_BiQuad_Coeff::announceActive(int active) {
    if (sentActive_ != active) {
        sentActive_ = active;
        sendEvent(localTime, kOutputActive, kEventStill, active, static_cast<float>(active), nullptr);
    }
}

void QX_DSP_BiQuad_Coeff::countDownToIdle(int count) {
    idleCountdown_ -= count;
    if (idleCountdown_ <= 0) {
        setCoeffRoutine(&QX_DSP_BiQuad_Coeff::renderIdle);
        setIdle();
    }
}

void QX_DSP_BiQuad_Coeff::renderOff(int pos, int count) {
    for (int output = 0; output < kStreams; ++output) {
        std::fill_n(outputs[output] + pos, count, 0.0f);
    }
    announceMoving(0);
    announceActive(0);
    countDownToIdle(count);
}

// Computes `computed` sets from pos on and holds the last one over the rest of the stretch.
void QX_DSP_BiQuad_Coeff::fillStreams(int pos, int count, int computed) {
    const BiquadColumns columns = biquadColumns(host->rates, hzMode_);
    const float* f = frequencyIn_ + pos;
    const float* w = widthIn_ + pos;
    const float* g = gainIn_ + pos;
    float* streams[kStreams];
    for (int k = 0; k < kStreams; ++k) {
        streams[k] = outputs[k] + pos;
    }
    for (int i = 0; i < computed; ++i) {
        const Coefficients set = peak_kernel::peakLaw(peak_kernel::peakTangent(columns, f[i]), w[i], g[i]);
        for (int k = 0; k < kStreams; ++k) {
            streams[k][i] = set.c[k];
        }
    }
    for (int k = 0; k < kStreams; ++k) {
        std::fill(streams[k] + computed, streams[k] + count, streams[k][computed - 1]);
    }
}

void QX_DSP_BiQuad_Coeff::renderPeak(int pos, int count) {
    const int moving = frequencyMoving_ | widthMoving_ | gainMoving_;
    announceMoving(moving);
    announceActive(gainSilent_ ? 0 : 1);
    // Still inputs give one set; moving ones one per sample when asked for.
    fillStreams(pos, count, perSample_ && moving != 0 ? count : 1);
    if (moving == 0) {
        countDownToIdle(count);
    }
}

void QX_DSP_BiQuad_Coeff::renderIdle(int, int) { setIdle(); }
