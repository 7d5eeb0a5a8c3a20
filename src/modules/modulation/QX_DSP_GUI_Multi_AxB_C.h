// Scales and offsets: y = A x B + C per channel, clamped to the limits.
#pragma once

#include "modules/modulation/QX_DSP_GUI_Multi_Base.h"

class QX_DSP_GUI_Multi_AxB_C : public QX_DSP_GUI_Multi_Base {
public:
    QX_DSP_GUI_Multi_AxB_C(QX_EngineHost* host, bool asleep);

protected:
    float combine(const Channel& channel) const override;
};
