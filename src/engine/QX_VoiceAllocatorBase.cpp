#include "engine/QX_VoiceAllocatorBase.h"

void QX_VoiceAllocatorBase::setVoiceGroup(int bodyStart, int copies, int bodyLength) {
    groupStart_ = bodyStart;
    groupCopies_ = copies;
    groupBodyLength_ = bodyLength;
}

void QX_VoiceAllocatorBase::voiceFinished(int, std::uint32_t) {}

void QX_VoiceAllocatorBase::voiceSilent(int) {}

std::uint32_t QX_VoiceAllocatorBase::voiceState(int) const { return 0; }

void QX_VoiceAllocatorBase::markVoiceFading(int) {}
