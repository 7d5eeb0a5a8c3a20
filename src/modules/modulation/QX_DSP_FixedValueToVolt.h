// Netlist constants as control values: every wired pin gets a constant output buffer holding the
// value meant, and at start-up one event carrying it.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_FixedValueToVolt : public QX_ModuleBase {
public:
    QX_DSP_FixedValueToVolt(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void setInput(int pin, const float* source) override;
};
