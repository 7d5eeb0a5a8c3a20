// Base of the plug-in's editor as the host adapter sees it: the window calls the dispatcher
// forwards (rectangle, open, close, idle, keys, knob mode).
#pragma once

#include "vst/VstAbi.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;
    virtual ~AEffEditor() = default;

    virtual bool getRect(vst::ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(int character, int virtualKey, int modifiers);
    virtual bool onKeyUp(int character, int virtualKey, int modifiers);
    virtual bool setKnobMode(int mode);
    virtual bool isOpen() const { return systemWindow != nullptr; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};

inline bool AEffEditor::onKeyDown(int, int, int) { return false; }
inline bool AEffEditor::onKeyUp(int, int, int) { return false; }
inline bool AEffEditor::setKnobMode(int) { return false; }
