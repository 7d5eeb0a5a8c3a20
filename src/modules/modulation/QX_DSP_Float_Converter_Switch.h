// Selects one of its stored input values by index, optionally quantises it (semitone steps when
// pin 5 is wired), and sends it scaled and offset on output 0.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Float_Converter_Switch : public QX_ModuleBase {
public:
    static constexpr int kPinSelect = 0;
    static constexpr int kPinGain = 1;
    static constexpr int kPinOffset = 2;
    static constexpr int kPinComputeMode = 3;
    static constexpr int kPinQuantum = 4;
    static constexpr int kPinSemitoneQuantum = 5;
    static constexpr int kPinOnlyOnChange = 6;
    static constexpr int kFirstValuePin = 9;
    static constexpr int kValues = kModulePins - kFirstValuePin;

    QX_DSP_Float_Converter_Switch(QX_EngineHost* host, bool asleep);

    void renderAlt(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;

private:
    bool storeValue(int index, float value);  // true when it should be sent

    std::int32_t selected_ = -1;  // below 0: nothing selected
    float gain_ = 1.0f;
    float offset_ = 0.0f;
    float quantum_ = 0.0f;  // 0: no quantising
    std::int32_t computeMode_ = 0;
    bool onlyOnChange_ = false;
    float values_[kValues] = {};
};
