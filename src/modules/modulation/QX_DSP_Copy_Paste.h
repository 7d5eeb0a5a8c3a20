// Copy and paste of a group of parameters (or of the whole program), and randomising of the
// group, driven by buttons bound to its pins. It makes no signal.
#pragma once

#include <cstdint>

#include "engine/QX_EngineHost.h"
#include "engine/QX_ModuleBase.h"

class QX_DSP_Copy_Paste : public QX_ModuleBase {
public:
    static constexpr int kPinCopy = 0;
    static constexpr int kPinPaste = 1;
    static constexpr int kPinWholeProgram = 2;
    static constexpr int kPinRandomise = 3;
    static constexpr int kPinRandomMode = 5;
    // Live value of registered parameter j on pin kFirstValuePin + j (the wiring leaves 6..8 free).
    static constexpr int kFirstValuePin = 9;
    static constexpr int kValueCount = kModulePins - kFirstValuePin;

    // Randomise modes: shaped groups, and on/off steps.
    static constexpr int kModeShaped = 2;
    static constexpr int kModeOnOff = 3;

    QX_DSP_Copy_Paste(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;
    void registerParameter(int position, int index, int flag) override;

private:
    void copy();
    void paste();
    void randomise();
    float shaped(int position, float r) const;

    int registered_ = 0;  // registered positions 0..registered_-1
    float kept_[kParameterSlots] = {};
    bool keptValid_[kParameterSlots] = {};
    bool keptFull_ = false;
    float program_[kHostParameterCount] = {};
    bool programFull_ = false;
    std::int32_t wholeProgram_ = 0;
    std::int32_t randomMode_ = 0;
    float trigger_ = 0.0f;
};
