// What the graph builder, the voice mixer and the envelopes need of a voice allocator: the voice
// group's figures, the voices' state words, and the calls that end a steal fade or free a silent voice.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

// Flags of a voice's state word that the voice mixer acts on; the low 12 bits keep the note.
constexpr std::uint32_t kVoiceStealMarked = 0x04000000;  // to be stolen, fade not begun
constexpr std::uint32_t kVoiceStealFading = 0x00100000;  // its steal fade runs in the mixer

class QX_VoiceAllocatorBase : public QX_ModuleBase {
public:
    using QX_ModuleBase::QX_ModuleBase;

    // Told by the builder at the voice group's start marker.
    virtual void setVoiceGroup(int bodyStart, int copies, int bodyLength);
    virtual void voiceFinished(int voice, std::uint32_t time);
    virtual void voiceSilent(int voice);
    // The state word of a voice, 0 when it is free (and for a voice the allocator does not have).
    virtual std::uint32_t voiceState(int voice) const;
    // The mixer has begun the steal fade: kVoiceStealMarked becomes kVoiceStealFading.
    virtual void markVoiceFading(int voice);

    int groupStart() const { return groupStart_; }
    int groupCopies() const { return groupCopies_; }
    int groupBodyLength() const { return groupBodyLength_; }

private:
    int groupStart_ = 0;
    int groupCopies_ = 0;
    int groupBodyLength_ = 0;
};
