// What a benchmark needs to drive the plug-in through its VST interface: a host that answers
// only the version query, and parameters found by name.
#pragma once

#include <string>

#include "vst/VstAbi.h"

namespace bench {

inline vst::intptr minimalHostCallback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// -1 when the plug-in has no parameter of that name.
inline int parameterIndex(vst::AEffect* effect, const char* name) {
    for (int i = 0; i < effect->numParams; ++i) {
        char text[64] = {};
        effect->dispatcher(effect, vst::effGetParamName, i, 0, text, 0.0f);
        if (std::string(text) == name) {
            return i;
        }
    }
    return -1;
}

}  // namespace bench
