#include "modules/modulation/QX_DSP_Float_Converter.h"

#include <bit>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

QX_DSP_Float_Converter::QX_DSP_Float_Converter(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Float_Converter::renderAlt(int, int) {
    while (changed_ != 0) {
        const int k = std::countr_zero(changed_);
        changed_ &= changed_ - 1;
        const Channel& channel = channels_[k];
        const float y = channel.gain * channel.value + channel.offset;
        sendEvent(localTime, k, kEventStill, truncatedInt(y), y, nullptr);
    }
    setRenderRoutine(&QX_ModuleBase::render);
    setIdle();
}

// A gain or offset change waits for the channel's next value.
void QX_DSP_Float_Converter::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    if (!std::isfinite(event.fvalue)) {
        return;
    }
    if (pin < kChannels) {
        channels_[pin].value = event.fvalue;
        changed_ |= std::uint32_t{1} << pin;
        setRenderRoutine(&QX_ModuleBase::renderAlt);
        return;
    }
    const int k = (pin - kFirstGainPin) / 2;
    if (pin < kFirstGainPin || k >= kChannels) {
        return;
    }
    if ((pin - kFirstGainPin) % 2 == 0) {
        channels_[k].gain = event.fvalue * kTableUnits;
    } else {
        channels_[k].offset = event.fvalue * kTableUnits;
    }
}
