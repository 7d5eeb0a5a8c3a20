#include "modules/modulation/QX_DSP_Float_Converter_Switch.h"

#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

namespace {

constexpr float kSemitone = 1.0f / 12.0f;  // of an octave of pitch 1.0

}  // namespace

QX_DSP_Float_Converter_Switch::QX_DSP_Float_Converter_Switch(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Float_Converter_Switch::renderAlt(int, int) {
    float y = offset_;
    if (computeMode_ != 0) {
        y = 0.0f;
        if (selected_ >= 0) {
            float v = selected_ < kValues ? values_[selected_] : 0.0f;
            if (quantum_ != 0.0f) {
                v = std::trunc(v / quantum_) * quantum_;
            }
            y = v * gain_ + offset_;
        }
    }
    sendEvent(localTime, 0, kEventStill, truncatedInt(y), y, nullptr);
    setRenderRoutine(&QX_ModuleBase::render);
    setIdle();
}

void QX_DSP_Float_Converter_Switch::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    const float f = event.fvalue;
    const bool finite = std::isfinite(f);
    switch (pin) {
        case kPinSelect:
            selected_ = event.ivalue;
            break;
        case kPinGain:
            gain_ = finite ? f * kTableUnits : gain_;
            break;
        case kPinOffset:
            offset_ = finite ? f * kTableUnits : offset_;
            break;
        case kPinComputeMode:
            computeMode_ = event.ivalue;
            break;
        case kPinQuantum:
            quantum_ = finite ? f : quantum_;
            break;
        case kPinSemitoneQuantum:
            quantum_ = kSemitone;
            break;
        case kPinOnlyOnChange:
            onlyOnChange_ = event.ivalue != 0;
            break;
        default: {
            // A value pin leads to a computation only for the selected input.
            const bool valuePin = pin >= kFirstValuePin;
            if (valuePin && (pin >= kModulePins || !finite || !storeValue(pin - kFirstValuePin, f))) {
                return;
            }
            break;
        }
    }
    setRenderRoutine(&QX_ModuleBase::renderAlt);
}

void QX_DSP_Float_Converter_Switch::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    if (pin == kPinSemitoneQuantum && source != nullptr) {
        quantum_ = kSemitone;
    }
}

bool QX_DSP_Float_Converter_Switch::storeValue(int index, float value) {
    const bool changed = values_[index] != value;
    values_[index] = value;
    return index == selected_ && (changed || !onlyOnChange_);
}
