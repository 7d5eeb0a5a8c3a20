// Stands in for a voice allocator class that is not built yet, so the voice group still finds
// one: it keeps the group figures and silent outputs for its readers.
#pragma once

#include "engine/QX_VoiceAllocatorBase.h"

class QX_DSP_StandInAllocator : public QX_VoiceAllocatorBase {
public:
    QX_DSP_StandInAllocator(QX_EngineHost* host, bool asleep);
    void onOutputConnected(int output) override;
};
