#include "modules/effects/QX_DSP_PitchShifter.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/QX_EngineHost.h"
#include "modules/sources/SampleGuard.h"

namespace {

constexpr int kBaseLength = 65536;
constexpr int kGuard = 4;
constexpr int kDoublingRates[] = {48000, 96000, 192000};  // Hz; the buffer doubles above each

constexpr float kDefaultWindowFactor = 6.0f;  // 30 ms
constexpr double kWindowSeconds = 0.005;      // per unit of the window pin
constexpr double kBaseDelaySeconds = 0.01;    // per unit of the base-delay pin
constexpr double kMeltScale = 10.0;           // octaves per unit (scale 0)
constexpr double kEchoScale = 0.8333333;      // scale 1: 0.1 is a ratio of 2^(1/12), a semitone
constexpr double kDirectCentre = 0.1;         // scale 2: ratio = (v - 0.1) * 10 + 1
constexpr double kDirectScale = 10.0;
constexpr double kMaxRatioStep = 8.0;  // beyond three octaves up the heads would only alias
constexpr double kPhaseSpan = 4294967296.0;  // 2^32
constexpr double kPhaseToUnit = 1.0 / 2147483648.0;  // (phase >> 1) * 2^-31
constexpr std::uint32_t kGlideStep = 0x4000;
constexpr std::uint32_t kHalfWindow = 0x80000000u;

// Melt crossfade: g = min(10 p^9, 1), c = 0.8 g (1 - g).
constexpr float kMeltFadeScale = 10.0f;
constexpr float kMeltBump = 0.8f;
constexpr int kEchoFadePower = 24;  // h = (1 - p)^24

template <int N>
float power(float x) {
    if constexpr (N == 1) {
        return x;
    } else if constexpr (N % 2 == 0) {
        const float half = power<N / 2>(x);
        return half * half;
    } else {
        return x * power<N - 1>(x);
    }
}

bool restsAtHalfWindow(int mode) { return mode == 2 || mode == 4 || mode == 5; }

}  // namespace

int QX_DSP_PitchShifter::bufferLength(int sampleRate) {
    int length = kBaseLength;
    for (int rate : kDoublingRates) {
        length = sampleRate > rate ? 2 * length : length;
    }
    return length;
}

QX_DSP_PitchShifter::QX_DSP_PitchShifter(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep),
      length_(bufferLength(engine->sampleRateInt)),
      mask_(length_ - 1),
      buffer_(new (std::nothrow) float[static_cast<std::size_t>(length_ + kGuard)]()),
      input_(engine->silence),
      pitchIn_(engine->silence) {
    makeOutput(0);
    prepare();
}

void QX_DSP_PitchShifter::prepare() {
    mode_ = 1;
    scaleMode_ = 1;
    windowFactor_ = kDefaultWindowFactor;
    baseDelayValue_ = 0.0f;
    feedback_ = 0.0f;
    enable_ = 1;
    bypass_ = 0;
    spare_ = 1.0f;
    rest_ = 0;
    phase_ = 0;
    increment_ = 0;
    write_ = 0;
    pitchMoving_ = 0;
    pitchZero_ = true;
    ratioStep_ = 0.0;
    pitchChanged_ = true;
    windowChanged_ = true;
    inputMoving_ = 0;
    idleCountdown_ = blockLength;
    sentMoving_ = -1;
    clearBuffer();
    chooseRoutine();
}

void QX_DSP_PitchShifter::reset() {
    clearBuffer();
    phase_ = rest_;
}

void QX_DSP_PitchShifter::clearBuffer() {
    if (buffer_) {
        std::fill_n(buffer_.get(), length_ + kGuard, 0.0f);
    }
}

void QX_DSP_PitchShifter::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    if (pin == kPinInput) {
        input_ = signal;
    } else if (pin == kPinPitch) {
        pitchIn_ = signal;
    }
}

void QX_DSP_PitchShifter::handleEvent(const Event& event, int) {
    idleCountdown_ = blockLength;
    switch (event.pin) {
        case kPinInput:
            inputMoving_ = event.kind != kEventStill ? 1 : 0;
            break;
        case kPinBaseDelay:
            baseDelayValue_ = event.fvalue;
            windowChanged_ = true;
            break;
        case kPinPitch:
            pitchMoving_ = event.kind != kEventStill ? 1 : 0;
            pitchChanged_ = true;
            break;
        case kPinFeedback:
            feedback_ = std::isfinite(event.fvalue) ? event.fvalue : 0.0f;
            break;
        case kPinWindow:
            windowFactor_ = event.fvalue;
            windowChanged_ = true;
            break;
        case kPinMode:
            mode_ = event.ivalue;
            rest_ = restsAtHalfWindow(mode_) ? kHalfWindow : 0;
            break;
        case kPinScale:
            scaleMode_ = event.ivalue;
            pitchChanged_ = true;
            break;
        case kPinEnable:
        case kPinBypass: {
            int& flag = event.pin == kPinEnable ? enable_ : bypass_;
            const int now = event.ivalue != 0 ? 1 : 0;
            // The memory stays allocated while off. A switch, and any on value even when already on,
            // starts the heads again from rest: the echo's mode arrives before its first "on", and
            // its repeats are timed for heads at the middle of the window.
            if (now != flag || now != 0) {
                clearBuffer();
                phase_ = rest_;
            }
            flag = now;
            break;
        }
        case kPinReset:
            if (event.ivalue != 0) {
                clearBuffer();
                phase_ = rest_;
            }
            break;
        case kPinSpare:
            spare_ = event.fvalue;
            break;
        default:
            break;
    }
    chooseRoutine();
}

void QX_DSP_PitchShifter::chooseRoutine() {
    if (enable_ == 0 || !buffer_) {
        setShifterRoutine(&QX_DSP_PitchShifter::renderSilence);
        return;
    }
    if (bypass_ != 0 || mode_ < 1 || mode_ > 5) {
        setShifterRoutine(&QX_DSP_PitchShifter::renderPassThrough);
        return;
    }
    const bool melt = mode_ == 1 || mode_ == 3;
    setShifterRoutine(melt ? &QX_DSP_PitchShifter::renderShift<Fade::Melt>
                           : &QX_DSP_PitchShifter::renderShift<Fade::Echo>);
}

void QX_DSP_PitchShifter::setShifterRoutine(Routine routine) { useRender(routine); }

void QX_DSP_PitchShifter::announce(int moving) {
    if (sentMoving_ != moving) {
        sentMoving_ = moving;
        sendEvent(localTime, 0, moving, 0, 0.0f, nullptr);
    }
}

void QX_DSP_PitchShifter::countDownToIdle(int count) {
    idleCountdown_ -= count;
    if (idleCountdown_ <= 0) {
        setShifterRoutine(&QX_DSP_PitchShifter::renderIdle);
        setIdle();
    }
}

// Ratio and window are taken at the chunk's first sample while the pitch moves, and at the
// sample of any event that changes them, so splitting a chunk never changes the result.
void QX_DSP_PitchShifter::updateIncrement(int pos) {
    const bool chunkStart = localTime == host->sampleClock;
    pitchChanged_ = pitchChanged_ || (pitchMoving_ != 0 && chunkStart);
    if (!pitchChanged_ && !windowChanged_) {
        return;
    }
    if (windowChanged_) {
        const double rate = host->sampleRateInt;
        const int longest = length_ / 4;  // base delay plus two windows stay inside the buffer
        const double window = std::trunc(rate * kWindowSeconds * static_cast<double>(windowFactor_));
        window_ = std::isfinite(window) ? static_cast<int>(std::clamp(window, 1.0, double(longest))) : 1;
        const double base = std::trunc(std::trunc(static_cast<double>(baseDelayValue_)) * rate * kBaseDelaySeconds);
        baseDelay_ = std::isfinite(base) ? static_cast<int>(std::clamp(base, 0.0, double(longest))) : 0;
        windowChanged_ = false;
    }
    if (pitchChanged_) {
        const double v = pitchIn_[pos];
        pitchZero_ = v == 0.0;
        double step = 0.0;
        if (scaleMode_ == 2) {
            step = (v - kDirectCentre) * kDirectScale;
        } else {
            step = std::exp2(v * (scaleMode_ == 0 ? kMeltScale : kEchoScale)) - 1.0;
        }
        ratioStep_ = std::isfinite(step) ? std::clamp(step, -kMaxRatioStep, kMaxRatioStep) : 0.0;
        pitchChanged_ = false;
    }
    const double increment = std::nearbyint(ratioStep_ / window_ * -kPhaseSpan);
    increment_ = static_cast<std::uint32_t>(static_cast<std::int64_t>(increment));
}

template <QX_DSP_PitchShifter::Fade F, bool Glide>
void QX_DSP_PitchShifter::shiftLoop(const float* in, float* out, int count) {
    float* const buf = buffer_.get();
    const int length = length_;
    const int mask = mask_;
    const int window = window_;
    const int base = baseDelay_;
    const float windowF = static_cast<float>(window);
    const float feedback = feedback_;
    const std::uint32_t increment = increment_;
    const std::uint32_t rest = rest_;
    std::uint32_t phase = phase_;
    int w = write_;
    for (int n = 0; n < count; ++n) {
        if (--w < 0) {
            w = length - 1;
            buf[length] = buf[0];
        }
        buf[w] = sample_guard::bounded(in[n]);
        const float p = static_cast<float>(static_cast<double>(phase >> 1) * kPhaseToUnit);
        const float x = windowF * p;
        const int i = static_cast<int>(x);
        const float f = x - static_cast<float>(i);
        const int q1 = (i + w + base) & mask;
        const int q2 = (q1 + window) & mask;
        const float tap1 = buf[q1] + (buf[q1 + 1] - buf[q1]) * f;
        const float tap2 = buf[q2] + (buf[q2 + 1] - buf[q2]) * f;
        float y;
        if constexpr (F == Fade::Melt) {
            const float g = std::min(kMeltFadeScale * power<9>(p), 1.0f);
            const float c = kMeltBump * g * (1.0f - g);
            y = ((1.0f - g) + c) * tap2 + (g + c) * tap1;
        } else {
            const float h = power<kEchoFadePower>(1.0f - p);
            y = (1.0f - h) * tap1 + h * tap2;
        }
        y = sample_guard::bounded(y);
        out[n] = y;
        buf[w] = sample_guard::bounded(buf[w] + feedback * y);
        if constexpr (Glide) {
            const auto toRest = static_cast<std::int32_t>(rest - phase);
            if (toRest > static_cast<std::int32_t>(kGlideStep) || toRest < -static_cast<std::int32_t>(kGlideStep)) {
                phase += toRest > 0 ? kGlideStep : -kGlideStep;
            } else {
                phase = rest;
            }
        } else {
            phase += increment;
        }
    }
    phase_ = phase;
    write_ = w;
}

template <QX_DSP_PitchShifter::Fade F>
void QX_DSP_PitchShifter::renderShift(int pos, int count) {
    announce(1);
    updateIncrement(pos);
    // A pitch of exactly 0 lets the heads glide home instead of sweeping.
    if (pitchZero_) {
        shiftLoop<F, true>(input_ + pos, outputs[0] + pos, count);
    } else {
        shiftLoop<F, false>(input_ + pos, outputs[0] + pos, count);
    }
}

template void QX_DSP_PitchShifter::renderShift<QX_DSP_PitchShifter::Fade::Melt>(int, int);
template void QX_DSP_PitchShifter::renderShift<QX_DSP_PitchShifter::Fade::Echo>(int, int);

void QX_DSP_PitchShifter::renderPassThrough(int pos, int count) {
    std::transform(input_ + pos, input_ + pos + count, outputs[0] + pos, sample_guard::bounded);
    announce(inputMoving_);
    if (inputMoving_ == 0) {
        countDownToIdle(count);
    }
}

void QX_DSP_PitchShifter::renderSilence(int pos, int count) {
    std::fill_n(outputs[0] + pos, count, 0.0f);
    announce(0);
    countDownToIdle(count);
}

void QX_DSP_PitchShifter::renderIdle(int, int) { setIdle(); }
