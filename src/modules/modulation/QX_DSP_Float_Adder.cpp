#include "modules/modulation/QX_DSP_Float_Adder.h"

#include <bit>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

namespace {

constexpr float kOnThreshold = 0.5f;

}  // namespace

QX_DSP_Float_Adder::QX_DSP_Float_Adder(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

// Output 0: the sum as the float, the number of inputs that are on as the integer.
void QX_DSP_Float_Adder::renderAlt(int, int) {
    float result = 0.0f;
    int count = 0;
    if (enable_ != 0) {
        float sum = 0.0f;
        for (const float value : values_) {
            sum += value;
        }
        result = gain_ * sum + offset_;
        count = std::popcount(onFlags_);
    }
    sendEvent(localTime, 0, kEventStill, count, result, nullptr);
    setRenderRoutine(&QX_ModuleBase::render);
    setIdle();
}

void QX_DSP_Float_Adder::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    const bool finite = std::isfinite(event.fvalue);
    if (pin < kValuePins && finite) {
        values_[pin] = event.fvalue;
        const std::uint32_t bit = std::uint32_t{1} << pin;
        onFlags_ = event.fvalue >= kOnThreshold ? onFlags_ | bit : onFlags_ & ~bit;
    } else if (pin == kPinGain && finite) {
        gain_ = event.fvalue * kTableUnits;
    } else if (pin == kPinOffset && finite) {
        offset_ = event.fvalue * kTableUnits;
    } else if (pin == kPinEnable) {
        enable_ = event.ivalue;
    }
    setRenderRoutine(&QX_ModuleBase::renderAlt);
}
