#include "host/PluginFactory.h"

#include <new>

#include "engine/SharedSynthTables.h"
#include "host/QX_DSP_VST.h"
#include "platform/Platform.h"

vst::AEffect* createVelkorEffect(vst::HostCallback hostCallback) {
    if (hostCallback == nullptr || hostCallback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    // Installed once, before the first instance builds the tables.
    static const bool allocatorInstalled = [] {
        SharedSynthTables::useStorageAllocator({platform::allocateLargeBlock, platform::freeLargeBlock});
        return true;
    }();
    (void)allocatorInstalled;
    auto* effect = new (std::nothrow) QX_DSP_VST(hostCallback);
    return effect != nullptr ? effect->getAeffect() : nullptr;
}
