// TEMPORARY: stands in for an effect of the output chain that is not built yet (EQ engines,
// pitch shifters) by passing input 0 to output 0 unchanged, so the instrument can be heard.
// The effects work replaces every registry row that uses it, and then this class goes.
#pragma once

#include "engine/QX_DSP_StandIn.h"

class QX_DSP_TemporaryPassThrough : public QX_DSP_StandIn {
public:
    QX_DSP_TemporaryPassThrough(QX_EngineHost* host, bool asleep);
    void prepare() override;
    void render(int pos, int count) override;
};
