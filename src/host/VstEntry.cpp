// The library's only export: the host calls it once per plug-in instance.
#include "host/PluginFactory.h"

#if defined(_WIN32)
#define VELKOR_EXPORT extern "C" __declspec(dllexport)
#else
#define VELKOR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VELKOR_EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback hostCallback) { return createVelkorEffect(hostCallback); }
