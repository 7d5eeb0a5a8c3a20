// The VST 1 half of the host-facing base layer: the AEffect record, the host callback, and the
// dispatcher answers for programs, parameters, rate, block size, chunks and the editor.
#pragma once

#include "vst/VstAbi.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(vst::HostCallback audioMaster, vst::int32 numPrograms, vst::int32 numParams);
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;
    virtual ~AudioEffect();

    vst::AEffect* getAeffect() { return &cEffect; }

    virtual vst::intptr dispatcher(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt);

    virtual void processReplacing(float** inputs, float** outputs, vst::int32 frames) = 0;
    virtual void setParameter(vst::int32 index, float value) = 0;
    virtual float getParameter(vst::int32 index) = 0;
    virtual void setParameterAutomated(vst::int32 index, float value);

    virtual void setProgram(vst::int32 program) { curProgram = program; }
    virtual vst::int32 getProgram() { return curProgram; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name) { *name = '\0'; }
    virtual void getParameterLabel(vst::int32, char* label) { *label = '\0'; }
    virtual void getParameterDisplay(vst::int32, char* text) { *text = '\0'; }
    virtual void getParameterName(vst::int32, char* text) { *text = '\0'; }
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(vst::int32 size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}
    virtual vst::int32 getChunk(void** data, bool isPreset);
    virtual vst::int32 setChunk(void* data, vst::int32 size, bool isPreset);

    float getSampleRate() const { return sampleRate; }
    vst::int32 getBlockSize() const { return blockSize; }
    AEffEditor* getEditor() const { return editor; }

protected:
    void setNumInputs(vst::int32 inputs) { cEffect.numInputs = inputs; }
    void setNumOutputs(vst::int32 outputs) { cEffect.numOutputs = outputs; }
    void setUniqueID(vst::int32 id) { cEffect.uniqueID = id; }
    void isSynth(bool state);
    void noTail(bool state);
    void canProcessReplacing(bool state);
    void programsAreChunks(bool state);
    void setEditor(AEffEditor* newEditor);
    void setFlag(vst::int32 flag, bool state);

    vst::AEffect cEffect;
    vst::HostCallback audioMaster;
    float sampleRate = 44100.0f;
    vst::int32 blockSize = 1024;
    vst::int32 numPrograms;
    vst::int32 numParams;
    vst::int32 curProgram = 0;
    AEffEditor* editor = nullptr;

private:
    static vst::intptr dispatchEffClass(vst::AEffect* e, vst::int32 opcode, vst::int32 index, vst::intptr value,
                                        void* ptr, float opt);
    static void processClass(vst::AEffect* e, float** inputs, float** outputs, vst::int32 frames);
    static void processReplacingClass(vst::AEffect* e, float** inputs, float** outputs, vst::int32 frames);
    static void processDoubleReplacingClass(vst::AEffect* e, double** inputs, double** outputs,
                                            vst::int32 frames);
    static void setParameterClass(vst::AEffect* e, vst::int32 index, float value);
    static float getParameterClass(vst::AEffect* e, vst::int32 index);
};
