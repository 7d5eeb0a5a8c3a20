#include "modules/modulation/QX_DSP_Float_to_Volt.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "engine/RateTables.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

namespace {

constexpr float kReversedSpan = 9.0f;  // mode 1 maps x = 1 to 1 and x = 10 to 0
// Modes 2 and 3 scale the rate in Hz to the engine's units.
constexpr float kRateScale = 0.0001f;
constexpr float kHzScale = 0.1f;  // Hz / 10
constexpr float kPitchShift = 3.0f;  // the table starts 3 units (30 octaves) below pitch 0

// Cycles per sample for pitch x: the octave and fine step from the integer part of the table
// position, linear interpolation by its fraction. Positions outside the table read its ends.
float exponentialIncrement(const RateTables& rates, float x) {
    constexpr float kLastPosition = RateTables::kOctaveCount * RateTables::kFineSteps - 1;
    const float position = std::clamp((x + kPitchShift) * rates.expStepsPerUnit, 0.0f, kLastPosition);
    const int whole = static_cast<int>(position);
    const float fraction = position - static_cast<float>(whole);
    const InterpolationPair& fine = rates.fineIncrement[whole % RateTables::kFineSteps];
    return rates.octaveScale[whole / RateTables::kFineSteps] * (fine.value + fine.difference * fraction);
}

}  // namespace

QX_DSP_Float_to_Volt::QX_DSP_Float_to_Volt(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    makeOutput(0);
}

float QX_DSP_Float_to_Volt::compute() const {
    const float sampleRate = static_cast<float>(host->sampleRateInt);
    switch (mode_) {
        case Mode::Linear: {
            const float r = gain_ * x_ + offset_;
            return square_ ? r * r : r;
        }
        case Mode::Reversed:
            return 1.0f - (x_ - 1.0f) / kReversedSpan;
        case Mode::Rate:
            return exponentialIncrement(host->rates, x_) * sampleRate * kRateScale;
        case Mode::Hz:
            return exponentialIncrement(host->rates, x_) * sampleRate * kHzScale;
    }
    return 0.0f;
}

// The result is sent at the sample of the event, then written into the buffer for one block.
void QX_DSP_Float_to_Volt::renderAlt(int pos, int count) {
    result_ = compute();
    sendEvent(localTime, 0, kEventStill, truncatedInt(result_), result_, nullptr);
    const bool on = result_ != 0.0f;
    if (onOffEnabled_ && on != on_) {
        on_ = on;
        sendEvent(localTime, kOutputOnOff, kEventStill, on ? 1 : 0, on ? 1.0f : 0.0f, nullptr);
    }
    holdLeft_ = blockLength;
    useRender(&QX_DSP_Float_to_Volt::renderHold);
    renderHold(pos, count);
}

void QX_DSP_Float_to_Volt::renderHold(int pos, int count) {
    std::fill_n(outputs[0] + pos, count, result_);
    holdLeft_ -= count;
    if (holdLeft_ <= 0) {
        // The whole ring holds the result now; the spare floats past it follow.
        std::fill_n(outputs[0] + blockLength, kModuleBufferSpare, result_);
        setRenderRoutine(&QX_ModuleBase::render);
        setIdle();
    }
}

void QX_DSP_Float_to_Volt::handleEvent(const Event& event, int) {
    const float f = event.fvalue;
    if (std::isfinite(f)) {
        switch (event.pin) {
            case kPinX:
                x_ = f;
                break;
            case kPinGain:
                gain_ = f * kTableUnits;
                break;
            case kPinOffset:
                offset_ = f * kTableUnits;
                break;
            default:
                break;
        }
    }
    setRenderRoutine(&QX_ModuleBase::renderAlt);
}

void QX_DSP_Float_to_Volt::onOutputConnected(int output) {
    if (output == kOutputOnOff) {
        onOffEnabled_ = true;
    }
}

void QX_DSP_Float_to_Volt::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    switch (pin) {
        case kPinReversedMode:
            mode_ = Mode::Reversed;
            break;
        case kPinRateMode:
            mode_ = Mode::Rate;
            break;
        case kPinHzMode:
            mode_ = Mode::Hz;
            break;
        case kPinSquare:
            square_ = true;
            break;
        default:
            break;
    }
}
