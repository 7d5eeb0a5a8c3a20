#include "modules/effects/QX_DSP_Adder.h"

#include <array>
#include <cstddef>

#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

QX_DSP_Adder::QX_DSP_Adder(QX_EngineHost* owner, bool asleep) : QX_DSP_MixModuleBase(owner, asleep, 1, 1) {}

void QX_DSP_Adder::setInput(int pin, const float* source) {
    QX_DSP_MixModuleBase::setInput(pin, source);
    if ((pin == kPinMin || pin == kPinMax) && source != nullptr) {
        clamped_ = true;
    }
}

void QX_DSP_Adder::prepare() {
    min_ = kDefaultMin;
    max_ = kDefaultMax;
    QX_DSP_MixModuleBase::prepare();
}

void QX_DSP_Adder::onEvent(const Event& event, int pos) {
    const int pin = event.pin;
    if (pin < kInputs) {
        takeSignal(event, pos);
    } else if (pin >= kFirstSelectorPin && pin < kFirstSelectorPin + kInputs) {
        selectors_[pin - kFirstSelectorPin] = event.ivalue;
    } else if (pin >= kFirstMatchPin && pin < kFirstMatchPin + kInputs) {
        matches_[pin - kFirstMatchPin] = event.ivalue;
    } else if (pin >= kFirstOffsetPin && pin < kFirstOffsetPin + kOffsets) {
        offsets_[pin - kFirstOffsetPin] = stillValue(event, pos);
    } else if (pin == kPinMin) {
        min_ = stillValue(event, pos);
    } else if (pin == kPinMax) {
        max_ = stillValue(event, pos);
    } else if (pin == kPinEnable) {
        enabled_ = isOn(event);
    } else if (pin == kPinForcedMoving) {
        forcedMoving_ = event.ivalue;
    }
}

void QX_DSP_Adder::settle() {
    if (!enabled_) {
        installSilence();
        return;
    }
    float sum = offsets_[0] + offsets_[1] + offsets_[2];
    unsigned moving = 0;
    for (int i = 0; i < kInputs; ++i) {
        if (selectors_[i] != matches_[i]) {
            continue;
        }
        // Forcing applies only to an input that has a buffer to read.
        const bool forced = i == forcedMoving_ && readsBuffer(i);
        if (signal(i).moving || forced) {
            movingInputs_[moving++] = i;
        } else {
            sum += signal(i).still;
        }
    }
    sum_ = guard(sum);
    states_[0] = {moving != 0, clamped_ ? limited<true>(sum_, min_, max_) : sum_};
    if (moving == 0) {
        installStill();
        return;
    }
    static constexpr auto kRoutines = routineTable<2 * kInputs>([]<std::size_t I>() {
        return &QX_DSP_Adder::renderSum<I % kInputs + 1, (I >= kInputs)>;
    });
    install(kRoutines[(moving - 1) + (clamped_ ? kInputs : 0)]);
}

template <unsigned Count, bool Clamp>
void QX_DSP_Adder::renderSum(int pos, int count) {
    beginPiece();
    std::array<const float*, Count> in;
    for (unsigned k = 0; k < Count; ++k) {
        in[k] = inputs[movingInputs_[k]];
    }
    const float sum = sum_;
    const float lo = min_;
    const float hi = max_;
    renderSamples(outputs[0], pos, count, [=](int t) {
        float x = sum;
        for (const float* input : in) {
            x += input[t];
        }
        return limited<Clamp>(x, lo, hi);
    });
}
