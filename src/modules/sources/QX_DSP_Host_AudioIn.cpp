#include "modules/sources/QX_DSP_Host_AudioIn.h"

#include "engine/QX_EngineHost.h"

QX_DSP_Host_AudioIn::QX_DSP_Host_AudioIn(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    host->hostInputs[0] = makeOutput(0);
    host->hostInputs[1] = makeOutput(1);
}

QX_DSP_Host_AudioIn::~QX_DSP_Host_AudioIn() {
    if (host->hostInputs[0] == outputs[0]) {
        host->hostInputs[0] = nullptr;
        host->hostInputs[1] = nullptr;
    }
}

void QX_DSP_Host_AudioIn::prepare() {
    // Readers must treat the host input as changing every sample.
    setIdle();
    sendEvent(host->sampleClock, 0, kEventMoving, 0, 0.0f, nullptr);
    sendEvent(host->sampleClock, 1, kEventMoving, 0, 0.0f, nullptr);
}
