#include "engine/QX_DSP_TemporaryPassThrough.h"

#include <algorithm>

#include "engine/QX_EngineHost.h"

QX_DSP_TemporaryPassThrough::QX_DSP_TemporaryPassThrough(QX_EngineHost* owner, bool asleep)
    : QX_DSP_StandIn(owner, asleep) {}

void QX_DSP_TemporaryPassThrough::prepare() {
    sendEvent(host->sampleClock, 0, kEventMoving, 1, 1.0f, nullptr);
}

void QX_DSP_TemporaryPassThrough::render(int pos, int count) {
    // Only a module's output is a buffer; a parameter or constant on pin 0 is a single float.
    if (inputSources[0] == nullptr || inputs[0] == nullptr) {
        std::fill(outputs[0] + pos, outputs[0] + pos + count, 0.0f);
        return;
    }
    std::copy(inputs[0] + pos, inputs[0] + pos + count, outputs[0] + pos);
}
