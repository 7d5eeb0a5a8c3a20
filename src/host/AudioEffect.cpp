#include "host/AudioEffect.h"

#include <cstring>

#include "host/AEffEditor.h"

using namespace vst;

AudioEffect::AudioEffect(HostCallback master, int32 programs, int32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = programs;
    cEffect.numParams = params;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingClass;
    cEffect.processDoubleReplacing = processDoubleReplacingClass;
}

AudioEffect::~AudioEffect() { delete editor; }

intptr AudioEffect::dispatcher(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    switch (opcode) {
        case effSetProgram:
            if (value >= 0 && value < numPrograms) {
                setProgram(static_cast<int32>(value));
            }
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (ptr != nullptr) {
                setProgramName(static_cast<char*>(ptr));
            }
            return 0;
        case effGetProgramName:
            if (ptr != nullptr) {
                getProgramName(static_cast<char*>(ptr));
            }
            return 0;
        case effGetParamLabel:
            if (ptr != nullptr) {
                getParameterLabel(index, static_cast<char*>(ptr));
            }
            return 0;
        case effGetParamDisplay:
            if (ptr != nullptr) {
                getParameterDisplay(index, static_cast<char*>(ptr));
            }
            return 0;
        case effGetParamName:
            if (ptr != nullptr) {
                getParameterName(index, static_cast<char*>(ptr));
            }
            return 0;
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<int32>(value));
            return 0;
        case effMainsChanged:
            if (value != 0) {
                resume();
            } else {
                suspend();
            }
            return 0;
        case effEditGetRect:
            return editor != nullptr && ptr != nullptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
        case effEditOpen:
            return editor != nullptr ? editor->open(ptr) : 0;
        case effEditClose:
            if (editor != nullptr) {
                editor->close();
            }
            return 0;
        case effEditIdle:
            if (editor != nullptr) {
                editor->idle();
            }
            return 0;
        case effIdentify:
            return fourCC('N', 'v', 'E', 'f');
        case effGetChunk:
            return ptr != nullptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            return ptr != nullptr ? setChunk(ptr, static_cast<int32>(value), index != 0) : 0;
        default:
            return 0;
    }
}

void AudioEffect::setParameterAutomated(int32 index, float value) {
    setParameter(index, value);
    if (audioMaster != nullptr && index >= 0 && index < numParams) {
        audioMaster(&cEffect, audioMasterAutomate, index, 0, nullptr, value);
    }
}

int32 AudioEffect::getChunk(void**, bool) { return 0; }

int32 AudioEffect::setChunk(void*, int32, bool) { return 0; }

void AudioEffect::setFlag(int32 flag, bool state) {
    if (state) {
        cEffect.flags |= flag;
    } else {
        cEffect.flags &= ~flag;
    }
}

void AudioEffect::isSynth(bool state) { setFlag(effFlagsIsSynth, state); }

void AudioEffect::noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }

void AudioEffect::canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }

void AudioEffect::programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

intptr AudioEffect::dispatchEffClass(AEffect* e, int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    auto* effect = static_cast<AudioEffect*>(e->object);
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

// The old accumulating process is not offered; hosts of this age use processReplacing.
void AudioEffect::processClass(AEffect*, float**, float**, int32) {}

void AudioEffect::processReplacingClass(AEffect* e, float** inputs, float** outputs, int32 frames) {
    static_cast<AudioEffect*>(e->object)->processReplacing(inputs, outputs, frames);
}

void AudioEffect::processDoubleReplacingClass(AEffect*, double**, double**, int32) {}

void AudioEffect::setParameterClass(AEffect* e, int32 index, float value) {
    static_cast<AudioEffect*>(e->object)->setParameter(index, value);
}

float AudioEffect::getParameterClass(AEffect* e, int32 index) {
    return static_cast<AudioEffect*>(e->object)->getParameter(index);
}
