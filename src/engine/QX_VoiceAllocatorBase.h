// What the graph builder, the voice mixer and the envelopes need of a voice allocator: the voice
// group's figures, and the calls that end a steal fade or free a silent voice.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_VoiceAllocatorBase : public QX_ModuleBase {
public:
    using QX_ModuleBase::QX_ModuleBase;

    // Told by the builder at the voice group's start marker.
    virtual void setVoiceGroup(int bodyStart, int copies, int bodyLength);
    virtual void voiceFinished(int voice, std::uint32_t time);
    virtual void voiceSilent(int voice);

    int groupStart() const { return groupStart_; }
    int groupCopies() const { return groupCopies_; }
    int groupBodyLength() const { return groupBodyLength_; }

private:
    int groupStart_ = 0;
    int groupCopies_ = 0;
    int groupBodyLength_ = 0;
};
