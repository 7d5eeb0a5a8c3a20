#include "modules/modulation/QX_DSP_FdB_to_VFGain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

namespace {

// gain = 0.5 sin(v (1 - kBend (kSpan v)^2) / pi) with v = fader * kFaderScale
constexpr float kFaderScale = 1.77f;
constexpr float kBend = 0.2014218f;
constexpr float kSpan = 0.23529412f;
constexpr float kGainScale = 0.5f;
constexpr float kRampMs = 30.0f;
constexpr float kSecondsPerMs = 0.001f;
// Lies outside every gain, so the first fader event after prepare always counts.
constexpr float kNoTarget = -1000000.0f;

}  // namespace

QX_DSP_FdB_to_VFGain::QX_DSP_FdB_to_VFGain(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    makeOutput(0);
}

float QX_DSP_FdB_to_VFGain::gainFor(float fader) {
    const float v = fader * kFaderScale;
    const float spanned = kSpan * v;
    return kGainScale * std::sin(v * (1.0f - kBend * spanned * spanned) / std::numbers::pi_v<float>);
}

void QX_DSP_FdB_to_VFGain::prepare() {
    current_ = 0.0f;
    target_ = kNoTarget;
    rampLeft_ = 0;
    holdLeft_ = 0;
    setRenderRoutine(&QX_ModuleBase::render);
}

void QX_DSP_FdB_to_VFGain::handleEvent(const Event& event, int) {
    float previous = target_;
    if (event.pin == kPinFader && std::isfinite(event.fvalue)) {
        fader_ = event.fvalue;
    } else if (event.pin == kPinReevaluate) {
        previous = kNoTarget;
    } else {
        return;
    }
    const float target = gainFor(fader_);
    if (target == previous || !std::isfinite(target)) {
        return;
    }
    target_ = target;
    useRender(&QX_DSP_FdB_to_VFGain::renderStart);
}

// Chooses between a jump and a ramp at the sample of the change.
void QX_DSP_FdB_to_VFGain::renderStart(int pos, int count) {
    const bool jump = host->audioNotRunning.load(std::memory_order_relaxed) ||
                      host->programJustLoaded.load(std::memory_order_relaxed);
    const int length = static_cast<int>(static_cast<float>(host->sampleRateInt) * kSecondsPerMs * kRampMs);
    if (jump || length < 1 || target_ == current_) {
        current_ = target_;
        sendEvent(localTime, 0, kEventStill, truncatedInt(current_), current_, nullptr);
        holdLeft_ = blockLength;
        useRender(&QX_DSP_FdB_to_VFGain::renderHold);
        renderHold(pos, count);
        return;
    }
    step_ = (target_ - current_) / static_cast<float>(length);
    rampLeft_ = length;
    sendEvent(localTime, 0, kEventMoving, truncatedInt(current_), current_, nullptr);
    useRender(&QX_DSP_FdB_to_VFGain::renderRamp);
    renderRamp(pos, count);
}

// The sample of the change keeps the old gain; the target is reached `length` samples later.
void QX_DSP_FdB_to_VFGain::renderRamp(int pos, int count) {
    const int n = std::min(count, rampLeft_);
    float* out = outputs[0] + pos;
    float gain = current_;
    const float step = step_;
    for (int i = 0; i < n; ++i) {
        out[i] = gain;
        gain += step;
    }
    current_ = gain;
    rampLeft_ -= n;
    if (rampLeft_ > 0) {
        return;
    }
    current_ = target_;
    sendEvent(localTime + static_cast<std::uint32_t>(n), 0, kEventStill, truncatedInt(current_), current_, nullptr);
    holdLeft_ = blockLength;
    useRender(&QX_DSP_FdB_to_VFGain::renderHold);
    renderHold(pos + n, count - n);
}

void QX_DSP_FdB_to_VFGain::renderHold(int pos, int count) {
    std::fill_n(outputs[0] + pos, count, current_);
    holdLeft_ -= count;
    if (holdLeft_ <= 0) {
        std::fill_n(outputs[0] + blockLength, kModuleBufferSpare, current_);
        setRenderRoutine(&QX_ModuleBase::render);
        setIdle();
    }
}
