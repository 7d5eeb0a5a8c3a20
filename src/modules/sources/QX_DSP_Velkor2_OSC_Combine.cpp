#include "modules/sources/QX_DSP_Velkor2_OSC_Combine.h"

#include <algorithm>

#include "engine/QX_EngineHost.h"
#include "modules/sources/SampleGuard.h"

namespace {

constexpr float kHigh = 0.5f;  // logic output levels
constexpr float kLow = -0.5f;
constexpr float kCrossFadeCentre = 0.5f;
constexpr int kGroup = 4;  // samples per step of the main loop, so that it runs as one vector

// One output sample from a, b (already levelled), the cross-fade control c and the threshold t.
template <int M>
float combine(float a, float b, float c, float t) {
    using Mode = QX_DSP_Velkor2_OSC_Combine::Mode;
    if constexpr (M == Mode::kAnd) {
        return (a > t) && (b > t) ? kHigh : kLow;
    } else if constexpr (M == Mode::kOr) {
        return (a > t) || (b > t) ? kHigh : kLow;
    } else if constexpr (M == Mode::kXor) {
        return (a > t) != (b > t) ? kHigh : kLow;
    } else if constexpr (M == Mode::kRing) {
        return a * b;
    } else if constexpr (M == Mode::kXWave) {
        const float x = c + kCrossFadeCentre;
        const float w = x * (1.0f - x);
        return b * (x + w) + a * ((1.0f - x) + w);
    } else {
        // Mix, and Sync, whose syncing happens in oscillator 2.
        return a + b;
    }
}

}  // namespace

QX_DSP_Velkor2_OSC_Combine::QX_DSP_Velkor2_OSC_Combine(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {
    std::fill(std::begin(signals_), std::end(signals_), host->silence);
    makeOutput(0);
    chooseRender();
}

void QX_DSP_Velkor2_OSC_Combine::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    if (pin < 0 || pin >= kSignalPins) {
        return;
    }
    signals_[pin] = source != nullptr && inputSources[pin] != nullptr ? source : host->silence;
}

void QX_DSP_Velkor2_OSC_Combine::prepare() {
    chooseRender();
    sendEvent(host->sampleClock, 0, kEventMoving, 0, 0.0f, nullptr);
}

void QX_DSP_Velkor2_OSC_Combine::handleEvent(const Event& event, int) {
    // Modes outside the list are ignored.
    if (event.pin == kPinMode && event.ivalue >= 0 && event.ivalue < kModeCount) {
        mode_ = event.ivalue;
        chooseRender();
    }
}

void QX_DSP_Velkor2_OSC_Combine::chooseRender() {
    switch (mode_) {
        case kAnd:
            useRender(&QX_DSP_Velkor2_OSC_Combine::renderMode<kAnd>);
            break;
        case kOr:
            useRender(&QX_DSP_Velkor2_OSC_Combine::renderMode<kOr>);
            break;
        case kXor:
            useRender(&QX_DSP_Velkor2_OSC_Combine::renderMode<kXor>);
            break;
        case kRing:
            useRender(&QX_DSP_Velkor2_OSC_Combine::renderMode<kRing>);
            break;
        case kXWave:
            useRender(&QX_DSP_Velkor2_OSC_Combine::renderMode<kXWave>);
            break;
        default:  // Mix and Sync
            useRender(&QX_DSP_Velkor2_OSC_Combine::renderMode<kMix>);
            break;
    }
}

template <int M>
void QX_DSP_Velkor2_OSC_Combine::renderMode(int pos, int count) {
    const float* a = signals_[kPinA];
    const float* la = signals_[kPinLevelA];
    const float* b = signals_[kPinB];
    const float* lb = signals_[kPinLevelB];
    const float* c = signals_[kPinCrossFade];
    const float* t = signals_[kPinThreshold];
    float* out = outputs[0];
    const int end = pos + count;
    int s = pos;
    for (; s + kGroup <= end; s += kGroup) {
        for (int j = s; j < s + kGroup; ++j) {
            out[j] = sample_guard::bounded(combine<M>(a[j] * la[j], b[j] * lb[j], c[j], t[j]));
        }
    }
    for (; s < end; ++s) {
        out[s] = sample_guard::bounded(combine<M>(a[s] * la[s], b[s] * lb[s], c[s], t[s]));
    }
}
