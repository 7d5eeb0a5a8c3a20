#include "modules/sources/QX_DSP_Noise.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"

namespace {

constexpr std::uint32_t kStartX = 0xFCDAB89Eu;
constexpr std::uint32_t kStartY = 1697777473u;
constexpr float kDrawScale = 1.0f / 4294967296.0f;  // a signed 32-bit word to [-0.5, 0.5): 2^-32
constexpr double kToneSecondsPerUnit = 0.000022675737;  // one sample at 44.1 kHz
constexpr double kLongestHold = 16777216.0;              // samples; beyond this the value is hostile

// A filter coefficient kept where both filters stay stable; NaN leaves the filter open.
float coefficient(float value) { return value > 0.0f ? std::min(value, 1.0f) : 0.0f; }

}  // namespace

QX_DSP_Noise::QX_DSP_Noise(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep), x_(kStartX), y_(kStartY) {
    makeOutput(kOutput);
}

void QX_DSP_Noise::prepare() {
    x_ = kStartX;
    y_ = kStartY;
    lpCoef_ = 0.0f;
    hpCoef_ = 0.0f;
    lp_ = 0.0f;
    hp_ = 0.0f;
    holdPeriod_ = 1;
    holdCounter_ = 0;
    held_ = 0.0f;
    on_ = true;
    movingSent_ = -1;
    chooseRender();
}

void QX_DSP_Noise::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinLowpass:
            lpCoef_ = coefficient(event.fvalue);
            break;
        case kPinHighpass:
            hpCoef_ = coefficient(event.fvalue);
            break;
        case kPinTone: {
            const double samples = host->sampleRateInt * kToneSecondsPerUnit * static_cast<double>(event.fvalue);
            holdPeriod_ = samples > 0.0 ? static_cast<std::int32_t>(std::min(samples, kLongestHold)) : 0;
            break;
        }
        case kPinOnOff:
            on_ = event.fvalue != 0.0f;
            if (!on_) {
                idleCountdown_ = blockLength;
                useRender(&QX_DSP_Noise::renderSilence);
            }
            break;
        default:
            break;
    }
    if (on_) {
        chooseRender();
    }
}

void QX_DSP_Noise::chooseRender() {
    const bool filtered = lpCoef_ + hpCoef_ != 0.0f;
    const bool hold = holdPeriod_ > 1;
    if (filtered) {
        useRender(hold ? &QX_DSP_Noise::renderNoise<true, true> : &QX_DSP_Noise::renderNoise<true, false>);
    } else {
        useRender(hold ? &QX_DSP_Noise::renderNoise<false, true> : &QX_DSP_Noise::renderNoise<false, false>);
    }
}

template <bool Filtered, bool Hold>
void QX_DSP_Noise::renderNoise(int pos, int count) {
    if (movingSent_ != kEventMoving) {
        movingSent_ = kEventMoving;
        sendEvent(localTime, kOutput, kEventMoving, 0, 0.0f, nullptr);
    }
    float* out = outputs[kOutput];
    std::uint32_t x = x_;
    std::uint32_t y = y_;
    float lp = lp_;
    float hp = hp_;
    const float lpCoef = lpCoef_;
    // The highpass's smoother written as the lowpass is, so that at 1 it follows lp exactly and
    // the output is exactly 0.
    const float hpKeep = 1.0f - hpCoef_;
    std::int32_t counter = holdCounter_;
    const std::int32_t period = holdPeriod_;
    float held = held_;
    const auto draw = [&x, &y] {
        // The filtered path has a generator step of its own.
        y ^= Filtered ? x : x << 8;
        x += y;
        return static_cast<float>(static_cast<std::int32_t>(x)) * kDrawScale;
    };
    for (int i = pos; i < pos + count; ++i) {
        float r;
        if constexpr (Hold) {
            if (++counter >= period) {
                counter = 0;
                held = draw();
            }
            r = held;
        } else {
            r = draw();
        }
        if constexpr (Filtered) {
            lp = r - (r - lp) * lpCoef;
            hp = lp - (lp - hp) * hpKeep;
            out[i] = lp - hp;
        } else {
            out[i] = r;
        }
    }
    x_ = x;
    y_ = y;
    lp_ = lp;
    hp_ = hp;
    holdCounter_ = counter;
    held_ = held;
}

void QX_DSP_Noise::renderSilence(int pos, int count) {
    if (movingSent_ != kEventStill) {
        movingSent_ = kEventStill;
        sendEvent(localTime, kOutput, kEventStill, 0, 0.0f, nullptr);
    }
    std::fill_n(outputs[kOutput] + pos, count, 0.0f);
    idleCountdown_ -= count;
    if (idleCountdown_ < 0) {
        setRenderRoutine(&QX_ModuleBase::render);
        setIdle();
    }
}
