#include "host/AudioEffectX.h"

#include "host/AEffEditor.h"

using namespace vst;

namespace {

constexpr int32 kVstVersion = 2400;

}  // namespace

intptr AudioEffectX::dispatcher(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    switch (opcode) {
        case effProcessEvents:
            return ptr != nullptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        case effGetProgramNameIndexed:
            return ptr != nullptr && getProgramNameIndexed(static_cast<int32>(value), index, static_cast<char*>(ptr))
                       ? 1
                       : 0;
        case effGetInputProperties:
            return ptr != nullptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return ptr != nullptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory:
            return getPlugCategory();
        case effGetEffectName:
            return ptr != nullptr && getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorString:
            return ptr != nullptr && getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetProductString:
            return ptr != nullptr && getProductString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effVendorSpecific:
            return vendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return ptr != nullptr ? canDo(static_cast<const char*>(ptr)) : 0;
        case effGetVstVersion:
            return kVstVersion;
        case effEditKeyDown:
            return editor != nullptr && editor->onKeyDown(index, static_cast<int>(value), static_cast<int>(opt)) ? 1 : 0;
        case effEditKeyUp:
            return editor != nullptr && editor->onKeyUp(index, static_cast<int>(value), static_cast<int>(opt)) ? 1 : 0;
        case effSetEditKnobMode:
            return editor != nullptr && editor->setKnobMode(static_cast<int>(value)) ? 1 : 0;
        case effGetCurrentMidiProgram:
            return -1;
        case effGetSpeakerArrangement:
            return ptr != nullptr && value != 0 &&
                           getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                                 static_cast<VstSpeakerArrangement**>(ptr))
                       ? 1
                       : 0;
        case effSetTotalSampleToProcess:
            return value;
        case effGetNumMidiInputChannels:
            return getNumMidiInputChannels();
        case effGetNumMidiOutputChannels:
            return getNumMidiOutputChannels();
        default:
            return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::wantEvents(int32 filter) {
    if (audioMaster != nullptr) {
        audioMaster(&cEffect, audioMasterWantMidi, 0, filter, nullptr, 0.0f);
    }
}

VstTimeInfo* AudioEffectX::getTimeInfo(int32 filter) {
    if (audioMaster == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<VstTimeInfo*>(audioMaster(&cEffect, audioMasterGetTime, 0, filter, nullptr, 0.0f));
}

bool AudioEffectX::updateDisplay() {
    return audioMaster != nullptr && audioMaster(&cEffect, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f) != 0;
}
