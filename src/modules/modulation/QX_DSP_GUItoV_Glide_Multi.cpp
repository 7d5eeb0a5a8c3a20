#include "modules/modulation/QX_DSP_GUItoV_Glide_Multi.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"
#include "modules/modulation/GlideKernels.h"

using namespace glide_kernels;

namespace {

std::uint64_t bitOf(int k) { return std::uint64_t{1} << k; }

}  // namespace

QX_DSP_GUItoV_Glide_Multi::QX_DSP_GUItoV_Glide_Multi(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {
    for (int k = 0; k < kChannels; ++k) {
        makeOutput(k);
    }
    rampLength_ = samplesFor(kDefaultRampMs, host->sampleRateInt);
    tailLength_ = samplesFor(kTailMs, host->sampleRateInt);
    useRender(&QX_DSP_GUItoV_Glide_Multi::renderChannels);
}

std::int32_t QX_DSP_GUItoV_Glide_Multi::rampSamples(float value, int sampleRate) {
    // trunc(value x 10 x rate x 0.001 + 1); a time that is not a number counts as 0.
    const double ms = std::isnan(value) ? 0.0 : static_cast<double>(value) * control_values::kTableUnits;
    const double samples = std::trunc(ms * static_cast<double>(sampleRate) * kSecondsPerMs + 1.0);
    return static_cast<std::int32_t>(std::clamp(samples, 0.0, double{kMaxRampSamples}));
}

void QX_DSP_GUItoV_Glide_Multi::setInput(int pin, const float* source) {
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    QX_ModuleBase::setInput(pin, source);
    if (pin < kChannels) {
        connected_ = source != nullptr ? connected_ | bitOf(pin) : connected_ & ~bitOf(pin);
    }
}

void QX_DSP_GUItoV_Glide_Multi::prepare() {
    for (Channel& channel : channels_) {
        channel = Channel{};
    }
    changed_ = 0;
    active_ = 0;
    allDirty_ = false;
    rampLength_ = samplesFor(kDefaultRampMs, host->sampleRateInt);
    tailLength_ = samplesFor(kTailMs, host->sampleRateInt);
    for (int k = 0; k < kChannels; ++k) {
        std::fill_n(outputs[k], blockLength + kModuleBufferSpare, 0.0f);
    }
    useRender(&QX_DSP_GUItoV_Glide_Multi::renderChannels);
}

void QX_DSP_GUItoV_Glide_Multi::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    if (pin < kChannels) {
        Channel& channel = channels_[pin];
        // Bit-for-bit comparison, so that a NaN arriving twice is not a change.
        if ((connected_ & bitOf(pin)) != 0 && std::bit_cast<std::uint32_t>(event.fvalue) !=
                                                   std::bit_cast<std::uint32_t>(channel.raw)) {
            channel.raw = event.fvalue;
            changed_ |= bitOf(pin);
        }
        return;
    }
    switch (pin) {
        case kPinRampTime:
            rampLength_ = rampSamples(event.fvalue, host->sampleRateInt);
            break;
        case kPinScaleA:
            scaleA_ = event.fvalue * control_values::kTableUnits;
            allDirty_ = true;
            break;
        case kPinOffset:
            offset_ = event.fvalue * control_values::kTableUnits;
            allDirty_ = true;
            break;
        case kPinScaleB:
            scaleB_ = event.fvalue * control_values::kTableUnits;
            allDirty_ = true;
            break;
        case kPinGate:
            gate_ = event.ivalue != 0 ? 1.0f : 0.0f;
            allDirty_ = true;
            break;
        default:
            break;
    }
}

// The value the output has at this sample: the running ramp's, or the target.
float QX_DSP_GUItoV_Glide_Multi::valueNow(const Channel& channel) const {
    if (channel.rampLeft <= 0) {
        return channel.target;
    }
    const float v = channel.start + static_cast<float>(channel.elapsed) * channel.step;
    return std::clamp(v, channel.lo, channel.hi);
}

void QX_DSP_GUItoV_Glide_Multi::applyChanges() {
    std::uint64_t pending = (allDirty_ ? connected_ : changed_) & connected_;
    changed_ = 0;
    allDirty_ = false;
    const bool jump = mustJump(*host);
    const float gain = scaleA_ * scaleB_ * gate_;
    while (pending != 0) {
        const int k = std::countr_zero(pending);
        pending &= pending - 1;
        const Channel& channel = channels_[k];
        const float target = guard(channel.raw * gain + offset_);
        if (target == channel.target && (!jump || channel.rampLeft <= 0)) {
            continue;
        }
        retarget(k, target, jump);
    }
}

void QX_DSP_GUItoV_Glide_Multi::retarget(int k, float target, bool jump) {
    Channel& channel = channels_[k];
    const float current = valueNow(channel);
    channel.target = target;
    channel.elapsed = 0;
    channel.rampLeft = 0;
    channel.holdLeft = blockLength;
    active_ |= bitOf(k);
    const float step = rampLength_ >= 1 ? (target - current) / static_cast<float>(rampLength_) : 0.0f;
    if (jump || (rampLength_ >= 1 && step == 0.0f)) {
        // A jump is announced at once, also when the output was already still: the value is new.
        channel.end = localTime;
        channel.sentKind = kEventStill;
        sendEvent(localTime, k, kEventStill, target > 0.0f ? 1 : 0, target, nullptr);
        return;
    }
    if (rampLength_ < 1) {
        channel.end = localTime + static_cast<std::uint32_t>(tailLength_);
    } else {
        channel.start = current;
        channel.step = step;
        channel.lo = std::min(current, target);
        channel.hi = std::max(current, target);
        channel.rampLeft = rampLength_;
        const std::int32_t minimumEnd = std::max(rampLength_ + blockLength + 1, tailLength_);
        channel.end = localTime + static_cast<std::uint32_t>(minimumEnd);
    }
    if (channel.sentKind != kEventMoving) {
        channel.sentKind = kEventMoving;
        sendEvent(localTime, k, kEventMoving, 1, 1.0f, nullptr);
    }
}

void QX_DSP_GUItoV_Glide_Multi::writeChannel(Channel& channel, float* out, int count) {
    const int ramped = std::min(count, channel.rampLeft);
    if (ramped > 0) {
        writeRamp(out, ramped, channel.start, channel.step, channel.elapsed, channel.lo, channel.hi);
        channel.elapsed += ramped;
        channel.rampLeft -= ramped;
    }
    const int held = std::min(count - ramped, channel.holdLeft);
    if (held > 0) {
        std::fill_n(out + ramped, held, channel.target);
        channel.holdLeft -= held;
    }
}

void QX_DSP_GUItoV_Glide_Multi::renderChannels(int pos, int count) {
    if (changed_ != 0 || allDirty_) {
        applyChanges();
    }
    if (active_ == 0) {
        setIdle();
        return;
    }
    std::uint64_t pending = active_;
    while (pending != 0) {
        const int k = std::countr_zero(pending);
        pending &= pending - 1;
        Channel& channel = channels_[k];
        float* out = outputs[k];
        const bool wasWriting = channel.rampLeft > 0 || channel.holdLeft > 0;
        writeChannel(channel, out + pos, count);
        if (wasWriting && channel.rampLeft == 0 && channel.holdLeft == 0) {
            std::fill_n(out + blockLength, kModuleBufferSpare, channel.target);
        }
        if (channel.rampLeft > 0) {
            continue;
        }
        if (channel.sentKind != kEventStill && dueWithin(channel.end, localTime, count)) {
            const std::uint32_t at =
                static_cast<std::int32_t>(channel.end - localTime) > 0 ? channel.end : localTime;
            channel.sentKind = kEventStill;
            sendEvent(at, k, kEventStill, channel.target > 0.0f ? 1 : 0, channel.target, nullptr);
        }
        if (channel.holdLeft == 0 && channel.sentKind == kEventStill) {
            active_ &= ~bitOf(k);
        }
    }
}
