// The stand-in plug-in's entry point under the old name main only, for hosts' fallback lookup.
#include "FakePlugin.h"

extern "C" __attribute__((visibility("default"))) vst::AEffect* legacyEntry(
    vst::HostCallback host) __asm__("main");

vst::AEffect* legacyEntry(vst::HostCallback host) {
    return createFakePlugin(host);
}
