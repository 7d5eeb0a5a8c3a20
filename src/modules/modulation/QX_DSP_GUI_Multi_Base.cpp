#include "modules/modulation/QX_DSP_GUI_Multi_Base.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

QX_DSP_GUI_Multi_Base::QX_DSP_GUI_Multi_Base(QX_EngineHost* owner, bool asleep, Channel initial)
    : QX_ModuleBase(owner, asleep) {
    std::fill(std::begin(channels_), std::end(channels_), initial);
}

void QX_DSP_GUI_Multi_Base::renderAlt(int, int) {
    while (changed_ != 0) {
        const int k = std::countr_zero(changed_);
        changed_ &= changed_ - 1;
        float y = combine(channels_[k]);
        if (lowerLimit_ > y) {
            y = lowerLimit_;
        } else if (y > upperLimit_) {
            y = upperLimit_;
        }
        sendEvent(localTime, k, kEventStill, truncatedInt(y), y, nullptr);
    }
    setRenderRoutine(&QX_ModuleBase::render);
    setIdle();
}

// A limit change waits for the next channel change.
void QX_DSP_GUI_Multi_Base::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    const float f = event.fvalue;
    if (!std::isfinite(f)) {
        return;
    }
    if (pin == kPinLowerLimit) {
        lowerLimit_ = f;
        return;
    }
    if (pin == kPinUpperLimit) {
        upperLimit_ = f;
        return;
    }
    const int k = pin % kChannels;
    switch (pin / kChannels) {
        case 0:
            channels_[k].a = f;
            break;
        case 1:
            channels_[k].b = f;
            break;
        case 2:
            channels_[k].c = f;
            break;
        default:
            return;
    }
    changed_ |= std::uint32_t{1} << k;
    setRenderRoutine(&QX_ModuleBase::renderAlt);
}
