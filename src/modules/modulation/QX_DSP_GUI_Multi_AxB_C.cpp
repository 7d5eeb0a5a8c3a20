#include "modules/modulation/QX_DSP_GUI_Multi_AxB_C.h"

QX_DSP_GUI_Multi_AxB_C::QX_DSP_GUI_Multi_AxB_C(QX_EngineHost* owner, bool asleep)
    : QX_DSP_GUI_Multi_Base(owner, asleep, {.a = 0.0f, .b = 1.0f, .c = 0.0f}) {}

float QX_DSP_GUI_Multi_AxB_C::combine(const Channel& channel) const { return channel.a * channel.b + channel.c; }
