#include "modules/effects/QX_DSP_Level_ABxC.h"

QX_DSP_Level_ABxC::QX_DSP_Level_ABxC(QX_EngineHost* owner, bool asleep) : QX_DSP_LevelStage(owner, asleep) {}
