#include "host/PluginFactory.h"

#include <new>

#include "host/QX_DSP_VST.h"

vst::AEffect* createVelkorEffect(vst::HostCallback hostCallback) {
    if (hostCallback == nullptr || hostCallback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    auto* effect = new (std::nothrow) QX_DSP_VST(hostCallback);
    return effect != nullptr ? effect->getAeffect() : nullptr;
}
