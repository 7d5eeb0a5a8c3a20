#include "modules/effects/QX_DSP_Level_AxB_CD.h"

QX_DSP_Level_AxB_CD::QX_DSP_Level_AxB_CD(QX_EngineHost* owner, bool asleep) : QX_DSP_LevelStage(owner, asleep) {}
