// The stand-in plug-in's entry point under the name VST 2.4 hosts look up first.
#include "FakePlugin.h"

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(
    vst::HostCallback host) {
    return createFakePlugin(host);
}
