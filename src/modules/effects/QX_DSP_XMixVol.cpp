#include "modules/effects/QX_DSP_XMixVol.h"

QX_DSP_XMixVol::QX_DSP_XMixVol(QX_EngineHost* owner, bool asleep) : QX_DSP_XMix(owner, asleep) {}

void QX_DSP_XMixVol::onEvent(const Event& event, int pos) {
    if (event.pin == kPinVolume) {
        takeSignal(event, pos);
    } else {
        QX_DSP_XMix::onEvent(event, pos);
    }
}

QX_DSP_MixModuleBase::Signal QX_DSP_XMixVol::volume() const { return signal(kPinVolume); }
