#include "modules/effects/QX_DSP_Delay.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/effects/DelayKernels.h"

using namespace delay_kernels;

namespace {

constexpr float kSmoothingRate = 44100.0f;  // the loop coefficient is given for this rate
constexpr float kMaxSmoothing = 0.9999f;    // keeps the loop low-pass stable
constexpr float kMaxFeedback = 1.0f;

using Loop = QX_DSP_Delay::Loop;
using Routine = QX_DSP_Delay::Routine;

template <bool Interpolate, bool MovingTime>
constexpr std::array<Routine, 3> loopRoutines() {
    return {&QX_DSP_Delay::renderLine<Interpolate, MovingTime, Loop::Open>,
            &QX_DSP_Delay::renderLine<Interpolate, MovingTime, Loop::Plain>,
            &QX_DSP_Delay::renderLine<Interpolate, MovingTime, Loop::Smoothed>};
}

// Indexed by [interpolate][moving time][loop].
constexpr std::array<Routine, 3> kLineRoutines[2][2] = {
    {loopRoutines<false, false>(), loopRoutines<false, true>()},
    {loopRoutines<true, false>(), loopRoutines<true, true>()},
};

}  // namespace

QX_DSP_Delay::QX_DSP_Delay(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep), ring_(engine->sampleRateInt), input_(engine->silence), time_(engine->silence) {
    makeOutput(0);
    prepare();
}

void QX_DSP_Delay::prepare() {
    timeValue_ = 0.0f;
    timeMoving_ = bufferFed_[kPinTime];
    unitIndex_ = kDefaultUnit;
    feedback_ = 0.0f;
    smoothing_ = 0.0f;
    interpolate_ = true;
    line_.prepare();
    bypass_ = false;
    sentKind_ = -1;
    restart();
    chooseRoutine();
}

void QX_DSP_Delay::reset() {
    ring_.clear();
    loopState_ = 0.0f;
}

void QX_DSP_Delay::restart() {
    ring_.select(line_.size());
    ring_.clear();
    write_ = 0;
    loopState_ = 0.0f;
}

void QX_DSP_Delay::setInput(int pin, const float* source) {
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    QX_ModuleBase::setInput(pin, source);
    bufferFed_[pin] = readsBuffer(*this, pin, source);
    const float* signal = bufferFed_[pin] ? source : host->silence;
    if (pin == kPinInput) {
        input_ = signal;
    } else if (pin == kPinTime) {
        time_ = signal;
        timeMoving_ = bufferFed_[pin];
    }
}

float QX_DSP_Delay::valueAt(const Event& event, int pos) const {
    if (bufferFed_[event.pin] && pos >= 0 && pos < blockLength) {
        return finite(inputs[event.pin][pos]);
    }
    return finite(event.fvalue);
}

void QX_DSP_Delay::handleEvent(const Event& event, int pos) {
    switch (event.pin) {
        case kPinTime:
            timeMoving_ = bufferFed_[kPinTime] && event.kind == kEventMoving;
            timeValue_ = valueAt(event, pos);
            break;
        case kPinFeedback:
            feedback_ = std::clamp(valueAt(event, pos), -kMaxFeedback, kMaxFeedback);
            break;
        case kPinSmoothing:
            smoothing_ = valueAt(event, pos);
            break;
        case kPinMode:
            interpolate_ = event.ivalue != 0;
            break;
        case kPinUnit:
            unitIndex_ = timeUnit(event.ivalue, kDefaultUnit);
            break;
        case kPinSize:
            if (line_.resize(event.ivalue)) {
                restart();
            }
            break;
        case kPinEnable:
            if (line_.switchOn(isOn(event))) {
                restart();
            }
            break;
        case kPinClear:
            if (event.ivalue > 0) {
                ring_.clear();
            }
            break;
        case kPinBypass:
            bypass_ = isOn(event);
            break;
        default:
            break;
    }
    chooseRoutine();
}

void QX_DSP_Delay::chooseRoutine() {
    unit_ = samplesPerUnit(unitIndex_, host->sampleRateInt);
    const float still = readOffset(timeValue_ * unit_, ring_.longest());
    whole_ = static_cast<int>(still);
    fraction_ = still - static_cast<float>(whole_);
    if (bypass_) {
        setDelayRoutine(&QX_DSP_Delay::renderBypass);
        return;
    }
    if (!line_.enabled()) {
        silence_.restart(blockLength);
        setDelayRoutine(&QX_DSP_Delay::renderSilence);
        return;
    }
    const float rateShare = std::min(kSmoothingRate / static_cast<float>(host->sampleRateInt), 1.0f);
    coefficient_ = std::clamp(rateShare * smoothing_, 0.0f, kMaxSmoothing);
    const Loop loop = feedback_ == 0.0f ? Loop::Open : coefficient_ == 0.0f ? Loop::Plain : Loop::Smoothed;
    setDelayRoutine(kLineRoutines[interpolate_ ? 1 : 0][timeMoving_ ? 1 : 0][static_cast<int>(loop)]);
}

void QX_DSP_Delay::setDelayRoutine(Routine routine) { useRender(routine); }

void QX_DSP_Delay::announce(int kind) {
    if (sentKind_ != kind) {
        sentKind_ = kind;
        sendEvent(localTime, 0, kind, kind, static_cast<float>(kind), nullptr);
    }
}

template <bool Interpolate, bool MovingTime, QX_DSP_Delay::Loop L>
void QX_DSP_Delay::renderLine(int pos, int count) {
    announce(kEventMoving);
    float* const buffer = ring_.data();
    const unsigned mask = ring_.mask();
    const float longest = ring_.longest();
    const float unit = unit_;
    const float feedback = feedback_;
    const float coefficient = coefficient_;
    const unsigned stillWhole = static_cast<unsigned>(whole_);
    const float stillFraction = fraction_;
    const float* in = input_ + pos;
    const float* time = time_ + pos;
    float* out = outputs[0] + pos;
    unsigned w = write_;
    float smoothed = loopState_;
    for (int n = 0; n < count; ++n) {
        w = (w - 1) & mask;
        buffer[w] = stored(in[n]);
        unsigned whole = stillWhole;
        float fraction = stillFraction;
        if constexpr (MovingTime) {
            const float x = readOffset(time[n] * unit, longest);
            whole = static_cast<unsigned>(x);
            fraction = x - static_cast<float>(whole);
        }
        const unsigned p = (whole + w) & mask;
        float y = buffer[p];
        if constexpr (Interpolate) {
            y += (buffer[(p + 1) & mask] - y) * fraction;
        } else {
            static_cast<void>(fraction);
        }
        out[n] = y;
        if constexpr (L == Loop::Plain) {
            buffer[w] = stored(buffer[w] + feedback * y);
        } else if constexpr (L == Loop::Smoothed) {
            smoothed = stored(y * (1.0f - coefficient) + smoothed * coefficient);
            buffer[w] = stored(buffer[w] + feedback * smoothed);
        }
    }
    write_ = w;
    loopState_ = smoothed;
}

void QX_DSP_Delay::renderBypass(int pos, int count) {
    announce(kEventMoving);
    const float* in = input_ + pos;
    float* out = outputs[0] + pos;
    for (int n = 0; n < count; ++n) {
        out[n] = stored(in[n]);
    }
}

// Zeros for one whole block, then idle: readers of an idle module see its buffer as it was left.
void QX_DSP_Delay::renderSilence(int pos, int count) {
    announce(kEventStill);
    std::memset(outputs[0] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    if (silence_.runDown(count)) {
        setDelayRoutine(&QX_DSP_Delay::renderIdle);
        setIdle();
    }
}

void QX_DSP_Delay::renderIdle(int, int) { setIdle(); }
