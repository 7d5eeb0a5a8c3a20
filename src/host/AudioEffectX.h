// The VST 2 half of the host-facing base layer: events, identity strings, pins, speakers,
// capabilities and the host's time information.
#pragma once

#include "host/AudioEffect.h"

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt) override;

    virtual vst::int32 processEvents(vst::VstEvents* events) = 0;
    virtual bool canParameterBeAutomated(vst::int32 index) = 0;
    virtual bool getProgramNameIndexed(vst::int32 category, vst::int32 index, char* text) = 0;
    virtual bool getInputProperties(vst::int32 index, vst::VstPinProperties* properties) = 0;
    virtual bool getOutputProperties(vst::int32 index, vst::VstPinProperties* properties) = 0;
    virtual bool getEffectName(char* name) = 0;
    virtual bool getVendorString(char* text) = 0;
    virtual bool getProductString(char* text) = 0;
    virtual vst::int32 getVendorVersion() = 0;
    virtual vst::int32 canDo(const char* text) = 0;
    virtual vst::int32 getPlugCategory() = 0;
    virtual vst::int32 getNumMidiInputChannels() = 0;
    virtual vst::int32 getNumMidiOutputChannels() = 0;
    virtual bool getSpeakerArrangement(vst::VstSpeakerArrangement** input, vst::VstSpeakerArrangement** output) = 0;
    // Calls a host makes only to this plug-in; 0 for the ones it does not know.
    virtual vst::intptr vendorSpecific(vst::int32, vst::intptr, void*, float) { return 0; }

    // Calls to the host; each does nothing without a host callback.
    void wantEvents(vst::int32 filter);
    vst::VstTimeInfo* getTimeInfo(vst::int32 filter);
    bool updateDisplay();
};
