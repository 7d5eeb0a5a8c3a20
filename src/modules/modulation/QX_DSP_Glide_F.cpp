#include "modules/modulation/QX_DSP_Glide_F.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"
#include "modules/modulation/GlideKernels.h"

using namespace glide_kernels;

namespace {

constexpr float kOctave = 0.1f;            // pitch units per octave
constexpr float kTimeBias = 0.1f;          // keeps a time of 0 finite: one octave per sample
constexpr float kDefaultTime = 0.5f;       // 5 ms per octave until a time arrives
constexpr float kMaxTime = 1.0e6f;         // 10000 s per octave
constexpr double kSecondsPer10Ms = 0.01;
constexpr std::int32_t kMaxGlideSamples = std::int32_t{1} << 30;

}  // namespace

QX_DSP_Glide_F::QX_DSP_Glide_F(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    makeOutput(0);
    samplesPer10ms_ = static_cast<float>(host->sampleRateInt * kSecondsPer10Ms);
}

float QX_DSP_Glide_F::stepFor(float time, float samplesPer10ms) {
    const float t = std::isnan(time) ? 0.0f : std::clamp(time, 0.0f, kMaxTime);
    return kOctave / (t * samplesPer10ms + kTimeBias);
}

void QX_DSP_Glide_F::prepare() {
    target_ = 0.0f;
    current_ = 0.0f;
    timeUp_ = kDefaultTime;
    timeDown_ = kDefaultTime;
    enabled_ = 1;
    restart_ = true;
    movingSent_ = -1;
    samplesPer10ms_ = static_cast<float>(host->sampleRateInt * kSecondsPer10Ms);
    std::fill_n(outputs[0], blockLength + kModuleBufferSpare, 0.0f);
    holdLeft_ = blockLength;
    useRender(&QX_DSP_Glide_F::renderHold);
}

float QX_DSP_Glide_F::convert(float value) const { return guard(value * scale_ + offset_); }

void QX_DSP_Glide_F::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinTimeUp:
            timeUp_ = event.fvalue;
            break;
        case kPinTimeDown:
            timeDown_ = event.fvalue;
            break;
        case kPinValue:
            target_ = convert(event.fvalue);
            current_ = target_;
            break;
        case kPinGlideStart:
            if (enabled_ == 0) {
                return;
            }
            current_ = convert(event.fvalue);
            break;
        case kPinEnable:
            enabled_ = event.ivalue;
            return;
        case kPinScale:
            scale_ = event.fvalue * control_values::kTableUnits;
            return;
        case kPinOffset:
            offset_ = event.fvalue * control_values::kTableUnits;
            return;
        default:
            return;  // the gate and the linear switch change nothing of the linear glide
    }
    restart_ = true;
    if (target_ == current_) {
        holdLeft_ = blockLength;
        useRender(&QX_DSP_Glide_F::renderHold);
    } else {
        useRender(&QX_DSP_Glide_F::renderGlide);
    }
}

// Constant rate: the glide takes as many samples as its distance needs at that rate.
void QX_DSP_Glide_F::beginGlide() {
    restart_ = false;
    const bool rising = target_ > current_;
    const float step = rising ? stepFor(timeUp_, samplesPer10ms_) : -stepFor(timeDown_, samplesPer10ms_);
    const double samples = std::ceil(std::abs(static_cast<double>(target_) - current_) / std::abs(step));
    start_ = current_;
    step_ = step;
    lo_ = std::min(current_, target_);
    hi_ = std::max(current_, target_);
    elapsed_ = 0;
    length_ = static_cast<std::int32_t>(std::clamp(samples, 1.0, double{kMaxGlideSamples}));
}

void QX_DSP_Glide_F::renderGlide(int pos, int count) {
    if (movingSent_ != kEventMoving) {
        movingSent_ = kEventMoving;
        sendEvent(localTime, 0, kEventMoving, 1, 1.0f, nullptr);
    }
    if (restart_) {
        beginGlide();
    }
    float* out = outputs[0] + pos;
    // Samples before the last one of the glide, which is the target itself.
    const int before = std::min(count, length_ - 1 - elapsed_);
    writeRamp(out, before, start_, step_, elapsed_ + 1, lo_, hi_);
    elapsed_ += before;
    if (before == count) {
        current_ = out[count - 1];
        return;
    }
    current_ = target_;
    holdLeft_ = blockLength;
    useRender(&QX_DSP_Glide_F::renderHold);
    hold(pos + before, count - before, localTime + static_cast<std::uint32_t>(before));
}

void QX_DSP_Glide_F::renderHold(int pos, int count) { hold(pos, count, localTime); }

// Announces the still value whenever it is new, fills the ring with it, then goes idle.
void QX_DSP_Glide_F::hold(int pos, int count, std::uint32_t time) {
    if (movingSent_ != kEventStill || stillSent_ != current_) {
        movingSent_ = kEventStill;
        stillSent_ = current_;
        sendEvent(time, 0, kEventStill, current_ > 0.0f ? 1 : 0, current_, nullptr);
    }
    std::fill_n(outputs[0] + pos, count, current_);
    holdLeft_ -= count;
    if (holdLeft_ <= 0) {
        std::fill_n(outputs[0] + blockLength, kModuleBufferSpare, current_);
        setIdle();
    }
}
