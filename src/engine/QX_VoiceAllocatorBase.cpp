#include "engine/QX_VoiceAllocatorBase.h"

void QX_VoiceAllocatorBase::setVoiceGroup(int bodyStart, int copies, int bodyLength) {
    groupStart_ = bodyStart;
    groupCopies_ = copies;
    groupBodyLength_ = bodyLength;
}

void QX_VoiceAllocatorBase::voiceFinished(int, std::uint32_t) {}

void QX_VoiceAllocatorBase::voiceSilent(int) {}
