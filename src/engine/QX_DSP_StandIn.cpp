#include "engine/QX_DSP_StandIn.h"

namespace {

// The core reads outputs 0 and 1 of the last module as the engine output.
constexpr int kAlwaysPresentOutputs = 2;

}  // namespace

QX_DSP_StandIn::QX_DSP_StandIn(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    for (int i = 0; i < kAlwaysPresentOutputs; ++i) {
        makeOutput(i);
    }
}

void QX_DSP_StandIn::onOutputConnected(int output) {
    if (outputs[output] == nullptr) {
        makeOutput(output);
    }
}
