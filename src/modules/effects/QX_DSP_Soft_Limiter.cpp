#include "modules/effects/QX_DSP_Soft_Limiter.h"

#include <cmath>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/sources/SampleGuard.h"

namespace {

constexpr float kMovingStill = 1.0f;     // the still value kept while a pin moves
constexpr float kKneePerDepth = 0.1f;   // knee ceiling k = h^2 x 0.1

// a below the threshold; above it the excess is squashed towards k.
inline float knee(float a, float threshold, float ceiling) {
    const float over = a - threshold;
    return a <= threshold ? a : threshold + ceiling * over / (over + 1.0f);
}

inline float limited(float x, float threshold, float ceiling) {
    const float y = knee(std::fabs(x), threshold, ceiling);
    return x < 0.0f ? -y : y;
}

inline float makeupFor(float gain, float slope, float base) { return 1.0f / (std::sqrt(gain) * slope + base); }

}  // namespace

QX_DSP_Soft_Limiter::QX_DSP_Soft_Limiter(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep),
      input_(engine->silence),
      threshold_(engine->silence),
      gain_(engine->silence),
      knee_(engine->silence),
      scale_(engine->silence) {
    makeOutput(kOutput);
    prepare();
}

// Compensation comes from the wiring, which is done before prepare, so it stays.
void QX_DSP_Soft_Limiter::prepare() {
    mode_ = kModeLimit;
    base_ = 0.75f;
    slope_ = 1.0f - base_;
    stillInput_ = 1.0f;
    stillThreshold_ = 1.0f;
    stillGain_ = 1.0f;
    stillScale_ = 1.0f;
    std::memset(kinds_, 0, sizeof(kinds_));
    anyMoving_ = 0;
    outputMoving_ = 0;
    sentMoving_ = -1;
    idleCountdown_ = blockLength;
    updateMakeup();
    setLimiterRoutine(&QX_DSP_Soft_Limiter::renderIdle);
}

void QX_DSP_Soft_Limiter::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    switch (pin) {
        case kPinInput:
            input_ = signal;
            break;
        case kPinThreshold:
            threshold_ = signal;
            break;
        case kPinGain:
            gain_ = signal;
            break;
        case kPinKnee:
            knee_ = signal;
            break;
        case kPinScale:
            scale_ = signal;
            break;
        case kPinCompensation:
            compensated_ = source != nullptr;
            updateMakeup();
            break;
        default:
            break;
    }
}

// Without compensation the makeup is not used; with it, it follows the still gain.
void QX_DSP_Soft_Limiter::updateMakeup() { makeup_ = makeupFor(stillGain_, slope_, base_); }

void QX_DSP_Soft_Limiter::handleEvent(const Event& event, int pos) {
    idleCountdown_ = blockLength;
    const int moving = event.kind != kEventStill ? 1 : 0;
    switch (event.pin) {
        case kPinInput:
        case kPinThreshold:
        case kPinGain:
        case kPinScale: {
            kinds_[event.pin] = moving;
            const float* signals[] = {input_, threshold_, gain_, nullptr, scale_};
            float* stills[] = {&stillInput_, &stillThreshold_, &stillGain_, nullptr, &stillScale_};
            *stills[event.pin] = moving != 0 ? kMovingStill : signals[event.pin][pos];
            if (event.pin == kPinGain && moving == 0 && compensated_) {
                updateMakeup();
            }
            break;
        }
        case kPinKnee:
            kinds_[kPinKnee] = moving;
            return;
        case kPinCompensationBase:
            base_ = event.fvalue;
            slope_ = 1.0f - event.fvalue;
            updateMakeup();
            return;
        case kPinMode:
            if (event.ivalue >= kModeSilence && event.ivalue <= kModeLimit) {
                mode_ = event.ivalue;
            }
            break;
        default:
            break;
    }
    anyMoving_ = kinds_[kPinThreshold] + kinds_[kPinGain] + kinds_[kPinKnee] + kinds_[kPinScale];
    chooseRoutine();
}

void QX_DSP_Soft_Limiter::chooseRoutine() {
    if (mode_ != kModeLimit) {
        if (kinds_[kPinInput] == 0) {
            sentMoving_ = -1;
        }
        setLimiterRoutine(mode_ == kModeSilence ? &QX_DSP_Soft_Limiter::renderSilence
                                                : &QX_DSP_Soft_Limiter::renderPassThrough);
        return;
    }
    if (stillInput_ * stillGain_ * stillScale_ == 0.0f) {
        setLimiterRoutine(&QX_DSP_Soft_Limiter::renderSilence);
        return;
    }
    outputMoving_ = kinds_[kPinInput] | kinds_[kPinThreshold] | kinds_[kPinGain] | kinds_[kPinScale];
    if (outputMoving_ == 0) {
        sentMoving_ = -1;
    }
    const bool moving = anyMoving_ != 0;
    if (!compensated_) {
        setLimiterRoutine(moving ? &QX_DSP_Soft_Limiter::renderLimit<true> : &QX_DSP_Soft_Limiter::renderLimit<false>);
    } else if (kinds_[kPinThreshold] == 0 && kinds_[kPinGain] == 0 && stillGain_ == 1.0f) {
        setLimiterRoutine(&QX_DSP_Soft_Limiter::renderPassThrough);
    } else {
        setLimiterRoutine(moving ? &QX_DSP_Soft_Limiter::renderCompensatedLimit<true>
                                 : &QX_DSP_Soft_Limiter::renderCompensatedLimit<false>);
    }
}

void QX_DSP_Soft_Limiter::setLimiterRoutine(Routine routine) { useRender(routine); }

void QX_DSP_Soft_Limiter::announce(int moving) {
    if (sentMoving_ != moving) {
        sentMoving_ = moving;
        sendEvent(localTime, kOutput, moving, 0, 0.0f, nullptr);
    }
}

void QX_DSP_Soft_Limiter::countDownToIdle(int count) {
    idleCountdown_ -= count;
    if (idleCountdown_ <= 0) {
        setLimiterRoutine(&QX_DSP_Soft_Limiter::renderIdle);
        setIdle();
    }
}

void QX_DSP_Soft_Limiter::renderPassThrough(int pos, int count) {
    std::memcpy(outputs[kOutput] + pos, input_ + pos, sizeof(float) * static_cast<std::size_t>(count));
    announce(kinds_[kPinInput]);
    if (kinds_[kPinInput] == 0) {
        countDownToIdle(count);
    }
}

// out = sign(x) knee(|x|) o^2 with x = in g.
template <bool Moving>
void QX_DSP_Soft_Limiter::renderLimit(int pos, int count) {
    const float h = knee_[pos];
    const float ceiling = h * h * kKneePerDepth;
    const float* in = input_ + pos;
    const float* gain = gain_ + pos;
    const float* threshold = threshold_ + pos;
    const float* scale = scale_ + pos;
    float* out = outputs[kOutput] + pos;
    for (int i = 0; i < count; ++i) {
        const float g = Moving ? gain[i] : stillGain_;
        const float t = Moving ? threshold[i] : stillThreshold_;
        const float o = Moving ? scale[i] : stillScale_;
        out[i] = sample_guard::bounded(limited(in[i] * g, t, ceiling) * o * o);
    }
    announce(outputMoving_);
    if (outputMoving_ == 0) {
        countDownToIdle(count);
    }
}

// out = sign(x) knee(|x|) / (sqrt(g) c + b) with x = in g.
template <bool Moving>
void QX_DSP_Soft_Limiter::renderCompensatedLimit(int pos, int count) {
    const float h = knee_[pos];
    const float ceiling = h * h * kKneePerDepth;
    const float* in = input_ + pos;
    const float* gain = gain_ + pos;
    const float* threshold = threshold_ + pos;
    float* out = outputs[kOutput] + pos;
    for (int i = 0; i < count; ++i) {
        const float g = Moving ? gain[i] : stillGain_;
        const float t = Moving ? threshold[i] : stillThreshold_;
        const float m = Moving ? makeupFor(g, slope_, base_) : makeup_;
        out[i] = sample_guard::bounded(limited(in[i] * g, t, ceiling) * m);
    }
    announce(outputMoving_);
    if (outputMoving_ == 0) {
        countDownToIdle(count);
    }
}

void QX_DSP_Soft_Limiter::renderSilence(int pos, int count) {
    std::memset(outputs[kOutput] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    announce(0);
    countDownToIdle(count);
}

void QX_DSP_Soft_Limiter::renderIdle(int, int) { setIdle(); }
