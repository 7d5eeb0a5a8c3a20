#include "modules/effects/QX_DSP_Level_ABxCxD.h"

QX_DSP_Level_ABxCxD::QX_DSP_Level_ABxCxD(QX_EngineHost* owner, bool asleep) : QX_DSP_LevelStage(owner, asleep) {}
