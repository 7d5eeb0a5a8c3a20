// The library's only export: the host calls it once per plug-in instance.
#include "host/PluginFactory.h"

VST_EXPORT vst::AEffect* VSTCALLBACK VSTPluginMain(vst::HostCallback hostCallback) {
    return createVelkorEffect(hostCallback);
}
