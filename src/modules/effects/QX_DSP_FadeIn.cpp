#include "modules/effects/QX_DSP_FadeIn.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/QX_EngineHost.h"
#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

namespace {

constexpr double kSecondsPerUnit = 0.01;  // the fade time arrives in hundredths of a second
constexpr double kLongestRamp = 2.0e9;    // samples; keeps positions in the ramp inside an int

// in * (elapsed + i) * increment on the i-th sample of the stretch; the gain never passes 1, should
// the end reminder be lost.
template <bool Moving>
void rampChannel(float* out, Operand<Moving> in, int pos, int count, std::int32_t elapsed, float increment) {
    const std::int32_t first = elapsed - pos;
    renderSamples(out, pos, count, [=](int t) {
        const float gain = static_cast<float>(first + t) * increment;
        return guard(in[t] * (gain < 1.0f ? gain : 1.0f));
    });
}

template <bool Moving>
void passChannel(float* out, Operand<Moving> in, int pos, int count) {
    renderSamples(out, pos, count, [=](int t) { return guard(in[t]); });
}

}  // namespace

QX_DSP_FadeIn::QX_DSP_FadeIn(QX_EngineHost* owner, bool asleep) : QX_DSP_MixModuleBase(owner, asleep, 2, 1) {}

void QX_DSP_FadeIn::setInput(int pin, const float* source) {
    QX_DSP_MixModuleBase::setInput(pin, source);
    if (pin == kPinSecond && source != nullptr && outputs[1] == nullptr) {
        makeOutput(1);
    }
}

void QX_DSP_FadeIn::onEvent(const Event& event, int pos) {
    switch (event.pin) {
        case kPinSignal:
        case kPinSecond:
            takeSignal(event, pos);
            break;
        case kPinTrigger:
            if (enabled_ && isOn(event)) {
                startRamp();
            }
            break;
        case kPinFadeTime:
            fadeTime_ = std::isnan(event.fvalue) ? 0.0f : std::clamp(event.fvalue, 0.0f, kMaxFadeTime);
            break;
        case kPinEnable:
            enabled_ = isOn(event);
            rampActive_ = false;
            break;
        default:
            break;
    }
}

void QX_DSP_FadeIn::startRamp() {
    const double samples = static_cast<double>(fadeTime_) * kSecondsPerUnit * host->sampleRateInt;
    rampActive_ = samples > 0.0;
    if (!rampActive_) {
        return;
    }
    rampStart_ = localTime;
    rampLength_ = static_cast<std::uint32_t>(std::ceil(std::min(samples, kLongestRamp)));
    increment_ = static_cast<float>(1.0 / samples);
    // The process loop splits rendering at this event, so the ramp ends at its own sample.
    receiveEvent(rampStart_ + rampLength_, kPinRampEnd, kEventStill, 0, 0.0f, nullptr);
}

bool QX_DSP_FadeIn::ramping() const { return rampActive_ && localTime - rampStart_ < rampLength_; }

void QX_DSP_FadeIn::settle() {
    if (!enabled_) {
        installSilence();
        return;
    }
    rampActive_ = ramping();
    const bool second = outputs[1] != nullptr;
    unsigned moving = 0;
    for (int k = 0; k < 2; ++k) {
        const Signal& in = signal(kPinSignal + k);
        still_[k] = in.moving ? 0.0f : in.still;
        moving |= in.moving ? 1u << k : 0u;
        // A ramp makes any signal but a still zero move.
        const bool outMoving = in.moving || (rampActive_ && !in.stillZero());
        states_[k] = {outMoving, outMoving ? 0.0f : still_[k]};
    }
    if (!second) {
        states_[1] = {};
        moving &= 1u;
    }
    if (rampActive_) {
        static constexpr auto kRamp = routineTable<8>(
            []<std::size_t I>() { return &QX_DSP_FadeIn::renderRamp<I % 4, (I >= 4)>; });
        install(kRamp[moving + (second ? 4 : 0)]);
    } else if (moving != 0) {
        static constexpr auto kPass = routineTable<6>(
            []<std::size_t I>() { return &QX_DSP_FadeIn::renderPass<I % 3 + 1, (I >= 3)>; });
        install(kPass[(moving - 1) + (second ? 3 : 0)]);
    } else {
        installStill();
    }
}

template <unsigned Moving, bool Second>
void QX_DSP_FadeIn::renderPass(int pos, int count) {
    beginPiece();
    passChannel(outputs[0], operand<kMoves<Moving, 0>>(inputs[kPinSignal], still_[0]), pos, count);
    if constexpr (Second) {
        passChannel(outputs[1], operand<kMoves<Moving, 1>>(inputs[kPinSecond], still_[1]), pos, count);
    }
}

template <unsigned Moving, bool Second>
void QX_DSP_FadeIn::renderRamp(int pos, int count) {
    beginPiece();
    // At most rampLength_, which fits an int (the end reminder normally stops the ramp before).
    const auto elapsed = static_cast<std::int32_t>(std::min(localTime - rampStart_, rampLength_));
    rampChannel(outputs[0], operand<kMoves<Moving, 0>>(inputs[kPinSignal], still_[0]), pos, count, elapsed,
                increment_);
    if constexpr (Second) {
        rampChannel(outputs[1], operand<kMoves<Moving, 1>>(inputs[kPinSecond], still_[1]), pos, count, elapsed,
                    increment_);
    }
}
