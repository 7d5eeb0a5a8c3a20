// The host's stereo input inside the engine: two buffers the core copies the host input into.
// It never renders itself.
#pragma once

#include "engine/QX_ModuleBase.h"

class QX_DSP_Host_AudioIn : public QX_ModuleBase {
public:
    QX_DSP_Host_AudioIn(QX_EngineHost* host, bool asleep);
    ~QX_DSP_Host_AudioIn() override;
    void prepare() override;
};
