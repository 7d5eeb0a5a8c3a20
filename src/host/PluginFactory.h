// Makes one plug-in instance for a host, as the exported entry point does; tests call it too.
#pragma once

#include "vst/VstAbi.h"

// Null when the host does not answer its version (no usable host) or the instance cannot be made.
vst::AEffect* createVelkorEffect(vst::HostCallback hostCallback);
