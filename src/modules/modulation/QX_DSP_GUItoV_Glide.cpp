#include "modules/modulation/QX_DSP_GUItoV_Glide.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"
#include "modules/modulation/GlideKernels.h"

using namespace glide_kernels;

namespace {

constexpr float kWidthTop = 1.0f;          // width law: 1 - (v - 1) / 9 maps 1..10 onto 1..0
constexpr float kWidthSlope = 0.11111111f;

}  // namespace

QX_DSP_GUItoV_Glide::QX_DSP_GUItoV_Glide(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    makeOutput(kOutputSignal);
    rampLength_ = samplesFor(kDefaultRampMs, host->sampleRateInt);
    tailLength_ = samplesFor(kTailMs, host->sampleRateInt);
}

void QX_DSP_GUItoV_Glide::setInput(int pin, const float* source) {
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    QX_ModuleBase::setInput(pin, source);
    // The width law takes precedence over squaring when both are wired.
    if (inputs[kPinWidthMode] != nullptr) {
        conversion_ = Conversion::Width;
    } else if (inputs[kPinSquaredMode] != nullptr) {
        conversion_ = Conversion::Squared;
    } else {
        conversion_ = Conversion::Plain;
    }
}

void QX_DSP_GUItoV_Glide::onOutputConnected(int output) {
    if (output == kOutputOnOff) {
        onOffWired_ = true;
    }
}

void QX_DSP_GUItoV_Glide::prepare() {
    raw_ = 0.0f;
    target_ = 0.0f;
    current_ = 0.0f;
    rampLeft_ = 0;
    moving_ = kEventStill;
    sentKind_ = kEventStill;
    rampLength_ = samplesFor(kDefaultRampMs, host->sampleRateInt);
    tailLength_ = samplesFor(kTailMs, host->sampleRateInt);
    std::fill_n(outputs[kOutputSignal], blockLength + kModuleBufferSpare, 0.0f);
    setRenderRoutine(&QX_ModuleBase::render);
}

float QX_DSP_GUItoV_Glide::convert(float value) const {
    switch (conversion_) {
        case Conversion::Width:
            return guard(kWidthTop - (value - kWidthTop) * kWidthSlope);
        case Conversion::Squared:
            return guard(value * value * scale_ + offset_);
        case Conversion::Plain:
            break;
    }
    return guard(value * scale_ + offset_);
}

void QX_DSP_GUItoV_Glide::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinRampTime: {
            const double ms = std::isnan(event.fvalue) ? 0.0 : double{event.fvalue} * control_values::kTableUnits;
            rampLength_ = samplesFor(ms, host->sampleRateInt);
            return;
        }
        case kPinScale:
            scale_ = event.fvalue * control_values::kTableUnits;
            break;
        case kPinOffset:
            offset_ = event.fvalue * control_values::kTableUnits;
            break;
        case kPinValue:
        case kPinJumpValue:
        case kPinSetValue:
            raw_ = event.fvalue;
            break;
        default:
            return;
    }
    const float previous = target_;
    const float target = convert(raw_);
    if (event.pin == kPinSetValue) {
        jumpTo(target);
    } else if (target == previous) {
        return;
    } else if (event.pin == kPinJumpValue || mustJump(*host)) {
        jumpTo(target);
    } else {
        glideTo(target);
    }
    reportOnOff(previous);
}

void QX_DSP_GUItoV_Glide::reportOnOff(float previous) {
    if (onOffWired_ && (previous != 0.0f) != (target_ != 0.0f)) {
        const bool on = target_ != 0.0f;
        sendEvent(localTime, kOutputOnOff, kEventStill, on ? 1 : 0, on ? 1.0f : 0.0f, nullptr);
    }
}

void QX_DSP_GUItoV_Glide::glideTo(float target) {
    // A ramp under way is left where it is at this sample.
    if (rampLeft_ > 0) {
        current_ = std::clamp(current_ + static_cast<float>(elapsed_) * step_, lo_, hi_);
    }
    target_ = target;
    rampLeft_ = 0;
    const float step = rampLength_ > 0 ? (target - current_) / static_cast<float>(rampLength_) : 0.0f;
    if (rampLength_ > 0 && step == 0.0f) {
        jumpTo(target);  // a change too small to ramp over this many samples
        return;
    }
    moving_ = kEventMoving;
    holdLeft_ = blockLength;
    if (rampLength_ == 0) {
        current_ = target;
        end_ = localTime + static_cast<std::uint32_t>(tailLength_);
        useRender(&QX_DSP_GUItoV_Glide::renderConstant);
        return;
    }
    step_ = step;
    lo_ = std::min(current_, target);
    hi_ = std::max(current_, target);
    elapsed_ = 0;
    rampLeft_ = rampLength_;
    end_ = localTime + static_cast<std::uint32_t>(rampLength_ + tailLength_);
    useRender(&QX_DSP_GUItoV_Glide::renderRamp);
}

// Announced still with the new value at once: readers holding the old value take the new one here.
void QX_DSP_GUItoV_Glide::jumpTo(float target) {
    target_ = target;
    current_ = target;
    rampLeft_ = 0;
    moving_ = kEventStill;
    sentKind_ = kEventStill;
    sendEvent(localTime, kOutputSignal, kEventStill, target > 0.0f ? 1 : 0, target, nullptr);
    holdLeft_ = blockLength;
    end_ = localTime + static_cast<std::uint32_t>(blockLength);
    useRender(&QX_DSP_GUItoV_Glide::renderConstant);
}

// Sample i of the ramp is current + i x step; the sample of the change keeps the old value.
void QX_DSP_GUItoV_Glide::renderRamp(int pos, int count) {
    if (sentKind_ != kEventMoving) {
        sentKind_ = kEventMoving;
        sendEvent(localTime, kOutputSignal, kEventMoving, 1, 1.0f, nullptr);
    }
    const int ramped = std::min(count, rampLeft_);
    writeRamp(outputs[kOutputSignal] + pos, ramped, current_, step_, elapsed_, lo_, hi_);
    elapsed_ += ramped;
    rampLeft_ -= ramped;
    if (rampLeft_ > 0) {
        return;
    }
    current_ = target_;
    holdLeft_ = blockLength;
    useRender(&QX_DSP_GUItoV_Glide::renderConstant);
    holdFrom(pos + ramped, count - ramped, localTime + static_cast<std::uint32_t>(ramped));
}

void QX_DSP_GUItoV_Glide::renderConstant(int pos, int count) { holdFrom(pos, count, localTime); }

void QX_DSP_GUItoV_Glide::renderEnd(int, int count) { endFrom(count, localTime); }

void QX_DSP_GUItoV_Glide::holdFrom(int pos, int count, std::uint32_t time) {
    if (count <= 0) {
        return;
    }
    if (moving_ != sentKind_) {
        sentKind_ = moving_;
        sendEvent(time, kOutputSignal, moving_, target_ > 0.0f ? 1 : 0, target_, nullptr);
    }
    const int held = std::min(count, holdLeft_);
    std::fill_n(outputs[kOutputSignal] + pos, held, target_);
    holdLeft_ -= held;
    if (holdLeft_ > 0) {
        return;
    }
    std::fill_n(outputs[kOutputSignal] + blockLength, kModuleBufferSpare, target_);
    useRender(&QX_DSP_GUItoV_Glide::renderEnd);
    endFrom(count - held, time + static_cast<std::uint32_t>(held));
}

// The ring holds the target; what is left is the still announcement at the end time.
void QX_DSP_GUItoV_Glide::endFrom(int count, std::uint32_t time) {
    if (count <= 0 || !dueWithin(end_, time, count)) {
        return;
    }
    if (sentKind_ != kEventStill) {
        const std::uint32_t at = static_cast<std::int32_t>(end_ - time) > 0 ? end_ : time;
        sentKind_ = kEventStill;
        sendEvent(at, kOutputSignal, kEventStill, target_ > 0.0f ? 1 : 0, target_, nullptr);
    }
    moving_ = kEventStill;
    setRenderRoutine(&QX_ModuleBase::render);
    setIdle();
}
