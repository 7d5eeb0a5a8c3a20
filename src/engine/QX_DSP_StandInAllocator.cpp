#include "engine/QX_DSP_StandInAllocator.h"

QX_DSP_StandInAllocator::QX_DSP_StandInAllocator(QX_EngineHost* owner, bool asleep)
    : QX_VoiceAllocatorBase(owner, asleep) {}

void QX_DSP_StandInAllocator::onOutputConnected(int output) {
    if (outputs[output] == nullptr) {
        makeOutput(output);
    }
}
