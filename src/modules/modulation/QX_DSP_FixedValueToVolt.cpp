#include "modules/modulation/QX_DSP_FixedValueToVolt.h"

#include <algorithm>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

QX_DSP_FixedValueToVolt::QX_DSP_FixedValueToVolt(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {}

void QX_DSP_FixedValueToVolt::prepare() {
    sendConstants(*this, host->sampleClock, kModulePins);
    setIdle();
}

void QX_DSP_FixedValueToVolt::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    if (source == nullptr) {
        return;
    }
    // Readers may already hold this buffer when a pin is wired twice, so it is made only once.
    float* buffer = outputs[pin] != nullptr ? outputs[pin] : makeOutput(pin);
    std::fill_n(buffer, blockLength + kModuleBufferSpare, *source * kValuePerTableUnit);
}
