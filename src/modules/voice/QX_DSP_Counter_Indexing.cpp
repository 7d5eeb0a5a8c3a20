#include "modules/voice/QX_DSP_Counter_Indexing.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"

namespace {

constexpr std::uint32_t kStartA = 0xCDEFAB89u;
constexpr std::uint32_t kStartB = 1161196033u;
// A restart reseeds from its value; single-precision factors, so 1.0 gives 3455036416, 1161196032.
constexpr float kReseedA = 3455036416.0f;
constexpr float kReseedB = 1161196032.0f;
constexpr double kTwoToMinus32 = 1.0 / 4294967296.0;
constexpr int kDisplaySlots = 2;  // "Seq A" and "Seq B"

std::uint32_t reseed(float f, float factor) {
    return static_cast<std::uint32_t>(static_cast<double>(f * factor));
}

}  // namespace

QX_DSP_Counter_Indexing::QX_DSP_Counter_Indexing(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Counter_Indexing::prepare() {
    current_ = -1;
    first_ = 0;
    lastStep_ = kMaxStep;
    range_ = static_cast<float>(kMaxStep);
    dir_ = 1;
    mode_ = kForward;
    prevMode_ = -1;
    on_ = true;
    randA_ = kStartA;
    randB_ = kStartB;
    setIdle();
}

void QX_DSP_Counter_Indexing::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinLength:
            lastStep_ = std::clamp(event.ivalue, first_, kMaxStep);
            if (current_ > lastStep_) {
                current_ = first_;
            }
            range_ = static_cast<float>(lastStep_ - first_);
            break;
        case kPinDirection:
            mode_ = std::clamp(event.ivalue, kForward, kRandom);
            if (mode_ != prevMode_) {
                applyStartPosition();
            }
            break;
        case kPinOnOff:
            if (event.ivalue == 0) {
                on_ = false;
                prevMode_ = -1;
                show(static_cast<float>(kNoStep) + kDisplayOffset);
            } else if (!on_) {
                on_ = true;
                applyStartPosition();
            }
            break;
        case kPinRestart:
            if (event.ivalue >= 1) {
                const float f = std::isfinite(event.fvalue) ? std::clamp(event.fvalue, 0.0f, 1.0f) : 0.0f;
                randA_ = reseed(f, kReseedA);
                randB_ = reseed(f, kReseedB);
                applyStartPosition();
            }
            break;
        case kPinClock:
            if (event.ivalue != 0 && on_) {
                step();
            }
            break;
        default:
            break;
    }
    setIdle();
}

void QX_DSP_Counter_Indexing::applyStartPosition() {
    prevMode_ = mode_;
    switch (mode_) {
        case kForward:
            current_ = first_;
            break;
        case kBack:
            current_ = lastStep_;
            break;
        case kForwardBack:
            dir_ = 1;
            current_ = first_;
            break;
        case kBackForward:
            dir_ = -1;
            current_ = lastStep_;
            break;
        default:
            break;
    }
}

void QX_DSP_Counter_Indexing::step() {
    switch (mode_) {
        case kForward:
            emit();
            current_ = current_ + 1 > lastStep_ ? first_ : current_ + 1;
            break;
        case kBack:
            emit();
            current_ = current_ - 1 < first_ ? lastStep_ : current_ - 1;
            break;
        case kForwardBack:
        case kBackForward:
            emit();
            current_ += dir_;
            if (current_ < first_) {
                current_ = first_ + 1;
                dir_ = -dir_;
            } else if (current_ > lastStep_) {
                current_ = lastStep_ - 1;
                dir_ = -dir_;
            }
            break;
        default:
            current_ = first_ + static_cast<int>(randomUnit() * range_ + 0.5);
            emit();
            break;
    }
}

void QX_DSP_Counter_Indexing::emit() {
    // A step before any direction arrived, or a one-step ping-pong, stays inside the range.
    current_ = std::clamp(current_, first_, lastStep_);
    sendEvent(localTime, kOutputStep, kEventStill, current_, static_cast<float>(current_), nullptr);
    show(static_cast<float>(current_) + kDisplayOffset);
}

void QX_DSP_Counter_Indexing::show(float value) {
    for (int slot = 0; slot < kDisplaySlots; ++slot) {
        if (parameterSlots[slot] != 0) {
            host->setParameterFromModule(parameterSlots[slot], value, false);
        }
    }
}

double QX_DSP_Counter_Indexing::randomUnit() {
    randB_ ^= randA_;
    randA_ += randB_;
    return static_cast<double>(randA_) * kTwoToMinus32;
}
