// Keeps the wiring valid for module classes that are not built yet: every output a reader is
// wired to exists and holds silence; events are taken and ignored.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_StandIn : public QX_ModuleBase {
public:
    QX_DSP_StandIn(QX_EngineHost* host, bool asleep);
    void onOutputConnected(int output) override;
};
