#include "modules/modulation/QX_DSP_GUI_Multi_ABxC.h"

QX_DSP_GUI_Multi_ABxC::QX_DSP_GUI_Multi_ABxC(QX_EngineHost* owner, bool asleep)
    : QX_DSP_GUI_Multi_Base(owner, asleep, {.a = 0.0f, .b = 0.0f, .c = 1.0f}) {}

float QX_DSP_GUI_Multi_ABxC::combine(const Channel& channel) const { return (channel.a + channel.b) * channel.c; }
